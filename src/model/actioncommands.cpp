// The 53 script commands: names, two-letter codes, categories, parameter counts.
#include "actioncommands.h"

namespace vardeko {

const std::array<ActionCommand, ActionCommandCount + 1> ActionCommands = {{
    {"", "", ' ', 0, 0, 0, ""},
    {"AlertBox", "AB", 'B', 2, 0, 0, R"x("Title" "Message")x"},
    {"Balloon", "BA", 'B', 1, 0, 0, R"x("Message")x"},
    {"CloseWindow", "CW", 'B', 1, 0, 0, R"x("SMALL.PCX")x"},
    {"Delay", "DE", 'B', 1, 0, 0, R"x("2000")x"},
    {"DOSCommand", "DC", 'B', 2, 0, 0, R"x("C:\WINDOWS\NOTEPAD.EXE" "TEXTFILE.DOC")x"},
    {"Exit", "EX", 'B', 2, 0, 0, R"x("Bye", "Do you really want to quit?")x"},
    {"FileCopy", "FC", 'A', 2, 0, 0, R"x("SOURCEFILE.TXT" "DESTFILE.TXT")x"},
    {"FileDelLine", "FD", 'A', 2, 0, 0, R"x("DATAFILE.DAT" "10")x"},
    {"FileErase", "FE", 'A', 1, 0, 0, R"x("FILENAME.TXT")x"},
    {"FileInsLine", "FL", 'A', 2, 0, 0, R"x("DATAFILE.DAT" "10")x"},
    {"FileRead", "FR", 'A', 3, 3, 0, R"x("DATAFILE.DAT" "10" "[VarName]")x"},
    {"FileLen", "FN", 'A', 2, 2, 0, R"x("DATAFILE.DAT" "[VarName]")x"},
    {"FileWrite", "FW", 'A', 3, 0, 0, R"x("DATAFILE.DAT" "10" "Score = 100")x"},
    {"Find", "FI", 'B', 1, 0, 0, R"x("Page Title")x"},
    {"GotoPage", "GO", 'B', 1, 0, 0, R"x("Page Title")x"},
    {"GotoFirstPage", "GF", 'B', 0, 0, 0, R"x()x"},
    {"GotoLastPage", "GL", 'B', 0, 0, 0, R"x()x"},
    {"GotoPrevPage", "GP", 'B', 0, 0, 0, R"x()x"},
    {"GotoNextPage", "GN", 'B', 0, 0, 0, R"x()x"},
    {"GotoLine", "GE", 'A', 1, 0, 0, R"x("10")x"},
    {"If", "IF", 'A', 3, 0, 0, R"x("[VarName]" "=" "Checked")x"},
    {"ImageWindow", "IW", 'B', 4, 0, 0, R"x("Title" "10" "10" "C:\IMAGES\SMALL.PCX")x"},
    {"InternetLink", "IL", 'B', 1, 0, 0, R"x("http://www.example.com/")x"},
    {"Math", "MA", 'A', 3, 3, 1, R"x("((100 / [Age]) * 2)" "2" "[Result]")x"},
    {"MCICommand", "MC", 'A', 1, 0, 0, R"x("play C:\WINDOWS\CHIMES.WAV")x"},
    {"Menu", "MN", 'B', 3, 0, 0, R"x("-1" "-1" "Choice 1|Choice 2")x"},
    {"MenuEx", "ME", 'A', 4, 4, 0, R"x("-1" "-1" "Choice 1|Choice 2" "")x"},
    {"MessageBox", "MB", 'A', 4, 4, 0, R"x("Greetings", "How are you today?" "Good|Fair|Bad" "[Result]")x"},
    {"PlayCartoonFile", "PC", 'B', 8, 0, 0, R"x("10" "10" "600" "10" "C:\VIDEOS\SAMPLE.CAR" "10" "100" "Normal")x"},
    {"PlayFlicFile", "PF", 'B', 7, 0, 0, R"x("10" "10" "320" "200" "C:\VIDEOS\SALES.FLC" "1" "Normal")x"},
    {"PlaySoundFile", "PS", 'B', 2, 0, 0, R"x("C:\SOUND\FROGS.WAV" "LOOP")x"},
    {"PlayTone", "PT", 'B', 1, 0, 0, R"x("440")x"},
    {"PlayVideoFile", "PV", 'B', 6, 0, 0, R"x("10" "10" "200" "150" "C:\VIDEOS\PROMO.AVI" "Normal")x"},
    {"PopupImage", "PI", 'B', 6, 0, 0, R"x("10" "10" "C:\IMAGES\SMALL.PCX" "2000" "Dissolve" "0")x"},
    {"PrintDataFile", "PD", 'A', 3, 0, 0, R"x("Header" "Footer" "TEST.TXT")x"},
    {"PrintImageFile", "PM", 'B', 2, 0, 0, R"x("C:\IMAGES\SMALL.PCX" "300%")x"},
    {"PrintPage", "PP", 'B', 1, 0, 0, R"x("Contents")x"},
    {"PrintTextFile", "PX", 'B', 3, 0, 0, R"x("Header" "Footer" "C:\DOCS\BIO.TXT")x"},
    {"Random", "RN", 'A', 2, 2, 1, R"x("100" "[VarName]")x"},
    {"ReturnToPage", "RP", 'B', 0, 0, 0, R"x()x"},
    {"SearchStr", "SE", 'A', 3, 3, 0, R"x("nice" "Have a nice day." "[Result]")x"},
    {"SetFont", "SF", 'A', 3, 0, 0, R"x("Arial" "10" "Bold+Italic")x"},
    {"SetVar", "SV", 'A', 2, 1, 0, R"x("[VarName]" "Data")x"},
    {"SoundBuzzer", "SB", 'B', 0, 0, 0, R"x()x"},
    {"StickyNote", "SN", 'B', 4, 0, 0, R"x("10" "10" "Message" "0")x"},
    {"StopMedia", "SM", 'B', 1, 0, 0, R"x("FROGS.WAV")x"},
    {"StrDel", "SD", 'A', 4, 4, 0, R"x("[Source]" "1" "5" "[Result]")x"},
    {"StrIns", "SS", 'A', 4, 4, 0, R"x("[Source]" "[Dest]" "5" "[Result]")x"},
    {"StrLen", "SL", 'A', 2, 2, 0, R"x("Your name is [Name]" "[Result]")x"},
    {"SubStr", "SU", 'A', 4, 4, 0, R"x("[Source]" "1" "5" "[Result]")x"},
    {"SystemInfo", "SI", 'A', 2, 2, 0, R"x("ScreenWidth" "[VarName]")x"},
    {"TextWindow", "TW", 'B', 4, 0, 0, R"x("Title" "10" "10" "C:\DOCS\BIO.TXT")x"},
    {"While", "WI", 'A', 3, 0, 0, R"x("[VarName]" "<" "25")x"},
}};

const std::array<const char *, ActionCommandCount + 1> ActionDescriptions = {{
    "",
    "Display a dialog box containing a title, message and an OK button.",
    "Display a comic book-style speech balloon with a message.",
    "Close a window previously opened with ImageWindow or TextWindow.",
    "Pause for a specified number of milleseconds.",
    "Execute an external DOS or Windows application or command.",
    "Exit the publication with an optional confirming dialog box.",
    "Copy an external file.",
    "Delete a specific line from and external data file.",
    "Erase an external file.",
    "Insert a blank line into an external data file.",
    "Read data from a specific line number in an external file.",
    "Count the number of lines in an external data file.",
    "Write data to a specific line number in an external file.",
    "Display a text search dialog box. Searches may be limited to a group of pages, the current page or the entire publication.",
    "Go to a specific page.",
    "Go to the first page.",
    "Go to the last page.",
    "Go to the previous page.",
    "Go to the next page.",
    "Go to a specified line number or label in this action script and continue execution from that point.",
    "Change the flow of script execution based on the results of a comparison between two variables.",
    "Display an image file (PCX/BMP...) in a moveable window.",
    "Launch this computer's Internet Browser and go directly to a web page or ftp site. (requires internet account and software)",
    "Perform a mathematical calulation and store the results in a variable.",
    "Send a command to the Windows Media Control Interface (MCI). Provides high-level access to various multimedia devices.",
    "Display a popup menu and execute the script command that corresponds to the selected option.",
    "Display a popup menu and store the selected option as a number (1 for first, 2 for second... or zero for none) in a variable.",
    "Display a custom message box and store the selected option as a number (1 for first, 2 for second... or zero for none) in a variable.",
    "Play a Vardeko Cartoon animation (CAR) file.",
    "Play a Flic animation (FLI/FLC) file.",
    "Play an audio (WAV) or music (MDI/SNG) sound file.",
    "Play a tone (specified in Hertz) on the internal PC speaker.",
    "Play a video or animation file (AVI/MOV/MPG) file.",
    "Display an image file (PCX/BMP...) with an optional effect and wait for a mouse click, key press or a specified number of milliseconds",
    "Print an external ASCII data file (usually created with WriteFile).",
    "Print an image (PCX/BMP...) file.",
    "Print a specific page from this publication.",
    "Print an ASCII text file.",
    "Generate a random number and store the result in a variable.",
    "Return to the last page viewed by the reader.",
    "Search for a substring within a text string and store the position of the first character of substring (or zero if not found) in a variable.",
    "Set the font used for printing and displaying text files. Use with the PrintTextFile and TextWindow commands.",
    "Set an author defined variable to a value.",
    "Play an error type tone on the internal PC speaker.",
    "Display a yellow sticky note with a message.",
    "Stop individual or all currently playing media (sound, video or animation) files.",
    "Remove characters from a string and store the results in a variable.",
    "Insert a string into another string and store the results in a variable.",
    "Calculate the length of a text string and store the results in a variable.",
    "Copy a portion of a text string and place the results in a variable.",
    "Obtain information about this computer and store the results in a variable.",
    "Display a text file in a moveable window.",
    "Repeat a series of actions until a specified condition is met.",
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
