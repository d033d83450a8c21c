// Plays a cartoon: a sprite of a few frames that walks a straight line over the page
// (or stays in place) while cycling through its frames, drawn transparently.
#pragma once

#include <QImage>
#include <QPointF>
#include <QRect>
#include <QThread>
#include <QWidget>

#include <atomic>

namespace vardeko {

// Where the cartoon is and which frame it shows, step by step: the path from the start
// to the end point is covered in frames x cycles steps, one frame per step. Points are
// page coordinates (the centre of the frame); -1 means the default path across the
// middle half of the page at half height.
class CartoonMotion
{
public:
    CartoonMotion(int x1, int y1, int x2, int y2, QSize page, int frames, int cycles, bool loop);

    // True when play is over: the rounded position lies outside the movement box
    // (never with the loop flag).
    bool atEnd() const;
    int frame() const { return mFrame; }
    QPointF position() const { return mPosition; }
    // The frame centre as drawn.
    QPoint roundedPosition() const;
    // The step after the current frame was shown: next frame, next position.
    void advance();

    QPoint start() const { return mStart; }
    QPoint end() const { return mEnd; }
    QPointF step() const { return mStep; }
    // Left, top, right, bottom of the path, inclusive.
    QRect box() const { return mBox; }

private:
    bool outside(QPoint p) const;

    QPoint mStart, mEnd;
    QRect mBox;
    QPointF mStep;
    QPointF mPosition;
    int mFrames;
    int mRepeat;
    bool mLoop;
    int mFrame = 0;
};

// A decoded cartoon: the strip cut into frames, transparent where the strip shows the
// colour of its bottom-left pixel.
struct CartoonFrames
{
    QList<QImage> frames; // premultiplied ARGB, all one size
    QSize frameSize() const { return frames.isEmpty() ? QSize() : frames.first().size(); }
};

// Reads a ".CAR" file and cuts its strip; false with a reason for a file that is not a
// cartoon, a strip that cannot be decoded or one narrower than its frame count.
bool loadCartoonFrames(const QString &fileName, CartoonFrames *cartoon, QString *error);

// The timing thread: waits each step's delay and hands the step to the user-interface
// thread (queued). It looks at the stop request before each step and inside the wait.
class CartoonThread : public QThread
{
    Q_OBJECT

public:
    CartoonThread(const CartoonMotion &motion, int delayMs, QObject *parent = nullptr);
    ~CartoonThread() override;

    void requestStop() { mStop = true; }
    int stepsShown() const { return mShown; }

signals:
    void stepReady(int frame, QPoint centre);

protected:
    void run() override;

private:
    CartoonMotion mMotion;
    int mDelayMs;
    std::atomic_bool mStop {false};
    std::atomic_int mShown {0};
};

// The cartoon on the page: a transparent child of the page widget covering the path,
// painting the current frame over the page. The page shows through everywhere else,
// so nothing of it has to be saved or restored; when the cartoon ends it is hidden and
// the page shows as it is.
class CartoonPlayer : public QWidget
{
    Q_OBJECT

public:
    // `pageRect`: where the page lies in `page`'s coordinates. `speed` is the frame
    // delay in milliseconds and `repeat` the cycles over the path (their absolute
    // values; at least one cycle).
    CartoonPlayer(QWidget *page, const QRect &pageRect, int x1, int y1, int x2, int y2, int repeat,
                  int speed, bool loop);
    ~CartoonPlayer() override;

    // Loads the cartoon and starts it; false (nothing drawn) when it cannot be loaded.
    bool start(const QString &fileName, QString *error = nullptr);
    void stop();
    bool isRunning() const { return mThread && mThread->isRunning(); }
    int stepsShown() const { return mThread ? mThread->stepsShown() : 0; }
    // The page rectangle the current frame covers (page-widget coordinates), empty
    // before the first step.
    QRect frameRect() const { return mFrameRect; }
    int currentFrame() const { return mFrame; }

signals:
    void ended();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void showStep(int frame, QPoint centre);

    QRect mPageRect;
    int mX1, mY1, mX2, mY2;
    int mCycles;
    int mDelayMs;
    bool mLoop;
    CartoonFrames mCartoon;
    std::unique_ptr<CartoonThread> mThread;
    QRect mFrameRect; // in the page widget's coordinates
    int mFrame = -1;
};

} // namespace vardeko
