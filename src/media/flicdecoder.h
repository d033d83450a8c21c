// Decodes FLI and FLC animations frame by frame into an 8-bit index plane and a palette.
#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

namespace vardeko {

struct FlicHeader
{
    int frames = 0;           // frames to play; the ring frame after them is not counted
    int width = 0;
    int height = 0;
    int depth = 0;
    int flags = 0;
    int delayMs = 0;          // FLI: speed x 15; FLC: the speed as it is
    qint64 firstFrame = 128;  // file position of frame 1
    bool isFlc = false;
};

// Reads the 128-byte header. False (with a reason) when the bytes are not a flic that
// can be played: unknown magic, no size, or a frame too large to hold. A frame-1 offset
// of an FLC below the header or past the end of the file is taken as 128.
bool readFlicHeader(const QByteArray &file, FlicHeader *header, QString *error);

// Width and height at offsets 8 and 10 of the file; false when it cannot be read.
bool FlicFrameSize(const QString &fileName, int *width, int *height);

// The decoder keeps the whole file in memory and walks it frame by frame. Every chunk
// is found at its start plus its declared size, clamped to its frame, so chunks that a
// decoder reads short (or long) cannot shift the next one; nothing is ever read or
// written outside the file bytes, the plane or the palette.
class FlicDecoder
{
public:
    static constexpr int MaxPixels = 64 * 1024 * 1024;

    // False with a message when the data is not a playable flic.
    bool open(QByteArray file, QString *error);
    bool openFile(const QString &fileName, QString *error);

    const FlicHeader &header() const { return mHeader; }
    // The frame that decodeNext() reads next, from 0; frames() when all were read.
    int nextFrame() const { return mNext; }
    bool atEnd() const { return mNext >= mHeader.frames; }
    // True when the last decodeNext() found the file ended before its frame.
    bool truncated() const { return mTruncated; }

    // Decodes the next frame into the plane and palette. False at the end of the frames
    // or when the file ends before the frame starts (truncated() then says so).
    bool decodeNext();
    // Back to frame 1 for another pass; plane and palette keep the last frame, as a
    // looping animation continues from its ring.
    void rewind();

    // W*H bytes, rows top-down, no padding.
    const std::vector<uint8_t> &plane() const { return mPlane; }
    // 256 entries of red, green, blue.
    const std::array<uint8_t, 768> &palette() const { return mPalette; }
    // Whether the palette changed since the previous frame.
    bool paletteChanged() const { return mPaletteChanged; }

private:
    void decodeChunk(int type, const uint8_t *data, qsizetype size);
    void decodePalette(const uint8_t *p, qsizetype size, bool sixBit);
    void decodeByteRun(const uint8_t *p, qsizetype size);
    void decodeDeltaFli(const uint8_t *p, qsizetype size);
    void decodeDeltaFlc(const uint8_t *p, qsizetype size);
    void decodeCopy(const uint8_t *p, qsizetype size);
    qsizetype chunkStart(qsizetype pos, qsizetype frameEnd) const;

    QByteArray mFile;
    FlicHeader mHeader;
    qsizetype mPos = 0;
    int mNext = 0;
    bool mTruncated = false;
    bool mPaletteChanged = false;
    std::vector<uint8_t> mPlane;
    std::array<uint8_t, 768> mPalette {};
};

} // namespace vardeko
