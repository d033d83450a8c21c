// The run session of a publication window: entering and leaving run mode, pages and
// their entry scripts, and the requests of running scripts.
#include "runsession.h"

#include "commandtable.h"
#include "debugform.h"
#include "filenames.h"
#include "findform.h"
#include "palette.h"
#include "passworddialog.h"
#include "pagepainter.h"
#include "programs.h"
#include "runmessages.h"
#include "scriptmessages.h"
#include "scriptrunner.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QThread>
#include <QWidget>

namespace vardeko {

namespace {

QString n(int v)
{
    return QString::number(v);
}

} // namespace

qint64 runTicks()
{
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    return clock.elapsed();
}

QString RunWindow::tempDir() const
{
    return QDir::tempPath();
}

RunSession::RunSession(RunWindow &window, QObject *parent)
    : QObject(parent)
    , mWindow(window)
    , mRunner(std::make_unique<ScriptRunner>(*this, globalVariables()))
{
}

RunSession::~RunSession()
{
    if (qApp)
        qApp->removeEventFilter(this);
    if (RunMode)
        globalVariables().removeObserver(this);
    if (mEditor)
        delete mEditor;
}

int RunSession::runDepth() const
{
    return mRunner->runDepth();
}

bool RunSession::stopRequested() const
{
    return mRunner->stopRequested();
}

void RunSession::log(const QString &word, const QStringList &fields)
{
    if (mLog)
        mLog->request(word, fields);
}

void RunSession::beep()
{
    log(QStringLiteral("Beep"));
    QApplication::beep();
    emit beeped();
}

void RunSession::setScriptedAnswers(const QList<int> &answers)
{
    mScripted = true;
    mAnswers = answers;
    mNextAnswer = 0;
}

int RunSession::takeAnswer()
{
    return mNextAnswer < mAnswers.size() ? mAnswers.at(mNextAnswer++) : 0;
}

QPoint RunSession::pageToGlobal(const QPoint &pagePoint) const
{
    return mWindow.pageWidget()->mapToGlobal(pagePoint + mWindow.pageOrigin());
}

QString RunSession::resolveFile(const QString &stored) const
{
    const QString dir = publicationDir();
    const QString found = locateFile(stored, dir);
    if (!found.isEmpty())
        return found;
    return hasDirectoryPart(stored) || dir.isEmpty() ? stored : joinPath(dir, stored);
}

Page *RunSession::returnPage(const Page *page) const
{
    Page *back = mReturnPages.value(page);
    // Pages deleted while editing leave no dangling link behind.
    if (back && back != pub().masterPage() && pub().indexOfPage(back) < 0)
        return nullptr;
    return back;
}

// --- run mode

void RunSession::SetRunMode(int mode)
{
    if (mode && !RunMode) {
        Publication &p = pub();
        Page *current = p.currentPage();
        if (!current || current == p.masterPage()) {
            Page *back = current ? returnPage(current) : nullptr;
            current = back && back != p.masterPage() ? back : p.firstPage();
        }
        if (!current)
            return;
        mWindow.enterRunLayout(p.Settings.FullScreen);
        mRunner->stopAllScripts();
        mRunFont = RunFont();
        RunMode = 1;
        mLeaving = false;
        mFocus = nullptr;
        mPressed = nullptr;
        mScroll.clear();
        mLastTick = QDateTime::currentDateTime();
        resetButtons();
        globalVariables().addObserver(this);
        variableListChanged();
        LastActivityTicks = runTicks();
        mDebugShown = debugShown();
        // Esc and Pause reach the session whichever of the program's windows has the focus.
        qApp->installEventFilter(this);
        emit runModeChanged(true);
        enterPage(current, true);
        return;
    }
    if (!mode && RunMode)
        leave();
}

bool RunSession::askPassword()
{
    const PublicationSettings &s = pub().Settings;
    if (s.Password.isEmpty())
        return true;
    const PasswordResult result = askForPassword(*this, s.Password);
    if (result == PasswordResult::Cancelled)
        return false;
    if (result == PasswordResult::Wrong) {
        messageBox(language(L_PWORDTITLE), language(L_PWORDERROR), {language(L_OK)});
        if (mCompiled)
            return false;
        // The reader is told the truth about the editor: the way back is not barred.
        showAlert(QLatin1String(rmsg::PasswordTitle), QLatin1String(rmsg::PasswordNotCompiled));
    }
    return true;
}

bool RunSession::leave()
{
    if (!RunMode || mLeaving)
        return !RunMode;
    mLeaving = true;
    if (!askPassword()) {
        mLeaving = false;
        return false;
    }
    // Loops of dialogs and menus end first; windows go only after their frames unwind.
    mRunner->stopAllScripts();
    runProviders().popups->endLoops();
    mLastVariables = globalVariables().listing();
    RunMode = 0;
    qApp->removeEventFilter(this);
    closeFieldEditor();
    runProviders().popups->closePagePopups();
    runProviders().media->stopAll();
    runProviders().windows->closeAll();
    clearRecordedLines();
    globalVariables().removeObserver(this);
    globalVariables().DeleteAllVariables();
    if (TDebugForm *debug = mWindow.debugWindow())
        debug->RefreshVariables(globalVariables());
    closeFind();
    if (mPressed && mPressed->button())
        mPressed->button()->State = mPressedState;
    mPressed = nullptr;
    mFocus = nullptr;
    mScroll.clear();
    mWindow.setPageCursor(QCursor(Qt::ArrowCursor));
    mWindow.leaveRunLayout();
    mLeaving = false;
    emit runModeChanged(false);
    return true;
}

void RunSession::leaveRunMode()
{
    SetRunMode(0);
}

void RunSession::runStopCommand()
{
    if (!RunMode) {
        SetRunMode(1);
    } else if (runDepth() == 0) {
        SetRunMode(0);
    } else {
        mRunner->stopAllScripts();
        beep();
    }
}

bool RunSession::closeRequested()
{
    if (!RunMode)
        return true;
    SetRunMode(0);
    return false;
}

void RunSession::deactivated()
{
    if (RunMode)
        SetRunMode(0);
}

void RunSession::resetButtons()
{
    // Buttons start as authored: check boxes and radio buttons in their initial state,
    // entry fields showing their text.
    auto reset = [](ObjectList &stack, auto &) -> void {
        forEachObject(stack, [](PageObject &o) {
            if (ButtonData *b = o.button()) {
                b->State = b->Style == PushButton || b->Style == EntryField ? 0 : b->InitState;
                b->Contents = b->Text;
            }
        });
    };
    Publication &p = pub();
    if (p.masterPage())
        reset(p.masterPage()->Objects, reset);
    for (int i = 0; i < p.pageCount(); ++i)
        reset(p.page(i)->Objects, reset);
    indexBoundButtons();
    for (const auto &[name, value] : globalVariables().entries())
        applyVariable(name);
}

// --- scripts

void RunSession::ExecuteScript(const QString &script)
{
    mRunner->ExecuteScript(script);
}

void RunSession::ScriptError(const QString &text)
{
    mRunner->ScriptError(text);
}

void RunSession::processPendingEvents()
{
    QCoreApplication::processEvents();
}

void RunSession::noteActivity()
{
    if (pub().Settings.AutoReturn)
        LastActivityTicks = runTicks();
}

void RunSession::scriptStarting()
{
    mWindow.setPageCursor(QCursor(Qt::ArrowCursor));
}

bool RunSession::debugShown() const
{
    const TDebugForm *debug = mWindow.debugWindow();
    return debug && debug->isVisible();
}

bool RunSession::isRecordingLines() const
{
    return RunMode ? mDebugShown : debugShown();
}

void RunSession::recordLine(int depth, const QString &line)
{
    if (TDebugForm *debug = mWindow.debugWindow())
        debug->RecordScriptLine(depth, line);
}

void RunSession::scriptEnded()
{
    if (TDebugForm *debug = mWindow.debugWindow())
        debug->ScriptEnded();
}

void RunSession::clearRecordedLines()
{
    if (TDebugForm *debug = mWindow.debugWindow())
        debug->ClearLines();
}

// --- pages

bool RunSession::ShowPage(const QString &name)
{
    Page *page = pub().findPage(name);
    if (!page)
        return false;
    showPage(page);
    return true;
}

bool RunSession::showPage(Page *page)
{
    return enterPage(page, false);
}

namespace {

struct Counting
{
    int &count;
    explicit Counting(int &c) : count(c) { ++count; }
    ~Counting() { --count; }
};

} // namespace

// `entering`: run mode begins on this page, which is drawn and entered even though it
// is the current one.
bool RunSession::enterPage(Page *page, bool entering)
{
    Publication &p = pub();
    Page *old = p.currentPage();
    if (!page)
        return false;
    if (page == old && !entering)
        return true;
    const Counting busy(mEnteringPage); // a transition lets events through
    if (RunMode) {
        runProviders().popups->closePagePopups();
        closeFieldEditor();
    }
    if (mPressed && mPressed->button())
        mPressed->button()->State = mPressedState;
    mPressed = nullptr;
    mHighlight = nullptr;
    if (old && old != page)
        mReturnPages.insert(page, old);
    p.setCurrentPage(page);
    drawNewPage();
    mWindow.currentPageChanged();
    const int number = page == p.masterPage() ? 0 : p.indexOfPage(page) + 1;
    log(QStringLiteral("Page"), {n(number), page->Title});
    emit pageShown();
    if (!RunMode)
        return true;
    mFocus = nullptr;
    const QList<PageObject *> chain = focusChain();
    if (!chain.isEmpty())
        setFocus(chain.first());
    if (!page->PageAction.isEmpty())
        ExecuteScript(page->PageAction);
    LastActivityTicks = runTicks();
    return true;
}

void RunSession::drawNewPage()
{
    const Page *page = pub().currentPage();
    const int effect = page->PageEffect;
    if (RunMode && effect != 0) {
        const int speed = qBound(0, int(page->EffectSpeed), 10);
        log(QStringLiteral("Transition"), {n(effect), n(speed)});
        if (mTransitions) {
            const QImage before = mWindow.grabPage();
            const QImage after = mWindow.renderCurrentPage();
            QWidget *target = mWindow.pageWidget();
            // The reader's input, Stop included, waits until the effect ends.
            const Counting playing(mPlayingTransition);
            runProviders().transitions->playTransition(
                    target, QRect(mWindow.pageOrigin(), after.size()), before, after, effect, speed);
        }
    }
    mWindow.repaintPage();
}

bool RunSession::gotoPage(const QString &name)
{
    log(commandName(CmdGotoPage), {name});
    return ShowPage(name);
}

void RunSession::movePage(PageMove move)
{
    static const int commands[] = {CmdGotoFirstPage, CmdGotoLastPage, CmdGotoPrevPage, CmdGotoNextPage,
                                   CmdReturnToPage};
    log(commandName(commands[int(move)]));
    stepPage(move);
}

void RunSession::stepPage(PageMove move)
{
    Publication &p = pub();
    Page *current = p.currentPage();
    const int index = p.indexOfPage(current);
    Page *target = nullptr;
    switch (move) {
    case PageMove::First:
        target = p.firstPage();
        break;
    case PageMove::Last:
        target = p.lastPage();
        break;
    case PageMove::Previous:
        target = index > 0 ? p.page(index - 1) : nullptr;
        break;
    case PageMove::Next:
        target = index >= 0 && index + 1 < p.pageCount() ? p.page(index + 1) : nullptr;
        break;
    case PageMove::Return:
        target = current ? returnPage(current) : nullptr;
        break;
    }
    if (target && target != current)
        showPage(target);
}

// --- the one-second tick

void RunSession::tick()
{
    if (!RunMode)
        return;
    refreshTimes();
    const PublicationSettings &s = pub().Settings;
    if (runProviders().popups->isPaletteOpen() || !s.AutoReturn || s.ReturnTime <= 0
        || s.ReturnAction.isEmpty())
        return;
    if (runTicks() >= LastActivityTicks + qint64(s.ReturnTime) * 60000) {
        LastActivityTicks = runTicks();
        ExecuteScript(s.ReturnAction);
    }
}

// --- requests

void RunSession::showAlert(const QString &title, const QString &text)
{
    log(title, {text});
    runProviders().popups->showAlert(*this, title, text);
}

void RunSession::alertBox(const QString &title, const QString &message)
{
    log(commandName(CmdAlertBox), {title, message});
    runProviders().popups->alertBox(*this, title, message);
}

int RunSession::messageBox(const QString &title, const QString &message, const QStringList &buttons)
{
    log(commandName(CmdMessageBox), {title, message, buttons.join(u'|')});
    return runProviders().popups->messageBox(*this, title, message, buttons);
}

bool RunSession::confirmExit(const QString &title, const QString &message)
{
    log(commandName(CmdExit), {title, message});
    return runProviders().popups->confirmExit(*this, title, message);
}

void RunSession::balloon(const QString &message)
{
    log(commandName(CmdBalloon), {message});
    runProviders().popups->balloon(*this, message);
}

void RunSession::stickyNote(int x, int y, const QString &message, int milliseconds)
{
    log(commandName(CmdStickyNote), {n(x), n(y), message, n(milliseconds)});
    runProviders().popups->stickyNote(*this, x, y, message, milliseconds);
}

bool RunSession::popupImage(int x, int y, const QString &file, int milliseconds, int effect, int speed)
{
    log(commandName(CmdPopupImage), {n(x), n(y), file, n(milliseconds), n(effect), n(speed)});
    return runProviders().popups->popupImage(*this, x, y, file, milliseconds, effect, speed);
}

int RunSession::popupMenu(int x, int y, const QStringList &items, bool storesChoice)
{
    log(commandName(storesChoice ? CmdMenuEx : CmdMenu), {n(x), n(y), items.join(u'|')});
    return runProviders().popups->popupMenu(*this, x, y, items);
}

void RunSession::delay(int milliseconds)
{
    log(commandName(CmdDelay), {n(milliseconds)});
    holdInput(milliseconds);
}

// The wait handles no input: clicks and keys wait in the queue until it is over, so no
// other script starts meanwhile. Painting goes on.
void RunSession::holdInput(int milliseconds)
{
    ++mHoldingInput;
    QElapsedTimer clock;
    clock.start();
    while (!clock.hasExpired(milliseconds)) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        const qint64 left = milliseconds - clock.elapsed();
        if (left > 0)
            QThread::msleep(ulong(qMin<qint64>(left, 10)));
    }
    --mHoldingInput;
}

