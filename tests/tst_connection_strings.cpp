// Connection strings: ordinary values verbatim, values that could end their field braced.
#include "oracle/connection_profile.h"

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
