// The TextWindow, ImageWindow and CloseWindow commands of a running publication.
#include "textwindowprovider.h"

#include "runsession.h"
#include "scriptrunner.h"

#include <QScrollBar>

namespace vardeko {

void FloatingWindowProvider::open(RunContext &run, const QString &title, int x, int y,
                                  const QString &file, TFloatingWindowForm::Kind kind)
{
    FloatingWindowHost host;
    const RunFont font = run.runFont();
    host.font = ArticleFont{font.name, font.points, font.style};
    if (auto *session = dynamic_cast<RunSession *>(&run)) {
        QPointer<RunSession> guard(session);
        host.runScript = [guard](const QString &script) {
            // Links only work while the publication runs.
            if (guard && guard->isRunning())
                guard->ExecuteScript(script);
        };
        host.tempDir = session->window().tempDir();
    }
    // Positions are page points; -1 centres on the screen.
    const QPoint origin = run.pageToGlobal(QPoint(0, 0));
    const int left = x == -1 ? -1 : origin.x() + x;
    const int top = y == -1 ? -1 : origin.y() + y;
    mWindows.OpenFloatingWindow(title, run.resolveFile(file), left, top, kind, host);
}

void FloatingWindowProvider::imageWindow(RunContext &run, const QString &title, int x, int y,
                                         const QString &file)
{
    open(run, title, x, y, file, TFloatingWindowForm::ImageWindow);
}

void FloatingWindowProvider::textWindow(RunContext &run, const QString &title, int x, int y,
                                        const QString &file)
{
    open(run, title, x, y, file, TFloatingWindowForm::TextWindow);
}

void FloatingWindowProvider::closeWindow(RunContext &run, const QString &name)
{
    if (name.isEmpty())
        mWindows.CloseAllFloatingWindows();
    else
        mWindows.CloseFloatingWindow(name);
}

void FloatingWindowProvider::closeAll()
{
    mWindows.CloseAllFloatingWindows();
}

QString FloatingWindowProvider::formattedTextFile(RunContext &run, const QString &file)
{
    const TFloatingWindowForm *window = mWindows.FindFloatingWindow(run.resolveFile(file));
    return window && window->kind() == TFloatingWindowForm::TextWindow ? window->formattedFile() : QString();
}

void FloatingWindowProvider::showFoundLine(RunContext &run, const QString &file, int line)
{
    TFloatingWindowForm *window = file.isEmpty() ? nullptr : mWindows.FindFloatingWindow(run.resolveFile(file));
    if (window && window->kind() != TFloatingWindowForm::TextWindow)
        window = nullptr;
    if (mMarked && mMarked != window)
        mMarked->setFoundLine(-1);
    mMarked = window;
    if (!window)
        return;
    window->verticalBar()->setValue(line);
    window->setFoundLine(line);
}

void installFloatingWindowProvider()
{
    installWindowProvider(std::make_unique<FloatingWindowProvider>());
}

} // namespace vardeko
