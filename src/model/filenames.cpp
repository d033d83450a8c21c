// File names as publications store them, and where they are on this machine.
#include "filenames.h"

#include "ioerrors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace vardeko {

namespace {

bool isSeparator(QChar c)
{
    return c == QLatin1Char('\\') || c == QLatin1Char('/');
}

bool hasDrivePrefix(const QString &name)
{
    return name.size() >= 2 && name.at(1) == QLatin1Char(':') && name.at(0).isLetter();
}

EmbeddedFileLookup &embeddedLookup()
{
    static EmbeddedFileLookup lookup;
    return lookup;
}

} // namespace

bool hasDirectoryPart(const QString &name)
{
    for (QChar c : name)
        if (isSeparator(c) || c == QLatin1Char(':'))
            return true;
    return false;
}

QString bareFileName(const QString &name)
{
    for (qsizetype i = name.size() - 1; i >= 0; --i)
        if (isSeparator(name.at(i)) || name.at(i) == QLatin1Char(':'))
            return name.mid(i + 1);
    return name;
}

QString BareNames::claim(const QString &name)
{
    const QString key = bareFileName(name).toCaseFolded();
    if (const auto it = mNames.constFind(key); it != mNames.constEnd())
        return *it;
    mNames.insert(key, name);
    return QString();
}

QString joinPath(const QString &dir, const QString &name)
{
    if (dir.isEmpty())
        return name;
    if (isSeparator(dir.back()))
        return dir + name;
    return dir + QLatin1Char('/') + name;
}

QString locateFile(const QString &name, const QString &baseDir)
{
    FileLocator locator;
    return locator.locate(name, baseDir);
}

void setEmbeddedFileLookup(EmbeddedFileLookup lookup)
{
    embeddedLookup() = std::move(lookup);
}

QString FileLocator::locate(const QString &name, const QString &baseDir)
{
    if (name.trimmed().isEmpty())
        return QString();
    if (const EmbeddedFileLookup &embedded = embeddedLookup()) {
        const QString carried = embedded(bareFileName(name));
        if (!carried.isEmpty())
            return carried;
    }
    QString path = name;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    auto anchored = [&baseDir](const QString &p) {
        return p.startsWith(QLatin1Char('/')) || baseDir.isEmpty() ? p : joinPath(baseDir, p);
    };
    if (hasDrivePrefix(path)) {
        // A name such as "C:/x" may exist as given relative to the base directory.
        const QString asGiven = walk(anchored(path));
        if (!asGiven.isEmpty())
            return asGiven;
        path = path.mid(2);
    }
    return walk(anchored(path));
}

const FileLocator::Listing &FileLocator::listing(const QString &dir)
{
    auto it = mListings.constFind(dir);
    if (it != mListings.constEnd())
        return *it;
    Listing l;
    const QStringList entries = QDir(dir.isEmpty() ? QStringLiteral(".") : dir)
                                        .entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                                   | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        l.exact.insert(entry);
        l.folded.insert(entry.toLower(), entry); // several spellings: any one will do
    }
    return *mListings.insert(dir, std::move(l));
}

// Walks the path one component at a time, taking a differently cased entry when the
// exact one is missing. Returns the path as it is on disk, or empty.
QString FileLocator::walk(const QString &rawPath)
{
    const QString path = QDir::cleanPath(rawPath);
    const bool absolute = path.startsWith(QLatin1Char('/'));
    const QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString current = absolute ? QStringLiteral("/") : QString();
    for (const QString &part : parts) {
        QString found;
        if (part == QLatin1String("..") || part == QLatin1String(".")) {
            found = part;
        } else {
            const Listing &l = listing(current);
            if (l.exact.contains(part))
                found = part;
            else
                found = l.folded.value(part.toLower());
        }
        if (found.isEmpty())
            return QString();
        current = current.isEmpty() ? found : joinPath(current, found);
    }
    return current;
}

namespace {

// Creates the first free numbered name; on failure *failure is the errno that stopped
// it, or 0 when every name is taken.
QString createNumberedFile(const QString &dir, const QString &extension, int *failure)
{
    *failure = 0;
    for (int n = 1; n <= 99999999; ++n) {
        const QString name = joinPath(dir, QStringLiteral("%1.%2").arg(n, 8, 10, QLatin1Char('0')).arg(extension));
        const QByteArray native = QFile::encodeName(name);
        const int fd = ::open(native.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0644);
        if (fd >= 0) {
            ::close(fd);
            return name;
        }
        if (errno != EEXIST) {
            *failure = errno;
            break;
        }
    }
    return QString();
}

} // namespace

QString MakeTempFileName(const QString &dir, const QString &extension, int *error)
{
    int failure = 0;
    const QString name = createNumberedFile(dir, extension, &failure);
    if (error)
        *error = name.isEmpty() ? IoNoTempFile : IoOk;
    return name;
}

QString MakeTempFileBeside(const QString &dir, const QString &extension, int *error)
{
    int failure = 0;
    const QString name = createNumberedFile(dir, extension, &failure);
    if (!name.isEmpty())
        *error = IoOk;
    else if (failure == 0)
        *error = IoNoTempFile;
    else if (failure == ENOENT)
        *error = IoPathNotFound; // the folder, not a file, is missing
    else
        *error = ioErrorFromErrno(failure);
    return name;
}

} // namespace vardeko
