// Tests of article objects on a page: layout on demand, scrolling, links, refresh.
#include "testsupport.h"

#include "articleobjects.h"
#include "pagepainter.h"
#include "publication.h"

#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using namespace vardeko;

class TestArticleObjects : public QObject
{
    Q_OBJECT

    QTemporaryDir mDir;

    void writeText(const QString &name, const QByteArray &text)
    {
        QFile f(mDir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }

    // A page with one article of 8-pixel characters and 15-pixel lines.
    PageObject *addArticle(Publication &pub, Page &page, const QString &file)
    {
        ObjectPtr o = pub.createObject(ArticleKind);
        o->X1 = 10; o->Y1 = 10; o->X2 = 150; o->Y2 = 80;
        o->LineWidth = 1;
        o->FillColor = 0xFFFFFF;
        ArticleData *a = o->article();
        a->Font = QStringLiteral("DejaVu Sans Mono");
        a->FontSize = 10;
        a->TextColor = 0;
        a->FileName = file;
        PageObject *raw = o.get();
        insertObject(page.Objects, std::move(o), nullptr);
        return raw;
    }

    QImage paint(const Publication &pub, const Page &page, ArticleObjects &articles, int mode = 0)
    {
        RenderOptions options;
        options.displayMode = mode;
        options.baseDir = mDir.path();
        articles.setBaseDir(mDir.path());
        articles.setTempDir(mDir.path());
        options.articles = &articles;
        options.scrollPosition = [&articles](const PageObject &o) { return articles.scrollPosition(o); };
        return renderPage(pub, page, options);
    }

    static int darkPixels(const QImage &image, const QRect &r)
    {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                n += qGray(image.pixel(x, y)) < 100;
        return n;
    }

private slots:
    void initTestCase() { QVERIFY(mDir.isValid()); }

    void showsTextAndScrolls()
    {
        QByteArray text;
        for (int i = 0; i < 20; ++i)
            text += "line " + QByteArray::number(i) + "\r\n\r\n";
        writeText(QStringLiteral("ARTICLE.TXT"), text);
        Publication pub;
        pub.Settings.ScreenWidth = 200;
        pub.Settings.ScreenHeight = 100;
        Page *page = pub.firstPage();
        QVERIFY(page);
        PageObject *o = addArticle(pub, *page, QStringLiteral("article.txt")); // any case
        ArticleObjects articles;
        const QImage first = paint(pub, *page, articles);
        QVERIFY(!o->article()->ReformatNeeded);
        QVERIFY(QFileInfo::exists(o->article()->WorkingFile));
        const QRect view = articles.textRect(*o);
        // Interior less the vertical bar on the right.
        QCOMPARE(view, QRect(11, 11, 138 - ScrollBarExtent, 68));
        QVERIFY(darkPixels(first, QRect(view.left(), view.top(), view.width(), 15)) > 20);
        const ArticleScrollRange range = articles.scrollRange(*o);
        QCOMPARE(range.verticalMax, 20);
        QCOMPARE(range.verticalUnit, 15);

        // The line under the first row after scrolling is line 1, not line 0.
        articles.setScrollPosition(*o, QPoint(0, 1));
        const QImage scrolled = paint(pub, *page, articles);
        QVERIFY(scrolled != first);
        articles.setScrollPosition(*o, QPoint(0, 500));
        QCOMPARE(articles.scrollPosition(*o), QPoint(0, 20));

        // A new layout (the flag set by an edit) starts at the top again.
        o->article()->ReformatNeeded = true;
        QCOMPARE(articles.scrollPosition(*o), QPoint());
        QCOMPARE(paint(pub, *page, articles), first);
    }

    void changedFilesAreLaidOutAgain()
    {
        writeText(QStringLiteral("CHANGING.TXT"), "before");
        Publication pub;
        pub.Settings.ScreenWidth = 200;
        pub.Settings.ScreenHeight = 100;
        Page *page = pub.firstPage();
        PageObject *o = addArticle(pub, *page, QStringLiteral("CHANGING.TXT"));
        ArticleObjects articles;
        paint(pub, *page, articles);
        QVERIFY(!articles.refreshChanged(pub));
        QThread::msleep(20);
        writeText(QStringLiteral("CHANGING.TXT"), "after\r\n\r\nmore");
        QFile touch(mDir.filePath(QStringLiteral("CHANGING.TXT")));
        QVERIFY(touch.open(QIODevice::ReadWrite));
        touch.setFileTime(QDateTime::currentDateTime().addSecs(10), QFileDevice::FileModificationTime);
        touch.close();
        QVERIFY(articles.refreshChanged(pub));
        QVERIFY(o->article()->ReformatNeeded);
        paint(pub, *page, articles);
        QCOMPARE(articles.scrollRange(*o).verticalMax, 2);
    }

    void linksAndMarkers()
    {
        writeText(QStringLiteral("LINKS.TXT"), "^Lgo=:end^l\r\n\r\n\r\n\r\n\r\n^Mend^m last");
        Publication pub;
        pub.Settings.ScreenWidth = 200;
        pub.Settings.ScreenHeight = 100;
        Page *page = pub.firstPage();
        PageObject *o = addArticle(pub, *page, QStringLiteral("LINKS.TXT"));
        ArticleObjects articles;
        paint(pub, *page, articles, 1);
        const QRect view = articles.textRect(*o);
        const HyperLink_Rec *link = articles.linkAt(*o, view.topLeft() + QPoint(6 + 8, 7));
        QVERIFY(link);
        QCOMPARE(link->target, QStringLiteral(":end"));
        QVERIFY(!articles.linkAt(*o, view.topLeft() + QPoint(6 + 8, 7 + 15)));
        QCOMPARE(articles.findMarker(*o, link->target), 4);
    }
};

VARDEKO_REGISTER_TEST(TestArticleObjects);

#include "tst_articleobjects.moc"
