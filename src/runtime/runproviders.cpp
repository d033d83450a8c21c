// The provider slots of run mode and the fallbacks that hold them until the real ones exist.
#include "runproviders.h"

#include <QMutex>
#include <QSet>
#include <QTextStream>

namespace vardeko {

void noteMissingProvider(const char *command)
{
    static QMutex mutex;
    static QSet<QByteArray> noted;
    QMutexLocker lock(&mutex);
    const QByteArray word(command);
    if (noted.contains(word))
        return;
    noted.insert(word);
    QTextStream(stderr) << "vardeko: " << word
                        << " is not available in this program; the request is only recorded."
                        << Qt::endl;
}

namespace {

// Each fallback answers as the console host does: choices from the scripted answers
// (0 when there are none), files taken as readable, nothing shown.
class FallbackPopups : public PopupProvider
{
public:
    void showAlert(RunContext &, const QString &, const QString &) override { noteMissingProvider("Alert"); }
    void alertBox(RunContext &, const QString &, const QString &) override { noteMissingProvider("AlertBox"); }
    int messageBox(RunContext &run, const QString &, const QString &, const QStringList &) override
    {
        noteMissingProvider("MessageBox");
        return run.takeAnswer();
    }
    bool confirmExit(RunContext &run, const QString &, const QString &) override
    {
        noteMissingProvider("Exit");
        return run.takeAnswer() == 1;
    }
    void balloon(RunContext &, const QString &) override { noteMissingProvider("Balloon"); }
    void stickyNote(RunContext &, int, int, const QString &, int) override { noteMissingProvider("StickyNote"); }
    bool popupImage(RunContext &, int, int, const QString &, int, int, int) override
    {
        noteMissingProvider("PopupImage");
        return true;
    }
    int popupMenu(RunContext &run, int, int, const QStringList &) override
    {
        noteMissingProvider("Menu");
        return run.takeAnswer();
    }
    void startProgress(RunContext &, const QString &, int) override { noteMissingProvider("Progress"); }
    void setProgress(int) override {}
    bool stopPressed() const override { return false; }
    void finishProgress() override {}
    bool isPaletteOpen() const override { return false; }
    void closePagePopups() override {}
    void endLoops() override {}
};

class FallbackTransitions : public TransitionProvider
{
public:
    void playTransition(QWidget *, const QRect &, const QImage &, const QImage &, int, int) override
    {
        // The caller shows the new page at once afterwards.
        noteMissingProvider("Transition");
    }
};

class FallbackMedia : public MediaProvider
{
public:
    void playSoundFile(RunContext &, const QString &, int) override { noteMissingProvider("PlaySoundFile"); }
    void playVideoFile(RunContext &, int, int, int, int, const QString &, int) override
    {
        noteMissingProvider("PlayVideoFile");
    }
    void playFlicFile(RunContext &, int, int, int, int, const QString &, int, int) override
    {
        noteMissingProvider("PlayFlicFile");
    }
    void playCartoonFile(RunContext &, int, int, int, int, const QString &, int, int, int) override
    {
        noteMissingProvider("PlayCartoonFile");
    }
    void playTone(RunContext &, int) override { noteMissingProvider("PlayTone"); }
    void stopMedia(RunContext &, const QString &) override { noteMissingProvider("StopMedia"); }
    int mciCommand(RunContext &, const QString &) override
    {
        noteMissingProvider("MCICommand");
        return 261; // MCI's "unrecognised command", as the console host reports
    }
    void stopAll() override {}
};

class FallbackWindows : public WindowProvider
{
public:
    void imageWindow(RunContext &, const QString &, int, int, const QString &) override
    {
        noteMissingProvider("ImageWindow");
    }
    void textWindow(RunContext &, const QString &, int, int, const QString &) override
    {
        noteMissingProvider("TextWindow");
    }
    void closeWindow(RunContext &, const QString &) override { noteMissingProvider("CloseWindow"); }
    void closeAll() override {}
};

class FallbackPrinting : public PrintProvider
{
public:
    void printTextFile(RunContext &, const QString &, const QString &, const QString &, bool dataFile) override
    {
        noteMissingProvider(dataFile ? "PrintDataFile" : "PrintTextFile");
    }
    void printImageFile(RunContext &, const QString &, int) override { noteMissingProvider("PrintImageFile"); }
    void printPage(RunContext &, const Page &) override { noteMissingProvider("PrintPage"); }
};

struct ProviderSlots
{
    FallbackPopups fallbackPopups;
    FallbackTransitions fallbackTransitions;
    FallbackMedia fallbackMedia;
    FallbackWindows fallbackWindows;
    FallbackPrinting fallbackPrinting;
    std::unique_ptr<PopupProvider> popups;
    std::unique_ptr<TransitionProvider> transitions;
    std::unique_ptr<MediaProvider> media;
    std::unique_ptr<WindowProvider> windows;
    std::unique_ptr<PrintProvider> printing;
    RunProviders current{&fallbackPopups, &fallbackTransitions, &fallbackMedia, &fallbackWindows,
                         &fallbackPrinting};
};

ProviderSlots &providerSlots()
{
    static ProviderSlots s;
    return s;
}

template<typename T, typename F>
void install(std::unique_ptr<T> &owned, T *&current, F &fallback, std::unique_ptr<T> provider)
{
    current = provider ? provider.get() : static_cast<T *>(&fallback);
    owned = std::move(provider);
}

} // namespace

RunProviders &runProviders()
{
    return providerSlots().current;
}

InstalledProviders installedProviders()
{
    const ProviderSlots &s = providerSlots();
    return {bool(s.popups), bool(s.transitions), bool(s.media), bool(s.windows), bool(s.printing)};
}

void installPopupProvider(std::unique_ptr<PopupProvider> provider)
{
    ProviderSlots &s = providerSlots();
    install(s.popups, s.current.popups, s.fallbackPopups, std::move(provider));
}

void installTransitionProvider(std::unique_ptr<TransitionProvider> provider)
{
    ProviderSlots &s = providerSlots();
    install(s.transitions, s.current.transitions, s.fallbackTransitions, std::move(provider));
}

void installMediaProvider(std::unique_ptr<MediaProvider> provider)
{
    ProviderSlots &s = providerSlots();
    install(s.media, s.current.media, s.fallbackMedia, std::move(provider));
}

void installWindowProvider(std::unique_ptr<WindowProvider> provider)
{
    ProviderSlots &s = providerSlots();
    install(s.windows, s.current.windows, s.fallbackWindows, std::move(provider));
}

void installPrintProvider(std::unique_ptr<PrintProvider> provider)
{
    ProviderSlots &s = providerSlots();
    install(s.printing, s.current.printing, s.fallbackPrinting, std::move(provider));
}

RunProvidersScope::~RunProvidersScope()
{
    // Media stop before the windows and pages they play into go.
    installMediaProvider(nullptr);
    installWindowProvider(nullptr);
    installPopupProvider(nullptr);
    installTransitionProvider(nullptr);
    installPrintProvider(nullptr);
}

} // namespace vardeko
