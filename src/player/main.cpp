// The run-time player: plays the publication a compiled program carries behind itself,
// or one named on its command line. Never links the editor.
#include "bookfiles.h"
#include "filenames.h"
#include "playerwindow.h"
#include "popupprovider.h"
#include "printprovider.h"
#include "programtitle.h"
#include "publicationfile.h"
#include "rundriver.h"
#include "ioerrors.h"
#include "runsession.h"
#include "scriptrunner.h"
#include "textmeasurer.h"
#include "textwindowprovider.h"

#include <QApplication>
#include <QBuffer>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QTextStream>
#include <QTimer>
#include <QWindow>

#include <cstring>

using namespace vardeko;

namespace {

const char Usage[] = "usage: vardeko-player [FILE.PUB] [--page TITLE|NUMBER] [--events FILE] "
                     "[--answers N,N,...] [--quit-after MS] [-root]";

bool scriptedOptionGiven(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        for (const char *option : {"--page", "--events", "--answers", "--quit-after"}) {
            const size_t n = std::strlen(option);
            if (std::strncmp(argv[i], option, n) == 0 && (argv[i][n] == 0 || argv[i][n] == '='))
                return true;
        }
    }
    return false;
}

// The program file itself: the kernel's link is right even when the program was started
// through another link or a relative path.
QString programFile()
{
    const QFileInfo self(QStringLiteral("/proc/self/exe"));
    if (self.exists())
        return self.symLinkTarget().isEmpty() ? self.filePath() : self.symLinkTarget();
    return QCoreApplication::applicationFilePath();
}

int fail(const QString &message, int code, bool scripted)
{
    QTextStream(stderr) << QString(message).replace(u'\r', u'\n') << Qt::endl;
    if (!scripted && QGuiApplication::platformName() != QLatin1String("offscreen"))
        QMessageBox::critical(nullptr, QLatin1String(ProgramTitle), QString(message).replace(u'\r', u'\n'));
    return code;
}

} // namespace

int main(int argc, char *argv[])
{
    const bool scripted = scriptedOptionGiven(argc, argv);
    // Scripted runs work without a display, as the editor's --run does.
    if (scripted && qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const RunProvidersScope providers; // the providers go before the application
    installReaderProviders();
    installFloatingWindowProvider();
    installReaderPrinting();

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    addScriptedRunOptions(parser);
    const QCommandLineOption rootOption(QStringLiteral("root"));
    const QCommandLineOption windowIdOption(QStringLiteral("window-id"), QString(), QStringLiteral("ID"));
    parser.addOption(rootOption);
    parser.addOption(windowIdOption);
    if (!parser.parse(QCoreApplication::arguments()) || parser.positionalArguments().size() > 1)
        return fail(QLatin1String(Usage), 2, true);
    ScriptedRun run;
    QString error;
    if (!scriptedRunFromParser(parser, &run, &error))
        return fail(error, 2, true);

    const QString self = programFile();
    const bool screenSaver = self.endsWith(QLatin1String(".scr"), Qt::CaseInsensitive)
                             || parser.isSet(rootOption) || parser.isSet(windowIdOption)
                             || !qEnvironmentVariableIsEmpty("XSCREENSAVER_WINDOW");

    static const QtTextMeasurer measurer;
    ReadOptions options;
    options.measurer = &measurer;
    auto pub = std::make_unique<Publication>();
    BookFiles book;
    QString shownName;
    if (!parser.positionalArguments().isEmpty()) {
        // A publication on disk, played as the editor's run mode would.
        shownName = parser.positionalArguments().first();
        const ReadResult result = readPublication(*pub, shownName, options);
        if (!result.ok())
            return fail(loadErrorMessage(shownName, result.error), 1, scripted);
    } else {
        if (book.open(self) != 0)
            return fail(book.errorText(), 1, scripted);
        const BookEntry *entry = book.publicationEntry();
        if (!entry)
            return fail(self + QStringLiteral(": the program carries no publication"), 1, scripted);
        shownName = entry->name;
        // The publication is read from the program's own bytes, with its file names as
        // stored: they are found among the carried files first when they are used.
        QByteArray bytes;
        if (const int status = book.reader().read(*entry, &bytes))
            return fail(self + QStringLiteral(": ") + ioErrorMessage(status), 1, scripted);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        options.compiledCopy = true;
        const ReadResult result = readPublication(*pub, buffer, options);
        if (!result.ok())
            return fail(loadErrorMessage(shownName, result.error), 1, scripted);
        const QString programDir = QFileInfo(self).absolutePath();
        book.registerFonts();
        // Files that need a real path are put on disk when first asked for, where the
        // extraction settings say.
        book.setPlaces(pub->Settings.ExtractOp, pub->Settings.ExtractDir, programDir);
        setEmbeddedFileLookup([&book](const QString &name) { return book.path(name); });
        // The publication's folder is the program's: files beside the program are found
        // there, after the ones it carries.
        pub->FileName = QDir(programDir).filePath(entry->name);
    }
    if (run.pageGiven && !selectStartPage(*pub, run.page))
        return fail(QStringLiteral("No page titled or numbered \"%1\" in %2").arg(run.page, shownName), 2, true);

    PlayerWindow window(std::move(pub), screenSaver);
    RunSession &session = *window.session();
    session.setCompiledProgram(true);
    if (screenSaver) {
        QObject::connect(&window, &PlayerWindow::inputSeen, &app, [&session] {
            session.runner().stopAllScripts();
            QCoreApplication::exit(0);
        });
        // Under xscreensaver the program draws into the window it is given.
        bool ok = false;
        WId id = WId(parser.value(windowIdOption).toULongLong(&ok, 0));
        if (!ok)
            id = WId(qEnvironmentVariable("XSCREENSAVER_WINDOW").toULongLong(&ok, 0));
        if (ok && id) {
            window.winId();
            if (QWindow *host = QWindow::fromWinId(id)) {
                window.windowHandle()->setParent(host);
                window.resize(host->size());
            }
        }
    }
    int code = 0;
    if (scripted) {
        window.show();
        window.activateWindow();
        code = runScripted(window, session, &window, run);
    } else {
        QObject::connect(&session, &RunSession::runModeChanged, &app, [](bool running) {
            if (!running)
                QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        });
        window.show();
        QTimer::singleShot(0, &window, [&session] {
            session.SetRunMode(1);
            if (!session.isRunning())
                QCoreApplication::exit(0);
        });
        code = QApplication::exec();
    }
    setEmbeddedFileLookup({});
    return code;
}
