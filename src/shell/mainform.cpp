// The editor's main window: menus, tool bar, page tabs, status bar and file flows.
#include "mainform.h"

#include "actionpalette.h"
#include "alertdialog.h"
#include "childform.h"
#include "compileform.h"
#include "conversionwindow.h"
#include "desktoprecent.h"
#include "editcommands.h"
#include "editcontroller.h"
#include "editortexts.h"
#include "filedrops.h"
#include "filenames.h"
#include "floatingwindows.h"
#include "helpviewer.h"
#include "imagecache.h"
#include "ioerrors.h"
#include "pagecommands.h"
#include "pageprint.h"
#include "runcommands.h"
#include "pagemanagement.h"
#include "pageview.h"
#include "preferencesdialog.h"
#include "publication.h"
#include "shellmessages.h"
#include "spellcommands.h"
#include "toolicons.h"
#include "textmeasurer.h"
#include "vocconvert.h"

#include "commandtips.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QProgressBar>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QTimer>
#include <QUrl>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>

namespace vardeko {

namespace {

QSettings userSettings()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Sarquel"),
                     QStringLiteral("Vardeko"));
}

} // namespace

QString unhandledErrorText(const std::exception &error)
{
    // File errors are results, shown where they happen; what escapes is a program fault.
    return QString::fromLocal8Bit(error.what());
}

TMainForm::TMainForm(QWidget *parent)
    : QMainWindow(parent)
    , mDialogs(std::make_unique<QtShellDialogs>())
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(msg::AppTitle);
    setAcceptDrops(true);

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    mMdi = new QMdiArea(central);
    mMdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mMdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    layout->addWidget(mMdi, 1);
    mTabs = new QTabBar(central);
    mTabs->setObjectName(QStringLiteral("PageTabs"));
    mTabs->setShape(QTabBar::RoundedSouth);
    mTabs->setExpanding(false);
    mTabs->setDrawBase(true);
    mTabs->setContextMenuPolicy(Qt::ActionsContextMenu);
    layout->addWidget(mTabs);
    setCentralWidget(central);

    createCommands();
    mPageCommands = new PageCommands(*this);
    mPageCommands->connectCommands();
    createToolBar();
    createStatusBar();

    connect(mMdi, &QMdiArea::subWindowActivated, this, [this] {
        rebuildPageTabs();
        updateCommandStates();
    });
    connect(mTabs, &QTabBar::tabBarClicked, this, &TMainForm::pageTabClicked);
    mTabs->installEventFilter(this);
    mTabs->setAcceptDrops(true);

    // Run mode takes its variable refresh and idle action from this tick.
    mTimer = new QTimer(this);
    mTimer->setInterval(1000);
    connect(mTimer, &QTimer::timeout, this, &TMainForm::secondTick);
    mTimer->start();

    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive)
            applicationActivated();
    });

    mEditCommands = new EditCommands(*this);
    mEditCommands->connectCommands();
    mFloating = new FloatingWindows(*this);
    mFloating->connectCommands();
    mRunCommands = new RunCommands(*this);
    mRunCommands->connectCommands();
    mSpellCommands = new SpellCommands(*this);
    mSpellCommands->connectCommands();
    mTips = new CommandTips(*this);
    mTips->attach();

    setMaximumSize(5000, 5000);
    resize(mPrefs.MainWindowPos.size());
    updateCommandStates();
}

TMainForm::~TMainForm()
{
    // Closing the publication windows on the way out must not refresh commands that are gone.
    disconnect(mMdi, nullptr, this, nullptr);
}

// --- commands

namespace {

// Where a row of the command table goes.
enum class Place { File, Reopen, Edit, CreateEdit, Arrange, Page, Goto, Book, Options, Spelling,
                   Window, Help, ToolBar, PageTabs, Count };

enum CommandFlag { Built = 0, Unbuilt = 1, Checkable = 2 };

// One row: a command (member set), a submenu (`opens` set) or a separator (neither).
struct CommandRow
{
    Place in;
    QAction *MainCommands::*member = nullptr;
    const char *name = nullptr;
    const char *text = nullptr;
    QList<QKeySequence> keys = {};
    int flags = Built;
    std::function<void()> handler = nullptr; // none: another part of the shell connects it
    Place opens = Place::Count;
};

QKeySequence keys(QKeyCombination combination)
{
    return QKeySequence(combination);
}

} // namespace

