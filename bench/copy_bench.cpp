// Copies a table of 100,000 rows of mixed columns through the real copy run, then sends the very
// same INSERT statements through a bare loop on one ODBC connection, and compares them in paired
// rounds: the last line's copy/bare is the median of the rounds' ratios, then their min and max.
// Also measures what the buffered table costs against the raw size of its values, and the peak
// resident memory of a process that runs nothing but the copy run.
#include "platform/step_trap.h"
#include "desktop/qt_ports.h"
#include "devdb_fixture.h"
#include "oracle/connection.h"
#include "oracle/sql_statements.h"
#include "page_harness.h"
#include "tableops/operations.h"
#include "tableops/row_buffer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProgressBar>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <malloc.h>
#include <sql.h>
#include <sqlext.h>
#include <sys/resource.h>
#include <vector>

namespace {

const char* const kCreate =
    R"(CREATE TABLE "BENCH"("ID" NUMBER, "NAME" VARCHAR2(40), "CODE" CHAR(8), "AMOUNT" NUMBER(12,2),)"
    R"( "CREATED" DATE, "UPDATED" TIMESTAMP(6), "NOTE" VARCHAR2(200), "QTY" NUMBER))";

size_t heapInUse() { return mallinfo2().uordblks + mallinfo2().hblkhd; }

// The bare loop: one connection, one SQLExecDirectW per statement, nothing else.
double bareLoopSeconds(const QString& connectionString, const QStringList& statements)
{
    SQLHENV env = nullptr;
    SQLHDBC dbc = nullptr;
    SQLHSTMT stmt = nullptr;
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env);
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc);
    SQLDriverConnectW(dbc, nullptr, (SQLWCHAR*)connectionString.utf16(), SQL_NTS, nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT);
    SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt);
    QElapsedTimer timer;
    timer.start();
    int failures = 0;
    for (const QString& statement : statements) {
        const SQLRETURN rc = SQLExecDirectW(stmt, (SQLWCHAR*)statement.utf16(), SQL_NTS);
        if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO)
            ++failures;
        SQLFreeStmt(stmt, SQL_CLOSE);
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    SQLDisconnect(dbc);
    SQLFreeHandle(SQL_HANDLE_DBC, dbc);
    SQLFreeHandle(SQL_HANDLE_ENV, env);
    if (failures)
        std::printf("bare loop: %d statements failed\n", failures);
    return seconds;
}

// One copy run from SRC to DST, as the page runs it.
const ScriptedDialogs::Shown* copyOnce(platform::EventPump& events, platform::ProgressDisplay& progress, PageHarness& page)
{
    page.profile1 = {"SRC", "scott", "tiger"};
    page.profile2 = {"DST", "hr", "hr"};
    page.list1 = PlainTableList({"BENCH"});
    page.list1.select({"BENCH"});
    tableops::PageContext context{page.dialogs, page.pointer, events, progress, page.journal, page, page.list1, page.list2, "Mirravel"};
    platform::StepTrap trap(page.dialogs, "Form2.PushButton3_Click");
    tableops::SendTables(trap, context, oracle::DatabaseSide::One, oracle::DatabaseSide::Two);
    return page.dialogs.shown.isEmpty() ? nullptr : &page.dialogs.shown[0];
}

// This process's own peak resident memory. The kernel's high-water mark of the process's memory
// (VmHWM) starts afresh at exec; getrusage's maximum would start from the parent's size at the fork,
// and the parent holds the bare loop's whole statement list.
long peakResidentKiB()
{
    QFile status("/proc/self/status");
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("VmHWM:"))
                return line.mid(6).trimmed().split(' ').value(0).toLong();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// The middle value; of an even count, the mean of the two in the middle.
double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// The child process of the memory measure: the copy run alone, in the data folder the parent made
// (ODBCSYSINI is inherited), then its own peak resident memory.
int copyOnly(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QProgressBar bar;
    bar.setRange(0, 100);
    bar.show();
    desktop::ProgressBarDisplay progress(&bar);
    desktop::QtEventPump events;
    PageHarness page;
    if (const auto* box = copyOnce(events, progress, page))
        std::printf("the copy showed a box: %s\n", qPrintable(box->text));
    std::printf("peak-kib %ld\n", peakResidentKiB());
    return 0;
}

