// The tables page driven through its controls: lists, selection, Back, Help, failures of the
// catalogue, the busy guard and closing during a run.
#include "devdb_fixture.h"
#include "desktop/skin.h"
#include "desktop/message_box_dialogs.h"
#include "desktop/qt_ports.h"
#include "open_box.h"
#include "page_services_harness.h"
#include "ui/login_page.h"
#include "ui/tables_page.h"
#include "ui/page_layouts.h"
#include "ui/wizard.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

using oracle::DatabaseSide;

class TablesPageTest : public QObject {
    Q_OBJECT

    std::unique_ptr<DevDbFixture> db;
    std::unique_ptr<PageServicesHarness> harness;
    std::unique_ptr<ui::Wizard> wizard;
    ui::LoginPage* login = nullptr;
    ui::TablesPage* page = nullptr;

    QListWidget* listWidget(int n) { return page->findChild<QListWidget*>(QString("List%1").arg(n)); }
    QPushButton* button(const char* name) { return page->findChild<QPushButton*>(name); }
    QStringList names(int n)
    {
        QStringList result;
        for (int i = 0; i < listWidget(n)->count(); ++i)
            result << listWidget(n)->item(i)->text();
        return result;
    }
    void clickEntry(int list, int row)
    {
        QListWidget* widget = listWidget(list);
        QTest::mouseClick(widget->viewport(), Qt::LeftButton, {}, widget->visualItemRect(widget->item(row)).center());
    }
    void start(ui::PageServices& services)
    {
        wizard = std::make_unique<ui::Wizard>(services);
        login = &wizard->loginPage();
        wizard->start();
        page = wizard->loadedTablesPage();
    }
    void open(const QString& user2 = "hr", const QString& password2 = "hr")
    {
        harness = std::make_unique<PageServicesHarness>();
        const QStringList saved = {"DEMO1", "scott", "tiger", "DEMO2", user2, password2};
        for (int i = 0; i < 6; ++i)
            harness->settings->write(ui::kLoginFieldKeys[size_t(i)], saved[i]);
        start(harness->services);
        QVERIFY(page);
    }

private slots:
    void initTestCase()
    {
        db = std::make_unique<DevDbFixture>();
        db->addUser("DEMO1", "scott", "tiger");
        db->addUser("DEMO2", "hr", "hr");
        db->addUser("DEMO2", "empty", "e");
        for (const char* name : {"ORDERS", "customers", "Zebra", "ACCOUNTS"})
            db->exec("DEMO1", "scott", QString(R"(CREATE TABLE "%1"("A" NUMBER))").arg(name));
        db->exec("DEMO1", "scott", R"(INSERT INTO "ORDERS" VALUES('1'))");
        db->exec("DEMO2", "hr", R"(CREATE TABLE "REGIONS"("A" NUMBER))");
    }
    void cleanup()
    {
        wizard.reset();
        harness.reset();
        db->clearFaults();
    }

    // The bar shows what a copy does, also in Qt's busy state, which draws no text of its own, and
    // from one table to the next (an empty one after one that ended at 100%); the designed text ends the work.
    void progressBarTellsTheWork()
    {
        QWidget form;
        const ui::TablesPageControls controls = ui::BuildTablesPageControls(&form);
        desktop::ProgressBarDisplay display(controls.progressBar);
        display.showWork("Reading ORDERS...", true);
        QCOMPARE(controls.progressBar->maximum(), 0);
        QCOMPARE(controls.progressBar->text(), QString("Reading ORDERS..."));
        display.showWork("ORDERS: 12,345 of 1,000,000 rows", false);
        display.setValue(1);
        QCOMPARE(controls.progressBar->maximum(), 100);
        QCOMPARE(controls.progressBar->text(), QString("ORDERS: 12,345 of 1,000,000 rows"));
        display.setValue(100);
        display.showWork("Reading T...", true);
        display.showWork("T: 0 of 0 rows", false);
        QCOMPARE(controls.progressBar->text(), QString("T: 0 of 0 rows"));
        display.setValue(0);
        display.setText("Progress Bar");
        QCOMPARE(controls.progressBar->text(), QString("Progress Bar"));
        QCOMPARE(controls.progressBar->value(), 0);
    }

