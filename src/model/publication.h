// Publication, page and object records and the list operations every part uses.
#pragma once

#include "palette.h"

#include <QRect>
#include <QSet>
#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <variant>
#include <vector>

namespace vardeko {

inline constexpr int MaxObjects = 32000;
inline constexpr int MaxPages = 9999;
inline constexpr int MaxGeneratedTitle = 35;

// Object kinds; the numbers are stored in files and tag the tool palette's buttons.
enum ObjectKind : quint8 {
    PointerTool = 1, // never names an object
    ArticleKind = 2,
    ButtonKind = 3,
    PictureKind = 4,
    RectangleKind = 5,
    CircleKind = 6,
    LineKind = 7,
    TextKind = 8,
    GroupKind = 9,
};

enum FontStyleBits : quint8 { FontBold = 1, FontItalic = 2, FontUnderline = 4, FontStrikeOut = 8 };
enum AlignValue : quint8 { AlignLeftValue = 1, AlignCenterValue = 2, AlignRightValue = 4 };
enum ButtonStyle : quint8 { PushButton = 0, EntryField = 1, CheckBox = 2, RadioButton = 3 };
enum WindowFlagBits : quint8 { VScrollBarOn = 0x10, HScrollBarOn = 0x20 };

struct ArticleData
{
    QString Font;
    int FontSize = 0;
    quint8 FontStyle = 0;
    ColorRef TextColor = 0;
    bool ReformatNeeded = true;
    bool WordWrap = true;
    QString WorkingFile; // run-time; deleted with the object
    QString FileName;
    quint8 WindowFlags = VScrollBarOn;
    quint8 VScrollPos = 4; // 1 left, 4 right
    quint8 HScrollPos = 1; // 8 top, 1 bottom
    // The scroll ranges a compiled copy carries for its laid-out text; -1 when absent.
    int XRange = -1;
    int YRange = -1;
    int RunValue1 = 0;
    int RunValue2 = 0;
};

struct ButtonData
{
    quint8 Align = AlignCenterValue;
    quint8 Style = PushButton;
    quint8 InitState = 0;
    quint8 State = 0; // run-time
    quint16 Key = 0;  // virtual key in the low byte; 0x2000 Shift, 0x4000 Ctrl, 0x8000 Alt
    bool OverlayText = false;
    bool TransImages = false;
    int MaxLen = 255;
    int FontSize = 0;
    quint8 FontStyle = 0;
    ColorRef TextColor = 0;
    QString Font;
    QString VarName;
    QString UpImage;
    QString DownImage;
    QString Text;
    QString Contents; // run-time
    QString Action;
};

struct PictureData
{
    bool Scale = false;
    bool AspectRatio = false;
    QString FileName;
    quint8 WindowFlags = 0;
    quint8 VScrollPos = 4;
    quint8 HScrollPos = 1;
};

struct TextData
{
    quint8 Align = AlignLeftValue;
    QString Font;
    int FontSize = 0;
    quint8 FontStyle = 0;
    ColorRef TextColor = 0;
    QString Text;
};

using KindData = std::variant<std::monostate, ArticleData, ButtonData, PictureData, TextData>;

// The tool palette's current attributes, which new objects take.
struct ToolAttributes
{
    ColorRef FillColor = 0xFFFFFF;
    quint8 FillPattern = 0;
    quint8 FillMode = 0;
    ColorRef LineColor = 0;
    int LineWidth = 1;
    quint8 LineStyle = 0;
    QString Font = QStringLiteral("Arial");
    int FontSize = 12;
    quint8 FontStyle = 0;
    ColorRef FontColor = 0;
};

class ObjectCounter;
struct PageObject;
using ObjectPtr = std::unique_ptr<PageObject>;
// A stack of objects in stacking order: the first is drawn first and lies at the bottom.
using ObjectList = std::vector<ObjectPtr>;

struct PageObject
{
    quint8 ObjectType = 0;
    quint8 LineOrigin = 0;
    quint8 FillPattern = 0;
    quint8 FillMode = 0;
    ColorRef LineColor = 0;
    ColorRef FillColor = 0;
    int LineWidth = 0;
    int X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    bool Selected = false;
    ObjectList Members; // Group only
    quint8 LineStyle = 0;
    KindData Data;

    PageObject(const PageObject &) = delete;
    PageObject &operator=(const PageObject &) = delete;
    ~PageObject();

    QRect box() const { return QRect(QPoint(X1, Y1), QPoint(X2 - 1, Y2 - 1)); }
    bool isGroup() const { return ObjectType == GroupKind; }

