// Sound and video files through Qt Multimedia, on the GStreamer backend.
#pragma once

#include <QObject>
#include <QString>

class QAudioOutput;
class QMediaPlayer;

namespace vardeko {

// Pins the media backend to GStreamer (another backend of this Qt version crashes when
// no audio device exists) and video pictures to conversion on the CPU; called before
// the first player is made.
void pinMediaBackend();

class SoundPlayer : public QObject
{
    Q_OBJECT

public:
    explicit SoundPlayer(const QString &fileName, bool loop, QObject *parent = nullptr);
    ~SoundPlayer() override;

    void play();
    void stop();
    bool isPlaying() const;
    QString errorText() const { return mError; }

signals:
    // The end of playing: `ok` false when the file could not be played.
    void ended(bool ok);

private:
    QMediaPlayer *mPlayer;
    QAudioOutput *mOutput;
    QString mError;
    bool mEnded = false;
};

} // namespace vardeko
