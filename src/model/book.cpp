// The book: the files a compiled program carries behind its player, and their directory.
#include "book.h"

#include "ioerrors.h"

#include <QFileDevice>
#include <QIODevice>
#include <QtEndian>

#include <array>
#include <cstring>
#include <limits>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace vardeko {

namespace {

// Slicing by eight: copying 200 MB into a program must not wait on the checksum.
using CrcTables = std::array<std::array<quint32, 256>, 8>;

const CrcTables &crcTables()
{
    static const CrcTables tables = [] {
        CrcTables t{};
        for (quint32 i = 0; i < 256; ++i) {
            quint32 c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[0][i] = c;
        }
        for (quint32 i = 0; i < 256; ++i)
            for (int s = 1; s < 8; ++s)
                t[s][i] = (t[s - 1][i] >> 8) ^ t[0][t[s - 1][i] & 0xFF];
        return t;
    }();
    return tables;
}

// Contents are copied in blocks of this size.
constexpr qint64 BlockSize = 1 << 16;

int writeError(const QIODevice &out)
{
    if (const auto *file = qobject_cast<const QFileDevice *>(&out)) {
        if (file->error() == QFileDevice::ResourceError)
            return IoDiskFull;
    }
    return IoWriteFault;
}

void putRecord(char *p, const BookEntry &e)
{
    std::memset(p, 0, BookRecordSize);
    const QByteArray name = e.name.toUtf8();
    qToLittleEndian<quint64>(e.offset, p);
    qToLittleEndian<quint64>(e.size, p + 8);
    qToLittleEndian<quint32>(e.crc, p + 16);
    p[20] = char(e.kind);
    p[21] = char(e.flags);
    qToLittleEndian<quint16>(quint16(name.size()), p + 22);
    std::memcpy(p + 24, name.constData(), size_t(name.size()));
}

} // namespace

namespace {

// Eight bytes at a time through the tables; `crc` is the register, not inverted.
quint32 crcBytes(quint32 crc, const uchar *p, qint64 size)
{
    const CrcTables &t = crcTables();
    while (size >= 8) {
        const quint32 lo = crc ^ (quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24);
        crc = t[7][lo & 0xFF] ^ t[6][(lo >> 8) & 0xFF] ^ t[5][(lo >> 16) & 0xFF] ^ t[4][lo >> 24]
              ^ t[3][p[4]] ^ t[2][p[5]] ^ t[1][p[6]] ^ t[0][p[7]];
        p += 8;
        size -= 8;
    }
    while (size-- > 0)
        crc = t[0][(crc ^ *p++) & 0xFF] ^ (crc >> 8);
    return crc;
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define VARDEKO_CRC_FOLDING 1

// Carry-less multiplication folds 64 bytes per step into four 128-bit lanes, then into
// one, and a Barrett reduction gives the 32-bit remainder (the folding constants are
// powers of x modulo the bit-reflected polynomial). `size` is at least 64 and a multiple
// of 16; `crc` is the register, not inverted.
#define VARDEKO_FOLDING_TARGET __attribute__((target("pclmul,sse4.1")))

VARDEKO_FOLDING_TARGET inline __m128i load16(const uchar *p)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
}

// x times the folding constants in k, added to `next`.
VARDEKO_FOLDING_TARGET inline __m128i fold16(__m128i x, __m128i k, __m128i next)
{
    const __m128i lo = _mm_clmulepi64_si128(x, k, 0x00);
    return _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x, k, 0x11), next), lo);
}