    ArticleData *article() { return std::get_if<ArticleData>(&Data); }
    ButtonData *button() { return std::get_if<ButtonData>(&Data); }
    PictureData *picture() { return std::get_if<PictureData>(&Data); }
    TextData *text() { return std::get_if<TextData>(&Data); }
    const ArticleData *article() const { return std::get_if<ArticleData>(&Data); }
    const ButtonData *button() const { return std::get_if<ButtonData>(&Data); }
    const PictureData *picture() const { return std::get_if<PictureData>(&Data); }
    const TextData *text() const { return std::get_if<TextData>(&Data); }

private:
    friend class Publication;
    explicit PageObject(std::shared_ptr<ObjectCounter> counter);
    std::shared_ptr<ObjectCounter> mCounter;
};

struct Page
{
    QString Title;
    ColorRef PageColor = 0xFFFFFF;
    quint8 PageEffect = 0;
    quint8 EffectSpeed = 0;
    quint8 PageStyle = 0; // 0 solid colour, 1 wallpaper
    QString PageWallPaper;
    bool ShowMaster = true;
    QString PageAction;
    PaletteTable PagePalette = defaultPaletteTable();
    ObjectList Objects;
};
using PagePtr = std::unique_ptr<Page>;

inline constexpr int LanguageStringCount = 27;

struct LanguageString
{
    const char *key;
    const char *description;
    const char *defaultText;
};
// The 27 run-time message texts in their fixed order, L_OK first.
extern const std::array<LanguageString, LanguageStringCount> LanguageStrings;
std::array<QString, LanguageStringCount> defaultLanguageTexts();

// Publication-wide settings, in the order they are described.
struct PublicationSettings
{
    QString Title = QStringLiteral("Untitled Vardeko Publication");
    QString Author;
    QString Password;
    QString Icon;
    QString CompiledName;
    bool AllowESC = true;
    bool AllowPageUpDn = true;
    bool TabWindows = false;
    bool TabButtons = false;
    bool FullScreen = false;
    bool StayOnTop = false;
    bool Sizeable = false;
    bool AutoReturn = false;
    int ReturnTime = 5;
    QString ReturnAction;
    int ScreenColors = 16777216;
    int ScreenWidth = 640;
    int ScreenHeight = 480;
    quint8 FontsIncluded = 2;
    QString FontsToCompile;
    quint8 FilesIncluded = 1;
    bool CopyExternalFiles = false;
    QString ExternalPath;
    quint8 ExtractOp = 129;
    QString ExtractDir;
    QString SETUPBUILDDIR;
    QString SETUPINSTDIR = QStringLiteral("C:\\MyProgram");
    QString SETUPPROGGRP;
    QString SETUPTITLE = QStringLiteral("Setup");
    quint8 SETUPMEDIA = 1;
    std::array<int, 3> SETUPCOLORS = {16711680, 0, 65535};
    std::array<QString, LanguageStringCount> Language = defaultLanguageTexts();
};

bool isValidScreenColors(int colors);

// Counts the object records of one publication; each object holds a reference,
// so the count stays right however an object dies.
class ObjectCounter
{
public:
    int count = 0;
};

// One publication: settings, master page and pages. Owned by its window.
class Publication
{
public:
    Publication();
    ~Publication();
    Publication(const Publication &) = delete;
    Publication &operator=(const Publication &) = delete;

    PublicationSettings Settings;
    QString FileName;
    bool Modified = false;
    bool Loading = false;
    bool ConvertedFromDos = false;

    // --- objects
    int objectCount() const { return mCounter->count; }
    // A new record with the defaults and kind data; none at the object limit.
    ObjectPtr createObject(int kind, const ToolAttributes &tools = ToolAttributes());
    // Deep copy with fresh kind data; none when the limit is reached on the way.
    ObjectPtr duplicateObject(const PageObject &source, bool selected);
    // Objects kept aside (the undo history) stop counting against the object limit;
    // put back on a page they count again. Members move with their groups.
    void setAside(ObjectList &objects, bool aside);

    // --- pages
    Page *masterPage() const { return mMaster.get(); }
    int pageCount() const { return int(mPages.size()); }
    Page *page(int index) const { return mPages[size_t(index)].get(); }
    int indexOfPage(const Page *page) const; // -1 for the master page or a stranger
    Page *firstPage() const { return mPages.empty() ? nullptr : mPages.front().get(); }
    Page *lastPage() const { return mPages.empty() ? nullptr : mPages.back().get(); }
    Page *currentPage() const { return mCurrent; }
    void setCurrentPage(Page *page) { mCurrent = page; }

