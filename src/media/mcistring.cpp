// MCI command strings: the parser, the error numbers and texts, and the emulation of the
// string commands over a media backend.
#include "mcistring.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace vardeko {

namespace {

struct ErrorText
{
    int code;
    const char *text;
};

constexpr ErrorText ErrorTexts[] = {
    {MciInvalidDeviceId, "The device identifier does not belong to an open device."},
    {MciUnrecognizedKeyword, "A word of the command is not known for this device."},
    {MciUnrecognizedCommand, "The command word is not known."},
    {MciInvalidDeviceName, "No open device has this name or alias, and no device type is called so."},
    {MciDeviceOpen, "This file or alias is open already; open it with a different alias."},
    {MciMissingCommandString, "The command string is empty."},
    {MciMissingStringArgument, "A word that needs a text after it has none."},
    {MciBadInteger, "A number in the command is not a whole number."},
    {MciMissingParameter, "The command needs a word that is missing."},
    {MciUnsupportedFunction, "This device cannot do what the command asks."},
    {MciFileNotFound, "The file to open was not found."},
    {MciDeviceNotReady, "The device is not ready."},
    {MciCannotUseAll, "\"all\" cannot be the device of this command."},
    {MciExtensionNotFound, "No device type plays files with this extension; name one with \"type\"."},
    {MciOutOfRange, "A position lies outside the media."},
    {MciDuplicateAlias, "The alias is in use by another open device."},
    {MciBadConstant, "A value in the command is not one this word accepts."},
    {MciMissingDeviceName, "The command names no device."},
    {MciBadTimeFormat, "The time format is not one this device knows."},
    {MciNoClosingQuote, "A quoted name has no closing quote."},
    {MciDuplicateFlags, "A word is given twice."},
    {MciInvalidFile, "The file cannot be played by this device."},
    {MciNewRequiresAlias, "Opening \"new\" needs an alias."},
    {MciNotifyOnAutoOpen, "\"notify\" cannot be used with a device opened by its file name in this command."},
    {MciFilenameRequired, "The command needs a file name."},
    {MciExtraCharacters, "Text follows the end of the command."},
    {MciNoInteger, "A word that needs a number has none."},
};

struct TypeByExtension
{
    const char *extension;
    const char *type;
};

constexpr TypeByExtension Types[] = {
    {"WAV", "waveaudio"}, {"MID", "sequencer"}, {"RMI", "sequencer"}, {"MIDI", "sequencer"},
    {"AVI", "avivideo"},  {"MPG", "mpegvideo"}, {"MPEG", "mpegvideo"}, {"MP3", "mpegvideo"},
    {"MP4", "mpegvideo"}, {"MOV", "mpegvideo"}, {"WMV", "mpegvideo"}, {"WMA", "mpegvideo"},
    {"OGG", "mpegvideo"}, {"OGV", "mpegvideo"}, {"WEBM", "mpegvideo"}, {"MKV", "mpegvideo"},
    {"FLAC", "mpegvideo"},
};

constexpr const char *Verbs[] = {"open", "close", "play", "stop", "pause", "resume", "seek",
                                 "status", "set", "capability", "info", "where", "put",
                                 "window", "sysinfo", "break", "cue", "update", "realize"};

constexpr const char *KnownTypes[] = {"waveaudio", "sequencer", "avivideo", "mpegvideo", "digitalvideo"};

bool same(const QString &a, const char *b)
{
    return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

// Reads a number argument; false when it is missing or not a whole number.
int takeNumber(const QStringList &args, qsizetype at, qint64 *value)
{
    if (at >= args.size())
        return MciNoInteger;
    bool ok = false;
    *value = args.at(at).toLongLong(&ok);
    return ok && *value >= 0 ? MciOk : MciBadInteger;
}

QString yesNo(bool b)
{
    return b ? QStringLiteral("true") : QStringLiteral("false");
}

} // namespace

QString mciErrorText(int code)
{
    for (const ErrorText &e : ErrorTexts)
        if (e.code == code)
            return QString::fromLatin1(e.text);
    return {};
}

int parseMciCommand(const QString &text, MciCommandLine *line)
{
    QStringList words;
    QString word;
    bool inWord = false;
    bool quoted = false;
    for (const QChar ch : text) {
        if (quoted) {
            if (ch == u'"')
                quoted = false;
            else
                word += ch;
        } else if (ch == u'"') {
            quoted = true;
            inWord = true;
        } else if (ch.isSpace()) {
            if (inWord)
                words.append(word);
            word.clear();
            inWord = false;
        } else {
            word += ch;
            inWord = true;
        }
    }
    if (quoted)
        return MciNoClosingQuote;
    if (inWord)
        words.append(word);
    if (words.isEmpty())
        return MciMissingCommandString;
    MciCommandLine l;
    l.verb = words.takeFirst().toLower();
    if (std::none_of(std::begin(Verbs), std::end(Verbs), [&](const char *v) { return l.verb == QLatin1String(v); }))
        return MciUnrecognizedCommand;
    if (words.isEmpty())
        return MciMissingDeviceName;
    l.device = words.takeFirst();
    for (const QString &w : std::as_const(words)) {
        bool *flag = same(w, "notify") ? &l.notify : same(w, "wait") ? &l.wait : same(w, "test") ? &l.test : nullptr;
        if (flag) {
            if (*flag)
                return MciDuplicateFlags;
            *flag = true;
        } else {
            l.args.append(w);
        }
    }
    *line = l;
    return MciOk;
}

QString mciTypeForFile(const QString &fileName)
{
    const QString ext = QFileInfo(fileName).suffix().toUpper();
    for (const TypeByExtension &t : Types)
        if (ext == QLatin1String(t.extension))
            return QString::fromLatin1(t.type);
    return {};
}

bool mciTypeHasVideo(const QString &type, const QString &fileName)
{
    if (type == QLatin1String("avivideo") || type == QLatin1String("digitalvideo"))
        return true;
    if (type != QLatin1String("mpegvideo"))
        return false;
    static const char *const audioOnly[] = {"MP3", "WMA", "OGG", "FLAC"};
    const QString ext = QFileInfo(fileName).suffix().toUpper();
    return std::none_of(std::begin(audioOnly), std::end(audioOnly),
                        [&](const char *e) { return ext == QLatin1String(e); });
}

qint64 waveLengthMs(const QByteArray &header)
{
    if (header.size() < 44 || !header.startsWith("RIFF") || header.mid(8, 4) != "WAVE")
        return -1;
    const auto u32 = [&](int at) {
        return quint32(quint8(header[at])) | (quint32(quint8(header[at + 1])) << 8)
                | (quint32(quint8(header[at + 2])) << 16) | (quint32(quint8(header[at + 3])) << 24);
    };
    // Walk the chunks for "fmt " and "data".
    quint32 byteRate = 0;
    qsizetype pos = 12;
    while (pos + 8 <= header.size()) {
        const QByteArray id = header.mid(pos, 4);
        const quint32 size = u32(int(pos + 4));
        if (id == "fmt " && pos + 16 <= header.size())
            byteRate = u32(int(pos + 16));
        if (id == "data")
            return byteRate ? qint64(size) * 1000 / byteRate : -1;
        pos += 8 + qint64(size) + (size & 1);
    }
    return -1;
}

SilentMciBackend::Item *SilentMciBackend::find(int id)
{
    for (Item &i : mItems)
        if (i.id == id)
            return &i;
    return nullptr;
}

int SilentMciBackend::open(int id, const QString &file, const QString &type, qint64 *lengthMs)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return MciFileNotFound;
    *lengthMs = 0;
    if (type == QLatin1String("waveaudio")) {
        const qint64 length = waveLengthMs(f.read(4096));
        if (length < 0)
            return MciInvalidFile;
        *lengthMs = length;
    }
    mItems.push_back({id, 0});
    return MciOk;
}

