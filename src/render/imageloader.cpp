// Loads pictures of every format the pages use through one entry point.
#include "imageloader.h"

#include "flicdecoder.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <Magick++.h>

#include <cstring>
#include <mutex>

namespace vardeko {

namespace {

// Messages for failed loads, one place for all of them.
QString msgMissing(const QString &path) { return QStringLiteral("File not found: %1").arg(path); }
QString msgUnreadable(const QString &path) { return QStringLiteral("Cannot read the picture %1").arg(path); }
QString msgTooLarge(const QString &path) { return QStringLiteral("The picture %1 is too large").arg(path); }
QString msgDamaged(const QString &path) { return QStringLiteral("The picture %1 is damaged").arg(path); }

bool sizeAllowed(const QSize &size)
{
    return size.width() > 0 && size.height() > 0 && size.width() <= ImageLoader::MaxSide
        && size.height() <= ImageLoader::MaxSide;
}

void initMagick()
{
    static std::once_flag once;
    std::call_once(once, [] { Magick::InitializeMagick(nullptr); });
}

QString extensionOf(const QString &path)
{
    // Pages choose the loader by the last four characters of the name.
    return path.right(4).toUpper();
}

std::string magickSpec(const QString &path)
{
    const QString ext = extensionOf(path);
    const QString coder = ext == QLatin1String(".WMF") ? QStringLiteral("WMF") : QStringLiteral("PCX");
    return QString(coder + QLatin1Char(':') + QFileInfo(path).absoluteFilePath()).toStdString();
}

ImageLoader::Result loadWithMagick(const QString &path)
{
    initMagick();
    ImageLoader::Result result;
    try {
        Magick::Image pinged;
        pinged.quiet(true);
        pinged.ping(magickSpec(path));
        if (!sizeAllowed(QSize(int(pinged.columns()), int(pinged.rows())))) {
            result.error = msgTooLarge(path);
            return result;
        }
        Magick::Image picture;
        picture.quiet(true);
        picture.read(magickSpec(path));
        const QSize size(int(picture.columns()), int(picture.rows()));
        if (!sizeAllowed(size)) {
            result.error = msgUnreadable(path);
            return result;
        }
        QImage image(size, QImage::Format_RGBA8888);
        if (image.isNull()) {
            result.error = msgTooLarge(path);
            return result;
        }
        // Rows of a QImage may be padded; export row by row.
        for (int y = 0; y < size.height(); ++y)
            picture.write(0, y, uint(size.width()), 1, "RGBA", Magick::CharPixel, image.scanLine(y));
        result.image = image.convertToFormat(image.hasAlphaChannel() && picture.matte()
                                                 ? QImage::Format_ARGB32_Premultiplied
                                                 : QImage::Format_RGB32);
    } catch (const Magick::Exception &e) {
        result.image = QImage();
        result.error = msgUnreadable(path) + QStringLiteral(": ") + QString::fromLocal8Bit(e.what());
    } catch (const std::exception &e) {
        result.image = QImage();
        result.error = msgUnreadable(path) + QStringLiteral(": ") + QString::fromLocal8Bit(e.what());
    }
    return result;
}

quint16 littleEndian16(const QByteArray &data, int offset)
{
    return quint16(quint8(data[offset]) | (quint8(data[offset + 1]) << 8));
}

quint32 littleEndian32(const QByteArray &data, qint64 offset)
{
    return quint32(quint8(data[offset])) | (quint32(quint8(data[offset + 1])) << 8)
        | (quint32(quint8(data[offset + 2])) << 16) | (quint32(quint8(data[offset + 3])) << 24);
}

// Qt's readers show what they could decode of a cut file without saying so; these
// checks find files whose declared contents run past their end.
bool bmpComplete(const QByteArray &data)
{
    if (data.size() < 30 || !data.startsWith("BM"))
        return true; // not ours to judge; the reader decides
    const quint32 offBits = littleEndian32(data, 10);
    const quint32 headerSize = littleEndian32(data, 14);
    if (offBits > quint32(data.size()))
        return false;
    if (headerSize == 12) { // OS/2 bitmaps have 16-bit sizes
        const qint64 width = littleEndian16(data, 18), height = littleEndian16(data, 20);
        const int bits = littleEndian16(data, 24);
        return qint64(offBits) + ((width * bits + 31) / 32) * 4 * height <= data.size();
    }
    if (headerSize < 40 || data.size() < 54)
        return true;
    const qint64 width = qint32(littleEndian32(data, 18));
    const qint64 height = std::abs(qint64(qint32(littleEndian32(data, 22))));
    const int bits = quint16(littleEndian32(data, 28) & 0xFFFF);
    const quint32 compression = littleEndian32(data, 30);
    const quint32 sizeImage = littleEndian32(data, 34);
    if (compression == 1 || compression == 2) // run-length coded
        return sizeImage == 0 || qint64(offBits) + sizeImage <= data.size();
    const qint64 rowBytes = ((width * bits + 31) / 32) * 4;
    return qint64(offBits) + rowBytes * height <= data.size();
}

// Walks the blocks to the trailer; a file may end early only between blocks.
bool gifComplete(const QByteArray &data)
{
    if (data.size() < 13 || !data.startsWith("GIF"))
        return true;
    qint64 pos = 13;
    const quint8 flags = quint8(data[10]);
    if (flags & 0x80)
        pos += 3 * (qint64(1) << ((flags & 7) + 1));
    auto skipSubBlocks = [&]() {
        while (pos < data.size()) {
            const int length = quint8(data[pos]);
            pos += 1 + length;
            if (length == 0)
                return pos <= data.size();
        }
        return false;
    };
    while (pos < data.size()) {
        const quint8 block = quint8(data[pos]);
        if (block == 0x21) {
            pos += 2;
            if (!skipSubBlocks())
                return false;
        } else if (block == 0x2C) {
            if (pos + 10 > data.size())
                return false;
            const quint8 local = quint8(data[pos + 9]);
            pos += 10;
            if (local & 0x80)
                pos += 3 * (qint64(1) << ((local & 7) + 1));
            pos += 1; // code size
            if (pos > data.size() || !skipSubBlocks())
                return false;
        } else {
            return block == 0x3B;
        }
    }
    return pos == data.size();
}

bool icoComplete(const QByteArray &data)
{
    if (data.size() < 6 || littleEndian16(data, 0) != 0 || littleEndian16(data, 2) != 1)
        return true;
    const int count = littleEndian16(data, 4);
    if (6 + 16 * qint64(count) > data.size())
        return false;
    for (int i = 0; i < count; ++i) {
        const qint64 entry = 6 + 16 * i;
        if (qint64(littleEndian32(data, entry + 12)) + littleEndian32(data, entry + 8) > data.size())
            return false;
    }
    return true;
}

// Every directory and every strip or tile of every page must lie inside the file.
bool tiffComplete(const QByteArray &data)
{
    if (data.size() < 8)
        return true;
    const bool little = data.startsWith("II");
    if (!little && !data.startsWith("MM"))
        return true;
    auto u16 = [&](qint64 at) -> quint32 {
        if (at < 0 || at + 2 > data.size())
            return 0;
        return little ? littleEndian16(data, int(at))
                      : quint32((quint8(data[at]) << 8) | quint8(data[at + 1]));
    };
    auto u32 = [&](qint64 at) -> quint32 {
        if (at < 0 || at + 4 > data.size())
            return 0;
        return little ? littleEndian32(data, at)
                      : (quint32(quint8(data[at])) << 24) | (quint32(quint8(data[at + 1])) << 16)
                    | (quint32(quint8(data[at + 2])) << 8) | quint32(quint8(data[at + 3]));
    };
    qint64 ifd = u32(4);
    int pages = 0;
    while (ifd != 0) {
        if (++pages > 1000 || ifd + 2 > data.size())
            return false;
        const quint32 entries = u16(ifd);
        if (ifd + 2 + 12 * qint64(entries) + 4 > data.size())
            return false;
        QList<quint32> offsets, counts;
        for (quint32 i = 0; i < entries; ++i) {
            const qint64 e = ifd + 2 + 12 * qint64(i);
            const quint32 tag = u16(e), type = u16(e + 2), n = u32(e + 4);
            if (tag != 273 && tag != 279 && tag != 324 && tag != 325)
                continue;
            const int size = type == 3 ? 2 : 4;
            const qint64 at = qint64(n) * size <= 4 ? e + 8 : qint64(u32(e + 8));
            if (at + qint64(n) * size > data.size())
                return false;
            QList<quint32> &list = (tag == 273 || tag == 324) ? offsets : counts;
            for (quint32 k = 0; k < n; ++k)
                list.append(size == 2 ? u16(at + k * 2) : u32(at + k * 4));
        }
        for (int k = 0; k < offsets.size() && k < counts.size(); ++k) {
            if (qint64(offsets[k]) + counts[k] > data.size())
                return false;
        }
        ifd = u32(ifd + 2 + 12 * qint64(entries));
    }
    return true;
}

bool fileComplete(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray data = file.readAll();
    return bmpComplete(data) && gifComplete(data) && icoComplete(data) && tiffComplete(data);
}

ImageLoader::Result loadWithQt(const QString &path)
{
    ImageLoader::Result result;
    if (!fileComplete(path)) {
        result.error = msgDamaged(path);
        return result;
    }
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QSize size = reader.size();
    if (size.isValid() && !sizeAllowed(size)) {
        result.error = msgTooLarge(path);
        return result;
    }
    QImage image;
    if (!reader.read(&image) || image.isNull()) {
        result.error = msgUnreadable(path) + QStringLiteral(": ") + reader.errorString();
        return result;
    }
    result.image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                                 : QImage::Format_RGB32);
    return result;
}

// The first frame of an FLI or FLC animation.
ImageLoader::Result loadFlicFirstFrame(const QString &path)
{
    FlicDecoder decoder;
    QString why;
    if (!decoder.openFile(path, &why))
        return {QImage(), msgUnreadable(path)};
    const FlicHeader &h = decoder.header();
    if (!sizeAllowed(QSize(h.width, h.height)))
        return {QImage(), msgTooLarge(path)};
    if (!decoder.decodeNext())
        return {QImage(), msgDamaged(path)};
    QImage frame(h.width, h.height, QImage::Format_Indexed8);
    if (frame.isNull())
        return {QImage(), msgTooLarge(path)};
    QList<QRgb> colours(256);
    const auto &pal = decoder.palette();
    for (int i = 0; i < 256; ++i)
        colours[i] = qRgb(pal[size_t(i * 3)], pal[size_t(i * 3 + 1)], pal[size_t(i * 3 + 2)]);
    frame.setColorTable(colours);
    for (int y = 0; y < h.height; ++y)
        std::memcpy(frame.scanLine(y), decoder.plane().data() + size_t(y) * size_t(h.width), size_t(h.width));
    return {frame.convertToFormat(QImage::Format_RGB32), QString()};
}

// PCX and FLI/FLC keep the size in a fixed header; no decoder is needed for it.
QSize headerSize(const QString &path, ImageLoader::Decoder decoder)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QSize();
    const QByteArray header = file.read(128);
    if (header.size() < 128)
        return QSize();
    if (decoder == ImageLoader::Flic) {
        const quint16 magic = littleEndian16(header, 4);
        if (magic != 0xAF11 && magic != 0xAF12)
            return QSize();
        return QSize(littleEndian16(header, 8), littleEndian16(header, 10));
    }
    if (quint8(header[0]) != 0x0A)
        return QSize();
    const int xMin = littleEndian16(header, 4), yMin = littleEndian16(header, 6);
    const int xMax = littleEndian16(header, 8), yMax = littleEndian16(header, 10);
    if (xMax < xMin || yMax < yMin)
        return QSize();
    return QSize(xMax - xMin + 1, yMax - yMin + 1);
}

} // namespace

