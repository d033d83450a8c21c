// The media list with animations: passes, stop rules, ends by unique id; the cartoon
// player's path and frames.
#include "cartoonfile.h"
#include "cartoonplayer.h"
#include "flicplayer.h"
#include "medialist.h"
#include "midifile.h"
#include "midiplayer.h"
#include "videoplayer.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QMouseEvent>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QTest>
#include <QWidget>

using namespace vardeko;

namespace {

QString testData(const QString &name)
{
    return QString::fromLocal8Bit(qgetenv("VARDEKO_TESTDATA")) + QLatin1Char('/') + name;
}

bool haveTestData()
{
    return !qEnvironmentVariableIsEmpty("VARDEKO_TESTDATA");
}

// Every step of a cartoon's path until it ends (at most `limit` steps): the frame and
// the rounded centre of each.
QList<QPair<int, QPoint>> walk(CartoonMotion motion, int limit = 100000)
{
    QList<QPair<int, QPoint>> steps;
    while (!motion.atEnd() && steps.size() < limit) {
        steps.append({motion.frame(), motion.roundedPosition()});
        motion.advance();
    }
    return steps;
}

// A strip of `frames` frames of `w` x `h`: a blue background (the bottom-left pixel,
// so the see-through colour), frame k with a red square of side k + 2 at its top left.
QImage makeStrip(int frames, int w, int h)
{
    QImage strip(w * frames, h, QImage::Format_RGB32);
    strip.fill(Qt::blue);
    QPainter p(&strip);
    for (int k = 0; k < frames; ++k)
        p.fillRect(k * w, 0, k + 2, k + 2, Qt::red);
    return strip;
}

QString writeCartoon(const QTemporaryDir &dir, const QString &name, const QByteArray &strip, int frames)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return {};
    f.write(cartoonBytes(strip, frames));
    return path;
}

QByteArray pngBytes(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// Intro.fli as a short motion-JPEG video with a sound track; empty when ffmpeg or the
// flic is missing. Made once per run.
constexpr int MovieFrames = 10;

QString makeMovie(const QTemporaryDir &dir)
{
    static QString made;
    static bool tried = false;
    if (tried)
        return made;
    tried = true;
    const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    if (ffmpeg.isEmpty() || !haveTestData())
        return {};
    const QString movie = dir.filePath("intro.avi");
    QProcess make;
    make.start(ffmpeg, {"-v", "error", "-i", testData("flic/intro.fli"), "-f", "lavfi", "-i",
                        "sine=frequency=440:duration=0.4", "-frames:v", QString::number(MovieFrames), "-r", "25",
                        "-c:v", "mjpeg", "-q:v", "3", "-pix_fmt", "yuvj420p", "-c:a", "pcm_u8", "-shortest", movie});
    if (!make.waitForFinished(60000) || make.exitCode() != 0)
        return {};
    made = movie;
    return made;
}

// Pixels of `image` (every fourth of every fourth line) with a bright channel.
int litPixels(const QImage &image)
{
    int lit = 0;
    for (int y = 0; y < image.height(); y += 4)
        for (int x = 0; x < image.width(); x += 4) {
            const QRgb c = image.pixel(x, y);
            lit += qMax(qMax(qRed(c), qGreen(c)), qBlue(c)) > 64;
        }
    return lit;
}

// A page that notes where it is pressed, released and hovered.
class ClickPage : public QWidget
{
public:
    ClickPage() { setMouseTracking(true); }
    QVector<QPoint> presses, releases, moves;

protected:
    void mousePressEvent(QMouseEvent *event) override { presses.append(event->position().toPoint()); }
    void mouseReleaseEvent(QMouseEvent *event) override { releases.append(event->position().toPoint()); }
    void mouseMoveEvent(QMouseEvent *event) override { moves.append(event->position().toPoint()); }
};

} // namespace

class TestPlayback : public QObject
{
    Q_OBJECT

