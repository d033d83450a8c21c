// The window of a compiled program: the publication's pages in the run look, nothing else.
#include "playerwindow.h"

#include "pagepainter.h"
#include "publication.h"
#include "scrollingmessage.h"
#include "textexpansion.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QTimer>

namespace vardeko {

PlayerWindow::PlayerWindow(std::unique_ptr<Publication> pub, bool screenSaver, QWidget *parent)
    : QWidget(parent)
    , mPub(std::move(pub))
    , mScreenSaver(screenSaver)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    if (mPub->Settings.StayOnTop || screenSaver)
        setWindowFlag(Qt::WindowStaysOnTopHint, true);
    setWindowTitle(publicationCaption(*mPub, 1));
    resize(pageSize());
    mSession = new RunSession(*this, this);
    // Scrolling messages move one tick at a time, as in the editor's window.
    mMessageTimer = new QTimer(this);
    mMessageTimer->setInterval(30);
    connect(mMessageTimer, &QTimer::timeout, this, [this] {
        const Page *current = mPub->currentPage();
        if (!current)
            return;
        const QList<QRect> boxes = scrollingMessageBoxes(*current, mPub->masterPage());
        if (boxes.isEmpty())
            return;
        ++mMessageTick;
        for (const QRect &box : boxes)
            update(box.translated(pageOrigin()));
    });
    mMessageTimer->start();
}

PlayerWindow::~PlayerWindow()
{
    delete mSession;
    mSession = nullptr;
}

QSize PlayerWindow::pageSize() const
{
    return QSize(mPub->Settings.ScreenWidth, mPub->Settings.ScreenHeight);
}

QPoint PlayerWindow::pageOrigin() const
{
    if (!mFullScreen)
        return QPoint();
    const QSize spare = size() - pageSize();
    return QPoint(qMax(0, spare.width() / 2), qMax(0, spare.height() / 2));
}

QString PlayerWindow::tempDir() const
{
    return mTempDir.isEmpty() ? QDir::tempPath() : mTempDir;
}

void PlayerWindow::enterRunLayout(bool fullScreen)
{
    mFullScreen = fullScreen || mScreenSaver;
    if (mFullScreen) {
        showFullScreen();
    } else if (mPub->Settings.Sizeable) {
        resize(pageSize());
    } else {
        setFixedSize(pageSize());
    }
    setFocus(Qt::OtherFocusReason);
    update();
}

void PlayerWindow::leaveRunLayout()
{
    // The program ends with its run; nothing to give back.
}

void PlayerWindow::repaintPage(const QRect &pageArea)
{
    if (pageArea.isEmpty())
        update();
    else
        update(pageArea.translated(pageOrigin()));
}

void PlayerWindow::currentPageChanged()
{
    update();
}

void PlayerWindow::setPageCursor(const QCursor &cursor)
{
    setCursor(cursor);
}

QImage PlayerWindow::grabPage() const
{
    return const_cast<PlayerWindow *>(this)->grab(QRect(pageOrigin(), pageSize())).toImage();
}

RenderOptions PlayerWindow::options(const Page *current) const
{
    RenderOptions options;
    options.displayMode = 1;
    options.showHandles = false;
    options.messageTick = mMessageTick;
    options.expand = [this, current](const QString &text) { return expandShownText(text, *mPub, current); };
    if (!mPub->FileName.isEmpty())
        options.baseDir = QFileInfo(mPub->FileName).absolutePath();
    mArticles.setBaseDir(options.baseDir);
    mArticles.setTempDir(tempDir());
    options.articles = &mArticles;
    options.focused = mSession->focusedObject();
    options.editingFocusedField = mSession->editedField() != nullptr;
    const RunSession *run = mSession;
    options.scrollPosition = [run](const PageObject &o) { return run->scrollPosition(o); };
    return options;
}

QImage PlayerWindow::renderCurrentPage() const
{
    const Page *current = mPub->currentPage();
    if (!current)
        return QImage();
    return renderPage(*mPub, *current, options(current));
}

void PlayerWindow::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QPoint offset = pageOrigin();
    const QRect page(offset, pageSize());
    paintPageFrame(painter, rect(), page, 1, mFullScreen);
    const Page *current = mPub->currentPage();
    const QRect clip = page.intersected(event->rect());
    if (clip.isEmpty())
        return;
    painter.setClipRect(clip);
    if (!current) {
        painter.fillRect(page, Qt::white);
        return;
    }
    painter.translate(offset);
    paintPage(painter, *mPub, *current, clip.translated(-offset), options(current));
    if (const PageObject *found = mSession->findHighlight()) {
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        painter.fillRect(found->box().normalized(), Qt::white);
    }
}

bool PlayerWindow::screenSaverInput(QEvent *event)
{
    if (!mScreenSaver)
        return false;
    if (event->type() == QEvent::MouseMove) {
        const QPoint at = static_cast<QMouseEvent *>(event)->globalPosition().toPoint();
        if (mFirstMouse.x() < 0) {
            mFirstMouse = at;
            return false;
        }
        if ((at - mFirstMouse).manhattanLength() < 8)
            return false;
    }
    emit inputSeen();
    return true;
}

void PlayerWindow::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    if (screenSaverInput(event))
        return;
    if (mSession->isRunning())
        mSession->mousePress(event->button(), event->position().toPoint() - pageOrigin());
}

void PlayerWindow::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
    if (screenSaverInput(event))
        return;
    if (mSession->isRunning())
        mSession->mouseMove(event->position().toPoint() - pageOrigin());
}

void PlayerWindow::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (mSession->isRunning())
        mSession->mouseRelease(event->button(), event->position().toPoint() - pageOrigin());
}

void PlayerWindow::keyPressEvent(QKeyEvent *event)
{
    if (screenSaverInput(event)) {
        event->accept();
        return;
    }
    if (mSession->isRunning() && mSession->HandleRunKey(event->key(), event->modifiers()))
        event->accept();
    else
        event->ignore();
}

bool PlayerWindow::focusNextPrevChild(bool)
{
    // Tab moves the reader's focus between the page's objects.
    return false;
}

void PlayerWindow::closeEvent(QCloseEvent *event)
{
    // Closing the window leaves run mode (asking for the password first); the program
    // ends when run mode does.
    if (mSession->isRunning()) {
        event->ignore();
        mSession->closeRequested();
        return;
    }
    event->accept();
}

} // namespace vardeko
