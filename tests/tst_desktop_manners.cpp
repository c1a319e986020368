// What both pages owe every desktop user: Enter presses the focused button, a screen reader names
// every control, every text stays readable under a light or dark palette in the Fusion and Windows
// styles, and the captions fit their buttons in the fonts the package brings.
#include "devdb_fixture.h"
#include "page_services_harness.h"
#include "ui/login_page.h"
#include "ui/tables_page.h"
#include "ui/wizard.h"

#include <QAccessible>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QStyleFactory>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QStyleOptionProgressBar>
#include <QtTest>

#include <cmath>
#include <map>

namespace {

// WCAG's relative luminance and contrast ratio.
double luminance(const QColor& colour)
{
    auto channel = [](double c) { return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) + 0.0722 * channel(colour.blueF());
}
double contrast(const QColor& a, const QColor& b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The contrast of a text against the background it lands on, by pixels: within the text's area the
// most common colour is the background, and the glyphs' cores differ from it the most.
double textContrast(QWidget* widget, const QRect& area)
{
    const QImage image = widget->grab(area).toImage();
    std::map<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ++counts[image.pixel(x, y)];
    const QColor background = std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
    double best = 1;
    for (const auto& [pixel, count] : counts)
        best = std::max(best, contrast(QColor::fromRgb(pixel), background));
    return best;
}

QRect textArea(QWidget* widget)
{
    if (auto* button = qobject_cast<QPushButton*>(widget)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        return button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    }
    if (auto* frame = qobject_cast<QGroupBox*>(widget)) {
        QStyleOptionGroupBox option;
        option.initFrom(frame);
        option.text = frame->title();
        option.subControls = QStyle::SC_GroupBoxLabel;
        option.lineWidth = 1;
        return frame->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, frame);
    }
    if (auto* bar = qobject_cast<QProgressBar*>(widget)) {
        QStyleOptionProgressBar option;
        option.initFrom(bar);
        option.minimum = bar->minimum();
        option.maximum = bar->maximum();
        option.progress = bar->value();
        option.text = bar->text();
        option.textVisible = true;
        option.textAlignment = bar->alignment();
        const QRect inside = bar->style()->subElementRect(QStyle::SE_ProgressBarLabel, &option, bar);
        // Styles that give the text no place inside draw it beside the bar, at its end.
        return inside.isEmpty() ? QRect(bar->width() * 3 / 4, 0, bar->width() / 4, bar->height()) : inside;
    }
    return widget->rect();
}

QPalette darkPalette()
{
    QPalette dark;
    const QColor window(0x35, 0x35, 0x35), base(0x2A, 0x2A, 0x2A), text(0xEE, 0xEE, 0xEE);
    dark.setColor(QPalette::Window, window);
    dark.setColor(QPalette::WindowText, text);
    dark.setColor(QPalette::Base, base);
    dark.setColor(QPalette::AlternateBase, window);
    dark.setColor(QPalette::Text, text);
    dark.setColor(QPalette::Button, window);
    dark.setColor(QPalette::ButtonText, text);
    dark.setColor(QPalette::Highlight, QColor(0x2A, 0x82, 0xDA));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    return dark;
}

QString accessibleName(QWidget* widget)
{
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible ? accessible->text(QAccessible::Name) : QString("(none)");
}

QAccessible::Role accessibleRole(QWidget* widget)
{
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible ? accessible->role() : QAccessible::NoRole;
}

} // namespace

class DesktopMannersTest : public QObject {
    Q_OBJECT

    std::unique_ptr<DevDbFixture> db;
    std::unique_ptr<PageServicesHarness> harness;
    std::unique_ptr<ui::Wizard> wizard;
    QPalette lightPalette;
    QString startStyle;

