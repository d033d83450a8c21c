// Scripted runs: a publication run from the command line, driven by a file of events,
// printing what it shows and asks for. The editor's --run and compiled programs share it.
#pragma once

#include <QKeyCombination>
#include <QList>
#include <QPoint>
#include <QString>

class QCommandLineParser;
class QWidget;

namespace vardeko {

class Publication;
class RunSession;
class RunWindow;

struct RunEvent
{
    enum Kind { Click, Key, Type, Wait, Idle, Stop, Snapshot } kind = Stop;
    QPoint point;
    QKeyCombination key;
    QString text;
    qint64 number = 0;
};

struct ScriptedRun
{
    QString page; // title or number; empty: the publication's own first page
    bool pageGiven = false;
    QList<RunEvent> events;
    bool eventsGiven = false;
    QList<int> answers;
    qint64 quitAfter = -1; // none
};

// Adds --page, --events, --answers and --quit-after to `parser`.
void addScriptedRunOptions(QCommandLineParser &parser);
// Reads those options after parsing; false with the message on a bad value.
bool scriptedRunFromParser(const QCommandLineParser &parser, ScriptedRun *run, QString *error);
// One event a line: click X Y, key KEY, type TEXT, wait MS, idle SECONDS, stop,
// snapshot FILE.png; blank lines and lines starting with "#" are skipped.
bool parseRunEvents(const QString &fileName, QList<RunEvent> *events, QString *error);
// Makes the page given by title or number (0 the master page) current; false when
// there is none.
bool selectStartPage(Publication &pub, const QString &spec);

// Runs the shown window's publication: enters run mode, delivers the events through the
// event loop, prints every request, then "End left|events|timeout" and the variables.
// `keyTarget` takes keys when no widget has the focus. Returns 0 when run mode was left
// or the events are done, 3 on the time limit.
int runScripted(RunWindow &window, RunSession &session, QWidget *keyTarget, const ScriptedRun &run);

} // namespace vardeko
