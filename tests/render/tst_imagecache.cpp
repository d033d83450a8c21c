// Tests of the image cache: capacity, recency, palettes, masks and changed files.
#include "testsupport.h"

#include "imagecache.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace vardeko;

class TestImageCache : public QObject
{
    Q_OBJECT

    QString makeImage(const QString &name, const QSize &size, QRgb color)
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(color);
        const QString path = QDir(mDir.path()).filePath(name);
        image.save(path);
        return path;
    }

    static PaletteTable tableWith(quint8 red)
    {
        PaletteTable table = defaultPaletteTable();
        table[100].red = red;
        return table;
    }

private slots:
    void init()
    {
        ImageCache::instance().FlushImages();
        qunsetenv("VARDEKO_SCREEN_COLORS");
    }
    void cleanupTestCase() { ImageCache::instance().FlushImages(); }

    void keepsTwentyMostRecentlyUsed()
    {
        ImageCache &cache = ImageCache::instance();
        QStringList files;
        for (int i = 0; i < 21; ++i)
            files << makeImage(QStringLiteral("img%1.png").arg(i), QSize(4, 4), qRgb(i, 0, 0));
        for (int i = 0; i < 20; ++i)
            QVERIFY(cache.GetImage(files[i], nullptr, false));
        QCOMPARE(cache.count(), ImageCache::Capacity);
        QCOMPARE(cache.fileNames().first(), files[19]);
        // Using the oldest again makes it the newest, so the second is evicted next.
        QVERIFY(cache.GetImage(files[0], nullptr, false));
        QCOMPARE(cache.fileNames().first(), files[0]);
        QVERIFY(cache.GetImage(files[20], nullptr, false));
        QCOMPARE(cache.count(), ImageCache::Capacity);
        QVERIFY(cache.fileNames().contains(files[0]));
        QVERIFY(!cache.fileNames().contains(files[1]));
        QCOMPARE(cache.fileNames().mid(0, 3), (QStringList{files[20], files[0], files[19]}));
    }

    // A name in another case that exists only that way finds the same entry.
    void namesInOtherCaseFindTheFileTheyMean()
    {
        ImageCache &cache = ImageCache::instance();
        const QString path = makeImage(QStringLiteral("Mixed.png"), QSize(3, 2), qRgb(1, 2, 3));
        const CachedImage *first = cache.GetImage(path, nullptr, false);
        QVERIFY(first);
        const CachedImage *again = cache.GetImage(QDir(mDir.path()).filePath(QStringLiteral("MIXED.PNG")),
                                                  nullptr, false);
        QCOMPARE(again, first);
        QCOMPARE(cache.count(), 1);
    }

    // Two files whose names differ only in case are two pictures.
    void filesDifferingInCaseAreTwoEntries()
    {
        ImageCache &cache = ImageCache::instance();
        QTemporaryDir dir;
        QImage red(2, 2, QImage::Format_RGB32);
        red.fill(qRgb(255, 0, 0));
        QImage blue(2, 2, QImage::Format_RGB32);
        blue.fill(qRgb(0, 0, 255));
        const QString lower = dir.filePath(QStringLiteral("c.bmp"));
        const QString upper = dir.filePath(QStringLiteral("C.BMP"));
        QVERIFY(red.save(lower, "BMP"));
        QVERIFY(blue.save(upper, "BMP"));
        for (int round = 0; round < 2; ++round) {
            const CachedImage *a = cache.GetImage(lower, nullptr, false);
            QVERIFY(a);
            QCOMPARE(a->image.pixel(0, 0), qRgb(255, 0, 0));
            const CachedImage *b = cache.GetImage(upper, nullptr, false);
            QVERIFY(b);
            QCOMPARE(b->image.pixel(0, 0), qRgb(0, 0, 255));
        }
        QCOMPARE(cache.count(), 2);
    }

    void palettesMakeSeparateEntries()
    {
        ImageCache &cache = ImageCache::instance();
        const QString path = makeImage(QStringLiteral("pal.png"), QSize(2, 2), qRgb(10, 20, 30));
        const PaletteTable a = tableWith(1), b = tableWith(2);
        const CachedImage *withA = cache.GetImage(path, &a, false);
        const CachedImage *withB = cache.GetImage(path, &b, false);
        QVERIFY(withA && withB);
        QCOMPARE(cache.count(), 2);
        QVERIFY(withA->hasPalette && withB->hasPalette);
        // No palette asked: only an entry without palette will do.
        const CachedImage *plain = cache.GetImage(path, nullptr, false);
        QVERIFY(plain && !plain->hasPalette);
        QCOMPARE(cache.count(), 3);
        // Tables differing only in their flags are the same palette.
        PaletteTable flagged = a;
        flagged[5].flags = 0;
        QCOMPARE(cache.GetImage(path, &flagged, false), cache.fileNames().isEmpty() ? nullptr : withA);
        QCOMPARE(cache.count(), 3);
    }

    void transparentRequestReplacesOpaqueEntry()
    {
        ImageCache &cache = ImageCache::instance();
        QImage image(4, 3, QImage::Format_RGB32);
        image.fill(qRgb(0, 0, 255));
        image.setPixel(0, 2, qRgb(255, 0, 0)); // bottom-left: the transparent colour
        image.setPixel(3, 0, qRgb(255, 0, 0));
        const QString path = QDir(mDir.path()).filePath(QStringLiteral("mask.png"));
        QVERIFY(image.save(path));

        const CachedImage *opaque = cache.GetImage(path, nullptr, false);
        QVERIFY(opaque && opaque->mask.isNull());
        const CachedImage *masked = cache.GetImage(path, nullptr, true);
        QVERIFY(masked);
        QCOMPARE(cache.count(), 1);
        QVERIFY(!masked->mask.isNull());
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 4; ++x) {
                const bool red = image.pixel(x, y) == qRgb(255, 0, 0);
                QCOMPARE(masked->mask.pixelIndex(x, y) == 1, red);
                QCOMPARE(qAlpha(masked->transparentImage.pixel(x, y)) == 0, red);
            }
        }
        // An entry with a mask also serves opaque requests.
        QCOMPARE(cache.GetImage(path, nullptr, false), masked);
    }

    void failedLoadLeavesNoEntry()
    {
        ImageCache &cache = ImageCache::instance();
        QVERIFY(!cache.GetImage(QDir(mDir.path()).filePath(QStringLiteral("missing.png")), nullptr, false));
        const QString junk = QDir(mDir.path()).filePath(QStringLiteral("junk.bmp"));
        QFile f(junk);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("BM this is not a bitmap");
        f.close();
        QVERIFY(!cache.GetImage(junk, nullptr, true));
        QCOMPARE(cache.count(), 0);
    }

    void changedFilesAreDropped()
    {
        ImageCache &cache = ImageCache::instance();
        const QString kept = makeImage(QStringLiteral("kept.png"), QSize(2, 2), qRgb(0, 0, 0));
        const QString changed = makeImage(QStringLiteral("changed.png"), QSize(2, 2), qRgb(0, 0, 0));
        const QString gone = makeImage(QStringLiteral("gone.png"), QSize(2, 2), qRgb(0, 0, 0));
        QVERIFY(cache.GetImage(kept, nullptr, false));
        QVERIFY(cache.GetImage(changed, nullptr, false));
        QVERIFY(cache.GetImage(gone, nullptr, false));
        QVERIFY(!cache.RefreshChangedImages());

        makeImage(QStringLiteral("changed.png"), QSize(5, 7), qRgb(255, 255, 255));
        QFile file(changed);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTimeUtc().addSecs(60), QFileDevice::FileModificationTime));
        file.close();
        QFile::remove(gone); // a file that cannot be found keeps its entry

        QVERIFY(cache.RefreshChangedImages());
        QCOMPARE(cache.count(), 2);
        QVERIFY(!cache.fileNames().contains(changed));
        const CachedImage *reloaded = cache.GetImage(changed, nullptr, false);
        QVERIFY(reloaded);
        QCOMPARE(reloaded->image.size(), QSize(5, 7));
        QVERIFY(!cache.RefreshChangedImages());
    }

    void mapsToPaletteOnPaletteDisplays()
    {
        qputenv("VARDEKO_SCREEN_COLORS", "256");
        ImageCache &cache = ImageCache::instance();
        const QString path = makeImage(QStringLiteral("odd.png"), QSize(2, 2), qRgb(250, 3, 3));
        const PaletteTable table = defaultPaletteTable();
        const CachedImage *entry = cache.GetImage(path, &table, false);
        QVERIFY(entry);
        // 250,3,3 is no entry of the table; the nearest one, 255,0,0, is shown.
        QCOMPARE(entry->image.pixel(0, 0), qRgb(255, 0, 0));
        qunsetenv("VARDEKO_SCREEN_COLORS");
        cache.FlushImages();
        const CachedImage *trueColour = cache.GetImage(path, &table, false);
        QVERIFY(trueColour);
        QCOMPARE(trueColour->image.pixel(0, 0), qRgb(250, 3, 3));
    }

private:
    QTemporaryDir mDir;
};

VARDEKO_REGISTER_TEST(TestImageCache);

#include "tst_imagecache.moc"
