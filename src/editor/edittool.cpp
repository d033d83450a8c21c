// The gesture frame every tool shares, and the drawing tools.
#include "edittool.h"

#include "editgeometry.h"
#include "editortexts.h"

#include <cstdlib>

namespace vardeko {

EditTool::EditTool(EditController &editor)
    : mEditor(editor)
{
}

EditTool::~EditTool() = default;

void EditTool::activate()
{
    mEditor.setCursorShape(idleCursor());
}

void EditTool::deactivate()
{
    cancel();
}

void EditTool::mousePress(const ToolEvent &event)
{
    if (!mEditor.page() || mEditor.isRunning() || busy())
        return; // no page, the run session's mouse, or a second button during a gesture
    const QPoint cursor = mEditor.toPage(event.pos);
    if (event.button == Qt::RightButton) {
        mEditor.objectDialogAt(cursor, event.modifiers & Qt::ControlModifier);
        return;
    }
    if (event.button != Qt::LeftButton)
        return;
    mPressPoint = cursor;
    mStart = mCurrent = mEditor.snapped(cursor);
    mGestureOpen = true;
    mEditor.host().gestureStarted();
    press(cursor, event.modifiers);
    if (!busy() && mGestureOpen)
        endGesture(); // a press that completed its work (a Shift-click)
}

void EditTool::mouseMove(const ToolEvent &event)
{
    if (!mEditor.page() || mEditor.isRunning())
        return;
    const QPoint cursor = mEditor.toPage(event.pos);
    if (busy())
        drag(cursor, event);
    else
        hover(cursor);
}

void EditTool::mouseRelease(const ToolEvent &event)
{
    if (!mEditor.page() || mEditor.isRunning() || event.button != Qt::LeftButton || !busy())
        return;
    const QPoint cursor = mEditor.toPage(event.pos);
    mEditor.showReadout(edtext::MousePosition, cursor.x(), cursor.y());
    finish(event.modifiers);
    endGesture();
    mEditor.notifyEdited();
}

void EditTool::mouseDoubleClick(const ToolEvent &event)
{
    if (!mEditor.page() || mEditor.isRunning())
        return;
    if (event.button != Qt::LeftButton) {
        mousePress(event);
        return;
    }
    doubleClick(mEditor.toPage(event.pos), event);
}

void EditTool::doubleClick(const QPoint &, const ToolEvent &event)
{
    mousePress(event);
}

void EditTool::cancel()
{
    if (!busy())
        return;
    mEditor.showReadout(edtext::MousePosition, mCurrent.x(), mCurrent.y());
    // Nothing was changed yet.
    endGesture();
    mEditor.notifyEdited();
}

void EditTool::endGesture()
{
    mOp = EditController::None;
    reset();
    mEditor.setFeedback(RubberShape());
    mEditor.setCursorShape(idleCursor());
    mEditor.repaintSelection(); // the handles come back
    if (mGestureOpen) {
        mGestureOpen = false;
        mEditor.host().gestureFinished();
    }
}

RubberShape EditTool::spannedShape(RubberShape::Kind kind, bool cross) const
{
    RubberShape shape;
    shape.kind = kind;
    shape.rect = spannedRect(mStart, mCurrent);
    shape.from = mStart;
    shape.to = mCurrent;
    shape.cross = cross;
    return shape;
}

// --- drawing tools

DrawTool::DrawTool(EditController &editor, int kind)
    : EditTool(editor)
    , mKind(kind)
{
}

QCursor DrawTool::idleCursor() const
{
    return customCursor(CrossCursor);
}

void DrawTool::press(const QPoint &, Qt::KeyboardModifiers)
{
    mOp = EditController::Drawing;
    mEditor.deselectAll();
    mEditor.showReadout(edtext::ObjectSize, 0, 0);
    mEditor.notifyEdited();
}

void DrawTool::drag(const QPoint &page, const ToolEvent &event)
{
    QPoint p = mEditor.snapped(page);
    if (event.modifiers & Qt::ShiftModifier)
        p = constrainForTool(mKind, mStart, p);
    mCurrent = p;
    using Kind = RubberShape::Kind;
    if (mKind == LineKind)
        mEditor.setFeedback(spannedShape(Kind::Line, false));
    else if (mKind == CircleKind)
        mEditor.setFeedback(spannedShape(Kind::Ellipse));
    else if (mKind == RectangleKind && (event.modifiers & Qt::ControlModifier))
        mEditor.setFeedback(spannedShape(Kind::RoundRectangle));
    else
        mEditor.setFeedback(spannedShape(Kind::Rectangle));
    mEditor.showReadout(edtext::ObjectSize, std::abs(mCurrent.x() - mStart.x()),
                        std::abs(mCurrent.y() - mStart.y()));
}

void DrawTool::hover(const QPoint &)
{
    mEditor.setCursorShape(idleCursor());
}

void DrawTool::finish(Qt::KeyboardModifiers modifiers)
{
    mEditor.setFeedback(RubberShape());
    // A click makes a Text object only; the shapes need a size.
    if (mKind != TextKind && mCurrent == mStart)
        return;
    quint8 origin = 0;
    if (mKind == LineKind)
        origin = lineOriginFor(mStart, mCurrent);
    else if (mKind == RectangleKind)
        origin = (modifiers & Qt::ControlModifier) ? 1 : 0;
    mEditor.createObject(mKind, spannedRect(mStart, mCurrent), origin);
}

} // namespace vardeko