void RunSession::find(const QString &scope)
{
    log(commandName(CmdFind), {scope});
    openFind(scope);
}

void RunSession::playSoundFile(const QString &file, int mode)
{
    log(commandName(CmdPlaySoundFile), {file, n(mode)});
    runProviders().media->playSoundFile(*this, file, mode);
}

void RunSession::playVideoFile(int x, int y, int width, int height, const QString &file, int mode)
{
    log(commandName(CmdPlayVideoFile), {n(x), n(y), n(width), n(height), file, n(mode)});
    runProviders().media->playVideoFile(*this, x, y, width, height, file, mode);
}

void RunSession::playFlicFile(int x, int y, int width, int height, const QString &file, int times, int mode)
{
    log(commandName(CmdPlayFlicFile), {n(x), n(y), n(width), n(height), file, n(times), n(mode)});
    runProviders().media->playFlicFile(*this, x, y, width, height, file, times, mode);
}

void RunSession::playCartoonFile(int x1, int y1, int x2, int y2, const QString &file, int times,
                                 int speed, int mode)
{
    log(commandName(CmdPlayCartoonFile), {n(x1), n(y1), n(x2), n(y2), file, n(times), n(speed), n(mode)});
    runProviders().media->playCartoonFile(*this, x1, y1, x2, y2, file, times, speed, mode);
}

