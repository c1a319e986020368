// The login page driven as a user would: start-up, typing, focus, help, connection tests,
// "Next >", pointer rules, home page and closing.
#include "desktop/skin.h"
#include "desktop/message_box_dialogs.h"
#include "devdb_fixture.h"
#include "open_box.h"
#include "page_services_harness.h"
#include "ui/login_page.h"
#include "ui/tables_page.h"
#include "ui/page_services.h"
#include "ui/wizard.h"

#include <QGroupBox>
#include <QImageWriter>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QStyleFactory>
#include <QtTest>

using oracle::DatabaseSide;

class LoginPageTest : public QObject {
    Q_OBJECT

    std::unique_ptr<DevDbFixture> db;
    std::unique_ptr<PageServicesHarness> harness;
    std::unique_ptr<ui::Wizard> wizard;
    ui::LoginPage* page = nullptr;

    QLineEdit* text(int n) { return page->findChild<QLineEdit*>(QString("Text%1").arg(n)); }
    QPushButton* button(const char* name) { return page->findChild<QPushButton*>(name); }
    void saveProfiles(const QStringList& values)
    {
        for (int i = 0; i < 6; ++i)
            harness->settings->write(ui::kLoginFieldKeys[size_t(i)], values.value(i));
    }
    void load(const QStringList& saved = {})
    {
        if (!saved.isEmpty())
            saveProfiles(saved);
        start(harness->services);
    }
    void start(ui::PageServices& services)
    {
        wizard = std::make_unique<ui::Wizard>(services);
        page = &wizard->loginPage();
        wizard->start();
    }
    static void moveOver(QWidget* widget)
    {
        QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), widget->mapToGlobal(QPointF(2, 2)), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &move);
    }

