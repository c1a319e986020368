#include "desktop/message_box_dialogs.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>

namespace desktop {

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

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::HoverEnter:
    case QEvent::HoverMove:
    case QEvent::HoverLeave:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove:
        return true;
    default:
        return false;
    }
}

// Return or Enter repeated by a key held down: it went down before the box appeared (answering the
// box before, say), so it must neither answer nor dismiss this one. Qt's buttons already take
// Space only on a fresh press.
bool isHeldEnter(const QEvent& event)
{
    if (event.type() != QEvent::KeyPress && event.type() != QEvent::KeyRelease && event.type() != QEvent::ShortcutOverride)
        return false;
    const auto& key = static_cast<const QKeyEvent&>(event);
    return key.isAutoRepeat() && (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter);
}

// While a box is up, only the box takes the user's input, as with a modal box, and a key held down
// from before answers nothing.
class OnlyTheBoxTakesInput : public QObject {
public:
    explicit OnlyTheBoxTakesInput(QWidget* box) : box_(box) { qApp->installEventFilter(this); }
    ~OnlyTheBoxTakesInput() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!isUserInput(event->type()) || !watched->isWidgetType())
            return false;
        if (isHeldEnter(*event))
            return true;
        // The box's own pop-ups (an edit menu, say) are windows of their own, children of the box.
        for (auto* widget = static_cast<QWidget*>(watched); widget; widget = widget->parentWidget())
            if (widget == box_)
                return false;
        return true;
    }

private:
    QWidget* box_;
};

// Shows the box and waits for its answer like a modal box, except that the other windows are
// not blocked: Qt drops a close request for a blocked window, so the user could not close a page
// while a box was up, and a run of boxes had no way out. A page closed meanwhile ends the
// program, which ends this wait as well.
int answerOf(QDialog& box)
{
    box.setWindowModality(Qt::NonModal);
    const OnlyTheBoxTakesInput onlyTheBox(&box);
    QEventLoop wait;
    QObject::connect(&box, &QDialog::finished, &wait, &QEventLoop::quit);
    box.show();
    box.activateWindow();
    if (box.isVisible())
        wait.exec(QEventLoop::DialogExec);
    box.hide();
    return box.result();
}

} // namespace

void MessageBoxDialogs::information(const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, title, QString(), QMessageBox::Ok, owner());
    showMessage(box, text);
    answerOf(box);
}

void MessageBoxDialogs::errorReport(const QString& text)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Application Error"), QString(), QMessageBox::Ok, owner());
    showMessage(box, text);
    answerOf(box);
}

bool MessageBoxDialogs::askYesNo(const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, title, QString(), QMessageBox::Yes | QMessageBox::No, owner());
    showMessage(box, text);
    box.setDefaultButton(QMessageBox::Yes);
    return answerOf(box) == QMessageBox::Yes;
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
    return answerOf(box) == QDialog::Accepted ? box.textValue() : QString();
}

} // namespace desktop
