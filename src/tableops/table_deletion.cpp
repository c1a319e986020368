#include "tableops/table_deletion.h"

#include "app/step_trap.h"
#include "oracle/connection.h"
#include "oracle/sql_statements.h"
#include "tableops/operation_journal.h"
#include "tableops/page_context.h"

namespace tableops {

void DeleteTables(app::StepTrap& trap, const PageContext& page, oracle::DatabaseSide side)
{
    app::TableList& list = page.list(side);
    oracle::Connection connection;
    trap.mark(100);
    trap.step(102, [&] { page.pointer.setPointer(app::kPointerHourglass); });
    const bool connected = trap.step(104, [&] { connection.open(page.connectionString(side)); });
    page.journal.record(SideJournalText(page, QStringLiteral("Delete"), side)
                        + (connected ? QString() : QStringLiteral(": could not connect: ") + trap.lastFailure()));
    // Without the connection (never opened, or lost on the way) every further statement would
    // fail in a box of its own: after the one report the operation goes straight to its end.
    if (!trap.operationEnded()) {
        if (trap.when(106, [&] { return list.currentIndex() != -1; })) {
            trap.mark(108);
            for (int position = list.count() - 1; position >= 0 && !trap.operationEnded(); --position) {
                if (trap.when(110, [&] { return list.isSelected(position); })) {
                    const QString name = list.text(position);
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
    trap.step(120, [&] { page.pointer.setPointer(app::kPointerDefault); });
}

} // namespace tableops
