// Answers the editor's questions from a script and records what it was told.
#pragma once

#include "edithost.h"

#include <QList>
#include <QStringList>

#include <deque>
#include <functional>

namespace vardeko {

class FakeEditHost : public EditHost
{
public:
    EditSettings settings;
    int tool = PointerTool;
    ToolAttributes attributes;
    int beeps = 0;
    QStringList alerts;
    QStringList openTitles;
    QList<DialogFolder> openFolders;
    std::deque<QString> fileChoices; // empty: cancelled
    std::deque<bool> confirmations;  // empty: No
    QString savedDir;
    // Fills in a new or edited object; none: the dialog is cancelled.
    std::function<bool(PageObject &)> dialog;
    std::function<QWidget *(const QPoint &)> widgetUnder;
    QString lastCaption;
    int readouts = 0;
    QStringList opened;
    Page *tabPage = nullptr; // the page tab the cursor is over during a move
    QList<Page *> shownPages;
    int openGestures = 0; // started and not yet finished
    int adjustments = 0; // adjustment dialogs opened (and cancelled)

    EditSettings editSettings() const override { return settings; }
    int currentTool() const override { return tool; }
    ToolAttributes toolAttributes() const override { return attributes; }
    void showReadout(const QString &caption, int, int) override
    {
        lastCaption = caption;
        ++readouts;
    }
    void beep() override { ++beeps; }
    void gestureStarted() override { ++openGestures; }
    void gestureFinished() override { --openGestures; }
    QWidget *widgetAt(const QPoint &globalPos) const override
    {
        return widgetUnder ? widgetUnder(globalPos) : EditHost::widgetAt(globalPos);
    }
    void openPublication(const QString &fileName) override { opened.append(fileName); }
    Page *pageTabAt(const EditController &, const QPoint &) const override { return tabPage; }
    void showPage(EditController &controller, Page *page) override;
    QString chooseOpenFile(QWidget *, const QString &title, const QString &,
                           DialogFolder folder) override
    {
        openTitles.append(title);
        openFolders.append(folder);
        return next();
    }
    QString chooseSaveFile(QWidget *, const QString &, const QString &, QString &dir) override
    {
        const QString name = next();
        savedDir = dir;
        return name;
    }
    void alert(QWidget *, const QString &, const QString &text) override { alerts.append(text); }
    bool confirm(QWidget *, const QString &, const QString &) override
    {
        if (confirmations.empty())
            return false;
        const bool yes = confirmations.front();
        confirmations.pop_front();
        return yes;
    }
    bool adjustObjects(QWidget *, Publication &, Page &) override
    {
        ++adjustments;
        return false;
    }
    bool defineObject(QWidget *, Publication &, PageObject &object, const QRect &, bool) override
    {
        return dialog && dialog(object);
    }

private:
    QString next()
    {
        if (fileChoices.empty())
            return QString();
        const QString c = fileChoices.front();
        fileChoices.pop_front();
        return c;
    }
};

} // namespace vardeko

#include "editcontroller.h"

inline void vardeko::FakeEditHost::showPage(EditController &controller, Page *page)
{
    shownPages.append(page);
    controller.pageChanged();
    controller.publication().setCurrentPage(page);
}
