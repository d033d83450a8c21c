// Gestures, keys and commands on a real publication window, driven by mouse events.
#include "tst_editcontroller.h"

#include "childform.h"
#include "editcontroller.h"
#include "edittool.h"
#include "fakeedithost.h"
#include "pageview.h"
#include "publication.h"
#include "toolpalette.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMimeData>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <memory>

using namespace vardeko;

namespace {

// One publication window on the screen with a scripted host.
struct Window
{
    std::unique_ptr<TChildForm> form;
    FakeEditHost host;

    explicit Window(int x = 0)
    {
        form = std::make_unique<TChildForm>(std::make_unique<Publication>());
        form->resize(760, 560);
        form->move(x, 0);
        form->show();
        if (!QTest::qWaitForWindowExposed(form.get()))
            qWarning("window not exposed");
        form->controller()->setHost(&host);
    }
    QWidget *view() const { return form->pageView()->viewport(); }
    EditController &editor() const { return *form->controller(); }
    Publication &pub() const { return form->publication(); }
    Page &page() const { return *pub().currentPage(); }
    QPoint at(const QPoint &p) const { return form->pageView()->pageOffset() + p; }
    QPoint globalAt(const QPoint &p) const { return view()->mapToGlobal(at(p)); }

    void press(const QPoint &p, Qt::KeyboardModifiers mods = {}, Qt::MouseButton b = Qt::LeftButton)
    {
        QTest::mousePress(view(), b, mods, at(p));
    }
    void release(const QPoint &p, Qt::KeyboardModifiers mods = {}, Qt::MouseButton b = Qt::LeftButton)
    {
        QTest::mouseRelease(view(), b, mods, at(p));
    }
    // A move with modifiers, which QTest's own move cannot carry.
    void moveTo(const QPoint &p, Qt::KeyboardModifiers mods = {}, Qt::MouseButtons buttons = Qt::LeftButton)
    {
        moveLocal(at(p), mods, buttons);
    }
    void moveLocal(const QPoint &local, Qt::KeyboardModifiers mods = {},
                   Qt::MouseButtons buttons = Qt::LeftButton)
    {
        QMouseEvent e(QEvent::MouseMove, QPointF(local), QPointF(view()->mapToGlobal(local)),
                      Qt::NoButton, buttons, mods);
        QApplication::sendEvent(view(), &e);
    }
    void drag(const QPoint &from, const QPoint &to, Qt::KeyboardModifiers mods = {})
    {
        press(from, mods);
        moveTo((from + to) / 2, mods);
        moveTo(to, mods);
        release(to, mods);
    }
    PageObject *add(int kind, int x1, int y1, int x2, int y2, bool selected = false)
    {
        ObjectPtr o = pub().createObject(kind);
        o->X1 = x1;
        o->Y1 = y1;
        o->X2 = x2;
        o->Y2 = y2;
        o->Selected = selected;
        PageObject *raw = o.get();
        page().Objects.push_back(std::move(o));
        return raw;
    }
};

QRect boxOf(const PageObject &o)
{
    return QRect(QPoint(o.X1, o.Y1), QPoint(o.X2, o.Y2));
}

} // namespace

void TestEditController::init()
{
    QApplication::setDoubleClickInterval(0);
}

void TestEditController::drawRectangleThenUndoTwice()
{
    Window w;
    w.host.tool = RectangleKind;
    w.host.attributes.FillColor = 0x00FF00;
    w.host.attributes.LineWidth = 3;
    w.drag(QPoint(20, 20), QPoint(80, 60));

    QCOMPARE(w.page().Objects.size(), size_t(1));
    const PageObject &o = *w.page().Objects[0];
    QCOMPARE(int(o.ObjectType), int(RectangleKind));
    QCOMPARE(boxOf(o), QRect(QPoint(20, 20), QPoint(80, 60)));
    QVERIFY(o.Selected);
    QCOMPARE(o.FillColor, ColorRef(0x00FF00));
    QCOMPARE(o.LineWidth, 3);
    QCOMPARE(int(o.LineOrigin), 0);
    QVERIFY(w.pub().Modified);
    QCOMPARE(w.editor().operation(), EditController::None);

    // Drawn the other way round, with Ctrl at release: a rounded rectangle, normalised.
    w.press(QPoint(200, 150));
    w.moveTo(QPoint(150, 100), Qt::ControlModifier);
    w.release(QPoint(150, 100), Qt::ControlModifier);
    QCOMPARE(w.page().Objects.size(), size_t(2));
    QCOMPARE(boxOf(*w.page().Objects[1]), QRect(QPoint(150, 100), QPoint(200, 150)));
    QCOMPARE(int(w.page().Objects[1]->LineOrigin), 1);
    QVERIFY(!w.page().Objects[0]->Selected);

    QVERIFY(w.editor().canUndo());
    QVERIFY(w.editor().undo());
    QCOMPARE(w.page().Objects.size(), size_t(1));
    // The snapshot was taken after the press had deselected everything.
    QVERIFY(!w.page().Objects[0]->Selected);
    QCOMPARE(w.host.beeps, 0);
    // The history goes back past the first rectangle, then beeps.
    QVERIFY(w.editor().undo());
    QCOMPARE(w.page().Objects.size(), size_t(0));
    QVERIFY(!w.editor().undo());
    QCOMPARE(w.host.beeps, 1);
    QCOMPARE(w.page().Objects.size(), size_t(0));

    // A click without dragging draws nothing with a shape tool.
    w.press(QPoint(300, 300));
    w.release(QPoint(300, 300));
    QCOMPARE(w.page().Objects.size(), size_t(0));
}

