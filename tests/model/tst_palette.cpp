// Stock colour tables and the application palette.
#include "palette.h"
#include "testsupport.h"

#include <QTest>

using namespace vardeko;

class TestPalette : public QObject
{
    Q_OBJECT

private slots:
    void stockTables()
    {
        const PaletteTable &def = defaultPaletteTable();
        QCOMPARE(def[9], (PaletteEntry{166, 202, 240, 4}));
        QCOMPARE(def[10], (PaletteEntry{0, 0, 0, 4}));
        QCOMPARE(def[103], (PaletteEntry{207, 167, 23, 4}));
        QCOMPARE(def[245], (PaletteEntry{51, 51, 51, 4}));
        QCOMPARE(def[246], (PaletteEntry{255, 251, 240, 4}));
        QCOMPARE(def[255], (PaletteEntry{255, 255, 255, 4}));
        const PaletteTable &p16 = stock16PaletteTable();
        QCOMPARE(p16[1], (PaletteEntry{0, 0, 191, 4}));
        QCOMPARE(p16[15], (PaletteEntry{255, 255, 255, 4}));
        QCOMPARE(p16[16], (PaletteEntry{0, 0, 0, 4}));
    }

    void samePaletteIgnoresFlags()
    {
        PaletteTable a = defaultPaletteTable();
        PaletteTable b = a;
        b[3].flags = 0;
        QVERIFY(SamePalette(&a, &b));
        b[3].green ^= 1;
        QVERIFY(!SamePalette(&a, &b));
        QVERIFY(!SamePalette(nullptr, &a));
    }

    void colorCounts()
    {
        QCOMPARE(colorCountForDepth(24), 16777216);
        QCOMPARE(colorCountForDepth(8), 256);
        QCOMPARE(colorCountForDepth(4), 16);
        QCOMPARE(imageDepthForBits(4), 4);
        QCOMPARE(imageDepthForBits(15), 8);
        QCOMPARE(imageDepthForBits(16), 24);
        qunsetenv("VARDEKO_SCREEN_COLORS");
        QCOMPARE(ScreenColorCount(), 16777216);
        qputenv("VARDEKO_SCREEN_COLORS", "256");
        QCOMPARE(ScreenColorCount(), 256);
        qputenv("VARDEKO_SCREEN_COLORS", "17");
        QCOMPARE(ScreenColorCount(), 16777216);
        qunsetenv("VARDEKO_SCREEN_COLORS");
    }

    void setPaletteForColors()
    {
        AppPalette &app = AppPalette::instance();
        app.InitPalettes();
        PaletteTable custom = defaultPaletteTable();
        custom[50] = {1, 2, 3, 0};
        app.SetPaletteForColors(16, custom);
        QVERIFY(app.IsAppPalette(stock16PaletteTable()));
        app.SetPaletteForColors(256, custom);
        QVERIFY(app.IsAppPalette(custom));
        QCOMPARE(app.PaletteColorAt(50), rgbColor(1, 2, 3));
        QCOMPARE(app.GetAppPaletteTable()->at(50).flags, PaletteFlagNoCollapse);
        app.SetPaletteForColors(16777216, custom);
        QVERIFY(app.IsAppPalette(defaultPaletteTable()));
        app.FreePalettes();
        QVERIFY(!app.IsAppPalette(defaultPaletteTable()));
        QVERIFY(!app.CreatePaletteCopy(custom));
        app.InitPalettes();
    }
};

VARDEKO_REGISTER_TEST(TestPalette);

#include "tst_palette.moc"
