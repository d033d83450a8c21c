// The 53 script commands: names, codes, categories, parameters, examples, descriptions.
#pragma once

#include <QString>
#include <QStringList>

#include <array>

namespace vardeko {

inline constexpr int ActionCommandCount = 53;

struct ActionCommand
{
    const char *Name;  // the command word as written in scripts
    const char *Code;  // two-letter alternative word
    char Category;     // 'B' basic, 'A' advanced
    int ParamCount;    // exactly this many quoted parameters (0..8)
    int OutParam;      // 1-based parameter naming the result variable; 0 when none
    int NumericParam;  // 1-based parameter expanded with unknown names as "0"; 0 when none
    const char *Example; // example parameters the parameter-count message shows
};

// Indexed 1..53 by command number; entry 0 is empty.
extern const std::array<ActionCommand, ActionCommandCount + 1> ActionCommands;

// The one-line description the palette and parameter dialog show, indexed 0..53
// (entry 0 empty). The spelling is the texts' own.
extern const std::array<const char *, ActionCommandCount + 1> ActionDescriptions;

// Command numbers, as the table indexes them.
enum ActionCommandNumber {
    CmdAlertBox = 1, CmdBalloon = 2, CmdCloseWindow = 3, CmdDelay = 4,
    CmdDOSCommand = 5, CmdExit = 6, CmdFileCopy = 7, CmdFileDelLine = 8,
    CmdFileErase = 9, CmdFileInsLine = 10, CmdFileRead = 11, CmdFileLen = 12,
    CmdFileWrite = 13, CmdFind = 14, CmdGotoPage = 15, CmdGotoFirstPage = 16,
    CmdGotoLastPage = 17, CmdGotoPrevPage = 18, CmdGotoNextPage = 19, CmdGotoLine = 20,
    CmdIf = 21, CmdImageWindow = 22, CmdInternetLink = 23, CmdMath = 24,
    CmdMCICommand = 25, CmdMenu = 26, CmdMenuEx = 27, CmdMessageBox = 28,
    CmdPlayCartoonFile = 29, CmdPlayFlicFile = 30, CmdPlaySoundFile = 31, CmdPlayTone = 32,
    CmdPlayVideoFile = 33, CmdPopupImage = 34, CmdPrintDataFile = 35, CmdPrintImageFile = 36,
    CmdPrintPage = 37, CmdPrintTextFile = 38, CmdRandom = 39, CmdReturnToPage = 40,
    CmdSearchStr = 41, CmdSetFont = 42, CmdSetVar = 43, CmdSoundBuzzer = 44,
    CmdStickyNote = 45, CmdStopMedia = 46, CmdStrDel = 47, CmdStrIns = 48,
    CmdStrLen = 49, CmdSubStr = 50, CmdSystemInfo = 51, CmdTextWindow = 52,
    CmdWhile = 53,
};

struct RecognizedCommand
{
    int number = 0;        // 0: not a command
    QString word;          // the matched word in the table's spelling
    int wordStart = 0;     // position of the word in the line as given
};

// A line is a command when, upper-cased and without leading blanks, it starts with a
// command's name or code that is not followed by a letter A..Z. Names are tried
// before codes, in command-number order.
RecognizedCommand recognizeCommand(const QString &line);

// Cuts a script at every "|" outside double quotes.
QStringList splitScriptLines(const QString &script);
inline QString joinScriptLines(const QStringList &lines) { return lines.join(QLatin1Char('|')); }

// The i-th parameter is the text between the (2i-1)-th and (2i)-th double quote;
// at most eight are taken. A final unmatched quote makes no parameter.
QStringList scriptParameters(const QString &line);

} // namespace vardeko
