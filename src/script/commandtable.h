// The one table of script commands: each command's new-line template, file choice and work.
#pragma once

#include "actioncommands.h"

#include <QString>
#include <QStringList>

#include <array>

namespace vardeko {

struct CommandCall;
using CommandHandler = void (*)(CommandCall &);

// The kinds of file whose folders are remembered apart.
enum class FileKind { None, Programs, Images, Animations, Sounds, Texts };

// A command that names a file: the editor asks for the file before building the line.
struct FileChoice
{
    FileKind kind = FileKind::None;
    const char *Title = nullptr;  // the file dialog's title
    const char *Filter = nullptr; // "Images|*.BMP;*.GIF"
    int Param = 0;                // 1-based parameter that receives the chosen file
};

// One row per command, indexed by command number (row 0 empty). Names, codes,
// categories and parameter counts are the vocabulary's (ActionCommands); a row adds
// what the script side does with the command.
struct ScriptCommand
{
    int Number;
    // The parameters a new line gets after the name, quotes included; for file
    // commands the file parameter is "" and the chosen file goes there.
    const char *Template;
    FileChoice File;
    CommandHandler Handler;

    const ActionCommand &def() const { return ActionCommands[size_t(Number)]; }
    QString name() const { return QString::fromLatin1(def().Name); }
};

extern const std::array<ScriptCommand, ActionCommandCount + 1> ScriptCommands;

// The command word as written in scripts and shown in the palette.
inline QString commandName(int number)
{
    return QString::fromLatin1(ActionCommands[size_t(number)].Name);
}

inline const ScriptCommand &scriptCommand(int number)
{
    return ScriptCommands[size_t(number)];
}

// A command line as the editor writes it: the name, then each parameter in double
// quotes, separated by one blank.
QString buildCommandLine(int number, const QStringList &params);

// The line a newly chosen command starts with; `file` fills the file parameter.
QString defaultCommandLine(int number, const QString &file = QString());

} // namespace vardeko
