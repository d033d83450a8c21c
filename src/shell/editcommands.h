// The main window's Edit and Arrange commands and the editor's view of the main window.
#pragma once

#include "dialoghost.h"
#include "edithost.h"

#include <QObject>

class QAction;
class QUndoGroup;
class QUndoView;

namespace vardeko {

class TChildForm;
class TMainForm;
class TToolPalette;

// Also the host of the object dialogs: their file choices go through the main window's
// file services and their folders are the preferences TextDir, ImageDir and ActionDir.
class EditCommands : public QObject, public EditHost, public DialogHost
{
    Q_OBJECT
public:
    explicit EditCommands(TMainForm &main);
    ~EditCommands() override;

    // Gives the menu items their work; until then they stay disabled.
    void connectCommands();
    // A new publication window edits through this host.
    void attach(TChildForm *child);
    void updateStates();

    // The floating tool palette: the current tool and the attributes new objects take.
    TToolPalette *toolPalette() const { return mPalette; }
    // The Undo History window, following the active publication window's history.
    void showHistory();
    QUndoView *historyView() const { return mHistoryView; }

    // A page tab of the active window released outside the tab bar: over another
    // publication window's work area the page is copied there.
    bool dropPageTab(int tab, const QPoint &globalPos);

    // The last read-out, for the mouse position window.
    QString readoutCaption() const { return mReadoutCaption; }
    QPoint readoutValues() const { return mReadoutValues; }

    // EditHost
    EditSettings editSettings() const override;
    int currentTool() const override;
    ToolAttributes toolAttributes() const override;
    void showReadout(const QString &caption, int a, int b) override;
    void editStateChanged() override;
    void gestureStarted() override;
    void gestureFinished() override;
    void beep() override;
    Page *pageTabAt(const EditController &source, const QPoint &globalPos) const override;
    void showPage(EditController &controller, Page *page) override;
    void pagesChanged(EditController &controller) override;
    void stepPage(EditController &controller, int step) override;
    void openPublication(const QString &fileName) override;
    QString chooseOpenFile(QWidget *parent, const QString &title, const QString &filter,
                           DialogFolder folder) override;
    QString chooseSaveFile(QWidget *parent, const QString &title, const QString &filter,
                           QString &dir) override;
    void alert(QWidget *parent, const QString &title, const QString &text) override;
    bool confirm(QWidget *parent, const QString &title, const QString &text) override;
    bool chooseAlignment(QWidget *parent, int selectedCount, AlignChoice *choice) override;
    bool defineObject(QWidget *parent, Publication &pub, PageObject &object, const QRect &oldBox,
                      bool isNew) override;
    bool adjustObjects(QWidget *parent, Publication &pub, Page &page) override;

    // DialogHost (alert and confirm are shared with EditHost)
    QString openFileName(QWidget *parent, const QString &title, const QString &dir,
                         const QString &filter) override;
    QString saveFileName(QWidget *parent, const QString &title, const QString &dir,
                         const QString &filter) override;
    QString folder(DialogFolder which) const override;
    void setFolder(DialogFolder which, const QString &dir) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    void readoutChanged(const QString &caption, int a, int b);

private:
    EditController *activeController() const;
    TChildForm *childOf(const EditController &controller) const;
    void run(QAction *action, const std::function<void(EditController &)> &work);

    TMainForm &mMain;
    TToolPalette *mPalette = nullptr;
    QUndoGroup *mHistory = nullptr;
    QUndoView *mHistoryView = nullptr;
    QString mReadoutCaption;
    QPoint mReadoutValues;
    int mBuiltCount = 0;
};

} // namespace vardeko
