#include "tableops/operation_journal.h"

#include "tableops/page_context.h"

#include <QLocale>
#include <QStringList>

namespace tableops {

namespace {

QString quoted(const QString& tableName) { return QLatin1Char('"') + tableName + QLatin1Char('"'); }

QString rowsText(std::int64_t count)
{
    return QLocale(QLocale::English).toString(qlonglong(count)) + (count == 1 ? QStringLiteral(" row") : QStringLiteral(" rows"));
}

QString timesText(int count)
{
    return count == 1 ? QStringLiteral("once") : QLocale(QLocale::English).toString(count) + QStringLiteral(" times");
}

} // namespace

QString SendJournalText(const PageContext& page, oracle::DatabaseSide source, oracle::DatabaseSide target)
{
    QString mode = page.batch.rows > kRowsOneByOne
        ? QStringLiteral(", rows in batches of ") + QLocale(QLocale::English).toString(page.batch.rows)
        : QStringLiteral(", rows one by one");
    if (!page.batch.problem.isEmpty())
        mode += QStringLiteral(" (") + page.batch.problem + QLatin1Char(')');
    return QStringLiteral("Send from ") + oracle::LoginText(source, page.profiles.CurrentProfile(source))
        + QStringLiteral(" to ") + oracle::LoginText(target, page.profiles.CurrentProfile(target)) + mode;
}

QString SideJournalText(const PageContext& page, const QString& operation, oracle::DatabaseSide side)
{
    return operation + QStringLiteral(" on ") + oracle::LoginText(side, page.profiles.CurrentProfile(side));
}

QString SentTableJournalText(const TableOutcome& outcome)
{
    QStringList parts;
    if (outcome.overwrite)
        parts << (*outcome.overwrite ? QStringLiteral("overwrite answered Yes") : QStringLiteral("overwrite answered No, not copied"));
    if (outcome.read)
        parts << rowsText(outcome.rowsRead) + QStringLiteral(" read");
    switch (outcome.replacement) {
    case Replacement::None:
        break;
    case Replacement::KeptNotCreated:
        parts << QStringLiteral("old table kept, the new one could not be created");
        break;
    case Replacement::KeptNotDropped:
        parts << QStringLiteral("old table kept, it could not be dropped");
        break;
    case Replacement::NewLeftAside:
        parts << QStringLiteral("old table dropped, the new one could not take its name");
        break;
    }
    if (outcome.interimLeft)
        parts << QStringLiteral("new table left as ") + quoted(outcome.interimName);
    if (outcome.dropped && outcome.replacement == Replacement::None)
        parts << QStringLiteral("old table dropped");
    if (outcome.created)
        parts << QStringLiteral("created") << rowsText(outcome.rows.inserted) + QStringLiteral(" inserted, ")
                + rowsText(outcome.rows.refused) + QStringLiteral(" refused")
                + (outcome.rows.uncommitted > 0 ? QStringLiteral(", ") + rowsText(outcome.rows.uncommitted) + QStringLiteral(" not committed")
                                                : QString());
    if (!outcome.failure.isEmpty())
        parts << (outcome.created ? QStringLiteral("ended early: ") : QStringLiteral("not copied: ")) + outcome.failure;
    // The errors' texts, unless the one failure named above was all there was.
    const bool onlyTheFailure = outcome.errors.size() == 1 && outcome.errors[0].count == 1 && outcome.otherErrors == 0
        && outcome.errors[0].text == outcome.failure;
    if (!outcome.errors.empty() && !onlyTheFailure) {
        QStringList errors;
        for (const platform::StepTrap::FailureCount& error : outcome.errors)
            errors << quoted(error.text) + QLatin1Char(' ') + timesText(error.count);
        if (outcome.otherErrors > 0)
            errors << QStringLiteral("other texts ") + timesText(outcome.otherErrors);
        parts << QStringLiteral("errors: ") + errors.join(QStringLiteral(", "));
    }
    return QStringLiteral("Send ") + quoted(outcome.tableName) + QStringLiteral(": ") + parts.join(QStringLiteral("; "));
}

QString TableJournalText(const QString& operation, const QString& tableName, const QString& done, const QString& failure)
{
    return operation + QLatin1Char(' ') + quoted(tableName) + QStringLiteral(": ")
        + (failure.isEmpty() ? done : QStringLiteral("not ") + done + QStringLiteral(": ") + failure);
}

} // namespace tableops
