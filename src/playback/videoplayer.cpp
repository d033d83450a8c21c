// Video files on the page: the pictures in a child of the page widget at the item's
// rectangle, the sound track through the audio output, both on the GStreamer backend.
#include "videoplayer.h"

#include "soundplayer.h"

#include <QAudioOutput>
#include <QEventLoop>
#include <QMediaMetaData>
#include <QMediaPlayer>
#include <QPainter>
#include <QTimer>
#include <QUrl>
#include <QVideoFrame>
#include <QVideoSink>

namespace vardeko {

VideoPlayer::VideoPlayer(QWidget *page, const QString &fileName, bool loop) : QWidget(page)
{
    pinMediaBackend();
    // Clicks go to the page beneath, as they did when videos drew straight onto it.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    hide();
    mPlayer = new QMediaPlayer(this);
    mOutput = new QAudioOutput(this);
    mSink = new QVideoSink(this);
    mPlayer->setAudioOutput(mOutput);
    mPlayer->setVideoSink(mSink);
    if (loop)
        mPlayer->setLoops(QMediaPlayer::Infinite);
    connect(mSink, &QVideoSink::videoFrameChanged, this, &VideoPlayer::frameArrived);
    connect(mPlayer, &QMediaPlayer::mediaStatusChanged, this, [this](QMediaPlayer::MediaStatus status) {
        if (status == QMediaPlayer::EndOfMedia)
            finish(true);
        else if (status == QMediaPlayer::InvalidMedia)
            finish(false);
    });
    connect(mPlayer, &QMediaPlayer::errorOccurred, this, [this](QMediaPlayer::Error, const QString &text) {
        mError = text;
        finish(false);
    });
    mPlayer->setSource(QUrl::fromLocalFile(fileName));
}

VideoPlayer::~VideoPlayer()
{
    mEnded = true;
    mPlayer->stop();
}

bool VideoPlayer::open()
{
    QEventLoop loop;
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    const auto settled = [this] {
        const auto s = mPlayer->mediaStatus();
        return s == QMediaPlayer::LoadedMedia || s == QMediaPlayer::InvalidMedia
            || mPlayer->error() != QMediaPlayer::NoError;
    };
    const auto check = [&] {
        if (settled())
            loop.quit();
    };
    connect(mPlayer, &QMediaPlayer::mediaStatusChanged, &loop, check);
    connect(mPlayer, &QMediaPlayer::errorOccurred, &loop, check);
    if (!settled())
        loop.exec();
    if (mPlayer->mediaStatus() == QMediaPlayer::LoadedMedia)
        return true;
    if (mError.isEmpty())
        mError = mPlayer->errorString().isEmpty() ? QStringLiteral("The file cannot be played.") : mPlayer->errorString();
    mEnded = true;
    return false;
}

bool VideoPlayer::hasVideo() const
{
    return mPlayer->hasVideo();
}

QSize VideoPlayer::naturalSize() const
{
    return mPlayer->metaData().value(QMediaMetaData::Resolution).toSize();
}

void VideoPlayer::place(const QRect &rect)
{
    setGeometry(rect);
    show();
    raise();
}

void VideoPlayer::play()
{
    mPlayer->play();
}

void VideoPlayer::stop()
{
    mEnded = true;
    mPlayer->stop();
}

void VideoPlayer::frameArrived(const QVideoFrame &frame)
{
    if (!frame.isValid())
        return;
    mFrame = frame.toImage();
    if (mFrames++ == 0)
        emit firstFrame(mFrame.size());
    update();
}

void VideoPlayer::finish(bool ok)
{
    if (mEnded)
        return;
    mEnded = true;
    emit ended(ok);
}

void VideoPlayer::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (mFrame.isNull()) {
        p.fillRect(rect(), Qt::black);
        return;
    }
    p.drawImage(rect(), mFrame);
}

} // namespace vardeko
