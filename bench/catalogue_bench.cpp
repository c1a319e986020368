// Opens the real tables page from saved logins on a schema of many tables, and times what a user
// waits for there: the page opening, "Select All" and "Deselect All" on the big list, and sending
// one table into it. The opening is compared with a bare isql listing of the same schema: what
// the many tables add to each, over a schema of 10 tables, so that fixed costs cancel out.
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

namespace {

constexpr int kRounds = 3;

double bestOf(int rounds, const std::function<double()>& measure)
{
    double best = std::numeric_limits<double>::max();
    for (int round = 0; round < rounds; ++round)
        best = std::min(best, measure());
    return best;
}

double secondsOf(const std::function<void()>& action)
{
    QElapsedTimer timer;
    timer.start();
    action();
    return timer.nsecsElapsed() / 1e9;
}

// A bare listing of the user's tables by isql, as a process of its own, as a user would run it.
double isqlListing(const QString& connectionString)
{
    return secondsOf([&] {
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

    explicit OpenPages(const QString& user2)
    {
        const QStringList saved = {"SIDE1", "scott", "tiger", "SIDE2", user2, "pw"};
        for (int i = 0; i < 6; ++i)
            harness.settings->write(ui::kLoginFieldKeys[size_t(i)], saved[i]);
    }
    double open()
    {
        return secondsOf([&] {
            wizard = std::make_unique<ui::Wizard>(harness.services);
            wizard->start();
            tables = wizard->loadedTablesPage();
            QCoreApplication::processEvents();  // the page drawn with its lists
        });
    }
    double click(const char* button)
    {
        return secondsOf([&] {
            tables->findChild<QPushButton*>(button)->click();
            QCoreApplication::processEvents();
        });
    }
};

double openingSeconds(const QString& user2)
{
    return bestOf(kRounds, [&] {
        OpenPages pages(user2);
        return pages.open();
    });
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    const int tableCount = argc > 1 ? std::atoi(argv[1]) : 50000;

    DevDbFixture db;
    db.addUser("SIDE1", "scott", "tiger");
    db.addUser("SIDE2", "small", "pw");
    db.addUser("SIDE2", "big", "pw");
    std::printf("filling a schema with %d tables...\n", tableCount);
    const double filling = secondsOf([&] {
        DevDbConnection big(DevDbFixture::connectionString("SIDE2", "big", "pw"));
        for (int i = 0; i < tableCount; ++i)
            big.exec(QString(R"(CREATE TABLE "T%1"("A" NUMBER))").arg(i, 6, 10, QChar('0')));
        DevDbConnection small(DevDbFixture::connectionString("SIDE2", "small", "pw"));
        DevDbConnection side1(DevDbFixture::connectionString("SIDE1", "scott", "tiger"));
        for (int i = 0; i < 10; ++i) {
            small.exec(QString(R"(CREATE TABLE "T%1"("A" NUMBER))").arg(i, 6, 10, QChar('0')));
            side1.exec(QString(R"(CREATE TABLE "S%1"("A" NUMBER))").arg(i, 6, 10, QChar('0')));
        }
        side1.exec(R"(INSERT INTO "S000000" VALUES('1'))");
    });
    std::printf("filled in %.1f s\n", filling);

    const double isqlSmall = bestOf(kRounds, [] { return isqlListing(DevDbFixture::connectionString("SIDE2", "small", "pw")); });
    const double isqlBig = bestOf(kRounds, [] { return isqlListing(DevDbFixture::connectionString("SIDE2", "big", "pw")); });
    const double openSmall = openingSeconds("small");
    const double openBig = openingSeconds("big");

    OpenPages pages("big");
    pages.open();
    const int entries = pages.tables->findChild<QListWidget*>("List2")->count();
    const double selectAll = bestOf(kRounds, [&] {
        pages.click("PushButton7");
        return pages.click("PushButton6");
    });
    const double deselectAll = bestOf(kRounds, [&] {
        pages.click("PushButton6");
        return pages.click("PushButton7");
    });
    // One table of one row from side 1 into the big list, which has no table of that name.
    QListWidget* list1 = pages.tables->findChild<QListWidget*>("List1");
    list1->setCurrentRow(0, QItemSelectionModel::Select);
    const double sendOne = pages.click("PushButton3");
    const bool sent = pages.tables->findChild<QListWidget*>("List2")->count() == entries + 1;

    std::printf("isql listing user_tables: %.3f s at 10 tables, %.3f s at %d\n", isqlSmall, isqlBig, tableCount);
    std::printf("opening the tables page from saved logins: %.3f s at 10 tables, %.3f s at %d (%d entries)\n", openSmall,
                openBig, tableCount, entries);
    std::printf("Select All: %.1f ms, Deselect All: %.1f ms, sending one table into the list: %.1f ms%s\n",
                selectAll * 1e3, deselectAll * 1e3, sendOne * 1e3, sent ? "" : " (the table did not arrive)");
    const double ratio = (openBig - openSmall) / std::max(isqlBig - isqlSmall, 1e-6);
    std::printf("open/isql %.2f select-all-ms %.0f\n", ratio, selectAll * 1e3);
    return 0;
}