void TestEditController::drawingShowsAnInvertedRubberShape()
{
    Window w;
    w.host.tool = CircleKind;
    w.press(QPoint(20, 20));
    w.moveTo(QPoint(50, 40));
    w.moveTo(QPoint(80, 60));
    QCOMPARE(w.host.lastCaption, QStringLiteral("Object Size"));
    const QImage shown = w.view()->grab().toImage();
    auto pixel = [&](int x, int y) { return QColor(shown.pixel(w.at(QPoint(x, y)))); };
    // The white page is inverted where the rubber shape runs: its bounding rectangle,
    // and the cross at its centre (50, 40), but nowhere else inside.
    QCOMPARE(pixel(40, 20), QColor(Qt::black));
    QCOMPARE(pixel(20, 50), QColor(Qt::black));
    QCOMPARE(pixel(50, 40), QColor(Qt::black));
    QCOMPARE(pixel(51, 40), QColor(Qt::black));
    QCOMPARE(pixel(35, 45), QColor(Qt::white));
    // The shape from the earlier move is gone.
    QCOMPARE(pixel(45, 40), QColor(Qt::white));
    w.release(QPoint(80, 60));
    const QImage after = w.view()->grab().toImage();
    QCOMPARE(QColor(after.pixel(w.at(QPoint(50, 40)))), QColor(Qt::white));
}

void TestEditController::drawLineSnappedAndConstrained_data()
{
    QTest::addColumn<bool>("snap");
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<QRect>("box");
    QTest::addColumn<int>("origin");
    QTest::newRow("40 right 10 down: horizontal") << false << QPoint(100, 100) << QPoint(140, 110)
                                                  << QRect(QPoint(100, 100), QPoint(140, 100)) << 0;
    QTest::newRow("40 right 30 down: 45 degrees") << false << QPoint(100, 100) << QPoint(140, 130)
                                                  << QRect(QPoint(100, 100), QPoint(140, 140)) << 0;
    QTest::newRow("up and right: origin 1") << false << QPoint(100, 100) << QPoint(130, 75)
                                            << QRect(QPoint(100, 70), QPoint(130, 100)) << 1;
    QTest::newRow("snapped: 15 goes to 8") << true << QPoint(15, 15) << QPoint(50, 20)
                                           << QRect(QPoint(8, 8), QPoint(48, 8)) << 0;
    QTest::newRow("snapped: 16 stays") << true << QPoint(16, 16) << QPoint(50, 50)
                                       << QRect(QPoint(16, 16), QPoint(48, 48)) << 0;
}

void TestEditController::drawLineSnappedAndConstrained()
{
    QFETCH(bool, snap);
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    QFETCH(QRect, box);
    QFETCH(int, origin);
    Window w;
    w.host.tool = LineKind;
    w.host.settings.snapToGrid = snap;
    w.drag(from, to, Qt::ShiftModifier);
    QCOMPARE(w.page().Objects.size(), size_t(1));
    QCOMPARE(boxOf(*w.page().Objects[0]), box);
    QCOMPARE(int(w.page().Objects[0]->LineOrigin), origin);
}

void TestEditController::bandSelectsObjectsWhollyInside()
{
    Window w;
    PageObject *a = w.add(RectangleKind, 50, 50, 100, 100);
    PageObject *b = w.add(CircleKind, 120, 60, 180, 90);
    PageObject *c = w.add(RectangleKind, 150, 80, 300, 200, true);
    w.press(QPoint(40, 40));
    QVERIFY(!c->Selected); // the band starts by deselecting
    QCOMPARE(w.host.lastCaption, QStringLiteral("Select Area"));
    w.moveTo(QPoint(100, 100));
    w.moveTo(QPoint(190, 110));
    w.release(QPoint(190, 110));
    QVERIFY(a->Selected);
    QVERIFY(b->Selected);
    QVERIFY(!c->Selected);
    QCOMPARE(w.host.lastCaption, QStringLiteral("Mouse Position"));
}

