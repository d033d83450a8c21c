// The compiler: a publication and every file it uses written behind the run-time player
// as one stand-alone program or screen saver.
#include "compiler.h"

#include "articlecanvas.h"
#include "articlefiles.h"
#include "articlelayout.h"
#include "book.h"
#include "bookfiles.h"
#include "filecopy.h"
#include "filenames.h"
#include "imageloader.h"
#include "ioerrors.h"
#include "pagepainter.h"
#include "palettefile.h"
#include "publicationfile.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryFile>

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstdio>
#include <optional>

namespace vardeko {

namespace {

const char BasicFonts[] = "|ARIAL|COURIER|COURIER NEW|FIXEDSYS|MARLETT|MODERN|MS SANS SERIF|MS SERIF|"
                          "SMALL FONTS|SYMBOL|TERMINAL|TIMES NEW ROMAN|WINGDINGS|";
const char MediaFilter[] = "Audio|*.WAV;*.MID;*.RMI;Video|*.AVI;*.MOV;*.MPG;*.DLL;";

QString pubDir(const Publication &pub)
{
    return pub.FileName.isEmpty() ? QString() : QFileInfo(pub.FileName).absolutePath();
}

// Where a stored name is on disk, or empty.
QString sourceOf(const Publication &pub, const QString &name)
{
    return locateFile(name, pubDir(pub));
}

struct Output
{
    BookWriter &book;
    CompileProgress *progress;
    quint64 &written;
};

// Copies a device to the book entry in blocks, with the interface kept alive.
int copyBlocks(QIODevice &in, Output &out, bool *stopped)
{
    return copyInBlocks(
            in, [&out](const char *data, qint64 n) {
                const int error = out.book.write(data, n);
                if (!error)
                    out.written += quint64(n);
                return error;
            },
            [&out](qint64 done, qint64 total) {
                if (!out.progress)
                    return false;
                out.progress->compiledSize(out.written);
                out.progress->position(total > 0 ? int(done * 100 / total) : 100);
                return out.progress->stopRequested();
            },
            stopped);
}

int copyFileInto(const QString &path, Output &out, bool *stopped)
{
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return QFileInfo::exists(path) ? int(IoAccessDenied) : int(IoFileNotFound);
    return copyBlocks(in, out, stopped);
}

// The program is written beside its name and renamed into place when complete, so a
// stopped or failed compile leaves what was there before. It is not forced onto the
// disk before the rename: a program can always be compiled again, and waiting for the
// disk would make compiling several times slower than copying the same files.
class ProgramFile : public QTemporaryFile
{
public:
    explicit ProgramFile(const QString &target)
        : QTemporaryFile(QFileInfo(target).absolutePath() + QStringLiteral("/.") + QFileInfo(target).fileName()
                         + QStringLiteral(".XXXXXX"))
        , mTarget(target)
    {
    }
    bool openForWriting() { return open(QIODevice::ReadWrite | QIODevice::Unbuffered); }
    void cancelWriting() { close(); }
    bool commit()
    {
        close();
        setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                       | QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther
                       | QFileDevice::ExeOther);
        if (::rename(QFile::encodeName(fileName()).constData(), QFile::encodeName(mTarget).constData()) != 0)
            return false;
        setAutoRemove(false);
        return true;
    }

private:
    QString mTarget;
};

// A picture as PNG, keeping the colour table of an indexed picture.
int convertPicture(const QString &path, QByteArray *png)
{
    QImage image;
    if (ImageLoader::decoderFor(path) == ImageLoader::QtReader) {
        QImageReader reader(path);
        reader.setDecideFormatFromContent(true);
        if (!reader.read(&image))
            image = QImage();
    }
    if (image.isNull()) {
        const ImageLoader::Result loaded = ImageLoader::load(path);
        if (!loaded.ok())
            return QFileInfo::exists(path) ? int(IoInvalidFormat) : int(IoFileNotFound);
        image = loaded.image;
        // A picture drawn with a palette keeps it: its pixels are mapped back onto it.
        QFile file(path);
        std::vector<PaletteEntry> palette;
        if (file.open(QIODevice::ReadOnly) && readPicturePalette(file.readAll(), &palette) == 0
            && !palette.empty() && palette.size() <= 256) {
            QList<QRgb> table;
            for (const PaletteEntry &e : palette)
                table.append(qRgb(e.red, e.green, e.blue));
            image = image.convertToFormat(QImage::Format_Indexed8, table, Qt::ThresholdDither | Qt::AvoidDither);
        }
    }
    QBuffer buffer(png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    return writer.write(image) ? int(IoOk) : int(IoNoTempFile);
}

// Copies an excluded file into the external-files folder. A folder that is the file's
// own leaves it alone rather than truncating it.
int copyExternal(const QString &source, const QString &dir)
{
    const int error = copyFileUnchanged(source, QDir(dir).filePath(QFileInfo(source).fileName()));
    return error == CopyOntoItself ? int(IoOk) : error;
}

// An article text laid out by the compiler for the size its objects show it at.
struct LaidOutArticle
{
    QString file;
    int lines = 0;
    int widest = 0;
};

// How an article object lays its text out.
struct ArticleLayoutKey
{
    int width = 0;
    bool wrap = true;
    QString face;
    int size = 0;
    int style = 0;
    bool operator==(const ArticleLayoutKey &) const = default;
};

ArticleLayoutKey layoutKeyOf(const PageObject &o)
{
    const ArticleData *a = o.article();
    return ArticleLayoutKey{articleScrollBars(o).view.width() - 12, a->WordWrap, a->Font, a->FontSize, a->FontStyle};
}

// The article objects of the publication by the bare name of their text (case-folded).
QHash<QString, std::vector<const PageObject *>> articleObjectsByText(const Publication &pub)
{
    QHash<QString, std::vector<const PageObject *>> users;
    auto visit = [&users](const PageObject &o) {
        if (const ArticleData *a = o.article(); a && !a->FileName.trimmed().isEmpty())
            users[bareFileName(a->FileName).toCaseFolded()].push_back(&o);
    };
    if (pub.masterPage())
        forEachObject(pub.masterPage()->Objects, visit);
    for (int i = 0; i < pub.pageCount(); ++i)
        forEachObject(pub.page(i)->Objects, visit);
    return users;
}

} // namespace

bool isBasicFont(const QString &name)
{
    return QLatin1String(BasicFonts).contains(QString(QLatin1Char('|') + name.toUpper() + QLatin1Char('|')));
}

std::vector<CompileEntry> buildCompileList(const Publication &pub)
{
    GatherOptions options;
    options.fonts = true;
    const QString dir = pubDir(pub);
    options.articleReferences = [dir](const QString &article) {
        const QString found = locateFile(article, dir);
        return articleLinkReferences(found.isEmpty() ? article : found);
    };
    std::vector<CompileEntry> list;
    for (const GatheredFile &f : gatherPublicationFiles(pub, options)) {
        CompileEntry e;
        e.name = f.name;
        e.kind = f.kind;
        e.width = f.width;
        e.height = f.height;
        list.push_back(std::move(e));
    }
    return list;
}

void markExclusions(std::vector<CompileEntry> &list, const PublicationSettings &s)
{
    const QString filter = QLatin1String(MediaFilter);
    const QStringList chosen = s.FontsToCompile.toUpper().split(u'|', Qt::SkipEmptyParts);
    for (CompileEntry &e : list) {
        switch (e.kind) {
        case GatheredKind::Other:
            e.excluded = true;
            break;
        case GatheredKind::Sound:
        case GatheredKind::VideoOrAnimation:
        case GatheredKind::OtherMedia: {
            const QString ext = QFileInfo(e.name).suffix().toUpper();
            e.excluded = s.FilesIncluded == 4 && !ext.isEmpty()
                         && filter.contains(QStringLiteral("*.") + ext + QLatin1Char(';'));
            break;
        }
        case GatheredKind::Font:
            if (e.name.compare(QLatin1String("SYSTEM"), Qt::CaseInsensitive) == 0)
                e.excluded = true;
            else if (s.FontsIncluded == 0)
                e.excluded = true;
            else if (s.FontsIncluded == 2)
                e.excluded = isBasicFont(e.name);
            else if (s.FontsIncluded == 3)
                e.excluded = !chosen.contains(e.name.toUpper());
            else
                e.excluded = false;
            break;
        default:
            e.excluded = false;
            break;
        }
    }
}

QString fontFileFor(const QString &family)
{
    static const bool ready = FcInit();
    if (!ready || family.isEmpty())
        return QString();
    const QByteArray name = family.toUtf8();
    FcPattern *pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8 *>(name.constData()));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern *match = FcFontMatch(nullptr, pattern, &result);
    QString file;
    if (match) {
        FcChar8 *matched = nullptr;
        FcChar8 *path = nullptr;
        // Only the font of that name: a stand-in the system would choose is not it.
        if (FcPatternGetString(match, FC_FAMILY, 0, &matched) == FcResultMatch
            && QString::fromUtf8(reinterpret_cast<const char *>(matched)).compare(family, Qt::CaseInsensitive) == 0
            && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch)
            file = QString::fromUtf8(reinterpret_cast<const char *>(path));
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return file;
}

QString CompileResult::message() const
{
    const QString text = detail.isEmpty() ? ioErrorMessage(error) : detail;
    return QStringLiteral("An error occurred during the compile.\r\r") + file + QStringLiteral("\r\r") + text;
}

QString findPlayer()
{
    const QString fromEnv = qEnvironmentVariable("VARDEKO_PLAYER");
    if (!fromEnv.isEmpty())
        return QFileInfo(fromEnv).isFile() ? fromEnv : QString();
    const QString dir = QCoreApplication::applicationDirPath();
    // Installed beside the editor; in the build tree in its own folder.
    const QStringList candidates{QString(dir + QStringLiteral("/vardeko-player")),
                                 QString(dir + QStringLiteral("/../player/vardeko-player")),
                                 QString(dir + QStringLiteral("/../src/player/vardeko-player"))};
    for (const QString &candidate : candidates) {
        if (QFileInfo(candidate).isFile())
            return QFileInfo(candidate).canonicalFilePath();
    }
    return QString();
}

CompileResult compilePublication(Publication &pub, const CompileJob &job, CompileProgress *progress)
{
    CompileResult r;
    std::vector<CompileEntry> list = buildCompileList(pub);
    markExclusions(list, pub.Settings);

    // Two files of one bare name would be one file in the program: refuse, naming both.
    BareNames bare;
    for (const CompileEntry &e : list) {
        if (e.excluded || e.kind == GatheredKind::Font)
            continue;
        if (const QString earlier = bare.claim(e.name); !earlier.isEmpty()) {
            r.file = e.name;
            r.detail = QStringLiteral("\"%1\" and \"%2\" have the same file name; a compiled program "
                                      "can hold only one of them.")
                               .arg(earlier, e.name);
            return r;
        }
    }

    // Article texts are laid out here at the size their objects show them, so that the
    // program draws them as they are. A text shown at several sizes or in several fonts,
    // or only opened by commands, goes in as written and is laid out where it is shown.
    const QString tempDir = job.tempDir.isEmpty() ? QDir::tempPath() : job.tempDir;
    QHash<QString, LaidOutArticle> laidOut; // case-folded bare name
    struct RemoveAll
    {
        QStringList files;
        ~RemoveAll()
        {
            for (const QString &file : std::as_const(files))
                QFile::remove(file);
        }
    } removeLaidOut;
    {
        const auto users = articleObjectsByText(pub);
        for (const CompileEntry &e : list) {
            if (e.excluded || e.kind != GatheredKind::ArticleText)
                continue;
            const QString key = bareFileName(e.name).toCaseFolded();
            const auto it = users.constFind(key);
            if (it == users.constEnd())
                continue;
            const ArticleLayoutKey layout = layoutKeyOf(*it->front());
            if (!std::all_of(it->begin(), it->end(), [&](const PageObject *o) { return layoutKeyOf(*o) == layout; }))
                continue;
            const QString source = sourceOf(pub, e.name);
            if (source.isEmpty()) {
                r.error = IoFileNotFound;
                r.file = e.name;
                return r;
            }
            if (progress)
                progress->step(QStringLiteral("Converting:"), bareFileName(e.name));
            ArticleCanvas canvas(ArticleFont{layout.face, layout.size, layout.style});
            QString formatted;
            const FormatResult laid = FormatArticle(canvas, source, layout.width, layout.wrap, &formatted, tempDir);
            if (!formatted.isEmpty())
                removeLaidOut.files << formatted;
            if (!laid.ok) {
                r.error = IoNoTempFile;
                r.file = e.name;
                return r;
            }
            // An article of empty lines only leaves no formatted text: it goes in as written.
            if (QFileInfo(formatted).size() > 0)
                laidOut.insert(key, LaidOutArticle{formatted, laid.lineCount, laid.widest});
        }
    }

    // The publication in its compiled form, in a temporary file deleted at the end.
    int error = 0;
    const QString pubName = pub.FileName.isEmpty() ? QStringLiteral("RUNTIME.PUB") : QFileInfo(pub.FileName).fileName();
    if (progress)
        progress->step(QStringLiteral("Converting:"), pubName);
    const QString tempPub = MakeTempFileName(tempDir, QStringLiteral("PUB"), &error);
    if (tempPub.isEmpty()) {
        r.error = IoNoTempFile;
        r.file = pubName;
        return r;
    }
    struct Remove
    {
        QString file;
        ~Remove() { QFile::remove(file); }
    } removeTemp{tempPub};
    const bool modified = pub.Modified;
    const QString fileName = pub.FileName;
    WriteOptions writeOptions;
    // The scroll ranges of the texts laid out here, for the bars that exist.
    writeOptions.scrollRange = [&laidOut](const PageObject &o, Qt::Orientation orientation) -> std::optional<int> {
        const ArticleData *a = o.article();
        const auto it = a ? laidOut.constFind(bareFileName(a->FileName).toCaseFolded()) : laidOut.constEnd();
        if (it == laidOut.constEnd())
            return std::nullopt;
        const ScrollBarLayout bars = articleScrollBars(o);
        if (orientation == Qt::Horizontal)
            return bars.horizontal.isEmpty() ? std::nullopt : std::optional<int>(it->widest + 12);
        return bars.vertical.isEmpty() ? std::nullopt : std::optional<int>(it->lines);
    };
    error = writePublication(pub, tempPub, WriteMode::Compiled, writeOptions);
    pub.FileName = fileName;
    pub.Modified = modified;
    if (error) {
        r.error = error;
        r.file = pubName;
        return r;
    }
    if (progress)
        progress->step(QStringLiteral("Adding:"), pubName);
    {
        bool held = false;
        for (const CompileEntry &e : list)
            held = held || bareFileName(e.name).compare(pubName, Qt::CaseInsensitive) == 0;
        if (!held) {
            CompileEntry e;
            e.name = pubName;
            e.kind = GatheredKind::Publication;
            e.preparedFile = tempPub;
            list.push_back(std::move(e));
        }
    }

    QFile player(job.player);
    if (job.player.isEmpty() || !player.open(QIODevice::ReadOnly)) {
        r.error = IoFileNotFound;
        r.file = job.player.isEmpty() ? QStringLiteral("vardeko-player") : job.player;
        return r;
    }
    ProgramFile out(job.output);
    if (!QFileInfo(QFileInfo(job.output).absolutePath()).isDir() || !out.openForWriting()) {
        r.error = QFileInfo(QFileInfo(job.output).absolutePath()).isDir() ? int(IoAccessDenied) : int(IoPathNotFound);
        r.file = job.output;
        return r;
    }
    auto failWith = [&](int code, const QString &file) {
        out.cancelWriting();
        r.error = code;
        r.file = file;
        return r;
    };
    quint64 written = 0;
    {
        // The player counts toward the compiled size but has no entry.
        const int copied = copyInBlocks(player, [&](const char *data, qint64 n) {
            if (out.write(data, n) != n)
                return int(IoDiskFull);
            written += quint64(n);
            return int(IoOk);
        });
        if (copied)
            return failWith(copied, copied == IoReadError ? job.player : job.output);
    }
    BookWriter book(out);
    Output sink{book, progress, written};
    const QString externalDir = pub.Settings.CopyExternalFiles ? pub.Settings.ExternalPath : QString();
    for (CompileEntry &e : list) {
        if (progress && progress->stopRequested()) {
            out.cancelWriting();
            r.stopped = true;
            return r;
        }
        if (e.excluded) {
            if (!externalDir.isEmpty() && e.kind != GatheredKind::Font) {
                if (progress)
                    progress->step(QStringLiteral("Copying:"), e.name);
                const QString source = sourceOf(pub, e.name);
                if (const int code = copyExternal(source.isEmpty() ? e.name : source, externalDir))
                    return failWith(code, e.name);
            }
            continue;
        }
        const QString shown = e.kind == GatheredKind::Font ? e.name : bareFileName(e.name);
        if (progress)
            progress->step(QStringLiteral("Adding:"), shown);
        const QString entryName = e.kind == GatheredKind::Font ? e.name : bareFileName(e.name);
        const auto laid = e.kind == GatheredKind::ArticleText ? laidOut.constFind(entryName.toCaseFolded())
                                                              : laidOut.constEnd();
        const quint8 flags = laid != laidOut.constEnd() ? quint8(BookPreformatted) : quint8(0);
        if (book.beginEntry(entryName, quint8(e.kind), flags) != 0) {
            out.cancelWriting();
            r.file = e.name;
            r.detail = book.errorText();
            return r;
        }
        e.offset = quint64(out.pos());
        bool stopped = false;
        int code = IoOk;
        switch (e.kind) {
        case GatheredKind::Publication:
            code = copyFileInto(e.preparedFile, sink, &stopped);
            break;
        case GatheredKind::Picture: {
            const QString source = sourceOf(pub, e.name);
            if (source.isEmpty()) {
                code = IoFileNotFound;
            } else if (carriedAsIs(source)) {
                code = copyFileInto(source, sink, &stopped);
            } else {
                if (progress)
                    progress->step(QStringLiteral("Compressing:"), shown);
                QByteArray png;
                code = convertPicture(source, &png);
                if (code == IoOk) {
                    QBuffer buffer(&png);
                    buffer.open(QIODevice::ReadOnly);
                    code = copyBlocks(buffer, sink, &stopped);
                }
                if (progress)
                    progress->step(QStringLiteral("Adding:"), shown);
            }
            break;
        }
        case GatheredKind::Font: {
            // The whole file of the installed font; a font not installed is left to the
            // reader's system to stand in for.
            const QString file = fontFileFor(e.name);
            if (!file.isEmpty())
                code = copyFileInto(file, sink, &stopped);
            break;
        }
        case GatheredKind::ArticleText:
            if (laid != laidOut.constEnd()) {
                code = copyFileInto(laid->file, sink, &stopped);
                break;
            }
            [[fallthrough]];
        default: {
            const QString source = sourceOf(pub, e.name);
            code = source.isEmpty() ? int(IoFileNotFound) : copyFileInto(source, sink, &stopped);
            break;
        }
        }
        e.size = book.endEntry().size;
        if (code)
            return failWith(code, e.name);
        if (stopped) {
            out.cancelWriting();
            r.stopped = true;
            return r;
        }
        QCoreApplication::processEvents();
    }
    if (const int code = book.finish())
        return failWith(code, job.output);
    if (!out.commit()) {
        r.error = IoWriteFault;
        r.file = job.output;
        return r;
    }
    r.total = quint64(QFileInfo(job.output).size());
    r.entries = std::move(list);
    if (progress)
        progress->compiledSize(written);
    return r;
}

} // namespace vardeko
