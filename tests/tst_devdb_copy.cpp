// The access pattern of a table copy against the stand-in driver: a query streamed on one
// connection while rows go into the same database on another (or the same) connection, prepared
// statements, bound columns, and the administration calls the fixtures rely on.
#include "devdb_admin.h"
#include "devdb_fixture.h"

#include <QtTest>

#include <sql.h>
#include <sqlext.h>

#include <memory>

class TstDevDbCopy : public QObject {
    Q_OBJECT

    std::unique_ptr<DevDbFixture> db;

    static QString cs() { return DevDbFixture::connectionString("SRC", "u", "p"); }

    struct Stmt {
        SQLHSTMT h = nullptr;
        explicit Stmt(void* dbc) { SQLAllocHandle(SQL_HANDLE_STMT, dbc, &h); }
        ~Stmt() { SQLFreeHandle(SQL_HANDLE_STMT, h); }
    };

private slots:
    void initTestCase()
    {
        db = std::make_unique<DevDbFixture>();
        db->addUser("SRC", "u", "p");
        db->exec("SRC", "u", "CREATE TABLE \"A\"(\"ID\" NUMBER(10) PRIMARY KEY, \"TXT\" VARCHAR2(20))");
        DevDbConnection c(cs());
        for (int i = 1; i <= 3000; ++i) c.exec(QString("INSERT INTO \"A\" VALUES(%1, 'row %1')").arg(i));
    }

    void copyWhileReading_data()
    {
        QTest::addColumn<bool>("sameConnection");
        QTest::newRow("second connection") << false;
        QTest::newRow("same connection") << true;
    }
    void copyWhileReading()
    {
        QFETCH(bool, sameConnection);
        DevDbConnection source(cs());
        std::unique_ptr<DevDbConnection> second;
        if (!sameConnection) second = std::make_unique<DevDbConnection>(cs());
        DevDbConnection& target = sameConnection ? source : *second;
        target.exec("CREATE TABLE \"B\"(\"ID\" NUMBER(10) PRIMARY KEY, \"TXT\" VARCHAR2(20))");

        Stmt read(source.handle());
        QVERIFY(SQL_SUCCEEDED(SQLExecDirect(read.h, (SQLCHAR*)"SELECT \"ID\", \"TXT\" FROM \"A\" ORDER BY \"ID\"", SQL_NTS)));
        SQLCHAR id[32], txt[32];
        SQLLEN idLen = 0, txtLen = 0;
        QVERIFY(SQL_SUCCEEDED(SQLBindCol(read.h, 1, SQL_C_CHAR, id, sizeof id, &idLen)));
        QVERIFY(SQL_SUCCEEDED(SQLBindCol(read.h, 2, SQL_C_CHAR, txt, sizeof txt, &txtLen)));
        Stmt write(target.handle());
        int copied = 0;
        SQLRETURN rc;
        while ((rc = SQLFetch(read.h)) == SQL_SUCCESS) {
            const QByteArray sql = "INSERT INTO \"B\" VALUES(" + QByteArray((char*)id) + ", '" + QByteArray((char*)txt) + "')";
            QVERIFY2(SQL_SUCCEEDED(SQLExecDirect(write.h, (SQLCHAR*)sql.data(), SQL_NTS)),
                     qPrintable(DevDbConnection::diagnostics(SQL_HANDLE_STMT, write.h)));
            ++copied;
        }
        QCOMPARE(rc, SQLRETURN(SQL_NO_DATA));
        QCOMPARE(copied, 3000);
        QCOMPARE(target.query("SELECT COUNT(*) FROM \"B\""), (QList<QStringList>{{"3000"}}));
        QCOMPARE(target.query("SELECT \"TXT\" FROM \"B\" WHERE \"ID\" = 2999"), (QList<QStringList>{{"row 2999"}}));
        target.exec("DROP TABLE \"B\"");
    }

