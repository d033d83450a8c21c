// The main window's Edit and Arrange commands and the editor's view of the main window.
#include "editcommands.h"

#include "aligndialog.h"
#include "childform.h"
#include "clipboard.h"
#include "editcontroller.h"
#include "editortexts.h"
#include "filedrops.h"
#include "mainform.h"
#include "objectdialogs.h"
#include "pageview.h"
#include "publication.h"
#include "shelldialogs.h"
#include "shellmessages.h"
#include "toolpalette.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QTabBar>
#include <QTimer>
#include <QUndoGroup>
#include <QUndoStack>
#include <QUndoView>

namespace vardeko {

EditCommands::EditCommands(TMainForm &main)
    : QObject(&main)
    , mMain(main)
{
    mHistory = new QUndoGroup(this);
    mPalette = new TToolPalette(&main);
    ToolPaletteState state;
    state.pos = main.mPrefs.ToolPalettePos;
    state.expanded = main.mPrefs.ToolPaletteExpanded;
    state.rolledUp = main.mPrefs.ToolPaletteRolledUp;
    mPalette->restoreState(state);
    connect(mPalette, &TToolPalette::attributeApplied, this,
            [this](PaletteAttribute which, const ToolAttributes &values) {
                if (EditController *c = activeController())
                    c->applyPaletteAttribute(which, values);
            });
    // Every window takes the new tool at once, so its cursor shows it.
    connect(mPalette, &TToolPalette::toolChanged, this, [this](int tool) {
        for (TChildForm *child : mMain.childForms())
            child->controller()->setTool(tool);
    });
    connect(mPalette, &TToolPalette::nudged, this, [this](int dx, int dy) {
        if (EditController *c = activeController())
            c->nudge(dx, dy);
    });
    // The palette comes up with the main window.
    main.installEventFilter(this);
    setDialogHost(this);
}

EditCommands::~EditCommands()
{
    if (&dialogHost() == this)
        setDialogHost(nullptr);
}

bool EditCommands::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &mMain && event->type() == QEvent::Show && !mPalette->isVisible())
        QTimer::singleShot(0, mPalette, [this] {
            if (mMain.isVisible())
                mPalette->show();
        });
    return QObject::eventFilter(watched, event);
}

int EditCommands::currentTool() const
{
    return mPalette->currentTool();
}

ToolAttributes EditCommands::toolAttributes() const
{
    return mPalette->attributes();
}

void EditCommands::connectCommands()
{
    const MainCommands &cmd = mMain.commands();
    struct Work
    {
        QAction *action;
        std::function<void(EditController &)> work;
    };
    const Work works[] = {
            {cmd.undo, [](EditController &c) { c.undo(); }},
            {cmd.redo, [](EditController &c) { c.redo(); }},
            {cmd.cut, [](EditController &c) { cutSelection(c); }},
            {cmd.copy, [](EditController &c) { copySelection(c); }},
            {cmd.paste,
             [this](EditController &c) {
                 pasteData(c, QGuiApplication::clipboard()->mimeData(), mMain.mPrefs.ImageDir);
             }},
            {cmd.deleteObjects, [](EditController &c) { c.deleteSelection(); }},
            {cmd.duplicate, [](EditController &c) { c.duplicateSelection(); }},
            {cmd.selectAll, [](EditController &c) { c.selectAll(); }},
            {cmd.bringToFront, [](EditController &c) { c.bringToFront(); }},
            {cmd.sendToBack, [](EditController &c) { c.sendToBack(); }},
            {cmd.align, [](EditController &c) { c.alignWithDialog(); }},
            {cmd.group, [](EditController &c) { c.group(); }},
            {cmd.ungroup, [](EditController &c) { c.ungroup(); }},
            {cmd.editObject, [](EditController &c) { c.editSelectedObject(); }},
            {cmd.adjustObject, [](EditController &c) { c.adjustSelection(); }},
    };
    mMain.mUnbuilt.removeAll(cmd.undoHistory);
    connect(cmd.undoHistory, &QAction::triggered, this, [this] { showHistory(); });
    for (const Work &w : works) {
        QAction *action = w.action;
        mMain.mUnbuilt.removeAll(action);
        const auto work = w.work;
        connect(action, &QAction::triggered, this, [this, action, work] { run(action, work); });
        ++mBuiltCount;
    }
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            [this] { mMain.updateCommandStates(); });
}

void EditCommands::run(QAction *action, const std::function<void(EditController &)> &work)
{
    // A short cut fires even when its item is disabled by the rules: the rules decide.
    updateStates();
    if (!action->isEnabled())
        return;
    mMain.guarded([&] {
        if (EditController *c = activeController())
            work(*c);
    });
    mMain.updateCommandStates();
}

void EditCommands::attach(TChildForm *child)
{
    EditController *c = child->controller();
    mHistory->addStack(c->undoStack());
    c->setHost(this);
    connect(c, &EditController::edited, this, [this, child] {
        if (child == mMain.activeChild())
            mMain.updateCommandStates();
        child->updateCaption();
    });
}

