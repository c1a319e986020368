// What a copy must never do to data, through the stand-in driver: drop its own source (or hold a
// copy back for a name alone), touch the target before the source is read, mix in another schema's
// columns or invisible ones, depend on the catalogue's row order, change a declared type, change a
// character, or cut a value.
#include "devdb_fixture.h"
#include "oracle/connection.h"
#include "oracle/sql_statements.h"
#include "fresh_databases.h"
#include "page_harness.h"
#include "tableops/operations.h"

#include <QtTest>

using oracle::DatabaseSide;

namespace {

// "%1": how the databases were found alike, by id or, on servers without ids, by name.
const QString kLookAlike = "Oracle #1 and Oracle #2 look the same: the same user (name, id and time it was made) of a "
                           "database with the same %1. They may be one schema, and a table sent onto its own schema would "
                           "be dropped, so nothing was sent. To copy tables, log in to another schema or database on one side.";
const QString kIdentityFailed = "Could not ask Oracle #1 which user of which database its login reaches, so nothing was "
                                "sent:\r\n\r\n[devdb][Oracle]";
// A server before 12c, which has no database id.
const QString kNoDatabaseId = "1+|SELECT SYS_CONTEXT('USERENV', 'CON_DBID')|HY000|ORA-02003: invalid USERENV parameter";

// Every row of a query through the program's own database layer, each value as its text (null
// as a null QString), so what is compared is what the program itself reads.
QList<QStringList> readRows(const QString& connectionString, const QString& sql)
{
    oracle::Connection connection;
    connection.open(connectionString);
    oracle::ResultSet rows = connection.execute(sql);
    QList<QStringList> result;
    for (; !rows.eof(); rows.moveNext()) {
        QStringList row;
        for (int i = 0; i < rows.fieldCount(); ++i)
            row << (rows.value(i).isNull() ? QString() : rows.value(i).toText());
        result << row;
    }
    return result;
}

// Every detail of a table's columns that its declared type shows in the catalogue.
QString columnsQuery(const QString& table)
{
    return QString("SELECT column_name, data_type, data_length, data_precision, data_scale, char_length, char_used "
                   "FROM user_tab_columns WHERE table_name = '%1' ORDER BY column_id")
        .arg(table);
}

} // namespace

class CopyDataSafetyTest : public QObject {
    Q_OBJECT

    std::unique_ptr<DevDbFixture> db;
    std::unique_ptr<PageHarness> page;
    int round = 0;
    QString sid1, sid2;

    QString cs1() const { return oracle::BuildConnectionString(page->profile1); }
    QString cs2() const { return oracle::BuildConnectionString(page->profile2); }
    void exec1(const QString& sql) { db->exec(sid1, "SCOTT", sql); }
    void exec2(const QString& sql) { db->exec(sid2, "HR", sql); }

    void sendToSide2()
    {
        page->run("Form2.PushButton3_Click", [](auto& trap, auto context) {
            tableops::SendTables(trap, context, DatabaseSide::One, DatabaseSide::Two);
        });
    }
    void selectOnSide1(const QStringList& names)
    {
        page->list1 = PlainTableList(names);
        page->list1.select(names);
    }
    QStringList statementsSentTo(const QString& sid) const
    {
        QStringList statements;
        for (const QString& line : db->tracedStatements())
            if (line.section('|', 0, 0) == sid)
                statements << line.section('|', 1);
        return statements;
    }
    static QStringList changes(const QStringList& statements)
    {
        QStringList result;
        for (const QString& statement : statements)
            if (!statement.startsWith("SELECT "))
                result << statement;
        return result;
    }

    void makeOrders(const QString& sid, const QString& user)
    {
        db->exec(sid, user, R"(CREATE TABLE "ORDERS"("ID" NUMBER(10), "NAME" VARCHAR2(10)))");
        db->exec(sid, user, R"(INSERT INTO "ORDERS" VALUES('1', 'Ann'))");
        db->exec(sid, user, R"(INSERT INTO "ORDERS" VALUES('2', 'Bo'))");
    }

