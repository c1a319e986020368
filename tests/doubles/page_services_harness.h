#pragma once

#include "platform/settings_store.h"
#include "desktop/qt_ports.h"
#include "plain_controls.h"
#include "scripted_dialogs.h"
#include "ui/page_services.h"

#include <QDir>
#include <QTemporaryDir>
#include <QUrl>

// Everything the real pages are given at start-up, with scripted boxes, a settings file of the
// test's own, a fixed home-page draw and a recorded end of the program.
struct PageServicesHarness {
    // With an unwritable settings file, the path of the settings file is taken by a folder.
    enum class SettingsFile { Writable, Unwritable };

    explicit PageServicesHarness(int homePageDraw = 50, SettingsFile settingsFile = SettingsFile::Writable)
        : settings(platform::SettingsStore::inFile(settingsPath(folder, settingsFile))),
          services{dialogs, *settings, events,
                   desktop::HomePageVisit([homePageDraw] { return homePageDraw; }, [this](const QUrl& url) { opened << url; }),
                   folder.path(), [this] { ++endings; events.requestShutdown(); }, journal}
    {
    }

    static QString settingsPath(const QTemporaryDir& folder, SettingsFile settingsFile)
    {
        if (settingsFile == SettingsFile::Unwritable)
            QDir(folder.path()).mkdir("settings.ini");
        return folder.filePath("settings.ini");
    }

    QTemporaryDir folder;
    ScriptedDialogs dialogs;
    std::unique_ptr<platform::SettingsStore> settings;
    desktop::QtEventPump events;
    RecordingJournal journal;
    QList<QUrl> opened;
    int endings = 0;
    ui::PageServices services;
};
