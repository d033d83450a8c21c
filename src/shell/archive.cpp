// The archive: a publication and every file it uses copied into one folder under bare
// names, spanning diskettes when the folder is on a removable drive.
#include "archive.h"

#include "articlefiles.h"
#include "filecopy.h"
#include "filenames.h"
#include "ioerrors.h"
#include "publicationfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

namespace vardeko {

namespace {


struct WorkItem
{
    QString source;
    QString destination;
    GatheredKind kind = GatheredKind::Other;
    bool done = false;
};

} // namespace

// --- the real drives

bool SystemArchiveMedia::isRemovable(const QString &dir)
{
    const QStorageInfo info(dir);
    QString device = QString::fromLocal8Bit(info.device());
    if (!device.startsWith(QLatin1String("/dev/")))
        return false;
    device = QFileInfo(device).fileName();
    // A partition ("sdb1") belongs to its disk ("sdb").
    for (QString disk = device; !disk.isEmpty(); disk.chop(1)) {
        QFile flag(QStringLiteral("/sys/block/%1/removable").arg(disk));
        if (flag.open(QIODevice::ReadOnly))
            return flag.readAll().trimmed() == "1";
    }
    return false;
}

qint64 SystemArchiveMedia::capacity(const QString &dir)
{
    return QStorageInfo(dir).bytesTotal();
}

qint64 SystemArchiveMedia::bytesFree(const QString &dir)
{
    return QStorageInfo(dir).bytesAvailable();
}

bool SystemArchiveMedia::nextDisk(const QString &)
{
    return false; // the dialog's owner asks; without one no other diskette comes
}

QString archiveErrorText(int error)
{
    if (error == CopyOntoItself)
        return QStringLiteral("A file cannot be copied onto itself.");
    if (error == CopySizeDiffers)
        return QStringLiteral("Cannot copy file.");
    return ioErrorMessage(error);
}

ArchiveResult archivePublication(Publication &pub, const QString &dir, bool dirExisted, const QString &tempDir,
                                 ArchiveMedia &media, ArchiveProgress *progress)
{
    ArchiveResult r;
    auto fail = [&r](int code, const QString &file) {
        r.error = code;
        r.file = file;
        r.message = archiveErrorText(code);
        return r;
    };
    if (!QDir(dir).exists() && !QDir().mkpath(dir))
        return fail(IoPathNotFound, dir);

    int error = 0;
    const QString tempPub = MakeTempFileName(tempDir.isEmpty() ? QDir::tempPath() : tempDir, QStringLiteral("PUB"), &error);
    if (tempPub.isEmpty()) {
        r.error = IoNoTempFile;
        r.message = QStringLiteral("Unable to create temporary file!");
        return r;
    }
    struct Remove
    {
        QString file;
        ~Remove() { QFile::remove(file); }
    } removeTemp{tempPub};

    const QString pubDir = pub.FileName.isEmpty() ? QString() : QFileInfo(pub.FileName).absolutePath();
    GatherOptions options;
    options.fonts = false;
    options.articleReferences = [pubDir](const QString &article) {
        const QString found = locateFile(article, pubDir);
        return articleLinkReferences(found.isEmpty() ? article : found);
    };
    std::vector<GatheredFile> files = gatherPublicationFiles(pub, options);
    if (!pub.Settings.Icon.isEmpty())
        files.push_back({pub.Settings.Icon, GatheredKind::Picture, 0, 0});
    const QString pubName = pub.FileName.isEmpty() ? QStringLiteral("UNTITLED.PUB") : QFileInfo(pub.FileName).fileName();

    std::vector<WorkItem> work;
    BareNames bare;
    bare.claim(pub.FileName.isEmpty() ? pubName : pub.FileName);
    for (const GatheredFile &f : files) {
        const QString name = bareFileName(f.name);
        if (const QString earlier = bare.claim(f.name); !earlier.isEmpty()) {
            // Two files of one name would overwrite each other in the archive.
            r.file = f.name;
            r.message = QStringLiteral("\"%1\" and \"%2\" have the same file name; an archive can hold only "
                                       "one of them.")
                                .arg(earlier, f.name);
            return r;
        }
        const QString source = locateFile(f.name, pubDir);
        work.push_back({source.isEmpty() ? f.name : source, QDir(dir).filePath(name), f.kind, false});
    }
    work.push_back({tempPub, QDir(dir).filePath(pubName), GatheredKind::Publication, false});

    if (progress) {
        progress->filesRemaining(int(work.size()));
        progress->step(QStringLiteral("Converting:"), pubName);
    }
    const QString fileName = pub.FileName;
    const bool modified = pub.Modified;
    error = writePublication(pub, tempPub, WriteMode::Archive);
    pub.FileName = fileName;
    pub.Modified = modified;
    if (error)
        return fail(error, pubName);

    if (progress)
        progress->step(QStringLiteral("Copying:"), QString());
    const bool removable = media.isRemovable(dir);
    const qint64 diskSize = removable ? media.capacity(dir) : 0;
    if (dirExisted) {
        bool anyThere = false;
        for (const WorkItem &w : work)
            anyThere = anyThere || QFileInfo::exists(w.destination);
        if (anyThere && progress && !progress->replaceExisting()) {
            r.declined = true;
            return r;
        }
    }

    const AfterBlock stopCheck = [progress](qint64, qint64) { return progress && progress->stopRequested(); };
    int left = int(work.size());
    while (true) {
        bool leftForNext = false;
        for (WorkItem &w : work) {
            if (w.done)
                continue;
            if (progress) {
                progress->step(QStringLiteral("Copying:"), QFileInfo(w.destination).fileName());
                if (progress->stopRequested()) {
                    r.stopped = true;
                    return r;
                }
            }
            const qint64 size = QFileInfo(w.source).size();
            if (removable) {
                if (size > diskSize) {
                    r.file = w.source;
                    r.message = QStringLiteral("\"%1\"\r\rthis file is too large to fit on a\rdiskette of this type!")
                                        .arg(QFileInfo(w.destination).fileName());
                    return r;
                }
                // Full: the file waits for the next diskette.
                if (size > media.bytesFree(dir)) {
                    leftForNext = true;
                    continue;
                }
            }
            bool stopped = false;
            const int code = w.kind == GatheredKind::ArticleText
                                     ? copyArticleWithBareNames(w.source, w.destination)
                                     : copyFileUnchanged(w.source, w.destination, stopCheck, &stopped);
            if (stopped) {
                r.stopped = true;
                return r;
            }
            if (code == IoDiskFull && removable) {
                leftForNext = true;
                continue;
            }
            if (code)
                return fail(code, w.source);
            w.done = true;
            r.written.append(w.destination);
            if (progress) {
                progress->copied(w.destination);
                progress->filesRemaining(--left);
            }
        }
        if (!leftForNext)
            break;
        // The drive is where the target's file system is mounted.
        const QStorageInfo drive(dir);
        if (!media.nextDisk(drive.isValid() ? drive.rootPath() : dir)) {
            r.stopped = true;
            return r;
        }
        if (!QDir(dir).exists() && !QDir().mkpath(dir))
            return fail(IoPathNotFound, dir);
        // Every file still waiting is smaller than a diskette; if a fresh one still has
        // no room for any of them, asking again would go on for ever.
        bool fits = false;
        for (const WorkItem &w : work)
            fits = fits || (!w.done && QFileInfo(w.source).size() <= media.bytesFree(dir));
        if (!fits) {
            r.message = ioErrorMessage(IoDiskFull);
            return r;
        }
    }
    return r;
}

} // namespace vardeko
