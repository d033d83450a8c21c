// Starting other programs, opening documents with their programs, and web links.
#pragma once

#include <QString>
#include <QStringList>

namespace vardeko {

// What the program start needs of the system; tests put in a recording one.
class ProgramStarter
{
public:
    virtual ~ProgramStarter() = default;
    // Starts `program` with `arguments` (no shell) in `workingDir`; false on failure.
    virtual bool startDetached(const QString &program, const QStringList &arguments,
                               const QString &workingDir) = 0;
    // The command line (program and leading arguments) of the program the desktop
    // associates with a file; empty when there is none.
    virtual QStringList associatedProgram(const QString &file) = 0;
    // Opens an address with the desktop's browser or handler; false on failure.
    virtual bool openUrl(const QString &address) = 0;
};

// The desktop's starter; installing null puts it back.
ProgramStarter &programStarter();
void setProgramStarter(ProgramStarter *starter);

// The result of a program start in the codes of the message table: above 32 is success.
struct ProgramResult
{
    int code = 0;
};

// DOSCommand: `program` is found without regard to case (relative names beside
// `baseDir`, then on the search path); an executable file runs with `parameters` as its
// one argument, any other file opens with its associated program.
ProgramResult RunProgram(const QString &program, const QString &parameters, const QString &baseDir);
// The message for a failed start's code.
QString programErrorText(int code);
// InternetLink; false when no browser could be started.
bool OpenWebAddress(const QString &address);

} // namespace vardeko
