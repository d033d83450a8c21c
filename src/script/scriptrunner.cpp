// Runs action scripts line by line on behalf of one publication window.
#include "scriptrunner.h"

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

QString lineBreaks(QString text)
{
    text.replace(u'|', u'\r');
    return text;
}

QString directoryOf(const QString &name)
{
    for (qsizetype i = name.size() - 1; i >= 0; --i) {
        if (name.at(i) == u'\\' || name.at(i) == u'/' || name.at(i) == u':')
            return name.left(i + 1);
    }
    return QString();
}

} // namespace

// One command about to run: its line, its expanded parameters and where results go.
struct CommandCall
{
    ScriptRunner &runner;
    ScriptState &state;
    const ScriptLines &lines;
    const ScriptLine &line;
    std::array<QString, 8> p;

    RunHost &host() const { return runner.mHost; }
    const QLocale &locale() const { return runner.mLocale; }
    int num(int i) const { return integerValue(p[size_t(i)]); }
    void store(const QString &value) const
    {
        if (value.size() > MaxValueLength)
            runner.ScriptError(ioErrorMessage(IoOutOfMemory));
        else
            runner.mStore.setCached(line.outName, line.outCache, value);
    }
    QString file(int i) const
    {
        return scriptFileTarget(completeScriptFileName(p[size_t(i)], runner.mHost.programDirectory()));
    }
};

