// Which database a connection reaches: second names for a database (alias), copies of its file,
// and what a connection learns when it asks who it is (SYS_CONTEXT, USER, USER_USERS), pluggable
// databases and standbys included.
#include "devdb_admin.h"
#include "devdb_fixture.h"

#include <QtTest>

#include <sql.h>
#include <sqlext.h>

#include <memory>

class TstDevDbIdentity : public QObject {
    Q_OBJECT

    std::unique_ptr<DevDbFixture> db;

    static const QString whoAmI;
    static const QString container;

private slots:
    void initTestCase()
    {
        db = std::make_unique<DevDbFixture>();
        db->addUser("ORCL", "scott", "tiger");
        db->addUser("ORCL", "hr", "hr");
        db->addUser("OTHER", "scott", "other");
        db->alias("ORCL_ALT", "ORCL");
    }
    void cleanup() { db->clearFaults(); }

    void aliasIsTheSameDatabase()
    {
        db->exec("ORCL", "scott", "CREATE TABLE \"MADE_HERE\"(\"A\" NUMBER)");
        db->exec("ORCL_ALT", "scott", "INSERT INTO \"MADE_HERE\" VALUES(1)");
        db->exec("orcl_alt", "hr", "CREATE TABLE \"MADE_THERE\"(\"B\" NUMBER)");
        QCOMPARE(db->query("ORCL", "hr", "SELECT table_name FROM user_tables"), (QList<QStringList>{{"MADE_THERE"}}));
        QCOMPARE(db->query("ORCL", "scott", "SELECT * FROM \"MADE_HERE\""), (QList<QStringList>{{"1"}}));
        // Users are shared too: a password set through the alias holds under the first name.
        db->addUser("ORCL_ALT", "newbie", "pw");
        DevDbConnection newbie(DevDbFixture::connectionString("ORCL", "newbie", "pw"));
        QCOMPARE(newbie.query("SELECT COUNT(*) FROM all_tables"), (QList<QStringList>{{"2"}}));
        // The other database is untouched.
        QCOMPARE(db->query("OTHER", "scott", "SELECT COUNT(*) FROM all_tables"), (QList<QStringList>{{"0"}}));
    }

