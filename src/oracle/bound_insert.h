#pragma once

#include "oracle/field_value.h"

#include <QByteArrayView>
#include <QString>

#include <cstddef>
#include <memory>
#include <vector>

namespace oracle {

class Connection;

// An INSERT prepared once with one marker per value, INSERT INTO "T" VALUES(?, ?, ...), whose rows
// are bound column by column in arrays and sent many to an execute. Each value is bound in the
// form that stores what the statement's literal would: text and numbers as text, dates and
// timestamps as ODBC date and timestamp values (to the fraction), bytes as bytes, NULL (and the
// empty text, which Oracle stores as NULL) as NULL. Long columns (CLOB, NCLOB, LONG, BLOB, LONG
// RAW) are sent at execution, piece by piece, whatever their length: their rows go one to an
// execute, straight from where the caller holds the values.
class BoundInsert {
public:
    // Prepares the statement for columns of these ODBC SQL types (as the source described them).
    // Throws DatabaseError.
    BoundInsert(Connection& connection, const QString& sql, const std::vector<short>& sqlTypes);
    ~BoundInsert();
    BoundInsert(const BoundInsert&) = delete;
    BoundInsert& operator=(const BoundInsert&) = delete;

    // The most rows one execute takes, up to the wanted number: one when a column is long or the
    // driver refuses arrays of parameters.
    int rowsPerExecute(int wanted);

    // The next row's values, in column order, as the row buffer holds them: text as UTF-8. A long
    // value is not copied: it must stay where it is until its row has been sent. Throws
    // DatabaseError for a date or time the driver could not have written; the row is then left
    // out, and the next startRow() begins it again.
    void startRow();
    void addNull();
    void addBoolean(bool value);
    void addBytes(QByteArrayView bytes);
    void addText(QByteArrayView utf8);
    void endRow();
    int rowCount() const;
    // The memory the added rows take in their arrays.
    std::size_t boundBytes() const;
    void clearRows();

    // Sends every row added since clearRows() in one execute. False when the database refused it,
    // whatever the driver says of single rows: the caller rolls back and sends them one by one.
    // Throws DatabaseError when the connection is gone.
    bool tryExecuteAll();
    // Sends one added row alone. Throws DatabaseError with the driver's words.
    void executeRow(int row);

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace oracle
