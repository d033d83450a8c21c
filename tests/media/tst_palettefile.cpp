// Palette files and the colour tables of pictures.
#include "palettefile.h"

#include "ioerrors.h"
#include "testsupport.h"
#include "thirdpartyfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace vardeko;

namespace {

QString testData(const QString &name)
{
    return QString::fromLocal8Bit(qgetenv("VARDEKO_TESTDATA")) + QLatin1Char('/') + name;
}

PaletteTable grey()
{
    PaletteTable t;
    t.fill(PaletteEntry {1, 2, 3, 0});
    return t;
}

PaletteEntry entry(int r, int g, int b)
{
    return PaletteEntry {quint8(r), quint8(g), quint8(b), PaletteFlagNoCollapse};
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

class TestPaletteFile : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY2(QDir(tmp.path()).exists(), "no temporary directory"); }

    // Every palette of the test data: which load, how many entries, and sample values.
    void sharedPalettes_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("error");
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("index");
        QTest::addColumn<PaletteEntry>("expected");
        QTest::newRow("JASC, 249 entries") << "pal/jasc.pal" << 0 << 249 << 1 << entry(31, 23, 11);
        QTest::newRow("JASC, 10 entries, no final line end")
                << "pal/ios.sketchpalette.out.psppalette" << 0 << 10 << 0 << entry(90, 200, 250);
        QTest::newRow("JASC, 40 entries")
                << "pal/kde40.colors.out.psppalette" << 0 << 40 << 3 << entry(128, 128, 128);
        QTest::newRow("JASC with 1816 entries keeps the first 256")
                << "pal/emoji-average-colors.gpl.out.psppalette" << 0 << 256 << 1
                << entry(214, 171, 73);
    }

    void sharedPalettes()
    {
        REQUIRE_THIRD_PARTY_FILES();
        QFETCH(QString, file);
        QFETCH(int, error);
        QFETCH(int, entries);
        QFETCH(int, index);
        QFETCH(PaletteEntry, expected);
        PaletteTable table = grey();
        int read = -1;
        QCOMPARE(LoadPaletteFile(testData(file), table, false, &read), error);
        QCOMPARE(read, entries);
        QCOMPARE(table[size_t(index)], expected);
        if (entries < 256)
            QCOMPARE(table[size_t(entries)], (PaletteEntry {1, 2, 3, 0})); // untouched
    }

    // Binary RIFF palettes are not one of the two text formats.
    void riffPaletteIsRefused_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("10 entries") << "pal/ios.sketchpalette.out.pal";
        QTest::newRow("40 entries") << "pal/kde40.colors.out.pal";
    }

    void riffPaletteIsRefused()
    {
        REQUIRE_THIRD_PARTY_FILES();
        QFETCH(QString, file);
        PaletteTable table = grey();
        QCOMPARE(LoadPaletteFile(testData(file), table, false), int(IoInvalidFormat));
        QCOMPARE(table, grey());
    }

    void sixBitRule_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("error");
        QTest::addColumn<int>("entries");
        QTest::addColumn<PaletteEntry>("first");
        QTest::addColumn<PaletteEntry>("second");
        QTest::newRow("63 255, 1 7, 0 0")
                << QByteArray("DABRISKO PALETTE FILE\r\nnotice\r\n2\r\n63 1 0\r\n32 62 2\r\n") << 0
                << 2 << entry(255, 7, 0) << entry(131, 251, 11);
        QTest::newRow("header in any case, lone LF")
                << QByteArray("dabrisko palette file\nx\n1\n10 20 30\n") << 0 << 1
                << entry(43, 83, 123) << PaletteEntry {1, 2, 3, 0};
        QTest::newRow("short file keeps what was read")
                << QByteArray("Dabrisko Palette File\r\nn\r\n16\r\n1 1 1\r\n") << 0 << 1
                << entry(7, 7, 7) << PaletteEntry {1, 2, 3, 0};
        QTest::newRow("damaged number keeps what was read")
                << QByteArray("Dabrisko Palette File\r\nn\r\n16\r\n1 1 1\r\n2 x 2\r\n")
                << int(IoInvalidFormat) << 1 << entry(7, 7, 7) << PaletteEntry {1, 2, 3, 0};
        QTest::newRow("out-of-range components are clamped")
                << QByteArray("Dabrisko Palette File\r\nn\r\n1\r\n64 -5 9999\r\n") << 0 << 1
                << entry(255, 0, 255) << PaletteEntry {1, 2, 3, 0};
        QTest::newRow("unknown header")
                << QByteArray("Palette\r\nn\r\n1\r\n1 1 1\r\n") << int(IoInvalidFormat) << 0
                << PaletteEntry {1, 2, 3, 0} << PaletteEntry {1, 2, 3, 0};
        QTest::newRow("missing count")
                << QByteArray("JASC-PAL\r\n0100\r\n") << int(IoInvalidFormat) << 0
                << PaletteEntry {1, 2, 3, 0} << PaletteEntry {1, 2, 3, 0};
        QTest::newRow("empty file") << QByteArray() << int(IoInvalidFormat) << 0
                                    << PaletteEntry {1, 2, 3, 0} << PaletteEntry {1, 2, 3, 0};
        QTest::newRow("JASC takes components as they are")
                << QByteArray("JASC-PAL\r\n0100\r\n2\r\n63 1 0\r\n200 100 50\r\n") << 0 << 2
                << entry(63, 1, 0) << entry(200, 100, 50);
    }

    void sixBitRule()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, error);
        QFETCH(int, entries);
        QFETCH(PaletteEntry, first);
        QFETCH(PaletteEntry, second);
        PaletteTable table = grey();
        int read = -1;
        QCOMPARE(readPaletteText(text, table, &read), error);
        QCOMPARE(read, entries);
        QCOMPARE(table[0], first);
        QCOMPARE(table[1], second);
        QCOMPARE(table[2], (PaletteEntry {1, 2, 3, 0}));
    }

    // The 8-bit block wins, so every value survives a save and a load.
    void saveAndLoadReproduceEveryEntry()
    {
        PaletteTable saved;
        for (int i = 0; i < 256; ++i)
            saved[size_t(i)] = entry(i, 255 - i, (i * 37) % 256);
        const QString path = tmp.filePath(QStringLiteral("round.pal"));
        QCOMPARE(SavePaletteFile(path, saved), 0);
        PaletteTable loaded = grey();
        int read = 0;
        QCOMPARE(LoadPaletteFile(path, loaded, false, &read), 0);
        QCOMPARE(read, 256);
        QCOMPARE(loaded, saved);
    }

    void savedFileLayout()
    {
        PaletteTable table = grey();
        table[0] = entry(255, 130, 3);
        const QByteArray bytes = paletteFileBytes(table);
        QVERIFY(bytes.endsWith("\r\n"));
        const QList<QByteArray> lines = bytes.chopped(2).split('\n');
        QCOMPARE(lines.size(), 3 + 512);
        QCOMPARE(lines[0], QByteArray("Dabrisko Palette File\r"));
        QCOMPARE(lines[1].size(), 24 + 1);
        QCOMPARE(lines[2], QByteArray("256\r"));
        QCOMPARE(lines[3], QByteArray("63 32 0\r")); // line 4: the first entry divided by 4
        QCOMPARE(lines[259], QByteArray("255 130 3\r")); // line 260: its full values
        QCOMPARE(lines[4], QByteArray("0 0 0\r"));
    }

    void fillFlagWhitensTheRest()
    {
        const QString path = tmp.filePath(QStringLiteral("short.PAL"));
        QVERIFY(writeFile(path, "JASC-PAL\n0100\n2\n1 2 3\n4 5 6\n"));
        PaletteTable table = grey();
        QCOMPARE(LoadPaletteFile(path, table, true), 0);
        QCOMPARE(table[1], entry(4, 5, 6));
        QCOMPARE(table[2], entry(255, 255, 255));
        QCOMPARE(table[255], entry(255, 255, 255));
    }

    void unreadableFiles()
    {
        PaletteTable table = grey();
        QCOMPARE(LoadPaletteFile(tmp.filePath(QStringLiteral("missing.pal")), table, false),
                 int(IoFileNotFound));
        QCOMPARE(LoadPaletteFile(tmp.path(), table, false), int(IoAccessDenied));
        QCOMPARE(table, grey());
    }

    void saveFailureKeepsNoTemporaryFile()
    {
        const QString dir = tmp.filePath(QStringLiteral("failing"));
        const QString target = dir + QStringLiteral("/taken.pal");
        QVERIFY(QDir().mkpath(target + QStringLiteral("/inner")));
        QVERIFY(SavePaletteFile(target, grey()) != 0);
        QCOMPARE(QDir(dir).entryList(QDir::Files), QStringList());
        QVERIFY(SavePaletteFile(tmp.filePath(QStringLiteral("no/such/dir.pal")), grey()) != 0);
    }

    void picturePalettes_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("error");
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("index");
        QTest::addColumn<PaletteEntry>("expected");
        const PaletteEntry none {1, 2, 3, 0};
        QTest::newRow("BMP 1-bit") << "bmp/pal1.bmp" << 0 << 2 << 1 << entry(255, 255, 255);
        QTest::newRow("BMP 4-bit, 12 colours used")
                << "bmp/pal4.bmp" << 0 << 12 << 11 << entry(255, 255, 255);
        QTest::newRow("BMP 4-bit RLE") << "bmp/pal4rle.bmp" << 0 << 12 << 0 << entry(0, 0, 0);
        QTest::newRow("BMP 8-bit, 252 used")
                << "bmp/pal8.bmp" << 0 << 252 << 251 << entry(255, 255, 255);
        QTest::newRow("BMP 8-bit RLE") << "bmp/alexlogo.bmp" << 0 << 256 << 0 << entry(255, 0, 255);
        QTest::newRow("BMP 8-bit RLE, 253 used")
                << "bmp/pal8rletrns.bmp" << 0 << 253 << 0 << entry(128, 0, 255);
        QTest::newRow("BMP OS/2 core header")
                << "bmp/pal8os2.bmp" << 0 << 256 << 0 << entry(0, 0, 0);
        QTest::newRow("BMP top-down")
                << "bmp/pal8topdown.bmp" << 0 << 252 << 251 << entry(255, 255, 255);
        QTest::newRow("BMP 16-bit")
                << "bmp/rgb16-565.bmp" << int(IoInvalidFormat) << 0 << 0 << none;
        QTest::newRow("BMP 24-bit") << "bmp/rgb24.bmp" << int(IoInvalidFormat) << 0 << 0 << none;
        QTest::newRow("BMP 32-bit") << "bmp/rgb32bf.bmp" << int(IoInvalidFormat) << 0 << 0 << none;
        QTest::newRow("PCX 8-bit") << "pcx/indexed8.pcx" << 0 << 256 << 1 << entry(36, 38, 245);
        QTest::newRow("PCX 8-bit, gap before the table")
                << "pcx/ccbug_463951.pcx" << 0 << 256 << 1 << entry(1, 1, 1);
        QTest::newRow("PCX 8-bit photo") << "pcx/mysha.pcx" << 0 << 256 << 1 << entry(8, 0, 0);
        QTest::newRow("PCX odd stride")
                << "pcx/odd_stride.pcx" << 0 << 256 << 0 << entry(0, 0, 255);
        QTest::newRow("PCX 16-colour planar")
                << "pcx/16color.pcx" << 0 << 16 << 1 << entry(128, 0, 0);
        QTest::newRow("PCX 4-bit packed")
                << "pcx/indexed4.pcx" << 0 << 16 << 0 << entry(87, 78, 206);
        QTest::newRow("PCX 8-colour planar")
                << "pcx/icondoc.pcx" << 0 << 8 << 0 << entry(60, 26, 2);
        QTest::newRow("PCX CGA") << "pcx/cga_fsd.pcx" << 0 << 4 << 1 << entry(0, 255, 255);
        QTest::newRow("PCX mono is black and white")
                << "pcx/mono.pcx" << 0 << 2 << 1 << entry(255, 255, 255);
        QTest::newRow("PCX 24-bit") << "pcx/rgb.pcx" << int(IoInvalidFormat) << 0 << 0 << none;
        QTest::newRow("PCX 24-bit with a stray table")
                << "pcx/input.pcx" << int(IoInvalidFormat) << 0 << 0 << none;
        QTest::newRow("PCX 32-bit")
                << "pcx/dice_rgba.pcx" << int(IoInvalidFormat) << 0 << 0 << none;
        QTest::newRow("GIF global table")
                << "gif/hopper_resized.gif" << 0 << 256 << 0 << entry(255, 255, 254);
        QTest::newRow("GIF two-colour table")
                << "gif/dispose_prev.gif" << 0 << 2 << 0 << entry(30, 144, 255);
        QTest::newRow("GIF animation") << "gif/chi.gif" << 0 << 256 << 255 << entry(255, 255, 255);
        QTest::newRow("GIF without a global table")
                << "gif/missing_background.gif" << 0 << 16 << 0 << entry(0, 0, 0);
        QTest::newRow("TIFF palette picture")
                << "tiff/multipage.tiff" << 0 << 2 << 0 << entry(0, 128, 0);
        QTest::newRow("TIFF RGB") << "tiff/hopper.tif" << int(IoInvalidFormat) << 0 << 0 << none;
        QTest::newRow("TIFF big-endian RGB")
                << "tiff/copyleft.tiff" << int(IoInvalidFormat) << 0 << 0 << none;
        QTest::newRow("TIFF grey")
                << "tiff/hopper_gray_4bpp.tif" << int(IoInvalidFormat) << 0 << 0 << none;
        QTest::newRow("icon is no palette source")
                << "ico/black_and_white.ico" << int(IoInvalidFormat) << 0 << 0 << none;
    }

    void picturePalettes()
    {
        REQUIRE_THIRD_PARTY_FILES();
        QFETCH(QString, file);
        QFETCH(int, error);
        QFETCH(int, entries);
        QFETCH(int, index);
        QFETCH(PaletteEntry, expected);
        PaletteTable table = grey();
        int read = -1;
        QCOMPARE(LoadPaletteFile(testData(file), table, false, &read), error);
        QCOMPARE(read, entries);
        QCOMPARE(table[size_t(index)], expected);
        if (entries < 256)
            QCOMPARE(table[size_t(entries)], (PaletteEntry {1, 2, 3, 0}));
    }

    // Every cut of a picture either yields a whole table or fails cleanly.
    void cutPicturesFailCleanly_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("BMP") << "bmp/pal8.bmp";
        QTest::newRow("OS/2 BMP") << "bmp/pal8os2.bmp";
        QTest::newRow("GIF local table") << "gif/missing_background.gif";
        QTest::newRow("GIF") << "gif/hopper_resized.gif";
        QTest::newRow("PCX") << "pcx/indexed4.pcx";
        QTest::newRow("TIFF") << "tiff/multipage.tiff";
    }

    void cutPicturesFailCleanly()
    {
        REQUIRE_THIRD_PARTY_FILES();
        QFETCH(QString, file);
        QFile f(testData(file));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray whole = f.readAll();
        std::vector<PaletteEntry> full;
        QCOMPARE(readPicturePalette(whole, &full), 0);
        for (qsizetype n = 0; n < qMin<qsizetype>(whole.size(), 1200); ++n) {
            std::vector<PaletteEntry> part;
            const int error = readPicturePalette(whole.left(n), &part);
            if (error == 0)
                QVERIFY2(part == full, qPrintable(QStringLiteral("cut at %1").arg(n)));
            else
                QCOMPARE(error, int(IoInvalidFormat));
        }
    }

    // Damaged headers never read outside the data nor give an impossible table.
    void damagedPicturesStayBounded()
    {
        REQUIRE_THIRD_PARTY_FILES();
        const QStringList files {
                "bmp/pal8.bmp",    "bmp/pal8os2.bmp",  "gif/missing_background.gif",
                "pcx/16color.pcx", "pcx/indexed8.pcx", "tiff/multipage.tiff"};
        quint32 seed = 12345;
        auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
        for (const QString &file : files) {
            QFile f(testData(file));
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QByteArray whole = f.readAll();
            for (int round = 0; round < 3000; ++round) {
                QByteArray damaged = whole;
                for (int k = 0; k < 4; ++k)
                    damaged[qsizetype(next() % 300 % quint32(damaged.size()))] = char(next() >> 16);
                std::vector<PaletteEntry> palette;
                const int error = readPicturePalette(damaged, &palette);
                QVERIFY(error == 0 || error == IoInvalidFormat);
                QVERIFY(error != 0 || (!palette.empty() && palette.size() <= 256));
            }
        }
    }

private:
    QTemporaryDir tmp;
};

VARDEKO_REGISTER_TEST(TestPaletteFile);
#include "tst_palettefile.moc"