    // The run stopped before touching anything: one box of the kind, starting with the text, no
    // change sent to any database, side 1's table whole, and the run ended as runs end.
    void expectNothingSent(const QString& kind, const QString& message)
    {
        QCOMPARE(page->dialogs.kinds(), QStringList{kind});
        QVERIFY2(page->dialogs.shown[0].text.startsWith(message), qPrintable(page->dialogs.shown[0].text));
        if (kind == "information")
            QCOMPARE(page->dialogs.shown[0].title, QString("Mirravel"));
        QStringList statements = db->tracedStatements();
        statements.replaceInStrings(QRegularExpression("^[^|]*\\|"), "");
        QCOMPARE(changes(statements), QStringList());
        QCOMPARE(db->query(sid1, "SCOTT", R"(SELECT "ID", "NAME" FROM "ORDERS" ORDER BY "ID")"),
                 QList<QStringList>({{"1", "Ann"}, {"2", "Bo"}}));
        QCOMPARE(page->pointer.history, QList<int>({11, 0}));
        QCOMPARE(page->progress.values, QList<int>{0});
        QCOMPARE(page->progress.texts, QStringList{"Progress Bar"});
        QCOMPARE(page->list2.names(), QStringList{"ORDERS"});
    }

    // Side 2's login onto side 1's database as the case says: the same SID in other letters, a
    // second name, or a copy of its file answering another unique name (a standby); any other
    // value is side 2's own database. Gives the SID.
    QString secondLogin(const QString& way)
    {
        QString sid = sid2;
        if (way == "same") {
            sid = sid1.toLower();
        } else if (way == "alias") {
            sid = sid1 + "ALIAS";
            db->alias(sid, sid1);
        } else if (way == "standby") {
            sid = sid1 + "STBY";
            db->copyDatabase(sid, sid1);
            db->setUniqueName(sid, sid);
        } else {
            db->addUser(sid2, "SCOTT", "tiger");
        }
        page->profile2 = {sid, "scott", "tiger"};
        return sid;
    }

private slots:
    void initTestCase() { db = std::make_unique<DevDbFixture>(); }

    void init()
    {
        page = std::make_unique<PageHarness>();
        std::tie(sid1, sid2) = LogInToFreshDatabases(*db, *page, QString("SAFE%1").arg(++round));
    }

    // ---- a table is never sent onto itself

    void sameSchemaKeepsTheSource_data()
    {
        QTest::addColumn<QString>("way");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("alikeBy");
        QTest::newRow("same login in other letters") << "same" << "" << "id";
        QTest::newRow("second name for the database") << "alias" << "" << "id";
        QTest::newRow("standby under another unique name") << "standby" << "" << "id";
        QTest::newRow("standby of a server without database ids") << "standby" << kNoDatabaseId << "name";
        QTest::newRow("second name on a server without database ids") << "alias" << kNoDatabaseId << "name";
    }
    // The databases may only look alike (a clone): the box says they look the same, not that they are.
    void sameSchemaKeepsTheSource()
    {
        QFETCH(QString, way);
        QFETCH(QString, fault);
        QFETCH(QString, alikeBy);
        makeOrders(sid1, "SCOTT");
        secondLogin(way);
        if (!fault.isEmpty())
            db->addFault(fault);
        selectOnSide1({"ORDERS"});
        page->list2 = PlainTableList({"ORDERS"});
        db->startTrace();
        sendToSide2();
        expectNothingSent("information", kLookAlike.arg(alikeBy));
    }