// Runs the copy alone in a process of its own and gives its peak resident memory in MiB.
double copyPeakMiB(const char* self)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QString::fromLocal8Bit(self), {"--copy-only"});
    child.waitForFinished(-1);
    const QString output = QString::fromLocal8Bit(child.readAllStandardOutput());
    const auto at = output.indexOf("peak-kib ");
    if (child.exitCode() != 0 || at < 0) {
        std::printf("the copy process failed: %s\n", qPrintable(output));
        return -1;
    }
    if (output.contains("the copy showed a box"))
        std::printf("%s", qPrintable(output.left(at)));
    return output.mid(at + 9).trimmed().toDouble() / 1024.0;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc > 1 && std::strcmp(argv[1], "--copy-only") == 0)
        return copyOnly(argc, argv);
    QApplication application(argc, argv);
    const int rowCount = argc > 1 ? std::atoi(argv[1]) : 100000;

    DevDbFixture db;
    db.addUser("SRC", "scott", "tiger");
    db.addUser("DST", "hr", "hr");
    db.addUser("BARE", "hr", "hr");
    const QString source = DevDbFixture::connectionString("SRC", "scott", "tiger");

    std::printf("filling the source with %d rows...\n", rowCount);
    {
        oracle::Connection connection;
        connection.open(source);
        connection.execute(kCreate);
        for (int i = 0; i < rowCount; ++i)
            connection.execute(QString(R"(INSERT INTO "BENCH" VALUES('%1', 'Customer name %2', 'C%3', '%4.%5', {ts '2024-%6-%7 10:11:12'}, {ts '2024-03-04 05:06:07.%8'}, 'A note of some length for row %1, with ''quotes''', '%9'))")
                                   .arg(i).arg(i * 7919 % 100000).arg(i % 9999, 4, 10, QChar('0')).arg(i % 100000).arg(i % 100, 2, 10, QChar('0'))
                                   .arg(i % 12 + 1, 2, 10, QChar('0')).arg(i % 28 + 1, 2, 10, QChar('0')).arg(i % 1000000, 6, 10, QChar('0')).arg(i % 17));
    }

    // The statements the copy sends, and the raw size of the values.
    QStringList statements;
    size_t rawBytes = 0;
    {
        oracle::Connection connection;
        connection.open(source);
        oracle::ResultSet rows = connection.execute(R"(SELECT * FROM "BENCH")");
        std::vector<short> types;
        for (int i = 0; i < rows.fieldCount(); ++i)
            types.push_back(rows.column(i).sqlType);
        oracle::sql::InsertRowStatement insert("BENCH");
        for (; !rows.eof(); rows.moveNext()) {
            insert.start();
            for (size_t i = 0; i < types.size(); ++i) {
                const oracle::FieldValue& value = rows.row()[i];
                insert.add(value, types[i]);
                rawBytes += size_t(value.kind == oracle::FieldValue::Kind::Binary ? value.bytes.size() : value.text.toUtf8().size());
            }
            // A copy of its own: the builder reuses its text for the next row.
            const QString& text = insert.finish();
            statements << QString(text.constData(), text.size());
        }
    }
    // Reading alone, for the record: the part of the copy that the bare loop does not do.
    double readSeconds = 0;
    {
        oracle::Connection connection;
        connection.open(source);
        QElapsedTimer timer;
        timer.start();
        for (oracle::ResultSet rows = connection.execute(R"(SELECT * FROM "BENCH")"); !rows.eof(); rows.moveNext()) {
        }
        readSeconds = timer.nsecsElapsed() / 1e9;
    }
    // The table packed as the copy run buffers it, all of it on the heap here: what the packing costs.
    size_t bufferBytes = 0;
    {
        oracle::Connection connection;
        connection.open(source);
        oracle::ResultSet rows = connection.execute(R"(SELECT * FROM "BENCH")");
        tableops::RowBuffer buffer({SIZE_MAX, QDir::tempPath()});
        const size_t before = heapInUse();
        for (; !rows.eof(); rows.moveNext())
            buffer.append(rows.row());
        bufferBytes = heapInUse() - before;
    }
    // Peak memory first, while the target is still empty.
    std::printf("the copy alone, in a process of its own...\n");
    const double peakMiB = copyPeakMiB(argv[0]);
    db.exec("DST", "hr", R"(DROP TABLE "BENCH")");

    // Rounds of one copy run and one bare loop each, back to back, the two taking turns at going
    // first: a slow change of the machine's load (other processes, the file cache) weighs on both
    // halves of a pair alike, and each copy is compared with its own bare loop. The median of the
    // rounds' ratios passes over a pair that a burst of load hit; their lowest and highest say how
    // far the machine moved it. Six rounds by default: an even count lets each side lead as often.
    QProgressBar bar;
    bar.setRange(0, 100);
    bar.show();
    desktop::ProgressBarDisplay progress(&bar);
    desktop::QtEventPump events;
    const int rounds = qEnvironmentVariableIntValue("BENCH_ROUNDS") > 0 ? qEnvironmentVariableIntValue("BENCH_ROUNDS") : 6;
    const auto copyRound = [&] {
        PageHarness page;
        if (qEnvironmentVariableIsSet("BENCH_TRACE"))
            db.startTrace();
        QElapsedTimer timer;
        timer.start();
        const auto* box = copyOnce(events, progress, page);
        const double seconds = timer.nsecsElapsed() / 1e9;
        if (qEnvironmentVariableIsSet("BENCH_TRACE"))
            std::printf("%s\n", qPrintable(db.tracedStatements().join('\n')));
        if (box)
            std::printf("the copy showed %d boxes; first: %s\n", int(page.dialogs.shown.size()), qPrintable(box->text));
        const auto copied = db.query("DST", "hr", R"(SELECT COUNT(*) FROM "BENCH")");
        if (copied.value(0).value(0) != QString::number(rowCount))
            std::printf("the copy left %s of %d rows on the target\n", qPrintable(copied.value(0).value(0)), rowCount);
        db.exec("DST", "hr", R"(DROP TABLE "BENCH")");
        return seconds;
    };
    const auto bareRound = [&] {
        db.exec("BARE", "hr", kCreate);
        const double seconds = bareLoopSeconds(DevDbFixture::connectionString("BARE", "hr", "hr"), statements);
        db.exec("BARE", "hr", R"(DROP TABLE "BENCH")");
        return seconds;
    };
    std::vector<double> copyTimes, bareTimes, ratios;
    for (int round = 0; round < rounds; ++round) {
        double copy = 0, bare = 0;
        if (round % 2 == 0) {
            copy = copyRound();
            bare = bareRound();
        } else {
            bare = bareRound();
            copy = copyRound();
        }
        copyTimes.push_back(copy);
        bareTimes.push_back(bare);
        ratios.push_back(copy / bare);
        std::printf("round %d (%s first): copy run %.2f s, the same %lld INSERTs in a bare loop %.2f s, copy/bare %.3f\n",
                    round + 1, round % 2 == 0 ? "copy" : "bare", copy, (long long)statements.size(), bare, copy / bare);
    }

    const double copySeconds = median(copyTimes), bareSeconds = median(bareTimes);
    std::printf("medians of %d paired rounds\n", rounds);
    std::printf("copy run:  %.2f s for %d rows (%.1f us a row, reading and catalogue included)\n", copySeconds, rowCount,
                copySeconds * 1e6 / rowCount);
    std::printf("bare loop: %.2f s (%.1f us a row)\n", bareSeconds, bareSeconds * 1e6 / rowCount);
    std::printf("reading the source alone: %.2f s (%.1f us a row)\n", readSeconds, readSeconds * 1e6 / rowCount);
    std::printf("buffered table: %.1f MB for %.1f MB of raw values\n", bufferBytes / 1e6, rawBytes / 1e6);
    std::printf("peak resident memory of the copy alone: %.1f MiB\n", peakMiB);
    std::printf("copy/bare %.3f min %.3f max %.3f buffer/raw %.2f copy-peak-MiB %.0f\n", median(ratios),
                *std::min_element(ratios.begin(), ratios.end()), *std::max_element(ratios.begin(), ratios.end()),
                double(bufferBytes) / double(rawBytes), peakMiB);
    return 0;
}
