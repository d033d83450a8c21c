// The archive: a publication and every file it uses copied into one folder under bare
// names, spanning diskettes when the folder is on a removable drive.
#pragma once

#include "filegatherer.h"
#include "publication.h"

#include <QString>
#include <QStringList>

namespace vardeko {

// What the archive needs to know of the drive it writes to; tests fake it.
class ArchiveMedia
{
public:
    virtual ~ArchiveMedia() = default;
    virtual bool isRemovable(const QString &dir) = 0;
    // Bytes the whole medium holds, and the bytes still free on it.
    virtual qint64 capacity(const QString &dir) = 0;
    virtual qint64 bytesFree(const QString &dir) = 0;
    // Asks for the next diskette ("Continue" true, "Cancel" false).
    virtual bool nextDisk(const QString &drive) = 0;
};

// The real drives: QStorageInfo, and /sys/block/*/removable for the drive's kind.
class SystemArchiveMedia : public ArchiveMedia
{
public:
    bool isRemovable(const QString &dir) override;
    qint64 capacity(const QString &dir) override;
    qint64 bytesFree(const QString &dir) override;
    bool nextDisk(const QString &drive) override;
};

// Told how the archive goes; the progress window implements it.
class ArchiveProgress
{
public:
    virtual ~ArchiveProgress() = default;
    // "Converting:" or "Copying:" and the file's name.
    virtual void step(const QString &label, const QString &file) { Q_UNUSED(label); Q_UNUSED(file); }
    virtual void filesRemaining(int count) { Q_UNUSED(count); }
    // A file is in place (its destination).
    virtual void copied(const QString &destination) { Q_UNUSED(destination); }
    // "Replace existing files with same names?"; true replaces.
    virtual bool replaceExisting() { return true; }
    // Called between blocks and files: lets the interface run; true stops.
    virtual bool stopRequested() { return false; }
};

struct ArchiveResult
{
    int error = 0;      // an I/O error code (10003 onto itself, 10004 sizes differ)
    QString file;
    QString message;    // the alert's text when something failed; empty otherwise
    bool stopped = false;
    bool declined = false;
    QStringList written; // destinations, in order
    bool ok() const { return message.isEmpty() && !stopped && !declined; }
};

// The alert's text for an error code of the archive.
QString archiveErrorText(int error);

// Copies `pub` in its archive form and every file it uses into `dir` (created when
// missing). `dirExisted` says whether to ask before replacing files.
ArchiveResult archivePublication(Publication &pub, const QString &dir, bool dirExisted, const QString &tempDir,
                                 ArchiveMedia &media, ArchiveProgress *progress = nullptr);

} // namespace vardeko
