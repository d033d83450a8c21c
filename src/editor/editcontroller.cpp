// Direct manipulation of a publication window's current page: the mouse gestures and
// their rubber feedback, keys, the editing commands and the single-level undo.
#include "editcontroller.h"

#include "editgeometry.h"
#include "editortexts.h"
#include "ioerrors.h"
#include "paletteattributes.h"
#include "pagepainter.h"
#include "textmeasurer.h"

#include <QApplication>
#include <QHash>
#include <QPainter>
#include <QPixmap>
#include <QUndoStack>
#include <QWidget>

#include <algorithm>
#include <cstdlib>

// Resources of a static library are registered by hand.
static void initEditorResources()
{
    Q_INIT_RESOURCE(editor);
}

namespace vardeko {

namespace {

struct CursorResource
{
    const char *name;
    QPoint hotSpot;
};
// Numbers 1 to 8, in order.
const CursorResource CursorResources[] = {
    {"CCROSS", {15, 15}},     {"CHANDGRAB", {15, 12}},   {"CHANDPOINT", {11, 4}},
    {"CSIZEALL", {15, 15}},   {"CPAINTDRAG", {4, 4}},    {"CDRAGOBJECTS", {2, 2}},
    {"CHANDOPEN", {15, 12}},  {"CDRAGPAGE", {2, 2}},
};

QList<EditController *> &controllers()
{
    static QList<EditController *> list;
    return list;
}

EditHost &nullHost()
{
    static EditHost host;
    return host;
}

// Grown by the handles' reach, for repainting what handles and outlines touched.
QRect grown(const QRect &r, int by = 4)
{
    return r.adjusted(-by, -by, by + 1, by + 1);
}

QRect objectsArea(const ObjectList &stack, bool selectedOnly)
{
    QRect area;
    for (const ObjectPtr &o : stack)
        if (!selectedOnly || o->Selected)
            area |= paintedBounds(*o);
    return area;
}

} // namespace

QCursor customCursor(int number)
{
    static QHash<int, QCursor> cache;
    static const bool registered = (initEditorResources(), true);
    Q_UNUSED(registered);
    if (number < 1 || number > 8)
        return QCursor(Qt::ArrowCursor);
    auto it = cache.find(number);
    if (it == cache.end()) {
        const CursorResource &r = CursorResources[number - 1];
        const QPixmap pixmap(QStringLiteral(":/cursors/") + QLatin1String(r.name));
        // A missing resource must not leave an invisible cursor behind.
        const QCursor cursor = pixmap.isNull() ? QCursor(Qt::CrossCursor)
                                               : QCursor(pixmap, r.hotSpot.x(), r.hotSpot.y());
        it = cache.insert(number, cursor);
    }
    return *it;
}

QWidget *EditHost::widgetAt(const QPoint &globalPos) const
{
    return QApplication::widgetAt(globalPos);
}

EditController::EditController(Publication &pub, WorkArea &area, QObject *parent)
    : QObject(parent)
    , mPub(pub)
    , mArea(area)
    , mHost(&nullHost())
    , mUndo(new QUndoStack(this))
{
    controllers().append(this);
    // Unlimited: every step is kept until the window closes.
    mUndo->setUndoLimit(0);
    // Also when the history window moves through the steps.
    connect(mUndo, &QUndoStack::indexChanged, this, [this] {
        setModifiedFromHistory();
        emit edited();
    });
}

EditController::~EditController()
{
    controllers().removeAll(this);
    for (EditController *c : std::as_const(controllers()))
        if (c->mTarget == this)
            c->mTarget = nullptr;
}

void EditController::setHost(EditHost *host)
{
    mHost = host ? host : &nullHost();
}

EditController *EditController::controllerFor(const QWidget *widget)
{
    for (EditController *c : std::as_const(controllers())) {
        const QWidget *surface = c->mArea.surface();
        if (widget && surface && (widget == surface || surface->isAncestorOf(widget)))
            return c;
    }
    return nullptr;
}

void EditController::setRunning(bool running)
{
    if (mOp != None)
        cancelGesture();
    mRunning = running;
}

EditSettings EditController::settings() const
{
    return mHost->editSettings();
}

QPoint EditController::toPage(const QPoint &surfacePos) const
{
    return surfacePos - mArea.pageOrigin();
}

QPoint EditController::snapped(const QPoint &page) const
{
    const EditSettings s = settings();
    return s.snapToGrid ? snapToGrid(page, s.gridX, s.gridY) : page;
}

void EditController::showReadout(const QString &caption, int a, int b)
{
    mHost->showReadout(caption, a, b);
}

void EditController::setCursorShape(const QCursor &cursor)
{
    if (QWidget *w = mArea.surface())
        w->setCursor(cursor);
}

void EditController::setModified()
{
    mPub.Modified = true;
}

void EditController::repaint(const QRect &pageArea)
{
    QWidget *w = mArea.surface();
    if (!w)
        return;
    if (pageArea.isNull())
        w->update();
    else
        w->update(pageArea.translated(mArea.pageOrigin()));
}

// --- feedback

QRect EditController::feedbackBounds(const Feedback &f)
{
    switch (f.kind) {
    case ShapeKind::NoShape:
        return QRect();
    case ShapeKind::Line:
        return grown(spannedRect(f.from, f.to), 2);
    default:
        return grown(f.rect, 3);
    }
}

void EditController::setFeedback(const Feedback &feedback)
{
    const QRect old = feedbackBounds(mFeedback);
    mFeedback = feedback;
    const QRect now = feedbackBounds(mFeedback);
    if (!old.isNull())
        repaint(old);
    if (!now.isNull())
        repaint(now);
}

void EditController::paintFeedback(QPainter &painter) const
{
    if (mFeedback.empty())
        return;
    painter.save();
    // A black pen in not-XOR mode inverts what lies beneath, as the rubber shapes did.
    painter.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(Qt::black, 0, Qt::SolidLine));
    painter.setBrush(Qt::NoBrush);
    const QRect &r = mFeedback.rect;
    // QPainter outlines a rectangle one pixel wider than its width; draw the edges.
    const QRect edges(r.x(), r.y(), std::max(0, r.width() - 1), std::max(0, r.height() - 1));
    switch (mFeedback.kind) {
    case ShapeKind::Rectangle:
    case ShapeKind::Outline:
        painter.drawRect(edges);
        break;
    case ShapeKind::RoundRectangle: {
        const int c = roundedCorner(r);
        painter.drawRoundedRect(edges, c / 2.0, c / 2.0);
        break;
    }
    case ShapeKind::Ellipse:
        painter.drawEllipse(edges);
        painter.drawRect(edges);
        break;
    case ShapeKind::Line:
        painter.drawLine(mFeedback.from, mFeedback.to);
        break;
    case ShapeKind::NoShape:
        break;
    }
    if (mFeedback.cross) {
        const QPoint c(r.x() + r.width() / 2, r.y() + r.height() / 2);
        // Arms from one pixel before to two pixels past the centre.
        painter.drawLine(c.x() - 1, c.y(), c.x() + 1, c.y());
        // The centre is inverted once, by the horizontal arm only.
        painter.drawPoint(c.x(), c.y() - 1);
        painter.drawPoint(c.x(), c.y() + 1);
    }
    painter.restore();
}

