// Feeds arbitrary bytes to the reader of the book a compiled program carries, and reads
// every entry it accepts.
#include "book.h"

#include <QBuffer>
#include <QByteArray>

#include <cstddef>
#include <cstdint>

using namespace vardeko;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    BookReader reader;
    if (reader.open(&buffer) != 0)
        return 0;
    for (const BookEntry &e : reader.entries()) {
        // What the reader accepted lies inside the input.
        if (e.offset < reader.payloadOffset() || e.size == 0 || e.offset + e.size > quint64(size))
            __builtin_trap();
        if (reader.find(e.name) != &e)
            __builtin_trap();
        QByteArray content;
        reader.read(e, &content);
    }
    return 0;
}
