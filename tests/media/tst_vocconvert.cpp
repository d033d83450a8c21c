// VOC to WAV conversion and cartoon files.
#include "cartoonfile.h"
#include "ioerrors.h"
#include "publication.h"
#include "publicationfile.h"
#include "vocconvert.h"

#include "testsupport.h"

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

quint32 le(const QByteArray &b, int at, int bytes)
{
    quint32 v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | quint8(b[at + i]);
    return v;
}

QByteArray vocHeader()
{
    QByteArray h("Creative Voice File\x1A", 20);
    h.append(char(26)).append(char(0)).append(char(0x0A)).append(char(0x01));
    h.append(char(0x29)).append(char(0x11));
    return h;
}

QByteArray block(int type, const QByteArray &data)
{
    QByteArray b;
    b.append(char(type)).append(char(data.size() & 0xFF)).append(char((data.size() >> 8) & 0xFF))
            .append(char(data.size() >> 16));
    return b + data;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestVocConvert : public QObject
{
    Q_OBJECT

private slots:
    // The 44-byte header and the copied samples for block layouts.
    void conversion_data()
    {
        QTest::addColumn<QByteArray>("voc");
        QTest::addColumn<int>("rate");
        QTest::addColumn<QByteArray>("samples");
        QTest::newRow("sound data at 166 is 11111 Hz")
                << vocHeader() + block(1, QByteArray("\xA6\x00\x80\x81\x82", 5)) + QByteArray(1, '\0')
                << 11111 << QByteArray("\x80\x81\x82");
        QTest::newRow("continuation and the last time constant")
                << vocHeader() + block(1, QByteArray("\x83\x00\x10", 3)) + block(2, "ab")
                           + block(8, "wxyz") + block(5, "text") + block(1, QByteArray("\xD3\x00\x11", 3))
                << 22222 << QByteArray("\x10" "ab" "\x11");
        QTest::newRow("no terminator") << vocHeader() + block(1, QByteArray("\x9C\x00zz", 4)) << 10000
                                       << QByteArray("zz");
        QTest::newRow("block longer than the file")
                << vocHeader() + block(1, QByteArray("\x9C\x00zz", 4)).left(7) << 10000 << QByteArray("z");
        QTest::newRow("rate above 65535 keeps its bits")
                << vocHeader() + block(1, QByteArray("\xF5\x00q", 3)) << 90909 << QByteArray("q");
        QTest::newRow("no sound data") << vocHeader() + QByteArray(1, '\0') << 11025 << QByteArray();
    }

    void conversion()
    {
        QFETCH(QByteArray, voc);
        QFETCH(int, rate);
        QFETCH(QByteArray, samples);
        QByteArray wave;
        QCOMPARE(vocToWav(voc, &wave), 0);
        QCOMPARE(wave.left(4), QByteArray("RIFF"));
        QCOMPARE(le(wave, 4, 4), quint32(wave.size() - 8));
        QCOMPARE(wave.mid(8, 8), QByteArray("WAVEfmt "));
        QCOMPARE(le(wave, 16, 4), 16u);
        QCOMPARE(le(wave, 20, 2), 1u);
        QCOMPARE(le(wave, 22, 2), 1u);
        QCOMPARE(le(wave, 24, 4), quint32(rate));
        QCOMPARE(le(wave, 28, 4), quint32(rate));
        QCOMPARE(le(wave, 32, 2), 1u);
        QCOMPARE(le(wave, 34, 2), 8u);
        QCOMPARE(wave.mid(36, 4), QByteArray("data"));
        QCOMPARE(le(wave, 40, 4), quint32(samples.size()));
        QCOMPARE(wave.mid(44), samples);
    }

    void notVoc_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("wrong signature") << QByteArray("Creative Voice Filf\x1A\x1A\x00", 22);
        QTest::newRow("first block past the end") << vocHeader().left(20) + QByteArray("\xFF\x00", 2);
        QTest::newRow("first block inside the header") << vocHeader().left(20) + QByteArray("\x05\x00", 2);
    }

    void notVoc()
    {
        QFETCH(QByteArray, bytes);
        QByteArray wave("untouched");
        QCOMPARE(vocToWav(bytes, &wave), int(IoInvalidFormat));
        QCOMPARE(wave, QByteArray("untouched"));
    }

    // The shared sounds: rate from the time constant, every sample copied.
    void sharedVoc_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("samples");
        QTest::newRow("monkey") << "voc/monkey.voc" << 8130 << 1652;
        QTest::newRow("welcome") << "voc/welcome.voc" << 22222 << 24080;
    }

    void sharedVoc()
    {
        QFETCH(QString, file);
        QFETCH(int, rate);
        QFETCH(int, samples);
        if (qEnvironmentVariableIsEmpty("VARDEKO_TESTDATA"))
            QSKIP("no third-party files (VARDEKO_TESTDATA_DIR)");
        const QString out = tmp.filePath(QStringLiteral("out.wav"));
        QCOMPARE(convertVocFile(testData(file), out), 0);
        const QByteArray wave = readAll(out);
        QCOMPARE(wave.size(), 44 + samples);
        QCOMPARE(le(wave, 24, 4), quint32(rate));
        QCOMPARE(wave.mid(44), readAll(testData(file)).mid(26 + 6, samples));
    }

    // A failed conversion leaves no output, and an old output as it was.
    void failureLeavesNoFile()
    {
        QTemporaryDir dir;
        const QString in = dir.filePath(QStringLiteral("bad.voc"));
        const QString out = dir.filePath(QStringLiteral("bad.wav"));
        QVERIFY(writeFile(in, "not a voice file at all"));
        QCOMPARE(convertVocFile(in, out), int(IoInvalidFormat));
        QVERIFY(!QFile::exists(out));
        QVERIFY(writeFile(out, "old"));
        QCOMPARE(convertVocFile(in, out), int(IoInvalidFormat));
        QCOMPARE(readAll(out), QByteArray("old"));
        QCOMPARE(convertVocFile(dir.filePath(QStringLiteral("missing.voc")), out), int(IoFileNotFound));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2);
        QVERIFY(vocConversionMessage(IoInvalidFormat).startsWith(
                QLatin1String("Unable to convert VOC sound file to WAV format!\r\r")));
    }

    // ConvertVocToWav: the wave beside the sound; one that exists is used as it is.
    void convertBeside()
    {
        const QString voc = tmp.filePath(QStringLiteral("Sound.voc"));
        QVERIFY(writeFile(voc, vocHeader() + block(1, QByteArray("\xA6\x00\x80", 3))));
        QString name = voc;
        QCOMPARE(ConvertVocToWav(name), 0);
        QCOMPARE(name, tmp.filePath(QStringLiteral("Sound.WAV")));
        QCOMPARE(readAll(name).size(), 45);
        QVERIFY(writeFile(name, "kept"));
        name = voc;
        QCOMPARE(ConvertVocToWav(name), 0);
        QCOMPARE(readAll(name), QByteArray("kept"));
        QString bad = tmp.filePath(QStringLiteral("none.voc"));
        QCOMPARE(ConvertVocToWav(bad), int(IoFileNotFound));
        QCOMPARE(bad, tmp.filePath(QStringLiteral("none.voc")));
    }

    // Reading a publication turns the VOC sounds of PlaySoundFile into wave files and
    // names those; a sound that cannot be converted is reported and keeps its name.
    void readingConvertsSounds()
    {
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath(QStringLiteral("beep.voc")), vocHeader() + block(1, QByteArray("\xA6\x00\x80", 3))));
        QVERIFY(writeFile(dir.filePath(QStringLiteral("bad.voc")), "damaged"));
        const QByteArray text = "VARDEKO DOCUMENT FILE\r\nScreenColors=16\r\n"
                                "NewPage=Ignored\r\nPageColor=1\r\nObjectType=3\r\nKey=65\r\n"
                                "Action=PlaySoundFile \"beep.voc\"~PlaySoundFile \"bad.voc\"\r\n";
        const QString path = dir.filePath(QStringLiteral("old.pub"));
        QVERIFY(writeFile(path, text));
        QStringList reports;
        ReadOptions options;
        options.convertVoc = vocConversionForReading([&reports](const QString &m) { reports.append(m); });
        Publication pub;
        QVERIFY(readPublication(pub, path, options).ok());
        QVERIFY(pub.firstPage() && !pub.firstPage()->Objects.empty() && pub.firstPage()->Objects[0]->button());
        const QString action = pub.firstPage()->Objects[0]->button()->Action;
        QVERIFY2(action.contains(QLatin1String("beep.WAV\"")), qPrintable(action));
        QVERIFY2(action.contains(QLatin1String("bad.voc\"")), qPrintable(action));
        QCOMPARE(readAll(dir.filePath(QStringLiteral("beep.WAV"))).size(), 45);
        QCOMPARE(reports.size(), 1);
        QCOMPARE(reports.at(0), vocConversionMessage(IoInvalidFormat));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("bad.WAV"))));
    }

    // Cartoon files: what is refused, and what a written file reads back as.
    void cartoons_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("ok");
        QTest::newRow("written file") << cartoonBytes("PICTURE", 4) << true;
        QTest::newRow("wrong signature") << QByteArray("TK") + cartoonBytes("PICTURE", 4).mid(2) << false;
        QTest::newRow("no frames") << cartoonBytes("PICTURE", 0) << false;
        QTest::newRow("cut header") << cartoonBytes("PICTURE", 4).left(9) << false;
        QTest::newRow("strip past the end") << cartoonBytes("PICTURE", 4).left(15) << false;
        QByteArray far = cartoonBytes("PICTURE", 4);
        far[5] = char(0xFF); // offset near 4 GiB
        QTest::newRow("offset far outside") << far << false;
    }

    void cartoons()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, ok);
        CartoonFile car;
        QString error;
        QCOMPARE(readCartoon(bytes, &car, &error), ok);
        QCOMPARE(error.isEmpty(), ok);
        if (ok) {
            QCOMPARE(car.frames, 4);
            QCOMPARE(car.strip, QByteArray("PICTURE"));
        }
        int w = 0, h = 0;
        QVERIFY(cartoonFrameSize(10, 5, 4, &w, &h));
        QCOMPARE(w, 2);
        QCOMPARE(h, 5);
        QVERIFY(!cartoonFrameSize(3, 5, 4, &w, &h));
        QVERIFY(!cartoonFrameSize(10, 5, 0, &w, &h));
    }

private:
    QTemporaryDir tmp;
};

VARDEKO_REGISTER_TEST(TestVocConvert);
#include "tst_vocconvert.moc"