    void listsAreFilledSorted()
    {
        open();
        QCOMPARE(names(1), QStringList({"ACCOUNTS", "customers", "ORDERS", "Zebra"}));
        QCOMPARE(names(2), QStringList({"REGIONS"}));
        QCOMPARE(page->windowTitle(), QString("Mirravel"));
        QCOMPARE(page->findChild<QProgressBar*>("ProgressBar1")->format(), QString("Progress Bar"));
        QCOMPARE(page->findChild<QProgressBar*>("ProgressBar1")->maximum(), 100);
        QCOMPARE(page->palette().color(QPalette::Window), desktop::ButtonFaceColour());
        QCOMPARE(page->focusWidget(), listWidget(2));
    }

    void everyControlLiesInsideTheWindow()
    {
        open();
        const QRect client = page->rect();
        for (QWidget* control : page->findChildren<QWidget*>()) {
            if (!control->isVisibleTo(page) || control->parentWidget() != page)
                continue;
            QVERIFY2(client.contains(control->geometry()), qPrintable(control->objectName()));
        }
        const QRect lowest = button("PushButton12")->geometry();
        QVERIFY(lowest.bottom() < client.bottom());
    }

    void aClickTogglesOneEntry()
    {
        open();
        clickEntry(1, 1);
        clickEntry(1, 3);
        QCOMPARE(page->tableList(DatabaseSide::One).selectedCount(), 2);
        clickEntry(1, 1);
        QCOMPARE(page->tableList(DatabaseSide::One).selectedCount(), 1);
        QVERIFY(page->tableList(DatabaseSide::One).isSelected(3));
        QCOMPARE(page->tableList(DatabaseSide::One).currentIndex(), 1);
    }

    // Focus alone, as a desktop gives it when the page opens or on Tab, makes no entry current:
    // each side's commands still ask for a table first.
    void focusMakesNoEntryCurrent()
    {
        open();
        page->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(page));
        QCOMPARE(QApplication::focusWidget(), listWidget(2));
        listWidget(1)->setFocus(Qt::TabFocusReason);
        QCOMPARE(QApplication::focusWidget(), listWidget(1));
        listWidget(2)->setFocus(Qt::OtherFocusReason);
        QCOMPARE(page->tableList(DatabaseSide::One).currentIndex(), -1);
        QCOMPARE(page->tableList(DatabaseSide::Two).currentIndex(), -1);

        for (const char* name : {"PushButton3", "PushButton4", "PushButton5", "PushButton8", "PushButton9", "PushButton10"})
            button(name)->click();
        const QString sendText = "Please select a table.", deleteText = "Please select a table",
                      renameText = "Please select an Oracle table to rename.";
        QCOMPARE(harness->dialogs.texts("information"),
                 QStringList({sendText, deleteText, renameText, sendText, deleteText, renameText}));
        QCOMPARE(names(1).size(), 4);
        QCOMPARE(names(2), QStringList({"REGIONS"}));

