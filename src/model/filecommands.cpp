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

void mapFileParameter(QString &line, int command,
                      const std::function<QString(int command, const QString &name)> &map,
                      bool alwaysRebuild)
{
    const FileCommandRule *rule = command ? fileCommandRule(command) : nullptr;
    if (!rule || rule->fileParam == 0)
        return;
    QStringList params = scriptParameters(line);
    if (params.size() < rule->fileParam)
        return;
    QString &file = params[rule->fileParam - 1];
    if (!fileParamNamesFile(command, file))
        return;
    const QString mapped = map(command, file);
    if (mapped == file && !alwaysRebuild)
        return;
    file = mapped;
    QString rebuilt = line.left(line.indexOf(QLatin1Char('"')));
    while (rebuilt.endsWith(QLatin1Char(' ')))
        rebuilt.chop(1);
    for (const QString &p : std::as_const(params))
        rebuilt += QStringLiteral(" \"") + p + QLatin1Char('"');
    line = rebuilt;
}

QString mapScriptFileNames(const QString &script,
                           const std::function<QString(int command, const QString &name)> &map)
{
    if (script.isEmpty())
        return script;
    QStringList lines = splitScriptLines(script);
    for (QString &line : lines)
        mapFileParameter(line, recognizeCommand(line).number, map);
    return joinScriptLines(lines);
}

} // namespace vardeko
