// Loads pictures of every format the pages use through one entry point.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace vardeko {

// Decodes BMP, GIF, PNG, JPEG, TIFF and ICO with Qt's readers, PCX and WMF with
// GraphicsMagick, and the first frame of FLI/FLC animations with the flic decoder.
// Which decoder runs is chosen by the file name's extension, as pages store names.
class ImageLoader
{
public:
    enum Decoder { QtReader, Magick, Flic };

    struct Result
    {
        QImage image;    // null on failure
        QString error;   // why it failed; empty on success
        bool ok() const { return !image.isNull(); }
    };

    // The first frame or page of the file, as 32-bit RGB (with alpha when it has one).
    static Result load(const QString &path);
    // The picture's size without decoding its pixels where the format allows;
    // an invalid size when the file cannot be read.
    static QSize imageSize(const QString &path, QString *error = nullptr);

    static Decoder decoderFor(const QString &path);

    // Pictures larger than this on either side are refused rather than allocated.
    static constexpr int MaxSide = 16384;
};

} // namespace vardeko
