// The 47 stock fill patterns and the brushes made from them.
#pragma once

#include <QBrush>
#include <QColor>
#include <QImage>

#include <array>

namespace vardeko {

inline constexpr int FirstStockPattern = 2;
inline constexpr int LastStockPattern = 48;

// Rows of stock pattern "P<n>", top first, most significant bit leftmost; null for
// numbers without a pattern.
const std::array<quint8, 8> *stockPattern(int fillPattern);

// The 8 by 8 tile of a stock pattern: 0 bits in `color`, 1 bits white, or see-through
// when `transparent`. Null for numbers without a pattern.
QImage patternTile(int fillPattern, const QColor &color, bool transparent);

} // namespace vardeko
