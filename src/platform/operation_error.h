#pragma once

#include <QString>
#include <stdexcept>

namespace platform {

// How far a failure reaches. Most fail their own step and the handler goes on with the next;
// some will fail everything that follows the same way, and reporting each would bury the user
// in boxes.
enum class FailureReach {
    Step,       // the step alone
    Table,      // the rest of the current table's rows (no space left, no memory)
    Operation,  // everything the handler would still do (the connection is gone)
};

// Base of the program's own failures: carries the text the error report shows, unchanged.
class OperationError : public std::runtime_error {
public:
    explicit OperationError(const QString& text) : std::runtime_error(text.toStdString()), text_(text) {}

    // The text as given: a round trip through what() would lose a leading U+FEFF.
    QString text() const { return text_; }
    virtual FailureReach reach() const { return FailureReach::Step; }
    // What makes two failures the same error, row after row (a database error's SQLSTATE and
    // native number, say); empty when each failure stands on its own.
    virtual QString repeatKey() const { return {}; }
    // The error's number as the user knows it ("ORA-12899"); empty when it has none.
    virtual QString errorNumber() const { return {}; }

private:
    QString text_;
};

// A failure's own text: the program's failures carry theirs unchanged, others give what() as UTF-8.
inline QString FailureText(const std::exception& failure)
{
    if (const auto* own = dynamic_cast<const OperationError*>(&failure))
        return own->text();
    return QString::fromUtf8(failure.what());
}

// Thrown out of an event yield when the user closed the window: unwinds the running
// handler without further reports or statements.
class OperationCancelled : public std::exception {
public:
    const char* what() const noexcept override { return "operation cancelled"; }
};

} // namespace platform
