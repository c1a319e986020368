#include "tableops/operations.h"

#include "oracle/connection.h"
#include "oracle/schema_identity.h"
#include "oracle/sql_statements.h"
#include "platform/ports.h"
#include "platform/step_trap.h"
#include "tableops/operation_journal.h"
#include "tableops/page_context.h"
#include "tableops/table_transfer.h"

namespace tableops {

using oracle::DatabaseSide;

namespace {

const QString kOntoItselfText = QStringLiteral(
    "Oracle #1 and Oracle #2 are the same schema of the same database, and a table cannot be sent onto itself. "
    "Nothing was sent. To copy tables, log in to another schema or database on one side.");

const QString kIdentityUnknownText = QStringLiteral(
    "Could not tell whether Oracle #1 and Oracle #2 are two different schemas: a database would not say which user "
    "of which database its login reaches. A table sent onto its own schema would be dropped, so nothing was sent.");

QString invisibleColumnsText(const QString& tableName, const QStringList& columns)
{
    return QStringLiteral("The invisible columns of %1 were not copied: %2.")
        .arg(tableName, columns.join(QStringLiteral(", ")));
}

QString repeatedFailureText(const QString& tableName, const platform::StepTrap::RepeatedFailure& repeated)
{
    const QString rows = repeated.count == 1 ? QStringLiteral("1 more row") : QStringLiteral("%1 more rows").arg(repeated.count);
    return QStringLiteral("%1 of %2 failed with the same error as reported before:\r\n\r\n%3")
        .arg(rows, tableName, repeated.description);
}

// Both sides on one schema: overwriting would drop the source table itself, rows and all. True
// when the run may go on; otherwise the user has been told why it does not.
bool sidesAreTwoSchemas(platform::StepTrap& trap, const PageContext& page, oracle::Connection& side1, oracle::Connection& side2)
{
    std::optional<oracle::SchemaIdentity> identity1, identity2;
    if (!trap.step(127, [&] {
            identity1 = oracle::LearnSchemaIdentity(side1);
            identity2 = oracle::LearnSchemaIdentity(side2);
        }))
        return false;
    // A side that would not say who it is may be the other side itself.
    const QString refusal = !identity1 || !identity2 ? kIdentityUnknownText
        : *identity1 == *identity2                   ? kOntoItselfText
                                                     : QString();
    if (refusal.isEmpty())
        return true;
    page.journal.record(QStringLiteral("Send: nothing sent: ") + refusal);
    trap.step(127, [&] { page.dialogs.information(page.applicationTitle, refusal); });
    return false;
}

} // namespace

void SendTables(platform::StepTrap& trap, const PageContext& page, DatabaseSide sourceSide, DatabaseSide targetSide)
{
    platform::TableList& sourceList = page.list(sourceSide);
    platform::TableList& targetList = page.list(targetSide);

    if (trap.when(118, [&] { return sourceList.currentIndex() == -1; })) {
        trap.step(302, [&] { page.dialogs.information(page.applicationTitle, QStringLiteral("Please select a table.")); });
        return;
    }
    trap.step(120, [&] { page.pointer.setPointer(platform::kPointerHourglass); });

    oracle::Connection side1, side2;
    trap.step(124, [&] { side1.open(page.connectionString(DatabaseSide::One)); });
    trap.step(126, [&] { side2.open(page.connectionString(DatabaseSide::Two)); });
    oracle::Connection& source = sourceSide == DatabaseSide::One ? side1 : side2;
    oracle::Connection& target = targetSide == DatabaseSide::One ? side1 : side2;

    page.journal.record(SendJournalText(page, sourceSide, targetSide));
    // Without both connections every table would fail step by step; the open's report says why.
    bool mayCopy = side1.isOpen() && side2.isOpen();
    if (!mayCopy)
        page.journal.record(QStringLiteral("Send: nothing sent, could not connect: ") + trap.lastFailure());
    if (mayCopy && sourceList.selectedCount() > 0)
        mayCopy = sidesAreTwoSchemas(trap, page, side1, side2);

    if (mayCopy) {
        trap.mark(128);
        const int count = sourceList.count();
        platform::CaseInsensitiveNames targetNames(targetList);
        for (int index = count - 1; index >= 0 && !trap.operationEnded(); --index) {
            // A table the target could not take does not stop the next one: it tells by itself
            // whether space came back.
            trap.beginTable();
            if (trap.when(142, [&] { return !sourceList.isSelected(index); }))
                continue;
            QString tableName;
            bool proceed = false;
            bool overwrite = false;
            TableOutcome outcome;
            trap.step(144, [&] { tableName = sourceList.text(index); });
            outcome.tableName = tableName;
            trap.step(146, [&] { proceed = true; });
            if (trap.when(148, [&] { return targetNames.contains(tableName); })) {
                trap.step(150, [&] {
                    overwrite = page.dialogs.askYesNo(QStringLiteral("Overwrite?"),
                                                      QStringLiteral("Would you like to overwrite ") + tableName
                                                          + QStringLiteral("?"));
                });
                outcome.overwrite = overwrite;
                // On Yes the old table goes only once the new one's rows are in hand (below).
                if (!trap.when(152, [&] { return overwrite; }))
                    trap.step(158, [&] { proceed = false; });
            }
            if (trap.operationEnded())
                break;
            if (!trap.when(160, [&] { return proceed; })) {
                page.journal.record(SentTableJournalText(outcome));
                trap.mark(292);
                continue;
            }

            // The source is read whole before the target is touched: a read that fails leaves the
            // old table, rows and all, as it was.
            page.progress.showWork(QStringLiteral("Reading ") + tableName + QStringLiteral("..."), true);
            TableRows rows(page.rowBuffer);
            std::optional<TableDefinition> definition = ReadTableDefinition(trap, source, tableName, page.events);
            const bool read = definition && ReadTableRows(trap, source, tableName, page.events, rows);
            bool created = false;
            outcome.read = read;
            if (read) {
                outcome.rowsRead = rows.buffer.count();
                page.progress.showWork(RowsWrittenText(tableName, 0, outcome.rowsRead), false);
                if (overwrite) {
                    outcome.dropped = trap.step(154, [&] { target.execute(oracle::sql::DropTable(tableName)); });
                    // With the connection gone the drop may not have happened: the list keeps the name.
                    if (!trap.operationEnded())
                        trap.step(156, [&] { targetNames.remove(tableName, platform::RemoveListItem(targetList, tableName)); });
                }
                // Rows go only into a table this run created: otherwise they would land in
                // whatever table of that name still stands on the target.
                if (!trap.operationEnded())
                    created = CreateTableFromDefinition(trap, target, *definition);
                if (created && !definition->invisibleColumns.isEmpty())
                    trap.step(223, [&] {
                        page.dialogs.information(page.applicationTitle,
                                                 invisibleColumnsText(tableName, definition->invisibleColumns));
                    });
                if (created)
                    outcome.rows = InsertTableRows(trap, target, tableName, page.events, page.progress, rows);
            }
            outcome.created = created;
            if (!read || !created || trap.tableEnded())
                outcome.failure = trap.lastFailure();
            page.journal.record(SentTableJournalText(outcome));
            for (const platform::StepTrap::RepeatedFailure& repeated : trap.endTable())
                trap.step(284, [&] { page.dialogs.information(page.applicationTitle, repeatedFailureText(tableName, repeated)); });
            // A created table stands on the target whatever ended the run after it. After a read
            // that failed, an old table that was to be overwritten stands as it was, and listed.
            if (created || (!trap.operationEnded() && !(overwrite && !read)))
                trap.step(286, [&] {
                    targetList.add(tableName);
                    targetNames.add(tableName);
                });
            if (trap.operationEnded())
                break;
            trap.mark(292);
        }
        // Whatever fails from here on (closing the connections) is shown each time.
        trap.endTable();
    }

    trap.step(294, [&] { source.close(); });
    trap.step(296, [&] { target.close(); });
    trap.step(298, [&] { page.pointer.setPointer(platform::kPointerDefault); });
    trap.step(300, [&] {
        page.progress.setValue(0);
        page.progress.setText(QStringLiteral("Progress Bar"));
    });
}

} // namespace tableops