VARDEKO_FOLDING_TARGET quint32 crcFolded(quint32 crc, const uchar *buf, qint64 size)
{
    alignas(16) static const quint64 k1k2[] = {0x0154442bd4, 0x01c6e41596};
    alignas(16) static const quint64 k3k4[] = {0x01751997d0, 0x00ccaa009e};
    alignas(16) static const quint64 k5k0[] = {0x0163cd6124, 0x0000000000};
    alignas(16) static const quint64 poly[] = {0x01db710641, 0x01f7011641};
    __m128i x1 = load16(buf), x2 = load16(buf + 16), x3 = load16(buf + 32), x4 = load16(buf + 48);
    x1 = _mm_xor_si128(x1, _mm_cvtsi32_si128(int(crc)));
    __m128i x0 = _mm_load_si128(reinterpret_cast<const __m128i *>(k1k2));
    buf += 64;
    size -= 64;
    while (size >= 64) {
        x1 = fold16(x1, x0, load16(buf));
        x2 = fold16(x2, x0, load16(buf + 16));
        x3 = fold16(x3, x0, load16(buf + 32));
        x4 = fold16(x4, x0, load16(buf + 48));
        buf += 64;
        size -= 64;
    }
    x0 = _mm_load_si128(reinterpret_cast<const __m128i *>(k3k4));
    x1 = fold16(x1, x0, x2);
    x1 = fold16(x1, x0, x3);
    x1 = fold16(x1, x0, x4);
    while (size >= 16) {
        x1 = fold16(x1, x0, load16(buf));
        buf += 16;
        size -= 16;
    }
    // 128 bits to 64.
    x2 = _mm_clmulepi64_si128(x1, x0, 0x10);
    x3 = _mm_setr_epi32(~0, 0, ~0, 0);
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), x2);
    x0 = _mm_loadl_epi64(reinterpret_cast<const __m128i *>(k5k0));
    x2 = _mm_srli_si128(x1, 4);
    x1 = _mm_and_si128(x1, x3);
    x1 = _mm_xor_si128(_mm_clmulepi64_si128(x1, x0, 0x00), x2);
    // Barrett reduction to 32 bits.
    x0 = _mm_load_si128(reinterpret_cast<const __m128i *>(poly));
    x2 = _mm_and_si128(x1, x3);
    x2 = _mm_clmulepi64_si128(x2, x0, 0x10);
    x2 = _mm_and_si128(x2, x3);
    x2 = _mm_clmulepi64_si128(x2, x0, 0x00);
    x1 = _mm_xor_si128(x1, x2);
    return quint32(_mm_extract_epi32(x1, 1));
}

bool canFold()
{
    static const bool yes = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
    return yes;
}
#endif

} // namespace

quint32 crc32Update(quint32 crc, const char *data, qint64 size, CrcMethod method)
{
    const auto *p = reinterpret_cast<const uchar *>(data);
    crc = ~crc;
#ifdef VARDEKO_CRC_FOLDING
    if (method == CrcMethod::Fastest && size >= 64 && canFold()) {
        const qint64 chunk = size & ~qint64(15);
        crc = crcFolded(crc, p, chunk);
        p += chunk;
        size -= chunk;
    }
#else
    Q_UNUSED(method);
#endif
    return ~crcBytes(crc, p, size);
}

QString bookNameProblem(const QString &name)
{
    if (name.isEmpty())
        return QStringLiteral("an empty name");
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return QStringLiteral("\"%1\" names a folder").arg(name);
    for (const QChar c : name) {
        if (c == u'/' || c == u'\\' || c == u':')
            return QStringLiteral("\"%1\" is not a bare file name").arg(name);
        if (c.unicode() < 0x20 || c == QChar(0x7F))
            return QStringLiteral("\"%1\" holds a control character").arg(name);
    }
    if (!name.isValidUtf16())
        return QStringLiteral("\"%1\" is not valid text").arg(name);
    if (name.toUtf8().size() > BookMaxNameBytes)
        return QStringLiteral("\"%1\" is longer than %2 bytes").arg(name).arg(BookMaxNameBytes);
    return QString();
}

// --- reading

int BookReader::fail(int code, const QString &why)
{
    mEntries.clear();
    mIndex.clear();
    mError = why;
    return code;
}

