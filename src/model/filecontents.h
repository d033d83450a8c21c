// Whole-file reading and replacing writes for the small text files the editor keeps.
#pragma once

#include <QByteArray>
#include <QString>

namespace vardeko {

// Files larger than this are refused rather than read into memory.
inline constexpr qint64 MaxSmallFileSize = 64 * 1024 * 1024;

// Reads a regular file whole. Returns 0 or an I/O error code; a directory or device
// is refused with 5 and a file above `limit` bytes with 8.
int readFileContents(const QString &fileName, QByteArray *bytes, qint64 limit = MaxSmallFileSize);

// Writes `bytes` to a temporary file beside `fileName`, flushes it and renames it into
// place, so a failed write leaves any old file as it was. Returns 0 or an I/O error code.
int replaceFileContents(const QString &fileName, const QByteArray &bytes);

// The name with its extension replaced by `extension` (given with its point, ".QXL"),
// or with it added when the name has none.
QString forceExtension(const QString &fileName, const QString &extension);

} // namespace vardeko
