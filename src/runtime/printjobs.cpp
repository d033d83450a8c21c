// Print jobs: texts, text and data files, pictures and pages, on the current printer.
#include "printjobs.h"

#include "alertdialog.h"
#include "articleobjects.h"
#include "articledraw.h"
#include "articlelayout.h"
#include "pagepainter.h"
#include "printdialog.h"
#include "progressreport.h"
#include "textcodec.h"
#include "textexpansion.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextBlock>
#include <QTextCursor>

#include <algorithm>
#include <cmath>
#include <memory>

namespace vardeko {

namespace {

// The dots per inch the picture percentages were chosen for.
constexpr int PictureDotsPerInch = 300;

bool systemSetup(QPrinter &printer, QWidget *parent)
{
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    return dialog.exec() == QDialog::Accepted;
}

struct PrinterState
{
    std::unique_ptr<QPrinter> printer;
    PrinterSetupFunction setup;
    bool toFiles = false;
    PrintOptions stored = [] {
        PrintOptions o;
        o.topMargin = 0.5;
        o.bottomMargin = 0.5;
        return o;
    }();
};

PrinterState &state()
{
    static PrinterState s;
    return s;
}

// Lets the message loop run for a while (the pause before a progress window closes).
void pause(int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool startJob(TZunPrinter &printer, QString *error)
{
    if (printer.BeginDoc())
        return true;
    if (error)
        *error = QStringLiteral("The printer could not start the job.");
    return false;
}

} // namespace

QPrinter &currentPrinter()
{
    PrinterState &s = state();
    if (!s.printer)
        s.printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *s.printer;
}

QString currentPrinterName()
{
    QPrinter &printer = currentPrinter();
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        const QString file = printer.outputFileName();
        return file.isEmpty() ? QStringLiteral("PDF file") : QDir::toNativeSeparators(file);
    }
    return printer.printerName();
}

bool PrinterSetup(QWidget *parent)
{
    PrinterState &s = state();
    return s.setup ? s.setup(currentPrinter(), parent) : systemSetup(currentPrinter(), parent);
}

void setPrinterSetup(PrinterSetupFunction setup)
{
    state().setup = std::move(setup);
    state().toFiles = false;
}

bool printJobsGoToFiles()
{
    return state().toFiles;
}

void setupPdfPrinter(QPrinter &printer, const QString &fileName)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(fileName);
    printer.setPageSize(QPageSize(QPageSize::Letter));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setCopyCount(1);
}

void printJobsToPdf(const QString &pattern)
{
    setPrinterSetup([pattern, job = 0](QPrinter &printer, QWidget *) mutable {
        ++job;
        const QString name = pattern.contains(QLatin1String("%1")) ? pattern.arg(job) : pattern;
        setupPdfPrinter(printer, name);
        return true;
    });
    state().toFiles = true;
}

PrintOptions &storedPrintOptions()
{
    return state().stored;
}

QStringList linesToPrint(const QString &text, int selectionStart, int selectionEnd, bool selectedOnly)
{
    QString normal = text;
    normal.replace(QChar::ParagraphSeparator, u'\n');
    normal.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (!selectedOnly || selectionStart == selectionEnd) {
        QStringList lines = normal.split(u'\n');
        if (lines.size() > 1 && lines.last().isEmpty())
            lines.removeLast(); // a final line break does not start another line
        return lines;
    }
    const int start = std::clamp(std::min(selectionStart, selectionEnd), 0, int(normal.size()));
    const int end = std::clamp(std::max(selectionStart, selectionEnd), 0, int(normal.size()));
    const qsizetype lineStart = normal.lastIndexOf(u'\n', start - 1) + 1;
    qsizetype lineEnd = normal.indexOf(u'\n', end);
    if (lineEnd < 0)
        lineEnd = normal.size();
    QString piece = normal.mid(lineStart, lineEnd - lineStart);
    // The selection's end cuts its last line; what is before its start becomes blanks.
    piece.truncate(end - lineStart);
    for (qsizetype i = 0; i < start - lineStart; ++i)
        if (piece.at(i) != u'\t')
            piece[i] = u' ';
    return piece.split(u'\n');
}

