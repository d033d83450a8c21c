// The editor's preferences: defaults, reading with clamping, writing, window positions.
#pragma once

#include "palette.h"
#include "publication.h"

#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

class QSettings;

namespace vardeko {

inline constexpr int ReopenListLimit = 10;

// True when two names denote the same publication file.
bool samePublicationFile(const QString &a, const QString &b);

// The recently closed publications, newest first; never one that is open.
class ReopenList
{
public:
    const QStringList &items() const { return mItems; }
    bool isEmpty() const { return mItems.isEmpty(); }
    // Entries are compared as files (samePublicationFile), as opening compares them.
    // Appends when reading the stored list; an entry for the same file is dropped first.
    void append(const QString &fileName);
    // A closed publication goes on top.
    void insertClosed(const QString &fileName);
    // An opened publication leaves the list.
    void removeOpened(const QString &fileName);
    void clear() { mItems.clear(); }

private:
    QStringList mItems;
};

// Every preference, in the order written.
struct Preferences
{
    Preferences();

    QRect MainWindowPos = QRect(5, 7, 592, 404);
    QPoint ToolPalettePos = QPoint(8, 80);
    bool ToolPaletteExpanded = true;
    bool ToolPaletteRolledUp = false;
    QPoint MouseWindowPos = QPoint(8, 420);
    bool ShowMousePos = false;
    QRect DebugWindowPos = QRect(300, 240, 320, 200);
    bool ShowDebugInfo = false;
    bool DebugRolledUp = false;
    QRect FileListWindowPos = QRect(420, 60, 200, 300);
    bool ShowFileList = false;
    bool FileListRolledUp = false;
    int ActionPalette = 0;
    bool ShowImages = true;
    bool ShowGrid = false;
    bool SnapToGrid = false;
    int GridX = 8;
    int GridY = 8;
    int ScreenWidth = 640;
    int ScreenHeight = 480;
    int ScreenColors = 16777216;
    bool Undo = true;
    bool CreateBackupFiles = true;
    bool AutoUpdate = true;
    bool UtilsInRegistry = true;
    bool ShowThumbnailImages = false;
    bool WindowsFileSelector = true;
    QString PubDir;
    QString TempDir;
    QString DataDir;
    QString ImageDir;
    QString TextDir;
    QString AudioDir;
    QString VideoDir;
    QString PaletteDir;
    QString LanguageDir;
    QString DOSDir;
    QString ActionDir;
    QString ArchiveDir;
    QString TextEditor = QStringLiteral("NOTEPAD.EXE");
    QString ImageEditor = QStringLiteral("PBRUSH.EXE");
    QString SoundEditor = QStringLiteral("SNDREC32.EXE");
    QString VideoEditor = QStringLiteral("MPLAYER.EXE");
    ColorRef EditorBkndColor = 0xFFFFFF;
    ColorRef EditorTextColor = 0;
    QString EditorFontName = QStringLiteral("Arial");
    int EditorFontSize = 9;
    int EditorFontStyle = 0;
    QString Header;
    QString Footer = QStringLiteral("Page &p");
    double LeftMargin = 0.75;
    double TopMargin = 0.5;
    double RightMargin = 0.75;
    double BottomMargin = 0.5;
    int UnitOfMeasure = 0;
    bool WrapLines = true;
    QString Mascot = QStringLiteral("KORRO");
    std::array<QString, LanguageStringCount> Language = defaultLanguageTexts();
    ReopenList Reopen;
    // Not a stored value: whether MainWindowPos came from the stored preferences.
    bool MainWindowPosStored = false;
    // Not a stored value: whether ToolPalettePos came from the stored preferences.
    bool ToolPalettePosStored = false;
};

// Reads every stored value over `prefs`; a missing or unreadable value keeps what is there.
void readPreferences(QSettings &settings, Preferences &prefs);
// Writes every value in the order of the table, the Reopen list last.
void writePreferences(QSettings &settings, const Preferences &prefs);
// The stored keys in the order written, without the Reopen list.
QStringList preferenceKeys();

// A stored integer: decimal, or hexadecimal after "0x"; none when it does not parse.
std::optional<int> parseStoredInt(const QString &text);

// Splits a stored window position into its numeric fields. An empty or missing field
// keeps the value of `current` at that place; a field that is not a number gives 0.
QList<int> parseWindowPos(const QString &text, const QList<int> &current);
QString formatWindowPos(const QList<int> &fields);

// Moves windows that were left beyond the screen back into sight.
QRect fixMainWindowPos(const QRect &pos, const QSize &screen);
QPoint fixFloatingWindowPos(const QPoint &pos, const QSize &windowSize, const QSize &screen);
void fixWindowPositions(Preferences &prefs, const QSize &screen);
// The main window's bounds on a first start, inside the screen's available area:
// large enough for a page of a usual size with the window's bars, never past the area.
QRect firstStartWindowPos(const QRect &available);

} // namespace vardeko
