// The in-memory row buffer and the list routines the copy run relies on.
#include "platform/list_routines.h"
#include "plain_controls.h"
#include "tableops/row_buffer.h"
#include "tableops/spill_file.h"

#include <QtTest>

using oracle::FieldValue;

class RowBufferAndListsTest : public QObject {
    Q_OBJECT
private slots:
    void rowsComeBackUnchanged()
    {
        const std::vector<std::vector<FieldValue>> rows = {
            {FieldValue::fromText("1"), FieldValue::fromText("ab"), FieldValue::null()},
            {FieldValue::fromText(""), FieldValue::null(), FieldValue::fromText("x|myseparaterz|y")},
            {FieldValue::fromBoolean(true), FieldValue::fromBoolean(false), FieldValue::fromBytes(QByteArray("\0\1\2", 3))},
            {FieldValue::fromText(QString(300, QChar(0x00E9))), FieldValue::fromText("Ωmega 日本"), FieldValue::fromBytes({})},
            {},
            {FieldValue::fromText(QString("ab") + QChar(0xD83D)), FieldValue::fromText("next")},
        };
        // Half a surrogate pair has no UTF-8: it comes back as U+FFFD in its own value, not the next.
        auto expected = rows;
        expected[5][0] = FieldValue::fromText(QString("ab") + QChar(QChar::ReplacementCharacter));
        tableops::RowBuffer buffer;
        for (const auto& row : rows)
            buffer.append(row);
        QCOMPARE(buffer.count(), int(rows.size()));
        for (size_t i = 0; i < rows.size(); ++i)
            QVERIFY2(buffer.row(int(i)) == expected[i], qPrintable(QString("row %1").arg(i)));
        // Null and the empty text stay apart in the buffer.
        QVERIFY(buffer.row(1)[0].kind == FieldValue::Kind::Text);
        QVERIFY(buffer.row(1)[1].isNull());
    }

    void everyCharacterSurvivesTheBuffer()
    {
        const QString nul(QChar(0));
        const std::vector<FieldValue> row = {
            FieldValue::fromText(QString(QChar(0xFEFF)) + "mark"), FieldValue::fromText(QString(QChar(0xFFFE)) + "swapped"),
            FieldValue::fromText(QString::fromUtf8("\xF0\x9F\x98\x80 e\xCC\x81 \xD7\xA9\xD7\x9C")),
            FieldValue::fromText("a" + nul + "b" + nul)};
        tableops::RowBuffer buffer;
        buffer.append(row);
        buffer.append(row);
        QVERIFY(buffer.row(0) == row);
        QVERIFY(buffer.row(1) == row);
    }

