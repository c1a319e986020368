// What a database failure means for the statements after it, read from its three signals apart:
// the SQLSTATE, the driver's native number and the ORA numbers its text names. Drivers differ in
// which of them carry the news, so each row gives one signal alone or the signals disagreeing.
#include "oracle/database_error.h"

#include <QtTest>

class FailureMeaningTest : public QObject {
    Q_OBJECT
public:
    enum Meaning { Neither, NoSpaceLeft, ConnectionGone };
    Q_ENUM(Meaning)

private:
    static Meaning meaningOf(const oracle::DatabaseError& error)
    {
        switch (error.reach()) {
        case platform::FailureReach::Operation: return ConnectionGone;
        case platform::FailureReach::Table: return NoSpaceLeft;
        case platform::FailureReach::Step: break;
        }
        return Neither;
    }

private slots:
    void meaning_data()
    {
        QTest::addColumn<QString>("sqlState");
        QTest::addColumn<int>("nativeError");
        QTest::addColumn<QString>("text");
        QTest::addColumn<Meaning>("meaning");
        const QString ms = "[Microsoft][ODBC driver for Oracle][Oracle]";
        const QString ora = "[Oracle][ODBC][Ora]";

        // The connection class of SQLSTATE alone, with no ORA number anywhere.
        QTest::newRow("bare 08S01") << "08S01" << 0 << "[Microsoft][ODBC driver for Oracle]Communication link failure"
                                    << ConnectionGone;
        QTest::newRow("08003 connection not open") << "08003" << 0 << "Connection not open" << ConnectionGone;
        QTest::newRow("08007 failure during transaction") << "08007" << 0 << "Connection failure during transaction"
                                                          << ConnectionGone;
        QTest::newRow("08001 unable to connect") << "08001" << 12541 << ora + "ORA-12541: TNS:no listener"
                                                 << ConnectionGone;
        QTest::newRow("HY008 has 08 inside, not in front") << "HY008" << 0 << "Operation canceled" << Neither;

        // The ORA number only in the text: the driver gives no native number.
        QTest::newRow("text only: 03113") << "HY000" << 0 << ms + "ORA-03113: end-of-file on communication channel"
                                          << ConnectionGone;
        QTest::newRow("text only: 03135") << "HY000" << 0 << ora + "ORA-03135: connection lost contact" << ConnectionGone;
        QTest::newRow("text only: 00028, zeros in front") << "HY000" << 0 << ms + "ORA-00028: your session has been killed"
                                                          << ConnectionGone;
        QTest::newRow("text only: 01653") << "HY000" << 0
                                          << ora + "ORA-01653: unable to extend table HR.T by 128 in tablespace USERS"
                                          << NoSpaceLeft;
        QTest::newRow("text only: 00257") << "HY000" << 0 << ms + "ORA-00257: archiver error. Connect internal only, until freed."
                                          << NoSpaceLeft;
        QTest::newRow("text only: 01536") << "HY000" << 0 << ms + "ORA-01536: space quota exceeded for tablespace 'USERS'"
                                          << NoSpaceLeft;

        // The ORA number only as the native error, under the driver's own words.
        QTest::newRow("native only: 3114") << "HY000" << 3114 << "[Oracle][ODBC]Not connected." << ConnectionGone;
        QTest::newRow("native only: 12570") << "HY000" << 12570 << "[Oracle][ODBC]Read failure." << ConnectionGone;
        QTest::newRow("native only: 2396") << "HY000" << 2396 << "[Oracle][ODBC]Idle time exceeded." << ConnectionGone;
        QTest::newRow("native only: 1652") << "HY000" << 1652 << "[Oracle][ODBC]Temporary space exhausted." << NoSpaceLeft;
        QTest::newRow("native only: 30036") << "HY000" << 30036 << "[Oracle][ODBC]Undo space exhausted." << NoSpaceLeft;
        QTest::newRow("native only: 1950, no quota") << "HY000" << 1950 << "[Oracle][ODBC]No privileges on tablespace." << NoSpaceLeft;
        QTest::newRow("text only: 12953, size cap") << "HY000" << 0 << ms + "ORA-12953: The request exceeds the maximum allowed database size of 12 GB" << NoSpaceLeft;
        QTest::newRow("text only: 12560, adapter") << "HY000" << 0 << ms + "ORA-12560: TNS:protocol adapter error" << ConnectionGone;
        QTest::newRow("native only: 1041") << "HY000" << 1041 << "[Oracle][ODBC]Internal error." << ConnectionGone;

        // Failures of their own statement, however the number comes.
        QTest::newRow("unique constraint") << "23000" << 1 << ms + "ORA-00001: unique constraint (HR.PK_T) violated"
                                           << Neither;
        QTest::newRow("no such table") << "42S02" << 942 << ms + "ORA-00942: table or view does not exist" << Neither;
        QTest::newRow("cancelled by the user") << "HY008" << 1013 << ora + "ORA-01013: user requested cancel of current operation"
                                               << Neither;
        QTest::newRow("driver's own failure") << "HY000" << 0 << "[Microsoft][ODBC driver for Oracle]Driver not capable"
                                              << Neither;

        // Several records, joined: every number counts, not only the first one, which the native
        // error carries.
        QTest::newRow("recursive SQL, then no space")
            << "HY000" << 604
            << ms + "ORA-00604: error occurred at recursive SQL level 1\n" + ms
                   + "ORA-01653: unable to extend table SYS.AUD$ by 8 in tablespace SYSTEM"
            << NoSpaceLeft;
        QTest::newRow("PL/SQL error, then lost link")
            << "HY000" << 6512 << ora + "ORA-06512: at line 1\n" + ora + "ORA-03113: end-of-file on communication channel"
            << ConnectionGone;
        QTest::newRow("several numbers, none of either kind")
            << "HY000" << 6550 << ora + "ORA-06550: line 1, column 7:\nPLS-00201: identifier 'X' must be declared\n" + ora
                   + "ORA-06550: line 1, column 7"
            << Neither;
        // Nothing more runs on a dead session, so there is no table to go on with either.
        QTest::newRow("no space and a dead session")
            << "HY000" << 1653
            << ms + "ORA-01653: unable to extend table HR.T by 8 in tablespace USERS\n" + ms
                   + "ORA-03114: not connected to ORACLE"
            << ConnectionGone;

        // Look-alikes. Oracle writes its numbers in five digits in every diagnostic; a shorter or
        // longer run of digits is someone's prose or data, not the server's verdict.
        QTest::newRow("short form ORA-3113") << "HY000" << 0 << "ORA-3113 seen earlier on this link" << Neither;
        QTest::newRow("short form ORA-1653") << "HY000" << 0 << "ORA-1653 in the alert log" << Neither;
        QTest::newRow("six digits: not ORA-01653") << "HY000" << 0 << "ORA-016530: user's own error" << Neither;
        QTest::newRow("no hyphen: ORA03113") << "HY000" << 0 << "ORA03113" << Neither;
        QTest::newRow("number alone, no ORA") << "HY000" << 0 << "error 03113 in row 1653" << Neither;
    }
    void meaning()
    {
        QFETCH(QString, sqlState);
        QFETCH(int, nativeError);
        QFETCH(QString, text);
        QFETCH(Meaning, meaning);
        QCOMPARE(meaningOf(oracle::DatabaseError(text, sqlState, nativeError)), meaning);
    }
};

QTEST_GUILESS_MAIN(FailureMeaningTest)
#include "tst_failure_meaning.moc"
