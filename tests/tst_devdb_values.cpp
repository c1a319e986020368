// Values through the stand-in driver as Oracle would keep them: exact numbers, NULL for '',
// length limits, dates, hex for binary types, booleans, and UTF-16 reads in pieces.
#include "devdb_fixture.h"

#include <QtTest>

#include <sql.h>
#include <sqlext.h>

#include <memory>

class TstDevDbValues : public QObject {
    Q_OBJECT

    std::unique_ptr<DevDbFixture> db;
    int tableNo = 0;

    // Stores one literal in a fresh one-column table and reads it back (or the error text); with
    // a bound text, that text bound as SQL_C_WCHAR in the literal's place.
    QString roundTrip(const QString& type, const QString& literal, const QString& bound = {})
    {
        const QString table = QString("V%1").arg(++tableNo);
        db->exec("DB", "u", QString("CREATE TABLE \"%1\"(\"C\" %2)").arg(table, type));
        const QString insert = QString("INSERT INTO \"%1\" VALUES(%2)").arg(table, bound.isNull() ? literal : "?");
        const QString error = bound.isNull() ? db->errorOf("DB", "u", insert)
                                             : DevDbConnection(DevDbFixture::connectionString("DB", "u", "p")).execArray(insert, {{bound}});
        if (!error.isEmpty()) return error;
        const auto rows = db->query("DB", "u", QString("SELECT \"C\" FROM \"%1\"").arg(table));
        if (rows.size() != 1) return "rows: " + QString::number(rows.size());
        return rows[0][0].isNull() ? QStringLiteral("<NULL>") : rows[0][0];
    }

    void check(const QString& type, const QString& literal, const QString& expected)
    {
        QStringList results{roundTrip(type, literal)};
        // A quoted text bound to a parameter is taken exactly as the literal is.
        static const QRegularExpression quoted("^'((?:[^']|'')*)'$");
        if (const auto m = quoted.match(literal); m.hasMatch())
            results << roundTrip(type, literal, m.captured(1).replace("''", "'"));
        for (const QString& got : results) {
            if (expected.startsWith("ORA-")) {
                QVERIFY2(got.startsWith("[devdb][Oracle]" + expected), qPrintable(got));
            } else {
                QCOMPARE(got, expected);
            }
        }
    }

private slots:
    void initTestCase()
    {
        db = std::make_unique<DevDbFixture>();
        db->addUser("DB", "u", "p");
    }