EditController *EditCommands::activeController() const
{
    TChildForm *child = mMain.activeChild();
    return child ? child->controller() : nullptr;
}

TChildForm *EditCommands::childOf(const EditController &controller) const
{
    for (TChildForm *child : mMain.childForms())
        if (child->controller() == &controller)
            return child;
    return nullptr;
}

void EditCommands::updateStates()
{
    const MainCommands &cmd = mMain.commands();
    TChildForm *child = mMain.activeChild();
    EditController *c = child && child->isEditing() ? child->controller() : nullptr;
    const Page *page = c ? c->page() : nullptr;
    const int selected = page ? countSelected(page->Objects) : 0;
    const PageObject *first = page ? firstSelected(page->Objects) : nullptr;
    auto set = [](QAction *action, bool enabled) { action->setEnabled(enabled); };
    const bool undo = c && mMain.mPrefs.Undo && c->canUndo();
    const bool redo = c && mMain.mPrefs.Undo && c->canRedo();
    set(cmd.undo, undo);
    set(cmd.redo, redo);
    set(cmd.undoHistory, mMain.mPrefs.Undo);
    // The items name the step they take back or make again.
    cmd.undo->setText(undo ? edtext::UndoText + QLatin1Char(' ') + c->undoStack()->undoText()
                           : QString(edtext::UndoText));
    cmd.redo->setText(redo ? edtext::RedoText + QLatin1Char(' ') + c->undoStack()->redoText()
                           : QString(edtext::RedoText));
    mHistory->setActiveStack(c ? c->undoStack() : nullptr);
    for (QAction *action : {cmd.cut, cmd.copy, cmd.deleteObjects, cmd.duplicate, cmd.bringToFront,
                            cmd.sendToBack, cmd.align})
        set(action, selected > 0);
    set(cmd.paste, c && page && canPaste(QGuiApplication::clipboard()->mimeData()));
    set(cmd.selectAll, page && !page->Objects.empty());
    set(cmd.group, selected > 1);
    set(cmd.ungroup, selected == 1 && first && first->isGroup());
    set(cmd.adjustObject, selected > 0);
    set(cmd.editObject,
        selected == 1 && first
                && (first->article() || first->button() || first->picture() || first->text()));
}

bool EditCommands::dropPageTab(int tab, const QPoint &globalPos)
{
    TChildForm *source = mMain.activeChild();
    if (!source || !source->isEditing())
        return false;
    EditController *target = EditController::controllerFor(widgetAt(globalPos));
    TChildForm *into = target ? childOf(*target) : nullptr;
    if (!into || into == source || !into->isEditing())
        return false;
    const QString title = mMain.pageTabs()->tabText(tab);
    const Page *page = source->publication().findPage(title);
    Publication &pub = into->publication();
    if (!page || page == source->publication().masterPage())
        return false;
    Page *current = pub.currentPage();
    const Page *after = current && current != pub.masterPage() ? current : pub.lastPage();
    PagesState before = PagesState::of(pub);
    Page *copy = pub.copyPageIn(*page, after);
    if (!copy) {
        alert(into, msg::AppTitle, QStringLiteral("Not enough memory!"));
        return false;
    }
    into->controller()->recordPages(edtext::step::CopyPage, std::move(before));
    into->showPage(copy);
    mMain.activateChild(into);
    return true;
}

// --- EditHost

EditSettings EditCommands::editSettings() const
{
    const Preferences &p = mMain.mPrefs;
    return EditSettings {p.SnapToGrid, p.GridX, p.GridY, p.Undo};
}

void EditCommands::showReadout(const QString &caption, int a, int b)
{
    mReadoutCaption = caption;
    mReadoutValues = QPoint(a, b);
    emit readoutChanged(caption, a, b);
}

void EditCommands::editStateChanged()
{
    mMain.updateCommandStates();
}

void EditCommands::gestureStarted()
{
    if (mMain.mTimer)
        mMain.mTimer->stop();
}

void EditCommands::gestureFinished()
{
    if (mMain.mTimer)
        mMain.mTimer->start();
}

void EditCommands::beep()
{
    QApplication::beep();
}

Page *EditCommands::pageTabAt(const EditController &source, const QPoint &globalPos) const
{
    TChildForm *child = childOf(source);
    QTabBar *tabs = mMain.pageTabs();
    if (!child || child != mMain.activeChild() || !tabs->isVisible())
        return nullptr;
    const QPoint at = tabs->mapFromGlobal(globalPos);
    if (!tabs->rect().contains(at))
        return nullptr;
    const int index = tabs->tabAt(at);
    if (index < 0)
        return nullptr;
    Page *page = child->publication().findPage(tabs->tabText(index));
    return page == source.page() ? nullptr : page;
}

void EditCommands::showPage(EditController &controller, Page *page)
{
    if (TChildForm *child = childOf(controller))
        child->showPage(page);
}