    // A side that could not say who it is might be the other side itself: nothing is dropped on the
    // strength of a name, and the box and the journal give the side and the driver's own words.
    void failedIdentityQuerySendsNothing_data()
    {
        QTest::addColumn<QString>("way");
        QTest::addColumn<QString>("fault");
        QTest::newRow("second name, no database answer") << "alias"
                                                         << "1+|SELECT SYS_CONTEXT|HY000|ORA-02003: invalid USERENV parameter";
        QTest::newRow("same login, no user answer") << "same" << "1+|SELECT username|HY000|ORA-00942: table or view does not exist";
        QTest::newRow("another database, its id failing") << "other"
                                                          << "1|SELECT SYS_CONTEXT('USERENV', 'CON_DBID')|HY000|ORA-00904: "
                                                             "\"SYS_CONTEXT\": invalid identifier";
        QTest::newRow("connection lost") << "other" << "1|SELECT username|08S01|ORA-03113: end-of-file on communication channel";
    }
    void failedIdentityQuerySendsNothing()
    {
        QFETCH(QString, way);
        QFETCH(QString, fault);
        makeOrders(sid1, "SCOTT");
        secondLogin(way);
        db->addFault(fault);
        selectOnSide1({"ORDERS"});
        page->list2 = PlainTableList({"ORDERS"});
        db->startTrace();
        sendToSide2();
        const QString driverText = fault.section('|', 3);
        expectNothingSent("error", kIdentityFailed + driverText + "\r\n");
        QCOMPARE(page->dialogs.errorPlaces(), QStringList{"Form2.PushButton3_Click at line 127"});
        QVERIFY2(page->journal.lines.last().startsWith("Send: nothing sent: Could not ask Oracle #1 ")
                     && page->journal.lines.last().endsWith(driverText),
                 qPrintable(page->journal.lines.last()));
    }

