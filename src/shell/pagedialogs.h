// The small page dialogs: Add Pages, Move, Rename, Set Grid and New Publication.
#pragma once

#include "pagemanagement.h"

#include <QDialog>
#include <QLatin1String>

class QButtonGroup;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QListWidget;
class QRadioButton;
class QSpinBox;

namespace vardeko {

class ShellDialogs;

// Texts of the page dialogs.
namespace pagetext {
inline constexpr QLatin1String AddPagesCaption("Add Pages");
inline constexpr QLatin1String Insert("&Insert");
inline constexpr QLatin1String MoveCaption("Move Page");
inline constexpr QLatin1String MovePage("Move Page:");
inline constexpr QLatin1String ThisPage("This &Page:");
inline constexpr QLatin1String Before("&Before");
inline constexpr QLatin1String After("&After");
inline constexpr QLatin1String MoveBalloon(
    "You can also move pages by dragging the page tabs at the bottom of the screen or by "
    "dragging the small thumbnail images used by the Page Layout option.");
inline constexpr QLatin1String RenameCaption("Rename Page");
inline constexpr QLatin1String CurrentTitle("Current Title:");
inline constexpr QLatin1String NewTitle("New &Title:");
inline constexpr QLatin1String SetGridCaption("Set Grid");
inline constexpr QLatin1String Horizontal("&Horizontal (pixels):");
inline constexpr QLatin1String Vertical("&Vertical (pixels):");
inline constexpr QLatin1String NewPubCaption("New Publication");
inline constexpr QLatin1String SelectSize("Select the Screen Size (in pixels) for this Publication:");
inline constexpr QLatin1String SelectColors("Select the Number of Colors for this Publication:");
inline constexpr QLatin1String Size320("&320 x 200");
inline constexpr QLatin1String Size640("&640 x 480");
inline constexpr QLatin1String Size800("&800 x 600");
inline constexpr QLatin1String Size1024("&1024 x 768");
inline constexpr QLatin1String CustomSize("&Custom Size:");
inline constexpr QLatin1String Colors16("16 C&olors");
inline constexpr QLatin1String Colors256("2&56 Colors");
inline constexpr QLatin1String ColorsMillion("16 &Million Colors");
} // namespace pagetext

// "Add Pages": how many pages, and whether after or before the anchor page.
class TPageAddForm : public QDialog
{
    Q_OBJECT
public:
    TPageAddForm(const Page &anchor, QWidget *parent = nullptr);
    int count() const;
    InsertPlace place() const;

    QSpinBox *countBox() const { return mCount; }
    QPushButton *okButton() const;

private:
    void countChanged(int count);

    QSpinBox *mCount = nullptr;
    QLabel *mPagesLabel = nullptr;
    QRadioButton *mAfter = nullptr;
    QRadioButton *mBefore = nullptr;
    QDialogButtonBox *mButtons = nullptr;
};

// "Move Page": the target page and whether the page goes before or after it.
class TPageMoveForm : public QDialog
{
    Q_OBJECT
public:
    TPageMoveForm(const Publication &pub, const Page &page, const QString &mascot,
                  QWidget *parent = nullptr);
    QString targetName() const;
    InsertPlace place() const;

    QListWidget *pageList() const { return mList; }
    QRadioButton *afterButton() const { return mAfter; }

private:
    QListWidget *mList = nullptr;
    QRadioButton *mAfter = nullptr;
};

// "Rename Page": OK renames the page and rewrites the actions that name it; a title
// that another page has is refused and the dialog stays open.
class TPageRenameForm : public QDialog
{
    Q_OBJECT
public:
    TPageRenameForm(Publication &pub, Page &page, ShellDialogs &dialogs, QWidget *parent = nullptr);
    void accept() override;
    QLineEdit *titleEdit() const { return mTitle; }
    bool renamed() const { return mRenamed; }

private:
    Publication &mPub;
    Page &mPage;
    ShellDialogs &mDialogs;
    QLineEdit *mTitle = nullptr;
    bool mRenamed = false;
};

// "Set Grid": both spacings from 4 to 50 pixels.
class TSetGridForm : public QDialog
{
    Q_OBJECT
public:
    TSetGridForm(int gridX, int gridY, QWidget *parent = nullptr);
    int gridX() const;
    int gridY() const;
    QSpinBox *horizontalBox() const { return mX; }
    QSpinBox *verticalBox() const { return mY; }

private:
    QSpinBox *mX = nullptr;
    QSpinBox *mY = nullptr;
};

// "New Publication": screen size and colour count of a new publication. Also the
// "Size / Colors" part of Book Setup, with its own range.
class ScreenSizeChooser : public QWidget
{
    Q_OBJECT
public:
    ScreenSizeChooser(int minimum, const QString &sizeTitle, const QString &colorsTitle,
                      QWidget *parent = nullptr);
    void setValues(int width, int height, int colors);
    int screenWidth() const;
    int screenHeight() const;
    int screenColors() const;
    QSpinBox *widthBox() const { return mWidth; }
    QSpinBox *heightBox() const { return mHeight; }
    QRadioButton *sizeButton(int index) const; // 0..3 fixed sizes, 4 custom
    QRadioButton *colorButton(int index) const; // 16, 256, millions

private:
    void matchSizeButton();

    QButtonGroup *mSizes = nullptr;
    QButtonGroup *mColors = nullptr;
    QSpinBox *mWidth = nullptr;
    QSpinBox *mHeight = nullptr;
};

class TNewPubForm : public QDialog
{
    Q_OBJECT
public:
    TNewPubForm(int width, int height, int colors, QWidget *parent = nullptr);
    ScreenSizeChooser *chooser() const { return mChooser; }

private:
    ScreenSizeChooser *mChooser = nullptr;
};

} // namespace vardeko