void EditCommands::pagesChanged(EditController &controller)
{
    TChildForm *child = childOf(controller);
    if (!child)
        return;
    // The page size may have gone back too.
    child->pageView()->pageSizeChanged();
    emit child->pageChanged();
    if (child == mMain.activeChild())
        mMain.rebuildPageTabs();
    child->updateCaption();
}

void EditCommands::showHistory()
{
    if (!mHistoryView) {
        mHistoryView = new QUndoView(mHistory, &mMain);
        mHistoryView->setObjectName(QStringLiteral("UndoHistory"));
        mHistoryView->setWindowFlags(Qt::Tool);
        mHistoryView->setWindowTitle(edtext::HistoryCaption);
        mHistoryView->setEmptyLabel(edtext::HistoryStart);
        mHistoryView->resize(240, 320);
        const QPoint corner = mMain.geometry().topRight();
        mHistoryView->move(corner.x() - 260, corner.y() + 80);
    }
    mHistoryView->show();
    mHistoryView->raise();
}

void EditCommands::stepPage(EditController &controller, int step)
{
    TChildForm *child = childOf(controller);
    if (!child || child != mMain.activeChild())
        return;
    if (step < 0)
        mMain.PreviousPageClick();
    else
        mMain.NextPageClick();
}

void EditCommands::openPublication(const QString &fileName)
{
    // After the drop has finished: opening shows dialogs and new windows.
    QTimer::singleShot(0, &mMain, [this, fileName] {
        mMain.guarded([&] { mMain.openPublication(fileName); });
    });
}

QString EditCommands::chooseOpenFile(QWidget *parent, const QString &title, const QString &filter,
                                     DialogFolder folder)
{
    QString dir = this->folder(folder);
    const QString name = mMain.mDialogs->openFile(parent, title, filter, QString(), dir,
                                                  mMain.mPrefs.WindowsFileSelector);
    if (!name.isEmpty())
        setFolder(folder, dir);
    return name;
}

QString EditCommands::chooseSaveFile(QWidget *parent, const QString &title, const QString &filter,
                                     QString &dir)
{
    return mMain.mDialogs->saveFile(parent, title, filter, QString(), dir,
                                    mMain.mPrefs.WindowsFileSelector);
}

void EditCommands::alert(QWidget *parent, const QString &title, const QString &text)
{
    mMain.mDialogs->alert(parent, title, text);
}

bool EditCommands::confirm(QWidget *parent, const QString &title, const QString &text)
{
    return mMain.mDialogs->ask(parent, title, text, false) == ShellDialogs::Yes;
}

bool EditCommands::defineObject(QWidget *parent, Publication &pub, PageObject &object,
                                const QRect &oldBox, bool isNew)
{
    return editObject(parent, pub, object, oldBox);
}

bool EditCommands::adjustObjects(QWidget *parent, Publication &pub, Page &page)
{
    return vardeko::adjustObjects(parent, pub, page);
}

bool EditCommands::chooseAlignment(QWidget *parent, int selectedCount, AlignChoice *choice)
{
    TAlignForm form(selectedCount, parent);
    if (form.exec() != QDialog::Accepted)
        return false;
    *choice = form.choice();
    return true;
}

// --- DialogHost

QString EditCommands::openFileName(QWidget *parent, const QString &title, const QString &dir,
                                   const QString &filter)
{
    QString start = dir; // the object dialogs keep their folders themselves
    return mMain.mDialogs->openFile(parent, title, filter, QString(), start,
                                    mMain.mPrefs.WindowsFileSelector);
}

QString EditCommands::saveFileName(QWidget *parent, const QString &title, const QString &dir,
                                   const QString &filter)
{
    QString start = dir;
    return mMain.mDialogs->saveFile(parent, title, filter, QString(), start,
                                    mMain.mPrefs.WindowsFileSelector);
}

QString EditCommands::folder(DialogFolder which) const
{
    const Preferences &p = mMain.mPrefs;
    switch (which) {
    case DialogFolder::Articles:
        return p.TextDir;
    case DialogFolder::Images:
        return p.ImageDir;
    case DialogFolder::Scripts:
        return p.ActionDir;
    case DialogFolder::Programs:
        return p.DOSDir;
    case DialogFolder::Animations:
        return p.VideoDir;
    case DialogFolder::Sounds:
        return p.AudioDir;
    }
    return QString();
}

void EditCommands::setFolder(DialogFolder which, const QString &dir)
{
    Preferences &p = mMain.mPrefs;
    switch (which) {
    case DialogFolder::Articles:
        p.TextDir = dir;
        break;
    case DialogFolder::Images:
        p.ImageDir = dir;
        break;
    case DialogFolder::Scripts:
        p.ActionDir = dir;
        break;
    case DialogFolder::Programs:
        p.DOSDir = dir;
        break;
    case DialogFolder::Animations:
        p.VideoDir = dir;
        break;
    case DialogFolder::Sounds:
        p.AudioDir = dir;
        break;
    }
}

} // namespace vardeko