void TMainForm::createCommands()
{
    using C = MainCommands;
    using P = Place;
    const auto ctrl = [](Qt::Key key) { return keys(Qt::CTRL | key); };
    const auto editor = [this](const char *kind, const QString *program) {
        return [this, kind, program] { launchEditor(QLatin1String(kind), *program, {}); };
    };
    const CommandRow rows[] = {
        {.in = P::File, .member = &C::newFile, .name = "New1", .text = "&New..."},
        {.in = P::File, .member = &C::openFile, .name = "Open1", .text = "&Open...",
         .handler = [this] { Open1Click(); }},
        {.in = P::File, .name = "Reopen1", .text = "&Reopen", .opens = P::Reopen},
        {.in = P::File, .member = &C::saveFile, .name = "Save1", .text = "&Save",
         .handler = [this] { Save1Click(); }},
        {.in = P::File, .member = &C::saveFileAs, .name = "SaveAs1", .text = "Save &As...",
         .handler = [this] { SaveAs1Click(); }},
        {.in = P::File, .member = &C::closeFile, .name = "Close1", .text = "&Close",
         .handler = [this] { Close1Click(); }},
        {.in = P::File, .member = &C::closeAll, .name = "CloseAll1", .text = "C&lose All",
         .handler = [this] { CloseAll1Click(); }},
        {.in = P::File},
        {.in = P::File, .member = &C::printPage, .name = "PrintPage1", .text = "&Print Page...",
         .handler = [this] {
             if (TChildForm *child = activeChild())
                 PrintCurrentPage(child->publication(), this);
         }},
        {.in = P::File},
        {.in = P::File, .member = &C::exitProgram, .name = "Exit1", .text = "E&xit",
         .keys = {keys(Qt::ALT | Qt::Key_X)}, .handler = [this] { Exit1Click(); }},

        {.in = P::Edit, .member = &C::undo, .name = "Undo1", .text = "&Undo",
         .keys = {ctrl(Qt::Key_Z)}, .flags = Unbuilt},
        {.in = P::Edit, .member = &C::redo, .name = "Redo1", .text = "&Redo",
         .keys = {ctrl(Qt::Key_Y), keys(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}, .flags = Unbuilt},
        {.in = P::Edit, .member = &C::undoHistory, .name = "UndoHistory1",
         .text = "Undo &History", .flags = Unbuilt},
        {.in = P::Edit},
        // Cut, Copy and Paste keep their second short cuts.
        {.in = P::Edit, .member = &C::cut, .name = "Cut1", .text = "Cu&t",
         .keys = {ctrl(Qt::Key_X), keys(Qt::SHIFT | Qt::Key_Delete)}, .flags = Unbuilt},
        {.in = P::Edit, .member = &C::copy, .name = "Copy1", .text = "&Copy",
         .keys = {ctrl(Qt::Key_C), ctrl(Qt::Key_Insert)}, .flags = Unbuilt},
        {.in = P::Edit, .member = &C::paste, .name = "Paste1", .text = "&Paste",
         .keys = {ctrl(Qt::Key_V), keys(Qt::SHIFT | Qt::Key_Insert)}, .flags = Unbuilt},
        {.in = P::Edit, .member = &C::deleteObjects, .name = "Delete1", .text = "&Delete",
         .keys = {ctrl(Qt::Key_Delete)}, .flags = Unbuilt},
        {.in = P::Edit, .member = &C::duplicate, .name = "Duplicate1", .text = "D&uplicate",
         .keys = {ctrl(Qt::Key_D)}, .flags = Unbuilt},
        {.in = P::Edit, .member = &C::selectAll, .name = "SelectAll1", .text = "Select &All",
         .flags = Unbuilt},
        {.in = P::Edit},
        {.in = P::Edit, .name = "CreateEdit1", .text = "C&reate / Edit", .opens = P::CreateEdit},
        {.in = P::CreateEdit, .member = &C::newArticle, .name = "NewArticle1", .text = "New &Article",
         .handler = editor("Text", &mPrefs.TextEditor)},
        {.in = P::CreateEdit, .member = &C::newImage, .name = "NewImage1", .text = "New &Image",
         .handler = editor("Image", &mPrefs.ImageEditor)},
        {.in = P::CreateEdit, .member = &C::newSound, .name = "NewSound1", .text = "New &Sound",
         .handler = editor("Sound", &mPrefs.SoundEditor)},
        {.in = P::CreateEdit, .member = &C::newVideo, .name = "NewVideo1", .text = "New &Video",
         .handler = editor("Video", &mPrefs.VideoEditor)},
        {.in = P::CreateEdit, .member = &C::newCartoon, .name = "NewCartoon1", .text = "New &Cartoon",
         .handler =
             [this] {
                 launchEditor(QStringLiteral("Cartoon"),
                              QDir(QCoreApplication::applicationDirPath()).filePath(msg::CartoonEditor),
                              {});
             }},
        {.in = P::Edit},
        {.in = P::Edit, .member = &C::adjustObject, .name = "AdjustObject1",
         .text = "Ad&just Object...", .flags = Unbuilt},
        {.in = P::Edit, .member = &C::editObject, .name = "EditObject1", .text = "&Edit Object...",
         .flags = Unbuilt},

        {.in = P::Arrange, .member = &C::bringToFront, .name = "BringToFront1",
         .text = "Bring to &Front", .keys = {ctrl(Qt::Key_F)}, .flags = Unbuilt},
        {.in = P::Arrange, .member = &C::sendToBack, .name = "SendToBack1", .text = "Send to &Back",
         .keys = {ctrl(Qt::Key_B)}, .flags = Unbuilt},
        {.in = P::Arrange, .member = &C::align, .name = "Align1", .text = "&Align...",
         .flags = Unbuilt},
        {.in = P::Arrange},
        {.in = P::Arrange, .member = &C::group, .name = "Group1", .text = "&Group", .flags = Unbuilt},
        {.in = P::Arrange, .member = &C::ungroup, .name = "UnGroup1", .text = "&UnGroup",
         .flags = Unbuilt},

        {.in = P::Page, .name = "Goto1", .text = "&Goto", .opens = P::Goto},
        {.in = P::Page},
        {.in = P::Page, .member = &C::addPage, .name = "AddPage1", .text = "&Add..."},
        {.in = P::Page, .member = &C::copyPage, .name = "CopyPage1", .text = "&Copy..."},
        {.in = P::Page, .member = &C::movePage, .name = "MovePage1", .text = "&Move..."},
        {.in = P::Page, .member = &C::renamePage, .name = "RenamePage1", .text = "&Rename..."},
        {.in = P::Page, .member = &C::deletePage, .name = "DeletePage1", .text = "&Delete..."},
        {.in = P::Page},
        {.in = P::Page, .member = &C::pageAttributes, .name = "PageAttributes1",
         .text = "A&ttributes..."},
        {.in = P::Page, .member = &C::showMasterItems, .name = "ShowMasterItems1",
         .text = "&Show Master Items", .flags = Checkable},

        {.in = P::Book, .member = &C::pageLayout, .name = "PageLayout1", .text = "Page &Layout..."},
        {.in = P::Book, .member = &C::bookSetup, .name = "BookSetup1", .text = "Book &Setup..."},
        {.in = P::Book, .member = &C::archive, .name = "Archive1", .text = "&Archive...",
         .handler = [this] { archiveActivePublication(*this); }},
        {.in = P::Book, .member = &C::fileList, .name = "FileList1", .text = "&File List..."},
        {.in = P::Book},
        {.in = P::Book, .member = &C::run, .name = "Run1", .text = "&Run",
         .keys = {keys(Qt::Key_F8)}, .flags = Unbuilt},
        {.in = P::Book, .member = &C::compile, .name = "Compile1", .text = "&Compile...",
         .handler = [this] { compileActivePublication(*this); }},

        {.in = P::Options, .member = &C::showGrid, .name = "ShowGrid1", .text = "Show &Grid",
         .flags = Checkable, .handler = [this] { ShowGrid1Click(); }},
        {.in = P::Options, .member = &C::snapToGrid, .name = "SnapToGrid1", .text = "&Snap to Grid",
         .flags = Checkable, .handler = [this] { SnapToGrid1Click(); }},
        {.in = P::Options, .member = &C::showMousePos, .name = "ShowMousePos1",
         .text = "Show &Mouse Position", .flags = Unbuilt | Checkable},
        {.in = P::Options, .member = &C::showDebugInfo, .name = "ShowDebugInfo1",
         .text = "Show &Debugging Info", .flags = Unbuilt | Checkable},
        {.in = P::Options, .member = &C::showFileList, .name = "ShowFileList1",
         .text = "Show Drag && Drop &File Selector", .flags = Unbuilt | Checkable},
        {.in = P::Options, .member = &C::showImages, .name = "ShowImages1", .text = "Show &Images",
         .flags = Checkable, .handler = [this] { ShowImages1Click(); }},
        {.in = P::Options},
        {.in = P::Options, .member = &C::setGrid, .name = "SetGrid1", .text = "Set G&rid..."},
        {.in = P::Options, .text = "Check S&pelling", .opens = P::Spelling},
        {.in = P::Spelling, .member = &C::spellPublication, .name = "SpellPublication1",
         .text = "&Entire Publication"},
        {.in = P::Spelling, .member = &C::spellPage, .name = "SpellPage1", .text = "&This Page"},
        {.in = P::Spelling, .member = &C::spellSelection, .name = "SpellSelection1",
         .text = "&Selected Objects"},
        {.in = P::Options},
        {.in = P::Options, .member = &C::setPreferences, .name = "SetPreferences1",
         .text = "Set &Preferences...", .handler = [this] { SetPreferences1Click(); }},

        {.in = P::Window, .member = &C::tileVertical, .name = "TileVertical1",
         .text = "Tile &Vertical", .handler = [this] { tileVertical(); }},
        {.in = P::Window, .member = &C::tileHorizontal, .name = "TileHorizontal1",
         .text = "Tile &Horizontal", .handler = [this] { tileHorizontal(); }},
        {.in = P::Window, .member = &C::cascade, .name = "Cascade1", .text = "&Cascade",
         .handler = [this] { cascade(); }},
        {.in = P::Window},
        {.in = P::Window, .member = &C::centerPage, .name = "CenterPage1",
         .text = "C&enter Page in Window", .handler = [this] { CenterPage1Click(); }},

        {.in = P::Help, .member = &C::helpTopics, .name = "HelpTopics1", .text = "&Help Topics",
         .keys = {keys(Qt::Key_F1)}, .handler = [this] { showHelpTopic(this, HelpContentsTopic); }},
        {.in = P::Help, .member = &C::about, .name = "About1", .text = "&About...",
         .keys = {keys(Qt::Key_F2)}, .handler = [this] { About1Click(); }},

        // The tool bar's page buttons; createToolBar() places them.
        {.in = P::ToolBar, .member = &C::firstPage, .name = "FirstPageBtn", .text = "First Page",
         .handler = [this] { FirstPageClick(); }},
        {.in = P::ToolBar, .member = &C::previousPage, .name = "PrevPageBtn",
         .text = "Previous Page", .handler = [this] { PreviousPageClick(); }},
        {.in = P::ToolBar, .member = &C::masterPage, .name = "MasterPageBtn", .text = "Master Page",
         .handler = [this] { MasterPageClick(); }},
        {.in = P::ToolBar, .member = &C::nextPage, .name = "NextPageBtn", .text = "Next Page",
         .handler = [this] { NextPageClick(); }},
        {.in = P::ToolBar, .member = &C::lastPage, .name = "LastPageBtn", .text = "Last Page",
         .handler = [this] { LastPageClick(); }},

        // The page tabs' pop-up menu holds the page commands of the Page menu.
        {.in = P::PageTabs, .member = &C::tabAddPage, .name = "TabAddPage1", .text = "Add Page...."},
        {.in = P::PageTabs, .member = &C::tabCopyPage, .name = "TabCopyPage1",
         .text = "Copy Page..."},
        {.in = P::PageTabs, .member = &C::tabMovePage, .name = "TabMovePage1",
         .text = "Move Page..."},
        {.in = P::PageTabs, .member = &C::tabRenamePage, .name = "TabRenamePage1",
         .text = "Rename Page..."},
        {.in = P::PageTabs, .member = &C::tabDeletePage, .name = "TabDeletePage1",
         .text = "Delete Page..."},
        {.in = P::PageTabs, .member = &C::tabPageAttributes, .name = "TabPageAttributes1",
         .text = "Page Attributes..."},
    };

    QMenuBar *bar = menuBar();
    QMenu *menus[int(P::Count)] = {};
    const std::pair<P, const char *> topMenus[] = {
        {P::File, "&File"},       {P::Edit, "&Edit"},       {P::Arrange, "&Arrange"},
        {P::Page, "&Page"},       {P::Book, "&Book"},       {P::Options, "&Options"},
        {P::Window, "&Window"},   {P::Help, "&Help"},
    };
    for (const auto &[place, title] : topMenus)
        menus[int(place)] = bar->addMenu(QLatin1String(title));

    for (const CommandRow &row : rows) {
        QMenu *menu = menus[int(row.in)];
        if (row.opens != P::Count) {
            QMenu *sub = menu->addMenu(QLatin1String(row.text));
            if (row.name)
                sub->setObjectName(QLatin1String(row.name));
            menus[int(row.opens)] = sub;
            continue;
        }
        if (!row.member) {
            menu->addSeparator();
            continue;
        }
        auto *action = new QAction(QLatin1String(row.text), this);
        action->setObjectName(QLatin1String(row.name));
        action->setShortcuts(row.keys);
        action->setCheckable(row.flags & Checkable);
        // A command's tip stays only while it is pointed at: once chosen, the status bar
        // shows the page again (a dialog it opens keeps the pointer from ever "leaving").
        connect(action, &QAction::triggered, statusBar(), &QStatusBar::clearMessage);
        if (row.handler)
            connect(action, &QAction::triggered, this,
                    [this, handler = row.handler] { guarded(handler); });
        // The command exists in the menu but its work is not part of this program yet.
        if (row.flags & Unbuilt) {
            action->setEnabled(false);
            mUnbuilt.append(action);
        }
        if (menu)
            menu->addAction(action);
        else if (row.in == P::PageTabs)
            mTabs->addAction(action);
        mCommands.*row.member = action;
    }
    mReopenMenu = menus[int(P::Reopen)];
    mGotoMenu = menus[int(P::Goto)];
    mCreateEditMenu = menus[int(P::CreateEdit)];
    connect(menus[int(P::Edit)], &QMenu::aboutToShow, this, &TMainForm::rebuildCreateEditMenu);

    rebuildReopenMenu();
}

void TMainForm::createToolBar()
{
    mToolBar = addToolBar(QStringLiteral("Tools"));
    mToolBar->setObjectName(QStringLiteral("ToolBar"));
    mToolBar->setMovable(false);
    mToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    mToolBar->installEventFilter(this);
    using C = MainCommands;
    struct Button
    {
        QAction *C::*command; // none: a separator
        const char *hint;
    };
    const Button buttons[] = {
        {&C::newFile, "New Publication"},
        {&C::openFile, "Open"},
        {&C::saveFile, "Save"},
        {nullptr, nullptr},
        {&C::undo, "Undo"},
        {&C::cut, "Cut"},
        {&C::copy, "Copy"},
        {&C::paste, "Paste"},
        {&C::deleteObjects, "Delete"},
        {&C::editObject, "Edit Object Attributes"},
        {nullptr, nullptr},
        {&C::bringToFront, "Bring to Front"},
        {&C::sendToBack, "Send to Back"},
        {&C::align, "Align"},
        {nullptr, nullptr},
        {&C::addPage, "Add Page"},
        {&C::pageAttributes, "Page Attributes"},
        {&C::run, "Run"},
        {&C::exitProgram, "Exit"},
    };
    for (const Button &b : buttons) {
        if (!b.command) {
            mToolBar->addSeparator();
            continue;
        }
        QAction *action = mCommands.*b.command;
        action->setToolTip(QLatin1String(b.hint));
        action->setStatusTip(QLatin1String(b.hint));
        action->setIcon(commandIcon(action->objectName()));
        mToolBar->addAction(action);
    }
    auto *spacer = new QWidget(mToolBar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    mToolBar->addWidget(spacer);
    for (QAction *C::*command : {&C::firstPage, &C::previousPage, &C::masterPage, &C::nextPage, &C::lastPage}) {
        QAction *action = mCommands.*command;
        action->setToolTip(action->text());
        action->setStatusTip(action->text());
        action->setIcon(commandIcon(action->objectName()));
        mToolBar->addAction(action);
    }
}

void TMainForm::createStatusBar()
{
    mPageLabel = new QLabel(this);
    mPageLabel->setObjectName(QStringLiteral("PageLabel"));
    statusBar()->addWidget(mPageLabel, 1);
    mGauge = new QProgressBar(this);
    mGauge->setObjectName(QStringLiteral("ProgressGauge"));
    mGauge->setTextVisible(false);
    mGauge->setMaximumWidth(160);
    mGauge->setStyleSheet(QStringLiteral(
        "QProgressBar { background: palette(button); border: 1px solid palette(mid); }"
        "QProgressBar::chunk { background: #800000; }"));
    mGauge->hide();
    statusBar()->addPermanentWidget(mGauge);
}

// --- progress gauge

void TMainForm::startProgress(qint64 maximum)
{
    // The bar counts in int; large files are counted in blocks.
    mGaugeScale = 1;
    while (maximum / mGaugeScale > std::numeric_limits<int>::max())
        mGaugeScale *= 1024;
    mGauge->setMaximum(int(qMax<qint64>(1, maximum / mGaugeScale)));
    mGauge->setValue(0);
    mGauge->show();
    mGauge->repaint();
}

void TMainForm::setProgress(qint64 position)
{
    mGauge->setValue(int(std::clamp<qint64>(position / mGaugeScale, 0, mGauge->maximum())));
}

void TMainForm::finishProgress()
{
    mGauge->hide();
    delete mConversionWindow;
    mConversionWindow = nullptr;
}

void TMainForm::dosConversionStarted()
{
    delete mConversionWindow;
    mConversionWindow = new ConversionWindow(this);
    mConversionWindow->show();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TMainForm::dosConversionPage()
{
    if (mConversionWindow)
        mConversionWindow->advance();
}

void TMainForm::pageWritten(int written, int total)
{
    if (mGauge->isHidden())
        startProgress(total);
    setProgress(written);
}

// --- preferences

void TMainForm::restorePreferences()
{
    QSettings settings = userSettings();
    readPreferences(settings, mPrefs);
    loadPrintOptions(mPrefs);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        if (!mPrefs.MainWindowPosStored)
            mPrefs.MainWindowPos = firstStartWindowPos(screen->availableGeometry());
        fixWindowPositions(mPrefs, screen->size());
    }
    setGeometry(mPrefs.MainWindowPos);
    mPreferencesRestored = true;
    rebuildReopenMenu();
    applyViewOptions();
    mFloating->restore();
    mRunCommands->restore();
    TActionPalette::setRememberedTab(mPrefs.ActionPalette);
    updateCommandStates();
}

void TMainForm::storePreferences()
{
    const QRect normal = isMaximized() || isMinimized() ? normalGeometry() : geometry();
    if (normal.isValid())
        mPrefs.MainWindowPos = normal;
    mFloating->store();
    mRunCommands->store();
    mPrefs.ActionPalette = TActionPalette::rememberedTab();
    storePrintOptions(mPrefs);
    QSettings settings = userSettings();
    writePreferences(settings, mPrefs);
    settings.sync();
}

void TMainForm::showEvent(QShowEvent *event)
{
    if (!mPreferencesRestored)
        restorePreferences();
    QMainWindow::showEvent(event);
}

void TMainForm::applyViewOptions()
{
    setAlertMascot(mPrefs.Mascot);
    mCommands.showGrid->setChecked(mPrefs.ShowGrid);
    mCommands.snapToGrid->setChecked(mPrefs.SnapToGrid);
    mCommands.showImages->setChecked(mPrefs.ShowImages);
    mCommands.showMousePos->setChecked(mPrefs.ShowMousePos);
    mCommands.showDebugInfo->setChecked(mPrefs.ShowDebugInfo);
    mCommands.showFileList->setChecked(mPrefs.ShowFileList);
    for (TChildForm *child : std::as_const(mChildren)) {
        child->pageView()->setShowGrid(mPrefs.ShowGrid, mPrefs.GridX, mPrefs.GridY);
        child->pageView()->setShowImages(mPrefs.ShowImages);
    child->pageView()->articles().setTempDir(mPrefs.TempDir);
    }
}

// --- publication windows

TChildForm *TMainForm::activeChild() const
{
    // The current window stays current while the main window is inactive.
    if (QMdiSubWindow *sub = mMdi->currentSubWindow())
        if (auto *child = qobject_cast<TChildForm *>(sub->widget()); child && mChildren.contains(child))
            return child;
    return nullptr;
}

void TMainForm::activateChild(TChildForm *child)
{
    if (auto *sub = qobject_cast<QMdiSubWindow *>(child->parentWidget())) {
        if (sub->isMinimized())
            sub->showNormal();
        mMdi->setActiveSubWindow(sub);
    }
    rebuildPageTabs();
    updateCommandStates();
}

TChildForm *TMainForm::findOpen(const QString &fileName) const
{
    for (TChildForm *child : mChildren)
        if (!child->fileName().isEmpty() && samePublicationFile(child->fileName(), fileName))
            return child;
    return nullptr;
}

TChildForm *TMainForm::addChild(std::unique_ptr<Publication> pub)
{
    auto *child = new TChildForm(std::move(pub));
    child->setCloseQuery([this](TChildForm *c) { return queryCloseChild(c); });
    connect(child, &TChildForm::closed, this, &TMainForm::childClosed);
    connect(child, &TChildForm::pageChanged, this, [this, child] {
        if (child == activeChild()) {
            rebuildPageTabs();
            updateCommandStates();
        }
    });
    mChildren.append(child);
    if (mEditCommands)
        mEditCommands->attach(child);
    if (mRunCommands)
        mRunCommands->attach(child);
    QMdiSubWindow *sub = mMdi->addSubWindow(child);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    child->pageView()->setShowGrid(mPrefs.ShowGrid, mPrefs.GridX, mPrefs.GridY);
    child->pageView()->setShowImages(mPrefs.ShowImages);
    sub->resize(480, 360);
    sub->show();
    mMdi->setActiveSubWindow(sub);
    rebuildPageTabs();
    updateCommandStates();
    return child;
}

TChildForm *TMainForm::newUntitled()
{
    auto pub = std::make_unique<Publication>();
    pub->Settings.ScreenWidth = mPrefs.ScreenWidth;
    pub->Settings.ScreenHeight = mPrefs.ScreenHeight;
    pub->Settings.ScreenColors = mPrefs.ScreenColors;
    // A new publication starts from the program's message texts.
    pub->Settings.Language = mPrefs.Language;
    return addChild(std::move(pub));
}

TChildForm *TMainForm::openPublication(const QString &fileName)
{
    const QString path = QFileInfo(fileName).absoluteFilePath();
    if (TChildForm *open = findOpen(path)) {
        activateChild(open);
        return open;
    }

    if (QFileInfo(path).isDir()) {
        mDialogs->alert(this, msg::AppTitle, path + msg::FolderNotPublication);
        return nullptr;
    }
    auto pub = std::make_unique<Publication>();
    QtTextMeasurer measurer;
    ReadOptions options;
    options.measurer = &measurer;
    options.progress = this;
    QStringList vocFailures;
    options.convertVoc = vocConversionForReading(
            [&vocFailures](const QString &message) { vocFailures.append(message); });
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const ReadResult result = readPublication(*pub, path, options);
    QApplication::restoreOverrideCursor();
    finishProgress();
    for (const QString &message : std::as_const(vocFailures))
        mDialogs->alert(this, msg::AppTitle, message);
    if (!result.ok()) {
        // The pages read so far go with the publication; no window is left behind.
        mDialogs->alert(this, msg::AppTitle, loadErrorMessage(path, result.error));
        return nullptr;
    }
    pub->FileName = path;
    // The publication's icon must load as one; a name that does not is dropped.
    QIcon icon;
    if (!pub->Settings.Icon.isEmpty()) {
        const QString iconFile = locateFile(pub->Settings.Icon, QFileInfo(path).absolutePath());
        if (!iconFile.isEmpty())
            icon = QIcon(iconFile);
        if (icon.isNull() || icon.availableSizes().isEmpty())
            pub->Settings.Icon.clear();
    }
    if (!pub->currentPage())
        pub->setCurrentPage(pub->firstPage() ? pub->firstPage() : pub->masterPage());
    const QString title = pub->Settings.Title;
    TChildForm *child = addChild(std::move(pub));
    if (!icon.isNull())
        child->setWindowIcon(icon);
    mPrefs.Reopen.removeOpened(path);
    rebuildReopenMenu();
    // The desktop's list of recent files is a courtesy: a list it cannot read stays as it is.
    addDesktopRecentFile(path);
    if (!result.missingFiles.empty())
        mDialogs->showReport(this, msg::ErrorReport + QLatin1String(": ") + title,
                             missingFilesReport(result.missingFiles));
    return child;
}

void TMainForm::openStartupFiles(const QStringList &files)
{
    for (const QString &file : files)
        openPublication(file);
    // Files named but refused leave the work area empty: an Untitled window in their
    // place would pass for one of them.
    if (mChildren.isEmpty() && files.isEmpty())
        newUntitled();
    tileVertical();
}

void TMainForm::openRequestedFiles(const QStringList &files)
{
    bool opened = false;
    guarded([&] {
        for (const QString &file : files)
            opened = openPublication(file) != nullptr || opened;
    });
    if (opened)
        tileVertical();
    updateCommandStates();
}

// --- saving

QString TMainForm::chooseOpenFile(const QString &title, const QString &filter,
                                  const QString &proposed, QString &dir)
{
    return mDialogs->openFile(this, title, filter, proposed, dir, mPrefs.WindowsFileSelector);
}

QString TMainForm::chooseSaveFile(const QString &title, const QString &filter,
                                  const QString &proposed, QString &dir)
{
    return mDialogs->saveFile(this, title, filter, proposed, dir, mPrefs.WindowsFileSelector);
}

bool TMainForm::writeChild(TChildForm *child, const QString &fileName)
{
    WriteOptions options;
    options.createBackup = mPrefs.CreateBackupFiles;
    options.progress = this;
    options.warn = [this](const QString &message) {
        mDialogs->alert(this, msg::AppTitle, message);
    };
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const IoError error = writePublication(child->publication(), fileName, WriteMode::Save, options);
    QApplication::restoreOverrideCursor();
    finishProgress();
    if (error != 0) {
        mDialogs->alert(this, msg::AppTitle,
                        loadErrorMessage(fileName, error) + QLatin1String("\n\n") + msg::SaveFailed);
        return false;
    }
    // The history remembers this state as the saved one.
    child->controller()->markSaved();
    updateCommandStates();
    return true;
}

bool TMainForm::saveChild(TChildForm *child)
{
    if (!child)
        return false;
    Publication &pub = child->publication();
    if (pub.FileName.isEmpty())
        return saveChildAs(child);
    if (pub.ConvertedFromDos) {
        const auto answer = mDialogs->ask(this, msg::SaveTitle,
                                          msg::earlierVersionQuestion(pub.FileName), false);
        if (answer != ShellDialogs::Yes)
            return saveChildAs(child);
    }
    return writeChild(child, pub.FileName);
}

bool TMainForm::saveChildAs(TChildForm *child)
{
    if (!child)
        return false;
    Publication &pub = child->publication();
    const QFileInfo current(pub.FileName);
    QString dir = pub.FileName.isEmpty() ? mPrefs.PubDir : current.absolutePath();
    const QString shown = pub.FileName.isEmpty() ? QString(msg::Untitled) : current.fileName();
    QString chosen = chooseSaveFile(msg::saveAsTitle(shown), msg::PublicationFilter,
                                    pub.FileName.isEmpty() ? QString() : current.fileName(), dir);
    if (chosen.isEmpty())
        return false;
    // The extension is always ".PUB"; one typed in lower case is kept as typed.
    QFileInfo info(chosen);
    if (info.suffix().compare(QLatin1String("PUB"), Qt::CaseInsensitive) != 0) {
        const QString base = info.suffix().isEmpty() ? chosen
                                                     : chosen.left(chosen.size() - info.suffix().size() - 1);
        chosen = base + QLatin1String(".PUB");
    }
    chosen = QFileInfo(chosen).absoluteFilePath();
    if (QFileInfo::exists(chosen)
        && mDialogs->ask(this, msg::SaveAsTitle, msg::replaceExisting(chosen), false)
            != ShellDialogs::Yes)
        return false;
    mPrefs.PubDir = QFileInfo(chosen).absolutePath();
    const QString previous = pub.FileName;
    pub.FileName = chosen;
    if (!writeChild(child, chosen)) {
        pub.FileName = previous; // the publication still lives where it did
        return false;
    }
    child->updateCaption();
    addDesktopRecentFile(chosen);
    return true;
}

// --- closing

bool TMainForm::queryCloseChild(TChildForm *child)
{
    if (child->isRunning()) {
        // A running window leaves run mode instead of closing.
        child->session()->closeRequested();
        return false;
    }
    if (!child->publication().Modified)
        return true;
    switch (mDialogs->ask(this, msg::AppTitle, msg::modifiedQuestion(child->fileName()), true)) {
    case ShellDialogs::Yes:
        // A save that fails or is cancelled keeps the window, so nothing is lost.
        return saveChild(child);
    case ShellDialogs::No:
        return true;
    case ShellDialogs::Cancel:
        break;
    }
    return false;
}

void TMainForm::childClosed(TChildForm *child)
{
    mChildren.removeAll(child);
    mPageBeforeMaster.remove(child);
    if (!child->fileName().isEmpty()) {
        mPrefs.Reopen.insertClosed(child->fileName());
        rebuildReopenMenu();
    }
    // The sub-window goes away only after this returns.
    QTimer::singleShot(0, this, [this] {
        rebuildPageTabs();
        updateCommandStates();
    });
    rebuildPageTabs();
    updateCommandStates();
}

bool TMainForm::closeChild(TChildForm *child)
{
    if (!child || !mChildren.contains(child))
        return false;
    if (auto *sub = qobject_cast<QMdiSubWindow *>(child->parentWidget()))
        return sub->close();
    return child->close();
}

bool TMainForm::closeAll()
{
    const QList<TChildForm *> children = mChildren;
    for (auto it = children.crbegin(); it != children.crend(); ++it)
        if (!closeChild(*it))
            return false;
    return true;
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    // Last to first with the active window last, so that it heads the Reopen list.
    TChildForm *active = activeChild();
    QList<TChildForm *> order;
    for (auto it = mChildren.crbegin(); it != mChildren.crend(); ++it)
        if (*it != active)
            order.append(*it);
    if (active)
        order.append(active);
    for (TChildForm *child : std::as_const(order)) {
        if (!closeChild(child)) {
            event->ignore();
            return;
        }
    }
    storePreferences();
    event->accept();
}

// --- window arrangement

void TMainForm::tileVertical()
{
    tileWindows(Qt::Horizontal);
}

void TMainForm::tileHorizontal()
{
    tileWindows(Qt::Vertical);
}

// Side by side (Qt::Horizontal) or one above the other (Qt::Vertical).
void TMainForm::tileWindows(Qt::Orientation direction)
{
    const QList<QMdiSubWindow *> subs = mMdi->subWindowList(QMdiArea::CreationOrder);
    QList<QMdiSubWindow *> shown;
    for (QMdiSubWindow *s : subs)
        if (!s->isMinimized() && s->isVisible())
            shown.append(s);
    if (shown.isEmpty())
        return;
    // Measured without scroll bars, after pending layout changes such as the page tabs
    // appearing: the scroll bars go once the windows fit.
    layout()->activate();
    centralWidget()->layout()->activate();
    mMdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mMdi->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const QRect area = mMdi->viewport()->rect();
    const int count = int(shown.size());
    for (int i = 0; i < count; ++i) {
        shown[i]->showNormal();
        if (direction == Qt::Horizontal)
            shown[i]->setGeometry(i * (area.width() / count), 0, area.width() / count, area.height());
        else
            shown[i]->setGeometry(0, i * (area.height() / count), area.width(), area.height() / count);
    }
    mMdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mMdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

// Overlapping, each a title bar further down and right, each as large as its page
// needs (scroll bars included if the area is too small for that), with the active
// window on top.
void TMainForm::cascade()
{
    QList<QMdiSubWindow *> shown;
    for (QMdiSubWindow *s : mMdi->subWindowList(QMdiArea::StackingOrder))
        if (!s->isMinimized() && s->isVisible())
            shown.append(s);
    if (shown.isEmpty())
        return;
    layout()->activate();
    centralWidget()->layout()->activate();
    const QRect area = mMdi->viewport()->rect();
    const int count = int(shown.size());
    const int step = std::max(16, style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, shown[0]));
    // Each window keeps at least half the area, so that many windows start the cascade
    // over again rather than shrinking to nothing.
    const QSize least(area.width() / 2, area.height() / 2);
    const int perRound = std::max(1, std::min((area.width() - least.width()) / step,
                                              (area.height() - least.height()) / step) + 1);
    const int rounds = std::min(count, perRound);
    const QSize room(area.width() - (rounds - 1) * step, area.height() - (rounds - 1) * step);
    for (int i = 0; i < count; ++i) {
        QMdiSubWindow *sub = shown[i];
        sub->showNormal();
        QSize wanted = room;
        if (auto *child = qobject_cast<TChildForm *>(sub->widget())) {
            PageView *view = child->pageView();
            wanted = sub->size() - view->viewport()->size() + view->contentSize();
        }
        const int offset = (i % perRound) * step;
        sub->setGeometry(offset, offset, std::min(wanted.width(), room.width()),
                         std::min(wanted.height(), room.height()));
        sub->raise();
    }
}

// --- errors

void TMainForm::guarded(const std::function<void()> &command)
{
    try {
        command();
    } catch (const std::exception &error) {
        QApplication::restoreOverrideCursor();
        finishProgress();
        handleError(error);
    }
}

void TMainForm::handleError(const std::exception &error)
{
    mDialogs->alert(this, msg::AppTitle, unhandledErrorText(error));
}

void TMainForm::bringToFront()
{
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
}

// --- command states

void TMainForm::updateCommandStates()
{
    TChildForm *child = activeChild();
    const bool exists = child != nullptr;
    const bool editing = !child || child->isEditing();
    auto set = [](QAction *action, bool enabled) { action->setEnabled(enabled); };

    mReopenMenu->setEnabled(!mPrefs.Reopen.isEmpty());
    for (QAction *action : {mCommands.saveFile, mCommands.saveFileAs, mCommands.printPage, mCommands.closeFile, mCommands.closeAll, mCommands.newArticle, mCommands.newImage,
                             mCommands.newSound, mCommands.newVideo, mCommands.newCartoon, mCommands.tileVertical,
                             mCommands.tileHorizontal, mCommands.cascade})
        set(action, exists);
    for (QAction *action : {mCommands.showGrid, mCommands.snapToGrid, mCommands.showMousePos, mCommands.showFileList,
                             mCommands.showImages, mCommands.setPreferences})
        set(action, editing);
    set(mCommands.centerPage, exists && editing);
    set(mCommands.compile, exists && editing);
    set(mCommands.archive, exists && editing);
    if (mEditCommands)
        mEditCommands->updateStates();
    mGotoMenu->setEnabled(exists);

    Publication *pub = exists ? &child->publication() : nullptr;
    Page *current = pub ? pub->currentPage() : nullptr;
    const bool onMaster = pub && current == pub->masterPage();
    const int index = pub && current && !onMaster ? pub->indexOfPage(current) : -1;
    const bool hasPrevious = index > 0;
    const bool hasNext = index >= 0 && index + 1 < pub->pageCount();
    set(mCommands.firstPage, hasPrevious);
    set(mCommands.previousPage, hasPrevious || (onMaster && pub->pageCount() > 0));
    set(mCommands.masterPage, pub && pub->masterPage());
    set(mCommands.nextPage, hasNext || (onMaster && pub->pageCount() > 0));
    set(mCommands.lastPage, hasNext);

    // Shown even while their work is missing: the page's flag and the selection count.
    mCommands.showMasterItems->setChecked(current && !onMaster && current->ShowMaster);
    const int selected = current ? countSelected(current->Objects) : 0;
    mCommands.spellSelection
        ->setText(QStringLiteral("&Selected Object") + (selected == 1 ? QString() : QStringLiteral("s")));
    for (QAction *action : std::as_const(mUnbuilt))
        action->setEnabled(false);
    if (mRunCommands)
        mRunCommands->updateStates();
    if (mPageCommands)
        mPageCommands->updateStates();
    if (mSpellCommands)
        mSpellCommands->updateStates();
    if (mTips)
        mTips->refreshAll();

    mPageLabel->setText(statusText());
}

QString TMainForm::statusText() const
{
    TChildForm *child = activeChild();
    if (!child)
        return QString();
    const Publication &pub = child->publication();
    const Page *current = pub.currentPage();
    if (!current)
        return QString();
    if (current == pub.masterPage())
        return msg::MasterPage;
    return msg::PageWord + QString::number(pub.indexOfPage(current) + 1) + msg::OfWord
        + QString::number(pub.pageCount());
}

// --- pages

void TMainForm::rebuildPageTabs()
{
    mRebuildingTabs = true;
    while (mTabs->count() > 0)
        mTabs->removeTab(0);
    TChildForm *child = activeChild();
    if (child) {
        const Publication &pub = child->publication();
        if (child->isEditing() && pub.masterPage())
            mTabs->addTab(msg::MasterPage);
        for (int i = 0; i < pub.pageCount(); ++i)
            mTabs->addTab(pub.page(i)->Title);
        const Page *current = pub.currentPage();
        if (current == pub.masterPage())
            mTabs->setCurrentIndex(0);
        else if (int i = pub.indexOfPage(current); i >= 0)
            mTabs->setCurrentIndex(i + (child->isEditing() && pub.masterPage() ? 1 : 0));
    }
    mTabs->setVisible(child != nullptr);
    mRebuildingTabs = false;
    rebuildGotoMenu();
}

void TMainForm::rebuildGotoMenu()
{
    // A page item rebuilds the menu from its own trigger, so items go later.
    for (QAction *action : mGotoMenu->actions()) {
        mGotoMenu->removeAction(action);
        action->deleteLater();
    }
    TChildForm *child = activeChild();
    if (!child)
        return;
    const GotoMenu items = gotoMenu(child->publication(), child->isRunning());
    QAction *master = mGotoMenu->addAction(msg::MasterPage, this, [this] {
        if (TChildForm *c = activeChild())
            goToPage(c->publication().masterPage());
    });
    QAction *divider = mGotoMenu->addSeparator();
    master->setVisible(items.masterPageVisible);
    divider->setVisible(items.masterPageVisible);
    for (const QString &title : items.pageTitles) {
        mGotoMenu->addAction(title, this, [this, title] {
            if (TChildForm *c = activeChild())
                goToPage(c->publication().findPage(title));
        });
    }
    QAction *more = mGotoMenu->addAction(pagemsg::MoreItem);
    more->setObjectName(QStringLiteral("GotoMore1"));
    more->setVisible(items.moreVisible);
    mPageCommands->connectGotoMore(more);
}

void TMainForm::pageTabClicked(int index)
{
    if (mRebuildingTabs || index < 0)
        return;
    TChildForm *child = activeChild();
    if (!child)
        return;
    // Tabs go to their page by name.
    goToPage(child->publication().findPage(mTabs->tabText(index)));
}

bool TMainForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == mToolBar && event->type() == QEvent::Leave)
        statusBar()->clearMessage(); // the pointer left the buttons: back to the page
    if (watched == mTabs) {
        // Files from the file selector or the desktop: an image becomes the wallpaper of
        // the page whose tab it lands on.
        // The bar takes the drag as a whole, so that it hears the moves; only a tab
        // under the cursor takes the drop.
        if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
            auto *drag = static_cast<QDropEvent *>(event);
            const bool onTab = event->type() == QEvent::DragEnter
                    || mTabs->tabAt(drag->position().toPoint()) >= 0;
            if (drag->mimeData()->hasUrls() && onTab && activeChild() && activeChild()->isEditing())
                drag->acceptProposedAction();
            else
                drag->ignore();
            return true;
        }
        if (event->type() == QEvent::Drop) {
            auto *drop = static_cast<QDropEvent *>(event);
            const int tab = mTabs->tabAt(drop->position().toPoint());
            const QList<QUrl> urls = drop->mimeData()->urls();
            drop->acceptProposedAction();
            guarded([&] { dropOnPageTab(tab, urls); });
            return true;
        }
        if (event->type() == QEvent::MouseButtonPress) {
            auto *mouse = static_cast<QMouseEvent *>(event);
            mDraggedTab = mouse->button() == Qt::LeftButton ? mTabs->tabAt(mouse->position().toPoint()) : -1;
        } else if (event->type() == QEvent::MouseButtonRelease && mDraggedTab >= 0) {
            auto *mouse = static_cast<QMouseEvent *>(event);
            const int from = mDraggedTab;
            const int to = mTabs->tabAt(mouse->position().toPoint());
            mDraggedTab = -1;
            if (to >= 0 && to != from)
                guarded([&] { dropPageTab(from, to); });
            else if (to < 0 && !mTabs->rect().contains(mouse->position().toPoint()))
                guarded([&] { mEditCommands->dropPageTab(from, mouse->globalPosition().toPoint()); });
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::dropPageTab(int fromTab, int toTab)
{
    TChildForm *child = activeChild();
    if (!child || !child->isEditing())
        return;
    Publication &pub = child->publication();
    // While editing the master page's tab comes first; it neither moves nor takes pages.
    const int offset = pub.masterPage() ? 1 : 0;
    const int from = fromTab - offset;
    const int to = toTab - offset;
    if (from < 0 || to < 0 || from >= pub.pageCount() || to >= pub.pageCount() || from == to)
        return;
    // Before the target when it lies to the left, after it when it lies to the right.
    Page *target = pub.page(to);
    const Page *after = nullptr;
    if (to < from)
        after = to > 0 ? pub.page(to - 1) : nullptr;
    else
        after = target;
    PagesState before = PagesState::of(pub);
    PagePtr moved = pub.unlinkPage(pub.page(from));
    Page *page = pub.linkPageAfter(std::move(moved), after);
    pub.setCurrentPage(page);
    child->controller()->recordPages(edtext::step::MovePage, std::move(before));
    child->pageView()->viewport()->update();
    rebuildPageTabs();
    updateCommandStates();
}

bool TMainForm::dropOnPageTab(int tab, const QList<QUrl> &urls)
{
    TChildForm *child = activeChild();
    Page *page = child && child->isEditing() && tab >= 0
            ? child->publication().findPage(mTabs->tabText(tab))
            : nullptr;
    const QString path = !urls.isEmpty() && urls.constFirst().isLocalFile()
            ? urls.constFirst().toLocalFile()
            : QString();
    if (!page || path.isEmpty() || dropClassFor(path) != DropClass::Image) {
        QApplication::beep();
        return false;
    }
    PagesState before = PagesState::of(child->publication());
    page->PageWallPaper = path;
    page->PageStyle = 1;
    child->controller()->recordPages(edtext::step::PageWallpaper, std::move(before));
    if (page == child->publication().currentPage())
        child->pageView()->viewport()->update();
    child->updateCaption();
    return true;
}

void TMainForm::goToPage(Page *page)
{
    TChildForm *child = activeChild();
    if (!child || !page)
        return;
    Publication &pub = child->publication();
    if (page == pub.masterPage() && pub.currentPage() != pub.masterPage() && pub.currentPage())
        mPageBeforeMaster[child] = pub.currentPage()->Title;
    child->showPage(page);
    rebuildPageTabs();
    updateCommandStates();
}

void TMainForm::FirstPageClick()
{
    if (TChildForm *child = activeChild())
        goToPage(child->publication().firstPage());
}

void TMainForm::PreviousPageClick()
{
    stepPage(-1);
}

void TMainForm::NextPageClick()
{
    stepPage(1);
}

// One page back or forward; from the master page either button returns to the page
// shown before it.
void TMainForm::stepPage(int delta)
{
    TChildForm *child = activeChild();
    if (!child)
        return;
    Publication &pub = child->publication();
    if (pub.currentPage() == pub.masterPage()) {
        MasterPageClick();
        return;
    }
    const int index = pub.indexOfPage(pub.currentPage()) + delta;
    if (index >= 0 && index < pub.pageCount() && pub.indexOfPage(pub.currentPage()) >= 0)
        goToPage(pub.page(index));
}

void TMainForm::LastPageClick()
{
    if (TChildForm *child = activeChild())
        goToPage(child->publication().lastPage());
}

void TMainForm::MasterPageClick()
{
    TChildForm *child = activeChild();
    if (!child)
        return;
    Publication &pub = child->publication();
    if (pub.currentPage() != pub.masterPage()) {
        goToPage(pub.masterPage());
        return;
    }
    Page *back = pub.findPage(mPageBeforeMaster.value(child));
    if (!back || back == pub.masterPage())
        back = pub.firstPage();
    goToPage(back);
}

// --- menu handlers

void TMainForm::Open1Click()
{
    const QString name = chooseOpenFile(msg::SelectPublication, msg::PublicationFilter, QString(),
                                        mPrefs.PubDir);
    if (name.isEmpty())
        return;
    openPublication(name);
    tileVertical();
}

void TMainForm::Save1Click()
{
    saveChild(activeChild());
}

void TMainForm::SaveAs1Click()
{
    saveChildAs(activeChild());
}

void TMainForm::Close1Click()
{
    closeChild(activeChild());
}

void TMainForm::CloseAll1Click()
{
    closeAll();
}

void TMainForm::Exit1Click()
{
    close();
}

void TMainForm::ShowGrid1Click()
{
    mPrefs.ShowGrid = !mPrefs.ShowGrid;
    applyViewOptions();
}

void TMainForm::SnapToGrid1Click()
{
    mPrefs.SnapToGrid = !mPrefs.SnapToGrid;
    applyViewOptions();
}

void TMainForm::ShowImages1Click()
{
    mPrefs.ShowImages = !mPrefs.ShowImages;
    ImageCache::instance().FlushImages();
    applyViewOptions();
}

void TMainForm::SetPreferences1Click()
{
    TSetPreferencesForm dialog(mPrefs, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    dialog.store(mPrefs);
    storePreferences();
    applyViewOptions();
    updateCommandStates();
}

void TMainForm::CenterPage1Click()
{
    if (TChildForm *child = activeChild())
        child->pageView()->centerPage();
}

void TMainForm::About1Click()
{
    QMessageBox box(this);
    box.setWindowTitle(QStringLiteral("About ") + msg::AppTitle);
    box.setText(QLatin1String("<b>") + msg::AppTitle + QLatin1String("</b>"));
    box.setInformativeText(QString(msg::AboutVersion) + QLatin1String("\n\n") + msg::AboutNotice);
    box.setIcon(QMessageBox::Information);
    box.exec();
}

void TMainForm::rebuildReopenMenu()
{
    mReopenMenu->clear();
    for (const QString &name : mPrefs.Reopen.items()) {
        mReopenMenu->addAction(name, this, [this, name] {
            guarded([this, name] {
                openPublication(name);
                tileVertical();
            });
        });
    }
    mReopenMenu->setEnabled(!mPrefs.Reopen.isEmpty());
}

// --- outside programs

void TMainForm::launchEditor(const QString &kind, const QString &program, const QString &file)
{
    if (program.trimmed().isEmpty()) {
        mDialogs->alert(this, msg::missingEditorTitle(kind), msg::missingEditor(kind));
        return;
    }
    const QStringList arguments = file.isEmpty() ? QStringList() : QStringList{file};
    if (!QProcess::startDetached(program, arguments))
        mDialogs->alert(this, msg::missingEditorTitle(kind), msg::CannotStart + program);
}

void TMainForm::rebuildCreateEditMenu()
{
    QMenu *menu = mCreateEditMenu;
    const QList<QAction *> actions = menu->actions();
    // The five fixed items stay; the file items after them are made afresh.
    for (qsizetype i = 5; i < actions.size(); ++i) {
        menu->removeAction(actions[i]);
        delete actions[i];
    }
    TChildForm *child = activeChild();
    if (!child)
        return;
    const Publication &pub = child->publication();
    const Page *page = pub.currentPage();
    if (!page)
        return;
    const QList<EditableFile> files = editableFiles(*page);
    if (files.isEmpty())
        return;
    menu->addSeparator();
    const QString baseDir = pub.FileName.isEmpty() ? QString() : QFileInfo(pub.FileName).absolutePath();
    for (const EditableFile &file : files) {
        const QString path = locateFile(file.name, baseDir);
        QAction *action = menu->addAction(file.name);
        action->setStatusTip(path);
        action->setToolTip(path);
        action->setData(file.kind);
        connect(action, &QAction::triggered, this, [this, path, file] {
            guarded([&] { editFile(path, file.kind); });
        });
    }
}

void TMainForm::editFile(const QString &path, int kind)
{
    if (mPrefs.UtilsInRegistry) {
        if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
            mDialogs->alert(this, msg::CannotFindAssociation,
                            msg::noAssociation(QFileInfo(path).fileName()));
        return;
    }
    switch (kind) {
    case TextFile:
        launchEditor(QStringLiteral("Text"), mPrefs.TextEditor, path);
        break;
    case PictureFile:
        launchEditor(QStringLiteral("Image"), mPrefs.ImageEditor, path);
        break;
    case SoundFile:
        launchEditor(QStringLiteral("Sound"), mPrefs.SoundEditor, path);
        break;
    case VideoFile:
        if (QFileInfo(path).suffix().compare(QLatin1String("CAR"), Qt::CaseInsensitive) == 0)
            launchEditor(QStringLiteral("Cartoon"),
                         QDir(QCoreApplication::applicationDirPath()).filePath(msg::CartoonEditor),
                         path);
        else
            launchEditor(QStringLiteral("Video"), mPrefs.VideoEditor, path);
        break;
    default:
        break;
    }
}

void TMainForm::applicationActivated()
{
    for (TChildForm *child : std::as_const(mChildren))
        child->pageView()->viewport()->update();
    updateCommandStates();
    if (!mPrefs.AutoUpdate)
        return;
    // Pictures changed by other programs are loaded again when next drawn.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // Article texts changed by other programs are laid out again.
    for (TChildForm *child : std::as_const(mChildren))
        if (child->pageView()->articles().refreshChanged(child->publication()))
            child->pageView()->viewport()->update();
    const bool dropped = ImageCache::instance().RefreshChangedImages();
    QApplication::restoreOverrideCursor();
    if (dropped)
        for (TChildForm *child : std::as_const(mChildren))
            child->pageView()->viewport()->update();
}

QList<EditableFile> editableFiles(const Page &page)
{
    QList<EditableFile> files;
    auto add = [&](const QString &name, int kind) {
        if (name.isEmpty())
            return;
        for (const EditableFile &f : std::as_const(files))
            if (f.name.compare(name, Qt::CaseInsensitive) == 0)
                return;
        files.append({name, kind});
    };
    auto addFiles = [&](const PageObject &object) {
        if (const ArticleData *a = object.article())
            add(a->FileName, TextFile);
        if (const PictureData *p = object.picture())
            add(p->FileName, PictureFile);
        if (const ButtonData *b = object.button()) {
            add(b->UpImage, PictureFile);
            add(b->DownImage, PictureFile);
        }
    };
    for (const ObjectPtr &object : page.Objects) {
        if (object->Selected) {
            addFiles(*object);
            forEachObject(object->Members, addFiles);
        }
    }
    if (!page.PageWallPaper.isEmpty())
        add(page.PageWallPaper, PictureFile);
    return files;
}

// --- dropped files

void TMainForm::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    event->acceptProposedAction();
    dropFiles(urls);
}

void TMainForm::dropFiles(const QList<QUrl> &urls)
{
    bool opened = false;
    guarded([&] {
        for (const QUrl &url : urls) {
            if (!url.isLocalFile())
                continue;
            const QString path = url.toLocalFile();
            // Other files become objects on the page with direct manipulation; publications
            // open wherever they land.
            if (QFileInfo(path).suffix().compare(QLatin1String("PUB"), Qt::CaseInsensitive) == 0)
                opened = openPublication(path) != nullptr || opened;
        }
    });
    if (opened)
        tileVertical();
    if (isMinimized())
        showNormal();
    else if (opened)
        bringToFront();
    updateCommandStates();
}


} // namespace vardeko
