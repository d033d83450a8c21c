// Decodes FLI and FLC animations frame by frame into an 8-bit index plane and a palette.
#include "flicdecoder.h"

#include <QFile>

#include <algorithm>
#include <cstring>

namespace vardeko {

namespace {

constexpr int HeaderSize = 128;
constexpr int FrameHeaderSize = 16;
constexpr int ChunkHeaderSize = 6;
constexpr quint16 MagicFli = 0xAF11;
constexpr quint16 MagicFlc = 0xAF12;
constexpr quint16 FrameType = 0xF1FA;
constexpr quint16 PrefixType = 0xF100;

enum ChunkType {
    Color256 = 4,
    DeltaFlc = 7,
    Color64 = 11,
    DeltaFli = 12,
    Black = 13,
    ByteRun = 15,
    FliCopy = 16,
    PostageStamp = 18,
};

bool isKnownChunk(int type)
{
    switch (type) {
    case Color256: case DeltaFlc: case Color64: case DeltaFli:
    case Black: case ByteRun: case FliCopy: case PostageStamp:
        return true;
    default:
        return false;
    }
}

quint16 u16(const uint8_t *p) { return quint16(p[0] | (p[1] << 8)); }
quint32 u32(const uint8_t *p) { return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24); }

// Reads a chunk's data; past its end every read gives 0 and `done()` turns true, so a
// damaged count can only make a loop run out, never read beyond the chunk.
class Cursor
{
public:
    Cursor(const uint8_t *p, qsizetype size) : mP(p), mEnd(p + size) {}
    bool done() const { return mP >= mEnd; }
    qsizetype left() const { return mEnd - mP; }
    int u8()
    {
        if (mP >= mEnd) {
            mOver = true;
            return 0;
        }
        return *mP++;
    }
    int s8() { return int(int8_t(uint8_t(u8()))); }
    int u16le() { const int lo = u8(); return lo | (u8() << 8); }
    const uint8_t *take(qsizetype n, qsizetype *got)
    {
        *got = std::min(n, left());
        const uint8_t *p = mP;
        mP += *got;
        if (*got < n)
            mOver = true;
        return p;
    }
    bool over() const { return mOver; }

private:
    const uint8_t *mP;
    const uint8_t *mEnd;
    bool mOver = false;
};

} // namespace

bool readFlicHeader(const QByteArray &file, FlicHeader *header, QString *error)
{
    const auto fail = [error](const QString &text) {
        if (error)
            *error = text;
        return false;
    };
    if (file.size() < HeaderSize)
        return fail(QStringLiteral("The file is too short to be a flic animation."));
    const auto *p = reinterpret_cast<const uint8_t *>(file.constData());
    const quint16 magic = u16(p + 4);
    if (magic != MagicFli && magic != MagicFlc)
        return fail(QStringLiteral("The file is not a FLI or FLC animation."));
    FlicHeader h;
    h.isFlc = magic == MagicFlc;
    h.frames = u16(p + 6);
    h.width = u16(p + 8);
    h.height = u16(p + 10);
    h.depth = u16(p + 12);
    h.flags = u16(p + 14);
    if (h.width == 0 || h.height == 0)
        return fail(QStringLiteral("The animation has no picture size."));
    if (qint64(h.width) * h.height > FlicDecoder::MaxPixels)
        return fail(QStringLiteral("The animation's frames are too large."));
    if (h.isFlc) {
        h.delayMs = int(std::min<quint32>(u32(p + 16), 0x7FFFFFFF));
        const quint32 first = u32(p + 80);
        // Writers that leave the offset 0 (or damage it) put frame 1 after the header.
        h.firstFrame = first < quint32(HeaderSize) || first >= quint64(file.size()) ? HeaderSize : first;
    } else {
        h.delayMs = u16(p + 16) * 15;
        h.firstFrame = HeaderSize;
    }
    *header = h;
    return true;
}

bool FlicFrameSize(const QString &fileName, int *width, int *height)
{
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = f.read(12);
    if (head.size() < 12)
        return false;
    const auto *p = reinterpret_cast<const uint8_t *>(head.constData());
    *width = u16(p + 8);
    *height = u16(p + 10);
    return true;
}

