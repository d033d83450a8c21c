// The cache of loaded pictures that every page drawing takes its images from.
#include "imagecache.h"

#include "filenames.h"
#include "imageloader.h"

#include <QFileInfo>

namespace vardeko {

namespace {

QDateTime fileStamp(const QString &fileName)
{
    return QFileInfo(fileName).lastModified().toUTC();
}

// What the picture looks like through a palette display: every colour replaced by
// the nearest entry of the table.
QImage mapToPalette(const QImage &image, const PaletteTable &table)
{
    QList<QRgb> colors;
    colors.reserve(int(table.size()));
    for (const PaletteEntry &e : table)
        colors.append(qRgb(e.red, e.green, e.blue));
    const bool alpha = image.hasAlphaChannel();
    QImage mapped = image.convertToFormat(QImage::Format_Indexed8, colors,
                                          Qt::ThresholdDither | Qt::AvoidDither)
                        .convertToFormat(QImage::Format_RGB32);
    if (alpha) {
        mapped = mapped.convertToFormat(QImage::Format_ARGB32);
        const QImage source = image.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < mapped.height(); ++y) {
            auto *out = reinterpret_cast<QRgb *>(mapped.scanLine(y));
            const auto *in = reinterpret_cast<const QRgb *>(source.constScanLine(y));
            for (int x = 0; x < mapped.width(); ++x)
                out[x] = (out[x] & 0x00FFFFFFu) | (in[x] & 0xFF000000u);
        }
        mapped = mapped.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }
    return mapped;
}

QImage applyMask(const QImage &image, const QImage &mask)
{
    QImage out = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < out.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            if (mask.pixelIndex(x, y) == 1)
                line[x] = 0;
        }
    }
    return out;
}

} // namespace

QImage transparencyMask(const QImage &image)
{
    if (image.isNull())
        return QImage();
    const QImage source = image.convertToFormat(QImage::Format_RGB32);
    const QRgb key = source.pixel(0, source.height() - 1) & 0x00FFFFFFu;
    QImage mask(source.size(), QImage::Format_Mono);
    mask.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    mask.fill(0);
    for (int y = 0; y < source.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(source.constScanLine(y));
        for (int x = 0; x < source.width(); ++x) {
            if ((line[x] & 0x00FFFFFFu) == key)
                mask.setPixel(x, y, 1);
        }
    }
    return mask;
}

ImageCache &ImageCache::instance()
{
    static ImageCache cache;
    return cache;
}

const CachedImage *ImageCache::GetImage(const QString &requested, const PaletteTable *palette,
                                        bool transparent)
{
    // Entries are keyed by the file the name resolves to: on this file system "c.bmp" and
    // "C.BMP" in one folder are two pictures. Only a name that does not exist as written
    // is looked up without regard to case.
    QString fileName = requested;
    if (!QFileInfo::exists(fileName)) {
        const QString found = locateFile(fileName);
        if (!found.isEmpty())
            fileName = found;
    }
    auto matches = [&](const CachedImage &entry) {
        if (entry.fileName != fileName)
            return false;
        if (!palette)
            return !entry.hasPalette;
        return entry.hasPalette && SamePalette(&entry.palette, palette);
    };

    auto it = mEntries.begin();
    while (it != mEntries.end() && !matches(*it))
        ++it;
    // An entry loaded for opaque drawing has no mask: load it again with one.
    if (it != mEntries.end() && transparent && it->mask.isNull()) {
        mEntries.erase(it);
        it = mEntries.end();
    }

    if (it == mEntries.end()) {
        const ImageLoader::Result loaded = ImageLoader::load(fileName);
        if (!loaded.ok())
            return nullptr;
        if (int(mEntries.size()) >= Capacity)
            mEntries.pop_back();
        CachedImage entry;
        entry.fileName = fileName;
        entry.stamp = fileStamp(fileName);
        entry.image = loaded.image;
        if (transparent)
            entry.mask = transparencyMask(entry.image);
        if (palette) {
            entry.palette = *palette;
            entry.hasPalette = true;
            if (ScreenColorCount() <= 256)
                entry.image = mapToPalette(entry.image, *palette);
        }
        if (transparent)
            entry.transparentImage = applyMask(entry.image, entry.mask);
        mEntries.push_front(std::move(entry));
        return &mEntries.front();
    }

    mEntries.splice(mEntries.begin(), mEntries, it);
    return &mEntries.front();
}

void ImageCache::FlushImages()
{
    mEntries.clear();
}

bool ImageCache::RefreshChangedImages()
{
    bool dropped = false;
    for (auto it = mEntries.begin(); it != mEntries.end();) {
        const QFileInfo info(it->fileName);
        if (info.exists() && info.lastModified().toUTC() != it->stamp) {
            it = mEntries.erase(it);
            dropped = true;
        } else {
            ++it;
        }
    }
    return dropped;
}

QStringList ImageCache::fileNames() const
{
    QStringList names;
    for (const CachedImage &entry : mEntries)
        names.append(entry.fileName);
    return names;
}

} // namespace vardeko
