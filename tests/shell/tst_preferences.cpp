// Tests of the preference values: parsing, clamping, positions, the Reopen list.
#include "tst_preferences.h"

#include "preferences.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QSet>
#include <QTest>

#include <memory>

using namespace vardeko;

namespace {

std::unique_ptr<QTemporaryDir> gDir;

std::unique_ptr<QSettings> scratchSettings()
{
    return std::make_unique<QSettings>(gDir->filePath(QStringLiteral("prefs.ini")),
                                       QSettings::IniFormat);
}

} // namespace

void TestPreferences::init()
{
    gDir = std::make_unique<QTemporaryDir>();
    QVERIFY(gDir->isValid());
}

void TestPreferences::storedIntegers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("parses");
    QTest::addColumn<int>("value");
    QTest::newRow("decimal") << QStringLiteral("42") << true << 42;
    QTest::newRow("blanks around") << QStringLiteral(" 7 ") << true << 7;
    QTest::newRow("negative") << QStringLiteral("-12") << true << -12;
    QTest::newRow("hex lower prefix") << QStringLiteral("0x1F") << true << 31;
    QTest::newRow("hex upper prefix") << QStringLiteral("0XFF") << true << 255;
    QTest::newRow("hex colour keeps its bits") << QStringLiteral("0x02FFFFFF") << true << 0x02FFFFFF;
    QTest::newRow("word") << QStringLiteral("abc") << false << 0;
    QTest::newRow("empty") << QString() << false << 0;
    QTest::newRow("number then junk") << QStringLiteral("12px") << false << 0;
}

void TestPreferences::storedIntegers()
{
    QFETCH(QString, text);
    QFETCH(bool, parses);
    QFETCH(int, value);
    const auto result = parseStoredInt(text);
    QCOMPARE(result.has_value(), parses);
    if (parses)
        QCOMPARE(*result, value);
}

void TestPreferences::windowPositions_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("expected");
    const QList<int> current{1, 2, 3, 4};
    QTest::newRow("as written") << QStringLiteral("5,7,600,431") << QList<int>{5, 7, 600, 431};
    QTest::newRow("empty field keeps value") << QStringLiteral("10,,600")
                                             << QList<int>{10, 2, 600, 4};
    QTest::newRow("blanks and semicolons") << QStringLiteral("5 7;600 , 431")
                                           << QList<int>{5, 7, 600, 431};
    QTest::newRow("quotes dropped") << QStringLiteral("\"5\",\"7\",600,431")
                                    << QList<int>{5, 7, 600, 431};
    QTest::newRow("quoted blank stays in field") << QStringLiteral("\"5 7\",8")
                                                 << QList<int>{0, 8, 3, 4};
    QTest::newRow("not a number reads zero") << QStringLiteral("abc,7,x,9")
                                             << QList<int>{0, 7, 0, 9};
    QTest::newRow("negative left") << QStringLiteral("-20,7,600,400")
                                   << QList<int>{-20, 7, 600, 400};
    QTest::newRow("empty text keeps all") << QString() << current;
    QTest::newRow("extra fields ignored") << QStringLiteral("1,1,1,1,99")
                                          << QList<int>{1, 1, 1, 1};
}

void TestPreferences::windowPositions()
{
    QFETCH(QString, text);
    QFETCH(QList<int>, expected);
    QCOMPARE(parseWindowPos(text, {1, 2, 3, 4}), expected);
}

void TestPreferences::clampingOnRead_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("expected");
    QTest::newRow("grid x below range") << QStringLiteral("GridX") << QStringLiteral("2") << 4;
    QTest::newRow("grid y above range") << QStringLiteral("GridY") << QStringLiteral("51") << 50;
    QTest::newRow("grid in range") << QStringLiteral("GridX") << QStringLiteral("12") << 12;
    QTest::newRow("screen width too wide") << QStringLiteral("ScreenWidth") << QStringLiteral("5000")
                                           << 2000;
    QTest::newRow("screen height too low") << QStringLiteral("ScreenHeight") << QStringLiteral("3")
                                           << 25;
    QTest::newRow("screen colours 2") << QStringLiteral("ScreenColors") << QStringLiteral("2") << 16;
    QTest::newRow("screen colours hex 256") << QStringLiteral("ScreenColors")
                                            << QStringLiteral("0x100") << 256;
    QTest::newRow("unparsable grid keeps default") << QStringLiteral("GridX")
                                                   << QStringLiteral("wide") << 8;
    QTest::newRow("font style low four bits") << QStringLiteral("EditorFontStyle")
                                              << QStringLiteral("0x1F") << 15;
}

