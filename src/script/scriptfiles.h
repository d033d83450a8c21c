// The file commands of scripts: read, write, insert and delete lines, count, copy, erase.
#pragma once

#include <QString>

namespace vardeko {

enum class LineEdit { Write, Insert, Delete };

// A script's file name completed: a name without a directory is taken in `programDir`.
QString completeScriptFileName(const QString &name, const QString &programDir);

// The file a completed name means on this machine: the existing file (matched
// without regard to case, "\" read as "/"), or where a new one would be created.
QString scriptFileTarget(const QString &completed);

// Line n (1 = first) of the file, or empty text for n below 1, a missing line or an
// unreadable file. Lines end at LF; a CR before the LF is dropped.
QString ReadFileLine(const QString &path, int n);

// The number of lines, 0 when the file cannot be opened.
int fileLineCount(const QString &path);

// Rewrites the file through a temporary "nnnnnnnn.$$$" file in its directory. Returns
// 0 or an I/O error code; on failure the existing file is untouched and the temporary
// file removed.
int EditFileLine(const QString &path, int n, const QString &data, LineEdit mode);

// Copies `source` to `destination` (both already completed). The copy goes through a
// temporary file, so a failed copy never damages an existing destination. Returns 0 or
// an I/O error code.
int CopyFile(const QString &source, const QString &destination);

// Deletes the file if it exists. Returns 0 or an I/O error code.
int EraseFile(const QString &path);

} // namespace vardeko
