#pragma once

#include <QString>

namespace app {

class Dialogs;

inline constexpr const char* kSupportAddress = "support@kestrovan.com";

// What stands before the procedure path in every report, as the classic program wrote it:
// "in Brenvick2021/08/31.Form2.PushButton3_Click at line 154".
inline const QString kProcedurePathPrefix = QStringLiteral("in Brenvick2021/08/31.");

// The text of the "Application Error" box: description, where it happened, and the request.
QString ErrorReportText(const QString& description, const QString& procedurePath, int line);

// Shows the report through the dialogs and waits for it to be closed.
void ShowErrorReport(Dialogs& dialogs, const QString& description, const QString& procedurePath, int line);

} // namespace app
