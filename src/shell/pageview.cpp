// The scrollable work area of a publication window that shows the current page.
#include "pageview.h"

#include "editcontroller.h"
#include "edittool.h"
#include "filedrops.h"
#include "pagepainter.h"
#include "publication.h"
#include "scrollingmessage.h"
#include "runpage.h"
#include "runsession.h"
#include "textexpansion.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QScrollBar>

namespace vardeko {

PageView::PageView(Publication &pub, QWidget *parent)
    : QAbstractScrollArea(parent)
    , mPub(pub)
{
    viewport()->setBackgroundRole(QPalette::Button);
    viewport()->setAutoFillBackground(true);
    // The read-out and the handle cursors follow the mouse without a button held.
    viewport()->setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    updateScrollBars();
    // The picture objects' message timer: scrolling messages move one tick at a time.
    mMessageTimer = new QTimer(this);
    mMessageTimer->setInterval(30);
    connect(mMessageTimer, &QTimer::timeout, this, [this] {
        const Page *current = mPub.currentPage();
        if (!current || !mShowImages)
            return;
        const QList<QRect> boxes = scrollingMessageBoxes(*current, mPub.masterPage());
        if (boxes.isEmpty())
            return;
        ++mMessageTick;
        for (const QRect &box : boxes)
            viewport()->update(box.translated(pageOffset()));
    });
    mMessageTimer->start();
}

QSize PageView::pageSize() const
{
    return runPageSize(mPub);
}

QSize PageView::contentSize() const
{
    if (mDisplayMode == 1)
        return pageSize();
    return pageSize() + QSize(2 * Margin + ShadowWidth, 2 * Margin + ShadowWidth);
}

bool PageView::running() const
{
    return mRun && mRun->isRunning();
}

void PageView::setDisplayMode(int mode)
{
    mDisplayMode = mode;
    updateScrollBars();
    viewport()->update();
}

void PageView::pageSizeChanged()
{
    updateScrollBars();
    viewport()->update();
}

QPoint PageView::pageOffset() const
{
    if (mDisplayMode == 1) {
        // Full screen centres the page; otherwise it sits at the top left.
        const QPoint origin = runPageOrigin(viewport()->size(), pageSize(), mPub.Settings.FullScreen);
        return origin - QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
    }
    return QPoint(Margin - horizontalScrollBar()->value(), Margin - verticalScrollBar()->value());
}

void PageView::centerPage()
{
    const QSize content = contentSize();
    const QSize view = viewport()->size();
    horizontalScrollBar()->setValue((content.width() - view.width()) / 2);
    verticalScrollBar()->setValue((content.height() - view.height()) / 2);
}

void PageView::setShowGrid(bool show, int gridX, int gridY)
{
    mShowGrid = show;
    mGridX = gridX;
    mGridY = gridY;
    viewport()->update();
}

void PageView::setShowImages(bool show)
{
    mShowImages = show;
    viewport()->update();
}

void PageView::updateScrollBars()
{
    const QSize content = contentSize();
    const QSize view = viewport()->size();
    horizontalScrollBar()->setRange(0, qMax(0, content.width() - view.width()));
    horizontalScrollBar()->setPageStep(view.width());
    horizontalScrollBar()->setSingleStep(16);
    verticalScrollBar()->setRange(0, qMax(0, content.height() - view.height()));
    verticalScrollBar()->setPageStep(view.height());
    verticalScrollBar()->setSingleStep(16);
}

void PageView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void PageView::scrollContentsBy(int, int)
{
    viewport()->update();
}

void PageView::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    const Page *current = mPub.currentPage();
    if (!paintPageInWindow(painter, viewport()->rect(), QRect(pageOffset(), pageSize()), event->rect(), mPub,
                           current, options(current), mDisplayMode == 1 && mPub.Settings.FullScreen))
        return;
    if (mDisplayMode == 1 && mRun) {
        // The search's match shows inverted.
        paintFindHighlight(painter, mRun->findHighlightRect());
    } else if (mController) {
        mController->paintFeedback(painter);
    }
}