// --- mouse

void EditController::mousePress(Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                                const QPoint &pos, const QPoint &globalPos)
{
    Page *current = page();
    if (!current)
        return;
    const QPoint cursor = toPage(pos);
    if (mRunning)
        return; // the run session has the reader's mouse
    if (mOp != None)
        return; // a second button during a gesture
    if (button == Qt::RightButton) {
        const EditHit hit = editHitTest(current->Objects, cursor);
        if (!hit.object)
            return;
        QWidget *parent = mArea.surface();
        bool changed = false;
        const QRect oldBox = objectRect(*hit.object);
        beginStep();
        const bool adjusting = modifiers & Qt::ControlModifier;
        if (adjusting) {
            if (!hit.object->Selected) {
                deselectAll();
                hit.object->Selected = true;
            }
            changed = mHost->adjustObjects(parent, mPub, *current);
        } else {
            changed = mHost->defineObject(parent, mPub, *hit.object, oldBox, false);
        }
        if (changed)
            commitStep(adjusting ? edtext::step::AdjustObject : edtext::step::EditObject);
        else
            cancelStep();
        emit edited();
        return;
    }
    if (button != Qt::LeftButton)
        return;

    mPressPoint = cursor;
    mStart = mCurrent = snapped(cursor);
    mPressModifiers = mLastModifiers = modifiers;
    mTool = mHost->currentTool();
    mHost->gestureStarted();

    if (mTool >= ArticleKind && mTool <= TextKind) {
        mOp = Drawing;
        deselectAll();
        showReadout(edtext::ObjectSize, 0, 0);
        emit edited();
        return;
    }
    const EditHit hit = editHitTest(current->Objects, cursor);
    if (hit.object) {
        mHitObject = hit.object;
        if (modifiers & Qt::ShiftModifier) {
            hit.object->Selected = !hit.object->Selected;
            repaint(grown(paintedBounds(*hit.object), 6));
            emit edited();
            endGesture();
        } else if (hit.handle != NoHandle) {
            startResize(hit.object, hit.handle, cursor);
        } else if (hit.object->Selected) {
            startMove(cursor);
        } else {
            deselectAll();
            hit.object->Selected = true;
            repaint(grown(paintedBounds(*hit.object), 6));
            mOp = Clicked;
            emit edited();
        }
        return;
    }
    mOp = Banding;
    deselectAll();
    showReadout(edtext::SelectArea, 0, 0);
    emit edited();
}

