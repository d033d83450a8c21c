// Replaces a file safely: the new text goes to a temporary file beside it first.
#include "atomicsave.h"

#include "filenames.h"

#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vardeko {

// The temporary file. Each piece written is handed to the disk at once, so that the final
// flush has little left to wait for, and the code of the first failed write is kept.
class AtomicSave::TempFile : public QFile
{
public:
    IoError firstError = IoOk;

protected:
    qint64 writeData(const char *data, qint64 len) override
    {
        const qint64 at = pos();
        errno = 0;
        const qint64 n = QFile::writeData(data, len);
        if (n < len) {
            if (!firstError)
                firstError = ioErrorFromErrno(errno ? errno : EIO);
            return n < 0 ? -1 : n;
        }
#ifdef SYNC_FILE_RANGE_WRITE
        ::sync_file_range(handle(), at, n, SYNC_FILE_RANGE_WRITE);
#else
        Q_UNUSED(at);
#endif
        return n;
    }
};

AtomicSave::AtomicSave(const QString &fileName)
    : mFileName(fileName)
{}

AtomicSave::~AtomicSave()
{
    discard();
}

QString AtomicSave::backupName(const QString &fileName)
{
    const QString suffix = QFileInfo(fileName).suffix();
    QString base = fileName;
    if (!suffix.isEmpty())
        base.chop(suffix.size() + 1);
    return base + QStringLiteral(".BAK");
}

IoError AtomicSave::open()
{
    discard();
    int code = IoOk;
    mTempName = MakeTempFileBeside(QFileInfo(mFileName).absolutePath(), QStringLiteral("$$$"), &code);
    if (mTempName.isEmpty())
        return IoError(code);
    IoError error = IoOk;
    // The name was created empty a moment ago; it is opened without following a link
    // someone may have put in its place.
    const int fd = ::open(QFile::encodeName(mTempName).constData(),
                          O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        error = ioErrorFromErrno(errno);
        discard();
        return error;
    }
    struct stat old {};
    mExisted = ::stat(QFile::encodeName(mFileName).constData(), &old) == 0;
    if (mExisted)
        ::fchmod(fd, old.st_mode & 07777);
    mFile = new TempFile;
    if (!mFile->open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        discard();
        return IoAccessDenied;
    }
    return IoOk;
}

QIODevice &AtomicSave::device()
{
    Q_ASSERT(mFile);
    return *mFile;
}

IoError AtomicSave::writeError() const
{
    return mFile ? mFile->firstError : IoOk;
}

IoError AtomicSave::commit(bool backup)
{
    if (!mFile)
        return IoNoTempFile;
    IoError error = mFile->firstError;
    if (!error && ::fsync(mFile->handle()) != 0)
        error = ioErrorFromErrno(errno);
    mFile->close();
    if (!error && mFile->error() != QFileDevice::NoError)
        error = IoWriteFault;
    if (error) {
        discard();
        return error;
    }

    const QByteArray nativeTarget = QFile::encodeName(mFileName);
    QString backupFile;
    if (backup && mExisted) {
        backupFile = backupName(mFileName);
        QFile::remove(backupFile);
        if (::rename(nativeTarget.constData(), QFile::encodeName(backupFile).constData()) != 0) {
            if (mWarn)
                mWarn(QStringLiteral("Unable to create backup file:\n") + backupFile + QLatin1Char('!'));
            backupFile.clear();
        }
    }
    if (::rename(QFile::encodeName(mTempName).constData(), nativeTarget.constData()) != 0) {
        error = ioErrorFromErrno(errno);
        // The old file goes back to its name: a failed save loses nothing.
        if (!backupFile.isEmpty())
            ::rename(QFile::encodeName(backupFile).constData(), nativeTarget.constData());
        discard();
        return error;
    }
    mTempName.clear();
    delete mFile;
    mFile = nullptr;
    return IoOk;
}

void AtomicSave::discard()
{
    delete mFile;
    mFile = nullptr;
    if (!mTempName.isEmpty())
        ::unlink(QFile::encodeName(mTempName).constData());
    mTempName.clear();
}

} // namespace vardeko
