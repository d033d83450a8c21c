// Article files apart from drawing: markers, link targets, plain text and copies.
#include "articlefiles.h"

#include "filecommands.h"
#include "filenames.h"
#include "ioerrors.h"
#include "textcodec.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

namespace vardeko {

int FindArticleMarker(const QString &formattedFile, const QString &name)
{
    QString bare = name;
    if (bare.startsWith(QLatin1Char(':')))
        bare.remove(0, 1);
    const QString key = QStringLiteral("^M") + bare.toUpper() + QStringLiteral("^M");
    ArticleLineReader in;
    if (!in.open(formattedFile))
        return -1;
    QByteArrayView bytes;
    QString previous;
    QString line;
    for (int n = 0; in.readRecord(&bytes); ++n) {
        decodeWindows1252Into(bytes, &line);
        line = line.toUpper();
        // A marker name is searched across the end of the line before, too.
        const QString text = previous.right(key.size()) + QLatin1Char(' ') + line;
        if (text.contains(key))
            return n;
        previous.swap(line);
    }
    return -1;
}

bool LinkTargetScan::NextLinkTarget(QString *target)
{
    enum { SeekLink, SeekEquals, InTarget } state = SeekLink;
    QString text = mCarry;
    mCarry.clear();
    QString found;
    QByteArrayView bytes;
    QString line;
    for (;;) {
        qsizetype at = 0;
        while (at <= text.size()) {
            if (state == SeekLink) {
                const qsizetype p = text.indexOf(QLatin1String("^L"), at);
                if (p < 0)
                    break;
                state = SeekEquals;
                at = p + 2;
            } else if (state == SeekEquals) {
                const qsizetype p = text.indexOf(QLatin1Char('='), at);
                if (p < 0)
                    break;
                state = InTarget;
                found.clear();
                at = p + 1;
            } else {
                const qsizetype p = text.indexOf(QLatin1String("^l"), at);
                if (p < 0) {
                    found += text.mid(at);
                    break;
                }
                found += text.mid(at, p - at);
                state = SeekLink;
                at = p + 2;
                if (!found.isEmpty()) {
                    mCarry = text.mid(at);
                    *target = found;
                    return true;
                }
            }
        }
        if (!mReader.readLine(&bytes))
            return false;
        decodeWindows1252Into(bytes, &line);
        text = line;
    }
}

QStringList articleLinkTargets(const QString &fileName)
{
    QStringList targets;
    ArticleLineReader reader;
    if (!reader.open(fileName))
        return targets;
    LinkTargetScan scan(reader);
    QString target;
    while (scan.NextLinkTarget(&target))
        targets.append(target);
    return targets;
}

std::vector<GatheredFile> articleLinkReferences(const QString &fileName)
{
    FileGatherer gatherer;
    for (const QString &target : articleLinkTargets(fileName))
        if (!target.startsWith(QLatin1Char(':')))
            gatherer.addScript(target);
    return gatherer.takeFiles();
}

QString stripArticleCodes(const QString &line)
{
    QString out;
    out.reserve(line.size());
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == QLatin1Char('^') && i + 1 < line.size()) {
            if (line[i + 1] == QLatin1Char('^'))
                out += QLatin1Char('^');
            ++i;
            continue;
        }
        out += line[i];
    }
    return out;
}

QString resolveLinkScript(const QString &script, const QString &publicationDir)
{
    return mapScriptFileNames(script, [&](int, const QString &stored) {
        const QString name = hasDirectoryPart(stored) ? stored : joinPath(publicationDir, stored);
        if (!locateFile(name, publicationDir).isEmpty())
            return name;
        const QString beside = joinPath(publicationDir, bareFileName(stored));
        if (!locateFile(beside, publicationDir).isEmpty())
            return beside;
        return stored;
    });
}

QString bareLinkScript(const QString &script)
{
    return mapScriptFileNames(script, [](int, const QString &stored) { return bareFileName(stored); });
}

int copyArticleWithBareNames(const QString &source, const QString &destination)
{
    // The archive's code for a file copied onto itself.
    constexpr int SameFile = 10003;
    const QFileInfo from(source);
    if (!from.exists())
        return IoFileNotFound;
    if (QFileInfo(destination).exists()
        && from.canonicalFilePath() == QFileInfo(destination).canonicalFilePath())
        return SameFile;
    ArticleLineReader in;
    if (!in.open(source))
        return IoAccessDenied;
    QFile out(destination);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return ioErrorFromErrno(errno);
    auto fail = [&](int error) {
        out.close();
        QFile::remove(destination);
        return error;
    };
    auto write = [&](const QString &text) {
        const QByteArray encoded = encodeFileText(text) + "\r\n";
        return out.write(encoded) == encoded.size();
    };

    enum { Outside, Visible, Target } state = Outside;
    QString result;  // what goes out, held while a target runs over lines
    QString pending; // the target so far, its lines joined with CR LF
    QByteArrayView bytes;
    QString line;
    while (in.readLine(&bytes)) {
        decodeWindows1252Into(bytes, &line);
        if (state == Target)
            pending += QStringLiteral("\r\n");
        qsizetype at = 0;
        while (at < line.size()) {
            if (state == Outside) {
                const qsizetype p = line.indexOf(QLatin1String("^L"), at);
                if (p < 0) {
                    result += line.mid(at);
                    break;
                }
                result += line.mid(at, p + 2 - at);
                at = p + 2;
                state = Visible;
            } else if (state == Visible) {
                const qsizetype p = line.indexOf(QLatin1Char('='), at);
                if (p < 0) {
                    result += line.mid(at);
                    break;
                }
                result += line.mid(at, p + 1 - at);
                at = p + 1;
                state = Target;
                pending.clear();
            } else {
                const qsizetype p = line.indexOf(QLatin1String("^l"), at);
                if (p < 0) {
                    pending += line.mid(at);
                    break;
                }
                pending += line.mid(at, p - at);
                result += bareLinkScript(pending) + QStringLiteral("^l");
                pending.clear();
                at = p + 2;
                state = Outside;
            }
        }
        if (state == Target)
            continue; // the line goes out with the end of its target
        if (!write(result))
            return fail(IoWriteFault);
        result.clear();
    }
    if (in.error())
        return fail(IoReadFault);
    // An unclosed target is copied as it stands, so nothing of the source is lost.
    if (state == Target && !write(result + pending))
        return fail(IoWriteFault);
    if (!out.flush())
        return fail(IoWriteFault);
    out.setFileTime(from.lastModified(), QFileDevice::FileModificationTime);
    out.close();
    return IoOk;
}

} // namespace vardeko
