// Loads pictures of every format the pages use through one entry point.
#include "imageloader.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <Magick++.h>

#include <mutex>

namespace vardeko {

namespace {

// Messages for failed loads, one place for all of them.
QString msgMissing(const QString &path) { return QStringLiteral("File not found: %1").arg(path); }
QString msgUnreadable(const QString &path) { return QStringLiteral("Cannot read the picture %1").arg(path); }
QString msgTooLarge(const QString &path) { return QStringLiteral("The picture %1 is too large").arg(path); }
QString msgFlic(const QString &path)
{
    return QStringLiteral("Animation pictures are not supported yet: %1").arg(path);
}

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

ImageLoader::Result loadWithQt(const QString &path)
{
    ImageLoader::Result result;
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

quint16 littleEndian16(const QByteArray &data, int offset)
{
    return quint16(quint8(data[offset]) | (quint8(data[offset + 1]) << 8));
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
        return {QImage(), msgFlic(path)};
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
    }
    if (!sizeAllowed(size))
        return fail(msgUnreadable(path));
    return size;
}

} // namespace vardeko
