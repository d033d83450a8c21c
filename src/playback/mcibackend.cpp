// The MCI emulation's backend that really plays: one media player per open device.
#include "mcibackend.h"

#include "soundplayer.h"

#include <QAudioOutput>
#include <QEventLoop>
#include <QMediaPlayer>
#include <QTimer>
#include <QUrl>

namespace vardeko {

struct PlayerMciBackend::Device
{
    QMediaPlayer player;
    QAudioOutput output;
    qint64 to = -1;
    qint64 stoppedAt = 0;
};

PlayerMciBackend::PlayerMciBackend() = default;
PlayerMciBackend::~PlayerMciBackend() = default;

PlayerMciBackend::Device *PlayerMciBackend::find(int id)
{
    const auto it = mDevices.find(id);
    return it == mDevices.end() ? nullptr : it->second.get();
}

int PlayerMciBackend::open(int id, const QString &file, const QString &type, qint64 *lengthMs)
{
    Q_UNUSED(type);
    pinMediaBackend();
    auto d = std::make_unique<Device>();
    d->player.setAudioOutput(&d->output);
    d->player.setSource(QUrl::fromLocalFile(file));
    // Opening waits until the file is known to play or not (at most five seconds).
    QEventLoop loop;
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    const auto check = [&] {
        const auto s = d->player.mediaStatus();
        if (s == QMediaPlayer::LoadedMedia || s == QMediaPlayer::InvalidMedia
            || d->player.error() != QMediaPlayer::NoError)
            loop.quit();
    };
    QObject::connect(&d->player, &QMediaPlayer::mediaStatusChanged, &loop, check);
    QObject::connect(&d->player, &QMediaPlayer::errorOccurred, &loop, check);
    check();
    if (d->player.mediaStatus() != QMediaPlayer::LoadedMedia && d->player.error() == QMediaPlayer::NoError)
        loop.exec();
    if (d->player.mediaStatus() != QMediaPlayer::LoadedMedia)
        return MciInvalidFile;
    *lengthMs = d->player.duration();
    Device *device = d.get();
    QObject::connect(&device->player, &QMediaPlayer::positionChanged, &device->player, [device](qint64 at) {
        if (device->to >= 0 && at >= device->to && device->player.playbackState() == QMediaPlayer::PlayingState)
            device->player.pause();
    });
    mDevices[id] = std::move(d);
    return MciOk;
}

int PlayerMciBackend::play(int id, qint64 fromMs, qint64 toMs, bool wait)
{
    Device *d = find(id);
    if (!d)
        return MciInvalidDeviceId;
    d->to = toMs >= d->player.duration() ? -1 : toMs;
    d->player.setPosition(fromMs);
    d->player.play();
    if (wait) {
        QEventLoop loop;
        QObject::connect(&d->player, &QMediaPlayer::playbackStateChanged, &loop,
                         [&loop](QMediaPlayer::PlaybackState s) {
                             if (s != QMediaPlayer::PlayingState)
                                 loop.quit();
                         });
        if (d->player.playbackState() == QMediaPlayer::PlayingState)
            loop.exec();
    }
    return MciOk;
}

void PlayerMciBackend::stop(int id)
{
    if (Device *d = find(id))
        d->player.pause(); // MCI's stop keeps the position
}

void PlayerMciBackend::pause(int id)
{
    if (Device *d = find(id))
        d->player.pause();
}

void PlayerMciBackend::resume(int id)
{
    if (Device *d = find(id))
        d->player.play();
}

void PlayerMciBackend::seek(int id, qint64 ms)
{
    if (Device *d = find(id))
        d->player.setPosition(ms);
}

void PlayerMciBackend::close(int id)
{
    mDevices.erase(id);
}

qint64 PlayerMciBackend::position(int id)
{
    Device *d = find(id);
    return d ? d->player.position() : 0;
}

bool PlayerMciBackend::isPlaying(int id)
{
    Device *d = find(id);
    return d && d->player.playbackState() == QMediaPlayer::PlayingState;
}

} // namespace vardeko
