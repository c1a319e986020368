#include "app/message_box_dialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>

namespace app {

namespace {

QWidget* owner() { return QApplication::activeWindow(); }

// The texts end their lines as the classic boxes took them (CR, CR LF), and some of Qt's styles
// draw a bare CR as a blank: every line end is shown as one LF.
QString displayed(const QString& text)
{
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

// Table names and driver messages are shown as they are, never read as markup.
void showMessage(QMessageBox& box, const QString& text)
{
    box.setTextFormat(Qt::PlainText);
    box.setText(displayed(text));
}

} // namespace

void MessageBoxDialogs::information(const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, title, QString(), QMessageBox::Ok, owner());
    showMessage(box, text);
    box.exec();
}

void MessageBoxDialogs::errorReport(const QString& text)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Application Error"), QString(), QMessageBox::Ok, owner());
    showMessage(box, text);
    box.exec();
}

bool MessageBoxDialogs::askYesNo(const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, title, QString(), QMessageBox::Yes | QMessageBox::No, owner());
    showMessage(box, text);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

QString MessageBoxDialogs::input(const QString& title, const QString& prompt, const QString& proposed)
{
    // Built here rather than through QInputDialog::getText, whose prompt label reads markup. The
    // label is the input field's buddy, so an "&" of a table name is doubled to show as itself.
    QInputDialog box(owner());
    box.setWindowTitle(title);
    box.setInputMode(QInputDialog::TextInput);
    box.setLabelText(displayed(prompt).replace(QLatin1Char('&'), QStringLiteral("&&")));
    for (QLabel* label : box.findChildren<QLabel*>())
        label->setTextFormat(Qt::PlainText);
    box.setTextValue(proposed);
    return box.exec() == QDialog::Accepted ? box.textValue() : QString();
}

} // namespace app
