// Scripted runs: a publication run from the command line, driven by a file of events,
// printing what it shows and asks for. The editor's --run and compiled programs share it.
#include "rundriver.h"

#include "consolehost.h"
#include "runsession.h"
#include "scriptrunner.h"
#include "variablestore.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPointer>
#include <QTextStream>
#include <QTimer>

#include <chrono>

namespace vardeko {

namespace {

const QString PageOption = QStringLiteral("page");
const QString EventsOption = QStringLiteral("events");
const QString AnswersOption = QStringLiteral("answers");
const QString QuitOption = QStringLiteral("quit-after");

// One event a line; blank lines and lines starting with "#" are skipped.
} // namespace

bool parseRunEvents(const QString &fileName, QList<RunEvent> *events, QString *error)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = fileName + QStringLiteral(": cannot be read");
        return false;
    }
    int lineNo = 0;
    while (!file.atEnd()) {
        ++lineNo;
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const qsizetype space = line.indexOf(u' ');
        const QString word = line.left(space < 0 ? line.size() : space);
        const QString rest = space < 0 ? QString() : line.mid(space + 1).trimmed();
        RunEvent e;
        bool ok = true;
        if (word == QLatin1String("click")) {
            const QStringList xy = rest.split(u' ', Qt::SkipEmptyParts);
            bool okX = false, okY = false;
            if (xy.size() == 2)
                e.point = QPoint(xy.at(0).toInt(&okX), xy.at(1).toInt(&okY));
            ok = okX && okY;
            e.kind = RunEvent::Click;
        } else if (word == QLatin1String("key")) {
            const QKeySequence seq = QKeySequence::fromString(rest, QKeySequence::PortableText);
            ok = seq.count() == 1 && seq[0].key() != Qt::Key_unknown;
            if (ok)
                e.key = seq[0];
            e.kind = RunEvent::Key;
        } else if (word == QLatin1String("type")) {
            e.kind = RunEvent::Type;
            e.text = space < 0 ? QString() : line.mid(space + 1);
        } else if (word == QLatin1String("wait") || word == QLatin1String("idle")) {
            e.kind = word == QLatin1String("wait") ? RunEvent::Wait : RunEvent::Idle;
            e.number = rest.toLongLong(&ok);
            ok = ok && e.number >= 0;
        } else if (word == QLatin1String("stop")) {
            e.kind = RunEvent::Stop;
            ok = rest.isEmpty();
        } else if (word == QLatin1String("snapshot")) {
            e.kind = RunEvent::Snapshot;
            e.text = rest;
            ok = !rest.isEmpty();
        } else {
            ok = false;
        }
        if (!ok) {
            *error = QStringLiteral("%1:%2: not an event: %3").arg(fileName).arg(lineNo).arg(line);
            return false;
        }
        events->append(e);
    }
    return true;
}

namespace {

class StdoutLog : public RunLog
{
public:
    explicit StdoutLog(QTextStream &out)
        : mOut(out)
    {
    }
    void request(const QString &word, const QStringList &fields) override
    {
        if (!mOn)
            return;
        mOut << word;
        for (const QString &f : fields)
            mOut << u'\t' << consoleEscaped(f);
        mOut << u'\n';
        mOut.flush();
    }
    void close() { mOn = false; }

private:
    QTextStream &mOut;
    bool mOn = true;
};

// Delivers the events one by one through the event loop, so that they land between
// script lines, and ends the run.
class RunDriver : public QObject
{
public:
    RunDriver(RunWindow &window, RunSession &session, QWidget *keyFallback, QList<RunEvent> events,
              QTextStream &out, StdoutLog &log)
        : mWindow(window)
        , mSession(session)
        , mKeyFallback(keyFallback)
        , mEvents(std::move(events))
        , mOut(out)
        , mLog(log)
    {
        connect(&mSession, &RunSession::runModeChanged, this, [this](bool running) {
            if (!running)
                finish(QStringLiteral("left"), 0, mSession.lastVariables());
        });
        connect(&mSession, &RunSession::beeped, this, [] {});
    }