void TestEditController::moveThenUndo()
{
    Window w;
    PageObject *a = w.add(RectangleKind, 50, 50, 100, 100);
    PageObject *b = w.add(RectangleKind, 200, 50, 240, 90);
    // A click selects one object; a drag from there moves it.
    w.press(QPoint(60, 60));
    QVERIFY(a->Selected);
    QCOMPARE(w.editor().operation(), EditController::Clicked);
    w.moveTo(QPoint(70, 65));
    QCOMPARE(w.editor().operation(), EditController::Moving);
    QVERIFY(w.editor().handlesHidden());
    w.moveTo(QPoint(90, 80));
    QCOMPARE(w.host.lastCaption, QStringLiteral("Object Position"));
    w.release(QPoint(90, 80));
    QCOMPARE(boxOf(*w.page().Objects[0]), QRect(QPoint(80, 70), QPoint(130, 120)));
    QCOMPARE(boxOf(*b), QRect(QPoint(200, 50), QPoint(240, 90)));

    // Shift adds the second to the selection; dragging one moves both.
    w.press(QPoint(210, 60), Qt::ShiftModifier);
    w.release(QPoint(210, 60), Qt::ShiftModifier);
    QCOMPARE(w.editor().selectedCount(), 2);
    w.drag(QPoint(210, 60), QPoint(215, 70));
    QCOMPARE(boxOf(*w.page().Objects[0]), QRect(QPoint(85, 80), QPoint(135, 130)));
    QCOMPARE(boxOf(*w.page().Objects[1]), QRect(QPoint(205, 60), QPoint(245, 100)));

    QVERIFY(w.editor().undo());
    QCOMPARE(boxOf(*w.page().Objects[0]), QRect(QPoint(80, 70), QPoint(130, 120)));
    QCOMPARE(boxOf(*w.page().Objects[1]), QRect(QPoint(200, 50), QPoint(240, 90)));
    QVERIFY(w.editor().undo());
    QCOMPARE(boxOf(*w.page().Objects[0]), QRect(QPoint(50, 50), QPoint(100, 100)));
    QVERIFY(!w.editor().undo());
    QCOMPARE(w.host.beeps, 1);
}

void TestEditController::shiftClickTogglesWithoutMoving()
{
    Window w;
    PageObject *a = w.add(RectangleKind, 50, 50, 100, 100, true);
    w.pub().Modified = false;
    w.press(QPoint(60, 60), Qt::ShiftModifier);
    QVERIFY(!a->Selected);
    QCOMPARE(w.editor().operation(), EditController::None);
    w.moveTo(QPoint(90, 90), Qt::ShiftModifier);
    w.release(QPoint(90, 90), Qt::ShiftModifier);
    QCOMPARE(boxOf(*a), QRect(QPoint(50, 50), QPoint(100, 100)));
    QVERIFY(!w.editor().canUndo());
    w.press(QPoint(60, 60), Qt::ShiftModifier);
    w.release(QPoint(60, 60), Qt::ShiftModifier);
    QVERIFY(a->Selected);
}

void TestEditController::resizeHandlePastOppositeEdge()
{
    Window w;
    PageObject *a = w.add(RectangleKind, 100, 100, 200, 150, true);
    w.press(QPoint(101, 125)); // the left handle
    QCOMPARE(w.editor().operation(), EditController::Resizing);
    w.moveTo(QPoint(150, 125));
    w.moveTo(QPoint(260, 140));
    w.release(QPoint(260, 140));
    QCOMPARE(boxOf(*a), QRect(QPoint(200, 100), QPoint(200, 150)));
    QVERIFY(w.pub().Modified);

    // The bottom-right corner grows the box; undo brings back the width-0 box.
    PageObject *b = w.add(RectangleKind, 300, 300, 350, 340, true);
    a->Selected = false;
    w.drag(QPoint(350, 340), QPoint(372, 351));
    QCOMPARE(boxOf(*b), QRect(QPoint(300, 300), QPoint(372, 351)));
    QVERIFY(w.editor().undo());
    QCOMPARE(boxOf(*w.page().Objects[1]), QRect(QPoint(300, 300), QPoint(350, 340)));
}

void TestEditController::resizeLineEndFlipsDirection()
{
    Window w;
    PageObject *line = w.add(LineKind, 100, 100, 200, 150, true);
    // Dragging the bottom-right end up above the start makes the line rise.
    w.drag(QPoint(200, 150), QPoint(220, 60));
    line = w.page().Objects[0].get();
    QCOMPARE(boxOf(*line), QRect(QPoint(100, 60), QPoint(220, 100)));
    QCOMPARE(int(line->LineOrigin), 1);
}

void TestEditController::ctrlDragDuplicates()
{
    Window w;
    PageObject *a = w.add(RectangleKind, 50, 50, 100, 100, true);
    w.drag(QPoint(60, 60), QPoint(100, 70), Qt::ControlModifier);
    QCOMPARE(w.page().Objects.size(), size_t(2));
    QVERIFY(!a->Selected);
    QCOMPARE(boxOf(*a), QRect(QPoint(50, 50), QPoint(100, 100)));
    const PageObject &copy = *w.page().Objects[1];
    QVERIFY(copy.Selected);
    QCOMPARE(boxOf(copy), QRect(QPoint(90, 60), QPoint(140, 110)));

    // Ctrl and a click without movement copies nothing.
    w.press(QPoint(100, 80), Qt::ControlModifier);
    w.release(QPoint(100, 80), Qt::ControlModifier);
    QCOMPARE(w.page().Objects.size(), size_t(2));
}

