// Tests of the pasted-picture file rules and of the drop and palette attribute tables.
#include "tst_clipboard.h"

#include "clipboard.h"
#include "filedrops.h"
#include "paletteattributes.h"
#include "publication.h"

#include <QBuffer>
#include <QImage>
#include <QTest>
#include <QtEndian>

using namespace vardeko;

namespace {

void put32(QByteArray &b, quint32 v)
{
    char x[4];
    qToLittleEndian<quint32>(v, x);
    b.append(x, 4);
}
void put16(QByteArray &b, quint16 v)
{
    char x[2];
    qToLittleEndian<quint16>(v, x);
    b.append(x, 2);
}

// A bitmap as a clipboard holds it: header, colour table, pixels (`pixelBytes` of them).
QByteArray makeDib(int headerSize, int width, int height, int bits, quint32 compression,
                   quint32 imageSize, quint32 colorsUsed, int tableEntries, int extra, int pixelBytes)
{
    QByteArray b;
    put32(b, quint32(headerSize));
    put32(b, quint32(width));
    put32(b, quint32(height));
    put16(b, 1);
    put16(b, quint16(bits));
    put32(b, compression);
    put32(b, imageSize);
    put32(b, 0);
    put32(b, 0);
    put32(b, colorsUsed);
    put32(b, 0);
    b.append(QByteArray(headerSize - 40, '\0'));
    b.append(QByteArray(extra, '\x11'));
    b.append(QByteArray(4 * tableEntries, '\x22'));
    b.append(QByteArray(pixelBytes, '\x33'));
    return b;
}

quint32 at32(const QByteArray &b, int offset)
{
    return qFromLittleEndian<quint32>(b.constData() + offset);
}

} // namespace

void TestClipboard::bmpHeader_data()
{
    QTest::addColumn<QByteArray>("dib");
    QTest::addColumn<int>("fileSize");
    QTest::addColumn<int>("offset");
    // 24 bits, 3 wide: rows of 12 bytes.
    QTest::newRow("24 bits with image size 0 keeps every row")
        << makeDib(40, 3, 2, 24, 0, 0, 0, 0, 0, 24) << 54 + 24 << 54;
    QTest::newRow("24 bits with image size") << makeDib(40, 3, 2, 24, 0, 24, 0, 0, 0, 24) << 78 << 54;
    QTest::newRow("bottom-up or top-down rows count the same")
        << makeDib(40, 3, -2, 24, 0, 0, 0, 0, 0, 24) << 78 << 54;
    QTest::newRow("8 bits: 256 colours") << makeDib(40, 2, 2, 8, 0, 0, 0, 256, 0, 8) << 54 + 1024 + 8
                                         << 54 + 1024;
    QTest::newRow("8 bits using 16 colours") << makeDib(40, 2, 2, 8, 0, 8, 16, 16, 0, 8) << 54 + 64 + 8
                                             << 54 + 64;
    QTest::newRow("1 bit: 2 colours, rows padded to 4 bytes")
        << makeDib(40, 9, 3, 1, 0, 0, 0, 2, 0, 12) << 54 + 8 + 12 << 54 + 8;
    QTest::newRow("bit fields after a short header") << makeDib(40, 2, 2, 16, 3, 0, 0, 0, 12, 8)
                                                     << 54 + 12 + 8 << 54 + 12;
    QTest::newRow("long header") << makeDib(124, 1, 1, 32, 3, 4, 0, 0, 0, 4) << 14 + 124 + 4 << 14 + 124;
    QTest::newRow("bytes beyond the image are left out")
        << makeDib(40, 3, 2, 24, 0, 24, 0, 0, 0, 100) << 78 << 54;
}

void TestClipboard::bmpHeader()
{
    QFETCH(QByteArray, dib);
    QFETCH(int, fileSize);
    QFETCH(int, offset);
    QString error;
    const QByteArray file = bmpFileFromDib(dib, &error);
    QVERIFY2(!file.isEmpty(), qPrintable(error));
    QCOMPARE(file.left(2), QByteArray("BM"));
    QCOMPARE(int(at32(file, 2)), fileSize);
    QCOMPARE(file.size(), fileSize);
    QCOMPARE(int(at32(file, 6)), 0);
    QCOMPARE(int(at32(file, 10)), offset);
    QCOMPARE(file.mid(14), dib.left(fileSize - 14));
}

