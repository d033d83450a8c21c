// The --compile and --archive options: a publication made into a stand-alone program, or
// copied with every file it uses into a folder, without a window.
#include "compilecommands.h"

#include "archive.h"
#include "compiler.h"
#include "consoleoutput.h"
#include "ioerrors.h"
#include "publicationfile.h"
#include "textmeasurer.h"

#include <QCommandLineParser>
#include <QDir>

namespace vardeko {

namespace {

bool loadPublication(Publication &pub, const QString &fileName)
{
    static const QtTextMeasurer measurer;
    ReadOptions options;
    options.measurer = &measurer;
    const ReadResult result = readPublication(pub, fileName, options);
    if (!result.ok()) {
        err() << consoleText(loadErrorMessage(fileName, result.error)) << Qt::endl;
        return false;
    }
    return true;
}

int compile(const QString &fileName, const QString &output)
{
    Publication pub;
    if (!loadPublication(pub, fileName))
        return 1;
    CompileJob job;
    job.output = output;
    job.player = findPlayer();
    job.tempDir = QDir::tempPath();
    const CompileResult result = compilePublication(pub, job);
    if (!result.ok()) {
        err() << consoleText(result.message()) << Qt::endl;
        return 1;
    }
    for (const CompileEntry &e : result.entries) {
        if (e.excluded)
            continue;
        const QString name = e.kind == GatheredKind::Font ? e.name : QFileInfo(QString(e.name).replace(u'\\', u'/')).fileName();
        out() << "ENTRY\t" << int(e.kind) << '\t' << e.size << '\t' << name << '\n';
    }
    out() << "total\t" << result.total << '\n';
    out().flush();
    return 0;
}

// The command line has no diskettes to ask for: a full removable drive ends the archive.
class UnattendedMedia : public SystemArchiveMedia
{
public:
    bool nextDisk(const QString &) override { return false; }
};

// Prints each file as it is put in place; replaces without asking.
class PrintedProgress : public ArchiveProgress
{
public:
    void copied(const QString &destination) override
    {
        out() << destination << '\n';
        out().flush();
    }
};

int archive(const QString &fileName, const QString &dir)
{
    Publication pub;
    if (!loadPublication(pub, fileName))
        return 1;
    UnattendedMedia media;
    PrintedProgress progress;
    const ArchiveResult result = archivePublication(pub, dir, false, QDir::tempPath(), media, &progress);
    if (!result.message.isEmpty()) {
        err() << consoleText(result.message) << Qt::endl;
        return 1;
    }
    if (result.stopped) {
        err() << consoleText(ioErrorMessage(101)) << Qt::endl;
        return 1;
    }
    return 0;
}

} // namespace

int runCompileCommand(const QStringList &arguments)
{
    if (!arguments.contains(QLatin1String("--compile")) && !arguments.contains(QLatin1String("--archive")))
        return -1;
    QCommandLineParser parser;
    const QCommandLineOption compileOption(QStringLiteral("compile"), QString(), QStringLiteral("FILE.PUB"));
    const QCommandLineOption archiveOption(QStringLiteral("archive"), QString(), QStringLiteral("FILE.PUB"));
    const QCommandLineOption outOption(QStringLiteral("out"), QString(), QStringLiteral("PATH"));
    parser.addOptions({compileOption, archiveOption, outOption});
    if (!parser.parse(arguments) || !parser.positionalArguments().isEmpty() || !parser.isSet(outOption)
        || parser.isSet(compileOption) == parser.isSet(archiveOption)) {
        err() << "usage: vardeko --compile FILE.PUB --out PATH | --archive FILE.PUB --out DIR" << Qt::endl;
        return 2;
    }
    if (parser.isSet(archiveOption))
        return archive(parser.value(archiveOption), parser.value(outOption));
    return compile(parser.value(compileOption), parser.value(outOption));
}

} // namespace vardeko
