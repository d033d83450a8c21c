// MCI command strings: the parser, the error numbers and texts, and the emulation of the
// string commands over a media backend.
#pragma once

#include <QRect>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace vardeko {

// The error numbers scripts see in "MCIResult", as MCI numbers them.
enum MciError {
    MciOk = 0,
    MciInvalidDeviceId = 257,
    MciUnrecognizedKeyword = 259,
    MciUnrecognizedCommand = 261,
    MciInvalidDeviceName = 263,
    MciDeviceOpen = 265,
    MciMissingCommandString = 267,
    MciMissingStringArgument = 269,
    MciBadInteger = 270,
    MciMissingParameter = 273,
    MciUnsupportedFunction = 274,
    MciFileNotFound = 275,
    MciDeviceNotReady = 276,
    MciCannotUseAll = 279,
    MciExtensionNotFound = 281,
    MciOutOfRange = 282,
    MciDuplicateAlias = 289,
    MciBadConstant = 290,
    MciMissingDeviceName = 292,
    MciBadTimeFormat = 293,
    MciNoClosingQuote = 294,
    MciDuplicateFlags = 295,
    MciInvalidFile = 296,
    MciNewRequiresAlias = 299,
    MciNotifyOnAutoOpen = 300,
    MciFilenameRequired = 304,
    MciExtraCharacters = 305,
    MciNoInteger = 312,
};

// Our own explanation of an error number (at most 255 characters); an empty text for
// numbers that are not MCI errors.
QString mciErrorText(int code);

// A command string taken apart: the command word (lower case), the device name as
// written (quotes removed), the remaining words, and the notify/wait/test flags.
struct MciCommandLine
{
    QString verb;
    QString device;
    QStringList args;
    bool notify = false;
    bool wait = false;
    bool test = false;
};

// Splits a command string into words (double quotes group words); gives 0 or the error:
// an empty string, a quote left open, a command without its device.
int parseMciCommand(const QString &text, MciCommandLine *line);

// The device types the emulation knows, and the type a file name's extension selects
// (empty when none does).
QString mciTypeForFile(const QString &fileName);
bool mciTypeHasVideo(const QString &type, const QString &fileName);

// What plays an opened device. The emulation keeps the device table, aliases, time
// formats and the replies; the backend makes the sound or picture.
class MciBackend
{
public:
    virtual ~MciBackend() = default;
    // Opens `file` as device `id`; gives 0 or an MCI error. `lengthMs` is the length.
    virtual int open(int id, const QString &file, const QString &type, qint64 *lengthMs) = 0;
    // Plays from `fromMs` to `toMs`; with `wait` returns when that part has played.
    virtual int play(int id, qint64 fromMs, qint64 toMs, bool wait) = 0;
    virtual void stop(int id) = 0;
    virtual void pause(int id) = 0;
    virtual void resume(int id) = 0;
    virtual void seek(int id, qint64 ms) = 0;
    virtual void close(int id) = 0;
    virtual qint64 position(int id) = 0;
    virtual bool isPlaying(int id) = 0;
    // A video's natural size; empty for sound.
    virtual QSize videoSize(int id) { Q_UNUSED(id); return {}; }
    virtual void setDestination(int id, const QRect &rect) { Q_UNUSED(id); Q_UNUSED(rect); }
};

// A backend that plays nothing: devices open when their file exists, wave files report
// their length from their header, and playing reaches its end at once. For runs without
// sound (the command line).
class SilentMciBackend : public MciBackend
{
public:
    int open(int id, const QString &file, const QString &type, qint64 *lengthMs) override;
    int play(int id, qint64 fromMs, qint64 toMs, bool wait) override;
    void stop(int) override {}
    void pause(int) override {}
    void resume(int) override {}
    void seek(int id, qint64 ms) override;
    void close(int id) override;
    qint64 position(int id) override;
    bool isPlaying(int) override { return false; }

private:
    struct Item { int id; qint64 position; };
    std::vector<Item> mItems;
    Item *find(int id);
};

// The wave length in milliseconds from a RIFF header; -1 when the bytes are not one.
qint64 waveLengthMs(const QByteArray &header);

struct MciReply
{
    int code = 0;
    QString text; // the return string ("1" for open's device id, "playing", "5000", ...)
};

// The string commands: open, close, play, stop, pause, resume, seek, status, set,
// capability, info, where, put, window, sysinfo, break. Device names and aliases are
// matched without regard to case; "all" closes or stops every device.
class MciEmulator
{
public:
    // `resolve` turns a file name of a command into the file on disk.
    MciEmulator(MciBackend *backend, std::function<QString(const QString &)> resolve = {});
    ~MciEmulator();

    MciReply send(const QString &command);
    void closeAll();
    int openDevices() const { return int(mDevices.size()); }

private:
    struct Device
    {
        int id = 0;
        QString alias; // upper case; the file name when opened without an alias
        QString file;
        QString type;
        qint64 length = 0;
        bool paused = false;
        bool autoOpened = false;
        QRect destination;
    };

    MciReply open(const MciCommandLine &line);
    MciReply onDevice(const MciCommandLine &line, Device &device);
    MciReply status(const MciCommandLine &line, Device &device);
    Device *find(const QString &name);
    void closeDevice(int id);
    void closeFinishedAutoOpened();

    MciBackend *mBackend;
    std::function<QString(const QString &)> mResolve;
    std::vector<Device> mDevices;
    int mNextId = 1;
};

} // namespace vardeko
