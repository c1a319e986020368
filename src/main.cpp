#include "app/program_files.h"
#include "app/settings_store.h"
#include "app/widgets/display_start.h"
#include "app/widgets/home_page_visit.h"
#include "app/widgets/message_box_dialogs.h"
#include "app/widgets/qt_event_pump.h"
#include "ui/page_services.h"
#include "ui/wizard.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    // Without a usable display Qt would abort with its own text; say it plainly instead.
    if (const QString reason = app::MissingDisplayReason(); !reason.isEmpty()) {
        app::SayNoDisplay(reason);
        return 2;
    }
    const auto application = app::StartApplication(argc, argv);
    Q_INIT_RESOURCE(mirravel);

    app::MessageBoxDialogs dialogs;
    const auto settings = app::SettingsStore::forCurrentUser();
    app::QtEventPump events;
    ui::PageServices services{dialogs, *settings, events, app::HomePageVisit(), app::ApplicationFolder(), [&events] {
                                  // Closing either page ends the program at once.
                                  events.requestShutdown();
                                  QCoreApplication::exit(0);
                              }};

    ui::Wizard wizard(services);
    wizard.start();
    if (events.shuttingDown())
        return 0;
    return application->exec();
}
