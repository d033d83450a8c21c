// MIDI music: rendered to PCM by a software synthesizer with a General MIDI sound font
// and played through the audio output, or timed without sound when no audio device
// opens, so that waiting scripts wait as long as the music lasts.
#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QObject>
#include <QString>

#include <memory>

class QAudioSink;
class QTimer;

namespace vardeko {

// The General MIDI sound font: VARDEKO_SOUNDFONT when set, else the system's.
QString midiSoundFont();

// One synthesizer playing one standard MIDI file, rendered on demand as interleaved
// 16-bit stereo samples.
class MidiRenderer
{
public:
    MidiRenderer();
    ~MidiRenderer();
    MidiRenderer(const MidiRenderer &) = delete;
    MidiRenderer &operator=(const MidiRenderer &) = delete;

    // False with a reason when the sound font or the music cannot be loaded.
    bool open(const QByteArray &smf, int sampleRate, QString *error);
    // Renders up to `frames` stereo frames into `out`; gives how many were written, 0 once
    // the music has ended and its last notes have rung out (half a second at most).
    qint64 render(qint16 *out, qint64 frames);
    bool isFinished() const { return mFinished; }
    // The frame at which the music's last event played; -1 before.
    qint64 eventsEndFrame() const;
    int sampleRate() const { return mSampleRate; }

private:
    struct Synth;
    std::unique_ptr<Synth> mSynth;
    int mSampleRate = 44100;
    bool mFinished = false;
};

// The renderer as a sequential device an audio sink pulls from; it reads as ended once
// the renderer is done.
class MidiStream : public QIODevice
{
public:
    explicit MidiStream(std::unique_ptr<MidiRenderer> renderer) : mRenderer(std::move(renderer)) {}
    MidiRenderer *renderer() const { return mRenderer.get(); }
    bool isSequential() const override { return true; }
    bool atEnd() const override { return mRenderer->isFinished(); }
    qint64 bytesAvailable() const override;

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    std::unique_ptr<MidiRenderer> mRenderer;
};

// A .MID or .RMI file playing.
class MidiPlayer : public QObject
{
    Q_OBJECT

public:
    MidiPlayer(const QString &fileName, bool loop, QObject *parent = nullptr);
    ~MidiPlayer() override;

    void play();
    void stop();
    bool isPlaying() const { return mPlaying; }
    QString errorText() const { return mError; }
    // How long one pass lasts, from the file's events and tempo.
    qint64 durationMs() const { return mDurationMs; }
    // True when sound goes to an audio device; false while timing without one.
    bool isAudible() const { return mSink != nullptr; }

signals:
    // The end of playing: `ok` false when the file could not be played.
    void ended(bool ok);

private:
    void startPass();
    void passEnded();
    void finish(bool ok);
    bool startSink();
    void dropSink();

    QString mFileName;
    bool mLoop;
    QByteArray mSmf;
    qint64 mDurationMs = 0;
    QString mError;
    bool mPlaying = false;
    bool mEnded = false;
    // The sink owns the stream, which owns the renderer; all go together, later, since
    // the sink's own signal may be what ends them.
    QAudioSink *mSink = nullptr;
    MidiStream *mStream = nullptr;
    QTimer *mTimer;
};

// True for the files the MIDI player takes: ".MID" and ".RMI" by name, or MIDI data
// whatever the name.
bool isMidiFile(const QString &fileName);

} // namespace vardeko
