// The --transition option: plays a page transition between two pictures and prints its steps.
#pragma once

#include <QStringList>

namespace vardeko {

// Whether the command line asks for a transition.
bool isTransitionCommand(int argc, char *argv[]);
// `arguments` is the whole command line. Returns the exit code.
int runTransitionCommand(const QStringList &arguments);

} // namespace vardeko