    void aliasMistakesAreRefused()
    {
        const std::string dir = db->dataDir().toStdString();
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, devdb::addAlias(dir, "X", "NO_SUCH_SID"));
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, devdb::addAlias(dir, "OTHER", "ORCL")); // a database of its own
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, devdb::addAlias(dir, "ORCL_ALT", "OTHER")); // names ORCL already
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, devdb::addAlias(dir, "../X", "ORCL"));
        devdb::addAlias(dir, "ORCL_ALT", "ORCL"); // the same again is fine
        devdb::addAlias(dir, "ORCL_3", "ORCL_ALT"); // an alias of an alias names the database itself
        db->alias("ORCL_3", "ORCL");
        QCOMPARE(db->query("ORCL_3", "scott", "SELECT COUNT(*) FROM user_tables"), (QList<QStringList>{{"1"}}));
    }

    void identity_data()
    {
        QTest::addColumn<QString>("sid");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QStringList>("expected"); // one row
        QTest::newRow("unique name and user") << "ORCL" << "scott" << whoAmI << QStringList{"ORCL", "SCOTT"};
        QTest::newRow("through the alias: the database's own name") << "ORCL_ALT" << "hr" << whoAmI << QStringList{"ORCL", "HR"};
        QTest::newRow("container name of a plain database") << "ORCL_ALT" << "hr" << container << QStringList{"ORCL"};
        QTest::newRow("other database") << "OTHER" << "scott" << whoAmI << QStringList{"OTHER", "SCOTT"};
        QTest::newRow("parameters in any case") << "ORCL" << "scott"
                                                << "select sys_context('userenv','db_name'), sys_context('UserEnv', 'Session_User'), "
                                                   "sys_context('USERENV', 'CURRENT_SCHEMA') from DUAL"
                                                << QStringList{"ORCL", "SCOTT", "SCOTT"};
        QTest::newRow("literals and USER") << "ORCL" << "hr" << "SELECT 'a b', USER, '' FROM dual" << QStringList{"a b", "HR", {}};
        QTest::newRow("another namespace is empty") << "ORCL" << "hr" << "SELECT SYS_CONTEXT('MY_CTX', 'X') FROM dual"
                                                    << QStringList{QString()};
        QTest::newRow("a table's rows") << "ORCL" << "scott" << "SELECT USER, \"A\", 'k' FROM \"MADE_HERE\""
                                        << QStringList{"SCOTT", "1", "k"};
    }
    void identity()
    {
        QFETCH(QString, sid);
        QFETCH(QString, user);
        QFETCH(QString, sql);
        QFETCH(QStringList, expected);
        QCOMPARE(db->query(sid, user, sql), (QList<QStringList>{expected}));
    }

    void serverHostAndUnknownParameter()
    {
        const auto host = db->query("ORCL", "scott", "SELECT SYS_CONTEXT('USERENV', 'SERVER_HOST') FROM dual");
        QVERIFY(!host.at(0).at(0).isEmpty());
        const QString error = ErrorOf([&] { db->query("ORCL", "scott", "SELECT SYS_CONTEXT('USERENV', 'NO_SUCH') FROM dual"); });
        QCOMPARE(error, QString("[devdb][Oracle]ORA-02003: invalid USERENV parameter"));
        QVERIFY(ErrorOf([&] { db->query("ORCL", "scott", "SELECT SYS_CONTEXT('USERENV') FROM dual"); }).contains("ORA-00909"));
        QVERIFY(ErrorOf([&] { db->query("ORCL", "scott", "SELECT SYS_CONTEXT('USERENV', 'DB_NAME' FROM dual"); }).contains("ORA-00907"));
    }

    // Columns are labelled as Oracle labels expressions, and described as text.
    void expressionColumnsAreDescribed()
    {
        DevDbConnection c(DevDbFixture::connectionString("ORCL", "scott", "tiger"));
        SQLHSTMT st = nullptr;
        SQLAllocHandle(SQL_HANDLE_STMT, c.handle(), &st);
        const QByteArray sql = whoAmI.toUtf8();
        QVERIFY(SQL_SUCCEEDED(SQLPrepare(st, (SQLCHAR*)sql.data(), SQL_NTS)));
        SQLSMALLINT count = 0;
        SQLNumResultCols(st, &count);
        QCOMPARE(int(count), 2);
        SQLCHAR name[64];
        SQLSMALLINT type = 0;
        QVERIFY(SQL_SUCCEEDED(SQLDescribeCol(st, 1, name, sizeof name, nullptr, &type, nullptr, nullptr, nullptr)));
        QCOMPARE(QByteArray((char*)name), QByteArray("SYS_CONTEXT('USERENV','DB_UNIQUE_NAME')"));
        QCOMPARE(int(type), SQL_VARCHAR);
        QVERIFY(SQL_SUCCEEDED(SQLDescribeCol(st, 2, name, sizeof name, nullptr, &type, nullptr, nullptr, nullptr)));
        QCOMPARE(QByteArray((char*)name), QByteArray("USER"));
        SQLFreeHandle(SQL_HANDLE_STMT, st);
    }

    // Two SIDs as two pluggable databases of one container: one unique name, two container names.
    void pluggableDatabases()
    {
        db->addUser("PDB_A", "u", "p");
        db->addUser("PDB_B", "u", "p");
        db->setContainer("PDB_A", "CDB1");
        db->setContainer("pdb_b", "cdb1");
        db->alias("PDB_A_ALT", "PDB_A");
        QCOMPARE(db->query("PDB_A", "u", whoAmI), (QList<QStringList>{{"CDB1", "U"}}));
        QCOMPARE(db->query("PDB_B", "u", whoAmI), (QList<QStringList>{{"CDB1", "U"}}));
        QCOMPARE(db->query("PDB_A_ALT", "u", whoAmI), (QList<QStringList>{{"CDB1", "U"}}));
        QCOMPARE(db->query("PDB_A", "u", container), (QList<QStringList>{{"PDB_A"}}));
        QCOMPARE(db->query("PDB_B", "u", container), (QList<QStringList>{{"PDB_B"}}));
        QCOMPARE(db->query("PDB_A_ALT", "u", container), (QList<QStringList>{{"PDB_A"}}));
        QCOMPARE(db->query("PDB_A", "u", "SELECT SYS_CONTEXT('USERENV', 'DB_NAME') FROM dual"), (QList<QStringList>{{"CDB1"}}));
        db->setContainer("PDB_B", ""); // no longer pluggable
        QCOMPARE(db->query("PDB_B", "u", whoAmI), (QList<QStringList>{{"PDB_B", "U"}}));
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, db->setContainer("NO_SUCH_SID", "CDB1"));
    }

    // Every database file has an id of its own, which its second names share and a copy keeps
    // until told otherwise; a user is known by its id and creation time, which a copy keeps too.
    void idsUsersAndCopies()
    {
        const QString dbid = "SELECT SYS_CONTEXT('USERENV', 'CON_DBID') FROM dual";
        const QString user = "SELECT username, user_id, created FROM user_users";
        const QString id = db->query("ORCL", "scott", dbid).value(0).value(0);
        QVERIFY2(QRegularExpression("^[1-9][0-9]{9}$").match(id).hasMatch(), qPrintable(id));
        QCOMPARE(db->query("ORCL_ALT", "hr", dbid).value(0).value(0), id);
        QVERIFY(db->query("OTHER", "scott", dbid).value(0).value(0) != id);
        const QList<QStringList> scott = db->query("ORCL", "scott", user);
        QCOMPARE(scott.size(), 1);
        QCOMPARE(scott[0][0], QString("SCOTT"));
        QVERIFY(db->query("ORCL", "hr", user)[0][1].toInt() > scott[0][1].toInt()); // made later
        QVERIFY(QDateTime::fromString(scott[0][2], "yyyy-MM-dd HH:mm:ss").isValid());

        db->copyDatabase("ORCL_COPY", "ORCL");
        QCOMPARE(db->query("ORCL_COPY", "scott", dbid).value(0).value(0), id);
        QCOMPARE(db->query("ORCL_COPY", "scott", user), scott);
        QCOMPARE(db->query("ORCL_COPY", "scott", whoAmI), (QList<QStringList>{{"ORCL", "SCOTT"}}));
        QCOMPARE(db->query("ORCL_COPY", "scott", "SELECT COUNT(*) FROM user_tables"), (QList<QStringList>{{"1"}}));
        db->exec("ORCL_COPY", "scott", "DROP TABLE \"MADE_HERE\""); // its own file
        QCOMPARE(db->query("ORCL", "scott", "SELECT COUNT(*) FROM user_tables"), (QList<QStringList>{{"1"}}));

        db->setDatabaseId("ORCL_COPY", "42");
        db->setUniqueName("ORCL_COPY", "orcl_stby");
        db->setUserCreated("ORCL_COPY", "scott", "2001-02-03 04:05:06");
        QCOMPARE(db->query("ORCL_COPY", "scott", dbid), (QList<QStringList>{{"42"}}));
        QCOMPARE(db->query("ORCL_COPY", "scott", whoAmI), (QList<QStringList>{{"ORCL_STBY", "SCOTT"}}));
        QCOMPARE(db->query("ORCL_COPY", "scott", "SELECT SYS_CONTEXT('USERENV', 'DB_NAME') FROM dual"),
                 (QList<QStringList>{{"ORCL"}}));
        QCOMPARE(db->query("ORCL_COPY", "scott", user), (QList<QStringList>{{"SCOTT", scott[0][1], "2001-02-03 04:05:06"}}));
        QCOMPARE(db->query("ORCL", "scott", user), scott);
        db->setUniqueName("ORCL_COPY", "");
        QCOMPARE(db->query("ORCL_COPY", "scott", whoAmI), (QList<QStringList>{{"ORCL", "SCOTT"}}));

        QVERIFY_THROWS_EXCEPTION(std::runtime_error, db->copyDatabase("OTHER", "ORCL")); // a database of its own
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, db->setDatabaseId("ORCL", "12a"));
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, db->setUserCreated("ORCL", "scott", "yesterday"));
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, db->setUserCreated("ORCL", "nobody", "2001-02-03 04:05:06"));
    }

    // A server without CON_NAME (Oracle 11g) is a fault rule on the statement's start.
    void releaseWithoutConName()
    {
        db->addFault("1+|SELECT SYS_CONTEXT('USERENV', 'CON_NAME')|HY000|ORA-02003: invalid USERENV parameter");
        DevDbConnection c(DevDbFixture::connectionString("ORCL", "scott", "tiger"));
        QCOMPARE(c.query(whoAmI), (QList<QStringList>{{"ORCL", "SCOTT"}}));
        for (int i = 0; i < 2; ++i)
            QCOMPARE(ErrorOf([&] { c.query(container); }), QString("[devdb][Oracle]ORA-02003: invalid USERENV parameter"));
        SQLHSTMT st = nullptr;
        SQLAllocHandle(SQL_HANDLE_STMT, c.handle(), &st);
        QByteArray sql = container.toUtf8();
        QCOMPARE(SQLExecDirect(st, (SQLCHAR*)sql.data(), SQL_NTS), SQLRETURN(SQL_ERROR));
        SQLCHAR state[6];
        SQLINTEGER native = 0;
        SQLGetDiagRec(SQL_HANDLE_STMT, st, 1, state, &native, nullptr, 0, nullptr);
        QCOMPARE(int(native), 2003);
        SQLFreeHandle(SQL_HANDLE_STMT, st);
    }
};

const QString TstDevDbIdentity::whoAmI = "SELECT SYS_CONTEXT('USERENV', 'DB_UNIQUE_NAME'), USER FROM dual";
const QString TstDevDbIdentity::container = "SELECT SYS_CONTEXT('USERENV', 'CON_NAME') FROM dual";

QTEST_GUILESS_MAIN(TstDevDbIdentity)
#include "tst_devdb_identity.moc"
