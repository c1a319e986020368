// The per-user settings: keys, exact values, absent keys, separate users, a private file.
#include "platform/settings_store.h"

#include <QtTest>

class SettingsStoreTest : public QObject {
    Q_OBJECT
private slots:
    void valuesAreKeptExactly()
    {
        QTemporaryDir folder;
        auto store = platform::SettingsStore::inFile(folder.filePath("s.ini"));
        QCOMPARE(store->read("OracleServer"), QString());
        const QStringList values = {" KVMD ", "a;b=c", "pa\"ss'word", "Ωμέγα", "", "#not a comment"};
        for (int i = 0; i < values.size(); ++i)
            store->write(QString("Key%1").arg(i), values[i]);
        auto again = platform::SettingsStore::inFile(folder.filePath("s.ini"));
        for (int i = 0; i < values.size(); ++i)
            QCOMPARE(again->read(QString("Key%1").arg(i)), values[i]);
    }

    void clearingKeepsTheKeyWithAnEmptyValue()
    {
        QTemporaryDir folder;
        auto store = platform::SettingsStore::inFile(folder.filePath("s.ini"));
        store->write("OracleUser", "scott");
        store->write("OracleUser", "");
        QSettings raw(folder.filePath("s.ini"), QSettings::IniFormat);
        QVERIFY(raw.contains("Mirravel/OracleUser"));
        QCOMPARE(raw.value("Mirravel/OracleUser").toString(), QString());
    }

    // A store that cannot write says so, and why, on every write; it never touches what stands
    // at its path.
    void unwritableStoreSaysWhy_data()
    {
        QTest::addColumn<QString>("obstacle");
        QTest::addColumn<QString>("reason");
        QTest::newRow("the file is a folder") << "folder" << "is a folder";
        QTest::newRow("its folder cannot be made") << "file in the way" << "cannot be made";
    }
    void unwritableStoreSaysWhy()
    {
        QFETCH(QString, obstacle);
        QFETCH(QString, reason);
        QTemporaryDir folder;
        QString path = folder.filePath("s.ini");
        if (obstacle == "folder") {
            QVERIFY(QDir(folder.path()).mkdir("s.ini"));
        } else {
            QFile blocker(folder.filePath("blocker"));
            QVERIFY(blocker.open(QIODevice::WriteOnly));
            blocker.close();
            path = folder.filePath("blocker/sub/s.ini");
        }
        const auto permissionsBefore = QFileInfo(folder.filePath(obstacle == "folder" ? "s.ini" : "blocker")).permissions();

        auto store = platform::SettingsStore::inFile(path);
        QVERIFY(!store->write("OracleServer", "KVMD"));
        QVERIFY2(store->writeProblem().contains(QDir::toNativeSeparators(path)), qPrintable(store->writeProblem()));
        QVERIFY2(store->writeProblem().contains(reason), qPrintable(store->writeProblem()));
        QVERIFY(!store->write("OracleUser", "scott"));
        QCOMPARE(QFileInfo(folder.filePath(obstacle == "folder" ? "s.ini" : "blocker")).permissions(), permissionsBefore);

        auto good = platform::SettingsStore::inFile(folder.filePath("good.ini"));
        QVERIFY(good->write("OracleServer", "KVMD"));
        QCOMPARE(good->writeProblem(), QString());
    }

    // The user's own configuration folder (read once per process, so set before any use).
    void currentUserStoreIsAPrivateFile()
    {
#ifndef Q_OS_UNIX
        QSKIP("The current user's store is an ini file on Unix only; Windows keeps it in the registry.");
#else
        QTemporaryDir home;
        qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
        platform::SettingsStore::forCurrentUser()->write("OraclePassword", "secret");

        QFile file(home.filePath("Kestrovan.ini"));
        QVERIFY(file.exists());
        const auto others = QFileDevice::ReadGroup | QFileDevice::ReadOther | QFileDevice::WriteGroup | QFileDevice::WriteOther;
        QCOMPARE(file.permissions() & others, QFileDevice::Permissions());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray content = file.readAll();
        QVERIFY(content.contains("[Mirravel]"));
        QVERIFY(content.contains("OraclePassword=secret"));
        QCOMPARE(platform::SettingsStore::forCurrentUser()->read("OraclePassword"), QString("secret"));
#endif
    }
};

QTEST_GUILESS_MAIN(SettingsStoreTest)
#include "tst_settings_store.moc"
