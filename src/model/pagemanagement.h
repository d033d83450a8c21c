// Page management: adding, copying, moving, renaming and deleting pages, the page lists
// of the main window, alignment, copying attributes to all pages and the file list.
#pragma once

#include "filegatherer.h"
#include "programtitle.h"
#include "publication.h"

#include <QLatin1String>
#include <QRect>
#include <QString>
#include <QStringList>

#include <vector>

namespace vardeko {

// Texts the page dialogs show.
namespace pagemsg {
inline constexpr QLatin1String AppTitle = ProgramTitleText;
inline constexpr QLatin1String MasterPage("Master Page");
inline constexpr QLatin1String NewPage("New Page");
inline constexpr QLatin1String NotEnoughMemory("Not enough memory!");
inline constexpr QLatin1String NameExists("A page with this name already exists.");
inline constexpr QLatin1String SelectAnother("Please select another name.");
inline constexpr QLatin1String CopyTitle("Copy Page");
inline constexpr QLatin1String CopyQuestion("Copy this page?");
inline constexpr QLatin1String DeleteTitle("Delete Page");
inline constexpr QLatin1String DeleteQuestion("Do you really want to delete this page?");
inline constexpr QLatin1String DeleteSelectedTitle("Delete");
inline constexpr QLatin1String
        DeleteSelectedQuestion("Do you really want to delete the selected page");
inline constexpr QLatin1String MoreItem("More...");
inline constexpr QLatin1String FileListTitle("File List");
inline constexpr QLatin1String CopyAttributesTitle("Copy Page Attributes");
inline constexpr QLatin1String CopyPaletteQuestion("Copy this palette to all pages?");
} // namespace pagemsg

// ---------------------------------------------------------------- adding

// Inserts one new page (a unique name made from `proposed`) after `after`, or first
// when `after` is null. The page becomes current when the publication had none.
// None when the page limit is reached.
Page *insertPage(Publication &pub, const QString &proposed, const Page *after);

enum class InsertPlace { After, Before };

struct AddPagesResult
{
    std::vector<Page *> pages; // in the order made
    bool failed = false; // the page limit stopped the batch: "Not enough memory!"
};

// The Add Pages dialog's OK: `count` pages named from "New Page". After puts the first
// after `anchor` and each further one after the previous new one; Before puts each
// directly before `anchor`, so the new pages stand in the order made. An anchor that is
// not one of the pages (the master page, none) adds at the end. Marks the publication
// modified when a page was added; the pages made before a failure stay.
AddPagesResult addPages(Publication &pub, const Page *anchor, int count, InsertPlace place);

// Add Pages dialog texts: the count's label and a position choice's caption.
QString addPagesCountLabel(int count); // "Page:" or "Pages:"
QString addPagesPlaceCaption(InsertPlace place, const Page &anchor); // "&After \"Intro\""

// ---------------------------------------------------------------- copy, move, delete

// Copies a page with all attributes and objects under its name made unique, directly
// after it (the master page's copy goes last). None when a limit is reached; the
// publication is then unchanged. Marks the publication modified.
Page *copyPage(Publication &pub, const Page &source);

// The question Page > Copy... asks: the name in double quotes, two line breaks, "Copy this page?".
QString copyPageQuestion(const Page &page);

// Moves the page named `pageName` directly before or after the page named `targetName`.
// False (and nothing changes) when either is missing, is the master page, or both are
// the same page. The current page stays current. Marks the publication modified.
bool movePage(Publication &pub, const QString &pageName, const QString &targetName,
              InsertPlace place);

// The page sorter's Up (-1) and Down (+1). False at either end (the caller beeps).
bool movePageStep(Publication &pub, Page *page, int step);

// The page sorter's drop of `page` on row `row`: before that row's page when it lies
// above the page's old place, after it otherwise; a row past the last targets the last
// page. False when nothing moved.
bool dropPageOnRow(Publication &pub, Page *page, int row);

// Deletes a page and its objects. The only page is emptied instead and takes the
// attributes of a new page with a fresh "New Page" name. When the deleted page was
// current, the previous page (or the next one) becomes current. False for the master
// page or a page that is not in the publication. Marks the publication modified.
bool deletePage(Publication &pub, Page *page);

// The page sorter's Delete: every page in the list, in turn. Returns how many were
// deleted or emptied.
int deletePages(Publication &pub, const std::vector<Page *> &pages);

QString deletePageQuestion(const Page &page);
QString deleteSelectedQuestion(int selectedCount);

// ---------------------------------------------------------------- rename

enum class RenameResult {
    Renamed,
    Unchanged, // empty title, or the same title in another case
    NameTaken, // another page or the master page has it
    TooLong, // more than 35 characters
    NotAllowed // the master page, or a page not in the publication
};

// The Rename dialog's OK. Rewrites every action that names the old title (buttons of the
// master page and of all pages, groups included, page actions and the idle actions),
// then gives the page the new title and marks the publication modified.
RenameResult renamePage(Publication &pub, Page *page, const QString &newTitle);

// The message shown for RenameResult::NameTaken.
QString nameTakenMessage(const QString &title);

// Rewrites one action script for a page renamed from `oldTitle` to `newTitle`: a Find
// line's list of page names gets each name equal to the old one replaced, and a
// GotoPage or PrintPage line naming the old page becomes the command and the new name
// in double quotes. Other lines stay as they are. Returns whether anything changed.
bool rewritePageReferences(QString *script, const QString &oldTitle, const QString &newTitle);

// Applies rewritePageReferences() to every action of the publication. Returns how many
// action texts changed.
int rewriteAllPageReferences(Publication &pub, const QString &oldTitle, const QString &newTitle);

// ---------------------------------------------------------------- page lists

// The tab set: "Master Page" while the publication is edited, then every page title.
QStringList pageTabTitles(const Publication &pub, bool running);

// Page > Goto: the page titles listed before "More...", and which fixed items show.
struct GotoMenu
{
    QStringList pageTitles; // at most the first 12
    bool masterPageVisible = true; // "Master Page" and the divider
    bool moreVisible = false; // "More..." only when the submenu holds 15 items
};
inline constexpr int GotoMenuItems = 15;
GotoMenu gotoMenu(const Publication &pub, bool running);

// Show Master Items: toggles the page's flag (never on the master page). False when
// nothing changed.
bool toggleShowMaster(Publication &pub, Page &page);

// ---------------------------------------------------------------- grid and alignment

inline constexpr int MinGridSpacing = 4;
inline constexpr int MaxGridSpacing = 50;
// The Set Grid dialog's range for both spacings.
int clampGridSpacing(int pixels);

enum class HorizontalAlign { None, Left, Center, Right };
enum class VerticalAlign { None, Top, Middle, Bottom };

// Align Object's OK: moves every selected object of `page`. The reference is the page
// (`pageSize`) or, when `relative` is set and more than one object is selected, the
// bounding box of the selection. Returns the area to repaint, the old and new boxes
// grown by 4 pixels (empty when nothing moved), and marks the publication modified.
QRect alignSelected(Publication &pub, Page &page, HorizontalAlign horizontal,
                    VerticalAlign vertical, bool relative, QSize pageSize);

// ---------------------------------------------------------------- page attributes

// What the page attributes dialog stores on OK for a page.
struct PageAttributes
{
    QString title;
    ColorRef color = 0xFFFFFF;
    bool wallpaperChosen = false;
    QString wallpaper;
    bool showMaster = true;
    quint8 effect = 0;
    quint8 speed = 0;
    QString action;
};

// The attributes a page holds, as the dialog opens with them.
PageAttributes pageAttributes(const Page &page);

// The stored background style: wallpaper (1) only when Wallpaper is chosen and the file
// box is not empty.
quint8 backgroundStyle(bool wallpaperChosen, const QString &wallpaper);

// The dialog's OK for a page: refuses a title another page has (NameTaken, nothing
// stored), else stores every attribute, renames the page as Rename does when the title
// changed, and marks the publication modified.
RenameResult applyPageAttributes(Publication &pub, Page &page, const PageAttributes &attributes);

enum CopyToAllItem : unsigned {
    CopyBackground = 1, // colour, background style, wallpaper, show-master flag
    CopyDisplayEffect = 2, // effect and speed
    CopyActionScript = 4, // the page action
    CopyPalette = 8, // the palette, which also goes to the master page
};

// "&Copy to All Pages...": copies the chosen groups from `source` to every other page.
// From the master page only the palette is copied. Returns how many pages changed;
// marks the publication modified when any did.
int copyToAllPages(Publication &pub, const Page &source, unsigned items);

// ---------------------------------------------------------------- file list

// "File List: " and the publication's title.
QString fileListCaption(const Publication &pub);

// The File List report's lines for gathered files (gather with publicationAndIcon so
// the publication itself is the kind-0 entry).
QStringList fileListReport(const std::vector<GatheredFile> &files);

} // namespace vardeko
