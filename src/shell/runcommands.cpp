// Run mode in the main window: Book > Run / Stop, the debug window, the second tick and
// the palettes that step aside while a publication runs.
#include "runcommands.h"

#include "toolicons.h"

#include "childform.h"
#include "debugform.h"
#include "editcommands.h"
#include "mainform.h"
#include "runsession.h"
#include "toolpalette.h"
#include "variablestore.h"

#include <QAction>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QTimer>

namespace vardeko {

RunCommands::RunCommands(TMainForm &main)
    : QObject(&main)
    , mMain(main)
{
    mDebug = new TDebugForm(&main);
    TChildForm::setDebugWindow(mDebug);
    connect(mDebug, &TDebugForm::closeRequested, this, [this] { setDebugShown(false); });
}

RunCommands::~RunCommands()
{
    TChildForm::setDebugWindow(nullptr);
}

void RunCommands::connectCommands()
{
    QAction *run = mMain.commands().run;
    mMain.mUnbuilt.removeAll(run);
    connect(run, &QAction::triggered, this, [this] {
        mMain.guarded([this] {
            if (TChildForm *child = mMain.activeChild())
                child->session()->runStopCommand();
        });
    });
    QAction *debug = mMain.commands().showDebugInfo;
    mMain.mUnbuilt.removeAll(debug);
    connect(debug, &QAction::triggered, this, [this](bool checked) { setDebugShown(checked); });
    connect(&mMain, &TMainForm::secondTick, this, [this] {
        TChildForm *child = mMain.activeChild();
        if (child && child->isRunning())
            mMain.guarded([child] { child->session()->tick(); });
    });
}

void RunCommands::attach(TChildForm *child)
{
    RunSession *session = child->session();
    connect(session, &RunSession::runModeChanged, this, [this] { mMain.updateCommandStates(); });
    connect(child, &TChildForm::runLayoutChanged, this,
            [this, child](bool running, bool fullScreen) { runLayoutChanged(child, running, fullScreen); });
    TChildForm::setTempDirectory(mMain.preferences().TempDir);
}

// Activating another publication window leaves run mode in the one that ran.
void RunCommands::activeChanged()
{
    TChildForm *now = mMain.activeChild();
    if (mActive && mActive != now && mActive->isRunning())
        mActive->session()->deactivated();
    mActive = now;
}

void RunCommands::updateStates()
{
    activeChanged();
    TChildForm *child = mMain.activeChild();
    const bool running = child && child->isRunning();
    QAction *run = mMain.commands().run;
    run->setEnabled(child != nullptr);
    run->setText(running ? QStringLiteral("&Stop") : QStringLiteral("&Run"));
    run->setToolTip(running ? QStringLiteral("Stop") : QStringLiteral("Run"));
    run->setIcon(commandIcon(running ? QStringLiteral("Stop") : run->objectName()));
    QAction *debug = mMain.commands().showDebugInfo;
    debug->setEnabled(true);
    debug->setChecked(mMain.preferences().ShowDebugInfo);
}

void RunCommands::setDebugShown(bool shown)
{
    mMain.preferences().ShowDebugInfo = shown;
    mMain.commands().showDebugInfo->setChecked(shown);
    mDebug->setVisible(shown);
    if (shown)
        mDebug->RefreshVariables(globalVariables());
}

void RunCommands::restore()
{
    const Preferences &p = mMain.preferences();
    mDebug->setGeometry(p.DebugWindowPos);
    mDebug->setRolledUp(p.DebugRolledUp);
    // Shown once the main window is up, so that it stands over it.
    QTimer::singleShot(0, this, [this] {
        if (mMain.isVisible())
            setDebugShown(mMain.preferences().ShowDebugInfo);
    });
}

void RunCommands::store()
{
    Preferences &p = mMain.preferences();
    // The height written is the unrolled one.
    p.DebugWindowPos = QRect(mDebug->pos(), QSize(mDebug->width(), mDebug->unrolledHeight()));
    p.DebugRolledUp = mDebug->isRolledUp();
}

void RunCommands::runLayoutChanged(TChildForm *child, bool running, bool fullScreen)
{
    TToolPalette *tools = mMain.editCommands() ? mMain.editCommands()->toolPalette() : nullptr;
    if (running) {
        // The editing palettes step aside; the main window fills the screen for a
        // full-screen publication.
        if (tools && !mPalettesHidden) {
            mToolPaletteWasShown = tools->isVisible();
            tools->hide();
        }
        mPalettesHidden = true;
        mMainWasFullScreen = mMain.isFullScreen();
        if (fullScreen && !mMainWasFullScreen)
            mMain.showFullScreen();
    } else {
        if (tools && mPalettesHidden && mToolPaletteWasShown)
            tools->show();
        mPalettesHidden = false;
        if (fullScreen && !mMainWasFullScreen && mMain.isFullScreen())
            mMain.showNormal();
    }
    Q_UNUSED(child);
    mMain.updateCommandStates();
}

} // namespace vardeko
