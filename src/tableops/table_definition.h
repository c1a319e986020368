#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace tableops {

// One column as the source's catalogue describes it, each value as text (empty when null or
// not read).
struct CatalogueColumn {
    QString name;
    QString dataType;
    QString dataLength;
    QString dataPrecision;
    QString dataScale;
    QString charLength;
    QString charUsed;
};

// A table as the source's catalogue gave it: its visible columns in order, and the names of the
// invisible ones, which a copy leaves out (SELECT * does not give their values).
struct TableDefinition {
    QString tableName;
    std::vector<CatalogueColumn> columns;
    QStringList invisibleColumns;
};

// The declared type of a column, for CREATE TABLE: character types with their length and its
// semantics said out loud (a target whose default is the other one would read a bare length its
// own way), NUMBER and FLOAT with their precision and scale, RAW with its length, and other types
// as the catalogue spells them. Lengths go up to the longest extended strings allow. Without the
// character and numeric details (a catalogue that could not give them), character types fall back
// to the catalogue length.
QString ColumnTypeText(const CatalogueColumn& column);

// CREATE TABLE "name"("column" type,...) for the definition.
QString CreateTableText(const TableDefinition& definition);

} // namespace tableops