int SilentMciBackend::play(int id, qint64 fromMs, qint64 toMs, bool wait)
{
    Q_UNUSED(fromMs);
    Q_UNUSED(wait);
    if (Item *i = find(id))
        i->position = toMs;
    return MciOk;
}

void SilentMciBackend::seek(int id, qint64 ms)
{
    if (Item *i = find(id))
        i->position = ms;
}

void SilentMciBackend::close(int id)
{
    mItems.erase(std::remove_if(mItems.begin(), mItems.end(), [id](const Item &i) { return i.id == id; }),
                 mItems.end());
}

qint64 SilentMciBackend::position(int id)
{
    const Item *i = find(id);
    return i ? i->position : 0;
}

MciEmulator::MciEmulator(MciBackend *backend, std::function<QString(const QString &)> resolve)
    : mBackend(backend), mResolve(std::move(resolve))
{
}

MciEmulator::~MciEmulator()
{
    closeAll();
}

void MciEmulator::closeAll()
{
    while (!mDevices.empty())
        closeDevice(mDevices.back().id);
}

void MciEmulator::closeDevice(int id)
{
    mBackend->close(id);
    mDevices.erase(std::remove_if(mDevices.begin(), mDevices.end(), [id](const Device &d) { return d.id == id; }),
                   mDevices.end());
}

