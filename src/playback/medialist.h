// The list of everything playing: sounds and videos, animations. Items are found by a
// unique id (never by file name alone), stopped by file, by kind or all at once.
#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QWidget;

namespace vardeko {

enum class MediaKind { Sound, Video, Flic, Cartoon };
enum PlayMode { PlayNormal = 0, PlayWait = 1, PlayLoop = 2 };

class MediaList : public QObject
{
    Q_OBJECT

public:
    MediaList();
    ~MediaList() override;

    // Plays a sound (or a video's sound) file; gives the item's id. A file that turns
    // out not to play ends its item and is named by playFailed(). Wait mode returns when
    // the item has ended.
    int playSound(const QString &file, int mode);
    // Plays a video file with its pictures in a child of `page` inside `pageRect`; -1 for
    // the natural size or centred. A file without pictures plays as a sound. 0 when the
    // file cannot be played (named by playFailed()).
    int playVideo(QWidget *page, const QRect &pageRect, int left, int top, int width, int height,
                  const QString &file, int mode);
    // Plays an animation into `page` (a widget) inside `pageRect`; -1 for natural size
    // or centred. Count 0 or mode LOOP plays until stopped.
    int playFlic(QWidget *page, const QRect &pageRect, int left, int top, int width, int height,
                 const QString &file, int count, int mode);
    // Plays a cartoon along (x1, y1)-(x2, y2) in page coordinates (-1: the default
    // path), `repeat` cycles of its frames over the path, `speed` ms a frame. Mode LOOP
    // goes on until stopped. 0 when the cartoon cannot be loaded (nothing is drawn).
    int playCartoon(QWidget *page, const QRect &pageRect, int x1, int y1, int x2, int y2,
                    const QString &file, int repeat, int speed, int mode);

    // StopMedia: "SOUND" stops items without video, "VIDEO" those with video (videos
    // with pictures, the animations), an empty text everything, any other text the item
    // of that file (matched by name without folder, any case). False when nothing
    // matched a name.
    bool stopMedia(const QString &what);
    void stopAll();
    void stopItem(int id);
    // Wait mode returns early once `cancelled` says so (looked at every few ms), and the
    // item plays on. Null: waits last until the item ends.
    void setWaitCancelled(std::function<bool()> cancelled) { mWaitCancelled = std::move(cancelled); }
    int count() const { return int(mItems.size()); }
    bool contains(int id) const;

signals:
    void itemStopped(int id);
    void playFailed(const QString &file);

private:
    struct Item;
    Item *add(MediaKind kind, const QString &file, int mode);
    void waitFor(int id);
    std::vector<std::unique_ptr<Item>> mItems;
    int mNextId = 1;
    std::function<bool()> mWaitCancelled;
};

} // namespace vardeko