int BookReader::open(QIODevice *device)
{
    mDevice = device;
    mEntries.clear();
    mIndex.clear();
    mError.clear();
    mPayloadOffset = 0;
    if (!device || !device->isOpen() || device->isSequential())
        return fail(IoReadError, QStringLiteral("the book cannot be read"));
    const qint64 fileSize = device->size();
    if (fileSize < BookTrailerSize)
        return fail(IoInvalidFormat, QStringLiteral("no book is appended"));

    char trailer[BookTrailerSize];
    if (!device->seek(fileSize - BookTrailerSize) || device->read(trailer, BookTrailerSize) != BookTrailerSize)
        return fail(IoReadError, QStringLiteral("the book's trailer cannot be read"));
    if (std::memcmp(trailer, BookMagic, 8) != 0)
        return fail(IoInvalidFormat, QStringLiteral("no book is appended"));
    if (qFromLittleEndian<quint32>(trailer + 36) != crc32Update(0, trailer, 36))
        return fail(IoInvalidFormat, QStringLiteral("the book's trailer is damaged"));
    if (qFromLittleEndian<quint32>(trailer + 8) != BookVersion)
        return fail(IoInvalidFormat, QStringLiteral("the book was written by another version"));
    const quint64 count = qFromLittleEndian<quint32>(trailer + 12);
    const quint64 payload = qFromLittleEndian<quint64>(trailer + 16);
    const quint64 dirOffset = qFromLittleEndian<quint64>(trailer + 24);
    const quint32 dirCrc = qFromLittleEndian<quint32>(trailer + 32);

    // Every quantity is compared against the real size before any is added or multiplied.
    const quint64 beforeTrailer = quint64(fileSize) - BookTrailerSize;
    if (count > beforeTrailer / BookRecordSize)
        return fail(IoInvalidFormat, QStringLiteral("the book's directory is damaged"));
    const quint64 dirSize = count * BookRecordSize;
    if (dirOffset != beforeTrailer - dirSize || payload > dirOffset)
        return fail(IoInvalidFormat, QStringLiteral("the book's directory is damaged"));

    QByteArray dir(qsizetype(dirSize), Qt::Uninitialized);
    if (!device->seek(qint64(dirOffset)) || device->read(dir.data(), dir.size()) != dir.size())
        return fail(IoReadError, QStringLiteral("the book's directory cannot be read"));
    if (crc32Update(0, dir.constData(), dir.size()) != dirCrc)
        return fail(IoInvalidFormat, QStringLiteral("the book's directory is damaged"));

    std::vector<BookEntry> entries;
    entries.reserve(size_t(count));
    quint64 end = payload;
    for (quint64 i = 0; i < count; ++i) {
        const char *p = dir.constData() + i * BookRecordSize;
        BookEntry e;
        e.offset = qFromLittleEndian<quint64>(p);
        e.size = qFromLittleEndian<quint64>(p + 8);
        e.crc = qFromLittleEndian<quint32>(p + 16);
        e.kind = quint8(p[20]);
        e.flags = quint8(p[21]);
        const int nameBytes = qFromLittleEndian<quint16>(p + 22);
        const QString where = QStringLiteral("directory record %1").arg(i + 1);
        if ((e.flags & ~BookKnownFlags) != 0 || e.kind > 7 || nameBytes < 1 || nameBytes > BookMaxNameBytes)
            return fail(IoInvalidFormat, where + QStringLiteral(" is damaged"));
        for (int k = 24 + nameBytes; k < BookRecordSize; ++k) {
            if (p[k] != 0)
                return fail(IoInvalidFormat, where + QStringLiteral(" is damaged"));
        }
        const QByteArrayView raw(p + 24, nameBytes);
        e.name = QString::fromUtf8(raw);
        if (e.name.toUtf8() != raw)
            return fail(IoInvalidFormat, where + QStringLiteral(" has a name that is not UTF-8"));
        if (const QString problem = bookNameProblem(e.name); !problem.isEmpty())
            return fail(IoInvalidFormat, where + QStringLiteral(": ") + problem);
        if (e.size == 0 || e.offset < end || e.offset > dirOffset || e.size > dirOffset - e.offset)
            return fail(IoInvalidFormat, where + QStringLiteral(" points outside the book"));
        end = e.offset + e.size;
        const QString key = e.name.toCaseFolded();
        if (mIndex.contains(key))
            return fail(IoInvalidFormat,
                        QStringLiteral("the book holds \"%1\" twice").arg(e.name));
        mIndex.insert(key, qsizetype(entries.size()));
        entries.push_back(std::move(e));
    }
    mEntries = std::move(entries);
    mPayloadOffset = payload;
    return IoOk;
}

const BookEntry *BookReader::find(const QString &name) const
{
    const auto it = mIndex.constFind(name.toCaseFolded());
    return it == mIndex.constEnd() ? nullptr : &mEntries[size_t(*it)];
}

