// The book: the files a compiled program carries behind its player, and their directory.
#pragma once

#include "filenames.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <vector>

class QIODevice;

namespace vardeko {

// Layout of a compiled program (every integer little-endian):
//
//   player        the run-time player, byte for byte; `payloadOffset` bytes long
//   contents      each entry's bytes, back to back, in directory order
//   directory     `count` records of BookRecordSize bytes:
//                    0  u64  offset of the content from the start of the file
//                    8  u64  size of the content in bytes
//                   16  u32  CRC-32 of the content (the zip and PNG polynomial)
//                   20  u8   kind (GatheredKind)
//                   21  u8   flags (BookFlags; other bits 0)
//                   22  u16  length of the name in bytes, 1..BookMaxNameBytes
//                   24  252  the name in UTF-8, zero-padded
//   trailer       BookTrailerSize bytes at the very end:
//                    0  8    BookMagic
//                    8  u32  BookVersion
//                   12  u32  count
//                   16  u64  payloadOffset (where the first content starts)
//                   24  u64  offset of the directory
//                   32  u32  CRC-32 of the directory
//                   36  u32  CRC-32 of the trailer's first 36 bytes
//
// The trailer is found from the end, so the player needs to know nothing about its own
// size. A reader trusts nothing: contents must lie between the player and the directory,
// in order and without overlap, the directory must end where the trailer starts, names
// are bare file names (no folders, no drive, unique without regard to case).
inline constexpr int BookRecordSize = 276;
inline constexpr int BookTrailerSize = 40;
inline constexpr int BookMaxNameBytes = 252;
inline constexpr char BookMagic[9] = "VDKBOOK\x1a";
inline constexpr quint32 BookVersion = 1;

enum BookFlags : quint8 {
    // An article text laid out by the compiler: the entry holds the formatted file.
    BookPreformatted = 1,
};
inline constexpr quint8 BookKnownFlags = BookPreformatted;

// How the checksum is worked out: the fastest the processor offers, or the byte tables
// alone (to check the fast way against).
enum class CrcMethod { Fastest, Tables };

// The CRC-32 of zip and PNG; `crc` is the value so far (0 to start).
quint32 crc32Update(quint32 crc, const char *data, qint64 size, CrcMethod method = CrcMethod::Fastest);

// Empty when `name` may name a book entry, else why not.
QString bookNameProblem(const QString &name);

struct BookEntry
{
    QString name;
    quint8 kind = 0;
    quint8 flags = 0; // BookFlags
    quint64 offset = 0;
    quint64 size = 0;
    quint32 crc = 0;
};

// Reads the directory of a book from a random-access device (a program file, a buffer).
class BookReader
{
public:
    // Returns 0, or an I/O error code (106 not a book or damaged, 100 a read failed);
    // errorText() says what was wrong.
    int open(QIODevice *device);

    QIODevice *device() const { return mDevice; }
    const std::vector<BookEntry> &entries() const { return mEntries; }
    quint64 payloadOffset() const { return mPayloadOffset; }
    // The entry with that name (compared without regard to case), or null.
    const BookEntry *find(const QString &name) const;
    // The entry's bytes after checking their CRC; 154 when it does not match.
    int read(const BookEntry &entry, QByteArray *bytes) const;
    // Copies the entry's bytes to `out` in blocks, checking the CRC at the end.
    int copy(const BookEntry &entry, QIODevice &out) const;
    QString errorText() const { return mError; }

private:
    int fail(int code, const QString &why);

    QIODevice *mDevice = nullptr;
    std::vector<BookEntry> mEntries;
    QHash<QString, qsizetype> mIndex; // case-folded name -> position
    quint64 mPayloadOffset = 0;
    QString mError;
};

// Appends entries and then the directory to a device that already holds the player.
class BookWriter
{
public:
    // The payload starts where `out` stands now.
    explicit BookWriter(QIODevice &out);

    // Starts an entry; 0, or 106 for a name that is not a bare file name or that the
    // book already holds (errorText() names both).
    int beginEntry(const QString &name, quint8 kind, quint8 flags = 0);
    // 0 or the I/O error of the failed write.
    int write(const char *data, qint64 size);
    int write(const QByteArray &data) { return write(data.constData(), data.size()); }
    // Ends the entry. An empty entry gets no directory record.
    const BookEntry &endEntry();
    // Writes the directory and the trailer; 0 or the I/O error code.
    int finish();

    quint64 bytesWritten() const;
    QString errorText() const { return mError; }

private:
    QIODevice &mOut;
    quint64 mPayloadOffset;
    std::vector<BookEntry> mEntries; // with a directory record
    BareNames mNames;
    BookEntry mCurrent;
    bool mOpen = false;
    QString mError;
};

} // namespace vardeko
