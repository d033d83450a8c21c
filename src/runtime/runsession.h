// The run session of a publication window: run mode, nested script runs, the pages a
// reader goes through, their buttons and keys, and everything scripts ask of the window.
#pragma once

#include "runproviders.h"
#include "runhost.h"
#include "variablestore.h"

#include <QCursor>
#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QTextStream>

#include <memory>

#include <QLineEdit>

namespace vardeko {

class ArticleObjects;
class ScriptRunner;
class TFindForm;

// The publication window as run mode needs it. The editor's window and the player
// implement it.
class RunWindow
{
public:
    virtual ~RunWindow() = default;
    virtual Publication &publication() const = 0;
    // The widget that shows the page and receives the mouse and keys.
    virtual QWidget *pageWidget() const = 0;
    // Where the page's (0, 0) lies in pageWidget() coordinates.
    virtual QPoint pageOrigin() const = 0;
    // Run mode begins: hide the editing palettes, remember the window's place and size,
    // size it for the page (the screen when `fullScreen`), scroll to the origin, draw in
    // the run look.
    virtual void enterRunLayout(bool fullScreen) = 0;
    // Run mode ends: everything enterRunLayout changed comes back.
    virtual void leaveRunLayout() = 0;
    // Repaints a page area (page coordinates); an empty rectangle repaints the page.
    virtual void repaintPage(const QRect &pageArea = QRect()) = 0;
    // The current page changed (tabs, caption, scroll position follow).
    virtual void currentPageChanged() = 0;
    virtual void setPageCursor(const QCursor &cursor) = 0;
    // The page area as it is shown now, page-sized.
    virtual QImage grabPage() const = 0;
    // The current page as it will show once painted in the run look, page-sized.
    virtual QImage renderCurrentPage() const = 0;
    // The window's caption (SystemInfo's PubTitle).
    virtual QString caption() const = 0;
    // The debug window of the program, if it has one.
    virtual class TDebugForm *debugWindow() const { return nullptr; }
    // The temporary directory of the preferences.
    virtual QString tempDir() const;
    // The article text of the objects shown (layout, scroll positions, links), if any.
    virtual ArticleObjects *articleObjects() const { return nullptr; }
};

// Receives a line for every request a running publication makes (--run prints them).
class RunLog
{
public:
    virtual ~RunLog() = default;
    virtual void request(const QString &word, const QStringList &fields) = 0;
};

// The milliseconds of the program's clock that LastActivityTicks counts in.
qint64 runTicks();

class RunSession : public QObject, public RunHost, public RunContext, public VariableObserver
{
    Q_OBJECT
public:
    explicit RunSession(RunWindow &window, QObject *parent = nullptr);
    ~RunSession() override;

    RunWindow &window() const { return mWindow; }
    Publication &pub() const { return mWindow.publication(); }
    ScriptRunner &runner() const { return *mRunner; }

    // --- state
    int RunMode = 0;
    qint64 LastActivityTicks = 0;
    bool isRunning() const { return RunMode != 0; }
    int runDepth() const;
    bool stopRequested() const;
    // Moves the activity clock back, as if the reader had been idle that long.
    void idle(qint64 milliseconds) { LastActivityTicks -= milliseconds; }

    // --- the interpreter's entry points
    // 1 enters run mode, 0 leaves it. Leaving may be refused (a cancelled password).
    void SetRunMode(int mode);
    void ExecuteScript(const QString &script);
    // Goes to the named page ("Master Page" included); false when there is none.
    bool ShowPage(const QString &name);
    bool showPage(Page *page);
    void PressButton(PageObject *button);
    // The page's edit control changed an entry field's text.
    void FieldChanged(PageObject *field, const QString &text);
    bool HandleRunKey(int key, Qt::KeyboardModifiers modifiers);
    void ScriptError(const QString &text);

    // --- commands from outside
    // The Run/Stop command: enter; leave; or end every script first.
    void runStopCommand();
    // The window is asked to close while running: leave run mode instead. True when the
    // close may go on (the window was not running).
    bool closeRequested();
    // Another publication window became active.
    void deactivated();
    // The one-second tick: refresh shown values, then the idle return.
    void tick();

    // --- the reader's mouse, in page coordinates
    void mousePress(Qt::MouseButton button, const QPoint &page);
    void mouseMove(const QPoint &page);
    void mouseRelease(Qt::MouseButton button, const QPoint &page);