bool FlicDecoder::open(QByteArray file, QString *error)
{
    FlicHeader h;
    if (!readFlicHeader(file, &h, error))
        return false;
    mFile = std::move(file);
    mHeader = h;
    mPlane.assign(size_t(h.width) * size_t(h.height), 0);
    mPalette.fill(0);
    mPaletteChanged = false;
    rewind();
    return true;
}

bool FlicDecoder::openFile(const QString &fileName, QString *error)
{
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = f.errorString();
        return false;
    }
    return open(f.readAll(), error);
}

void FlicDecoder::rewind()
{
    mPos = mHeader.firstFrame;
    mNext = 0;
    mTruncated = false;
}

// Where the chunk near `pos` starts. Its declared place counts; only when no known chunk
// is there but one is a byte later (a writer that padded an odd chunk without counting
// the pad) is the later place taken.
qsizetype FlicDecoder::chunkStart(qsizetype pos, qsizetype frameEnd) const
{
    const auto *p = reinterpret_cast<const uint8_t *>(mFile.constData());
    if (pos + ChunkHeaderSize > frameEnd || isKnownChunk(u16(p + pos + 4)))
        return pos;
    const qsizetype late = pos + 1;
    if (late + ChunkHeaderSize <= frameEnd && isKnownChunk(u16(p + late + 4))
        && u32(p + late) >= quint32(ChunkHeaderSize) && late + qint64(u32(p + late)) <= frameEnd + 1)
        return late;
    return pos;
}

bool FlicDecoder::decodeNext()
{
    mPaletteChanged = false;
    if (atEnd())
        return false;
    const auto *p = reinterpret_cast<const uint8_t *>(mFile.constData());
    const qsizetype fileSize = mFile.size();
    for (;;) {
        if (mPos + ChunkHeaderSize > fileSize) {
            mTruncated = true;
            return false;
        }
        const quint32 frameSize = u32(p + mPos);
        const quint16 type = u16(p + mPos + 4);
        if (frameSize < quint32(ChunkHeaderSize)) {
            // A size that cannot hold its own header would never move on.
            mTruncated = true;
            return false;
        }
        const qsizetype frameStart = mPos;
        const qsizetype frameEnd = std::min<qint64>(frameStart + qint64(frameSize), fileSize);
        mPos = frameStart + qint64(frameSize);
        if (type == PrefixType && mNext == 0)
            continue; // settings block before frame 1, not a frame
        ++mNext;
        if (type != FrameType || frameStart + FrameHeaderSize > frameEnd)
            return true;
        const int chunks = u16(p + frameStart + 6);
        qsizetype pos = frameStart + FrameHeaderSize;
        for (int i = 0; i < chunks; ++i) {
            pos = chunkStart(pos, frameEnd);
            if (pos + ChunkHeaderSize > frameEnd)
                break;
            const quint32 size = u32(p + pos);
            if (size < quint32(ChunkHeaderSize))
                break;
            const qsizetype dataEnd = std::min<qint64>(pos + qint64(size), frameEnd);
            decodeChunk(u16(p + pos + 4), p + pos + ChunkHeaderSize, dataEnd - pos - ChunkHeaderSize);
            pos += qint64(size);
        }
        return true;
    }
}

void FlicDecoder::decodeChunk(int type, const uint8_t *data, qsizetype size)
{
    switch (type) {
    case Color256: decodePalette(data, size, false); break;
    case Color64: decodePalette(data, size, true); break;
    case DeltaFlc: decodeDeltaFlc(data, size); break;
    case DeltaFli: decodeDeltaFli(data, size); break;
    case Black: std::fill(mPlane.begin(), mPlane.end(), uint8_t(0)); break;
    case ByteRun: decodeByteRun(data, size); break;
    case FliCopy: decodeCopy(data, size); break;
    default: break; // postage stamps and unknown chunks are skipped by their size
    }
}