void TestPreferences::clampingOnRead()
{
    QFETCH(QString, key);
    QFETCH(QString, stored);
    QFETCH(int, expected);
    auto settings = scratchSettings();
    settings->setValue(key, stored);
    Preferences prefs;
    readPreferences(*settings, prefs);
    const std::map<QString, int> got{{QStringLiteral("GridX"), prefs.GridX},
                                     {QStringLiteral("GridY"), prefs.GridY},
                                     {QStringLiteral("ScreenWidth"), prefs.ScreenWidth},
                                     {QStringLiteral("ScreenHeight"), prefs.ScreenHeight},
                                     {QStringLiteral("ScreenColors"), prefs.ScreenColors},
                                     {QStringLiteral("EditorFontStyle"), prefs.EditorFontStyle}};
    QCOMPARE(got.at(key), expected);
}

void TestPreferences::roundTripKeepsEveryValue()
{
    Preferences out;
    out.MainWindowPos = QRect(11, 12, 613, 414);
    out.ToolPalettePos = QPoint(21, 22);
    out.ToolPaletteExpanded = false;
    out.DebugWindowPos = QRect(31, 32, 333, 234);
    out.ShowDebugInfo = true;
    out.FileListRolledUp = true;
    out.ActionPalette = 3;
    out.ShowImages = false;
    out.ShowGrid = true;
    out.GridX = 10;
    out.GridY = 20;
    out.ScreenWidth = 800;
    out.ScreenHeight = 600;
    out.ScreenColors = 256;
    out.CreateBackupFiles = false;
    out.PubDir = QStringLiteral("/data/pubs, with comma");
    out.TextEditor = QStringLiteral("/usr/bin/editor");
    out.EditorBkndColor = rgbColor(1, 2, 3);
    out.EditorFontStyle = 5;
    out.Header = QStringLiteral("Head");
    out.LeftMargin = 1.25;
    out.UnitOfMeasure = 1;
    out.Mascot = QStringLiteral("BELUNO");
    out.Language[0] = QStringLiteral("Okay");
    out.Reopen.append(QStringLiteral("/a/ONE.PUB"));
    out.Reopen.append(QStringLiteral("/a/TWO.PUB"));
    {
        auto settings = scratchSettings();
        writePreferences(*settings, out);
    }
    Preferences in;
    auto settings = scratchSettings();
    readPreferences(*settings, in);
    QCOMPARE(in.MainWindowPos, out.MainWindowPos);
    QCOMPARE(in.ToolPalettePos, out.ToolPalettePos);
    QCOMPARE(in.ToolPaletteExpanded, false);
    QCOMPARE(in.DebugWindowPos, out.DebugWindowPos);
    QCOMPARE(in.ShowDebugInfo, true);
    QCOMPARE(in.FileListRolledUp, true);
    QCOMPARE(in.ActionPalette, 3);
    QCOMPARE(in.ShowImages, false);
    QCOMPARE(in.ShowGrid, true);
    QCOMPARE(in.GridX, 10);
    QCOMPARE(in.GridY, 20);
    QCOMPARE(in.ScreenWidth, 800);
    QCOMPARE(in.ScreenHeight, 600);
    QCOMPARE(in.ScreenColors, 256);
    QCOMPARE(in.CreateBackupFiles, false);
    QCOMPARE(in.PubDir, out.PubDir);
    QCOMPARE(in.TextEditor, out.TextEditor);
    QCOMPARE(in.EditorBkndColor, out.EditorBkndColor);
    QCOMPARE(in.EditorFontStyle, 5);
    QCOMPARE(in.Header, out.Header);
    QCOMPARE(in.LeftMargin, 1.25);
    QCOMPARE(in.UnitOfMeasure, 1);
    QCOMPARE(in.Mascot, out.Mascot);
    QCOMPARE(in.Language[0], QStringLiteral("Okay"));
    QCOMPARE(in.Reopen.items(), out.Reopen.items());
    // Positions are stored as numbers joined by single commas.
    QCOMPARE(settings->value(QStringLiteral("MainWindowPos")).toString(),
             QStringLiteral("11,12,613,414"));
    QCOMPARE(settings->value(QStringLiteral("ShowGrid")).toString(), QStringLiteral("1"));
}

