// Runs action scripts line by line on behalf of one publication window.
#pragma once

#include "runhost.h"
#include "scriptlines.h"
#include "variablestore.h"

#include <QElapsedTimer>
#include <QHash>
#include <QLocale>
#include <QString>

#include <memory>

namespace vardeko {

// The state of one run of one script; dropped when the run ends.
struct ScriptState
{
    qint64 LineNo = 0;
    int SkipLines = 0;
    int IfSkipDepth = 0;
    int WhileSkipDepth = 0;
    bool SkipIf = false;
    bool SkipWhile = false;
    const ScriptLine *CurrentLine = nullptr;
};

class ScriptRunner
{
public:
    ScriptRunner(RunHost &host, VariableStore &store);

    // Runs one script to its end. May be called again while a script runs: the new run
    // nests and the interrupted one continues afterwards.
    void ExecuteScript(const QString &script);

    // Shows the "Debug" alert and ends every running script of the window.
    void ScriptError(const QString &text);

    // The alert titled with the application's title for an I/O error code.
    void ShowFileError(int code);

    int runDepth() const { return RunDepth; }
    bool stopRequested() const { return StopRequested; }
    // Ends every run at its next line (Stop, leaving run mode).
    void stopAllScripts() { RunDepth = 0; }

    // Milliseconds between event passes while a script runs; 0 pumps before every line.
    void setEventInterval(int ms) { mEventInterval = ms; }

    // Runs nested deeper than this stop with an error instead of exhausting the stack.
    static constexpr int MaxRunDepth = 200;

    VariableStore &variables() { return mStore; }
    RunHost &host() { return mHost; }

private:
    friend struct CommandCall;

    std::shared_ptr<const ScriptLines> compile(const QString &script);
    void handleLine(ScriptState &state, const ScriptLines &lines);
    void runCommand(ScriptState &state, const ScriptLines &lines, const ScriptLine &line);
    bool fastCondition(ScriptState &state, const ScriptLine &line) const;
    bool conditionSide(const ScriptLine &line, int i, double *value) const;
    bool fastMath(const ScriptLine &line);

    RunHost &mHost;
    VariableStore &mStore;
    int RunDepth = 0;
    bool StopRequested = false;
    int mEventInterval = 5;
    QElapsedTimer mEventClock;
    unsigned mLinesSinceClock = 0;
    QLocale mLocale; // the system locale, taken when an outermost run starts
    QHash<QString, std::shared_ptr<const ScriptLines>> mCompiled;
};

} // namespace vardeko
