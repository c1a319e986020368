// The built program started without a usable display: one plain line on stderr and exit code 2,
// never Qt's abort.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class StartUpTest : public QObject {
    Q_OBJECT

    // A display number nothing serves here: no socket, no lock, nothing listening.
    static QString unusedDisplay()
    {
        QFile unixSockets("/proc/net/unix");
        const QByteArray listening = unixSockets.open(QIODevice::ReadOnly) ? unixSockets.readAll() : QByteArray();
        for (int number = 700; number < 800; ++number) {
            const QString socket = QString("/tmp/.X11-unix/X%1").arg(number);
            if (!QFile::exists(socket) && !QFile::exists(QString("/tmp/.X%1-lock").arg(number))
                && !listening.contains(socket.toUtf8() + '\n'))
                return QString(":%1").arg(number);
        }
        return QString();
    }

private slots:
    void withoutAUsableDisplayTheProgramSaysSoPlainly_data()
    {
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("reason");
        QTest::newRow("DISPLAY not set") << QString() << "(DISPLAY is not set).";
        const QString unused = unusedDisplay();
        QTest::newRow("DISPLAY names no display") << unused << unused + ").";
    }
    void withoutAUsableDisplayTheProgramSaysSoPlainly()
    {
        QFETCH(QString, display);
        QFETCH(QString, reason);
        QTemporaryDir home;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "DISPLAY"})
            environment.remove(name);
        if (!display.isEmpty())
            environment.insert("DISPLAY", display);
        environment.insert("XDG_CONFIG_HOME", home.path());
        environment.insert("HOME", home.path());

        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(MIRRAVEL_PROGRAM, QStringList());
        QVERIFY(program.waitForStarted());
        if (!program.waitForFinished(60000)) {
            program.kill();
            QFAIL("the program did not end");
        }
        const QString errors = QString::fromLocal8Bit(program.readAllStandardError());
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 2);
        QVERIFY2(errors.startsWith("Mirravel needs a graphical display, and none was found ("), qPrintable(errors));
        QVERIFY2(errors.endsWith(reason + "\n"), qPrintable(errors));
        QCOMPARE(errors.count('\n'), 1);
        QCOMPARE(program.readAllStandardOutput(), QByteArray());
    }
};

QTEST_GUILESS_MAIN(StartUpTest)
#include "tst_start_up.moc"