void TestClipboard::damagedBitmapsAreRefused_data()
{
    QTest::addColumn<QByteArray>("dib");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("short header") << QByteArray(20, '\0');
    QTest::newRow("rows missing") << makeDib(40, 3, 2, 24, 0, 0, 0, 0, 0, 12);
    QTest::newRow("image size beyond the data") << makeDib(40, 3, 2, 24, 0, 1000, 0, 0, 0, 24);
    QTest::newRow("colour table larger than 8 bits allow") << makeDib(40, 2, 2, 8, 0, 8, 300, 300, 0, 8);
    QTest::newRow("zero width") << makeDib(40, 0, 2, 24, 0, 0, 0, 0, 0, 24);
    QTest::newRow("zero height") << makeDib(40, 2, 0, 24, 0, 0, 0, 0, 0, 24);
    QTest::newRow("bit count 7") << makeDib(40, 2, 2, 7, 0, 0, 0, 0, 0, 24);
    QTest::newRow("compressed without size") << makeDib(40, 2, 2, 8, 1, 0, 0, 256, 0, 24);
    QTest::newRow("header larger than the data") << makeDib(40, 2, 2, 24, 0, 0, 0, 0, 0, 0).replace(0, 4, QByteArray("\xff\x00\x00\x00", 4));
    QTest::newRow("huge width") << makeDib(40, 0x7fffffff, 0x7fffffff, 32, 0, 0, 0, 0, 0, 16);
}

void TestClipboard::damagedBitmapsAreRefused()
{
    QFETCH(QByteArray, dib);
    QString error;
    QVERIFY(bmpFileFromDib(dib, &error).isEmpty());
    QVERIFY(!error.isEmpty());
}

void TestClipboard::imageRoundTrip()
{
    QImage image(5, 3, QImage::Format_RGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            image.setPixel(x, y, qRgb(40 * x, 80 * y, 7 * x + y));
    const QByteArray file = bmpFileFromDib(dibFromImage(image));
    QImage back;
    QVERIFY(back.loadFromData(file, "BMP"));
    QCOMPARE(back.size(), image.size());
    QCOMPARE(back.convertToFormat(QImage::Format_RGB32), image);
}

void TestClipboard::dropClasses_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("action");
    QTest::newRow("publication") << "/a/BOOK.pub" << int(DropClass::PublicationFile) << "";
    QTest::newRow("image in lower case") << "/a/photo.jpg" << int(DropClass::Image) << "";
    QTest::newRow("icon") << "/a/x.ICO" << int(DropClass::Image) << "";
    QTest::newRow("midi") << "/a/tune.mid" << int(DropClass::Audio)
                          << "PlaySoundFile \"/a/tune.mid\" \"NORMAL\"";
    QTest::newRow("video") << "/a/clip.AVI" << int(DropClass::Video)
                           << "PlayVideoFile \"-1\" \"-1\" \"-1\" \"-1\" \"/a/clip.AVI\" \"Normal\"";
    QTest::newRow("flic") << "/a/spin.flc" << int(DropClass::Flics)
                          << "PlayFlicFile \"-1\" \"-1\" \"-1\" \"-1\" \"/a/spin.flc\" \"1\" \"Normal\"";
    QTest::newRow("cartoon") << "/a/walk.car" << int(DropClass::Cartoons)
                             << "PlayCartoonFile \"-1\" \"-1\" \"-1\" \"-1\" \"/a/walk.car\" \"10\" \"100\" \"Normal\"";
    QTest::newRow("program") << "/a/run.bat" << int(DropClass::Programs) << "DOSCommand \"/a/run.bat\" \"\"";
    QTest::newRow("text") << "/a/notes.txt" << int(DropClass::Other) << "";
    QTest::newRow("no extension") << "/a/README" << int(DropClass::Other) << "";
    // "*.MP" is no class entry even though "*.MPG;" contains it.
    QTest::newRow("a prefix of an extension") << "/a/x.mp" << int(DropClass::Other) << "";
    QTest::newRow("a class name is no extension") << "/a/x.Audio" << int(DropClass::Other) << "";
}

