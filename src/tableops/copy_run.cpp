#include "tableops/operations.h"

#include "oracle/connection.h"
#include "oracle/database_error.h"
#include "oracle/schema_identity.h"
#include "oracle/sql_statements.h"
#include "platform/list_routines.h"
#include "platform/ports.h"
#include "platform/step_trap.h"
#include "tableops/operation_journal.h"
#include "tableops/page_context.h"
#include "tableops/row_writers.h"
#include "tableops/table_transfer.h"

#include <QLocale>
#include <QRandomGenerator>

namespace tableops {

using oracle::DatabaseSide;

namespace {

const QString kIdentityUnknownText = QStringLiteral(
    "Could not tell whether Oracle #1 and Oracle #2 are two different schemas: a database would not say which user "
    "of which database its login reaches. A table sent onto its own schema would be dropped, so nothing was sent.");

// Both logins reach a user of the same name, id and creation time, on databases of the same id
// (or name, on servers without ids): one schema, or a copy of it that cannot be told apart.
QString lookAlikeText(const oracle::SchemaIdentity& identity)
{
    return QStringLiteral("Oracle #1 and Oracle #2 look the same: the same user (name, id and time it was made) of a "
                          "database with the same %1. They may be one schema, and a table sent onto its own schema would "
                          "be dropped, so nothing was sent. To copy tables, log in to another schema or database on one side.")
        .arg(identity.databaseById ? QStringLiteral("id") : QStringLiteral("name"));
}

QString identityFailureContext(DatabaseSide side)
{
    return QStringLiteral("Could not ask %1 which user of which database its login reaches, so nothing was sent:")
        .arg(oracle::SideName(side));
}

QString invisibleColumnsText(const QString& tableName, const QStringList& columns)
{
    return QStringLiteral("The invisible columns of %1 were not copied: %2.")
        .arg(tableName, columns.join(QStringLiteral(", ")));
}

QString moreRowsText(int count, const QString& tableName)
{
    return (count == 1 ? QStringLiteral("1 more row") : QStringLiteral("%1 more rows").arg(count)) + QStringLiteral(" of ")
        + tableName;
}

// The table's closing box: what failed without a box of its own. Rows that failed with the same
// error number as a row shown are counted under that number, never under the shown row's text,
// which names its own column and value.
QString closingText(const QString& tableName, const platform::StepTrap::TableFailures& failures)
{
    QStringList parts;
    bool textsInJournal = false;
    for (const platform::StepTrap::RepeatedFailure& repeated : failures.repeated) {
        if (repeated.number.isEmpty()) {
            parts << moreRowsText(repeated.count, tableName) + QStringLiteral(" failed with the same error as reported before:\r\n\r\n")
                    + repeated.description;
        } else {
            parts << moreRowsText(repeated.count, tableName)
                    + QStringLiteral(" failed with %1, the same error number as a row reported before.").arg(repeated.number);
            textsInJournal = true;
        }
    }
    if (failures.unshown > 0) {
        parts << moreRowsText(failures.unshown, tableName) + QStringLiteral(" failed with other errors, not shown one by one.");
        textsInJournal = true;
    }
    if (textsInJournal)
        parts << QStringLiteral("The journal lists each error's own text with how often it came.");
    return parts.join(QStringLiteral("\r\n\r\n"));
}

// A name the new table of an overwrite takes until the old one is gone: one nobody gives a table,
// and new each time, so it never meets a table left by an earlier run.
QString InterimTableName()
{
    return QStringLiteral("MIRRAVEL$NEW$")
        + QStringLiteral("%1").arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')).toUpper();
}

// Both sides on one schema: overwriting would drop the source table itself, rows and all. True
// when the run may go on; otherwise the user has been told why it does not.
bool sidesAreTwoSchemas(platform::StepTrap& trap, const PageContext& page, oracle::Connection& side1, oracle::Connection& side2)
{
    std::optional<oracle::SchemaIdentity> identity1, identity2;
    // A database that fails to answer says why, with its side.
    const auto asked = [&](DatabaseSide side, oracle::Connection& connection, std::optional<oracle::SchemaIdentity>& identity) {
        const QString context = identityFailureContext(side);
        return trap.explained(127, [&] { identity = oracle::LearnSchemaIdentity(connection); },
                              [&](const std::exception&) { return context; });
    };
    if (!asked(DatabaseSide::One, side1, identity1) || !asked(DatabaseSide::Two, side2, identity2)) {
        page.journal.record(QStringLiteral("Send: nothing sent: ") + trap.lastFailure());
        return false;
    }
    // A side that would not say who it is may be the other side itself.
    const QString refusal = !identity1 || !identity2 ? kIdentityUnknownText
        : *identity1 == *identity2                   ? lookAlikeText(*identity1)
                                                     : QString();
    if (refusal.isEmpty())
        return true;
    page.journal.record(QStringLiteral("Send: nothing sent: ") + refusal);
    trap.step(127, [&] { page.dialogs.information(page.applicationTitle, refusal); });
    return false;
}

// One selected table of a run once the user has let it go: read whole from the source, put in
// place on the target, its rows written, and accounted for in the journal, the closing box and
// the target list.
class TableCopy {
public:
    TableCopy(platform::StepTrap& trap, const PageContext& page, oracle::Connection& source, oracle::Connection& target,
              DatabaseSide targetSide, platform::CaseInsensitiveNames& targetNames, TableOutcome& outcome)
        : trap_(trap), page_(page), source_(source), target_(target), targetSide_(targetSide),
          targetList_(page.list(targetSide)), targetNames_(targetNames), outcome_(outcome), rows_(page.rowBuffer)
    {
    }

