// MIDI files: RIFF RMID unwrapping and how long a file plays.
#include "midifile.h"

#include "testsupport.h"

#include <QFile>
#include <QTest>

using namespace vardeko;

namespace {

QString testData(const QString &name)
{
    return QString::fromLocal8Bit(qgetenv("VARDEKO_TESTDATA")) + QLatin1Char('/') + name;
}

QByteArray be(quint32 v, int bytes)
{
    QByteArray out;
    for (int i = bytes - 1; i >= 0; --i)
        out.append(char((v >> (8 * i)) & 0xFF));
    return out;
}

QByteArray le32(quint32 v)
{
    QByteArray out;
    for (int i = 0; i < 4; ++i)
        out.append(char((v >> (8 * i)) & 0xFF));
    return out;
}

QByteArray varLen(quint32 v)
{
    QByteArray out(1, char(v & 0x7F));
    while (v >>= 7)
        out.prepend(char(0x80 | (v & 0x7F)));
    return out;
}

QByteArray smf(int format, int division, const QList<QByteArray> &tracks)
{
    QByteArray out = "MThd" + be(6, 4) + be(quint32(format), 2) + be(quint32(tracks.size()), 2)
        + be(quint32(division) & 0xFFFF, 2);
    for (const QByteArray &t : tracks)
        out += "MTrk" + be(quint32(t.size()), 4) + t;
    return out;
}

QByteArray noteOn(quint32 delta) { return varLen(delta) + QByteArray("\x90\x3C\x40", 3); }
QByteArray noteOff(quint32 delta) { return varLen(delta) + QByteArray("\x80\x3C\x00", 3); }
QByteArray runningOff(quint32 delta) { return varLen(delta) + QByteArray("\x3C\x00", 2); }
QByteArray tempo(quint32 delta, quint32 us) { return varLen(delta) + QByteArray("\xFF\x51\x03", 3) + be(us, 3); }
QByteArray endOfTrack(quint32 delta) { return varLen(delta) + QByteArray("\xFF\x2F\x00", 3); }

QByteArray riff(const QList<QPair<QByteArray, QByteArray>> &chunks)
{
    QByteArray body = "RMID";
    for (const auto &[id, data] : chunks) {
        body += id + le32(quint32(data.size())) + data;
        if (data.size() & 1)
            body += '\0';
    }
    return "RIFF" + le32(quint32(body.size())) + body;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestMidiFile : public QObject
{
    Q_OBJECT

private slots:
    void timing_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<qint64>("lastTick");
        QTest::addColumn<qint64>("durationMs");
        // 96 ticks a quarter at the default 120 beats a minute: 96 ticks = 500 ms.
        QTest::newRow("default tempo") << smf(0, 96, {noteOn(0) + noteOff(96) + endOfTrack(0)}) << qint64(96)
                                       << qint64(500);
        QTest::newRow("tempo change halfway")
                << smf(0, 96, {noteOn(0) + tempo(96, 250000) + noteOff(192) + endOfTrack(0)}) << qint64(288)
                << qint64(1000);
        // The conductor track's tempo governs the other tracks' events.
        QTest::newRow("format 1, tempo on its own track")
                << smf(1, 480, {tempo(0, 1000000) + tempo(480, 500000) + endOfTrack(0),
                                noteOn(0) + noteOff(960) + endOfTrack(0)})
                << qint64(960) << qint64(1500);
        QTest::newRow("end of track counts its delay")
                << smf(0, 100, {noteOn(0) + noteOff(100) + endOfTrack(100)}) << qint64(200) << qint64(1000);
        QTest::newRow("running status") << smf(0, 96, {noteOn(0) + runningOff(48) + runningOff(48) + endOfTrack(0)})
                                        << qint64(96) << qint64(500);
        // 25 frames a second, 40 ticks a frame: 1000 ticks a second, tempo ignored.
        QTest::newRow("SMPTE time") << smf(0, (quint8(-25) << 8) | 40,
                                           {tempo(0, 250000) + noteOn(0) + noteOff(1500) + endOfTrack(0)})
                                    << qint64(1500) << qint64(1500);
        QTest::newRow("format 2 plays tracks in turn")
                << smf(2, 96, {noteOn(0) + noteOff(96) + endOfTrack(0), tempo(0, 250000) + noteOff(192) + endOfTrack(0)})
                << qint64(288) << qint64(1000);
        QByteArray cut = smf(0, 96, {noteOn(0) + noteOff(96) + noteOn(96) + endOfTrack(0)});
        cut.chop(5); // inside the second note-on
        QTest::newRow("track cut short") << cut << qint64(96) << qint64(500);
        QTest::newRow("no tracks") << smf(0, 96, {}) << qint64(0) << qint64(0);
    }

    void timing()
    {
        QFETCH(QByteArray, file);
        QFETCH(qint64, lastTick);
        QFETCH(qint64, durationMs);
        MidiTiming t;
        QString error;
        QVERIFY2(readMidiTiming(file, &t, &error), qPrintable(error));
        QCOMPARE(t.lastTick, lastTick);
        QCOMPARE(t.durationMs, durationMs);
    }

    void refused_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("not MIDI") << QByteArray("RIFF\x04\0\0\0WAVE", 12);
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("header cut") << QByteArray("MThd\0\0\0\x06\0\0", 10);
        QTest::newRow("header longer than the file") << QByteArray("MThd\0\0\xFF\xFF\0\0\0\x01\0\x60", 14);
        QTest::newRow("division 0") << smf(0, 0, {endOfTrack(0)});
        QTest::newRow("unknown format") << smf(7, 96, {endOfTrack(0)});
    }