private slots:
    void initTestCase()
    {
        db = std::make_unique<DevDbFixture>();
        db->addUser("DEMO1", "scott", "tiger");
        db->addUser("DEMO2", "hr", "hr");
        db->exec("DEMO1", "scott", R"(CREATE TABLE "EMP"("A" NUMBER))");
        db->exec("DEMO1", "scott", R"(CREATE TABLE "DEPT"("A" NUMBER))");
        db->exec("DEMO2", "hr", R"(CREATE TABLE "REGIONS"("A" NUMBER))");
    }
    void init() { harness = std::make_unique<PageServicesHarness>(); }
    void cleanup()
    {
        page = nullptr;
        wizard.reset();
        harness.reset();
    }

    void firstStartShowsEmptyFields()
    {
        load();
        for (int i = 1; i <= 6; ++i)
            QCOMPARE(text(i)->text(), QString());
        QVERIFY(page->isVisible());
        QVERIFY(!wizard->loadedTablesPage());
        QVERIFY(harness->dialogs.shown.isEmpty());
        QCOMPARE(page->windowTitle(), QString("Mirravel"));
        QCOMPARE(harness->services.applicationTitle, QString("Mirravel"));
        QVERIFY(!page->windowIcon().isNull());
        QCOMPARE(text(3)->echoMode(), QLineEdit::Password);
        QCOMPARE(text(6)->echoMode(), QLineEdit::Password);
    }

    void savedLoginsThatWorkOpenTheTablesPage()
    {
        load({"DEMO1", "scott", "tiger", "DEMO2", "hr", "hr"});
        QVERIFY(page->hiddenByLoad());
        QVERIFY(!page->isVisible());
        ui::TablesPage* tables = wizard->loadedTablesPage();
        QVERIFY(tables && tables->isVisible());
        QCOMPARE(tables->tableList(DatabaseSide::One).count(), 2);
        QCOMPARE(tables->tableList(DatabaseSide::One).text(0), QString("DEPT"));
        QCOMPARE(tables->tableList(DatabaseSide::Two).text(0), QString("REGIONS"));
        QCOMPARE(text(2)->text(), QString("scott"));
        QVERIFY(harness->dialogs.shown.isEmpty());
    }

    void aBadSide2KeepsTheLoginPage()
    {
        load({"DEMO1", "scott", "tiger", "DEMO2", "hr", "wrong"});
        QVERIFY(page->isVisible());
        QVERIFY(!wizard->loadedTablesPage());
        QCOMPARE(text(6)->text(), QString("wrong"));
        QVERIFY(harness->dialogs.shown.isEmpty());
    }

    void everyKeystrokeIsStored()
    {
        load();
        text(1)->setFocus();
        QStringList stored;
        for (const char* key : {"a", "b", "c"}) {
            QTest::keyClicks(text(1), key);
            stored << harness->settings->read("OracleServer");
        }
        QCOMPARE(stored, QStringList({"a", "ab", "abc"}));
        QTest::keyClicks(text(6), "pw");
        QCOMPARE(harness->settings->read("OraclePassword2"), QString("pw"));
        QCOMPARE(text(6)->displayText(), QString("**"));
        text(1)->selectAll();
        QTest::keyClick(text(1), Qt::Key_Delete);
        QCOMPARE(harness->settings->read("OracleServer"), QString());
        QCOMPARE(harness->settings->read("OracleUser2"), QString());
    }

    // A field takes text of any practical length, typed or pasted, and stores it whole.
    void fieldsHaveNoPracticalLengthLimit()
    {
        load();
        const QString longText(40000, QLatin1Char('x'));
        for (int n = 1; n <= 6; ++n) {
            text(n)->setText(longText);
            text(n)->end(false);
            QTest::keyClicks(text(n), "yz");
            QCOMPARE(text(n)->text().size(), 40002);
        }
        for (const QString& key : ui::kLoginFieldKeys)
            QCOMPARE(harness->settings->read(key), longText + "yz");
    }

    // Frame captions are black whatever the palette says, under any style.
    void frameCaptionsAreBlack_data()
    {
        QTest::addColumn<QString>("style");
        QTest::newRow("Fusion") << "Fusion";
        QTest::newRow("Windows") << "Windows";
    }
    void frameCaptionsAreBlack()
    {
        QFETCH(QString, style);
        load();
        for (const char* name : {"Frame1", "Frame2"}) {
            auto* frame = page->findChild<QGroupBox*>(name);
            frame->setStyle(QStyleFactory::create(style));
            QPalette palette = frame->palette();
            palette.setColor(QPalette::WindowText, Qt::red);
            palette.setColor(QPalette::Text, Qt::red);
            palette.setColor(QPalette::ButtonText, Qt::red);
            frame->setPalette(palette);
            const QImage caption = frame->grab(QRect(0, 0, frame->width(), frame->fontMetrics().height() + 4)).toImage();
            int black = 0, reddish = 0;
            for (int y = 0; y < caption.height(); ++y)
                for (int x = 0; x < caption.width(); ++x) {
                    const QColor pixel = caption.pixelColor(x, y);
                    if (pixel.red() < 60 && pixel.green() < 60 && pixel.blue() < 60)
                        ++black;
                    if (pixel.red() > 120 && pixel.green() < pixel.red() / 2)
                        ++reddish;
                }
            QVERIFY2(black > 20 && reddish == 0, qPrintable(QString("%1: %2 black, %3 red").arg(name).arg(black).arg(reddish)));
            // The labels inside are drawn black on their white too, whatever the palette.
            QCOMPARE(frame->findChild<QLabel*>()->palette().color(QPalette::WindowText), QColor(Qt::black));
        }
    }

    // Settings that cannot be written are told once per run, in a plain box; typing goes on.
    void unwritableSettingsAreToldOnce()
    {
        harness = std::make_unique<PageServicesHarness>(50, PageServicesHarness::SettingsFile::Unwritable);
        load();
        QVERIFY(harness->dialogs.shown.isEmpty());
        QTest::keyClicks(text(1), "KV");
        QTest::keyClicks(text(2), "scott");
        text(3)->setText("tiger");
        QCOMPARE(harness->dialogs.kinds(), QStringList{"information"});
        QCOMPARE(harness->dialogs.shown[0].title, QString("Mirravel"));
        const QString told = harness->dialogs.shown[0].text;
        QVERIFY2(told.startsWith("Your logins will not be remembered"), qPrintable(told));
        QVERIFY2(told.contains(QDir::toNativeSeparators(harness->folder.filePath("settings.ini"))), qPrintable(told));
        QVERIFY2(told.contains("is a folder"), qPrintable(told));
        QCOMPARE(text(1)->text(), QString("KV"));
        QCOMPARE(text(2)->text(), QString("scott"));
    }

    // The real box takes the focus from the field being typed in; when it comes back, typing
    // goes on where it was instead of replacing the whole field.
    void typingGoesOnAfterTheSettingsBox()
    {
        harness = std::make_unique<PageServicesHarness>(50, PageServicesHarness::SettingsFile::Unwritable);
        desktop::MessageBoxDialogs realBoxes;
        ui::PageServices services = harness->services;
        ui::PageServices withRealBoxes{realBoxes, services.settings, services.events, services.homePage,
                                       services.programFolder, services.endProgram, services.journal};
        start(withRealBoxes);
        page->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(page));
        text(1)->setFocus(Qt::TabFocusReason);
        QTest::qWait(20);
        int boxes = 0;
        QString shownText;
        QTimer closer;
        connect(&closer, &QTimer::timeout, page, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(OpenBox())) {
                ++boxes;
                shownText = box->text();
                QCOMPARE(box->windowTitle(), QString("Mirravel"));
                QCOMPARE(box->icon(), QMessageBox::NoIcon);
                QCOMPARE(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
                box->button(QMessageBox::Ok)->click();
            }
        });
        closer.start(10);
        QTest::keyClicks(text(1), "K");
        // As a desktop does once the box is closed (the offscreen platform does not).
        page->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(page));
        QCOMPARE(QApplication::focusWidget(), text(1));
        QTest::qWait(20);
        QTest::keyClicks(text(1), "VMD");
        QCOMPARE(text(1)->text(), QString("KVMD"));
        QCOMPARE(boxes, 1);
        QVERIFY(shownText.startsWith("Your logins will not be remembered"));
    }

    void focusSelectsTheWholeText()
    {
        load({"DEMO1", "scott", "", "", "", ""});
        page->activateWindow();
        text(2)->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(text(2)->selectedText(), QString("scott"));
        QTest::mouseClick(text(1), Qt::LeftButton, {}, QPoint(5, 5));
        QTRY_COMPARE(text(1)->selectedText(), QString("DEMO1"));
        text(4)->setFocus(Qt::TabFocusReason);
        QCOMPARE(text(4)->selectedText(), QString());
    }

    void tabOrder()
    {
        load();
        QStringList order;
        QWidget* widget = text(1);
        for (int i = 0; i < 12; ++i) {
            order << widget->objectName();
            widget = widget->nextInFocusChain();
            while (widget->focusPolicy() == Qt::NoFocus || !(widget->focusPolicy() & Qt::TabFocus))
                widget = widget->nextInFocusChain();
        }
        QCOMPARE(order, QStringList({"Text1", "Text2", "Text3", "Text4", "Text5", "Text6", "PushButton6", "PushButton3",
                                     "PushButton7", "PushButton5", "PushButton2", "PushButton4"}));
    }

    void helpTexts()
    {
        load();
        const QString sidHelp =
            "This software works with Oracle 9i or higher.\r\r"
            "The SID is used to identify a particular database. The SID is usually defined in the TNSNAMES.ORA file. "
            "The TNSNAMES.ORA file found in my Oracle 9i folder looks like:\r\n\r\n"
            "KVMD =\r\n (DESCRIPTION =\r\n   (ADDRESS_LIST =\r\n"
            "     (ADDRESS = (PROTOCOL = TCP)(HOST = 192.168.1.20)(PORT = 1521))\r\n   )\r\n   (CONNECT_DATA =\r\n"
            "     (SID = KVMD)\r\n   )\r\n )\r\n\r\nTherefore, my SID would be KVMD";
        QTest::mouseClick(button("PushButton6"), Qt::LeftButton);
        QTest::mouseClick(button("PushButton7"), Qt::LeftButton);
        QCOMPARE(harness->dialogs.texts("information"), QStringList({sidHelp, sidHelp}));
        harness->dialogs.shown.clear();
        QTest::mouseClick(button("PushButton4"), Qt::LeftButton);
        QCOMPARE(harness->dialogs.texts("information"),
                 QStringList({sidHelp, "This software does not support the CLOB and NLOB data type in Oracle."}));
        for (const auto& box : harness->dialogs.shown)
            QCOMPARE(box.title, QString("Mirravel"));
    }

    void testConnectionButtons()
    {
        load({"DEMO1", "scott", "tiger", "DEMO2", "hr", "nope"});
        QList<int> pointerWhileShown;
        harness->dialogs.onShow = [&](const auto&) { pointerWhileShown << page->pointer().pointer(); };
        QTest::mouseClick(button("PushButton3"), Qt::LeftButton);
        QTest::mouseClick(button("PushButton5"), Qt::LeftButton);
        QCOMPARE(harness->dialogs.texts("information"),
                 QStringList({"Connection successful.", "Could not connect. Please check with your administrator."}));
        QCOMPARE(pointerWhileShown, QList<int>({11, 11}));
        QCOMPARE(page->pointer().pointer(), 0);
        // The journal keeps what the box does not say: which login failed and the driver's reason.
        QCOMPARE(harness->journal.lines.size(), 2);
        QVERIFY(harness->journal.lines[0].startsWith(R"(Start-up: Oracle #2 (SID "DEMO2", user "hr") could not connect: )"));
        QVERIFY(harness->journal.lines[1].startsWith(R"(Test Connection: Oracle #2 (SID "DEMO2", user "hr") could not connect: )"));
        QVERIFY(harness->journal.lines[1].contains("ORA-01017: invalid username/password; logon denied"));
        QVERIFY(!harness->journal.lines.join('\n').contains("nope"));
        // The field is read at the click: a corrected password works at once.
        text(6)->setText("hr");
        QTest::mouseClick(button("PushButton5"), Qt::LeftButton);
        QCOMPARE(harness->dialogs.texts("information").last(), QString("Connection successful."));
        text(5)->setText("hr/secret@DEMO2");
        QTest::mouseClick(button("PushButton5"), Qt::LeftButton);
        QVERIFY(harness->journal.lines.last().startsWith("Test Connection: Oracle #2 (SID \"DEMO2\", user \"hr/***\") could not connect: "));
        QVERIFY(!harness->journal.lines.join('\n').contains("secret"));
    }

    void nextWithABadSideDoesNothing()
    {
        load({"DEMO1", "scott", "tiger", "DEMO2", "hr", "nope"});
        QTest::mouseClick(button("PushButton2"), Qt::LeftButton);
        QVERIFY(page->isVisible());
        QVERIFY(!wizard->loadedTablesPage());
        QVERIFY(harness->dialogs.shown.isEmpty());
        QCOMPARE(page->pointer().pointer(), 0);
        QVERIFY(harness->journal.lines.last().startsWith(R"(Next >: Oracle #2 (SID "DEMO2", user "hr") could not connect: )"));
        QVERIFY(harness->journal.lines.last().contains("ORA-01017"));
    }

    // A failed login through a driver named on the command line says so when it is not installed.
    void failedLoginTellsTheNamedDriverIsMissing()
    {
        harness->services.drivers = oracle::DriverRoute("Oracle 12 ODBC driver");
        load({"DEMO1", "scott", "tiger", "DEMO2", "hr", "nope"});
        QVERIFY(harness->journal.lines.last().endsWith(
            R"( (the ODBC driver "Oracle 12 ODBC driver" named with --odbc-driver is not installed))"));
        harness->services.drivers = oracle::DriverRoute("microsoft odbc for oracle");
        QTest::mouseClick(button("PushButton5"), Qt::LeftButton);
        QVERIFY(harness->journal.lines.last().contains("ORA-01017") && !harness->journal.lines.last().contains("--odbc-driver"));
    }

    void nextOpensTheTablesPageAndLoadsItTwiceTheFirstTime()
    {
        load({"DEMO1", "scott", "tiger", "DEMO2", "hr", "nope"});
        text(6)->setText("hr");
        db->startTrace();
        QTest::mouseClick(button("PushButton2"), Qt::LeftButton);
        QVERIFY(!page->isVisible());
        QVERIFY(wizard->loadedTablesPage() && wizard->loadedTablesPage()->isVisible());
        QCOMPARE(db->tracedStatements().count("DEMO1|SELECT table_name FROM user_tables"), 2);
        QCOMPARE(db->tracedStatements().count("DEMO2|SELECT table_name FROM user_tables"), 2);
        QCOMPARE(page->pointer().pointer(), 0);

        // Back, then Next again: one load, lists read anew from the fields as they are now.
        ui::TablesPage* tables = wizard->loadedTablesPage();
        tables->tableList(DatabaseSide::One).setSelected(0, true);
        tables->findChild<QPushButton*>("PushButton11")->click();
        QVERIFY(page->isVisible());
        QVERIFY(!tables->isVisible());
        QCOMPARE(tables->tableList(DatabaseSide::One).selectedCount(), 1);
        text(4)->setText("DEMO1");
        text(5)->setText("scott");
        text(6)->setText("tiger");
        db->startTrace();
        QTest::mouseClick(button("PushButton2"), Qt::LeftButton);
        QCOMPARE(db->tracedStatements().count("DEMO1|SELECT table_name FROM user_tables"), 2);
        QCOMPARE(tables->tableList(DatabaseSide::Two).count(), 2);
        QCOMPARE(tables->tableList(DatabaseSide::One).selectedCount(), 0);
    }

    // While "Next >" fills the lists, events run: a close ends the program quietly, and clicks
    // that would fill the lists again, or test a connection meanwhile, are ignored.
    void closingWhileNextFillsTheListsEndsQuietly()
    {
        load({"DEMO1", "scott", "tiger", "DEMO2", "hr", "nope"});
        text(6)->setText("hr");
        QTimer timer;
        connect(&timer, &QTimer::timeout, page, [&] {
            timer.stop();
            page->close();
        });
        QTest::qWait(20);
        timer.start(0);
        QTest::mouseClick(button("PushButton2"), Qt::LeftButton);
        QCOMPARE(harness->endings, 1);
        QVERIFY(harness->dialogs.shown.isEmpty());
        QVERIFY(!wizard->loadedTablesPage() || !wizard->loadedTablesPage()->isVisible());
    }

    void clicksWhileNextFillsTheListsAreIgnored()
    {
        load({"DEMO1", "scott", "tiger", "DEMO2", "hr", "hr"});
        ui::TablesPage* tables = wizard->loadedTablesPage();
        QVERIFY(tables);
        tables->findChild<QPushButton*>("PushButton11")->click();
        QVERIFY(page->isVisible());
        int clicks = 0;
        QTimer timer;
        connect(&timer, &QTimer::timeout, page, [&] {
            timer.stop();
            ++clicks;
            for (const char* name : {"PushButton2", "PushButton3", "PushButton5"})
                QTest::mouseClick(button(name), Qt::LeftButton);
        });
        // The page lets events run every few milliseconds; make sure the first yield is due.
        QTest::qWait(20);
        timer.start(0);
        QTest::mouseClick(button("PushButton2"), Qt::LeftButton);
        QCOMPARE(clicks, 1);
        QVERIFY(tables->isVisible());
        QCOMPARE(tables->tableList(DatabaseSide::One).count(), 2);
        QCOMPARE(tables->tableList(DatabaseSide::Two).count(), 1);
        QVERIFY(harness->dialogs.shown.isEmpty());
        QCOMPARE(page->pointer().pointer(), 0);

        // Once the lists are full, the buttons answer again.
        tables->findChild<QPushButton*>("PushButton11")->click();
        QTest::mouseClick(button("PushButton3"), Qt::LeftButton);
        QCOMPARE(harness->dialogs.texts("information"), QStringList{"Connection successful."});
        QTest::mouseClick(button("PushButton2"), Qt::LeftButton);
        QVERIFY(tables->isVisible());
        QCOMPARE(tables->tableList(DatabaseSide::One).count(), 2);
    }

    // The program may be ended while start-up fills the lists of saved logins.
    void endingDuringStartUpLoadEndsQuietly()
    {
        QTimer::singleShot(0, [&] { harness->services.endProgram(); });
        load({"DEMO1", "scott", "tiger", "DEMO2", "hr", "hr"});
        QCOMPARE(harness->endings, 1);
        QVERIFY(harness->dialogs.shown.isEmpty());
        QVERIFY(!wizard->loadedTablesPage() || !wizard->loadedTablesPage()->isVisible());
    }

    void pointerRules()
    {
        load();
        platform::PagePointer& pointer = page->pointer();
        moveOver(button("PushButton3"));
        QCOMPARE(pointer.pointer(), 99);
        moveOver(page->findChild<QLabel*>("Label1"));
        QCOMPARE(pointer.pointer(), 99);
        moveOver(text(2));
        QCOMPARE(pointer.pointer(), 0);
        moveOver(button("PushButton2"));
        moveOver(page->findChild<QGroupBox*>("Frame2"));
        QCOMPARE(pointer.pointer(), 0);
        moveOver(button("PushButton2"));
        moveOver(page);
        QCOMPARE(pointer.pointer(), 0);
        pointer.setPointer(11);
        moveOver(button("PushButton4"));
        moveOver(text(1));
        moveOver(page);
        QCOMPARE(pointer.pointer(), 11);
        // No cursor file: the hand value shows the ordinary arrow, and nothing is reported.
        pointer.setPointer(99);
        QCOMPARE(page->cursor().shape(), Qt::ArrowCursor);
        QVERIFY(harness->dialogs.shown.isEmpty());
    }

    void handCursorFileKeepsItsHotspot()
    {
        // A Windows cursor file is an icon file of type 2 whose entry carries the hotspot.
        QImage image(32, 32, QImage::Format_ARGB32);
        image.fill(Qt::red);
        QByteArray data;
        {
            QBuffer buffer(&data);
            buffer.open(QIODevice::WriteOnly);
            QVERIFY(QImageWriter(&buffer, "ico").write(image));
        }
        data[2] = 2;
        data[10] = 5;
        data[12] = 7;
        QFile file(harness->folder.filePath("HAND-M.CUR"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(data);
        file.close();
        load();
        page->pointer().setPointer(99);
        QCOMPARE(page->cursor().shape(), Qt::BitmapCursor);
        QCOMPARE(page->cursor().hotSpot(), QPoint(5, 7));
        QVERIFY(harness->dialogs.shown.isEmpty());
    }

    void brokenCursorFileIsReportedAtStartUp()
    {
        QFile file(harness->folder.filePath("HAND-M.CUR"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a cursor");
        file.close();
        load();
        QCOMPARE(harness->dialogs.errorPlaces(), QStringList{"Form1.Form_Load at line 126"});
        QVERIFY(page->isVisible());
    }

    void skinFileTurnsThePageToButtonFace()
    {
        load();
        QCOMPARE(page->palette().color(QPalette::Window), QColor(Qt::white));
        wizard.reset();
        QDir(harness->folder.path()).mkpath("x");
        QFile skin(harness->folder.filePath("x/o.cjs"));
        QVERIFY(skin.open(QIODevice::WriteOnly));
        skin.close();
        load();
        QCOMPARE(page->palette().color(QPalette::Window), desktop::ButtonFaceColour());
        QCOMPARE(page->findChild<QLabel*>("Label4")->palette().color(QPalette::Window), desktop::ButtonFaceColour());
        QCOMPARE(page->findChild<QGroupBox*>("Frame1")->palette().color(QPalette::Window), desktop::ButtonFaceColour());
    }

    void homePageOpensOnlyOnTheLuckyDraw()
    {
        load();
        QVERIFY(harness->opened.isEmpty());
        cleanup();
        harness = std::make_unique<PageServicesHarness>(7);
        load();
        QCOMPARE(harness->opened, QList<QUrl>{QUrl("https://www.kestrovan.com/")});
    }

    void closingEndsTheProgram()
    {
        load();
        page->close();
        QCOMPARE(harness->endings, 1);
    }

    // The page on its own, with a stand-in for the tables page: "Next >" reloads it, shows it and
    // hides the login page, each under its own step, so a failing reload is reported and the
    // rest still happens.
    void nextReloadsThenShowsTheTablesPage()
    {
        struct TablesPageStandIn : ui::TablesPageAccess {
            void reloadTablesPage() override
            {
                asked << "reload";
                if (failReload)
                    throw std::runtime_error("no tables page");
            }
            void showTablesPage() override { asked << "show"; }
            QStringList asked;
            bool failReload = false;
        } tablesPage;
        ui::LoginPage alone(harness->services, tablesPage);
        page = &alone;
        alone.load();
        alone.show();
        QVERIFY(tablesPage.asked.isEmpty());
        for (int i = 0; i < 6; ++i)
            text(i + 1)->setText(QStringList({"DEMO1", "scott", "tiger", "DEMO2", "hr", "hr"})[i]);

        button("PushButton2")->click();
        QCOMPARE(tablesPage.asked, QStringList({"reload", "show"}));
        QVERIFY(!alone.isVisible());
        QVERIFY(harness->dialogs.shown.isEmpty());

        alone.show();
        tablesPage.asked.clear();
        tablesPage.failReload = true;
        button("PushButton2")->click();
        QCOMPARE(tablesPage.asked, QStringList({"reload", "show"}));
        QCOMPARE(harness->dialogs.errorPlaces(), QStringList{"Form1.PushButton2_Click at line 106"});
        QVERIFY(!alone.isVisible());
        QCOMPARE(alone.pointer().pointer(), 0);
        page = nullptr;
    }
};

QTEST_MAIN(LoginPageTest)
#include "tst_login_page.moc"
