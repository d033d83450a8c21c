// Direct manipulation of a publication window's current page: the mouse gestures and
// their rubber feedback, keys, the editing commands and the window's history.
#pragma once

#include "edithost.h"
#include "toolpalette.h"
#include "publication.h"
#include "undosteps.h"

#include <QCursor>
#include <QObject>
#include <QPoint>
#include <QRect>

#include <functional>

class QPainter;
class QUndoStack;

namespace vardeko {

// The eight custom cursors, by their numbers.
enum CustomCursor {
    CrossCursor = 1,      // "CCROSS"
    HandGrabCursor = 2,   // "CHANDGRAB"
    HandPointCursor = 3,  // "CHANDPOINT"
    SizeAllCursor = 4,    // "CSIZEALL"
    PaintDragCursor = 5,  // "CPAINTDRAG"
    DragObjectsCursor = 6,// "CDRAGOBJECTS"
    HandOpenCursor = 7,   // "CHANDOPEN"
    DragPageCursor = 8,   // "CDRAGPAGE"
};
// Loaded from the resources on first use.
QCursor customCursor(int number);

class EditController : public QObject
{
    Q_OBJECT
public:
    enum Operation { None, Drawing, Moving, Resizing, Banding, Clicked };

    EditController(Publication &pub, WorkArea &area, QObject *parent = nullptr);
    ~EditController() override;

    Publication &publication() const { return mPub; }
    WorkArea &workArea() const { return mArea; }
    Page *page() const { return mPub.currentPage(); }
    // The host is not owned; without one the defaults answer and dialogs cancel.
    void setHost(EditHost *host);
    EditHost &host() const { return *mHost; }

    // In run mode the work area belongs to the run session: nothing is edited.
    void setRunning(bool running);
    bool isRunning() const { return mRunning; }

    // --- events, in surface coordinates
    void mousePress(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint &pos,
                    const QPoint &globalPos);
    void mouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, const QPoint &pos,
                   const QPoint &globalPos);
    void mouseRelease(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint &pos,
                      const QPoint &globalPos);
    // True when the key was used.
    bool keyPress(int key, Qt::KeyboardModifiers modifiers);

    Operation operation() const { return mOp; }
    // Handles are hidden while a gesture shows its own feedback.
    bool handlesHidden() const { return mOp == Moving || mOp == Resizing; }
    // Draws the rubber feedback in page coordinates, inverting what lies beneath.
    void paintFeedback(QPainter &painter) const;

    // --- commands
    int selectedCount() const;
    bool hasObjects() const;
    bool selectAll();
    bool deleteSelection();
    bool duplicateSelection();
    bool group();
    bool ungroup();
    bool bringToFront();
    bool sendToBack();
    bool align(const AlignChoice &choice);
    // Opens the Align Object dialog and aligns on OK.
    bool alignWithDialog();
    bool nudge(int dx, int dy);
    // Moves the selected objects as one step, as a drag does; nudges of the same objects
    // follow each other into one step.
    void moveSelection(QPoint offset, bool nudge);
    // The definition dialog of the one selected Article, Button, Picture or Text.
    bool editSelectedObject();
    // The object adjustment dialog for the selection.
    bool adjustSelection();
    // A palette button's value for every selected top-level object.
    bool applyPaletteAttribute(PaletteAttribute which, const ToolAttributes &values);
    // A palette attribute dropped on the object under a page point (not a group).
    bool dropPaletteAttribute(PaletteAttribute which, const ToolAttributes &values,
                              const QPoint &pagePoint);
    // The object a palette attribute dropped at a page point would change, if any.
    PageObject *attributeTargetAt(const QPoint &pagePoint) const;

