// PrintTextFile, PrintDataFile, PrintImageFile and PrintPage of a running publication.
#include "printprovider.h"

#include "imageloader.h"
#include "printjobs.h"
#include "programtitle.h"
#include "progressreport.h"

#include <QApplication>
#include <QFileInfo>
#include <QPrinter>
#include <QWidget>

namespace vardeko {

namespace {

QWidget *ownerWindow(RunContext &run)
{
    QWidget *page = run.pageWidget();
    return page ? page->window() : nullptr;
}

// The printer setup comes first; a scripted run cannot wait for the reader, so there
// it only goes on when print jobs are directed to files.
bool choosePrinter(RunContext &run)
{
    if (run.isScripted() && !printJobsGoToFiles())
        return false;
    return PrinterSetup(ownerWindow(run));
}

void report(RunContext &run, const QString &message)
{
    runProviders().popups->showAlert(run, QLatin1String(ProgramTitle), message);
}

// The hourglass while a picture is loaded or drawn.
class WaitCursor
{
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

void ReaderPrinting::printTextFile(RunContext &run, const QString &header, const QString &footer,
                                   const QString &file, bool dataFile)
{
    if (!choosePrinter(run))
        return;
    const RunFont font = run.runFont();
    FilePrintJob job;
    job.header = header;
    job.footer = footer;
    job.file = run.resolveFile(file);
    job.title = file; // as the script names it
    job.dataFile = dataFile;
    job.font = printFont(font.name, font.points, font.style);
    job.pagePrompt = run.language(L_PAGEPROMPT);
    job.publication = &run.publication();
    TProgressReport progress(ownerWindow(run));
    QString error;
    if (!printFile(currentPrinter(), job, &progress, &error))
        report(run, error);
}

void ReaderPrinting::printImageFile(RunContext &run, const QString &file, int percent)
{
    if (!choosePrinter(run))
        return;
    const QString path = run.resolveFile(file);
    QString error;
    {
        WaitCursor wait;
        const ImageLoader::Result loaded = ImageLoader::load(path);
        if (!loaded.ok()) {
            error = path + QStringLiteral(": ") + loaded.error;
        } else {
            printPicture(currentPrinter(), loaded.image, std::max(5, percent), QFileInfo(path).fileName(), &error);
        }
    }
    if (!error.isEmpty())
        report(run, error);
}

void ReaderPrinting::printPage(RunContext &run, const Page &page)
{
    if (!choosePrinter(run))
        return;
    QString error;
    {
        WaitCursor wait;
        const QImage picture = pagePicture(run.publication(), page);
        printPicture(currentPrinter(), picture, PagePrintPercent, page.Title, &error);
    }
    if (!error.isEmpty())
        report(run, error);
}

void installReaderPrinting()
{
    installPrintProvider(std::make_unique<ReaderPrinting>());
}

} // namespace vardeko
