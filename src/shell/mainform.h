// The editor's main window: menus, tool bar, page tabs, status bar and file flows.
#pragma once

#include "maincommands.h"
#include "preferences.h"
#include "publicationfile.h"
#include "shelldialogs.h"

#include <QMainWindow>
#include <QPointer>
#include <QUrl>

#include <functional>
#include <memory>
#include <stdexcept>

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QProgressBar;
class QTabBar;
class QTimer;
class QToolBar;

namespace vardeko {

class TChildForm;
struct Page;

// Text the error handler shows for an error that escaped an operation.
QString unhandledErrorText(const std::exception &error);

// A file the Create / Edit menu offers, with its kind.
enum EditableKind { TextFile = 1, PictureFile = 2, SoundFile = 3, VideoFile = 4, OtherFile = 6 };
struct EditableFile
{
    QString name;
    int kind = OtherFile;
};
// Files of the selected objects of `page` and its wallpaper, each name once (any case).
// Files named in the objects' actions come with the compiler's gathering walk.
QList<EditableFile> editableFiles(const Page &page);


class TMainForm : public QMainWindow, public FileProgress
{
    Q_OBJECT
public:
    explicit TMainForm(QWidget *parent = nullptr);
    ~TMainForm() override;

    Preferences &preferences() { return mPrefs; }
    const Preferences &preferences() const { return mPrefs; }
    ShellDialogs &dialogs() const { return *mDialogs; }
    void setDialogs(std::unique_ptr<ShellDialogs> dialogs) { mDialogs = std::move(dialogs); }

    // Preferences live in the user's Vardeko settings file.
    void restorePreferences();
    void storePreferences();

    // Publication windows in the order they were created.
    QList<TChildForm *> childForms() const { return mChildren; }
    TChildForm *activeChild() const;
    void activateChild(TChildForm *child);
    TChildForm *findOpen(const QString &fileName) const;

    // Opens a publication, or brings it to the front when it is open already.
    TChildForm *openPublication(const QString &fileName);
    TChildForm *newUntitled();
    // Opens the files named when the program started; an empty window when none opens.
    void openStartupFiles(const QStringList &files);
    // Files a later start of the program named (the desktop opening publications).
    void openRequestedFiles(const QStringList &files);

    bool saveChild(TChildForm *child);
    bool saveChildAs(TChildForm *child);
    bool closeChild(TChildForm *child);
    bool closeAll();

    void tileVertical();
    void tileHorizontal();
    void tileWindows(Qt::Orientation direction);
    void stepPage(int delta);
    void cascade();

    // Runs a command; an error that escapes it is shown and the program goes on.
    void guarded(const std::function<void()> &command);
    void handleError(const std::exception &error);

    // The running copy was started again: come to the front, restored.
    void bringToFront();

    // Files dropped from the desktop, in the order they came.
    void dropFiles(const QList<QUrl> &urls);
    // Files dropped on a page tab: an image becomes that page's wallpaper; anything
    // else beeps. False when nothing changed.
    bool dropOnPageTab(int tab, const QList<QUrl> &urls);

    void updateCommandStates();
    QString statusText() const;
    QTabBar *pageTabs() const { return mTabs; }
    // The mouse position window and the drag-and-drop file selector.
    class FloatingWindows *floatingWindows() const { return mFloating; }
    class EditCommands *editCommands() const { return mEditCommands; }
    // The commands of the menus, the tool bar and the page tabs.
    const MainCommands &commands() const { return mCommands; }
    // The command is in the menus but its work is not part of this version.
    bool isUnbuilt(const QAction *action) const { return mUnbuilt.contains(action); }
    QMenu *reopenMenu() const { return mReopenMenu; }
    QProgressBar *progressGauge() const { return mGauge; }

    // Progress gauge of the status bar.
    void startProgress(qint64 maximum);
    void setProgress(qint64 position);
    void finishProgress();

    // FileProgress
    void readStarted(qint64 fileSize) override { startProgress(fileSize); }
    void bytesRead(qint64 bytes) override { setProgress(bytes); }
    void dosConversionStarted() override;
    void dosConversionPage() override;
    void pageWritten(int written, int total) override;

signals:
    // Once a second, for run mode.
    void secondTick();

public slots:
    void Open1Click();
    void Save1Click();
    void SaveAs1Click();
    void Close1Click();
    void CloseAll1Click();
    void Exit1Click();
    void ShowGrid1Click();
    void SnapToGrid1Click();
    void ShowImages1Click();
    void SetPreferences1Click();
    void CenterPage1Click();
    void About1Click();
    void FirstPageClick();
    void PreviousPageClick();
    void MasterPageClick();
    void NextPageClick();
    void LastPageClick();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void createCommands();
    void createToolBar();
    void createStatusBar();
    TChildForm *addChild(std::unique_ptr<class Publication> pub);
    bool queryCloseChild(TChildForm *child);
    void childClosed(TChildForm *child);
    bool writeChild(TChildForm *child, const QString &fileName);
    QString chooseOpenFile(const QString &title, const QString &filter, const QString &proposed,
                           QString &dir);
    QString chooseSaveFile(const QString &title, const QString &filter, const QString &proposed,
                           QString &dir);
    void rebuildReopenMenu();
    void rebuildPageTabs();
    void rebuildGotoMenu();
    void goToPage(Page *page);
    void pageTabClicked(int index);
    void dropPageTab(int fromTab, int toTab);
    void applyViewOptions();
    void launchEditor(const QString &kind, const QString &program, const QString &file);
    void rebuildCreateEditMenu();
    void editFile(const QString &path, int kind);
    void applicationActivated();

    Preferences mPrefs;
    std::unique_ptr<ShellDialogs> mDialogs;
    QMdiArea *mMdi = nullptr;
    QTabBar *mTabs = nullptr;
    QLabel *mPageLabel = nullptr;
    QProgressBar *mGauge = nullptr;
    qint64 mGaugeScale = 1;
    class ConversionWindow *mConversionWindow = nullptr;
    QTimer *mTimer = nullptr;
    QToolBar *mToolBar = nullptr;
    QMenu *mReopenMenu = nullptr;
    QMenu *mGotoMenu = nullptr;
    QMenu *mCreateEditMenu = nullptr;
    QList<TChildForm *> mChildren;
    MainCommands mCommands;
    QList<QAction *> mUnbuilt;
    class SpellCommands *mSpellCommands = nullptr;
    class CommandTips *mTips = nullptr;
    friend class EditCommands;
    class EditCommands *mEditCommands = nullptr;
    friend class FloatingWindows;
    class FloatingWindows *mFloating = nullptr;
    bool mPreferencesRestored = false;
    bool mRebuildingTabs = false;
    int mDraggedTab = -1;
    friend class RunCommands;
    class RunCommands *mRunCommands = nullptr;
    friend class PageCommands;
    class PageCommands *mPageCommands = nullptr;
    // The page shown before the master page, per window, for the Master Page toggle.
    QHash<TChildForm *, QString> mPageBeforeMaster;
};

} // namespace vardeko