void EditController::startMove(const QPoint &cursorPage)
{
    QRect box;
    if (!selectionBox(page()->Objects, &box)) {
        endGesture();
        return;
    }
    mOp = Moving;
    mOutline = mStartOutline = box;
    mGrab = cursorPage - box.topLeft();
    mTargetKind = TargetKind::ThisWindow;
    mTarget = this;
    mTargetPage = nullptr;
    repaint(grown(box, 6)); // the handles go
    setCursorShape(customCursor(HandGrabCursor));
    showReadout(edtext::ObjectPosition, box.x(), box.y());
    Feedback f;
    f.kind = ShapeKind::Outline;
    f.rect = box;
    setFeedback(f);
}

void EditController::startResize(PageObject *object, int handle, const QPoint &cursorPage)
{
    mOp = Resizing;
    mHitObject = object;
    mHandle = handle;
    mOutline = mStartOutline = objectRect(*object);
    mStart = resizeAnchor(mOutline, cursorPage);
    mCurrent = object->ObjectType == LineKind ? cursorPage : mStart;
    mGrab = QPoint();
    repaint(grown(paintedBounds(*object), 6));
    showReadout(edtext::ObjectSize, mOutline.width(), mOutline.height());
    Feedback f;
    if (object->ObjectType == LineKind) {
        f.kind = ShapeKind::Line;
        f.from = mStart;
        f.to = mStart == lineStart(*object) ? lineEnd(*object) : lineStart(*object);
        mCurrent = f.to;
    } else {
        f.kind = ShapeKind::Outline;
        f.rect = mOutline;
    }
    setFeedback(f);
}

void EditController::mouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers,
                               const QPoint &pos, const QPoint &globalPos)
{
    if (!page())
        return;
    const QPoint cursor = toPage(pos);
    if (mRunning)
        return;
    mLastModifiers = modifiers;
    switch (mOp) {
    case Drawing:
    case Banding:
        updateDrawing(cursor, modifiers);
        break;
    case Clicked:
        startMove(mPressPoint);
        if (mOp == Moving)
            updateMove(globalPos);
        break;
    case Moving:
        updateMove(globalPos);
        break;
    case Resizing:
        updateResize(cursor, modifiers);
        break;
    case None:
        hoverCursor(cursor);
        break;
    }
}

void EditController::updateDrawing(const QPoint &cursor, Qt::KeyboardModifiers modifiers)
{
    QPoint p = snapped(cursor);
    if (modifiers & Qt::ShiftModifier)
        p = constrainForTool(mOp == Banding ? int(PointerTool) : mTool, mStart, p);
    mCurrent = p;
    Feedback f;
    f.rect = spannedRect(mStart, mCurrent);
    f.cross = true;
    if (mOp == Banding) {
        f.kind = ShapeKind::Rectangle;
    } else if (mTool == LineKind) {
        f.kind = ShapeKind::Line;
        f.from = mStart;
        f.to = mCurrent;
        f.cross = false;
    } else if (mTool == CircleKind) {
        f.kind = ShapeKind::Ellipse;
    } else if (mTool == RectangleKind && (modifiers & Qt::ControlModifier)) {
        f.kind = ShapeKind::RoundRectangle;
    } else {
        f.kind = ShapeKind::Rectangle;
    }
    setFeedback(f);
    showReadout(mOp == Banding ? QString(edtext::SelectArea) : QString(edtext::ObjectSize),
                std::abs(mCurrent.x() - mStart.x()), std::abs(mCurrent.y() - mStart.y()));
}

