// The cache of loaded pictures that every page drawing takes its images from.
#pragma once

#include "palette.h"

#include <QDateTime>
#include <QImage>
#include <QString>
#include <QStringList>

#include <list>

namespace vardeko {

// One loaded picture. Owned by the cache; valid until the next call that can evict.
struct CachedImage
{
    QString fileName;  // as requested
    QDateTime stamp;   // the file's modification time when it was loaded
    QImage image;      // the picture, mapped to `palette` on palette displays
    PaletteTable palette{};
    bool hasPalette = false;
    QImage mask;       // 1 bit per pixel, set where the picture is transparent; only
                       // when loaded for transparent drawing
    QImage transparentImage; // the picture with its masked pixels see-through
};

class ImageCache
{
public:
    static constexpr int Capacity = 20;

    // The cache the program shares; empty at start-up.
    static ImageCache &instance();

    // The entry for the file with that palette (none: an entry without palette), loading
    // it when missing and making it the most recently used. With `transparent` the entry
    // carries a mask taken from the colour of the picture's bottom-left pixel. Returns
    // null when the file cannot be loaded; no entry is left behind then.
    const CachedImage *GetImage(const QString &fileName, const PaletteTable *palette,
                                bool transparent);
    // Destroys every entry.
    void FlushImages();
    // Drops every entry whose file exists and has a new modification time; true when
    // any entry was dropped.
    bool RefreshChangedImages();

    int count() const { return int(mEntries.size()); }
    // File names of the entries, most recently used first.
    QStringList fileNames() const;

private:
    std::list<CachedImage> mEntries; // most recently used first
};

// Monochrome mask of the pixels having the colour of the bottom-left pixel.
QImage transparencyMask(const QImage &image);

} // namespace vardeko
