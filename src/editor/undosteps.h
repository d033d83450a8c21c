// The steps of a publication window's history: each holds what it changed and shows its
// page when it is undone or redone.
#pragma once

#include "publication.h"

#include <QPoint>
#include <QUndoCommand>

#include <array>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace vardeko {

class EditController;

// Runs of indices into a page's object stack, first and one past the last.
using IndexRuns = std::vector<std::pair<int, int>>;
// The top-level objects of a stack that are selected.
IndexRuns selectedRuns(const ObjectList &stack);

// A step that changed the objects of one page.
class PageStep : public QUndoCommand
{
public:
    PageStep(EditController &controller, Page *page, const QString &text,
             QUndoCommand *parent = nullptr);
    Page *page() const { return mPage; }

protected:
    // Shows the step's page before it changes back or again.
    void showPage() const;
    void changed() const;

    EditController &mController;
    Page *mPage;
};

// The page's whole stack on the other side of the step; the stack not shown is kept here,
// aside from the publication's object count. Made after the change, so its first redo
// does nothing.
class ObjectsStep : public PageStep
{
public:
    ObjectsStep(EditController &controller, Page *page, ObjectList before, const QString &text,
                QUndoCommand *parent = nullptr);
    void undo() override;
    void redo() override;

private:
    void exchange();
    ObjectList mOther;
    bool mFirstRedo = true;
};

// Selected objects moved by an offset; a nudge follows the previous one of the same
// objects into one step.
class MoveStep : public PageStep
{
public:
    enum { NudgeId = 1 };
    // Moves of the same objects one after another share their list of objects.
    MoveStep(EditController &controller, Page *page, std::shared_ptr<const IndexRuns> objects,
             QPoint offset, bool nudge, const QString &text);
    int id() const override { return mNudge ? NudgeId : -1; }
    bool mergeWith(const QUndoCommand *other) override;
    void undo() override;
    void redo() override;
    QPoint offset() const { return mOffset; }
    const std::shared_ptr<const IndexRuns> &objects() const { return mObjects; }

private:
    void shift(QPoint by);
    std::shared_ptr<const IndexRuns> mObjects;
    QPoint mOffset;
    bool mNudge;
};

// What a page is apart from its objects.
struct PageFields
{
    Page *page = nullptr;
    QString Title;
    ColorRef PageColor = 0;
    quint8 PageEffect = 0;
    quint8 EffectSpeed = 0;
    quint8 PageStyle = 0;
    QString PageWallPaper;
    bool ShowMaster = true;
    QString PageAction;
    PaletteTable PagePalette;
};

// A script a page change may rewrite (a rename rewrites every action naming the page):
// a button's action, found by its page and its place in the stacks (groups descended),
// or with no page the publication's return action; and its text.
struct ScriptText
{
    Page *page = nullptr;
    std::vector<int> path;
    QString text;
    // Where the script lives now; none when the place holds no button.
    QString *find(Publication &pub) const;
};

// The publication settings that Publication Setup edits: titles, run-mode switches,
// the idle return, page size and colours, the run-time texts.
struct SetupFields
{
    QString Title, Author, Icon, Password;
    bool AllowESC = true, AllowPageUpDn = true, TabWindows = false, TabButtons = false;
    bool FullScreen = false, StayOnTop = false, Sizeable = false, AutoReturn = false;
    int ReturnTime = 0;
    QString ReturnAction;
    int ScreenColors = 0, ScreenWidth = 0, ScreenHeight = 0;
    std::array<QString, LanguageStringCount> Language;

    static SetupFields of(const PublicationSettings &settings);
    void restore(PublicationSettings &settings) const;
    friend bool operator==(const SetupFields &, const SetupFields &) = default;
};

// The pages of a publication in order with their attributes, the scripts that name
// pages, and the page shown. Pages taken out are set aside, never destroyed, while a
// step is made.
struct PagesState
{
    std::vector<PageFields> pages; // the master page first
    std::vector<ScriptText> scripts; // button actions and the return action
    Page *current = nullptr;
    // Taken only for a change of the publication's setup (restored after the scripts).
    std::optional<SetupFields> setup;
    static PagesState of(Publication &pub);
};

// Pages added, copied, moved, renamed, deleted or given new attributes. Pages that are
// not part of the publication on the shown side of the step are kept here.
class PagesStep : public QUndoCommand
{
public:
    PagesStep(EditController &controller, PagesState before, std::vector<PagePtr> removed,
              const QString &text);
    ~PagesStep() override;
    void undo() override;
    void redo() override;

private:
    void apply(const PagesState &state);
    EditController &mController;
    PagesState mBefore, mAfter;
    std::vector<PagePtr> mAside;
    bool mFirstRedo = true;
};

} // namespace vardeko
