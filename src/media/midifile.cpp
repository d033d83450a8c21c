// MIDI files: standard MIDI files (.MID) and their RIFF wrapping (.RMI), and how long
// they play.
#include "midifile.h"

#include <algorithm>
#include <vector>

namespace vardeko {

namespace {

constexpr int DefaultTempo = 500000; // microseconds a quarter note: 120 beats a minute

quint32 be32(const uchar *p) { return (quint32(p[0]) << 24) | (quint32(p[1]) << 16) | (quint32(p[2]) << 8) | p[3]; }
quint16 be16(const uchar *p) { return quint16((p[0] << 8) | p[1]); }
quint32 le32(const uchar *p) { return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24); }

bool fail(QString *error, const char *text)
{
    if (error)
        *error = QString::fromLatin1(text);
    return false;
}

struct Tempo
{
    qint64 tick;
    int usPerQuarter;
};

struct Track
{
    qint64 lastTick = 0;
    std::vector<Tempo> tempos;
};

// A variable-length quantity of at most four bytes; false when the data ends inside it.
bool readVarLen(const uchar *&p, const uchar *end, quint32 *value)
{
    quint32 v = 0;
    for (int i = 0; i < 4; ++i) {
        if (p >= end)
            return false;
        const uchar b = *p++;
        v = (v << 7) | (b & 0x7F);
        if (!(b & 0x80)) {
            *value = v;
            return true;
        }
    }
    *value = v; // a fifth continuation byte is not allowed; take what was read
    return true;
}

// Walks one track's events. The last tick is that of the last event wholly present.
Track readTrack(const uchar *p, const uchar *end)
{
    Track track;
    qint64 tick = 0;
    uchar running = 0;
    while (p < end) {
        quint32 delta = 0;
        if (!readVarLen(p, end, &delta) || p >= end)
            break;
        const qint64 at = tick + delta;
        uchar status = *p;
        if (status & 0x80) {
            ++p;
            if (status < 0xF0)
                running = status;
        } else if (running) {
            status = running; // running status: the data byte begins the message
        } else {
            break;
        }
        if (status == 0xFF) {
            if (p >= end)
                break;
            const uchar type = *p++;
            quint32 length = 0;
            if (!readVarLen(p, end, &length) || length > quint32(end - p))
                break;
            if (type == 0x51 && length >= 3)
                track.tempos.push_back({at, int((p[0] << 16) | (p[1] << 8) | p[2])});
            p += length;
            tick = track.lastTick = at;
            if (type == 0x2F)
                break; // end of track
        } else if (status == 0xF0 || status == 0xF7) {
            quint32 length = 0;
            if (!readVarLen(p, end, &length) || length > quint32(end - p))
                break;
            p += length;
            tick = track.lastTick = at;
        } else if (status < 0xF0) {
            const int high = status & 0xF0;
            const int bytes = high == 0xC0 || high == 0xD0 ? 1 : 2;
            if (bytes > end - p)
                break;
            p += bytes;
            tick = track.lastTick = at;
        } else {
            break; // system messages other than sysex have no place in a file
        }
    }
    return track;
}

// Microseconds from tick 0 to `tick` under the tempo changes (sorted by tick).
double microsecondsAt(qint64 tick, const std::vector<Tempo> &tempos, int division)
{
    double us = 0;
    qint64 from = 0;
    int tempo = DefaultTempo;
    for (const Tempo &t : tempos) {
        if (t.tick >= tick)
            break;
        us += double(t.tick - from) * tempo / division;
        from = t.tick;
        tempo = t.usPerQuarter;
    }
    return us + double(tick - from) * tempo / division;
}

} // namespace

bool looksLikeMidi(QByteArrayView bytes)
{
    return bytes.startsWith("MThd") || (bytes.size() >= 12 && bytes.startsWith("RIFF") && bytes.sliced(8, 4) == "RMID");
}

bool unwrapRmid(QByteArrayView bytes, QByteArray *smf, QString *error)
{
    if (bytes.startsWith("MThd")) {
        *smf = bytes.toByteArray();
        return true;
    }
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.sliced(8, 4) != "RMID")
        return fail(error, "The file is not a MIDI file.");
    const auto *data = reinterpret_cast<const uchar *>(bytes.data());
    // The RIFF size may claim more or less than there is: the file's own end counts.
    qsizetype pos = 12;
    while (pos + 8 <= bytes.size()) {
        const quint32 size = le32(data + pos + 4);
        const qsizetype start = pos + 8;
        const qsizetype length = std::min<qsizetype>(size, bytes.size() - start);
        if (bytes.sliced(pos, 4) == "data") {
            if (!bytes.sliced(start, length).startsWith("MThd"))
                return fail(error, "The MIDI file's data is not a standard MIDI file.");
            *smf = bytes.sliced(start, length).toByteArray();
            return true;
        }
        pos = start + qsizetype(size) + (size & 1); // chunks are padded to even sizes
        if (qsizetype(size) > bytes.size())
            break;
    }
    return fail(error, "The MIDI file holds no MIDI data.");
}

bool readMidiTiming(QByteArrayView smf, MidiTiming *timing, QString *error)
{
    const auto *data = reinterpret_cast<const uchar *>(smf.data());
    if (smf.size() < 14 || !smf.startsWith("MThd"))
        return fail(error, "The file is not a standard MIDI file.");
    const quint32 headerLength = be32(data + 4);
    if (headerLength < 6 || headerLength > quint32(smf.size() - 8))
        return fail(error, "The MIDI file's header is damaged.");
    MidiTiming t;
    t.format = be16(data + 8);
    t.tracks = be16(data + 10);
    t.division = qint16(be16(data + 12));
    if (t.division == 0 || t.format > 2)
        return fail(error, "The MIDI file's header is damaged.");

    std::vector<Track> tracks;
    qsizetype pos = 8 + qsizetype(headerLength);
    while (pos + 8 <= smf.size() && int(tracks.size()) < t.tracks) {
        const quint32 length = be32(data + pos + 4);
        const qsizetype start = pos + 8;
        const qsizetype end = start + std::min<qsizetype>(length, smf.size() - start);
        if (smf.sliced(pos, 4) == "MTrk")
            tracks.push_back(readTrack(data + start, data + end));
        pos = end;
    }

    double us = 0;
    if (t.division < 0) {
        // SMPTE time: frames a second (29 stands for 29.97) times ticks a frame.
        const int fps = -qint8(t.division >> 8);
        const int perFrame = t.division & 0xFF;
        const double rate = (fps == 29 ? 29.97 : fps) * perFrame;
        for (const Track &track : tracks)
            t.lastTick = std::max(t.lastTick, track.lastTick);
        us = rate > 0 ? t.lastTick * 1e6 / rate : 0;
    } else if (t.format == 2) {
        // Independent sequences play one after the other, each with its own tempo.
        for (const Track &track : tracks) {
            us += microsecondsAt(track.lastTick, track.tempos, t.division);
            t.lastTick += track.lastTick;
        }
    } else {
        std::vector<Tempo> tempos;
        for (const Track &track : tracks) {
            t.lastTick = std::max(t.lastTick, track.lastTick);
            tempos.insert(tempos.end(), track.tempos.begin(), track.tempos.end());
        }
        std::stable_sort(tempos.begin(), tempos.end(), [](const Tempo &a, const Tempo &b) { return a.tick < b.tick; });
        us = microsecondsAt(t.lastTick, tempos, t.division);
    }
    t.durationMs = qint64(us / 1000.0 + 0.5);
    *timing = t;
    return true;
}

} // namespace vardeko
