// The media list with animations: passes, stop rules, ends by unique id.
#include "flicplayer.h"
#include "medialist.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

using namespace vardeko;

namespace {

QString testData(const QString &name)
{
    return QString::fromLocal8Bit(qgetenv("VARDEKO_TESTDATA")) + QLatin1Char('/') + name;
}

} // namespace

class TestPlayback : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        if (qEnvironmentVariableIsEmpty("VARDEKO_TESTDATA"))
            QSKIP("no third-party files (VARDEKO_TESTDATA_DIR)");
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
