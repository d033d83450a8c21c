// The --format-article command line: lays an article out and prints its records.
#include "formatarticlecommand.h"

#include "articlelayout.h"
#include "articlereader.h"
#include "textcodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <cstring>

namespace vardeko {

namespace {

int usage(QTextStream &err)
{
    err << "usage: vardeko --format-article SRC --width PX [--no-wrap] --font FAMILY --size PT"
        << Qt::endl;
    return 2;
}

} // namespace

bool isFormatArticleCommand(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--format-article") == 0)
            return true;
    return false;
}

int runFormatArticleCommand(const QStringList &arguments)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    QString source, font;
    int width = -1, size = -1;
    bool wrap = true;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &a = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        bool ok = true;
        if (a == QLatin1String("--format-article") && hasValue)
            source = arguments[++i];
        else if (a == QLatin1String("--width") && hasValue)
            width = arguments[++i].toInt(&ok);
        else if (a == QLatin1String("--size") && hasValue)
            size = arguments[++i].toInt(&ok);
        else if (a == QLatin1String("--font") && hasValue)
            font = arguments[++i];
        else if (a == QLatin1String("--no-wrap"))
            wrap = false;
        else
            return usage(err);
        if (!ok)
            return usage(err);
    }
    if (source.isEmpty() || font.isEmpty() || width < 0 || size <= 0)
        return usage(err);

    QFile probe(source);
    if (!QFileInfo(source).isFile() || !probe.open(QIODevice::ReadOnly)) {
        err << source << ": cannot be read" << Qt::endl;
        return 1;
    }
    probe.close();

    ArticleCanvas canvas(ArticleFont{font, size, 0});
    QString formatted;
    const FormatResult result = FormatArticle(canvas, source, width, wrap, &formatted, QDir::tempPath());
    if (!result.ok) {
        err << source << ": cannot be laid out (error " << result.error << ")" << Qt::endl;
        QFile::remove(formatted);
        return 1;
    }
    ArticleLineReader reader;
    QByteArrayView line;
    int record = 0;
    QStringList texts;
    if (reader.open(formatted)) {
        while (reader.readRecord(&line)) {
            if (record == 0)
                record = int(line.size()) + 2;
            QByteArrayView text = line;
            while (!text.isEmpty() && text.back() == ' ')
                text.chop(1);
            texts.append(decodeWindows1252(text));
        }
        reader.close();
    }
    QFile::remove(formatted);
    out << "lines=" << result.lineCount << " widest=" << result.widest << " record=" << record << '\n';
    for (qsizetype k = 0; k < texts.size(); ++k)
        out << "L\t" << k << '\t' << texts[k] << '\n';
    out.flush();
    return 0;
}

} // namespace vardeko
