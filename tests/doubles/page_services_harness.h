#pragma once

#include "app/qt_controls.h"
#include "app/settings_store.h"
#include "scripted_dialogs.h"
#include "ui/page_services.h"

#include <QTemporaryDir>
#include <QUrl>

// Everything the real pages are given at start-up, with scripted boxes, a settings file of the
// test's own, a fixed home-page draw and a recorded end of the program.
struct PageServicesHarness {
    explicit PageServicesHarness(int homePageDraw = 50)
        : settings(app::SettingsStore::inFile(folder.filePath("settings.ini"))),
          services{dialogs, *settings, events,
                   app::HomePageVisit([homePageDraw] { return homePageDraw; }, [this](const QUrl& url) { opened << url; }),
                   folder.path(), [this] { ++endings; events.requestShutdown(); }}
    {
    }

    QTemporaryDir folder;
    ScriptedDialogs dialogs;
    std::unique_ptr<app::SettingsStore> settings;
    app::QtEventPump events;
    QList<QUrl> opened;
    int endings = 0;
    ui::PageServices services;
};
