// The journal file: one line an event, bounded by rotation to one older file, and silent but for
// one line on standard error when it cannot be written.
#include "platform/journal.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <cstdio>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QStringList linesOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

int modeOf(const QString& path) { struct stat status {}; return stat(qPrintable(path), &status) ? -1 : int(status.st_mode & 0777); }

// What the code prints on standard error while it runs.
template <typename Action>
QByteArray standardError(Action action)
{
    std::fflush(stderr);
    QTemporaryFile capture;
    capture.open();
    const int saved = dup(2);
    dup2(capture.handle(), 2);
    action();
    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
    capture.seek(0);
    return capture.readAll();
}

} // namespace

class JournalTest : public QObject {
    Q_OBJECT

private slots:
    void oneLineAnEvent()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("state/mirravel/journal.log");
        platform::FileJournal journal(path);
        journal.record("Test Connection: could not connect: [devdb]\nORA-01017: invalid username/password\r\nsecond");
        journal.record("Send: ORDERS created");
        const QStringList lines = linesOf(path);
        QCOMPARE(lines.size(), 2);
        QVERIFY(QRegularExpression(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} Test Connection: )").match(lines[0]).hasMatch());
        QVERIFY(lines[0].endsWith("could not connect: [devdb] | ORA-01017: invalid username/password | second"));
        QVERIFY(lines[1].endsWith(" Send: ORDERS created"));
        // Its user's alone: the folders it made, its file, and then a file an earlier version left readable.
        QCOMPARE(QList<int>({modeOf(dir.filePath("state")), modeOf(dir.filePath("state/mirravel")), modeOf(path)}), QList<int>({0700, 0700, 0600}));
        chmod(qPrintable(path), 0644);
        journal.record("Send: ORDERS created");
        QCOMPARE(modeOf(path), 0600);
    }

    // Past its limit the file becomes the one older file: the newest events are always kept, and
    // the two files never hold much more than twice the limit.
    void keepsTheLastFewMegabytes()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("journal.log");
        platform::FileJournal journal(path, 1000);
        for (int i = 0; i < 100; ++i)
            journal.record(QString("event %1").arg(i, 3, 10, QChar('0')));
        QVERIFY(QFileInfo(path).size() <= 1000);
        QVERIFY(QFileInfo(path + ".1").size() <= 1000);
        QVERIFY(!QFile::exists(path + ".2"));
        const QStringList older = linesOf(path + ".1"), newer = linesOf(path);
        QVERIFY(newer.last().endsWith("event 099"));
        // Nothing lost between the two files.
        QCOMPARE(older.last().right(3).toInt() + 1, newer.first().right(3).toInt());
    }

    void cannotBeWrittenSaysSoOnce()
    {
        QTemporaryDir dir;
        QFile blocker(dir.filePath("state"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));  // a file where the folder should be
        platform::FileJournal journal(dir.filePath("state/journal.log"));
        const QByteArray said = standardError([&] {
            for (int i = 0; i < 3; ++i)
                journal.record("Send: ORDERS created");
        });
        QCOMPARE(said.count('\n'), 1);
        QVERIFY(said.startsWith("Mirravel: the journal "));
    }

    // A full disk takes part of a line: the file keeps none of it, and standard error says so.
    void aLineIsWrittenWholeOrNotAtAll()
    {
        QTemporaryDir dir;
        platform::FileJournal journal(dir.filePath("journal.log"));
        journal.record(QString(500, 'x'));
        const qint64 before = QFileInfo(dir.filePath("journal.log")).size();
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved {};
        getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit full = {rlim_t(before + 20), saved.rlim_max};
        setrlimit(RLIMIT_FSIZE, &full);
        const QByteArray said = standardError([&] { journal.record(QString(100, 'y')); });
        setrlimit(RLIMIT_FSIZE, &saved);
        QCOMPARE(QFileInfo(dir.filePath("journal.log")).size(), before);
        QVERIFY(said.startsWith("Mirravel: the journal ") && said.count('\n') == 1);
    }

    void livesInTheUsersStateFolder()
    {
        qputenv("XDG_STATE_HOME", "/somewhere/state");
        QCOMPARE(platform::FileJournal::defaultPath(), QString("/somewhere/state/mirravel/journal.log"));
        qputenv("XDG_STATE_HOME", "relative/ignored");
        QCOMPARE(platform::FileJournal::defaultPath(), QDir::homePath() + "/.local/state/mirravel/journal.log");
    }
};

QTEST_GUILESS_MAIN(JournalTest)
#include "tst_journal.moc"
