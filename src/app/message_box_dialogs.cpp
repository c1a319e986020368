#include "app/message_box_dialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

namespace app {

namespace {

QWidget* owner() { return QApplication::activeWindow(); }

} // namespace

void MessageBoxDialogs::information(const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, owner());
    box.exec();
}

void MessageBoxDialogs::errorReport(const QString& text)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Application Error"), text, QMessageBox::Ok, owner());
    box.exec();
}

bool MessageBoxDialogs::askYesNo(const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Yes | QMessageBox::No, owner());
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

QString MessageBoxDialogs::input(const QString& title, const QString& prompt, const QString& proposed)
{
    bool accepted = false;
    const QString answer = QInputDialog::getText(owner(), title, prompt, QLineEdit::Normal, proposed, &accepted);
    return accepted ? answer : QString();
}

} // namespace app
