// Plays the steps of a transition in time.
#include "transitionplayer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace vardeko {

void playTransition(const QList<TransitionStep> &steps, const std::function<void(const TransitionStep &)> &show)
{
    QElapsedTimer clock;
    clock.start();
    qint64 deadline = 0;
    const bool haveLoop = QCoreApplication::instance() != nullptr;
    for (const TransitionStep &step : steps) {
        show(step);
        deadline += step.waitMs;
        if (!haveLoop)
            continue;
        // Let the step be painted even when it has no wait.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        const qint64 remaining = deadline - clock.elapsed();
        if (remaining <= 0)
            continue;
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        timer.start(int(remaining));
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
}

} // namespace vardeko
