// The editor's main window: menus, tool bar, page tabs, status bar and file flows.
#include "mainform.h"

#include "alertdialog.h"
#include "childform.h"
#include "conversionwindow.h"
#include "desktoprecent.h"
#include "editcommands.h"
#include "editcontroller.h"
#include "filedrops.h"
#include "filenames.h"
#include "floatingwindows.h"
#include "helpviewer.h"
#include "imagecache.h"
#include "ioerrors.h"
#include "pagecommands.h"
#include "runcommands.h"
#include "pagemanagement.h"
#include "pageview.h"
#include "preferencesdialog.h"
#include "publication.h"
#include "shellmessages.h"
#include "textmeasurer.h"
#include "vocconvert.h"

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
    if (const auto *io = dynamic_cast<const FileError *>(&error)) {
        if (io->code() == 2 || io->code() == 3)
            return io->fileName() + QLatin1Char('\n') + msg::DoesNotExist;
        return ioErrorMessage(io->code());
    }
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

QAction *TMainForm::addCommand(QMenu *menu, const QString &text, const char *name,
                               const QKeySequence &shortcut, std::function<void()> handler)
{
    auto *action = new QAction(text, this);
    action->setObjectName(QLatin1String(name));
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    // A command's tip stays only while it is pointed at: once chosen, the status bar
    // shows the page again (a dialog it opens keeps the pointer from ever "leaving").
    connect(action, &QAction::triggered, statusBar(), &QStatusBar::clearMessage);
    if (handler)
        connect(action, &QAction::triggered, this, [this, handler] { guarded(handler); });
    if (menu)
        menu->addAction(action);
    return action;
}

// The command exists in the menu but its work is not part of this program yet.
void TMainForm::addUnbuilt(QMenu *menu, const QString &text, const char *name,
                           const QKeySequence &shortcut)
{
    QAction *action = addCommand(menu, text, name, shortcut);
    action->setEnabled(false);
    mUnbuilt.append(action);
}

QAction *TMainForm::command(const QString &name) const
{
    return findChild<QAction *>(name);
}

