// Run mode in the main window: Book > Run / Stop, the debug window, the second tick and
// the palettes that step aside while a publication runs.
#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>

namespace vardeko {

class TChildForm;
class TDebugForm;
class TMainForm;

class RunCommands : public QObject
{
    Q_OBJECT
public:
    explicit RunCommands(TMainForm &main);
    ~RunCommands() override;

    // Gives Run and Show Debugging Info their work.
    void connectCommands();
    // A new publication window.
    void attach(TChildForm *child);
    void updateStates();
    // After the preferences are read / before they are written.
    void restore();
    void store();

    TDebugForm *debugForm() const { return mDebug; }
    void setDebugShown(bool shown);

private:
    void activeChanged();
    void runLayoutChanged(TChildForm *child, bool running, bool fullScreen);

    TMainForm &mMain;
    TDebugForm *mDebug = nullptr;
    QPointer<TChildForm> mActive;
    bool mMainWasFullScreen = false;
    bool mPalettesHidden = false;
    bool mToolPaletteWasShown = false;
};

} // namespace vardeko
