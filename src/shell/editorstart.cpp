// Starts the editor's window: palette, single instance, main window, files.
#include "editorstart.h"

#include "datafolders.h"
#include "launchfeedback.h"
#include "mainform.h"
#include "palette.h"
#include "shellmessages.h"
#include "singleinstance.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QTextStream>
#include <QTimer>
#include <QUrl>

namespace vardeko {

namespace {

// The theme's icon when the program is installed where the desktop looks; else the
// shipped sizes found beside the program.
QIcon programIcon()
{
    const QString id = QLatin1String(ProgramAppId);
    QIcon icon = QIcon::fromTheme(id);
    if (!icon.isNull())
        return icon;
    const QString folder = dataFolder(DataFolder::Icons);
    if (folder.isEmpty())
        return icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString file = QDir(folder).filePath(
            QStringLiteral("%1x%1/apps/").arg(size) + id + QStringLiteral(".png"));
        if (QFileInfo(file).isFile())
            icon.addFile(file, QSize(size, size));
    }
    return icon;
}

// Launchers may name files as "file:" URLs.
QStringList localFiles(const QStringList &arguments)
{
    QStringList files;
    for (const QString &argument : arguments) {
        const QUrl url(argument);
        files.append(argument.startsWith(QLatin1String("file:")) && url.isLocalFile()
                         ? url.toLocalFile()
                         : argument);
    }
    return files;
}

} // namespace

int runEditor(const QStringList &arguments)
{
    const QStringList files = localFiles(arguments);
    AppPalette::instance().InitPalettes();

    SingleInstance instance(SingleInstance::defaultName());
    QStringList handed;
    if (instance.activateRunning(files, &handed)) {
        // Say where the files went: no window of this start will show them.
        QTextStream out(stdout);
        for (const QString &file : handed)
            out << msg::HandedToRunning << QDir::toNativeSeparators(file) << '\n';
        if (handed.isEmpty())
            out << msg::RaisedRunning << '\n';
        out.flush();
        endLaunchFeedback(launchId());
        return 0;
    }
    // Started twice at the same moment: the loser still edits, without the hand-over.
    instance.listen();

    QApplication::setApplicationDisplayName(msg::AppTitle);
    QGuiApplication::setDesktopFileName(QLatin1String(ProgramAppId));
    QApplication::setWindowIcon(programIcon());
    TMainForm form;
    QObject::connect(&instance, &SingleInstance::filesRequested, &form,
                     &TMainForm::openRequestedFiles);
    QObject::connect(&instance, &SingleInstance::activationRequested, &form,
                     &TMainForm::bringToFront);
    form.show();
    QTimer::singleShot(0, &form, [&form, files] { form.openStartupFiles(files); });
    const int code = QApplication::exec();
    AppPalette::instance().FreePalettes();
    return code;
}

} // namespace vardeko
