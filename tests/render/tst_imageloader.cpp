// Tests of the image loader against real files of every format it decodes.
#include "testsupport.h"

#include "imageloader.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace vardeko;

namespace {

const char *const FormatDirs[] = {"bmp", "gif", "ico", "tiff", "pcx", "wmf"};

// The first frame as the picture tool decodes it, or a null image when it cannot.
QImage magickReference(const QString &file, const QString &outDir)
{
    const QString out = QDir(outDir).filePath(QFileInfo(file).fileName() + QStringLiteral(".png"));
    QProcess gm;
    gm.start(QStringLiteral("gm"), {QStringLiteral("convert"), file + QStringLiteral("[0]"),
                                    QStringLiteral("PNG32:") + out});
    if (!gm.waitForFinished(60000) || gm.exitStatus() != QProcess::NormalExit || gm.exitCode() != 0)
        return QImage();
    return QImage(out);
}

// For a run-length coded 8-bit bitmap, the pixels its codes write (set bits); a null
// image for other files.
QImage rle8WrittenPixels(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return QImage();
    const QByteArray d = f.readAll();
    auto u32 = [&](int at) {
        return quint32(quint8(d[at])) | quint32(quint8(d[at + 1])) << 8 | quint32(quint8(d[at + 2])) << 16
            | quint32(quint8(d[at + 3])) << 24;
    };
    if (d.size() < 54 || u32(14) < 40 || u32(30) != 1)
        return QImage();
    const int width = int(u32(18)), height = std::abs(int(u32(22)));
    QImage written(width, height, QImage::Format_Mono);
    written.fill(0);
    int x = 0, y = height - 1; // bottom-up
    auto mark = [&](int count) {
        for (int i = 0; i < count; ++i, ++x)
            if (x < width && y >= 0)
                written.setPixel(x, y, 1);
    };
    for (int pos = int(u32(10)); pos + 1 < d.size();) {
        const int n = quint8(d[pos]), code = quint8(d[pos + 1]);
        pos += 2;
        if (n > 0) {
            mark(n);
        } else if (code == 0) {
            x = 0;
            --y;
        } else if (code == 1) {
            break;
        } else if (code == 2) {
            x += quint8(d[pos]);
            y -= quint8(d[pos + 1]);
            pos += 2;
        } else {
            mark(code);
            pos += (code + 1) & ~1;
        }
    }
    return written;
}

} // namespace

