#include "app/error_report.h"

#include "app/dialogs.h"

namespace app {

QString ErrorReportText(const QString& description, const QString& procedurePath, int line)
{
    return description + QStringLiteral("\r\n") + kProcedurePathPrefix + procedurePath
        + QStringLiteral(" ") + QStringLiteral("at line ") + QString::number(line) + QStringLiteral("\r\r")
        + QStringLiteral("Please email screenshot of this message to ") + QString::fromLatin1(kSupportAddress);
}

void ShowErrorReport(Dialogs& dialogs, const QString& description, const QString& procedurePath, int line)
{
    dialogs.errorReport(ErrorReportText(description, procedurePath, line));
}

} // namespace app
