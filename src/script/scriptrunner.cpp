// Runs action scripts line by line on behalf of one publication window.
#include "scriptrunner.h"

#include "commandcall.h"

#include "filenames.h"
#include "ioerrors.h"
#include "mathevaluator.h"
#include "scriptfiles.h"
#include "scriptmessages.h"
#include "stringcommands.h"

#include <QDateTime>

#include <array>
#include <cmath>
#include <cstdlib>

namespace vardeko {

namespace {

constexpr int MaxCompiledScripts = 512;
constexpr char MsgNestedTooDeep[] = "Scripts call each other too deeply!";

} // namespace

ScriptRunner::ScriptRunner(RunHost &host, VariableStore &store)
    : mHost(host), mStore(store)
{
    mEventClock.start();
}

std::shared_ptr<const ScriptLines> ScriptRunner::compile(const QString &script)
{
    const auto it = mCompiled.constFind(script);
    if (it != mCompiled.constEnd())
        return it.value();
    if (mCompiled.size() >= MaxCompiledScripts)
        mCompiled.clear(); // runs in progress keep their own reference
    auto lines = std::make_shared<const ScriptLines>(script);
    mCompiled.insert(script, lines);
    return lines;
}

void ScriptRunner::ExecuteScript(const QString &script)
{
    if (RunDepth == 0) {
        StopRequested = false;
        mHost.clearRecordedLines();
        mLocale = QLocale::system();
    }
    if (RunDepth >= MaxRunDepth) {
        ScriptError(QLatin1String(MsgNestedTooDeep));
        return;
    }
    const std::shared_ptr<const ScriptLines> lines = compile(script);
    ScriptState state;
    mHost.scriptStarting();
    ++RunDepth;
    while (!StopRequested) {
        // Reading the clock costs more than a simple line, so it is read every 32 lines.
        // (hasExpired() counts whole milliseconds and waits for one more.)
        if (mEventInterval <= 0
            || ((++mLinesSinceClock & 31) == 0 && mEventClock.nsecsElapsed() >= mEventInterval * qint64(1000000))) {
            // Passes start every interval, however long the last one took: a click
            // waits for the next start, not for a whole interval after a slow pass.
            mEventClock.restart();
            mHost.noteActivity();
            mHost.processPendingEvents();
            if (StopRequested || RunDepth == 0)
                break;
        }
        ++state.LineNo;
        state.CurrentLine = lines->line(state.LineNo);
        if (state.SkipLines > 0) {
            state.LineNo += state.SkipLines;
            state.SkipLines = 0;
        }
        if (state.CurrentLine)
            handleLine(state, *lines);
        if (!state.CurrentLine || RunDepth == 0 || StopRequested)
            break;
    }
    if (RunDepth > 0)
        --RunDepth;
    mHost.scriptEnded();
}

void ScriptRunner::handleLine(ScriptState &state, const ScriptLines &lines)
{
    const ScriptLine &line = *state.CurrentLine;
    switch (line.kind) {
    case ScriptLineKind::Command:
        if (state.SkipIf || state.IfSkipDepth > 0) {
            if (line.command == CmdIf)
                ++state.IfSkipDepth;
        } else if (state.SkipWhile) {
            if (line.command == CmdWhile)
                ++state.WhileSkipDepth;
        } else if (state.WhileSkipDepth == 0) {
            runCommand(state, lines, line);
        }
        break;
    case ScriptLineKind::Label:
        break;
    case ScriptLineKind::Else:
        if (state.IfSkipDepth == 0) {
            if (state.SkipIf)
                state.SkipIf = false;
            else
                state.IfSkipDepth = 1;
        }
        break;
    case ScriptLineKind::EndIf:
        if (state.IfSkipDepth > 0)
            --state.IfSkipDepth;
        else
            state.SkipIf = false;
        break;
    case ScriptLineKind::EndWhile:
        if (state.SkipIf || state.IfSkipDepth > 0)
            break;
        if (state.WhileSkipDepth > 0) {
            --state.WhileSkipDepth;
        } else if (state.SkipWhile) {
            state.SkipWhile = false;
        } else if (const int w = lines.matchingWhile(int(state.LineNo)); w > 0) {
            state.LineNo = w - 1; // the While runs again and tests its condition
        }
        break;
    case ScriptLineKind::Error:
        // Reported even inside a skipped branch.
        if (mHost.isRecordingLines())
            mHost.recordLine(RunDepth, line.text);
        ScriptError(unknownCommandMessage(line.text));
        break;
    }
}

void ScriptRunner::runCommand(ScriptState &state, const ScriptLines &lines, const ScriptLine &line)
{
    if (mHost.isRecordingLines())
        mHost.recordLine(RunDepth, line.text);
    const ActionCommand &def = ActionCommands[size_t(line.command)];
    if (def.ParamCount > 0 && line.params.size() != def.ParamCount) {
        ScriptError(parameterCountMessage(line));
        return;
    }
    // Loops spend their time here: numeric conditions and Math on plain numbers skip
    // the text round trip, with the same results.
    if ((line.conditionOp >= 0 && fastCondition(state, line)) || (line.math && fastMath(line)))
        return;
    CommandCall call{*this, state, lines, line, {}};
    if (def.ParamCount > 0) {
        for (int i = 0; i < def.ParamCount; ++i) {
            const QString &param = line.params.at(i);
            // The output parameter names a variable and is never expanded.
            if (!(line.bracketMask & (1u << i)) || i + 1 == def.OutParam) {
                call.p[size_t(i)] = param;
                continue;
            }
            const bool numeric = i + 1 == def.NumericParam;
            if (line.wholeRefMask & (1u << i)) {
                // The same result as ExpandReferences for a lone reference to a variable
                // whose value holds no bracket (which the final reduction would change).
                const VariableStore::Entry *e = mStore.findCached(line.refNames.at(i), line.paramCache[size_t(i)]);
                if (e && !e->value.contains(u'[') && !e->value.contains(u']')) {
                    call.p[size_t(i)] = e->value;
                    continue;
                }
            }
            bool tooLong = false;
            call.p[size_t(i)] = ExpandReferences(param, numeric, QDateTime(), mStore, &mHost, &tooLong);
            if (tooLong) {
                ScriptError(ioErrorMessage(IoOutOfMemory));
                return;
            }
        }
    }
    ScriptCommands[size_t(line.command)].Handler(call);
}

bool ScriptRunner::conditionSide(const ScriptLine &line, int i, double *value) const
{
    if (line.constNumberMask & (1u << i)) {
        *value = line.constNumbers[i];
        return true;
    }
    if (!(line.wholeRefMask & (1u << i)))
        return false;
    const VariableStore::Entry *e = mStore.findCached(line.refNames.at(i), line.paramCache[size_t(i)]);
    return e && VariableStore::decimalNumber(*e, value);
}

bool ScriptRunner::fastCondition(ScriptState &state, const ScriptLine &line) const
{
    const ConditionOp op = ConditionOp(line.conditionOp);
    if (op != ConditionOp::Less && op != ConditionOp::Greater && op != ConditionOp::LessEqual
        && op != ConditionOp::GreaterEqual)
        return false;
    double x, y;
    if (!conditionSide(line, 0, &x) || !conditionSide(line, 2, &y))
        return false;
    const bool result = op == ConditionOp::Less      ? x < y
                        : op == ConditionOp::Greater ? x > y
                        : op == ConditionOp::LessEqual ? x <= y
                                                       : x >= y;
    if (!result) {
        if (line.command == CmdIf)
            state.SkipIf = true;
        else
            state.SkipWhile = true;
    }
    return true;
}

bool ScriptRunner::fastMath(const ScriptLine &line)
{
    const QStringList &refs = line.math->references();
    long double values[16];
    if (refs.size() > 16 || (line.bracketMask & 2u))
        return false;
    for (qsizetype i = 0; i < refs.size(); ++i) {
        const VariableStore::Entry *e = mStore.findCached(refs.at(i), line.mathCache[size_t(i)]);
        if (!e || !VariableStore::plainNumber(*e, &values[i]))
            return false;
    }
    const MathResult r = line.math->evaluate(values);
    const int decimals = integerValue(line.params.at(1));
    if (r.ok() && decimals <= 0 && r.value == std::trunc(r.value) && std::fabs(r.value) < 1e15L) {
        // A whole number is written as QString::number writes it; keep its readings.
        const qint64 whole = qint64(r.value);
        mStore.setCached(line.outName, line.outCache, QString::number(whole), &whole);
        return true;
    }
    mStore.setCached(line.outName, line.outCache,
                     r.ok() ? formatMathResult(r.value, decimals, mLocale) : QStringLiteral("Error"));
    return true;
}

void ScriptRunner::ScriptError(const QString &text)
{
    mHost.showAlert(QLatin1String(MsgDebugTitle), text);
    StopRequested = true;
}

void ScriptRunner::ShowFileError(int code)
{
    mHost.showAlert(QLatin1String(MsgAppTitle), ioErrorMessage(code));
}

} // namespace vardeko
