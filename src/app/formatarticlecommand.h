// The --format-article command line: lays an article out and prints its records.
#pragma once

#include <QStringList>

namespace vardeko {

// True when the arguments ask for --format-article.
bool isFormatArticleCommand(int argc, char *argv[]);

// vardeko --format-article SRC --width PX [--no-wrap] --font FAMILY --size PT
// Prints "lines=N widest=W record=R" and one "L<TAB>K<TAB>TEXT" line per record.
// Returns 0, 1 when SRC cannot be read, 2 for a usage error.
int runFormatArticleCommand(const QStringList &arguments);

} // namespace vardeko
