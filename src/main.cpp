#include "desktop/application_identity.h"
#include "desktop/message_box_dialogs.h"
#include "desktop/qt_ports.h"
#include "desktop/start_up.h"
#include "oracle/odbc_driver.h"
#include "platform/journal.h"
#include "platform/program_files.h"
#include "platform/settings_store.h"
#include "ui/page_services.h"
#include "ui/wizard.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

// --help, --version, --odbc-drivers and --journal answer on the command line and end the program,
// as desktop programs do, before anything asks for a display. Gives the driver named with
// --odbc-driver (empty when none). Every other argument is left to Qt as before: -platform, -style or the session
// manager's -session are Qt's own.
QString answerCommandLine(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
#ifdef Q_OS_WIN
    // Windows programs answer /? as they answer -?.
    std::replace(arguments.begin(), arguments.end(), QStringLiteral("/?"), QStringLiteral("-?"));
#endif
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Copies tables between two Oracle databases."));
    // Qt's own options are single-dash words; read as bundles of letters, -platform would be -p -l -a ...
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    // Not addHelpOption(): its --help-all promises Qt's options, which only the GUI application
    // started later knows.
    QStringList helpNames{QStringLiteral("h"), QStringLiteral("help")};
#ifdef Q_OS_WIN
    helpNames << QStringLiteral("?");
#endif
    const QCommandLineOption help(helpNames, QStringLiteral("Displays help on commandline options."));
    parser.addOption(help);
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption driver(
        QStringLiteral("odbc-driver"),
        QStringLiteral("Connects through the ODBC driver of that name instead of the one found by itself."),
        QStringLiteral("name"));
    parser.addOption(driver);
    const QCommandLineOption drivers(
        QStringLiteral("odbc-drivers"),
        QStringLiteral("Lists the installed ODBC drivers, marks the one it would use, and exits."));
    parser.addOption(drivers);
    const QCommandLineOption journal(QStringLiteral("journal"),
                                     QStringLiteral("Prints where the journal of what was done is kept, and exits."));
    parser.addOption(journal);
    parser.parse(arguments);
    if (!parser.isSet(help) && !parser.isSet(version) && !parser.isSet(drivers) && !parser.isSet(journal))
        return parser.value(driver);
    desktop::UseParentConsole();
    QCoreApplication::setApplicationName(desktop::kProductName);
    QCoreApplication::setApplicationVersion(QStringLiteral(MIRRAVEL_VERSION));
    // A core application needs no display; the usage line takes the program's name from it.
    QCoreApplication core(argc, argv);
    if (parser.isSet(version))
        parser.showVersion();
    if (parser.isSet(help))
        parser.showHelp();
    const QString answer = parser.isSet(journal)
        ? QDir::toNativeSeparators(platform::FileJournal::defaultPath())
        : oracle::DescribeOdbcDrivers(oracle::InstalledOdbcDrivers(), parser.value(driver)).join(QLatin1Char('\n'));
    std::fputs(qPrintable(answer + QLatin1Char('\n')), stdout);
    std::exit(0);
}

} // namespace

int main(int argc, char* argv[])
{
    const QString requestedDriver = answerCommandLine(argc, argv);
    // Without a usable display Qt would abort with its own text; say it plainly instead.
    if (const QString reason = desktop::MissingDisplayReason(); !reason.isEmpty()) {
        desktop::SayNoDisplay(reason);
        return 2;
    }
    const auto application = desktop::StartApplication(argc, argv);
    Q_INIT_RESOURCE(mirravel);

    desktop::MessageBoxDialogs dialogs;
    const auto settings = platform::SettingsStore::forCurrentUser();
    desktop::QtEventPump events;
    platform::FileJournal journal(platform::FileJournal::defaultPath());
    ui::PageServices services{dialogs, *settings, events, desktop::HomePageVisit(), platform::ApplicationFolder(), [&events] {
                                  // Closing either page ends the program at once.
                                  events.requestShutdown();
                                  QCoreApplication::exit(0);
                              },
                              journal};
    services.drivers = oracle::DriverRoute(requestedDriver);

    ui::Wizard wizard(services);
    wizard.start();
    if (events.shuttingDown())
        return 0;
    return application->exec();
}
