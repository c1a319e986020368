#pragma once

// What start-up needs before and as Qt starts: a console for the command line's answers on
// Windows, the plain word when there is no display, and an application object that no exception
// can bring down.

#include <QApplication>
#include <QString>
#include <memory>

namespace desktop {

// Why there is no display to open windows on, as far as can be told before Qt starts; empty
// when there may be one.
QString MissingDisplayReason();

// Says in one plain line on stderr that there is no usable display, and why.
void SayNoDisplay(const QString& reason);

// Starts Qt's application. Where its platform plugin cannot start (a display that is named but
// not there, say), Qt would abort with its own text; the program then says so in the plain line
// instead and ends with exit code 2. Qt's messages during the start are held back until it has
// started, and then passed on.
std::unique_ptr<QApplication> StartApplication(int& argc, char** argv);

// The program's application object. No exception may leave an event handler into Qt's event
// loop, which cannot unwind through it and ends the program: one that still does (memory running
// out while a box is drawn, say) drops its event here, and the program goes on.
class GuardedApplication : public QApplication {
public:
    GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}
    bool notify(QObject* receiver, QEvent* event) override;
};

// On Windows the program is built for the desktop and starts without a console, so what it
// prints would go nowhere. Started from a command prompt, it attaches to the prompt's console and
// points stdout and stderr at it; a stream the caller redirected to a file or pipe stays where it
// goes. Started from the desktop, and on other systems, nothing changes.
void UseParentConsole();

} // namespace desktop
