// Page management: adding, copying, moving, renaming and deleting pages, the page lists
// of the main window, alignment, copying attributes to all pages and the file list.
#include "pagemanagement.h"

#include "actioncommands.h"

#include <QSet>

#include <algorithm>

namespace vardeko {

namespace {

bool sameTitle(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString quoted(const QString &text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

Page *linkNew(Publication &pub, const QString &title, const Page *after)
{
    PagePtr page = pub.createPage(title);
    if (!page)
        return nullptr;
    Page *raw = pub.linkPageAfter(std::move(page), after);
    if (!pub.currentPage())
        pub.setCurrentPage(raw);
    return raw;
}

// Puts `page` at position `index` of the final order, keeping the current page.
void relink(Publication &pub, Page *page, int index)
{
    Page *current = pub.currentPage();
    PagePtr taken = pub.unlinkPage(page);
    const Page *after = index <= 0 ? nullptr : pub.page(std::min(index, pub.pageCount()) - 1);
    pub.linkPageAfter(std::move(taken), after);
    pub.setCurrentPage(current);
    pub.Modified = true;
}

bool movePageTo(Publication &pub, Page *page, const Page *target, InsertPlace place)
{
    const int from = pub.indexOfPage(page);
    const int to = pub.indexOfPage(target);
    if (from < 0 || to < 0 || from == to)
        return false;
    // The target's index once the page is out of the chain.
    const int targetAfterUnlink = to > from ? to - 1 : to;
    relink(pub, page, place == InsertPlace::Before ? targetAfterUnlink : targetAfterUnlink + 1);
    return true;
}

int rewriteStack(ObjectList &stack, const QString &oldTitle, const QString &newTitle)
{
    int changed = 0;
    forEachObject(stack, [&](PageObject &object) {
        if (ButtonData *b = object.button())
            changed += rewritePageReferences(&b->Action, oldTitle, newTitle) ? 1 : 0;
    });
    return changed;
}

int rewritePageActions(Page &page, const QString &oldTitle, const QString &newTitle)
{
    int changed = rewritePageReferences(&page.PageAction, oldTitle, newTitle) ? 1 : 0;
    return changed + rewriteStack(page.Objects, oldTitle, newTitle);
}

struct Extent
{
    int left, top, right, bottom;
};

Extent extentOf(const PageObject &o)
{
    return {std::min(o.X1, o.X2), std::min(o.Y1, o.Y2), std::max(o.X1, o.X2), std::max(o.Y1, o.Y2)};
}

QRect repaintRect(const Extent &e)
{
    return QRect(e.left, e.top, e.right - e.left, e.bottom - e.top).adjusted(-4, -4, 4, 4);
}

// New position of an edge: `lo`/`hi` are the reference's edges, `extent` the object's.
int alignedStart(int lo, int hi, int extent, int which /* 1 start, 2 centre, 3 end */)
{
    switch (which) {
    case 1:
        return lo;
    case 2:
        // Whole numbers: the reference's centre minus half the extent, halves truncated.
        return lo + (hi - lo) / 2 - extent / 2;
    default:
        return hi - extent;
    }
}

} // namespace

// ---------------------------------------------------------------- adding

Page *insertPage(Publication &pub, const QString &proposed, const Page *after)
{
    return linkNew(pub, pub.makeUniqueTitle(proposed), after);
}

AddPagesResult addPages(Publication &pub, const Page *anchor, int count, InsertPlace place)
{
    AddPagesResult result;
    if (count <= 0)
        return result;
    UniqueTitles titles(pub);
    const bool anchored = pub.indexOfPage(anchor) >= 0;
    const Page *after = anchored ? anchor : pub.lastPage();
    if (anchored && place == InsertPlace::Before) {
        const int index = pub.indexOfPage(anchor);
        after = index > 0 ? pub.page(index - 1) : nullptr;
    }
    result.pages.reserve(size_t(std::min(count, MaxPages)));
    for (int i = 0; i < count; ++i) {
        if (pub.pageCount() >= MaxPages) {
            result.failed = true;
            break;
        }
        Page *page = linkNew(pub, titles.make(pagemsg::NewPage.toString()), after);
        if (!page) {
            result.failed = true;
            break;
        }
        result.pages.push_back(page);
        // Either way the next page follows this one: after it, or before the anchor.
        after = page;
    }
    if (!result.pages.empty())
        pub.Modified = true;
    return result;
}

QString addPagesCountLabel(int count)
{
    return count == 1 ? QStringLiteral("Page:") : QStringLiteral("Pages:");
}

QString addPagesPlaceCaption(InsertPlace place, const Page &anchor)
{
    const QString word
            = place == InsertPlace::After ? QStringLiteral("&After") : QStringLiteral("&Before");
    return word + QLatin1Char(' ') + quoted(anchor.Title);
}

// ---------------------------------------------------------------- copy, move, delete

Page *copyPage(Publication &pub, const Page &source)
{
    // Checked first: naming the copy in a full publication would search every number.
    if (pub.pageCount() >= MaxPages)
        return nullptr;
    Page *copy = pub.duplicatePage(&source);
    if (copy)
        pub.Modified = true;
    return copy;
}

QString copyPageQuestion(const Page &page)
{
    return quoted(page.Title) + QLatin1String("\n\n") + pagemsg::CopyQuestion;
}

bool movePage(Publication &pub, const QString &pageName, const QString &targetName,
              InsertPlace place)
{
    Page *page = pub.findPage(pageName);
    const Page *target = pub.findPage(targetName);
    if (!page || !target)
        return false;
    return movePageTo(pub, page, target, place);
}

bool movePageStep(Publication &pub, Page *page, int step)
{
    const int from = pub.indexOfPage(page);
    const int to = from + step;
    if (from < 0 || step == 0 || to < 0 || to >= pub.pageCount())
        return false;
    relink(pub, page, to);
    return true;
}

bool dropPageOnRow(Publication &pub, Page *page, int row)
{
    const int from = pub.indexOfPage(page);
    if (from < 0 || row < 0 || pub.pageCount() == 0)
        return false;
    const int targetRow = std::min(row, pub.pageCount() - 1);
    return movePageTo(pub, page, pub.page(targetRow),
                      targetRow < from ? InsertPlace::Before : InsertPlace::After);
}

bool deletePage(Publication &pub, Page *page)
{
    const int index = pub.indexOfPage(page);
    if (index < 0)
        return false;
    if (pub.pageCount() == 1) {
        pub.resetPage(page);
        pub.setCurrentPage(page);
    } else {
        Page *current = pub.currentPage();
        if (current == page)
            current = index > 0 ? pub.page(index - 1) : pub.page(index + 1);
        pub.destroyPage(page);
        pub.setCurrentPage(current);
    }
    pub.Modified = true;
    return true;
}

int deletePages(Publication &pub, const std::vector<Page *> &pages)
{
    int done = 0;
    for (Page *page : pages) {
        // A page already gone is skipped; the last one left is emptied, not removed.
        if (deletePage(pub, page))
            ++done;
    }
    return done;
}

QString deletePageQuestion(const Page &page)
{
    return quoted(page.Title) + QLatin1String("\n\n") + pagemsg::DeleteQuestion;
}

QString deleteSelectedQuestion(int selectedCount)
{
    return pagemsg::DeleteSelectedQuestion
            + (selectedCount > 1 ? QLatin1String("s") : QLatin1String("")) + QLatin1Char('?');
}

// ---------------------------------------------------------------- rename

RenameResult renamePage(Publication &pub, Page *page, const QString &newTitle)
{
    if (!page || pub.indexOfPage(page) < 0)
        return RenameResult::NotAllowed;
    if (newTitle.isEmpty() || sameTitle(newTitle, page->Title))
        return RenameResult::Unchanged;
    if (newTitle.size() > MaxGeneratedTitle)
        return RenameResult::TooLong;
    if (pub.findPage(newTitle))
        return RenameResult::NameTaken;
    rewriteAllPageReferences(pub, page->Title, newTitle);
    page->Title = newTitle;
    pub.Modified = true;
    return RenameResult::Renamed;
}

QString nameTakenMessage(const QString &title)
{
    return quoted(title) + QLatin1Char('\n') + pagemsg::NameExists + QLatin1Char('\n')
            + pagemsg::SelectAnother;
}

bool rewritePageReferences(QString *script, const QString &oldTitle, const QString &newTitle)
{
    if (oldTitle.isEmpty() || !script->contains(oldTitle, Qt::CaseInsensitive))
        return false;
    QStringList lines = splitScriptLines(*script);
    bool changed = false;
    for (QString &line : lines) {
        const RecognizedCommand command = recognizeCommand(line);
        if (command.number != CmdFind && command.number != CmdGotoPage
            && command.number != CmdPrintPage)
            continue;
        const QStringList params = scriptParameters(line);
        if (params.isEmpty())
            continue;
        if (command.number == CmdFind) {
            QStringList names = params.first().split(QLatin1Char('|'));
            bool found = false;
            for (QString &name : names) {
                if (sameTitle(name, oldTitle)) {
                    name = newTitle;
                    found = true;
                }
            }
            if (!found)
                continue;
            const qsizetype open = line.indexOf(QLatin1Char('"'));
            const qsizetype close = line.indexOf(QLatin1Char('"'), open + 1);
            line = line.left(open + 1) + names.join(QLatin1Char('|')) + line.mid(close);
            changed = true;
        } else if (sameTitle(params.first(), oldTitle)) {
            line = QLatin1String(ActionCommands[size_t(command.number)].Name) + QLatin1Char(' ')
                    + quoted(newTitle);
            changed = true;
        }
    }
    if (changed)
        *script = joinScriptLines(lines);
    return changed;
}

int rewriteAllPageReferences(Publication &pub, const QString &oldTitle, const QString &newTitle)
{
    int changed = rewritePageActions(*pub.masterPage(), oldTitle, newTitle);
    for (int i = 0; i < pub.pageCount(); ++i)
        changed += rewritePageActions(*pub.page(i), oldTitle, newTitle);
    // The idle actions usually return to a page by name; they follow the rename too.
    if (rewritePageReferences(&pub.Settings.ReturnAction, oldTitle, newTitle))
        ++changed;
    return changed;
}

// ---------------------------------------------------------------- page lists

QStringList pageTabTitles(const Publication &pub, bool running)
{
    QStringList titles;
    titles.reserve(pub.pageCount() + 1);
    if (!running)
        titles.append(pagemsg::MasterPage.toString());
    for (int i = 0; i < pub.pageCount(); ++i)
        titles.append(pub.page(i)->Title);
    return titles;
}

GotoMenu gotoMenu(const Publication &pub, bool running)
{
    // Three fixed items ("Master Page", a divider, "More..."); hidden ones still count.
    constexpr int fixedItems = 3;
    GotoMenu menu;
    const int listed = std::min(pub.pageCount(), GotoMenuItems - fixedItems);
    for (int i = 0; i < listed; ++i)
        menu.pageTitles.append(pub.page(i)->Title);
    menu.masterPageVisible = !running;
    menu.moreVisible = fixedItems + listed == GotoMenuItems;
    return menu;
}

bool toggleShowMaster(Publication &pub, Page &page)
{
    if (&page == pub.masterPage())
        return false;
    page.ShowMaster = !page.ShowMaster;
    pub.Modified = true;
    return true;
}

// ---------------------------------------------------------------- grid and alignment

int clampGridSpacing(int pixels)
{
    return std::clamp(pixels, MinGridSpacing, MaxGridSpacing);
}

QRect alignSelected(Publication &pub, Page &page, HorizontalAlign horizontal,
                    VerticalAlign vertical, bool relative, QSize pageSize)
{
    std::vector<PageObject *> selected;
    for (ObjectPtr &object : page.Objects)
        if (object->Selected)
            selected.push_back(object.get());
    if (selected.empty())
        return QRect();

    Extent reference {0, 0, pageSize.width(), pageSize.height()};
    if (relative && selected.size() > 1) {
        reference = extentOf(*selected.front());
        for (const PageObject *o : selected) {
            const Extent e = extentOf(*o);
            reference.left = std::min(reference.left, e.left);
            reference.top = std::min(reference.top, e.top);
            reference.right = std::max(reference.right, e.right);
            reference.bottom = std::max(reference.bottom, e.bottom);
        }
    }

    QRect area;
    for (PageObject *o : selected) {
        const Extent e = extentOf(*o);
        int dx = 0;
        int dy = 0;
        if (horizontal != HorizontalAlign::None)
            dx = alignedStart(reference.left, reference.right, e.right - e.left, int(horizontal))
                    - e.left;
        if (vertical != VerticalAlign::None)
            dy = alignedStart(reference.top, reference.bottom, e.bottom - e.top, int(vertical))
                    - e.top;
        if (dx == 0 && dy == 0)
            continue;
        offsetObject(*o, dx, dy);
        area |= repaintRect(e) | repaintRect(extentOf(*o));
    }
    if (!area.isEmpty())
        pub.Modified = true;
    return area;
}

// ---------------------------------------------------------------- page attributes

PageAttributes pageAttributes(const Page &page)
{
    PageAttributes a;
    a.title = page.Title;
    a.color = page.PageColor;
    a.wallpaperChosen = page.PageStyle == 1;
    a.wallpaper = page.PageWallPaper;
    a.showMaster = page.ShowMaster;
    a.effect = page.PageEffect;
    a.speed = page.EffectSpeed;
    a.action = page.PageAction;
    return a;
}

quint8 backgroundStyle(bool wallpaperChosen, const QString &wallpaper)
{
    return wallpaperChosen && !wallpaper.isEmpty() ? 1 : 0;
}

RenameResult applyPageAttributes(Publication &pub, Page &page, const PageAttributes &attributes)
{
    const bool retitle = !attributes.title.isEmpty() && !sameTitle(attributes.title, page.Title);
    if (retitle) {
        if (attributes.title.size() > MaxGeneratedTitle)
            return RenameResult::TooLong;
        if (pub.findPage(attributes.title))
            return RenameResult::NameTaken;
    }
    page.PageColor = attributes.color;
    page.PageWallPaper = attributes.wallpaper;
    page.ShowMaster = attributes.showMaster;
    page.PageStyle = backgroundStyle(attributes.wallpaperChosen, attributes.wallpaper);
    page.PageEffect = attributes.effect;
    page.EffectSpeed = attributes.speed;
    page.PageAction = attributes.action;
    RenameResult result = RenameResult::Unchanged;
    if (retitle && &page != pub.masterPage())
        result = renamePage(pub, &page, attributes.title);
    pub.Modified = true;
    return result;
}

int copyToAllPages(Publication &pub, const Page &source, unsigned items)
{
    const bool fromMaster = &source == pub.masterPage();
    if (fromMaster)
        items &= CopyPalette;
    int changed = 0;
    auto copyTo = [&](Page &target) {
        if (&target == &source)
            return;
        if (items & CopyBackground) {
            target.PageColor = source.PageColor;
            target.PageStyle = source.PageStyle;
            target.PageWallPaper = source.PageWallPaper;
            target.ShowMaster = source.ShowMaster;
        }
        if (items & CopyDisplayEffect) {
            target.PageEffect = source.PageEffect;
            target.EffectSpeed = source.EffectSpeed;
        }
        if (items & CopyActionScript)
            target.PageAction = source.PageAction;
        if (items & CopyPalette)
            target.PagePalette = source.PagePalette;
        ++changed;
    };
    if (items == 0)
        return 0;
    for (int i = 0; i < pub.pageCount(); ++i)
        copyTo(*pub.page(i));
    if (items & CopyPalette)
        copyTo(*pub.masterPage());
    if (changed > 0)
        pub.Modified = true;
    return changed;
}

// ---------------------------------------------------------------- file list

QString fileListCaption(const Publication &pub)
{
    return pagemsg::FileListTitle + QLatin1String(": ") + pub.Settings.Title;
}

QStringList fileListReport(const std::vector<GatheredFile> &files)
{
    const qsizetype count = qsizetype(files.size());
    QStringList lines;
    lines << QLatin1String("Vardeko File List (") + QString::number(count) + QLatin1String(" File")
                    + (count == 1 ? QLatin1String("") : QLatin1String("s")) + QLatin1Char(')');
    lines << QString();

    auto section = [&](const QString &heading, auto belongs) {
        lines << heading;
        bool any = false;
        for (const GatheredFile &f : files) {
            if (belongs(f.kind)) {
                lines << QLatin1String("  ") + f.name;
                any = true;
            }
        }
        if (!any)
            lines << QStringLiteral("  None");
    };

    lines << QStringLiteral("Publication:");
    auto publication = std::find_if(files.begin(), files.end(), [](const GatheredFile &f) {
        return f.kind == GatheredKind::Publication;
    });
    lines << (publication != files.end() ? QLatin1String("  ") + publication->name
                                         : QStringLiteral("  Untitled Publication"));
    lines << QString();

    section(QStringLiteral("Text:"), [](GatheredKind k) { return k == GatheredKind::ArticleText; });
    lines << QString();
    section(QStringLiteral("Images:"), [](GatheredKind k) { return k == GatheredKind::Picture; });
    lines << QString();
    section(QStringLiteral("Sound/Music:"),
            [](GatheredKind k) { return k == GatheredKind::Sound; });
    lines << QString();
    section(QStringLiteral("Video/Animation:"),
            [](GatheredKind k) { return k == GatheredKind::VideoOrAnimation; });
    lines << QString();
    section(QStringLiteral("Data:"), [](GatheredKind k) {
        return k == GatheredKind::Other || k == GatheredKind::OtherMedia;
    });
    lines << QString();
    section(QStringLiteral("Fonts:"), [](GatheredKind k) { return k == GatheredKind::Font; });
    return lines;
}

} // namespace vardeko
