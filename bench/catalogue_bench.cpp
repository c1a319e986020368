// Opens the real tables page from saved logins on a schema of many tables, and times what a user
// waits for there: the page opening, "Select All" and "Deselect All" on the big list, and sending
// one table into it. The opening is compared with a bare isql listing of the same schema by what
// one more table costs each: both run on schemas of five sizes up to the largest, and a straight
// line through a round's times parts the cost of a table (its slope) from the fixed costs of
// starting and connecting. The line goes through processor time (of this process and the isql
// process): both are processor work on files in the cache, so on a quiet machine it is the wait
// itself, and on a busy one it leaves out the time the machine gave to others.
// Ends with "open-us-per-table A isql-us-per-table B open/isql R min L max H select-all-ms S": the
// medians over the rounds of the two slopes in microseconds and of their ratio, the ratio's lowest
// and highest round, and the best Select All on the largest list in milliseconds.
#include "devdb_fixture.h"
#include "page_services_harness.h"
#include "ui/login_page.h"
#include "ui/tables_page.h"
#include "ui/wizard.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <limits>
#include <numeric>
#include <sys/resource.h>
#include <vector>

namespace {

constexpr int kSizes = 5;         // schemas of 1/5, 2/5, ... 5/5 of the largest
constexpr int kClickRounds = 9;   // for the clicks, which take about a millisecond

// What an action took: on the clock, and of the processor in this process and its finished children.
struct Took {
    double seconds = 0;
    double processorSeconds = 0;
};

double processorSecondsSoFar()
{
    const auto seconds = [](const timeval& time) { return double(time.tv_sec) + double(time.tv_usec) / 1e6; };
    rusage self{}, children{};
    getrusage(RUSAGE_SELF, &self);
    getrusage(RUSAGE_CHILDREN, &children);
    return seconds(self.ru_utime) + seconds(self.ru_stime) + seconds(children.ru_utime) + seconds(children.ru_stime);
}

Took timed(const std::function<void()>& action)
{
    const double processorBefore = processorSecondsSoFar();
    QElapsedTimer timer;
    timer.start();
    action();
    return {double(timer.nsecsElapsed()) / 1e9, processorSecondsSoFar() - processorBefore};
}

double bestOf(int rounds, const std::function<double()>& measure)
{
    double best = std::numeric_limits<double>::max();
    for (int round = 0; round < rounds; ++round)
        best = std::min(best, measure());
    return best;
}

// The middle value; of an even count, the mean of the two in the middle.
double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// The slope of the least-squares line through the points.
double slope(const std::vector<double>& x, const std::vector<double>& y)
{
    const double meanX = std::accumulate(x.begin(), x.end(), 0.0) / double(x.size());
    const double meanY = std::accumulate(y.begin(), y.end(), 0.0) / double(y.size());
    double sxx = 0, sxy = 0;
    for (size_t i = 0; i < x.size(); ++i) {
        sxx += (x[i] - meanX) * (x[i] - meanX);
        sxy += (x[i] - meanX) * (y[i] - meanY);
    }
    return sxy / sxx;
}

// A bare listing of the user's tables by isql, as a process of its own, as a user would run it.
Took isqlListing(const QString& connectionString)
{
    return timed([&] {
        QProcess isql;
        isql.start("isql", {"-b", "-k", connectionString});
        isql.write("SELECT table_name FROM user_tables\n");
        isql.closeWriteChannel();
        isql.waitForFinished(-1);
        isql.readAllStandardOutput();
    });
}

// The program as it starts with saved logins: start-up tests both sides and opens the tables page.
struct OpenPages {
    PageServicesHarness harness;
    std::unique_ptr<ui::Wizard> wizard;
    ui::TablesPage* tables = nullptr;

    explicit OpenPages(const QString& sid2)
    {
        const QStringList saved = {"SIDE1", "scott", "tiger", sid2, "big", "pw"};
        for (int i = 0; i < 6; ++i)
            harness.settings->write(ui::kLoginFieldKeys[size_t(i)], saved[i]);
    }
    Took open()
    {
        return timed([&] {
            wizard = std::make_unique<ui::Wizard>(harness.services);
            wizard->start();
            tables = wizard->loadedTablesPage();
            QCoreApplication::processEvents();  // the page drawn with its lists
        });
    }
    double click(const char* button)
    {
        return timed([&] {
                   tables->findChild<QPushButton*>(button)->click();
                   QCoreApplication::processEvents();
               })
            .seconds;
    }
};

QString sizeSid(int size) { return QString("SIZE%1").arg(size + 1); }

Took opening(int size)
{
    Took took;
    {
        OpenPages pages(sizeSid(size));
        took = pages.open();
    }
    // What the closed pages left for later goes now, not into the next opening.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return took;
}

Took listing(int size) { return isqlListing(DevDbFixture::connectionString(sizeSid(size), "big", "pw")); }

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    const int tableCount = argc > 1 ? std::atoi(argv[1]) : 50000;
    const int rounds = qEnvironmentVariableIntValue("BENCH_ROUNDS") > 0 ? qEnvironmentVariableIntValue("BENCH_ROUNDS") : 9;

