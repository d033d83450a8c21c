// "Debug Info": a floating window listing the variables and the script lines as they run.
#pragma once

#include <QAbstractListModel>
#include <QTimer>
#include <QWidget>

#include <vector>

class QFrame;
class QLabel;
class QListView;
class QListWidget;
class QTabWidget;
class QToolButton;

namespace vardeko {

class VariableStore;

// The script lines recorded for the Actions tab. Lines are kept here as they run and
// reach the view at most once a frame, so a loop recording every line pays for an
// entry, not for a list row. A running script's lines are borrowed: most are dropped by
// the 500-line rule before anyone reads them, and the rest are copied when their run
// ends.
class RecordedLines : public QAbstractListModel
{
public:
    using QAbstractListModel::QAbstractListModel;
    // Two blanks per run level above the first; once 500 lines are held the list
    // starts again.
    void record(int runDepth, const QString &line);
    // As record(), the text read from `line` until keepBorrowed(): it must live until then.
    void recordBorrowed(int runDepth, const QString &line);
    // Copies the borrowed texts (a run whose lines they are ends).
    void keepBorrowed();
    void clear();
    // The lines recorded so far, as the view will show them.
    int lineCount() const { return int(mLines.size()); }
    QString lineText(int row) const;
    // Brings the view's rows up to the lines recorded; false when nothing changed.
    bool publish();
    bool hasUnpublished() const { return mDirty; }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

private:
    struct Line
    {
        int depth;
        const QString *borrowed;
        QString text;
    };
    void makeRoom();
    std::vector<Line> mLines;
    size_t mKept = 0; // lines before this index hold their own text
    int mShown = 0; // rows the view knows about
    bool mRestarted = false; // emptied since the view was last told
    bool mDirty = false;
};

class TDebugForm : public QWidget
{
    Q_OBJECT
public:
    static constexpr int MaxLines = 500;
    static constexpr int EdgeGrip = 12;

    explicit TDebugForm(QWidget *parent = nullptr);

    // A command about to run (only while the window is visible): two blanks per run
    // level above the first; after 500 rows the list starts again. The list shows it
    // at the next frame.
    void RecordLine(int runDepth, const QString &line);
    // As RecordLine, for a running script's line that lives until ScriptEnded().
    void RecordScriptLine(int runDepth, const QString &line);
    void ScriptEnded();
    // Shows what was recorded and refreshed at once, the last line selected.
    void showPending();
    // Rebuilt once the running script lets events through, so a loop that changes a
    // variable on every line does not rebuild the list on every line.
    void RefreshVariables(const VariableStore &store);
    void ClearLines();

    bool isRolledUp() const { return mRolledUp; }
    void setRolledUp(bool rolledUp);
    // The height the window has when rolled down.
    int unrolledHeight() const { return mRestoreHeight; }

    QListWidget *varList() const { return VarList; }
    QListView *scriptList() const { return ScriptList; }
    const RecordedLines &recordedLines() const { return mLines; }
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
    QListView *ScriptList = nullptr;
    RecordedLines mLines;
    // Recorded lines and variable listings reach the lists at most once a frame.
    QTimer mFrame;
    void scheduleFrame();
    bool mRolledUp = false;
    int mRestoreHeight = 200;
    bool mRolling = false;
    const VariableStore *mStore = nullptr;
    bool mRefreshPending = false;
};

} // namespace vardeko
