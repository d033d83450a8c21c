// The file commands of scripts: read, write, insert and delete lines, count, copy, erase.
#include "scriptfiles.h"

#include "filenames.h"
#include "ioerrors.h"
#include "textcodec.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace vardeko {

namespace {

constexpr char Bom[] = "\xEF\xBB\xBF";
constexpr qint64 CopyBlock = 65528;

QString parentDir(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    if (slash < 0)
        return QStringLiteral(".");
    return slash == 0 ? QStringLiteral("/") : path.left(slash);
}

// Reads a whole file; false with *error set when it cannot be opened or read.
bool readAll(const QString &path, QByteArray *out, int *error)
{
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        *error = ioErrorFromErrno(errno);
        return false;
    }
    struct stat st;
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        *error = IoAccessDenied;
        return false;
    }
    out->clear();
    char buf[CopyBlock];
    for (;;) {
        const ssize_t r = ::read(fd, buf, sizeof buf);
        if (r < 0) {
            if (errno == EINTR)
                continue;
            *error = ioErrorFromErrno(errno);
            ::close(fd);
            return false;
        }
        if (r == 0)
            break;
        out->append(buf, r);
    }
    ::close(fd);
    return true;
}

bool writeAll(int fd, const char *data, qint64 size, int *error)
{
    while (size > 0) {
        const ssize_t w = ::write(fd, data, size_t(qMin(size, CopyBlock)));
        if (w < 0) {
            if (errno == EINTR)
                continue;
            *error = ioErrorFromErrno(errno);
            return false;
        }
        data += w;
        size -= w;
    }
    return true;
}

// Lines of raw file bytes: cut at LF, a CR before the LF dropped, a last line without
// LF kept when it is not empty.
std::vector<QByteArray> splitLines(const QByteArray &bytes)
{
    std::vector<QByteArray> lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype lf = bytes.indexOf('\n', start);
        const bool last = lf < 0;
        if (last)
            lf = bytes.size();
        qsizetype end = lf;
        if (!last && end > start && bytes.at(end - 1) == '\r')
            --end;
        lines.push_back(bytes.mid(start, end - start));
        start = lf + 1;
    }
    return lines;
}

// Writes `content` to the temporary file, then puts it in place of `path`.
int replaceWith(const QString &tmp, const QString &path, const QByteArray &content, bool keepMode)
{
    int error = IoOk;
    const QByteArray nativeTmp = QFile::encodeName(tmp);
    const int fd = ::open(nativeTmp.constData(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        error = ioErrorFromErrno(errno);
    } else {
        if (writeAll(fd, content.constData(), content.size(), &error) && ::fsync(fd) != 0)
            error = ioErrorFromErrno(errno);
        if (::close(fd) != 0 && error == IoOk)
            error = ioErrorFromErrno(errno);
    }
    const QByteArray nativePath = QFile::encodeName(path);
    if (error == IoOk && keepMode) {
        struct stat st;
        if (::stat(nativePath.constData(), &st) == 0)
            ::chmod(nativeTmp.constData(), st.st_mode & 07777);
    }
    if (error == IoOk && ::rename(nativeTmp.constData(), nativePath.constData()) != 0)
        error = ioErrorFromErrno(errno);
    if (error != IoOk)
        ::unlink(nativeTmp.constData());
    return error;
}

} // namespace

QString completeScriptFileName(const QString &name, const QString &programDir)
{
    if (hasDirectoryPart(name) || programDir.isEmpty())
        return name;
    return joinPath(programDir, name);
}

QString scriptFileTarget(const QString &completed)
{
    const QString found = locateFile(completed);
    if (!found.isEmpty())
        return found;
    QString path = completed;
    path.replace(u'\\', u'/');
    if (path.size() >= 2 && path.at(1) == u':' && path.at(0).isLetter())
        path = path.mid(2);
    const qsizetype slash = path.lastIndexOf(u'/');
    if (slash < 0)
        return path;
    const QString dir = slash == 0 ? QStringLiteral("/") : path.left(slash);
    const QString foundDir = locateFile(dir);
    return joinPath(foundDir.isEmpty() ? dir : foundDir, path.mid(slash + 1));
}

QString ReadFileLine(const QString &path, int n)
{
    if (n < 1)
        return QString();
    QByteArray bytes;
    int error = 0;
    if (!readAll(path, &bytes, &error))
        return QString();
    const bool utf8 = bytes.startsWith(Bom);
    const std::vector<QByteArray> lines = splitLines(utf8 ? bytes.mid(3) : bytes);
    if (size_t(n) > lines.size())
        return QString();
    const QByteArray &line = lines[size_t(n - 1)];
    return utf8 ? QString::fromUtf8(line) : decodeWindows1252(line);
}

