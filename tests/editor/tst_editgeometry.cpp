// Tests of the editing geometry, without a widget.
#include "tst_editgeometry.h"

#include "editgeometry.h"
#include "publication.h"
#include "runinput.h"

#include <QTest>

using namespace vardeko;

namespace {

ObjectPtr makeObject(Publication &pub, int kind, int x1, int y1, int x2, int y2, bool selected = false)
{
    ObjectPtr o = pub.createObject(kind);
    o->X1 = x1;
    o->Y1 = y1;
    o->X2 = x2;
    o->Y2 = y2;
    o->Selected = selected;
    return o;
}

} // namespace

void TestEditGeometry::snapping_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<int>("gridX");
    QTest::addColumn<int>("gridY");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("15 goes down to 8") << QPoint(15, 15) << 8 << 8 << QPoint(8, 8);
    QTest::newRow("16 stays") << QPoint(16, 16) << 8 << 8 << QPoint(16, 16);
    QTest::newRow("separate steps") << QPoint(23, 23) << 10 << 4 << QPoint(20, 20);
    QTest::newRow("below the step gives 0") << QPoint(7, 3) << 8 << 8 << QPoint(0, 0);
    QTest::newRow("negative truncates toward zero") << QPoint(-15, -17) << 8 << 8 << QPoint(-8, -16);
    QTest::newRow("step 0 leaves the point") << QPoint(13, 13) << 0 << 8 << QPoint(13, 8);
}

void TestEditGeometry::snapping()
{
    QFETCH(QPoint, point);
    QFETCH(int, gridX);
    QFETCH(int, gridY);
    QFETCH(QPoint, expected);
    QCOMPARE(snapToGrid(point, gridX, gridY), expected);
}

void TestEditGeometry::shiftConstraint_data()
{
    QTest::addColumn<int>("tool");
    QTest::addColumn<QPoint>("current");
    QTest::addColumn<QPoint>("expected");
    // The start is (100, 100) in every row.
    QTest::newRow("line 40 right 10 down is horizontal") << int(LineKind) << QPoint(140, 110) << QPoint(140, 100);
    QTest::newRow("line 40 right 30 down is 45 degrees") << int(LineKind) << QPoint(140, 130) << QPoint(140, 140);
    QTest::newRow("line 5 left 50 up is vertical") << int(LineKind) << QPoint(95, 50) << QPoint(100, 50);
    QTest::newRow("line at exactly half stays put") << int(LineKind) << QPoint(140, 120) << QPoint(140, 100);
    QTest::newRow("line up-left diagonal") << int(LineKind) << QPoint(70, 75) << QPoint(70, 70);
    QTest::newRow("rectangle becomes a square") << int(RectangleKind) << QPoint(140, 110) << QPoint(140, 140);
    QTest::newRow("circle square up-left") << int(CircleKind) << QPoint(90, 60) << QPoint(60, 60);
    QTest::newRow("text square right-up") << int(TextKind) << QPoint(120, 70) << QPoint(130, 70);
    QTest::newRow("article square") << int(ArticleKind) << QPoint(100, 130) << QPoint(130, 130);
}

void TestEditGeometry::shiftConstraint()
{
    QFETCH(int, tool);
    QFETCH(QPoint, current);
    QFETCH(QPoint, expected);
    QCOMPARE(constrainForTool(tool, QPoint(100, 100), current), expected);
}

void TestEditGeometry::handles_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("lineOrigin");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<int>("expected");
    // The box is (100, 100)-(200, 160) in every row; its middle is (150, 130).
    const int rect = RectangleKind;
    QTest::newRow("top-left corner") << rect << 0 << QPoint(100, 100) << 1;
    QTest::newRow("top-left 4 outside") << rect << 0 << QPoint(96, 96) << 1;
    QTest::newRow("5 outside misses") << rect << 0 << QPoint(95, 100) << 0;
    QTest::newRow("top middle") << rect << 0 << QPoint(153, 98) << 2;
    QTest::newRow("top edge between handles") << rect << 0 << QPoint(125, 100) << 0;
    QTest::newRow("top-right") << rect << 0 << QPoint(203, 102) << 3;
    QTest::newRow("right middle") << rect << 0 << QPoint(200, 134) << 4;
    QTest::newRow("bottom-right") << rect << 0 << QPoint(199, 161) << 5;
    QTest::newRow("bottom middle") << rect << 0 << QPoint(146, 160) << 6;
    QTest::newRow("bottom-left") << rect << 0 << QPoint(104, 164) << 7;
    QTest::newRow("left middle") << rect << 0 << QPoint(101, 127) << 8;
    QTest::newRow("inside, no handle") << rect << 0 << QPoint(150, 130) << 0;
    QTest::newRow("line origin 0: top-left end") << int(LineKind) << 0 << QPoint(101, 99) << 1;
    QTest::newRow("line origin 0: bottom-right end") << int(LineKind) << 0 << QPoint(200, 160) << 5;
    QTest::newRow("line origin 0: no top-right") << int(LineKind) << 0 << QPoint(200, 100) << 0;
    QTest::newRow("line origin 0: no middle") << int(LineKind) << 0 << QPoint(150, 100) << 0;
    QTest::newRow("line origin 1: top-right end") << int(LineKind) << 1 << QPoint(200, 100) << 3;
    QTest::newRow("line origin 1: bottom-left end") << int(LineKind) << 1 << QPoint(100, 160) << 7;
    QTest::newRow("line origin 1: no top-left") << int(LineKind) << 1 << QPoint(100, 100) << 0;
    QTest::newRow("group has none") << int(GroupKind) << 0 << QPoint(100, 100) << 0;
}

