// The --run option: runs a publication in a real publication window, driven by a file of
// events, and prints what it shows and asks for.
#include "runcommand.h"

#include "childform.h"
#include "pageview.h"
#include "printjobs.h"
#include "publicationfile.h"
#include "rundriver.h"
#include "textmeasurer.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTextStream>

#include <cstring>

namespace vardeko {

namespace {

const char Usage[] = "usage: vardeko --run FILE.PUB [--page TITLE|NUMBER] [--events FILE] "
                     "[--answers N,N,...] [--quit-after MS] [--print-pdf OUT%1.pdf]";

int fail(const QString &message, int code)
{
    QTextStream(stderr) << message << Qt::endl;
    return code;
}

} // namespace

bool isRunCommand(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--run") == 0)
            return true;
    }
    return false;
}

int runRunCommand(const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption runOption(QStringLiteral("run"), QString(), QStringLiteral("FILE.PUB"));
    const QCommandLineOption printOption(QStringLiteral("print-pdf"), QString(), QStringLiteral("OUT%1.pdf"));
    parser.addOption(runOption);
    parser.addOption(printOption);
    addScriptedRunOptions(parser);
    if (!parser.parse(arguments) || !parser.positionalArguments().isEmpty())
        return fail(QLatin1String(Usage), 2);
    ScriptedRun run;
    QString error;
    if (!scriptedRunFromParser(parser, &run, &error))
        return fail(run.eventsGiven ? error + u'\n' + QLatin1String(Usage) : error, 2);
    // Print jobs become PDF files (the printer setup is not shown); without, a scripted
    // run prints nothing.
    if (parser.isSet(printOption))
        printJobsToPdf(parser.value(printOption));

    const QString fileName = parser.value(runOption);
    auto pub = std::make_unique<Publication>();
    static const QtTextMeasurer measurer;
    ReadOptions options;
    options.measurer = &measurer;
    const ReadResult result = readPublication(*pub, fileName, options);
    if (!result.ok()) {
        QString text = loadErrorMessage(fileName, result.error);
        return fail(text.replace(u'\r', u'\n'), 1);
    }
    if (run.pageGiven && !selectStartPage(*pub, run.page))
        return fail(QStringLiteral("No page titled or numbered \"%1\" in %2").arg(run.page, fileName), 2);

    TChildForm window(std::move(pub));
    window.show();
    window.activateWindow();
    return runScripted(window, *window.session(), window.pageView(), run);
}

} // namespace vardeko