void EditController::updateMove(const QPoint &globalPos)
{
    // Where the outline goes: this window, a page tab, another publication window.
    QWidget *under = mHost->widgetAt(globalPos);
    EditController *target = controllerFor(under);
    Page *tabPage = nullptr;
    if (target && target->isRunning())
        target = nullptr;
    if (!target)
        tabPage = mHost->pageTabAt(*this, globalPos);

    if (mTarget && mTarget != this && mTarget != target)
        mTarget->setFeedback(Feedback());
    Feedback none;
    if (target == this) {
        mTargetKind = TargetKind::ThisWindow;
        setCursorShape(customCursor(HandGrabCursor));
    } else if (tabPage) {
        mTargetKind = TargetKind::PageTab;
        setFeedback(none);
        setCursorShape(customCursor(HandPointCursor));
    } else if (target) {
        mTargetKind = TargetKind::OtherWindow;
        setFeedback(none);
        setCursorShape(customCursor(DragObjectsCursor));
    } else {
        mTargetKind = TargetKind::NoTarget;
        setFeedback(none);
        setCursorShape(QCursor(Qt::ForbiddenCursor));
    }
    mTarget = target;
    mTargetPage = tabPage;
    if (!target)
        return;

    QWidget *surface = target->mArea.surface();
    const QPoint inTarget = surface->mapFromGlobal(globalPos) - target->mArea.pageOrigin();
    const QPoint topLeft = target->snapped(inTarget - mGrab);
    mOutline.moveTopLeft(topLeft);
    Feedback f;
    f.kind = ShapeKind::Outline;
    f.rect = mOutline;
    target->setFeedback(f);
    showReadout(edtext::ObjectPosition, topLeft.x(), topLeft.y());
}

void EditController::updateResize(const QPoint &cursor, Qt::KeyboardModifiers modifiers)
{
    const bool line = mHitObject && mHitObject->ObjectType == LineKind;
    QPoint p = snapped(cursor - mGrab);
    if (modifiers & Qt::ShiftModifier)
        p = constrainForTool(line ? int(LineKind) : int(PointerTool), mStart, p);
    mCurrent = p;
    Feedback f;
    if (line) {
        f.kind = ShapeKind::Line;
        f.from = mStart;
        f.to = p;
        mOutline = spannedRect(mStart, p);
    } else {
        mOutline = resizeOutline(mStartOutline, mHandle, p);
        f.kind = ShapeKind::Outline;
        f.rect = mOutline;
    }
    setFeedback(f);
    showReadout(edtext::ObjectSize, mOutline.width(), mOutline.height());
}

void EditController::hoverCursor(const QPoint &cursor)
{
    const int tool = mHost->currentTool();
    if (tool != PointerTool) {
        setCursorShape(customCursor(CrossCursor));
        return;
    }
    showReadout(edtext::MousePosition, cursor.x(), cursor.y());
    const EditHit hit = editHitTest(page()->Objects, cursor);
    if (hit.handle == NoHandle) {
        setCursorShape(QCursor(Qt::ArrowCursor));
        return;
    }
    if (hit.object->ObjectType == LineKind) {
        setCursorShape(customCursor(SizeAllCursor));
        return;
    }
    switch (hit.handle) {
    case TopHandle:
    case BottomHandle:
        setCursorShape(QCursor(Qt::SizeVerCursor));
        break;
    case TopRightHandle:
    case BottomLeftHandle:
        setCursorShape(QCursor(Qt::SizeBDiagCursor));
        break;
    case RightHandle:
    case LeftHandle:
        setCursorShape(QCursor(Qt::SizeHorCursor));
        break;
    default:
        setCursorShape(QCursor(Qt::SizeFDiagCursor));
        break;
    }
}

void EditController::mouseRelease(Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                                  const QPoint &pos, const QPoint &globalPos)
{
    if (!page())
        return;
    const QPoint cursor = toPage(pos);
    if (mRunning)
        return;
    if (button != Qt::LeftButton || mOp == None)
        return;
    showReadout(edtext::MousePosition, cursor.x(), cursor.y());
    switch (mOp) {
    case Drawing:
        setFeedback(Feedback());
        finishDrawing(modifiers);
        break;
    case Moving:
        finishMove(modifiers);
        break;
    case Resizing:
        setFeedback(Feedback());
        finishResize();
        break;
    case Banding:
        setFeedback(Feedback());
        finishBanding();
        break;
    case Clicked:
    case None:
        break;
    }
    endGesture();
    emit edited();
}

void EditController::endGesture()
{
    const bool wasGesture = mOp != None;
    mOp = None;
    mHitObject = nullptr;
    mHandle = 0;
    if (mTarget && mTarget != this)
        mTarget->setFeedback(Feedback());
    mTarget = nullptr;
    mTargetPage = nullptr;
    mTargetKind = TargetKind::NoTarget;
    setFeedback(Feedback());
    setCursorShape(QCursor(Qt::ArrowCursor));
    if (page()) {
        QRect box;
        if (selectionBox(page()->Objects, &box))
            repaint(grown(box, 6)); // the handles come back
    }
    if (wasGesture)
        mHost->gestureFinished();
}

