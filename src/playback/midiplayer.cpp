// MIDI music: rendered to PCM by a software synthesizer with a General MIDI sound font
// and played through the audio output, or timed without sound when no audio device
// opens, so that waiting scripts wait as long as the music lasts.
#include "midiplayer.h"

#include "midifile.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QFile>
#include <QFileInfo>
#include <QMediaDevices>
#include <QTimer>

#include <fluidsynth.h>

#include <limits>
#include <mutex>

namespace vardeko {

namespace {

constexpr int Channels = 2;
constexpr int BytesPerFrame = Channels * int(sizeof(qint16));
// After the last event, notes ring on at most this long.
constexpr int TailMs = 500;
constexpr int BlockFrames = 64;

void quietSynthesizer()
{
    static std::once_flag once;
    std::call_once(once, [] {
        // The synthesizer's notes and warnings (unknown controllers, missing presets)
        // are no business of the reader's; errors come back as results.
        for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
            fluid_set_log_function(level, nullptr, nullptr);
    });
}

} // namespace

QString midiSoundFont()
{
    const QString configured = qEnvironmentVariable("VARDEKO_SOUNDFONT");
    if (!configured.isEmpty())
        return configured;
    for (const char *path : {"/usr/share/sounds/sf2/TimGM6mb.sf2", "/usr/share/sounds/sf2/default-GM.sf2"}) {
        if (QFileInfo::exists(QLatin1String(path)))
            return QLatin1String(path);
    }
    return QStringLiteral("/usr/share/sounds/sf2/TimGM6mb.sf2");
}

bool isMidiFile(const QString &fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toUpper();
    if (suffix == QLatin1String("MID") || suffix == QLatin1String("RMI") || suffix == QLatin1String("MIDI"))
        return true;
    QFile f(fileName);
    return f.open(QIODevice::ReadOnly) && looksLikeMidi(f.read(12));
}

// --- the synthesizer

struct MidiRenderer::Synth
{
    fluid_settings_t *settings = nullptr;
    fluid_synth_t *synth = nullptr;
    fluid_player_t *player = nullptr;
    QByteArray smf; // the player reads it while it plays
    qint64 eventsEnd = -1; // the frame at which the last event played
    qint64 rendered = 0;   // frames rendered so far

    // The player tells each tick it reaches; the last one marks the end of the music.
    static int onTick(void *data, int tick)
    {
        auto *self = static_cast<Synth *>(data);
        if (self->eventsEnd < 0 && tick >= fluid_player_get_total_ticks(self->player))
            self->eventsEnd = self->rendered;
        return FLUID_OK;
    }

    ~Synth()
    {
        if (player) {
            fluid_player_stop(player);
            delete_fluid_player(player);
        }
        if (synth)
            delete_fluid_synth(synth);
        if (settings)
            delete_fluid_settings(settings);
    }
};

MidiRenderer::MidiRenderer() = default;
MidiRenderer::~MidiRenderer() = default;

bool MidiRenderer::open(const QByteArray &smf, int sampleRate, QString *error)
{
    quietSynthesizer();
    mSampleRate = sampleRate;
    mFinished = false;
    auto s = std::make_unique<Synth>();
    s->smf = smf;
    s->settings = new_fluid_settings();
    if (!s->settings) {
        *error = QStringLiteral("Not enough memory!");
        return false;
    }
    fluid_settings_setnum(s->settings, "synth.sample-rate", sampleRate);
    // The music advances with the samples rendered, not with the wall clock: the
    // audio output (or a test) sets the pace.
    fluid_settings_setstr(s->settings, "player.timing-source", "sample");
    fluid_settings_setint(s->settings, "synth.lock-memory", 0);
    s->synth = new_fluid_synth(s->settings);
    if (!s->synth) {
        *error = QStringLiteral("Not enough memory!");
        return false;
    }
    const QString font = midiSoundFont();
    if (fluid_synth_sfload(s->synth, QFile::encodeName(font).constData(), 1) == FLUID_FAILED) {
        *error = QStringLiteral("The MIDI sound font %1 cannot be loaded.").arg(font);
        return false;
    }
    s->player = new_fluid_player(s->synth);
    if (s->player)
        fluid_player_set_tick_callback(s->player, &Synth::onTick, s.get());
    if (!s->player || fluid_player_add_mem(s->player, s->smf.constData(), size_t(s->smf.size())) != FLUID_OK
        || fluid_player_play(s->player) != FLUID_OK) {
        *error = QStringLiteral("The MIDI file cannot be played.");
        return false;
    }
    mSynth = std::move(s);
    return true;
}

qint64 MidiRenderer::render(qint16 *out, qint64 frames)
{
    if (mFinished || !mSynth || frames <= 0)
        return 0;
    const qint64 tail = qint64(mSampleRate) * TailMs / 1000;
    // Once the last event has played the notes ring on a little, not until the last
    // echo has died away.
    if (fluid_player_get_status(mSynth->player) != FLUID_PLAYER_PLAYING
        || (mSynth->eventsEnd >= 0 && mSynth->rendered >= mSynth->eventsEnd + tail)) {
        mFinished = true;
        return 0;
    }
    // In the synthesizer's own blocks, so the player's ticks are placed to the block.
    qint64 done = 0;
    while (done < frames) {
        const int chunk = int(std::min<qint64>(frames - done, BlockFrames));
        qint16 *at = out + done * Channels;
        if (fluid_synth_write_s16(mSynth->synth, chunk, at, 0, Channels, at, 1, Channels) != FLUID_OK)
            break;
        done += chunk;
        mSynth->rendered += chunk;
    }
    return done;
}

qint64 MidiRenderer::eventsEndFrame() const
{
    return mSynth ? mSynth->eventsEnd : -1;
}

qint64 MidiStream::bytesAvailable() const
{
    return mRenderer->isFinished() ? QIODevice::bytesAvailable() : QIODevice::bytesAvailable() + (1 << 16);
}

qint64 MidiStream::readData(char *data, qint64 maxSize)
{
    const qint64 frames = maxSize / BytesPerFrame;
    const qint64 written = mRenderer->render(reinterpret_cast<qint16 *>(data), frames);
    return written * BytesPerFrame;
}

// --- the player

MidiPlayer::MidiPlayer(const QString &fileName, bool loop, QObject *parent)
    : QObject(parent), mFileName(fileName), mLoop(loop), mTimer(new QTimer(this))
{
    mTimer->setSingleShot(true);
    mTimer->setTimerType(Qt::PreciseTimer);
    connect(mTimer, &QTimer::timeout, this, &MidiPlayer::passEnded);
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly)) {
        mError = f.errorString();
        return;
    }
    MidiTiming timing;
    if (unwrapRmid(f.readAll(), &mSmf, &mError) && readMidiTiming(mSmf, &timing, &mError))
        mDurationMs = timing.durationMs;
    else
        mSmf.clear();
}

