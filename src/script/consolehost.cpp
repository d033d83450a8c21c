// A run host without windows: prints every request a script makes, one line each.
#include "consolehost.h"

#include "commandtable.h"
#include "scriptrunner.h"

#include <QCoreApplication>
#include <QDir>
#include <QThread>

namespace vardeko {

QString consoleEscaped(QString s)
{
    s.replace(QLatin1String("\r\n"), QLatin1String("\\n"));
    s.replace(u'\r', QLatin1String("\\n"));
    s.replace(u'\n', QLatin1String("\\n"));
    s.replace(u'\t', u' ');
    return s;
}

namespace {

QString n(int v)
{
    return QString::number(v);
}

} // namespace

ConsoleHost::ConsoleHost(QTextStream &out, QList<int> answers)
    : mOut(out), mAnswers(std::move(answers))
{
}

void ConsoleHost::setScreen(int width, int height, int colors)
{
    mScreenWidth = width;
    mScreenHeight = height;
    mScreenColors = colors;
}

void ConsoleHost::print(const QString &word, const QStringList &fields)
{
    mOut << word;
    for (const QString &f : fields)
        mOut << u'\t' << consoleEscaped(f);
    mOut << u'\n';
    mOut.flush();
}

int ConsoleHost::nextAnswer()
{
    return mNextAnswer < mAnswers.size() ? mAnswers.at(mNextAnswer++) : 0;
}

void ConsoleHost::processPendingEvents()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

void ConsoleHost::showAlert(const QString &title, const QString &text) { print(title, {text}); }
void ConsoleHost::alertBox(const QString &title, const QString &message) { print(commandName(CmdAlertBox), {title, message}); }

int ConsoleHost::messageBox(const QString &title, const QString &message, const QStringList &buttons)
{
    print(commandName(CmdMessageBox), {title, message, buttons.join(u'|')});
    return nextAnswer();
}

bool ConsoleHost::confirmExit(const QString &title, const QString &message)
{
    print(commandName(CmdExit), {title, message});
    return nextAnswer() == 1;
}

void ConsoleHost::leaveRunMode()
{
    // As when a publication leaves run mode: every script ends, the variables go.
    if (mRunner) {
        mRunner->stopAllScripts();
        mRunner->variables().DeleteAllVariables();
    }
}

void ConsoleHost::balloon(const QString &message) { print(commandName(CmdBalloon), {message}); }

void ConsoleHost::stickyNote(int x, int y, const QString &message, int milliseconds)
{
    print(commandName(CmdStickyNote), {n(x), n(y), message, n(milliseconds)});
}

bool ConsoleHost::popupImage(int x, int y, const QString &file, int milliseconds, int effect, int speed)
{
    print(commandName(CmdPopupImage), {n(x), n(y), file, n(milliseconds), n(effect), n(speed)});
    return true;
}

int ConsoleHost::popupMenu(int x, int y, const QStringList &items, bool storesChoice)
{
    print(storesChoice ? commandName(CmdMenuEx) : commandName(CmdMenu), {n(x), n(y), items.join(u'|')});
    return nextAnswer();
}

void ConsoleHost::delay(int milliseconds)
{
    print(commandName(CmdDelay), {n(milliseconds)});
    QThread::msleep(ulong(milliseconds));
}

bool ConsoleHost::gotoPage(const QString &name)
{
    print(commandName(CmdGotoPage), {name});
    return true;
}

void ConsoleHost::movePage(PageMove move)
{
    static constexpr ActionCommandNumber commands[] = {CmdGotoFirstPage, CmdGotoLastPage, CmdGotoPrevPage,
                                                       CmdGotoNextPage, CmdReturnToPage};
    print(commandName(commands[int(move)]), {});
}

void ConsoleHost::find(const QString &scope) { print(commandName(CmdFind), {scope}); }
void ConsoleHost::playSoundFile(const QString &file, int mode) { print(commandName(CmdPlaySoundFile), {file, n(mode)}); }

void ConsoleHost::playVideoFile(int x, int y, int width, int height, const QString &file, int mode)
{
    print(commandName(CmdPlayVideoFile), {n(x), n(y), n(width), n(height), file, n(mode)});
}

void ConsoleHost::playFlicFile(int x, int y, int width, int height, const QString &file, int times, int mode)
{
    print(commandName(CmdPlayFlicFile), {n(x), n(y), n(width), n(height), file, n(times), n(mode)});
}

void ConsoleHost::playCartoonFile(int x1, int y1, int x2, int y2, const QString &file, int times,
                                  int speed, int mode)
{
    print(commandName(CmdPlayCartoonFile),
          {n(x1), n(y1), n(x2), n(y2), file, n(times), n(speed), n(mode)});
}

void ConsoleHost::playTone(int hertz) { print(commandName(CmdPlayTone), {n(hertz)}); }
void ConsoleHost::stopMedia(const QString &what) { print(commandName(CmdStopMedia), {what}); }

int ConsoleHost::mciCommand(const QString &command)
{
    print(commandName(CmdMCICommand), {command});
    if (mMciHandler) {
        const auto [code, text] = mMciHandler(command);
        print(QStringLiteral("MCI"), {command, n(code), text});
        return code;
    }
    // No media device here: report MCI's "unrecognised command" code rather than success.
    return 261;
}

void ConsoleHost::imageWindow(const QString &title, int x, int y, const QString &file)
{
    print(commandName(CmdImageWindow), {title, n(x), n(y), file});
}

void ConsoleHost::textWindow(const QString &title, int x, int y, const QString &file)
{
    print(commandName(CmdTextWindow), {title, n(x), n(y), file});
}

void ConsoleHost::closeWindow(const QString &name) { print(commandName(CmdCloseWindow), {name}); }

void ConsoleHost::setFont(const QString &name, int points, int style)
{
    print(commandName(CmdSetFont), {name, n(points), n(style)});
}

void ConsoleHost::printTextFile(const QString &header, const QString &footer, const QString &file, bool dataFile)
{
    print(dataFile ? commandName(CmdPrintDataFile) : commandName(CmdPrintTextFile), {header, footer, file});
}

void ConsoleHost::printImageFile(const QString &file, int percent)
{
    print(commandName(CmdPrintImageFile), {file, n(percent)});
}

void ConsoleHost::printPage(const QString &name) { print(commandName(CmdPrintPage), {name}); }

void ConsoleHost::runProgram(const QString &program, const QString &parameters)
{
    print(commandName(CmdDOSCommand), {program, parameters});
}

void ConsoleHost::internetLink(const QString &address) { print(commandName(CmdInternetLink), {address}); }

QString ConsoleHost::programDirectory() const
{
    return QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
}

QString ConsoleHost::tempDir() const
{
    return QDir::tempPath();
}

int runScriptOnConsole(const QString &script, const QList<int> &answers, QTextStream &out,
                       ConsoleHost *configured)
{
    VariableStore store;
    ConsoleHost own(out, answers);
    ConsoleHost &host = configured ? *configured : own;
    ScriptRunner runner(host, store);
    host.setRunner(&runner);
    runner.ExecuteScript(script);
    host.setRunner(nullptr);
    for (const QString &row : store.listing())
        out << row << u'\n';
    out.flush();
    return 0;
}

} // namespace vardeko
