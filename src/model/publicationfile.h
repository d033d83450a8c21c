// Reads and writes publication files and the object exchange text.
#pragma once

#include "ioerrors.h"
#include "publication.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

class QIODevice;

namespace vardeko {

inline constexpr char CurrentHeader[] = "Vardeko Windows Document File";
inline constexpr char DosHeader[] = "Vardeko Document File";
inline constexpr char ExchangeMarker[] = "[Vardeko Objects]";
inline constexpr double FileVersion = 3.0;

// How the writer shapes its output.
enum class WriteMode {
    Save = 0,      // normal save
    Compiled = 1,  // the copy the compiler embeds
    Archive = 2,   // the copy the archiver writes
    Cut = 3,       // object exchange text
    Copy = 4,      // object exchange text
};

// Told about a long read or write so a window can show progress.
class FileProgress
{
public:
    virtual ~FileProgress() = default;
    virtual void readStarted(qint64 fileSize) { Q_UNUSED(fileSize); }
    virtual void bytesRead(qint64 bytes) { Q_UNUSED(bytes); } // at every new page
    virtual void dosConversionStarted() {}
    virtual void dosConversionPage() {} // advances the conversion animation
    virtual void pageWritten(int written, int total) { Q_UNUSED(written); Q_UNUSED(total); }
};

struct MissingFile
{
    QString storedName;
    const Page *page = nullptr; // null when read outside any page
};

struct ReadOptions
{
    // The copy a compiled program carries has no header line: every line is read.
    bool compiledCopy = false;
    const TextMeasurer *measurer = nullptr; // fits converted DOS texts; skipped when null
    FileProgress *progress = nullptr;
    // Turns a ".VOC" sound into a wave file and returns the new name; none keeps the name.
    std::function<QString(const QString &)> convertVoc;
    // Reading from a device: the file the publication is known by, whose folder the file
    // names inside resolve against. Empty: the names stay as stored. Reading a file by
    // name uses that name instead.
    QString fileName;
};

struct ReadResult
{
    IoError error = IoOk;
    std::vector<MissingFile> missingFiles;
    bool ok() const { return error == 0; }
};

// Loads a file into `pub`, replacing its pages. On error the pages read so far stay.
ReadResult readPublication(Publication &pub, const QString &fileName,
                           const ReadOptions &options = {});

// Loads a publication from the current position of `device` (open for reading) to its end,
// as readPublication() does from a file. options.fileName names it.
ReadResult readPublication(Publication &pub, QIODevice &device, const ReadOptions &options = {});

// True when the text's first line is exactly the exchange marker.
bool isExchangeText(const QString &text);

// Pastes exchange text (marker line first) onto `page`: new objects go on top and
// top-level ones are selected. Returns 0 or error 8 when the object limit is reached.
IoError readExchangeText(Publication &pub, Page &page, const QString &text);

struct WriteOptions
{
    bool createBackup = false; // mode 0: keep the old file as .BAK
    FileProgress *progress = nullptr;
    // Told when the backup cannot be made; saving goes on.
    std::function<void(const QString &message)> warn;
    // Maximum scroll positions of an article for the compiled copy; none when the bar
    // does not exist.
    std::function<std::optional<int>(const PageObject &, Qt::Orientation)> scrollRange;
};

// Writes through a temporary file in the same directory, so a failed save leaves the
// old file as it was (see AtomicSave). Returns 0 or the I/O error code. Success clears
// the modified flag in mode 0, and the converted-from-DOS flag in modes 0, 1 and 2.
IoError writePublication(Publication &pub, const QString &fileName, WriteMode mode,
                     const WriteOptions &options = {});

// Writes the file's bytes to `device` (open for writing) at its current position; the
// publication's flags stay as they are. Returns 0, or 160 when the device refuses a write.
IoError writePublication(const Publication &pub, QIODevice &device, WriteMode mode,
                     const WriteOptions &options = {});

// The publication's file contents in a write mode: Windows-1252, or UTF-8 behind a
// byte-order mark when some character has no Windows-1252 byte.
QByteArray publicationBytes(const Publication &pub, WriteMode mode, const WriteOptions &options = {});

// The publication's text in a write mode, as it would be written (before encoding).
QString publicationText(const Publication &pub, WriteMode mode, const WriteOptions &options = {});

// The exchange text of the selected top-level objects of `page`.
QString exchangeText(const Page &page);

// Message shown for a failed load of `fileName`.
QString loadErrorMessage(const QString &fileName, IoError error);

// Text of the "Error Report" for missing files, or empty when none.
QString missingFilesReport(const std::vector<MissingFile> &missing);

} // namespace vardeko
