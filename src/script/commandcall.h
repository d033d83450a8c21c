// One command about to run: its line, its expanded parameters and where results go.
#pragma once

#include "commandtable.h"
#include "filenames.h"
#include "ioerrors.h"
#include "scriptfiles.h"
#include "scriptrunner.h"

#include <array>

namespace vardeko {

struct CommandCall
{
    ScriptRunner &runner;
    ScriptState &state;
    const ScriptLines &lines;
    const ScriptLine &line;
    std::array<QString, 8> p;

    RunHost &host() const { return runner.mHost; }
    const QLocale &locale() const { return runner.mLocale; }
    int num(int i) const { return integerValue(p[size_t(i)]); }
    void store(const QString &value) const
    {
        if (value.size() > MaxValueLength)
            runner.ScriptError(ioErrorMessage(IoOutOfMemory));
        else
            runner.mStore.setCached(line.outName, line.outCache, value);
    }
    QString file(int i) const
    {
        return scriptFileTarget(completeScriptFileName(p[size_t(i)], runner.mHost.programDirectory()));
    }
};

} // namespace vardeko