// A device opened by its file name inside a play command closes once it has played.
void MciEmulator::closeFinishedAutoOpened()
{
    std::vector<int> done;
    for (const Device &d : mDevices)
        if (d.autoOpened && !d.paused && !mBackend->isPlaying(d.id))
            done.push_back(d.id);
    for (int id : done)
        closeDevice(id);
}

MciEmulator::Device *MciEmulator::find(const QString &name)
{
    bool isNumber = false;
    const int id = name.toInt(&isNumber);
    for (Device &d : mDevices)
        if (d.alias.compare(name, Qt::CaseInsensitive) == 0 || (isNumber && d.id == id))
            return &d;
    return nullptr;
}

MciReply MciEmulator::send(const QString &command)
{
    closeFinishedAutoOpened();
    MciCommandLine line;
    if (const int error = parseMciCommand(command, &line))
        return {error, {}};
    if (line.verb == QLatin1String("open"))
        return open(line);
    if (line.verb == QLatin1String("sysinfo")) {
        if (same(line.device, "all") && line.args.size() >= 1 && same(line.args.at(0), "quantity"))
            return {MciOk, QString::number(line.args.contains(QLatin1String("open"), Qt::CaseInsensitive)
                                                   ? openDevices() : int(std::size(KnownTypes)))};
        if (Device *d = find(line.device); d && !line.args.isEmpty() && same(line.args.at(0), "installname"))
            return {MciOk, d->type};
        return {line.args.isEmpty() ? MciMissingParameter : MciUnrecognizedKeyword, {}};
    }
    if (same(line.device, "all")) {
        if (line.verb == QLatin1String("close") || line.verb == QLatin1String("stop")) {
            if (!line.args.isEmpty())
                return {MciUnrecognizedKeyword, {}};
            if (line.verb == QLatin1String("close"))
                closeAll();
            else
                for (const Device &d : mDevices)
                    mBackend->stop(d.id);
            return {};
        }
        return {MciCannotUseAll, {}};
    }
    Device *device = find(line.device);
    if (!device) {
        // "play FILE" opens the file for this command (auto-open).
        if (line.verb != QLatin1String("play") || mciTypeForFile(line.device).isEmpty())
            return {MciInvalidDeviceName, {}};
        if (line.notify)
            return {MciNotifyOnAutoOpen, {}};
        MciCommandLine openLine;
        openLine.verb = QStringLiteral("open");
        openLine.device = line.device;
        const MciReply opened = open(openLine);
        if (opened.code)
            return opened;
        device = &mDevices.back();
        device->autoOpened = true;
    }
    const int id = device->id;
    MciReply reply = onDevice(line, *device);
    if (Device *d = find(QString::number(id)); d && d->autoOpened && line.wait)
        closeDevice(id);
    return reply;
}

