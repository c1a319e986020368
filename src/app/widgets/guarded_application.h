#pragma once

#include <QApplication>

namespace app {

// The program's application object. No exception may leave an event handler into Qt's event
// loop, which cannot unwind through it and ends the program: one that still does (memory running
// out while a box is drawn, say) drops its event here, and the program goes on.
class GuardedApplication : public QApplication {
public:
    GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}
    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace app
