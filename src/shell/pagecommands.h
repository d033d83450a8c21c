// The Page and Book menu commands of the main window and their enabling rules.
#pragma once

#include <QLatin1String>
#include <QObject>

#include <functional>

class QAction;
class QDialog;

namespace vardeko {

class TChildForm;
class TMainForm;
struct Page;

namespace booktext {
inline constexpr QLatin1String FileListPrint("&Print");
inline constexpr QLatin1String FileListClose("&Close");
} // namespace booktext

class PageCommands : public QObject
{
    Q_OBJECT
public:
    explicit PageCommands(TMainForm &form);

    // Connects the menu items, tab menu items and tool bar buttons by name.
    void connectCommands();
    // Enables the page and book commands by the main window's rules.
    void updateStates();

    // Every dialog of these commands is run through here. Tests install a driver that
    // fills in and closes the dialog instead of running it modally.
    using DialogDriver = std::function<void(QDialog &)>;
    static void setDialogDriver(DialogDriver driver);
    static bool runDialog(QDialog &dialog);

    void addPages(Page *anchor, bool goToFirstNew);
    void copyCurrentPage();
    void moveCurrentPage();
    void movePageOf(TChildForm *child, Page *page);
    void renameCurrentPage();
    void renamePageOf(TChildForm *child, Page *page);
    void deleteCurrentPage();
    void toggleShowMasterItems();
    void editPageAttributes();
    void bookSetup();
    // Book > Page Layout..., or Page > Goto > More... as a picker.
    void pageLayout(bool picker);
    // Repaints the window and rebuilds the tabs and command states after a page change.
    void pagesChanged(TChildForm *child);
    void setGrid();
    void newPublication();
    void showFileList();
    // Page > Goto > More...: the page sorter as a picker.
    void connectGotoMore(QAction *more);

private:
    friend class TBookLayoutForm;
    TChildForm *editedChild() const;
    Page *currentPageOf(TChildForm *child) const;

    TMainForm &mForm;
};

} // namespace vardeko
