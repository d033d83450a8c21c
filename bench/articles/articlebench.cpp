// Times article layout against reading and splitting the text, and drawing far down
// a long article against drawing its top; reports the memory the layout takes.
#include "benchreport.h"
#include "articledraw.h"
#include "articlelayout.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

using namespace vardeko;

using vardeko::bench::reportFigure;

namespace {

constexpr qint64 ArticleBytes = 20 * 1000 * 1000;

double best(int rounds, const std::function<void()> &work)
{
    double fastest = 1e300;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        fastest = std::min(fastest, timer.nsecsElapsed() / 1e6);
    }
    return fastest;
}


// A long article of prose: a vocabulary of a few thousand words, paragraphs with blank
// lines between them, and now and then bold words, links and centred headings.
bool writeArticle(const QString &name)
{
    std::mt19937 random(12345);
    std::vector<std::string> words;
    const char *letters = "etaoinshrdlucmfwypvbgkqjxz";
    for (int i = 0; i < 4000; ++i) {
        std::string w;
        const int length = 2 + int(random() % 9);
        for (int k = 0; k < length; ++k)
            w += letters[std::min<int>(25, int(random() % 14 + random() % 13))];
        words.push_back(w);
    }
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    std::string chunk;
    qint64 written = 0;
    int lineInParagraph = 0;
    while (written < ArticleBytes) {
        std::string line;
        if (lineInParagraph == 0 && random() % 4 == 0)
            line = "^C^BChapter " + std::to_string(written) + "^b^c";
        while (line.size() < 70) {
            const std::string &w = words[random() % words.size()];
            if (!line.empty())
                line += ' ';
            switch (random() % 50) {
            case 0: line += "^B" + w + "^b"; break;
            case 1: line += "^Lsee " + w + "=GotoPage \"" + w + "\"^l"; break;
            case 2: line += "^I" + w + "^i"; break;
            default: line += w; break;
            }
        }
        chunk += line;
        chunk += "\r\n";
        if (++lineInParagraph == 6) {
            chunk += "\r\n";
            lineInParagraph = 0;
        }
        if (chunk.size() > 65536) {
            file.write(chunk.data(), qint64(chunk.size()));
            written += qint64(chunk.size());
            chunk.clear();
        }
    }
    file.write(chunk.data(), qint64(chunk.size()));
    return true;
}

// Reading the file in blocks and cutting it into words: what any layout must do.
size_t readAndSplit(const QString &name)
{
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    std::vector<char> block(65536);
    std::vector<std::string> words;
    std::string word;
    size_t count = 0;
    for (;;) {
        const qint64 got = file.read(block.data(), qint64(block.size()));
        if (got <= 0)
            break;
        for (qint64 i = 0; i < got; ++i) {
            const char c = block[size_t(i)];
            if (c == ' ' || c == '\r' || c == '\n') {
                if (!word.empty()) {
                    words.push_back(word);
                    word.clear();
                    if (words.size() == 4096) {
                        count += words.size();
                        words.clear();
                    }
                }
            } else {
                word += c;
            }
        }
    }
    return count + words.size();
}

long statusKb(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray text = status.readAll();
    const qsizetype at = text.indexOf(key);
    if (at < 0)
        return 0;
    return std::strtol(text.constData() + at + std::strlen(key), nullptr, 10);
}

void resetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("long.txt"));
    if (!dir.isValid() || !writeArticle(source)) {
        std::fprintf(stderr, "cannot write the test article\n");
        return 1;
    }
    const ArticleFont font{QStringLiteral("DejaVu Sans"), 10, 0};

    size_t words = 0;
    const double anchor = best(3, [&] { words = readAndSplit(source); });
    QString formatted;
    FormatResult result;
    ArticleCanvas warm(font);
    warm.textWidth("warm");
    resetPeak();
    const long before = statusKb("VmRSS:");
    double layout = 0;
    {
        ArticleCanvas canvas(font);
        layout = best(3, [&] {
            result = FormatArticle(canvas, source, 400, true, &formatted, dir.path());
        });
    }
    const long peak = statusKb("VmHWM:");
    if (!result.ok || words == 0) {
        std::fprintf(stderr, "layout failed\n");
        return 1;
    }
    reportFigure("article layout of a 20 MB text file", layout, "ms", "reading and splitting its words",
           anchor);
    std::printf("article layout memory growth: %.1f MB over %.1f MB resident; %d lines, formatted file %.1f MB\n",
                (peak - before) / 1024.0, before / 1024.0, result.lineCount,
                QFile(formatted).size() / 1e6);

    // A narrow layout of the same text gives well over a million lines.
    ArticleCanvas canvas(font);
    QString narrow;
    const FormatResult tall = FormatArticle(canvas, source, 120, true, &narrow, dir.path());
    if (!tall.ok || tall.lineCount < 1000100) {
        std::fprintf(stderr, "narrow layout gave %d lines\n", tall.lineCount);
        return 1;
    }
    QImage image(400, 600, QImage::Format_RGB32);
    auto drawAt = [&](int top) {
        return best(5, [&] {
            for (int n = 0; n < 200; ++n) {
                image.fill(Qt::white);
                QPainter p(&image);
                int record = 0;
                HyperLinkList links;
                DrawArticle(p, canvas, narrow, image.rect(), true, &record, &links, Qt::white,
                            Qt::black, top, 0);
            }
        });
    };
    drawAt(0);
    const double atTop = drawAt(0);
    const double far = drawAt(1000000);
    reportFigure("drawing an article scrolled to line 1,000,000 (200 draws)", far, "ms", "the same at line 0",
           atTop);
    QFile::remove(formatted);
    QFile::remove(narrow);
    return 0;
}
