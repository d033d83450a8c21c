// The floating text and image windows that TextWindow and ImageWindow open.
#include "textwindow.h"

#include "runpage.h"

#include "articlelayout.h"
#include "filenames.h"
#include "imagecache.h"
#include "imageloader.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QScreen>
#include <QScrollBar>
#include <QSizeGrip>
#include <QStyle>

namespace vardeko {

TFloatingWindowForm::TFloatingWindowForm(Kind kind, const FloatingWindowHost &host, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint)
    , mKind(kind)
    , mHost(host)
{
    setAttribute(Qt::WA_DeleteOnClose);
    resize(205, 176);
    mPaintBox = new QWidget(this);
    mPaintBox->setObjectName(QStringLiteral("PaintBox"));
    mPaintBox->setMouseTracking(true);
    mPaintBox->installEventFilter(this);
    mVBar = new QScrollBar(Qt::Vertical, this);
    mVBar->setObjectName(QStringLiteral("VScrollBar"));
    mHBar = new QScrollBar(Qt::Horizontal, this);
    mHBar->setObjectName(QStringLiteral("HScrollBar"));
    mHBar->setSingleStep(8);
    for (QScrollBar *bar : {mVBar, mHBar}) {
        bar->setFocusPolicy(Qt::NoFocus);
        // A thumb drag redraws once, where it ends.
        bar->setTracking(false);
        bar->hide();
        connect(bar, &QScrollBar::actionTriggered, this, &TFloatingWindowForm::scrollAction);
        connect(bar, &QScrollBar::valueChanged, this, &TFloatingWindowForm::scrolled);
    }
    mSizeBox = new QSizeGrip(this);
    mSizeBox->setObjectName(QStringLiteral("SizeBox"));
    mSizeBox->resize(16, 16);
    mSizeBox->hide();
    if (kind == TextWindow) {
        mPaintBox->setAutoFillBackground(true);
        QPalette p = mPaintBox->palette();
        p.setColor(QPalette::Window, palette().color(QPalette::Base));
        mPaintBox->setPalette(p);
    }
    mCanvas = std::make_unique<ArticleCanvas>(host.font);
}

TFloatingWindowForm::~TFloatingWindowForm()
{
    if (!mFormatted.isEmpty())
        QFile::remove(mFormatted);
}

bool TFloatingWindowForm::loadText(const QString &file)
{
    // Each source line is one display line.
    const FormatResult r = FormatArticle(*mCanvas, file, 0, false, &mFormatted,
                                         mHost.tempDir.isEmpty() ? QDir::tempPath() : mHost.tempDir);
    mLineHeight = std::max(1, mCanvas->lineHeight());
    if (!r.ok)
        return false;
    mHasText = true;
    mLines = r.lineCount;
    mWidest = r.widest + 12;
    mVBar->show();
    mHBar->show();
    mSizeBox->show();
    layoutText();
    return true;
}

bool TFloatingWindowForm::loadImage(const QString &file)
{
    const CachedImage *entry = ImageCache::instance().GetImage(file, nullptr, false);
    if (!entry)
        return false;
    mImage = entry->image;
    QSize size = mImage.size();
    if (file.endsWith(QLatin1String(".ICO"), Qt::CaseInsensitive))
        size = QSize(32, 32);
    mPaintBox->resize(size);
    return true;
}

QSize TFloatingWindowForm::wantedClientSize(const QSize &screen) const
{
    if (mKind == TextWindow) {
        if (!mHasText)
            return QSize(205, 176);
        const int barWidth = mVBar->sizeHint().width();
        const int barHeight = mHBar->sizeHint().height();
        const qint64 height = qint64(mLines) * mLineHeight + barHeight;
        return QSize(std::min(barWidth + mWidest, screen.width()),
                     int(std::min<qint64>(height, (screen.height() / 3) * 2)));
    }
    if (mImage.isNull())
        return QSize(205, 176);
    return mPaintBox->size().boundedTo(screen);
}

void TFloatingWindowForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (mKind == TextWindow)
        layoutText();
}

void TFloatingWindowForm::layoutText()
{
    const int barWidth = mHasText ? mVBar->sizeHint().width() : 0;
    const int barHeight = mHasText ? mHBar->sizeHint().height() : 0;
    const QSize client = size();
    mPaintBox->setGeometry(0, 0, client.width() - barWidth, client.height() - barHeight);
    if (!mHasText)
        return;
    mSizeBox->move(client.width() - mSizeBox->width(), client.height() - mSizeBox->height());
    mVBar->setGeometry(client.width() - barWidth, 0, barWidth, mPaintBox->height());
    mHBar->setGeometry(0, client.height() - barHeight, mPaintBox->width(), barHeight);
    // Lines under the horizontal bar are not shown: the last line must scroll above it.
    const int page = std::max(1, mPaintBox->height() / mLineHeight);
    const QSignalBlocker blockV(mVBar), blockH(mHBar);
    mVBar->setRange(0, std::max(0, mLines - page));
    mVBar->setPageStep(page);
    mVBar->setValue(mVPos);
    mHBar->setRange(0, std::max(0, mWidest - mPaintBox->width()));
    mHBar->setPageStep(std::max(1, mPaintBox->width()));
    mHBar->setValue(mHPos);
}

void TFloatingWindowForm::scrollAction(int action)
{
    // Line steps move what is shown and draw only the uncovered strip.
    mStripScroll = action == QAbstractSlider::SliderSingleStepAdd
                   || action == QAbstractSlider::SliderSingleStepSub;
}