    void run()
    {
        outcome_.read = readSource();
        if (outcome_.read && !trap_.operationEnded())
            outcome_.created = putInPlace();
        if (outcome_.created)
            writeRows();
        account();
    }

private:
    const QString& name() const { return outcome_.tableName; }
    bool overwriting() const { return outcome_.overwrite.value_or(false); }

    // The source is read whole before the target is touched: a read that fails leaves the old
    // table, rows and all, as it was.
    bool readSource()
    {
        page_.progress.showWork(QStringLiteral("Reading ") + name() + QStringLiteral("..."), true);
        definition_ = ReadTableDefinition(trap_, source_, name(), page_.events);
        if (!definition_ || !ReadTableRows(trap_, source_, name(), page_.events, rows_))
            return false;
        outcome_.rowsRead = rows_.buffer.count();
        page_.progress.showWork(RowsWrittenText(name(), 0, outcome_.rowsRead), false);
        return true;
    }

    // True when the new table stands on the target under the table's name. Rows go only into a
    // table this run created: otherwise they would land in whatever table of that name stands.
    bool putInPlace()
    {
        if (!overwriting())
            return CreateTableFromDefinition(trap_, target_, *definition_);
        // Over an old table, the new one is made under a name of its own, and the old one dropped
        // only once it exists: a target that refuses the CREATE (a type it lacks, no privilege, no
        // space) keeps its old table with its rows, indexes and grants, and the DROP is the one
        // a user would send, so the recycle bin keeps the old table under its own name.
        TableDefinition interim = *definition_;
        interim.tableName = InterimTableName();
        outcome_.interimName = interim.tableName;
        const QString notCreated = QStringLiteral("%1 was not replaced: its new table could not be created on %2, so the "
                                                  "old %1 stays there as it was.")
                                       .arg(name(), oracle::SideName(targetSide_));
        if (!CreateTableFromDefinition(trap_, target_, interim, notCreated)) {
            outcome_.replacement = Replacement::KeptNotCreated;
            return false;
        }
        bool noOldTable = false;
        const QString notDropped = QStringLiteral("%1 was not replaced: the old %1 on %2 could not be dropped, so it stays "
                                                  "there as it was.")
                                       .arg(name(), oracle::SideName(targetSide_));
        outcome_.dropped = trap_.explained(154, [&] { target_.execute(oracle::sql::DropTable(name())); },
                                           [&](const std::exception& failure) {
                                               // A table named in other letters only: nothing stands in the way.
                                               noOldTable = oracle::SaysNoSuchTable(failure);
                                               return noOldTable ? QString() : notDropped;
                                           });
        // With the connection gone the drop may not have happened: the list keeps the name.
        if (trap_.operationEnded()) {
            outcome_.interimLeft = true;
            return false;
        }
        if (!outcome_.dropped && !noOldTable) {
            outcome_.replacement = Replacement::KeptNotDropped;
            const QString notRemoved = QStringLiteral("The new table made to replace %1 stands empty on %2 as %3, and could "
                                                      "not be dropped again.")
                                           .arg(name(), oracle::SideName(targetSide_), interim.tableName);
            outcome_.interimLeft = !trap_.explained(155, [&] { target_.execute(oracle::sql::DropTable(interim.tableName)); },
                                                    [&](const std::exception&) { return notRemoved; });
            return false;
        }
        trap_.step(156, [&] { targetNames_.remove(name(), platform::RemoveListItem(targetList_, name())); });
        const QString notNamed = QStringLiteral("The old %1 on %2 was dropped, but the new table could not take its name: "
                                                "it stands there, empty, as %3.")
                                     .arg(name(), oracle::SideName(targetSide_), interim.tableName);
        if (!trap_.explained(157, [&] { target_.execute(oracle::sql::RenameTable(interim.tableName, name())); },
                             [&](const std::exception&) { return notNamed; })) {
            outcome_.replacement = Replacement::NewLeftAside;
            outcome_.interimLeft = true;
            return false;
        }
        return true;
    }