class TestImageLoader : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(mRefs.isValid());
        QVERIFY2(QProcess::execute(QStringLiteral("gm"), {QStringLiteral("version")}) == 0,
                 "the gm tool is needed for reference decodes");
    }

    void decodesLikeReference_data()
    {
        REQUIRE_THIRD_PARTY_FILES();
        QTest::addColumn<QString>("file");
        for (const char *dir : FormatDirs) {
            const QDir d(QDir(testDataDir()).filePath(QLatin1String(dir)));
            const QStringList files = d.entryList(QDir::Files, QDir::Name);
            for (const QString &name : files)
                QTest::newRow(qPrintable(QLatin1String(dir) + QLatin1Char('/') + name)) << d.filePath(name);
        }
    }

    // Every test file loads with the reference decoder's size and pixels, or, where
    // the reference decoder refuses a file, fails with a message instead of crashing.
    void decodesLikeReference()
    {
        QFETCH(QString, file);
        const QImage reference = magickReference(file, mRefs.path());
        const ImageLoader::Result result = ImageLoader::load(file);
        if (reference.isNull()) {
            QVERIFY2(!result.ok(), "loaded a file the reference decoder rejects");
            QVERIFY(!result.error.isEmpty());
            return;
        }
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.image.size(), reference.size());
        QCOMPARE(ImageLoader::imageSize(file), reference.size());
        // The run-length bitmap skips pixels with its delta codes; what shows there is
        // left to the decoder. The reference decoder takes icon transparency from the
        // mask only and ignores the alpha of 32-bit icons, so only colours are compared.
        QImage only;
        if (file.endsWith(QLatin1String(".bmp")))
            only = rle8WrittenPixels(file);
        const CompareMode mode = file.endsWith(QLatin1String(".ico")) ? CompareMode::Colour
                                                                       : CompareMode::Premultiplied;
        const ImageDifference d = compareImages(result.image, reference, 2, mode, only);
        if (d.differing != 0)
            d.diff.save(QDir(mRefs.path()).filePath(QFileInfo(file).fileName() + QStringLiteral(".diff.png")));
        QVERIFY2(d.differing == 0, qPrintable(QStringLiteral("%1 pixels differ, by up to %2; first at %3")
                                                   .arg(d.differing).arg(d.maxChannelDelta)
                                                   .arg(d.firstDifference)));
    }

    void damagedFilesFailCleanly_data()
    {
        REQUIRE_THIRD_PARTY_FILES();
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("keep"); // bytes kept, negative: that many cut from the end
        for (const char *dir : FormatDirs) {
            const QDir d(QDir(testDataDir()).filePath(QLatin1String(dir)));
            const QStringList files = d.entryList(QDir::Files, QDir::Name);
            for (const QString &name : files) {
                const QString path = d.filePath(name);
                const QString row = QLatin1String(dir) + QLatin1Char('/') + name;
                QTest::newRow(qPrintable(row + QStringLiteral(" empty"))) << path << 0;
                QTest::newRow(qPrintable(row + QStringLiteral(" header cut"))) << path << 12;
                QTest::newRow(qPrintable(row + QStringLiteral(" half"))) << path << int(QFileInfo(path).size() / 2);
            }
        }
    }

    void damagedFilesFailCleanly()
    {
        QFETCH(QString, file);
        QFETCH(int, keep);
        QFile in(file);
        QVERIFY(in.open(QIODevice::ReadOnly));
        const QByteArray bytes = in.readAll().left(keep);
        const QString copy = QDir(mRefs.path()).filePath(QStringLiteral("cut-") + QFileInfo(file).fileName());
        QFile out(copy);
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(bytes);
        out.close();

        const ImageLoader::Result result = ImageLoader::load(copy);
        QVERIFY2(!result.ok(), "a damaged file loaded as if whole");
        QVERIFY(!result.error.isEmpty());
        if (keep <= 12) {
            QString error;
            QVERIFY(!ImageLoader::imageSize(copy, &error).isValid());
            QVERIFY(!error.isEmpty());
        }
    }

    void missingAndUnsupportedFiles()
    {
        const ImageLoader::Result missing = ImageLoader::load(QDir(mRefs.path()).filePath(QStringLiteral("none.bmp")));
        QVERIFY(!missing.ok());
        QVERIFY(missing.error.contains(QStringLiteral("none.bmp")));

        // An animation shows its first frame; one whose frames are damaged is named.
        REQUIRE_THIRD_PARTY_FILES();
        const QString flic = QDir(testDataDir()).filePath(QStringLiteral("flic/test.fli"));
        const ImageLoader::Result animation = ImageLoader::load(flic);
        QVERIFY2(animation.ok(), qPrintable(animation.error));
        QCOMPARE(animation.image.size(), QSize(20, 20));
        QVERIFY(animation.image.pixel(0, 0) != animation.image.pixel(10, 10)
                || animation.image.pixel(0, 0) != animation.image.pixel(19, 19));
        QCOMPARE(ImageLoader::imageSize(flic), QSize(20, 20));
        const ImageLoader::Result intro = ImageLoader::load(QDir(testDataDir()).filePath(QStringLiteral("flic/intro.fli")));
        QVERIFY2(intro.ok(), qPrintable(intro.error));
        QCOMPARE(intro.image.size(), QSize(320, 200));
        QFile cut(QDir(mRefs.path()).filePath(QStringLiteral("cut.flc")));
        QFile whole(flic);
        QVERIFY(whole.open(QIODevice::ReadOnly) && cut.open(QIODevice::WriteOnly));
        cut.write(whole.read(128));
        cut.close();
        const ImageLoader::Result noFrame = ImageLoader::load(cut.fileName());
        QVERIFY(!noFrame.ok());
        QVERIFY(noFrame.error.contains(QStringLiteral("damaged")));
        QCOMPARE(ImageLoader::imageSize(QDir(testDataDir()).filePath(QStringLiteral("flic/2422.flc"))), QSize(320, 200));
    }

    void chosenByExtension_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("decoder");
        QTest::newRow("pcx upper") << QStringLiteral("C:\\IMAGES\\SMALL.PCX") << int(ImageLoader::Magick);
        QTest::newRow("wmf lower") << QStringLiteral("clip.wmf") << int(ImageLoader::Magick);
        QTest::newRow("fli") << QStringLiteral("intro.fli") << int(ImageLoader::Flic);
        QTest::newRow("flc") << QStringLiteral("INTRO.FLC") << int(ImageLoader::Flic);
        QTest::newRow("bmp") << QStringLiteral("a.bmp") << int(ImageLoader::QtReader);
        QTest::newRow("tiff four letters") << QStringLiteral("a.tiff") << int(ImageLoader::QtReader);
    }

    void chosenByExtension()
    {
        QFETCH(QString, name);
        QFETCH(int, decoder);
        QCOMPARE(int(ImageLoader::decoderFor(name)), decoder);
    }

    void refusesHugePictures()
    {
        // A PCX header that claims 60000 by 60000 pixels must not be allocated.
        QByteArray header(128, '\0');
        header[0] = 0x0A;
        header[1] = 5;
        header[2] = 1;
        header[3] = 8;
        header[8] = char(0x5F);
        header[9] = char(0xEA);
        header[10] = char(0x5F);
        header[11] = char(0xEA);
        header[65] = 1;
        header[66] = char(0x60);
        header[67] = char(0xEA);
        const QString path = QDir(mRefs.path()).filePath(QStringLiteral("huge.pcx"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(header + QByteArray(1024, char(0xC1)));
        f.close();
        const ImageLoader::Result result = ImageLoader::load(path);
        QVERIFY(!result.ok());
        QVERIFY(!result.error.isEmpty());
        QVERIFY(!ImageLoader::imageSize(path).isValid());
    }

private:
    QTemporaryDir mRefs;
};

VARDEKO_REGISTER_TEST(TestImageLoader);

#include "tst_imageloader.moc"