        // A key of the user does make one current.
        QTest::keyClick(listWidget(2), Qt::Key_Down);
        QCOMPARE(page->tableList(DatabaseSide::Two).currentIndex(), 0);
        QCOMPARE(page->tableList(DatabaseSide::Two).selectedCount(), 0);
    }

    // Code that removes the current entry leaves no entry current, as in the classic list box;
    // entries around it keep theirs.
    void removingTheCurrentEntryLeavesNoneCurrent()
    {
        db->exec("DEMO1", "scott", R"(CREATE TABLE "BIN"("A" NUMBER))");
        open();
        clickEntry(1, 1);  // BIN
        button("PushButton4")->click();
        QVERIFY(!names(1).contains("BIN"));
        QCOMPARE(page->tableList(DatabaseSide::One).currentIndex(), -1);
        button("PushButton4")->click();
        QCOMPARE(harness->dialogs.texts("information"), QStringList{"Please select a table"});

        platform::TableList& entries = page->tableList(DatabaseSide::One);
        clickEntry(1, 2);  // ORDERS
        entries.removeAt(0);
        QCOMPARE(entries.text(entries.currentIndex()), QString("ORDERS"));
        entries.add("AAA");
        QCOMPARE(entries.text(entries.currentIndex()), QString("ORDERS"));
        entries.removeAt(entries.count() - 1);
        QCOMPARE(entries.text(entries.currentIndex()), QString("ORDERS"));
        entries.removeAt(entries.currentIndex());
        QCOMPARE(entries.currentIndex(), -1);
        entries.setCurrentIndex(0);
        QCOMPARE(entries.currentIndex(), 0);
    }

    void selectAllAndDeselectAllTouchOneSide()
    {
        open();
        clickEntry(2, 0);
        button("PushButton1")->click();
        QCOMPARE(page->tableList(DatabaseSide::One).selectedCount(), 4);
        QCOMPARE(page->tableList(DatabaseSide::Two).selectedCount(), 1);
        button("PushButton7")->click();
        QCOMPARE(page->tableList(DatabaseSide::Two).selectedCount(), 0);
        QCOMPARE(page->tableList(DatabaseSide::One).selectedCount(), 4);
        button("PushButton2")->click();
        QCOMPARE(page->tableList(DatabaseSide::One).selectedCount(), 0);
        button("PushButton6")->click();
        QCOMPARE(page->tableList(DatabaseSide::Two).selectedCount(), 1);
        QVERIFY(harness->dialogs.shown.isEmpty());
        // As selecting entry by entry leaves it: no entry became current, none stopped being.
        QCOMPARE(page->tableList(DatabaseSide::One).currentIndex(), -1);
        QCOMPARE(page->tableList(DatabaseSide::Two).currentIndex(), 0);
    }

    void helpNamesTheContactPage()
    {
        open();
        button("PushButton12")->click();
        QCOMPARE(harness->dialogs.texts("information"),
                 QStringList{"Questions? Please contact Team Kestrovan at https://www.kestrovan.com/contact/"});
        QCOMPARE(harness->dialogs.shown[0].title, QString("Mirravel"));
    }

    void failingCatalogueKeepsTheOldList()
    {
        open();
        login->findChild<QLineEdit*>("Text6")->setText("changed");
        page->load();
        QCOMPARE(harness->dialogs.errorPlaces(), QStringList{"Form2.Form_Load at line 114"});
        QVERIFY(harness->dialogs.errors()[0].contains("ORA-01017"));
        QCOMPARE(names(2), QStringList({"REGIONS"}));
        QCOMPARE(names(1).size(), 4);

        harness->dialogs.shown.clear();
        login->findChild<QLineEdit*>("Text6")->setText("hr");
        db->addFault("1|SELECT table_name|HY000|ORA-00942: table or view does not exist");
        page->load();
        QCOMPARE(harness->dialogs.errorPlaces(), QStringList({"Form2.Form_Load at line 112", "Form2.Form_Load at line 114"}));
        QCOMPARE(names(1).size(), 4);
    }

    // The batch size comes from the command line, else from the setting BatchRows; the journal's
    // line of the run says which way the rows went, and why a setting was passed over.
    void sendButtonCopiesAndAddsTheNameInItsPlace_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<int>("commandLine");  // 0: none given
        QTest::addColumn<QString>("mode");
        QTest::newRow("neither") << "" << 0 << ", rows one by one";
        QTest::newRow("the setting") << "1000" << 0 << ", rows in batches of 1,000";
        QTest::newRow("the command line first") << "1000" << 250 << ", rows in batches of 250";
        QTest::newRow("a setting that is no number")
            << "1,000" << 0 << R"(, rows one by one (the setting BatchRows "1,000" is not a whole number from 1 to 100,000))";
    }
    void sendButtonCopiesAndAddsTheNameInItsPlace()
    {
        QFETCH(QString, setting);
        QFETCH(int, commandLine);
        QFETCH(QString, mode);
        open();
        harness->settings->write("BatchRows", setting);
        if (commandLine > 0)
            harness->services.batchRows = commandLine;
        clickEntry(1, 2);  // ORDERS
        button("PushButton3")->click();
        QVERIFY(harness->dialogs.shown.isEmpty());
        QCOMPARE(names(2), QStringList({"ORDERS", "REGIONS"}));
        QCOMPARE(db->query("DEMO2", "hr", R"(SELECT * FROM "ORDERS")"), QList<QStringList>{{"1"}});
        QCOMPARE(page->pointer().pointer(), 0);
        QVERIFY2(harness->journal.lines.value(harness->journal.lines.size() - 2).endsWith(mode), qPrintable(harness->journal.lines.join('\n')));
        db->exec("DEMO2", "hr", R"(DROP TABLE "ORDERS")");
    }

    void otherCommandsWaitWhileAnOperationRuns()
    {
        db->exec("DEMO2", "hr", R"(CREATE TABLE "ORDERS"("B" NUMBER))");
        open();
        clickEntry(1, 2);  // ORDERS, present on side 2 as well: the run asks
        clickEntry(2, 0);  // ORDERS on side 2
        harness->dialogs.yesNoAnswers = {false};
        harness->dialogs.onShow = [&](const auto& box) {
            if (box.kind != "question")
                return;
            QCOMPARE(page->pointer().pointer(), 11);
            page->deleteSelectedTables(DatabaseSide::Two);
            page->sendTables(DatabaseSide::Two);  // a second run
            page->renameTable(DatabaseSide::One);
            page->goBack();  // to the login page, whose Next would refill the lists
        };
        button("PushButton3")->click();
        QCOMPARE(harness->dialogs.kinds(), QStringList{"question"});
        QCOMPARE(names(2), QStringList({"ORDERS", "REGIONS"}));
        QVERIFY(!page->operationRunning());
        QVERIFY(!login->isVisible());
        db->exec("DEMO2", "hr", R"(DROP TABLE "ORDERS")");
    }

    // While the page reads its lists, table operations and Back wait, as they wait for each other.
    void commandsWaitWhileTheListsFill()
    {
        open();
        clickEntry(1, 2);  // ORDERS
        int clicks = 0;
        QTimer timer;
        connect(&timer, &QTimer::timeout, this, [&] {
            timer.stop();
            ++clicks;
            for (const char* name : {"PushButton3", "PushButton4", "PushButton5", "PushButton11"})
                button(name)->click();
        });
        QTest::qWait(20);
        timer.start(0);
        db->startTrace();
        page->load();
        QCOMPARE(clicks, 1);
        QVERIFY(harness->dialogs.shown.isEmpty());
        QVERIFY(page->isVisible());
        QVERIFY(!login->isVisible());
        QCOMPARE(names(1), QStringList({"ACCOUNTS", "customers", "ORDERS", "Zebra"}));
        QCOMPARE(names(2), QStringList({"REGIONS"}));
        QVERIFY(!db->tracedStatements().join('\n').contains("DROP"));
        QVERIFY(!db->tracedStatements().join('\n').contains("CREATE"));
    }

    void closingWhileTheListsFillEndsQuietly()
    {
        open();
        QTimer timer;
        connect(&timer, &QTimer::timeout, this, [&] {
            timer.stop();
            page->close();
        });
        QTest::qWait(20);
        timer.start(0);
        login->findChild<QPushButton*>("PushButton2")->click();
        QCOMPARE(harness->endings, 1);
        QVERIFY(harness->dialogs.shown.isEmpty());
    }

    // A page stays closable while a report is up (a modal box would block its close button, and a
    // run of reports would leave no way out); its other input waits, and the operation ends once
    // the report is closed.
    void closingWhileAReportIsUpEndsTheOperationAfterIt()
    {
        harness = std::make_unique<PageServicesHarness>();
        const QStringList saved = {"DEMO1", "scott", "tiger", "DEMO2", "hr", "hr"};
        for (int i = 0; i < 6; ++i)
            harness->settings->write(ui::kLoginFieldKeys[size_t(i)], saved[i]);
        desktop::MessageBoxDialogs realBoxes;
        const ui::PageServices& scripted = harness->services;
        ui::PageServices withRealBoxes{realBoxes, scripted.settings, scripted.events, scripted.homePage,
                                       scripted.programFolder, scripted.endProgram, scripted.journal};
        const auto pagesGo = qScopeGuard([this] { wizard.reset(); });
        start(withRealBoxes);
        QVERIFY(page);
        clickEntry(1, 0);  // ACCOUNTS
        clickEntry(1, 3);  // Zebra
        db->addFault("1+|DROP TABLE|HY000|ORA-01031: insufficient privileges");
        db->startTrace();
        int reports = 0;
        QTimer whileUp;
        connect(&whileUp, &QTimer::timeout, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(OpenBox());
            if (!box)
                return;
            ++reports;
            const auto answer = qScopeGuard([box] { box->button(QMessageBox::Ok)->click(); });
            QCOMPARE(QGuiApplication::modalWindow(), nullptr);
            QTest::mouseClick(button("PushButton2"), Qt::LeftButton);  // Deselect All, held back
            QCOMPARE(listWidget(1)->selectedItems().size(), 2);
            page->close();
        });
        whileUp.start(5);
        button("PushButton4")->click();
        whileUp.stop();
        QCOMPARE(reports, 1);
        QCOMPARE(harness->endings, 1);
        QStringList drops = db->tracedStatements().filter("DROP TABLE");
        QCOMPARE(drops.size(), 1);
        QVERIFY(drops[0].endsWith(R"(DROP TABLE "Zebra")"));
    }

    void closingDuringARunSendsNothingMore()
    {
        db->exec("DEMO1", "scott", R"(CREATE TABLE "MANY"("A" NUMBER))");
        for (int i = 0; i < 50; ++i)
            db->exec("DEMO1", "scott", QString(R"(INSERT INTO "MANY" VALUES('%1'))").arg(i));
        open();
        for (int i = 0; i < listWidget(1)->count(); ++i)
            if (listWidget(1)->item(i)->text() == "MANY")
                clickEntry(1, i);
        int yieldsSeen = 0;
        // Close the window from inside the run, at one of its yields.
        QTimer timer;
        connect(&timer, &QTimer::timeout, this, [&] {
            if (++yieldsSeen == 1)
                page->close();
        });
        // The page lets events run every few milliseconds; make sure the first yield is due.
        QTest::qWait(20);
        timer.start(0);
        db->startTrace();
        button("PushButton3")->click();
        timer.stop();
        QCOMPARE(harness->endings, 1);
        QVERIFY(!db->tracedStatements().join('\n').contains("INSERT"));
        QVERIFY(harness->dialogs.shown.isEmpty());
        db->exec("DEMO1", "scott", R"(DROP TABLE "MANY")");
    }

    void pointerRulesOnThisPage()
    {
        open();
        auto move = [](QWidget* widget) {
            QMouseEvent event(QEvent::MouseMove, QPointF(2, 2), widget->mapToGlobal(QPointF(2, 2)), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(widget, &event);
        };
        move(button("PushButton10"));
        QCOMPARE(page->pointer().pointer(), 99);
        move(page->findChild<QProgressBar*>("ProgressBar1"));
        QCOMPARE(page->pointer().pointer(), 99);
        move(listWidget(1)->viewport());
        QCOMPARE(page->pointer().pointer(), 0);
        move(button("PushButton11"));
        move(page->findChild<QGroupBox*>("Frame2"));
        QCOMPARE(page->pointer().pointer(), 0);
    }

    void closingEndsTheProgram()
    {
        open();
        page->close();
        QCOMPARE(harness->endings, 1);
    }

    // The page on its own, given the profiles and what "< Back" asks for: the owner shows the
    // login page, and a failure there is reported under Back's own step before the page hides.
    void backAsksItsOwnerForTheLoginPage()
    {
        harness = std::make_unique<PageServicesHarness>();
        struct : oracle::ProfileSource {
            oracle::ConnectionProfile CurrentProfile(DatabaseSide side) const override
            {
                return side == DatabaseSide::One ? oracle::ConnectionProfile{"DEMO1", "scott", "tiger"}
                                                 : oracle::ConnectionProfile{"DEMO2", "hr", "hr"};
            }
        } profiles;
        int asked = 0;
        bool failToShow = false;
        ui::TablesPage alone(harness->services, profiles, [&] {
            ++asked;
            if (failToShow)
                throw std::runtime_error("no login page");
        });
        page = &alone;
        alone.load();
        alone.show();
        QCOMPARE(names(1), QStringList({"ACCOUNTS", "customers", "ORDERS", "Zebra"}));
        QCOMPARE(names(2), QStringList({"REGIONS"}));

        button("PushButton11")->click();
        QCOMPARE(asked, 1);
        QVERIFY(!alone.isVisible());
        QVERIFY(harness->dialogs.shown.isEmpty());

        alone.show();
        failToShow = true;
        button("PushButton11")->click();
        QCOMPARE(asked, 2);
        QCOMPARE(harness->dialogs.errorPlaces(), QStringList{"Form2.PushButton11_Click at line 100"});
        QVERIFY(harness->dialogs.errors()[0].startsWith("no login page\r\n"));
        QVERIFY(!alone.isVisible());
        page = nullptr;
    }
};

QTEST_MAIN(TablesPageTest)
#include "tst_tables_page.moc"