    // isql's way: prepare, ask for the columns, execute, execute again.
    void preparedStatements()
    {
        DevDbConnection c(cs());
        Stmt st(c.handle());
        QVERIFY(SQL_SUCCEEDED(SQLPrepare(st.h, (SQLCHAR*)"SELECT COUNT(*) FROM \"A\"", SQL_NTS)));
        SQLSMALLINT columns = 0;
        QVERIFY(SQL_SUCCEEDED(SQLNumResultCols(st.h, &columns)));
        QCOMPARE(columns, SQLSMALLINT(1));
        SQLLEN display = 0;
        QVERIFY(SQL_SUCCEEDED(SQLColAttribute(st.h, 1, SQL_DESC_DISPLAY_SIZE, nullptr, 0, nullptr, &display)));
        QVERIFY(display > 0);
        char label[32];
        SQLSMALLINT labelLength = 0;
        QVERIFY(SQL_SUCCEEDED(SQLColAttribute(st.h, 1, SQL_DESC_LABEL, label, sizeof label, &labelLength, nullptr)));
        QCOMPARE(QByteArray(label), QByteArray("COUNT(*)"));
        for (int round = 0; round < 2; ++round) {
            QVERIFY(SQL_SUCCEEDED(SQLExecute(st.h)));
            QCOMPARE(SQLFetch(st.h), SQLRETURN(SQL_SUCCESS));
            char n[16];
            SQLLEN len = 0;
            QVERIFY(SQL_SUCCEEDED(SQLGetData(st.h, 1, SQL_C_CHAR, n, sizeof n, &len)));
            QCOMPARE(QByteArray(n), QByteArray("3000"));
            QVERIFY(SQL_SUCCEEDED(SQLCloseCursor(st.h)));
        }
        // A failing prepared statement reports at execution, with the Oracle text.
        QVERIFY(SQL_SUCCEEDED(SQLPrepare(st.h, (SQLCHAR*)"SELECT * FROM \"NOPE\"", SQL_NTS)));
        QCOMPARE(SQLExecute(st.h), SQLRETURN(SQL_ERROR));
        QVERIFY(DevDbConnection::diagnostics(SQL_HANDLE_STMT, st.h).contains("ORA-00942"));
    }

    void otherDictionaryViewsAndDelete()
    {
        DevDbConnection c(cs());
        QCOMPARE(c.query("SELECT * FROM dual"), (QList<QStringList>{{"X"}}));
        QCOMPARE(c.query("SELECT owner, table_name FROM all_tables"), (QList<QStringList>{{"U", "A"}}));
        QCOMPARE(c.query("SELECT column_name, data_type, column_id FROM user_tab_columns WHERE table_name = 'A'"),
                 (QList<QStringList>{{"ID", "NUMBER", "1"}, {"TXT", "VARCHAR2", "2"}}));
        c.exec("CREATE TABLE \"D\"(\"K\" NUMBER, \"V\" CHAR(3))");
        c.exec("INSERT INTO \"D\" VALUES(1, 'a')");
        c.exec("INSERT INTO \"D\" VALUES(2, 'b')");
        c.exec("DELETE FROM \"D\" WHERE \"V\" = 'a'"); // CHAR compares blank-padded, as in Oracle
        QCOMPARE(c.query("SELECT * FROM \"D\""), (QList<QStringList>{{"2", "b  "}}));
        c.exec("DROP TABLE \"D\"");
    }

    // A bound column whose buffer is too short reports the truncation at fetch; SQLGetData on
    // that bound column then reads the whole value from its start, in pieces (SQL_GD_BOUND).
    void boundColumnReadAgainWhole()
    {
        DevDbConnection c(cs());
        SQLUINTEGER extensions = 0;
        QVERIFY(SQL_SUCCEEDED(SQLGetInfo(c.handle(), SQL_GETDATA_EXTENSIONS, &extensions, sizeof extensions, nullptr)));
        QCOMPARE(extensions & (SQL_GD_BOUND | SQL_GD_ANY_COLUMN | SQL_GD_ANY_ORDER),
                 SQLUINTEGER(SQL_GD_BOUND | SQL_GD_ANY_COLUMN | SQL_GD_ANY_ORDER));
        c.exec("CREATE TABLE \"LONGV\"(\"N\" NUMBER, \"T\" NVARCHAR2(100), \"K\" NUMBER)");
        const QString text = QString::fromUtf8("\xF0\x9F\x98\x80 long text ") + QString(60, 'x');
        c.exec("INSERT INTO \"LONGV\" VALUES(1E-130, '" + text + "', 7)");
        Stmt st(c.handle());
        QVERIFY(SQL_SUCCEEDED(SQLExecDirect(st.h, (SQLCHAR*)"SELECT * FROM \"LONGV\"", SQL_NTS)));
        SQLWCHAR n[16], t[8];
        SQLLEN nLen = 0, tLen = 0;
        QVERIFY(SQL_SUCCEEDED(SQLBindCol(st.h, 1, SQL_C_WCHAR, n, sizeof n, &nLen)));
        QVERIFY(SQL_SUCCEEDED(SQLBindCol(st.h, 2, SQL_C_WCHAR, t, sizeof t, &tLen)));
        QCOMPARE(SQLFetch(st.h), SQLRETURN(SQL_SUCCESS_WITH_INFO));
        const QString number = "0." + QString(129, '0') + "1";
        QCOMPARE(nLen, SQLLEN(number.size() * 2));
        QCOMPARE(tLen, SQLLEN(text.size() * 2));
        QCOMPARE(QString(reinterpret_cast<const QChar*>(t), 7), text.left(7));
        auto whole = [&](SQLUSMALLINT column) {
            QString out;
            SQLWCHAR piece[20];
            SQLLEN ind = 0;
            SQLRETURN rc;
            while ((rc = SQLGetData(st.h, column, SQL_C_WCHAR, piece, sizeof piece, &ind)) != SQL_NO_DATA) {
                if (!SQL_SUCCEEDED(rc) || ind == SQL_NULL_DATA) return QString("<failed>");
                out += QString(reinterpret_cast<const QChar*>(piece), rc == SQL_SUCCESS ? ind / 2 : 19);
            }
            return out;
        };
        QCOMPARE(whole(2), text);
        QCOMPARE(whole(1), number); // NUMBER at its smallest, in full
        QCOMPARE(whole(2), text);   // again, from the start
        char k[4];
        SQLLEN kLen = 0;
        QCOMPARE(SQLGetData(st.h, 3, SQL_C_CHAR, k, sizeof k, &kLen), SQLRETURN(SQL_SUCCESS));
        QCOMPARE(QByteArray(k), QByteArray("7"));
        QCOMPARE(SQLFetch(st.h), SQLRETURN(SQL_NO_DATA));
        c.exec("DROP TABLE \"LONGV\"");
    }

