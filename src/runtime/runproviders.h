// What run mode asks of the reader-facing parts built beside it: pop-ups and dialogs,
// page transitions, media, floating windows and printing.
#pragma once

#include "publication.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

#include <memory>

class QWidget;

namespace vardeko {

// The run-mode text font (SetFont; TextWindow and the print commands read it).
struct RunFont
{
    QString name = QStringLiteral("Arial");
    int points = 9;
    int style = 0; // bold 1, italic 2, underline 4, strike-out 8
};

// The running publication window as a provider sees it.
class RunContext
{
public:
    virtual ~RunContext() = default;
    virtual const Publication &publication() const = 0;
    // The widget that shows the page; pop-ups and windows belong to its window.
    virtual QWidget *pageWidget() const = 0;
    // A page point in screen coordinates.
    virtual QPoint pageToGlobal(const QPoint &pagePoint) const = 0;
    // A stored file name as it exists on disk (any case, either slash), or the name
    // completed against the publication's directory when no such file exists.
    virtual QString resolveFile(const QString &stored) const = 0;
    virtual RunFont runFont() const = 0;
    // A language string of the publication by index (0 = L_OK).
    QString language(int index) const { return publication().Settings.Language[size_t(index)]; }

    // Scripted runs (the headless --run): every dialog that waits for the reader
    // closes by itself right after it is shown. Choices take takeAnswer(), which is
    // 0 once the scripted answers are used up.
    virtual bool isScripted() const = 0;
    virtual int takeAnswer() = 0;
    // True once the window's scripts were told to end (Stop, Esc, Pause, leaving run
    // mode): a wait for media returns then and the media plays on.
    virtual bool waitCancelled() const { return false; }
};

// Language string indexes used by run mode.
enum LanguageIndex {
    L_OK = 0, L_CANCEL, L_YES, L_NO, L_CLOSE, L_ERRORTITLE, L_FINDTITLE, L_FINDPROMPT,
    L_FINDFIRST, L_FINDNEXT, L_FINDERROR, L_PWORDTITLE, L_PWORDMSG, L_PWORDPROMPT,
    L_PWORDERROR, L_MEDIAERROR, L_INTERNETERROR, L_PAGEPROMPT, L_ABORTFUNCTION,
};

// The reader's pop-ups and dialogs. Modal ones return when closed; they may run a
// nested event loop, and must return promptly once endLoops() is called (leaving
// run mode or closing the window from inside one of them).
class PopupProvider
{
public:
    virtual ~PopupProvider() = default;
    // The plain alert ("Debug" for script errors, the application's title for files).
    virtual void showAlert(RunContext &run, const QString &title, const QString &text) = 0;
    virtual void alertBox(RunContext &run, const QString &title, const QString &message) = 0;
    // The query box; 1 for the first button, 0 when dismissed.
    virtual int messageBox(RunContext &run, const QString &title, const QString &message,
                           const QStringList &buttons) = 0;
    // The question with the publication's Yes and No captions; true for Yes.
    virtual bool confirmExit(RunContext &run, const QString &title, const QString &message) = 0;
    virtual void balloon(RunContext &run, const QString &message) = 0;
    // Page coordinates; -1 centres.
    virtual void stickyNote(RunContext &run, int x, int y, const QString &message, int milliseconds) = 0;
    // False when the image cannot be read.
    virtual bool popupImage(RunContext &run, int x, int y, const QString &file, int milliseconds,
                            int effect, int speed) = 0;
    // 1 for the first item, 0 when dismissed.
    virtual int popupMenu(RunContext &run, int x, int y, const QStringList &items) = 0;
    // Long operations: a window with a gauge and a stop button.
    virtual void startProgress(RunContext &run, const QString &title, int maximum) = 0;
    virtual void setProgress(int position) = 0;
    virtual bool stopPressed() const = 0;
    virtual void finishProgress() = 0;
    // True while a pop-up palette (menu, balloon...) is open: the idle return waits.
    virtual bool isPaletteOpen() const = 0;
    // The page changes: pop-ups that belong to the old page close.
    virtual void closePagePopups() = 0;
    // Ends every open modal loop (each returns as if dismissed); nothing is deleted here.
    virtual void endLoops() = 0;
};

// Showing a new page over the old one with an effect (effect 0: at once).
class TransitionProvider
{
public:
    virtual ~TransitionProvider() = default;
    // Draws `next` over `previous` on `target` inside `area` (widget coordinates) step
    // by step at `speed`, processing events between steps; returns when done.
    virtual void playTransition(QWidget *target, const QRect &area, const QImage &previous,
                                const QImage &next, int effect, int speed) = 0;
};

// Sound, video, animations, tones and the MCI strings. Modes: 0 normal, 1 wait, 2 loop.
class MediaProvider
{
public:
    virtual ~MediaProvider() = default;
    virtual void playSoundFile(RunContext &run, const QString &file, int mode) = 0;
    virtual void playVideoFile(RunContext &run, int x, int y, int width, int height,
                               const QString &file, int mode) = 0;
    virtual void playFlicFile(RunContext &run, int x, int y, int width, int height,
                              const QString &file, int times, int mode) = 0;
    virtual void playCartoonFile(RunContext &run, int x1, int y1, int x2, int y2,
                                 const QString &file, int times, int speed, int mode) = 0;
    virtual void playTone(RunContext &run, int hertz) = 0;
    virtual void stopMedia(RunContext &run, const QString &what) = 0;
    // The MCI error code, 0 for success.
    virtual int mciCommand(RunContext &run, const QString &command) = 0;
    // The return text of the last mciCommand ("1" for an open, "playing", ...).
    virtual QString lastMciReturn() const { return {}; }
    // Leaving run mode.
    virtual void stopAll() = 0;
};

// The floating text and image windows.
class WindowProvider
{
public:
    virtual ~WindowProvider() = default;
    virtual void imageWindow(RunContext &run, const QString &title, int x, int y, const QString &file) = 0;
    virtual void textWindow(RunContext &run, const QString &title, int x, int y, const QString &file) = 0;
    virtual void closeWindow(RunContext &run, const QString &name) = 0;
    virtual void closeAll() = 0;
    // Scrolls the text window showing `file` so that its line `line` (from 1) is the top
    // line; nothing when no such window is open.
    virtual void showTextLine(RunContext &run, const QString &file, int line)
    {
        Q_UNUSED(run);
        Q_UNUSED(file);
        Q_UNUSED(line);
    }
};

// Printing from scripts.
class PrintProvider
{
public:
    virtual ~PrintProvider() = default;
    virtual void printTextFile(RunContext &run, const QString &header, const QString &footer,
                               const QString &file, bool dataFile) = 0;
    virtual void printImageFile(RunContext &run, const QString &file, int percent) = 0;
    // `page` is the page to print (never null).
    virtual void printPage(RunContext &run, const Page &page) = 0;
};

// The program-wide providers. Each slot starts with a fallback that does what the
// console host does (the request, an answer of 0) and says once per command on
// standard error that the real one is not part of this program. Installing replaces
// the fallback; installing null puts it back.
struct RunProviders
{
    PopupProvider *popups;
    TransitionProvider *transitions;
    MediaProvider *media;
    WindowProvider *windows;
    PrintProvider *printing;
};
RunProviders &runProviders();
void installPopupProvider(std::unique_ptr<PopupProvider> provider);
void installTransitionProvider(std::unique_ptr<TransitionProvider> provider);
void installMediaProvider(std::unique_ptr<MediaProvider> provider);
void installWindowProvider(std::unique_ptr<WindowProvider> provider);
void installPrintProvider(std::unique_ptr<PrintProvider> provider);

// The owner of what is installed in the slots: made right after the application
// object (in main), it empties every slot when it goes, media first, so no provider,
// and nothing of Qt that one holds, outlives the application.
class RunProvidersScope
{
public:
    RunProvidersScope() = default;
    ~RunProvidersScope();
    RunProvidersScope(const RunProvidersScope &) = delete;
    RunProvidersScope &operator=(const RunProvidersScope &) = delete;
};

// Which slots hold a real provider rather than their fallback (the editor's Test
// buttons are offered only for those).
struct InstalledProviders
{
    bool popups = false, transitions = false, media = false, windows = false, printing = false;
};
InstalledProviders installedProviders();

// The standard-error note of a fallback: once per command word and process.
void noteMissingProvider(const char *command);

} // namespace vardeko
