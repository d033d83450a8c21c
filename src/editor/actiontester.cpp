// The Test buttons of the action editor: a command tried with the values of its fields.
#include "actiontester.h"

#include "actiontexts.h"
#include "commandtable.h"
#include "filenames.h"
#include "pageeffects.h"
#include "programs.h"
#include "runproviders.h"
#include "scriptvalues.h"
#include "stringcommands.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QWidget>

namespace vardeko {

ActionTester::~ActionTester() = default;

namespace {

// The run context of a test: the publication being edited and a widget to show on.
class TestContext : public RunContext
{
public:
    TestContext(const Publication &pub, QWidget *widget, QWidget *surface)
        : mPub(pub), mWidget(widget), mSurface(surface)
    {
    }
    const Publication &publication() const override { return mPub; }
    QWidget *pageWidget() const override { return mSurface ? mSurface : mWidget; }
    QPoint pageToGlobal(const QPoint &p) const override
    {
        if (mSurface)
            return mSurface->mapToGlobal(p);
        // Without a page, page coordinates are taken on the screen.
        const QScreen *screen = mWidget ? mWidget->screen() : QApplication::primaryScreen();
        return (screen ? screen->geometry().topLeft() : QPoint()) + p;
    }
    QString resolveFile(const QString &stored) const override
    {
        const QString dir = mPub.FileName.isEmpty() ? QString() : QFileInfo(mPub.FileName).absolutePath();
        return locateFile(stored, dir);
    }
    RunFont runFont() const override { return RunFont(); }
    bool isScripted() const override { return false; }
    int takeAnswer() override { return 0; }

private:
    const Publication &mPub;
    QPointer<QWidget> mWidget;
    QPointer<QWidget> mSurface;
};

enum class Needs { Nothing, Popups, Media, Windows, Printing, Programs };

Needs needsOf(int command)
{
    switch (command) {
    case CmdAlertBox:
    case CmdExit:
    case CmdMessageBox:
    case CmdBalloon:
    case CmdMenu:
    case CmdMenuEx:
    case CmdPopupImage:
    case CmdStickyNote:
        return Needs::Popups;
    case CmdPlayTone:
    case CmdPlaySoundFile:
    case CmdPlayVideoFile:
    case CmdPlayFlicFile:
    case CmdPlayCartoonFile:
    case CmdMCICommand:
        return Needs::Media;
    case CmdImageWindow:
    case CmdTextWindow:
        return Needs::Windows;
    case CmdPrintTextFile:
    case CmdPrintDataFile:
    case CmdPrintImageFile:
        return Needs::Printing;
    case CmdDOSCommand:
    case CmdInternetLink:
        return Needs::Programs;
    default:
        return Needs::Nothing;
    }
}

QString lineBreaks(QString text)
{
    text.replace(u'|', u'\r');
    return text;
}

} // namespace

struct ProviderTester::Impl
{
    const Publication *pub;
    Publication empty;
    int runningCommand = 0;
    QString runningFile;

