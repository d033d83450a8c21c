// Feeds arbitrary bytes to the article line reader, the layout pass, the drawing pass,
// the marker search, the link target scan and the link-rewriting copy.
#include "articledraw.h"
#include "articlefiles.h"
#include "articlelayout.h"
#include "articlereader.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

using namespace vardeko;

namespace {

QTemporaryDir *workDir()
{
    static QTemporaryDir dir;
    return &dir;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 200000)
        return 0;
    const QString source = workDir()->filePath(QStringLiteral("input.txt"));
    {
        QFile f(source);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        f.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    const bool wrap = size > 0 && (data[0] & 1);
    const int width = size > 1 ? data[1] * 4 : 100;
    ArticleCanvas canvas(ArticleFont{QStringLiteral("DejaVu Sans Mono"), 10, size > 2 ? data[2] & 15 : 0});
    QString formatted;
    const FormatResult r = FormatArticle(canvas, source, width, wrap, &formatted, workDir()->path());
    if (!r.ok)
        __builtin_trap();
    // Every record has the same length and the count matches the layout's.
    QFile out(formatted);
    if (!out.open(QIODevice::ReadOnly))
        __builtin_trap();
    const QByteArray bytes = out.readAll();
    out.close();
    qsizetype records = 0, record = -1, start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\n')
            continue;
        if (record >= 0 && i + 1 - start != record)
            __builtin_trap();
        record = i + 1 - start;
        start = i + 1;
        ++records;
    }
    if (records != r.lineCount || start != bytes.size())
        __builtin_trap();

    QImage image(160, 90, QImage::Format_RGB32);
    QPainter painter(&image);
    int recordLength = 0;
    HyperLinkList links;
    for (int top : {0, r.lineCount / 2, r.lineCount + 3})
        DrawArticle(painter, canvas, formatted, image.rect(), true, &recordLength, &links, Qt::white,
                    Qt::black, top, size > 3 ? data[3] : 0);
    painter.end();
    FindArticleMarker(formatted, QStringLiteral(":x"));
    articleLinkTargets(source);
    copyArticleWithBareNames(source, workDir()->filePath(QStringLiteral("copy.txt")));
    QFile::remove(formatted);
    return 0;
}
