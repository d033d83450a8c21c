// Tests of the page transition effects.
#include "testsupport.h"

#include "transition.h"

#include <QImage>
#include <QRandomGenerator>
#include <QTest>

using namespace vardeko;

namespace {

QImage noise(QSize size, quint32 seed)
{
    QImage image(size, QImage::Format_ARGB32);
    QRandomGenerator random(seed);
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<quint32 *>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x)
            line[x] = 0xFF000000u | (random.generate() & 0xFFFFFFu);
    }
    return image;
}

QImage run(const QList<TransitionStep> &steps, QImage frame, const QImage &newPage, QPoint origin,
           int stopAfter = -1)
{
    int done = 0;
    for (const TransitionStep &step : steps) {
        if (done++ == stopAfter)
            break;
        applyTransitionStep(frame, newPage, step, origin);
    }
    return frame;
}

} // namespace

class TestTransition : public QObject
{
    Q_OBJECT

private slots:
    void effectNames_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("effect");
        QTest::newRow("exact") << "Dissolve" << 1;
        QTest::newRow("any case, more text after") << "slide LEFT and then some" << 2;
        QTest::newRow("last name") << "Wipe Down" << 15;
        QTest::newRow("vertical split") << "split vertical" << 11;
        QTest::newRow("part of a name") << "Weave" << 0;
        QTest::newRow("none") << "None" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("leading space") << " Dissolve" << 0;
    }
    void effectNames()
    {
        QFETCH(QString, text);
        QFETCH(int, effect);
        QCOMPARE(effectByName(text), effect);
        if (effect)
            QCOMPARE(effectByName(effectName(effect)), effect);
    }

    // The whole new page is on screen when any effect ends, whatever the page's shape,
    // and no copy reads or writes outside the page.
    void endsOnNewPage_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("origin");
        const QList<QSize> sizes = {{64, 48}, {65, 47}, {13, 301}, {301, 13}, {1, 1}, {9, 9}, {5, 200}, {641, 3}};
        for (QSize size : sizes)
            for (QPoint origin : {QPoint(0, 0), QPoint(3, -5)})
                QTest::addRow("%dx%d at %d,%d", size.width(), size.height(), origin.x(), origin.y())
                        << size << origin;
    }
    void endsOnNewPage()
    {
        QFETCH(QSize, size);
        QFETCH(QPoint, origin);
        const QImage oldPage = noise(size, 1), newPage = noise(size, 2);
        const QRect page(QPoint(0, 0), size);
        for (int effect = 0; effect <= 16; ++effect) {
            for (int speed : {0, 4, 10}) {
                const QList<TransitionStep> steps = transitionSteps(effect, speed, size, origin);
                QVERIFY2(!steps.isEmpty(), qPrintable(QStringLiteral("effect %1").arg(effect)));
                for (const TransitionStep &step : steps)
                    for (const TransitionCopy &copy : step.copies) {
                        QVERIFY(page.contains(copy.source));
                        QVERIFY(page.contains(QRect(copy.target, copy.source.size())));
                    }
                const QImage frame = run(steps, oldPage, newPage, origin);
                QVERIFY2(frame == newPage, qPrintable(QStringLiteral("effect %1 speed %2 differs at %3")
                                                              .arg(effect)
                                                              .arg(speed)
                                                              .arg(compareImages(frame, newPage, 0).firstDifference)));
            }
        }
    }

    void stepsAndWaits_data()
    {
        QTest::addColumn<int>("effect");
        QTest::addColumn<int>("speed");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("steps");
        QTest::addColumn<int>("firstWait");
        QTest::addColumn<int>("nominal");
        QTest::addColumn<QRect>("firstCopy");
        const QSize vga(640, 480);
        QTest::newRow("wipe right fastest: 11-pixel strips, 1 ms")
                << 13 << 0 << vga << 59 << 1 << 59 << QRect(0, 0, 11, 480);
        QTest::newRow("wipe right slowest: 1-pixel strips, 11 ms")
                << 13 << 10 << vga << 640 << 11 << 7040 << QRect(0, 0, 1, 480);
        QTest::newRow("wipe left starts at the right edge")
                << 12 << 1 << vga << 64 << 2 << 128 << QRect(630, 0, 10, 480);
        QTest::newRow("wipe up starts at the bottom") << 14 << 0 << vga << 44 << 1 << 44 << QRect(0, 469, 640, 11);
        QTest::newRow("wipe down") << 15 << 5 << vga << 80 << 6 << 480 << QRect(0, 0, 640, 6);
        QTest::newRow("dissolve fastest: eight stages, no pauses") << 1 << 0 << vga << 8 << 0 << 0 << QRect(0, 0, 640, 480);
        QTest::newRow("dissolve speed 3") << 1 << 3 << vga << 8 << 30 << 240 << QRect(0, 0, 640, 480);
        QTest::newRow("slide left ends with a full copy")
                << 2 << 0 << QSize(140, 50) << 11 << 2 << 20 << QRect(0, 0, 14, 50);
        QTest::newRow("slide right") << 3 << 0 << QSize(140, 50) << 10 << 2 << 20 << QRect(126, 0, 14, 50);
        QTest::newRow("slide up waits one more") << 4 << 1 << QSize(50, 130) << 11 << 4 << 40 << QRect(0, 0, 50, 13);
        QTest::newRow("slide down") << 5 << 1 << QSize(50, 130) << 10 << 3 << 30 << QRect(0, 117, 50, 13);
        QTest::newRow("explode") << 6 << 0 << vga << 18 << 0 << 0 << QRect(302, 226, 36, 28);
        QTest::newRow("implode") << 7 << 2 << vga << 20 << 2 << 40 << QRect(0, 0, 640, 12);
        QTest::newRow("weave horizontal") << 8 << 1 << vga << 64 << 6 << 384 << QRect(0, 0, 10, 10);
        QTest::newRow("weave vertical") << 9 << 1 << vga << 48 << 6 << 288 << QRect(0, 0, 10, 10);
        QTest::newRow("split horizontal") << 10 << 0 << vga << 36 << 0 << 0 << QRect(311, 0, 9, 480);
        QTest::newRow("split horizontal, odd width one short: a last full copy")
                << 10 << 2 << QSize(641, 480) << 41 << 12 << 480 << QRect(312, 0, 8, 480);
        QTest::newRow("split vertical") << 11 << 4 << vga << 24 << 24 << 576 << QRect(0, 230, 640, 10);
        QTest::newRow("speed above 10 is 10") << 13 << 25 << vga << 640 << 11 << 7040 << QRect(0, 0, 1, 480);
        QTest::newRow("negative speed is 0") << 13 << -4 << vga << 59 << 1 << 59 << QRect(0, 0, 11, 480);
        QTest::newRow("no effect: one copy") << 0 << 5 << vga << 1 << 0 << 0 << QRect(0, 0, 640, 480);
        QTest::newRow("unknown effect: one copy") << 16 << 5 << vga << 1 << 0 << 0 << QRect(0, 0, 640, 480);
    }
    void stepsAndWaits()
    {
        QFETCH(int, effect);
        QFETCH(int, speed);
        QFETCH(QSize, size);
        const QList<TransitionStep> steps = transitionSteps(effect, speed, size);
        QTEST(int(steps.size()), "steps");
        QTEST(steps.first().waitMs, "firstWait");
        QTEST(nominalMilliseconds(steps), "nominal");
        QVERIFY(!steps.first().copies.isEmpty());
        QTEST(steps.first().copies.first().source, "firstCopy");
    }

    // A tall narrow page gives Explode and Implode a horizontal step of at least one pixel.
    void explodeOnNarrowPage()
    {
        const QList<TransitionStep> steps = transitionSteps(Explode, 0, QSize(10, 1000));
        QCOMPARE(steps.size(), 36); // 500 rows at 14 per step
        QCOMPARE(steps.first().copies.first().source.width(), 2);
    }

    // The masks are tiled from the work area's origin, not from the page's corner.
    void dissolveMaskTiling()
    {
        const QSize size(16, 16);
        QImage black(size, QImage::Format_ARGB32), white(size, QImage::Format_ARGB32);
        black.fill(0xFF000000u);
        white.fill(0xFFFFFFFFu);
        QList<TransitionStep> steps = transitionSteps(Dissolve, 0, size, QPoint(3, 5));
        QImage frame = run(steps, black, white, QPoint(0, 0), 1);
        // Stage 0's first row is BF: only the second pixel of each eight is taken.
        QCOMPARE(frame.pixel(1, 0), 0xFFFFFFFFu);
        QCOMPARE(frame.pixel(0, 0), 0xFF000000u);
        QCOMPARE(frame.pixel(9, 0), 0xFFFFFFFFu);
        // Shifted by (3, 5) the page's first row uses mask row 5 (DF), whose clear bit is
        // the third: page column 7 is work-area column 10.
        frame = run(steps, black, white, QPoint(3, 5), 1);
        QCOMPARE(frame.pixel(7, 0), 0xFFFFFFFFu);
        QCOMPARE(frame.pixel(1, 0), 0xFF000000u);
        int taken = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                taken += frame.pixel(x, y) == 0xFFFFFFFFu;
        QCOMPARE(taken, 4 * 8); // 8 of every 64 pixels
        frame = run(steps, black, white, QPoint(3, 5), 4);
        taken = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                taken += frame.pixel(x, y) == 0xFFFFFFFFu;
        QCOMPARE(taken, 4 * 32); // by stage 3 half is taken
    }

    // Sliding pushes the old page out while the new one comes in behind it.
    void slideHalfway()
    {
        const QSize size(140, 20);
        const QImage oldPage = noise(size, 3), newPage = noise(size, 4);
        const QImage frame = run(transitionSteps(SlideLeft, 0, size), oldPage, newPage, QPoint(), 5);
        QCOMPARE(frame.copy(70, 0, 70, 20), newPage.copy(0, 0, 70, 20));
        QCOMPARE(frame.copy(0, 0, 70, 20), oldPage.copy(70, 0, 70, 20));
        const QImage down = run(transitionSteps(SlideDown, 0, QSize(20, 140)), noise({20, 140}, 5),
                                noise({20, 140}, 6), QPoint(), 5);
        QCOMPARE(down.copy(0, 0, 20, 70), noise({20, 140}, 6).copy(0, 70, 20, 70));
        QCOMPARE(down.copy(0, 70, 20, 70), noise({20, 140}, 5).copy(0, 0, 20, 70));
    }
};

VARDEKO_REGISTER_TEST(TestTransition);

#include "tst_transition.moc"
