// Starting other programs, opening documents with their programs, and web links.
#include "programs.h"

#include "filenames.h"
#include "runmessages.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QUrl>

namespace vardeko {

namespace {

// Asks xdg-mime; never a shell, so a file name is only ever one argument.
QString queryXdgMime(const QStringList &arguments)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (tool.isEmpty())
        return QString();
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(1000);
        return QString();
    }
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

// The program part of a desktop entry's Exec line: its first word, quotes honoured,
// the field codes (%f, %U...) left out.
QStringList execCommand(const QString &desktopFile)
{
    const QString path = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, desktopFile);
    if (path.isEmpty())
        return {};
    QSettings entry(path, QSettings::IniFormat);
    entry.beginGroup(QStringLiteral("Desktop Entry"));
    const QString exec = entry.value(QStringLiteral("Exec")).toString();
    QStringList words = QProcess::splitCommand(exec);
    words.removeIf([](const QString &w) { return w.size() == 2 && w.startsWith(u'%'); });
    return words;
}

class DesktopStarter : public ProgramStarter
{
public:
    bool startDetached(const QString &program, const QStringList &arguments, const QString &workingDir) override
    {
        return QProcess::startDetached(program, arguments, workingDir);
    }

    QStringList associatedProgram(const QString &file) override
    {
        const QString type = queryXdgMime({QStringLiteral("query"), QStringLiteral("filetype"), file});
        if (type.isEmpty())
            return {};
        const QString desktop = queryXdgMime({QStringLiteral("query"), QStringLiteral("default"), type});
        if (desktop.isEmpty())
            return {};
        return execCommand(desktop);
    }

    bool openUrl(const QString &address) override
    {
        return QDesktopServices::openUrl(QUrl::fromUserInput(address));
    }
};

ProgramStarter *&installedStarter()
{
    static ProgramStarter *starter = nullptr;
    return starter;
}

bool isProgramFile(const QFileInfo &info)
{
    static const QString programs = QStringLiteral(".EXE.COM.BAT.LNK.");
    const QString ext = info.suffix().toUpper();
    return (info.isExecutable() && info.isFile())
           || (!ext.isEmpty() && programs.contains(u'.' + ext + u'.'));
}

} // namespace

ProgramStarter &programStarter()
{
    static DesktopStarter desktop;
    ProgramStarter *installed = installedStarter();
    return installed ? *installed : desktop;
}

void setProgramStarter(ProgramStarter *starter)
{
    installedStarter() = starter;
}

ProgramResult RunProgram(const QString &programText, const QString &parametersText, const QString &baseDir)
{
    const QString program = programText.trimmed();
    const QString parameters = parametersText.trimmed();
    if (program.isEmpty())
        return {2};
    QString path = locateFile(program, baseDir);
    if (path.isEmpty() && !hasDirectoryPart(program))
        path = QStandardPaths::findExecutable(program);
    if (path.isEmpty()) {
        if (hasDirectoryPart(program)) {
            const QString dir = QFileInfo(QDir::fromNativeSeparators(program)).path();
            if (locateFile(dir, baseDir).isEmpty())
                return {3};
        }
        return {2};
    }
    const QFileInfo info(path);
    if (info.isDir())
        return {2};
    // The parameters are one argument, as the quoted command line they stand for.
    QStringList arguments;
    if (!parameters.isEmpty())
        arguments << parameters;
    ProgramStarter &starter = programStarter();
    if (isProgramFile(info)) {
        if (!info.isExecutable())
            return {11};
        return {starter.startDetached(info.absoluteFilePath(), arguments, info.absolutePath()) ? 33 : 1};
    }
    QStringList command = starter.associatedProgram(info.absoluteFilePath());
    if (command.isEmpty())
        return {31};
    const QString executable = command.takeFirst();
    command << info.absoluteFilePath() << arguments;
    const QFileInfo programInfo(QStandardPaths::findExecutable(executable).isEmpty()
                                        ? executable
                                        : QStandardPaths::findExecutable(executable));
    return {starter.startDetached(programInfo.filePath(), command, info.absolutePath()) ? 33 : 1};
}

QString programErrorText(int code)
{
    const char *text = rmsg::ProgramErrorOther;
    switch (code) {
    case 0: text = rmsg::ProgramError0; break;
    case 2: text = rmsg::ProgramError2; break;
    case 3: text = rmsg::ProgramError3; break;
    case 5: text = rmsg::ProgramError5; break;
    case 6:
    case 8: text = rmsg::ProgramError8; break;
    case 10: text = rmsg::ProgramError10; break;
    case 11: text = rmsg::ProgramError11; break;
    case 12:
    case 13:
    case 14:
    case 15: text = rmsg::ProgramError12; break;
    case 16: text = rmsg::ProgramError16; break;
    case 19: text = rmsg::ProgramError19; break;
    case 20: text = rmsg::ProgramError20; break;
    case 21: text = rmsg::ProgramError21; break;
    case 31: text = rmsg::ProgramError31; break;
    default: break;
    }
    return QLatin1String(text);
}

bool OpenWebAddress(const QString &address)
{
    const QString trimmed = address.trimmed();
    return !trimmed.isEmpty() && programStarter().openUrl(trimmed);
}

} // namespace vardeko
