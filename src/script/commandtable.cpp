// The one table of script commands: each command's new-line template, file choice and work.
#include "commandtable.h"

#include "commandcall.h"
#include "mathevaluator.h"
#include "scriptmessages.h"
#include "pageeffects.h"
#include "stringcommands.h"

#include <cmath>
#include <cstdlib>

namespace vardeko {

namespace {

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
    if (!c.host().popupImage(c.num(0), c.num(1), c.p[2], c.num(3), effectByName(c.p[4]), c.num(5)))
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

} // namespace

constexpr std::array<ScriptCommand, ActionCommandCount + 1> ScriptCommands = {{
    {0, "", {}, nullptr},
    {CmdAlertBox, R"("" "")", {}, cmdAlertBox},
    {CmdBalloon, R"("")", {}, cmdBalloon},
    {CmdCloseWindow, R"("")", {}, cmdCloseWindow},
    {CmdDelay, R"("2000")", {}, cmdDelay},
    {CmdDOSCommand, R"("" "")", {FileKind::Programs, "Select a DOS Command or Windows Application", "Programs|*.EXE;*.COM;*.PIF;*.LNK;*.BAT", 1}, cmdDOSCommand},
    {CmdExit, R"("" "")", {}, cmdExit},
    {CmdFileCopy, R"("" "")", {}, cmdFileCopy},
    {CmdFileDelLine, R"("" "1")", {}, cmdFileDelLine},
    {CmdFileErase, R"("")", {}, cmdFileErase},
    {CmdFileInsLine, R"("" "1")", {}, cmdFileInsLine},
    {CmdFileRead, R"("" "1" "")", {}, cmdFileRead},
    {CmdFileLen, R"("" "")", {}, cmdFileLen},
    {CmdFileWrite, R"("" "1" "")", {}, cmdFileWrite},
    {CmdFind, R"("All")", {}, cmdFind},
    {CmdGotoPage, R"("")", {}, cmdGotoPage},
    {CmdGotoFirstPage, R"()", {}, cmdGotoFirstPage},
    {CmdGotoLastPage, R"()", {}, cmdGotoLastPage},
    {CmdGotoPrevPage, R"()", {}, cmdGotoPrevPage},
    {CmdGotoNextPage, R"()", {}, cmdGotoNextPage},
    {CmdGotoLine, R"("1")", {}, cmdGotoLine},
    {CmdIf, R"("" "=" "")", {}, cmdIf},
    {CmdImageWindow, R"("" "-1" "-1" "")", {FileKind::Images, "Select an Image File", "Images|*.BMP;*.GIF;*.PCX;*.PNG;*.JPG;*.TIF;*.ICO;*.WMF", 4}, cmdImageWindow},
    {CmdInternetLink, R"("http://www.")", {}, cmdInternetLink},
    {CmdMath, R"("" "2" "")", {}, cmdMath},
    {CmdMCICommand, R"("")", {}, cmdMCICommand},
    {CmdMenu, R"("-1" "-1" "")", {}, cmdMenu},
    {CmdMenuEx, R"("-1" "-1" "" "")", {}, cmdMenuEx},
    {CmdMessageBox, R"("" "" "" "")", {}, cmdMessageBox},
    {CmdPlayCartoonFile, R"("-1" "-1" "-1" "-1" "" "10" "100" "Normal")", {FileKind::Animations, "Select a Cartoon File", "Cartoons|*.CAR", 5}, cmdPlayCartoonFile},
    {CmdPlayFlicFile, R"("-1" "-1" "-1" "-1" "" "1" "Normal")", {FileKind::Animations, "Select a Flic Animation File", "Flics|*.FLI;*.FLC", 5}, cmdPlayFlicFile},
    {CmdPlaySoundFile, R"("" "NORMAL")", {FileKind::Sounds, "Select a Sound or Music File", "Audio|*.WAV;*.MID;*.RMI", 1}, cmdPlaySoundFile},
    {CmdPlayTone, R"("440")", {}, cmdPlayTone},
    {CmdPlayVideoFile, R"("-1" "-1" "-1" "-1" "" "Normal")", {FileKind::Animations, "Select a Video or Animation File", "Video|*.AVI;*.MOV;*.MPG", 5}, cmdPlayVideoFile},
    {CmdPopupImage, R"("-1" "-1" "" "0" "None" "0")", {FileKind::Images, "Select an Image File", "Images|*.BMP;*.GIF;*.PCX;*.PNG;*.JPG;*.TIF;*.ICO;*.WMF", 3}, cmdPopupImage},
    {CmdPrintDataFile, R"("" "Page &p" "")", {}, cmdPrintDataFile},
    {CmdPrintImageFile, R"("" "300%")", {FileKind::Images, "Select an Image File", "Images|*.BMP;*.GIF;*.PCX;*.PNG;*.JPG;*.TIF;*.ICO;*.WMF", 1}, cmdPrintImageFile},
    {CmdPrintPage, R"("")", {}, cmdPrintPage},
    {CmdPrintTextFile, R"("" "Page &p" "")", {FileKind::Texts, "Select an Article/Text File", "Text|*.TXT;*.DOC", 3}, cmdPrintTextFile},
    {CmdRandom, R"("100" "")", {}, cmdRandom},
    {CmdReturnToPage, R"()", {}, cmdReturnToPage},
    {CmdSearchStr, R"("" "" "")", {}, cmdSearchStr},
    {CmdSetFont, R"("Arial" "9" "Normal")", {}, cmdSetFont},
    {CmdSetVar, R"("" "")", {}, cmdSetVar},
    {CmdSoundBuzzer, R"()", {}, cmdSoundBuzzer},
    {CmdStickyNote, R"("-1" "-1" "" "0")", {}, cmdStickyNote},
    {CmdStopMedia, R"("")", {}, cmdStopMedia},
    {CmdStrDel, R"("" "1" "1" "")", {}, cmdStrDel},
    {CmdStrIns, R"("" "" "1" "")", {}, cmdStrIns},
    {CmdStrLen, R"("" "")", {}, cmdStrLen},
    {CmdSubStr, R"("" "1" "10" "")", {}, cmdSubStr},
    {CmdSystemInfo, R"("" "")", {}, cmdSystemInfo},
    {CmdTextWindow, R"("" "-1" "-1" "")", {FileKind::Texts, "Select an Article/Text File", "Text|*.TXT;*.DOC", 4}, cmdTextWindow},
    {CmdWhile, R"("" "=" "")", {}, cmdWhile},
}};

namespace {

constexpr bool rowsInCommandOrder()
{
    for (size_t i = 0; i < ScriptCommands.size(); ++i) {
        if (ScriptCommands[i].Number != int(i) || (i > 0 && !ScriptCommands[i].Handler))
            return false;
    }
    return true;
}
// A row out of place would hand a line to another command's work.
static_assert(rowsInCommandOrder(), "each row must stand at its command number");

} // namespace

QString buildCommandLine(int number, const QStringList &params)
{
    QString line = commandName(number);
    for (const QString &p : params)
        line += QLatin1String(" \"") + p + u'"';
    return line;
}

QString defaultCommandLine(int number, const QString &file)
{
    const ScriptCommand &c = scriptCommand(number);
    QStringList params = scriptParameters(QString::fromLatin1(c.Template));
    if (c.File.Param > 0 && c.File.Param <= params.size())
        params[c.File.Param - 1] = file;
    return buildCommandLine(number, params);
}

} // namespace vardeko