MciReply MciEmulator::open(const MciCommandLine &line)
{
    QString element = line.device;
    QString type;
    QString alias;
    if (const qsizetype bang = element.indexOf(u'!'); bang > 0) {
        type = element.left(bang).toLower();
        element = element.mid(bang + 1);
    }
    for (qsizetype i = 0; i < line.args.size(); ++i) {
        const QString &w = line.args.at(i);
        if (same(w, "type") || same(w, "alias")) {
            if (i + 1 >= line.args.size())
                return {MciMissingStringArgument, {}};
            (same(w, "type") ? type : alias) = line.args.at(++i);
        } else if (same(w, "shareable")) {
        } else if (same(w, "style") || same(w, "parent") || same(w, "buffer")) {
            ++i;
        } else {
            return {MciUnrecognizedKeyword, {}};
        }
    }
    type = type.toLower();
    if (same(element, "new"))
        return {alias.isEmpty() ? MciNewRequiresAlias : MciUnsupportedFunction, {}};
    if (std::any_of(std::begin(KnownTypes), std::end(KnownTypes), [&](const char *t) { return same(element, t); }))
        return {MciFilenameRequired, {}}; // a device without a file: only recording would use it
    if (same(element, "cdaudio") || same(type, "cdaudio"))
        return {MciDeviceNotReady, {}};
    if (type.isEmpty())
        type = mciTypeForFile(element);
    if (type.isEmpty())
        return {MciExtensionNotFound, {}};
    if (std::none_of(std::begin(KnownTypes), std::end(KnownTypes), [&](const char *t) { return type == QLatin1String(t); }))
        return {MciInvalidDeviceName, {}};
    const QString name = alias.isEmpty() ? element : alias;
    if (find(name) || (!alias.isEmpty() && same(alias, "all")))
        return {alias.isEmpty() ? MciDeviceOpen : MciDuplicateAlias, {}};
    const QString file = mResolve ? mResolve(element) : element;
    if (!QFileInfo(file).isFile())
        return {MciFileNotFound, {}};
    Device d;
    d.id = mNextId++;
    d.alias = name;
    d.file = file;
    d.type = type;
    if (const int error = mBackend->open(d.id, file, type, &d.length))
        return {error, {}};
    mDevices.push_back(d);
    return {MciOk, QString::number(d.id)};
}

