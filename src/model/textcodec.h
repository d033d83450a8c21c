// Text of files as the system stores it: Windows-1252, or UTF-8 behind a byte-order mark.
#pragma once

#include <QByteArray>
#include <QString>

namespace vardeko {

// Decodes file bytes: UTF-8 when they start with a byte-order mark, else Windows-1252.
QString decodeFileText(QByteArrayView bytes);

// Decodes Windows-1252 bytes (every byte maps to one character, so bytes round-trip).
QString decodeWindows1252(QByteArrayView bytes);

// decodeWindows1252() into an existing string, reusing its storage.
void decodeWindows1252Into(QByteArrayView bytes, QString *text);

// Encodes as Windows-1252 when every character fits, else as UTF-8 with a byte-order mark.
QByteArray encodeFileText(const QString &text);

// Encodes as Windows-1252; false when a character does not fit.
bool encodeWindows1252(const QString &text, QByteArray *out);

// The Windows-1252 byte of a character, or -1 when it has none.
int windows1252Byte(QChar c);

// The character of a Windows-1252 byte.
QChar windows1252Char(int byte);

} // namespace vardeko
