// The flic decoder against the third-party animations and hand-made damaged ones.
#include "flicdecoder.h"

#include "testsupport.h"

#include <QCryptographicHash>
#include <QSet>
#include <QFile>
#include <QTest>

#include <algorithm>

using namespace vardeko;

namespace {

QString testData(const QString &name)
{
    return QString::fromLocal8Bit(qgetenv("VARDEKO_TESTDATA")) + QLatin1Char('/') + name;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void put16(QByteArray &b, int v) { b.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF)); }
void put32(QByteArray &b, quint32 v) { put16(b, int(v & 0xFFFF)); put16(b, int(v >> 16)); }

struct Chunk
{
    int type;
    QByteArray data;
};

// A flic of `w` x `h` whose frames hold the given chunks, each chunk's size as declared.
QByteArray makeFlic(bool flc, int w, int h, const QList<QList<Chunk>> &frames, int speed = 5)
{
    QByteArray f(128, '\0');
    f[4] = char(0x12 - (flc ? 0 : 1));
    f[5] = char(0xAF);
    f[6] = char(frames.size());
    f[8] = char(w & 0xFF); f[9] = char(w >> 8);
    f[10] = char(h & 0xFF); f[11] = char(h >> 8);
    f[12] = 8;
    f[16] = char(speed);
    if (flc)
        f[80] = char(128);
    for (const auto &chunks : frames) {
        QByteArray body;
        for (const Chunk &c : chunks) {
            put32(body, quint32(c.data.size() + 6));
            put16(body, c.type);
            body += c.data;
        }
        QByteArray frame;
        put32(frame, quint32(body.size() + 16));
        put16(frame, 0xF1FA);
        put16(frame, int(chunks.size()));
        frame += QByteArray(8, '\0');
        f += frame + body;
    }
    put32(f, 0); // size field of the whole file is not read
    f.chop(4);
    return f;
}

QByteArray palette64(int index, int r, int g, int b)
{
    QByteArray d;
    put16(d, 1);
    d.append(char(index)).append(char(1)).append(char(r)).append(char(g)).append(char(b));
    return d;
}

QByteArray md5(const std::vector<uint8_t> &plane)
{
    return QCryptographicHash::hash(QByteArrayView(reinterpret_cast<const char *>(plane.data()),
                                                   qsizetype(plane.size())),
                                    QCryptographicHash::Md5).toHex();
}

} // namespace