void TestPreferences::noStoredValuesKeepsDefaultsAndWritesAll()
{
    auto settings = scratchSettings();
    Preferences prefs;
    readPreferences(*settings, prefs);
    QCOMPARE(prefs.MainWindowPos, QRect(5, 7, 592, 404));
    QVERIFY(!prefs.MainWindowPosStored);
    QCOMPARE(prefs.GridX, 8);
    QCOMPARE(prefs.ScreenWidth, 640);
    QCOMPARE(prefs.Footer, QStringLiteral("Page &p"));
    QCOMPARE(prefs.Mascot, QStringLiteral("KORRO"));
    QCOMPARE(prefs.TextEditor, QStringLiteral("NOTEPAD.EXE"));
    QVERIFY(prefs.Reopen.isEmpty());

    writePreferences(*settings, prefs);
    const QStringList keys = settings->allKeys();
    for (const char *key : {"MainWindowPos", "ToolPalettePos", "ToolPaletteExpanded",
                            "ToolPaletteRolledUp", "MouseWindowPos", "ShowMousePos",
                            "DebugWindowPos", "ShowDebugInfo", "DebugRolledUp",
                            "FileListWindowPos", "ShowFileList", "FileListRolledUp",
                            "ActionPalette", "ShowImages", "ShowGrid", "SnapToGrid", "GridX",
                            "GridY", "ScreenWidth", "ScreenHeight", "ScreenColors", "Undo",
                            "CreateBackupFiles", "AutoUpdate", "UtilsInRegistry",
                            "ShowThumbnailImages", "WindowsFileSelector", "PubDir", "TempDir",
                            "DataDir", "ImageDir", "TextDir", "AudioDir", "VideoDir",
                            "PaletteDir", "LanguageDir", "DOSDir", "ActionDir", "ArchiveDir",
                            "TextEditor", "ImageEditor", "SoundEditor", "VideoEditor",
                            "EditorBkndColor", "EditorTextColor", "EditorFontName",
                            "EditorFontSize", "EditorFontStyle", "Header", "Footer",
                            "LeftMargin", "TopMargin", "RightMargin", "BottomMargin",
                            "UnitOfMeasure", "WrapLines", "Mascot", "L_OK", "L_INSTEXITPROMPT"})
        QVERIFY2(keys.contains(QLatin1String(key)), key);
    QVERIFY(!keys.contains(QStringLiteral("FileHistory0")));
    // Each key once in the table, and nothing written beside it.
    const QStringList table = preferenceKeys();
    QCOMPARE(QSet<QString>(table.begin(), table.end()).size(), table.size());
    QCOMPARE(keys.size(), table.size());
}

void TestPreferences::marginsWrittenWithTwoDecimals()
{
    auto settings = scratchSettings();
    Preferences prefs;
    prefs.LeftMargin = 1.5;
    writePreferences(*settings, prefs);
    QCOMPARE(settings->value(QStringLiteral("LeftMargin")).toString(), QStringLiteral("1.50"));
    QCOMPARE(settings->value(QStringLiteral("TopMargin")).toString(), QStringLiteral("0.50"));

    settings->setValue(QStringLiteral("RightMargin"), QStringLiteral("wide"));
    Preferences back;
    readPreferences(*settings, back);
    QCOMPARE(back.LeftMargin, 1.5);
    QCOMPARE(back.RightMargin, 0.75); // unparsable: the default stays
}

void TestPreferences::screenFixUps_data()
{
    QTest::addColumn<QRect>("main");
    QTest::addColumn<QRect>("fixedMain");
    QTest::addColumn<QRect>("debug");
    QTest::addColumn<QRect>("fixedDebug");
    QTest::newRow("main beyond the right edge") << QRect(3000, 10, 600, 400)
                                                << QRect(0, 10, 600, 400)
                                                << QRect(10, 10, 200, 100)
                                                << QRect(10, 10, 200, 100);
    QTest::newRow("main beyond the bottom") << QRect(10, 760, 600, 400) << QRect(10, 0, 600, 400)
                                            << QRect(10, 10, 200, 100) << QRect(10, 10, 200, 100);
    QTest::newRow("main just inside") << QRect(994, 738, 600, 400) << QRect(994, 738, 600, 400)
                                      << QRect(10, 10, 200, 100) << QRect(10, 10, 200, 100);
    QTest::newRow("floating beyond both edges") << QRect(5, 7, 600, 400) << QRect(5, 7, 600, 400)
                                                << QRect(2000, 900, 200, 100)
                                                << QRect(824, 668, 200, 100);
}

void TestPreferences::screenFixUps()
{
    QFETCH(QRect, main);
    QFETCH(QRect, fixedMain);
    QFETCH(QRect, debug);
    QFETCH(QRect, fixedDebug);
    Preferences prefs;
    prefs.MainWindowPos = main;
    prefs.DebugWindowPos = debug;
    fixWindowPositions(prefs, QSize(1024, 768));
    QCOMPARE(prefs.MainWindowPos, fixedMain);
    QCOMPARE(prefs.DebugWindowPos, fixedDebug);
}

