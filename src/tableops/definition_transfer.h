#pragma once

#include <QString>

namespace app {
class StepTrap;
class EventPump;
}
namespace oracle {
class Connection;
}

namespace tableops {

// One column as the source's catalogue describes it, each value as text (empty when null or
// not read).
struct CatalogueColumn {
    QString dataType;
    QString dataLength;
    QString dataPrecision;
    QString dataScale;
    QString charLength;
    QString charUsed;
};

// The declared type of a column, for CREATE TABLE: character types with their length in
// characters and its semantics, NUMBER and FLOAT with their precision and scale, RAW with its
// length, and other types as the catalogue spells them. Without the character and numeric details
// (a catalogue that could not give them), character types fall back to the catalogue length.
QString ColumnTypeText(const CatalogueColumn& column);

// Recreates the table on the target from the source's column catalogue. True when the
// CREATE TABLE went through.
bool CopyTableDefinition(app::StepTrap& trap, oracle::Connection& source, oracle::Connection& target,
                         const QString& tableName, app::EventPump& events);

} // namespace tableops
