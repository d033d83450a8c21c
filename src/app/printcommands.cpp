// The printing options of the command line: --print-text and --print.
#include "printcommands.h"

#include "consoleoutput.h"
#include "imagecache.h"
#include "printjobs.h"
#include "publicationfile.h"
#include "textmeasurer.h"

#include <QFileInfo>
#include <QPrinter>

#include <cstring>

namespace vardeko {

namespace {

const char TextUsage[] = "usage: vardeko --print-text FILE.TXT --pdf OUT.pdf [--header TEXT] [--footer TEXT]";
const char PageUsage[] = "usage: vardeko --print FILE.PUB --page TITLE|NUMBER --pdf OUT.pdf";

int fail(const QString &message)
{
    err() << consoleText(message) << Qt::endl;
    return 1;
}

const Page *findPageBySpec(const Publication &pub, const QString &spec)
{
    if (const Page *byTitle = pub.findPage(spec))
        return byTitle;
    bool isNumber = false;
    const int number = spec.trimmed().toInt(&isNumber);
    if (isNumber && number >= 1 && number <= pub.pageCount())
        return pub.page(number - 1);
    return nullptr;
}

// The PDF must be writable before a job starts, so the error names the file.
bool checkOutput(const QString &pdf, QString *error)
{
    const QFileInfo info(pdf);
    if (!QFileInfo(info.absolutePath()).isDir()) {
        *error = pdf + QStringLiteral(": the folder does not exist");
        return false;
    }
    return true;
}

int printText(const QString &file, const QString &pdf, const QString &header, const QString &footer)
{
    QString error;
    if (!checkOutput(pdf, &error))
        return fail(error);
    QPrinter printer(QPrinter::HighResolution);
    setupPdfPrinter(printer, pdf);
    FilePrintJob job;
    job.header = header;
    job.footer = footer;
    job.file = file;
    job.font = printFont(QStringLiteral("Arial"), 9, 0); // the run-mode font's start
    if (!printFile(printer, job, nullptr, &error))
        return fail(error);
    return 0;
}

int printPage(const QString &fileName, const QString &spec, const QString &pdf)
{
    QString error;
    if (!checkOutput(pdf, &error))
        return fail(error);
    Publication pub;
    static const QtTextMeasurer measurer;
    ReadOptions options;
    options.measurer = &measurer;
    const ReadResult read = readPublication(pub, fileName, options);
    if (!read.ok())
        return fail(loadErrorMessage(fileName, read.error));
    const Page *page = findPageBySpec(pub, spec);
    if (!page)
        return fail(QStringLiteral("No page titled or numbered \"%1\" in %2").arg(spec, fileName));
    const QImage picture = pagePicture(pub, *page);
    ImageCache::instance().FlushImages();
    QPrinter printer(QPrinter::HighResolution);
    setupPdfPrinter(printer, pdf);
    if (!printPicture(printer, picture, PagePrintPercent, page->Title, &error))
        return fail(error);
    return 0;
}

} // namespace

bool isPrintCommand(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--print-text") == 0 || std::strcmp(argv[i], "--print") == 0)
            return true;
    return false;
}

int runPrintCommand(const QStringList &arguments)
{
    QString text, publication, page, pdf;
    QString header;
    QString footer = QStringLiteral("Page &p");
    bool hasPage = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &a = arguments[i];
        if (i + 1 >= arguments.size())
            return fail(publication.isEmpty() ? QLatin1String(TextUsage) : QLatin1String(PageUsage));
        const QString value = arguments[++i];
        if (a == QLatin1String("--print-text"))
            text = value;
        else if (a == QLatin1String("--print"))
            publication = value;
        else if (a == QLatin1String("--page")) {
            page = value;
            hasPage = true;
        } else if (a == QLatin1String("--pdf"))
            pdf = value;
        else if (a == QLatin1String("--header"))
            header = value;
        else if (a == QLatin1String("--footer"))
            footer = value;
        else
            return fail(QStringLiteral("unknown option %1\n%2\n%3").arg(a, QLatin1String(TextUsage), QLatin1String(PageUsage)));
    }
    if (!text.isEmpty() && publication.isEmpty() && !hasPage && !pdf.isEmpty())
        return printText(text, pdf, header, footer);
    if (!publication.isEmpty() && text.isEmpty() && hasPage && !pdf.isEmpty() && header.isEmpty()
        && footer == QLatin1String("Page &p"))
        return printPage(publication, page, pdf);
    return fail(!publication.isEmpty() ? QLatin1String(PageUsage) : QLatin1String(TextUsage));
}

} // namespace vardeko
