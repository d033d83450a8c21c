// The text printer, the print jobs and the print dialog, printed to PDF and read back
// with poppler's pdftotext.
#include "printdialog.h"
#include "printjobs.h"
#include "progressreport.h"
#include "zunprinter.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QRegularExpression>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QProgressBar>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace vardeko;

namespace {

// The text of every page of a PDF, one string per page, read with pdftotext.
QStringList pdfPages(const QString &pdf, bool layout = false)
{
    QProcess p;
    QStringList args;
    if (layout)
        args << QStringLiteral("-layout");
    args << pdf << QStringLiteral("-");
    p.start(QStringLiteral("pdftotext"), args);
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {};
    QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split(u'\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

// Words of a page's text in reading order.
QStringList words(const QString &text)
{
    return text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
}

QFont testFont(int points = 10)
{
    return printFont(QStringLiteral("Liberation Sans"), points, 0);
}

class PrintTarget
{
public:
    PrintTarget()
        : printer(QPrinter::HighResolution)
    {
        setupPdfPrinter(printer, dir.filePath(QStringLiteral("out.pdf")));
    }
    QString pdf() const { return printer.outputFileName(); }
    QTemporaryDir dir;
    QPrinter printer;
};

} // namespace

class TestPrinting : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
    }

    void headerCodes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("expected");
        QTest::newRow("doubled ampersand protects a code") << "Page &p of &&P" << "T" << "Page 3 of &P";
        QTest::newRow("codes in either case") << "&f-&F &d &T" << "Book" << "Book-Book 1/2/03 10:20";
        QTest::newRow("title is not read for codes") << "[&F]" << "A&P&&B" << "[A&P&&B]";
        QTest::newRow("unknown code stays") << "&x &" << "T" << "&x &";
        QTest::newRow("ampersand before a code letter") << "&&&P" << "T" << "&3";
    }
    void headerCodes()
    {
        QFETCH(QString, text);
        QFETCH(QString, title);
        QFETCH(QString, expected);
        QCOMPARE(substituteHeaderCodes(text, title, 3, QStringLiteral("1/2/03"), QStringLiteral("10:20")), expected);
    }

    void tabStops_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("expected");
        QTest::newRow("from the page edge") << 0 << 80 << 80;
        QTest::newRow("inside a stop") << 100 << 80 << 160;
        QTest::newRow("on a stop") << 160 << 80 << 240;
        QTest::newRow("one before a stop") << 159 << 80 << 160;
        QTest::newRow("just after a stop") << 81 << 80 << 160;
    }
    void tabStops()
    {
        QFETCH(int, x);
        QFETCH(int, width);
        QFETCH(int, expected);
        QCOMPARE(nextTabStop(x, width), expected);
    }

    void pageLayout_data()
    {
        QTest::addColumn<double>("margin");
        QTest::addColumn<QString>("header");
        QTest::addColumn<int>("unit");
        QTest::newRow("small margins, no header") << 0.1 << QString() << 0;
        QTest::newRow("small margins with a header") << 0.1 << QStringLiteral("Head") << 0;
        QTest::newRow("five-inch margins") << 5.0 << QString() << 0;
        QTest::newRow("centimetres") << 2.54 << QString() << 1;
    }
    void pageLayout()
    {
        QFETCH(double, margin);
        QFETCH(QString, header);
        QFETCH(int, unit);
        PrintTarget target;
        PrintOptions options;
        options.leftMargin = options.topMargin = options.rightMargin = options.bottomMargin = margin;
        options.header = header;
        options.unit = unit;
        TZunPrinter printer(&target.printer, options);
        QVERIFY(printer.BeginDoc());
        printer.setFont(testFont());
        const QRect area = printer.textArea();
        const double inches = unit == 1 ? margin * InchesPerCentimetre : margin;
        QCOMPARE(area.left(), int(inches * printer.dpiX()));
        if (header.isEmpty())
            QCOMPARE(area.top(), int(inches * printer.dpiY()));
        else
            QVERIFY2(area.top() >= 2 * printer.lineHeight(), "a header keeps two lines above the text");
        // Never less than two inches either way, growing to the right and down.
        QVERIFY(area.width() >= 2 * printer.dpiX() - 1);
        QVERIFY(area.height() >= 2 * printer.dpiY() - 1);
        printer.EndDoc();
    }

    void footerNumbersPages()
    {
        PrintTarget target;
        PrintOptions options;
        options.title = QStringLiteral("Report");
        options.header = QStringLiteral("&F");
        options.footer = QStringLiteral("Page &p of &&P");
        QStringList lines;
        for (int i = 1; i <= 150; ++i)
            lines << QStringLiteral("Row%1").arg(i);
        QString error;
        QVERIFY(printTextLines(target.printer, options, testFont(), lines, nullptr, &error));
        const QStringList pages = pdfPages(target.pdf());
        QVERIFY2(pages.size() >= 3, qPrintable(QString::number(pages.size())));
        QStringList seen;
        for (int p = 0; p < pages.size(); ++p) {
            QVERIFY2(pages[p].contains(QStringLiteral("Page %1 of &P").arg(p + 1)), qPrintable(pages[p]));
            QVERIFY(pages[p].contains(QStringLiteral("Report")));
            for (const QString &w : words(pages[p]))
                if (w.startsWith(QLatin1String("Row")))
                    seen << w;
        }
        // Every line once, in order: none lost or repeated at a page boundary.
        QCOMPARE(seen, lines);
    }

    void wrapping_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("blanks");
        QTest::newRow("no blanks") << QString(200, u'x') << false;
        QString words200;
        for (int i = 0; words200.size() < 200; ++i)
            words200 += QStringLiteral("word%1 ").arg(i);
        QTest::newRow("with blanks") << words200.trimmed() << true;
    }
    void wrapping()
    {
        QFETCH(QString, line);
        QFETCH(bool, blanks);
        PrintTarget target;
        PrintOptions options;
        options.footer.clear();
        options.leftMargin = options.rightMargin = 3.0; // a 2.5-inch text area
        QString error;
        QVERIFY(printTextLines(target.printer, options, testFont(), {line}, nullptr, &error));
        const QStringList pages = pdfPages(target.pdf());
        QCOMPARE(pages.size(), 1);
        const QStringList printed = pages.first().split(u'\n', Qt::SkipEmptyParts);
        QVERIFY2(printed.size() > 1, "the line is broken");
        if (blanks) {
            // Broken after the last blank that fits: each piece holds whole words.
            QCOMPARE(words(printed.join(u' ')), words(line));
        } else {
            QCOMPARE(printed.join(QString()), line);
        }
    }

    void nothingFitsStillEnds()
    {
        // Not one character of a 300-point font fits a two-inch area: the text overhangs
        // and the job ends instead of looping.
        PrintTarget target;
        PrintOptions options;
        options.leftMargin = options.rightMargin = options.topMargin = options.bottomMargin = 5.0;
        QString error;
        QVERIFY(printTextLines(target.printer, options, testFont(300), {QStringLiteral("WWW WWW")}, nullptr, &error));
        QVERIFY(!pdfPages(target.pdf()).isEmpty());
    }

    void formFeedsAndEmptyLines()
    {
        PrintTarget target;
        PrintOptions options;
        options.footer = QStringLiteral("Folio &p");
        QString error;
        QVERIFY(printTextLines(target.printer, options, testFont(),
                               {QStringLiteral("First\fSecond"), QString(), QStringLiteral("Third\f")}, nullptr,
                               &error));
        const QStringList pages = pdfPages(target.pdf());
        // A form feed as the last thing printed leaves no empty sheet behind.
        QCOMPARE(pages.size(), 2);
        QVERIFY(pages[0].contains(QLatin1String("First")) && pages[0].contains(QLatin1String("Folio 1")));
        QVERIFY(pages[1].contains(QLatin1String("Second")) && pages[1].contains(QLatin1String("Third")));
        QVERIFY(pages[1].contains(QLatin1String("Folio 2")));
    }

    void copiesRestartNumberingAndCountProgress()
    {
        PrintTarget target;
        PrintOptions options;
        options.title = QStringLiteral("Action Script");
        options.copies = 3;
        QStringList lines;
        for (int i = 0; i < 10; ++i)
            lines << QStringLiteral("Line %1").arg(i);
        TProgressReport progress;
        int maximum = -1;
        QObject::connect(progress.ProgressBar, &QProgressBar::valueChanged, &progress,
                         [&] { maximum = progress.ProgressBar->maximum(); });
        QString error;
        QVERIFY(printTextLines(target.printer, options, testFont(), lines, &progress, &error));
        QCOMPARE(maximum, 30);
        QVERIFY(progress.Prompt->text().startsWith(QLatin1String("Printing: Action Script, page: ")));
        const QStringList pages = pdfPages(target.pdf());
        QCOMPARE(pages.size(), 3);
        for (const QString &page : pages)
            QVERIFY2(page.contains(QLatin1String("Page 1")), qPrintable(page));
    }

    void selectedLines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("end");
        QTest::addColumn<bool>("selectedOnly");
        QTest::addColumn<QStringList>("expected");
        const QString text = QStringLiteral("alpha one\nbeta two\ngamma three\n");
        QTest::newRow("everything") << text << 0 << 0 << false << QStringList{"alpha one", "beta two", "gamma three"};
        QTest::newRow("inside one line") << text << 6 << 9 << true << QStringList{"      one"};
        QTest::newRow("over lines") << text << 15 << 24 << true << QStringList{"     two", "gamma"};
        QTest::newRow("no selection prints all") << text << 4 << 4 << true
                                                 << QStringList{"alpha one", "beta two", "gamma three"};
    }
    void selectedLines()
    {
        QFETCH(QString, text);
        QFETCH(int, start);
        QFETCH(int, end);
        QFETCH(bool, selectedOnly);
        QFETCH(QStringList, expected);
        QCOMPARE(linesToPrint(text, start, end, selectedOnly), expected);
    }

    void textFileEachLineOnce()
    {
        // Paragraphs apart by blank lines stay lines of their own when laid out.
        PrintTarget target;
        const QString source = target.dir.filePath(QStringLiteral("STORY.TXT"));
        QFile f(source);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QStringList expected;
        for (int i = 1; i <= 120; ++i) {
            f.write(QStringLiteral("Item%1\r\n\r\n").arg(i).toLatin1());
            expected << QStringLiteral("Item%1").arg(i);
        }
        f.close();
        FilePrintJob job;
        job.file = source;
        job.header = QStringLiteral("&F");
        job.footer = QStringLiteral("Page &p");
        job.font = testFont(9);
        job.tempDir = target.dir.path();
        QString error;
        QVERIFY2(printFile(target.printer, job, nullptr, &error), qPrintable(error));
        const QStringList pages = pdfPages(target.pdf());
        QVERIFY(pages.size() >= 2);
        QStringList seen;
        for (int p = 0; p < pages.size(); ++p) {
            QVERIFY(pages[p].contains(QStringLiteral("Page %1").arg(p + 1)));
            for (const QString &w : words(pages[p]))
                if (w.startsWith(QLatin1String("Item")))
                    seen << w;
        }
        QCOMPARE(seen, expected);
        // The formatted copy is gone.
        QCOMPARE(QDir(target.dir.path()).entryList({QStringLiteral("*.$$$")}, QDir::Files).size(), 0);
    }

    void dataFileInOrder()
    {
        PrintTarget target;
        const QString source = target.dir.filePath(QStringLiteral("DATA.TXT"));
        QFile f(source);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QStringList expected;
        for (int i = 1; i <= 90; ++i) {
            // Lines of different lengths: a record seek would land in the wrong place.
            const QString line = QStringLiteral("D%1").arg(i) + QString(i % 7, u'.');
            f.write((line + QStringLiteral("\r\n")).toLatin1());
            expected << line;
        }
        f.close();
        FilePrintJob job;
        job.file = source;
        job.dataFile = true;
        job.footer = QStringLiteral("Page &p");
        job.font = testFont(10);
        QString error;
        QVERIFY2(printFile(target.printer, job, nullptr, &error), qPrintable(error));
        QStringList seen;
        for (const QString &page : pdfPages(target.pdf()))
            for (const QString &w : words(page))
                if (w.startsWith(u'D'))
                    seen << w;
        QCOMPARE(seen, expected);
    }

    void missingFileIsReported()
    {
        PrintTarget target;
        FilePrintJob job;
        job.file = target.dir.filePath(QStringLiteral("NONE.TXT"));
        job.font = testFont();
        QString error;
        QVERIFY(!printFile(target.printer, job, nullptr, &error));
        QVERIFY(error.contains(QLatin1String("NONE.TXT")));
        QVERIFY(!QFile::exists(target.pdf()));
    }

    void pictureTargets_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<int>("percent");
        QTest::addColumn<QRect>("expected");
        // A 3000 x 3000 area at 300 dpi: 10 inches square.
        QTest::newRow("300 percent, centred") << QSize(640, 480) << 300 << QRect(540, 780, 1920, 1440);
        QTest::newRow("100 percent") << QSize(300, 150) << 100 << QRect(1350, 1425, 300, 150);
        QTest::newRow("larger than the page shrinks to fit") << QSize(2000, 1000) << 300 << QRect(0, 750, 3000, 1500);
    }
    void pictureTargets()
    {
        QFETCH(QSize, picture);
        QFETCH(int, percent);
        QFETCH(QRect, expected);
        QCOMPARE(pictureTarget(QRect(0, 0, 3000, 3000), picture, percent, 300, 300), expected);
    }

    void printTextPrintsTheSelectionAndKeepsTheOptions()
    {
        QTemporaryDir dir;
        printJobsToPdf(dir.filePath(QStringLiteral("memo%1.pdf")));
        QPlainTextEdit memo;
        memo.setPlainText(QStringLiteral("GotoPage \"One\"\nBalloon \"Two\"\nBeep\nDelay \"100\""));
        QTextCursor cursor = memo.textCursor();
        cursor.setPosition(memo.toPlainText().indexOf(QLatin1String("\"Two")));
        cursor.setPosition(memo.toPlainText().indexOf(QLatin1String("Delay")) + 3, QTextCursor::KeepAnchor);
        memo.setTextCursor(cursor);
        bool selectedOffered = false;
        QTimer::singleShot(0, this, [&selectedOffered] {
            auto *dialog = qobject_cast<TZunPrintDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            selectedOffered = dialog->SelectedBox->isEnabled() && dialog->SelectedBox->isChecked();
            dialog->HeaderEdit->setText(QStringLiteral("Script &F"));
            dialog->PrintBtn->click();
        });
        PrintText(QStringLiteral("Action Script"), &memo, nullptr);
        setPrinterSetup(nullptr);
        QVERIFY(selectedOffered);
        const QStringList pages = pdfPages(dir.filePath(QStringLiteral("memo1.pdf")));
        QCOMPARE(pages.size(), 1);
        QVERIFY2(pages[0].contains(QLatin1String("Script Action Script")), qPrintable(pages[0]));
        QVERIFY(pages[0].contains(QLatin1String("\"Two\"")) && pages[0].contains(QLatin1String("Beep")));
        QVERIFY(pages[0].contains(QLatin1String("Del")) && !pages[0].contains(QLatin1String("Delay")));
        QVERIFY(!pages[0].contains(QLatin1String("GotoPage")) && !pages[0].contains(QLatin1String("Balloon")));
        // The header chosen is kept for the next text printed.
        QCOMPARE(storedPrintOptions().header, QStringLiteral("Script &F"));
    }

    void dialogConvertsUnitsAndClamps()
    {
        PrintOptions options;
        options.title = QStringLiteral("File List");
        options.leftMargin = 1.0;
        TZunPrintDialog dialog(options, false, QStringLiteral("Printer"));
        QCOMPARE(dialog.PrintWhat->text(), QStringLiteral("\"File List\" to Printer"));
        QVERIFY(!dialog.SelectedBox->isEnabled());
        QCOMPARE(dialog.LeftEdit->text(), QStringLiteral("1.00"));
        dialog.CentimetersBtn->setChecked(true);
        QCOMPARE(dialog.LeftEdit->text(), QStringLiteral("2.54"));
        dialog.TopEdit->setText(QStringLiteral("x"));
        dialog.InchesBtn->setChecked(true);
        QCOMPARE(dialog.TopEdit->text(), QStringLiteral("0.00"));
        // Letters are refused as they are typed.
        dialog.RightEdit->clear();
        QTest::keyClicks(dialog.RightEdit, QStringLiteral("1a.5"));
        QCOMPARE(dialog.RightEdit->text(), QStringLiteral("1.5"));
        dialog.CopiesEdit->setText(QStringLiteral("0"));
        QTest::mouseClick(dialog.PrintBtn, Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const PrintOptions chosen = dialog.options();
        QCOMPARE(chosen.copies, 1);
        QCOMPARE(chosen.rightMargin, 1.5);
        QCOMPARE(chosen.unit, 0);
        QCOMPARE(copiesValue(QStringLiteral("")), 1);
        QCOMPARE(copiesValue(QStringLiteral("5000")), 999);
        QCOMPARE(marginValue(QStringLiteral(" 1 . 25 ")), 1.25);
    }
};

QTEST_MAIN(TestPrinting)
#include "tst_printing.moc"
