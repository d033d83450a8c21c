// The steps of a publication window's history.
#include "undosteps.h"

#include "editcontroller.h"

#include <algorithm>
#include <functional>

namespace vardeko {

IndexRuns selectedRuns(const ObjectList &stack)
{
    IndexRuns runs;
    for (int i = 0; i < int(stack.size()); ++i) {
        if (!stack[size_t(i)]->Selected)
            continue;
        if (!runs.empty() && runs.back().second == i)
            runs.back().second = i + 1;
        else
            runs.emplace_back(i, i + 1);
    }
    return runs;
}

// --- PageStep

PageStep::PageStep(EditController &controller, Page *page, const QString &text, QUndoCommand *parent)
    : QUndoCommand(text, parent)
    , mController(controller)
    , mPage(page)
{}

void PageStep::showPage() const
{
    mController.showStepPage(mPage);
}

void PageStep::changed() const
{
    mController.stepApplied(mPage);
}

// --- ObjectsStep

ObjectsStep::ObjectsStep(EditController &controller, Page *page, ObjectList before,
                         const QString &text, QUndoCommand *parent)
    : PageStep(controller, page, text, parent)
    , mOther(std::move(before))
{
    controller.publication().setAside(mOther, true);
}

void ObjectsStep::exchange()
{
    showPage();
    Publication &pub = mController.publication();
    pub.setAside(mOther, false);
    std::swap(mPage->Objects, mOther);
    pub.setAside(mOther, true);
    changed();
}

void ObjectsStep::undo()
{
    exchange();
}

void ObjectsStep::redo()
{
    if (std::exchange(mFirstRedo, false))
        return; // the change was made before the step was recorded
    exchange();
}

// --- MoveStep

MoveStep::MoveStep(EditController &controller, Page *page,
                   std::shared_ptr<const IndexRuns> objects, QPoint offset, bool nudge,
                   const QString &text)
    : PageStep(controller, page, text)
    , mObjects(std::move(objects))
    , mOffset(offset)
    , mNudge(nudge)
{}

bool MoveStep::mergeWith(const QUndoCommand *other)
{
    const auto *next = static_cast<const MoveStep *>(other);
    if (!mNudge || !next->mNudge || next->mPage != mPage || *next->mObjects != *mObjects)
        return false;
    mOffset += next->mOffset;
    if (mOffset.isNull())
        setObsolete(true);
    return true;
}

void MoveStep::shift(QPoint by)
{
    showPage();
    ObjectList &stack = mPage->Objects;
    selectAll(stack, false);
    for (const auto &[first, last] : *mObjects) {
        for (int i = first; i < last && i < int(stack.size()); ++i) {
            PageObject &o = *stack[size_t(i)];
            offsetObject(o, by.x(), by.y());
            o.Selected = true;
        }
    }
    changed();
}

void MoveStep::undo()
{
    shift(-mOffset);
}

void MoveStep::redo()
{
    shift(mOffset);
}

// --- PagesStep

namespace {

PageFields fieldsOf(Page *page)
{
    PageFields f;
    f.page = page;
    f.Title = page->Title;
    f.PageColor = page->PageColor;
    f.PageEffect = page->PageEffect;
    f.EffectSpeed = page->EffectSpeed;
    f.PageStyle = page->PageStyle;
    f.PageWallPaper = page->PageWallPaper;
    f.ShowMaster = page->ShowMaster;
    f.PageAction = page->PageAction;
    f.PagePalette = page->PagePalette;
    return f;
}

void restoreFields(const PageFields &f)
{
    Page *page = f.page;
    page->Title = f.Title;
    page->PageColor = f.PageColor;
    page->PageEffect = f.PageEffect;
    page->EffectSpeed = f.EffectSpeed;
    page->PageStyle = f.PageStyle;
    page->PageWallPaper = f.PageWallPaper;
    page->ShowMaster = f.ShowMaster;
    page->PageAction = f.PageAction;
    page->PagePalette = f.PagePalette;
}

} // namespace

SetupFields SetupFields::of(const PublicationSettings &s)
{
    SetupFields f;
    f.Title = s.Title;
    f.Author = s.Author;
    f.Icon = s.Icon;
    f.Password = s.Password;
    f.AllowESC = s.AllowESC;
    f.AllowPageUpDn = s.AllowPageUpDn;
    f.TabWindows = s.TabWindows;
    f.TabButtons = s.TabButtons;
    f.FullScreen = s.FullScreen;
    f.StayOnTop = s.StayOnTop;
    f.Sizeable = s.Sizeable;
    f.AutoReturn = s.AutoReturn;
    f.ReturnTime = s.ReturnTime;
    f.ReturnAction = s.ReturnAction;
    f.ScreenColors = s.ScreenColors;
    f.ScreenWidth = s.ScreenWidth;
    f.ScreenHeight = s.ScreenHeight;
    f.Language = s.Language;
    return f;
}

void SetupFields::restore(PublicationSettings &s) const
{
    s.Title = Title;
    s.Author = Author;
    s.Icon = Icon;
    s.Password = Password;
    s.AllowESC = AllowESC;
    s.AllowPageUpDn = AllowPageUpDn;
    s.TabWindows = TabWindows;
    s.TabButtons = TabButtons;
    s.FullScreen = FullScreen;
    s.StayOnTop = StayOnTop;
    s.Sizeable = Sizeable;
    s.AutoReturn = AutoReturn;
    s.ReturnTime = ReturnTime;
    s.ReturnAction = ReturnAction;
    s.ScreenColors = ScreenColors;
    s.ScreenWidth = ScreenWidth;
    s.ScreenHeight = ScreenHeight;
    s.Language = Language;
}

QString *ScriptText::find(Publication &pub) const
{
    if (!page)
        return &pub.Settings.ReturnAction;
    const ObjectList *stack = &page->Objects;
    PageObject *object = nullptr;
    for (int index : path) {
        if (!stack || index < 0 || index >= int(stack->size()))
            return nullptr;
        object = (*stack)[size_t(index)].get();
        stack = &object->Members;
    }
    ButtonData *b = object ? object->button() : nullptr;
    return b ? &b->Action : nullptr;
}

PagesState PagesState::of(Publication &pub)
{
    PagesState state;
    state.pages.reserve(size_t(pub.pageCount()) + 1);
    state.pages.push_back(fieldsOf(pub.masterPage()));
    for (int i = 0; i < pub.pageCount(); ++i)
        state.pages.push_back(fieldsOf(pub.page(i)));
    // The objects themselves may be replaced by copies when other steps are undone;
    // their places stay.
    std::vector<int> path;
    std::function<void(Page *, const ObjectList &)> scriptsOf = [&](Page *page, const ObjectList &stack) {
        for (size_t i = 0; i < stack.size(); ++i) {
            const PageObject &object = *stack[i];
            path.push_back(int(i));
            if (const ButtonData *b = object.button(); b && !b->Action.isEmpty())
                state.scripts.push_back({page, path, b->Action});
            if (object.isGroup())
                scriptsOf(page, object.Members);
            path.pop_back();
        }
    };
    scriptsOf(pub.masterPage(), pub.masterPage()->Objects);
    for (int i = 0; i < pub.pageCount(); ++i)
        scriptsOf(pub.page(i), pub.page(i)->Objects);
    state.scripts.push_back({nullptr, {}, pub.Settings.ReturnAction});
    state.current = pub.currentPage();
    return state;
}

PagesStep::PagesStep(EditController &controller, PagesState before, std::vector<PagePtr> removed,
                     const QString &text)
    : QUndoCommand(text)
    , mController(controller)
    , mBefore(std::move(before))
    , mAfter(PagesState::of(controller.publication()))
    , mAside(std::move(removed))
{
    for (PagePtr &page : mAside)
        controller.publication().setAside(page->Objects, true);
    if (mBefore.setup)
        mAfter.setup = SetupFields::of(controller.publication().Settings);
    // Only the scripts the change rewrote are kept, on both sides.
    mAfter.scripts.clear();
    std::vector<ScriptText> rewritten;
    for (ScriptText &s : mBefore.scripts) {
        const QString *now = s.find(controller.publication());
        if (now && *now != s.text) {
            mAfter.scripts.push_back({s.page, s.path, *now});
            rewritten.push_back(std::move(s));
        }
    }
    mBefore.scripts = std::move(rewritten);
}

PagesStep::~PagesStep() = default;

void PagesStep::apply(const PagesState &state)
{
    Publication &pub = mController.publication();
    std::vector<PagePtr> pool = std::move(mAside);
    mAside.clear();
    while (pub.pageCount() > 0)
        pool.push_back(pub.unlinkPage(pub.lastPage()));
    for (size_t i = 1; i < state.pages.size(); ++i) {
        Page *wanted = state.pages[i].page;
        auto it = std::find_if(pool.begin(), pool.end(),
                               [wanted](const PagePtr &p) { return p.get() == wanted; });
        if (it == pool.end())
            continue; // cannot happen while the history is whole
        pub.setAside((*it)->Objects, false);
        pub.appendPage(std::move(*it));
        pool.erase(it);
    }
    for (PagePtr &page : pool) {
        pub.setAside(page->Objects, true);
        mAside.push_back(std::move(page));
    }
    for (const PageFields &f : state.pages)
        restoreFields(f);
    for (const ScriptText &s : state.scripts)
        if (QString *script = s.find(pub))
            *script = s.text;
    if (state.setup)
        state.setup->restore(pub.Settings);
    pub.setCurrentPage(state.current);
    mController.pagesApplied();
}

void PagesStep::undo()
{
    apply(mBefore);
}

void PagesStep::redo()
{
    if (std::exchange(mFirstRedo, false))
        return;
    apply(mAfter);
}

} // namespace vardeko
