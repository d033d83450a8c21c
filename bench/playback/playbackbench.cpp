// Frame pacing of the players as a window shows them: when the frames of intro.fli and
// the steps of a cartoon reach the screen (paint events of the player's widget), against
// a precise timer repainting a widget of the same page at the same interval.
// Runs on the display it is given (a virtual one will do), or off-screen.
#include "benchreport.h"
#include "cartoonfile.h"
#include "flicdecoder.h"
#include "medialist.h"

#include <QApplication>
#include <QBuffer>
#include <QChildEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

using namespace vardeko;

using vardeko::bench::reportFigure;

namespace {

QTextStream &out()
{
    static QTextStream s(stdout);
    return s;
}


QString testDataDir()
{
    const QString env = qEnvironmentVariable("VARDEKO_TESTDATA_DIR");
    if (!env.isEmpty())
        return env;
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../../../../shared/testdata"));
}

// Paint times of one widget, in milliseconds of one clock.
class PaintClock : public QObject
{
public:
    PaintClock(QElapsedTimer &clock) : mClock(clock) {}
    std::vector<double> times;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            times.push_back(double(mClock.nsecsElapsed()) / 1e6);
        return false;
    }

private:
    QElapsedTimer &mClock;
};

// The interval errors |t[i+1] - t[i] - delay|; the first interval is left out (start-up).
std::vector<double> intervalErrors(const std::vector<double> &times, double delay)
{
    std::vector<double> errors;
    for (size_t i = 2; i < times.size(); ++i)
        errors.push_back(std::abs(times[i] - times[i - 1] - delay));
    return errors;
}

double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(p * double(v.size())))];
}

// A precise timer repainting a small widget of the page `count` times at `delay` ms.
std::vector<double> timerAnchor(QWidget &page, QElapsedTimer &clock, int delay, int count)
{
    QWidget probe(&page);
    probe.setGeometry(0, 0, 40, 40);
    probe.show();
    PaintClock paints(clock);
    probe.installEventFilter(&paints);
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    int ticks = 0;
    QEventLoop loop;
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        probe.update();
        if (++ticks >= count)
            loop.quit();
    });
    timer.start(delay);
    loop.exec();
    QCoreApplication::processEvents();
    return paints.times;
}

std::vector<double> playAndClock(MediaList &list, QWidget &page, QElapsedTimer &clock,
                                 const std::function<int()> &play)
{
    PaintClock paints(clock);
    // The player's widget is the page's newest child: watch children as they come.
    struct Watch : QObject
    {
        PaintClock *paints;
        bool eventFilter(QObject *, QEvent *e) override
        {
            if (e->type() == QEvent::ChildAdded)
                static_cast<QChildEvent *>(e)->child()->installEventFilter(paints);
            return false;
        }
    } watch;
    watch.paints = &paints;
    page.installEventFilter(&watch);
    play();
    page.removeEventFilter(&watch);
    QCoreApplication::processEvents();
    Q_UNUSED(list);
    return paints.times;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString dir = testDataDir();
    const QString intro = dir + QStringLiteral("/flic/intro.fli");
    FlicHeader header;
    QFile f(intro);
    if (!f.open(QIODevice::ReadOnly) || !readFlicHeader(f.read(128), &header, nullptr)) {
        out() << "no test files at " << dir << " (set VARDEKO_TESTDATA_DIR)" << Qt::endl;
        return 1;
    }
    QWidget page;
    page.resize(640, 480);
    page.show();
    QElapsedTimer clock;
    clock.start();
    MediaList list;

    // intro.fli, three passes, waited for.
    const auto flic = playAndClock(list, page, clock, [&] {
        return list.playFlic(&page, QRect(0, 0, 640, 480), -1, -1, -1, -1, intro, 3, PlayWait);
    });
    const int frames = int(flic.size());
    const auto flicAnchor = timerAnchor(page, clock, header.delayMs, frames);
    reportFigure(QStringLiteral("intro.fli frames on screen, interval error p95 (%1 frames at %2 ms)")
                   .arg(frames).arg(header.delayMs),
           percentile(intervalErrors(flic, header.delayMs), 0.95), QStringLiteral("ms"),
           QStringLiteral("precise QTimer repaint"), percentile(intervalErrors(flicAnchor, header.delayMs), 0.95));
    const double span = flic.size() > 1 ? flic.back() - flic.front() : 0;
    const double due = double(frames - 1) * header.delayMs;
    reportFigure(QStringLiteral("intro.fli playing time of %1 frames").arg(frames), span, QStringLiteral("ms"),
           QStringLiteral("frames x delay"), due);

    // A cartoon of 4 frames walking 590 pixels in 120 steps of 40 ms.
    QTemporaryDir tmp;
    QImage strip(160, 40, QImage::Format_RGB32);
    strip.fill(Qt::magenta);
    QPainter p(&strip);
    for (int k = 0; k < 4; ++k)
        p.fillRect(k * 40 + 10, 10, 20, 20, QColor::fromHsv(k * 60, 255, 255));
    p.end();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    strip.save(&buffer, "PNG");
    const QString car = tmp.filePath(QStringLiteral("walk.car"));
    QFile carFile(car);
    carFile.open(QIODevice::WriteOnly);
    carFile.write(cartoonBytes(png, 4));
    carFile.close();
    constexpr int StepMs = 40;
    const auto cartoon = playAndClock(list, page, clock, [&] {
        return list.playCartoon(&page, QRect(0, 0, 640, 480), 10, 400, 600, 400, car, 30, StepMs, PlayWait);
    });
    const auto cartoonAnchor = timerAnchor(page, clock, StepMs, int(cartoon.size()));
    reportFigure(QStringLiteral("cartoon steps on screen, interval error p95 (%1 steps at %2 ms)")
                   .arg(cartoon.size()).arg(StepMs),
           percentile(intervalErrors(cartoon, StepMs), 0.95), QStringLiteral("ms"),
           QStringLiteral("precise QTimer repaint"), percentile(intervalErrors(cartoonAnchor, StepMs), 0.95));
    return 0;
}
