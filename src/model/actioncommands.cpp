// The 53 script commands: names, two-letter codes, categories, parameter counts.
#include "actioncommands.h"

namespace vardeko {

const std::array<ActionCommand, ActionCommandCount + 1> ActionCommands = {{
    {"", "", ' ', 0},
    {"AlertBox", "AB", 'B', 2},
    {"Balloon", "BA", 'B', 1},
    {"CloseWindow", "CW", 'B', 1},
    {"Delay", "DE", 'B', 1},
    {"DOSCommand", "DC", 'B', 2},
    {"Exit", "EX", 'B', 2},
    {"FileCopy", "FC", 'A', 2},
    {"FileDelLine", "FD", 'A', 2},
    {"FileErase", "FE", 'A', 1},
    {"FileInsLine", "FL", 'A', 2},
    {"FileRead", "FR", 'A', 3},
    {"FileLen", "FN", 'A', 2},
    {"FileWrite", "FW", 'A', 3},
    {"Find", "FI", 'B', 1},
    {"GotoPage", "GO", 'B', 1},
    {"GotoFirstPage", "GF", 'B', 0},
    {"GotoLastPage", "GL", 'B', 0},
    {"GotoPrevPage", "GP", 'B', 0},
    {"GotoNextPage", "GN", 'B', 0},
    {"GotoLine", "GE", 'A', 1},
    {"If", "IF", 'A', 3},
    {"ImageWindow", "IW", 'B', 4},
    {"InternetLink", "IL", 'B', 1},
    {"Math", "MA", 'A', 3},
    {"MCICommand", "MC", 'A', 1},
    {"Menu", "MN", 'B', 3},
    {"MenuEx", "ME", 'A', 4},
    {"MessageBox", "MB", 'A', 4},
    {"PlayCartoonFile", "PC", 'B', 8},
    {"PlayFlicFile", "PF", 'B', 7},
    {"PlaySoundFile", "PS", 'B', 2},
    {"PlayTone", "PT", 'B', 1},
    {"PlayVideoFile", "PV", 'B', 6},
    {"PopupImage", "PI", 'B', 6},
    {"PrintDataFile", "PD", 'A', 3},
    {"PrintImageFile", "PM", 'B', 2},
    {"PrintPage", "PP", 'B', 1},
    {"PrintTextFile", "PX", 'B', 3},
    {"Random", "RN", 'A', 2},
    {"ReturnToPage", "RP", 'B', 0},
    {"SearchStr", "SE", 'A', 3},
    {"SetFont", "SF", 'A', 3},
    {"SetVar", "SV", 'A', 2},
    {"SoundBuzzer", "SB", 'B', 0},
    {"StickyNote", "SN", 'B', 4},
    {"StopMedia", "SM", 'B', 1},
    {"StrDel", "SD", 'A', 4},
    {"StrIns", "SS", 'A', 4},
    {"StrLen", "SL", 'A', 2},
    {"SubStr", "SU", 'A', 4},
    {"SystemInfo", "SI", 'A', 2},
    {"TextWindow", "TW", 'B', 4},
    {"While", "WI", 'A', 3},
}};

namespace {

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// The word stands at `pos` of the upper-cased line and is not followed by a letter.
bool wordAt(const QString &upper, qsizetype pos, const char *word)
{
    qsizetype i = 0;
    for (; word[i]; ++i) {
        if (pos + i >= upper.size())
            return false;
        if (upper.at(pos + i) != QLatin1Char(word[i] >= 'a' && word[i] <= 'z' ? word[i] - 32 : word[i]))
            return false;
    }
    if (pos + i == upper.size())
        return true;
    const QChar next = upper.at(pos + i);
    return !(next >= QLatin1Char('A') && next <= QLatin1Char('Z'));
}

} // namespace

RecognizedCommand recognizeCommand(const QString &line)
{
    RecognizedCommand result;
    qsizetype start = 0;
    while (start < line.size() && isBlank(line.at(start)))
        ++start;
    if (start == line.size())
        return result;
    const QString upper = line.toUpper();
    for (int n = 1; n <= ActionCommandCount; ++n) {
        const ActionCommand &c = ActionCommands[size_t(n)];
        const char *matched = wordAt(upper, start, c.Name) ? c.Name
                              : wordAt(upper, start, c.Code) ? c.Code
                                                              : nullptr;
        if (matched) {
            result.number = n;
            result.word = QString::fromLatin1(matched);
            result.wordStart = int(start);
            return result;
        }
    }
    return result;
}

QStringList splitScriptLines(const QString &script)
{
    QStringList lines;
    bool quoted = false;
    qsizetype start = 0;
    for (qsizetype i = 0; i < script.size(); ++i) {
        const QChar c = script.at(i);
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (c == QLatin1Char('|') && !quoted) {
            lines.append(script.mid(start, i - start));
            start = i + 1;
        }
    }
    lines.append(script.mid(start));
    return lines;
}

QStringList scriptParameters(const QString &line)
{
    QStringList params;
    qsizetype open = -1;
    for (qsizetype i = 0; i < line.size() && params.size() < 8; ++i) {
        if (line.at(i) != QLatin1Char('"'))
            continue;
        if (open < 0) {
            open = i;
        } else {
            params.append(line.mid(open + 1, i - open - 1));
            open = -1;
        }
    }
    return params;
}

} // namespace vardeko
