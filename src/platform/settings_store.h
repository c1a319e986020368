#pragma once

#include <QString>
#include <memory>

class QSettings;

namespace platform {

// Per-user text values under application "Kestrovan", section "Mirravel". Absent keys read as
// the empty text; a write takes effect at once.
class SettingsStore {
public:
    // The current user's store: on Windows where the classic program kept it (the registry's
    // per-user program settings), elsewhere an ini file in the user's configuration folder,
    // readable by its owner only since it holds passwords.
    static std::unique_ptr<SettingsStore> forCurrentUser();
    // A store in the given ini file (tests, demo).
    static std::unique_ptr<SettingsStore> inFile(const QString& iniPath);

    ~SettingsStore();
    QString read(const QString& key) const;
    // False when the value could not be stored; writeProblem() then says where and why.
    bool write(const QString& key, const QString& value);
    // Empty until a write failed: the store's path and a short plain reason.
    QString writeProblem() const { return writeProblem_; }

private:
    SettingsStore(std::unique_ptr<QSettings> settings, QString group, QString privateFile);
    void protectFile();
    QString describeWriteProblem() const;

    std::unique_ptr<QSettings> settings_;
    QString group_;
    QString privateFile_;
    QString writeProblem_;
};

} // namespace platform