void EditController::cancelGesture()
{
    if (mOp == None)
        return;
    showReadout(edtext::MousePosition, mCurrent.x(), mCurrent.y());
    // Nothing was changed yet; a snapshot taken for a move or resize stays valid.
    endGesture();
    emit edited();
}

void EditController::finishDrawing(Qt::KeyboardModifiers modifiers)
{
    if (mTool != TextKind && mCurrent == mStart)
        return;
    createObject(mTool, spannedRect(mStart, mCurrent), modifiers & Qt::ControlModifier);
}

void EditController::createObject(int kind, const QRect &box, bool ctrl)
{
    Page *current = page();
    beginStep();
    ObjectPtr object = mPub.createObject(kind, mHost->toolAttributes());
    if (!object) {
        // At the object limit nothing is made, silently.
        cancelStep();
        return;
    }
    object->Selected = true;
    object->X1 = box.x();
    object->Y1 = box.y();
    object->X2 = rightEdge(box);
    object->Y2 = bottomEdge(box);
    QWidget *parent = mArea.surface();
    bool accepted = true;
    switch (kind) {
    case ArticleKind: {
        const QString file = mHost->chooseOpenFile(parent, edtext::SelectArticle, edtext::ArticleFilter,
                                                   DialogFolder::Articles);
        accepted = !file.isEmpty();
        if (accepted)
            object->article()->FileName = file;
        break;
    }
    case PictureKind: {
        const QString file = mHost->chooseOpenFile(parent, edtext::SelectImage, edtext::ImageFilter,
                                                   DialogFolder::Images);
        accepted = !file.isEmpty();
        if (accepted)
            object->picture()->FileName = file;
        break;
    }
    case ButtonKind:
        accepted = mHost->defineObject(parent, mPub, *object, box, true);
        break;
    case TextKind:
        accepted = mHost->defineObject(parent, mPub, *object, box, true)
            && !object->text()->Text.isEmpty();
        break;
    case RectangleKind:
        object->LineOrigin = ctrl ? 1 : 0;
        break;
    case LineKind:
        object->LineOrigin = lineOriginFor(mStart, mCurrent);
        break;
    default:
        break;
    }
    if (!accepted || page() != current) {
        cancelStep();
        return; // the new object dies here
    }
    if (kind == TextKind && (object->X2 - object->X1 < 10 || object->Y2 - object->Y1 < 10))
        fitText(*object, QtTextMeasurer());
    addObject(std::move(object));
    commitStep(edtext::step::Draw);
}

void EditController::addObject(ObjectPtr object)
{
    Page *current = page();
    if (!current || !object)
        return;
    const QRect area = paintedBounds(*object);
    current->Objects.push_back(std::move(object));
    repaint(grown(area, 6));
    setModified();
}

void EditController::finishMove(Qt::KeyboardModifiers modifiers)
{
    const bool ctrl = modifiers & Qt::ControlModifier;
    setFeedback(Feedback());
    const int dx = mOutline.x() - mStartOutline.x();
    const int dy = mOutline.y() - mStartOutline.y();
    switch (mTargetKind) {
    case TargetKind::ThisWindow:
        if (dx == 0 && dy == 0)
            break; // a click, even with Ctrl, copies nothing
        if (ctrl)
            edit(edtext::step::Copy,
                 [this, dx, dy](Page &page) { return copySelectedTo(mPub, page, dx, dy); });
        else
            moveSelection(QPoint(dx, dy), false);
        break;
    case TargetKind::PageTab:
        moveToPage(mTargetPage, ctrl);
        break;
    case TargetKind::OtherWindow:
        if (mTarget)
            moveToOtherWindow(*mTarget, ctrl);
        break;
    case TargetKind::NoTarget:
        break;
    }
}

// Copies the selected objects of the current page onto `target` of `into`, offset and
// selected on top of it, the rest of it deselected; the copies count against `into`.
bool EditController::copySelectedTo(Publication &into, Page &target, int dx, int dy)
{
    Page *source = page();
    if (copySelectedToPage(into, *source, target, dx, dy, false) == CopyResult::OutOfMemory) {
        mHost->alert(mArea.surface(), edtext::ErrorTitle, ioErrorMessage(IoOutOfMemory));
        return false;
    }
    return true;
}

