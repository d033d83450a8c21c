// Tests of the scrolling-message files.
#include "testsupport.h"

#include "scrollingmessage.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

using namespace vardeko;

namespace {

// The columns (or rows) where the message's colour shows.
QRect inked(const QImage &image, QColor ink)
{
    QRect r;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (QColor(image.pixel(x, y)) == ink)
                r |= QRect(x, y, 1, 1);
    return r;
}

QImage frame(const ScrollingMessage &m, qint64 tick, QSize size = QSize(200, 40))
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    paintScrollingMessage(painter, image.rect(), m, tick);
    return image;
}

} // namespace

class TestScrollingMessage : public QObject
{
    Q_OBJECT

private slots:
    void scmTags()
    {
        const ScrollingMessage m = parseScm(
                QStringLiteral("/fc|65280/fh|-20/fn|Arial/ft|1100/bc|16711680/sp|3/sm|Hello there/eo|"));
        QCOMPARE(m.fontColor, QColor(0, 255, 0));
        QCOMPARE(m.background, QColor(0, 0, 255)); // red in the low byte
        QCOMPARE(m.fontHeight, -20);
        QCOMPARE(m.fontName, QStringLiteral("Arial"));
        QCOMPARE(m.speed, 3);
        QCOMPARE(m.messages, QStringList{QStringLiteral("Hello there")});
        QVERIFY(m.font().bold() && m.font().italic() && !m.font().underline());
        QVERIFY(!m.upwards);
    }

    void scmDefaults_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("speed");
        QTest::newRow("empty") << "" << " Invallid message format ! " << 1;
        QTest::newRow("message without its end tag") << "/sp|5/sm|Hi there" << " Invallid message format ! " << 5;
        QTest::newRow("last value without a following tag") << "/sm|Hi/eo|/sp|7" << "Hi" << 1;
        QTest::newRow("not a number") << "/sp|fast/sm|x/eo|" << "x" << 1;
    }
    void scmDefaults()
    {
        QFETCH(QString, text);
        const ScrollingMessage m = parseScm(text);
        QTEST(m.messages.first(), "message");
        QTEST(m.speed, "speed");
        QCOMPARE(m.fontColor, QColor(255, 0, 0));
        QCOMPARE(m.background, QColor(128, 0, 0));
        QCOMPARE(m.fontName, QStringLiteral("SYSTEM"));
    }

    void cmsLines()
    {
        const ScrollingMessage m =
                parseCms(QStringLiteral("255\r\n-16\r\nArial\r\n0\r\n0010\r\n0\r\n2\r\nFirst\r\nSecond\r\n"));
        QVERIFY(m.upwards);
        QCOMPARE(m.messages, (QStringList{QStringLiteral("First"), QStringLiteral("Second")}));
        QCOMPARE(m.speed, 2);
        QVERIFY(m.font().underline() && !m.font().bold());
        QCOMPARE(m.background, QColor(0, 0, 0));
    }

    void missingFileShowsNothing()
    {
        ScrollingMessage m;
        QVERIFY(!readScrollingMessage(QStringLiteral("/nonexistent/x.scm"), &m));
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("A.CMS")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("255\n-13\nArial\n0\n0000\n0\n0\nOnly\n");
        file.close();
        QVERIFY(readScrollingMessage(file.fileName(), &m));
        QVERIFY(m.upwards);
        QCOMPARE(m.messages.first(), QStringLiteral("Only"));
    }

    // The line enters at the right edge, one pixel every speed + 1 ticks, and comes round again.
    void movesLeft()
    {
        ScrollingMessage m = parseScm(QStringLiteral("/fc|16777215/bc|0/sp|1/fn|DejaVu Sans/sm|WWWW/eo|"));
        const QColor white(255, 255, 255);
        QVERIFY(inked(frame(m, 0), white).isEmpty()); // still beyond the right edge
        const QRect after20 = inked(frame(m, 40), white); // 20 pixels in
        QVERIFY(!after20.isEmpty());
        QVERIFY(after20.left() >= 180 - 2 && after20.left() <= 182);
        const QRect after60 = inked(frame(m, 120), white);
        QCOMPARE(after60.left(), after20.left() - 40);
        QCOMPARE(qAbs(after20.center().y() - 20) <= 2, true); // vertically centred
        // Once gone past the left edge it starts again from the right.
        const QFontMetrics metrics(m.font());
        const qint64 cycle = 200 + metrics.horizontalAdvance(QStringLiteral("WWWW"));
        QCOMPARE(inked(frame(m, 2 * (cycle + 20)), white), after20);
    }

    void movesUpOneAfterAnother()
    {
        ScrollingMessage m = parseCms(QStringLiteral("16777215\n-13\nDejaVu Sans\n0\n0000\n0\n0\nA\nB\n"));
        const QColor white(255, 255, 255);
        const QSize size(60, 50);
        const QRect early = inked(frame(m, 10, size), white);
        const QRect later = inked(frame(m, 20, size), white);
        QVERIFY(!early.isEmpty());
        QCOMPARE(later.top(), early.top() - 10);
        const int cycle = 50 + QFontMetrics(m.font()).height();
        // The second message follows the first, then the first comes back.
        const QImage second = frame(m, cycle + 20, size);
        QCOMPARE(inked(second, white).top(), later.top());
        QVERIFY(second != frame(m, 20, size));
        QCOMPARE(frame(m, 2 * cycle + 20, size), frame(m, 20, size));
    }
};

VARDEKO_REGISTER_TEST(TestScrollingMessage);

#include "tst_scrollingmessage.moc"
