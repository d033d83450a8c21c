// Times printing a 10,000-line text to PDF, through the text printer and through
// PrintTextFile's layout, against one QPainter::drawText per line on the same device.
#include "benchreport.h"
#include "printjobs.h"
#include "zunprinter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <random>

using namespace vardeko;

using vardeko::bench::reportFigure;

namespace {

constexpr int LineCount = 10000;

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


// Prose lines of 30 to 90 characters, each a paragraph of its own (a blank line after
// it), so that the article layout keeps them as lines.
QStringList makeLines()
{
    std::mt19937 random(4242);
    const char *letters = "etaoinshrdlucmfwypvbgkqjxz";
    QStringList lines;
    for (int i = 0; i < LineCount; ++i) {
        QString line = QStringLiteral("%1 ").arg(i + 1);
        const int length = 30 + int(random() % 61);
        while (line.size() < length) {
            const int word = 2 + int(random() % 8);
            for (int k = 0; k < word; ++k)
                line += QLatin1Char(letters[std::min<int>(25, int(random() % 14 + random() % 13))]);
            line += u' ';
        }
        lines << line.trimmed();
    }
    return lines;
}

void pdfPrinter(QPrinter &printer, const QString &file)
{
    setupPdfPrinter(printer, file);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QStringList lines = makeLines();
    const QString source = dir.filePath(QStringLiteral("LINES.TXT"));
    {
        QFile f(source);
        if (!f.open(QIODevice::WriteOnly))
            return 1;
        for (const QString &line : lines)
            f.write((line + QStringLiteral("\r\n\r\n")).toLatin1());
    }
    const QFont font = printFont(QStringLiteral("Liberation Sans"), 10, 0);
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));

    // The anchor: the same lines, one drawText each, a new page when the next line
    // would not fit between the same margins.
    auto anchor = [&] {
        QPrinter printer(QPrinter::HighResolution);
        pdfPrinter(printer, pdf);
        QPainter painter(&printer);
        painter.setFont(font);
        const QFontMetrics metrics(font, &printer);
        const int left = int(0.75 * printer.logicalDpiX());
        const int top = int(0.75 * printer.logicalDpiY());
        const int bottom = printer.height() - top;
        const int step = metrics.height() + 2;
        int y = top;
        for (const QString &line : lines) {
            if (y + 2 * metrics.height() > bottom) {
                printer.newPage();
                y = top;
            }
            painter.drawText(QPoint(left, y + metrics.ascent()), line);
            y += step;
        }
    };
    auto engine = [&] {
        QPrinter printer(QPrinter::HighResolution);
        pdfPrinter(printer, pdf);
        PrintOptions options;
        options.title = QStringLiteral("LINES.TXT");
        QString error;
        printTextLines(printer, options, font, lines, nullptr, &error);
    };
    auto textFile = [&] {
        QPrinter printer(QPrinter::HighResolution);
        pdfPrinter(printer, pdf);
        FilePrintJob job;
        job.file = source;
        job.footer = QStringLiteral("Page &p");
        job.font = font;
        job.tempDir = dir.path();
        QString error;
        printFile(printer, job, nullptr, &error);
    };
    const int rounds = 3;
    const double theirs = best(rounds, anchor);
    const double ours = best(rounds, engine);
    reportFigure("print 10,000 text lines to PDF (text printer)", ours, "ms", "drawText per line", theirs);
    const double theirs2 = best(rounds, anchor);
    const double file = best(rounds, textFile);
    reportFigure("PrintTextFile of 10,000 lines to PDF (article layout)", file, "ms", "drawText per line", theirs2);
    return 0;
}
