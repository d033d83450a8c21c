// The media options of the command line: --flic-frames, --voc2wav, --make-cartoon.
#pragma once

#include <QStringList>

namespace vardeko {

// Runs the media option named in `arguments` (the program's arguments, program name
// first) and gives its exit status, or -1 when no media option is there.
int runMediaCommand(const QStringList &arguments);

} // namespace vardeko