int BookReader::read(const BookEntry &entry, QByteArray *bytes) const
{
    bytes->clear();
    if (!mDevice || entry.size > quint64(std::numeric_limits<qsizetype>::max() / 2))
        return IoOutOfMemory;
    QByteArray data;
    data.resize(qsizetype(entry.size));
    if (data.size() != qsizetype(entry.size))
        return IoOutOfMemory;
    if (!mDevice->seek(qint64(entry.offset)) || mDevice->read(data.data(), data.size()) != data.size())
        return IoReadError;
    if (crc32Update(0, data.constData(), data.size()) != entry.crc)
        return 154;
    *bytes = std::move(data);
    return IoOk;
}

int BookReader::copy(const BookEntry &entry, QIODevice &out) const
{
    if (!mDevice || !mDevice->seek(qint64(entry.offset)))
        return IoReadError;
    QByteArray block(qsizetype(qMin<quint64>(entry.size, BlockSize)), Qt::Uninitialized);
    quint64 left = entry.size;
    quint32 crc = 0;
    while (left > 0) {
        const qint64 n = qint64(qMin<quint64>(left, quint64(block.size())));
        if (mDevice->read(block.data(), n) != n)
            return IoReadError;
        crc = crc32Update(crc, block.constData(), n);
        if (out.write(block.constData(), n) != n)
            return writeError(out);
        left -= quint64(n);
    }
    return crc == entry.crc ? IoOk : 154;
}

// --- writing

BookWriter::BookWriter(QIODevice &out)
    : mOut(out)
    , mPayloadOffset(quint64(out.pos()))
{
}

quint64 BookWriter::bytesWritten() const
{
    return quint64(mOut.pos()) - mPayloadOffset;
}

int BookWriter::beginEntry(const QString &name, quint8 kind, quint8 flags)
{
    if (mOpen)
        endEntry();
    if (const QString problem = bookNameProblem(name); !problem.isEmpty()) {
        mError = problem;
        return IoInvalidFormat;
    }
    if (const QString earlier = mNames.claim(name); !earlier.isEmpty()) {
        mError = QStringLiteral("\"%1\" and \"%2\" would have the same name in the program").arg(earlier, name);
        return IoInvalidFormat;
    }
    mCurrent = BookEntry{name, kind, quint8(flags & BookKnownFlags), quint64(mOut.pos()), 0, 0};
    mOpen = true;
    return IoOk;
}

int BookWriter::write(const char *data, qint64 size)
{
    if (size <= 0)
        return IoOk;
    if (mOut.write(data, size) != size) {
        mError = mOut.errorString();
        return writeError(mOut);
    }
    mCurrent.crc = crc32Update(mCurrent.crc, data, size);
    mCurrent.size += quint64(size);
    return IoOk;
}

const BookEntry &BookWriter::endEntry()
{
    if (mOpen && mCurrent.size > 0)
        mEntries.push_back(mCurrent);
    mOpen = false;
    return mCurrent;
}

int BookWriter::finish()
{
    if (mOpen)
        endEntry();
    if (mEntries.size() > 0xFFFFFFFFu) {
        mError = QStringLiteral("too many files for one program");
        return IoInvalidFormat;
    }
    const quint64 dirOffset = quint64(mOut.pos());
    QByteArray dir(qsizetype(mEntries.size()) * BookRecordSize, Qt::Uninitialized);
    for (size_t i = 0; i < mEntries.size(); ++i)
        putRecord(dir.data() + qsizetype(i) * BookRecordSize, mEntries[i]);
    char trailer[BookTrailerSize] = {};
    std::memcpy(trailer, BookMagic, 8);
    qToLittleEndian<quint32>(BookVersion, trailer + 8);
    qToLittleEndian<quint32>(quint32(mEntries.size()), trailer + 12);
    qToLittleEndian<quint64>(mPayloadOffset, trailer + 16);
    qToLittleEndian<quint64>(dirOffset, trailer + 24);
    qToLittleEndian<quint32>(crc32Update(0, dir.constData(), dir.size()), trailer + 32);
    qToLittleEndian<quint32>(crc32Update(0, trailer, 36), trailer + 36);
    if (mOut.write(dir) != dir.size() || mOut.write(trailer, BookTrailerSize) != BookTrailerSize) {
        mError = mOut.errorString();
        return writeError(mOut);
    }
    return IoOk;
}

} // namespace vardeko
