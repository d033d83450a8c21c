// Which script commands name files, and which parameter holds the name.
#pragma once

#include <QString>

#include <functional>

namespace vardeko {

struct FileCommandRule
{
    int command;
    int params;    // parameters after rewriting; 0 keeps them as they are
    int fileParam; // 1-based; 0: none
    bool recorded; // a missing file goes on the missing-files list
};

// The rule for a command number, or null for commands that name no file.
const FileCommandRule *fileCommandRule(int command);

// Whether a file parameter's value names a file: an empty `CloseWindow` closes the
// last window and `StopMedia` also takes "SOUND" and "VIDEO".
bool fileParamNamesFile(int command, const QString &value);

// Passes the file parameter of one recognised script line (command number `command`)
// through `map` and rebuilds the line as the command word followed by each parameter in
// double quotes. The rebuild happens only when the name changed, unless `alwaysRebuild`.
void mapFileParameter(QString &line, int command,
                      const std::function<QString(int command, const QString &name)> &map,
                      bool alwaysRebuild = false);

// Passes the file parameter of every command of a script that names a file through
// `map` (command number, stored name) and rebuilds those lines as the command word
// followed by each parameter in double quotes; other lines stay as they are.
QString mapScriptFileNames(const QString &script,
                           const std::function<QString(int command, const QString &name)> &map);

} // namespace vardeko
