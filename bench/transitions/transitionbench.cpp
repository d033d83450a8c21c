// Measures the work of one transition step against one full-page picture copy, and the
// running time of a whole effect against the sum of its waits.
#include "benchreport.h"
#include "transition.h"
#include "transitionplayer.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTextStream>

#include <algorithm>
#include <ctime>
#include <functional>
#include <vector>

using namespace vardeko;

using vardeko::bench::reportFigure;

namespace {

double threadCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

// Median processor time of `runs` calls; the machines are shared, so time spent
// waiting for a core is left out.
double medianMs(int runs, const std::function<void()> &work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double start = threadCpuMs();
        work();
        times.push_back(threadCpuMs() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}


QImage noise(QSize size, quint32 seed)
{
    QImage image(size, QImage::Format_ARGB32);
    QRandomGenerator random(seed);
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<quint32 *>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x)
            line[x] = 0xFF000000u | (random.generate() & 0xFFFFFFu);
    }
    return image;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QSize size(1024, 768);
    const QImage oldPage = noise(size, 1), newPage = noise(size, 2);

    QImage target = oldPage;
    const double fullCopy = medianMs(41, [&] {
        QPainter painter(&target);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(0, 0, newPage);
    });
    const QString anchor = QStringLiteral("one full-page drawImage");

    // Speed 0 moves the widest strips, the dearest steps.
    for (int effect = Dissolve; effect <= LastEffect; ++effect) {
        const QList<TransitionStep> steps = transitionSteps(effect, 0, size, QPoint(0, 0));
        QImage frame = oldPage;
        const double whole = medianMs(9, [&] {
            frame = oldPage;
            frame.detach();
            for (const TransitionStep &step : steps)
                applyTransitionStep(frame, newPage, step);
        });
        // The reset copy is not part of the effect.
        const double reset = medianMs(9, [&] {
            frame = oldPage;
            frame.detach();
        });
        const double perStep = std::max(0.0, whole - reset) / double(steps.size());
        const QString what = effect == Dissolve ? QStringLiteral("a Dissolve stage on 1024x768")
                                                : QStringLiteral("a %1 step on 1024x768").arg(effectName(effect));
        reportFigure(what, perStep, QStringLiteral("ms"), anchor, fullCopy, 4);
    }

    // Wall time: the waits are deadlines, so painting does not add to them.
    const QSize vga(640, 480);
    const QImage oldVga = noise(vga, 3), newVga = noise(vga, 4);
    const QList<TransitionStep> wipe = transitionSteps(WipeRight, 0, vga);
    std::vector<double> walls;
    for (int run = 0; run < 7; ++run) {
        QImage frame = oldVga;
        QElapsedTimer clock;
        clock.start();
        playTransition(wipe, [&](const TransitionStep &step) { applyTransitionStep(frame, newVga, step); });
        walls.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    std::sort(walls.begin(), walls.end());
    reportFigure(QStringLiteral("Wipe Right at speed 0 on 640x480, wall time"), walls[walls.size() / 2],
                 QStringLiteral("ms"), QStringLiteral("the sum of its waits"), double(nominalMilliseconds(wipe)), 4);
    return 0;
}
