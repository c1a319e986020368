#include "app/application_frame.h"
#include "app/message_box_dialogs.h"
#include "app/qt_controls.h"
#include "app/settings_store.h"
#include "ui/login_page.h"
#include "ui/page_services.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

namespace {

// Without a display Qt would abort with its own text; say it plainly instead.
bool displayAvailable()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return true;
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#else
    return true;
#endif
}

} // namespace

int main(int argc, char* argv[])
{
    if (!displayAvailable()) {
        std::fputs("Mirravel needs a graphical display, and none was found (DISPLAY is not set).\n", stderr);
        return 2;
    }
    QApplication application(argc, argv);
    Q_INIT_RESOURCE(mirravel);

    app::MessageBoxDialogs dialogs;
    const auto settings = app::SettingsStore::forCurrentUser();
    app::QtEventPump events;
    ui::PageServices services{dialogs, *settings, events, app::HomePageVisit(), app::ApplicationFolder(), [&events] {
                                  // Closing either page ends the program at once.
                                  events.requestShutdown();
                                  QCoreApplication::exit(0);
                              }};

    ui::LoginPage loginPage(services);
    loginPage.Form_Load();
    if (!loginPage.hiddenByLoad())
        loginPage.show();
    if (events.shuttingDown())
        return 0;
    return application.exec();
}