    void refused()
    {
        QFETCH(QByteArray, file);
        MidiTiming t;
        QString error;
        QVERIFY(!readMidiTiming(file, &t, &error));
        QVERIFY(!error.isEmpty());
    }

    // The real files play as long as their events and tempo say.
    void realFiles_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("tracks");
        QTest::newRow("1424.mid") << "midi/1424.mid" << 1;
        QTest::newRow("intro.mid") << "midi/intro.mid" << 11;
        QTest::newRow("title.mid") << "midi/title.mid" << 26;
    }

    void realFiles()
    {
        if (qEnvironmentVariableIsEmpty("VARDEKO_TESTDATA"))
            QSKIP("no third-party files (VARDEKO_TESTDATA_DIR)");
        QFETCH(QString, name);
        QFETCH(int, tracks);
        const QByteArray bytes = readAll(testData(name));
        QVERIFY(looksLikeMidi(bytes));
        MidiTiming t;
        QString error;
        QVERIFY2(readMidiTiming(bytes, &t, &error), qPrintable(error));
        QCOMPARE(t.tracks, tracks);
        QVERIFY(t.durationMs > 0);
        // Wrapped as an RMID file it unwraps to the very same bytes.
        QByteArray inner;
        QVERIFY2(unwrapRmid(riff({{"data", bytes}}), &inner, &error), qPrintable(error));
        QCOMPARE(inner, bytes);
    }

    void unwrap_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("expected"); // empty: refused
        const QByteArray music = smf(0, 96, {noteOn(0) + noteOff(96) + endOfTrack(0)});
        QTest::newRow("plain SMF unchanged") << music << music;
        QTest::newRow("data chunk alone") << riff({{"data", music}}) << music;
        // An odd-sized chunk before the data is padded to an even size.
        QTest::newRow("after an odd-sized chunk") << riff({{"DISP", "abcde"}, {"data", music}}) << music;
        QTest::newRow("after an info list") << riff({{"LIST", "INFOINAM\x04\0\0\0Tune"}, {"data", music}}) << music;
        QByteArray cut = riff({{"data", music}});
        cut.chop(4);
        QTest::newRow("data cut short gives what is there") << cut << music.left(music.size() - 4);
        QTest::newRow("no data chunk") << riff({{"DISP", "abcd"}}) << QByteArray();
        QTest::newRow("data not MIDI") << riff({{"data", "MTrkxxxx"}}) << QByteArray();
        QTest::newRow("a WAVE file") << QByteArray("RIFF\x04\0\0\0WAVEfmt ", 16) << QByteArray();
        QByteArray huge = riff({{"DISP", "abcd"}, {"data", music}});
        huge.replace(16, 4, le32(0xFFFFFFF0u));
        QTest::newRow("chunk size past the end") << huge << QByteArray();
    }

    void unwrap()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, expected);
        QByteArray inner;
        QString error;
        const bool ok = unwrapRmid(file, &inner, &error);
        QCOMPARE(ok, !expected.isEmpty());
        if (ok)
            QCOMPARE(inner, expected);
        else
            QVERIFY(!error.isEmpty());
    }
};

VARDEKO_REGISTER_TEST(TestMidiFile);

#include "tst_midifile.moc"
