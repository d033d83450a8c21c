// The palette editor's arithmetic: cells of the colour grid, moving colours, brightness.
#pragma once

#include "palette.h"

#include <QPoint>

namespace vardeko {

inline constexpr int PaletteGridCells = 16;
inline constexpr int PaletteCellPixels = 10;

// The colour number under a point of the grid: column x 16 + row, each clamped to 0..15.
int paletteCellAt(QPoint position);

// The top left corner of a colour number's cell.
QPoint paletteCellOrigin(int number);

// Dragging colour `from` onto `to`: that colour takes the number `to` and the colours
// between shift by one place toward its old number. False when nothing moves.
bool movePaletteColor(PaletteTable &table, int from, int to);

// "Bright&ness:" shows the largest of the three components.
int paletteBrightness(const PaletteEntry &entry);

// Moving the brightness bar by `delta` moves all three components by it, each kept
// within 0..255.
PaletteEntry shiftBrightness(const PaletteEntry &entry, int delta);

} // namespace vardeko
