// The list of everything playing: sounds and videos, animations. Items are found by a
// unique id (never by file name alone), stopped by file, by kind or all at once.
#include "medialist.h"

#include "cartoonplayer.h"
#include "flicdecoder.h"
#include "flicplayer.h"
#include "midiplayer.h"
#include "soundplayer.h"
#include "videoplayer.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>

namespace vardeko {

struct MediaList::Item
{
    int id = 0;
    MediaKind kind = MediaKind::Sound;
    QString file; // upper case
    int mode = PlayNormal;
    std::unique_ptr<SoundPlayer> sound;
    std::unique_ptr<MidiPlayer> midi;
    // Children of the page: the page may take them with it when it goes first.
    QPointer<FlicPlayer> flic;
    QPointer<CartoonPlayer> cartoon;
    QPointer<VideoPlayer> video;
    bool pictures = false; // the video file has pictures
    bool hasVideo() const { return kind == MediaKind::Flic || kind == MediaKind::Cartoon || pictures; }
};

MediaList::MediaList() = default;

MediaList::~MediaList()
{
    stopAll();
}

MediaList::Item *MediaList::add(MediaKind kind, const QString &file, int mode)
{
    auto item = std::make_unique<Item>();
    item->id = mNextId++;
    item->kind = kind;
    item->file = file.toUpper();
    item->mode = mode;
    mItems.insert(mItems.begin(), std::move(item)); // new records go to the head
    return mItems.front().get();
}

bool MediaList::contains(int id) const
{
    return std::any_of(mItems.begin(), mItems.end(), [id](const auto &i) { return i->id == id; });
}

void MediaList::waitFor(int id)
{
    if (!contains(id))
        return;
    QEventLoop loop;
    const auto connection = connect(this, &MediaList::itemStopped, &loop, [&loop, id](int stopped) {
        if (stopped == id)
            loop.quit();
    });
    QTimer poll;
    if (mWaitCancelled) {
        if (mWaitCancelled()) {
            disconnect(connection);
            return;
        }
        connect(&poll, &QTimer::timeout, &loop, [&] {
            if (mWaitCancelled && mWaitCancelled())
                loop.quit();
        });
        poll.start(10);
    }
    loop.exec();
    disconnect(connection);
}

int MediaList::playSound(const QString &file, int mode)
{
    stopMedia(file); // playing a file again restarts it
    Item *item = add(MediaKind::Sound, file, mode);
    const int id = item->id;
    const auto ended = [this, id, file](bool ok) {
        stopItem(id);
        if (!ok)
            emit playFailed(file);
    };
    // Music goes to the synthesizer, everything else to the media player.
    if (isMidiFile(file)) {
        item->midi = std::make_unique<MidiPlayer>(file, mode == PlayLoop);
        connect(item->midi.get(), &MidiPlayer::ended, this, ended, Qt::QueuedConnection);
        item->midi->play();
    } else {
        item->sound = std::make_unique<SoundPlayer>(file, mode == PlayLoop);
        connect(item->sound.get(), &SoundPlayer::ended, this, ended, Qt::QueuedConnection);
        item->sound->play();
    }
    if (mode == PlayWait)
        waitFor(id);
    return id;
}

int MediaList::playVideo(QWidget *page, const QRect &pageRect, int left, int top, int width, int height,
                         const QString &file, int mode)
{
    stopMedia(file);
    // Opening lets events through: the page (and the player with it) may go meanwhile.
    QPointer<VideoPlayer> video = new VideoPlayer(page, file, mode == PlayLoop);
    const bool opened = video->open();
    if (!video)
        return 0;
    if (!opened) {
        delete video.data();
        emit playFailed(file); // a failed open leaves no item behind
        return 0;
    }
    Item *item = add(MediaKind::Video, file, mode);
    const int id = item->id;
    item->pictures = video->hasVideo();
    item->video = video;
    connect(video, &VideoPlayer::ended, this, [this, id, file](bool ok) {
        stopItem(id);
        if (!ok)
            emit playFailed(file);
    }, Qt::QueuedConnection);
    if (item->pictures) {
        const QSize natural = video->naturalSize();
        video->place(FlicPlayer::destination(pageRect, left, top, width, height,
                                             natural.isValid() ? natural : QSize(0, 0)));
        // A file that does not tell its size before playing is placed by its first picture.
        if (!natural.isValid() && (width < 0 || height < 0)) {
            connect(video, &VideoPlayer::firstFrame, video, [video, pageRect, left, top, width, height](QSize size) {
                video->place(FlicPlayer::destination(pageRect, left, top, width, height, size));
            });
        }
    }
    video->play();
    if (mode == PlayWait)
        waitFor(id);
    return id;
}

int MediaList::playFlic(QWidget *page, const QRect &pageRect, int left, int top, int width, int height,
                        const QString &file, int count, int mode)
{
    stopMedia(file);
    int naturalWidth = 0, naturalHeight = 0;
    if (!FlicFrameSize(file, &naturalWidth, &naturalHeight))
        return 0;
    const QRect rect = FlicPlayer::destination(pageRect, left, top, width, height, QSize(naturalWidth, naturalHeight));
    Item *item = add(MediaKind::Flic, file, mode);
    const int id = item->id;
    item->flic = new FlicPlayer(page, rect, file, mode == PlayLoop ? 0 : std::max(count, 0));
    connect(item->flic, &FlicPlayer::ended, this, [this, id] { stopItem(id); }, Qt::QueuedConnection);
    if (!item->flic->start()) {
        stopItem(id);
        return 0;
    }
    if (mode == PlayWait)
        waitFor(id);
    return id;
}

int MediaList::playCartoon(QWidget *page, const QRect &pageRect, int x1, int y1, int x2, int y2,
                           const QString &file, int repeat, int speed, int mode)
{
    stopMedia(file);
    auto player = std::make_unique<CartoonPlayer>(page, pageRect, x1, y1, x2, y2, repeat, speed, mode == PlayLoop);
    // A cartoon that cannot be loaded ends quietly, before it is listed.
    if (!player->start(file))
        return 0;
    Item *item = add(MediaKind::Cartoon, file, mode);
    const int id = item->id;
    item->cartoon = player.release();
    connect(item->cartoon, &CartoonPlayer::ended, this, [this, id] { stopItem(id); }, Qt::QueuedConnection);
    if (mode == PlayWait)
        waitFor(id);
    return id;
}

void MediaList::stopItem(int id)
{
    const auto it = std::find_if(mItems.begin(), mItems.end(), [id](const auto &i) { return i->id == id; });
    if (it == mItems.end())
        return;
    std::unique_ptr<Item> item = std::move(*it);
    mItems.erase(it);
    if (item->sound)
        item->sound->stop();
    if (item->midi)
        item->midi->stop();
    // The page shows again beneath.
    delete item->flic.data();
    delete item->cartoon.data();
    if (item->video) {
        item->video->stop();
        delete item->video.data();
    }
    emit itemStopped(id);
}

bool MediaList::stopMedia(const QString &what)
{
    const QString key = what.trimmed().toUpper();
    std::vector<int> ids;
    for (const auto &i : mItems) {
        const bool match = key.isEmpty() || (key == QLatin1String("SOUND") && !i->hasVideo())
                || (key == QLatin1String("VIDEO") && i->hasVideo())
                || QFileInfo(i->file).fileName() == QFileInfo(key).fileName();
        if (match)
            ids.push_back(i->id);
    }
    for (int id : ids)
        stopItem(id);
    return !ids.empty();
}

void MediaList::stopAll()
{
    while (!mItems.empty())
        stopItem(mItems.front()->id);
}

} // namespace vardeko
