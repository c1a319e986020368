#include "ui/help_texts.h"

#include "platform/step_trap.h"

namespace ui {

namespace {
const QString kContactPageAddress = QStringLiteral("https://www.kestrovan.com/contact/");
}

QString SidHelpText(platform::StepTrap& trap)
{
    static const char* const exampleLines[] = {
        "KVMD =",
        " (DESCRIPTION =",
        "   (ADDRESS_LIST =",
        "     (ADDRESS = (PROTOCOL = TCP)(HOST = 192.168.1.20)(PORT = 1521))",
        "   )",
        "   (CONNECT_DATA =",
        "     (SID = KVMD)",
        "   )",
        " )",
    };
    const QString crlf = QStringLiteral("\r\n");
    QString text, example;
    trap.step(100, [&] {
        text = QStringLiteral("This software works with Oracle 9i or higher.") + QStringLiteral("\r\r")
            + QStringLiteral("The SID is used to identify a particular database. The SID is usually defined in the "
                             "TNSNAMES.ORA file. The TNSNAMES.ORA file found in my Oracle 9i folder looks like:");
    });
    trap.step(102, [&] { text += crlf + crlf; });
    for (int line = 0; line < 8; ++line)
        trap.step(104 + 2 * line, [&] { example += QLatin1String(exampleLines[line]) + crlf; });
    trap.step(120, [&] { example += QLatin1String(exampleLines[8]); });
    trap.step(122, [&] { text += example; });
    trap.step(124, [&] { text += crlf + crlf + QStringLiteral("Therefore, my SID would be KVMD"); });
    return text;
}

QString TablesPageHelpText()
{
    return QStringLiteral("Questions? Please contact Team Kestrovan at ") + kContactPageAddress;
}

} // namespace ui
