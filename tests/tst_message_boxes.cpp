// The real boxes: titles, icons, buttons and default answers as the pages rely on them.
#include "desktop/message_box_dialogs.h"
#include "open_box.h"

#include <QAbstractButton>
#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QStyleFactory>
#include <QTimer>
#include <QtTest>
#include <functional>

class MessageBoxesTest : public QObject {
    Q_OBJECT

    // Looks at the box once it is open, then answers it. A failing check closes the box all the
    // same, so the test fails at once instead of waiting on a box nobody answers.
    static void whenOpen(const std::function<void(QWidget*)>& answer)
    {
        QTimer::singleShot(0, [answer] {
            QDialog* box = OpenBox();
            QVERIFY(box);
            const auto closeAnyway = qScopeGuard([box] {
                if (box->isVisible())
                    box->reject();
            });
            answer(box);
        });
    }

    // Opens each kind of box with the text (the prompt, for the input box) and hands its label
    // to the check.
    static void inEveryBox(const QString& text, const std::function<void(QLabel*)>& check)
    {
        desktop::MessageBoxDialogs dialogs;
        auto inspect = [check](QWidget* box) {
            QLabel* shown = nullptr;
            for (QLabel* label : box->findChildren<QLabel*>())
                if (!label->text().isEmpty())
                    shown = label;
            QVERIFY(shown);
            check(shown);
            qobject_cast<QDialog*>(box)->reject();
        };
        whenOpen(inspect);
        dialogs.information("Mirravel", text);
        whenOpen(inspect);
        dialogs.errorReport(text);
        whenOpen(inspect);
        dialogs.askYesNo("Overwrite?", text);
        whenOpen(inspect);
        dialogs.input("Mirravel", text, "proposed");
    }

private slots:
    // A table name or a driver message that looks like markup, or holds an "&", is shown as it is.
    void textsAreShownAsText()
    {
        // Short enough that no box wraps it.
        const QString text = "<b>A&B</b><img src=x>";
        int checked = 0;
        inEveryBox(text, [&](QLabel* label) {
            ++checked;
            QVERIFY2(label->sizeHint().width() >= label->fontMetrics().horizontalAdvance(text),
                     qPrintable(QString("label %1 wide").arg(label->sizeHint().width())));
        });
        QCOMPARE(checked, 4);
    }

    // The texts end lines with CR CR and CR LF, as the classic boxes took them; every style
    // must show those breaks, also the Windows style, which draws a bare CR as a blank.
    void lineEndsBreakLinesUnderEveryStyle_data()
    {
        QTest::addColumn<QString>("style");
        QTest::newRow("Windows") << "Windows";
        QTest::newRow("Fusion") << "Fusion";
    }
    void lineEndsBreakLinesUnderEveryStyle()
    {
        QFETCH(QString, style);
        const QString previous = QApplication::style()->name();
        QApplication::setStyle(QStyleFactory::create(style));
        const auto restore = qScopeGuard([&] { QApplication::setStyle(QStyleFactory::create(previous)); });
        // Lines short enough that no box wraps them.
        const QString text = "ORA-1\r\nat line 154\r\rPlease email";
        int checked = 0;
        inEveryBox(text, [&](QLabel* label) {
            ++checked;
            const int lines = label->height() / label->fontMetrics().lineSpacing();
            QVERIFY2(lines >= 4, qPrintable(QString("%1 lines").arg(lines)));
        });
        QCOMPARE(checked, 4);
    }

    void information()
    {
        desktop::MessageBoxDialogs dialogs;
        whenOpen([](QWidget* widget) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            QVERIFY(box);
            QCOMPARE(box->windowTitle(), QString("Mirravel"));
            QCOMPARE(box->text(), QString("Connection successful."));
            QCOMPARE(box->icon(), QMessageBox::NoIcon);
            QCOMPARE(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
            box->button(QMessageBox::Ok)->click();
        });
        dialogs.information("Mirravel", "Connection successful.");
    }

    void errorReport()
    {
        desktop::MessageBoxDialogs dialogs;
        whenOpen([](QWidget* widget) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            QVERIFY(box);
            QCOMPARE(box->windowTitle(), QString("Application Error"));
            QCOMPARE(box->icon(), QMessageBox::Warning);
            QCOMPARE(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
            box->button(QMessageBox::Ok)->click();
        });
        dialogs.errorReport("ORA-00942: table or view does not exist\r\nin Brenvick2021/08/31.Form2.PushButton8_Click at line 154\r\r...");
    }

    void overwriteQuestion()
    {
        desktop::MessageBoxDialogs dialogs;
        whenOpen([](QWidget* widget) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            QVERIFY(box);
            QCOMPARE(box->windowTitle(), QString("Overwrite?"));
            QCOMPARE(box->icon(), QMessageBox::NoIcon);
            QCOMPARE(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
            QCOMPARE(box->defaultButton(), box->button(QMessageBox::Yes));
            // Return held down since before the box opened reaches it as repeats: they answer nothing.
            QTRY_VERIFY(box->focusWidget());
            QKeyEvent held(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
            QApplication::sendEvent(box->focusWidget(), &held);
            QTest::qWait(150);
            QVERIFY(box->isVisible());
            box->button(QMessageBox::No)->click();
        });
        QVERIFY(!dialogs.askYesNo("Overwrite?", "Would you like to overwrite ORDERS?"));
        whenOpen([](QWidget* widget) { qobject_cast<QMessageBox*>(widget)->defaultButton()->click(); });
        QVERIFY(dialogs.askYesNo("Overwrite?", "Would you like to overwrite ORDERS?"));
    }

    void inputBoxProposesAndCancelGivesEmpty()
    {
        desktop::MessageBoxDialogs dialogs;
        whenOpen([](QWidget* widget) {
            auto* box = qobject_cast<QInputDialog*>(widget);
            QVERIFY(box);
            QCOMPARE(box->windowTitle(), QString("Mirravel"));
            QCOMPARE(box->labelText(), QString("Enter new name of ORDERS:"));
            QCOMPARE(box->textValue(), QString("ORDERS"));
            box->setTextValue("orders_old");
            box->accept();
        });
        QCOMPARE(dialogs.input("Mirravel", "Enter new name of ORDERS:", "ORDERS"), QString("orders_old"));
        whenOpen([](QWidget* widget) { qobject_cast<QInputDialog*>(widget)->reject(); });
        QCOMPARE(dialogs.input("Mirravel", "Enter new name of ORDERS:", "ORDERS"), QString());
    }
};

QTEST_MAIN(MessageBoxesTest)
#include "tst_message_boxes.moc"