    QTemporaryDir mDir;

private slots:
    void init()
    {
        const QByteArray name = QTest::currentTestFunction();
        if (name.startsWith("flic") || name == "stopRules") {
            if (!haveTestData())
                QSKIP("no third-party files (VARDEKO_TESTDATA_DIR)");
        }
    }

    // The path is covered in frames x repeat steps, one frame per step; play ends once
    // the rounded centre leaves the box of the two points.
    void cartoonPath_data()
    {
        QTest::addColumn<QList<int>>("points"); // x1 y1 x2 y2
        QTest::addColumn<int>("frames");
        QTest::addColumn<int>("repeat");
        QTest::addColumn<int>("steps");
        QTest::addColumn<QPoint>("first");
        QTest::addColumn<QPoint>("last");
        QTest::addColumn<QPointF>("step");
        QTest::newRow("right by 590/40, ends at 600") << QList<int>{10, 10, 600, 10} << 4 << 10 << 41
                                                      << QPoint(10, 10) << QPoint(600, 10) << QPointF(14.75, 0);
        QTest::newRow("leftwards") << QList<int>{600, 10, 10, 10} << 4 << 10 << 41 << QPoint(600, 10)
                                   << QPoint(10, 10) << QPointF(-14.75, 0);
        QTest::newRow("diagonal, thirds") << QList<int>{0, 0, 10, 20} << 3 << 1 << 4 << QPoint(0, 0)
                                          << QPoint(10, 20) << QPointF(10.0 / 3, 20.0 / 3);
        QTest::newRow("in place: repeat + 1 cycles") << QList<int>{50, 60, 50, 60} << 3 << 2 << 9
                                                     << QPoint(50, 60) << QPoint(50, 60) << QPointF(0, 0);
        QTest::newRow("repeat 0 counts as 1") << QList<int>{50, 60, 50, 60} << 3 << 0 << 6 << QPoint(50, 60)
                                              << QPoint(50, 60) << QPointF(0, 0);
        // The middle half of a 640 x 480 page, at half height.
        QTest::newRow("defaults") << QList<int>{-1, -1, -1, -1} << 4 << 1 << 5 << QPoint(160, 240)
                                  << QPoint(480, 240) << QPointF(80, 0);
        QTest::newRow("end defaults follow the start") << QList<int>{100, 50, -1, -1} << 2 << 2 << 5
                                                       << QPoint(100, 50) << QPoint(420, 50) << QPointF(80, 0);
    }

    void cartoonPath()
    {
        QFETCH(QList<int>, points);
        QFETCH(int, frames);
        QFETCH(int, repeat);
        QFETCH(int, steps);
        QFETCH(QPoint, first);
        QFETCH(QPoint, last);
        QFETCH(QPointF, step);
        const CartoonMotion motion(points[0], points[1], points[2], points[3], QSize(640, 480), frames, repeat,
                                   false);
        QCOMPARE(motion.step(), step);
        const auto walked = walk(motion);
        QCOMPARE(walked.size(), steps);
        QCOMPARE(walked.first().second, first);
        QCOMPARE(walked.last().second, last);
        // Frames cycle 0, 1, ..., frames - 1, 0, ...
        for (int i = 0; i < walked.size(); ++i)
            QCOMPARE(walked.at(i).first, i % frames);
    }

    // With the loop flag the cartoon never ends: past the end it jumps back to the start.
    void cartoonLoops()
    {
        CartoonMotion motion(10, 10, 600, 10, QSize(640, 480), 4, 10, true);
        int returns = 0;
        int previousX = 10;
        for (int i = 0; i < 200; ++i) {
            QVERIFY(!motion.atEnd());
            const int x = motion.roundedPosition().x();
            QVERIFY2(x <= 615, qPrintable(QString::number(x)));
            if (x < previousX) {
                QCOMPARE(x, 10);
                ++returns;
            }
            previousX = x;
            motion.advance();
        }
        QCOMPARE(returns, 4); // 42 steps a lap
        CartoonMotion still(30, 30, 30, 30, QSize(640, 480), 2, 1, true);
        for (int i = 0; i < 50; ++i) {
            QVERIFY(!still.atEnd());
            QCOMPARE(still.roundedPosition(), QPoint(30, 30));
            still.advance();
        }
    }