ImageLoader::Decoder ImageLoader::decoderFor(const QString &path)
{
    const QString ext = extensionOf(path);
    if (ext == QLatin1String(".PCX") || ext == QLatin1String(".WMF"))
        return Magick;
    if (ext == QLatin1String(".FLI") || ext == QLatin1String(".FLC"))
        return Flic;
    return QtReader;
}

ImageLoader::Result ImageLoader::load(const QString &path)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return {QImage(), msgMissing(path)};
    switch (decoderFor(path)) {
    case Magick:
        return loadWithMagick(path);
    case Flic:
        return loadFlicFirstFrame(path);
    case QtReader:
        break;
    }
    return loadWithQt(path);
}

QSize ImageLoader::imageSize(const QString &path, QString *error)
{
    auto fail = [&](const QString &message) {
        if (error)
            *error = message;
        return QSize();
    };
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return fail(msgMissing(path));
    const Decoder decoder = decoderFor(path);
    QSize size;
    if (decoder == Flic || extensionOf(path) == QLatin1String(".PCX")) {
        size = headerSize(path, decoder);
    } else if (decoder == Magick) {
        initMagick();
        try {
            Magick::Image pinged;
            pinged.quiet(true);
            pinged.ping(magickSpec(path));
            size = QSize(int(pinged.columns()), int(pinged.rows()));
        } catch (const std::exception &) {
            size = QSize();
        }
    } else {
        QImageReader reader(path);
        reader.setDecideFormatFromContent(true);
        size = reader.size();
        // Some readers cannot tell the size without decoding (top-down bitmaps).
        if (!size.isValid() && fileComplete(path))
            size = reader.read().size();
    }
    if (!sizeAllowed(size))
        return fail(msgUnreadable(path));
    return size;
}

} // namespace vardeko