    // Past its memory limit the buffer goes on in a file of its own, gives every row back in order
    // (and again from the start), and leaves no file behind.
    void rowsBeyondTheMemoryLimitWaitInAFile()
    {
        QTemporaryDir folder;
        std::vector<std::vector<FieldValue>> rows;
        for (int i = 0; i < 3000; ++i)
            rows.push_back({FieldValue::fromText(QString::number(i)), i % 7 ? FieldValue::fromText(QString(i % 300, QChar(0x3B1 + i % 20)))
                                                                           : FieldValue::null(),
                            FieldValue::fromBytes(QByteArray(i % 50, char(i))), FieldValue::fromBoolean(i % 2)});
        rows.push_back({FieldValue::fromText(QString(3 << 20, 'w'))});  // one value larger than the file's blocks
        rows.push_back({FieldValue::fromText("last")});
        {
            tableops::RowBuffer buffer({64 * 1024, folder.path()});
            for (const auto& row : rows)
                buffer.append(row);
            QCOMPARE(buffer.count(), qint64(rows.size()));
            QVERIFY(buffer.spilled());
            for (int pass = 0; pass < 2; ++pass)
                for (size_t i = 0; i < rows.size(); ++i)
                    QVERIFY2(buffer.row(qint64(i)) == rows[i], qPrintable(QString("pass %1 row %2").arg(pass).arg(i)));
            QVERIFY(buffer.row(5) == rows[5]);
            buffer.clear();
            QVERIFY(!buffer.spilled());
            QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList());
            QCOMPARE(buffer.count(), 0);
            buffer.append(rows[0]);
            QVERIFY(buffer.row(0) == rows[0]);
            for (int i = 0; i < 2000; ++i)
                buffer.append(rows[size_t(i)]);
            QVERIFY(buffer.spilled());
        }
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList());
    }

    void unusableFolderFailsOnceTheMemoryIsFull()
    {
        tableops::RowBuffer buffer({1024, "/nonexistent-folder/of/rows"});
        const std::vector<FieldValue> row = {FieldValue::fromText(QString(100, 'x'))};
        for (int i = 0; i < 9; ++i)
            buffer.append(row);
        QVERIFY(!buffer.spilled());
        QVERIFY_THROWS_EXCEPTION(tableops::RowBufferError, buffer.append(row));
    }

    void manyRowsSpanChunks()
    {
        tableops::RowBuffer buffer;
        const QString big(70000, 'z');
        for (int i = 0; i < 40; ++i)
            buffer.append({FieldValue::fromText(QString::number(i)), FieldValue::fromText(big)});
        QCOMPARE(buffer.count(), 40);
        QCOMPARE(buffer.row(39)[0].text, QString("39"));
        QCOMPARE(buffer.row(17)[1].text.size(), big.size());
        buffer.clear();
        QCOMPARE(buffer.count(), 0);
    }

    void listContainsIgnoresCase()
    {
        PlainTableList list({"ORDERS", "Items"});
        QVERIFY(platform::ListContains("orders", list));
        QVERIFY(platform::ListContains("ITEMS", list));
        QVERIFY(!platform::ListContains("ORDERS ", list));
        QVERIFY(!platform::ListContains("x", PlainTableList()));
    }

    // The run's index answers as ListContains does, also after the run's own removals and additions,
    // and for letters whose lower case is not their folded case.
    void nameIndexAnswersAsListContains()
    {
        PlainTableList list({"ORDERS", "orders", "Items", QString::fromUtf8("\xC4\xB0STANBUL"), QString::fromUtf8("STRA\xC3\x9F" "E"),
                             QString::fromUtf8("\xCE\xA3\xCE\x9F\xCE\xA6\xCE\x9F\xCE\xA3")});
        platform::CaseInsensitiveNames names(list);
        const QStringList questions = {"orders", "ORDERS", "Orders ", "items", QString::fromUtf8("istanbul"),
                                       QString::fromUtf8("\xC4\xB0stanbul"), QString::fromUtf8("stra\xC3\x9f" "e"), "STRASSE",
                                       QString::fromUtf8("\xCF\x83\xCE\xBF\xCF\x86\xCE\xBF\xCF\x82"), "x", ""};
        auto same = [&](const char* when) {
            for (const QString& question : questions)
                QVERIFY2(names.contains(question) == platform::ListContains(question, list),
                         qPrintable(QString("%1: %2").arg(when, question)));
        };
        same("as filled");
        names.remove("ORDERS", platform::RemoveListItem(list, "ORDERS"));
        same("one case removed");
        names.remove("orders", platform::RemoveListItem(list, "orders"));
        same("both removed");
        list.add("Orders");
        names.add("Orders");
        same("added again");
        names.remove("nothing", platform::RemoveListItem(list, "nothing"));
        same("nothing removed");
    }

    void removeListItemIsExactAndSkipsTheMovedEntry()
    {
        PlainTableList list({"A", "orders", "ORDERS", "Z"});
        platform::RemoveListItem(list, "orders");
        QCOMPARE(list.names(), QStringList({"A", "ORDERS", "Z"}));
        // Two equal entries side by side: the one that moves into the removed place is not compared.
        PlainTableList twins;
        twins.entries = {{"T", false}, {"T", false}};
        platform::RemoveListItem(twins, "T");
        QCOMPARE(twins.names(), QStringList({"T"}));
    }

    void sortedPlaces()
    {
        PlainTableList list({"beta", "ALPHA", "Gamma", "delta"});
        QCOMPARE(list.names(), QStringList({"ALPHA", "beta", "delta", "Gamma"}));
        list.add("Charlie");
        list.add("orders");
        list.add("ORDERS");
        QCOMPARE(list.names(), QStringList({"ALPHA", "beta", "Charlie", "delta", "Gamma", "ORDERS", "orders"}));
    }
};

QTEST_GUILESS_MAIN(RowBufferAndListsTest)
#include "tst_row_buffer_and_lists.moc"