void EditController::moveToPage(Page *target, bool keepSource)
{
    Page *source = page();
    if (!target || target == source)
        return;
    const QString text = keepSource ? edtext::step::CopyToPage : edtext::step::MoveToPage;
    ObjectList sourceBefore, targetBefore;
    const bool recorded = settings().undo && copyStack(*target, targetBefore)
        && (keepSource || copyStack(*source, sourceBefore));
    if (copySelectedToPage(mPub, *source, *target, 0, 0, !keepSource) == CopyResult::OutOfMemory) {
        mHost->alert(mArea.surface(), edtext::ErrorTitle, ioErrorMessage(IoOutOfMemory));
        return;
    }
    setModified();
    if (recorded) {
        // One step with a part for each page; undoing it ends on the source page.
        auto *step = new QUndoCommand(text);
        if (!keepSource)
            new ObjectsStep(*this, source, std::move(sourceBefore), text, step);
        new ObjectsStep(*this, target, std::move(targetBefore), text, step);
        mUndo->push(step);
    } else {
        forgetHistory();
    }
    mHost->showPage(*this, target);
    repaint();
    emit edited();
}

void EditController::moveToOtherWindow(EditController &target, bool keepSource)
{
    Page *source = page();
    Page *into = target.page();
    if (!source || !into)
        return;
    const int dx = mOutline.x() - mStartOutline.x();
    const int dy = mOutline.y() - mStartOutline.y();
    const bool copied = target.edit(keepSource ? edtext::step::CopyToWindow : edtext::step::DropObjects,
                                    [&](Page &page) { return copySelectedTo(target.mPub, page, dx, dy); });
    if (copied && !keepSource)
        edit(edtext::step::MoveToWindow, [](Page &page) {
            std::erase_if(page.Objects, [](const ObjectPtr &o) { return o->Selected; });
            return true;
        });
}

void EditController::finishResize()
{
    PageObject *object = mHitObject;
    if (!object)
        return;
    beginStep();
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
    setModified();
    commitStep(edtext::step::Resize);
}

void EditController::finishBanding()
{
    selectInside(page()->Objects, spannedRect(mStart, mCurrent));
    repaint();
}

// --- keys

bool EditController::keyPress(int key, Qt::KeyboardModifiers modifiers)
{
    if (mRunning || !page())
        return false;
    if (key == Qt::Key_Escape && mOp != None) {
        cancelGesture();
        return true;
    }
    if (mOp != None)
        return false;
    switch (key) {
    case Qt::Key_PageUp:
        mHost->stepPage(*this, -1);
        return true;
    case Qt::Key_PageDown:
        mHost->stepPage(*this, 1);
        return true;
    case Qt::Key_Delete:
        if (modifiers != Qt::NoModifier)
            return false; // Ctrl+Del and Shift+Del are menu short cuts
        return deleteSelection();
    default:
        break;
    }
    const QPoint step = nudgeOffset(key);
    if (step.isNull())
        return false;
    nudge(step.x(), step.y());
    return true;
}

// --- commands

int EditController::selectedCount() const
{
    return page() ? countSelected(page()->Objects) : 0;
}

bool EditController::hasObjects() const
{
    return page() && !page()->Objects.empty();
}

bool EditController::deselectAll()
{
    Page *current = page();
    if (!current || countSelected(current->Objects) == 0)
        return false;
    const QRect area = objectsArea(current->Objects, true);
    vardeko::selectAll(current->Objects, false);
    repaint(grown(area, 6));
    return true;
}

bool EditController::selectAll()
{
    if (!hasObjects())
        return false;
    // A selection is not a change of the page: it is no step of the history.
    vardeko::selectAll(page()->Objects, true);
    repaint();
    emit edited();
    return true;
}

bool EditController::deleteSelection()
{
    if (selectedCount() == 0)
        return false;
    return edit(edtext::step::Delete,
                [this](Page &page) { return !deleteSelected(mPub, page).isNull(); });
}

bool EditController::duplicateSelection()
{
    if (selectedCount() == 0)
        return false;
    const EditSettings s = settings();
    edit(edtext::step::Duplicate,
         [this, s](Page &page) { return copySelectedTo(mPub, page, s.gridX, s.gridY); });
    return true;
}

bool EditController::group()
{
    if (selectedCount() < 2)
        return false;
    return edit(edtext::step::Group, [this](Page &page) {
        groupSelected(mPub, page);
        return true;
    });
}

bool EditController::ungroup()
{
    PageObject *first = page() ? firstSelected(page()->Objects) : nullptr;
    if (!first)
        return false;
    bool anyGroup = false;
    for (const ObjectPtr &o : page()->Objects)
        anyGroup = anyGroup || (o->Selected && o->isGroup());
    if (!anyGroup)
        return false;
    return edit(edtext::step::UnGroup, [this](Page &page) {
        ungroupSelected(mPub, page);
        return true;
    });
}

