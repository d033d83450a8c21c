// Plays an FLI/FLC animation: frames are decoded and paced on the player's own thread
// and shown by a child widget of the page on the user-interface thread.
#include "flicplayer.h"

#include "flicdecoder.h"
#include "framepacer.h"

#include <QFile>
#include <QPainter>

#include <cstring>

namespace vardeko {

FlicThread::FlicThread(const QString &fileName, int count, QObject *parent)
    : QThread(parent), mFileName(fileName), mCount(count)
{
}

FlicThread::~FlicThread()
{
    requestStop();
    wait();
}

void FlicThread::run()
{
    FlicDecoder decoder;
    if (!decoder.openFile(mFileName, nullptr))
        return;
    const FlicHeader &h = decoder.header();
    QImage frame(h.width, h.height, QImage::Format_Indexed8);
    if (frame.isNull())
        return;
    frame.setColorCount(256);
    FramePacer pacer;
    pacer.start();
    bool first = true;
    for (int pass = 0; (mCount == 0 || pass < mCount) && !mStop; ++pass) {
        decoder.rewind();
        while (!mStop && decoder.decodeNext()) {
            // Every frame waits its delay, empty frames too; the first one shows at once.
            if (!first && !pacer.waitNext(h.delayMs, &mStop))
                return;
            first = false;
            if (decoder.paletteChanged() || mShown == 0) {
                const auto &pal = decoder.palette();
                for (int i = 0; i < 256; ++i)
                    frame.setColor(i, qRgb(pal[size_t(i * 3)], pal[size_t(i * 3 + 1)], pal[size_t(i * 3 + 2)]));
            }
            for (int y = 0; y < h.height; ++y)
                std::memcpy(frame.scanLine(y), decoder.plane().data() + size_t(y) * size_t(h.width), size_t(h.width));
            emit frameReady(frame.copy());
            ++mShown;
        }
        if (decoder.nextFrame() == 0)
            return; // no frame at all: nothing to repeat
    }
    // The last frame keeps its delay before the animation ends.
    if (!mStop)
        pacer.waitNext(h.delayMs, &mStop);
}

QRect FlicPlayer::destination(const QRect &page, int left, int top, int width, int height, QSize natural)
{
    const int w = width < 0 ? natural.width() : width;
    const int h = height < 0 ? natural.height() : height;
    const int x = left < 0 ? page.width() / 2 - w / 2 : left;
    const int y = top < 0 ? page.height() / 2 - h / 2 : top;
    return QRect(page.left() + x, page.top() + y, w, h);
}

FlicPlayer::FlicPlayer(QWidget *page, const QRect &rect, const QString &fileName, int count)
    : QWidget(page), mThread(fileName, count), mFileName(fileName)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Clicks and moves go to the page beneath: buttons under and around the animation
    // keep working in run mode.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(rect);
    connect(&mThread, &FlicThread::frameReady, this, [this](const QImage &frame) {
        mFrame = frame;
        update();
    }, Qt::QueuedConnection);
    connect(&mThread, &QThread::finished, this, &FlicPlayer::ended, Qt::QueuedConnection);
}

FlicPlayer::~FlicPlayer()
{
    stop();
}

bool FlicPlayer::start()
{
    FlicHeader h;
    QFile f(mFileName);
    if (!f.open(QIODevice::ReadOnly) || !readFlicHeader(f.read(128), &h, nullptr))
        return false;
    show();
    mThread.start();
    return true;
}

void FlicPlayer::stop()
{
    mThread.requestStop();
    mThread.wait();
}

void FlicPlayer::paintEvent(QPaintEvent *)
{
    if (mFrame.isNull())
        return;
    QPainter p(this);
    p.drawImage(rect(), mFrame);
}

} // namespace vardeko
