// The page attributes dialog with its palette editor, and the Copy to All Pages choice.
#pragma once

#include "pagemanagement.h"
#include "palette.h"

#include <QDialog>
#include <QLatin1String>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;
class QScrollBar;
class QSlider;
class QTabWidget;
class QTimer;

namespace vardeko {

class ShellDialogs;
struct Preferences;

namespace attrtext {
inline constexpr QLatin1String MasterSuffix(" (Master Page)");
inline constexpr QLatin1String Caption("Page Attributes");
inline constexpr QLatin1String GeneralTab("General Settings");
inline constexpr QLatin1String ActionTab("Page Action");
inline constexpr QLatin1String PaletteTab("Color Palette");
inline constexpr QLatin1String PageTitle("Page &Title:");
inline constexpr QLatin1String Background("Page Background");
inline constexpr QLatin1String SolidColor("&Solid Color:");
inline constexpr QLatin1String Wallpaper("&Wallpaper:");
inline constexpr QLatin1String ShowMaster("Show Items from &Master Page");
inline constexpr QLatin1String SpecialEffects("Special Effects");
inline constexpr QLatin1String DisplayEffect("Display &Effect:");
inline constexpr QLatin1String Speed("Spee&d:");
inline constexpr QLatin1String Fast("Fast");
inline constexpr QLatin1String Slow("Slow");
inline constexpr QLatin1String CopyToAll("&Copy to All Pages...");
inline constexpr QLatin1String SelectImage("Select an Image");
inline constexpr QLatin1String HelpButton("&Help");
inline constexpr QLatin1String ImageFilter("Images|*.BMP;*.GIF;*.PCX;*.PNG;*.JPG;*.TIF;*.ICO;*.WMF");
inline constexpr QLatin1String ItemsToCopy("Items to Copy to All Pages");
inline constexpr QLatin1String CopyBackground("&Background");
inline constexpr QLatin1String CopyEffect("&Display Effect");
inline constexpr QLatin1String CopyAction("&Action Script");
inline constexpr QLatin1String CopyPalette("&Palette");
inline constexpr QLatin1String Red("&Red:");
inline constexpr QLatin1String Green("&Green:");
inline constexpr QLatin1String Blue("&Blue:");
inline constexpr QLatin1String Brightness("Bright&ness:");
inline constexpr QLatin1String ColorNumber("Color #:");
inline constexpr QLatin1String ResetPalette("Reset &Palette");
inline constexpr QLatin1String ResetColor("Re&set Color");
inline constexpr QLatin1String LoadPalette("&Load Palette");
inline constexpr QLatin1String SavePalette("&Save Palette");
inline constexpr QLatin1String ReplaceExisting("Replace existing: ");
} // namespace attrtext

// "Copy Page Attributes": which groups go to every other page.
class TCopyToAllForm : public QDialog
{
    Q_OBJECT
public:
    TCopyToAllForm(bool paletteShown, QWidget *parent = nullptr);
    unsigned items() const; // CopyToAllItem bits
    QCheckBox *box(CopyToAllItem item) const;

private:
    QCheckBox *mBackground = nullptr;
    QCheckBox *mEffect = nullptr;
    QCheckBox *mAction = nullptr;
    QCheckBox *mPalette = nullptr;
};

// The 16 x 16 colour grid of the palette tab: colour c x 16 + r in column c, row r.
class PaletteGrid : public QWidget
{
    Q_OBJECT
public:
    explicit PaletteGrid(QWidget *parent = nullptr);
    void setTable(const PaletteTable &table);
    int selected() const { return mSelected; }
    void select(int number);
    bool blinkPhase() const { return mBlink; }
    QTimer *blinkTimer() const { return mTimer; }

signals:
    void cellSelected(int number);
    void colorDragged(int from, int to);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    PaletteTable mTable;
    int mSelected = 10;
    int mPressed = -1;
    bool mBlink = false;
    QTimer *mTimer = nullptr;
};

class TPageAttrForm : public QDialog
{
    Q_OBJECT
public:
    TPageAttrForm(Publication &pub, Page &page, bool masterPage, Preferences &prefs,
                  ShellDialogs &dialogs, QWidget *parent = nullptr);

    void accept() override;
    void reject() override;

    QTabWidget *tabs() const { return mTabs; }
    QLineEdit *titleEdit() const { return mTitle; }
    QLineEdit *wallpaperEdit() const { return mWallpaper; }
    QRadioButton *solidButton() const { return mSolid; }
    QRadioButton *wallpaperButton() const { return mWallpaperChoice; }
    QComboBox *effectList() const { return mEffect; }
    QSlider *speedBar() const { return mSpeed; }
    QPlainTextEdit *actionMemo() const { return mAction; }
    QCheckBox *copyToAllBox() const { return mCopyToAll; }
    QCheckBox *showMasterBox() const { return mShowMaster; }
    PaletteGrid *paletteGrid() const { return mGrid; }
    QScrollBar *colorBar(int index) const { return mBars[index]; } // red, green, blue
    QScrollBar *brightnessBar() const { return mBrightness; }
    void setColor(ColorRef color);

private:
    QWidget *createGeneralTab();
    QWidget *createActionTab();
    QWidget *createPaletteTab();
    void chooseWallpaper();
    void chooseColor();
    void showColor(ColorRef color);
    void cellSelected(int number);
    void barMoved();
    void barReleased();
    void brightnessMoved(int value);
    void colorDragged(int from, int to);
    void applyTable(const PaletteTable &table);
    void loadPalette();
    void savePalette();

    Publication &mPub;
    Page &mPage;
    bool mMaster;
    Preferences &mPrefs;
    ShellDialogs &mDialogs;
    bool mPaletteShown;
    ColorRef mColor = 0xFFFFFF;
    QTabWidget *mTabs = nullptr;
    QLineEdit *mTitle = nullptr;
    QLabel *mColorBox = nullptr;
    QRadioButton *mSolid = nullptr;
    QRadioButton *mWallpaperChoice = nullptr;
    QLineEdit *mWallpaper = nullptr;
    QCheckBox *mShowMaster = nullptr;
    QComboBox *mEffect = nullptr;
    QSlider *mSpeed = nullptr;
    class ActionMemoPanel *mActionPanel = nullptr;
    QPlainTextEdit *mAction = nullptr;
    QCheckBox *mCopyToAll = nullptr;
    PaletteGrid *mGrid = nullptr;
    QScrollBar *mBars[3] = {};
    QLabel *mBarValues[3] = {};
    QScrollBar *mBrightness = nullptr;
    QLabel *mBrightnessValue = nullptr;
    QLabel *mNumber = nullptr;
    QLabel *mSample = nullptr;
    int mLastBrightness = 0;
    bool mLoadingBars = false;
};

// Whether the display shows 256 colours, which brings in the palette editing.
bool paletteDisplay();

} // namespace vardeko