    // The object holding the key focus and the field being edited, if any.
    PageObject *focusedObject() const { return mFocus; }
    PageObject *editedField() const { return mEditedField; }
    QLineEdit *fieldEditor() const { return mEditor; }
    // Scroll position of an article or picture window (for painting).
    QPoint scrollPosition(const PageObject &object) const;
    // The object a search last found on the shown page (drawn inverted).
    const PageObject *findHighlight() const { return mHighlight; }
    // The page area drawn inverted for the search's match: a text's box, an article's
    // matched line; empty for none.
    QRect findHighlightRect() const;
    TFindForm *findForm() const;
    void showFindMatch(const struct FindMatch &match);
    void notFound();
    void alert(const QString &title, const QString &text);
    // The return page of a page, if it still exists.
    Page *returnPage(const Page *page) const;
    RunFont runFont() const override { return mRunFont; }

    // True when no script runs, no page is being entered, no wait is pending and run
    // mode is not being left (its password dialog may come and go meanwhile).
    bool isIdle() const { return runDepth() == 0 && mEnteringPage == 0 && !isHoldingInput() && !mLeaving; }
    // True from the moment run mode is asked to end until it has ended or stays.
    bool isLeaving() const { return mLeaving; }
    // True while a wait holds the reader's input back (Delay, a page transition, a
    // keyboard press showing).
    bool isHoldingInput() const { return mHoldingInput > 0 || mPlayingTransition > 0; }
    // True while a page transition plays: even the Stop command waits for its end.
    bool isPlayingTransition() const { return mPlayingTransition > 0; }
    // Headless runs: requests go to the log and dialogs take scripted answers.
    void setLog(RunLog *log) { mLog = log; }
    void setScriptedAnswers(const QList<int> &answers);
    // The variables as they were just before run mode last ended (newest first).
    QStringList lastVariables() const { return mLastVariables; }
    // A compiled program: a wrong exit password keeps the reader in the publication.
    void setCompiledProgram(bool on) { mCompiled = on; }
    // Pages are drawn straight away with no effect (benchmarks, tests).
    void setTransitionsEnabled(bool on) { mTransitions = on; }

    // --- RunContext
    const Publication &publication() const override { return mWindow.publication(); }
    QWidget *pageWidget() const override { return mWindow.pageWidget(); }
    QPoint pageToGlobal(const QPoint &pagePoint) const override;
    QString resolveFile(const QString &stored) const override;
    bool isScripted() const override { return mScripted; }
    int takeAnswer() override;
    bool waitCancelled() const override { return !RunMode || runDepth() == 0 || stopRequested(); }

signals:
    void runModeChanged(bool running);
    // A page was shown (page number 0 for the master page).
    void pageShown();
    // A system beep was due.
    void beeped();

protected:
    // --- RunHost
    void processPendingEvents() override;
    void noteActivity() override;
    void scriptStarting() override;
    void scriptEnded() override;
    bool isRecordingLines() const override;
    void recordLine(int runDepth, const QString &line) override;
    void clearRecordedLines() override;
    void showAlert(const QString &title, const QString &text) override;
    void alertBox(const QString &title, const QString &message) override;
    int messageBox(const QString &title, const QString &message, const QStringList &buttons) override;
    bool confirmExit(const QString &title, const QString &message) override;
    void leaveRunMode() override;
    void balloon(const QString &message) override;
    void stickyNote(int x, int y, const QString &message, int milliseconds) override;
    bool popupImage(int x, int y, const QString &file, int milliseconds, int effect, int speed) override;
    int popupMenu(int x, int y, const QStringList &items, bool storesChoice) override;
    void delay(int milliseconds) override;
    bool gotoPage(const QString &name) override;
    void movePage(PageMove move) override;
    void find(const QString &scope) override;
    void playSoundFile(const QString &file, int mode) override;
    void playVideoFile(int x, int y, int width, int height, const QString &file, int mode) override;
    void playFlicFile(int x, int y, int width, int height, const QString &file, int times, int mode) override;
    void playCartoonFile(int x1, int y1, int x2, int y2, const QString &file, int times, int speed,
                         int mode) override;
    void playTone(int hertz) override;
    void stopMedia(const QString &what) override;
    int mciCommand(const QString &command) override;
    void imageWindow(const QString &title, int x, int y, const QString &file) override;
    void textWindow(const QString &title, int x, int y, const QString &file) override;
    void closeWindow(const QString &name) override;
    void setFont(const QString &name, int points, int style) override;
    void printTextFile(const QString &header, const QString &footer, const QString &file, bool dataFile) override;
    void printImageFile(const QString &file, int percent) override;
    void printPage(const QString &name) override;
    void runProgram(const QString &program, const QString &parameters) override;
    void internetLink(const QString &address) override;
    QString programDirectory() const override;

