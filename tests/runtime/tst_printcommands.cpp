// "vardeko --print-text" and "vardeko --print" as an outside check uses them: the exit
// status, the error on standard error and the PDF read back with poppler's tools.
#include "publication.h"
#include "publicationfile.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace vardeko;

namespace {

struct Result
{
    int exitCode = -1;
    QString errors;
};

Result runVardeko(const QStringList &arguments)
{
    QProcess p;
    p.start(QStringLiteral(VARDEKO_EXE), arguments);
    Result r;
    if (!p.waitForFinished(60000)) {
        p.kill();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.errors = QString::fromUtf8(p.readAllStandardError());
    return r;
}

QString tool(const QString &name, const QStringList &arguments)
{
    QProcess p;
    p.start(name, arguments);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

class TestPrintCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
            QSKIP("pdfinfo (poppler-utils) is not installed");
        QVERIFY(mDir.isValid());
        QFile text(mDir.filePath(QStringLiteral("NOTES.TXT")));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("First paragraph of the notes.\r\n\r\nSecond paragraph.\r\n");
        text.close();

        Publication pub;
        pub.clearPages();
        pub.appendPage(pub.createPage(QStringLiteral("Cover")));
        Page *inside = pub.appendPage(pub.createPage(QStringLiteral("Inside")));
        ObjectPtr title = pub.createObject(TextKind);
        title->X1 = 40;
        title->Y1 = 40;
        title->X2 = 400;
        title->Y2 = 90;
        title->text()->Text = QStringLiteral("Printed title");
        inside->Objects.push_back(std::move(title));
        mBook = mDir.filePath(QStringLiteral("BOOK.PUB"));
        QCOMPARE(writePublication(pub, mBook, WriteMode::Save), 0);
    }

    void printTextWritesLetterPages()
    {
        const QString pdf = mDir.filePath(QStringLiteral("notes.pdf"));
        const Result r = runVardeko({QStringLiteral("--print-text"), mDir.filePath(QStringLiteral("NOTES.TXT")),
                                  QStringLiteral("--pdf"), pdf, QStringLiteral("--header"), QStringLiteral("Head &f")});
        QCOMPARE(r.exitCode, 0);
        const QString info = tool(QStringLiteral("pdfinfo"), {pdf});
        QVERIFY2(info.contains(QLatin1String("612 x 792 pts (letter)")), qPrintable(info));
        QVERIFY(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))));
        const QString text = tool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        QVERIFY2(text.contains(QLatin1String("Head ")) && text.contains(QLatin1String("NOTES.TXT")), qPrintable(text));
        QVERIFY(text.contains(QLatin1String("Second paragraph.")));
        QVERIFY(text.contains(QLatin1String("Page 1")));
    }

    void printPageByTitleAndNumber_data()
    {
        QTest::addColumn<QString>("page");
        QTest::newRow("title in any case") << "inside";
        QTest::newRow("number") << "2";
    }
    void printPageByTitleAndNumber()
    {
        QFETCH(QString, page);
        const QString pdf = mDir.filePath(QStringLiteral("page.pdf"));
        QFile::remove(pdf);
        const Result r = runVardeko({QStringLiteral("--print"), mBook, QStringLiteral("--page"), page,
                                  QStringLiteral("--pdf"), pdf});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(tool(QStringLiteral("pdfinfo"), {pdf}).contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))));
        QVERIFY(tool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}).trimmed().isEmpty()); // a picture
    }

    void runningScriptPrintsToPdf()
    {
        // A button prints a text file, a picture and a page; a page that is not there
        // prints nothing and says so.
        QImage picture(64, 32, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        QVERIFY(picture.save(mDir.filePath(QStringLiteral("PIC.PNG"))));
        Publication pub;
        pub.clearPages();
        Page *cover = pub.appendPage(pub.createPage(QStringLiteral("Cover")));
        pub.appendPage(pub.createPage(QStringLiteral("Inside")));
        ObjectPtr b = pub.createObject(ButtonKind);
        b->X1 = 10;
        b->Y1 = 10;
        b->X2 = 110;
        b->Y2 = 40;
        b->button()->Action = QStringLiteral(
                "SetFont \"Liberation Serif\" \"12\" \"Bold\"|PrintTextFile \"Top &p\" \"\" \"NOTES.TXT\"|"
                "PrintImageFile \"PIC.PNG\" \"300%\"|PrintPage \"Inside\"|PrintPage \"Nowhere\"");
        cover->Objects.push_back(std::move(b));
        ObjectPtr empty = pub.createObject(ButtonKind);
        empty->X1 = 10;
        empty->Y1 = 50;
        empty->X2 = 110;
        empty->Y2 = 80;
        empty->button()->Action = QStringLiteral("PrintPage \"\"");
        cover->Objects.push_back(std::move(empty));
        pub.setCurrentPage(cover);
        const QString book = mDir.filePath(QStringLiteral("RUN.PUB"));
        QCOMPARE(writePublication(pub, book, WriteMode::Save), 0);
        const QString events = mDir.filePath(QStringLiteral("events.txt"));
        QFile f(events);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("click 20 20\nwait 5000\nclick 20 60\n");
        f.close();
        const QString pattern = mDir.filePath(QStringLiteral("job%1.pdf"));
        QProcess p;
        p.start(QStringLiteral(VARDEKO_EXE), {QStringLiteral("--run"), book, QStringLiteral("--events"), events,
                                              QStringLiteral("--print-pdf"), pattern, QStringLiteral("--quit-after"),
                                              QStringLiteral("20000")});
        QVERIFY(p.waitForFinished(60000));
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        QCOMPARE(p.exitCode(), 0);
        const QString text = tool(QStringLiteral("pdftotext"), {pattern.arg(1), QStringLiteral("-")});
        QVERIFY2(text.contains(QLatin1String("Top 1")) && text.contains(QLatin1String("Second paragraph.")),
                 qPrintable(text));
        QVERIFY(tool(QStringLiteral("pdffonts"), {pattern.arg(1)}).contains(QLatin1String("Serif-Bold")));
        for (int job : {2, 3})
            QVERIFY2(tool(QStringLiteral("pdfinfo"), {pattern.arg(job)})
                             .contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))),
                     qPrintable(out));
        QVERIFY2(!QFile::exists(pattern.arg(4)), "a missing page prints nothing");
        QCOMPARE(out.count(QLatin1String("Unable to locate this page!")), 2);
    }

    void failuresExitOne_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing text file") << QStringList{"--print-text", "NOPE.TXT", "--pdf", "x.pdf"} << "NOPE.TXT";
        QTest::newRow("no such page") << QStringList{"--print", "BOOK.PUB", "--page", "Nowhere", "--pdf", "x.pdf"}
                                      << "Nowhere";
        QTest::newRow("page out of range") << QStringList{"--print", "BOOK.PUB", "--page", "3", "--pdf", "x.pdf"} << "\"3\"";
        QTest::newRow("no pdf") << QStringList{"--print-text", "NOTES.TXT"} << "usage";
        QTest::newRow("unreadable publication") << QStringList{"--print", "NONE.PUB", "--page", "1", "--pdf", "x.pdf"}
                                                << "NONE.PUB";
        QTest::newRow("folder missing") << QStringList{"--print-text", "NOTES.TXT", "--pdf", "no/such/x.pdf"} << "no/such";
    }
    void failuresExitOne()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        QStringList args;
        for (const QString &a : arguments)
            args << (a.contains(u'.') && !a.startsWith(QLatin1String("--")) ? mDir.filePath(a) : a);
        const Result r = runVardeko(args);
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.errors.contains(message), qPrintable(r.errors));
        QVERIFY(!QFile::exists(mDir.filePath(QStringLiteral("x.pdf"))));
    }

private:
    QTemporaryDir mDir;
    QString mBook;
};

QTEST_MAIN(TestPrintCommands)
#include "tst_printcommands.moc"