void FlicDecoder::decodePalette(const uint8_t *data, qsizetype size, bool sixBit)
{
    Cursor c(data, size);
    int packets = c.u16le();
    int index = 0;
    while (packets-- > 0 && !c.done()) {
        index += c.u8();
        int count = c.u8();
        if (count == 0)
            count = 256;
        for (int k = 0; k < count && !c.over(); ++k, ++index) {
            int rgb[3] = {c.u8(), c.u8(), c.u8()};
            if (c.over() || index >= 256)
                continue;
            for (int j = 0; j < 3; ++j)
                mPalette[size_t(index * 3 + j)] = uint8_t(sixBit ? rgb[j] * 4 + 3 : rgb[j]);
        }
    }
    mPaletteChanged = true;
}

void FlicDecoder::decodeByteRun(const uint8_t *data, qsizetype size)
{
    const int w = mHeader.width;
    Cursor c(data, size);
    for (int y = 0; y < mHeader.height && !c.done(); ++y) {
        uint8_t *line = mPlane.data() + size_t(y) * size_t(w);
        c.u8(); // packet count, unreliable for wide frames
        int x = 0;
        while (x < w && !c.done()) {
            const int count = c.s8();
            if (count < 0) {
                qsizetype got = 0;
                const uint8_t *src = c.take(-count, &got);
                const qsizetype n = std::min<qsizetype>(got, w - x);
                std::memcpy(line + x, src, size_t(n));
                x += -count;
            } else if (count > 0) {
                const int value = c.u8();
                std::memset(line + x, value, size_t(std::min(count, w - x)));
                x += count;
            }
        }
    }
}

void FlicDecoder::decodeDeltaFli(const uint8_t *data, qsizetype size)
{
    const int w = mHeader.width;
    Cursor c(data, size);
    int y = c.u16le();
    int lines = c.u16le();
    for (; lines > 0 && y < mHeader.height && !c.done(); --lines, ++y) {
        uint8_t *line = mPlane.data() + size_t(y) * size_t(w);
        int packets = c.u8();
        int x = 0;
        while (packets-- > 0 && !c.done()) {
            x += c.u8();
            const int count = c.s8();
            if (count > 0) {
                qsizetype got = 0;
                const uint8_t *src = c.take(count, &got);
                if (x < w)
                    std::memcpy(line + x, src, size_t(std::min<qsizetype>(got, w - x)));
                x += count;
            } else if (count < 0) {
                const int value = c.u8();
                if (x < w)
                    std::memset(line + x, value, size_t(std::min(-count, w - x)));
                x += -count;
            }
        }
    }
}

void FlicDecoder::decodeDeltaFlc(const uint8_t *data, qsizetype size)
{
    const int w = mHeader.width;
    const int h = mHeader.height;
    Cursor c(data, size);
    int lines = c.u16le();
    int y = 0;
    while (lines > 0 && y < h && !c.done()) {
        const int word = c.u16le();
        if ((word & 0xC000) == 0xC000) {
            y += -int(int16_t(quint16(word)));
            continue;
        }
        if ((word & 0xC000) == 0x8000) {
            // The line's last pixel; its packet count follows.
            mPlane[size_t(y) * size_t(w) + size_t(w - 1)] = uint8_t(word & 0xFF);
            continue;
        }
        uint8_t *line = mPlane.data() + size_t(y) * size_t(w);
        int packets = word;
        int x = 0;
        while (packets-- > 0 && !c.done()) {
            x += c.u8();
            const int count = c.s8();
            if (count > 0) {
                qsizetype got = 0;
                const uint8_t *src = c.take(qsizetype(count) * 2, &got);
                if (x < w)
                    std::memcpy(line + x, src, size_t(std::min<qsizetype>(got, w - x)));
                x += count * 2;
            } else if (count < 0) {
                const uint8_t pair[2] = {uint8_t(c.u8()), uint8_t(c.u8())};
                for (int k = 0; k < -count * 2 && x + k < w; ++k)
                    line[x + k] = pair[k & 1];
                x += -count * 2;
            }
        }
        ++y;
        --lines;
    }
}

void FlicDecoder::decodeCopy(const uint8_t *data, qsizetype size)
{
    const qsizetype n = std::min<qsizetype>(size, qsizetype(mPlane.size()));
    std::memcpy(mPlane.data(), data, size_t(n));
}

} // namespace vardeko
