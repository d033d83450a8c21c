// Publication, page and object records and the list operations every part uses.
#include "publication.h"

#include <QFile>
#include <QSet>

#include <algorithm>

namespace vardeko {

const std::array<LanguageString, LanguageStringCount> LanguageStrings = {{
    {"L_OK", "OK Button", "OK"},
    {"L_CANCEL", "Cancel Button", "Cancel"},
    {"L_YES", "Yes Button", "Yes"},
    {"L_NO", "No Button", "No"},
    {"L_CLOSE", "Close Button", "Close"},
    {"L_ERRORTITLE", "Error Window Title", "Error"},
    {"L_FINDTITLE", "Find Window Title", "Find"},
    {"L_FINDPROMPT", "Find Prompt", "Find &What"},
    {"L_FINDFIRST", "Find First Button", "&Find First"},
    {"L_FINDNEXT", "Find Next Button", "Find &Next"},
    {"L_FINDERROR", "Find Error Message", "Search text not found."},
    {"L_PWORDTITLE", "Password Window Title", "Password Required"},
    {"L_PWORDMSG", "Password Instructions",
     "In order to exit this publication, you must|first enter the correct password."},
    {"L_PWORDPROMPT", "Password Prompt", "&Password:"},
    {"L_PWORDERROR", "Password Error Message", "That's not the right password!"},
    {"L_MEDIAERROR", "Multimedia Error Message",
     "In order to play this type of file you must install|the appropriate multimedia hardware "
     "and/or|software."},
    {"L_INTERNETERROR", "Internet Error Message", "Unable to locate Internet Browser software."},
    {"L_PAGEPROMPT", "Printing Page# Prompt", "Now printing page:"},
    {"L_ABORTFUNCTION", "Abort Function Prompt", "Do you want to cancel this function?"},
    {"L_EXTRACTERROR", "File Extraction Error Message",
     "This file could not be extracted and thus cannot|be played."},
    {"L_INSTDIRPROMPT", "Setup Directory Prompt",
     "Please enter the drive and directory where you would like this program to be installed. "
     "To accept the default drive and directory, simply press Enter."},
    {"L_INSTFOLDERPROMPT", "Setup Program Folder Prompt", "Do you wish to create a program folder?"},
    {"L_INSTRUNPROMPT", "Setup Run Program Prompt", "Do you want to run"},
    {"L_INSTDISKPROMPT", "Setup Insert Disk Prompt", "Please insert disk #"},
    {"L_INSTDISKERROR", "Setup Disk Error Message", "That's not the correct disk, try again."},
    {"L_INSTGENERROR", "Setup Failure Error Message", "The installation has terminated."},
    {"L_INSTEXITPROMPT", "Setup Exit Prompt", "Do you really want to cancel the installation?"},
}};

std::array<QString, LanguageStringCount> defaultLanguageTexts()
{
    std::array<QString, LanguageStringCount> texts;
    for (int i = 0; i < LanguageStringCount; ++i)
        texts[size_t(i)] = QString::fromLatin1(LanguageStrings[size_t(i)].defaultText);
    return texts;
}

bool isValidScreenColors(int colors)
{
    switch (colors) {
    case 2:
    case 16:
    case 256:
    case 32768:
    case 65536:
    case 16777216:
        return true;
    default:
        return false;
    }
}

// ---------------------------------------------------------------- objects

PageObject::PageObject(std::shared_ptr<ObjectCounter> counter)
    : mCounter(std::move(counter))
{
    ++mCounter->count;
}

PageObject::~PageObject()
{
    // Members die first. Deep nesting is unwound with a work list, not recursion.
    std::vector<ObjectPtr> pending;
    for (ObjectPtr &m : Members)
        pending.push_back(std::move(m));
    Members.clear();
    while (!pending.empty()) {
        ObjectPtr o = std::move(pending.back());
        pending.pop_back();
        for (ObjectPtr &m : o->Members)
            pending.push_back(std::move(m));
        o->Members.clear();
    }
    if (const ArticleData *a = article(); a && !a->WorkingFile.isEmpty())
        QFile::remove(a->WorkingFile);
    --mCounter->count;
}

Publication::Publication()
    : mCounter(std::make_shared<ObjectCounter>())
    , mAsideCounter(std::make_shared<ObjectCounter>())
{
    mMaster = createPage(QStringLiteral("Master Page"));
    mPages.push_back(createPage(QStringLiteral("New Page")));
    mCurrent = mPages.front().get();
}

Publication::~Publication()
{
    // Objects hold the counter; pages go first so the count ends at zero.
    mPages.clear();
    mMaster.reset();
}

ObjectPtr Publication::createObject(int kind, const ToolAttributes &tools)
{
    if (mCounter->count >= MaxObjects)
        return nullptr;
    ObjectPtr object(new PageObject(mCounter));
    object->ObjectType = quint8(kind);
    object->FillColor = tools.FillColor;
    object->FillPattern = tools.FillPattern;
    object->FillMode = tools.FillMode;
    object->LineColor = tools.LineColor;
    object->LineWidth = tools.LineWidth;
    object->LineStyle = tools.LineStyle;
    switch (kind) {
    case ArticleKind: {
        ArticleData a;
        a.Font = tools.Font;
        a.FontSize = tools.FontSize;
        a.FontStyle = tools.FontStyle;
        a.TextColor = tools.FontColor;
        object->Data = a;
        break;
    }
    case ButtonKind: {
        ButtonData b;
        b.Font = tools.Font;
        b.FontSize = tools.FontSize;
        b.FontStyle = tools.FontStyle;
        b.TextColor = tools.FontColor;
        object->Data = b;
        break;
    }
    case PictureKind:
        object->Data = PictureData();
        object->FillPattern = 1;
        break;
    case TextKind: {
        TextData t;
        t.Font = tools.Font;
        t.FontSize = tools.FontSize;
        t.FontStyle = tools.FontStyle;
        t.TextColor = tools.FontColor;
        object->Data = t;
        break;
    }
    default:
        break;
    }
    return object;
}

ObjectPtr Publication::copyRecord(const PageObject &source, bool selected)
{
    if (mCounter->count >= MaxObjects)
        return nullptr;
    ObjectPtr copy(new PageObject(mCounter));
    copy->ObjectType = source.ObjectType;
    copy->LineOrigin = source.LineOrigin;
    copy->FillPattern = source.FillPattern;
    copy->FillMode = source.FillMode;
    copy->LineColor = source.LineColor;
    copy->FillColor = source.FillColor;
    copy->LineWidth = source.LineWidth;
    copy->X1 = source.X1;
    copy->Y1 = source.Y1;
    copy->X2 = source.X2;
    copy->Y2 = source.Y2;
    copy->LineStyle = source.LineStyle;
    copy->Selected = selected;
    copy->Data = source.Data;
    if (ArticleData *a = copy->article()) {
        a->ReformatNeeded = true;
        a->WorkingFile.clear();
        a->RunValue1 = a->RunValue2 = 0;
    }
    if (ButtonData *b = copy->button())
        b->Contents.clear();
    return copy;
}

void Publication::setAside(ObjectList &objects, bool aside)
{
    const std::shared_ptr<ObjectCounter> &to = aside ? mAsideCounter : mCounter;
    std::vector<PageObject *> pending;
    for (ObjectPtr &o : objects)
        pending.push_back(o.get());
    while (!pending.empty()) {
        PageObject *o = pending.back();
        pending.pop_back();
        if (o->mCounter != to) {
            --o->mCounter->count;
            o->mCounter = to;
            ++to->count;
        }
        for (ObjectPtr &m : o->Members)
            pending.push_back(m.get());
    }
}

ObjectPtr Publication::duplicateObject(const PageObject &source, bool selected)
{
    ObjectPtr copy = copyRecord(source, selected);
    if (!copy || source.Members.empty())
        return copy;
    // Members are copied level by level through a list of groups still to fill, so that
    // nesting of any depth is copied without recursion.
    std::vector<std::pair<const PageObject *, PageObject *>> pending{{&source, copy.get()}};
    while (!pending.empty()) {
        const auto [from, to] = pending.back();
        pending.pop_back();
        for (const ObjectPtr &member : from->Members) {
            ObjectPtr m = copyRecord(*member, false);
            if (!m)
                return nullptr; // the partial copy dies here
            if (!member->Members.empty())
                pending.emplace_back(member.get(), m.get());
            to->Members.push_back(std::move(m));
        }
    }
    return copy;
}

// ---------------------------------------------------------------- pages

int Publication::indexOfPage(const Page *page) const
{
    for (size_t i = 0; i < mPages.size(); ++i)
        if (mPages[i].get() == page)
            return int(i);
    return -1;
}

PagePtr Publication::createPage(const QString &title) const
{
    if (mPages.size() >= size_t(MaxPages))
        return nullptr;
    auto page = std::make_unique<Page>();
    page->Title = title;
    return page;
}

Page *Publication::linkPageAfter(PagePtr page, const Page *after)
{
    Page *raw = page.get();
    if (!after) {
        mPages.insert(mPages.begin(), std::move(page));
        return raw;
    }
    if (after == lastPage()) {
        mPages.push_back(std::move(page));
        return raw;
    }
    auto it = std::find_if(mPages.begin(), mPages.end(),
                           [after](const PagePtr &p) { return p.get() == after; });
    mPages.insert(it == mPages.end() ? mPages.end() : it + 1, std::move(page));
    return raw;
}

PagePtr Publication::unlinkPage(Page *page)
{
    auto it = std::find_if(mPages.begin(), mPages.end(),
                           [page](const PagePtr &p) { return p.get() == page; });
    if (it == mPages.end())
        return nullptr;
    PagePtr taken = std::move(*it);
    mPages.erase(it);
    if (mCurrent == page)
        mCurrent = nullptr;
    return taken;
}

void Publication::destroyPage(Page *page)
{
    unlinkPage(page);
}

void Publication::clearPages()
{
    mPages.clear();
    destroyAll(mMaster->Objects);
    mCurrent = nullptr;
}

Page *Publication::findPage(const QString &title) const
{
    if (title.compare(QLatin1String("Master Page"), Qt::CaseInsensitive) == 0)
        return mMaster.get();
    for (const PagePtr &p : mPages)
        if (p->Title.compare(title, Qt::CaseInsensitive) == 0)
            return p.get();
    return nullptr;
}

QString Publication::makeUniqueTitle(const QString &wanted) const
{
    return UniqueTitles(*this).make(wanted);
}

UniqueTitles::UniqueTitles(const Publication &pub)
{
    mTaken.reserve(qsizetype(pub.pageCount()) + 1);
    mTaken.insert(QStringLiteral("Master Page").toCaseFolded());
    for (int i = 0; i < pub.pageCount(); ++i)
        mTaken.insert(pub.page(i)->Title.toCaseFolded());
}

QString UniqueTitles::make(const QString &wanted)
{
    QString result = unique(wanted);
    mTaken.insert(result.toCaseFolded());
    return result;
}

QString UniqueTitles::unique(const QString &wanted)
{
    if (!taken(wanted))
        return wanted;
    QString base = wanted;
    while (!base.isEmpty() && (base.back().isDigit() || base.back() == QLatin1Char(' ')))
        base.chop(1);
    if (!base.isEmpty())
        base += QLatin1Char(' ');
    // Titles are only ever taken, so numbers below the last one given stay taken.
    if (base != mBase) {
        mBase = base;
        mNext = 1;
    }
    for (int n = mNext; n <= 9998; ++n) {
        const QString number = QString::number(n);
        QString candidate = base + number;
        // Too long: drop the character before the space and try the number again.
        while (candidate.size() > MaxGeneratedTitle && base.size() >= 2) {
            base.remove(base.size() - 2, 1);
            candidate = base + number;
        }
        if (!taken(candidate)) {
            mNext = n + 1;
            return candidate;
        }
    }
    mNext = 9999;
    return base + QString::number(9998);
}

Page *Publication::duplicatePage(const Page *source)
{
    return copyPageIn(*source, source == mMaster.get() ? lastPage() : source);
}

Page *Publication::copyPageIn(const Page &source, const Page *after)
{
    PagePtr copy = createPage(makeUniqueTitle(source.Title));
    if (!copy)
        return nullptr;
    copy->PageColor = source.PageColor;
    copy->PageEffect = source.PageEffect;
    copy->EffectSpeed = source.EffectSpeed;
    copy->PageStyle = source.PageStyle;
    copy->PageWallPaper = source.PageWallPaper;
    copy->ShowMaster = source.ShowMaster;
    copy->PageAction = source.PageAction;
    copy->PagePalette = source.PagePalette;
    for (const ObjectPtr &object : source.Objects) {
        ObjectPtr o = duplicateObject(*object, object->Selected);
        if (!o)
            return nullptr; // the partial page dies with `copy`
        copy->Objects.push_back(std::move(o));
    }
    return linkPageAfter(std::move(copy), after);
}

void Publication::resetPage(Page *page)
{
    destroyAll(page->Objects);
    const QString keep = page->Title;
    page->Title.clear(); // so the page does not collide with itself
    const QString title = makeUniqueTitle(QStringLiteral("New Page"));
    *page = Page();
    page->Title = title;
    Q_UNUSED(keep);
}

// ---------------------------------------------------------------- stacks

namespace {

ObjectList::iterator findIn(ObjectList &stack, const PageObject *object)
{
    return std::find_if(stack.begin(), stack.end(),
                        [object](const ObjectPtr &o) { return o.get() == object; });
}

} // namespace

void insertObject(ObjectList &stack, ObjectPtr object, const PageObject *before)
{
    auto it = before ? findIn(stack, before) : stack.end();
    stack.insert(it, std::move(object));
}

ObjectPtr unlinkObject(ObjectList &stack, const PageObject *object)
{
    auto it = findIn(stack, object);
    if (it == stack.end())
        return nullptr;
    ObjectPtr taken = std::move(*it);
    stack.erase(it);
    return taken;
}

void destroyObject(ObjectList &stack, const PageObject *object)
{
    unlinkObject(stack, object);
}

void destroyAll(ObjectList &stack)
{
    stack.clear();
}

PageObject *lastObject(const ObjectList &stack)
{
    return stack.empty() ? nullptr : stack.back().get();
}

PageObject *firstSelected(const ObjectList &stack)
{
    for (const ObjectPtr &o : stack)
        if (o->Selected)
            return o.get();
    return nullptr;
}

int countSelected(const ObjectList &stack)
{
    return int(std::count_if(stack.begin(), stack.end(),
                             [](const ObjectPtr &o) { return o->Selected; }));
}

void selectAll(ObjectList &stack, bool selected)
{
    for (ObjectPtr &o : stack)
        o->Selected = selected;
}

void selectInside(ObjectList &stack, const QRect &r)
{
    for (ObjectPtr &o : stack)
        if (o->X1 >= r.left() && o->Y1 >= r.top() && o->X2 <= r.left() + r.width()
            && o->Y2 <= r.top() + r.height())
            o->Selected = true;
}

bool selectionBox(const ObjectList &stack, QRect *box)
{
    bool any = false;
    int l = 0, t = 0, r = 0, b = 0;
    for (const ObjectPtr &o : stack) {
        if (!o->Selected)
            continue;
        if (!any) {
            l = o->X1, t = o->Y1, r = o->X2, b = o->Y2;
            any = true;
        } else {
            l = std::min(l, o->X1), t = std::min(t, o->Y1);
            r = std::max(r, o->X2), b = std::max(b, o->Y2);
        }
    }
    if (any && box)
        *box = QRect(l, t, r - l, b - t);
    return any;
}

void offsetObject(PageObject &object, int dx, int dy)
{
    auto move = [dx, dy](PageObject &o) {
        o.X1 += dx;
        o.X2 += dx;
        o.Y1 += dy;
        o.Y2 += dy;
    };
    move(object);
    forEachObject(object.Members, move);
}

void resizeEdges(PageObject &object, int dLeft, int dTop, int dRight, int dBottom)
{
    if (object.isGroup())
        return;
    const int oldWidth = object.X2 - object.X1;
    object.X1 += dLeft;
    object.Y1 += dTop;
    object.X2 += dRight;
    object.Y2 += dBottom;
    if (ArticleData *a = object.article(); a && a->WordWrap && object.X2 - object.X1 != oldWidth)
        a->ReformatNeeded = true;
}

int countObjects(const PageObject &object)
{
    return 1 + countObjects(object.Members);
}

int countObjects(const ObjectList &stack)
{
    int n = 0;
    forEachObject(stack, [&n](const PageObject &) { ++n; });
    return n;
}

// ---------------------------------------------------------------- page operations

namespace {

QRect unionOfSelected(const ObjectList &stack, int grow)
{
    QRect box;
    if (!selectionBox(stack, &box))
        return QRect();
    return box.adjusted(-grow, -grow, grow, grow);
}

} // namespace

QRect groupSelected(Publication &pub, Page &page)
{
    QRect box;
    if (!selectionBox(page.Objects, &box))
        return QRect();
    ObjectPtr group = pub.createObject(GroupKind);
    if (!group)
        return QRect();
    group->X1 = box.left();
    group->Y1 = box.top();
    group->X2 = box.left() + box.width();
    group->Y2 = box.top() + box.height();
    group->LineWidth = 0;
    // The selected objects leave the page in stacking order; the group takes the
    // first one's place.
    ObjectList kept;
    kept.reserve(page.Objects.size());
    PageObject *groupRaw = group.get();
    bool placed = false;
    for (ObjectPtr &o : page.Objects) {
        if (o->Selected) {
            if (!placed) {
                kept.push_back(std::move(group));
                placed = true;
            }
            o->Selected = false;
            groupRaw->Members.push_back(std::move(o));
        } else {
            kept.push_back(std::move(o));
        }
    }
    page.Objects = std::move(kept);
    groupRaw->Selected = true;
    pub.Modified = true;
    return box;
}

QRect ungroupSelected(Publication &pub, Page &page)
{
    const QRect area = unionOfSelected(page.Objects, 0);
    bool any = false;
    ObjectList result;
    result.reserve(page.Objects.size());
    for (ObjectPtr &o : page.Objects) {
        if (o->Selected && o->isGroup()) {
            for (ObjectPtr &m : o->Members) {
                m->Selected = true;
                result.push_back(std::move(m));
            }
            o->Members.clear();
            o.reset(); // the empty group node
            any = true;
        } else {
            result.push_back(std::move(o));
        }
    }
    page.Objects = std::move(result);
    if (!any)
        return QRect();
    pub.Modified = true;
    return area;
}

// Two reversing passes of the original amount to moving the selection, in its
// own order, to one end; a stable partition gives the same result in one pass.
QRect bringToFront(Publication &pub, Page &page)
{
    const QRect area = unionOfSelected(page.Objects, 4);
    if (area.isNull())
        return area;
    std::stable_partition(page.Objects.begin(), page.Objects.end(),
                          [](const ObjectPtr &o) { return !o->Selected; });
    pub.Modified = true;
    return area;
}

QRect sendToBack(Publication &pub, Page &page)
{
    const QRect area = unionOfSelected(page.Objects, 4);
    if (area.isNull())
        return area;
    std::stable_partition(page.Objects.begin(), page.Objects.end(),
                          [](const ObjectPtr &o) { return o->Selected; });
    pub.Modified = true;
    return area;
}

QRect deleteSelected(Publication &pub, Page &page)
{
    QRect area;
    if (!selectionBox(page.Objects, &area))
        return QRect();
    // An object shrunk to a point is deleted too; its one pixel is repainted.
    if (area.isNull())
        area.setSize(QSize(1, 1));
    std::erase_if(page.Objects, [](const ObjectPtr &o) { return o->Selected; });
    pub.Modified = true;
    return area;
}

CopyResult copySelectedToPage(Publication &pub, Page &source, Page &target, int dx, int dy,
                              bool removeFromSource)
{
    ObjectList copies;
    for (const ObjectPtr &o : source.Objects) {
        if (!o->Selected)
            continue;
        ObjectPtr copy = pub.duplicateObject(*o, true);
        if (!copy)
            return CopyResult::OutOfMemory; // partial copies die with `copies`
        copies.push_back(std::move(copy));
    }
    if (removeFromSource)
        std::erase_if(source.Objects, [](const ObjectPtr &o) { return o->Selected; });
    selectAll(target.Objects, false);
    for (ObjectPtr &copy : copies) {
        offsetObject(*copy, dx, dy);
        target.Objects.push_back(std::move(copy));
    }
    pub.Modified = true;
    return CopyResult::Done;
}

void fitText(PageObject &object, const TextMeasurer &measurer)
{
    const TextData *t = object.text();
    if (!t)
        return;
    const QSize size = measurer.measureText(t->Text, t->Font, t->FontSize, t->FontStyle);
    object.X2 = object.X1 + std::max(10, size.width());
    object.Y2 = object.Y1 + std::max(10, size.height());
}

} // namespace vardeko