    void sameUserOnAnotherDatabaseStillCopies_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::newRow("two databases") << "";
        QTest::newRow("server without database ids") << "11g";
        QTest::newRow("two pluggable databases of one container") << "container";
        // A clone, or a second install under the same name (XE, FREEPDB1, ORCL): same name, same
        // user, another database.
        QTest::newRow("copy of the database with an id of its own") << "clone";
        QTest::newRow("same name without database ids, user made apart") << "clone 11g";
    }
    void sameUserOnAnotherDatabaseStillCopies()
    {
        QFETCH(QString, setting);
        QString target = sid2;
        if (setting.startsWith("clone")) {
            target = sid1 + "CLONE";
            db->copyDatabase(target, sid1);
            db->setDatabaseId(target, "1234567890");
        } else {
            db->addUser(sid2, "SCOTT", "tiger");
        }
        if (setting.endsWith("11g"))
            db->addFault(kNoDatabaseId);
        if (setting == "clone 11g")
            db->setUserCreated(target, "SCOTT", "2001-02-03 04:05:06");
        if (setting == "container") {
            db->setContainer(sid1, "CDB" + sid1);
            db->setContainer(sid2, "CDB" + sid1);
        }
        makeOrders(sid1, "SCOTT");
        page->profile2 = {target, "SCOTT", "tiger"};
        selectOnSide1({"ORDERS"});
        sendToSide2();
        QCOMPARE(page->dialogs.shown.size(), 0);
        QCOMPARE(db->query(target, "SCOTT", R"(SELECT "ID", "NAME" FROM "ORDERS" ORDER BY "ID")"),
                 QList<QStringList>({{"1", "Ann"}, {"2", "Bo"}}));
        QCOMPARE(page->list2.names(), QStringList{"ORDERS"});
    }

    // ---- the target is touched only once the source table has been read

    void failedReadLeavesTheTargetAsItWas_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("rowsFolder");  // where rows beyond a tiny memory go; empty: all in memory
        QTest::addColumn<int>("line");
        QTest::newRow("catalogue refused") << "1|SELECT data_length|HY000|ORA-00942: table or view does not exist" << "" << 166;
        QTest::newRow("source lost as its rows are read")
            << "1|SELECT * FROM|08S01|ORA-03113: end-of-file on communication channel" << "" << 224;
        QTest::newRow("no room for the rows") << "" << "/nonexistent-folder/of/rows" << 230;
    }
    void failedReadLeavesTheTargetAsItWas()
    {
        QFETCH(QString, fault);
        QFETCH(QString, rowsFolder);
        QFETCH(int, line);
        makeOrders(sid1, "SCOTT");
        exec2(R"(CREATE TABLE "ORDERS"("OLD" VARCHAR2(5)))");
        exec2(R"(INSERT INTO "ORDERS" VALUES('kept'))");
        if (!fault.isEmpty())
            db->addFault(fault);
        if (!rowsFolder.isEmpty())
            page->rowBuffer = {16, rowsFolder};
        selectOnSide1({"ORDERS"});
        page->list2 = PlainTableList({"ORDERS"});
        db->startTrace();
        sendToSide2();
        db->clearFaults();
        QCOMPARE(page->dialogs.kinds(), QStringList({"question", "error"}));
        QCOMPARE(page->dialogs.errorPlaces(), QStringList{QString("Form2.PushButton3_Click at line %1").arg(line)});
        QCOMPARE(changes(statementsSentTo(sid2)), QStringList());
        QCOMPARE(db->query(sid2, "HR", R"(SELECT * FROM "ORDERS")"), QList<QStringList>{{"kept"}});
        QCOMPARE(page->list2.names(), QStringList{"ORDERS"});
        QCOMPARE(page->pointer.history, QList<int>({11, 0}));
    }

    // ---- the catalogue describes the login's own table, in column order

    void anotherSchemasTableOfTheSameNameAddsNothing()
    {
        db->addUser(sid1, "OTHER", "other");
        db->exec(sid1, "OTHER", R"(CREATE TABLE "ORDERS"("ID" VARCHAR2(5), "EXTRA" DATE, "NAME" NUMBER))");
        makeOrders(sid1, "SCOTT");
        selectOnSide1({"ORDERS"});
        sendToSide2();
        QCOMPARE(page->dialogs.errors(), QStringList());
        QCOMPARE(db->query(sid2, "HR", columnsQuery("ORDERS")), db->query(sid1, "SCOTT", columnsQuery("ORDERS")));
        QCOMPARE(db->query(sid2, "HR", R"(SELECT * FROM "ORDERS" ORDER BY "ID")"),
                 QList<QStringList>({{"1", "Ann"}, {"2", "Bo"}}));
    }

    void catalogueRowsInAnyOrderGiveTheSameTable()
    {
        // Columns of one type family, so values landing in a neighbour's column would raise no error.
        exec1(R"(CREATE TABLE "WIDE"("A" VARCHAR2(11), "B" VARCHAR2(12), "C" VARCHAR2(13), "D" VARCHAR2(14), "E" VARCHAR2(15)))");
        exec1(R"(INSERT INTO "WIDE" VALUES('a', 'b', 'c', 'd', 'e'))");
        db->setUnordered(true);
        selectOnSide1({"WIDE"});
        sendToSide2();
        db->setUnordered(false);
        QCOMPARE(page->dialogs.errors(), QStringList());
        QCOMPARE(db->query(sid2, "HR", columnsQuery("WIDE")), db->query(sid1, "SCOTT", columnsQuery("WIDE")));
        QCOMPARE(db->query(sid2, "HR", R"(SELECT * FROM "WIDE")"), QList<QStringList>({{"a", "b", "c", "d", "e"}}));
    }

    // An invisible column is neither in SELECT * nor in an INSERT without a column list: the copy
    // leaves it out and says so once.
    void invisibleColumnsAreLeftOutAndNamed()
    {
        exec1(R"(CREATE TABLE "HIDES"("ID" NUMBER, "SECRET" VARCHAR2(10) INVISIBLE, "NAME" VARCHAR2(10), "NOTE" NUMBER INVISIBLE))");
        exec1(R"(INSERT INTO "HIDES" ("ID", "SECRET", "NAME", "NOTE") VALUES('1', 'psst', 'Ann', '7'))");
        exec1(R"(INSERT INTO "HIDES" VALUES('2', 'Bo'))");
        selectOnSide1({"HIDES"});
        sendToSide2();
        QCOMPARE(page->dialogs.errors(), QStringList());
        QCOMPARE(page->dialogs.texts("information"), QStringList{"The invisible columns of HIDES were not copied: NOTE, SECRET."});
        QCOMPARE(db->query(sid2, "HR", "SELECT column_name, column_id FROM user_tab_columns WHERE table_name = 'HIDES'"),
                 QList<QStringList>({{"ID", "1"}, {"NAME", "2"}}));
        QCOMPARE(db->query(sid2, "HR", R"(SELECT * FROM "HIDES" ORDER BY "ID")"), QList<QStringList>({{"1", "Ann"}, {"2", "Bo"}}));
    }

    // ---- declared types and values come over unchanged

    void declaredTypesAreRecreated()
    {
        exec1(R"(CREATE TABLE "TYPES"("NV" NVARCHAR2(2000), "NC" NCHAR(10), "CC" CHAR(10 CHAR), "VC" VARCHAR2(20 CHAR),)"
              R"( "VB" VARCHAR2(20 BYTE), "MONEY" NUMBER(10,2), "SMALL" NUMBER(5), "WHOLE" INTEGER, "SCALED" NUMBER(*,2),)"
              R"( "PLAIN" NUMBER, "BITS" FLOAT(10), "DBL" FLOAT, "BIN" RAW(16), "TS" TIMESTAMP(6), "D" DATE))");
        const QString nv(2000, QChar(0x05D0));
        exec1(QString(R"(INSERT INTO "TYPES" VALUES('%1', 'ab', 'abc', 'Ωμέγα', 'plain', '12345678.91', '99999', '-7',)"
                      R"( '3.14', '0.1', '1.5', '2.5', '00FF', {ts '2024-02-29 12:34:56.123456'}, {ts '2024-01-02 03:04:05'}))")
                  .arg(nv));
        selectOnSide1({"TYPES"});
        sendToSide2();
        QCOMPARE(page->dialogs.errors(), QStringList());
        QCOMPARE(db->query(sid2, "HR", columnsQuery("TYPES")), db->query(sid1, "SCOTT", columnsQuery("TYPES")));
        const auto source = readRows(cs1(), R"(SELECT * FROM "TYPES")");
        const auto target = readRows(cs2(), R"(SELECT * FROM "TYPES")");
        QCOMPARE(target, source);
        QCOMPARE(target[0][0].size(), 2000);
        QCOMPARE(target[0][2], QString("abc       "));  // padded to ten characters, not forty
    }

    // With MAX_STRING_SIZE=EXTENDED on both sides, strings longer than 4000 bytes keep their lengths.
    void extendedStringsKeepTheirLengths()
    {
        db->setExtendedStrings(sid1);
        db->setExtendedStrings(sid2);
        exec1(R"(CREATE TABLE "LONGS"("V" VARCHAR2(32767), "VC" VARCHAR2(8000 CHAR), "N" NVARCHAR2(16383), "R" RAW(32767)))");
        exec1(QString(R"(INSERT INTO "LONGS" VALUES('%1', '%2', '%3', '%4'))")
                  .arg(QString(32767, 'v'), QString(8000, QChar(0x05D0)), QString(16383, 'n'), QString("0A").repeated(32767)));
        selectOnSide1({"LONGS"});
        sendToSide2();
        QCOMPARE(page->dialogs.errors(), QStringList());
        QCOMPARE(db->query(sid2, "HR", columnsQuery("LONGS")), db->query(sid1, "SCOTT", columnsQuery("LONGS")));
        const auto target = readRows(cs2(), R"(SELECT * FROM "LONGS")");
        QCOMPARE(target, readRows(cs1(), R"(SELECT * FROM "LONGS")"));
        QCOMPARE(target[0][0].size(), 32767);
    }

    void everyCharacterArrivesUnchanged_data()
    {
        QTest::addColumn<int>("batchRows");
        QTest::newRow("literals") << 1;
        QTest::newRow("bound in batches") << 1000;
    }
    void everyCharacterArrivesUnchanged()
    {
        QFETCH(int, batchRows);
        page->batch.rows = batchRows;
        const QChar nul(0), bom(0xFEFF), swapped(0xFFFE);
        const QStringList values = {
            QString(bom) + "starts with a mark",
            QString(swapped) + "swapped mark",
            "mid" + QString(bom) + "dle" + QString(swapped) + "end",
            QString::fromUtf8("emoji \xF0\x9F\x98\x80 then Hebrew \xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D"),
            QString::fromUtf8("e\xCC\x81 a\xCC\x8A combining marks"),
            QString::fromUtf8("\xD9\x85\xD8\xB1\xD8\xAD\xD8\xA8\xD8\xA7 right to left \xE2\x80\x8F mark"),
            "before" + QString(nul) + "after",
            QString(nul),
            QString(nul) + "'quoted'" + nul,
        };
        exec1(R"(CREATE TABLE "CHARS"("ID" NUMBER, "V" VARCHAR2(200 CHAR), "N" NVARCHAR2(200)))");
        {
            // Written through the program's own layer, so the values are exactly these units.
            oracle::Connection connection;
            connection.open(cs1());
            for (int i = 0; i < values.size(); ++i) {
                oracle::sql::InsertRowStatement insert("CHARS");
                insert.add(oracle::FieldValue::fromText(QString::number(i)), 0);
                insert.add(oracle::FieldValue::fromText(values[i]), 0);
                insert.add(oracle::FieldValue::fromText(values[i]), 0);
                connection.execute(insert.finish());
            }
        }
        QCOMPARE(readRows(cs1(), R"(SELECT "V" FROM "CHARS" ORDER BY "ID")").size(), values.size());
        selectOnSide1({"CHARS"});
        sendToSide2();
        QCOMPARE(page->dialogs.errors(), QStringList());
        const auto target = readRows(cs2(), R"(SELECT "V", "N" FROM "CHARS" ORDER BY "ID")");
        QCOMPARE(target.size(), values.size());
        for (int i = 0; i < values.size(); ++i) {
            QCOMPARE(target[i][0], values[i]);
            QCOMPARE(target[i][1], values[i]);
        }
    }

    // ---- no value is cut, and no row is lost for its length

    void numbersLongerThanTheirDescribedSizeCopyWhole()
    {
        exec1(R"(CREATE TABLE "NUMS"("ID" NUMBER(3), "N" NUMBER, "F" FLOAT))");
        for (int i = 1; i <= 9; ++i) {
            const QString n = i % 3 == 0 ? "1E-130" : QString::number(i);
            const QString f = i % 4 == 0 ? "1.5E70" : "0.5";
            exec1(QString(R"(INSERT INTO "NUMS" VALUES('%1', '%2', '%3'))").arg(i).arg(n, f));
        }
        selectOnSide1({"NUMS"});
        sendToSide2();
        QCOMPARE(page->dialogs.errors(), QStringList());
        const auto source = readRows(cs1(), R"(SELECT * FROM "NUMS" ORDER BY "ID")");
        const auto target = readRows(cs2(), R"(SELECT * FROM "NUMS" ORDER BY "ID")");
        QCOMPARE(target.size(), 9);
        QCOMPARE(target, source);
        QVERIFY2(target[2][1].size() > 100, qPrintable(target[2][1]));
    }

    void driverThatUnderstatesSizesStillGivesWholeValues()
    {
        exec1(R"(CREATE TABLE "TEXTS"("ID" NUMBER, "T" VARCHAR2(4000), "N" NUMBER))");
        for (int i = 0; i < 3; ++i)
            exec1(QString(R"(INSERT INTO "TEXTS" VALUES('%1', '%2', '%3'))").arg(i).arg(QString(1000 * (i + 1), QChar('a' + i))).arg("1E-130"));
        db->setNarrow(true);
        selectOnSide1({"TEXTS"});
        sendToSide2();
        const auto target = readRows(cs2(), R"(SELECT * FROM "TEXTS" ORDER BY "ID")");
        db->setNarrow(false);
        QCOMPARE(page->dialogs.errors(), QStringList());
        QCOMPARE(target, readRows(cs1(), R"(SELECT * FROM "TEXTS" ORDER BY "ID")"));
        QCOMPARE(target[2][1].size(), 3000);
    }
};

QTEST_GUILESS_MAIN(CopyDataSafetyTest)
#include "tst_copy_data_safety.moc"
