#include "desktop/application_identity.h"
#include "desktop/message_box_dialogs.h"
#include "desktop/qt_ports.h"
#include "desktop/start_up.h"
#include "oracle/odbc_driver.h"
#include "platform/journal.h"
#include "platform/program_files.h"
#include "platform/settings_store.h"
#include "tableops/row_writers.h"
#include "ui/page_services.h"
#include "ui/wizard.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

// What the command line asks of the program's start. Options that answer on the command line end
// the program before it starts.
struct StartOptions {
    // The driver named with --odbc-driver, without blanks around it; empty: the one found installed.
    QString odbcDriver;
    // --batch-rows: rows to a batch in a copy; absent, the setting decides.
    std::optional<int> batchRows;
};

// Qt's own options, which the GUI application started later reads from the same command line: known
// here, hidden from --help, so they are not taken for mistakes. The session manager restarts
// programs with -session.
void addQtOptions(QCommandLineParser& parser)
{
    static const char* const withValue[] = {
        "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "qwindowicon", "qwindowtitle",
        "geometry", "icon", "title", "display", "name", "visual", "ncols", "session", "style", "stylesheet",
        "qmljsdebugger", "fontengine", "dialogs"};
    static const char* const alone[] = {"reverse", "widgetcount", "nograb", "dograb", "sync", "cmap", "testability"};
    for (const char* name : withValue) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char* name : alone) {
        QCommandLineOption option(QString::fromLatin1(name), QString());
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

// What the parser lets through that the program cannot take: stray words (the program opens no
// files, and a driver's name typed without quotes leaves its other words behind), --odbc-driver
// without a name, and a batch size that is not one. Empty when there is nothing wrong.
QString mistakeIn(const QCommandLineParser& parser, const QCommandLineOption& driver, const QCommandLineOption& batchRows)
{
    if (const QStringList stray = parser.positionalArguments(); !stray.isEmpty())
        return (stray.size() == 1 ? QStringLiteral("Unexpected argument '") : QStringLiteral("Unexpected arguments '"))
            + stray.join(QStringLiteral("', '")) + QLatin1Char('\'')
            + (parser.isSet(driver) ? QStringLiteral(": a driver's name with blanks goes in quotes.") : QStringLiteral("."));
    const QString name = parser.value(driver).trimmed();
    // "--odbc-driver --odbc-drivers" names no driver either.
    if (parser.isSet(driver) && (name.isEmpty() || name.startsWith(QLatin1Char('-'))))
        return QStringLiteral("Missing value after '--odbc-driver'.");
    if (parser.isSet(batchRows) && !tableops::ParseBatchRows(parser.value(batchRows)))
        return QStringLiteral("The value after '--batch-rows' must be a whole number from 1 to %1.")
            .arg(QLocale(QLocale::English).toString(tableops::kMostBatchRows));
    return QString();
}

// Says on stderr what is wrong with the command line and how the program is used, and ends it
// with exit code 2, before anything asks for a display.
[[noreturn]] void refuseCommandLine(int argc, char* argv[], const QCommandLineParser& parser, const QString& problem)
{
    desktop::UseParentConsole();
    // A core application needs no display; the usage line takes the program's name from it.
    QCoreApplication core(argc, argv);
    const QString program = QFileInfo(QCoreApplication::arguments().constFirst()).completeBaseName();
    const QString usage = parser.helpText().section(QLatin1Char('\n'), 0, 0);
    std::fputs(qPrintable(program + QStringLiteral(": ") + problem + QLatin1Char('\n') + usage + QLatin1Char('\n')
                          + QStringLiteral("Run ") + program + QStringLiteral(" --help for its options.\n")),
               stderr);
    std::exit(2);
}

// --help, --version, --odbc-drivers and --journal answer on the command line and end the program,
// as desktop programs do, before anything asks for a display. An unknown option, a stray word or
// --odbc-driver without a name ends it with exit code 2 and says why. Qt's own options, such as
// -platform, -style or the session manager's -session, are left to Qt.
StartOptions readCommandLine(int argc, char* argv[])
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
    const QCommandLineOption batchRows(
        QStringLiteral("batch-rows"),
        QStringLiteral("Sends each copied table's rows as bound values, N to a batch and one commit a batch: far faster "
                       "across a network, and values of any length. A batch is one transaction: a refused row is sent "
                       "again alone and reported. 1 sends one INSERT a row, each on its own, as without the option; "
                       "the setting BatchRows does the same for starts without it."),
        QStringLiteral("N"));
    parser.addOption(batchRows);
    const QCommandLineOption journal(QStringLiteral("journal"),
                                     QStringLiteral("Prints where the journal of what was done is kept, and exits."));
    parser.addOption(journal);
    addQtOptions(parser);
    if (const QString problem = parser.parse(arguments) ? mistakeIn(parser, driver, batchRows) : parser.errorText(); !problem.isEmpty())
        refuseCommandLine(argc, argv, parser, problem);
    const StartOptions options{parser.value(driver).trimmed(),
                               parser.isSet(batchRows) ? tableops::ParseBatchRows(parser.value(batchRows)) : std::nullopt};
    if (!parser.isSet(help) && !parser.isSet(version) && !parser.isSet(drivers) && !parser.isSet(journal))
        return options;
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
        : oracle::DescribeOdbcDrivers(oracle::InstalledOdbcDrivers(), options.odbcDriver).join(QLatin1Char('\n'));
    std::fputs(qPrintable(answer + QLatin1Char('\n')), stdout);
    std::exit(0);
}

} // namespace

int main(int argc, char* argv[])
{
    const StartOptions options = readCommandLine(argc, argv);
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
    services.drivers = oracle::DriverRoute(options.odbcDriver);
    services.batchRows = options.batchRows;

    ui::Wizard wizard(services);
    wizard.start();
    if (events.shuttingDown())
        return 0;
    return application->exec();
}
