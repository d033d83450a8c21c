// The files a compiled program carries: found by name before any on disk, fonts made
// known to the program, media put where a player can open them and removed at the end.
#include "bookfiles.h"

#include "filegatherer.h"
#include "filenames.h"
#include "ioerrors.h"

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QSaveFile>

namespace vardeko {

bool carriedAsIs(const QString &pictureName)
{
    const QString ext = QFileInfo(pictureName).suffix().toUpper();
    return ext == QLatin1String("PNG") || ext == QLatin1String("WMF") || ext == QLatin1String("ICO");
}

BookFiles::~BookFiles()
{
    cleanUp();
}

int BookFiles::open(const QString &programFile)
{
    mFile.setFileName(programFile);
    if (!mFile.open(QIODevice::ReadOnly)) {
        mError = programFile + QStringLiteral(": ") + mFile.errorString();
        return IoFileNotFound;
    }
    const int error = mReader.open(&mFile);
    if (error)
        mError = programFile + QStringLiteral(": ") + mReader.errorText();
    return error;
}

const BookEntry *BookFiles::publicationEntry() const
{
    for (const BookEntry &e : mReader.entries()) {
        if (e.kind == quint8(GatheredKind::Publication))
            return &e;
    }
    return nullptr;
}

int BookFiles::registerFonts()
{
    int taken = 0;
    for (const BookEntry &e : mReader.entries()) {
        if (e.kind != quint8(GatheredKind::Font))
            continue;
        QByteArray data;
        if (mReader.read(e, &data) != 0)
            continue;
        const int id = QFontDatabase::addApplicationFontFromData(data);
        if (id < 0)
            continue;
        ++taken;
        // The publication asks for the font by the name it was carried under; the file
        // may call its family differently (a substitute the system chose when compiling).
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        if (!families.isEmpty() && !families.contains(e.name, Qt::CaseInsensitive))
            QFont::insertSubstitution(e.name, families.first());
    }
    return taken;
}

QString BookFiles::privateDir()
{
    if (!mPrivate) {
        mPrivate = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/vardeko-book-XXXXXX"));
        if (!mPrivate->isValid())
            return QString();
    }
    return mPrivate->path();
}

int BookFiles::extract(const BookEntry &entry, const QString &dir, bool shared)
{
    // Pictures were carried as PNG under the name the publication uses; the file keeps a
    // name that says what it holds.
    QString fileName = entry.name;
    if (entry.kind == quint8(GatheredKind::Picture) && !carriedAsIs(entry.name))
        fileName += QStringLiteral(".png");
    const QString target = QDir(dir).filePath(fileName);
    if (shared && QFileInfo::exists(target)) {
        // A file of that name is already there: used when it is this one, never
        // overwritten or removed when it is not.
        QFile existing(target);
        if (quint64(existing.size()) == entry.size && existing.open(QIODevice::ReadOnly)) {
            quint32 crc = 0;
            while (!existing.atEnd()) {
                const QByteArray block = existing.read(1 << 16);
                if (block.isEmpty())
                    break;
                crc = crc32Update(crc, block.constData(), block.size());
            }
            if (crc == entry.crc) {
                mPaths.insert(entry.name.toCaseFolded(), target);
                return IoOk;
            }
        }
        return IoAccessDenied;
    }
    // Written beside and renamed: a stopped program leaves no half file under the name.
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        return IoAccessDenied;
    const int error = mReader.copy(entry, out);
    if (error) {
        out.cancelWriting();
        return error;
    }
    if (!out.commit())
        return IoWriteFault;
    if (shared)
        mCreated.append(target);
    mPaths.insert(entry.name.toCaseFolded(), target);
    return IoOk;
}

void BookFiles::setPlaces(quint8 extractOp, const QString &customDir, const QString &programDir)
{
    mRemoveAtEnd = (extractOp & ExtractRemoveAtEnd) != 0;
    switch (extractOp & 0x0F) {
    case ExtractToSystemDir:
        mMediaDir = QStringLiteral("/usr/share");
        break;
    case ExtractToTempDir:
        mMediaDir = QDir::tempPath();
        break;
    case ExtractToCustomDir:
        mMediaDir = customDir;
        break;
    default:
        mMediaDir = programDir;
        break;
    }
}

QString BookFiles::path(const QString &bareName)
{
    const QString key = bareName.toCaseFolded();
    if (const auto it = mPaths.constFind(key); it != mPaths.constEnd())
        return *it;
    const BookEntry *e = mReader.find(bareName);
    if (!e)
        return QString();
    const auto kind = GatheredKind(e->kind);
    if (kind == GatheredKind::Publication || kind == GatheredKind::Font)
        return QString();
    const bool media = kind == GatheredKind::Sound || kind == GatheredKind::VideoOrAnimation
                       || kind == GatheredKind::OtherMedia || kind == GatheredKind::Other;
    int error = IoAccessDenied;
    if (media && !mMediaDir.isEmpty() && QFileInfo(mMediaDir).isDir())
        error = extract(*e, mMediaDir, true);
    // The chosen place may be read-only (a CD, a system folder) or hold another file
    // of that name: the program's own folder takes it then.
    if (error == IoAccessDenied || error == IoWriteFault || error == IoDiskFull) {
        const QString own = privateDir();
        error = own.isEmpty() ? int(IoNoTempFile) : extract(*e, own, false);
    }
    if (error) {
        mError = e->name + QStringLiteral(": ") + ioErrorMessage(error);
        return QString();
    }
    return mPaths.value(key);
}

void BookFiles::cleanUp()
{
    if (mRemoveAtEnd) {
        for (const QString &file : std::as_const(mCreated))
            QFile::remove(file);
    }
    mCreated.clear();
    mPaths.clear();
    mPrivate.reset();
}

} // namespace vardeko
