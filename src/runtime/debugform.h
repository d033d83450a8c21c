// "Debug Info": a floating window listing the variables and the script lines as they run.
#pragma once

#include <QWidget>

class QFrame;
class QLabel;
class QListWidget;
class QTabWidget;
class QToolButton;

namespace vardeko {

class VariableStore;

class TDebugForm : public QWidget
{
    Q_OBJECT
public:
    static constexpr int MaxLines = 500;
    static constexpr int EdgeGrip = 12;

    explicit TDebugForm(QWidget *parent = nullptr);

    // A command about to run (only while the window is visible): two blanks per run
    // level above the first; after 500 rows the list starts again.
    void RecordLine(int runDepth, const QString &line);
    // Rebuilt once the running script lets events through, so a loop that changes a
    // variable on every line does not rebuild the list on every line.
    void RefreshVariables(const VariableStore &store);
    void ClearLines();

    bool isRolledUp() const { return mRolledUp; }
    void setRolledUp(bool rolledUp);
    // The height the window has when rolled down.
    int unrolledHeight() const { return mRestoreHeight; }

    QListWidget *varList() const { return VarList; }
    QListWidget *scriptList() const { return ScriptList; }
    QTabWidget *pageControl() const { return PageControl; }

signals:
    // The close button: the main window's command hides the window.
    void closeRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    Qt::Edges edgesAt(const QPoint &pos) const;
    void updateTitleColours();

    QFrame *MainPanel = nullptr;
    QFrame *TitleBar = nullptr;
    QLabel *TitleLabel = nullptr;
    QToolButton *RollUpBtn = nullptr;
    QToolButton *CloseBtn = nullptr;
    QTabWidget *PageControl = nullptr;
    QListWidget *VarList = nullptr;
    QListWidget *ScriptList = nullptr;
    bool mRolledUp = false;
    int mRestoreHeight = 200;
    bool mRolling = false;
    const VariableStore *mStore = nullptr;
    bool mRefreshPending = false;
};

} // namespace vardeko