void TMainForm::createCommands()
{
    QMenuBar *bar = menuBar();

    QMenu *file = bar->addMenu(QStringLiteral("&File"));
    addCommand(file, QStringLiteral("&New..."), "New1");
    addCommand(file, QStringLiteral("&Open..."), "Open1", {}, [this] { Open1Click(); });
    mReopenMenu = file->addMenu(QStringLiteral("&Reopen"));
    mReopenMenu->setObjectName(QStringLiteral("Reopen1"));
    addCommand(file, QStringLiteral("&Save"), "Save1", {}, [this] { Save1Click(); });
    addCommand(file, QStringLiteral("Save &As..."), "SaveAs1", {}, [this] { SaveAs1Click(); });
    addCommand(file, QStringLiteral("&Close"), "Close1", {}, [this] { Close1Click(); });
    addCommand(file, QStringLiteral("C&lose All"), "CloseAll1", {}, [this] { CloseAll1Click(); });
    file->addSeparator();
    addUnbuilt(file, QStringLiteral("&Print Page..."), "PrintPage1");
    file->addSeparator();
    addCommand(file, QStringLiteral("E&xit"), "Exit1", QKeySequence(Qt::ALT | Qt::Key_X),
               [this] { Exit1Click(); });

    QMenu *edit = bar->addMenu(QStringLiteral("&Edit"));
    addUnbuilt(edit, QStringLiteral("&Undo"), "Undo1", QKeySequence(Qt::CTRL | Qt::Key_Z));
    edit->addSeparator();
    addUnbuilt(edit, QStringLiteral("Cu&t"), "Cut1", QKeySequence(Qt::CTRL | Qt::Key_X));
    addUnbuilt(edit, QStringLiteral("&Copy"), "Copy1", QKeySequence(Qt::CTRL | Qt::Key_C));
    addUnbuilt(edit, QStringLiteral("&Paste"), "Paste1", QKeySequence(Qt::CTRL | Qt::Key_V));
    addUnbuilt(edit, QStringLiteral("&Delete"), "Delete1", QKeySequence(Qt::CTRL | Qt::Key_Delete));
    addUnbuilt(edit, QStringLiteral("D&uplicate"), "Duplicate1", QKeySequence(Qt::CTRL | Qt::Key_D));
    addUnbuilt(edit, QStringLiteral("Select &All"), "SelectAll1");
    // The second short cuts of Cut, Copy and Paste.
    command(QStringLiteral("Cut1"))->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete)});
    command(QStringLiteral("Copy1"))->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)});
    command(QStringLiteral("Paste1"))->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)});
    edit->addSeparator();
    QMenu *create = edit->addMenu(QStringLiteral("C&reate / Edit"));
    create->setObjectName(QStringLiteral("CreateEdit1"));
    addCommand(create, QStringLiteral("New &Article"), "NewArticle1", {},
               [this] { launchEditor(QStringLiteral("Text"), mPrefs.TextEditor, {}); });
    addCommand(create, QStringLiteral("New &Image"), "NewImage1", {},
               [this] { launchEditor(QStringLiteral("Image"), mPrefs.ImageEditor, {}); });
    addCommand(create, QStringLiteral("New &Sound"), "NewSound1", {},
               [this] { launchEditor(QStringLiteral("Sound"), mPrefs.SoundEditor, {}); });
    addCommand(create, QStringLiteral("New &Video"), "NewVideo1", {},
               [this] { launchEditor(QStringLiteral("Video"), mPrefs.VideoEditor, {}); });
    addCommand(create, QStringLiteral("New &Cartoon"), "NewCartoon1", {}, [this] {
        launchEditor(QStringLiteral("Cartoon"),
                     QDir(QCoreApplication::applicationDirPath()).filePath(msg::CartoonEditor), {});
    });
    mCreateEditMenu = create;
    connect(edit, &QMenu::aboutToShow, this, &TMainForm::rebuildCreateEditMenu);
    edit->addSeparator();
    addUnbuilt(edit, QStringLiteral("Ad&just Object..."), "AdjustObject1");
    addUnbuilt(edit, QStringLiteral("&Edit Object..."), "EditObject1");

    QMenu *arrange = bar->addMenu(QStringLiteral("&Arrange"));
    addUnbuilt(arrange, QStringLiteral("Bring to &Front"), "BringToFront1",
               QKeySequence(Qt::CTRL | Qt::Key_F));
    addUnbuilt(arrange, QStringLiteral("Send to &Back"), "SendToBack1",
               QKeySequence(Qt::CTRL | Qt::Key_B));
    addUnbuilt(arrange, QStringLiteral("&Align..."), "Align1");
    arrange->addSeparator();
    addUnbuilt(arrange, QStringLiteral("&Group"), "Group1");
    addUnbuilt(arrange, QStringLiteral("&UnGroup"), "UnGroup1");

    QMenu *page = bar->addMenu(QStringLiteral("&Page"));
    mGotoMenu = page->addMenu(QStringLiteral("&Goto"));
    mGotoMenu->setObjectName(QStringLiteral("Goto1"));
    page->addSeparator();
    addCommand(page, QStringLiteral("&Add..."), "AddPage1");
    addCommand(page, QStringLiteral("&Copy..."), "CopyPage1");
    addCommand(page, QStringLiteral("&Move..."), "MovePage1");
    addCommand(page, QStringLiteral("&Rename..."), "RenamePage1");
    addCommand(page, QStringLiteral("&Delete..."), "DeletePage1");
    page->addSeparator();
    addCommand(page, QStringLiteral("A&ttributes..."), "PageAttributes1");
    addCommand(page, QStringLiteral("&Show Master Items"), "ShowMasterItems1");
    command(QStringLiteral("ShowMasterItems1"))->setCheckable(true);

    QMenu *book = bar->addMenu(QStringLiteral("&Book"));
    addCommand(book, QStringLiteral("Page &Layout..."), "PageLayout1");
    addCommand(book, QStringLiteral("Book &Setup..."), "BookSetup1");
    addUnbuilt(book, QStringLiteral("&Archive..."), "Archive1");
    addCommand(book, QStringLiteral("&File List..."), "FileList1");
    book->addSeparator();
    addUnbuilt(book, QStringLiteral("&Run"), "Run1", QKeySequence(Qt::Key_F8));
    addUnbuilt(book, QStringLiteral("&Compile..."), "Compile1");

    QMenu *options = bar->addMenu(QStringLiteral("&Options"));
    QAction *grid = addCommand(options, QStringLiteral("Show &Grid"), "ShowGrid1", {},
                               [this] { ShowGrid1Click(); });
    grid->setCheckable(true);
    QAction *snap = addCommand(options, QStringLiteral("&Snap to Grid"), "SnapToGrid1", {},
                               [this] { SnapToGrid1Click(); });
    snap->setCheckable(true);
    addUnbuilt(options, QStringLiteral("Show &Mouse Position"), "ShowMousePos1");
    addUnbuilt(options, QStringLiteral("Show &Debugging Info"), "ShowDebugInfo1");
    addUnbuilt(options, QStringLiteral("Show Drag && Drop &File Selector"), "ShowFileList1");
    for (const char *name : {"ShowMousePos1", "ShowDebugInfo1", "ShowFileList1"})
        command(QLatin1String(name))->setCheckable(true);
    QAction *images = addCommand(options, QStringLiteral("Show &Images"), "ShowImages1", {},
                                 [this] { ShowImages1Click(); });
    images->setCheckable(true);
    options->addSeparator();
    addCommand(options, QStringLiteral("Set G&rid..."), "SetGrid1");
    QMenu *spelling = options->addMenu(QStringLiteral("Check S&pelling"));
    addUnbuilt(spelling, QStringLiteral("&Entire Publication"), "SpellPublication1");
    addUnbuilt(spelling, QStringLiteral("&This Page"), "SpellPage1");
    addUnbuilt(spelling, QStringLiteral("&Selected Objects"), "SpellSelection1");
    options->addSeparator();
    addCommand(options, QStringLiteral("Set &Preferences..."), "SetPreferences1", {},
               [this] { SetPreferences1Click(); });

    QMenu *window = bar->addMenu(QStringLiteral("&Window"));
    addCommand(window, QStringLiteral("Tile &Vertical"), "TileVertical1", {},
               [this] { tileVertical(); });
    addCommand(window, QStringLiteral("Tile &Horizontal"), "TileHorizontal1", {},
               [this] { tileHorizontal(); });
    addCommand(window, QStringLiteral("&Cascade"), "Cascade1", {}, [this] { cascade(); });
    window->addSeparator();
    addCommand(window, QStringLiteral("C&enter Page in Window"), "CenterPage1", {},
               [this] { CenterPage1Click(); });

    QMenu *help = bar->addMenu(QStringLiteral("&Help"));
    addCommand(help, QStringLiteral("&Help Topics"), "HelpTopics1", QKeySequence(Qt::Key_F1),
               [this] { showHelpTopic(this, HelpContentsTopic); });
    addCommand(help, QStringLiteral("&About..."), "About1", QKeySequence(Qt::Key_F2),
               [this] { About1Click(); });

    // Page buttons of the tool bar.
    addCommand(nullptr, QStringLiteral("First Page"), "FirstPageBtn", {}, [this] { FirstPageClick(); });
    addCommand(nullptr, QStringLiteral("Previous Page"), "PrevPageBtn", {},
               [this] { PreviousPageClick(); });
    addCommand(nullptr, QStringLiteral("Master Page"), "MasterPageBtn", {},
               [this] { MasterPageClick(); });
    addCommand(nullptr, QStringLiteral("Next Page"), "NextPageBtn", {}, [this] { NextPageClick(); });
    addCommand(nullptr, QStringLiteral("Last Page"), "LastPageBtn", {}, [this] { LastPageClick(); });

    // The page tabs' pop-up menu holds the page commands of the Page menu.
    for (const auto &[text, name] :
         {std::pair{"Add Page....", "TabAddPage1"}, std::pair{"Copy Page...", "TabCopyPage1"},
          std::pair{"Move Page...", "TabMovePage1"}, std::pair{"Rename Page...", "TabRenamePage1"},
          std::pair{"Delete Page...", "TabDeletePage1"},
          std::pair{"Page Attributes...", "TabPageAttributes1"}}) {
        mTabs->addAction(addCommand(nullptr, QLatin1String(text), name));
    }

    rebuildReopenMenu();
}

