// Text of files as the system stores it: Windows-1252, or UTF-8 behind a byte-order mark.
#include "textcodec.h"

namespace vardeko {

namespace {

// Characters of bytes 0x80..0x9F. The five unassigned bytes keep their C1 code so
// that they survive a round trip.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

int byteFor(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == c)
            return 0x80 + i;
    return -1;
}

} // namespace

int windows1252Byte(QChar c)
{
    return byteFor(c.unicode());
}

QChar windows1252Char(int byte)
{
    const int b = byte & 0xFF;
    return QChar((b >= 0x80 && b < 0xA0) ? kHigh[b - 0x80] : char16_t(b));
}

void decodeWindows1252Into(QByteArrayView bytes, QString *text)
{
    text->resize(bytes.size());
    char16_t *out = reinterpret_cast<char16_t *>(text->data());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        out[i] = (b >= 0x80 && b < 0xA0) ? kHigh[b - 0x80] : char16_t(b);
    }
}

QString decodeWindows1252(QByteArrayView bytes)
{
    QString text;
    decodeWindows1252Into(bytes, &text);
    return text;
}

QString decodeFileText(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.sliced(3));
    return decodeWindows1252(bytes);
}

bool encodeWindows1252(const QString &text, QByteArray *out)
{
    out->resize(text.size());
    char *dst = out->data();
    const char16_t *src = reinterpret_cast<const char16_t *>(text.constData());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int b = byteFor(src[i]);
        if (b < 0)
            return false;
        dst[i] = char(b);
    }
    return true;
}

QByteArray encodeFileText(const QString &text)
{
    QByteArray bytes;
    if (encodeWindows1252(text, &bytes))
        return bytes;
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

} // namespace vardeko
