// Speaker tones: a square wave of 150 ms through the audio output, or a plain wait of
// the same length when no audio device opens, so scripts keep their timing.
#pragma once

#include <QByteArray>

namespace vardeko {

constexpr int ToneMs = 150;

// Sounds `hertz` (taken as its absolute value, at most 32767) and returns after 150 ms,
// letting events arrive meanwhile. False when no audio device played it.
bool playTone(int hertz);

} // namespace vardeko
