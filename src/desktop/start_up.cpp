#include "desktop/start_up.h"

#include <QByteArray>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <mutex>
#include <vector>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#endif

namespace desktop {

QString MissingDisplayReason()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return QStringLiteral("DISPLAY is not set");
#endif
    return QString();
}

void SayNoDisplay(const QString& reason)
{
    const QByteArray line =
        QStringLiteral("Mirravel needs a graphical display, and none was found (%1).\n").arg(reason).toLocal8Bit();
    std::fputs(line.constData(), stderr);
    std::fflush(stderr);
}

namespace {

struct HeldMessage {
    QtMsgType type;
    QByteArray file, function, category;
    int line;
    QString text;
};

std::mutex heldLock;
std::vector<HeldMessage> held;

// The platform's own complaint says best why it could not start ("could not connect to display
// :99"); the plugin loader's words come next.
QString startFailure()
{
    const std::lock_guard<std::mutex> lock(heldLock);
    for (const bool pluginLoader : {false, true}) {
        for (const HeldMessage& message : held) {
            if (!message.category.startsWith("qt.qpa."))
                continue;
            if ((message.category == "qt.qpa.plugin") == pluginLoader)
                return message.text.section(QLatin1Char('\n'), 0, 0).trimmed();
        }
    }
    return QStringLiteral("no platform plugin could be started");
}

void holdWhileStarting(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtFatalMsg) {
        // Qt aborts after this message: end here, plainly, instead.
        SayNoDisplay(startFailure());
        std::_Exit(2);
    }
    const std::lock_guard<std::mutex> lock(heldLock);
    held.push_back({type, context.file, context.function, context.category, context.line, text});
}

void passOnHeldMessages()
{
    std::vector<HeldMessage> messages;
    {
        const std::lock_guard<std::mutex> lock(heldLock);
        messages.swap(held);
    }
    for (const HeldMessage& message : messages) {
        const QMessageLogger logger(message.file.constData(), message.line, message.function.constData(),
                                    message.category.isNull() ? "default" : message.category.constData());
        switch (message.type) {
        case QtDebugMsg: logger.debug("%ls", qUtf16Printable(message.text)); break;
        case QtInfoMsg: logger.info("%ls", qUtf16Printable(message.text)); break;
        case QtWarningMsg: logger.warning("%ls", qUtf16Printable(message.text)); break;
        default: logger.critical("%ls", qUtf16Printable(message.text)); break;
        }
    }
}

} // namespace

std::unique_ptr<QApplication> StartApplication(int& argc, char** argv)
{
    const QtMessageHandler previous = qInstallMessageHandler(holdWhileStarting);
    std::unique_ptr<QApplication> application = std::make_unique<GuardedApplication>(argc, argv);
    qInstallMessageHandler(previous);
    passOnHeldMessages();
    return application;
}

bool GuardedApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        qWarning("An event could not be handled: %s", error.what());
    } catch (...) {
        qWarning("An event could not be handled.");
    }
    return false;
}

#ifdef _WIN32

namespace {

// Whether the C runtime's stream has a file, pipe or console behind it: a desktop program's
// streams have none (their handle reads -2) unless the caller redirected them.
bool leadsSomewhere(FILE* stream)
{
    const int descriptor = _fileno(stream);
    return descriptor >= 0 && _get_osfhandle(descriptor) >= 0;
}

} // namespace

void UseParentConsole()
{
    const bool outputLeads = leadsSomewhere(stdout);
    const bool errorsLead = leadsSomewhere(stderr);
    if ((outputLeads && errorsLead) || !AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    FILE* reopened = nullptr;
    if (!outputLeads)
        freopen_s(&reopened, "CONOUT$", "w", stdout);
    if (!errorsLead)
        freopen_s(&reopened, "CONOUT$", "w", stderr);
}

#else

void UseParentConsole() {}

#endif

} // namespace desktop