void TFloatingWindowForm::scrolled()
{
    const int newV = mVBar->value();
    const int newH = mHBar->value();
    if (newV == mVPos && newH == mHPos)
        return;
    const int dy = (mVPos - newV) * mLineHeight;
    const int dx = mHPos - newH;
    mVPos = newV;
    mHPos = newH;
    if (mStripScroll && std::abs(dy) < mPaintBox->height() && std::abs(dx) < mPaintBox->width())
        mPaintBox->scroll(dx, dy);
    else
        mPaintBox->update();
    mStripScroll = false;
}

void TFloatingWindowForm::paintBoxPaint(QPaintEvent *event)
{
    if (mDetached && mKind == ImageWindow && mImage.isNull())
        return;
    QPainter painter(mPaintBox);
    if (mKind == ImageWindow) {
        if (!mImage.isNull())
            painter.drawImage(QPoint(0, 0), mImage);
        return;
    }
    if (!mHasText)
        return;
    painter.setClipRegion(event->region());
    DrawArticle(painter, *mCanvas, mFormatted, mPaintBox->rect(), true, &mRecordLength, &mLinks,
                palette().color(QPalette::Base), palette().color(QPalette::Text), mVPos, mHPos);
    paintFindHighlight(painter, foundLineRect());
}

void TFloatingWindowForm::setFoundLine(int line)
{
    if (line == mFoundLine)
        return;
    mPaintBox->update(foundLineRect());
    mFoundLine = line;
    mPaintBox->update(foundLineRect());
}

QRect TFloatingWindowForm::foundLineRect() const
{
    if (mFoundLine < 0 || !mHasText)
        return QRect();
    const QRect line(0, (mFoundLine - mVPos) * mLineHeight, mPaintBox->width(), mLineHeight);
    return line.intersected(mPaintBox->rect());
}

bool TFloatingWindowForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != mPaintBox)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Paint:
        paintBoxPaint(static_cast<QPaintEvent *>(event));
        return true;
    case QEvent::MouseMove: {
        const QPoint p = static_cast<QMouseEvent *>(event)->position().toPoint();
        if (FindHyperLink(mLinks, p.x(), p.y()))
            mPaintBox->setCursor(Qt::PointingHandCursor);
        else
            mPaintBox->unsetCursor();
        return false;
    }
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        const QPoint p = mouse->position().toPoint();
        const HyperLink_Rec *link = mouse->button() == Qt::LeftButton ? FindHyperLink(mLinks, p.x(), p.y()) : nullptr;
        // Links only work while the publication runs (a preview has no runner).
        if (link && mHost.runScript) {
            if (link->target.isEmpty())
                QApplication::beep();
            else
                mHost.runScript(link->target);
        }
        return true;
    }
    default:
        return false;
    }
}

void TFloatingWindowForm::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    if (!mDetached)
        emit closedByUser(this);
}

FloatingWindowList::~FloatingWindowList()
{
    CloseAllFloatingWindows();
}

TFloatingWindowForm *FloatingWindowList::FindFloatingWindow(const QString &file) const
{
    const QString bare = bareFileName(file);
    for (const Record &r : mRecords)
        if (bareFileName(r.key).compare(bare, Qt::CaseInsensitive) == 0)
            return r.window;
    return nullptr;
}

TFloatingWindowForm *FloatingWindowList::OpenFloatingWindow(const QString &caption, const QString &file,
                                                            int left, int top,
                                                            TFloatingWindowForm::Kind kind,
                                                            const FloatingWindowHost &host)
{
    if (TFloatingWindowForm *open = FindFloatingWindow(file)) {
        open->showNormal();
        open->raise();
        open->activateWindow();
        return open;
    }
    auto *window = new TFloatingWindowForm(kind, host);
    window->setWindowTitle(caption);
    if (kind == TFloatingWindowForm::TextWindow)
        window->loadText(file);
    else
        window->loadImage(file);
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QSize screenSize = screen ? screen->size() : QSize(1024, 768);
    const QSize client = window->wantedClientSize(screenSize).boundedTo(screenSize);
    window->resize(client);
    const int x = left == -1 ? screenSize.width() / 2 - client.width() / 2 : left;
    const int y = top == -1 ? screenSize.height() / 2 - client.height() / 2 : top;
    window->move(x, y);
    mRecords.push_front(Record{file.toUpper(), window});
    connect(window, &TFloatingWindowForm::closedByUser, this, [this](TFloatingWindowForm *w) {
        for (auto it = mRecords.begin(); it != mRecords.end(); ++it)
            if (it->window == w) {
                mRecords.erase(it);
                break;
            }
    });
    window->show();
    return window;
}

void FloatingWindowList::closeRecord(std::list<Record>::iterator it)
{
    QPointer<TFloatingWindowForm> window = it->window;
    mRecords.erase(it);
    if (window) {
        window->detach();
        window->close();
    }
}

bool FloatingWindowList::CloseFloatingWindow(const QString &file)
{
    TFloatingWindowForm *window = FindFloatingWindow(file);
    if (!window)
        return false;
    for (auto it = mRecords.begin(); it != mRecords.end(); ++it)
        if (it->window == window) {
            closeRecord(it);
            break;
        }
    return true;
}

void FloatingWindowList::CloseAllFloatingWindows()
{
    while (!mRecords.empty())
        closeRecord(mRecords.begin());
}

} // namespace vardeko
