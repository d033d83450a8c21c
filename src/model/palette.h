// The application palette: stock colour tables and the palette shared by every drawing.
#pragma once

#include <QtGlobal>

#include <array>
#include <optional>

namespace vardeko {

// One palette entry in the order stored in pages: red, green, blue, flags.
struct PaletteEntry
{
    quint8 red = 0;
    quint8 green = 0;
    quint8 blue = 0;
    quint8 flags = 0;

    friend bool operator==(const PaletteEntry &, const PaletteEntry &) = default;
};

using PaletteTable = std::array<PaletteEntry, 256>;

// The flag every table of ours carries: keeps a colour from being collapsed onto
// a system colour on palette displays.
inline constexpr quint8 PaletteFlagNoCollapse = 4;

// Colour value with red in the low byte and, for palette-relative colours, 0x02 on top.
using ColorRef = qint32;

inline constexpr ColorRef rgbColor(int r, int g, int b)
{
    return ColorRef(quint32(r & 0xFF) | (quint32(g & 0xFF) << 8) | (quint32(b & 0xFF) << 16));
}
inline constexpr int colorRed(ColorRef c) { return int(quint32(c) & 0xFF); }
inline constexpr int colorGreen(ColorRef c) { return int((quint32(c) >> 8) & 0xFF); }
inline constexpr int colorBlue(ColorRef c) { return int((quint32(c) >> 16) & 0xFF); }
inline constexpr ColorRef paletteRelative(const PaletteEntry &e)
{
    return ColorRef(0x02000000u | quint32(rgbColor(e.red, e.green, e.blue)));
}

const PaletteTable &defaultPaletteTable();  // the 256-colour table new pages receive
const PaletteTable &stock16PaletteTable();  // the 16-colour table

// True exactly when both tables exist and agree in red, green and blue everywhere.
bool SamePalette(const PaletteTable *a, const PaletteTable *b);

// Colour count of a display with the given bits per pixel times planes.
int colorCountForDepth(int bitsPerPlaneTimesPlanes);

// Colour depth used when converting images for a display of that many bits per pixel.
int imageDepthForBits(int bitsPerPixel);

// The display's colour count: 16777216 on a true-colour display, unless the
// environment variable VARDEKO_SCREEN_COLORS says 2, 16 or 256.
int ScreenColorCount();

// The one palette the program draws with. Only its entries ever change. A missing
// palette is a valid state: operations then do nothing and queries report failure.
class AppPalette
{
public:
    static AppPalette &instance();

    // Start-up: colour count from the display, then the stock table for it.
    void InitPalettes();
    void FreePalettes();

    bool exists() const { return mTable.has_value(); }
    int PaletteColors() const { return mPaletteColors; }

    // Loads the stock 16-colour table for 16, the given table for 256 and the
    // default table for any other count.
    void SetPaletteForColors(int colorCount, const PaletteTable &table);

    std::optional<PaletteTable> GetAppPaletteTable() const;
    std::optional<PaletteTable> CreatePaletteCopy(const PaletteTable &table) const;
    ColorRef PaletteColorAt(int index) const;
    bool IsAppPalette(const PaletteTable &table) const;

    // Applies a page's palette before the page is drawn, when it differs.
    void applyPagePalette(int publicationColors, const PaletteTable &pagePalette);

private:
    std::optional<PaletteTable> mTable;
    int mPaletteColors = 16777216;
};

} // namespace vardeko
