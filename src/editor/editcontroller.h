// Direct manipulation of a publication window's current page: the mouse gestures and
// their rubber feedback, keys, the editing commands and the single-level undo.
#pragma once

#include "edithost.h"
#include "toolpalette.h"
#include "publication.h"

#include <QCursor>
#include <QObject>
#include <QPoint>
#include <QRect>

class QPainter;

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

    // --- undo
    // Replaces the snapshot with a copy of the current page's stack (when undo is on).
    void takeSnapshot();
    void discardSnapshot();
    bool canUndo() const;
    // Restores the snapshot, or beeps when there is none.
    bool undo();
    // A new page is shown or the publication was reloaded.
    void pageChanged();

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
    void duplicateSelectedAt(int dx, int dy);

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

    // The single undo level.
    ObjectList mSnapshot;
    bool mSnapshotValid = false;
    const Page *mSnapshotPage = nullptr;
};

} // namespace vardeko