    void start(qint64 quitAfter)
    {
        if (quitAfter >= 0) {
            QTimer::singleShot(std::chrono::milliseconds(quitAfter), this, [this] {
                finish(QStringLiteral("timeout"), 3, globalVariables().listing());
            });
        }
        // The second tick: shown times follow the clock and the idle return comes.
        auto *tick = new QTimer(this);
        tick->setInterval(1000);
        connect(tick, &QTimer::timeout, this, [this] {
            if (!mFinished)
                mSession.tick();
        });
        tick->start();
        QTimer::singleShot(0, this, [this] {
            schedule(0);
            mSession.SetRunMode(1);
            if (!mSession.isRunning() && !mFinished)
                finish(QStringLiteral("left"), 0, mSession.lastVariables());
        });
    }

private:
    void schedule(qint64 ms)
    {
        QTimer::singleShot(std::chrono::milliseconds(ms), this, [this] { next(); });
    }

    QWidget *keyTarget() const
    {
        if (QWidget *modal = QApplication::activeModalWidget())
            return modal->focusWidget() ? modal->focusWidget() : modal;
        if (QWidget *focus = QApplication::focusWidget())
            return focus;
        // The window's own focus, even while the platform has not made it active.
        if (QWidget *focus = mWindow.pageWidget()->window()->focusWidget())
            return focus;
        return mKeyFallback ? mKeyFallback : mWindow.pageWidget();
    }

    void sendKey(QWidget *target, QKeyCombination key, const QString &text)
    {
        QKeyEvent press(QEvent::KeyPress, key.key(), key.keyboardModifiers(), text);
        QCoreApplication::sendEvent(target, &press);
        QPointer<QWidget> alive(target);
        if (!alive)
            return;
        QKeyEvent release(QEvent::KeyRelease, key.key(), key.keyboardModifiers(), text);
        QCoreApplication::sendEvent(target, &release);
    }

