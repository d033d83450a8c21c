// The TextWindow, ImageWindow and CloseWindow commands of a running publication.
#pragma once

#include "runproviders.h"
#include "textwindow.h"

namespace vardeko {

class FloatingWindowProvider : public WindowProvider
{
public:
    void imageWindow(RunContext &run, const QString &title, int x, int y, const QString &file) override;
    void textWindow(RunContext &run, const QString &title, int x, int y, const QString &file) override;
    void closeWindow(RunContext &run, const QString &name) override;
    void closeAll() override;
    QString formattedTextFile(RunContext &run, const QString &file) override;
    void showFoundLine(RunContext &run, const QString &file, int line) override;

    FloatingWindowList &windows() { return mWindows; }

private:
    void open(RunContext &run, const QString &title, int x, int y, const QString &file,
              TFloatingWindowForm::Kind kind);

    FloatingWindowList mWindows;
    QPointer<TFloatingWindowForm> mMarked; // the window showing the search's match
};

// Makes TextWindow, ImageWindow and CloseWindow open and close real windows.
void installFloatingWindowProvider();

} // namespace vardeko
