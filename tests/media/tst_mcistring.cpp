// MCI command strings: parsing and the emulation's codes and replies.
#include "mcistring.h"
#include "tonewave.h"

#include "testsupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace vardeko;

namespace {

// A one-second 8 kHz mono wave.
QByteArray wave()
{
    QByteArray w("RIFF\0\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x40\x1F\0\0\x40\x1F\0\0\x01\0\x08\0data\x40\x1F\0\0", 44);
    return w + QByteArray(8000, '\x80');
}

} // namespace

class TestMciString : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QFile f(dir.filePath(QStringLiteral("one.wav")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(wave());
        QFile m(dir.filePath(QStringLiteral("tune.mid")));
        QVERIFY(m.open(QIODevice::WriteOnly));
        m.write("MThd");
    }

    void parsing_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("verb");
        QTest::addColumn<QString>("device");
        QTest::addColumn<QStringList>("args");
        QTest::newRow("quoted file with spaces") << "OPEN \"my file.wav\" alias A wait" << 0 << "open"
                                                 << "my file.wav" << QStringList {"alias", "A"};
        QTest::newRow("empty") << "   " << int(MciMissingCommandString) << "" << "" << QStringList();
        QTest::newRow("open quote") << "open \"x.wav" << int(MciNoClosingQuote) << "" << "" << QStringList();
        QTest::newRow("no device") << "play" << int(MciMissingDeviceName) << "" << "" << QStringList();
        QTest::newRow("unknown word before a missing device") << "fly" << int(MciUnrecognizedCommand) << "" << "" << QStringList();
        QTest::newRow("twice wait") << "play a wait wait" << int(MciDuplicateFlags) << "" << "" << QStringList();
    }

    void parsing()
    {
        QFETCH(QString, text);
        QFETCH(int, code);
        MciCommandLine line;
        QCOMPARE(parseMciCommand(text, &line), code);
        if (code == 0) {
            QTEST(line.verb, "verb");
            QTEST(line.device, "device");
            QTEST(line.args, "args");
            QVERIFY(line.wait);
        }
    }

    // A session of commands, each with the code and return text the script sees.
    void session_data()
    {
        QTest::addColumn<QStringList>("commands");
        QTest::addColumn<QStringList>("replies"); // "CODE RETURN"
        const QString wav = dir.filePath(QStringLiteral("one.wav"));
        QTest::newRow("open, query, play, close")
                << QStringList {"open \"" + wav + "\" alias snd", "status snd length", "status SND mode",
                                "play snd wait", "status snd position", "capability snd has video",
                                "close snd", "status snd mode"}
                << QStringList {"0 1", "0 1000", "0 stopped", "0 ", "0 1000", "0 false", "0 ", "263 "};
        QTest::newRow("aliases are unique")
                << QStringList {"open \"" + wav + "\" alias a", "open \"" + wav + "\" alias A", "open \"" + wav + "\"",
                                "open \"" + wav + "\"", "close all", "sysinfo all quantity open"}
                << QStringList {"0 1", "289 ", "0 2", "265 ", "0 ", "0 0"};
        QTest::newRow("errors")
                << QStringList {"fly snd", "open nothere.wav", "open \"" + dir.filePath(QStringLiteral("x.xyz")) + "\"",
                                "play all", "open \"" + wav + "\" alias w", "seek w to 5000", "seek w to end",
                                "set w time format frames", "set w time format ms", "play w from x",
                                "status w", "status w colour", "where w destination", "open new type waveaudio",
                                "open \"" + wav + "\" type vcr alias v"}
                << QStringList {"261 ", "275 ", "281 ", "279 ", "0 1", "282 ", "0 ", "293 ", "0 ", "270 ",
                                "273 ", "259 ", "274 ", "299 ", "263 "};
        QTest::newRow("auto-open plays and closes")
                << QStringList {"play \"" + wav + "\" wait", "sysinfo all quantity open", "play \"" + wav + "\" notify"}
                << QStringList {"0 ", "0 0", "300 "};
        QTest::newRow("a file that is not a wave")
                << QStringList {"open \"" + dir.filePath(QStringLiteral("tune.mid")) + "\" type waveaudio"}
                << QStringList {"296 "};
    }

    void session()
    {
        QFETCH(QStringList, commands);
        QFETCH(QStringList, replies);
        SilentMciBackend backend;
        MciEmulator mci(&backend);
        for (int i = 0; i < commands.size(); ++i) {
            const MciReply r = mci.send(commands.at(i));
            QCOMPARE(QString::number(r.code) + u' ' + r.text, replies.at(i));
            if (r.code)
                QVERIFY2(!mciErrorText(r.code).isEmpty(), qPrintable(commands.at(i)));
        }
    }

    // Speaker tones: 150 ms of square wave, half periods alternating high and low.
    void squareWaves()
    {
        const QByteArray wave = squareWave(100, 150);
        QCOMPARE(wave.size(), ToneSampleRate * 150 / 1000);
        const int half = ToneSampleRate / 200; // samples in half a period of 100 Hz
        QCOMPARE(quint8(wave[0]), quint8(0xC0));
        QCOMPARE(quint8(wave[half - 1]), quint8(0xC0));
        QCOMPARE(quint8(wave[half + 1]), quint8(0x40));
        QCOMPARE(wave.count(char(0xC0)) / 100, wave.count(char(0x40)) / 100);
        QCOMPARE(squareWave(0, 10), QByteArray(ToneSampleRate / 100, char(0x80)));
    }

private:
    QTemporaryDir dir;
};

VARDEKO_REGISTER_TEST(TestMciString);
#include "tst_mcistring.moc"
