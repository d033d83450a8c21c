// Colour tables read straight from picture files, without decoding their pixels.
#include "palettefile.h"

#include "ioerrors.h"

namespace vardeko {

namespace {

class Bytes
{
public:
    explicit Bytes(QByteArrayView data, bool bigEndian = false)
        : mData(data)
        , mBig(bigEndian)
    {
    }
    qsizetype size() const { return mData.size(); }
    bool has(qint64 offset, qint64 length) const
    {
        return offset >= 0 && length >= 0 && offset <= mData.size() - length;
    }
    quint8 u8(qsizetype at) const { return quint8(mData[at]); }
    quint16 u16(qsizetype at) const
    {
        return mBig ? quint16(u8(at) << 8 | u8(at + 1)) : quint16(u8(at) | u8(at + 1) << 8);
    }
    quint32 u32(qsizetype at) const
    {
        return mBig ? quint32(u16(at)) << 16 | u16(at + 2) : u16(at) | quint32(u16(at + 2)) << 16;
    }
    QByteArrayView view() const { return mData; }

private:
    QByteArrayView mData;
    bool mBig;
};

// Entries stored as `stride` bytes each, in blue-green-red or red-green-blue order.
bool takeTable(const Bytes &b, qint64 offset, int count, int stride, bool bgr,
               std::vector<PaletteEntry> *palette)
{
    if (count <= 0 || count > 256 || !b.has(offset, qint64(count) * stride))
        return false;
    palette->clear();
    for (int i = 0; i < count; ++i) {
        const qsizetype at = qsizetype(offset + qint64(i) * stride);
        const quint8 first = b.u8(at), second = b.u8(at + 1), third = b.u8(at + 2);
        palette->push_back(bgr ? PaletteEntry {third, second, first, PaletteFlagNoCollapse}
                               : PaletteEntry {first, second, third, PaletteFlagNoCollapse});
    }
    return true;
}

int bmpPalette(const Bytes &b, std::vector<PaletteEntry> *palette)
{
    if (!b.has(14, 4))
        return IoInvalidFormat;
    const quint32 headerSize = b.u32(14);
    if (headerSize == 12) { // OS/2 1.x core header: three bytes per entry
        if (!b.has(14, 12))
            return IoInvalidFormat;
        const int bits = b.u16(24);
        if (bits < 1 || bits > 8)
            return IoInvalidFormat;
        return takeTable(b, 26, 1 << bits, 3, true, palette) ? IoOk : IoInvalidFormat;
    }
    if (headerSize < 16 || headerSize > 4096 || !b.has(14, headerSize))
        return IoInvalidFormat;
    const int bits = b.u16(28);
    if (bits < 1 || bits > 8)
        return IoInvalidFormat; // true colour: no palette
    int count = 1 << bits;
    if (headerSize >= 36) {
        const quint32 used = b.u32(46);
        if (used > 0 && used < quint32(count))
            count = int(used);
    }
    return takeTable(b, 14 + headerSize, count, 4, true, palette) ? IoOk : IoInvalidFormat;
}

int pcxPalette(const Bytes &b, std::vector<PaletteEntry> *palette)
{
    if (!b.has(0, 128))
        return IoInvalidFormat;
    const int bits = b.u8(3);
    const int planes = b.u8(65);
    if (bits == 8 && planes == 1) {
        // The 256-colour table closes the file, behind a 12 byte.
        const qint64 at = b.size() - 769;
        if (at < 128 || b.u8(qsizetype(at)) != 0x0C)
            return IoInvalidFormat;
        return takeTable(b, at + 1, 256, 3, false, palette) ? IoOk : IoInvalidFormat;
    }
    const int depth = bits * planes;
    if (depth == 1) {
        // Two-colour pictures show black and white whatever the header's table holds.
        *palette = {PaletteEntry {0, 0, 0, PaletteFlagNoCollapse},
                    PaletteEntry {255, 255, 255, PaletteFlagNoCollapse}};
        return IoOk;
    }
    if ((bits == 1 || bits == 2 || bits == 4) && depth <= 4)
        return takeTable(b, 16, 1 << depth, 3, false, palette) ? IoOk : IoInvalidFormat;
    return IoInvalidFormat; // 24- and 32-bit pictures have none
}

int gifPalette(const Bytes &b, std::vector<PaletteEntry> *palette)
{
    if (!b.has(0, 13))
        return IoInvalidFormat;
    const quint8 flags = b.u8(10);
    const int globalCount = 2 << (flags & 7);
    if (flags & 0x80)
        return takeTable(b, 13, globalCount, 3, false, palette) ? IoOk : IoInvalidFormat;
    // No global table: the first image's own table is the picture's palette.
    qint64 at = 13;
    while (b.has(at, 1)) {
        const quint8 block = b.u8(qsizetype(at));
        if (block == 0x2C) {
            if (!b.has(at, 10))
                return IoInvalidFormat;
            const quint8 local = b.u8(qsizetype(at + 9));
            if (!(local & 0x80))
                return IoInvalidFormat;
            return takeTable(b, at + 10, 2 << (local & 7), 3, false, palette) ? IoOk
                                                                              : IoInvalidFormat;
        }
        if (block != 0x21 || !b.has(at, 2))
            return IoInvalidFormat; // trailer or damage before any image
        at += 2;
        while (b.has(at, 1) && b.u8(qsizetype(at)) != 0)
            at += 1 + b.u8(qsizetype(at));
        at += 1;
    }
    return IoInvalidFormat;
}

int pngPalette(const Bytes &b, std::vector<PaletteEntry> *palette)
{
    Bytes big(b.view(), true);
    qint64 at = 8;
    int colorType = -1;
    while (big.has(at, 12)) {
        const quint32 length = big.u32(qsizetype(at));
        const QByteArrayView type = big.view().sliced(qsizetype(at + 4), 4);
        const qint64 data = at + 8;
        if (!big.has(data, length))
            return IoInvalidFormat;
        if (type == "IHDR" && length >= 13)
            colorType = big.u8(qsizetype(data + 9));
        else if (type == "PLTE")
            // Only an indexed picture is shown through its table.
            return colorType == 3 && length % 3 == 0
                            && takeTable(big, data, int(length / 3), 3, false, palette)
                    ? IoOk
                    : IoInvalidFormat;
        else if (type == "IDAT" || type == "IEND")
            break;
        at = data + length + 4;
    }
    return IoInvalidFormat;
}

int tiffPalette(const Bytes &little, std::vector<PaletteEntry> *palette)
{
    if (!little.has(0, 8))
        return IoInvalidFormat;
    const Bytes b(little.view(), little.u8(0) == 'M');
    const qint64 ifd = b.u32(4);
    if (!b.has(ifd, 2))
        return IoInvalidFormat;
    const int count = b.u16(qsizetype(ifd));
    int photometric = -1;
    int bits = 1;
    qint64 mapOffset = -1;
    quint32 mapCount = 0;
    for (int i = 0; i < count; ++i) {
        const qsizetype entry = qsizetype(ifd + 2 + qint64(i) * 12);
        if (!b.has(entry, 12))
            return IoInvalidFormat;
        const int tag = b.u16(entry);
        const int type = b.u16(entry + 2); // 3 short, 4 long
        const quint32 n = b.u32(entry + 4);
        const quint32 value = type == 3 ? b.u16(entry + 8) : b.u32(entry + 8);
        if (tag == 262 && n == 1) {
            photometric = int(value);
        } else if (tag == 258 && type == 3) {
            // Several samples per pixel are stored elsewhere; the first size is enough.
            const qint64 at = n <= 2 ? entry + 8 : qint64(b.u32(entry + 8));
            bits = b.has(at, 2) ? b.u16(qsizetype(at)) : 0;
        } else if (tag == 320 && type == 3) {
            mapCount = n;
            mapOffset = b.u32(entry + 8);
        }
    }
    if (photometric != 3 || bits < 1 || bits > 8 || mapCount != 3u * (1u << bits)
        || !b.has(mapOffset, qint64(mapCount) * 2))
        return IoInvalidFormat;
    const int entries = 1 << bits;
    palette->clear();
    // Red values, then green, then blue, each 16-bit; the high byte is the colour.
    for (int i = 0; i < entries; ++i) {
        const auto at = [&](int plane) {
            return quint8(b.u16(qsizetype(mapOffset + (qint64(plane) * entries + i) * 2)) >> 8);
        };
        palette->push_back(PaletteEntry {at(0), at(1), at(2), PaletteFlagNoCollapse});
    }
    return IoOk;
}

} // namespace

int readPicturePalette(QByteArrayView bytes, std::vector<PaletteEntry> *palette)
{
    palette->clear();
    const Bytes b(bytes);
    if (bytes.startsWith("BM"))
        return bmpPalette(b, palette);
    if (bytes.startsWith("GIF87a") || bytes.startsWith("GIF89a"))
        return gifPalette(b, palette);
    if (bytes.startsWith("\x89PNG\r\n\x1a\n"))
        return pngPalette(b, palette);
    if (bytes.startsWith(QByteArrayView("II*\0", 4))
        || bytes.startsWith(QByteArrayView("MM\0*", 4)))
        return tiffPalette(b, palette);
    if (b.has(0, 128) && b.u8(0) == 0x0A && b.u8(2) <= 1)
        return pcxPalette(b, palette);
    return IoInvalidFormat;
}

} // namespace vardeko