    // A page with the defaults and no objects; none beyond the page limit.
    PagePtr createPage(const QString &title) const;
    // Links a page after `after`, or first when `after` is null. Returns it.
    Page *linkPageAfter(PagePtr page, const Page *after);
    Page *appendPage(PagePtr page) { return linkPageAfter(std::move(page), lastPage()); }
    PagePtr unlinkPage(Page *page);
    void destroyPage(Page *page);
    // Destroys every page and the master page's objects.
    void clearPages();

    // Case-insensitive; "Master Page" in any case finds the master page.
    Page *findPage(const QString &title) const;
    QString makeUniqueTitle(const QString &wanted) const;
    // Copies every attribute and object of `source` under a unique title and
    // links the copy after it. None when a limit is reached.
    Page *duplicatePage(const Page *source);
    // The same for a page of any publication (a page tab dropped on another window),
    // linked after `after` (first when null). None when a limit is reached.
    Page *copyPageIn(const Page &source, const Page *after);
    // The only page left is reset instead of removed.
    void resetPage(Page *page);

private:
    // The record of one object with fresh kind data, without members.
    ObjectPtr copyRecord(const PageObject &source, bool selected);

    std::shared_ptr<ObjectCounter> mCounter;
    std::shared_ptr<ObjectCounter> mAsideCounter;
    PagePtr mMaster;
    std::vector<PagePtr> mPages;
    Page *mCurrent = nullptr;
};

// Makes page titles unique: a title that is free stays; otherwise trailing digits and
// blanks go, a space follows, and the first free number from 1 is appended, shortening
// the base when the title would pass 35 characters. Titles compare without case and
// "Master Page" is always taken. A batch that takes many titles keeps one instance: the
// titles are hashed once and a search resumes after the last number given for its base.
class UniqueTitles
{
public:
    explicit UniqueTitles(const Publication &pub);
    // A unique title for `wanted`, which is then taken.
    QString make(const QString &wanted);

private:
    bool taken(const QString &title) const { return mTaken.contains(title.toCaseFolded()); }
    QString unique(const QString &wanted);

    QSet<QString> mTaken;
    QString mBase;
    int mNext = 1;
};

// --- stack operations
void insertObject(ObjectList &stack, ObjectPtr object, const PageObject *before);
ObjectPtr unlinkObject(ObjectList &stack, const PageObject *object);
void destroyObject(ObjectList &stack, const PageObject *object);
void destroyAll(ObjectList &stack);
PageObject *lastObject(const ObjectList &stack);
PageObject *firstSelected(const ObjectList &stack);
int countSelected(const ObjectList &stack);
void selectAll(ObjectList &stack, bool selected);
void selectInside(ObjectList &stack, const QRect &rect);
// Union of the selected objects' boxes; false when nothing is selected.
bool selectionBox(const ObjectList &stack, QRect *box);
void offsetObject(PageObject &object, int dx, int dy);
void resizeEdges(PageObject &object, int dLeft, int dTop, int dRight, int dBottom);
// Counts this object and, for groups, all members.
int countObjects(const PageObject &object);
int countObjects(const ObjectList &stack);

// Calls visit(object) for every object of `stack` and of the groups in it, in stacking
// order, a group before its members. Groups nest to any depth, so the walk keeps its
// place in a list instead of recursing. `visit` must not change the lists it walks.
template <typename List, typename Visit>
void forEachObject(List &stack, Visit &&visit)
{
    std::vector<std::pair<List *, size_t>> levels{{&stack, 0}};
    while (!levels.empty()) {
        auto &[list, next] = levels.back();
        if (next == list->size()) {
            levels.pop_back();
            continue;
        }
        auto &object = *(*list)[next++];
        visit(object);
        if (!object.Members.empty())
            levels.emplace_back(&object.Members, 0);
    }
}

// --- page editing operations; each returns the area to repaint (empty: nothing done)
// and sets the modified flag.
QRect groupSelected(Publication &pub, Page &page);
QRect ungroupSelected(Publication &pub, Page &page);
QRect bringToFront(Publication &pub, Page &page);
QRect sendToBack(Publication &pub, Page &page);
QRect deleteSelected(Publication &pub, Page &page);

// Result of copying the selection to another page.
enum class CopyResult { Done, OutOfMemory };
CopyResult copySelectedToPage(Publication &pub, Page &source, Page &target, int dx, int dy,
                              bool removeFromSource);

// Measures text as the page renderer lays it out; implemented where fonts exist.
class TextMeasurer
{
public:
    virtual ~TextMeasurer() = default;
    // Width of the widest line and height of all lines of "|"-separated text.
    virtual QSize measureText(const QString &text, const QString &font, int size,
                              int style) const = 0;
};

// Sets X2/Y2 so the box holds the text, at least 10 by 10.
void fitText(PageObject &object, const TextMeasurer &measurer);

} // namespace vardeko
