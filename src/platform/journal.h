#pragma once

#include <QString>

namespace platform {

// What was done, kept for afterwards: a DBA reads there what a run overwrote and copied and why a
// login failed, which the boxes never say. One line per event; never a password or a row's values.
class Journal {
public:
    virtual ~Journal() = default;
    virtual void record(const QString& event) = 0;
};

// A journal that keeps nothing.
class NoJournal : public Journal {
public:
    void record(const QString&) override {}
};

// The journal in a file: each event a line with its local time, written whole or not at all. The
// file keeps the last few MiB: past its limit it becomes the one older file ("journal.log.1") and a
// new one starts. Its files, and the folders it makes, only their user can read. A journal that
// cannot be written never disturbs the user: one line on standard error, the first time.
class FileJournal : public Journal {
public:
    static constexpr qint64 kDefaultLimit = qint64(2) << 20;

    explicit FileJournal(QString path, qint64 limitBytes = kDefaultLimit);
    void record(const QString& event) override;
    const QString& path() const { return path_; }

    // The current user's journal: the per-user state folder (~/.local/state/mirravel/journal.log,
    // or under %LOCALAPPDATA% on Windows).
    static QString defaultPath();

private:
    void complain(const QString& reason);

    QString path_;
    qint64 limit_;
    bool complained_ = false;
};

} // namespace platform