    void next()
    {
        if (mFinished)
            return;
        if (mNext >= mEvents.size()) {
            // Done once no script runs and no dialog waits.
            if (mSession.isIdle() && !QApplication::activeModalWidget())
                finish(QStringLiteral("events"), 0, globalVariables().listing());
            else
                schedule(10);
            return;
        }
        // Input waits while a Delay or a transition holds it back, as the reader's would;
        // the Stop command waits for a transition's end (a page is always shown whole).
        const RunEvent &peek = mEvents.at(mNext);
        const bool input = peek.kind == RunEvent::Click || peek.kind == RunEvent::Key || peek.kind == RunEvent::Type;
        // Keys typed while run mode is being left are the password's: they wait for its
        // dialog.
        if ((input && (mSession.isHoldingInput() || (mSession.isLeaving() && !QApplication::activeModalWidget())))
            || (peek.kind == RunEvent::Stop && mSession.isPlayingTransition())) {
            schedule(5);
            return;
        }
        const RunEvent e = mEvents.at(mNext++);
        // The next event is due before this one is delivered: its script may run long.
        schedule(e.kind == RunEvent::Wait ? e.number : 0);
        switch (e.kind) {
        case RunEvent::Click: {
            QWidget *surface = mWindow.pageWidget();
            const QPointF pos = e.point + mWindow.pageOrigin();
            const QPointF global = surface->mapToGlobal(pos);
            QMouseEvent press(QEvent::MouseButtonPress, pos, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(surface, &press);
            if (mFinished)
                return;
            QMouseEvent release(QEvent::MouseButtonRelease, pos, global, Qt::LeftButton, Qt::NoButton,
                                Qt::NoModifier);
            QCoreApplication::sendEvent(surface, &release);
            break;
        }
        case RunEvent::Key:
            sendKey(keyTarget(), e.key, QString());
            break;
        case RunEvent::Type:
            for (const QChar c : e.text) {
                if (mFinished)
                    return;
                const int key = c.isLetter() ? Qt::Key_A + (c.toUpper().unicode() - u'A') : c.unicode();
                sendKey(keyTarget(), QKeyCombination(Qt::NoModifier, Qt::Key(key)), QString(c));
            }
            break;
        case RunEvent::Wait:
            break;
        case RunEvent::Idle:
            mSession.idle(e.number * 1000);
            break;
        case RunEvent::Stop:
            mSession.runStopCommand();
            break;
        case RunEvent::Snapshot:
            if (!mWindow.grabPage().save(e.text, "PNG"))
                QTextStream(stderr) << e.text << ": cannot be written" << Qt::endl;
            break;
        }
    }

    void finish(const QString &how, int code, const QStringList &variables)
    {
        if (mFinished)
            return;
        mFinished = true;
        mLog.request(QStringLiteral("End"), {how});
        mLog.close();
        for (const QString &row : variables)
            mOut << row << u'\n';
        mOut.flush();
        // Every script and dialog unwinds before the program ends.
        mSession.runner().stopAllScripts();
        runProviders().popups->endLoops();
        QTimer::singleShot(0, qApp, [code] {
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
            QCoreApplication::exit(code);
        });
        mExitCode = code;
    }

    RunWindow &mWindow;
    RunSession &mSession;
    QWidget *mKeyFallback;
    QList<RunEvent> mEvents;
    qsizetype mNext = 0;
    QTextStream &mOut;
    StdoutLog &mLog;
    bool mFinished = false;
    int mExitCode = 0;
};

} // namespace

void addScriptedRunOptions(QCommandLineParser &parser)
{
    parser.addOption(QCommandLineOption(QStringLiteral("page"), QString(), QStringLiteral("TITLE|NUMBER")));
    parser.addOption(QCommandLineOption(QStringLiteral("events"), QString(), QStringLiteral("FILE")));
    parser.addOption(QCommandLineOption(QStringLiteral("answers"), QString(), QStringLiteral("N,N,...")));
    parser.addOption(QCommandLineOption(QStringLiteral("quit-after"), QString(), QStringLiteral("MS")));
}

bool scriptedRunFromParser(const QCommandLineParser &parser, ScriptedRun *run, QString *error)
{
    if (parser.isSet(AnswersOption) && !parser.value(AnswersOption).isEmpty()) {
        for (const QString &part : parser.value(AnswersOption).split(u',')) {
            bool ok = false;
            run->answers.append(part.trimmed().toInt(&ok));
            if (!ok) {
                *error = QStringLiteral("--answers must be numbers separated by commas: ")
                         + parser.value(AnswersOption);
                return false;
            }
        }
    }
    if (parser.isSet(QuitOption)) {
        bool ok = false;
        run->quitAfter = parser.value(QuitOption).toLongLong(&ok);
        if (!ok || run->quitAfter < 0) {
            *error = QStringLiteral("--quit-after must be a number of milliseconds");
            return false;
        }
    }
    if (parser.isSet(EventsOption)) {
        run->eventsGiven = true;
        if (!parseRunEvents(parser.value(EventsOption), &run->events, error))
            return false;
    }
    run->pageGiven = parser.isSet(PageOption);
    run->page = parser.value(PageOption);
    return true;
}

bool selectStartPage(Publication &pub, const QString &spec)
{
    Page *page = pub.findPage(spec);
    bool isNumber = false;
    const int number = spec.trimmed().toInt(&isNumber);
    if (!page && isNumber && number == 0)
        page = pub.masterPage();
    if (!page && isNumber && number >= 1 && number <= pub.pageCount())
        page = pub.page(number - 1);
    if (!page)
        return false;
    pub.setCurrentPage(page);
    return true;
}

int runScripted(RunWindow &window, RunSession &session, QWidget *keyTarget, const ScriptedRun &run)
{
    QTextStream out(stdout);
    StdoutLog log(out);
    session.setLog(&log);
    session.setScriptedAnswers(run.answers);
    RunDriver driver(window, session, keyTarget, run.events, out, log);
    driver.start(run.quitAfter);
    const int code = QCoreApplication::exec();
    session.setLog(nullptr);
    return code;
}

} // namespace vardeko
