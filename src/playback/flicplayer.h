// Plays an FLI/FLC animation: frames are decoded and paced on the player's own thread
// and shown by a child widget of the page on the user-interface thread.
#pragma once

#include <QImage>
#include <QThread>
#include <QWidget>

#include <atomic>

namespace vardeko {

// The decoding thread. Each frame goes to the user-interface thread as a picture
// (queued); termination is looked at between passes, frames and waits.
class FlicThread : public QThread
{
    Q_OBJECT

public:
    // `count` passes, 0 = until stopped.
    FlicThread(const QString &fileName, int count, QObject *parent = nullptr);
    ~FlicThread() override;

    void requestStop() { mStop = true; }
    int framesShown() const { return mShown; }

signals:
    void frameReady(const QImage &frame);

protected:
    void run() override;

private:
    QString mFileName;
    int mCount;
    std::atomic_bool mStop {false};
    std::atomic_int mShown {0};
};

// The animation on the page: a child of the page widget covering the destination
// rectangle, showing the frames stretched into it.
class FlicPlayer : public QWidget
{
    Q_OBJECT

public:
    // `rect` in the page widget's coordinates; with an invalid rect the animation
    // keeps its natural size, centred. Count 0 plays until stopped.
    FlicPlayer(QWidget *page, const QRect &rect, const QString &fileName, int count);
    ~FlicPlayer() override;

    // False when the file is not a playable flic (nothing is shown then).
    bool start();
    void stop();
    bool isRunning() const { return mThread.isRunning(); }
    int framesShown() const { return mThread.framesShown(); }
    static QRect destination(const QRect &page, int left, int top, int width, int height, QSize natural);

signals:
    void ended();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    FlicThread mThread;
    QImage mFrame;
    QString mFileName;
};

} // namespace vardeko