    void values_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("literal");
        QTest::addColumn<QString>("expected");
        auto row = [](const char* tag, const char* type, const QString& literal, const QString& expected) {
            QTest::newRow(tag) << type << literal << expected;
        };
        // numbers: exact decimal text in canonical form
        row("38 digits", "NUMBER", "12345678901234567890123456789012345678", "12345678901234567890123456789012345678");
        row("38 digits fraction", "NUMBER", "'-0.1234567890123456789012345678901234567'", "-0.1234567890123456789012345678901234567");
        row("39th digit rounds", "NUMBER", "123456789012345678901234567890123456785", "123456789012345678901234567890123456790");
        row("trailing zeros", "NUMBER", "'1.50'", "1.5");
        row("blanks around", "NUMBER", "'  7 '", "7");
        row("exponent", "NUMBER", "1e3", "1000");
        row("quoted exponent", "NUMBER", "'2.5E-3'", "0.0025");
        row("leading point", "NUMBER", "'-.5'", "-0.5");
        row("plus and zeros", "NUMBER", "'+007.000'", "7");
        row("zero", "NUMBER", "'-0.000'", "0");
        row("unquoted negative", "NUMBER", "-42.10", "-42.1");
        row("no binary floating point", "FLOAT", "0.1", "0.1");
        row("binary_double exact", "BINARY_DOUBLE", "'3.14159265358979323846'", "3.14159265358979323846");
        row("number(22) rounds half up", "NUMBER(22)", "2.5", "3");
        row("number(22) rounds negative away", "NUMBER(22)", "-2.5", "-3");
        row("number(10,2) rounds", "NUMBER(10,2)", "2.345", "2.35");
        row("number(10,2) pads nothing", "NUMBER(10,2)", "7", "7");
        row("integer drops fraction", "INTEGER", "'9.49'", "9");
        row("negative scale", "NUMBER(5,-2)", "12345", "12300");
        row("precision exceeded", "NUMBER(3)", "1000", "ORA-01438: value larger than specified precision allowed for this column");
        row("precision exceeded by rounding", "NUMBER(3,1)", "99.96", "ORA-01438");
        row("precision fits", "NUMBER(3,1)", "99.94", "99.9");
        row("not a number", "NUMBER", "'abc'", "ORA-01722: invalid number");
        row("not a number in float", "FLOAT", "'1,5'", "ORA-01722");
        row("two points", "BINARY_FLOAT", "'1.2.3'", "ORA-01722");
        row("overflow", "NUMBER", "'1e126'", "ORA-01426");
        row("number into text", "VARCHAR2(10)", "1.50", "1.5");
        // empty string is NULL
        row("empty varchar2", "VARCHAR2(10)", "''", "<NULL>");
        row("empty number", "NUMBER", "''", "<NULL>");
        row("empty clob", "CLOB", "''", "<NULL>");
        row("empty date", "DATE", "''", "<NULL>");
        row("null", "VARCHAR2(1)", "NULL", "<NULL>");
        // text limits in bytes, CHAR padding
        row("varchar2 fits", "VARCHAR2(3)", "'abc'", "abc");
        row("varchar2 too long", "VARCHAR2(3)", "'abcd'", "ORA-12899: value too large for column \"U\".\"V");
        row("varchar2 counts bytes", "VARCHAR2(3)", "'äö'", "ORA-12899");
        row("varchar2 char semantics", "VARCHAR2(2 CHAR)", "'äö'", "äö");
        row("char padded", "CHAR(5)", "'ab'", "ab   ");
        row("char too long", "CHAR(2)", "'abc'", "ORA-12899");
        row("nvarchar2 counts characters", "NVARCHAR2(2)", "'äö'", "äö");
        row("nvarchar2 too long", "NVARCHAR2(2)", "'äöü'", "ORA-12899");
        row("quote doubled, backslash plain", "VARCHAR2(20)", "'it''s \\n'", "it's \\n");
        row("char semantics counts characters", "VARCHAR2(3 CHAR)", "'äöü'", "äöü");
        row("char semantics too many characters", "VARCHAR2(3 CHAR)", "'äöüx'",
            "ORA-12899: value too large for column \"U\".\"V");
        row("char semantics keeps the byte cap", "VARCHAR2(1500 CHAR)", "'" + QString(1400, QChar(0x20AC)) + "'",
            "ORA-12899");
        row("char semantics up to the byte cap", "VARCHAR2(2000 CHAR)", "'" + QString(2000, QChar(0xE4)) + "'",
            QString(2000, QChar(0xE4)));
        row("char pads characters", "CHAR(3 CHAR)", "'ä'", "ä  ");
        row("char pads bytes", "CHAR(3 BYTE)", "'ä'", "ä ");
        row("char pads no further than 2000 bytes", "CHAR(1999 CHAR)", "'ää'", "ää" + QString(1996, ' '));
        row("nchar pads", "NCHAR(3)", "'ä'", "ä  ");
        row("nvarchar2 counts UTF-16 units", "NVARCHAR2(1)", "'\U0001F600'", "ORA-12899");
        row("nvarchar2 fits a pair in two", "NVARCHAR2(2)", "'\U0001F600'", "\U0001F600");
        // the extremes of NUMBER and FLOAT, exact and in full
        row("smallest number", "NUMBER", "1E-130", "0." + QString(129, '0') + "1");
        row("below the smallest number", "NUMBER", "'1E-131'", "0");
        row("large float", "FLOAT", "1.5E70", "15" + QString(69, '0'));
        row("largest number", "NUMBER", "'9.99E125'", "999" + QString(123, '0'));
        // concatenation with ||, NUL characters through CHR(0)
        row("concatenation", "VARCHAR2(20)", "'ab' || 'cd' || 'e'", "abcde");
        row("NUL inside", "VARCHAR2(20)", "'ab' || CHR(0) || 'cd'", QString("ab") + QChar(0) + "cd");
        row("NUL first", "NVARCHAR2(5)", "CHR(0) || 'x'", QString(QChar(0)) + "x");
        row("NUL alone", "CLOB", "CHR(0)", QString(QChar(0)));
        row("NULs and more", "VARCHAR2(20)", "CHR(0) || CHR(0) || 'a' || CHR(9) || CHR(127) || CHR(0)",
            QString(QChar(0)) + QChar(0) + "a\t" + QChar(127) + QChar(0));
        row("NULL and empty pieces skipped", "VARCHAR2(20)", "NULL || '' || 'x' || NULL", "x");
        row("only empty pieces are NULL", "VARCHAR2(20)", "'' || NULL || ''", "<NULL>");
        row("number piece", "VARCHAR2(20)", "'n=' || 1.50", "n=1.5");
        row("multi-byte CHR", "VARCHAR2(20)", "CHR(50089) || '!'", "é!");
        row("NUL counts", "VARCHAR2(2)", "'ab' || CHR(0)", "ORA-12899");
        row("CHR not a character", "VARCHAR2(20)", "CHR(200)", "ORA-01428");
        row("CHR of U+FFFD itself", "VARCHAR2(20)", "CHR(15712189)", QString(QChar(0xFFFD)));
        row("concatenated date", "VARCHAR2(20)", "'a' || {d '2024-01-02'}", "ORA-00932");
        // dates and timestamps
        row("ts escape into date drops fraction", "DATE", "{ts '2024-01-02 03:04:05.987'}", "2024-01-02 03:04:05");
        row("d escape into date", "DATE", "{d '2024-01-02'}", "2024-01-02 00:00:00");
        row("oracle default format", "DATE", "'02-JAN-24'", "2024-01-02 00:00:00");
        row("oracle format lower case", "DATE", "'2-jan-1999'", "1999-01-02 00:00:00");
        row("rr century", "DATE", "'31-DEC-99'", "1999-12-31 00:00:00");
        row("us format refused", "DATE", "'1/2/2024 3:04:05 AM'", "ORA-01861: literal does not match format string");
        row("iso text refused", "DATE", "'2024-01-02'", "ORA-01861");
        row("no such day", "DATE", "{d '2023-02-29'}", "ORA-01847");
        row("no such month", "DATE", "'01-FOO-24'", "ORA-01843");
        row("leap day", "DATE", "{d '2024-02-29'}", "2024-02-29 00:00:00");
        row("number into date", "DATE", "20240102", "ORA-00932");
        row("timestamp(6)", "TIMESTAMP", "{ts '2024-01-02 03:04:05.123456'}", "2024-01-02 03:04:05.123456");
        row("timestamp(3) rounds", "TIMESTAMP(3)", "{ts '2024-01-02 03:04:05.123556'}", "2024-01-02 03:04:05.124");
        row("timestamp(0) carries", "TIMESTAMP(0)", "{ts '2023-12-31 23:59:59.5'}", "2024-01-01 00:00:00");
        row("timestamp pads fraction", "TIMESTAMP(6)", "{ts '2024-01-02 03:04:05'}", "2024-01-02 03:04:05.000000");
        row("timestamp oracle format", "TIMESTAMP(2)", "'02-JAN-24 03.04.05.5 PM'", "2024-01-02 15:04:05.50");
        row("timestamp from d escape", "TIMESTAMP(1)", "{d '2024-01-02'}", "2024-01-02 00:00:00.0");
        row("bad escape text", "TIMESTAMP", "{ts 'yesterday'}", "ORA-01861");
        // binary as hex
        row("raw from hex text", "RAW(4)", "'0aFF10'", "0AFF10");
        row("raw hextoraw", "RAW(4)", "HEXTORAW('DEADBEEF')", "DEADBEEF");
        row("raw too long", "RAW(2)", "'010203'", "ORA-12899");
        row("raw odd digits", "RAW(4)", "'ABC'", "ORA-01465: invalid hex number");
        row("raw not hex", "BLOB", "'XYZW'", "ORA-01465");
        row("blob", "BLOB", "'00010203'", "00010203");
        row("long raw", "LONG RAW", "'FF'", "FF");
        // booleans
        row("bool 1", "BOOLEAN", "1", "1");
        row("bool 0", "BOOLEAN", "0", "0");
        row("bool '1'", "BOOLEAN", "'1'", "1");
        row("bool 'true'", "BOOLEAN", "'true'", "1");
        row("bool 'FALSE'", "BOOLEAN", "'FALSE'", "0");
        row("bool keyword", "BOOLEAN", "TRUE", "1");
        row("bool junk", "BOOLEAN", "'maybe'", "ORA-61800");
        // non-ASCII survives both ways
        row("cyrillic", "VARCHAR2(40)", "'Привет, мир'", "Привет, мир");
        row("cjk nclob", "NCLOB", "'漢字かな交じり文'", "漢字かな交じり文");
        row("greek arabic", "NVARCHAR2(20)", "N'αβγ مرحبا'", "αβγ مرحبا");
    }
    void values()
    {
        QFETCH(QString, type);
        QFETCH(QString, literal);
        QFETCH(QString, expected);
        check(type, literal, expected);
    }

    void insertErrors_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("error");
        QTest::newRow("too many values") << "INSERT INTO \"T\" VALUES(1, 'a', 2)" << "ORA-00913: too many values";
        QTest::newRow("not enough values") << "INSERT INTO \"T\" VALUES(1)" << "ORA-00947: not enough values";
        QTest::newRow("too many for column list") << "INSERT INTO \"T\" (\"ID\") VALUES(1, 2)" << "ORA-00913";
        QTest::newRow("unknown column") << "INSERT INTO \"T\" (\"ID\", \"NOPE\") VALUES(1, 2)" << "ORA-00904: \"NOPE\": invalid identifier";
        QTest::newRow("null into primary key") << "INSERT INTO \"T\" (\"NAME\") VALUES('x')"
                                               << "ORA-01400: cannot insert NULL into (\"U\".\"T\".\"ID\")";
        QTest::newRow("empty string into not null") << "INSERT INTO \"T\" VALUES(3, '')"
                                                    << "ORA-01400: cannot insert NULL into (\"U\".\"T\".\"NAME\")";
        QTest::newRow("duplicate key") << "INSERT INTO \"T\" VALUES(1, 'again')" << "ORA-00001: unique constraint (U.SYS_C";
        QTest::newRow("duplicate key, other spelling") << "INSERT INTO \"T\" VALUES('1.0', 'again')" << "ORA-00001";
        QTest::newRow("missing table") << "INSERT INTO \"NOPE\" VALUES(1)" << "ORA-00942";
    }
    void insertErrors()
    {
        QFETCH(QString, sql);
        QFETCH(QString, error);
        static bool created = false;
        if (!created) {
            db->exec("DB", "u", "CREATE TABLE \"T\"(\"ID\" NUMBER(5) PRIMARY KEY, \"NAME\" VARCHAR2(10) NOT NULL)");
            db->exec("DB", "u", "INSERT INTO \"T\" VALUES(1, 'one')");
            created = true;
        }
        const QString got = db->errorOf("DB", "u", sql);
        QVERIFY2(got.contains(error), qPrintable(got));
        QCOMPARE(db->query("DB", "u", "SELECT COUNT(*) FROM \"T\""), (QList<QStringList>{{"1"}}));
    }

    void columnListAndSelectForms()
    {
        db->exec("DB", "u", "CREATE TABLE \"P\"(\"A\" NUMBER, \"B\" VARCHAR2(5), \"C\" DATE)");
        db->exec("DB", "u", "INSERT INTO \"P\" (\"B\",\"A\") VALUES('x', 2)");
        db->exec("DB", "u", "INSERT INTO \"P\" VALUES(10, 'y', {d '2024-01-02'})");
        db->exec("DB", "u", "INSERT INTO \"P\" VALUES(-1, NULL, NULL)");
        QCOMPARE(db->query("DB", "u", "SELECT \"A\", B FROM P ORDER BY A"),
                 (QList<QStringList>{{"-1", {}}, {"2", "x"}, {"10", "y"}})); // numeric, not text, order
        QCOMPARE(db->query("DB", "u", "SELECT A FROM P ORDER BY B DESC"), (QList<QStringList>{{"-1"}, {"10"}, {"2"}}));
        QCOMPARE(db->query("DB", "u", "SELECT C FROM P WHERE A = '10.0'"), (QList<QStringList>{{"2024-01-02 00:00:00"}}));
        QCOMPARE(db->query("DB", "u", "SELECT COUNT(*) FROM P WHERE B = 'x'"), (QList<QStringList>{{"1"}}));
        QCOMPARE(db->query("DB", "u", "SELECT COUNT(*) FROM P WHERE B = ''"), (QList<QStringList>{{"0"}}));
        QCOMPARE(db->query("DB", "u", "SELECT A FROM P WHERE C IS NULL AND B IS NOT NULL"), (QList<QStringList>{{"2"}}));
    }

    // A long non-ASCII value read as UTF-16 in small pieces: each cut piece fills the buffer but
    // for its terminator (so an application can join pieces by the buffer's length), the
    // indicator gives the bytes still to come, and SQL_NO_DATA follows the last piece.
    void wideCharactersInPieces()
    {
        // Mostly BMP text, with characters outside it placed where a piece would split them.
        QString value;
        const QString bmp = QString::fromUtf8("жñ漢€");
        for (int i = 0; i < 700; ++i) value += (i % 97 == 48) ? QString::fromUtf8("😀") : QString(bmp.at(i % 4));
        db->exec("DB", "u", "CREATE TABLE \"W\"(\"C\" NCLOB, \"N\" NUMBER)");
        db->exec("DB", "u", "INSERT INTO \"W\" VALUES('" + value + "', 1)"); // through SQLExecDirectW

        DevDbConnection c(DevDbFixture::connectionString("DB", "u", "p"));
        SQLHSTMT st = nullptr;
        SQLAllocHandle(SQL_HANDLE_STMT, c.handle(), &st);
        QVERIFY(SQL_SUCCEEDED(SQLExecDirect(st, (SQLCHAR*)"SELECT \"C\", \"N\" FROM \"W\"", SQL_NTS)));
        QCOMPARE(SQLFetch(st), SQLRETURN(SQL_SUCCESS));
        QString got;
        SQLWCHAR buf[51]; // odd byte size on purpose: 101 bytes hold 49 units plus terminator
        SQLLEN ind = 0;
        SQLRETURN rc;
        int pieces = 0, splitPairs = 0;
        while ((rc = SQLGetData(st, 1, SQL_C_WCHAR, buf, sizeof buf - 1, &ind)) != SQL_NO_DATA) {
            QVERIFY(SQL_SUCCEEDED(rc));
            const qsizetype remaining = qsizetype(ind / 2);
            QCOMPARE(remaining, value.size() - got.size());
            qsizetype n = remaining;
            if (rc == SQL_SUCCESS_WITH_INFO) {
                SQLCHAR state[6];
                SQLINTEGER native;
                SQLSMALLINT len;
                SQLGetDiagRec(SQL_HANDLE_STMT, st, 1, state, &native, nullptr, 0, &len);
                QCOMPARE(QByteArray((char*)state), QByteArray("01004"));
                n = 49;
                if (QChar::isHighSurrogate(buf[n - 1])) ++splitPairs;
            }
            QCOMPARE(buf[n], SQLWCHAR(0));
            got += QString(reinterpret_cast<const QChar*>(buf), n);
            ++pieces;
        }
        QCOMPARE(got, value);
        QVERIFY(pieces > 10);
        QVERIFY(splitPairs > 0); // the test placed an emoji across a piece boundary
        // Other columns and C types still work on the same row.
        char text[8];
        QCOMPARE(SQLGetData(st, 2, SQL_C_CHAR, text, sizeof text, &ind), SQLRETURN(SQL_SUCCESS));
        QCOMPARE(QByteArray(text), QByteArray("1"));
        QCOMPARE(SQLGetData(st, 2, SQL_C_CHAR, text, sizeof text, &ind), SQLRETURN(SQL_NO_DATA));
        QCOMPARE(SQLFetch(st), SQLRETURN(SQL_NO_DATA));
        SQLFreeHandle(SQL_HANDLE_STMT, st);
    }

    void cTypes()
    {
        db->exec("DB", "u", "CREATE TABLE \"CT\"(\"R\" RAW(4), \"B\" BOOLEAN, \"N\" NUMBER(10,2), \"D\" TIMESTAMP(3), \"Z\" VARCHAR2(5))");
        db->exec("DB", "u", "INSERT INTO \"CT\" VALUES('00ff7f', 'TRUE', -12.5, {ts '2024-02-03 04:05:06.789'}, NULL)");
        DevDbConnection c(DevDbFixture::connectionString("DB", "u", "p"));
        SQLHSTMT st = nullptr;
        SQLAllocHandle(SQL_HANDLE_STMT, c.handle(), &st);
        QVERIFY(SQL_SUCCEEDED(SQLExecDirect(st, (SQLCHAR*)"SELECT * FROM \"CT\"", SQL_NTS)));
        QCOMPARE(SQLFetch(st), SQLRETURN(SQL_SUCCESS));
        unsigned char bytes[8] = {};
        SQLLEN ind = 0;
        QCOMPARE(SQLGetData(st, 1, SQL_C_BINARY, bytes, sizeof bytes, &ind), SQLRETURN(SQL_SUCCESS));
        QCOMPARE(ind, SQLLEN(3));
        QCOMPARE(QByteArray((char*)bytes, 3), QByteArray::fromHex("00ff7f"));
        unsigned char bit = 9;
        QCOMPARE(SQLGetData(st, 2, SQL_C_BIT, &bit, 1, &ind), SQLRETURN(SQL_SUCCESS));
        QCOMPARE(int(bit), 1);
        SQLBIGINT big = 0;
        QCOMPARE(SQLGetData(st, 3, SQL_C_SBIGINT, &big, 0, &ind), SQLRETURN(SQL_SUCCESS_WITH_INFO)); // 01S07
        QCOMPARE(big, SQLBIGINT(-12));
        SQL_TIMESTAMP_STRUCT ts{};
        QCOMPARE(SQLGetData(st, 4, SQL_C_TYPE_TIMESTAMP, &ts, sizeof ts, &ind), SQLRETURN(SQL_SUCCESS));
        QCOMPARE(int(ts.year), 2024);
        QCOMPARE(int(ts.second), 6);
        QCOMPARE(int(ts.fraction), 789000000);
        char text[4];
        QCOMPARE(SQLGetData(st, 5, SQL_C_CHAR, text, sizeof text, &ind), SQLRETURN(SQL_SUCCESS));
        QCOMPARE(ind, SQLLEN(SQL_NULL_DATA));
        QCOMPARE(SQLGetData(st, 5, SQL_C_CHAR, text, sizeof text, nullptr), SQLRETURN(SQL_NO_DATA));
        SQLFreeHandle(SQL_HANDLE_STMT, st);
    }

    void namesInAnyScript()
    {
        db->exec("DB", "u", "CREATE TABLE \"Заказы\"(\"Имя\" VARCHAR2(40), \"数量\" NUMBER)");
        db->exec("DB", "u", "INSERT INTO \"Заказы\" VALUES('Ёлка', 3)");
        QCOMPARE(db->query("DB", "u", "SELECT \"数量\", \"Имя\" FROM \"Заказы\""), (QList<QStringList>{{"3", "Ёлка"}}));
        QVERIFY(db->query("DB", "u", "SELECT table_name FROM user_tables").contains(QStringList{"Заказы"}));
        QCOMPARE(db->query("DB", "u", "SELECT column_name FROM all_tab_columns WHERE table_name = 'Заказы'"),
                 (QList<QStringList>{{"Имя"}, {"数量"}}));
    }
};

QTEST_GUILESS_MAIN(TstDevDbValues)
#include "tst_devdb_values.moc"
