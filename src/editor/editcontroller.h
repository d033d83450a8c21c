// The editor of a publication window's current page: its tools, the rubber feedback they
// draw, keys, the editing commands and the window's history.
#pragma once

#include "edithost.h"
#include "toolpalette.h"
#include "publication.h"
#include "undosteps.h"

#include <QCursor>
#include <QObject>
#include <QPoint>
#include <QRect>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class QPainter;
class QUndoStack;

namespace vardeko {

class DrawTool;
class EditTool;
class SelectTool;

// The feedback of a gesture, drawn inverting what lies beneath (page coordinates).
struct RubberShape
{
    enum class Kind { None, Rectangle, RoundRectangle, Ellipse, Line, Outline };
    Kind kind = Kind::None;
    QRect rect;
    QPoint from, to; // lines
    bool cross = false; // a small cross at the rectangle's centre
    bool empty() const { return kind == Kind::None; }
};

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

    // --- tools
    // The tool that takes the work area's pointer events: between gestures it follows
    // the tool palette's current tool.
    EditTool &currentTool();
    // Makes tool 1 (pointer) to 8 current; ignored during a gesture and for other numbers.
    void setTool(int number);
    // True when the key was used.
    bool keyPress(int key, Qt::KeyboardModifiers modifiers);

    Operation operation() const;
    // Handles are hidden while a gesture shows its own feedback.
    bool handlesHidden() const;
    // Draws the rubber feedback in page coordinates, inverting what lies beneath.
    void paintFeedback(QPainter &painter) const;

    // --- what the tools use
    QPoint toPage(const QPoint &surfacePos) const;
    // Snapped to the grid when snapping is on.
    QPoint snapped(const QPoint &page) const;
    EditSettings settings() const;
    void setFeedback(const RubberShape &feedback);
    void showReadout(const QString &caption, int a, int b);
    void setCursorShape(const QCursor &cursor);
    // Repaints where an object and its handles are drawn.
    void repaintObject(const PageObject &object);
    // Repaints the selection's handles.
    void repaintSelection();
    bool deselectAll();
    // The selection, objects or undo state changed.
    void notifyEdited() { emit edited(); }

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
    // Copies of the selected objects at an offset on the same page, selected instead.
    bool copySelection(QPoint offset);
    // The selected objects go onto another page of this publication (copied when
    // `keepSource`), as one step, and that page is shown.
    void moveSelectionToPage(Page *target, bool keepSource);
    // The selected objects go onto another window's current page at an offset (copied
    // when `keepSource`): a step in each window.
    void moveSelectionToWindow(EditController &target, QPoint offset, bool keepSource);
    // A new object of a kind with the palette's attributes in `box`, after the questions
    // its kind asks (file, dialog); `lineOrigin` is taken by Rectangles and Lines.
    void createObject(int kind, const QRect &box, quint8 lineOrigin);
    // The definition dialog (or with `adjust` the adjustment dialog) of the object under
    // a page point.
    bool objectDialogAt(const QPoint &pagePoint, bool adjust);
    // The definition dialog of the one selected Article, Button, Picture or Text.
    bool editSelectedObject();
    // Articles, Buttons, Pictures and Texts have a definition dialog of their own.
    static bool hasDefinitionDialog(const PageObject &object);
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
    // Page changes made one after another (a session of the page sorter) become one
    // step: those recorded meanwhile, and those made straight on the publication, which
    // must not destroy pages (take them out with `deletePage`). `changed` says whether
    // anything changed; nothing changed leaves no step.
    void beginPagesBatch();
    void endPagesBatch(const QString &text, bool changed);
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
    static QRect feedbackBounds(const RubberShape &feedback);
    void cancelGesture();
    bool copySelectedTo(Publication &into, Page &target, int dx, int dy);
    bool copyStack(const Page &page, ObjectList &copy);
    void setModifiedFromHistory();

    Publication &mPub;
    WorkArea &mArea;
    EditHost *mHost = nullptr;
    bool mRunning = false;

    std::unique_ptr<SelectTool> mSelectTool;
    std::array<std::unique_ptr<DrawTool>, TextKind - ArticleKind + 1> mDrawTools;
    EditTool *mTool = nullptr;
    RubberShape mFeedback;

    // The window's history and the step being made.
    QUndoStack *mUndo = nullptr;
    ObjectList mStepBefore;
    Page *mStepPage = nullptr;
    bool mStepOpen = false;
    bool mStepless = false; // the open step could not copy its page
    bool mForgetting = false;
    // The page changes being gathered into one step.
    std::optional<PagesState> mBatchBefore;
    std::vector<PagePtr> mBatchRemoved;
};

} // namespace vardeko