namespace {

using Handler = void (*)(CommandCall &);

void cmdAlertBox(CommandCall &c) { c.host().alertBox(c.p[0], c.p[1]); }
void cmdBalloon(CommandCall &c) { c.host().balloon(lineBreaks(c.p[0])); }
void cmdCloseWindow(CommandCall &c) { c.host().closeWindow(c.p[0]); }
void cmdDelay(CommandCall &c) { c.host().delay(std::abs(c.num(0))); }
void cmdDOSCommand(CommandCall &c) { c.host().runProgram(c.p[0].trimmed(), c.p[1].trimmed()); }

void cmdExit(CommandCall &c)
{
    if ((c.p[0].isEmpty() && c.p[1].isEmpty()) || c.host().confirmExit(c.p[0], c.p[1]))
        c.host().leaveRunMode();
}

void cmdFileCopy(CommandCall &c)
{
    const QString programDir = c.host().programDirectory();
    const QString source = completeScriptFileName(c.p[0], programDir);
    QString dest = c.p[1];
    if (dest.isEmpty() || dest.endsWith(u'\\') || dest.endsWith(u'/'))
        dest += bareFileName(source);
    if (!hasDirectoryPart(dest))
        dest = directoryOf(source) + dest;
    if (dest == source)
        return;
    if (const int code = CopyFile(scriptFileTarget(source), scriptFileTarget(dest)))
        c.runner.ShowFileError(code);
}

void cmdFileDelLine(CommandCall &c)
{
    if (const int code = EditFileLine(c.file(0), c.num(1), QString(), LineEdit::Delete))
        c.runner.ShowFileError(code);
}

void cmdFileErase(CommandCall &c)
{
    if (const int code = EraseFile(c.file(0)))
        c.runner.ShowFileError(code);
}

void cmdFileInsLine(CommandCall &c)
{
    if (const int code = EditFileLine(c.file(0), c.num(1), QString(), LineEdit::Insert))
        c.runner.ShowFileError(code);
}

void cmdFileRead(CommandCall &c) { c.store(ReadFileLine(c.file(0), c.num(1))); }

void cmdFileLen(CommandCall &c)
{
    // The name as given: relative to the current directory, not the program's.
    const QString found = locateFile(c.p[0]);
    c.store(QString::number(fileLineCount(found)));
}

void cmdFileWrite(CommandCall &c)
{
    if (const int code = EditFileLine(c.file(0), c.num(1), c.p[2], LineEdit::Write))
        c.runner.ShowFileError(code);
}

void cmdFind(CommandCall &c) { c.host().find(c.p[0]); }

void cmdGotoPage(CommandCall &c)
{
    if (!c.host().gotoPage(c.p[0]))
        c.runner.ScriptError(u'"' + c.p[0] + QLatin1String("\"\r\r") + QLatin1String(MsgPageMissing));
}

void cmdGotoFirstPage(CommandCall &c) { c.host().movePage(PageMove::First); }
void cmdGotoLastPage(CommandCall &c) { c.host().movePage(PageMove::Last); }
void cmdGotoPrevPage(CommandCall &c) { c.host().movePage(PageMove::Previous); }
void cmdGotoNextPage(CommandCall &c) { c.host().movePage(PageMove::Next); }
void cmdReturnToPage(CommandCall &c) { c.host().movePage(PageMove::Return); }

void cmdGotoLine(CommandCall &c)
{
    const GotoTarget t = gotoTarget(c.p[0]);
    if (t.isNumber) {
        // Below 1 or past the last line the script ends.
        c.state.LineNo = t.number >= 1 && t.number <= c.lines.count() ? t.number - 1 : c.lines.count();
        return;
    }
    const int found = c.lines.findLabel(int(c.state.LineNo), t.label);
    if (found > 0)
        c.state.LineNo = found - 1;
    else
        c.runner.ScriptError(QLatin1String(MsgCannotFind) + u'"' + t.label + QLatin1String("\"\r\r")
                             + QLatin1String(MsgLabelMissing));
}

bool condition(const CommandCall &c)
{
    return c.line.conditionOp >= 0 ? evaluateCondition(c.p[0], ConditionOp(c.line.conditionOp), c.p[2])
                                   : evaluateCondition(c.p[0], c.p[1], c.p[2]);
}

void cmdIf(CommandCall &c)
{
    if (!condition(c))
        c.state.SkipIf = true;
}

void cmdWhile(CommandCall &c)
{
    if (!condition(c))
        c.state.SkipWhile = true;
}

void cmdImageWindow(CommandCall &c) { c.host().imageWindow(c.p[0], c.num(1), c.num(2), c.p[3]); }
void cmdTextWindow(CommandCall &c) { c.host().textWindow(c.p[0], c.num(1), c.num(2), c.p[3]); }
void cmdInternetLink(CommandCall &c) { c.host().internetLink(c.p[0]); }
void cmdMath(CommandCall &c) { c.store(EvaluateMath(c.p[0], c.num(1), c.locale())); }

void cmdMCICommand(CommandCall &c)
{
    const int code = c.host().mciCommand(c.p[0]);
    c.runner.variables().setNormalized(QStringLiteral("MCIRESULT"), QString::number(code));
}

void cmdMenu(CommandCall &c)
{
    // The n lines after the Menu are its choices: choosing k runs line M+k only, then
    // the script goes on at M+n+1.
    const QStringList items = c.p[2].split(u'|');
    const int n = int(items.size());
    const int k = c.host().popupMenu(c.num(0), c.num(1), items, false);
    if (k >= 1 && k <= n) {
        c.state.LineNo += k - 1;
        c.state.SkipLines = n - k;
    } else {
        c.state.LineNo += n;
    }
}

void cmdMenuEx(CommandCall &c)
{
    const QStringList items = c.p[2].split(u'|');
    const int k = c.host().popupMenu(c.num(0), c.num(1), items, true);
    c.store(QString::number(k >= 1 && k <= items.size() ? k : 0));
}

void cmdMessageBox(CommandCall &c)
{
    const QStringList buttons = c.p[2].split(u'|');
    const int k = c.host().messageBox(c.p[0], c.p[1], buttons);
    c.store(QString::number(k >= 1 && k <= buttons.size() ? k : 0));
}

void cmdPlayCartoonFile(CommandCall &c)
{
    c.host().playCartoonFile(c.num(0), c.num(1), c.num(2), c.num(3), c.p[4], c.num(5), c.num(6),
                             playMode(c.p[7]));
}

void cmdPlayFlicFile(CommandCall &c)
{
    c.host().playFlicFile(c.num(0), c.num(1), c.num(2), c.num(3), c.p[4], c.num(5), playMode(c.p[6]));
}

void cmdPlaySoundFile(CommandCall &c) { c.host().playSoundFile(c.p[0], playMode(c.p[1])); }

void cmdPlayTone(CommandCall &c)
{
    const qint64 hz = std::abs(qint64(c.num(0))) % 65536;
    c.host().playTone(int(qMin<qint64>(hz, 32767)));
}

void cmdPlayVideoFile(CommandCall &c)
{
    c.host().playVideoFile(c.num(0), c.num(1), c.num(2), c.num(3), c.p[4], playMode(c.p[5]));
}

void cmdPopupImage(CommandCall &c)
{
    if (!c.host().popupImage(c.num(0), c.num(1), c.p[2], c.num(3), effectNumber(c.p[4]), c.num(5)))
        c.runner.ScriptError(u'"' + c.p[2] + QLatin1String("\"\r\r") + QLatin1String(MsgImageMissing));
}

void cmdPrintDataFile(CommandCall &c) { c.host().printTextFile(c.p[0], c.p[1], c.p[2], true); }
void cmdPrintTextFile(CommandCall &c) { c.host().printTextFile(c.p[0], c.p[1], c.p[2], false); }

void cmdPrintImageFile(CommandCall &c)
{
    QString digits;
    for (const QChar ch : c.p[1]) {
        if (ch >= u'0' && ch <= u'9')
            digits += ch;
    }
    c.host().printImageFile(c.p[0], qMax(5, integerValue(digits)));
}

void cmdPrintPage(CommandCall &c) { c.host().printPage(c.p[0]); }
void cmdRandom(CommandCall &c) { c.store(randomValue(c.num(0))); }
void cmdSearchStr(CommandCall &c) { c.store(searchStr(c.p[0], c.p[1])); }
void cmdSetFont(CommandCall &c) { c.host().setFont(c.p[0], c.num(1), fontStyle(c.p[2])); }
void cmdSetVar(CommandCall &c) { c.store(c.p[1]); }
void cmdSoundBuzzer(CommandCall &c) { c.host().playTone(100); }

void cmdStickyNote(CommandCall &c)
{
    c.host().stickyNote(c.num(0), c.num(1), lineBreaks(c.p[2]), c.num(3));
}

void cmdStopMedia(CommandCall &c) { c.host().stopMedia(c.p[0]); }
void cmdStrDel(CommandCall &c) { c.store(strDel(c.p[0], c.num(1), c.num(2))); }
void cmdStrIns(CommandCall &c) { c.store(strIns(c.p[0], c.p[1], c.num(2))); }
void cmdStrLen(CommandCall &c) { c.store(strLen(c.p[0])); }
void cmdSubStr(CommandCall &c) { c.store(subStr(c.p[0], c.num(1), c.num(2))); }
void cmdSystemInfo(CommandCall &c) { c.store(SystemInfoValue(c.p[0], c.host())); }

// In command-number order, so that the table's index is the dispatch index.
const std::array<Handler, ActionCommandCount + 1> Handlers = {
    nullptr,           cmdAlertBox,      cmdBalloon,       cmdCloseWindow,    cmdDelay,
    cmdDOSCommand,     cmdExit,          cmdFileCopy,      cmdFileDelLine,    cmdFileErase,
    cmdFileInsLine,    cmdFileRead,      cmdFileLen,       cmdFileWrite,      cmdFind,
    cmdGotoPage,       cmdGotoFirstPage, cmdGotoLastPage,  cmdGotoPrevPage,   cmdGotoNextPage,
    cmdGotoLine,       cmdIf,            cmdImageWindow,   cmdInternetLink,   cmdMath,
    cmdMCICommand,     cmdMenu,          cmdMenuEx,        cmdMessageBox,     cmdPlayCartoonFile,
    cmdPlayFlicFile,   cmdPlaySoundFile, cmdPlayTone,      cmdPlayVideoFile,  cmdPopupImage,
    cmdPrintDataFile,  cmdPrintImageFile, cmdPrintPage,    cmdPrintTextFile,  cmdRandom,
    cmdReturnToPage,   cmdSearchStr,     cmdSetFont,       cmdSetVar,         cmdSoundBuzzer,
    cmdStickyNote,     cmdStopMedia,     cmdStrDel,        cmdStrIns,         cmdStrLen,
    cmdSubStr,         cmdSystemInfo,    cmdTextWindow,    cmdWhile,
};

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
        if (mEventInterval <= 0
            || ((++mLinesSinceClock & 31) == 0 && mEventClock.hasExpired(mEventInterval))) {
            mHost.noteActivity();
            mHost.processPendingEvents();
            mEventClock.restart();
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
}

void ScriptRunner::handleLine(ScriptState &state, const ScriptLines &lines)
{
    const ScriptLine &line = *state.CurrentLine;
    switch (line.kind) {
    case LineKind::Command:
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
    case LineKind::Label:
        break;
    case LineKind::Else:
        if (state.IfSkipDepth == 0) {
            if (state.SkipIf)
                state.SkipIf = false;
            else
                state.IfSkipDepth = 1;
        }
        break;
    case LineKind::EndIf:
        if (state.IfSkipDepth > 0)
            --state.IfSkipDepth;
        else
            state.SkipIf = false;
        break;
    case LineKind::EndWhile:
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
    case LineKind::Error:
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
    Handlers[size_t(line.command)](call);
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
