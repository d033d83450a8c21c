// Replaces a file safely: the new text goes to a temporary file beside it first.
#pragma once

#include "ioerrors.h"

#include <QFile>
#include <QString>

#include <functional>

namespace vardeko {

// One save of one file. The new contents are written to device(), a temporary file in the
// target's folder; commit() flushes it to the disk, keeps the old file as ".BAK" when asked
// and only then gives the new file the target's name. Until commit() succeeds the old file
// stays as it was; an abandoned or failed save removes the temporary file.
class AtomicSave
{
public:
    explicit AtomicSave(const QString &fileName);
    ~AtomicSave();
    AtomicSave(const AtomicSave &) = delete;
    AtomicSave &operator=(const AtomicSave &) = delete;

    // Creates the temporary file (with the target's permissions when it exists).
    IoError open();
    // Where the new contents go: open, unbuffered, positioned at the start.
    QIODevice &device();
    // Called with the message when the backup cannot be made; saving goes on.
    void setBackupWarning(std::function<void(const QString &message)> warn) { mWarn = std::move(warn); }
    // Flushes, closes and renames; with `backup`, an existing target becomes the ".BAK"
    // first. Returns 0 or the I/O code of the first failure.
    IoError commit(bool backup);
    // The first failed write, or 0.
    IoError writeError() const;

    // The backup name of a file: its extension replaced by ".BAK".
    static QString backupName(const QString &fileName);

private:
    class TempFile;

    void discard();

    QString mFileName;
    QString mTempName;
    bool mExisted = false;
    TempFile *mFile = nullptr;
    std::function<void(const QString &)> mWarn;
};

} // namespace vardeko
