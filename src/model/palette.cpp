// The application palette: stock colour tables and the palette shared by every drawing.
#include "palette.h"

#include <QByteArray>

namespace vardeko {

namespace {

struct Rgb
{
    quint8 r, g, b;
};

// Ten low system colours, 236 of our own, ten high system colours.
constexpr Rgb kDefault256[256] = {
    {0, 0, 0}, {128, 0, 0}, {0, 128, 0}, {128, 128, 0}, {0, 0, 128}, {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
    {192, 220, 192}, {166, 202, 240}, {0, 0, 0}, {0, 0, 127}, {0, 0, 143}, {0, 0, 155}, {0, 0, 175}, {0, 0, 187},
    {0, 0, 195}, {0, 0, 203}, {0, 0, 219}, {0, 0, 231}, {0, 0, 243}, {0, 0, 255}, {23, 23, 255}, {47, 47, 255},
    {83, 83, 255}, {103, 107, 255}, {127, 127, 255}, {139, 139, 255}, {151, 151, 255}, {163, 163, 255}, {175, 175, 255}, {187, 187, 255},
    {199, 199, 255}, {199, 207, 255}, {219, 219, 255}, {231, 231, 255}, {243, 243, 255}, {247, 251, 255}, {83, 43, 43}, {95, 55, 55},
    {107, 67, 67}, {119, 79, 79}, {127, 87, 87}, {139, 99, 99}, {151, 111, 111}, {167, 127, 127}, {179, 139, 139}, {191, 151, 151},
    {207, 167, 167}, {219, 179, 179}, {231, 191, 191}, {239, 199, 199}, {247, 207, 207}, {43, 43, 83}, {55, 55, 95}, {67, 67, 107},
    {79, 79, 119}, {91, 91, 131}, {103, 103, 143}, {115, 115, 155}, {127, 127, 167}, {139, 139, 179}, {151, 151, 191}, {163, 163, 203},
    {175, 175, 215}, {187, 187, 227}, {195, 195, 235}, {211, 211, 251}, {47, 83, 47}, {59, 95, 59}, {71, 107, 71}, {83, 119, 83},
    {95, 131, 95}, {107, 143, 107}, {119, 155, 119}, {131, 167, 131}, {143, 179, 143}, {155, 191, 155}, {167, 203, 167}, {179, 215, 179},
    {191, 227, 191}, {203, 239, 203}, {215, 251, 215}, {151, 111, 135}, {167, 127, 151}, {183, 143, 167}, {195, 155, 179}, {211, 171, 195},
    {223, 183, 207}, {235, 195, 219}, {111, 151, 139}, {123, 163, 147}, {135, 175, 159}, {147, 187, 171}, {159, 199, 183}, {179, 219, 203},
    {191, 231, 215}, {203, 243, 227}, {155, 111, 11}, {163, 123, 15}, {175, 135, 19}, {183, 143, 23}, {195, 155, 27}, {207, 167, 23},
    {219, 179, 27}, {231, 191, 35}, {243, 203, 43}, {255, 215, 55}, {255, 243, 255}, {255, 235, 255}, {255, 223, 255}, {255, 211, 255},
    {255, 199, 255}, {255, 183, 255}, {255, 163, 255}, {255, 151, 255}, {255, 131, 255}, {255, 107, 255}, {255, 75, 255}, {255, 0, 255},
    {231, 0, 231}, {215, 0, 215}, {199, 0, 195}, {183, 0, 183}, {167, 0, 163}, {151, 0, 151}, {139, 0, 139}, {119, 0, 119},
    {103, 0, 103}, {83, 0, 79}, {51, 0, 47}, {255, 255, 235}, {255, 255, 231}, {255, 255, 223}, {255, 255, 211}, {255, 255, 187},
    {255, 255, 155}, {255, 255, 63}, {255, 255, 0}, {247, 243, 0}, {235, 231, 0}, {223, 223, 0}, {211, 211, 0}, {199, 199, 0},
    {187, 187, 0}, {175, 179, 0}, {167, 167, 0}, {151, 155, 0}, {143, 151, 0}, {127, 127, 0}, {119, 119, 0}, {95, 95, 0},
    {71, 71, 0}, {51, 51, 0}, {247, 255, 255}, {231, 255, 255}, {219, 255, 255}, {199, 255, 255}, {187, 255, 255}, {151, 255, 255},
    {127, 255, 255}, {83, 255, 255}, {0, 255, 255}, {0, 239, 239}, {0, 227, 227}, {0, 215, 215}, {0, 203, 203}, {0, 191, 191},
    {0, 179, 179}, {0, 163, 163}, {0, 147, 151}, {0, 131, 139}, {0, 123, 123}, {0, 107, 103}, {0, 91, 91}, {0, 75, 71},
    {0, 35, 35}, {243, 255, 243}, {231, 255, 223}, {215, 255, 215}, {207, 255, 195}, {187, 255, 187}, {163, 255, 163}, {135, 255, 135},
    {103, 255, 103}, {55, 255, 55}, {0, 255, 11}, {0, 243, 0}, {0, 235, 0}, {0, 227, 0}, {0, 215, 0}, {0, 203, 0},
    {0, 191, 0}, {0, 179, 0}, {0, 167, 0}, {0, 159, 0}, {0, 147, 0}, {0, 135, 0}, {0, 127, 0}, {0, 119, 0},
    {0, 111, 0}, {0, 103, 0}, {0, 95, 0}, {0, 83, 0}, {0, 71, 0}, {0, 55, 0}, {0, 35, 0}, {255, 243, 247},
    {255, 235, 235}, {255, 223, 223}, {255, 211, 211}, {255, 195, 195}, {255, 175, 175}, {255, 155, 155}, {255, 139, 139}, {255, 119, 119},
    {255, 103, 103}, {255, 83, 83}, {255, 67, 67}, {255, 47, 47}, {255, 23, 23}, {23, 0, 0}, {43, 0, 0}, {55, 0, 0},
    {51, 67, 35}, {43, 67, 35}, {71, 0, 0}, {87, 0, 0}, {103, 0, 0}, {115, 0, 0}, {127, 0, 0}, {139, 0, 0},
    {151, 0, 0}, {163, 0, 0}, {175, 0, 0}, {187, 0, 0}, {195, 0, 0}, {207, 0, 0}, {219, 0, 0}, {231, 0, 0},
    {243, 0, 0}, {255, 0, 0}, {15, 15, 15}, {27, 27, 27}, {39, 39, 39}, {51, 51, 51}, {255, 251, 240}, {160, 160, 164},
    {128, 128, 128}, {255, 0, 0}, {0, 255, 0}, {255, 255, 0}, {0, 0, 255}, {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
};

constexpr Rgb kStock16[16] = {
    {0, 0, 0}, {0, 0, 191}, {0, 191, 0}, {0, 191, 191}, {191, 0, 0}, {191, 0, 191},
    {191, 191, 0}, {192, 192, 192}, {128, 128, 128}, {0, 0, 255}, {0, 255, 0},
    {0, 255, 255}, {255, 0, 0}, {255, 0, 255}, {255, 255, 0}, {255, 255, 255},
};

template<size_t N>
PaletteTable makeTable(const Rgb (&colors)[N])
{
    PaletteTable table;
    for (size_t i = 0; i < table.size(); ++i) {
        const Rgb c = i < N ? colors[i] : Rgb{0, 0, 0};
        table[i] = {c.r, c.g, c.b, PaletteFlagNoCollapse};
    }
    return table;
}

} // namespace

const PaletteTable &defaultPaletteTable()
{
    static const PaletteTable table = makeTable(kDefault256);
    return table;
}

const PaletteTable &stock16PaletteTable()
{
    static const PaletteTable table = makeTable(kStock16);
    return table;
}

bool SamePalette(const PaletteTable *a, const PaletteTable *b)
{
    if (!a || !b)
        return false;
    for (size_t i = 0; i < a->size(); ++i) {
        const PaletteEntry &x = (*a)[i];
        const PaletteEntry &y = (*b)[i];
        if (x.red != y.red || x.green != y.green || x.blue != y.blue)
            return false;
    }
    return true;
}

int colorCountForDepth(int bits)
{
    if (bits >= 1 && bits <= 8)
        return 1 << bits;
    return 16777216;
}

int imageDepthForBits(int bitsPerPixel)
{
    if (bitsPerPixel <= 4)
        return 4;
    if (bitsPerPixel < 16)
        return 8;
    return 24;
}

int ScreenColorCount()
{
    const QByteArray forced = qgetenv("VARDEKO_SCREEN_COLORS").trimmed();
    if (forced == "2" || forced == "16" || forced == "256")
        return forced.toInt();
    // Every display we run on is true colour.
    return 16777216;
}

AppPalette &AppPalette::instance()
{
    static AppPalette palette;
    return palette;
}

void AppPalette::InitPalettes()
{
    mPaletteColors = ScreenColorCount();
    // There is no system palette to start from: begin with the default table.
    mTable = defaultPaletteTable();
    SetPaletteForColors(mPaletteColors, defaultPaletteTable());
}

void AppPalette::FreePalettes()
{
    mTable.reset();
}

void AppPalette::SetPaletteForColors(int colorCount, const PaletteTable &table)
{
    mPaletteColors = colorCount;
    if (!mTable)
        return;
    const PaletteTable &source = colorCount == 16    ? stock16PaletteTable()
                                 : colorCount == 256 ? table
                                                     : defaultPaletteTable();
    for (size_t i = 0; i < source.size(); ++i)
        (*mTable)[i] = {source[i].red, source[i].green, source[i].blue, PaletteFlagNoCollapse};
}

std::optional<PaletteTable> AppPalette::GetAppPaletteTable() const
{
    return mTable;
}

std::optional<PaletteTable> AppPalette::CreatePaletteCopy(const PaletteTable &table) const
{
    if (!mTable)
        return std::nullopt;
    PaletteTable copy = table;
    for (PaletteEntry &e : copy)
        e.flags = PaletteFlagNoCollapse;
    return copy;
}

ColorRef AppPalette::PaletteColorAt(int index) const
{
    if (!mTable || index < 0 || index > 255)
        return 0;
    const PaletteEntry &e = (*mTable)[size_t(index)];
    return rgbColor(e.red, e.green, e.blue);
}

bool AppPalette::IsAppPalette(const PaletteTable &table) const
{
    return mTable && SamePalette(&table, &*mTable);
}

void AppPalette::applyPagePalette(int publicationColors, const PaletteTable &pagePalette)
{
    if (!IsAppPalette(pagePalette))
        SetPaletteForColors(publicationColors, pagePalette);
}

} // namespace vardeko
