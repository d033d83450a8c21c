// Reads and writes ".CAR" cartoon files: a frame count and a picture strip of the frames.
#include "cartoonfile.h"

#include <QFile>

namespace vardeko {

namespace {

constexpr int HeaderSize = 12;

quint32 u32(const uint8_t *p) { return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24); }

void put(QByteArray &out, quint32 v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.append(char((v >> (8 * i)) & 0xFF));
}

} // namespace

bool readCartoon(QByteArrayView bytes, CartoonFile *cartoon, QString *error)
{
    const auto fail = [error](const char *text) {
        if (error)
            *error = QString::fromLatin1(text);
        return false;
    };
    if (bytes.size() < 2 || bytes[0] != 'K' || bytes[1] != 'T')
        return fail("The file is not a cartoon.");
    if (bytes.size() < HeaderSize)
        return fail("The cartoon's header is cut short.");
    const auto *p = reinterpret_cast<const uint8_t *>(bytes.data());
    const quint64 offset = u32(p + 2);
    const quint64 length = u32(p + 6);
    const int frames = p[10] | (p[11] << 8);
    if (frames == 0)
        return fail("The cartoon has no frames.");
    if (length == 0 || offset + length > quint64(bytes.size()))
        return fail("The cartoon's picture lies outside the file.");
    cartoon->frames = frames;
    cartoon->strip = bytes.sliced(qsizetype(offset), qsizetype(length)).toByteArray();
    return true;
}

bool readCartoonFile(const QString &fileName, CartoonFile *cartoon, QString *error)
{
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = f.errorString();
        return false;
    }
    return readCartoon(f.readAll(), cartoon, error);
}

bool cartoonFrameSize(int stripWidth, int stripHeight, int frames, int *frameWidth,
                      int *frameHeight)
{
    if (frames <= 0 || stripHeight <= 0 || stripWidth < frames)
        return false;
    *frameWidth = stripWidth / frames;
    *frameHeight = stripHeight;
    return true;
}

QByteArray cartoonBytes(const QByteArray &strip, int frames)
{
    QByteArray out("KT");
    put(out, HeaderSize, 4);
    put(out, quint32(strip.size()), 4);
    put(out, quint32(frames), 2);
    out += strip;
    return out;
}

} // namespace vardeko
