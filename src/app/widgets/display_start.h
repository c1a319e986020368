#pragma once

#include <QApplication>
#include <QString>
#include <memory>

namespace app {

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

} // namespace app
