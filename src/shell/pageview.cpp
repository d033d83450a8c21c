// The scrollable work area of a publication window that shows the current page.
#include "pageview.h"

#include "publication.h"

#include <QPainter>
#include <QPaintEvent>
#include <QScrollBar>

namespace vardeko {

namespace {

QColor colorOf(ColorRef c)
{
    return QColor(colorRed(c), colorGreen(c), colorBlue(c));
}

} // namespace

PageView::PageView(Publication &pub, QWidget *parent)
    : QAbstractScrollArea(parent)
    , mPub(pub)
{
    viewport()->setBackgroundRole(QPalette::Button);
    viewport()->setAutoFillBackground(true);
    updateScrollBars();
}

QSize PageView::pageSize() const
{
    return QSize(mPub.Settings.ScreenWidth, mPub.Settings.ScreenHeight);
}

QSize PageView::contentSize() const
{
    return pageSize() + QSize(2 * Margin + ShadowWidth, 2 * Margin + ShadowWidth);
}

void PageView::pageSizeChanged()
{
    updateScrollBars();
    viewport()->update();
}

QPoint PageView::pageOffset() const
{
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
    const QPoint offset = pageOffset();
    const QRect page(offset, pageSize());

    // Frame: a black outline and the shadow along the right and bottom edges.
    if (mDisplayMode == 0) {
        const QColor shadow = palette().color(QPalette::Dark);
        painter.fillRect(QRect(page.left() + ShadowWidth, page.bottom() + 1, page.width(),
                               ShadowWidth), shadow);
        painter.fillRect(QRect(page.right() + 1, page.top() + ShadowWidth, ShadowWidth,
                               page.height()), shadow);
        painter.setPen(Qt::black);
        painter.drawRect(page.adjusted(-1, -1, 0, 0));
    }

    const Page *current = mPub.currentPage();
    painter.setClipRect(page.intersected(event->rect()));
    painter.fillRect(page, current ? colorOf(current->PageColor) : QColor(Qt::white));
}

} // namespace vardeko