void TestEditController::ctrlDragOntoPageTabCopies()
{
    Window w;
    // The cursor is over the page tabs, not over any work area.
    w.host.widgetUnder = [](const QPoint &) -> QWidget * { return nullptr; };
    Page *first = &w.page();
    Page *second = w.pub().appendPage(w.pub().createPage(QStringLiteral("Second")));
    w.add(RectangleKind, 50, 50, 100, 100, true);
    w.add(CircleKind, 150, 50, 200, 100, false);

    w.press(QPoint(60, 60), Qt::ControlModifier);
    w.moveTo(QPoint(65, 65), Qt::ControlModifier);
    w.host.tabPage = second;
    w.moveTo(QPoint(70, 70), Qt::ControlModifier);
    QCOMPARE(w.view()->cursor().shape(), Qt::BitmapCursor); // the pointing hand
    w.release(QPoint(70, 70), Qt::ControlModifier);

    QCOMPARE(first->Objects.size(), size_t(2));
    QCOMPARE(second->Objects.size(), size_t(1));
    QCOMPARE(boxOf(*second->Objects[0]), QRect(QPoint(50, 50), QPoint(100, 100)));
    QVERIFY(second->Objects[0]->Selected);
    QCOMPARE(w.host.shownPages, QList<Page *>{second});
    QCOMPARE(w.pub().currentPage(), second);

    // Without Ctrl the objects leave their page.
    w.host.tabPage = first;
    w.press(QPoint(60, 60));
    w.moveTo(QPoint(65, 65));
    w.release(QPoint(65, 65));
    QCOMPARE(second->Objects.size(), size_t(0));
    QCOMPARE(first->Objects.size(), size_t(3));
}

void TestEditController::dragIntoAnotherWindow_data()
{
    QTest::addColumn<bool>("ctrl");
    QTest::newRow("moved") << false;
    QTest::newRow("copied with Ctrl") << true;
}

void TestEditController::dragIntoAnotherWindow()
{
    QFETCH(bool, ctrl);
    Window a(0);
    Window b(800);
    auto under = [&](const QPoint &global) -> QWidget * {
        for (Window *w : {&a, &b})
            if (QRect(w->view()->mapToGlobal(QPoint(0, 0)), w->view()->size()).contains(global))
                return w->view();
        return nullptr;
    };
    a.host.widgetUnder = under;
    PageObject *pic = a.add(PictureKind, 40, 40, 90, 80, true);
    pic->picture()->FileName = QStringLiteral("C:\\IMAGES\\SMALL.PCX");
    b.add(RectangleKind, 0, 0, 10, 10, true);
    const Qt::KeyboardModifiers mods = ctrl ? Qt::ControlModifier : Qt::NoModifier;

    a.press(QPoint(50, 50), mods);
    a.moveTo(QPoint(55, 55), mods);
    // Over the other window, grabbed 10 pixels inside the box: it lands at (110, 90).
    const QPoint over = a.view()->mapFromGlobal(b.globalAt(QPoint(120, 100)));
    a.moveLocal(over, mods);
    QCOMPARE(a.view()->cursor().shape(), Qt::BitmapCursor);
    QCOMPARE(a.host.lastCaption, QStringLiteral("Object Position"));
    QTest::mouseRelease(a.view(), Qt::LeftButton, mods, over);

    QCOMPARE(b.page().Objects.size(), size_t(2));
    const PageObject &copy = *b.page().Objects[1];
    QCOMPARE(boxOf(copy), QRect(QPoint(110, 90), QPoint(160, 130)));
    QCOMPARE(copy.picture()->FileName, QStringLiteral("C:\\IMAGES\\SMALL.PCX"));
    QVERIFY(copy.Selected);
    QVERIFY(!b.page().Objects[0]->Selected);
    QVERIFY(b.pub().Modified);
    QCOMPARE(a.page().Objects.size(), size_t(ctrl ? 1 : 0));
}

void TestEditController::textToolClickFitsText()
{
    Window w;
    w.host.tool = TextKind;
    w.host.dialog = [](PageObject &o) {
        o.text()->Text = QStringLiteral("Hello|World");
        return true;
    };
    w.press(QPoint(100, 100));
    w.release(QPoint(100, 100));
    QCOMPARE(w.page().Objects.size(), size_t(1));
    const PageObject &t = *w.page().Objects[0];
    QCOMPARE(t.X1, 100);
    QVERIFY2(t.X2 - t.X1 > 20, "the text was not measured");
    QVERIFY2(t.Y2 - t.Y1 > 20, "two lines are taller than the minimum");
    QVERIFY(t.Selected);

    // A text box drawn large keeps its size.
    w.drag(QPoint(200, 200), QPoint(400, 300));
    QCOMPARE(boxOf(*w.page().Objects[1]), QRect(QPoint(200, 200), QPoint(400, 300)));
}

void TestEditController::cancelledDialogsCreateNothing()
{
    Window w;
    w.add(RectangleKind, 0, 0, 10, 10);
    w.host.tool = ArticleKind;
    w.drag(QPoint(20, 20), QPoint(120, 120));
    QCOMPARE(w.host.openTitles, QStringList{QStringLiteral("Select an Article")});
    QCOMPARE(w.page().Objects.size(), size_t(1));
    QVERIFY(!w.editor().canUndo());
    const int objects = w.pub().objectCount();

    w.host.fileChoices = {QStringLiteral("/data/notes.txt")};
    w.drag(QPoint(20, 20), QPoint(120, 120));
    QCOMPARE(w.page().Objects.size(), size_t(2));
    QCOMPARE(w.page().Objects[1]->article()->FileName, QStringLiteral("/data/notes.txt"));

    w.host.tool = PictureKind;
    w.host.fileChoices = {};
    w.drag(QPoint(20, 20), QPoint(120, 120));
    QCOMPARE(w.host.openTitles.last(), QStringLiteral("Select an Image"));
    QCOMPARE(w.page().Objects.size(), size_t(2));
    // Each kind of file starts in its own remembered folder.
    QCOMPARE(w.host.openFolders, (QList<DialogFolder>{DialogFolder::Articles, DialogFolder::Articles,
                                                      DialogFolder::Images}));

    // A title dialog that returns an empty text destroys the new object.
    w.host.tool = TextKind;
    w.host.dialog = [](PageObject &) { return true; };
    w.drag(QPoint(20, 20), QPoint(120, 120));
    w.host.tool = ButtonKind;
    w.host.dialog = nullptr;
    w.drag(QPoint(20, 20), QPoint(120, 120));
    QCOMPARE(w.page().Objects.size(), size_t(2));
    QCOMPARE(w.pub().objectCount(), objects + 1);
}

