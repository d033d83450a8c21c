// The Page and Book menu commands of the main window and their enabling rules.
#include "pagecommands.h"

#include "editcontroller.h"
#include "editortexts.h"

#include "booksetupform.h"
#include "childform.h"
#include "filegatherer.h"
#include "mainform.h"
#include "pageattrform.h"
#include "pagedialogs.h"
#include "pagelayoutform.h"
#include "pagemanagement.h"
#include "pageview.h"
#include "printjobs.h"
#include "palette.h"
#include "publication.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vardeko {

namespace {
PageCommands::DialogDriver &dialogDriver()
{
    static PageCommands::DialogDriver driver;
    return driver;
}
} // namespace

PageCommands::PageCommands(TMainForm &form)
    : QObject(&form)
    , mForm(form)
{
}

void PageCommands::setDialogDriver(DialogDriver driver)
{
    dialogDriver() = std::move(driver);
}

bool PageCommands::runDialog(QDialog &dialog)
{
    if (const DialogDriver &driver = dialogDriver()) {
        driver(dialog);
        return dialog.result() == QDialog::Accepted;
    }
    return dialog.exec() == QDialog::Accepted;
}

void PageCommands::connectCommands()
{
    const MainCommands &cmd = mForm.commands();
    auto bind = [this](QAction *action, std::function<void()> handler) {
        connect(action, &QAction::triggered, this, [this, handler] { mForm.guarded(handler); });
    };
    auto addHere = [this] {
        if (TChildForm *child = editedChild())
            addPages(currentPageOf(child), true);
    };
    bind(cmd.addPage, addHere);
    bind(cmd.tabAddPage, addHere);
    bind(cmd.copyPage, [this] { copyCurrentPage(); });
    bind(cmd.tabCopyPage, [this] { copyCurrentPage(); });
    bind(cmd.movePage, [this] { moveCurrentPage(); });
    bind(cmd.tabMovePage, [this] { moveCurrentPage(); });
    bind(cmd.renamePage, [this] { renameCurrentPage(); });
    bind(cmd.tabRenamePage, [this] { renameCurrentPage(); });
    bind(cmd.deletePage, [this] { deleteCurrentPage(); });
    bind(cmd.tabDeletePage, [this] { deleteCurrentPage(); });
    bind(cmd.showMasterItems, [this] { toggleShowMasterItems(); });
    bind(cmd.setGrid, [this] { setGrid(); });
    bind(cmd.newFile, [this] { newPublication(); });
    bind(cmd.fileList, [this] { showFileList(); });
    bind(cmd.bookSetup, [this] { bookSetup(); });
    bind(cmd.pageLayout, [this] { pageLayout(false); });
    bind(cmd.pageAttributes, [this] { editPageAttributes(); });
    bind(cmd.tabPageAttributes, [this] { editPageAttributes(); });
}

void PageCommands::connectGotoMore(QAction *more)
{
    connect(more, &QAction::triggered, this,
            [this] { mForm.guarded([this] { pageLayout(true); }); });
}

void PageCommands::pageLayout(bool picker)
{
    TChildForm *child = mForm.activeChild();
    if (!child || (!picker && !child->isEditing()))
        return;
    // Everything done in one session of the sorter is one step of the history.
    Publication &pub = child->publication();
    EditController *controller = child->controller();
    const bool wasModified = std::exchange(pub.Modified, false);
    controller->beginPagesBatch();
    TBookLayoutForm dialog(*child, mForm.preferences(), *this, picker, &mForm);
    const bool accepted = runDialog(dialog);
    const bool changed = pub.Modified;
    controller->endPagesBatch(edtext::step::PageLayout, changed);
    if (!changed)
        pub.Modified = wasModified;
    if (picker) {
        if (Page *page = accepted ? dialog.chosenPage() : nullptr)
            mForm.goToPage(page);
        return;
    }
    pagesChanged(child);
}

void PageCommands::updateStates()
{
    const MainCommands &cmd = mForm.commands();
    TChildForm *child = mForm.activeChild();
    const bool exists = child != nullptr;
    const bool editing = !child || child->isEditing();
    const Publication *pub = exists ? &child->publication() : nullptr;
    const Page *current = pub ? pub->currentPage() : nullptr;
    const bool onPage = current && current != pub->masterPage();
    const bool pageCommands = exists && editing && onPage;
    auto set = [](QAction *action, bool enabled) { action->setEnabled(enabled); };
    for (QAction *action :
         {cmd.addPage, cmd.copyPage, cmd.renamePage, cmd.deletePage, cmd.showMasterItems,
          cmd.tabAddPage, cmd.tabCopyPage, cmd.tabMovePage, cmd.tabRenamePage, cmd.tabDeletePage})
        set(action, pageCommands);
    set(cmd.movePage, pageCommands && pub->pageCount() > 1);
    // The master page has only its palette to edit, which needs a 256-colour display.
    set(cmd.pageAttributes, exists && editing && current && (onPage || paletteDisplay()));
    set(cmd.tabPageAttributes, pageCommands);
    set(cmd.newFile, true);
    set(cmd.fileList, exists);
    set(cmd.bookSetup, exists);
    set(cmd.pageLayout, exists);
    set(cmd.setGrid, editing);
}

