#include "tableops/operations.h"

#include "oracle/connection.h"
#include "oracle/sql_statements.h"
#include "platform/step_trap.h"
#include "tableops/operation_journal.h"
#include "tableops/page_context.h"

#include <utility>

namespace tableops {

void DeleteTables(platform::StepTrap& trap, const PageContext& page, oracle::DatabaseSide side)
{
    platform::TableList& list = page.list(side);
    oracle::Connection connection;
    trap.mark(100);
    trap.step(102, [&] { page.pointer.setPointer(platform::kPointerHourglass); });
    const bool connected = trap.step(104, [&] { connection.open(page.connectionString(side)); });
    // The journal names the login once a drop is tried there, or when it could not be reached: a
    // Delete that stopped at "Please select a table" or found nothing selected did nothing.
    if (!connected)
        page.journal.record(SideJournalText(page, QStringLiteral("Delete"), side) + QStringLiteral(": could not connect: ")
                            + trap.lastFailure());
    bool named = false;
    // Without the connection (never opened, or lost on the way) every further statement would
    // fail in a box of its own: after the one report the operation goes straight to its end.
    if (!trap.operationEnded()) {
        if (trap.when(106, [&] { return list.currentIndex() != -1; })) {
            trap.mark(108);
            for (int position = list.count() - 1; position >= 0 && !trap.operationEnded(); --position) {
                if (trap.when(110, [&] { return list.isSelected(position); })) {
                    const QString name = list.text(position);
                    if (!std::exchange(named, true))
                        page.journal.record(SideJournalText(page, QStringLiteral("Delete"), side));
                    const bool dropped = trap.step(112, [&] { connection.execute(oracle::sql::DropTable(name)); });
                    page.journal.record(TableJournalText(QStringLiteral("Delete"), name, QStringLiteral("dropped"),
                                                         dropped ? QString() : trap.lastFailure()));
                    // With the connection gone the drop may not have happened: the entry stays.
                    if (!trap.operationEnded())
                        trap.step(114, [&] { list.removeAt(position); });
                }
                trap.mark(116);
            }
        } else {
            trap.step(118, [&] { page.dialogs.information(page.applicationTitle, QStringLiteral("Please select a table")); });
        }
    }
    trap.step(120, [&] { page.pointer.setPointer(platform::kPointerDefault); });
}

namespace {

// From the selection tests to the list's update, steps 106 to 128.
void renameSelectedEntry(platform::StepTrap& trap, const PageContext& page, oracle::DatabaseSide side,
                         oracle::Connection& connection)
{
    platform::TableList& list = page.list(side);
    if (trap.when(106, [&] { return list.currentIndex() == -1; })) {
        trap.step(132, [&] {
            page.dialogs.information(page.applicationTitle, QStringLiteral("Please select an Oracle table to rename."));
        });
        return;
    }
    if (trap.when(108, [&] { return list.selectedCount() != 1; })) {
        trap.step(130, [&] {
            page.dialogs.information(page.applicationTitle, QStringLiteral("Please select just one table to rename."));
        });
        return;
    }
    trap.mark(110);
    for (int position = list.count() - 1; position >= 0 && !trap.operationEnded(); --position) {
        if (trap.when(112, [&] { return !list.isSelected(position); }))
            continue;
        QString oldName, newName;
        trap.step(114, [&] { oldName = list.text(position); });
        trap.step(116, [&] {
            newName = page.dialogs.input(page.applicationTitle,
                                         QStringLiteral("Enter new name of ") + oldName + QStringLiteral(":"), oldName);
        });
        if (trap.when(118, [&] { return newName.isEmpty(); }))
            continue;
        page.journal.record(SideJournalText(page, QStringLiteral("Rename"), side));
        const bool renamed = trap.step(120, [&] { connection.execute(oracle::sql::RenameTable(oldName, newName)); });
        page.journal.record(TableJournalText(QStringLiteral("Rename"), oldName,
                                             QStringLiteral("renamed to \"") + newName + QLatin1Char('"'),
                                             renamed ? QString() : trap.lastFailure()));
        // With the connection gone the rename may not have happened: the list keeps the old name.
        if (trap.operationEnded())
            return;
        trap.step(122, [&] { list.removeAt(position); });
        trap.step(124, [&] { list.add(newName); });
        trap.step(126, [&] {
            if (list.count() >= 1)
                list.setCurrentIndex(0);
        });
        trap.mark(128);
    }
}

} // namespace

void RenameTable(platform::StepTrap& trap, const PageContext& page, oracle::DatabaseSide side)
{
    oracle::Connection connection;
    trap.mark(100);
    trap.step(102, [&] { page.pointer.setPointer(platform::kPointerHourglass); });
    // The journal names the login when it could not be reached, else once a new name is sent.
    if (!trap.step(104, [&] { connection.open(page.connectionString(side)); }))
        page.journal.record(SideJournalText(page, QStringLiteral("Rename"), side) + QStringLiteral(": could not connect: ")
                            + trap.lastFailure());
    // Without the connection there is nothing to ask a new name for: after the one report the
    // operation goes straight to its end.
    if (!trap.operationEnded())
        renameSelectedEntry(trap, page, side, connection);
    trap.step(134, [&] { page.pointer.setPointer(platform::kPointerDefault); });
}

} // namespace tableops