RenderOptions PageView::options(const Page *current) const
{
    RenderOptions options;
    options.displayMode = mDisplayMode;
    options.showGrid = mShowGrid && mDisplayMode == 0;
    options.gridX = mGridX;
    options.gridY = mGridY;
    options.showImages = mShowImages;
    options.messageTick = mMessageTick;
    options.showHandles = mDisplayMode == 0 && (!mController || !mController->handlesHidden());
    options.expand = [this, current](const QString &text) { return expandShownText(text, mPub, current); };
    if (!mPub.FileName.isEmpty())
        options.baseDir = QFileInfo(mPub.FileName).absolutePath();
    mArticles.setBaseDir(options.baseDir);
    options.articles = &mArticles;
    options.scrollPosition = [this](const PageObject &o) { return mArticles.scrollPosition(o); };
    if (mDisplayMode == 1 && mRun)
        addRunOptions(options, *mRun);
    return options;
}

QImage PageView::renderShown() const
{
    const Page *current = mPub.currentPage();
    if (!current)
        return QImage();
    return renderPage(mPub, *current, options(current));
}

static ToolEvent toolEvent(const QMouseEvent *event)
{
    ToolEvent e;
    e.button = event->button();
    e.buttons = event->buttons();
    e.modifiers = event->modifiers();
    e.pos = event->position().toPoint();
    e.globalPos = event->globalPosition().toPoint();
    return e;
}

void PageView::mousePressEvent(QMouseEvent *event)
{
    setFocus(Qt::MouseFocusReason);
    if (running()) {
        mRun->mousePress(event->button(), event->position().toPoint() - pageOffset());
        event->accept();
        return;
    }
    if (mController)
        mController->currentTool().mousePress(toolEvent(event));
    event->accept();
}

void PageView::mouseMoveEvent(QMouseEvent *event)
{
    if (running()) {
        mRun->mouseMove(event->position().toPoint() - pageOffset());
        event->accept();
        return;
    }
    if (mController)
        mController->currentTool().mouseMove(toolEvent(event));
    event->accept();
}

void PageView::mouseReleaseEvent(QMouseEvent *event)
{
    if (running()) {
        mRun->mouseRelease(event->button(), event->position().toPoint() - pageOffset());
        event->accept();
        return;
    }
    if (mController)
        mController->currentTool().mouseRelease(toolEvent(event));
    event->accept();
}

void PageView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (running()) {
        // The reader's double-click is one more press.
        mousePressEvent(event);
        return;
    }
    if (mController)
        mController->currentTool().mouseDoubleClick(toolEvent(event));
    event->accept();
}

void PageView::keyPressEvent(QKeyEvent *event)
{
    if (running()) {
        if (mRun->HandleRunKey(event->key(), event->modifiers()))
            event->accept();
        else
            event->ignore(); // to normal processing: the main window's short cuts
        return;
    }
    // The editor's keys come before the scroll area's: the arrows nudge, not scroll.
    if (mController && mController->keyPress(event->key(), event->modifiers())) {
        event->accept();
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

bool PageView::focusNextPrevChild(bool next)
{
    // Tab moves the reader's focus between the page's objects.
    if (running())
        return false;
    return QAbstractScrollArea::focusNextPrevChild(next);
}

void PageView::dragEnterEvent(QDragEnterEvent *event)
{
    if (mController && acceptsDrop(*mController, event->mimeData(),
                                   event->position().toPoint() - pageOffset()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void PageView::dragMoveEvent(QDragMoveEvent *event)
{
    if (mController && acceptsDrop(*mController, event->mimeData(),
                                   event->position().toPoint() - pageOffset()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void PageView::dropEvent(QDropEvent *event)
{
    if (!mController)
        return;
    if (dropOnPage(*mController, event->mimeData(), event->position().toPoint() - pageOffset()))
        event->acceptProposedAction();
    else
        event->ignore();
}

} // namespace vardeko