void RunSession::playTone(int hertz)
{
    log(commandName(CmdPlayTone), {n(hertz)});
    runProviders().media->playTone(*this, hertz);
}

void RunSession::stopMedia(const QString &what)
{
    log(commandName(CmdStopMedia), {what});
    runProviders().media->stopMedia(*this, what);
}

int RunSession::mciCommand(const QString &command)
{
    log(commandName(CmdMCICommand), {command});
    MediaProvider *media = runProviders().media;
    const int code = media->mciCommand(*this, command);
    log(QStringLiteral("MCI"), {command, n(code), media->lastMciReturn()});
    return code;
}

void RunSession::imageWindow(const QString &title, int x, int y, const QString &file)
{
    log(commandName(CmdImageWindow), {title, n(x), n(y), file});
    runProviders().windows->imageWindow(*this, title, x, y, file);
}

void RunSession::textWindow(const QString &title, int x, int y, const QString &file)
{
    log(commandName(CmdTextWindow), {title, n(x), n(y), file});
    runProviders().windows->textWindow(*this, title, x, y, file);
}

void RunSession::closeWindow(const QString &name)
{
    log(commandName(CmdCloseWindow), {name});
    runProviders().windows->closeWindow(*this, name);
}

void RunSession::setFont(const QString &name, int points, int style)
{
    log(commandName(CmdSetFont), {name, n(points), n(style)});
    mRunFont = RunFont{name, points, style};
}