TChildForm *PageCommands::editedChild() const
{
    TChildForm *child = mForm.activeChild();
    return child && child->isEditing() ? child : nullptr;
}

Page *PageCommands::currentPageOf(TChildForm *child) const
{
    Publication &pub = child->publication();
    Page *page = pub.currentPage();
    return page && page != pub.masterPage() ? page : nullptr;
}

void PageCommands::pagesChanged(TChildForm *child)
{
    child->pageView()->viewport()->update();
    mForm.rebuildPageTabs();
    mForm.updateCommandStates();
}

void PageCommands::addPages(Page *anchor, bool goToFirstNew)
{
    TChildForm *child = editedChild();
    if (!child || !anchor)
        return;
    TPageAddForm dialog(*anchor, &mForm);
    if (!runDialog(dialog))
        return;
    Publication &pub = child->publication();
    PagesState before = PagesState::of(pub);
    AddPagesResult result;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        result = vardeko::addPages(pub, anchor, dialog.count(), dialog.place());
        QApplication::restoreOverrideCursor();
    }
    if (!result.pages.empty())
        child->controller()->recordPages(edtext::step::AddPage, std::move(before));
    if (result.failed)
        mForm.dialogs().alert(&mForm, pagemsg::AppTitle, pagemsg::NotEnoughMemory);
    if (goToFirstNew && !result.pages.empty())
        mForm.goToPage(result.pages.front());
    pagesChanged(child);
}

void PageCommands::copyCurrentPage()
{
    TChildForm *child = editedChild();
    Page *page = child ? currentPageOf(child) : nullptr;
    if (!page)
        return;
    if (mForm.dialogs().ask(&mForm, pagemsg::CopyTitle, copyPageQuestion(*page), false)
        != ShellDialogs::Yes)
        return;
    PagesState before = PagesState::of(child->publication());
    Page *copy = copyPage(child->publication(), *page);
    if (!copy) {
        mForm.dialogs().alert(&mForm, pagemsg::AppTitle, pagemsg::NotEnoughMemory);
        return;
    }
    child->controller()->recordPages(edtext::step::CopyPage, std::move(before));
    mForm.goToPage(copy);
    pagesChanged(child);
}

void PageCommands::moveCurrentPage()
{
    TChildForm *child = editedChild();
    if (Page *page = child ? currentPageOf(child) : nullptr)
        movePageOf(child, page);
}

void PageCommands::movePageOf(TChildForm *child, Page *page)
{
    Publication &pub = child->publication();
    TPageMoveForm dialog(pub, *page, mForm.preferences().Mascot, &mForm);
    if (!runDialog(dialog))
        return;
    // Onto itself or onto a name that is gone: nothing to do.
    PagesState before = PagesState::of(pub);
    if (movePage(pub, page->Title, dialog.targetName(), dialog.place())) {
        child->controller()->recordPages(edtext::step::MovePage, std::move(before));
        pagesChanged(child);
    }
}

void PageCommands::renameCurrentPage()
{
    TChildForm *child = editedChild();
    if (Page *page = child ? currentPageOf(child) : nullptr)
        renamePageOf(child, page);
}

void PageCommands::renamePageOf(TChildForm *child, Page *page)
{
    PagesState before = PagesState::of(child->publication());
    TPageRenameForm dialog(child->publication(), *page, mForm.dialogs(), &mForm);
    if (runDialog(dialog) && dialog.renamed()) {
        child->controller()->recordPages(edtext::step::RenamePage, std::move(before));
        pagesChanged(child);
    }
}

void PageCommands::deleteCurrentPage()
{
    TChildForm *child = editedChild();
    Page *page = child ? currentPageOf(child) : nullptr;
    if (!page)
        return;
    if (mForm.dialogs().ask(&mForm, pagemsg::DeleteTitle, deletePageQuestion(*page), false)
        != ShellDialogs::Yes)
        return;
    if (child->controller()->deletePage(page, edtext::step::DeletePage)) {
        emit child->pageChanged();
        pagesChanged(child);
    }
}

