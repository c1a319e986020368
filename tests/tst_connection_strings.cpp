// Connection strings: ordinary values verbatim, values that could end their field braced; the
// driver a connection goes through, and the profile in that driver's keywords.
#include "oracle/connection_profile.h"
#include "oracle/odbc_driver.h"

#include <QtTest>

class ConnectionStringTest : public QObject {
    Q_OBJECT
private slots:
    void build_data()
    {
        QTest::addColumn<QString>("sid");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("expected");
        QTest::newRow("ordinary") << "KVMD" << "scott" << "tiger"
                                  << "Driver={Microsoft ODBC for Oracle};Server=KVMD;Uid=scott;Pwd=tiger;";
        QTest::newRow("all empty") << "" << "" << "" << "Driver={Microsoft ODBC for Oracle};Server=;Uid=;Pwd=;";
        QTest::newRow("blanks kept") << " KVMD " << "scott " << " tiger"
                                     << "Driver={Microsoft ODBC for Oracle};Server= KVMD ;Uid=scott ;Pwd= tiger;";
        QTest::newRow("semicolon in password") << "KVMD" << "scott" << "ti;ger"
                                               << "Driver={Microsoft ODBC for Oracle};Server=KVMD;Uid=scott;Pwd={ti;ger};";
        QTest::newRow("injected key") << "KVMD" << "scott" << "x;Server=OTHER"
                                      << "Driver={Microsoft ODBC for Oracle};Server=KVMD;Uid=scott;Pwd={x;Server=OTHER};";
        QTest::newRow("closing brace doubled") << "KVMD" << "a}b" << "p"
                                               << "Driver={Microsoft ODBC for Oracle};Server=KVMD;Uid={a}}b};Pwd=p;";
        QTest::newRow("opening brace") << "{KVMD" << "u" << "p"
                                       << "Driver={Microsoft ODBC for Oracle};Server={{KVMD};Uid=u;Pwd=p;";
        QTest::newRow("other punctuation verbatim") << "db=1" << "o'neil" << "p@ss \"w\""
                                                    << "Driver={Microsoft ODBC for Oracle};Server=db=1;Uid=o'neil;Pwd=p@ss \"w\";";
    }
    void build()
    {
        QFETCH(QString, sid);
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, expected);
        QCOMPARE(oracle::BuildConnectionString({sid, user, password}), expected);
    }

    void choose_data()
    {
        QTest::addColumn<QStringList>("installed");  // "name" or "name=library"
        QTest::addColumn<QString>("requested");
        QTest::addColumn<QString>("chosen");  // empty: none
        QTest::addColumn<int>("keyword");
        const int server = int(oracle::DatabaseKeyword::Server), dbq = int(oracle::DatabaseKeyword::Dbq),
                  both = int(oracle::DatabaseKeyword::ServerAndDbq);
        const QString ms = "Microsoft ODBC for Oracle";
        QTest::newRow("Microsoft's alone") << QStringList{ms} << "" << ms << server;
        QTest::newRow("Oracle's alone") << QStringList{"PostgreSQL Unicode", "Oracle 21 ODBC driver"} << ""
                                        << "Oracle 21 ODBC driver" << dbq;
        QTest::newRow("both: Microsoft's wins") << QStringList{"Oracle 21 ODBC driver", "microsoft odbc for oracle"} << ""
                                                << ms << server;
        QTest::newRow("two of Oracle's: the higher version") << QStringList{"Oracle 21 ODBC driver", "Oracle 19 ODBC driver"}
                                                             << "" << "Oracle 21 ODBC driver" << dbq;
        QTest::newRow("Windows homes: version, not home number")
            << QStringList{"Oracle in OraClient19Home3", "Oracle in instantclient_21_12", "Oracle in instantclient_21_3"}
            << "" << "Oracle in instantclient_21_12" << dbq;
        QTest::newRow("same version: first by name") << QStringList{"Oracle in XE", "Oracle in OraDB21Home1", "Oracle 21 ODBC driver"}
                                                     << "" << "Oracle 21 ODBC driver" << dbq;
        QTest::newRow("asked for: Oracle's") << QStringList{ms} << "Oracle 19 ODBC driver" << "Oracle 19 ODBC driver" << dbq;
        QTest::newRow("asked for: Microsoft's") << QStringList{"Oracle 21 ODBC driver"} << ms << ms << server;
        QTest::newRow("asked for: another maker's") << QStringList{ms} << "Devart ODBC Driver for Oracle"
                                                    << "Devart ODBC Driver for Oracle" << both;
        const QString sqora21 = "=/opt/oracle/instantclient_21_12/libsqora.so.21.1";
        QTest::newRow("Oracle's library under Microsoft's name: DBQ") << QStringList{ms + sqora21} << "" << ms << dbq;
        QTest::newRow("... beside Oracle's own entry: that one") << QStringList{ms + sqora21, "Oracle 21 ODBC driver" + sqora21}
                                                                 << "" << "Oracle 21 ODBC driver" << dbq;
        QTest::newRow("Windows: SQORA32.DLL under both names")
            << QStringList{ms + "=C:\\oracle\\ic_21_12\\SQORA32.DLL", "Oracle in instantclient_21_12=C:\\oracle\\ic_21_12\\SQORA32.DLL"}
            << "" << "Oracle in instantclient_21_12" << dbq;
        QTest::newRow("Microsoft's library, another name") << QStringList{"Oracle=C:\\Windows\\MSORCL32.DLL"} << "" << "Oracle" << server;
        QTest::newRow("plain \"Oracle\"") << QStringList{"PostgreSQL Unicode", "Oracle"} << "" << "Oracle" << dbq;
        QTest::newRow("asked for: Microsoft's name, Oracle's library") << QStringList{ms + sqora21} << ms << ms << dbq;
        QTest::newRow("none for Oracle") << QStringList{"SQLite3", "PostgreSQL ANSI"} << "" << "" << server;
        QTest::newRow("none at all") << QStringList{} << "" << "" << server;
    }
    void choose()
    {
        QFETCH(QStringList, installed);
        QFETCH(QString, requested);
        QFETCH(QString, chosen);
        QFETCH(int, keyword);
        QList<oracle::InstalledDriver> drivers;
        for (const QString& entry : installed)
            drivers << oracle::InstalledDriver{entry.section('=', 0, 0), entry.section('=', 1)};
        const auto driver = oracle::ChooseOdbcDriver(drivers, requested);
        QCOMPARE(driver.has_value(), !chosen.isEmpty());
        if (driver) {
            QCOMPARE(driver->name, chosen);
            QCOMPARE(int(driver->keyword), keyword);
        }
    }

    void forDriver_data()
    {
        QTest::addColumn<QString>("driver");
        QTest::addColumn<QString>("sid");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Oracle's: DBQ") << "Oracle 21 ODBC driver" << "KVMD" << "tiger"
                                       << "Driver={Oracle 21 ODBC driver};DBQ=KVMD;Uid=scott;Pwd=tiger;";
        QTest::newRow("Oracle's: Easy Connect") << "Oracle in instantclient_21_12" << "dbhost:1521/ORCLPDB1" << "t"
                                                << "Driver={Oracle in instantclient_21_12};DBQ=dbhost:1521/ORCLPDB1;Uid=scott;Pwd=t;";
        QTest::newRow("Oracle's: braced values") << "Oracle 21 ODBC driver" << "{K;V}" << "ti;g}er"
                                                 << "Driver={Oracle 21 ODBC driver};DBQ={{K;V}}};Uid=scott;Pwd={ti;g}}er};";
        QTest::newRow("another maker's: both keywords") << "Devart" << "K;V" << "p{"
                                                        << "Driver={Devart};Server={K;V};DBQ={K;V};Uid=scott;Pwd={p{};";
        QTest::newRow("a brace in the driver's name") << "My}Driver" << "K" << "p"
                                                      << "Driver={My}}Driver};Server=K;DBQ=K;Uid=scott;Pwd=p;";
    }
    void forDriver()
    {
        QFETCH(QString, driver);
        QFETCH(QString, sid);
        QFETCH(QString, password);
        QFETCH(QString, expected);
        const oracle::OdbcDriver chosen{driver, oracle::KeywordOfDriver(driver)};
        QCOMPARE(oracle::ConnectionStringFor({sid, "scott", password}, chosen), expected);
    }

    void testConnectionNeverThrows()
    {
        // No driver of that name is registered in this process's private set-up: just false.
        qputenv("ODBCSYSINI", QDir::tempPath().toUtf8() + "/mirravel-no-such-odbc-config");
        QVERIFY(!oracle::TestConnection("Driver={Microsoft ODBC for Oracle};Server=X;Uid=a;Pwd=b;"));
        QVERIFY(!oracle::TestConnection("not a connection string at all"));
    }
};

QTEST_GUILESS_MAIN(ConnectionStringTest)
#include "tst_connection_strings.moc"
