#pragma once

#include "oracle/connection_profile.h"
#include "platform/step_trap.h"
#include "tableops/row_writers.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace tableops {

struct PageContext;

// What became of the old table of an overwrite.
enum class Replacement {
    None,            // no old table to replace, or it was dropped once the new one stood
    KeptNotCreated,  // the new table could not be created: the old one stands as it was
    KeptNotDropped,  // the old table could not be dropped: it stands, the new one went again
    NewLeftAside,    // the old table was dropped, the new one stands under its interim name
};

// What became of one table of a copy run, as the journal tells it afterwards.
struct TableOutcome {
    QString tableName;
    std::optional<bool> overwrite;  // the answer, when the question was asked
    bool read = false;              // definition and rows in hand
    std::int64_t rowsRead = 0;
    bool dropped = false;
    Replacement replacement = Replacement::None;
    QString interimName;            // where a replacement was created first
    bool interimLeft = false;       // the interim table still stands (it could not be dropped or named)
    bool created = false;           // the new table stands under the table's name
    InsertedRows rows;
    QString failure;  // why the table was not copied, or ended early; empty when it went whole
    std::vector<platform::StepTrap::FailureCount> errors;  // every error's text, with how often
    int otherErrors = 0;                                   // errors beyond the texts kept
};

// The journal's lines of the table operations: which operation between or on which logins, then
// what became of each table. Logins are named by side, SID and user, never with their password.
// "Send from Oracle #1 (SID "A", user "scott") to Oracle #2 (SID "B", user "hr"), rows one by one"
// (or ", rows in batches of 1,000")
QString SendJournalText(const PageContext& page, oracle::DatabaseSide source, oracle::DatabaseSide target);
// "Delete on Oracle #1 (SID "A", user "scott")"
QString SideJournalText(const PageContext& page, const QString& operation, oracle::DatabaseSide side);
// "Send "ORDERS": 400 rows read; created; 398 rows inserted, 2 rows refused; errors: "ORA-01722:
// invalid number" 2 times": the errors' own texts, each with how often it came.
QString SentTableJournalText(const TableOutcome& outcome);
// "Delete "ORDERS": dropped", or "Delete "ORDERS": not dropped: <why>"
QString TableJournalText(const QString& operation, const QString& tableName, const QString& done, const QString& failure);

} // namespace tableops
