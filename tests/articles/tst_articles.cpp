// Tests of the article engine: line reader, layout, drawing, links, markers, copies.
#include "articledraw.h"
#include "articlefiles.h"
#include "articlelayout.h"
#include "articlereader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

using namespace vardeko;

namespace {

// Every character of this face is 8 pixels wide at 10 points; lines are 15 high.
const ArticleFont Mono{QStringLiteral("DejaVu Sans Mono"), 10, 0};
constexpr int CharW = 8;
constexpr int LineH = 15;

struct Formatted
{
    FormatResult result;
    QStringList records; // without padding and line end
    QByteArray raw;
};

} // namespace

class TestArticles : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir mDir;
    int mCount = 0;

    QString writeFile(const QByteArray &bytes)
    {
        const QString name = mDir.filePath(QStringLiteral("src%1.txt").arg(++mCount));
        QFile f(name);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return name;
    }

    Formatted format(const QByteArray &text, int width, bool wrap, const ArticleFont &font = Mono)
    {
        Formatted f;
        ArticleCanvas canvas(font);
        QString out;
        f.result = FormatArticle(canvas, writeFile(text), width, wrap, &out, mDir.path());
        QFile file(out);
        if (file.open(QIODevice::ReadOnly))
            f.raw = file.readAll();
        if (!f.raw.isEmpty()) {
            QList<QByteArray> lines = f.raw.split('\n');
            lines.removeLast();
            const qsizetype record = lines.first().size();
            for (QByteArray l : lines) {
                if (l.size() != record)
                    qWarning("records of unequal length");
                l.chop(1); // CR
                while (l.endsWith(' '))
                    l.chop(1);
                f.records.append(QString::fromLatin1(l));
            }
        }
        QFile::remove(out);
        return f;
    }

    // Draws a formatted text into an image; returns the links built.
    QImage draw(const QByteArray &text, int width, int topLine, HyperLinkList *links,
                int rectWidth = 200, int rectHeight = 60)
    {
        ArticleCanvas canvas(Mono);
        QString out;
        FormatArticle(canvas, writeFile(text), width, width > 0, &out, mDir.path());
        QImage image(rectWidth, rectHeight, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        int recordLength = 0;
        HyperLinkList own;
        DrawArticle(p, canvas, out, QRect(0, 0, rectWidth, rectHeight), true, &recordLength,
                    links ? links : &own, Qt::white, Qt::black, topLine, 0);
        p.end();
        QFile::remove(out);
        return image;
    }

    // First and last column with a dark pixel in a row band, or (-1, -1).
    static QPair<int, int> inkColumns(const QImage &image, int top = 0, int bottom = -1)
    {
        if (bottom < 0)
            bottom = image.height() - 1;
        int first = -1, last = -1;
        for (int x = 0; x < image.width(); ++x)
            for (int y = top; y <= bottom; ++y)
                if (qGray(image.pixel(x, y)) < 128) {
                    if (first < 0)
                        first = x;
                    last = x;
                    break;
                }
        return {first, last};
    }

private slots:
    void initTestCase()
    {
        QVERIFY(mDir.isValid());
        ArticleCanvas canvas(Mono);
        QCOMPARE(canvas.textWidth("abcdefghij"), 10 * CharW);
        QCOMPARE(canvas.lineHeight(), LineH);
    }

    void readerLines_data()
    {
        // Source lines are cut at the buffer's end; records are read whole.
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<int>>("lengths");
        QTest::addColumn<QList<int>>("records");
        QTest::newRow("CR LF, LF and an unterminated last line")
                << QByteArray("ab\r\ncde\nf") << QList<int>{2, 3, 1} << QList<int>{2, 3, 1};
        QTest::newRow("a lone CR stays in the line")
                << QByteArray("a\rb\r\n") << QList<int>{3} << QList<int>{3};
        QTest::newRow("overlong line cut at the buffer's end")
                << QByteArray(40000, 'a') + "\r\nb" << QList<int>{32768, 40000 - 32768, 1}
                << QList<int>{40000, 1};
        QTest::newRow("CR LF split by the cut still ends the line")
                << QByteArray(32767, 'a') + "\r\nnext\r\n" << QList<int>{32767, 4} << QList<int>{32767, 4};
        QTest::newRow("a CR at the cut that ends nothing")
                << QByteArray(32767, 'a') + "\rb\r\nnext" << QList<int>{32767, 2, 4} << QList<int>{32769, 4};
        QTest::newRow("a record of several buffers")
                << QByteArray(100000, 'a') + "\r\n" + QByteArray(100000, 'b') + "\r\n"
                << QList<int>{32768, 32768, 32768, 1696, 31070, 32768, 32768, 3394}
                << QList<int>{100000, 100000};
        QTest::newRow("empty file") << QByteArray() << QList<int>{} << QList<int>{};
    }
    void readerLines()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<int>, lengths);
        QFETCH(QList<int>, records);
        const QString name = writeFile(bytes);
        ArticleLineReader reader(name);
        QList<int> got;
        QByteArray line;
        while (reader.readLine(&line))
            got.append(int(line.size()));
        QCOMPARE(got, lengths);

        ArticleLineReader whole(name);
        got.clear();
        QByteArrayView record;
        QByteArray joined;
        while (whole.readRecord(&record)) {
            got.append(int(record.size()));
            joined += record.toByteArray() + "\r\n";
        }
        QCOMPARE(got, records);
        if (bytes.endsWith("\r\n"))
            QCOMPARE(joined, bytes);
    }

    void readerSeeksAndCounts()
    {
        const QString name = writeFile("aaa\r\nbbb\r\nccc\r\n");
        QCOMPARE(CountFileLines(name), 3);
        QCOMPARE(CountFileLines(mDir.filePath(QStringLiteral("missing.txt"))), 0);
        ArticleLineReader reader(name);
        QByteArray line;
        QVERIFY(reader.readLine(&line));
        QVERIFY(reader.seek(qint64(5) * 2));
        QVERIFY(reader.readLine(&line));
        QCOMPARE(line, QByteArray("ccc"));
    }

    void layout_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("wrap");
        QTest::addColumn<QStringList>("records");
        QTest::addColumn<int>("widest");

        QTest::newRow("source lines flow together")
                << QByteArray("one\r\ntwo") << 200 << true << QStringList{"one two"} << 200;
        QTest::newRow("a blank line ends the line")
                << QByteArray("one\r\n\r\ntwo") << 200 << true << QStringList{"one", "two"} << 200;
        QTest::newRow("two blank lines give an empty line")
                << QByteArray("one\r\n\r\n\r\ntwo") << 200 << true << QStringList{"one", "", "two"} << 200;
        QTest::newRow("runs of spaces count as one")
                << QByteArray("  one    two  ") << 200 << true << QStringList{"one two"} << 200;
        QTest::newRow("wrap off keeps source lines")
                << QByteArray("one\r\ntwo words") << 0 << false << QStringList{"one", "two words"} << 9 * CharW;
        QTest::newRow("an overlong word stands alone")
                << QByteArray("ab abcdefghij cd") << 40 << true << QStringList{"ab", "abcdefghij", "cd"} << 10 * CharW;
        QTest::newRow("centred line gets its width")
                << QByteArray("^Chello") << 40 << true << QStringList{"^C40 hello"} << 40;
        QTest::newRow("centre carries to the next line")
                << QByteArray("^Caaa bbb") << 40 << true << QStringList{"^C24 aaa", "^C24 bbb"} << 40;
        QTest::newRow("width after the first real centre code")
                << QByteArray("^^Cx ^Cy") << 100 << true << QStringList{"^^Cx ^C40 y"} << 100;
        QTest::newRow("bold paragraph keeps bold on each line")
                << QByteArray("^Baaa bbb ccc") << 30 << true << QStringList{"^Baaa", "^Bbbb", "^Bccc"} << 30;
        QTest::newRow("strikeout continues on the next line")
                << QByteArray("^Xab cd^x ef") << 30 << true << QStringList{"^Xab", "^Xcd^x", "ef"} << 30;
        QTest::newRow("prefix order")
                << QByteArray("^R^L^C^F^X^I^U^Bw1 w2") << 20 << true
                << QStringList{"^R^L^C16 ^F^X^I^U^Bw1", "^B^U^I^X^F^C16 ^R^Lw2"} << 20;
        QTest::newRow("link target and next word stay with the link")
                << QByteArray("See ^Lthe index=GotoPage \"Index\"^l for more") << 1000 << true
                << QStringList{"See ^Lthe index=GotoPage \"Index\"^l for more"} << 1000;
        QTest::newRow("link text wraps with ^L on the next line")
                << QByteArray("See ^Lthe big index=Go^l now") << 64 << true
                << QStringList{"See ^Lthe", "^Lbig", "^Lindex=Go^l now"} << 72;
        QTest::newRow("target over a source line is one blank")
                << QByteArray("^Lgo=GotoPage\r\n\"Index\"^l end\r\nnext") << 1000 << true
                << QStringList{"^Lgo=GotoPage \"Index\"^l end next"} << 1000;
        QTest::newRow("target over a source line, wrap off")
                << QByteArray("^Lgo=GotoPage\r\n\"Index\"^l end\r\nnext") << 0 << false
                << QStringList{"^Lgo=GotoPage \"Index\"^l end", "next"} << 6 * CharW;
        QTest::newRow("marker name is not measured")
                << QByteArray("^Cx ^Mchapter two^m y") << 1000 << true
                << QStringList{"^C32 x ^Mchapter two^m y"} << 1000;
        QTest::newRow("missing closing code ends the target")
                << QByteArray("^Lgo=Beep") << 0 << false << QStringList{"^Lgo=Beep^l"} << 2 * CharW;
        QTest::newRow("tab and space codes")
                << QByteArray("^C^T10ab a^S3b") << 1000 << true << QStringList{"^C144 ^T10ab a^S3b"} << 1000;
        QTest::newRow("literal and unknown carets")
                << QByteArray("^Ca^^b a^Qb ab^") << 1000 << true << QStringList{"^C80 a^^b a^Qb ab^"} << 1000;
        QTest::newRow("huge steps are clamped")
                << QByteArray("^C^S99999^S99999^S99999") << 0 << false
                << QStringList{"^C99999 ^S99999^S99999^S99999"} << 3 * 99999 * CharW;
    }
    void layout()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, width);
        QFETCH(bool, wrap);
        QFETCH(QStringList, records);
        QFETCH(int, widest);
        const Formatted f = format(text, width, wrap);
        QVERIFY(f.result.ok);
        QCOMPARE(f.records, records);
        QCOMPARE(f.result.lineCount, records.size());
        QCOMPARE(f.result.widest, widest);
    }

    void emptyAndFailedLayouts()
    {
        const Formatted empty = format(QByteArray(), 100, true);
        QVERIFY(empty.result.ok);
        QCOMPARE(empty.result.lineCount, 0);

        // Laying out an all-blank text over an earlier file leaves none of its lines.
        ArticleCanvas canvas(Mono);
        QString out;
        QVERIFY(FormatArticle(canvas, writeFile("old text"), 100, true, &out, mDir.path()).ok);
        const FormatResult blank = FormatArticle(canvas, writeFile("\r\n\r\n"), 100, true, &out, mDir.path());
        QVERIFY(blank.ok);
        QFile file(out);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(!file.readAll().contains("old"));
        file.close();

        const FormatResult missing = FormatArticle(canvas, mDir.filePath(QStringLiteral("none.txt")),
                                                   100, true, &out, mDir.path());
        QVERIFY(!missing.ok);
        QCOMPARE(missing.lineCount, 0);
        QVERIFY(out.isEmpty());
        QVERIFY(!QFileInfo::exists(file.fileName()));
        // The working temporary files are gone too.
        QCOMPARE(QDir(mDir.path()).entryList({QStringLiteral("*.$$$")}), QStringList());
    }

    void longTextsKeepEveryLineInItsRecord_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("wrap");
        QTest::addColumn<QList<int>>("lengths"); // of the records' texts, in order

        // Enough lines to be padded in many pieces.
        QByteArray numbered;
        QList<int> numberedLengths;
        for (int i = 0; i < 60000; ++i) {
            const QByteArray line = "line " + QByteArray::number(i) + QByteArray(i % 7, 'x');
            numbered += line + "\r\n";
            numberedLengths.append(int(line.size()));
        }
        QTest::newRow("sixty thousand lines") << numbered << false << numberedLengths;

        // Link targets are not measured, so one display line can hold far more text than
        // all of its neighbours; source lines flow together into it.
        QByteArray links = "short\r\n\r\n";
        for (int i = 0; i < 40; ++i)
            links += "^Lx=" + QByteArray(9000, 't') + "^l\r\n";
        links += "\r\nend";
        QTest::newRow("one line longer than the rest together")
                << links << true << QList<int>{5, 40 * (4 + 9000 + 2) + 39, 3};
        QTest::newRow("blank lines only") << QByteArray("\r\n\r\n\r\n") << true << QList<int>{0, 0, 0};
    }
    void longTextsKeepEveryLineInItsRecord()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, wrap);
        QFETCH(QList<int>, lengths);
        const Formatted f = format(text, wrap ? 1000 : 0, wrap);
        QVERIFY(f.result.ok);
        QCOMPARE(f.result.lineCount, lengths.size());
        const int longest = *std::max_element(lengths.begin(), lengths.end());
        const qsizetype record = longest + 3;
        QCOMPARE(f.raw.size(), lengths.size() * record);
        // Every record: its text, spaces up to the common length, CR LF.
        const QList<QByteArray> sourceLines = text.split('\n');
        for (qsizetype k = 0; k < lengths.size(); ++k) {
            const QByteArray r = f.raw.mid(k * record, record);
            QVERIFY2(r.endsWith(" \r\n"), qPrintable(QStringLiteral("record %1").arg(k)));
            QCOMPARE(f.records.at(k).size(), lengths.at(k));
            if (!wrap)
                QCOMPARE(f.records.at(k).toLatin1(), sourceLines.at(k).chopped(1));
        }
    }

    void remembersWidthsOfLookAlikeWords_data()
    {
        // Words sharing their first and last bytes, of every length the width table
        // keeps in different ways; each differs from its twin in one inner byte.
        QTest::addColumn<int>("length");
        for (int n : {1, 2, 3, 4, 5, 7, 8, 9, 12, 15, 16, 17, 24, 40, 64, 65, 200})
            QTest::newRow(qPrintable(QStringLiteral("%1 bytes").arg(n))) << n;
    }
    void remembersWidthsOfLookAlikeWords()
    {
        QFETCH(int, length);
        const ArticleFont sans{QStringLiteral("DejaVu Sans"), 10, 0};
        ArticleCanvas cached(sans);
        ArticleCanvas fresh(sans);
        QList<QByteArray> words;
        for (int at = 0; at < length; ++at)
            for (char c : {'i', 'W', 'm'}) {
                QByteArray w(length, 'l');
                w[at] = c;
                words.append(w);
            }
        words.append(QByteArray(length, 'l'));
        for (const QByteArray &w : words)
            cached.textWidth(w);
        for (const QByteArray &w : words) {
            fresh.clearCache();
            QVERIFY2(cached.textWidth(w) == fresh.textWidth(w), w.constData());
        }
    }

    void remembersManyWordsAcrossStyles()
    {
        // More words than the first table holds, in two styles, asked for again.
        const ArticleFont sans{QStringLiteral("DejaVu Sans"), 10, 0};
        ArticleCanvas cached(sans);
        ArticleCanvas fresh(sans);
        QList<QByteArray> words;
        for (int i = 0; i < 5000; ++i)
            words.append(QByteArray::number(i * 7919, 36) + QByteArray(i % 20, 'W'));
        for (int style : {0, int(ArticleBold)})
            for (const QByteArray &w : words) {
                cached.setStyle(style);
                cached.textWidth(w);
            }
        for (int style : {int(ArticleBold), 0})
            for (const QByteArray &w : words) {
                cached.setStyle(style);
                fresh.setStyle(style);
                fresh.clearCache();
                QVERIFY2(cached.textWidth(w) == fresh.textWidth(w), w.constData());
            }
    }

    void pendingWordKeepsItsStartingState()
    {
        // In a proportional face, a word moved to the next line must be as wide there as
        // when it starts a text: its bold part is bold, its plain part plain.
        const ArticleFont sans{QStringLiteral("DejaVu Sans"), 10, 0};
        const Formatted alone = format("^Cii^Bmm", 1000, true, sans);
        const Formatted moved = format("^Cmmmmmmmm ii^Bmm", 90, true, sans);
        QCOMPARE(moved.records.size(), 2);
        const QString aloneWidth = alone.records.first().section(QLatin1Char(' '), 0, 0);
        QCOMPARE(moved.records.at(1).section(QLatin1Char(' '), 0, 0), aloneWidth);
    }

    void drawsCodes()
    {
        // "^^" draws one caret, an unknown code nothing.
        QCOMPARE(draw("a^Qb", 0, 0, nullptr), draw("ab", 0, 0, nullptr));
        const auto caret = inkColumns(draw("a^^b", 0, 0, nullptr));
        QVERIFY(caret.second >= 6 + 2 * CharW);
        // Markers are hidden.
        QCOMPARE(inkColumns(draw("^Mchapter2^m", 0, 0, nullptr)).first, -1);
        // "^T10" is an absolute stop from the left margin.
        const auto tab = inkColumns(draw("^T10x", 0, 0, nullptr));
        QVERIFY(tab.first >= 6 + 10 * CharW && tab.first < 6 + 11 * CharW);
        // A centred word: (200 - 12) / 2 - 40 / 2 + 6 = 80, then the space.
        const auto centred = inkColumns(draw("^Chello", 40, 0, nullptr));
        QVERIFY(centred.first >= 80 + CharW && centred.first < 80 + 2 * CharW);
        // Reverse draws a box in the text colour behind the run.
        const QImage reverse = draw("^Rab", 0, 0, nullptr);
        QCOMPARE(qGray(reverse.pixel(6 + 1, 1)), 0);
        QCOMPARE(qGray(reverse.pixel(6 + 2 * CharW + 2, 1)), 255);
    }

    void drawsFromTheTopLine()
    {
        const QImage scrolled = draw("^Bx\r\n\r\n\r\n^Ry", 1000, 2, nullptr);
        // Line 2 is drawn in the first row: a reverse box from the left margin.
        QCOMPARE(qGray(scrolled.pixel(7, 2)), 0);
        const QImage top = draw("^Bx\r\n\r\n\r\n^Ry", 1000, 0, nullptr);
        QCOMPARE(qGray(top.pixel(7, 2)), 255);
        QCOMPARE(qGray(top.pixel(7, 2 * LineH + 2)), 0);
    }

    void linksAreClickable()
    {
        HyperLinkList links;
        draw("See ^Lthe index=GotoPage \"Index\"^l for more", 1000, 0, &links);
        QCOMPARE(links.size(), size_t(1));
        QCOMPARE(links.front().target, QStringLiteral("GotoPage \"Index\""));
        const HyperLink_Rec *hit = FindHyperLink(links, 6 + 5 * CharW, LineH / 2);
        QVERIFY(hit);
        QVERIFY(!FindHyperLink(links, 6 + CharW, LineH / 2));
        // "for" is drawn after the link and is not part of it.
        QVERIFY(!FindHyperLink(links, 6 + 15 * CharW, LineH / 2));

        // A link whose text wraps is one record covering both lines.
        draw("See ^Lthe big index=Go^l now", 64, 0, &links);
        QCOMPARE(links.size(), size_t(1));
        QVERIFY(FindHyperLink(links, 6 + 5 * CharW, LineH / 2));
        QVERIFY(FindHyperLink(links, 6 + CharW, LineH + LineH / 2));
        QVERIFY(FindHyperLink(links, 6 + CharW, 2 * LineH + LineH / 2));
        QCOMPARE(links.front().target, QStringLiteral("Go"));

        // Newest first: the last link in the text is found first.
        draw("^La=one^l ^Lb=two^l", 1000, 0, &links);
        QCOMPARE(links.size(), size_t(2));
        QCOMPARE(links.front().target, QStringLiteral("two"));

        // A link that ends below the rectangle is still complete.
        draw("x\r\n^Lgo\r\nand=Target^l", 1, 0, &links, 200, LineH);
        QCOMPARE(links.size(), size_t(1));
        QCOMPARE(links.front().target, QStringLiteral("Target"));
    }

    void markers()
    {
        ArticleCanvas canvas(Mono);
        QString out;
        QVERIFY(FormatArticle(canvas, writeFile("a\r\n\r\nb\r\n\r\n^Mchapter2^m Text"), 200, true,
                              &out, mDir.path()).ok);
        QCOMPARE(FindArticleMarker(out, QStringLiteral(":chapter2")), 2);
        QCOMPARE(FindArticleMarker(out, QStringLiteral(":CHAPTER2")), 2);
        QCOMPARE(FindArticleMarker(out, QStringLiteral("chapter3")), -1);
        QCOMPARE(FindArticleMarker(mDir.filePath(QStringLiteral("none")), QStringLiteral("x")), -1);
        QFile::remove(out);
    }

    void recordsLongerThanTheReadBufferKeepTheirPlace()
    {
        // Unmeasured link targets make one display line, and so every record, longer
        // than the reader's buffer; lines after it are still found and drawn in place.
        QByteArray text;
        for (int i = 0; i < 6; ++i)
            text += "^Lx=" + QByteArray(9000, 't') + "^l\r\n";
        text += "\r\n^Mend^m^Rzz";
        ArticleCanvas canvas(Mono);
        QString out;
        const FormatResult r = FormatArticle(canvas, writeFile(text), 1000, true, &out, mDir.path());
        QVERIFY(r.ok);
        QCOMPARE(r.lineCount, 2);
        QCOMPARE(FindArticleMarker(out, QStringLiteral(":end")), 1);

        QImage image(200, 2 * LineH, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        int recordLength = 0;
        HyperLinkList links;
        DrawArticle(p, canvas, out, image.rect(), true, &recordLength, &links, Qt::white, Qt::black, 0, 0);
        p.end();
        QCOMPARE(qint64(recordLength) * 2, QFileInfo(out).size());
        QCOMPARE(links.size(), size_t(6));
        // The second line's reverse box, one line down.
        QCOMPARE(qGray(image.pixel(7, LineH + 2)), 0);
        QFile::remove(out);
    }

    void linkTargets()
    {
        const QString name = writeFile("^La=one^l x ^Lb=^l ^Lc=t\r\nwo^l\r\n^Ld=PlaySoundFile \"C:\\S\\DING.WAV\" \"NORMAL\"^l");
        QCOMPARE(articleLinkTargets(name),
                 (QStringList{"one", "two", "PlaySoundFile \"C:\\S\\DING.WAV\" \"NORMAL\""}));
        const auto refs = articleLinkReferences(name);
        QCOMPARE(refs.size(), size_t(1));
        QCOMPARE(refs.front().name, QStringLiteral("C:\\S\\DING.WAV"));
        QCOMPARE(stripArticleCodes(QStringLiteral("^Bbold^b a^^b ^Q")), QStringLiteral("bold a^b "));
    }

    void archiveCopy()
    {
        const QString source = writeFile(
                "Plain ^Llink=PlaySoundFile \"C:\\SOUNDS\\DING.WAV\" \"NORMAL\"^l end\r\n"
                "^Lspan=TextWindow \"T\" \"-1\"\r\n\"-1\" \"D:\\A\\B.TXT\"^l tail\r\n"
                "^Lopen=GotoPage \"X\"");
        {
            QFile touch(source);
            QVERIFY(touch.open(QIODevice::ReadWrite));
            touch.setFileTime(QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6)), QFileDevice::FileModificationTime);
        }
        const QString copy = mDir.filePath(QStringLiteral("copy.txt"));
        QCOMPARE(copyArticleWithBareNames(source, copy), 0);
        QFile f(copy);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray(
                "Plain ^Llink=PlaySoundFile \"DING.WAV\" \"NORMAL\"^l end\r\n"
                "^Lspan=TextWindow \"T\" \"-1\" \"-1\" \"B.TXT\"^l tail\r\n"
                "^Lopen=GotoPage \"X\"\r\n"));
        QCOMPARE(QFileInfo(copy).lastModified(), QFileInfo(source).lastModified());
        QCOMPARE(copyArticleWithBareNames(source, source), 10003);
        QCOMPARE(copyArticleWithBareNames(mDir.filePath(QStringLiteral("none")), copy), 2);
    }

    void linkScriptsResolveFileNames()
    {
        QDir(mDir.path()).mkpath(QStringLiteral("pub"));
        QFile f(mDir.filePath(QStringLiteral("pub/DING.WAV")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        const QString pubDir = mDir.filePath(QStringLiteral("pub"));
        QCOMPARE(resolveLinkScript(QStringLiteral("PlaySoundFile \"C:\\X\\DING.WAV\" \"NORMAL\"|GotoPage \"A\""), pubDir),
                 QStringLiteral("PlaySoundFile \"%1\" \"NORMAL\"|GotoPage \"A\"").arg(pubDir + QStringLiteral("/DING.WAV")));
    }
};

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    TestArticles test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_articles.moc"
