// The action palette: a pop-up list of the script commands by category.
#pragma once

#include <QWidget>

class QEventLoop;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QTabBar;

namespace vardeko {

class TActionPalette : public QWidget
{
    Q_OBJECT

public:
    enum Tab { BasicTab, AdvancedTab, BothTab };

    explicit TActionPalette(QWidget *parent = nullptr);

    // Shows the palette at a screen point and waits: the chosen command number, or 0
    // when the palette closed without a choice.
    int choose(const QPoint &screenPoint);

    // The tab the palette opens with: the one last used. The main window keeps it
    // between runs as the preference ActionPalette.
    static int rememberedTab();
    static void setRememberedTab(int tab);
    void setTab(int tab);
    int tab() const;
    // Command numbers listed on the current tab, in command-number order.
    QList<int> listedCommands() const;
    // Hovering: the entry becomes current and its name and description show.
    void hoverCommand(int row);
    // Choosing: the palette closes with that command.
    void chooseRow(int row);
    QListWidget *list() const { return ActionList; }
    QLabel *heading() const { return ActionHeading; }
    QLabel *description() const { return ActionDesc; }

protected:
    void hideEvent(QHideEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void fill();

    QTabBar *mTabs;
    QListWidget *ActionList;
    QLabel *ActionHeading;
    QLabel *ActionDesc;
    QLabel *ActionHint;
    QEventLoop *mLoop = nullptr;
    int mChosen = 0;
};

} // namespace vardeko