void RunSession::printTextFile(const QString &header, const QString &footer, const QString &file, bool dataFile)
{
    log(commandName(dataFile ? CmdPrintDataFile : CmdPrintTextFile), {header, footer, file});
    runProviders().printing->printTextFile(*this, header, footer, file, dataFile);
}

void RunSession::printImageFile(const QString &file, int percent)
{
    log(commandName(CmdPrintImageFile), {file, n(percent)});
    runProviders().printing->printImageFile(*this, file, percent);
}

void RunSession::printPage(const QString &name)
{
    log(commandName(CmdPrintPage), {name});
    // A name that finds no page prints nothing, an empty one included.
    const Page *page = pub().findPage(name);
    if (!page) {
        ScriptError(u'"' + name + QLatin1String("\"\r\r") + QLatin1String(MsgPageMissing));
        return;
    }
    runProviders().printing->printPage(*this, *page);
}

void RunSession::runProgram(const QString &program, const QString &parameters)
{
    log(commandName(CmdDOSCommand), {program, parameters});
    const ProgramResult result = RunProgram(program, parameters, publicationDir());
    if (result.code > 32)
        return;
    showAlert(QLatin1String(MsgAppTitle), program + QLatin1String("\r\r") + programErrorText(result.code));
}

void RunSession::internetLink(const QString &address)
{
    log(commandName(CmdInternetLink), {address});
    if (!OpenWebAddress(address))
        messageBox(language(L_ERRORTITLE), language(L_INTERNETERROR), {language(L_OK)});
}

