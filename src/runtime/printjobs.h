// Print jobs: texts, text and data files, pictures and pages, on the current printer.
#pragma once

#include "publication.h"
#include "zunprinter.h"

#include <QFont>
#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>

class QPagedPaintDevice;
class QPlainTextEdit;
class QPrinter;
class QWidget;

namespace vardeko {

class TProgressReport;

// The printer jobs go to: the one last chosen in the printer setup.
QPrinter &currentPrinter();
// The name of the current printer as the print dialog shows it.
QString currentPrinterName();
// Shows the printer setup for the current printer; false when cancelled.
bool PrinterSetup(QWidget *parent);
// Replaces what PrinterSetup shows (scripted runs print to files; tests answer it).
// Null puts the system's print dialog back.
using PrinterSetupFunction = std::function<bool(QPrinter &printer, QWidget *parent)>;
void setPrinterSetup(PrinterSetupFunction setup);
// Makes every print job a PDF file: `pattern` with "%1" replaced by the job's number
// from 1 (or the name itself when it has no "%1"), on Letter paper, without asking.
void printJobsToPdf(const QString &pattern);
// True while printJobsToPdf is in force.
bool printJobsGoToFiles();
// Prepares a printer for a PDF file on Letter paper.
void setupPdfPrinter(QPrinter &printer, const QString &fileName);

// The stored text print options (the preferences' header, footer, margins, unit and
// wrapping); the main window loads and saves them with the other preferences.
PrintOptions &storedPrintOptions();

// The lines of a text as they print: all of them, or with `selectedOnly` those from the
// selection's first line to its last, the first with what comes before the selection
// turned into blanks and the last cut where the selection ends.
QStringList linesToPrint(const QString &text, int selectionStart, int selectionEnd, bool selectedOnly);

// Prints lines with a printer per the options (each copy numbered from page 1).
// `progress`, when given, counts lines and can stop the job. False with *error when the
// job cannot be started.
bool printTextLines(QPagedPaintDevice &device, const PrintOptions &options, const QFont &font,
                    const QStringList &lines, TProgressReport *progress, QString *error);

// The text printing of the editor (a script, the File List report): asks with the print
// dialog, then prints the control's text, or its selected lines, with its font.
void PrintText(const QString &title, QPlainTextEdit *control, QWidget *parent);

// A text or data file as PrintTextFile and PrintDataFile print it.
struct FilePrintJob
{
    QString header;
    QString footer;
    QString file;
    // "&F" and the job's name; the file's name when empty.
    QString title;
    bool dataFile = false;
    QFont font;
    // The progress text before the page number (the publication's L_PAGEPROMPT).
    QString pagePrompt;
    // Where the formatted copy of a text file is made.
    QString tempDir;
    // The progress window's texts follow this publication, when given.
    const Publication *publication = nullptr;
};
// Prints the file; false with *error when it cannot be read or laid out, or the job
// cannot be started.
bool printFile(QPagedPaintDevice &device, const FilePrintJob &job, TProgressReport *progress,
               QString *error);

// The printer font of a run-mode font (name, points, style bits).
QFont printFont(const QString &name, int points, int style);

// Where a picture prints: `percent` of its size, a picture pixel being one dot of a
// 300-dpi printer, shrunk to fit `area` when larger, centred with offsets never below 0.
QRect pictureTarget(const QRect &area, const QSize &picture, int percent, int dpiX, int dpiY);
// Prints a picture centred on one page; false with *error when the job cannot start.
bool printPicture(QPagedPaintDevice &device, const QImage &picture, int percent, const QString &title,
                  QString *error);

// A page with all its objects as the reader sees it, off screen at the page's size.
// Relative file names are taken beside the publication's file.
QImage pagePicture(const Publication &pub, const Page &page);

// The scale of page printing.
inline constexpr int PagePrintPercent = 300;

} // namespace vardeko
