// The pointer tool: selecting by click, Shift-click and band, moving the selection and
// resizing one object by its handles.
#include "edittool.h"

#include "editgeometry.h"
#include "editortexts.h"
#include "pagepainter.h"

#include <QWidget>

#include <cstdlib>

namespace vardeko {

bool SelectTool::hidesHandles() const
{
    return mOp == EditController::Moving || mOp == EditController::Resizing;
}

void SelectTool::forgetTarget(const EditController *window)
{
    if (mTarget == window)
        mTarget = nullptr;
}

void SelectTool::press(const QPoint &cursor, Qt::KeyboardModifiers modifiers)
{
    const EditHit hit = editHitTest(mEditor.page()->Objects, cursor);
    if (!hit.object) {
        mOp = EditController::Banding;
        mEditor.deselectAll();
        mEditor.showReadout(edtext::SelectArea, 0, 0);
        mEditor.notifyEdited();
        return;
    }
    mHitObject = hit.object;
    if (modifiers & Qt::ShiftModifier) {
        // Toggles the object; no move follows.
        hit.object->Selected = !hit.object->Selected;
        mEditor.repaintObject(*hit.object);
        mEditor.notifyEdited();
    } else if (hit.handle != NoHandle) {
        startResize(hit.object, hit.handle, cursor);
    } else if (hit.object->Selected) {
        startMove(cursor);
    } else {
        mEditor.deselectAll();
        hit.object->Selected = true;
        mEditor.repaintObject(*hit.object);
        mOp = EditController::Clicked;
        mEditor.notifyEdited();
    }
}

void SelectTool::startMove(const QPoint &cursorPage)
{
    QRect box;
    if (!selectionBox(mEditor.page()->Objects, &box))
        return;
    mOp = EditController::Moving;
    mOutline = mStartOutline = box;
    mGrab = cursorPage - box.topLeft();
    mTargetKind = Target::ThisWindow;
    mTarget = &mEditor;
    mTargetPage = nullptr;
    mEditor.repaintSelection(); // the handles go
    mEditor.setCursorShape(customCursor(HandGrabCursor));
    mEditor.showReadout(edtext::ObjectPosition, box.x(), box.y());
    RubberShape outline;
    outline.kind = RubberShape::Kind::Outline;
    outline.rect = box;
    mEditor.setFeedback(outline);
}

void SelectTool::startResize(PageObject *object, int handle, const QPoint &cursorPage)
{
    mOp = EditController::Resizing;
    mHitObject = object;
    mHandle = handle;
    mOutline = mStartOutline = objectRect(*object);
    mStart = resizeAnchor(mOutline, cursorPage);
    mCurrent = mStart;
    mGrab = QPoint();
    mEditor.repaintObject(*object);
    mEditor.showReadout(edtext::ObjectSize, mOutline.width(), mOutline.height());
    RubberShape f;
    if (object->ObjectType == LineKind) {
        // The anchor is the end point that stays; the rubber line starts from it.
        f.kind = RubberShape::Kind::Line;
        f.from = mStart;
        f.to = mStart == lineStart(*object) ? lineEnd(*object) : lineStart(*object);
        mCurrent = f.to;
    } else {
        f.kind = RubberShape::Kind::Outline;
        f.rect = mOutline;
    }
    mEditor.setFeedback(f);
}

void SelectTool::drag(const QPoint &cursor, const ToolEvent &event)
{
    switch (mOp) {
    case EditController::Banding:
        updateBand(cursor, event.modifiers);
        break;
    case EditController::Clicked:
        // A drag from a click that selected one object moves it.
        startMove(mPressPoint);
        if (mOp == EditController::Moving)
            updateMove(event.globalPos);
        else
            endGesture();
        break;
    case EditController::Moving:
        updateMove(event.globalPos);
        break;
    case EditController::Resizing:
        updateResize(cursor, event.modifiers);
        break;
    default:
        break;
    }
}

void SelectTool::updateBand(const QPoint &cursor, Qt::KeyboardModifiers modifiers)
{
    QPoint p = mEditor.snapped(cursor);
    if (modifiers & Qt::ShiftModifier)
        p = constrainForTool(PointerTool, mStart, p);
    mCurrent = p;
    mEditor.setFeedback(spannedShape(RubberShape::Kind::Rectangle));
    mEditor.showReadout(edtext::SelectArea, std::abs(mCurrent.x() - mStart.x()),
                        std::abs(mCurrent.y() - mStart.y()));
}

void SelectTool::updateMove(const QPoint &globalPos)
{
    // Where the outline goes: this window, a page tab, another publication window.
    EditHost &host = mEditor.host();
    EditController *target = EditController::controllerFor(host.widgetAt(globalPos));
    Page *tabPage = nullptr;
    if (target && target->isRunning())
        target = nullptr;
    if (!target)
        tabPage = host.pageTabAt(mEditor, globalPos);

    if (mTarget && mTarget != &mEditor && mTarget != target)
        mTarget->setFeedback(RubberShape());
    if (target == &mEditor) {
        mTargetKind = Target::ThisWindow;
        mEditor.setCursorShape(customCursor(HandGrabCursor));
    } else if (tabPage) {
        mTargetKind = Target::PageTab;
        mEditor.setFeedback(RubberShape());
        mEditor.setCursorShape(customCursor(HandPointCursor));
    } else if (target) {
        mTargetKind = Target::OtherWindow;
        mEditor.setFeedback(RubberShape());
        mEditor.setCursorShape(customCursor(DragObjectsCursor));
    } else {
        mTargetKind = Target::None;
        mEditor.setFeedback(RubberShape());
        mEditor.setCursorShape(QCursor(Qt::ForbiddenCursor));
    }
    mTarget = target;
    mTargetPage = tabPage;
    if (!target)
        return;

    const QWidget *surface = target->workArea().surface();
    const QPoint inTarget = target->toPage(surface->mapFromGlobal(globalPos));
    const QPoint topLeft = target->snapped(inTarget - mGrab);
    mOutline.moveTopLeft(topLeft);
    RubberShape outline;
    outline.kind = RubberShape::Kind::Outline;
    outline.rect = mOutline;
    target->setFeedback(outline);
    mEditor.showReadout(edtext::ObjectPosition, topLeft.x(), topLeft.y());
}

void SelectTool::updateResize(const QPoint &cursor, Qt::KeyboardModifiers modifiers)
{
    const bool line = mHitObject && mHitObject->ObjectType == LineKind;
    QPoint p = mEditor.snapped(cursor - mGrab);
    if (modifiers & Qt::ShiftModifier)
        p = constrainForTool(line ? int(LineKind) : int(PointerTool), mStart, p);
    mCurrent = p;
    RubberShape f;
    if (line) {
        f.kind = RubberShape::Kind::Line;
        f.from = mStart;
        f.to = p;
        mOutline = spannedRect(mStart, p);
    } else {
        mOutline = resizeOutline(mStartOutline, mHandle, p);
        f.kind = RubberShape::Kind::Outline;
        f.rect = mOutline;
    }
    mEditor.setFeedback(f);
    mEditor.showReadout(edtext::ObjectSize, mOutline.width(), mOutline.height());
}

void SelectTool::hover(const QPoint &cursor)
{
    mEditor.showReadout(edtext::MousePosition, cursor.x(), cursor.y());
    const EditHit hit = editHitTest(mEditor.page()->Objects, cursor);
    if (hit.handle == NoHandle) {
        mEditor.setCursorShape(QCursor(Qt::ArrowCursor));
        return;
    }
    if (hit.object->ObjectType == LineKind) {
        mEditor.setCursorShape(customCursor(SizeAllCursor));
        return;
    }
    switch (hit.handle) {
    case TopHandle:
    case BottomHandle:
        mEditor.setCursorShape(QCursor(Qt::SizeVerCursor));
        break;
    case TopRightHandle:
    case BottomLeftHandle:
        mEditor.setCursorShape(QCursor(Qt::SizeBDiagCursor));
        break;
    case RightHandle:
    case LeftHandle:
        mEditor.setCursorShape(QCursor(Qt::SizeHorCursor));
        break;
    default:
        mEditor.setCursorShape(QCursor(Qt::SizeFDiagCursor));
        break;
    }
}

void SelectTool::finish(Qt::KeyboardModifiers modifiers)
{
    switch (mOp) {
    case EditController::Moving:
        finishMove(modifiers);
        break;
    case EditController::Resizing:
        mEditor.setFeedback(RubberShape());
        finishResize();
        break;
    case EditController::Banding:
        mEditor.setFeedback(RubberShape());
        selectInside(mEditor.page()->Objects, spannedRect(mStart, mCurrent));
        mEditor.repaint();
        break;
    default:
        break; // a click: the handles come back
    }
}

void SelectTool::doubleClick(const QPoint &cursor, const ToolEvent &event)
{
    // Where a second press came first, it selected the object or began to move it, and
    // nothing has moved yet.
    const bool pressed = mOp == EditController::Clicked
        || (mOp == EditController::Moving && mOutline.topLeft() == mStartOutline.topLeft());
    const EditHit hit = editHitTest(mEditor.page()->Objects, cursor);
    if ((event.modifiers & Qt::ShiftModifier) || !hit.object || hit.handle != NoHandle
        || (busy() && !pressed)) {
        EditTool::doubleClick(cursor, event);
        return;
    }
    cancel();
    // The definition dialog of its kind; the adjustment dialog for shapes and groups,
    // or with Ctrl, as the right button does.
    const bool adjust = (event.modifiers & Qt::ControlModifier)
        || !EditController::hasDefinitionDialog(*hit.object);
    mEditor.objectDialogAt(cursor, adjust);
}

void SelectTool::finishMove(Qt::KeyboardModifiers modifiers)
{
    const bool ctrl = modifiers & Qt::ControlModifier;
    mEditor.setFeedback(RubberShape());
    const QPoint offset = mOutline.topLeft() - mStartOutline.topLeft();
    switch (mTargetKind) {
    case Target::ThisWindow:
        if (offset.isNull())
            break; // a click, even with Ctrl, copies nothing
        if (ctrl)
            mEditor.copySelection(offset);
        else
            mEditor.moveSelection(offset, false);
        break;
    case Target::PageTab:
        mEditor.moveSelectionToPage(mTargetPage, ctrl);
        break;
    case Target::OtherWindow:
        if (mTarget)
            mEditor.moveSelectionToWindow(*mTarget, offset, ctrl);
        break;
    case Target::None:
        break;
    }
}

void SelectTool::finishResize()
{
    PageObject *object = mHitObject;
    if (!object)
        return;
    mEditor.edit(edtext::step::Resize, [&](Page &) {
        if (object->ObjectType == LineKind) {
            const QRect box = spannedRect(mStart, mCurrent);
            object->X1 = box.x();
            object->Y1 = box.y();
            object->X2 = rightEdge(box);
            object->Y2 = bottomEdge(box);
            object->LineOrigin = lineOriginFor(mStart, mCurrent);
        } else {
            resizeEdges(*object, mOutline.x() - mStartOutline.x(), mOutline.y() - mStartOutline.y(),
                        rightEdge(mOutline) - rightEdge(mStartOutline),
                        bottomEdge(mOutline) - bottomEdge(mStartOutline));
        }
        return true;
    });
}

void SelectTool::reset()
{
    mHitObject = nullptr;
    mHandle = 0;
    if (mTarget && mTarget != &mEditor)
        mTarget->setFeedback(RubberShape());
    mTarget = nullptr;
    mTargetPage = nullptr;
    mTargetKind = Target::None;
}

} // namespace vardeko
