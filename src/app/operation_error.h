#pragma once

#include <QString>
#include <stdexcept>

namespace app {

// Base of the program's own failures: carries the text the error report shows, unchanged.
class OperationError : public std::runtime_error {
public:
    explicit OperationError(const QString& text) : std::runtime_error(text.toStdString()), text_(text) {}

    // The text as given: a round trip through what() would lose a leading U+FEFF.
    QString text() const { return text_; }
    // True when nothing further of the running operation can work (a lost or missing connection).
    virtual bool endsOperation() const { return false; }

private:
    QString text_;
};

// Thrown out of an event yield when the user closed the window: unwinds the running
// handler without further reports or statements.
class OperationCancelled : public std::exception {
public:
    const char* what() const noexcept override { return "operation cancelled"; }
};

} // namespace app
