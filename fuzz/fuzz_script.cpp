// Fuzzes script parsing and running: any text is a script, run on a host that asks nothing.
#include "consolehost.h"
#include "scriptrunner.h"

#include <QString>
#include <QTextStream>

#include <cstddef>
#include <cstdint>

namespace {

// Answers every request, stops endless scripts and never waits.
class FuzzHost : public vardeko::ConsoleHost
{
public:
    FuzzHost(QTextStream &out) : ConsoleHost(out, {1, 2, 0, 3}) {}
    vardeko::ScriptRunner *runner = nullptr;
    int passes = 0;
    void processPendingEvents() override
    {
        if (++passes > 5000 && runner)
            runner->stopAllScripts();
    }
    void delay(int) override {}
    bool gotoPage(const QString &name) override
    {
        // Pages whose entry script is their own name exercise nesting.
        if (runner && name.size() < 64)
            runner->ExecuteScript(name);
        return !name.isEmpty();
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QString script = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    // File commands would write wherever the input says; their parsing is still covered.
    QStringList lines = vardeko::splitScriptLines(script);
    for (QString &line : lines) {
        const int n = vardeko::recognizeCommand(line).number;
        if (n >= vardeko::CmdFileDelLine - 1 && n <= vardeko::CmdFileWrite)
            line.prepend(u'.');
    }
    script = vardeko::joinScriptLines(lines);

    QString sink;
    QTextStream out(&sink);
    vardeko::VariableStore store;
    FuzzHost host(out);
    vardeko::ScriptRunner runner(host, store);
    host.runner = &runner;
    host.setRunner(&runner);
    runner.setEventInterval(0);
    runner.ExecuteScript(script);
    return 0;
}
