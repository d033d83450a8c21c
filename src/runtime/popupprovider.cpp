// The pop-ups and page transitions of run mode, as the run session asks for them.
#include "popupprovider.h"

#include "mediaprovider.h"

#include "popupbase.h"
#include "popupforms.h"
#include "progressreport.h"
#include "querydialog.h"
#include "transition.h"
#include "transitionplayer.h"

#include <QMenu>
#include <QPainter>
#include <QPaintEvent>
#include <QPointer>
#include <QWidget>

namespace vardeko {

namespace {

QWidget *ownerWindow(RunContext &run)
{
    QWidget *page = run.pageWidget();
    return page ? page->window() : nullptr;
}

QRect pageOnScreen(RunContext &run)
{
    const PublicationSettings &s = run.publication().Settings;
    return QRect(run.pageToGlobal(QPoint(0, 0)), QSize(s.ScreenWidth, s.ScreenHeight));
}

PopupRun popupRun(RunContext &run)
{
    return run.isScripted() ? PopupRun::CloseAtOnce : PopupRun::Modal;
}

// A scripted choice outside the offered ones counts as none.
int scriptedChoice(RunContext &run, int count)
{
    const int answer = run.takeAnswer();
    return answer >= 0 && answer <= count ? answer : 0;
}

class ReaderPopups : public PopupProvider
{
public:
    void showAlert(RunContext &run, const QString &title, const QString &text) override
    {
        query(run, title, text, {run.language(L_OK)});
    }
    void alertBox(RunContext &run, const QString &title, const QString &message) override
    {
        query(run, title, message, {run.language(L_OK)});
    }
    int messageBox(RunContext &run, const QString &title, const QString &message, const QStringList &buttons) override
    {
        if (run.isScripted())
            return scriptedChoice(run, int(std::min<qsizetype>(buttons.size(), QueryMaxButtons)));
        return query(run, title, message, buttons);
    }
    bool confirmExit(RunContext &run, const QString &title, const QString &message) override
    {
        if (run.isScripted())
            return run.takeAnswer() == 1;
        return query(run, title, message, {run.language(L_YES), run.language(L_NO)}) == 1;
    }
    void balloon(RunContext &run, const QString &message) override
    {
        ShowBalloon(QPoint(-1, -1), message, popupRun(run));
    }
    void stickyNote(RunContext &run, int x, int y, const QString &message, int milliseconds) override
    {
        ShowStickyNote(pageOnScreen(run), x, y, milliseconds, message, popupRun(run));
    }
    bool popupImage(RunContext &run, int x, int y, const QString &file, int milliseconds, int effect,
                    int speed) override
    {
        return ShowPopupImage(pageOnScreen(run), x, y, run.resolveFile(file), effect, speed, milliseconds,
                              popupRun(run));
    }
    int popupMenu(RunContext &run, int x, int y, const QStringList &items) override
    {
        if (run.isScripted())
            return scriptedChoice(run, int(items.size()));
        const PublicationSettings &s = run.publication().Settings;
        const QPoint at(x == -1 ? s.ScreenWidth / 2 : x, y == -1 ? s.ScreenHeight / 2 : y);
        QMenu menu(ownerWindow(run));
        QList<QAction *> actions;
        for (const QString &item : items)
            actions.append(menu.addAction(item));
        mMenus.append(&menu);
        QAction *chosen = menu.exec(run.pageToGlobal(at));
        mMenus.removeAll(&menu);
        return int(actions.indexOf(chosen)) + 1;
    }
    void startProgress(RunContext &run, const QString &title, int maximum) override
    {
        if (!mProgress)
            mProgress = new TProgressReport(ownerWindow(run));
        mProgress->Open(maximum, &run.publication());
        if (!title.isEmpty())
            mProgress->setWindowTitle(title);
        if (!run.isScripted())
            mProgress->Update(nullptr, 0);
    }
    void setProgress(int position) override
    {
        if (mProgress)
            mProgress->setPosition(position);
    }
    bool stopPressed() const override { return mProgress && mProgress->cancelled(); }
    void finishProgress() override
    {
        if (mProgress)
            mProgress->Close();
    }
    bool isPaletteOpen() const override { return TPopUpPalette::isAnyOpen() || !mMenus.isEmpty(); }
    void closePagePopups() override { TPopUpPalette::dismissAll(); }
    void endLoops() override
    {
        TPopUpPalette::dismissAll();
        for (const QPointer<QMenu> &menu : mMenus)
            if (menu)
                menu->close();
        for (const QPointer<TQueryForm> &form : mQueries)
            if (form)
                form->reject();
    }

private:
    int query(RunContext &run, const QString &title, const QString &message, const QStringList &buttons)
    {
        if (run.isScripted())
            return 0;
        TQueryForm form(title, message, buttons, ownerWindow(run));
        mQueries.append(&form);
        form.exec();
        mQueries.removeAll(&form);
        return form.chosen();
    }

    QList<QPointer<QMenu>> mMenus;
    QList<QPointer<TQueryForm>> mQueries;
    QPointer<TProgressReport> mProgress;
};

// Covers the page while an effect plays: it shows the frame the steps build.
class TransitionOverlay : public QWidget
{
public:
    TransitionOverlay(QWidget *parent, const QImage &frame) : QWidget(parent), mFrame(frame)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    QImage &frame() { return mFrame; }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QPainter painter(this);
        painter.drawImage(event->rect().topLeft(), mFrame, event->rect());
    }

private:
    QImage mFrame;
};

class ReaderTransitions : public TransitionProvider
{
public:
    void playTransition(QWidget *target, const QRect &area, const QImage &previous, const QImage &next, int effect,
                        int speed) override
    {
        if (!target || area.isEmpty() || next.isNull() || effect <= 0 || effect > LastEffect)
            return;
        const QImage newPage = toTransitionFormat(next);
        // The old page stays as it was shown; where it is missing the new page's colour is
        // not known yet, so white stands in.
        QImage start(newPage.size(), QImage::Format_ARGB32);
        start.fill(Qt::white);
        {
            QPainter painter(&start);
            painter.drawImage(0, 0, previous);
        }
        QPointer<TransitionOverlay> overlay = new TransitionOverlay(target, start);
        overlay->setGeometry(QRect(area.topLeft(), newPage.size()));
        overlay->show();
        overlay->raise();
        const QList<TransitionStep> steps = transitionSteps(effect, speed, newPage.size(), area.topLeft());
        vardeko::playTransition(steps, [&](const TransitionStep &step) {
            if (!overlay)
                return;
            applyTransitionStep(overlay->frame(), newPage, step, area.topLeft());
            if (!step.scroll.isNull()) {
                overlay->update();
                return;
            }
            for (const TransitionCopy &copy : step.copies)
                overlay->update(QRect(copy.target, copy.source.size()));
        });
        delete overlay.data();
    }
};

} // namespace

std::unique_ptr<PopupProvider> makeReaderPopups()
{
    return std::make_unique<ReaderPopups>();
}

std::unique_ptr<TransitionProvider> makeReaderTransitions()
{
    return std::make_unique<ReaderTransitions>();
}

void installReaderProviders()
{
    installPopupProvider(makeReaderPopups());
    installTransitionProvider(makeReaderTransitions());
    installMediaProvider(makeReaderMedia());
}

} // namespace vardeko