    void writeRows()
    {
        if (!definition_->invisibleColumns.isEmpty())
            trap_.step(223, [&] {
                page_.dialogs.information(page_.applicationTitle, invisibleColumnsText(name(), definition_->invisibleColumns));
            });
        outcome_.rows = InsertTableRows(RowTarget{trap_, target_, name(), page_.events, page_.progress}, rows_, page_.batch.rows);
    }

    // The journal's line, the box for what failed without one of its own, and the target list.
    void account()
    {
        if (!outcome_.read || !outcome_.created || trap_.tableEnded())
            outcome_.failure = trap_.lastFailureText();
        const platform::StepTrap::TableFailures failures = trap_.endTable();
        outcome_.errors = failures.texts;
        outcome_.otherErrors = failures.otherTexts;
        page_.journal.record(SentTableJournalText(outcome_));
        QStringList closing;
        if (failures.beyondBoxes())
            closing << closingText(name(), failures);
        // In batches, rows sent but not committed are gone with their batch: the user learns how
        // many are in, as one by one every row in the table would have been.
        const std::int64_t lost = outcome_.rowsRead - outcome_.rows.inserted - outcome_.rows.refused;
        if (outcome_.created && page_.batch.rows > kRowsOneByOne && lost > 0)
            closing << QStringLiteral("Only %1 of the %2 rows of %3 are in %4; the copy of its rows ended before the rest "
                                      "were committed.")
                           .arg(QLocale(QLocale::English).toString(qlonglong(outcome_.rows.inserted)),
                                QLocale(QLocale::English).toString(qlonglong(outcome_.rowsRead)), name(),
                                oracle::SideName(targetSide_));
        if (!closing.isEmpty())
            trap_.step(284, [&] {
                page_.dialogs.information(page_.applicationTitle, closing.join(QStringLiteral("\r\n\r\n")));
            });
        // A table created under the name stands on the target whatever ended the run after it.
        // A new table whose CREATE failed is still listed, as it always was; an old table that was
        // to be replaced, and stands, is listed already.
        if (outcome_.created || (!trap_.operationEnded() && !overwriting()))
            addToTargetList(name());
        else if (outcome_.interimLeft && !trap_.operationEnded())
            addToTargetList(outcome_.interimName);
    }

    void addToTargetList(const QString& tableName)
    {
        trap_.step(286, [&] {
            targetList_.add(tableName);
            targetNames_.add(tableName);
        });
    }

    platform::StepTrap& trap_;
    const PageContext& page_;
    oracle::Connection& source_;
    oracle::Connection& target_;
    DatabaseSide targetSide_;
    platform::TableList& targetList_;
    platform::CaseInsensitiveNames& targetNames_;
    TableOutcome& outcome_;
    std::optional<TableDefinition> definition_;
    TableRows rows_;
};

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

    // Without both connections every table would fail step by step; the open's report says why.
    // The journal names the logins when they could not be reached, or once there is something to send.
    bool mayCopy = side1.isOpen() && side2.isOpen();
    const bool anySelected = sourceList.selectedCount() > 0;
    if (!mayCopy || anySelected)
        page.journal.record(SendJournalText(page, sourceSide, targetSide));
    if (!mayCopy)
        page.journal.record(QStringLiteral("Send: nothing sent, could not connect: ") + trap.lastFailure());
    if (mayCopy && anySelected)
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
                // On Yes the old table goes only once the new one stands (in TableCopy).
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
            TableCopy(trap, page, source, target, targetSide, targetNames, outcome).run();
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
