// The progress bar's share after each row of a copy, rounded half to even as the classic runtime
// rounded.
#include "tableops/table_transfer.h"

#include <QtTest>

class ProgressPercentTest : public QObject {
    Q_OBJECT
private slots:
    void roundsHalfToEven_data()
    {
        QTest::addColumn<qint64>("rowsDone");
        QTest::addColumn<qint64>("rowCount");
        QTest::addColumn<int>("percent");
        QTest::newRow("1 of 8: 12.5 goes down to even") << qint64(1) << qint64(8) << 12;
        QTest::newRow("3 of 8: 37.5 goes up to even") << qint64(3) << qint64(8) << 38;
        QTest::newRow("5 of 8: 62.5 goes down to even") << qint64(5) << qint64(8) << 62;
        QTest::newRow("1 of 40: 2.5 goes down to even") << qint64(1) << qint64(40) << 2;
        QTest::newRow("3 of 200: 1.5 goes up to even") << qint64(3) << qint64(200) << 2;
        QTest::newRow("1 of 200: 0.5 shows nothing yet") << qint64(1) << qint64(200) << 0;
        QTest::newRow("1 of 3") << qint64(1) << qint64(3) << 33;
        QTest::newRow("2 of 3") << qint64(2) << qint64(3) << 67;
        QTest::newRow("the last row of 3") << qint64(3) << qint64(3) << 100;
        QTest::newRow("the only row") << qint64(1) << qint64(1) << 100;
        QTest::newRow("the last of many rows") << qint64(3'000'000'007) << qint64(3'000'000'007) << 100;
    }
    void roundsHalfToEven()
    {
        QFETCH(qint64, rowsDone);
        QFETCH(qint64, rowCount);
        QFETCH(int, percent);
        QCOMPARE(tableops::ProgressPercent(rowsDone, rowCount), percent);
    }
};

QTEST_GUILESS_MAIN(ProgressPercentTest)
#include "tst_progress_percent.moc"