void TestEditController::escapeAbandonsGesture()
{
    Window w;
    w.host.tool = RectangleKind;
    w.press(QPoint(20, 20));
    w.moveTo(QPoint(80, 80));
    QTest::keyClick(w.form->pageView(), Qt::Key_Escape);
    QCOMPARE(w.editor().operation(), EditController::None);
    w.release(QPoint(80, 80));
    QCOMPARE(w.page().Objects.size(), size_t(0));
    const QImage shown = w.view()->grab().toImage();
    QCOMPARE(QColor(shown.pixel(w.at(QPoint(50, 20)))), QColor(Qt::white));
}

void TestEditController::keysNudgeAndDelete()
{
    Window w;
    PageObject *a = w.add(RectangleKind, 50, 50, 100, 100, true);
    w.add(RectangleKind, 200, 200, 220, 220, false);
    w.form->pageView()->setFocus();
    QTest::keyClick(w.form->pageView(), Qt::Key_Right);
    QTest::keyClick(w.form->pageView(), Qt::Key_Right);
    QTest::keyClick(w.form->pageView(), Qt::Key_Up);
    QCOMPARE(boxOf(*a), QRect(QPoint(52, 49), QPoint(102, 99)));
    QVERIFY(w.pub().Modified);
    // Consecutive nudges are one step.
    QVERIFY(w.editor().undo());
    QCOMPARE(boxOf(*w.page().Objects[0]), QRect(QPoint(50, 50), QPoint(100, 100)));

    QTest::keyClick(w.form->pageView(), Qt::Key_Delete);
    QCOMPARE(w.page().Objects.size(), size_t(1));
    QCOMPARE(w.page().Objects[0]->X1, 200);
    // Nothing selected: Delete does nothing.
    QTest::keyClick(w.form->pageView(), Qt::Key_Delete);
    QCOMPARE(w.page().Objects.size(), size_t(1));
}

void TestEditController::commandsAreUndoable()
{
    Window w;
    w.host.settings.gridX = 8;
    w.host.settings.gridY = 4;
    w.add(RectangleKind, 10, 10, 20, 20, true);
    w.add(RectangleKind, 100, 100, 200, 150);
    w.add(CircleKind, 30, 30, 60, 60, true);

    QVERIFY(w.editor().group());
    QCOMPARE(w.page().Objects.size(), size_t(2));
    const PageObject &group = *w.page().Objects[0];
    QVERIFY(group.isGroup());
    QCOMPARE(boxOf(group), QRect(QPoint(10, 10), QPoint(60, 60)));
    QCOMPARE(group.Members.size(), size_t(2));

    // Undo, then a second undo beeps.
    QVERIFY(w.editor().undo());
    QCOMPARE(w.page().Objects.size(), size_t(3));
    QCOMPARE(w.editor().selectedCount(), 2);
    QVERIFY(!w.editor().undo());
    QCOMPARE(w.host.beeps, 1);

    QVERIFY(w.editor().duplicateSelection());
    QCOMPARE(w.page().Objects.size(), size_t(5));
    QCOMPARE(boxOf(*w.page().Objects[3]), QRect(QPoint(18, 14), QPoint(28, 24)));
    QVERIFY(!w.page().Objects[0]->Selected);

    // Align right on the page: 640 wide.
    AlignChoice right;
    right.horizontal = HAlign::Right;
    QVERIFY(w.editor().align(right));
    QCOMPARE(w.page().Objects[3]->X2, 640);
    QCOMPARE(w.page().Objects[4]->X2, 640);
    AlignChoice top;
    top.vertical = VAlign::Top;
    top.relative = true;
    QVERIFY(w.editor().align(top));
    QCOMPARE(w.page().Objects[3]->Y1, 14);
    QCOMPARE(w.page().Objects[4]->Y1, 14);
    QVERIFY(w.editor().undo());
    QCOMPARE(w.page().Objects[4]->Y1, 34);

    QVERIFY(w.editor().sendToBack());
    QCOMPARE(w.page().Objects[0]->X1, 630);
    QCOMPARE(w.page().Objects[1]->X1, 610);
    QVERIFY(w.editor().selectAll());
    QCOMPARE(w.editor().selectedCount(), 5);
}

void TestEditController::undoOffKeepsNoSnapshot()
{
    Window w;
    w.host.settings.undo = false;
    w.add(RectangleKind, 50, 50, 100, 100, true);
    w.drag(QPoint(60, 60), QPoint(70, 70));
    QCOMPARE(w.page().Objects[0]->X1, 60);
    QVERIFY(!w.editor().canUndo());
    QVERIFY(!w.editor().undo());
    QCOMPARE(w.host.beeps, 1);
    QCOMPARE(w.page().Objects[0]->X1, 60);
}