int fileLineCount(const QString &path)
{
    QByteArray bytes;
    int error = 0;
    if (path.isEmpty() || !readAll(path, &bytes, &error))
        return 0;
    return int(splitLines(bytes).size());
}

int EditFileLine(const QString &path, int n, const QString &data, LineEdit mode)
{
    int error = IoOk;
    const QString tmp = MakeTempFileName(parentDir(path), QStringLiteral("$$$"), &error);
    if (tmp.isEmpty())
        return IoNoTempFile;

    QByteArray bytes;
    int readError = IoOk;
    const bool opened = readAll(path, &bytes, &readError);
    if (!opened && readError != IoFileNotFound) {
        // A file that exists but cannot be read is not replaced by a new one.
        ::unlink(QFile::encodeName(tmp).constData());
        return readError;
    }
    bool utf8 = opened && bytes.startsWith(Bom);
    std::vector<QByteArray> lines = splitLines(utf8 ? bytes.mid(3) : bytes);

    // The data line in the file's encoding; a character Windows-1252 lacks turns the
    // whole file into UTF-8 with a byte-order mark.
    QByteArray dataLine;
    if (mode == LineEdit::Write) {
        if (utf8) {
            dataLine = data.toUtf8();
        } else if (!encodeWindows1252(data, &dataLine)) {
            for (QByteArray &l : lines)
                l = decodeWindows1252(l).toUtf8();
            utf8 = true;
            dataLine = data.toUtf8();
        }
    }

    QByteArray out;
    if (utf8)
        out.append(Bom);
    auto put = [&out](const QByteArray &line) {
        out.append(line);
        out.append("\r\n");
    };
    if (!opened) {
        // A missing file reads as an empty one: line N is written after N-1 empty lines,
        // and a line appended (N below 1) becomes the only line.
        for (int i = 1; i < n; ++i)
            put(QByteArray());
        if (n >= 1 || mode != LineEdit::Delete)
            put(dataLine);
    } else {
        size_t next = 0;
        if (n >= 1) {
            for (int i = 1; i < n; ++i)
                put(next < lines.size() ? lines[next++] : QByteArray());
        } else {
            while (next < lines.size())
                put(lines[next++]);
        }
        if (mode != LineEdit::Delete)
            put(dataLine);
        if (mode != LineEdit::Insert && next < lines.size())
            ++next;
        while (next < lines.size())
            put(lines[next++]);
    }
    return replaceWith(tmp, path, out, opened);
}

int CopyFile(const QString &source, const QString &destination)
{
    const QByteArray nativeSrc = QFile::encodeName(source);
    const int in = ::open(nativeSrc.constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return ioErrorFromErrno(errno);
    struct stat st;
    if (::fstat(in, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(in);
        return IoAccessDenied;
    }
    int error = IoOk;
    const QString tmp = MakeTempFileBeside(parentDir(destination), QStringLiteral("$$$"), &error);
    if (tmp.isEmpty()) {
        ::close(in);
        return error;
    }
    const QByteArray nativeTmp = QFile::encodeName(tmp);
    const int out = ::open(nativeTmp.constData(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOFOLLOW);
    if (out < 0)
        error = ioErrorFromErrno(errno);
    char buf[CopyBlock];
    while (error == IoOk) {
        const ssize_t r = ::read(in, buf, sizeof buf);
        if (r < 0) {
            if (errno == EINTR)
                continue;
            error = ioErrorFromErrno(errno);
        } else if (r == 0) {
            break;
        } else {
            writeAll(out, buf, r, &error);
        }
    }
    ::close(in);
    if (out >= 0) {
        if (error == IoOk && ::fsync(out) != 0)
            error = ioErrorFromErrno(errno);
        if (::close(out) != 0 && error == IoOk)
            error = ioErrorFromErrno(errno);
    }
    if (error == IoOk) {
        // The copy keeps the source's date and permissions.
        ::chmod(nativeTmp.constData(), st.st_mode & 07777);
        const struct timespec times[2] = {st.st_atim, st.st_mtim};
        ::utimensat(AT_FDCWD, nativeTmp.constData(), times, 0);
        if (::rename(nativeTmp.constData(), QFile::encodeName(destination).constData()) != 0)
            error = ioErrorFromErrno(errno);
    }
    if (error != IoOk)
        ::unlink(nativeTmp.constData());
    return error;
}

int EraseFile(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat st;
    if (::lstat(native.constData(), &st) != 0)
        return IoOk; // nothing to erase
    if (S_ISDIR(st.st_mode))
        return IoAccessDenied;
    return ::unlink(native.constData()) == 0 ? IoOk : ioErrorFromErrno(errno);
}

} // namespace vardeko
