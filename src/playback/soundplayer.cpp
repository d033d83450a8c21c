// Sound and video files through Qt Multimedia, on the GStreamer backend.
#include "soundplayer.h"

#include <QAudioOutput>
#include <QCoreApplication>
#include <QMediaPlayer>
#include <QUrl>

namespace vardeko {

void pinMediaBackend()
{
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", "gstreamer");
    // Video pictures are converted for painting on the CPU. Otherwise the first
    // conversion sets up an OpenGL context on the user-interface thread, which can take
    // longer than the backend waits for a picture to be taken (300 ms on a software
    // renderer), and the video then ends with a stream error after its first picture.
    // Nothing here draws with OpenGL.
    QCoreApplication::setAttribute(Qt::AA_ForceRasterWidgets);
}

SoundPlayer::SoundPlayer(const QString &fileName, bool loop, QObject *parent) : QObject(parent)
{
    pinMediaBackend();
    mPlayer = new QMediaPlayer(this);
    mOutput = new QAudioOutput(this);
    mPlayer->setAudioOutput(mOutput);
    if (loop)
        mPlayer->setLoops(QMediaPlayer::Infinite);
    connect(mPlayer, &QMediaPlayer::mediaStatusChanged, this, [this](QMediaPlayer::MediaStatus status) {
        if (mEnded)
            return;
        if (status == QMediaPlayer::EndOfMedia) {
            mEnded = true;
            emit ended(true);
        } else if (status == QMediaPlayer::InvalidMedia) {
            mEnded = true;
            mError = mPlayer->errorString();
            emit ended(false);
        }
    });
    connect(mPlayer, &QMediaPlayer::errorOccurred, this, [this](QMediaPlayer::Error, const QString &text) {
        if (mEnded)
            return;
        mEnded = true;
        mError = text;
        emit ended(false);
    });
    mPlayer->setSource(QUrl::fromLocalFile(fileName));
}

SoundPlayer::~SoundPlayer()
{
    mEnded = true;
    mPlayer->stop();
}

void SoundPlayer::play()
{
    mPlayer->play();
}

void SoundPlayer::stop()
{
    mEnded = true;
    mPlayer->stop();
}

bool SoundPlayer::isPlaying() const
{
    return mPlayer->playbackState() == QMediaPlayer::PlayingState;
}

} // namespace vardeko
