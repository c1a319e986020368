// Copies a table of 100,000 rows of mixed columns through the real copy run, then sends the very
// same INSERT statements through a bare loop on one ODBC connection, and compares them in paired
// rounds: the last line's copy/bare is the median of the rounds' ratios, then their min and max.
// Also measures what the buffered table costs against the raw size of its values, and the peak
// resident memory of a process that runs nothing but the copy run.
//
// Then the batched copy (bound rows in arrays, an execute and a commit a batch) next to a bare
// ODBC loop that reads the same table and sends the same arrays (bare_array_loop.h), in paired
// rounds as well, with no added latency and at 2 ms a round trip; at 2 ms the literal copy runs
// in the same rounds on a sample of the rows. And the peak memory of the batched copy alone, of
// the same table and of a table of 1 MB CLOBs.
#include "platform/step_trap.h"
#include "bare_array_loop.h"
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
#include <stdexcept>
#include <sql.h>
#include <sqlext.h>
#include <sys/resource.h>
#include <vector>

namespace {

const char* const kCreate =
    R"(CREATE TABLE "BENCH"("ID" NUMBER, "NAME" VARCHAR2(40), "CODE" CHAR(8), "AMOUNT" NUMBER(12,2),)"
    R"( "CREATED" DATE, "UPDATED" TIMESTAMP(6), "NOTE" VARCHAR2(200), "QTY" NUMBER))";

// The table of long values: an id and a CLOB.
const char* const kCreateLobs = R"(CREATE TABLE "BENCH"("ID" NUMBER, "BODY" CLOB))";

size_t heapInUse() { return mallinfo2().uordblks + mallinfo2().hblkhd; }

// A number from the environment, or the given one when it is unset or not above zero.
int environmentNumber(const char* name, int otherwise)
{
    const int value = qEnvironmentVariableIntValue(name);
    return value > 0 ? value : otherwise;
}

// Fills BENCH with rows 0 to rowCount - 1, one literal INSERT each: every database given the same
// count holds the same rows.
void fillBenchTable(const QString& connectionString, int rowCount)
{
    oracle::Connection connection;
    connection.open(connectionString);
    connection.execute(kCreate);
    for (int i = 0; i < rowCount; ++i)
        connection.execute(QString(R"(INSERT INTO "BENCH" VALUES('%1', 'Customer name %2', 'C%3', '%4.%5', {ts '2024-%6-%7 10:11:12'}, {ts '2024-03-04 05:06:07.%8'}, 'A note of some length for row %1, with ''quotes''', '%9'))")
                               .arg(i).arg(i * 7919 % 100000).arg(i % 9999, 4, 10, QChar('0')).arg(i % 100000).arg(i % 100, 2, 10, QChar('0'))
                               .arg(i % 12 + 1, 2, 10, QChar('0')).arg(i % 28 + 1, 2, 10, QChar('0')).arg(i % 1000000, 6, 10, QChar('0')).arg(i % 17));
}

// Fills BENCH with rowCount rows of a 1 MiB CLOB each, bound in arrays of a few rows, saying how
// far it is as it goes.
void fillLobTable(const QString& connectionString, int rowCount)
{
    constexpr int kRowsAnExecute = 16;
    DevDbConnection connection(connectionString);
    connection.exec(kCreateLobs);
    QString filler;
    filler.reserve(1 << 20);
    while (filler.size() < (1 << 20))
        filler += QStringLiteral("A long value of a CLOB column, written for the memory measure; ");
    filler.truncate(1 << 20);
    QElapsedTimer sinceLine;
    sinceLine.start();
    for (int first = 0; first < rowCount; first += kRowsAnExecute) {
        QList<QStringList> rows;
        for (int i = first; i < std::min(rowCount, first + kRowsAnExecute); ++i) {
            const QString id = QString::number(i);
            rows.append({id, id + QLatin1Char(' ') + filler.left(filler.size() - id.size() - 1)});
        }
        const QString error = connection.execArray(R"(INSERT INTO "BENCH" VALUES(?, ?))", rows);
        if (!error.isEmpty())
            throw std::runtime_error(error.toStdString());
        if (sinceLine.elapsed() >= 5000) {
            std::printf("  %d of %d rows\n", first + int(rows.size()), rowCount);
            std::fflush(stdout);
            sinceLine.start();
        }
    }
}

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

// Where a copy run takes the table BENCH from (as scott) and sends it to (as hr), and how many rows
// go to a batch: 1 is the literal copy, one INSERT a row.
struct CopyRoute {
    QString source = "SRC";
    QString target = "DST";
    int batchRows = tableops::kRowsOneByOne;
};

// One copy run of the route, as the page runs it.
const ScriptedDialogs::Shown* copyOnce(platform::EventPump& events, platform::ProgressDisplay& progress, PageHarness& page,
                                       const CopyRoute& route)
{
    page.profile1 = {route.source, "scott", "tiger"};
    page.profile2 = {route.target, "hr", "hr"};
    page.list1 = PlainTableList({"BENCH"});
    page.list1.select({"BENCH"});
    tableops::PageContext context{page.dialogs, page.pointer, events, progress, page.journal, page, page.list1, page.list2, "Mirravel"};
    context.batch.rows = route.batchRows;
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

// The rounds' ratios as the last line gives them: "R min L max H".
QString ratioSummary(const std::vector<double>& ratios, int decimals)
{
    return QString("%1 min %2 max %3")
        .arg(median(ratios), 0, 'f', decimals)
        .arg(*std::min_element(ratios.begin(), ratios.end()), 0, 'f', decimals)
        .arg(*std::max_element(ratios.begin(), ratios.end()), 0, 'f', decimals);
}

// The child process of the memory measure: the copy run alone, in the data folder the parent made
// (ODBCSYSINI is inherited), then its own peak resident memory. After --copy-only may come the
// route: source SID, target SID, rows to a batch (else SRC, DST, the literal copy).
int copyOnly(int argc, char* argv[])
{
    QApplication application(argc, argv);
    CopyRoute route;
    if (argc > 4)
        route = {QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]), std::atoi(argv[4])};
    QProgressBar bar;
    bar.setRange(0, 100);
    bar.show();
    desktop::ProgressBarDisplay progress(&bar);
    desktop::QtEventPump events;
    PageHarness page;
    if (const auto* box = copyOnce(events, progress, page, route))
        std::printf("the copy showed a box: %s\n", qPrintable(box->text));
    std::printf("peak-kib %ld\n", peakResidentKiB());
    return 0;
}

