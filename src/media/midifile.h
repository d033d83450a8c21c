// MIDI files: standard MIDI files (.MID) and their RIFF wrapping (.RMI), and how long
// they play.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace vardeko {

// True when the bytes begin like a standard MIDI file or a RIFF "RMID" file.
bool looksLikeMidi(QByteArrayView bytes);

// The standard MIDI file inside `bytes`: the "data" chunk of a RIFF "RMID" file, or the
// bytes themselves when they already are one. A chunk that claims more than the file
// holds gives what is there. False with a reason when no MIDI data is found.
bool unwrapRmid(QByteArrayView bytes, QByteArray *smf, QString *error);

struct MidiTiming
{
    int format = 0;
    int tracks = 0;
    int division = 0;       // ticks a quarter note, or the raw SMPTE word when negative
    qint64 lastTick = 0;    // the latest event of any track (formats 0 and 1)
    qint64 durationMs = 0;  // from the start to the last event, tempo changes applied
};

// Reads the header and walks every track for its events and tempo changes. False with a
// reason for data that is not a standard MIDI file or ends inside its header; a track
// cut short counts up to where it ends.
bool readMidiTiming(QByteArrayView smf, MidiTiming *timing, QString *error);

} // namespace vardeko
