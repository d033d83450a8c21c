// A publication window: owns one publication and shows its current page.
#include "childform.h"

#include "debugform.h"
#include "editcontroller.h"
#include "pagepainter.h"
#include "pageview.h"
#include "publication.h"
#include "runpage.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QMdiSubWindow>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>

namespace vardeko {

TChildForm::TChildForm(std::unique_ptr<Publication> pub, QWidget *parent)
    : QWidget(parent)
    , mPub(std::move(pub))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    mView = new PageView(*mPub, this);
    layout->addWidget(mView);
    mController = new EditController(*mPub, *mView, this);
    mView->setController(mController);
    mSession = new RunSession(*this, this);
    mView->setRunSession(mSession);
    connect(mSession, &RunSession::runModeChanged, this, [this](bool running) {
        mController->setRunning(running);
        updateCaption();
    });
    updateCaption();
}

namespace {

QPointer<TDebugForm> &debugForm()
{
    static QPointer<TDebugForm> form;
    return form;
}

QString &tempDirectory()
{
    static QString dir;
    return dir;
}

} // namespace

void TChildForm::setDebugWindow(TDebugForm *debug)
{
    debugForm() = debug;
}

void TChildForm::setTempDirectory(const QString &dir)
{
    tempDirectory() = dir;
}

TDebugForm *TChildForm::debugWindow() const
{
    return debugForm().data();
}

ArticleObjects *TChildForm::articleObjects() const
{
    return &mView->articles();
}

QString TChildForm::tempDir() const
{
    return tempDirectory().isEmpty() ? QDir::tempPath() : tempDirectory();
}

QWidget *TChildForm::pageWidget() const
{
    return mView->viewport();
}

QPoint TChildForm::pageOrigin() const
{
    return mView->pageOffset();
}

void TChildForm::enterRunLayout(bool fullScreen)
{
    QWidget *frame = parentWidget() ? parentWidget() : this;
    mSavedGeometry = frame->geometry();
    mSavedState = frame->windowState();
    mView->setDisplayMode(1);
    updateCaption();
    emit runLayoutChanged(true, fullScreen);
    const QSize page = runPageSize(*mPub);
    if (fullScreen) {
        if (parentWidget())
            frame->showMaximized();
        else
            showFullScreen();
    } else {
        // The work area takes the page's size; the frame keeps its borders. They are
        // measured once the window is no longer maximised (a maximised frame has no
        // title bar or borders) and its layout has settled, then measured again: a
        // scroll bar that goes or comes changes the work area once more.
        frame->setWindowState(Qt::WindowNoState);
        // The page fills the work area: no scroll bar comes or goes while it runs.
        mView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        mView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        for (int pass = 0; pass < 4; ++pass) {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
            const QSize missing = page - mView->viewport()->size();
            if (missing.isNull())
                break;
            frame->resize(frame->size() + missing);
        }
    }
    mView->horizontalScrollBar()->setValue(0);
    mView->verticalScrollBar()->setValue(0);
    mView->setFocus(Qt::OtherFocusReason);
}

void TChildForm::leaveRunLayout()
{
    QWidget *frame = parentWidget() ? parentWidget() : this;
    mView->setDisplayMode(0);
    mView->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mView->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    frame->setWindowState(mSavedState);
    if (!(mSavedState & (Qt::WindowMaximized | Qt::WindowFullScreen)))
        frame->setGeometry(mSavedGeometry);
    updateCaption();
    emit runLayoutChanged(false, mPub->Settings.FullScreen);
    emit pageChanged();
}

void TChildForm::repaintPage(const QRect &pageArea)
{
    if (pageArea.isEmpty())
        mView->viewport()->update();
    else
        mView->viewport()->update(pageArea.translated(mView->pageOffset()));
}

void TChildForm::currentPageChanged()
{
    mController->pageChanged();
    emit pageChanged();
}

void TChildForm::setPageCursor(const QCursor &cursor)
{
    mView->viewport()->setCursor(cursor);
}

QImage TChildForm::grabPage() const
{
    return mView->viewport()->grab(QRect(mView->pageOffset(), runPageSize(*mPub))).toImage();
}

QImage TChildForm::renderCurrentPage() const
{
    return mView->renderShown();
}

TChildForm::~TChildForm()
{
    delete mSession;
    mSession = nullptr;
    // The view forgets the controller before either goes.
    mView->setController(nullptr);
    delete mController;
    mController = nullptr;
}

QString TChildForm::fileName() const
{
    return mPub->FileName;
}

void TChildForm::updateCaption()
{
    setWindowTitle(publicationCaption(*mPub, mView->displayMode()));
}

void TChildForm::publicationReloaded()
{
    mController->pageChanged();
    mView->pageSizeChanged();
    updateCaption();
    emit pageChanged();
}

void TChildForm::showPage(Page *page)
{
    if (!page || page == mPub->currentPage())
        return;
    if (isRunning()) {
        // Entering a page in run mode runs its entry script.
        mSession->showPage(page);
        return;
    }
    mController->pageChanged();
    mPub->setCurrentPage(page);
    mView->viewport()->update();
    emit pageChanged();
}

void TChildForm::closeEvent(QCloseEvent *event)
{
    // A running window leaves run mode instead of closing.
    if (isRunning()) {
        event->ignore();
        mSession->closeRequested();
        return;
    }
    if (mCloseQuery && !mCloseQuery(this)) {
        event->ignore();
        return;
    }
    event->accept();
    emit closed(this);
}

} // namespace vardeko