// Runs the copy alone in a process of its own and gives its peak resident memory in MiB.
double copyPeakMiB(const char* self, const CopyRoute& route)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QString::fromLocal8Bit(self), {"--copy-only", route.source, route.target, QString::number(route.batchRows)});
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
    const int batchRows = environmentNumber("BENCH_BATCH_ROWS", 1000);
    const int sampleRows = std::min(rowCount, environmentNumber("BENCH_LITERAL_SAMPLE", 3000));
    const int lobRows = qEnvironmentVariableIsSet("BENCH_LOB_ROWS") ? qEnvironmentVariableIntValue("BENCH_LOB_ROWS") : 1000;
    constexpr int kLatencyMs = 2;

    DevDbFixture db;
    db.addUser("SRC", "scott", "tiger");
    db.addUser("DST", "hr", "hr");
    db.addUser("BARE", "hr", "hr");
    db.addUser("SAMPLE", "scott", "tiger");
    db.addUser("LOBSRC", "scott", "tiger");
    db.addUser("LOBDST", "hr", "hr");
    const QString source = DevDbFixture::connectionString("SRC", "scott", "tiger");
    const QString bareTarget = DevDbFixture::connectionString("BARE", "hr", "hr");

    std::printf("filling the source with %d rows...\n", rowCount);
    fillBenchTable(source, rowCount);
    // The literal copy's sample at 2 ms: the source's first rows, in a database of their own.
    fillBenchTable(DevDbFixture::connectionString("SAMPLE", "scott", "tiger"), sampleRows);

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
    // Peak memory first, while the target is still empty; the batched copy's of the same table
    // likewise.
    const CopyRoute literal;
    const CopyRoute batched{"SRC", "DST", batchRows};
    std::printf("the copy alone, in a process of its own...\n");
    const double peakMiB = copyPeakMiB(argv[0], literal);
    db.exec("DST", "hr", R"(DROP TABLE "BENCH")");
    std::printf("the batched copy alone, in a process of its own...\n");
    const double batchedPeakMiB = copyPeakMiB(argv[0], batched);
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
    const int rounds = environmentNumber("BENCH_ROUNDS", 6);
    const auto copyRound = [&](const CopyRoute& route, int expectedRows) {
        PageHarness page;
        if (qEnvironmentVariableIsSet("BENCH_TRACE"))
            db.startTrace();
        QElapsedTimer timer;
        timer.start();
        const auto* box = copyOnce(events, progress, page, route);
        const double seconds = timer.nsecsElapsed() / 1e9;
        if (qEnvironmentVariableIsSet("BENCH_TRACE"))
            std::printf("%s\n", qPrintable(db.tracedStatements().join('\n')));
        if (box)
            std::printf("the copy showed %d boxes; first: %s\n", int(page.dialogs.shown.size()), qPrintable(box->text));
        const auto copied = db.query(route.target, "hr", R"(SELECT COUNT(*) FROM "BENCH")");
        if (copied.value(0).value(0) != QString::number(expectedRows))
            std::printf("the copy left %s of %d rows on the target\n", qPrintable(copied.value(0).value(0)), expectedRows);
        db.exec(route.target, "hr", R"(DROP TABLE "BENCH")");
        return seconds;
    };
    const auto bareRound = [&] {
        db.exec("BARE", "hr", kCreate);
        const double seconds = bareLoopSeconds(bareTarget, statements);
        db.exec("BARE", "hr", R"(DROP TABLE "BENCH")");
        return seconds;
    };
    std::vector<double> copyTimes, bareTimes, ratios;
    for (int round = 0; round < rounds; ++round) {
        double copy = 0, bare = 0;
        if (round % 2 == 0) {
            copy = copyRound(literal, rowCount);
            bare = bareRound();
        } else {
            bare = bareRound();
            copy = copyRound(literal, rowCount);
        }
        copyTimes.push_back(copy);
        bareTimes.push_back(bare);
        ratios.push_back(copy / bare);
        std::printf("round %d (%s first): copy run %.2f s, the same %lld INSERTs in a bare loop %.2f s, copy/bare %.3f\n",
                    round + 1, round % 2 == 0 ? "copy" : "bare", copy, (long long)statements.size(), bare, copy / bare);
    }

    // The batched copy against its bare loop. Both read the source whole before they write, so
    // both times include the reading; the copy's includes its catalogue queries too.
    const auto bareArrayRound = [&] {
        db.exec("BARE", "hr", kCreate);
        const BareArrayRun run = RunBareArrayLoop(source, bareTarget, "BENCH", batchRows);
        const auto sent = db.query("BARE", "hr", R"(SELECT COUNT(*) FROM "BENCH")");
        if (run.failures || sent.value(0).value(0) != QString::number(rowCount))
            std::printf("the bare batched loop failed %d times and left %s of %d rows\n", run.failures,
                        qPrintable(sent.value(0).value(0)), rowCount);
        db.exec("BARE", "hr", R"(DROP TABLE "BENCH")");
        return run.seconds;
    };
    // One pair unmeasured first: the bare loop's arrays come fresh from the system the first
    // times (page faults), and later from memory the allocator keeps.
    copyRound(batched, rowCount);
    bareArrayRound();
    std::vector<double> batchedTimes, bareArrayTimes, batchedRatios;
    for (int round = 0; round < rounds; ++round) {
        double copy = 0, loop = 0;
        if (round % 2 == 0) {
            copy = copyRound(batched, rowCount);
            loop = bareArrayRound();
        } else {
            loop = bareArrayRound();
            copy = copyRound(batched, rowCount);
        }
        batchedTimes.push_back(copy);
        bareArrayTimes.push_back(loop);
        batchedRatios.push_back(copy / loop);
        std::printf("round %d (%s first): batched copy run %.2f s, bare batched loop %.2f s (both reading the source), "
                    "batched/bare %.3f\n",
                    round + 1, round % 2 == 0 ? "copy" : "bare", copy, loop, copy / loop);
    }

    // The same at 2 ms a round trip, with the literal copy in the same rounds. At a round trip a
    // row it would take minutes for the whole table, so it copies a sample of the rows; its cost
    // is linear in rows, so batched/literal compares rows a second. The three take turns: the
    // batched copy first in one round, last in the next.
    db.setLatency(kLatencyMs);
    const CopyRoute literalSample{"SAMPLE", "DST", tableops::kRowsOneByOne};
    std::vector<double> slowBatchedTimes, slowBareTimes, slowLiteralTimes, slowBareRatios, speedups;
    for (int round = 0; round < rounds; ++round) {
        double copy = 0, loop = 0, sample = 0;
        if (round % 2 == 0) {
            copy = copyRound(batched, rowCount);
            loop = bareArrayRound();
            sample = copyRound(literalSample, sampleRows);
        } else {
            sample = copyRound(literalSample, sampleRows);
            loop = bareArrayRound();
            copy = copyRound(batched, rowCount);
        }
        const double speedup = (rowCount / copy) / (sampleRows / sample);
        slowBatchedTimes.push_back(copy);
        slowBareTimes.push_back(loop);
        slowLiteralTimes.push_back(sample);
        slowBareRatios.push_back(copy / loop);
        speedups.push_back(speedup);
        std::printf("round %d at %d ms (%s first): batched copy run %.2f s (%.0f rows/s), bare batched loop %.2f s, "
                    "batched/bare %.3f; literal copy of %d rows %.2f s (%.0f rows/s), batched/literal %.1f a row\n",
                    round + 1, kLatencyMs, round % 2 == 0 ? "batched" : "literal", copy, rowCount / copy, loop, copy / loop,
                    sampleRows, sample, sampleRows / sample, speedup);
    }
    // To confirm the extrapolation: the literal copy of the whole table, once.
    double fullLiteralSeconds = 0;
    if (qEnvironmentVariableIntValue("BENCH_FULL_LITERAL") == 1) {
        std::printf("the literal copy of all %d rows at %d ms, once...\n", rowCount, kLatencyMs);
        fullLiteralSeconds = copyRound(literal, rowCount);
    }
    db.setLatency(0);

    // A batched copy of long values alone: its peak memory with the table far beyond the row
    // buffer's memory.
    double lobPeakMiB = -1, lobSeconds = 0;
    if (lobRows > 0) {
        std::printf("filling a table of %d rows of a 1 MiB CLOB each...\n", lobRows);
        std::fflush(stdout);
        fillLobTable(DevDbFixture::connectionString("LOBSRC", "scott", "tiger"), lobRows);
        std::printf("the batched copy of the CLOB table alone, in a process of its own...\n");
        std::fflush(stdout);
        QElapsedTimer timer;
        timer.start();
        lobPeakMiB = copyPeakMiB(argv[0], {"LOBSRC", "LOBDST", batchRows});
        lobSeconds = timer.nsecsElapsed() / 1e9;
        const auto copied = db.query("LOBDST", "hr", R"(SELECT COUNT(*) FROM "BENCH")");
        if (copied.value(0).value(0) != QString::number(lobRows))
            std::printf("the CLOB copy left %s of %d rows on the target\n", qPrintable(copied.value(0).value(0)), lobRows);
    }

    const double copySeconds = median(copyTimes), bareSeconds = median(bareTimes);
    std::printf("medians of %d paired rounds\n", rounds);
    std::printf("copy run:  %.2f s for %d rows (%.1f us a row, reading and catalogue included)\n", copySeconds, rowCount,
                copySeconds * 1e6 / rowCount);
    std::printf("bare loop: %.2f s (%.1f us a row)\n", bareSeconds, bareSeconds * 1e6 / rowCount);
    std::printf("reading the source alone: %.2f s (%.1f us a row)\n", readSeconds, readSeconds * 1e6 / rowCount);
    std::printf("buffered table: %.1f MB for %.1f MB of raw values\n", bufferBytes / 1e6, rawBytes / 1e6);
    std::printf("peak resident memory of the copy alone: %.1f MiB\n", peakMiB);
    const double batchedSeconds = median(batchedTimes), bareArraySeconds = median(bareArrayTimes);
    std::printf("batched copy run, %d rows a batch: %.2f s (%.1f us a row, reading and catalogue included)\n", batchRows,
                batchedSeconds, batchedSeconds * 1e6 / rowCount);
    std::printf("bare batched loop: %.2f s (%.1f us a row, reading included)\n", bareArraySeconds,
                bareArraySeconds * 1e6 / rowCount);
    std::printf("peak resident memory of the batched copy alone: %.1f MiB (the literal copy's: %.1f MiB)\n", batchedPeakMiB,
                peakMiB);
    const double slowBatched = median(slowBatchedTimes), slowLiteral = median(slowLiteralTimes);
    std::printf("at %d ms a round trip, medians of %d rounds:\n", kLatencyMs, rounds);
    std::printf("  batched copy run: %.2f s, %.0f rows/s (reading included)\n", slowBatched, rowCount / slowBatched);
    std::printf("  bare batched loop: %.2f s, %.0f rows/s (reading included)\n", median(slowBareTimes),
                rowCount / median(slowBareTimes));
    std::printf("  literal copy run of a sample of %d rows: %.2f s, %.0f rows/s; extrapolated to %d rows (a round trip "
                "a row, so linear in rows): %.0f s\n",
                sampleRows, slowLiteral, sampleRows / slowLiteral, rowCount, slowLiteral * rowCount / sampleRows);
    if (fullLiteralSeconds > 0)
        std::printf("  literal copy run of all %d rows, once: %.0f s, %.0f rows/s\n", rowCount, fullLiteralSeconds,
                    rowCount / fullLiteralSeconds);
    if (lobRows > 0)
        std::printf("peak resident memory of the batched copy of %d rows of a 1 MiB CLOB each, alone: %.1f MiB "
                    "(the process took %.0f s)\n",
                    lobRows, lobPeakMiB, lobSeconds);
    std::printf("copy/bare %s buffer/raw %.2f copy-peak-MiB %.0f batched/bare %s batched-peak-MiB %.0f at-%dms batched/bare "
                "%s batched/literal %s lob-peak-MiB %.0f\n",
                qPrintable(ratioSummary(ratios, 3)), double(bufferBytes) / double(rawBytes), peakMiB,
                qPrintable(ratioSummary(batchedRatios, 3)), batchedPeakMiB, kLatencyMs,
                qPrintable(ratioSummary(slowBareRatios, 3)), qPrintable(ratioSummary(speedups, 1)), lobPeakMiB);
    return 0;
}
