// Palette files: the native and JASC ".PAL" texts, and palettes taken from pictures.
#include "palettefile.h"

#include "filecontents.h"
#include "ioerrors.h"

#include <algorithm>

namespace vardeko {

namespace {

// The 24-character notice line written under the header.
constexpr char Notice[] = "Vardeko colour table 3.0";
static_assert(sizeof(Notice) - 1 == 24);

// Reads numbers the way a line-oriented text reader does: blanks and line ends between
// numbers are skipped, and the rest of a line can be skipped after its last number.
class NumberReader
{
public:
    enum Status { Number, End, Invalid };

    explicit NumberReader(QByteArrayView bytes)
        : mBytes(bytes)
    {
        if (mBytes.startsWith("\xEF\xBB\xBF"))
            mPos = 3;
    }

    QByteArray line()
    {
        const qsizetype start = mPos;
        skipLine();
        QByteArray text = mBytes.sliced(start, mPos - start).toByteArray();
        while (!text.isEmpty()
               && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '
                   || text.back() == '\t'))
            text.chop(1);
        return text;
    }

    void skipLine()
    {
        while (mPos < mBytes.size() && mBytes[mPos] != '\n')
            ++mPos;
        if (mPos < mBytes.size())
            ++mPos;
    }

    Status number(int *value)
    {
        while (mPos < mBytes.size() && isBlank(mBytes[mPos]))
            ++mPos;
        if (mPos >= mBytes.size())
            return End;
        bool negative = false;
        if (mBytes[mPos] == '-' || mBytes[mPos] == '+')
            negative = mBytes[mPos++] == '-';
        qint64 n = 0;
        int digits = 0;
        while (mPos < mBytes.size() && mBytes[mPos] >= '0' && mBytes[mPos] <= '9') {
            n = std::min<qint64>(n * 10 + (mBytes[mPos] - '0'), 1 << 30);
            ++mPos;
            ++digits;
        }
        if (digits == 0 || (mPos < mBytes.size() && !isBlank(mBytes[mPos])))
            return Invalid;
        *value = int(negative ? -n : n);
        return Number;
    }

private:
    static bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

    QByteArrayView mBytes;
    qsizetype mPos = 0;
};

quint8 component(int value)
{
    return quint8(std::clamp(value, 0, 255));
}

// Reads one "r g b" line. Number: all three read; End: the text ended first.
NumberReader::Status readTriple(NumberReader &reader, int rgb[3])
{
    for (int i = 0; i < 3; ++i) {
        const NumberReader::Status s = reader.number(&rgb[i]);
        if (s != NumberReader::Number)
            return s;
    }
    reader.skipLine();
    return NumberReader::Number;
}

// Reads `count` entries; `sixBit` applies the 6-bit rule. Returns 0, or 106 for a
// damaged number; the text ending early is no error.
int readEntries(NumberReader &reader, int count, bool sixBit, PaletteTable &table, int *entries)
{
    const int stored = std::min(count, 256);
    for (int i = 0; i < stored; ++i) {
        int rgb[3];
        const NumberReader::Status s = readTriple(reader, rgb);
        if (s == NumberReader::End)
            return IoOk;
        if (s == NumberReader::Invalid)
            return IoInvalidFormat;
        if (sixBit)
            for (int &c : rgb)
                c = c > 0 ? c * 4 + 3 : 0;
        table[size_t(i)] = PaletteEntry {component(rgb[0]), component(rgb[1]), component(rgb[2]),
                                         PaletteFlagNoCollapse};
        *entries = std::max(*entries, i + 1);
    }
    return IoOk;
}

int readCount(NumberReader &reader, int *count)
{
    if (reader.number(count) != NumberReader::Number || *count < 0)
        return IoInvalidFormat;
    reader.skipLine();
    return IoOk;
}

bool isPaletteText(QByteArrayView bytes)
{
    NumberReader reader(bytes);
    const QByteArray header = reader.line().toUpper();
    return header == QByteArray(NativePaletteHeader).toUpper() || header == JascPaletteHeader;
}

} // namespace

int readPaletteText(QByteArrayView bytes, PaletteTable &table, int *entries)
{
    int localEntries = 0;
    int &read = entries ? *entries : localEntries;
    read = 0;
    NumberReader reader(bytes);
    const QByteArray header = reader.line().toUpper();
    int count = 0;
    if (header == QByteArray(NativePaletteHeader).toUpper()) {
        reader.skipLine(); // notice
        if (const int error = readCount(reader, &count))
            return error;
        if (const int error = readEntries(reader, count, true, table, &read))
            return error;
        if (count == 256) {
            int full = 0;
            return readEntries(reader, 256, false, table, &full);
        }
        return IoOk;
    }
    if (header == JascPaletteHeader) {
        reader.skipLine(); // version
        if (const int error = readCount(reader, &count))
            return error;
        return readEntries(reader, count, false, table, &read);
    }
    return IoInvalidFormat;
}

int LoadPaletteFile(const QString &fileName, PaletteTable &table, bool fill, int *entries)
{
    if (entries)
        *entries = 0;
    if (fill)
        table.fill(PaletteEntry {255, 255, 255, PaletteFlagNoCollapse});
    QByteArray bytes;
    if (const int error = readFileContents(fileName, &bytes))
        return error;
    // A palette text saved under another extension is still read as one.
    if (fileName.endsWith(palettemsg::Extension, Qt::CaseInsensitive) || isPaletteText(bytes))
        return readPaletteText(bytes, table, entries);
    std::vector<PaletteEntry> palette;
    if (const int error = readPicturePalette(bytes, &palette))
        return error;
    const size_t n = std::min(palette.size(), table.size());
    for (size_t i = 0; i < n; ++i)
        table[i] = PaletteEntry {palette[i].red, palette[i].green, palette[i].blue,
                                 PaletteFlagNoCollapse};
    if (entries)
        *entries = int(n);
    return IoOk;
}

QByteArray paletteFileBytes(const PaletteTable &table)
{
    QByteArray out;
    out.reserve(512 * 13 + 64);
    out += NativePaletteHeader;
    out += "\r\n";
    out += Notice;
    out += "\r\n256\r\n";
    auto line = [&out](int r, int g, int b) {
        out += QByteArray::number(r) + ' ' + QByteArray::number(g) + ' ' + QByteArray::number(b)
                + "\r\n";
    };
    for (const PaletteEntry &e : table)
        line(e.red >> 2, e.green >> 2, e.blue >> 2);
    for (const PaletteEntry &e : table)
        line(e.red, e.green, e.blue);
    return out;
}

int SavePaletteFile(const QString &fileName, const PaletteTable &table)
{
    return replaceFileContents(fileName, paletteFileBytes(table));
}

QString paletteLoadFailedMessage(const QString &fileName)
{
    return fileName + QLatin1String("\n\n") + palettemsg::CannotExtract;
}

} // namespace vardeko