void TestPreferences::firstStartWindowFitsScreen_data()
{
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("1280x1024") << QRect(0, 0, 1280, 1024) << QRect(64, 51, 1152, 921);
    QTest::newRow("panel on the left") << QRect(60, 0, 1220, 1000) << QRect(121, 50, 1098, 900);
    QTest::newRow("large screen stops growing")
        << QRect(0, 0, 3840, 2160) << QRect(1120, 480, 1600, 1200);
    QTest::newRow("tiny screen") << QRect(0, 0, 640, 480) << QRect(32, 24, 576, 432);
}

void TestPreferences::firstStartWindowFitsScreen()
{
    QFETCH(QRect, available);
    QFETCH(QRect, expected);
    const QRect r = firstStartWindowPos(available);
    QCOMPARE(r, expected);
    QVERIFY(available.contains(r));

    // A stored position, even the design default, is kept as it was.
    auto settings = scratchSettings();
    settings->setValue(QStringLiteral("MainWindowPos"), QStringLiteral("5,7,592,404"));
    Preferences prefs;
    readPreferences(*settings, prefs);
    QVERIFY(prefs.MainWindowPosStored);
    QCOMPARE(prefs.MainWindowPos, QRect(5, 7, 592, 404));
}

void TestPreferences::reopenListOrderAndLimit()
{
    ReopenList list;
    list.insertClosed(QStringLiteral("/p/A.PUB"));
    list.insertClosed(QStringLiteral("/p/B.PUB"));
    QCOMPARE(list.items(), (QStringList{QStringLiteral("/p/B.PUB"), QStringLiteral("/p/A.PUB")}));

    // Closing again moves it up rather than listing it twice, in any case.
    list.insertClosed(QStringLiteral("/p/a.pub"));
    QCOMPARE(list.items(), (QStringList{QStringLiteral("/p/a.pub"), QStringLiteral("/p/B.PUB")}));

    list.removeOpened(QStringLiteral("/P/B.pub"));
    QCOMPARE(list.items(), QStringList{QStringLiteral("/p/a.pub")});

    for (int i = 0; i < 15; ++i)
        list.insertClosed(QStringLiteral("/p/%1.PUB").arg(i));
    QCOMPARE(list.items().size(), ReopenListLimit);
    QCOMPARE(list.items().first(), QStringLiteral("/p/14.PUB"));
    QCOMPARE(list.items().last(), QStringLiteral("/p/5.PUB"));

    list.insertClosed(QString());
    QCOMPARE(list.items().first(), QStringLiteral("/p/14.PUB"));
}

void TestPreferences::reopenListKeepsFilesThatDifferInCase()
{
    // Two real files whose names differ only in case are two publications, as Open
    // treats them; names of files that are gone still match in any case.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString upper = dir.filePath(QStringLiteral("BOOK.PUB"));
    const QString lower = dir.filePath(QStringLiteral("book.pub"));
    for (const QString &name : {upper, lower}) {
        QFile f(name);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    ReopenList list;
    list.insertClosed(upper);
    list.insertClosed(lower);
    QCOMPARE(list.items(), (QStringList{lower, upper}));
    list.removeOpened(upper);
    QCOMPARE(list.items(), QStringList{lower});
    list.insertClosed(dir.filePath(QStringLiteral("./book.pub")));
    QCOMPARE(list.items().size(), 1);
}

void TestPreferences::reopenListReadStopsAtGap()
{
    auto settings = scratchSettings();
    settings->setValue(QStringLiteral("FileHistory0"), QStringLiteral("/p/A.PUB"));
    settings->setValue(QStringLiteral("FileHistory1"), QStringLiteral("/p/a.pub"));
    settings->setValue(QStringLiteral("FileHistory2"), QStringLiteral("/p/C.PUB"));
    settings->setValue(QStringLiteral("FileHistory4"), QStringLiteral("/p/E.PUB"));
    Preferences prefs;
    readPreferences(*settings, prefs);
    // The later duplicate replaces the earlier one; FileHistory3 is missing, so E is not read.
    QCOMPARE(prefs.Reopen.items(),
             (QStringList{QStringLiteral("/p/a.pub"), QStringLiteral("/p/C.PUB")}));
}

void TestPreferences::shorterReopenListLeavesNoStaleEntries()
{
    auto settings = scratchSettings();
    Preferences prefs;
    for (const char *name : {"/p/A.PUB", "/p/B.PUB", "/p/C.PUB"})
        prefs.Reopen.append(QLatin1String(name));
    writePreferences(*settings, prefs);
    prefs.Reopen.removeOpened(QStringLiteral("/p/C.PUB"));
    writePreferences(*settings, prefs);
    Preferences back;
    readPreferences(*settings, back);
    QCOMPARE(back.Reopen.items(), prefs.Reopen.items());
    QVERIFY(!settings->contains(QStringLiteral("FileHistory2")));
}
