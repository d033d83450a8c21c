// The tools of a publication window's work area: the pointer (select, move, resize,
// band) and the drawing tools. The view hands its pointer events to the current tool;
// each tool keeps the state of its own gesture and asks the controller for the change.
#pragma once

#include "editcontroller.h"

#include <QCursor>
#include <QPoint>
#include <QRect>

namespace vardeko {

// One pointer event as the view saw it, in the work area's surface coordinates.
struct ToolEvent
{
    Qt::MouseButton button = Qt::NoButton; // press and release
    Qt::MouseButtons buttons;              // moves
    Qt::KeyboardModifiers modifiers;
    QPoint pos;
    QPoint globalPos;
};

class EditTool
{
public:
    explicit EditTool(EditController &editor);
    virtual ~EditTool();
    EditTool(const EditTool &) = delete;
    EditTool &operator=(const EditTool &) = delete;

    // The tool palette's number: 1 pointer, 2 to 8 the kind drawn.
    virtual int number() const = 0;

    // Becomes the window's current tool: its cursor shows.
    void activate();
    // Stops being the current tool: a gesture in progress is abandoned.
    void deactivate();

    // A gesture runs from a left press to its release.
    void mousePress(const ToolEvent &event);
    void mouseMove(const ToolEvent &event);
    void mouseRelease(const ToolEvent &event);
    // A double-click: the window system sends it instead of the second press.
    void mouseDoubleClick(const ToolEvent &event);
    // Abandons the gesture in progress: nothing it was about to change is changed.
    void cancel();

    EditController::Operation operation() const { return mOp; }
    bool busy() const { return mOp != EditController::None; }
    // Handles are hidden while a gesture shows its own outline.
    virtual bool hidesHandles() const { return false; }

protected:
    virtual QCursor idleCursor() const = 0;
    // The left button went down at a page point; start and current point are set.
    virtual void press(const QPoint &page, Qt::KeyboardModifiers modifiers) = 0;
    // The mouse moved during the gesture.
    virtual void drag(const QPoint &page, const ToolEvent &event) = 0;
    // The mouse moved with no gesture in progress.
    virtual void hover(const QPoint &page) = 0;
    // The left button came up: the gesture's result.
    virtual void finish(Qt::KeyboardModifiers modifiers) = 0;
    // The left button was double-clicked: by default a press like any other.
    virtual void doubleClick(const QPoint &page, const ToolEvent &event);
    // The gesture's own state is cleared (also when abandoned).
    virtual void reset() {}

    // Ends the gesture: feedback erased, handles and cursor back.
    void endGesture();
    // The rubber shape spanned from the start to the current point.
    RubberShape spannedShape(RubberShape::Kind kind, bool cross = true) const;

    EditController &mEditor;
    EditController::Operation mOp = EditController::None;
    QPoint mPressPoint; // page point of the press, unsnapped
    QPoint mStart;      // after snapping
    QPoint mCurrent;    // after snapping and constraining

private:
    bool mGestureOpen = false; // the host was told a gesture started
};

// Tool 1: selects by click, Shift-click and band, moves the selection (also onto a page
// tab or into another window), resizes one object by its handles, and opens an object's
// dialog on a double-click.
class SelectTool final : public EditTool
{
public:
    using EditTool::EditTool;
    int number() const override { return PointerTool; }
    bool hidesHandles() const override;
    // A window closes: a move in progress no longer aims at it.
    void forgetTarget(const EditController *window);

protected:
    QCursor idleCursor() const override { return QCursor(Qt::ArrowCursor); }
    void press(const QPoint &page, Qt::KeyboardModifiers modifiers) override;
    void drag(const QPoint &page, const ToolEvent &event) override;
    void hover(const QPoint &page) override;
    void finish(Qt::KeyboardModifiers modifiers) override;
    void doubleClick(const QPoint &page, const ToolEvent &event) override;
    void reset() override;

private:
    enum class Target { None, ThisWindow, PageTab, OtherWindow };
    void startMove(const QPoint &cursorPage);
    void startResize(PageObject *object, int handle, const QPoint &cursorPage);
    void updateBand(const QPoint &page, Qt::KeyboardModifiers modifiers);
    void updateMove(const QPoint &globalPos);
    void updateResize(const QPoint &page, Qt::KeyboardModifiers modifiers);
    void finishMove(Qt::KeyboardModifiers modifiers);
    void finishResize();

    PageObject *mHitObject = nullptr;
    int mHandle = 0;
    QRect mOutline, mStartOutline;
    QPoint mGrab; // cursor minus the selection box's top-left
    Target mTargetKind = Target::None;
    EditController *mTarget = nullptr;
    Page *mTargetPage = nullptr;
};

// Tools 2 to 8: a drag spans a new object of the tool's kind.
class DrawTool final : public EditTool
{
public:
    DrawTool(EditController &editor, int kind);
    int number() const override { return mKind; }

protected:
    QCursor idleCursor() const override;
    void press(const QPoint &page, Qt::KeyboardModifiers modifiers) override;
    void drag(const QPoint &page, const ToolEvent &event) override;
    void hover(const QPoint &page) override;
    void finish(Qt::KeyboardModifiers modifiers) override;

private:
    int mKind;
};

} // namespace vardeko
