#include "tableops/copy_run.h"

#include "app/step_trap.h"
#include "oracle/connection.h"
#include "oracle/schema_identity.h"
#include "oracle/sql_statements.h"
#include "tableops/definition_transfer.h"
#include "tableops/list_routines.h"
#include "tableops/page_context.h"
#include "tableops/row_transfer.h"

namespace tableops {

using oracle::DatabaseSide;

namespace {

const QString kOntoItselfText = QStringLiteral(
    "Oracle #1 and Oracle #2 are the same schema of the same database, and a table cannot be sent onto itself. "
    "Nothing was sent. To copy tables, log in to another schema or database on one side.");

} // namespace

void SendTables(app::StepTrap& trap, const PageContext& page, DatabaseSide sourceSide, DatabaseSide targetSide)
{
    app::TableList& sourceList = page.list(sourceSide);
    app::TableList& targetList = page.list(targetSide);

    if (trap.when(118, [&] { return sourceList.currentIndex() == -1; })) {
        trap.step(302, [&] { page.dialogs.information(page.applicationTitle, QStringLiteral("Please select a table.")); });
        return;
    }
    trap.step(120, [&] { page.pointer.setPointer(app::kPointerHourglass); });

    oracle::Connection side1, side2;
    trap.step(124, [&] { side1.open(page.connectionString(DatabaseSide::One)); });
    trap.step(126, [&] { side2.open(page.connectionString(DatabaseSide::Two)); });
    oracle::Connection& source = sourceSide == DatabaseSide::One ? side1 : side2;
    oracle::Connection& target = targetSide == DatabaseSide::One ? side1 : side2;

    // Both sides on one schema: overwriting would drop the source table itself, rows and all.
    bool ontoItself = false;
    if (side1.isOpen() && side2.isOpen() && sourceList.selectedCount() > 0) {
        trap.step(127, [&] {
            const auto identity1 = oracle::LearnSchemaIdentity(side1);
            const auto identity2 = oracle::LearnSchemaIdentity(side2);
            ontoItself = oracle::SameSchema(identity1, identity2, page.profiles.CurrentProfile(DatabaseSide::One),
                                            page.profiles.CurrentProfile(DatabaseSide::Two));
        });
        if (ontoItself)
            trap.step(127, [&] { page.dialogs.information(page.applicationTitle, kOntoItselfText); });
    }

    // Without both connections every table would fail step by step; the open's report says why.
    if (side1.isOpen() && side2.isOpen() && !ontoItself) {
        trap.mark(128);
        const int count = sourceList.count();
        CaseInsensitiveNames targetNames(targetList);
        for (int index = count - 1; index >= 0 && !trap.operationEnded(); --index) {
            // A table the target could not take does not stop the next one: it tells by itself
            // whether space came back.
            trap.beginTable();
            if (trap.when(142, [&] { return !sourceList.isSelected(index); }))
                continue;
            QString tableName;
            bool proceed = false;
            trap.step(144, [&] { tableName = sourceList.text(index); });
            trap.step(146, [&] { proceed = true; });
            if (trap.when(148, [&] { return targetNames.contains(tableName); })) {
                bool overwrite = false;
                trap.step(150, [&] {
                    overwrite = page.dialogs.askYesNo(QStringLiteral("Overwrite?"),
                                                      QStringLiteral("Would you like to overwrite ") + tableName
                                                          + QStringLiteral("?"));
                });
                if (trap.when(152, [&] { return overwrite; })) {
                    trap.step(154, [&] { target.execute(oracle::sql::DropTable(tableName)); });
                    // With the connection gone the drop may not have happened: the list keeps the name.
                    if (!trap.operationEnded())
                        trap.step(156, [&] { targetNames.remove(tableName, RemoveListItem(targetList, tableName)); });
                } else {
                    trap.step(158, [&] { proceed = false; });
                }
            }
            if (trap.operationEnded())
                break;
            if (trap.when(160, [&] { return proceed; })) {
                // Rows go only into a table this run created: otherwise they would land in
                // whatever table of that name still stands on the target.
                if (CopyTableDefinition(trap, source, target, tableName, page.events))
                    CopyTableRows(trap, source, target, tableName, page.events, page.progress, page.rowBuffer);
                if (trap.operationEnded())
                    break;
                trap.step(286, [&] {
                    targetList.add(tableName);
                    targetNames.add(tableName);
                });
            }
            trap.mark(292);
        }
    }

    trap.step(294, [&] { source.close(); });
    trap.step(296, [&] { target.close(); });
    trap.step(298, [&] { page.pointer.setPointer(app::kPointerDefault); });
    trap.step(300, [&] {
        page.progress.setValue(0);
        page.progress.setText(QStringLiteral("Progress Bar"));
    });
}

} // namespace tableops
