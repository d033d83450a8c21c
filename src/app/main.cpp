// The editor executable: command-line handling, then the editor window.
#include "commandlinemodes.h"
#include "compilecommands.h"
#include "consoleoutput.h"
#include "editorstart.h"
#include "evalcommand.h"
#include "formatarticlecommand.h"
#include "ioerrors.h"
#include "mediacommands.h"
#include "printcommands.h"
#include "printprovider.h"
#include "programtitle.h"
#include "popupprovider.h"
#include "publicationfile.h"
#include "rendercommand.h"
#include "runcommand.h"
#include "textwindowprovider.h"
#include "textmeasurer.h"
#include "vocconvert.h"
#include "transitioncommand.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTextStream>

#include <cstring>

using namespace vardeko;

namespace {

bool load(Publication &pub, const QString &fileName, ReadResult *result)
{
    static const QtTextMeasurer measurer;
    ReadOptions options;
    options.measurer = &measurer;
    options.convertVoc = vocConversionForReading(
            [](const QString &message) { err() << consoleText(message) << Qt::endl; });
    *result = readPublication(pub, fileName, options);
    if (!result->ok()) {
        err() << consoleText(loadErrorMessage(fileName, result->error)) << Qt::endl;
        return false;
    }
    return true;
}

int printInfo(const QString &fileName)
{
    Publication pub;
    ReadResult result;
    if (!load(pub, fileName, &result))
        return 1;
    out() << "Title: " << pub.Settings.Title << '\n'
          << "Pages: " << pub.pageCount() << '\n'
          << "Objects: " << pub.objectCount() << '\n';
    for (int i = 0; i < pub.pageCount(); ++i) {
        const Page *page = pub.page(i);
        out() << "Page: " << page->Title << " (" << countObjects(page->Objects) << " objects)\n";
    }
    for (const MissingFile &m : result.missingFiles)
        out() << "Missing: " << (m.page ? m.page->Title : QString()) << ": " << m.storedName << '\n';
    out().flush();
    return 0;
}

int convert(const QString &in, const QString &outName, const QString &modeText)
{
    bool ok = false;
    const int mode = modeText.isEmpty() ? 0 : modeText.toInt(&ok);
    if (!modeText.isEmpty() && (!ok || mode < 0 || mode > 2)) {
        err() << "--mode must be 0, 1 or 2" << Qt::endl;
        return 2;
    }
    Publication pub;
    ReadResult result;
    if (!load(pub, in, &result))
        return 1;
    const int error = writePublication(pub, outName, WriteMode(mode));
    if (error) {
        err() << outName << ": " << consoleText(ioErrorMessage(error)) << Qt::endl;
        return 1;
    }
    return 0;
}

// Options that work without a display.
bool isHeadless(int argc, char *argv[])
{
    static const char *const headless[] = {"--info", "--convert", "--compile", "--archive", "--eval", "--render", "--transition",
                                           "--flic-frames", "--voc2wav", "--make-cartoon", "--format-article",
                                           "--print-text", "--print",
                                           "--help", "--help-all", "--version", "-h", "-v"};
    for (int i = 1; i < argc; ++i)
        for (const char *option : headless)
            if (std::strcmp(argv[i], option) == 0)
                return true;
    // A run shows its window where there is a display, and runs off-screen where there is none.
    return isRunCommand(argc, argv) && qEnvironmentVariableIsEmpty("DISPLAY")
           && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

} // namespace

int main(int argc, char *argv[])
{
    if (isHeadless(argc, argv) && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const RunProvidersScope providers; // the providers go before the application
    QApplication::setApplicationName(QLatin1String(ProgramTitle));
    QApplication::setApplicationVersion(QStringLiteral(VARDEKO_VERSION));
    // Run mode shows its pop-ups, page effects, media and floating windows (--run included).
    installReaderProviders();
    installFloatingWindowProvider();
    installReaderPrinting();
    if (isTransitionCommand(argc, argv))
        return runTransitionCommand(QApplication::arguments());
    if (const int status = runMediaCommand(QApplication::arguments()); status >= 0)
        return status;
    if (isPrintCommand(argc, argv))
        return runPrintCommand(QApplication::arguments());
    if (isRunCommand(argc, argv))
        return runRunCommand(QApplication::arguments());
    if (const int status = runCompileCommand(QApplication::arguments()); status >= 0)
        return status;

    if (isFormatArticleCommand(argc, argv))
        return runFormatArticleCommand(QApplication::arguments());

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Authoring tool for multimedia publications.\n\n")
                                     + commandLineModes());
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption infoOption(QStringLiteral("info"),
                                        QStringLiteral("Print a summary of a publication."),
                                        QStringLiteral("FILE.PUB"));
    const QCommandLineOption convertOption(
            QStringLiteral("convert"),
            QStringLiteral("Read a publication and write it to OUT.PUB (given after it)."),
            QStringLiteral("IN.PUB"));
    const QCommandLineOption modeOption(
            QStringLiteral("mode"),
            QStringLiteral("Write mode for --convert: 0 save, 1 compiled copy, 2 archive copy."),
            QStringLiteral("0|1|2"));
    const QCommandLineOption evalOption(
            QStringLiteral("eval"),
            QStringLiteral("Run a script (lines joined by \"|\") and print what it asks for."),
            QStringLiteral("SCRIPT"));
    const QCommandLineOption answersOption(
            QStringLiteral("answers"),
            QStringLiteral("Choices for --eval's menus and message boxes, in order."),
            QStringLiteral("N,N,..."));
    const QCommandLineOption renderOption(
            QStringLiteral("render"),
            QStringLiteral("Paint a page of a publication into a PNG file (with --page, --out, --run-look)."),
            QStringLiteral("FILE.PUB"));
    const QCommandLineOption pageOption(QStringLiteral("page"),
                                        QStringLiteral("Page for --render: its title or number."),
                                        QStringLiteral("TITLE|NUMBER"));
    const QCommandLineOption outOption(QStringLiteral("out"),
                                       QStringLiteral("PNG file that --render writes."),
                                       QStringLiteral("PAGE.png"));
    const QCommandLineOption runOption(QStringLiteral("run-look"),
                                       QStringLiteral("--render shows the page as in run mode."));
    parser.addOptions({renderOption, pageOption, outOption, runOption});
    parser.addOption(evalOption);
    parser.addOption(answersOption);
    parser.addOption(infoOption);
    parser.addOption(convertOption);
    parser.addOption(modeOption);
    parser.addPositionalArgument(QStringLiteral("files"), QStringLiteral("Publications to open."),
                                 QStringLiteral("[FILE.PUB...]"));
    parser.process(app);

    if (parser.isSet(evalOption))
        return runEvalCommand(parser.value(evalOption), parser.value(answersOption));
    if (parser.isSet(renderOption)) {
        if (!parser.isSet(pageOption) || !parser.isSet(outOption)) {
            err() << "usage: vardeko --render FILE.PUB --page TITLE|NUMBER --out PAGE.png [--run-look]" << Qt::endl;
            return 2;
        }
        RenderCommand command;
        command.publication = parser.value(renderOption);
        command.page = parser.value(pageOption);
        command.output = parser.value(outOption);
        command.runMode = parser.isSet(runOption);
        QString message;
        const int status = runRenderCommand(command, &message);
        if (status != 0)
            err() << consoleText(message) << Qt::endl;
        return status;
    }
    if (parser.isSet(infoOption))
        return printInfo(parser.value(infoOption));
    if (parser.isSet(convertOption)) {
        const QStringList rest = parser.positionalArguments();
        if (rest.size() != 1) {
            err() << "usage: vardeko --convert IN.PUB OUT.PUB [--mode 0|1|2]" << Qt::endl;
            return 2;
        }
        return convert(parser.value(convertOption), rest.first(), parser.value(modeOption));
    }
    return runEditor(parser.positionalArguments());
}