void TestEditGeometry::handles()
{
    QFETCH(int, kind);
    QFETCH(int, lineOrigin);
    QFETCH(QPoint, point);
    QFETCH(int, expected);
    Publication pub;
    ObjectPtr o = makeObject(pub, kind, 100, 100, 200, 160);
    o->LineOrigin = quint8(lineOrigin);
    QCOMPARE(handleAt(*o, point), expected);
}

void TestEditGeometry::hitTestPrefersHandlesThenTopmost()
{
    Publication pub;
    ObjectList stack;
    // A selected object below, an unselected one on top covering its corner.
    stack.push_back(makeObject(pub, RectangleKind, 100, 100, 200, 200, true));
    stack.push_back(makeObject(pub, RectangleKind, 50, 50, 150, 150, false));
    PageObject *below = stack[0].get();
    PageObject *top = stack[1].get();

    EditHit hit = editHitTest(stack, QPoint(100, 100));
    QCOMPARE(hit.object, below);
    QCOMPARE(hit.handle, 1);

    hit = editHitTest(stack, QPoint(120, 120));
    QCOMPARE(hit.object, top);
    QCOMPARE(hit.handle, 0);

    // Edges belong to the box.
    hit = editHitTest(stack, QPoint(200, 180));
    QCOMPARE(hit.object, below);
    QCOMPARE(hit.handle, 0);

    hit = editHitTest(stack, QPoint(201, 180));
    QCOMPARE(hit.object, nullptr);

    // When both selected objects have a handle there, the upper one gives it.
    top->Selected = true;
    stack.push_back(makeObject(pub, RectangleKind, 100, 100, 120, 120, true));
    hit = editHitTest(stack, QPoint(100, 100));
    QCOMPARE(hit.object, stack[2].get());

    // A selected group offers no handles: its box is hit as a whole.
    Publication pub2;
    ObjectList groups;
    groups.push_back(makeObject(pub2, GroupKind, 10, 10, 50, 50, true));
    hit = editHitTest(groups, QPoint(10, 10));
    QCOMPARE(hit.handle, 0);
    QCOMPARE(hit.object, groups[0].get());
}

// The reader's hit test goes as deep as the object limit allows, without running out of stack.
void TestEditGeometry::runHitTestEntersDeepNesting()
{
    Publication pub;
    Page *page = pub.firstPage();
    ObjectList *into = &page->Objects;
    for (int i = 0; i < MaxObjects - 1; ++i) {
        ObjectPtr group = makeObject(pub, GroupKind, 0, 0, 400, 400);
        PageObject *raw = group.get();
        into->push_back(std::move(group));
        into = &raw->Members;
    }
    into->push_back(makeObject(pub, ButtonKind, 100, 100, 150, 150));
    const PageObject *button = into->front().get();
    QCOMPARE(runHitTest(*page, nullptr, QPoint(120, 120)), button);
    QCOMPARE(runHitTest(*page, nullptr, QPoint(300, 300)), nullptr);
}

void TestEditGeometry::resizeEdges_data()
{
    QTest::addColumn<int>("handle");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QRect>("expected");
    // The box is 100,100 wide 100, high 50 (right edge 200, bottom 150).
    QTest::newRow("left handle out") << 8 << QPoint(80, 130) << QRect(80, 100, 120, 50);
    QTest::newRow("left handle past the right edge stops on it") << 8 << QPoint(260, 130) << QRect(200, 100, 0, 50);
    QTest::newRow("right handle past the left edge stops on it") << 4 << QPoint(20, 0) << QRect(100, 100, 0, 50);
    QTest::newRow("top handle moves only the top") << 2 << QPoint(500, 90) << QRect(100, 90, 100, 60);
    QTest::newRow("bottom handle past the top") << 6 << QPoint(0, 10) << QRect(100, 100, 100, 0);
    QTest::newRow("top-left corner") << 1 << QPoint(90, 95) << QRect(90, 95, 110, 55);
    QTest::newRow("bottom-right corner") << 5 << QPoint(230, 170) << QRect(100, 100, 130, 70);
    QTest::newRow("top-right corner crossing both") << 3 << QPoint(50, 300) << QRect(100, 150, 0, 0);
    QTest::newRow("bottom-left corner") << 7 << QPoint(110, 160) << QRect(110, 100, 90, 60);
}