MciReply MciEmulator::onDevice(const MciCommandLine &line, Device &device)
{
    const QString &verb = line.verb;
    const QStringList &a = line.args;
    const bool video = mciTypeHasVideo(device.type, device.file);
    if (verb == QLatin1String("close")) {
        if (!a.isEmpty())
            return {MciUnrecognizedKeyword, {}};
        closeDevice(device.id);
        return {};
    }
    if (verb == QLatin1String("play")) {
        qint64 from = -1, to = device.length;
        for (qsizetype i = 0; i < a.size(); ++i) {
            qint64 *target = same(a.at(i), "from") ? &from : same(a.at(i), "to") ? &to : nullptr;
            if (same(a.at(i), "repeat") || same(a.at(i), "fullscreen") || same(a.at(i), "window"))
                continue;
            if (!target)
                return {MciUnrecognizedKeyword, {}};
            if (const int error = takeNumber(a, ++i, target))
                return {error, {}};
        }
        if (from < 0)
            from = device.paused || mBackend->position(device.id) < device.length ? mBackend->position(device.id) : 0;
        if ((device.length > 0 && (from > device.length || to > device.length)) || (to < from && device.length > 0))
            return {MciOutOfRange, {}};
        device.paused = false;
        return {mBackend->play(device.id, from, to, line.wait), {}};
    }
    if (verb == QLatin1String("stop") || verb == QLatin1String("pause") || verb == QLatin1String("resume")) {
        if (!a.isEmpty())
            return {MciUnrecognizedKeyword, {}};
        if (verb == QLatin1String("stop")) {
            mBackend->stop(device.id);
            device.paused = false;
        } else if (verb == QLatin1String("pause")) {
            mBackend->pause(device.id);
            device.paused = mBackend->isPlaying(device.id) || device.paused;
        } else if (device.paused) {
            mBackend->resume(device.id);
            device.paused = false;
        }
        return {};
    }
    if (verb == QLatin1String("seek")) {
        if (a.size() < 2 || !same(a.at(0), "to"))
            return {a.isEmpty() ? MciMissingParameter : MciUnrecognizedKeyword, {}};
        if (a.size() > 2)
            return {MciExtraCharacters, {}};
        qint64 to = 0;
        if (same(a.at(1), "start"))
            to = 0;
        else if (same(a.at(1), "end"))
            to = device.length;
        else if (const int error = takeNumber(a, 1, &to))
            return {error, {}};
        if (device.length > 0 && to > device.length)
            return {MciOutOfRange, {}};
        mBackend->stop(device.id);
        mBackend->seek(device.id, to);
        device.paused = false;
        return {};
    }
    if (verb == QLatin1String("status"))
        return status(line, device);
    if (verb == QLatin1String("set")) {
        if (a.isEmpty())
            return {MciMissingParameter, {}};
        const QString all = a.join(u' ').toLower();
        if (all.startsWith(QLatin1String("time format"))) {
            const QString format = all.mid(11).trimmed();
            if (format == QLatin1String("ms") || format == QLatin1String("milliseconds"))
                return {};
            return {format.isEmpty() ? MciMissingParameter : MciBadTimeFormat, {}};
        }
        if (all.startsWith(QLatin1String("audio")) || all.startsWith(QLatin1String("video")))
            return {};
        if (all.startsWith(QLatin1String("door")))
            return {MciUnsupportedFunction, {}};
        return {MciUnrecognizedKeyword, {}};
    }
    if (verb == QLatin1String("capability")) {
        const QString item = a.join(u' ').toLower();
        if (item.isEmpty())
            return {MciMissingParameter, {}};
        if (item == QLatin1String("can play") || item == QLatin1String("has audio")
            || item == QLatin1String("uses files") || item == QLatin1String("compound device"))
            return {MciOk, yesNo(true)};
        if (item == QLatin1String("has video"))
            return {MciOk, yesNo(video)};
        if (item == QLatin1String("can record") || item == QLatin1String("can save")
            || item == QLatin1String("can eject"))
            return {MciOk, yesNo(false)};
        if (item == QLatin1String("device type"))
            return {MciOk, device.type};
        return {MciUnrecognizedKeyword, {}};
    }
    if (verb == QLatin1String("info")) {
        const QString item = a.join(u' ').toLower();
        if (item == QLatin1String("product"))
            return {MciOk, QStringLiteral("Vardeko %1 player").arg(device.type)};
        if (item == QLatin1String("file"))
            return {MciOk, device.file};
        return {item.isEmpty() ? MciMissingParameter : MciUnrecognizedKeyword, {}};
    }
    if (verb == QLatin1String("where") || verb == QLatin1String("put") || verb == QLatin1String("window")) {
        if (!video)
            return {MciUnsupportedFunction, {}};
        if (verb == QLatin1String("window"))
            return {};
        if (a.isEmpty())
            return {MciMissingParameter, {}};
        if (!same(a.at(0), "destination") && !same(a.at(0), "source") && !same(a.at(0), "frame")
            && !same(a.at(0), "video"))
            return {MciUnrecognizedKeyword, {}};
        const QSize natural = mBackend->videoSize(device.id);
        if (verb == QLatin1String("where")) {
            const QRect r = device.destination.isValid() && same(a.at(0), "destination")
                    ? device.destination : QRect(QPoint(0, 0), natural);
            return {MciOk, QStringLiteral("%1 %2 %3 %4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height())};
        }
        if (a.size() == 1) {
            device.destination = QRect();
        } else {
            if (a.size() != 6 || !same(a.at(1), "at"))
                return {a.size() < 6 ? MciMissingParameter : MciExtraCharacters, {}};
            qint64 v[4];
            for (int k = 0; k < 4; ++k)
                if (const int error = takeNumber(a, 2 + k, &v[k]))
                    return {error, {}};
            device.destination = QRect(int(v[0]), int(v[1]), int(v[2]), int(v[3]));
        }
        mBackend->setDestination(device.id, device.destination);
        return {};
    }
    // break, cue, update, realize: accepted, nothing to do here.
    return {};
}

MciReply MciEmulator::status(const MciCommandLine &line, Device &device)
{
    const QString item = line.args.join(u' ').toLower();
    if (item.isEmpty())
        return {MciMissingParameter, {}};
    if (item == QLatin1String("mode")) {
        const char *mode = device.paused ? "paused" : mBackend->isPlaying(device.id) ? "playing" : "stopped";
        return {MciOk, QString::fromLatin1(mode)};
    }
    if (item == QLatin1String("length"))
        return {MciOk, QString::number(device.length)};
    if (item == QLatin1String("position"))
        return {MciOk, QString::number(mBackend->position(device.id))};
    if (item == QLatin1String("ready") || item == QLatin1String("media present"))
        return {MciOk, yesNo(true)};
    if (item == QLatin1String("time format"))
        return {MciOk, QStringLiteral("milliseconds")};
    if (item == QLatin1String("number of tracks") || item == QLatin1String("current track"))
        return {MciOk, QStringLiteral("1")};
    return {MciUnrecognizedKeyword, {}};
}

} // namespace vardeko