QString RunSession::programDirectory() const
{
    // Relative names of the file commands are taken beside the publication while it is
    // tried in the editor; the player takes its own directory.
    const QString dir = publicationDir();
    return dir.isEmpty() ? QCoreApplication::applicationDirPath() : dir;
}

// --- values

QString RunSession::currentPageTitle() const
{
    const Page *page = pub().currentPage();
    return page ? page->Title : QString();
}

QString RunSession::currentPageNumber() const
{
    const Page *page = pub().currentPage();
    if (!page)
        return QString();
    return n(page == pub().masterPage() ? 0 : pub().indexOfPage(page) + 1);
}

QString RunSession::publicationAuthor() const { return pub().Settings.Author; }
int RunSession::publicationColors() const { return pub().Settings.ScreenColors; }

QString RunSession::publicationDir() const
{
    if (pub().FileName.isEmpty())
        return QString();
    return QDir::toNativeSeparators(QFileInfo(pub().FileName).absolutePath()) + QDir::separator();
}

int RunSession::pageWidth() const { return pub().Settings.ScreenWidth; }
int RunSession::pageHeight() const { return pub().Settings.ScreenHeight; }
QString RunSession::publicationTitle() const { return mWindow.caption(); }
int RunSession::screenColors() const { return ScreenColorCount(); }

int RunSession::screenWidth() const
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->size().width() : 0;
}

int RunSession::screenHeight() const
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->size().height() : 0;
}

QString RunSession::tempDir() const
{
    return mWindow.tempDir();
}

} // namespace vardeko
