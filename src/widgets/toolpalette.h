// The floating "Tools" window: drawing tools, the attributes new objects take, the nudge tool.
#pragma once

#include "publication.h"

#include <QPoint>
#include <QWidget>

#include <array>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QMimeData;
class QToolButton;

namespace vardeko {

class NudgeTool;
class PopupPalette;
class TColorPalette;
class TFillPalette;
class TLineStylePalette;
class TLineWidthPalette;

// Which of the palette's attributes a button or a drag carries.
enum class PaletteAttribute {
    FillColor, // FillColor
    FillPattern, // FillPattern and FillMode (the transparent check)
    LineColor, // LineColor
    LineWidth, // LineWidth
    LineStyle, // LineStyle; the object's LineWidth becomes 1
    FontColor, // TextColor of Articles, Buttons and Text objects
    Font, // Font, FontSize, FontStyle of Articles, Buttons and Text objects
};

// Where the palette stands and how it is folded; the main window keeps these as the
// preferences ToolPalettePos, ToolPaletteExpanded and ToolPaletteRolledUp.
struct ToolPaletteState
{
    QPoint pos = QPoint(8, 80);
    bool expanded = true;
    bool rolledUp = false;
};

// Drags of an attribute box carry this format: the attribute and every current value.
inline constexpr char AttributeMimeType[] = "application/x-vardeko-tool-attribute";
QMimeData *attributeMimeData(PaletteAttribute which, const ToolAttributes &attributes);
// False when the data holds no attribute or cannot be read.
bool readAttributeMimeData(const QMimeData *data, PaletteAttribute *which,
                           ToolAttributes *attributes);

class TToolPalette : public QWidget
{
    Q_OBJECT

public:
    explicit TToolPalette(QWidget *parent = nullptr);
    ~TToolPalette() override;

    // 1 pointer, 2 to 8 the object kind the next drag draws.
    int currentTool() const;
    // Selects a tool (1 to 8; other numbers are ignored) and reports a change.
    void setCurrentTool(int tool);

    ToolAttributes attributes() const { return mAttributes; }
    // Takes new current values without applying them to anything.
    void setAttributes(const ToolAttributes &attributes);
    // Makes a font the current one and applies it, as choosing it in the font dialog does.
    void applyFont(const QString &family, int pointSize, quint8 fontStyle);

    ToolPaletteState state() const;
    void restoreState(const ToolPaletteState &state);
    bool isExpanded() const { return mExpanded; }
    bool isRolledUp() const { return mRolledUp; }
    void setExpanded(bool expanded);
    void setRolledUp(bool rolledUp);

    TColorPalette *colorPalette() const { return mColorPalette; }
    TFillPalette *fillPalette() const { return mFillPalette; }
    TLineWidthPalette *lineWidthPalette() const { return mLineWidthPalette; }
    TLineStylePalette *lineStylePalette() const { return mLineStylePalette; }

signals:
    void toolChanged(int tool);
    // A palette button chose a value: it is already the current value, now in
    // `attributes`, and the receiver applies it to every selected top-level object of
    // the current page (see PaletteAttribute for the fields each one changes).
    void attributeApplied(vardeko::PaletteAttribute which,
                          const vardeko::ToolAttributes &attributes);
    // The nudge tool moved the selection by one pixel.
    void nudged(int dx, int dy);

private:
    QToolButton *addAttributeBox(const QString &name, const QString &hint, PaletteAttribute which);
    void openPopup(PopupPalette *popup, QToolButton *box, int value);
    void colorPicked(int value);
    void choose(PaletteAttribute which);
    void chooseFont();
    void updateBoxes();
    void updateFolding();

    ToolAttributes mAttributes;
    QButtonGroup *mTools = nullptr;
    QWidget *mBody = nullptr;
    QWidget *mAttributePanel = nullptr;
    QToolButton *mExpandBtn = nullptr;
    QToolButton *mRollUpBtn = nullptr;
    QToolButton *mFillColorBox = nullptr;
    QToolButton *mFillPatternBox = nullptr;
    QCheckBox *mTransparentCheck = nullptr;
    QToolButton *mLineColorBox = nullptr;
    QToolButton *mLineWidthBox = nullptr;
    QToolButton *mLineStyleBox = nullptr;
    QToolButton *mFontColorBox = nullptr;
    QToolButton *mFontBox = nullptr;
    NudgeTool *mNudgeTool = nullptr;
    TColorPalette *mColorPalette = nullptr;
    TFillPalette *mFillPalette = nullptr;
    TLineWidthPalette *mLineWidthPalette = nullptr;
    TLineStylePalette *mLineStylePalette = nullptr;
    PaletteAttribute mColorTarget = PaletteAttribute::FillColor;
    bool mExpanded = true;
    bool mRolledUp = false;
};

} // namespace vardeko