void TestClipboard::dropClasses()
{
    QFETCH(QString, path);
    QFETCH(int, kind);
    QFETCH(QString, action);
    QCOMPARE(int(dropClassFor(path)), kind);
    QCOMPARE(dropButtonAction(DropClass(kind), path), action);
}

void TestClipboard::paletteAttributes_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("which");
    QTest::addColumn<bool>("dropped");
    QTest::addColumn<int>("fillPattern");
    QTest::addColumn<int>("lineWidth");
    QTest::addColumn<bool>("reformat");
    QTest::addColumn<bool>("fontChanged");
    // Objects start with pattern 1 (hollow), width 5, and a laid-out article.
    const int fill = int(PaletteAttribute::FillColor);
    QTest::newRow("fill colour dropped on a hollow object") << int(RectangleKind) << fill << true << 0 << 5 << false << false;
    QTest::newRow("fill colour button keeps it hollow") << int(RectangleKind) << fill << false << 1 << 5 << false << false;
    QTest::newRow("pattern takes pattern and mode") << int(CircleKind) << int(PaletteAttribute::FillPattern) << false << 7 << 5 << false << false;
    QTest::newRow("line style sets width 1") << int(RectangleKind) << int(PaletteAttribute::LineStyle) << true << 1 << 1 << false << false;
    QTest::newRow("line width reformats articles") << int(ArticleKind) << int(PaletteAttribute::LineWidth) << false << 1 << 3 << true << false;
    QTest::newRow("font reformats articles") << int(ArticleKind) << int(PaletteAttribute::Font) << false << 1 << 5 << true << true;
    QTest::newRow("font on a button") << int(ButtonKind) << int(PaletteAttribute::Font) << false << 1 << 5 << false << true;
    QTest::newRow("font on a title") << int(TextKind) << int(PaletteAttribute::Font) << true << 1 << 5 << false << true;
    QTest::newRow("font leaves shapes alone") << int(LineKind) << int(PaletteAttribute::Font) << false << 1 << 5 << false << false;
}

void TestClipboard::paletteAttributes()
{
    QFETCH(int, kind);
    QFETCH(int, which);
    QFETCH(bool, dropped);
    QFETCH(int, fillPattern);
    QFETCH(int, lineWidth);
    QFETCH(bool, reformat);
    QFETCH(bool, fontChanged);
    Publication pub;
    ObjectPtr o = pub.createObject(kind);
    o->FillPattern = 1;
    o->LineWidth = 5;
    if (ArticleData *a = o->article())
        a->ReformatNeeded = false;
    ToolAttributes values;
    values.FillPattern = 7;
    values.FillMode = 1;
    values.LineWidth = 3;
    values.LineStyle = 4;
    values.Font = QStringLiteral("Courier New");
    values.FontSize = 31;
    values.FontStyle = FontBold;
    applyAttribute(*o, PaletteAttribute(which), values, dropped);
    QCOMPARE(int(o->FillPattern), fillPattern);
    QCOMPARE(o->LineWidth, lineWidth);
    if (const ArticleData *a = o->article())
        QCOMPARE(a->ReformatNeeded, reformat);
    int size = 0;
    if (o->article())
        size = o->article()->FontSize;
    else if (o->button())
        size = o->button()->FontSize;
    else if (o->text())
        size = o->text()->FontSize;
    QCOMPARE(size == 31, fontChanged);
    if (PaletteAttribute(which) == PaletteAttribute::FillPattern)
        QCOMPARE(int(o->FillMode), 1);
    if (PaletteAttribute(which) == PaletteAttribute::LineStyle)
        QCOMPARE(int(o->LineStyle), 4);
}