    // PageValues and SystemValues
    QString currentPageTitle() const override;
    QString currentPageNumber() const override;
    QString publicationAuthor() const override;
    int publicationColors() const override;
    QString publicationDir() const override;
    int pageWidth() const override;
    int pageHeight() const override;
    QString publicationTitle() const override;
    int screenColors() const override;
    int screenWidth() const override;
    int screenHeight() const override;
    QString tempDir() const override;

    // VariableObserver
    void variableChanged(const QString &upperName) override;
    void variableListChanged() override;

private:
    friend class RunSessionTest;
    void log(const QString &word, const QStringList &fields = {});
    void beep();
    bool leave();
    bool askPassword();
    void drawNewPage();
    void resetButtons();
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool appKeyPress(QObject *watched, class QKeyEvent *key);
    void stepPage(PageMove move);
    bool enterPage(Page *page, bool entering);
    // Find (runfind.cpp).
    void openFind(const QString &scope);
    void closeFind();
    // Focus and fields (runinput.cpp).
    QList<PageObject *> focusChain() const;
    bool canTakeFocus(const PageObject &object) const;
    void setFocus(PageObject *object);
    void moveFocus(bool backwards);
    void openFieldEditor(PageObject *field);
    void closeFieldEditor();
    void completePress(PageObject *button, quint8 stateBefore);
    PageObject *hotKeyButton(int key, Qt::KeyboardModifiers modifiers) const;
    bool scrollFocused(int key);
    // Article objects (runarticles.cpp).
    bool articlePress(PageObject *article, const QPoint &point);
    bool overArticleLink(const PageObject &article, const QPoint &point) const;
    bool articleScrollKey(int key);
    void repaintObject(const PageObject *object);
    // Bound objects (runbinding.cpp).
    bool applyVariable(const QString &upperName);
    void clearOtherRadios(PageObject *selected);
    void indexBoundButtons();
    void refreshTimes();

    RunWindow &mWindow;
    std::unique_ptr<ScriptRunner> mRunner;
    RunLog *mLog = nullptr;
    QList<int> mAnswers;
    qsizetype mNextAnswer = 0;
    bool mScripted = false;
    bool mTransitions = true;
    bool mCompiled = false;
    bool mLeaving = false;
    int mHoldingInput = 0;
    int mPlayingTransition = 0;
    int mEnteringPage = 0;
    void holdInput(int milliseconds);
    RunFont mRunFont;
    QHash<const Page *, Page *> mReturnPages;
    QStringList mLastVariables;

    PageObject *mFocus = nullptr;
    PageObject *mEditedField = nullptr;
    QPointer<QLineEdit> mEditor;
    bool mSettingField = false; // the edit control is being set from the variable
    PageObject *mPressed = nullptr;
    quint8 mPressedState = 0;
    bool mPressedShown = false;
    QHash<const PageObject *, QPoint> mScroll;
    // While running nothing is edited: the buttons bound to each variable and the texts
    // showing references are found once.
    QHash<QString, QList<PageObject *>> mBound;
    // The texts shown with the current page that show references, by the upper-cased
    // names they refer to; made again when another page shows.
    using ReferringTexts = QHash<QString, QList<const PageObject *>>;
    ReferringTexts mReferringTexts;
    const Page *mReferringPage = nullptr;
    const ReferringTexts &shownReferringTexts();
    QDateTime mLastTick;
    // Whether the debug window shows, kept while running from its show and hide events:
    // scripts ask before every line.
    bool mDebugShown = false;
    bool debugShown() const;
    // A changed variable that no bound button and no shown text follows, with the page
    // it was found quiet on: a loop counting it pays one comparison per line.
    QString mQuietName;
    const Page *mQuietPage = nullptr;
    QPointer<TFindForm> mFind;
    const PageObject *mHighlight = nullptr;
    int mHighlightLine = 0; // an article's matched line, from its top line (1)
};

} // namespace vardeko
