// Tone waves: the square wave a speaker tone plays.
#pragma once

#include <QByteArray>

namespace vardeko {

constexpr int ToneSampleRate = 22050;

// `milliseconds` of an unsigned 8-bit mono square wave at `hertz` (0: silence) and
// ToneSampleRate samples per second.
QByteArray squareWave(int hertz, int milliseconds);

} // namespace vardeko