void TestEditGeometry::resizeEdges()
{
    QFETCH(int, handle);
    QFETCH(QPoint, point);
    QFETCH(QRect, expected);
    const QRect got = resizeOutline(QRect(100, 100, 100, 50), handle, point);
    QCOMPARE(got.x(), expected.x());
    QCOMPARE(got.y(), expected.y());
    QCOMPARE(got.width(), expected.width());
    QCOMPARE(got.height(), expected.height());
}

void TestEditGeometry::resizeAnchor_data()
{
    QTest::addColumn<QPoint>("cursor");
    QTest::addColumn<QPoint>("anchor");
    // Box 100,100 wide 101, high 51: halves at 150 and 125.
    QTest::newRow("left half, top half") << QPoint(100, 100) << QPoint(201, 151);
    QTest::newRow("exactly the middle counts as the left half") << QPoint(150, 125) << QPoint(201, 151);
    QTest::newRow("right of the middle") << QPoint(151, 126) << QPoint(100, 100);
    QTest::newRow("right half, top half") << QPoint(201, 100) << QPoint(100, 151);
}

void TestEditGeometry::resizeAnchor()
{
    QFETCH(QPoint, cursor);
    QFETCH(QPoint, anchor);
    QCOMPARE(vardeko::resizeAnchor(QRect(100, 100, 101, 51), cursor), anchor);
}

void TestEditGeometry::lineOrigin_data()
{
    QTest::addColumn<QPoint>("end");
    QTest::addColumn<int>("origin");
    QTest::newRow("below-right") << QPoint(20, 20) << 0;
    QTest::newRow("above-left") << QPoint(0, 0) << 0;
    QTest::newRow("above-right") << QPoint(20, 0) << 1;
    QTest::newRow("below-left") << QPoint(0, 20) << 1;
    QTest::newRow("horizontal") << QPoint(30, 10) << 0;
    QTest::newRow("vertical") << QPoint(10, 0) << 0;
}

void TestEditGeometry::lineOrigin()
{
    QFETCH(QPoint, end);
    QFETCH(int, origin);
    QCOMPARE(int(lineOriginFor(QPoint(10, 10), end)), origin);
    // The end points drawn from the resulting box are the two points again.
    Publication pub;
    const QRect r = spannedRect(QPoint(10, 10), end);
    ObjectPtr line = makeObject(pub, LineKind, r.x(), r.y(), rightEdge(r), bottomEdge(r));
    line->LineOrigin = quint8(origin);
    const QList<QPoint> ends = {lineStart(*line), lineEnd(*line)};
    QVERIFY2(ends.contains(QPoint(10, 10)) && ends.contains(end), "line end points lost");
}

void TestEditGeometry::align_data()
{
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("v");
    QTest::addColumn<QRect>("reference");
    QTest::addColumn<QPoint>("offset");
    // The object is 30,40 wide 100 high 51.
    const QRect page(0, 0, 640, 480);
    QTest::newRow("right on the page: left 540") << int(HAlign::Right) << int(VAlign::None) << page << QPoint(510, 0);
    QTest::newRow("left") << int(HAlign::Left) << int(VAlign::None) << page << QPoint(-30, 0);
    QTest::newRow("center truncates") << int(HAlign::Center) << int(VAlign::None) << QRect(0, 0, 201, 10) << QPoint(20, 0);
    QTest::newRow("top") << int(HAlign::None) << int(VAlign::Top) << QRect(5, 7, 10, 10) << QPoint(0, -33);
    QTest::newRow("middle halves truncate") << int(HAlign::None) << int(VAlign::Middle) << page << QPoint(0, 175);
    QTest::newRow("bottom") << int(HAlign::None) << int(VAlign::Bottom) << page << QPoint(0, 389);
    QTest::newRow("both") << int(HAlign::Right) << int(VAlign::Bottom) << QRect(0, 0, 200, 100) << QPoint(70, 9);
    QTest::newRow("none") << int(HAlign::None) << int(VAlign::None) << page << QPoint(0, 0);
}

void TestEditGeometry::align()
{
    QFETCH(int, h);
    QFETCH(int, v);
    QFETCH(QRect, reference);
    QFETCH(QPoint, offset);
    QCOMPARE(alignOffset(QRect(30, 40, 100, 51), reference, HAlign(h), VAlign(v)), offset);
}

void TestEditGeometry::centreAndNudge()
{
    // Centring on a 640 x 480 page a box 0,0 wide 101 high 21: 320 - 50, 240 - 10.
    QCOMPARE(centreOffset(QRect(0, 0, 101, 21), QSize(640, 480)), QPoint(270, 230));
    QCOMPARE(centreOffset(QRect(10, 20, 100, 20), QSize(640, 480)), QPoint(260, 210));
    QCOMPARE(nudgeOffset(Qt::Key_Left), QPoint(-1, 0));
    QCOMPARE(nudgeOffset(Qt::Key_Down), QPoint(0, 1));
    QCOMPARE(nudgeOffset(Qt::Key_A), QPoint());
    QCOMPARE(roundedCorner(QRect(0, 0, 200, 40)), 10);
    QCOMPARE(roundedCorner(QRect(0, 0, 200, 400)), 15);
}
