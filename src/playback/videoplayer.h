// Video files on the page: the pictures in a child of the page widget at the item's
// rectangle, the sound track through the audio output, both on the GStreamer backend.
#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

class QAudioOutput;
class QMediaPlayer;
class QVideoFrame;
class QVideoSink;

namespace vardeko {

class VideoPlayer : public QWidget
{
    Q_OBJECT

public:
    VideoPlayer(QWidget *page, const QString &fileName, bool loop);
    ~VideoPlayer() override;

    // Opens the file and waits until it is known to play or not (at most five seconds).
    // False with errorText() when it cannot be played.
    bool open();
    bool hasVideo() const;
    // The pictures' own size; invalid when the file does not say before playing.
    QSize naturalSize() const;
    // Where the pictures go, in the page widget's coordinates.
    void place(const QRect &rect);
    void play();
    void stop();
    QString errorText() const { return mError; }
    int framesShown() const { return mFrames; }

signals:
    // The end of playing: `ok` false when the file could not be played.
    void ended(bool ok);
    // The first picture arrived with its size.
    void firstFrame(QSize size);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void frameArrived(const QVideoFrame &frame);
    void finish(bool ok);

    QMediaPlayer *mPlayer;
    QAudioOutput *mOutput;
    QVideoSink *mSink;
    QImage mFrame;
    QString mError;
    int mFrames = 0;
    bool mEnded = false;
};

} // namespace vardeko
