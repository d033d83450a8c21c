// Run mode's media: the media list, tones and the MCI strings behind MediaProvider.
#include "mediaprovider.h"

#include "mcibackend.h"
#include "mcistring.h"
#include "medialist.h"
#include "toneplayer.h"

#include <QFileInfo>
#include <QWidget>

namespace vardeko {

namespace {

// A wait for media started by a script ends when the script is told to end.
class WaitScope
{
public:
    WaitScope(MediaList &list, RunContext &run) : mList(list)
    {
        mList.setWaitCancelled([&run] { return run.waitCancelled(); });
    }
    ~WaitScope() { mList.setWaitCancelled(nullptr); }

private:
    MediaList &mList;
};

class ReaderMedia : public MediaProvider
{
public:
    ReaderMedia() : mMci(&mBackend) {}

    void playSoundFile(RunContext &run, const QString &file, int mode) override
    {
        const QString path = run.resolveFile(file);
        if (!QFileInfo(path).isFile()) {
            mediaError(run, file);
            return;
        }
        hookFailures(run);
        WaitScope scope(mList, run);
        mList.playSound(path, mode);
    }

    void playVideoFile(RunContext &run, int x, int y, int width, int height, const QString &file, int mode) override
    {
        QWidget *page = run.pageWidget();
        const QString path = run.resolveFile(file);
        if (!QFileInfo(path).isFile()) {
            mediaError(run, file);
            return;
        }
        if (!page) {
            playSoundFile(run, file, mode);
            return;
        }
        hookFailures(run);
        WaitScope scope(mList, run);
        mList.playVideo(page, pageRect(run), x, y, width, height, path, mode);
    }

    void playFlicFile(RunContext &run, int x, int y, int width, int height, const QString &file, int times,
                      int mode) override
    {
        QWidget *page = run.pageWidget();
        if (!page)
            return;
        WaitScope scope(mList, run);
        mList.playFlic(page, pageRect(run), x, y, width, height, run.resolveFile(file), times, mode);
    }

    void playCartoonFile(RunContext &run, int x1, int y1, int x2, int y2, const QString &file, int times,
                         int speed, int mode) override
    {
        QWidget *page = run.pageWidget();
        if (!page)
            return;
        WaitScope scope(mList, run);
        mList.playCartoon(page, pageRect(run), x1, y1, x2, y2, run.resolveFile(file), times, speed, mode);
    }

    void playTone(RunContext &, int hertz) override { vardeko::playTone(hertz); }

    void stopMedia(RunContext &, const QString &what) override { mList.stopMedia(what); }

    int mciCommand(RunContext &, const QString &command) override
    {
        const MciReply reply = mMci.send(command);
        mLastReturn = reply.text;
        return reply.code;
    }

    QString lastMciReturn() const override { return mLastReturn; }

    void stopAll() override
    {
        mList.stopAll();
        mMci.closeAll();
    }

private:
    // Where the page lies in the page widget.
    static QRect pageRect(RunContext &run)
    {
        const QPoint origin = run.pageWidget()->mapFromGlobal(run.pageToGlobal(QPoint(0, 0)));
        const Publication &pub = run.publication();
        return QRect(origin, QSize(pub.Settings.ScreenWidth, pub.Settings.ScreenHeight));
    }

    void mediaError(RunContext &run, const QString &file)
    {
        runProviders().popups->messageBox(run, run.language(L_ERRORTITLE),
                                          QFileInfo(file).fileName() + QStringLiteral("\r\r")
                                                  + run.language(L_MEDIAERROR),
                                          {run.language(L_OK)});
    }

    void hookFailures(RunContext &run)
    {
        QObject::disconnect(mFailures);
        mFailures = QObject::connect(&mList, &MediaList::playFailed, &mList,
                                     [this, &run](const QString &file) { mediaError(run, file); });
    }

    MediaList mList;
    PlayerMciBackend mBackend;
    MciEmulator mMci;
    QString mLastReturn;
    QMetaObject::Connection mFailures;
};

} // namespace

std::unique_ptr<MediaProvider> makeReaderMedia()
{
    return std::make_unique<ReaderMedia>();
}

} // namespace vardeko