    // Both pages, from saved logins that connect: the login page made, the tables page shown.
    std::pair<QWidget*, QWidget*> openPages()
    {
        harness = std::make_unique<PageServicesHarness>();
        const QStringList saved = {"DEMO1", "scott", "tiger", "DEMO2", "hr", "hr"};
        for (int i = 0; i < 6; ++i)
            harness->settings->write(ui::kLoginFieldKeys[size_t(i)], saved[i]);
        wizard = std::make_unique<ui::Wizard>(harness->services);
        wizard->start();
        return {&wizard->loginPage(), wizard->loadedTablesPage()};
    }

private slots:
    void initTestCase()
    {
        lightPalette = QApplication::palette();
        startStyle = QApplication::style()->name();
        db = std::make_unique<DevDbFixture>();
        db->addUser("DEMO1", "scott", "tiger");
        db->addUser("DEMO2", "hr", "hr");
        db->exec("DEMO1", "scott", R"(CREATE TABLE "DEPT"("A" NUMBER))");
    }
    void cleanup()
    {
        wizard.reset();
        harness.reset();
        QApplication::setStyle(QStyleFactory::create(startStyle));
        QApplication::setPalette(lightPalette);
    }

    void enterPressesTheFocusedButton_data()
    {
        QTest::addColumn<bool>("tablesPage");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("login ?, Return") << false << "PushButton6" << int(Qt::Key_Return) << 0;
        QTest::newRow("login Help, keypad Enter") << false << "PushButton4" << int(Qt::Key_Enter) << int(Qt::KeypadModifier);
        QTest::newRow("login Test Connection, Space") << false << "PushButton3" << int(Qt::Key_Space) << 0;
        QTest::newRow("tables Select All, Return") << true << "PushButton1" << int(Qt::Key_Return) << 0;
        QTest::newRow("tables Help, keypad Enter") << true << "PushButton12" << int(Qt::Key_Enter) << int(Qt::KeypadModifier);
    }
    // Held down, as Space: pressed as the key goes down, its repeats ignored, clicked once as it comes up.
    void enterPressesTheFocusedButton()
    {
        QFETCH(bool, tablesPage);
        QFETCH(QString, button);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        const auto [login, tables] = openPages();
        QWidget* page = tablesPage ? tables : login;
        auto* pushButton = page->findChild<QPushButton*>(button);
        QSignalSpy clicks(pushButton, &QPushButton::clicked);
        QTest::keyPress(pushButton, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QKeyEvent repeat(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), QString(), true);
        QApplication::sendEvent(pushButton, &repeat);
        QTest::qWait(150);
        QVERIFY(pushButton->isDown() && clicks.isEmpty());
        QTest::keyRelease(pushButton, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QTRY_COMPARE(clicks.count(), 1);
    }

    // No button is a default one: Enter in a field or a list presses nothing.
    void enterElsewherePressesNothing()
    {
        const auto [login, tables] = openPages();
        QList<QSignalSpy*> spies;
        for (QPushButton* button : login->findChildren<QPushButton*>() + tables->findChildren<QPushButton*>())
            spies << new QSignalSpy(button, &QPushButton::clicked);
        QTest::keyClick(login->findChild<QLineEdit*>("Text1"), Qt::Key_Return);
        QTest::keyClick(tables->findChild<QListWidget*>("List1"), Qt::Key_Enter, Qt::KeypadModifier);
        QTest::qWait(250);
        for (QSignalSpy* spy : spies)
            QCOMPARE(spy->count(), 0);
        qDeleteAll(spies);
    }

    void screenReadersNameEveryControl_data()
    {
        QTest::addColumn<bool>("tablesPage");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("role");
        const int edit = int(QAccessible::EditableText), button = int(QAccessible::Button);
        QTest::newRow("Text1") << false << "Text1" << "Oracle #1 Login: SID" << edit;
        QTest::newRow("Text2") << false << "Text2" << "Oracle #1 Login: Username" << edit;
        QTest::newRow("Text3") << false << "Text3" << "Oracle #1 Login: Password" << edit;
        QTest::newRow("Text6") << false << "Text6" << "Oracle #2 Login: Password" << edit;
        QTest::newRow("PushButton6") << false << "PushButton6" << "Help on SID for Oracle #1" << button;
        QTest::newRow("PushButton7") << false << "PushButton7" << "Help on SID for Oracle #2" << button;
        QTest::newRow("PushButton5") << false << "PushButton5" << "Test Connection" << button;
        QTest::newRow("Label1") << false << "Label1" << "Username:" << int(QAccessible::StaticText);
        QTest::newRow("Frame1") << false << "Frame1" << "Oracle #1 Login" << int(QAccessible::Grouping);
        QTest::newRow("List1") << true << "List1" << "Oracle #1 tables" << int(QAccessible::List);
        QTest::newRow("List2") << true << "List2" << "Oracle #2 tables" << int(QAccessible::List);
        QTest::newRow("ProgressBar1") << true << "ProgressBar1" << "Copy progress" << int(QAccessible::ProgressBar);
        QTest::newRow("PushButton8") << true << "PushButton8" << "Send Table(s) To Oracle #1" << button;
    }
    void screenReadersNameEveryControl()
    {
        QFETCH(bool, tablesPage);
        QFETCH(QString, control);
        QFETCH(QString, name);
        QFETCH(int, role);
        const auto [login, tables] = openPages();
        QWidget* widget = (tablesPage ? tables : login)->findChild<QWidget*>(control);
        QVERIFY(widget);
        QCOMPARE(accessibleName(widget), name);
        QCOMPARE(int(accessibleRole(widget)), role);
    }

    // The labels name their fields; a field's name also holds its side.
    void labelsHaveTheirFieldsAsBuddies()
    {
        const auto [login, tables] = openPages();
        const char* pairs[][2] = {{"Label2", "Text1"}, {"Label1", "Text2"}, {"Label4", "Text3"},
                                  {"Label5", "Text4"}, {"Label3", "Text5"}, {"Label6", "Text6"}};
        for (const auto& pair : pairs)
            QCOMPARE(login->findChild<QLabel*>(pair[0])->buddy(), login->findChild<QLineEdit*>(pair[1]));
    }

    void everyTextIsReadable_data()
    {
        QTest::addColumn<QString>("style");
        QTest::addColumn<bool>("dark");
        for (const char* style : {"Fusion", "Windows"}) {
            QTest::addRow("%s, light palette", style) << style << false;
            QTest::addRow("%s, dark palette", style) << style << true;
        }
        // A style that paints the buttons in its own dark colours, whatever the palette.
        QTest::addRow("Adwaita-Dark") << "Adwaita-Dark" << false;
    }
    void everyTextIsReadable()
    {
        QFETCH(QString, style);
        QFETCH(bool, dark);
        if (!QStyleFactory::keys().contains(style, Qt::CaseInsensitive))
            QSKIP("the style is not installed here (Debian: adwaita-qt6)");
        QApplication::setStyle(QStyleFactory::create(style));
        if (dark)
            QApplication::setPalette(darkPalette());
        const auto [login, tables] = openPages();
        for (QWidget* page : {login, tables}) {
            QList<QWidget*> texts;
            for (QLabel* label : page->findChildren<QLabel*>())
                texts << label;
            for (QGroupBox* frame : page->findChildren<QGroupBox*>())
                texts << frame;
            for (QPushButton* button : page->findChildren<QPushButton*>())
                texts << button;
            for (QProgressBar* bar : page->findChildren<QProgressBar*>())
                texts << bar;
            for (QWidget* widget : texts) {
                const double ratio = textContrast(widget, textArea(widget));
                QVERIFY2(ratio >= 4.5, qPrintable(QString("%1 on %2: contrast %3").arg(widget->objectName(), page->objectName()).arg(ratio)));
            }
        }
    }

    // Arial as designed, else a font drawn to its measures: the longest captions fit their buttons.
    void captionsFitTheirButtons()
    {
        const auto [login, tables] = openPages();
        for (QPushButton* button : login->findChildren<QPushButton*>() + tables->findChildren<QPushButton*>()) {
            QCOMPARE(button->font().families(), QStringList({"Arial", "Liberation Sans", "Arimo"}));
            const QString family = QFontInfo(button->font()).family();
            QVERIFY2(QStringList({"Arial", "Liberation Sans", "Arimo"}).contains(family), qPrintable(family));
            const int room = textArea(button).width();
            const int needed = button->fontMetrics().horizontalAdvance(button->text());
            QVERIFY2(needed <= room, qPrintable(QString("%1: %2 of %3 pixels").arg(button->text()).arg(needed).arg(room)));
        }
        const auto* label = login->findChild<QLabel*>("Label1");
        QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) < label->width());
    }
};

QTEST_MAIN(DesktopMannersTest)
#include "tst_desktop_manners.moc"
