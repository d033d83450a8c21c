// The --run option: runs a publication in a real publication window, driven by a file of
// events, and prints what it shows and asks for.
#include "runcommand.h"

// Before the model: its object kind LineKind would hide the script line kind.
#include "scriptrunner.h"

#include "childform.h"
#include "consolehost.h"
#include "publicationfile.h"
#include "pageview.h"
#include "printjobs.h"
#include "runsession.h"
#include "textmeasurer.h"
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
#include <cstring>

namespace vardeko {

namespace {

const char Usage[] = "usage: vardeko --run FILE.PUB [--page TITLE|NUMBER] [--events FILE] "
                     "[--answers N,N,...] [--quit-after MS] [--print-pdf OUT%1.pdf]";

int fail(const QString &message, int code)
{
    QTextStream(stderr) << message << Qt::endl;
    return code;
}

struct Event
{
    enum Kind { Click, Key, Type, Wait, Idle, Stop, Snapshot } kind;
    QPoint point;
    QKeyCombination key;
    QString text;
    qint64 number = 0;
};

// One event a line; blank lines and lines starting with "#" are skipped.
bool parseEvents(const QString &fileName, QList<Event> *events, QString *error)
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
        Event e{Event::Stop, {}, {}, {}, 0};
        bool ok = true;
        if (word == QLatin1String("click")) {
            const QStringList xy = rest.split(u' ', Qt::SkipEmptyParts);
            bool okX = false, okY = false;
            if (xy.size() == 2)
                e.point = QPoint(xy.at(0).toInt(&okX), xy.at(1).toInt(&okY));
            ok = okX && okY;
            e.kind = Event::Click;
        } else if (word == QLatin1String("key")) {
            const QKeySequence seq = QKeySequence::fromString(rest, QKeySequence::PortableText);
            ok = seq.count() == 1 && seq[0].key() != Qt::Key_unknown;
            if (ok)
                e.key = seq[0];
            e.kind = Event::Key;
        } else if (word == QLatin1String("type")) {
            e.kind = Event::Type;
            e.text = space < 0 ? QString() : line.mid(space + 1);
        } else if (word == QLatin1String("wait") || word == QLatin1String("idle")) {
            e.kind = word == QLatin1String("wait") ? Event::Wait : Event::Idle;
            e.number = rest.toLongLong(&ok);
            ok = ok && e.number >= 0;
        } else if (word == QLatin1String("stop")) {
            e.kind = Event::Stop;
            ok = rest.isEmpty();
        } else if (word == QLatin1String("snapshot")) {
            e.kind = Event::Snapshot;
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
    RunDriver(TChildForm &window, QList<Event> events, QTextStream &out, StdoutLog &log)
        : mWindow(window)
        , mSession(*window.session())
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
        if (QWidget *focus = mWindow.window()->focusWidget())
            return focus;
        return mWindow.pageView();
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
        const Event &peek = mEvents.at(mNext);
        const bool input = peek.kind == Event::Click || peek.kind == Event::Key || peek.kind == Event::Type;
        if ((input && mSession.isHoldingInput()) || (peek.kind == Event::Stop && mSession.isPlayingTransition())) {
            schedule(5);
            return;
        }
        const Event e = mEvents.at(mNext++);
        // The next event is due before this one is delivered: its script may run long.
        schedule(e.kind == Event::Wait ? e.number : 0);
        switch (e.kind) {
        case Event::Click: {
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
        case Event::Key:
            sendKey(keyTarget(), e.key, QString());
            break;
        case Event::Type:
            for (const QChar c : e.text) {
                if (mFinished)
                    return;
                const int key = c.isLetter() ? Qt::Key_A + (c.toUpper().unicode() - u'A') : c.unicode();
                sendKey(keyTarget(), QKeyCombination(Qt::NoModifier, Qt::Key(key)), QString(c));
            }
            break;
        case Event::Wait:
            break;
        case Event::Idle:
            mSession.idle(e.number * 1000);
            break;
        case Event::Stop:
            mSession.runStopCommand();
            break;
        case Event::Snapshot:
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

    TChildForm &mWindow;
    RunSession &mSession;
    QList<Event> mEvents;
    qsizetype mNext = 0;
    QTextStream &mOut;
    StdoutLog &mLog;
    bool mFinished = false;
    int mExitCode = 0;
};

} // namespace

bool isRunCommand(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--run") == 0)
            return true;
    }
    return false;
}

int runRunCommand(const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption runOption(QStringLiteral("run"), QString(), QStringLiteral("FILE.PUB"));
    const QCommandLineOption pageOption(QStringLiteral("page"), QString(), QStringLiteral("TITLE|NUMBER"));
    const QCommandLineOption eventsOption(QStringLiteral("events"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption answersOption(QStringLiteral("answers"), QString(), QStringLiteral("N,N,..."));
    const QCommandLineOption quitOption(QStringLiteral("quit-after"), QString(), QStringLiteral("MS"));
    const QCommandLineOption printOption(QStringLiteral("print-pdf"), QString(), QStringLiteral("OUT%1.pdf"));
    parser.addOptions({runOption, pageOption, eventsOption, answersOption, quitOption, printOption});
    if (!parser.parse(arguments) || !parser.positionalArguments().isEmpty())
        return fail(QLatin1String(Usage), 2);

    QList<int> answers;
    if (parser.isSet(answersOption) && !parser.value(answersOption).isEmpty()) {
        for (const QString &part : parser.value(answersOption).split(u',')) {
            bool ok = false;
            answers.append(part.trimmed().toInt(&ok));
            if (!ok)
                return fail(QStringLiteral("--answers must be numbers separated by commas: ")
                                    + parser.value(answersOption),
                            2);
        }
    }
    qint64 quitAfter = -1;
    // Print jobs become PDF files (the printer setup is not shown); without, a scripted
    // run prints nothing.
    if (parser.isSet(printOption))
        printJobsToPdf(parser.value(printOption));
    if (parser.isSet(quitOption)) {
        bool ok = false;
        quitAfter = parser.value(quitOption).toLongLong(&ok);
        if (!ok || quitAfter < 0)
            return fail(QStringLiteral("--quit-after must be a number of milliseconds"), 2);
    }
    QList<Event> events;
    if (parser.isSet(eventsOption)) {
        QString error;
        if (!parseEvents(parser.value(eventsOption), &events, &error))
            return fail(error + u'\n' + QLatin1String(Usage), 2);
    }

    const QString fileName = parser.value(runOption);
    auto pub = std::make_unique<Publication>();
    static const QtTextMeasurer measurer;
    ReadOptions options;
    options.measurer = &measurer;
    const ReadResult result = readPublication(*pub, fileName, options);
    if (!result.ok()) {
        QString text = loadErrorMessage(fileName, result.error);
        return fail(text.replace(u'\r', u'\n'), 1);
    }
    if (parser.isSet(pageOption)) {
        const QString spec = parser.value(pageOption);
        Page *page = pub->findPage(spec);
        bool isNumber = false;
        const int number = spec.trimmed().toInt(&isNumber);
        if (!page && isNumber && number == 0)
            page = pub->masterPage();
        if (!page && isNumber && number >= 1 && number <= pub->pageCount())
            page = pub->page(number - 1);
        if (!page)
            return fail(QStringLiteral("No page titled or numbered \"%1\" in %2").arg(spec, fileName), 2);
        pub->setCurrentPage(page);
    }

    QTextStream out(stdout);
    StdoutLog log(out);
    TChildForm window(std::move(pub));
    window.session()->setLog(&log);
    window.session()->setScriptedAnswers(answers);
    window.show();
    window.activateWindow();
    RunDriver driver(window, events, out, log);
    driver.start(quitAfter);
    const int code = QCoreApplication::exec();
    window.session()->setLog(nullptr);
    return code;
}

} // namespace vardeko
