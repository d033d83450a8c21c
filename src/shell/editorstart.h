// Starts the editor's window: palette, single instance, main window, files.
#pragma once

#include <QStringList>

namespace vardeko {

// Runs the editor on the named publications (paths or "file:" URLs) until its main
// window closes; returns the exit code.
int runEditor(const QStringList &arguments);

} // namespace vardeko
