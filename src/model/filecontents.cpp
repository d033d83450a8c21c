// Whole-file reading and replacing writes for the small text files the editor keeps.
#include "filecontents.h"

#include "filenames.h"
#include "ioerrors.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vardeko {

int readFileContents(const QString &fileName, QByteArray *bytes, qint64 limit)
{
    bytes->clear();
    if (fileName.isEmpty())
        return IoFileNotFound;
    const QByteArray native = QFile::encodeName(fileName);
    // Non-blocking so that a named pipe cannot hang the open; regular files ignore it.
    const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return ioErrorFromErrno(errno);
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return IoAccessDenied;
    }
    if (st.st_size > limit) {
        ::close(fd);
        return IoOutOfMemory;
    }
    bytes->reserve(qsizetype(st.st_size));
    char buffer[16384];
    int error = IoOk;
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = ioErrorFromErrno(errno);
            break;
        }
        if (n == 0)
            break;
        if (bytes->size() + n > limit) {
            error = IoOutOfMemory; // grew while being read
            break;
        }
        bytes->append(buffer, n);
    }
    ::close(fd);
    return error;
}

int replaceFileContents(const QString &fileName, const QByteArray &bytes)
{
    const QFileInfo target(fileName);
    int error = IoOk;
    const QString temp = MakeTempFileBeside(target.absolutePath(), QStringLiteral("$$$"), &error);
    if (temp.isEmpty())
        return error;
    const QByteArray nativeTemp = QFile::encodeName(temp);
    const int fd = ::open(nativeTemp.constData(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        error = ioErrorFromErrno(errno);
        ::unlink(nativeTemp.constData());
        return error;
    }
    const QByteArray nativeTarget = QFile::encodeName(fileName);
    struct stat old
    {
    };
    if (::stat(nativeTarget.constData(), &old) == 0)
        ::fchmod(fd, old.st_mode & 07777);
    qsizetype done = 0;
    while (!error && done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0) {
            if (errno != EINTR)
                error = ioErrorFromErrno(errno);
            continue;
        }
        done += n;
    }
    if (!error && ::fsync(fd) != 0)
        error = ioErrorFromErrno(errno);
    if (::close(fd) != 0 && !error)
        error = ioErrorFromErrno(errno);
    if (!error && ::rename(nativeTemp.constData(), nativeTarget.constData()) != 0)
        error = ioErrorFromErrno(errno);
    if (error)
        ::unlink(nativeTemp.constData());
    return error;
}

QString forceExtension(const QString &fileName, const QString &extension)
{
    const qsizetype slash = std::max(fileName.lastIndexOf(QLatin1Char('/')),
                                     fileName.lastIndexOf(QLatin1Char('\\')));
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    // A point in a directory name or at the start of the bare name is no extension.
    if (dot > slash + 1)
        return fileName.left(dot) + extension;
    return fileName + extension;
}

} // namespace vardeko