bool EditController::bringToFront()
{
    if (selectedCount() == 0)
        return false;
    return edit(edtext::step::BringToFront, [this](Page &page) {
        vardeko::bringToFront(mPub, page);
        return true;
    });
}

bool EditController::sendToBack()
{
    if (selectedCount() == 0)
        return false;
    return edit(edtext::step::SendToBack, [this](Page &page) {
        vardeko::sendToBack(mPub, page);
        return true;
    });
}

bool EditController::align(const AlignChoice &choice)
{
    Page *current = page();
    QRect box;
    if (!current || !selectionBox(current->Objects, &box))
        return false;
    const QRect reference = choice.relative
        ? box
        : QRect(0, 0, mPub.Settings.ScreenWidth, mPub.Settings.ScreenHeight);
    return edit(edtext::step::Align, [&](Page &page) {
        for (ObjectPtr &o : page.Objects) {
            if (!o->Selected)
                continue;
            const QPoint d = alignOffset(objectRect(*o), reference, choice.horizontal, choice.vertical);
            offsetObject(*o, d.x(), d.y());
        }
        return true;
    });
}

bool EditController::alignWithDialog()
{
    const int count = selectedCount();
    if (count == 0)
        return false;
    AlignChoice choice;
    if (!mHost->chooseAlignment(mArea.surface(), count, &choice))
        return false;
    // Relative alignment needs something to be relative to.
    if (count < 2)
        choice.relative = false;
    return align(choice);
}

bool EditController::nudge(int dx, int dy)
{
    Page *current = page();
    if (!current || countSelected(current->Objects) == 0 || (dx == 0 && dy == 0))
        return false;
    moveSelection(QPoint(dx, dy), true);
    return true;
}

// Moves the selected objects of the current page as one step; nudges of the same
// objects follow each other into one step.
void EditController::moveSelection(QPoint offset, bool nudge)
{
    Page *current = page();
    if (!settings().undo) {
        for (ObjectPtr &o : current->Objects)
            if (o->Selected)
                offsetObject(*o, offset.x(), offset.y());
        forgetHistory();
        stepApplied(current);
        return;
    }
    auto objects = std::make_shared<const IndexRuns>(selectedRuns(current->Objects));
    if (mUndo->index() > 0) {
        const auto *last = dynamic_cast<const MoveStep *>(mUndo->command(mUndo->index() - 1));
        if (last && last->page() == current && *last->objects() == *objects)
            objects = last->objects();
    }
    mUndo->push(new MoveStep(*this, current, std::move(objects), offset, nudge, edtext::step::Move));
}

bool EditController::editSelectedObject()
{
    Page *current = page();
    if (!current || countSelected(current->Objects) != 1)
        return false;
    PageObject *object = firstSelected(current->Objects);
    if (!object->article() && !object->button() && !object->picture() && !object->text())
        return false;
    // The object may be gone afterwards: a Title whose text was cleared is removed.
    return edit(edtext::step::EditObject, [this, object](Page &) {
        return mHost->defineObject(mArea.surface(), mPub, *object, objectRect(*object), false);
    });
}

bool EditController::adjustSelection()
{
    Page *current = page();
    if (!current || countSelected(current->Objects) == 0)
        return false;
    return edit(edtext::step::AdjustObject,
                [this](Page &page) { return mHost->adjustObjects(mArea.surface(), mPub, page); });
}

bool EditController::applyPaletteAttribute(PaletteAttribute which, const ToolAttributes &values)
{
    Page *current = page();
    if (!current || mRunning || countSelected(current->Objects) == 0)
        return false;
    return edit(edtext::step::Attribute, [&](Page &page) {
        applyAttributeToSelection(page.Objects, which, values);
        return true;
    });
}

PageObject *EditController::attributeTargetAt(const QPoint &pagePoint) const
{
    Page *current = page();
    if (!current || mRunning)
        return nullptr;
    for (auto it = current->Objects.rbegin(); it != current->Objects.rend(); ++it)
        if (boxContains(**it, pagePoint))
            return (*it)->isGroup() ? nullptr : it->get();
    return nullptr;
}

bool EditController::dropPaletteAttribute(PaletteAttribute which, const ToolAttributes &values,
                                          const QPoint &pagePoint)
{
    PageObject *object = attributeTargetAt(pagePoint);
    if (!object)
        return false;
    return edit(edtext::step::Attribute, [&](Page &) {
        applyAttribute(*object, which, values, true);
        return true;
    });
}