    // The "narrow" marker models a driver that under-reports sizes: every result column is
    // described as one character wide, whatever it holds.
    void narrowDescriptions()
    {
        auto describe = [&] {
            DevDbConnection c(cs());
            Stmt st(c.handle());
            SQLExecDirect(st.h, (SQLCHAR*)"SELECT \"ID\", \"TXT\" FROM \"A\" WHERE \"ID\" = 1", SQL_NTS);
            QList<qlonglong> sizes;
            for (SQLUSMALLINT i = 1; i <= 2; ++i) {
                SQLULEN size = 0;
                SQLLEN display = 0, octets = 0, length = 0;
                SQLDescribeCol(st.h, i, nullptr, 0, nullptr, nullptr, &size, nullptr, nullptr);
                SQLColAttribute(st.h, i, SQL_DESC_DISPLAY_SIZE, nullptr, 0, nullptr, &display);
                SQLColAttribute(st.h, i, SQL_DESC_OCTET_LENGTH, nullptr, 0, nullptr, &octets);
                SQLColAttribute(st.h, i, SQL_DESC_LENGTH, nullptr, 0, nullptr, &length);
                sizes << qlonglong(size) << display << octets << length;
            }
            SQLWCHAR text[64];
            SQLLEN ind = 0;
            SQLFetch(st.h);
            SQLGetData(st.h, 2, SQL_C_WCHAR, text, sizeof text, &ind);
            sizes << ind / 2;
            return sizes;
        };
        QCOMPARE(describe(), (QList<qlonglong>{10, 12, 40, 10, 20, 20, 20, 20, 5}));
        db->setNarrow(true);
        QCOMPARE(describe(), (QList<qlonglong>{1, 1, 1, 1, 1, 1, 1, 1, 5})); // the value itself is whole
        db->setNarrow(false);
        QCOMPARE(describe().first(), 10);
    }

    void administration()
    {
        const std::string dir = db->dataDir().toStdString();
        db->addUser("SRC", "U", "new password"); // re-adding sets the password
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, DevDbConnection{cs()});
        DevDbConnection c(DevDbFixture::connectionString("src", "u", "new password"));
        QCOMPARE(c.query("SELECT COUNT(*) FROM user_tables"), (QList<QStringList>{{"1"}})); // data kept
        db->addUser("SRC", "u", "p");

        QVERIFY_THROWS_EXCEPTION(std::runtime_error, devdb::addUser(dir, "../x", "u", "p"));
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, devdb::addUser(dir, "S", "", "p"));
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, devdb::addUser(dir + "/missing", "S", "u", "p"));
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, devdb::initDataDir(dir + "/x", "/no/such/driver.so"));
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, devdb::addFault(dir, "1|*|HY000|two\nlines"));
        devdb::initDataDir(dir, DEVDB_DRIVER_PATH); // again: keeps the databases
        QCOMPARE(DevDbConnection(cs()).query("SELECT COUNT(*) FROM \"A\""), (QList<QStringList>{{"3000"}}));
    }
};

QTEST_GUILESS_MAIN(TstDevDbCopy)
#include "tst_devdb_copy.moc"
