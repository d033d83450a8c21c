// The colour, fill, line-width and line-style pop-up palettes of the tool palette.
#pragma once

#include "palette.h"

#include <QFrame>
#include <QIcon>

#include <vector>

class QGridLayout;
class QToolButton;

namespace vardeko {

QColor colorFromRef(ColorRef color);
ColorRef refFromColor(const QColor &color);

// Swatches drawn the way the palette boxes show a value.
QIcon colorSwatch(ColorRef color, const QSize &size = QSize(16, 16));
QIcon patternSwatch(int fillPattern, ColorRef color, bool transparent,
                    const QSize &size = QSize(24, 16));
QIcon lineWidthSwatch(int width, const QSize &size = QSize(48, 16));
QIcon lineStyleSwatch(int style, const QSize &size = QSize(48, 16));

// A small window of choices that closes when one is picked or the mouse clicks outside.
class PopupPalette : public QFrame
{
    Q_OBJECT

public:
    explicit PopupPalette(QWidget *parent = nullptr);

    // Shows the palette with its top-left corner at a screen point, kept on the screen.
    void popupAt(const QPoint &globalPos);
    int value() const { return mValue; }
    // Marks the choice that matches; values without a choice mark none.
    void setValue(int value);
    QList<int> values() const;
    QToolButton *choiceButton(int value) const;

signals:
    // The author picked a value; the palette has closed.
    void picked(int value);

protected:
    QToolButton *addChoice(int value, const QIcon &icon, const QString &text, const QString &hint,
                           int row, int column, int columnSpan = 1);
    void pick(int value);
    QGridLayout *grid() const { return mGrid; }

private:
    QGridLayout *mGrid;
    std::vector<std::pair<int, QToolButton *>> mChoices;
    int mValue = -1;
};

// 48 basic colours and a button for any other; values are ColorRef.
class TColorPalette : public PopupPalette
{
    Q_OBJECT

public:
    explicit TColorPalette(QWidget *parent = nullptr);

private:
    void chooseOther();
};

// "Solid", "Hollow" and the 47 stock patterns; values are FillPattern numbers.
class TFillPalette : public PopupPalette
{
    Q_OBJECT

public:
    explicit TFillPalette(QWidget *parent = nullptr);
};

inline constexpr int LineWidthChoices[] = {1, 2, 3, 4, 5, 6, 8, 10, 12, 16};

// Line widths in pixels.
class TLineWidthPalette : public PopupPalette
{
    Q_OBJECT

public:
    explicit TLineWidthPalette(QWidget *parent = nullptr);
};

// Solid, dash, dot, dash-dot and dash-dot-dot; values are LineStyle numbers.
class TLineStylePalette : public PopupPalette
{
    Q_OBJECT

public:
    explicit TLineStylePalette(QWidget *parent = nullptr);
};

} // namespace vardeko
