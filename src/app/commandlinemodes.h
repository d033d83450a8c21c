// The modes of the command line, as the README's command-line section lists them.
#pragma once

#include <QString>

namespace vardeko {

// The "Modes:" block that --help prints above the options.
QString commandLineModes();

} // namespace vardeko
