// Decoding every frame of the third-party flics against ffmpeg's flic decoder, the
// frame-time jitter of paced playback against a plain timer, and peak memory.
#include "benchreport.h"
#include "flicdecoder.h"
#include "framepacer.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTextStream>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

using namespace vardeko;

using vardeko::bench::reportFigure;

namespace {

constexpr int Passes = 200;

QTextStream &out()
{
    static QTextStream s(stdout);
    return s;
}


double cpuMs(int who)
{
    rusage u {};
    getrusage(who, &u);
    return (double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3)
            + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

long peakKb(int who)
{
    rusage u {};
    getrusage(who, &u);
    return u.ru_maxrss;
}

QString testDataDir()
{
    const QString env = qEnvironmentVariable("VARDEKO_TESTDATA_DIR");
    if (!env.isEmpty())
        return env;
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/../../../../shared/testdata");
    return QDir(beside).exists() ? QDir(beside).absolutePath() : QString();
}

// The planes ffmpeg decodes, one per frame (its ring frame included), compared with ours.
bool samePlanes(const QString &ffmpeg, const QString &file)
{
    FlicDecoder d;
    if (!d.openFile(file, nullptr))
        return false;
    QProcess p;
    p.start(ffmpeg, {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"), file,
                     QStringLiteral("-f"), QStringLiteral("rawvideo"), QStringLiteral("-pix_fmt"),
                     QStringLiteral("pal8"), QStringLiteral("-")});
    p.waitForFinished(-1);
    const QByteArray raw = p.readAllStandardOutput();
    const qsizetype plane = qsizetype(d.plane().size());
    const qsizetype stride = plane + 1024; // each frame is followed by its palette
    qsizetype at = 0;
    while (d.decodeNext()) {
        if (at + plane > raw.size()
            || QByteArrayView(raw.constData() + at, plane)
                    != QByteArrayView(reinterpret_cast<const char *>(d.plane().data()), plane))
            return false;
        at += stride;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString dir = testDataDir();
    if (dir.isEmpty()) {
        out() << "no third-party flics: set VARDEKO_TESTDATA_DIR" << Qt::endl;
        return 1;
    }
    const QStringList files = {QStringLiteral("flic/intro.fli"), QStringLiteral("flic/a.fli"),
                               QStringLiteral("flic/2422.flc"), QStringLiteral("flic/test.fli")};
    const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));

    // Decoding: every frame of every file, 200 passes, our decoder in this process.
    double oursMs = 0;
    long frames = 0;
    for (const QString &name : files) {
        FlicDecoder d;
        if (!d.openFile(dir + u'/' + name, nullptr)) {
            out() << name << ": cannot be read" << Qt::endl;
            return 1;
        }
        const double start = cpuMs(RUSAGE_SELF);
        for (int pass = 0; pass < Passes; ++pass) {
            d.rewind();
            while (d.decodeNext())
                ++frames;
        }
        oursMs += cpuMs(RUSAGE_SELF) - start;
    }
    const long oursPeak = peakKb(RUSAGE_SELF);

    if (ffmpeg.isEmpty()) {
        out() << "decoding every frame of the test flics x" << Passes << ": " << oursMs
              << " ms (" << frames << " frames); no ffmpeg for the anchor" << Qt::endl;
    } else {
        double anchorMs = 0;
        for (const QString &name : files) {
            const double start = cpuMs(RUSAGE_CHILDREN);
            QProcess p;
            p.start(ffmpeg, {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-stream_loop"),
                             QString::number(Passes - 1), QStringLiteral("-i"), dir + u'/' + name,
                             QStringLiteral("-f"), QStringLiteral("null"), QStringLiteral("-")});
            p.waitForFinished(-1);
            anchorMs += cpuMs(RUSAGE_CHILDREN) - start;
        }
        reportFigure(QStringLiteral("decoding every frame of the test flics x200"), oursMs, QStringLiteral("ms"),
               QStringLiteral("ffmpeg -stream_loop 199 -f null"), anchorMs);
        reportFigure(QStringLiteral("peak memory"), double(oursPeak) / 1024.0, QStringLiteral("MiB"),
               QStringLiteral("ffmpeg"), double(peakKb(RUSAGE_CHILDREN)) / 1024.0);
        bool identical = true;
        for (const QString &name : files)
            identical = samePlanes(ffmpeg, dir + u'/' + name) && identical;
        out() << "index planes identical to ffmpeg's: " << (identical ? "yes" : "no") << Qt::endl;
    }

    // Playback pacing: intro.fli decoded and paced at its delay, against a timer that only
    // sleeps until each due time. Jitter is how late each frame is shown.
    FlicDecoder intro;
    intro.openFile(dir + QStringLiteral("/flic/intro.fli"), nullptr);
    const int delay = intro.header().delayMs;
    const auto percentile95 = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v.empty() ? 0.0 : v[size_t(double(v.size() - 1) * 0.95)];
    };
    std::vector<double> ours, anchor;
    FramePacer pacer;
    pacer.start();
    for (int pass = 0; pass < 2; ++pass) {
        intro.rewind();
        while (intro.decodeNext()) {
            pacer.waitNext(delay);
            ours.push_back(std::chrono::duration<double, std::milli>(FramePacer::Clock::now() - pacer.due()).count());
        }
    }
    auto due = std::chrono::steady_clock::now();
    for (size_t i = 0; i < ours.size(); ++i) {
        due += std::chrono::milliseconds(delay);
        std::this_thread::sleep_until(due);
        anchor.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - due).count());
    }
    reportFigure(QStringLiteral("intro.fli frame-time jitter p95"), percentile95(ours), QStringLiteral("ms"),
           QStringLiteral("sleep_until at the same interval"), percentile95(anchor));
    return 0;
}
