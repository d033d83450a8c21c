// File names as publications store them, and where they are on this machine.
#pragma once

#include <QHash>
#include <QSet>
#include <QString>

#include <functional>

namespace vardeko {

// True when the name holds a directory or drive part ("\", "/" or ":").
bool hasDirectoryPart(const QString &name);

// The file-name part of a stored name, after the last "\", "/" or ":".
QString bareFileName(const QString &name);

// Bare file names met so far, compared without case: finds two files that would land
// under one name in a folder or a book.
class BareNames
{
public:
    // Takes `name` under its bare name. Returns the name taken before under the same bare
    // name (and takes nothing), or an empty string.
    QString claim(const QString &name);

private:
    QHash<QString, QString> mNames; // case-folded bare name -> name as given
};

// Joins a directory and a name with one separator.
QString joinPath(const QString &dir, const QString &name);

// Finds the file a stored name means, or returns an empty string. Accepts "\" and "/",
// takes relative names from `baseDir`, ignores a drive prefix when the name does not
// exist as given, and matches each path component without regard to case when the
// exact name is missing, so publications made on other systems find their files.
QString locateFile(const QString &name, const QString &baseDir = QString());

// A compiled program finds the files it carries before any on disk: the lookup gets a
// bare file name and returns the path where that file can be read, or an empty string.
// Set once at start-up, before any name is located.
using EmbeddedFileLookup = std::function<QString(const QString &bareName)>;
void setEmbeddedFileLookup(EmbeddedFileLookup lookup);

// locateFile() for many names at once: each directory is listed once and kept, so a
// publication's thousands of names cost one listing per folder. Changes made to the
// file system after a folder was listed are not seen.
class FileLocator
{
public:
    QString locate(const QString &name, const QString &baseDir = QString());

private:
    struct Listing
    {
        QSet<QString> exact;
        QHash<QString, QString> folded; // lower-case name -> name on disk
    };
    const Listing &listing(const QString &dir);
    QString walk(const QString &path);

    QHash<QString, Listing> mListings;
};

// The first name "00000001.<ext>", "00000002.<ext>", ... that does not exist in `dir`,
// created empty at once (exclusively, never through a planted link). Returns the full
// path, or an empty string with *error set to 10001.
QString MakeTempFileName(const QString &dir, const QString &extension, int *error = nullptr);

// The same for the temporary file of a write that replaces a file in `dir`. No setting
// can help when that folder is missing or closed to us, so the failure is reported by its
// I/O code (3 for a folder that does not exist, 5 for one that may not be written, ...);
// 10001 only when every name is taken.
QString MakeTempFileBeside(const QString &dir, const QString &extension, int *error);

} // namespace vardeko