    // --- history
    // Every change is one step of the window's history (while the undo preference is on).
    // `edit` makes one: it copies the current page, runs `change`, and when that says it
    // changed something records the step, repaints, marks the publication modified and
    // tells the host. The step functions do the same around changes that ask questions
    // midway; a cancelled step leaves no trace.
    bool edit(const QString &text, const std::function<bool(Page &)> &change);
    void beginStep(Page *page = nullptr);
    void commitStep(const QString &text);
    void cancelStep();
    // Pages added, moved, deleted or changed since `before`; `removed` are pages the
    // change took out of the publication, kept for undo.
    void recordPages(const QString &text, PagesState before,
                     std::vector<PagePtr> removed = {});
    // Takes a page out as the Delete page command does, as one step of the history: the
    // only page left is replaced by a fresh one. False when the page is not a page.
    bool deletePage(Page *page, const QString &text);
    // A change the history cannot take back (a file loaded, settings, a page from
    // elsewhere): the history is dropped and the publication stays modified.
    void forgetHistory();
    // A change outside the history that leaves its steps valid (publication settings):
    // undoing no longer leads back to the saved publication.
    void changedOutsideHistory();
    // The publication was saved: the modified flag follows undo and redo from here.
    void markSaved();
    QUndoStack *undoStack() const { return mUndo; }
    bool canUndo() const;
    bool canRedo() const;
    // Takes back the last step, or beeps when there is none.
    bool undo();
    bool redo();
    // A new page is shown: a gesture in progress ends.
    void pageChanged();
    // Called by the steps as they are undone and redone.
    void showStepPage(Page *page);
    void stepApplied(Page *page);
    void pagesApplied();

    // Appends an object on top of the current page, draws it and marks the change.
    void addObject(ObjectPtr object);
    // Repaints a page area (page coordinates); an empty rectangle repaints everything.
    void repaint(const QRect &pageArea = QRect());
    void setModified();

    // The controller whose work area contains `widget`, if any.
    static EditController *controllerFor(const QWidget *widget);

signals:
    // The publication changed (objects, selection or undo state).
    void edited();

private:
    enum class ShapeKind { NoShape, Rectangle, RoundRectangle, Ellipse, Line, Outline };
    struct Feedback
    {
        ShapeKind kind = ShapeKind::NoShape;
        QRect rect;
        QPoint from, to; // lines
        bool cross = false;
        bool empty() const { return kind == ShapeKind::NoShape; }
    };
    enum class TargetKind { NoTarget, ThisWindow, PageTab, OtherWindow };

    QPoint toPage(const QPoint &surfacePos) const;
    QPoint snapped(const QPoint &page) const;
    EditSettings settings() const;
    void setFeedback(const Feedback &feedback);
    static QRect feedbackBounds(const Feedback &feedback);
    void showReadout(const QString &caption, int a, int b);
    void setCursorShape(const QCursor &cursor);

    void startMove(const QPoint &cursorPage);
    void startResize(PageObject *object, int handle, const QPoint &cursorPage);
    void updateDrawing(const QPoint &page, Qt::KeyboardModifiers modifiers);
    void updateMove(const QPoint &globalPos);
    void updateResize(const QPoint &page, Qt::KeyboardModifiers modifiers);
    void finishDrawing(Qt::KeyboardModifiers modifiers);
    void finishMove(Qt::KeyboardModifiers modifiers);
    void finishResize();
    void finishBanding();
    void cancelGesture();
    void endGesture();
    void hoverCursor(const QPoint &page);
    void createObject(int kind, const QRect &box, bool ctrl);
    bool deselectAll();
    void moveToOtherWindow(EditController &target, bool keepSource);
    void moveToPage(Page *target, bool keepSource);
    bool copySelectedTo(Publication &into, Page &target, int dx, int dy);
    bool copyStack(const Page &page, ObjectList &copy);
    void setModifiedFromHistory();

    Publication &mPub;
    WorkArea &mArea;
    EditHost *mHost = nullptr;
    bool mRunning = false;

    // The gesture in progress.
    Operation mOp = None;
    int mTool = PointerTool;
    PageObject *mHitObject = nullptr;
    int mHandle = 0;
    QPoint mStart, mCurrent, mPressPoint;
    Qt::KeyboardModifiers mPressModifiers, mLastModifiers;
    QRect mOutline, mStartOutline;
    QPoint mGrab;
    TargetKind mTargetKind = TargetKind::NoTarget;
    EditController *mTarget = nullptr;
    Page *mTargetPage = nullptr;
    Feedback mFeedback;

    // The window's history and the step being made.
    QUndoStack *mUndo = nullptr;
    ObjectList mStepBefore;
    Page *mStepPage = nullptr;
    bool mStepOpen = false;
    bool mStepless = false; // the open step could not copy its page
    bool mForgetting = false;
};

} // namespace vardeko