class TestFlicDecoder : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("VARDEKO_TESTDATA"))
            qInfo("Third-party flics are skipped: set VARDEKO_TESTDATA_DIR when configuring.");
    }

    // Every third-party flic decodes all its frames with the header's values.
    void sharedFlics_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("frames");
        QTest::addColumn<int>("delay");
        QTest::addColumn<bool>("flc");
        QTest::newRow("FLI with empty frames and padded palettes") << "flic/a.fli" << 320 << 200 << 384 << 75 << false;
        QTest::newRow("FLI with unpadded odd chunks") << "flic/intro.fli" << 320 << 200 << 51 << 45 << false;
        QTest::newRow("FLC with a prefix block and stamps") << "flic/2422.flc" << 320 << 200 << 27 << 171 << true;
        QTest::newRow("FLC a byte short") << "flic/hopper.fli" << 128 << 128 << 1 << 40 << true;
        QTest::newRow("FLC 20x20") << "flic/test.fli" << 20 << 20 << 1 << 40 << true;
    }

    void sharedFlics()
    {
        QFETCH(QString, file);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, frames);
        QFETCH(int, delay);
        QFETCH(bool, flc);
        if (qEnvironmentVariableIsEmpty("VARDEKO_TESTDATA"))
            QSKIP("no third-party files (VARDEKO_TESTDATA_DIR)");
        FlicDecoder d;
        QString error;
        QVERIFY2(d.openFile(testData(file), &error), qPrintable(error));
        QCOMPARE(d.header().width, width);
        QCOMPARE(d.header().height, height);
        QCOMPARE(d.header().frames, frames);
        QCOMPARE(d.header().delayMs, delay);
        QCOMPARE(d.header().isFlc, flc);
        int decoded = 0;
        while (d.decodeNext())
            ++decoded;
        QCOMPARE(decoded, frames);
        QVERIFY(!d.truncated());
        // A decoded picture uses more than one colour and a non-black palette.
        const auto &plane = d.plane();
        QVERIFY(std::any_of(plane.begin(), plane.end(), [&](uint8_t v) { return v != plane[0]; }));
        QVERIFY(std::any_of(d.palette().begin(), d.palette().end(), [](uint8_t v) { return v > 3; }));
    }

    // A palette that follows the pixels in its frame still colours that frame.
    void paletteAfterPixels()
    {
        if (qEnvironmentVariableIsEmpty("VARDEKO_TESTDATA"))
            QSKIP("no third-party files (VARDEKO_TESTDATA_DIR)");
        FlicDecoder first, second;
        QVERIFY(first.openFile(testData("flic/hopper.fli"), nullptr));
        QVERIFY(second.openFile(testData("flic/hopper_palette_chunk_second.fli"), nullptr));
        QVERIFY(first.decodeNext());
        QVERIFY(second.decodeNext());
        QCOMPARE(md5(second.plane()), md5(first.plane()));
        QVERIFY(second.palette() == first.palette());
    }

    // The intro's frames differ from one another (each delta lands where it belongs);
    // reading chunks by consumed bytes loses the unpadded ones and repeats frames.
    void deltasChangeFrames()
    {
        if (qEnvironmentVariableIsEmpty("VARDEKO_TESTDATA"))
            QSKIP("no third-party files (VARDEKO_TESTDATA_DIR)");
        FlicDecoder d;
        QVERIFY(d.openFile(testData("flic/intro.fli"), nullptr));
        QSet<QByteArray> seen;
        while (d.decodeNext())
            seen.insert(md5(d.plane()));
        QVERIFY2(seen.size() > 40, qPrintable(QString::number(seen.size())));
    }

    // Damaged files: decoding stops cleanly, never reading or writing outside the buffers.
    void damaged_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("opens");
        const QByteArray overflow = readAll(testData("flic/fli_overflow.fli"));
        if (!overflow.isEmpty())
            QTest::newRow("chunks overrunning their frame") << overflow << true;
        QByteArray huge = makeFlic(false, 4, 4, {{{16, QByteArray(16, 'x')}}});
        huge[8] = char(0xFF); huge[9] = char(0xFF); huge[10] = char(0xFF); huge[11] = char(0xFF);
        QTest::newRow("frame too large to hold") << huge << false;
        QTest::newRow("not a flic") << QByteArray(200, 'a') << false;
        QTest::newRow("header cut short") << makeFlic(false, 4, 4, {}).left(100) << false;
        QByteArray hugeChunk = makeFlic(true, 4, 4, {{{15, QByteArray(8, '\x7F')}}});
        hugeChunk[128 + 16] = char(0xFF); hugeChunk[128 + 17] = char(0xFF); // chunk size 65535+
        QTest::newRow("chunk larger than its frame") << hugeChunk << true;
        QByteArray tinyFrame = makeFlic(false, 4, 4, {{}, {}});
        tinyFrame[128] = 2; // frame size below its own header
        QTest::newRow("frame size below its header") << tinyFrame << true;
        QByteArray runs;
        runs.append(char(0)).append(char(-127)).append(QByteArray(3, 'x'));
        QTest::newRow("literal run past the data") << makeFlic(false, 4, 4, {{{15, runs}}}) << true;
        QByteArray delta;
        put16(delta, 3); put16(delta, 60000);
        delta.append(char(200)).append(char(250)).append(char(127));
        QTest::newRow("delta lines past the frame") << makeFlic(false, 4, 4, {{{12, delta}}}) << true;
        QByteArray flcDelta;
        put16(flcDelta, 5); put16(flcDelta, 0xC000); put16(flcDelta, 0x8041); put16(flcDelta, 0x3FFF);
        QTest::newRow("word delta skipping past the frame") << makeFlic(true, 4, 4, {{{7, flcDelta}}}) << true;
    }

    void damaged()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, opens);
        FlicDecoder d;
        QString error;
        QCOMPARE(d.open(bytes, &error), opens);
        if (!opens) {
            QVERIFY(!error.isEmpty());
            return;
        }
        int guard = 0;
        while (d.decodeNext() && ++guard < 100000) {
        }
        QVERIFY(guard < 100000);
        QCOMPARE(d.plane().size(), size_t(d.header().width) * size_t(d.header().height));
    }

    // A file cut anywhere decodes the frames that are there and says it ended early.
    void truncatedFile()
    {
        if (qEnvironmentVariableIsEmpty("VARDEKO_TESTDATA"))
            QSKIP("no third-party files (VARDEKO_TESTDATA_DIR)");
        const QByteArray whole = readAll(testData("flic/intro.fli"));
        FlicDecoder d;
        QVERIFY(d.open(whole.left(whole.size() / 2), nullptr));
        int frames = 0;
        while (d.decodeNext())
            ++frames;
        QVERIFY(frames > 5);
        QVERIFY(frames < 51);
        QVERIFY(d.truncated());
    }

    // Header rules: FLI speed in 15 ms steps, FLC frame 1 falling back to 128.
    void headerRules_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("delay");
        QTest::addColumn<qint64>("first");
        const QByteArray fli = makeFlic(false, 4, 4, {{}}, 5);
        QTest::newRow("FLI speed 5 is 75 ms") << fli << 75 << qint64(128);
        QByteArray flc = makeFlic(true, 4, 4, {{}}, 40);
        QTest::newRow("FLC speed in ms") << flc << 40 << qint64(128);
        flc[80] = 0;
        QTest::newRow("FLC frame 1 at 0 is read at 128") << flc << 40 << qint64(128);
        flc[80] = 5;
        QTest::newRow("FLC frame 1 inside the header") << flc << 40 << qint64(128);
        flc[80] = 0; flc[82] = 1;
        QTest::newRow("FLC frame 1 past the end") << flc << 40 << qint64(128);
    }

    void headerRules()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, delay);
        QFETCH(qint64, first);
        FlicHeader h;
        QVERIFY(readFlicHeader(bytes, &h, nullptr));
        QCOMPARE(h.delayMs, delay);
        QCOMPARE(h.firstFrame, first);
        FlicDecoder d;
        QVERIFY(d.open(bytes, nullptr));
        QVERIFY(d.decodeNext());
    }

    // Chunk decoders on a 5x3 frame (width not a multiple of 4: planes have no padding).
    void chunks_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("plane");
        QByteArray byteRun;
        for (int y = 0; y < 3; ++y)
            byteRun.append(char(2)).append(char(3)).append(char(7)).append(char(-2)).append(char(1)).append(char(2));
        QTest::newRow("byte run: repeat then literal")
                << makeFlic(false, 5, 3, {{{15, byteRun}}})
                << QByteArray::fromHex("070707010207070701020707070102");
        QByteArray copy = QByteArray::fromHex("000102030405060708090a0b0c0d0e");
        QTest::newRow("copy") << makeFlic(false, 5, 3, {{{16, copy}}}) << copy;
        QByteArray fli;
        put16(fli, 1); put16(fli, 2);
        fli.append(char(1)).append(char(1)).append(char(2)).append(char(9)).append(char(8));
        fli.append(char(2)).append(char(0)).append(char(-2)).append(char(5)).append(char(1)).append(char(1)).append(char(6));
        QTest::newRow("byte delta: skip, literal, repeat")
                << makeFlic(false, 5, 3, {{{16, QByteArray(15, '\0')}, {12, fli}}})
                << QByteArray::fromHex("000000000000090800000505000600");
        QByteArray flc;
        put16(flc, 2);
        put16(flc, 0xFFFF);           // skip one line
        put16(flc, 0x8004);           // last pixel of line 1 is 4
        put16(flc, 1);                // one packet
        flc.append(char(0)).append(char(1)).append(char(1)).append(char(2));
        put16(flc, 1);                // line 2: one packet
        flc.append(char(1)).append(char(-2)).append(char(3)).append(char(4));
        QTest::newRow("word delta: skip, last pixel, copy, repeat")
                << makeFlic(true, 5, 3, {{{7, flc}}})
                << QByteArray::fromHex("000000000001020000040003040304");
        QTest::newRow("black clears")
                << makeFlic(false, 5, 3, {{{16, QByteArray(15, '\x05')}, {13, {}}}})
                << QByteArray(15, '\0');
    }

    void chunks()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, plane);
        FlicDecoder d;
        QVERIFY(d.open(bytes, nullptr));
        QVERIFY(d.decodeNext());
        const QByteArray got(reinterpret_cast<const char *>(d.plane().data()), qsizetype(d.plane().size()));
        QCOMPARE(got.toHex(), plane.toHex());
    }

    // Palette scaling: 6-bit components become c x 4 + 3, 8-bit ones stay.
    void palettes()
    {
        FlicDecoder d;
        QVERIFY(d.open(makeFlic(false, 4, 4, {{{11, palette64(7, 63, 0, 32)}, {4, palette64(9, 63, 0, 32)}}}), nullptr));
        QVERIFY(d.decodeNext());
        QCOMPARE(int(d.palette()[21]), 255);
        QCOMPARE(int(d.palette()[22]), 3);
        QCOMPARE(int(d.palette()[23]), 131);
        QCOMPARE(int(d.palette()[27]), 63);
        QCOMPARE(int(d.palette()[28]), 0);
        QCOMPARE(int(d.palette()[29]), 32);
        QVERIFY(d.paletteChanged());
    }

    // A chunk written one byte late (an odd chunk padded but not counted) is still found.
    void lateChunkHeader()
    {
        QByteArray first;
        put16(first, 1);
        first.append(char(0)).append(char(1)).append(char(1)).append(char(2)).append(char(3)); // 7 bytes: odd
        QByteArray bytes = makeFlic(false, 2, 1, {{{11, first}, {16, QByteArray::fromHex("0909")}}});
        bytes.insert(128 + 16 + 6 + 7, '\0');  // pad byte after the odd chunk
        bytes[128] = char(bytes[128] + 1);
        FlicDecoder d;
        QVERIFY(d.open(bytes, nullptr));
        QVERIFY(d.decodeNext());
        QCOMPARE(int(d.plane()[0]), 9);
        QCOMPARE(int(d.plane()[1]), 9);
    }
};

VARDEKO_REGISTER_TEST(TestFlicDecoder);
#include "tst_flicdecoder.moc"