bool printTextLines(QPagedPaintDevice &device, const PrintOptions &options, const QFont &font,
                    const QStringList &lines, TProgressReport *progress, QString *error)
{
    const int copies = std::clamp(options.copies, 1, 999);
    if (progress)
        progress->Open(int(std::min<qint64>(qint64(lines.size()) * copies, std::numeric_limits<int>::max())));
    TZunPrinter printer(&device, options);
    if (!startJob(printer, error)) {
        if (progress)
            progress->Close();
        return false;
    }
    // Copies go into one job, each numbered from page 1, so a file printer keeps them all.
    bool cancelled = false;
    for (int copy = 0; copy < copies && !cancelled; ++copy) {
        if (copy > 0)
            printer.restartNumbering();
        printer.setFont(font);
        for (const QString &line : lines) {
            printer.PrintLine(line);
            if (progress) {
                const QString text = QStringLiteral("Printing: %1, page: %2").arg(options.title).arg(printer.pageNumber());
                progress->Update(&text);
                if (progress->cancelled()) {
                    cancelled = true;
                    break;
                }
            }
        }
    }
    printer.EndDoc();
    if (progress)
        progress->Close();
    return true;
}

void PrintText(const QString &title, QPlainTextEdit *control, QWidget *parent)
{
    if (!control)
        return;
    const QTextCursor cursor = control->textCursor();
    PrintOptions options = storedPrintOptions();
    options.title = title;
    options.printSelected = cursor.hasSelection();
    options.copies = 1;
    TZunPrintDialog dialog(options, cursor.hasSelection(), currentPrinterName(), parent);
    dialog.setup = [parent] { return PrinterSetup(parent) ? currentPrinterName() : QString(); };
    if (dialog.exec() != QDialog::Accepted)
        return;
    options = dialog.options();
    PrintOptions &stored = storedPrintOptions();
    stored.header = options.header;
    stored.footer = options.footer;
    stored.leftMargin = options.leftMargin;
    stored.topMargin = options.topMargin;
    stored.rightMargin = options.rightMargin;
    stored.bottomMargin = options.bottomMargin;
    stored.unit = options.unit;
    stored.wrapLines = options.wrapLines;

    // Printing to a file asks for the file each time, so that the last one is not
    // overwritten unasked.
    QPrinter &printer = currentPrinter();
    if ((printer.outputFormat() == QPrinter::PdfFormat || printJobsGoToFiles()) && !PrinterSetup(parent))
        return;
    const QStringList lines = linesToPrint(control->toPlainText(), cursor.selectionStart(), cursor.selectionEnd(),
                                           options.printSelected);
    QFont font = control->font();
    if (font.pointSizeF() <= 0)
        font.setPointSize(10);
    TProgressReport progress(parent);
    QString error;
    if (!printTextLines(printer, options, font, lines, &progress, &error))
        AlertDialog(QStringLiteral("Print"), error, parent);
}

QFont printFont(const QString &name, int points, int style)
{
    QFont font(name.isEmpty() ? QStringLiteral("Arial") : name);
    font.setPointSize(std::clamp(points, 1, 1000));
    font.setBold(style & 1);
    font.setItalic(style & 2);
    font.setUnderline(style & 4);
    font.setStrikeOut(style & 8);
    return font;
}

