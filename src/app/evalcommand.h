// The --eval option: runs one script without a publication and prints what it asks for.
#pragma once

#include <QString>

namespace vardeko {

// `answers` is the text of --answers ("1,0,2"), empty when not given. Returns the exit code.
int runEvalCommand(const QString &script, const QString &answers);

} // namespace vardeko
