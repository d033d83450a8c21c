// The printing options of the command line: --print-text and --print.
#pragma once

#include <QStringList>

namespace vardeko {

// Whether the arguments ask for --print-text or --print.
bool isPrintCommand(int argc, char *argv[]);
// Runs it; 0 when the PDF was written, 1 with the error on standard error.
int runPrintCommand(const QStringList &arguments);

} // namespace vardeko
