// The --run option: runs a publication in a real publication window, driven by a file of
// events, and prints what it shows and asks for.
#pragma once

#include <QStringList>

namespace vardeko {

bool isRunCommand(int argc, char *argv[]);
// Returns the exit code: 0 when run mode was left or the events are done, 3 on
// --quit-after, 1 when the publication cannot be read, 2 for usage.
int runRunCommand(const QStringList &arguments);

} // namespace vardeko
