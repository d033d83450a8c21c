// A run host without windows: prints every request a script makes, one line each.
#include "consolehost.h"

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
void ConsoleHost::alertBox(const QString &title, const QString &message) { print(QStringLiteral("AlertBox"), {title, message}); }

int ConsoleHost::messageBox(const QString &title, const QString &message, const QStringList &buttons)
{
    print(QStringLiteral("MessageBox"), {title, message, buttons.join(u'|')});
    return nextAnswer();
}

bool ConsoleHost::confirmExit(const QString &title, const QString &message)
{
    print(QStringLiteral("Exit"), {title, message});
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

void ConsoleHost::balloon(const QString &message) { print(QStringLiteral("Balloon"), {message}); }

void ConsoleHost::stickyNote(int x, int y, const QString &message, int milliseconds)
{
    print(QStringLiteral("StickyNote"), {n(x), n(y), message, n(milliseconds)});
}

bool ConsoleHost::popupImage(int x, int y, const QString &file, int milliseconds, int effect, int speed)
{
    print(QStringLiteral("PopupImage"), {n(x), n(y), file, n(milliseconds), n(effect), n(speed)});
    return true;
}

int ConsoleHost::popupMenu(int x, int y, const QStringList &items, bool storesChoice)
{
    print(storesChoice ? QStringLiteral("MenuEx") : QStringLiteral("Menu"), {n(x), n(y), items.join(u'|')});
    return nextAnswer();
}

void ConsoleHost::delay(int milliseconds)
{
    print(QStringLiteral("Delay"), {n(milliseconds)});
    QThread::msleep(ulong(milliseconds));
}

bool ConsoleHost::gotoPage(const QString &name)
{
    print(QStringLiteral("GotoPage"), {name});
    return true;
}

void ConsoleHost::movePage(PageMove move)
{
    static const char *const words[] = {"GotoFirstPage", "GotoLastPage", "GotoPrevPage",
                                        "GotoNextPage", "ReturnToPage"};
    print(QLatin1String(words[int(move)]), {});
}

void ConsoleHost::find(const QString &scope) { print(QStringLiteral("Find"), {scope}); }
void ConsoleHost::playSoundFile(const QString &file, int mode) { print(QStringLiteral("PlaySoundFile"), {file, n(mode)}); }

void ConsoleHost::playVideoFile(int x, int y, int width, int height, const QString &file, int mode)
{
    print(QStringLiteral("PlayVideoFile"), {n(x), n(y), n(width), n(height), file, n(mode)});
}

void ConsoleHost::playFlicFile(int x, int y, int width, int height, const QString &file, int times, int mode)
{
    print(QStringLiteral("PlayFlicFile"), {n(x), n(y), n(width), n(height), file, n(times), n(mode)});
}

void ConsoleHost::playCartoonFile(int x1, int y1, int x2, int y2, const QString &file, int times,
                                  int speed, int mode)
{
    print(QStringLiteral("PlayCartoonFile"),
          {n(x1), n(y1), n(x2), n(y2), file, n(times), n(speed), n(mode)});
}

void ConsoleHost::playTone(int hertz) { print(QStringLiteral("PlayTone"), {n(hertz)}); }
void ConsoleHost::stopMedia(const QString &what) { print(QStringLiteral("StopMedia"), {what}); }

int ConsoleHost::mciCommand(const QString &command)
{
    print(QStringLiteral("MCICommand"), {command});
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
    print(QStringLiteral("ImageWindow"), {title, n(x), n(y), file});
}

void ConsoleHost::textWindow(const QString &title, int x, int y, const QString &file)
{
    print(QStringLiteral("TextWindow"), {title, n(x), n(y), file});
}

void ConsoleHost::closeWindow(const QString &name) { print(QStringLiteral("CloseWindow"), {name}); }

void ConsoleHost::setFont(const QString &name, int points, int style)
{
    print(QStringLiteral("SetFont"), {name, n(points), n(style)});
}

void ConsoleHost::printTextFile(const QString &header, const QString &footer, const QString &file, bool dataFile)
{
    print(dataFile ? QStringLiteral("PrintDataFile") : QStringLiteral("PrintTextFile"), {header, footer, file});
}

void ConsoleHost::printImageFile(const QString &file, int percent)
{
    print(QStringLiteral("PrintImageFile"), {file, n(percent)});
}

void ConsoleHost::printPage(const QString &name) { print(QStringLiteral("PrintPage"), {name}); }

void ConsoleHost::runProgram(const QString &program, const QString &parameters)
{
    print(QStringLiteral("DOSCommand"), {program, parameters});
}

void ConsoleHost::internetLink(const QString &address) { print(QStringLiteral("InternetLink"), {address}); }

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
