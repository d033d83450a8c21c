// Times scripts in a real run session: the counting loop against the console host, the
// same with the debug window showing, and how soon a click's script starts during a loop.
#include "scriptrunner.h"

#include "childform.h"
#include "consolehost.h"
#include "debugform.h"
#include "runsession.h"
#include "variablestore.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTextStream>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

using namespace vardeko;

namespace {

const QString Loop = QStringLiteral("SetVar \"[I]\" \"0\"|While \"[I]\" \"<\" \"1000000\"|"
                                    "Math \"[I]+1\" \"0\" \"[I]\"|EndWhile");

void figure(const char *name, double ours, const char *unit, const char *anchor, double anchorValue)
{
    std::printf("%s: %.1f %s; anchor %s: %.1f %s; ratio %.3f\n", name, ours, unit, anchor, anchorValue,
                unit, anchorValue > 0 ? ours / anchorValue : 0.0);
    std::fflush(stdout);
}

double consoleLoop()
{
    QString sink;
    QTextStream out(&sink);
    QElapsedTimer t;
    t.start();
    runScriptOnConsole(Loop, {}, out);
    return double(t.nsecsElapsed()) / 1e6;
}

std::unique_ptr<TChildForm> makeWindow()
{
    auto pub = std::make_unique<Publication>();
    pub->clearPages();
    Page *page = pub->appendPage(pub->createPage(QStringLiteral("Loop")));
    ObjectPtr button = pub->createObject(ButtonKind);
    button->X1 = 10;
    button->Y1 = 10;
    button->X2 = 110;
    button->Y2 = 40;
    button->button()->Action = QStringLiteral("AlertBox \"clicked\" \"now\"");
    page->Objects.push_back(std::move(button));
    ObjectPtr text = pub->createObject(TextKind);
    text->X1 = 10;
    text->Y1 = 60;
    text->X2 = 300;
    text->Y2 = 90;
    text->text()->Text = QStringLiteral("Counted: [Other]");
    page->Objects.push_back(std::move(text));
    pub->setCurrentPage(page);
    auto window = std::make_unique<TChildForm>(std::move(pub));
    window->resize(640, 480);
    window->show();
    window->session()->setTransitionsEnabled(false);
    window->session()->setScriptedAnswers({});
    return window;
}

double sessionLoop(bool debugShown)
{
    TDebugForm debug;
    TChildForm::setDebugWindow(&debug);
    if (debugShown)
        debug.show();
    auto window = makeWindow();
    RunSession &session = *window->session();
    session.SetRunMode(1);
    // The windows' first paint belongs to entering run mode, not to the loop.
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    QElapsedTimer t;
    t.start();
    session.ExecuteScript(Loop);
    const double ms = double(t.nsecsElapsed()) / 1e6;
    if (globalVariables().GetVariable(QStringLiteral("I")) != QLatin1String("1000000"))
        std::fprintf(stderr, "the loop did not count to the end\n");
    session.SetRunMode(0);
    TChildForm::setDebugWindow(nullptr);
    return ms;
}

// The times from clicks arriving to the first lines of their scripts, while a loop runs.
class FirstLines : public RunLog
{
public:
    std::vector<qint64> at;
    QElapsedTimer *clock = nullptr;
    void request(const QString &word, const QStringList &) override
    {
        if (word == QLatin1String("AlertBox"))
            at.push_back(clock->nsecsElapsed());
    }
};

struct Latency
{
    double median = -1;
    double worst = -1;
};

Latency clickLatency(int interval)
{
    constexpr int Clicks = 25;
    auto window = makeWindow();
    RunSession &session = *window->session();
    session.runner().setEventInterval(interval);
    QElapsedTimer clock;
    clock.start();
    FirstLines log;
    log.clock = &clock;
    session.setLog(&log);
    session.SetRunMode(1);
    std::vector<qint64> clicked(Clicks, -1);
    QWidget *surface = window->pageWidget();
    const QPointF pos = QPointF(20, 20) + window->pageOrigin();
    // The reader's clicks come from outside the loop, at moments of their own that fall
    // anywhere between two event passes.
    std::thread reader([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        for (int i = 0; i < Clicks; ++i) {
            std::this_thread::sleep_for(std::chrono::microseconds(17300));
            clicked[size_t(i)] = clock.nsecsElapsed();
            QCoreApplication::postEvent(surface, new QMouseEvent(QEvent::MouseButtonPress, pos, pos,
                                                                 Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
            QCoreApplication::postEvent(surface, new QMouseEvent(QEvent::MouseButtonRelease, pos, pos,
                                                                 Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
        }
        // The loop ends once the last click has been answered.
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        QMetaObject::invokeMethod(surface, [] { globalVariables().SetVariable(QStringLiteral("DONE"), QStringLiteral("1")); },
                                  Qt::QueuedConnection);
    });
    session.ExecuteScript(QStringLiteral("While \"[Done]\" \"<>\" \"1\"|Math \"[N]+1\" \"0\" \"[N]\"|EndWhile"));
    reader.join();
    QCoreApplication::processEvents();
    session.setLog(nullptr);
    session.SetRunMode(0);
    if (log.at.size() != clicked.size()) {
        std::fprintf(stderr, "%zu of %d clicks ran their script during the loop\n", log.at.size(), Clicks);
        return {};
    }
    std::vector<double> ms;
    for (size_t i = 0; i < clicked.size(); ++i)
        ms.push_back(double(log.at[i] - clicked[i]) / 1e6);
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.back()};
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // One part alone ("loop", "debug" or "clicks") for profiling; all of them by default.
    const QString only = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    auto wanted = [&only](const char *part) { return only.isEmpty() || only == QLatin1String(part); };
    double console = 1e300;
    if (wanted("loop") || wanted("debug")) {
        // Warm up the allocator and the caches once.
        consoleLoop();
        for (int i = 0; i < 3; ++i)
            console = std::min(console, consoleLoop());
    }
    if (wanted("loop")) {
        double session = 1e300;
        for (int i = 0; i < 3; ++i)
            session = std::min(session, sessionLoop(false));
        figure("run session loop, 1000000 iterations", session, "ms", "console host", console);
    }
    if (wanted("debug")) {
        double debug = 1e300;
        for (int i = 0; i < 3; ++i)
            debug = std::min(debug, sessionLoop(true));
        figure("run session loop with the debug window", debug, "ms", "console host", console);
    }
    if (wanted("clicks")) {
        // The runner lets events through every few milliseconds; a click waits at most
        // that long, plus the time of one pass.
        const int interval = 5;
        const Latency latency = clickLatency(interval);
        figure("click to first script line during a loop, median of 25", latency.median, "ms",
               "event interval", interval);
        figure("click to first script line during a loop, slowest of 25", latency.worst, "ms",
               "event interval", interval);
    }
    return 0;
}
