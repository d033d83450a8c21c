// The window of a compiled program: the publication's pages in the run look, nothing else.
#include "playerwindow.h"

#include "pagepainter.h"
#include "publication.h"
#include "runpage.h"
#include "scrollingmessage.h"
#include "textexpansion.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QScreen>
#include <QTimer>
#include <QWindow>

namespace vardeko {

PlayerWindow::PlayerWindow(std::unique_ptr<Publication> pub, bool screenSaver, QWidget *parent)
    : QWidget(parent)
    , mPub(std::move(pub))
    , mScreenSaver(screenSaver)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    if (screenSaver) {
        // A screen saver places itself over everything, with or without a window manager.
        setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        setCursor(Qt::BlankCursor);
        qApp->installEventFilter(this);
    } else if (mPub->Settings.StayOnTop) {
        setWindowFlag(Qt::WindowStaysOnTopHint, true);
    }
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
    return runPageSize(*mPub);
}

QPoint PlayerWindow::pageOrigin() const
{
    return runPageOrigin(size(), pageSize(), mFullScreen);
}

QString PlayerWindow::tempDir() const
{
    return mTempDir.isEmpty() ? QDir::tempPath() : mTempDir;
}

void PlayerWindow::enterRunLayout(bool fullScreen)
{
    mFullScreen = fullScreen || mScreenSaver;
    if (mScreenSaver) {
        coverScreen();
    } else if (mFullScreen) {
        showFullScreen();
    } else if (mPub->Settings.Sizeable) {
        resize(pageSize());
    } else {
        setFixedSize(pageSize());
    }
    setFocus(Qt::OtherFocusReason);
    update();
}

void PlayerWindow::coverScreen()
{
    // Under a screen-saver host the window fills the window it was given.
    if (const QWindow *handle = windowHandle(); handle && handle->parent()) {
        resize(handle->parent()->size());
        mFirstMouse = QCursor::pos();
        return;
    }
    // Where the mouse stands now: only a movement away from here is the reader's.
    mFirstMouse = QCursor::pos();
    // A window manager makes a full-screen window cover the screen; without one the
    // window places itself.
    showFullScreen();
    if (QScreen *shown = screen())
        setGeometry(shown->geometry());
    raise();
    activateWindow();
    grabInput(20);
}

void PlayerWindow::grabInput(int triesLeft)
{
    // The keyboard and the mouse can be held only once the window is on the screen.
    QWindow *handle = windowHandle();
    const bool held = handle && handle->isExposed() && handle->setKeyboardGrabEnabled(true)
                      && handle->setMouseGrabEnabled(true);
    if (!held && triesLeft > 0)
        QTimer::singleShot(50, this, [this, triesLeft] { grabInput(triesLeft - 1); });
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
    // A screen saver shows no mouse pointer.
    if (mScreenSaver)
        return;
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
    addRunOptions(options, *mSession);
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
    const Page *current = mPub->currentPage();
    if (paintPageInWindow(painter, rect(), QRect(pageOrigin(), pageSize()), event->rect(), *mPub, current,
                          options(current), mFullScreen))
        paintFindHighlight(painter, mSession->findHighlightRect());
}

bool PlayerWindow::screenSaverInput(QEvent *event)
{
    if (!mScreenSaver)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
        break;
    case QEvent::MouseMove: {
        // Measured from where the mouse stood when the window came (or from its first
        // movement when that is not known); a few pixels are the mouse settling.
        const QPoint at = static_cast<QMouseEvent *>(event)->globalPosition().toPoint();
        if (mFirstMouse.x() < 0) {
            mFirstMouse = at;
            return true;
        }
        if ((at - mFirstMouse).manhattanLength() < 8)
            return true;
        break;
    }
    default:
        return false;
    }
    if (!mInputSeen) {
        mInputSeen = true;
        emit inputSeen();
    }
    return true;
}

bool PlayerWindow::eventFilter(QObject *watched, QEvent *event)
{
    // The screen saver sees input wherever it goes: to a field or button of the page,
    // or to the window itself.
    if (mScreenSaver && watched->isWidgetType() && screenSaverInput(event))
        return true;
    return QWidget::eventFilter(watched, event);
}

void PlayerWindow::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    if (mSession->isRunning())
        mSession->mousePress(event->button(), event->position().toPoint() - pageOrigin());
}

void PlayerWindow::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
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
