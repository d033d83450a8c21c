// The page sorter: page thumbnails in order, with the page commands and dragging rows.
#pragma once

#include <QDialog>
#include <QLatin1String>

#include <vector>

class QCheckBox;
class QListWidget;
class QPushButton;

namespace vardeko {

class PageCommands;
class TChildForm;
struct Page;
struct Preferences;

namespace layouttext {
inline constexpr QLatin1String Caption("Page Layout");
inline constexpr QLatin1String PickerCaption("Goto Page");
inline constexpr QLatin1String Add("&Add");
inline constexpr QLatin1String Delete("&Delete");
inline constexpr QLatin1String Copy("&Copy");
inline constexpr QLatin1String Move("&Move");
inline constexpr QLatin1String Rename("&Rename");
inline constexpr QLatin1String Up("Up");
inline constexpr QLatin1String Down("Down");
inline constexpr QLatin1String Close("Close");
inline constexpr QLatin1String ShowImages("&Show Images");
} // namespace layouttext

// Row geometry of the list.
inline constexpr int LayoutRowHeight = 44;
inline constexpr int ThumbnailWidth = 48;
inline constexpr int ThumbnailHeight = 36;
inline constexpr int ThumbnailInset = 4;
inline constexpr int LayoutNameLeft = 56;
inline constexpr int LayoutDragZone = 52;

class TBookLayoutForm : public QDialog
{
    Q_OBJECT
public:
    // `picker`: the "Goto Page" variant that only chooses one page.
    TBookLayoutForm(TChildForm &child, Preferences &prefs, PageCommands &commands, bool picker,
                    QWidget *parent = nullptr);
    ~TBookLayoutForm() override;

    QListWidget *pageList() const { return mList; }
    QPushButton *button(const char *name) const;
    QCheckBox *showImagesBox() const { return mShowImages; }
    // The picker's choice; none while nothing is selected.
    Page *chosenPage() const;
    std::vector<Page *> selectedPages() const;

    // Rebuilds the rows and selects the given pages again.
    void rebuild(const std::vector<Page *> &select);
    // Drops the single selected page on a row (a row past the last targets the last page).
    void dropSelectedOn(int row);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void updateButtons();
    void addClicked();
    void deleteClicked();
    void copyClicked();
    void moveClicked();
    void renameClicked();
    void stepClicked(int step);
    void changed(const std::vector<Page *> &select);

    TChildForm &mChild;
    Preferences &mPrefs;
    PageCommands &mCommands;
    bool mPicker;
    QListWidget *mList = nullptr;
    QCheckBox *mShowImages = nullptr;
    int mDragRow = -1;
};

} // namespace vardeko