    // Every size in a database of its own, so that no listing passes over another's tables.
    DevDbFixture db;
    db.addUser("SIDE1", "scott", "tiger");
    std::vector<double> tables;
    for (int size = 0; size < kSizes; ++size) {
        db.addUser(sizeSid(size), "big", "pw");
        tables.push_back(double(tableCount) * (size + 1) / kSizes);
    }
    std::printf("filling schemas of %.0f to %d tables...\n", tables.front(), tableCount);
    const Took filling = timed([&] {
        for (int size = 0; size < kSizes; ++size) {
            DevDbConnection big(DevDbFixture::connectionString(sizeSid(size), "big", "pw"));
            for (int i = 0; i < int(tables[size_t(size)]); ++i)
                big.exec(QString(R"(CREATE TABLE "T%1"("A" NUMBER))").arg(i, 6, 10, QChar('0')));
        }
        DevDbConnection side1(DevDbFixture::connectionString("SIDE1", "scott", "tiger"));
        for (int i = 0; i < 10; ++i)
            side1.exec(QString(R"(CREATE TABLE "S%1"("A" NUMBER))").arg(i, 6, 10, QChar('0')));
        side1.exec(R"(INSERT INTO "S000000" VALUES('1'))");
    });
    std::printf("filled in %.1f s\n", filling.seconds);

    // Paired rounds: at each size the listing and the opening back to back, taking turns at going
    // first, and the sizes in a turning order, so that a change of the machine's load favours
    // neither side nor any size. The first listing and opening of the process only warm up.
    listing(0);
    opening(0);
    std::vector<std::vector<Took>> listings(kSizes), openings(kSizes);
    std::vector<double> listingSlopes, openingSlopes, ratios;
    for (int round = 0; round < rounds; ++round) {
        std::vector<double> listingProcessor(kSizes), openingProcessor(kSizes);
        for (int step = 0; step < kSizes; ++step) {
            const int size = (step + round) % kSizes;
            Took listed, opened;
            if (round % 2 == 0) {
                listed = listing(size);
                opened = opening(size);
            } else {
                opened = opening(size);
                listed = listing(size);
            }
            listings[size_t(size)].push_back(listed);
            openings[size_t(size)].push_back(opened);
            listingProcessor[size_t(size)] = listed.processorSeconds;
            openingProcessor[size_t(size)] = opened.processorSeconds;
        }
        listingSlopes.push_back(slope(tables, listingProcessor));
        openingSlopes.push_back(slope(tables, openingProcessor));
        ratios.push_back(openingSlopes.back() / listingSlopes.back());
        std::printf("round %d: a table costs the opening %.3f us and the listing %.3f us of processor, open/isql %.3f\n",
                    round + 1, openingSlopes.back() * 1e6, listingSlopes.back() * 1e6, ratios.back());
    }
    const auto medianOf = [](const std::vector<Took>& took, double Took::*part) {
        std::vector<double> values;
        for (const Took& one : took)
            values.push_back(one.*part);
        return median(values);
    };
    std::printf("medians of %d rounds, seconds (of processor):\n%8s %18s %18s\n", rounds, "tables", "isql listing",
                "opening the page");
    for (size_t size = 0; size < size_t(kSizes); ++size)
        std::printf("%8.0f %8.3f (%.3f) %8.3f (%.3f)\n", tables[size], medianOf(listings[size], &Took::seconds),
                    medianOf(listings[size], &Took::processorSeconds), medianOf(openings[size], &Took::seconds),
                    medianOf(openings[size], &Took::processorSeconds));

    OpenPages pages(sizeSid(kSizes - 1));
    pages.open();
    const int entries = pages.tables->findChild<QListWidget*>("List2")->count();
    const double selectAll = bestOf(kClickRounds, [&] {
        pages.click("PushButton7");
        return pages.click("PushButton6");
    });
    const double deselectAll = bestOf(kClickRounds, [&] {
        pages.click("PushButton6");
        return pages.click("PushButton7");
    });
    // One table of one row from side 1 into the big list, which has no table of that name.
    QListWidget* list1 = pages.tables->findChild<QListWidget*>("List1");
    list1->setCurrentRow(0, QItemSelectionModel::Select);
    const double sendOne = pages.click("PushButton3");
    const bool sent = pages.tables->findChild<QListWidget*>("List2")->count() == entries + 1;

    std::printf("the big list: %d entries%s\n", entries, entries == tableCount ? "" : " (not every table)");
    std::printf("Select All: %.3f ms, Deselect All: %.3f ms (best of %d), sending one table into the list: %.1f ms%s\n",
                selectAll * 1e3, deselectAll * 1e3, kClickRounds, sendOne * 1e3, sent ? "" : " (the table did not arrive)");
    std::printf("open-us-per-table %.3f isql-us-per-table %.3f open/isql %.3f min %.3f max %.3f select-all-ms %.3f\n",
                median(openingSlopes) * 1e6, median(listingSlopes) * 1e6, median(ratios),
                *std::min_element(ratios.begin(), ratios.end()), *std::max_element(ratios.begin(), ratios.end()),
                selectAll * 1e3);
    return 0;
}