// --- history

bool EditController::edit(const QString &text, const std::function<bool(Page &)> &change)
{
    Page *current = page();
    if (!current)
        return false;
    beginStep(current);
    if (!change(*current)) {
        cancelStep();
        return false;
    }
    setModified();
    commitStep(text);
    return true;
}

void EditController::beginStep(Page *target)
{
    cancelStep();
    Page *current = target ? target : page();
    if (!current)
        return;
    mStepOpen = true;
    mStepPage = current;
    mStepless = !settings().undo || !copyStack(*current, mStepBefore);
}

bool EditController::copyStack(const Page &page, ObjectList &copy)
{
    copy.clear();
    copy.reserve(page.Objects.size());
    for (const ObjectPtr &o : page.Objects) {
        ObjectPtr c = mPub.duplicateObject(*o, o->Selected);
        if (!c) {
            copy.clear(); // no step at the object limit; the partial copy dies here
            return false;
        }
        copy.push_back(std::move(c));
    }
    return true;
}

void EditController::commitStep(const QString &text)
{
    if (!mStepOpen)
        return;
    Page *changed = mStepPage;
    mStepOpen = false;
    mStepPage = nullptr;
    mPub.Modified = true;
    if (mStepless) {
        mStepBefore.clear();
        forgetHistory();
    } else {
        mUndo->push(new ObjectsStep(*this, changed, std::move(mStepBefore), text));
        mStepBefore.clear();
    }
    stepApplied(changed);
}

void EditController::cancelStep()
{
    mStepBefore.clear();
    mStepOpen = false;
    mStepPage = nullptr;
}

void EditController::recordPages(const QString &text, PagesState before, std::vector<PagePtr> removed)
{
    mPub.Modified = true;
    if (!settings().undo) {
        forgetHistory();
        return;
    }
    mUndo->push(new PagesStep(*this, std::move(before), std::move(removed), text));
}

bool EditController::deletePage(Page *target, const QString &text)
{
    const int index = mPub.indexOfPage(target);
    if (index < 0)
        return false;
    if (mOp != None)
        cancelGesture();
    PagesState before = PagesState::of(mPub);
    std::vector<PagePtr> removed;
    Page *shown = mPub.currentPage();
    if (mPub.pageCount() == 1) {
        // The only page is replaced by a fresh one, as resetting it would.
        removed.push_back(mPub.unlinkPage(target));
        shown = mPub.appendPage(mPub.createPage(mPub.makeUniqueTitle(QStringLiteral("New Page"))));
    } else {
        if (shown == target)
            shown = index > 0 ? mPub.page(index - 1) : mPub.page(index + 1);
        removed.push_back(mPub.unlinkPage(target));
    }
    mPub.setCurrentPage(shown);
    recordPages(text, std::move(before), std::move(removed));
    return true;
}

void EditController::forgetHistory()
{
    const bool modified = mPub.Modified;
    mForgetting = true;
    mUndo->clear();
    // Going back to the saved state is no longer possible.
    if (modified)
        mUndo->resetClean();
    mForgetting = false;
    mPub.Modified = modified;
    emit edited();
}

void EditController::changedOutsideHistory()
{
    mPub.Modified = true;
    mUndo->resetClean();
}

void EditController::markSaved()
{
    mUndo->setClean();
    mPub.Modified = false;
}

void EditController::setModifiedFromHistory()
{
    if (!mForgetting)
        mPub.Modified = !mUndo->isClean();
}

bool EditController::canUndo() const
{
    return settings().undo && mUndo->canUndo() && !mRunning;
}

bool EditController::canRedo() const
{
    return settings().undo && mUndo->canRedo() && !mRunning;
}

bool EditController::undo()
{
    if (!canUndo() || mOp != None) {
        mHost->beep();
        return false;
    }
    mUndo->undo();
    emit edited();
    return true;
}

bool EditController::redo()
{
    if (!canRedo() || mOp != None) {
        mHost->beep();
        return false;
    }
    mUndo->redo();
    emit edited();
    return true;
}

void EditController::showStepPage(Page *target)
{
    if (target && target != page())
        mHost->showPage(*this, target);
}

void EditController::stepApplied(Page *changed)
{
    if (changed == page())
        repaint();
    emit edited();
}

void EditController::pagesApplied()
{
    mHost->pagesChanged(*this);
    repaint();
    emit edited();
}

void EditController::pageChanged()
{
    if (mOp != None)
        cancelGesture();
}

} // namespace vardeko
