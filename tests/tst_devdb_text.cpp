// Text through the stand-in driver as through Oracle's Unicode driver: the W entry points carry
// every code point both ways, SQL_C_CHAR reads give UTF-8, ANSI clients such as isql still work,
// and no answer is written past the buffer it is given.
#include "devdb_fixture.h"

#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

#include <memory>
#include <vector>

namespace {

QString cs() { return DevDbFixture::connectionString("TXT", "u", "p"); }

std::u16string wide(const QString& s) { return std::u16string(reinterpret_cast<const char16_t*>(s.utf16()), size_t(s.size())); }

struct Statement {
    SQLHSTMT h = nullptr;
    explicit Statement(const DevDbConnection& c) { SQLAllocHandle(SQL_HANDLE_STMT, c.handle(), &h); }
    ~Statement() { SQLFreeHandle(SQL_HANDLE_STMT, h); }
    bool execW(const QString& sql)
    {
        std::u16string text = wide(sql);
        return SQL_SUCCEEDED(SQLExecDirectW(h, reinterpret_cast<SQLWCHAR*>(text.data()), SQLINTEGER(text.size())));
    }
};

// A whole value through SQLGetData as UTF-8 bytes, in small pieces.
QByteArray readNarrow(SQLHSTMT st, SQLUSMALLINT column)
{
    QByteArray out;
    char buf[7]; // odd and small: pieces end inside multi-byte sequences
    for (;;) {
        SQLLEN ind = 0;
        const SQLRETURN rc = SQLGetData(st, column, SQL_C_CHAR, buf, sizeof buf, &ind);
        if (rc == SQL_NO_DATA || ind == SQL_NULL_DATA) break;
        if (!SQL_SUCCEEDED(rc)) return "<error>";
        const qsizetype piece = rc == SQL_SUCCESS ? qsizetype(ind) : qsizetype(sizeof buf - 1);
        out.append(buf, piece);
        if (rc == SQL_SUCCESS) break;
    }
    return out;
}

} // namespace

class TstDevDbText : public QObject {
    Q_OBJECT

    std::unique_ptr<DevDbFixture> db;
    int tableNo = 0;

private slots:
    void initTestCase()
    {
        db = std::make_unique<DevDbFixture>();
        db->addUser("TXT", "u", "p");
    }

