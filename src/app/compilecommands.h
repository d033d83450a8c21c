// The --compile and --archive options: a publication made into a stand-alone program, or
// copied with every file it uses into a folder, without a window.
#pragma once

#include <QStringList>

namespace vardeko {

// -1 when the arguments name no such mode, else the exit code: 0 done, 1 failed (the
// alert's text on standard error), 2 usage.
int runCompileCommand(const QStringList &arguments);

} // namespace vardeko
