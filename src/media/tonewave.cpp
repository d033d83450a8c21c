// Tone waves: the square wave a speaker tone plays.
#include "tonewave.h"

#include <algorithm>

namespace vardeko {

QByteArray squareWave(int hertz, int milliseconds)
{
    const qsizetype count = qsizetype(ToneSampleRate) * std::max(milliseconds, 0) / 1000;
    QByteArray wave(count, char(0x80));
    if (hertz <= 0)
        return wave;
    for (qsizetype i = 0; i < count; ++i) {
        // The phase in half periods: even halves high, odd halves low.
        const qint64 half = qint64(i) * 2 * hertz / ToneSampleRate;
        wave[i] = char((half & 1) ? 0x40 : 0xC0);
    }
    return wave;
}

} // namespace vardeko
