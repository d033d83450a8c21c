// What a running script asks of the window it runs in: events, dialogs, pages, media.
#pragma once

#include "systeminfo.h"
#include "variablestore.h"

#include <QString>
#include <QStringList>

namespace vardeko {

enum class PageMove { First, Last, Previous, Next, Return };

// The script runner calls these with expanded parameters, numbers already converted.
// Coordinates are page coordinates; -1 means the default position. Line breaks that
// scripts write as "|" in messages arrive as "\r".
class RunHost : public PageValues, public SystemValues
{
public:
    ~RunHost() override = default;

    // Events between lines: called when a few milliseconds have passed since the last
    // call, so a tight loop neither starves the window nor pays for a pass per line.
    virtual void processPendingEvents() = 0;
    // A script line ran (for the idle auto-return).
    virtual void noteActivity() {}
    // A run begins: the page area shows the default arrow cursor.
    virtual void scriptStarting() {}
    // A run ended: the lines it recorded are no longer alive.
    virtual void scriptEnded() {}

    // The debug window (only while it is visible). A recorded line is the running
    // script's own text and lives until its run ends.
    virtual bool isRecordingLines() const { return false; }
    virtual void recordLine(int runDepth, const QString &line) { Q_UNUSED(runDepth); Q_UNUSED(line); }
    virtual void clearRecordedLines() {}

    // A modal alert: "Debug" for script errors, the application's title for file errors.
    virtual void showAlert(const QString &title, const QString &text) = 0;

    // Dialogs and pop-ups.
    virtual void alertBox(const QString &title, const QString &message) = 0;
    // The query box with "|"-separated button captions; 1 for the first, 0 for none.
    virtual int messageBox(const QString &title, const QString &message, const QStringList &buttons) = 0;
    // Exit's question with the publication's Yes and No captions; true for Yes.
    virtual bool confirmExit(const QString &title, const QString &message) = 0;
    virtual void leaveRunMode() = 0;
    virtual void balloon(const QString &message) = 0;
    virtual void stickyNote(int x, int y, const QString &message, int milliseconds) = 0;
    // False when the image cannot be shown.
    virtual bool popupImage(int x, int y, const QString &file, int milliseconds, int effect, int speed) = 0;
    // 1 for the first item, 0 when dismissed. `storesChoice` tells MenuEx from Menu.
    virtual int popupMenu(int x, int y, const QStringList &items, bool storesChoice) = 0;
    virtual void delay(int milliseconds) = 0;

    // Pages. gotoPage returns false when there is no page of that name; going to a
    // page runs its entry script through the runner before returning.
    virtual bool gotoPage(const QString &name) = 0;
    virtual void movePage(PageMove move) = 0;
    virtual void find(const QString &scope) = 0;

    // Media: mode 0 normal, 1 wait, 2 loop.
    virtual void playSoundFile(const QString &file, int mode) = 0;
    virtual void playVideoFile(int x, int y, int width, int height, const QString &file, int mode) = 0;
    virtual void playFlicFile(int x, int y, int width, int height, const QString &file, int times, int mode) = 0;
    virtual void playCartoonFile(int x1, int y1, int x2, int y2, const QString &file, int times,
                                 int speed, int mode) = 0;
    virtual void playTone(int hertz) = 0; // 100 for SoundBuzzer
    virtual void stopMedia(const QString &what) = 0;
    virtual int mciCommand(const QString &command) = 0; // the error code, 0 = success

    // Windows, fonts, printing, programs, links.
    virtual void imageWindow(const QString &title, int x, int y, const QString &file) = 0;
    virtual void textWindow(const QString &title, int x, int y, const QString &file) = 0;
    virtual void closeWindow(const QString &name) = 0;
    virtual void setFont(const QString &name, int points, int style) = 0;
    virtual void printTextFile(const QString &header, const QString &footer, const QString &file, bool dataFile) = 0;
    virtual void printImageFile(const QString &file, int percent) = 0;
    virtual void printPage(const QString &name) = 0;
    virtual void runProgram(const QString &program, const QString &parameters) = 0;
    virtual void internetLink(const QString &address) = 0;

    // Where relative file names of file commands are taken from.
    virtual QString programDirectory() const = 0;
};

} // namespace vardeko
