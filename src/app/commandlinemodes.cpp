// The modes of the command line, as the README's command-line section lists them.
#include "commandlinemodes.h"

namespace vardeko {

QString commandLineModes()
{
    // Made from README.md at build time, so --help, the manual page and the README agree.
    static const char modes[] =
#include "commandlinemodes.inc"
        ;
    return QString::fromUtf8(modes).trimmed();
}

} // namespace vardeko
