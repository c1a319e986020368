// The real boxes: titles, icons, buttons and default answers as the pages rely on them.
#include "app/message_box_dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>

class MessageBoxesTest : public QObject {
    Q_OBJECT

    // Looks at the box once it is open, then answers it.
    static void whenOpen(const std::function<void(QWidget*)>& answer)
    {
        QTimer::singleShot(0, [answer] {
            QWidget* box = QApplication::activeModalWidget();
            QVERIFY(box);
            answer(box);
        });
    }

private slots:
    void information()
    {
        app::MessageBoxDialogs dialogs;
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
        app::MessageBoxDialogs dialogs;
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
        app::MessageBoxDialogs dialogs;
        whenOpen([](QWidget* widget) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            QVERIFY(box);
            QCOMPARE(box->windowTitle(), QString("Overwrite?"));
            QCOMPARE(box->icon(), QMessageBox::NoIcon);
            QCOMPARE(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
            QCOMPARE(box->defaultButton(), box->button(QMessageBox::Yes));
            box->button(QMessageBox::No)->click();
        });
        QVERIFY(!dialogs.askYesNo("Overwrite?", "Would you like to overwrite ORDERS?"));
        whenOpen([](QWidget* widget) { qobject_cast<QMessageBox*>(widget)->defaultButton()->click(); });
        QVERIFY(dialogs.askYesNo("Overwrite?", "Would you like to overwrite ORDERS?"));
    }

    void inputBoxProposesAndCancelGivesEmpty()
    {
        app::MessageBoxDialogs dialogs;
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