    // The strip is cut into equal frames; its bottom-left colour is see-through.
    void cartoonFrames()
    {
        QTemporaryDir dir;
        const QString file = writeCartoon(dir, "walk.car", pngBytes(makeStrip(3, 10, 8)), 3);
        CartoonFrames cartoon;
        QString error;
        QVERIFY2(loadCartoonFrames(file, &cartoon, &error), qPrintable(error));
        QCOMPARE(cartoon.frames.size(), 3);
        QCOMPARE(cartoon.frameSize(), QSize(10, 8));
        for (int k = 0; k < 3; ++k) {
            const QImage &f = cartoon.frames.at(k);
            QCOMPARE(qAlpha(f.pixel(k + 1, k + 1)), 255);
            QCOMPARE(QColor(f.pixel(k + 1, k + 1)), QColor(Qt::red));
            QCOMPARE(qAlpha(f.pixel(k + 2, k + 2)), 0);
            QCOMPARE(qAlpha(f.pixel(9, 7)), 0);
        }
    }

    void cartoonRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray strip = pngBytes(makeStrip(3, 10, 8));
        QTest::newRow("more frames than pixels across") << cartoonBytes(strip, 31);
        QByteArray wrong = cartoonBytes(strip, 3);
        wrong[1] = 'X';
        QTest::newRow("wrong signature") << wrong;
        QTest::newRow("strip not a picture") << cartoonBytes(QByteArray(200, 'x'), 3);
        QTest::newRow("strip cut short") << cartoonBytes(strip, 3).left(60);
        QByteArray none = cartoonBytes(strip, 3);
        none[10] = none[11] = 0;
        QTest::newRow("no frames") << none;
    }

    // A cartoon that cannot be loaded draws nothing and is not listed.
    void cartoonRefused()
    {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        QFile f(dir.filePath("bad.car"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        CartoonFrames cartoon;
        QString error;
        QVERIFY(!loadCartoonFrames(f.fileName(), &cartoon, &error));
        QVERIFY(!error.isEmpty());
        QWidget page;
        MediaList list;
        QCOMPARE(list.playCartoon(&page, QRect(0, 0, 640, 480), -1, -1, -1, -1, f.fileName(), 1, 10, PlayWait), 0);
        QCOMPARE(list.count(), 0);
        QVERIFY(!page.findChild<CartoonPlayer *>());
    }

    // A strip in a format Qt's readers lack (PCX) goes through the image loader.
    void cartoonFromPcxStrip()
    {
        if (!haveTestData())
            QSKIP("no third-party files (VARDEKO_TESTDATA_DIR)");
        QFile pcx(testData("pcx/game_fnt.pcx"));
        QVERIFY(pcx.open(QIODevice::ReadOnly));
        QTemporaryDir dir;
        const QString file = writeCartoon(dir, "font.car", pcx.readAll(), 4);
        CartoonFrames cartoon;
        QString error;
        QVERIFY2(loadCartoonFrames(file, &cartoon, &error), qPrintable(error));
        QCOMPARE(cartoon.frames.size(), 4);
        QCOMPARE(cartoon.frameSize(), QSize(257 / 4, 97));
    }

    // The cartoon draws over the page while it plays; stopping it ("VIDEO": it has
    // pictures) leaves the page as it was; wait mode returns when it has ended.
    void cartoonOverPage()
    {
        QTemporaryDir dir;
        const QString file = writeCartoon(dir, "walk.car", pngBytes(makeStrip(3, 10, 8)), 3);
        QWidget page;
        page.setAutoFillBackground(true);
        QPalette pal = page.palette();
        pal.setColor(QPalette::Window, Qt::white);
        page.setPalette(pal);
        page.resize(400, 300);
        page.show();
        const QImage before = page.grab().toImage();
        MediaList list;
        const QRect pageRect(20, 10, 320, 200);
        const int id = list.playCartoon(&page, pageRect, 100, 50, 100, 50, file, 1, 5, PlayLoop);
        QVERIFY(id > 0);
        auto *player = page.findChild<CartoonPlayer *>();
        QVERIFY(player);
        QTRY_VERIFY(player->stepsShown() > 0 && player->frameRect().isValid());
        // Centred on (100, 50) of the page: the frame's top left is at 20 + 100 - 5, 10 + 50 - 4.
        QCOMPARE(player->frameRect(), QRect(115, 56, 10, 8));
        QCoreApplication::processEvents();
        const QImage during = page.grab().toImage();
        QCOMPARE(QColor(during.pixel(115, 56)), QColor(Qt::red));
        QCOMPARE(QColor(during.pixel(124, 63)), QColor(Qt::white)); // see-through corner
        QVERIFY(!list.stopMedia(QStringLiteral("SOUND")));
        QVERIFY(list.contains(id));
        QVERIFY(list.stopMedia(QStringLiteral("VIDEO")));
        QVERIFY(!list.contains(id));
        QCOMPARE(page.grab().toImage(), before);

        // 2 frames a cycle, in place, repeat 1: four steps, then wait mode returns.
        const int waited = list.playCartoon(&page, pageRect, 10, 10, 10, 10, file, 1, 1, PlayWait);
        QVERIFY(waited > 0);
        QVERIFY(!list.contains(waited));
        QCOMPARE(page.grab().toImage(), before);
    }

    // Count 2 plays every frame twice, then the item ends by itself.
    void flicPasses()
    {
        QWidget page;
        page.resize(640, 480);
        MediaList list;
        QSignalSpy stopped(&list, &MediaList::itemStopped);
        const int id = list.playFlic(&page, QRect(0, 0, 640, 480), -1, -1, -1, -1, testData("flic/test.fli"), 2,
                                     PlayNormal);
        QVERIFY(id > 0);
        QVERIFY(list.contains(id));
        const auto *player = page.findChild<FlicPlayer *>();
        QVERIFY(player);
        // Natural size, centred in the page.
        QCOMPARE(player->geometry(), QRect(310, 230, 20, 20));
        QTRY_VERIFY_WITH_TIMEOUT(!list.contains(id), 10000);
        QCOMPARE(stopped.count(), 1);
        QCOMPARE(stopped.at(0).at(0).toInt(), id);
    }

    // Wait mode returns once the animation has ended.
    void flicWait()
    {
        QWidget page;
        MediaList list;
        const int id = list.playFlic(&page, QRect(0, 0, 320, 200), 0, 0, 100, 50, testData("flic/test.fli"), 1,
                                     PlayWait);
        QVERIFY(id > 0);
        QVERIFY(!list.contains(id));
    }

    // StopMedia: "SOUND" leaves animations, "VIDEO" and the file's name stop them;
    // playing the same file again restarts it under a new id.
    void stopRules()
    {
        QWidget page;
        MediaList list;
        const QRect area(0, 0, 640, 480);
        const int a = list.playFlic(&page, area, -1, -1, -1, -1, testData("flic/intro.fli"), 0, PlayLoop);
        QVERIFY(a > 0);
        QVERIFY(!list.stopMedia(QStringLiteral("sound")));
        QVERIFY(list.contains(a));
        const int b = list.playFlic(&page, area, -1, -1, -1, -1, testData("flic/intro.fli"), 0, PlayLoop);
        QVERIFY(b != a);
        QVERIFY(!list.contains(a));
        QVERIFY(list.stopMedia(QStringLiteral("INTRO.FLI")));
        QCOMPARE(list.count(), 0);
        list.playFlic(&page, area, -1, -1, -1, -1, testData("flic/intro.fli"), 0, PlayLoop);
        list.playFlic(&page, area, -1, -1, -1, -1, testData("flic/a.fli"), 0, PlayLoop);
        QCOMPARE(list.count(), 2);
        QVERIFY(list.stopMedia(QStringLiteral("Video")));
        QCOMPARE(list.count(), 0);
        QCOMPARE(list.playFlic(&page, area, -1, -1, -1, -1, testData("voc/monkey.voc"), 0, PlayNormal), 0);
        QCOMPARE(list.count(), 0);
    }

    // The synthesizer plays each file as long as its events and tempo say, then its
    // last notes ring out a little.
    void midiRenderedLength_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("1424.mid") << "midi/1424.mid";
        QTest::newRow("intro.mid") << "midi/intro.mid";
        QTest::newRow("title.mid") << "midi/title.mid";
    }

    void midiRenderedLength()
    {
        if (!haveTestData())
            QSKIP("no third-party files (VARDEKO_TESTDATA_DIR)");
        QFETCH(QString, name);
        QFile f(testData(name));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        MidiTiming timing;
        QString error;
        QVERIFY2(readMidiTiming(bytes, &timing, &error), qPrintable(error));
        MidiRenderer renderer;
        constexpr int Rate = 11025;
        QVERIFY2(renderer.open(bytes, Rate, &error), qPrintable(error));
        std::vector<qint16> buffer(2 * 4096);
        qint64 frames = 0;
        bool sound = false;
        for (qint64 n; (n = renderer.render(buffer.data(), 4096)) > 0;) {
            frames += n;
            sound = sound || std::any_of(buffer.begin(), buffer.begin() + 2 * n, [](qint16 v) { return v != 0; });
            QVERIFY(frames < qint64(Rate) * 3600);
        }
        QVERIFY(renderer.isFinished());
        QVERIFY(sound);
        // The synthesizer's player reaches the last event when the file says it should.
        QVERIFY(renderer.eventsEndFrame() >= 0);
        const qint64 eventsMs = renderer.eventsEndFrame() * 1000 / Rate;
        QVERIFY2(std::abs(eventsMs - timing.durationMs) <= 20,
                 qPrintable(QStringLiteral("last event at %1 ms, the file says %2 ms").arg(eventsMs).arg(timing.durationMs)));
        // The last notes ring on half a second at most (the block rendered last rounds up).
        const qint64 renderedMs = frames * 1000 / Rate;
        QVERIFY2(renderedMs >= eventsMs && renderedMs <= eventsMs + 500 + 4096 * 1000 / Rate,
                 qPrintable(QStringLiteral("rendered %1 ms, last event at %2 ms").arg(renderedMs).arg(eventsMs)));
    }

    // An RMID file is unwrapped before the synthesizer sees it: it plays, as long as the
    // music inside; wait mode returns once it has ended (timed when no audio device opens).
    void midiWrappedPlays()
    {
        if (!haveTestData())
            QSKIP("no third-party files (VARDEKO_TESTDATA_DIR)");
        QFile f(testData("midi/1424.mid"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray music = f.readAll();
        QByteArray body = "RMID";
        const auto le32 = [](quint32 v) {
            const char bytes[4] = {char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF), char(v >> 24)};
            return QByteArray(bytes, 4);
        };
        body += "DISP" + le32(3) + QByteArray("abc\0", 4) + "data" + le32(quint32(music.size())) + music;
        QTemporaryDir dir;
        QFile rmi(dir.filePath("tune.rmi"));
        QVERIFY(rmi.open(QIODevice::WriteOnly));
        rmi.write("RIFF" + le32(quint32(body.size())) + body);
        rmi.close();
        MidiTiming timing;
        QString error;
        QVERIFY(readMidiTiming(music, &timing, &error));
        MidiPlayer player(rmi.fileName(), false);
        QCOMPARE(player.errorText(), QString());
        QCOMPARE(player.durationMs(), timing.durationMs);

        MediaList list;
        QSignalSpy failed(&list, &MediaList::playFailed);
        QElapsedTimer clock;
        clock.start();
        const int id = list.playSound(rmi.fileName(), PlayWait);
        QVERIFY(!list.contains(id));
        QCOMPARE(failed.count(), 0);
        QVERIFY2(clock.elapsed() >= timing.durationMs - 20,
                 qPrintable(QStringLiteral("%1 ms of %2").arg(clock.elapsed()).arg(timing.durationMs)));
    }

    // A damaged MIDI file ends its item at once and is named as a failure.
    void midiDamaged()
    {
        QTemporaryDir dir;
        QFile bad(dir.filePath("bad.mid"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write(QByteArray("MThd\0\0\0\x06\0", 9));
        bad.close();
        MediaList list;
        QSignalSpy failed(&list, &MediaList::playFailed);
        const int id = list.playSound(bad.fileName(), PlayWait);
        QVERIFY(!list.contains(id));
        QCOMPARE(failed.count(), 1);
    }

    // A wait is given up when the caller says so; the item plays on until stopped.
    void waitCancelled()
    {
        if (!haveTestData())
            QSKIP("no third-party files (VARDEKO_TESTDATA_DIR)");
        MediaList list;
        bool cancel = false;
        list.setWaitCancelled([&cancel] { return cancel; });
        QTimer::singleShot(50, [&cancel] { cancel = true; });
        const int music = list.playSound(testData("midi/title.mid"), PlayWait);
        QVERIFY(list.contains(music));
        cancel = false;
        QTimer::singleShot(50, [&cancel] { cancel = true; });
        QWidget page;
        const int flic = list.playFlic(&page, QRect(0, 0, 320, 200), -1, -1, -1, -1, testData("flic/intro.fli"), 0,
                                       PlayWait);
        QVERIFY(list.contains(flic));
        // Already cancelled: no wait at all.
        const int atOnce = list.playFlic(&page, QRect(0, 0, 320, 200), 0, 0, -1, -1, testData("flic/a.fli"), 0,
                                              PlayWait);
        QVERIFY(list.contains(atOnce));
        list.stopAll();
        QCOMPARE(list.count(), 0);
    }

    // Video pictures show in a child of the page at the item's rectangle: natural size
    // centred, or where the script puts them; they count as video for StopMedia. The
    // sound track plays (to nowhere when there is no audio device) and the file ends.
    void videoOnPage()
    {
        const QString movie = makeMovie(mDir);
        if (movie.isEmpty())
            QSKIP("ffmpeg and the third-party flics are needed to make a video");
        QWidget page;
        page.resize(640, 480);
        page.show();
        MediaList list;
        QSignalSpy failed(&list, &MediaList::playFailed);
        const int id = list.playVideo(&page, QRect(0, 0, 640, 480), -1, -1, -1, -1, movie, PlayLoop);
        QVERIFY(id > 0);
        auto *video = page.findChild<VideoPlayer *>();
        QVERIFY(video);
        QTRY_COMPARE_WITH_TIMEOUT(video->geometry(), QRect(160, 140, 320, 200), 10000);
        // Looping: more pictures than the file holds, and still listed.
        QTRY_VERIFY_WITH_TIMEOUT(video->framesShown() > MovieFrames, 20000);
        QVERIFY(list.contains(id));
        // The picture is the flic's, not the black of an empty video.
        QTRY_VERIFY_WITH_TIMEOUT(litPixels(video->grab().toImage()) > 20, 10000);
        QVERIFY(!list.stopMedia(QStringLiteral("sound")));
        QVERIFY(list.stopMedia(QStringLiteral("VIDEO")));
        QVERIFY(!list.contains(id));
        QTRY_VERIFY(!page.findChild<VideoPlayer *>());

        // Placed and sized by the script; wait mode returns once the file has ended.
        const int placed = list.playVideo(&page, QRect(10, 20, 320, 200), 5, 6, 100, 50, movie, PlayWait);
        QVERIFY(placed > 0);
        QVERIFY(!list.contains(placed));
        QCOMPARE(failed.count(), 0);

        // Not a video at all: refused, nothing listed, the failure named.
        QCOMPARE(list.playVideo(&page, QRect(0, 0, 640, 480), -1, -1, -1, -1, testData("voc/monkey.voc") + "-missing",
                                PlayWait), 0);
        QCOMPARE(list.count(), 0);
        QCOMPARE(failed.count(), 1);
        QVERIFY(!page.findChild<VideoPlayer *>());
    }

    // The page going away while a video opens takes the player with it; nothing is left.
    void videoPageGoesWhileOpening()
    {
        const QString movie = makeMovie(mDir);
        if (movie.isEmpty())
            QSKIP("ffmpeg and the third-party flics are needed to make a video");
        MediaList list;
        auto *page = new QWidget;
        QTimer::singleShot(0, page, [page] { page->deleteLater(); });
        QCOMPARE(list.playVideo(page, QRect(0, 0, 640, 480), -1, -1, -1, -1, movie, PlayNormal), 0);
        QCOMPARE(list.count(), 0);
    }

    // Run-mode clicks on an animation, a cartoon or a video reach the page beneath, at
    // the page's own coordinates, so the buttons under them still work.
    void clicksReachThePage()
    {
        QTemporaryDir dir;
        const QString cartoon = writeCartoon(dir, "walk.car", pngBytes(makeStrip(3, 40, 40)), 3);
        ClickPage page;
        page.resize(640, 480);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        MediaList list;
        const QRect area(0, 0, 640, 480);
        QVERIFY(list.playCartoon(&page, area, 300, 300, 300, 300, cartoon, 1, 20, PlayLoop) > 0);
        QVector<QPoint> expected {QPoint(300, 300)};
        if (haveTestData()) {
            QVERIFY(list.playFlic(&page, area, 10, 10, 100, 100, testData("flic/intro.fli"), 0, PlayLoop) > 0);
            expected.append(QPoint(50, 50));
        }
        const QString movie = makeMovie(mDir);
        if (!movie.isEmpty()) {
            QVERIFY(list.playVideo(&page, area, 400, 10, 200, 100, movie, PlayLoop) > 0);
            expected.append(QPoint(500, 60));
        }
        QTRY_VERIFY(page.findChild<CartoonPlayer *>()->stepsShown() > 0);
        for (const QPoint &at : expected) {
            // Something plays there.
            const QList<QWidget *> players = page.findChildren<QWidget *>();
            QVERIFY(std::any_of(players.begin(), players.end(),
                                [at](QWidget *w) { return w->isVisible() && w->geometry().contains(at); }));
            QTest::mouseMove(page.windowHandle(), at);
            QTest::mouseClick(page.windowHandle(), Qt::LeftButton, {}, at);
        }
        QCOMPARE(page.presses, expected);
        QCOMPARE(page.releases, expected);
        for (const QPoint &at : expected)
            QVERIFY2(page.moves.contains(at), qPrintable(QString("no move at %1,%2").arg(at.x()).arg(at.y())));
        list.stopAll();
    }

    void destinationRules_data()
    {
        QTest::addColumn<QRect>("expected");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("width");
        QTest::newRow("centred at natural size") << QRect(10 + 160 - 60, 20 + 100 - 50, 121, 100) << -1 << -1;
        QTest::newRow("placed and sized") << QRect(15, 20 + 100 - 50, 30, 100) << 5 << 30;
    }

    void destinationRules()
    {
        QFETCH(QRect, expected);
        QFETCH(int, left);
        QFETCH(int, width);
        QCOMPARE(FlicPlayer::destination(QRect(10, 20, 320, 200), left, -1, width, -1, QSize(121, 100)), expected);
    }
};

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    TestPlayback test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_playback.moc"
