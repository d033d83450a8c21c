// The palette editor's grid, colour moves and brightness.
#include "paletteediting.h"
#include "testsupport.h"

#include <QTest>

using namespace vardeko;

namespace {

// Entry i holds (i, 0, 0), so a move shows as a list of red values.
PaletteTable numbered()
{
    PaletteTable t;
    for (int i = 0; i < 256; ++i)
        t[size_t(i)] = PaletteEntry {quint8(i), 0, 0, 4};
    return t;
}

QList<int> reds(const PaletteTable &t, int first, int last)
{
    QList<int> result;
    for (int i = first; i <= last; ++i)
        result.append(t[size_t(i)].red);
    return result;
}

} // namespace

class TestPaletteEditing : public QObject
{
    Q_OBJECT

private slots:
    void cells_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<int>("number");
        QTest::newRow("first cell") << QPoint(0, 0) << 0;
        QTest::newRow("column 0 row 10") << QPoint(5, 105) << 10;
        QTest::newRow("column 1 row 0") << QPoint(10, 9) << 16;
        QTest::newRow("last cell") << QPoint(159, 159) << 255;
        QTest::newRow("right of the grid") << QPoint(400, 25) << 242;
        QTest::newRow("left of and above the grid") << QPoint(-30, -1) << 0;
    }

    void cells()
    {
        QFETCH(QPoint, point);
        QFETCH(int, number);
        QCOMPARE(paletteCellAt(point), number);
        const QPoint origin = paletteCellOrigin(number);
        QCOMPARE(paletteCellAt(origin), number);
        QCOMPARE(paletteCellAt(origin + QPoint(9, 9)), number);
    }

    void moveColor_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QList<int>>("expected"); // entries 2..8 afterwards
        QTest::newRow("3 onto 7") << 3 << 7 << QList<int> {2, 4, 5, 6, 7, 3, 8};
        QTest::newRow("7 onto 3") << 7 << 3 << QList<int> {2, 7, 3, 4, 5, 6, 8};
        QTest::newRow("neighbours") << 4 << 5 << QList<int> {2, 3, 5, 4, 6, 7, 8};
    }

    void moveColor()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QList<int>, expected);
        PaletteTable t = numbered();
        QVERIFY(movePaletteColor(t, from, to));
        QCOMPARE(reds(t, 2, 8), expected);
        QCOMPARE(reds(t, 0, 1), (QList<int> {0, 1}));
        QCOMPARE(reds(t, 9, 9), QList<int> {9});
    }

    void moveColorAtTheEdges()
    {
        PaletteTable t = numbered();
        QVERIFY(movePaletteColor(t, 0, 255));
        QCOMPARE(reds(t, 254, 255), (QList<int> {255, 0}));
        QCOMPARE(t[0].red, quint8(1));
        PaletteTable same = numbered();
        QVERIFY(!movePaletteColor(same, 5, 5));
        QVERIFY(!movePaletteColor(same, -1, 5));
        QVERIFY(!movePaletteColor(same, 5, 256));
        QCOMPARE(same, numbered());
    }

    void brightness()
    {
        const PaletteEntry e {10, 200, 250, 4};
        QCOMPARE(paletteBrightness(e), 250);
        QCOMPARE(shiftBrightness(e, 10), (PaletteEntry {20, 210, 255, 4}));
        QCOMPARE(shiftBrightness(e, -20), (PaletteEntry {0, 180, 230, 4}));
        QCOMPARE(shiftBrightness(e, 0), e);
    }
};

VARDEKO_REGISTER_TEST(TestPaletteEditing);

#include "tst_paletteediting.moc"
