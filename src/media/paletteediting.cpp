// The palette editor's arithmetic: cells of the colour grid, moving colours, brightness.
#include "paletteediting.h"

#include <algorithm>

namespace vardeko {

int paletteCellAt(QPoint position)
{
    // Points outside the grid (a drag can leave it) count as its nearest cell.
    const int column = std::clamp(position.x() / PaletteCellPixels, 0, PaletteGridCells - 1);
    const int row = std::clamp(position.y() / PaletteCellPixels, 0, PaletteGridCells - 1);
    return column * PaletteGridCells + row;
}

QPoint paletteCellOrigin(int number)
{
    number = std::clamp(number, 0, PaletteGridCells * PaletteGridCells - 1);
    return QPoint(number / PaletteGridCells * PaletteCellPixels,
                  number % PaletteGridCells * PaletteCellPixels);
}

bool movePaletteColor(PaletteTable &table, int from, int to)
{
    const int last = int(table.size()) - 1;
    if (from == to || from < 0 || to < 0 || from > last || to > last)
        return false;
    const auto begin = table.begin();
    if (from < to)
        std::rotate(begin + from, begin + from + 1, begin + to + 1);
    else
        std::rotate(begin + to, begin + from, begin + from + 1);
    return true;
}

int paletteBrightness(const PaletteEntry &entry)
{
    return std::max({int(entry.red), int(entry.green), int(entry.blue)});
}

PaletteEntry shiftBrightness(const PaletteEntry &entry, int delta)
{
    auto shifted = [delta](quint8 c) { return quint8(std::clamp(int(c) + delta, 0, 255)); };
    return PaletteEntry {shifted(entry.red), shifted(entry.green), shifted(entry.blue),
                         entry.flags};
}

} // namespace vardeko
