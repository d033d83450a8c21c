// Which script commands name files, and which parameter holds the name.
#include "filecommands.h"

#include "actioncommands.h"

namespace vardeko {

namespace {

constexpr FileCommandRule kFileCommands[] = {
    {CmdCloseWindow, 1, 1, true},      {CmdDOSCommand, 0, 0, false},
    {CmdFileDelLine, 2, 1, false},     {CmdFileInsLine, 2, 1, false},
    {CmdFileRead, 3, 1, false},        {CmdFileWrite, 3, 1, false},
    {CmdImageWindow, 4, 4, true},      {CmdTextWindow, 4, 4, true},
    {CmdPlayCartoonFile, 8, 5, true},  {CmdPlayFlicFile, 7, 5, true},
    {CmdPlaySoundFile, 2, 1, true},    {CmdPlayVideoFile, 6, 5, true},
    {CmdPopupImage, 6, 3, true},       {CmdPrintDataFile, 3, 3, false},
    {CmdPrintImageFile, 2, 1, true},   {CmdPrintTextFile, 3, 3, true},
    {CmdStopMedia, 1, 1, true},
};

} // namespace

const FileCommandRule *fileCommandRule(int command)
{
    for (const FileCommandRule &r : kFileCommands)
        if (r.command == command)
            return &r;
    return nullptr;
}

bool fileParamNamesFile(int command, const QString &value)
{
    if (command == CmdCloseWindow)
        return !value.isEmpty();
    if (command == CmdStopMedia)
        return !value.isEmpty() && value.compare(QLatin1String("SOUND"), Qt::CaseInsensitive) != 0
               && value.compare(QLatin1String("VIDEO"), Qt::CaseInsensitive) != 0;
    return true;
}

QString mapScriptFileNames(const QString &script,
                           const std::function<QString(int command, const QString &name)> &map)
{
    if (script.isEmpty())
        return script;
    QStringList lines = splitScriptLines(script);
    for (QString &line : lines) {
        const RecognizedCommand rec = recognizeCommand(line);
        const FileCommandRule *rule = rec.number ? fileCommandRule(rec.number) : nullptr;
        if (!rule || rule->fileParam == 0)
            continue;
        QStringList params = scriptParameters(line);
        if (params.size() < rule->fileParam)
            continue;
        QString &file = params[rule->fileParam - 1];
        if (!fileParamNamesFile(rec.number, file))
            continue;
        const QString mapped = map(rec.number, file);
        if (mapped == file)
            continue;
        file = mapped;
        QString rebuilt = line.left(line.indexOf(QLatin1Char('"')));
        while (rebuilt.endsWith(QLatin1Char(' ')))
            rebuilt.chop(1);
        for (const QString &p : std::as_const(params))
            rebuilt += QStringLiteral(" \"") + p + QLatin1Char('"');
        line = rebuilt;
    }
    return joinScriptLines(lines);
}

} // namespace vardeko