MidiPlayer::~MidiPlayer()
{
    mEnded = true;
    stop();
}

void MidiPlayer::play()
{
    if (mSmf.isEmpty()) {
        QMetaObject::invokeMethod(this, [this] { finish(false); }, Qt::QueuedConnection);
        return;
    }
    mPlaying = true;
    startPass();
}

void MidiPlayer::stop()
{
    mEnded = true;
    mPlaying = false;
    mTimer->stop();
    dropSink();
}

void MidiPlayer::dropSink()
{
    if (!mSink)
        return;
    mSink->disconnect(this);
    mSink->stop();
    mSink->deleteLater();
    mSink = nullptr;
    mStream = nullptr;
}

bool MidiPlayer::startSink()
{
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return false;
    QAudioFormat format;
    format.setChannelCount(Channels);
    format.setSampleFormat(QAudioFormat::Int16);
    format.setSampleRate(44100);
    if (!device.isFormatSupported(format))
        format.setSampleRate(48000);
    if (!device.isFormatSupported(format))
        return false;
    auto renderer = std::make_unique<MidiRenderer>();
    if (!renderer->open(mSmf, format.sampleRate(), &mError)) {
        QMetaObject::invokeMethod(this, [this] { finish(false); }, Qt::QueuedConnection);
        return true; // handled: the failure is reported, not timed
    }
    mSink = new QAudioSink(device, format, this);
    mStream = new MidiStream(std::move(renderer));
    mStream->setParent(mSink);
    mStream->open(QIODevice::ReadOnly);
    connect(mSink, &QAudioSink::stateChanged, this, [this](QAudio::State state) {
        if (state == QAudio::IdleState && mStream && mStream->renderer()->isFinished())
            passEnded();
    });
    mSink->start(mStream);
    if (mSink->error() != QAudio::NoError) {
        dropSink();
        return false;
    }
    return true;
}

void MidiPlayer::startPass()
{
    if (startSink())
        return;
    // No audio device: the music is timed, so that waits last as long as it would play.
    mTimer->start(int(std::min<qint64>(mDurationMs, std::numeric_limits<int>::max())));
}

void MidiPlayer::passEnded()
{
    if (mEnded)
        return;
    dropSink();
    // A loop of music that lasts no time would spin: it stays silent until stopped.
    if (mLoop && mDurationMs > 0) {
        startPass();
        return;
    }
    if (!mLoop)
        finish(true);
}

void MidiPlayer::finish(bool ok)
{
    if (mEnded)
        return;
    mEnded = true;
    mPlaying = false;
    emit ended(ok);
}

} // namespace vardeko