bool printFile(QPagedPaintDevice &device, const FilePrintJob &job, TProgressReport *progress, QString *error)
{
    auto fail = [error](const QString &text) {
        if (error)
            *error = text;
        return false;
    };
    QFile probe(job.file);
    if (!QFileInfo(job.file).isFile() || !probe.open(QIODevice::ReadOnly))
        return fail(job.file + QStringLiteral(": cannot be read"));

    PrintOptions options;
    options.title = job.title.isEmpty() ? job.file : job.title;
    options.header = job.header;
    options.footer = job.footer;
    TZunPrinter printer(&device, options);
    if (!startJob(printer, error))
        return false;
    printer.setFont(job.font);
    const QRect area = printer.textArea();
    auto pageText = [&] { return job.pagePrompt + QString::number(printer.pageNumber()); };
    bool ok = true;

    if (job.dataFile) {
        // Read in order, line by line: the lines of a data file differ in length.
        const QByteArray bytes = probe.readAll();
        QList<QByteArrayView> lines;
        QByteArrayView rest(bytes);
        while (!rest.isEmpty()) {
            qsizetype end = rest.indexOf('\n');
            QByteArrayView line = end < 0 ? rest : rest.first(end);
            if (line.endsWith('\r'))
                line.chop(1);
            lines.append(line);
            rest = end < 0 ? QByteArrayView() : rest.sliced(end + 1);
        }
        if (progress) {
            progress->Open(int(lines.size()), job.publication);
            const QString text = pageText();
            progress->Update(&text, 0);
        }
        for (const QByteArrayView line : lines) {
            printer.PrintLine(decodeWindows1252(line));
            if (progress) {
                const QString text = pageText();
                progress->Update(&text);
                if (progress->cancelled())
                    break;
            }
        }
    } else {
        probe.close();
        // Laid out by the article engine for the text area's width, measured on its
        // reference canvas; drawn scaled up to the printer's dots.
        const double sx = double(printer.dpiX()) / ArticleCanvas::ReferenceDpi;
        const double sy = double(printer.dpiY()) / ArticleCanvas::ReferenceDpi;
        ArticleCanvas canvas(ArticleFont{job.font.family(), std::max(1, job.font.pointSize()),
                                         (job.font.bold() ? ArticleBold : 0) | (job.font.italic() ? ArticleItalic : 0)
                                                 | (job.font.underline() ? ArticleUnderline : 0)
                                                 | (job.font.strikeOut() ? ArticleStrikeOut : 0)});
        const int width = std::max(1, int(area.width() / sx));
        QString formatted;
        const QString tempDir = job.tempDir.isEmpty() ? QDir::tempPath() : job.tempDir;
        const FormatResult laidOut = FormatArticle(canvas, job.file, width, true, &formatted, tempDir);
        if (!laidOut.ok) {
            QFile::remove(formatted);
            printer.EndDoc();
            return fail(job.file + QStringLiteral(": cannot be laid out for printing"));
        }
        const int lineHeight = std::max(1, canvas.lineHeight());
        // Whole lines only: each page draws exactly its own band of lines.
        const int linesPerPage = std::max(1, int(area.height() / sy) / lineHeight);
        if (progress) {
            progress->Open(laidOut.lineCount, job.publication);
            const QString text = pageText();
            progress->Update(&text, 0);
        }
        int recordLength = 0;
        for (int top = 0; top < laidOut.lineCount; top += linesPerPage) {
            if (top > 0)
                printer.NewPage();
            printer.preparePage();
            QPainter &painter = printer.painter();
            painter.save();
            painter.translate(area.topLeft());
            painter.scale(sx, sy);
            const int band = std::min(linesPerPage, laidOut.lineCount - top);
            const QRect rect(-6, 0, width + 12, linesPerPage * lineHeight);
            painter.setClipRect(QRect(-6, 0, width + 12, band * lineHeight));
            DrawArticle(painter, canvas, formatted, rect, false, &recordLength, nullptr, Qt::white, Qt::black, top, 0);
            painter.restore();
            if (progress) {
                const QString text = pageText();
                progress->Update(&text, band);
                if (progress->cancelled())
                    break;
            }
        }
        QFile::remove(formatted);
    }
    if (progress) {
        pause(500);
        progress->Close();
    }
    printer.EndDoc();
    return ok;
}

QRect pictureTarget(const QRect &area, const QSize &picture, int percent, int dpiX, int dpiY)
{
    if (picture.isEmpty() || area.isEmpty())
        return QRect();
    QSizeF size(picture.width() * (percent / 100.0) * dpiX / PictureDotsPerInch,
                picture.height() * (percent / 100.0) * dpiY / PictureDotsPerInch);
    if (size.width() > area.width() || size.height() > area.height())
        size = size.scaled(QSizeF(area.size()), Qt::KeepAspectRatio);
    const QSize whole(std::max(1, int(std::lround(size.width()))), std::max(1, int(std::lround(size.height()))));
    const int x = std::max(0, area.width() / 2 - whole.width() / 2);
    const int y = std::max(0, area.height() / 2 - whole.height() / 2);
    return QRect(area.topLeft() + QPoint(x, y), whole);
}

bool printPicture(QPagedPaintDevice &device, const QImage &picture, int percent, const QString &title,
                  QString *error)
{
    PrintOptions options;
    options.title = title;
    options.header.clear();
    options.footer.clear();
    TZunPrinter printer(&device, options);
    if (!startJob(printer, error))
        return false;
    QPainter &painter = printer.painter();
    const QRect page(QPoint(0, 0), printer.pageSize());
    const QRect target = pictureTarget(page, picture.size(), percent, printer.dpiX(), printer.dpiY());
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(target, picture);
    printer.EndDoc();
    return true;
}

QImage pagePicture(const Publication &pub, const Page &page)
{
    RenderOptions options;
    options.displayMode = 1;
    options.showHandles = false;
    options.expand = [&pub, &page](const QString &text) { return expandShownText(text, pub, &page); };
    if (!pub.FileName.isEmpty())
        options.baseDir = QFileInfo(pub.FileName).absolutePath();
    ArticleObjects articles;
    articles.setBaseDir(options.baseDir);
    options.articles = &articles;
    options.scrollPosition = [&articles](const PageObject &o) { return articles.scrollPosition(o); };
    return renderPage(pub, page, options);
}

} // namespace vardeko