void TMainForm::createToolBar()
{
    mToolBar = addToolBar(QStringLiteral("Tools"));
    mToolBar->setObjectName(QStringLiteral("ToolBar"));
    mToolBar->setMovable(false);
    mToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    mToolBar->installEventFilter(this);
    QStyle *st = style();
    struct Button
    {
        const char *command;
        const char *hint;
        QStyle::StandardPixmap icon;
        const char *glyph; // drawn when the style has no fitting icon
    };
    const Button buttons[] = {
        {"New1", "New Publication", QStyle::SP_FileIcon, nullptr},
        {"Open1", "Open", QStyle::SP_DialogOpenButton, nullptr},
        {"Save1", "Save", QStyle::SP_DialogSaveButton, nullptr},
        {nullptr, nullptr, QStyle::SP_CustomBase, nullptr},
        {"Undo1", "Undo", QStyle::SP_ArrowBack, nullptr},
        {"Cut1", "Cut", QStyle::SP_CustomBase, "Cut"},
        {"Copy1", "Copy", QStyle::SP_CustomBase, "Copy"},
        {"Paste1", "Paste", QStyle::SP_CustomBase, "Paste"},
        {"Delete1", "Delete", QStyle::SP_TrashIcon, nullptr},
        {"EditObject1", "Edit Object Attributes", QStyle::SP_FileDialogDetailedView, nullptr},
        {nullptr, nullptr, QStyle::SP_CustomBase, nullptr},
        {"BringToFront1", "Bring to Front", QStyle::SP_ArrowUp, nullptr},
        {"SendToBack1", "Send to Back", QStyle::SP_ArrowDown, nullptr},
        {"Align1", "Align", QStyle::SP_CustomBase, "Align"},
        {nullptr, nullptr, QStyle::SP_CustomBase, nullptr},
        {"AddPage1", "Add Page", QStyle::SP_FileDialogNewFolder, nullptr},
        {"PageAttributes1", "Page Attributes", QStyle::SP_FileDialogInfoView, nullptr},
        {"Run1", "Run", QStyle::SP_MediaPlay, nullptr},
        {"Exit1", "Exit", QStyle::SP_DialogCloseButton, nullptr},
    };
    for (const Button &b : buttons) {
        if (!b.command) {
            mToolBar->addSeparator();
            continue;
        }
        QAction *action = command(QLatin1String(b.command));
        action->setToolTip(QLatin1String(b.hint));
        action->setStatusTip(QLatin1String(b.hint));
        if (!b.glyph)
            action->setIcon(st->standardIcon(b.icon));
        mToolBar->addAction(action);
        if (b.glyph)
            mToolBar->widgetForAction(action)->setProperty("toolButtonStyle",
                                                           int(Qt::ToolButtonTextOnly));
    }
    auto *spacer = new QWidget(mToolBar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    mToolBar->addWidget(spacer);
    const std::pair<const char *, QStyle::StandardPixmap> pages[] = {
        {"FirstPageBtn", QStyle::SP_MediaSkipBackward},
        {"PrevPageBtn", QStyle::SP_MediaSeekBackward},
        {"MasterPageBtn", QStyle::SP_DesktopIcon},
        {"NextPageBtn", QStyle::SP_MediaSeekForward},
        {"LastPageBtn", QStyle::SP_MediaSkipForward},
    };
    for (const auto &[name, icon] : pages) {
        QAction *action = command(QLatin1String(name));
        action->setToolTip(action->text());
        action->setStatusTip(action->text());
        action->setIcon(st->standardIcon(icon));
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
    updateCommandStates();
}

void TMainForm::storePreferences()
{
    const QRect normal = isMaximized() || isMinimized() ? normalGeometry() : geometry();
    if (normal.isValid())
        mPrefs.MainWindowPos = normal;
    mFloating->store();
    mRunCommands->store();
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
    command(QStringLiteral("ShowGrid1"))->setChecked(mPrefs.ShowGrid);
    command(QStringLiteral("SnapToGrid1"))->setChecked(mPrefs.SnapToGrid);
    command(QStringLiteral("ShowImages1"))->setChecked(mPrefs.ShowImages);
    command(QStringLiteral("ShowMousePos1"))->setChecked(mPrefs.ShowMousePos);
    command(QStringLiteral("ShowDebugInfo1"))->setChecked(mPrefs.ShowDebugInfo);
    command(QStringLiteral("ShowFileList1"))->setChecked(mPrefs.ShowFileList);
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
    const int error = writePublication(child->publication(), fileName, WriteMode::Save, options);
    QApplication::restoreOverrideCursor();
    finishProgress();
    if (error != 0) {
        mDialogs->alert(this, msg::AppTitle,
                        loadErrorMessage(fileName, error) + QLatin1String("\n\n") + msg::SaveFailed);
        return false;
    }
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
    auto set = [this](const char *name, bool enabled) {
        command(QLatin1String(name))->setEnabled(enabled);
    };

    mReopenMenu->setEnabled(!mPrefs.Reopen.isEmpty());
    for (const char *name : {"Save1", "SaveAs1", "Close1", "CloseAll1", "NewArticle1", "NewImage1",
                             "NewSound1", "NewVideo1", "NewCartoon1", "TileVertical1",
                             "TileHorizontal1", "Cascade1"})
        set(name, exists);
    for (const char *name : {"ShowGrid1", "SnapToGrid1", "ShowMousePos1", "ShowFileList1",
                             "ShowImages1", "SetPreferences1"})
        set(name, editing);
    set("CenterPage1", exists && editing);
    if (mEditCommands)
        mEditCommands->updateStates();
    mGotoMenu->setEnabled(exists);

    Publication *pub = exists ? &child->publication() : nullptr;
    Page *current = pub ? pub->currentPage() : nullptr;
    const bool onMaster = pub && current == pub->masterPage();
    const int index = pub && current && !onMaster ? pub->indexOfPage(current) : -1;
    const bool hasPrevious = index > 0;
    const bool hasNext = index >= 0 && index + 1 < pub->pageCount();
    set("FirstPageBtn", hasPrevious);
    set("PrevPageBtn", hasPrevious || (onMaster && pub->pageCount() > 0));
    set("MasterPageBtn", pub && pub->masterPage());
    set("NextPageBtn", hasNext || (onMaster && pub->pageCount() > 0));
    set("LastPageBtn", hasNext);

    // Shown even while their work is missing: the page's flag and the selection count.
    command(QStringLiteral("ShowMasterItems1"))->setChecked(current && !onMaster && current->ShowMaster);
    const int selected = current ? countSelected(current->Objects) : 0;
    command(QStringLiteral("SpellSelection1"))
        ->setText(QStringLiteral("&Selected Object") + (selected == 1 ? QString() : QStringLiteral("s")));
    for (QAction *action : std::as_const(mUnbuilt))
        action->setEnabled(false);
    if (mRunCommands)
        mRunCommands->updateStates();
    if (mPageCommands)
        mPageCommands->updateStates();

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
    PagePtr moved = pub.unlinkPage(pub.page(from));
    Page *page = pub.linkPageAfter(std::move(moved), after);
    pub.setCurrentPage(page);
    pub.Modified = true;
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
    page->PageWallPaper = path;
    page->PageStyle = 1;
    child->publication().Modified = true;
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
