// The editor of a publication window's current page: its tools, their rubber feedback,
// keys, the editing commands and the window's history.
#include "editcontroller.h"

#include "edittool.h"

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
    mSelectTool = std::make_unique<SelectTool>(*this);
    for (int kind = ArticleKind; kind <= TextKind; ++kind)
        mDrawTools[kind - ArticleKind] = std::make_unique<DrawTool>(*this, kind);
    mTool = mSelectTool.get();
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
        c->mSelectTool->forgetTarget(this);
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
    cancelGesture();
    mRunning = running;
}

// --- tools

EditTool &EditController::currentTool()
{
    setTool(mHost->currentTool());
    return *mTool;
}

void EditController::setTool(int number)
{
    EditTool *next = nullptr;
    if (number == PointerTool)
        next = mSelectTool.get();
    else if (number >= ArticleKind && number <= TextKind)
        next = mDrawTools[number - ArticleKind].get();
    // The tool of a gesture is the one its press found.
    if (!next || next == mTool || mTool->busy())
        return;
    mTool->deactivate();
    mTool = next;
    mTool->activate();
}

EditController::Operation EditController::operation() const
{
    return mTool->operation();
}

bool EditController::handlesHidden() const
{
    return mTool->hidesHandles();
}

void EditController::cancelGesture()
{
    mTool->cancel();
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

void EditController::repaintObject(const PageObject &object)
{
    repaint(grown(paintedBounds(object), 6));
}

void EditController::repaintSelection()
{
    QRect box;
    if (page() && selectionBox(page()->Objects, &box))
        repaint(grown(box, 6));
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

QRect EditController::feedbackBounds(const RubberShape &f)
{
    switch (f.kind) {
    case RubberShape::Kind::None:
        return QRect();
    case RubberShape::Kind::Line:
        return grown(spannedRect(f.from, f.to), 2);
    default:
        return grown(f.rect, 3);
    }
}

void EditController::setFeedback(const RubberShape &feedback)
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
    case RubberShape::Kind::Rectangle:
    case RubberShape::Kind::Outline:
        painter.drawRect(edges);
        break;
    case RubberShape::Kind::RoundRectangle: {
        const int c = roundedCorner(r);
        painter.drawRoundedRect(edges, c / 2.0, c / 2.0);
        break;
    }
    case RubberShape::Kind::Ellipse:
        painter.drawEllipse(edges);
        painter.drawRect(edges);
        break;
    case RubberShape::Kind::Line:
        painter.drawLine(mFeedback.from, mFeedback.to);
        break;
    case RubberShape::Kind::None:
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

// --- gesture results

bool EditController::objectDialogAt(const QPoint &pagePoint, bool adjust)
{
    Page *current = page();
    const EditHit hit = current ? editHitTest(current->Objects, pagePoint) : EditHit();
    if (!hit.object)
        return false;
    QWidget *parent = mArea.surface();
    bool changed = false;
    const QRect oldBox = objectRect(*hit.object);
    beginStep();
    if (adjust) {
        if (!hit.object->Selected) {
            deselectAll();
            hit.object->Selected = true;
        }
        changed = mHost->adjustObjects(parent, mPub, *current);
    } else {
        changed = mHost->defineObject(parent, mPub, *hit.object, oldBox, false);
    }
    if (changed)
        commitStep(adjust ? edtext::step::AdjustObject : edtext::step::EditObject);
    else
        cancelStep();
    emit edited();
    return changed;
}

void EditController::createObject(int kind, const QRect &box, quint8 lineOrigin)
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
    case LineKind:
        object->LineOrigin = lineOrigin;
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

void EditController::moveSelectionToPage(Page *target, bool keepSource)
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

void EditController::moveSelectionToWindow(EditController &target, QPoint offset, bool keepSource)
{
    Page *source = page();
    Page *into = target.page();
    if (!source || !into)
        return;
    const bool copied = target.edit(
        keepSource ? edtext::step::CopyToWindow : edtext::step::DropObjects,
        [&](Page &page) { return copySelectedTo(target.mPub, page, offset.x(), offset.y()); });
    if (copied && !keepSource)
        edit(edtext::step::MoveToWindow, [](Page &page) {
            std::erase_if(page.Objects, [](const ObjectPtr &o) { return o->Selected; });
            return true;
        });
}

// --- keys

bool EditController::keyPress(int key, Qt::KeyboardModifiers modifiers)
{
    if (mRunning || !page())
        return false;
    if (key == Qt::Key_Escape && mTool->busy()) {
        cancelGesture();
        return true;
    }
    if (mTool->busy())
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

bool EditController::copySelection(QPoint offset)
{
    if (selectedCount() == 0)
        return false;
    return edit(edtext::step::Copy,
                [this, offset](Page &page) { return copySelectedTo(mPub, page, offset.x(), offset.y()); });
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

bool EditController::hasDefinitionDialog(const PageObject &object)
{
    return object.article() || object.button() || object.picture() || object.text();
}

bool EditController::editSelectedObject()
{
    Page *current = page();
    if (!current || countSelected(current->Objects) != 1)
        return false;
    PageObject *object = firstSelected(current->Objects);
    if (!hasDefinitionDialog(*object))
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
    if (mBatchBefore) {
        // The batch's step keeps what was taken out.
        for (PagePtr &page : removed)
            mBatchRemoved.push_back(std::move(page));
        return;
    }
    if (!settings().undo) {
        forgetHistory();
        return;
    }
    mUndo->push(new PagesStep(*this, std::move(before), std::move(removed), text));
}

void EditController::beginPagesBatch()
{
    cancelGesture();
    mBatchRemoved.clear();
    mBatchBefore = PagesState::of(mPub);
}

void EditController::endPagesBatch(const QString &text, bool changed)
{
    if (!mBatchBefore)
        return;
    PagesState before = std::move(*mBatchBefore);
    mBatchBefore.reset();
    std::vector<PagePtr> removed = std::move(mBatchRemoved);
    mBatchRemoved.clear();
    if (changed)
        recordPages(text, std::move(before), std::move(removed));
}

bool EditController::deletePage(Page *target, const QString &text)
{
    const int index = mPub.indexOfPage(target);
    if (index < 0)
        return false;
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
    if (!canUndo() || mTool->busy()) {
        mHost->beep();
        return false;
    }
    mUndo->undo();
    emit edited();
    return true;
}

bool EditController::redo()
{
    if (!canRedo() || mTool->busy()) {
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
    cancelGesture();
}

} // namespace vardeko
