// Speaker tones: a square wave of 150 ms through the audio output, or a plain wait of
// the same length when no audio device opens, so scripts keep their timing.
#include "toneplayer.h"

#include "tonewave.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QEventLoop>
#include <QMediaDevices>
#include <QTimer>

#include <cstdlib>

namespace vardeko {

bool playTone(int hertz)
{
    const int frequency = std::min(std::abs(hertz), 32767);
    QEventLoop loop;
    QTimer::singleShot(ToneMs, &loop, &QEventLoop::quit);
    bool played = false;
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    QByteArray samples;
    QBuffer buffer(&samples);
    std::unique_ptr<QAudioSink> sink;
    if (!device.isNull()) {
        QAudioFormat format;
        format.setSampleRate(ToneSampleRate);
        format.setChannelCount(1);
        format.setSampleFormat(QAudioFormat::UInt8);
        samples = squareWave(frequency, ToneMs);
        buffer.open(QIODevice::ReadOnly);
        sink = std::make_unique<QAudioSink>(device, format);
        sink->start(&buffer);
        played = sink->error() == QAudio::NoError;
    }
    loop.exec();
    if (sink)
        sink->stop();
    return played;
}

} // namespace vardeko