    void everyCodePointSurvives_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("value");
        auto u = [](std::initializer_list<char32_t> cps) {
            QString s;
            for (char32_t cp : cps) { // not QString::fromUcs4: it drops a leading U+FEFF as a byte order mark
                if (QChar::requiresSurrogates(cp)) s += QChar(QChar::highSurrogate(cp)), s += QChar(QChar::lowSurrogate(cp));
                else s += QChar(char16_t(cp));
            }
            return s;
        };
        const QString family = u({0x1F468, 0x200D, 0x1F469, 0x200D, 0x1F467}); // joined by ZWJ
        QTest::newRow("emoji in nvarchar2") << "NVARCHAR2(40)" << "x" + u({0x1F600}) + "y" + u({0x1F44D, 0x1F3FD});
        QTest::newRow("emoji sequence in varchar2 char") << "VARCHAR2(40 CHAR)" << family;
        QTest::newRow("byte order marks inside") << "VARCHAR2(40)" << u({0xFEFF}) + "a" + u({0xFEFF, 0xFFFE}) + "b" + u({0xFFFE});
        QTest::newRow("only a BOM") << "NVARCHAR2(5)" << u({0xFEFF});
        QTest::newRow("noncharacters and the last code point") << "CLOB" << u({0xFFFF, 0x10FFFF, 0xFDD0, 0x1FFFE});
        QTest::newRow("combining marks") << "VARCHAR2(40)" << u({'e', 0x301, 'A', 0x30A, 0x332, 'n', 0x303});
        QTest::newRow("right to left") << "NVARCHAR2(40)" << u({0x5E9, 0x5C1, 0x5B8, 0x5DC, 0x5D5, 0x5B9, 0x5DD, ' ', 0x645, 0x631, 0x62D, 0x628, 0x627});
        QTest::newRow("direction controls") << "VARCHAR2(40)" << u({0x202E, 'a', 'b', 0x202C, 0x200F, 0x2066, 'c', 0x2069});
        QTest::newRow("supplementary CJK and math") << "NCLOB" << u({0x20000, 0x2A6D6, 0x1D400, 0x1D7FF});
        QTest::newRow("emoji next to a quote") << "VARCHAR2(40)" << u({0x1F600}) + "''" + u({0x1F600});
    }
    void everyCodePointSurvives()
    {
        QFETCH(QString, type);
        QFETCH(QString, value);
        const QString table = QString("T%1").arg(++tableNo);
        DevDbConnection c(cs());
        c.exec(QString("CREATE TABLE \"%1\"(\"V\" %2, \"AFTER\" VARCHAR2(10))").arg(table, type));
        QString literal = value;
        literal.replace("'", "''");
        // Text after the value must arrive intact too: a broken conversion used to eat it.
        c.exec(QString("INSERT INTO \"%1\" VALUES('%2', 'after')").arg(table, literal));
        QCOMPARE(c.query(QString("SELECT \"V\", \"AFTER\" FROM \"%1\"").arg(table)), (QList<QStringList>{{value, "after"}}));
        QCOMPARE(c.query(QString("SELECT COUNT(*) FROM \"%1\" WHERE \"V\" = '%2'").arg(table, literal)),
                 (QList<QStringList>{{"1"}}));

        Statement st(c);
        QVERIFY(st.execW(QString("SELECT \"V\" FROM \"%1\"").arg(table)));
        QCOMPARE(SQLFetch(st.h), SQLRETURN(SQL_SUCCESS));
        QCOMPARE(readNarrow(st.h, 1), value.toUtf8()); // SQL_C_CHAR gives UTF-8, byte for byte
    }

    void namesAndMessagesThroughW()
    {
        const QString table = QString::fromUtf8("Ta\xF0\x9F\x98\x80" "ble"); // 6 characters, 7 UTF-16 units
        const QString column = QString::fromUtf8("\xD7\xA9\xD7\x9D" "\xF0\x9D\x90\x80"); // Hebrew, then U+1D400
        DevDbConnection c(cs());
        c.exec(QString("CREATE TABLE \"%1\"(\"%2\" NUMBER)").arg(table, column));
        QVERIFY(c.query("SELECT table_name FROM user_tables").contains(QStringList{table}));

        Statement st(c);
        QVERIFY(st.execW(QString("SELECT \"%2\" FROM \"%1\"").arg(table, column)));
        SQLWCHAR name[16];
        SQLSMALLINT nameLength = 0, type = 0, digits = 0, nullable = 0;
        SQLULEN size = 0;
        QCOMPARE(SQLDescribeColW(st.h, 1, name, 16, &nameLength, &type, &size, &digits, &nullable), SQLRETURN(SQL_SUCCESS));
        QCOMPARE(int(nameLength), column.size()); // in characters
        QCOMPARE(QString::fromUtf16(reinterpret_cast<const char16_t*>(name)), column);
        // Too small a buffer: cut, terminated, never between the halves of a surrogate pair.
        QCOMPARE(SQLDescribeColW(st.h, 1, name, 4, &nameLength, nullptr, nullptr, nullptr, nullptr),
                 SQLRETURN(SQL_SUCCESS_WITH_INFO));
        QCOMPARE(QString::fromUtf16(reinterpret_cast<const char16_t*>(name)), column.left(2));
        SQLSMALLINT bytes = 0;
        QCOMPARE(SQLColAttributeW(st.h, 1, SQL_DESC_NAME, name, sizeof name, &bytes, nullptr), SQLRETURN(SQL_SUCCESS));
        QCOMPARE(int(bytes), column.size() * 2); // SQLColAttributeW counts bytes
        QCOMPARE(QString::fromUtf16(reinterpret_cast<const char16_t*>(name)), column);

        Statement bad(c);
        QVERIFY(!bad.execW(QString("SELECT \"%1x\" FROM \"%2\"").arg(column, table)));
        SQLWCHAR state[6], message[256];
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        QCOMPARE(SQLGetDiagRecW(SQL_HANDLE_STMT, bad.h, 1, state, &native, message, 256, &length), SQLRETURN(SQL_SUCCESS));
        const QString text = QString::fromUtf16(reinterpret_cast<const char16_t*>(message));
        QCOMPARE(text, "[devdb][Oracle]ORA-00904: \"" + column + "x\": invalid identifier");
        QCOMPARE(int(length), text.size());
        QCOMPARE(QString::fromUtf16(reinterpret_cast<const char16_t*>(state)), QString("42S22"));
        QCOMPARE(int(native), 904);

        SQLWCHAR info[32];
        SQLSMALLINT infoBytes = 0;
        QCOMPARE(SQLGetInfoW(c.handle(), SQL_DBMS_NAME, info, sizeof info, &infoBytes), SQLRETURN(SQL_SUCCESS));
        QCOMPARE(QString::fromUtf16(reinterpret_cast<const char16_t*>(info)), QString("Oracle"));
        QCOMPARE(int(infoBytes), 12);
    }

    // A client that hands over exact, small buffers (a C program's stack arrays): every answer,
    // its terminator included, stays within the length given, whatever the call and the unit it
    // counts in. Bytes past the buffer are marked and must come back untouched.
    void everyAnswerStaysInItsBuffer_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<int>("bytes");
        const char* calls[] = {"SQLGetData CHAR number", "SQLGetData WCHAR number", "SQLGetData CHAR text",
                               "SQLGetData WCHAR text", "SQLGetData BINARY", "SQLDescribeColW", "SQLColAttributeW",
                               "SQLGetInfoW", "SQLGetDiagRecW", "SQLGetDiagFieldW", "SQLGetConnectAttrW catalog",
                               "SQLGetConnectAttrW translation library", "SQLNativeSqlW"};
        for (const char* call : calls)
            for (int bytes : {0, 1, 2, 3, 7})
                QTest::newRow(qPrintable(QString("%1, %2 bytes").arg(call).arg(bytes))) << QString(call) << bytes;
    }
    void everyAnswerStaysInItsBuffer()
    {
        QFETCH(QString, call);
        QFETCH(int, bytes);
        DevDbConnection c(cs());
        static bool made = false;
        if (!made) {
            c.exec("CREATE TABLE \"SIZES\"(\"N\" NUMBER, \"T\" NVARCHAR2(20), \"R\" RAW(8))");
            c.exec("INSERT INTO \"SIZES\" VALUES('-123456789.123456789', 'w\u00f6rter', '0102030405')");
            made = true;
        }
        Statement st(c);
        QVERIFY(st.execW("SELECT \"N\", \"T\", \"R\" FROM \"SIZES\""));
        QCOMPARE(SQLFetch(st.h), SQLRETURN(SQL_SUCCESS));
        Statement failed(c);
        QVERIFY(!failed.execW("SELECT \"NOPE\" FROM \"SIZES\""));

        constexpr unsigned char mark = 0xA5;
        std::vector<unsigned char> memory(size_t(bytes) + 64, mark);
        SQLPOINTER buffer = memory.data();
        auto* wideBuffer = static_cast<SQLWCHAR*>(buffer);
        const auto chars = SQLSMALLINT(bytes / 2);
        SQLLEN indicator = 0;
        SQLSMALLINT length = 0;
        SQLINTEGER longLength = 0, native = 0;
        SQLWCHAR state[6];
        SQLRETURN rc = SQL_ERROR;
        if (call == "SQLGetData CHAR number") rc = SQLGetData(st.h, 1, SQL_C_CHAR, buffer, bytes, &indicator);
        else if (call == "SQLGetData WCHAR number") rc = SQLGetData(st.h, 1, SQL_C_WCHAR, buffer, bytes, &indicator);
        else if (call == "SQLGetData CHAR text") rc = SQLGetData(st.h, 2, SQL_C_CHAR, buffer, bytes, &indicator);
        else if (call == "SQLGetData WCHAR text") rc = SQLGetData(st.h, 2, SQL_C_WCHAR, buffer, bytes, &indicator);
        else if (call == "SQLGetData BINARY") rc = SQLGetData(st.h, 3, SQL_C_BINARY, buffer, bytes, &indicator);
        else if (call == "SQLDescribeColW")
            rc = SQLDescribeColW(st.h, 2, wideBuffer, chars, &length, nullptr, nullptr, nullptr, nullptr);
        else if (call == "SQLColAttributeW")
            rc = SQLColAttributeW(st.h, 2, SQL_DESC_NAME, buffer, SQLSMALLINT(bytes), &length, nullptr);
        else if (call == "SQLGetInfoW") rc = SQLGetInfoW(c.handle(), SQL_DBMS_NAME, buffer, SQLSMALLINT(bytes), &length);
        else if (call == "SQLGetDiagRecW")
            rc = SQLGetDiagRecW(SQL_HANDLE_STMT, failed.h, 1, state, &native, wideBuffer, chars, &length);
        else if (call == "SQLGetDiagFieldW")
            rc = SQLGetDiagFieldW(SQL_HANDLE_STMT, failed.h, 1, SQL_DIAG_MESSAGE_TEXT, buffer, SQLSMALLINT(bytes), &length);
        else if (call == "SQLGetConnectAttrW catalog")
            rc = SQLGetConnectAttrW(c.handle(), SQL_ATTR_CURRENT_CATALOG, buffer, bytes, &longLength);
        else if (call == "SQLGetConnectAttrW translation library")
            rc = SQLGetConnectAttrW(c.handle(), SQL_ATTR_TRANSLATE_LIB, buffer, bytes, &longLength);
        else if (call == "SQLNativeSqlW") {
            std::u16string in = wide("SELECT 1 FROM dual");
            rc = SQLNativeSqlW(c.handle(), reinterpret_cast<SQLWCHAR*>(in.data()), SQLINTEGER(in.size()), wideBuffer, chars,
                               &longLength);
        }
        QVERIFY2(rc != SQL_ERROR && rc != SQL_INVALID_HANDLE, qPrintable(QString("returned %1").arg(rc)));
        for (size_t i = size_t(bytes); i < memory.size(); ++i)
            QVERIFY2(memory[i] == mark, qPrintable(QString("byte %1 past a buffer of %2 was written").arg(i - size_t(bytes)).arg(bytes)));
    }

    // U+0000 goes in through CHR(0) and comes back whole: the indicator counts every unit.
    void nulCharactersReadBackWhole()
    {
        DevDbConnection c(cs());
        c.exec("CREATE TABLE \"NUL\"(\"V\" VARCHAR2(20), \"W\" NVARCHAR2(20))");
        c.exec("INSERT INTO \"NUL\" VALUES('ab' || CHR(0) || 'cd', CHR(0) || 'x' || CHR(0))");
        const QString v = QString("ab") + QChar(0) + "cd", w = QString(QChar(0)) + "x" + QChar(0);
        QCOMPARE(c.query("SELECT \"V\", \"W\" FROM \"NUL\""), (QList<QStringList>{{v, w}}));
        QCOMPARE(c.query("SELECT COUNT(*) FROM \"NUL\" WHERE \"V\" = 'ab' || CHR(0) || 'cd'"), (QList<QStringList>{{"1"}}));
        QCOMPARE(c.query("SELECT COUNT(*) FROM \"NUL\" WHERE \"V\" = 'abcd'"), (QList<QStringList>{{"0"}}));

        Statement st(c);
        QVERIFY(st.execW("SELECT \"V\", \"W\" FROM \"NUL\""));
        QCOMPARE(SQLFetch(st.h), SQLRETURN(SQL_SUCCESS));
        char narrow[16];
        SQLLEN ind = 0;
        QCOMPARE(SQLGetData(st.h, 1, SQL_C_CHAR, narrow, sizeof narrow, &ind), SQLRETURN(SQL_SUCCESS));
        QCOMPARE(ind, SQLLEN(5));
        QCOMPARE(QByteArray(narrow, 5), QByteArray("ab\0cd", 5));
        SQLWCHAR wide[16];
        QCOMPARE(SQLGetData(st.h, 2, SQL_C_WCHAR, wide, sizeof wide, &ind), SQLRETURN(SQL_SUCCESS));
        QCOMPARE(ind, SQLLEN(3 * sizeof(SQLWCHAR)));
        QCOMPARE(QString(reinterpret_cast<const QChar*>(wide), 3), w);
    }

    // isql is an ANSI application: the driver manager uses the A entry points, UTF-8 throughout.
    void isqlStillWorks()
    {
        const QString isql = QStandardPaths::findExecutable("isql");
        if (isql.isEmpty()) QSKIP("isql is not installed");
        QProcess p;
        p.start(isql, {"-b", "-v", "-d|", "-k", cs()});
        QVERIFY(p.waitForStarted());
        p.write(QString("CREATE TABLE \"ISQL\"(\"N\" NUMBER, \"S\" NVARCHAR2(20))\n"
                        "INSERT INTO \"ISQL\" VALUES(1, 'Zo\u00EB \u05E9')\n"
                        "SELECT \"S\", \"N\" FROM \"ISQL\"\n"
                        "SELECT * FROM \"NOPE\"\n")
                    .toUtf8());
        p.closeWriteChannel();
        QVERIFY(p.waitForFinished(20000));
        const QString out = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
        QVERIFY2(out.contains(QString("Zo\u00EB \u05E9|1")), qPrintable(out));
        QVERIFY2(out.contains("[devdb][Oracle]ORA-00942: table or view does not exist"), qPrintable(out));
    }
};

QTEST_GUILESS_MAIN(TstDevDbText)
#include "tst_devdb_text.moc"
