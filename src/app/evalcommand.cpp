// The --eval option: runs one script without a publication and prints what it asks for.
#include "evalcommand.h"

#include "consolehost.h"
#include "mcistring.h"
#include "palette.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTextStream>

namespace vardeko {

int runEvalCommand(const QString &script, const QString &answers)
{
    QTextStream out(stdout);
    QList<int> numbers;
    if (!answers.isEmpty()) {
        for (const QString &part : answers.split(u',')) {
            bool ok = false;
            const int n = part.trimmed().toInt(&ok);
            if (!ok) {
                QTextStream(stderr) << "--answers must be numbers separated by commas: " << answers
                                    << Qt::endl;
                return 2;
            }
            numbers.append(n);
        }
    }
    ConsoleHost host(out, numbers);
    // MCI strings are answered by the emulation over a backend that plays nothing.
    SilentMciBackend silent;
    MciEmulator mci(&silent);
    host.setMciHandler([&mci](const QString &command) {
        const MciReply reply = mci.send(command);
        return std::make_pair(reply.code, reply.text);
    });
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        host.setScreen(screen->size().width(), screen->size().height(), ScreenColorCount());
    return runScriptOnConsole(script, numbers, out, &host);
}

} // namespace vardeko