void PageCommands::toggleShowMasterItems()
{
    TChildForm *child = editedChild();
    Page *page = child ? currentPageOf(child) : nullptr;
    if (!page)
        return;
    PagesState before = PagesState::of(child->publication());
    if (toggleShowMaster(child->publication(), *page)) {
        child->controller()->recordPages(edtext::step::ShowMasterItems, std::move(before));
        pagesChanged(child);
    }
}

void PageCommands::editPageAttributes()
{
    TChildForm *child = editedChild();
    if (!child)
        return;
    Publication &pub = child->publication();
    Page *page = pub.currentPage();
    if (!page)
        return;
    const bool master = page == pub.masterPage();
    if (master && !paletteDisplay())
        return;
    PagesState before = PagesState::of(pub);
    TPageAttrForm dialog(pub, *page, master, mForm.preferences(), mForm.dialogs(), &mForm);
    if (runDialog(dialog)) {
        child->controller()->recordPages(edtext::step::PageAttributes, std::move(before));
        pagesChanged(child);
    }
    else
        child->pageView()->viewport()->update();
}

void PageCommands::bookSetup()
{
    TChildForm *child = mForm.activeChild();
    if (!child)
        return;
    Publication &pub = child->publication();
    const bool wasModified = std::exchange(pub.Modified, false);
    // The setup is one step of the history: the size, colours and texts go back with the
    // page palettes and scripts it changed.
    PagesState before = PagesState::of(pub);
    before.setup = SetupFields::of(pub.Settings);
    TBookSetupForm dialog(*child, mForm.preferences(), mForm.dialogs(), &mForm);
    const bool accepted = runDialog(dialog);
    const bool changed = accepted && SetupFields::of(pub.Settings) != *before.setup;
    if (changed)
        child->controller()->recordPages(edtext::step::PublicationSetup, std::move(before));
    else if (pub.Modified)
        child->controller()->changedOutsideHistory();
    else
        pub.Modified = wasModified;
    if (!accepted)
        return;
    // Texts made the program's defaults are written at once, with the other preferences.
    if (dialog.defaultBox()->isChecked())
        mForm.storePreferences();
    pagesChanged(child);
}

void PageCommands::setGrid()
{
    Preferences &prefs = mForm.preferences();
    TSetGridForm dialog(prefs.GridX, prefs.GridY, &mForm);
    if (!runDialog(dialog))
        return;
    prefs.GridX = dialog.gridX();
    prefs.GridY = dialog.gridY();
    for (TChildForm *child : mForm.childForms()) {
        child->pageView()->setShowGrid(prefs.ShowGrid, prefs.GridX, prefs.GridY);
        child->pageView()->viewport()->update();
    }
}

void PageCommands::newPublication()
{
    Preferences &prefs = mForm.preferences();
    TNewPubForm dialog(prefs.ScreenWidth, prefs.ScreenHeight, prefs.ScreenColors, &mForm);
    if (!runDialog(dialog))
        return;
    prefs.ScreenWidth = dialog.chooser()->screenWidth();
    prefs.ScreenHeight = dialog.chooser()->screenHeight();
    prefs.ScreenColors = dialog.chooser()->screenColors();
    mForm.newUntitled();
    mForm.tileVertical();
}

void PageCommands::showFileList()
{
    TChildForm *child = mForm.activeChild();
    if (!child)
        return;
    const Publication &pub = child->publication();
    GatherOptions options;
    options.publicationAndIcon = true;
    const QStringList lines = fileListReport(gatherPublicationFiles(pub, options));

    auto *form = new QDialog(&mForm);
    form->setObjectName(QStringLiteral("PubContentsForm"));
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->setWindowTitle(fileListCaption(pub));
    auto *layout = new QVBoxLayout(form);
    auto *view = new QPlainTextEdit(lines.join(QLatin1Char('\n')), form);
    view->setObjectName(QStringLiteral("ReportMemo"));
    view->setReadOnly(true);
    view->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(view);
    auto *buttons = new QDialogButtonBox(form);
    QPushButton *print = buttons->addButton(booktext::FileListPrint, QDialogButtonBox::ActionRole);
    connect(print, &QPushButton::clicked, form, [form, view] { PrintText(QStringLiteral("File List"), view, form); });
    QPushButton *close = buttons->addButton(booktext::FileListClose, QDialogButtonBox::RejectRole);
    connect(close, &QPushButton::clicked, form, &QDialog::close);
    layout->addWidget(buttons);
    form->resize(460, 380);
    form->show();
}

} // namespace vardeko