void TestEditController::showingAnotherPageKeepsHistory()
{
    Window w;
    Page *first = &w.page();
    Page *second = w.pub().appendPage(w.pub().createPage(QStringLiteral("Second")));
    w.add(RectangleKind, 50, 50, 100, 100, true);
    QVERIFY(w.editor().nudge(1, 0));
    QVERIFY(w.editor().canUndo());
    w.form->showPage(second);
    QVERIFY(w.editor().canUndo());
    QVERIFY(w.editor().undo());
    QCOMPARE(w.pub().currentPage(), first);
    QCOMPARE(first->Objects[0]->X1, 50);
}

void TestEditController::dropOfSeveralFiles()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QImage image(30, 20, QImage::Format_RGB32);
    image.fill(Qt::red);
    const QString png = dir.filePath(QStringLiteral("photo.png"));
    QVERIFY(image.save(png));
    const QString midi = dir.filePath(QStringLiteral("tune.MID"));
    const QString text = dir.filePath(QStringLiteral("notes.txt"));
    const QString broken = dir.filePath(QStringLiteral("broken.bmp"));
    for (const QString &name : {midi, text, broken}) {
        QFile f(name);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("not a picture");
    }

    Window w;
    w.host.attributes.LineWidth = 2;
    w.add(RectangleKind, 0, 0, 10, 10, true);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(png), QUrl::fromLocalFile(broken), QUrl::fromLocalFile(midi),
                  QUrl::fromLocalFile(text)});
    // A drop only lands where the drag entered first.
    QDragEnterEvent enter(w.at(QPoint(100, 100)), Qt::CopyAction, &data, Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(w.view(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(w.at(QPoint(100, 100))), Qt::CopyAction, &data, Qt::LeftButton,
                    Qt::NoModifier);
    QApplication::sendEvent(w.view(), &drop);

    QCOMPARE(w.host.alerts.size(), 1);
    QVERIFY(w.host.alerts[0].contains(QStringLiteral("This is not a valid image file!")));
    QVERIFY(w.host.alerts[0].startsWith(QLatin1Char('"') + broken + QLatin1Char('"')));
    QCOMPARE(w.page().Objects.size(), size_t(4));
    QVERIFY(!w.page().Objects[0]->Selected);

    const PageObject &picture = *w.page().Objects[1];
    QCOMPARE(picture.picture()->FileName, png);
    QCOMPARE(boxOf(picture), QRect(QPoint(100, 100), QPoint(134, 124)));

    const PageObject &button = *w.page().Objects[2];
    QCOMPARE(int(button.ObjectType), int(ButtonKind));
    QCOMPARE(button.button()->Text, QStringLiteral("tune"));
    QCOMPARE(button.button()->Action, QStringLiteral("PlaySoundFile \"") + midi + QStringLiteral("\" \"NORMAL\""));
    QCOMPARE(button.X1, 108);
    QCOMPARE(button.Y2 - button.Y1, 34);
    QVERIFY(button.X2 - button.X1 > 24);

    const PageObject &article = *w.page().Objects[3];
    QCOMPARE(article.article()->FileName, text);
    QCOMPARE(boxOf(article), QRect(QPoint(116, 116), QPoint(366, 416)));
    QVERIFY(article.Selected && button.Selected && picture.Selected);
    QVERIFY(w.pub().Modified);

    // One undo takes the whole drop back.
    QVERIFY(w.editor().undo());
    QCOMPARE(w.page().Objects.size(), size_t(1));

    // A publication opens instead of becoming an object.
    QMimeData pub;
    pub.setUrls({QUrl::fromLocalFile(dir.filePath(QStringLiteral("book.pub")))});
    QDragEnterEvent enter2(w.at(QPoint(10, 10)), Qt::CopyAction, &pub, Qt::LeftButton,
                           Qt::NoModifier);
    QApplication::sendEvent(w.view(), &enter2);
    QDropEvent drop2(QPointF(w.at(QPoint(10, 10))), Qt::CopyAction, &pub, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w.view(), &drop2);
    QCOMPARE(w.host.opened.size(), 1);
    QCOMPARE(w.page().Objects.size(), size_t(1));
}

void TestEditController::paletteAttributeDrops()
{
    Window w;
    PageObject *hollow = w.add(RectangleKind, 10, 10, 100, 100);
    hollow->FillPattern = 1;
    PageObject *thick = w.add(CircleKind, 200, 10, 300, 100);
    thick->LineWidth = 5;
    ObjectPtr group = w.pub().createObject(GroupKind);
    group->X1 = 400;
    group->Y1 = 10;
    group->X2 = 500;
    group->Y2 = 100;
    w.page().Objects.push_back(std::move(group));

    ToolAttributes values;
    values.FillColor = 0x0000FF;
    values.LineStyle = 2;
    auto dropAt = [&](PaletteAttribute which, const QPoint &p) {
        std::unique_ptr<QMimeData> data(attributeMimeData(which, values));
        QDragEnterEvent enter(w.at(p), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w.view(), &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent drop(QPointF(w.at(p)), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w.view(), &drop);
        return true;
    };
    QVERIFY(dropAt(PaletteAttribute::FillColor, QPoint(50, 50)));
    QCOMPARE(hollow->FillColor, ColorRef(0x0000FF));
    QCOMPARE(int(hollow->FillPattern), 0);
    QVERIFY(dropAt(PaletteAttribute::LineStyle, QPoint(250, 50)));
    QCOMPARE(thick->LineWidth, 1);
    QCOMPARE(int(thick->LineStyle), 2);
    QVERIFY(w.pub().Modified);
    // Refused over a group and over the bare page.
    QVERIFY(!dropAt(PaletteAttribute::FillColor, QPoint(450, 50)));
    QVERIFY(!dropAt(PaletteAttribute::FillColor, QPoint(350, 300)));

    // A palette button changes the selection only, and a hollow object stays hollow.
    hollow->FillPattern = 1;
    hollow->Selected = true;
    values.FillColor = 0x00FF00;
    QVERIFY(w.editor().applyPaletteAttribute(PaletteAttribute::FillColor, values));
    QCOMPARE(hollow->FillColor, ColorRef(0x00FF00));
    QCOMPARE(int(hollow->FillPattern), 1);
    QVERIFY(thick->FillColor != ColorRef(0x00FF00));
}

void TestEditController::pressStartsEachToolsGesture_data()
{
    QTest::addColumn<int>("tool");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<bool>("shift");
    QTest::addColumn<int>("operation");
    QTest::addColumn<bool>("handlesHidden");
    // An unselected object at (50, 50)-(100, 100), a selected one at (200, 50)-(240, 90).
    QTest::newRow("pointer, empty page: band") << int(PointerTool) << QPoint(300, 300) << false
                                                << int(EditController::Banding) << false;
    QTest::newRow("pointer, unselected object: click")
        << int(PointerTool) << QPoint(60, 60) << false << int(EditController::Clicked) << false;
    QTest::newRow("pointer, selected object: move")
        << int(PointerTool) << QPoint(220, 70) << false << int(EditController::Moving) << true;
    QTest::newRow("pointer, handle: resize")
        << int(PointerTool) << QPoint(240, 90) << false << int(EditController::Resizing) << true;
    QTest::newRow("pointer, Shift-click: no gesture")
        << int(PointerTool) << QPoint(60, 60) << true << int(EditController::None) << false;
    for (int kind = ArticleKind; kind <= TextKind; ++kind)
        QTest::addRow("drawing kind %d, on an object", kind)
            << kind << QPoint(220, 70) << false << int(EditController::Drawing) << false;
}

void TestEditController::pressStartsEachToolsGesture()
{
    QFETCH(int, tool);
    QFETCH(QPoint, at);
    QFETCH(bool, shift);
    QFETCH(int, operation);
    QFETCH(bool, handlesHidden);
    Window w;
    w.add(RectangleKind, 50, 50, 100, 100);
    w.add(RectangleKind, 200, 50, 240, 90, true);
    w.host.tool = tool;
    const Qt::KeyboardModifiers mods = shift ? Qt::ShiftModifier : Qt::NoModifier;
    w.press(at, mods);
    QCOMPARE(w.editor().currentTool().number(), tool);
    QCOMPARE(int(w.editor().operation()), operation);
    QCOMPARE(w.editor().handlesHidden(), handlesHidden);
    // The main window's refresh waits while a gesture runs, and only then.
    QCOMPARE(w.host.openGestures, operation == EditController::None ? 0 : 1);
    w.release(at, mods);
    QCOMPARE(w.editor().operation(), EditController::None);
    QVERIFY(!w.editor().handlesHidden());
    QCOMPARE(w.host.openGestures, 0);
}

void TestEditController::toolChangeWaitsForTheGesture()
{
    Window w;
    w.host.tool = RectangleKind;
    w.editor().setTool(RectangleKind);
    // A drawing tool shows its cross as soon as it is chosen.
    QCOMPARE(w.view()->cursor().shape(), Qt::BitmapCursor);
    w.press(QPoint(20, 20));
    w.moveTo(QPoint(50, 40));
    // The palette changes to the pointer during the drag: the rectangle is still drawn.
    w.host.tool = PointerTool;
    w.editor().setTool(PointerTool);
    QCOMPARE(w.editor().operation(), EditController::Drawing);
    w.moveTo(QPoint(80, 60));
    w.release(QPoint(80, 60));
    QCOMPARE(w.page().Objects.size(), size_t(1));
    QCOMPARE(boxOf(*w.page().Objects[0]), QRect(QPoint(20, 20), QPoint(80, 60)));
    // The next press belongs to the pointer: it moves the new rectangle.
    w.drag(QPoint(50, 40), QPoint(60, 50));
    QCOMPARE(w.editor().currentTool().number(), int(PointerTool));
    QCOMPARE(w.page().Objects.size(), size_t(1));
    QCOMPARE(boxOf(*w.page().Objects[0]), QRect(QPoint(30, 30), QPoint(90, 70)));
    QCOMPARE(w.view()->cursor().shape(), Qt::ArrowCursor);
}

void TestEditController::leavingTheToolsAbandonsTheirGestures()
{
    Window w;
    PageObject *a = w.add(RectangleKind, 50, 50, 100, 100, true);
    // Run mode begins during a move: nothing moves, the outline goes, the refresh resumes.
    w.press(QPoint(60, 60));
    w.moveTo(QPoint(90, 90));
    QCOMPARE(w.editor().operation(), EditController::Moving);
    w.editor().setRunning(true);
    QCOMPARE(w.editor().operation(), EditController::None);
    QCOMPARE(w.host.openGestures, 0);
    w.editor().setRunning(false);
    w.release(QPoint(90, 90));
    QCOMPARE(boxOf(*a), QRect(QPoint(50, 50), QPoint(100, 100)));
    QVERIFY(!w.editor().canUndo());
    const QImage shown = w.view()->grab().toImage();
    QCOMPARE(QColor(shown.pixel(w.at(QPoint(110, 80)))), QColor(Qt::white));

    // Another page is shown during a drawing: nothing is drawn there.
    w.host.tool = LineKind;
    Page *second = w.pub().appendPage(w.pub().createPage(QStringLiteral("Second")));
    w.press(QPoint(10, 10));
    w.moveTo(QPoint(40, 40));
    w.host.showPage(w.editor(), second);
    w.release(QPoint(40, 40));
    QCOMPARE(second->Objects.size(), size_t(0));
    QCOMPARE(w.host.openGestures, 0);
}

void TestEditController::rightClickDefinesWhateverTheTool()
{
    Window w;
    PageObject *t = w.add(TextKind, 50, 50, 150, 80);
    t->text()->Text = QStringLiteral("Old");
    w.host.dialog = [](PageObject &o) {
        o.text()->Text = QStringLiteral("New");
        return true;
    };
    w.host.tool = CircleKind;
    w.press(QPoint(60, 60), {}, Qt::RightButton);
    w.release(QPoint(60, 60), {}, Qt::RightButton);
    QCOMPARE(w.page().Objects.size(), size_t(1)); // no circle
    QCOMPARE(w.page().Objects[0]->text()->Text, QStringLiteral("New"));
    QCOMPARE(w.host.openGestures, 0);
    QVERIFY(w.editor().undo());
    QCOMPARE(w.page().Objects[0]->text()->Text, QStringLiteral("Old"));
}

void TestEditController::doubleClickOpensTheObjectsDialog()
{
    Window w;
    PageObject *button = w.add(ButtonKind, 100, 100, 200, 140);
    w.add(RectangleKind, 300, 100, 400, 200);
    int opened = 0;
    w.host.dialog = [&](PageObject &o) {
        ++opened;
        o.button()->Text = QStringLiteral("Go %1").arg(opened);
        return true;
    };
    // As the window system delivers it: press, release, double-click, release.
    auto doubleClick = [&](const QPoint &p) {
        w.press(p);
        w.release(p);
        QMouseEvent e(QEvent::MouseButtonDblClick, QPointF(w.at(p)), QPointF(w.globalAt(p)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w.view(), &e);
        w.release(p);
    };
    doubleClick(QPoint(150, 120));
    QCOMPARE(opened, 1);
    QCOMPARE(boxOf(*button), QRect(QPoint(100, 100), QPoint(200, 140)));
    QCOMPARE(w.editor().operation(), EditController::None);
    QVERIFY(!w.editor().handlesHidden());
    QCOMPARE(w.host.openGestures, 0);
    QCOMPARE(w.editor().undoStack()->undoText(), QStringLiteral("Edit Object"));

    // Again after a run: the dialog opens once more; the reader's double-click edits nothing.
    w.editor().setRunning(true);
    w.editor().setRunning(false);
    doubleClick(QPoint(150, 120));
    QCOMPARE(opened, 2);
    QCOMPARE(w.page().Objects[0]->button()->Text, QStringLiteral("Go 2"));

    // A shape has no definition dialog: the adjustment dialog opens instead.
    doubleClick(QPoint(350, 150));
    QCOMPARE(opened, 2);
    QCOMPARE(w.host.adjustments, 1);
    // Shift toggles the object twice, as two clicks do.
    button = w.page().Objects[0].get();
    w.press(QPoint(700, 500)); // on nothing: everything deselected
    w.release(QPoint(700, 500));
    w.press(QPoint(150, 120), Qt::ShiftModifier);
    w.release(QPoint(150, 120), Qt::ShiftModifier);
    QMouseEvent shifted(QEvent::MouseButtonDblClick, QPointF(w.at(QPoint(150, 120))),
                        QPointF(w.globalAt(QPoint(150, 120))), Qt::LeftButton, Qt::LeftButton,
                        Qt::ShiftModifier);
    QApplication::sendEvent(w.view(), &shifted);
    w.release(QPoint(150, 120), Qt::ShiftModifier);
    QVERIFY(!button->Selected);
    QCOMPARE(opened, 2);
    // A drawing tool's double-click starts a drawing, as its second press did before.
    w.host.tool = RectangleKind;
    doubleClick(QPoint(500, 300));
    QCOMPARE(opened, 2);
    QCOMPARE(w.host.adjustments, 1);
    QMouseEvent again(QEvent::MouseButtonDblClick, QPointF(w.at(QPoint(500, 300))),
                      QPointF(w.globalAt(QPoint(500, 300))), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(w.view(), &again);
    QCOMPARE(w.editor().operation(), EditController::Drawing);
    w.moveTo(QPoint(540, 330));
    w.release(QPoint(540, 330));
    QCOMPARE(w.page().Objects.size(), size_t(3));
}
