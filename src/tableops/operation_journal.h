#pragma once

#include "oracle/connection_profile.h"
#include "tableops/table_transfer.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace tableops {

struct PageContext;

// What became of one table of a copy run, as the journal tells it afterwards.
struct TableOutcome {
    QString tableName;
    std::optional<bool> overwrite;  // the answer, when the question was asked
    bool read = false;              // definition and rows in hand
    std::int64_t rowsRead = 0;
    bool dropped = false;
    bool created = false;
    InsertedRows rows;
    QString failure;  // why the table was not copied, or ended early; empty when it went whole
};

// The journal's lines of the table operations: which operation between or on which logins, then
// what became of each table. Logins are named by side, SID and user, never with their password.
// "Send from Oracle #1 (SID "A", user "scott") to Oracle #2 (SID "B", user "hr")"
QString SendJournalText(const PageContext& page, oracle::DatabaseSide source, oracle::DatabaseSide target);
// "Delete on Oracle #1 (SID "A", user "scott")"
QString SideJournalText(const PageContext& page, const QString& operation, oracle::DatabaseSide side);
// "Send "ORDERS": 400 rows read; created; 400 rows inserted, 0 rows refused"
QString SentTableJournalText(const TableOutcome& outcome);
// "Delete "ORDERS": dropped", or "Delete "ORDERS": not dropped: <why>"
QString TableJournalText(const QString& operation, const QString& tableName, const QString& done, const QString& failure);

} // namespace tableops
