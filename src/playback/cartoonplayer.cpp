// Plays a cartoon: a sprite of a few frames that walks a straight line over the page
// (or stays in place) while cycling through its frames, drawn transparently.
#include "cartoonplayer.h"

#include "cartoonfile.h"
#include "framepacer.h"
#include "imageloader.h"

#include <QBuffer>
#include <QDir>
#include <QImageReader>
#include <QPaintEvent>
#include <QPainter>
#include <QTemporaryFile>

#include <cmath>

namespace vardeko {

namespace {

// Positions round half to even, as the cartoons' timing was made with.
int roundHalfEven(double v)
{
    return int(std::nearbyint(v));
}

// Decodes the strip from memory: Qt's readers know it by its bytes; PCX goes through
// the image loader by way of a temporary file it can name.
QImage decodeStrip(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    QImage image;
    if (reader.canRead() && reader.size().isValid() && reader.size().width() <= ImageLoader::MaxSide
        && reader.size().height() <= ImageLoader::MaxSide)
        image = reader.read();
    if (!image.isNull())
        return image;
    // PCX files begin with their maker's byte 0x0A.
    if (bytes.isEmpty() || bytes.at(0) != char(0x0A))
        return {};
    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/vardeko-strip-XXXXXX.PCX"));
    if (!file.open() || file.write(bytes) != bytes.size() || !file.flush())
        return {};
    const ImageLoader::Result result = ImageLoader::load(file.fileName());
    if (result.ok())
        return result.image;
    return {};
}

} // namespace

// --- the path

CartoonMotion::CartoonMotion(int x1, int y1, int x2, int y2, QSize page, int frames, int cycles, bool loop)
    : mFrames(std::max(frames, 1)), mRepeat(std::max(cycles, 1)), mLoop(loop)
{
    const int w = page.width();
    const int h = page.height();
    if (x1 == -1)
        x1 = w / 2 - (w / 2) / 2;
    if (y1 == -1)
        y1 = h / 2;
    if (x2 == -1)
        x2 = x1 + w / 2;
    if (y2 == -1)
        y2 = y1;
    mStart = QPoint(x1, y1);
    mEnd = QPoint(x2, y2);
    const double steps = double(mFrames) * double(mRepeat);
    mStep = QPointF(x2 == x1 ? 0.0 : (x2 - x1) / steps, y2 == y1 ? 0.0 : (y2 - y1) / steps);
    mBox = QRect(QPoint(std::min(x1, x2), std::min(y1, y2)), QPoint(std::max(x1, x2), std::max(y1, y2)));
    mPosition = QPointF(x1, y1);
}

QPoint CartoonMotion::roundedPosition() const
{
    return QPoint(roundHalfEven(mPosition.x()), roundHalfEven(mPosition.y()));
}

bool CartoonMotion::outside(QPoint p) const
{
    return p.x() < mBox.left() || p.x() > mBox.right() || p.y() < mBox.top() || p.y() > mBox.bottom();
}

bool CartoonMotion::atEnd() const
{
    return !mLoop && outside(roundedPosition());
}

void CartoonMotion::advance()
{
    ++mFrame;
    const bool stationary = mStep.x() == 0.0 && mStep.y() == 0.0;
    if (stationary && mFrame >= mFrames) {
        // A cartoon in place shows its frames cycles + 1 times, then steps off its box.
        if (--mRepeat < 0)
            mPosition.setX(mBox.left() - 1);
    }
    if (mFrame >= mFrames)
        mFrame = 0;
    if (mLoop && outside(roundedPosition()))
        mPosition = QPointF(mStart);
    else if (!stationary)
        mPosition += mStep;
}

// --- loading

bool loadCartoonFrames(const QString &fileName, CartoonFrames *cartoon, QString *error)
{
    CartoonFile file;
    if (!readCartoonFile(fileName, &file, error))
        return false;
    QImage strip = decodeStrip(file.strip);
    if (strip.isNull()) {
        if (error)
            *error = QStringLiteral("The cartoon's picture cannot be read.");
        return false;
    }
    int frameWidth = 0;
    int frameHeight = 0;
    if (!cartoonFrameSize(strip.width(), strip.height(), file.frames, &frameWidth, &frameHeight)) {
        if (error)
            *error = QStringLiteral("The cartoon has more frames than its picture has pixels across.");
        return false;
    }
    // The colour of the bottom-left pixel is see-through everywhere in the strip.
    strip = strip.convertToFormat(QImage::Format_ARGB32);
    const QRgb transparent = strip.pixel(0, strip.height() - 1) | 0xFF000000u;
    for (int y = 0; y < strip.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(strip.scanLine(y));
        for (int x = 0; x < strip.width(); ++x) {
            if ((line[x] | 0xFF000000u) == transparent)
                line[x] = 0;
        }
    }
    strip = strip.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    cartoon->frames.clear();
    for (int k = 0; k < file.frames; ++k)
        cartoon->frames.append(strip.copy(k * frameWidth, 0, frameWidth, frameHeight));
    return true;
}

// --- the timing thread

CartoonThread::CartoonThread(const CartoonMotion &motion, int delayMs, QObject *parent)
    : QThread(parent), mMotion(motion), mDelayMs(delayMs)
{
}

CartoonThread::~CartoonThread()
{
    requestStop();
    wait();
}

void CartoonThread::run()
{
    FramePacer pacer;
    pacer.start();
    bool first = true;
    while (!mStop && !mMotion.atEnd()) {
        // Each step is due one delay after the previous one began.
        if (!first && !pacer.waitNext(mDelayMs, &mStop))
            return;
        first = false;
        emit stepReady(mMotion.frame(), mMotion.roundedPosition());
        ++mShown;
        mMotion.advance();
    }
    // The last frame stays its delay before the cartoon goes.
    if (!mStop && mShown > 0)
        pacer.waitNext(mDelayMs, &mStop);
}

// --- the widget

CartoonPlayer::CartoonPlayer(QWidget *page, const QRect &pageRect, int x1, int y1, int x2, int y2, int repeat,
                             int speed, bool loop)
    : QWidget(page), mPageRect(pageRect), mX1(x1), mY1(y1), mX2(x2), mY2(y2),
      mCycles(std::max(std::abs(repeat), 1)), mDelayMs(std::abs(speed)), mLoop(loop)
{
    // Clicks go to the page beneath; the page shows around the sprite.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    hide();
}

CartoonPlayer::~CartoonPlayer()
{
    stop();
}

bool CartoonPlayer::start(const QString &fileName, QString *error)
{
    if (!loadCartoonFrames(fileName, &mCartoon, error))
        return false;
    const CartoonMotion motion(mX1, mY1, mX2, mY2, mPageRect.size(), int(mCartoon.frames.size()), mCycles, mLoop);
    // The widget covers the path with a frame's margin, and a step beyond it: a looping
    // cartoon shows one step past the end before it jumps back.
    const QSize frame = mCartoon.frameSize();
    const int marginX = frame.width() / 2 + int(std::ceil(std::abs(motion.step().x()))) + 2;
    const int marginY = frame.height() / 2 + int(std::ceil(std::abs(motion.step().y()))) + 2;
    setGeometry(motion.box().translated(mPageRect.topLeft()).adjusted(-marginX, -marginY, marginX, marginY));
    mThread = std::make_unique<CartoonThread>(motion, mDelayMs);
    connect(mThread.get(), &CartoonThread::stepReady, this, &CartoonPlayer::showStep, Qt::QueuedConnection);
    connect(mThread.get(), &QThread::finished, this, &CartoonPlayer::ended, Qt::QueuedConnection);
    show();
    raise();
    mThread->start();
    return true;
}

void CartoonPlayer::stop()
{
    if (!mThread)
        return;
    mThread->requestStop();
    mThread->wait();
}

void CartoonPlayer::showStep(int frame, QPoint centre)
{
    if (frame < 0 || frame >= mCartoon.frames.size())
        return;
    const QSize size = mCartoon.frameSize();
    const QRect next(mPageRect.left() + centre.x() - size.width() / 2,
                     mPageRect.top() + centre.y() - size.height() / 2, size.width(), size.height());
    // Only the old and the new frame areas are painted again: the page fills in behind.
    const QRect dirty = (mFrameRect | next).translated(-pos());
    mFrameRect = next;
    mFrame = frame;
    update(dirty);
}

void CartoonPlayer::paintEvent(QPaintEvent *)
{
    if (mFrame < 0)
        return;
    QPainter p(this);
    p.drawImage(mFrameRect.topLeft() - pos(), mCartoon.frames.at(mFrame));
}

} // namespace vardeko