    const Publication &publication() const { return pub ? *pub : empty; }
};

ProviderTester::ProviderTester(const Publication *publication) : d(new Impl{publication, {}, 0, {}})
{
}

ProviderTester::~ProviderTester()
{
    delete d;
}

bool ProviderTester::canTest(int command) const
{
    const InstalledProviders installed = installedProviders();
    switch (needsOf(command)) {
    case Needs::Popups: return installed.popups;
    case Needs::Media: return installed.media;
    case Needs::Windows: return installed.windows;
    case Needs::Printing: return installed.printing;
    case Needs::Programs: return true;
    case Needs::Nothing: break;
    }
    return false;
}

void ProviderTester::test(QWidget *dialog, int command, const QStringList &params, QWidget *surface)
{
    if (!canTest(command))
        return;
    QStringList p = params;
    while (p.size() < 8)
        p.append(QString());
    auto num = [&p](int i) { return integerValue(p.at(i)); };
    TestContext run(d->publication(), dialog, surface);
    RunProviders &providers = runProviders();
    // Without the preview, windows and notes open centred on the screen.
    const int centre = -1;
    switch (command) {
    case CmdAlertBox:
        providers.popups->alertBox(run, p[0], lineBreaks(p[1]));
        break;
    case CmdExit:
        providers.popups->confirmExit(run, p[0], lineBreaks(p[1]));
        break;
    case CmdMessageBox:
        providers.popups->messageBox(run, p[0], lineBreaks(p[1]), p[2].split(u'|'));
        break;
    case CmdBalloon:
        providers.popups->balloon(run, lineBreaks(p[0]));
        break;
    case CmdMenu:
    case CmdMenuEx: {
        const QStringList items = p[2].split(u'|', Qt::SkipEmptyParts);
        if (items.isEmpty()) {
            QApplication::beep();
            break;
        }
        providers.popups->popupMenu(run, surface ? num(0) : centre, surface ? num(1) : centre, items);
        break;
    }
    case CmdPopupImage:
        if (!providers.popups->popupImage(run, surface ? num(0) : centre, surface ? num(1) : centre,
                                          run.resolveFile(p[2]), num(3), effectByName(p[4]), num(5)))
            QMessageBox::warning(dialog, QString(ActionText::DebugTitle),
                                 u'"' + p[2] + QLatin1String("\"\n\n") + ActionText::ImageMissing);
        break;
    case CmdStickyNote:
        providers.popups->stickyNote(run, surface ? num(0) : centre, surface ? num(1) : centre,
                                     lineBreaks(p[2]), num(3));
        break;
    case CmdPlayTone:
        providers.media->playTone(run, int(qMin<qint64>(std::abs(qint64(num(0))) % 65536, 32767)));
        break;
    case CmdPlaySoundFile:
        providers.media->playSoundFile(run, run.resolveFile(p[0]), playMode(p[1]) == 1 ? 0 : playMode(p[1]));
        d->runningCommand = command;
        d->runningFile = p[0];
        break;
    case CmdPlayVideoFile:
        providers.media->playVideoFile(run, num(0), num(1), num(2), num(3), run.resolveFile(p[4]), 0);
        d->runningCommand = command;
        d->runningFile = p[4];
        break;
    case CmdPlayFlicFile:
        providers.media->playFlicFile(run, num(0), num(1), num(2), num(3), run.resolveFile(p[4]), num(5), 0);
        d->runningCommand = command;
        d->runningFile = p[4];
        break;
    case CmdPlayCartoonFile:
        providers.media->playCartoonFile(run, num(0), num(1), num(2), num(3), run.resolveFile(p[4]), num(5),
                                         num(6), 0);
        d->runningCommand = command;
        d->runningFile = p[4];
        break;
    case CmdMCICommand: {
        const int code = providers.media->mciCommand(run, p[0]);
        if (code != 0) {
            QMessageBox::warning(dialog, QString(ActionText::MciErrorTitle),
                                 ActionText::MciErrorText + QLatin1String("\n\nError #")
                                         + QString::number(code) + QLatin1String("\n\n")
                                         + providers.media->lastMciReturn());
        }
        break;
    }
    case CmdImageWindow:
    case CmdTextWindow: {
        const int x = surface ? num(1) : centre;
        const int y = surface ? num(2) : centre;
        if (command == CmdImageWindow)
            providers.windows->imageWindow(run, p[0], x, y, run.resolveFile(p[3]));
        else
            providers.windows->textWindow(run, p[0], x, y, run.resolveFile(p[3]));
        d->runningCommand = command;
        d->runningFile = p[3];
        break;
    }
    case CmdPrintTextFile:
    case CmdPrintDataFile:
        providers.printing->printTextFile(run, p[0], p[1], run.resolveFile(p[2]), command == CmdPrintDataFile);
        break;
    case CmdPrintImageFile: {
        QString digits;
        for (const QChar ch : p[1]) {
            if (ch.isDigit())
                digits += ch;
        }
        providers.printing->printImageFile(run, run.resolveFile(p[0]), qMax(5, integerValue(digits)));
        break;
    }
    case CmdDOSCommand: {
        const QString dir = d->publication().FileName.isEmpty()
                                    ? QString()
                                    : QFileInfo(d->publication().FileName).absolutePath();
        const ProgramResult r = RunProgram(p[0].trimmed(), p[1].trimmed(), dir);
        if (r.code <= 32)
            QMessageBox::warning(dialog, commandName(command), programErrorText(r.code));
        break;
    }
    case CmdInternetLink:
        if (!OpenWebAddress(p[0]))
            QMessageBox::warning(dialog, commandName(command), run.language(L_INTERNETERROR));
        break;
    default:
        break;
    }
}

bool ProviderTester::endRunningTest(int command)
{
    if (d->runningCommand != command || d->runningCommand == 0)
        return false;
    TestContext run(d->publication(), nullptr, nullptr);
    RunProviders &providers = runProviders();
    if (command == CmdImageWindow || command == CmdTextWindow)
        providers.windows->closeWindow(run, QFileInfo(d->runningFile).fileName());
    else
        providers.media->stopMedia(run, d->runningFile);
    d->runningCommand = 0;
    d->runningFile.clear();
    return true;
}

void ProviderTester::endAllTests()
{
    if (d->runningCommand)
        endRunningTest(d->runningCommand);
}

} // namespace vardeko
