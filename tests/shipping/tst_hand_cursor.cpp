// The hand cursor the install puts beside the program: the program's own loader must read it,
// or every start would end in an "Invalid picture" box.
#include "desktop/skin.h"

#include <QImage>
#include <QtTest>

class HandCursorTest : public QObject {
    Q_OBJECT

private slots:
    void theProgramReadsTheShippedHandWithItsHotspotOnTheFingertip()
    {
        const std::optional<QCursor> cursor = desktop::LoadCursorFile(QStringLiteral(HAND_CURSOR_FILE));
        QVERIFY(cursor.has_value());
        QCOMPARE(cursor->hotSpot(), QPoint(5, 0));
        const QImage image = cursor->pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(image.size(), QSize(32, 32));
        // The point that clicks is on the drawing, not on the transparent square around it.
        QCOMPARE(qAlpha(image.pixel(5, 0)), 255);
        QCOMPARE(qAlpha(image.pixel(4, 0)), 0);
        QCOMPARE(qAlpha(image.pixel(31, 31)), 0);
        // Black outline, white inside: readable on light and dark backgrounds.
        QCOMPARE(image.pixel(4, 1), qRgba(0, 0, 0, 255));
        QCOMPARE(image.pixel(5, 1), qRgba(255, 255, 255, 255));
    }
};

QTEST_MAIN(HandCursorTest)
#include "tst_hand_cursor.moc"
