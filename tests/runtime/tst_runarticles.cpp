// Article objects in run mode and the floating text and image windows.
#include "articleobjects.h"
#include "articlefiles.h"
#include "articlelayout.h"
#include "findform.h"
#include "pagepainter.h"
#include "runsession.h"
#include "textwindow.h"
#include "textwindowprovider.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace vardeko;

namespace {

class ArticleWindow : public RunWindow
{
public:
    ArticleWindow() { widget.resize(640, 480); }
    Publication &publication() const override { return const_cast<Publication &>(pub); }
    QWidget *pageWidget() const override { return const_cast<QWidget *>(&widget); }
    QPoint pageOrigin() const override { return QPoint(); }
    void enterRunLayout(bool) override {}
    void leaveRunLayout() override {}
    void repaintPage(const QRect &) override { ++repaints; }
    void currentPageChanged() override {}
    void setPageCursor(const QCursor &cursor) override { shape = cursor.shape(); }
    QImage grabPage() const override { return QImage(8, 8, QImage::Format_RGB32); }
    // Lays the page's articles out as drawing it would.
    QImage renderCurrentPage() const override
    {
        RenderOptions options;
        options.displayMode = 1;
        options.articles = const_cast<ArticleObjects *>(&articles);
        const_cast<ArticleObjects &>(articles).setBaseDir(QFileInfo(pub.FileName).absolutePath());
        options.scrollPosition = [this](const PageObject &o) { return articles.scrollPosition(o); };
        return renderPage(pub, *pub.currentPage(), options);
    }
    QString caption() const override { return QStringLiteral("Test"); }
    ArticleObjects *articleObjects() const override { return const_cast<ArticleObjects *>(&articles); }

    Publication pub;
    QWidget widget;
    ArticleObjects articles;
    int repaints = 0;
    Qt::CursorShape shape = Qt::ArrowCursor;
};

const ArticleFont Mono{QStringLiteral("DejaVu Sans Mono"), 10, 0};

} // namespace

class TestRunArticles : public QObject
{
    Q_OBJECT

    QTemporaryDir mDir;

    QString writeText(const QString &name, const QByteArray &text)
    {
        QFile f(mDir.filePath(name));
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(text);
        return f.fileName();
    }

    // Paints the page as the window would, so the article has its layout and links.
    static void paint(ArticleWindow &window, RunSession &session)
    {
        RenderOptions options;
        options.displayMode = 1;
        options.articles = &window.articles;
        options.scrollPosition = [&session](const PageObject &o) { return session.scrollPosition(o); };
        renderPage(window.pub, *window.pub.currentPage(), options);
    }

    // Lines read back from a formatted file, codes removed, upper-cased.
    static QStringList shownLines(const QString &formatted)
    {
        QFile f(formatted);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        QStringList lines;
        for (const QByteArray &l : f.readAll().split('\n'))
            lines << stripArticleCodes(QString::fromLatin1(l)).toUpper();
        return lines;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(mDir.isValid());
    }

    void matchesAreFoundOnTheLinesLayoutShowsThemOn_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("sourceLine");
        QTest::addColumn<QString>("shownWord");
        QTest::newRow("late in a long paragraph") << "needle" << 1 << "NEEDLE";
        QTest::newRow("after a centring code") << "needle" << 2 << "CENTRED";
        QTest::newRow("the third of three") << "needle" << 3 << "TAU";
        QTest::newRow("across a code's width") << "xi centred" << 1 << "XI";
        QTest::newRow("blanks collapsed") << "omicron   pi" << 3 << "OMICRON";
    }

    void matchesAreFoundOnTheLinesLayoutShowsThemOn()
    {
        QFETCH(QString, text);
        QFETCH(int, sourceLine);
        QFETCH(QString, shownWord);
        const QByteArray source = "Alpha beta gamma delta epsilon zeta eta theta iota kappa lambda mu needle nu xi\r\n"
                                  "^CCentred needle^c\r\n"
                                  "Omicron  pi rho sigma upsilon phi chi psi omega needle tau\r\n";
        const QString file = writeText(QStringLiteral("WRAPPED.TXT"), source);
        QStringList searched;
        for (const QByteArray &l : source.split('\n'))
            if (!l.isEmpty())
                searched << stripArticleCodes(QString::fromLatin1(l.trimmed())).toUpper();
        ArticleCanvas canvas(Mono);
        QString formatted;
        QVERIFY(FormatArticle(canvas, file, 160, true, &formatted, mDir.path()).ok);
        const QStringList shown = shownLines(formatted);
        QVERIFY(shown.size() > 6); // the paragraph wraps
        const int line = displayLineOfMatch(searched, sourceLine, text.toUpper(), formatted);
        QVERIFY2(line >= 0, "the match is not found in the layout");
        QVERIFY2(shown.value(line).contains(shownWord),
                 qPrintable(QStringLiteral("line %1 shows \"%2\"").arg(line).arg(shown.value(line))));
        QCOMPARE(displayLineOfMatch(searched, sourceLine, text.toUpper(), mDir.filePath(QStringLiteral("NONE"))), -1);
    }

    void findScrollsArticlesAndTextWindowsToTheMatchAndMarksIt()
    {
        QByteArray text;
        for (int i = 0; i < 12; ++i)
            text += "Some words that wrap across the narrow article again and again.\r\n";
        text += "Here at last the needle.\r\n";
        const QString file = writeText(QStringLiteral("HAY.TXT"), text);
        QByteArray notes;
        for (int i = 0; i < 40; ++i)
            notes += "line " + QByteArray::number(i) + "\r\n";
        notes += "the needle in the notes\r\n";
        writeText(QStringLiteral("NOTES.TXT"), notes);
        auto *provider = new FloatingWindowProvider;
        installWindowProvider(std::unique_ptr<WindowProvider>(provider));
        ArticleWindow window;
        window.articles.setTempDir(mDir.path());
        window.pub.FileName = mDir.filePath(QStringLiteral("BOOK.PUB"));
        window.pub.clearPages();
        Page *one = window.pub.appendPage(window.pub.createPage(QStringLiteral("One")));
        Page *two = window.pub.appendPage(window.pub.createPage(QStringLiteral("Two")));
        window.pub.setCurrentPage(one);
        ObjectPtr o = window.pub.createObject(ArticleKind);
        o->X1 = 10; o->Y1 = 10; o->X2 = 210; o->Y2 = 110;
        o->article()->Font = Mono.face;
        o->article()->FontSize = 10;
        o->article()->FileName = QStringLiteral("HAY.TXT");
        PageObject *article = o.get();
        two->Objects.push_back(std::move(o));
        ObjectPtr b = window.pub.createObject(ButtonKind);
        b->X2 = 5; b->Y2 = 5;
        b->button()->Action = QStringLiteral("TextWindow \"Notes\" \"-1\" \"-1\" \"NOTES.TXT\"");
        two->Objects.push_back(std::move(b));

        RunSession session(window);
        session.setTransitionsEnabled(false);
        session.setScriptedAnswers({});
        session.SetRunMode(1);
        session.ExecuteScript(QStringLiteral("Find \"ALL\""));
        TFindForm *find = session.findForm();
        QVERIFY(find);
        find->edit()->setText(QStringLiteral("needle"));
        // The article's page was never drawn: it is laid out to find the line.
        find->findFirst();
        QCOMPARE(window.pub.currentPage(), two);
        const QStringList shown = shownLines(article->article()->WorkingFile);
        int needle = -1;
        for (int i = 0; i < shown.size(); ++i)
            if (shown.at(i).contains(QLatin1String("NEEDLE")))
                needle = i;
        QVERIFY2(needle > 12, qPrintable(shown.join(u'/'))); // wrapped: more display lines than source lines above it
        const int top = session.scrollPosition(*article).y();
        QVERIFY(top > 0 && top <= needle);
        const QRect view = window.articles.textRect(*article);
        const QRect mark = session.findHighlightRect();
        QVERIFY(view.contains(mark));
        const int height = ArticleCanvas(Mono).lineHeight();
        QCOMPARE(mark.top(), view.top() + (needle - top) * height);
        QCOMPARE(mark.height(), height);

        // In the text window the match is scrolled to the top and shown inverted.
        find->findNext();
        TFloatingWindowForm *notesWindow = provider->windows().FindFloatingWindow(mDir.filePath(QStringLiteral("NOTES.TXT")));
        QVERIFY(notesWindow);
        QCOMPARE(session.findHighlightRect(), QRect());
        QCOMPARE(notesWindow->foundLine(), 40);
        QCOMPARE(notesWindow->verticalBar()->value(), qMin(40, notesWindow->verticalBar()->maximum()));
        QVERIFY(!notesWindow->foundLineRect().isEmpty());
        const QImage before = notesWindow->paintBox()->grab().toImage();
        const QRect marked = notesWindow->foundLineRect();
        QCOMPARE(before.pixelColor(marked.left() + 1, marked.bottom() - 1),
                 QColor(~notesWindow->palette().color(QPalette::Base).rgb()));
        // Searching again from the first match takes the mark off the window.
        find->findFirst();
        QCOMPARE(notesWindow->foundLine(), -1);
        session.SetRunMode(0);
        installWindowProvider(nullptr);
    }

    void articleLinksMarkersAndScrolling()
    {
        QByteArray text = "^Lend=:last^l ^Lnext=GotoPage \"Two\"^l ^Lnone=:nothing^l\r\n";
        text += "\r\n";
        for (int i = 0; i < 30; ++i)
            text += "filler\r\n\r\n";
        text += "^Mlast^m The end";
        const QString file = writeText(QStringLiteral("RUN.TXT"), text);
        ArticleWindow window;
        window.articles.setTempDir(mDir.path());
        window.pub.clearPages();
        Page *one = window.pub.appendPage(window.pub.createPage(QStringLiteral("One")));
        Page *two = window.pub.appendPage(window.pub.createPage(QStringLiteral("Two")));
        window.pub.setCurrentPage(one);
        window.pub.Settings.TabWindows = true;
        window.pub.Settings.AllowPageUpDn = false; // Home and End then scroll the article
        ObjectPtr o = window.pub.createObject(ArticleKind);
        o->X1 = 10; o->Y1 = 10; o->X2 = 400; o->Y2 = 200;
        o->LineWidth = 1;
        o->article()->Font = Mono.face;
        o->article()->FontSize = 10;
        o->article()->FileName = file;
        PageObject *article = o.get();
        one->Objects.push_back(std::move(o));

        RunSession session(window);
        session.setTransitionsEnabled(false);
        session.setScriptedAnswers({});
        session.SetRunMode(1);
        paint(window, session);
        const QRect view = window.articles.textRect(*article);
        const int row = view.top() + 7;
        auto at = [&](int column) { return QPoint(view.left() + 6 + column * 8 + 4, row); };

        // The pointer shows a hand over a link.
        session.mouseMove(at(1));
        QCOMPARE(window.shape, Qt::PointingHandCursor);

        // A ":" target scrolls the marker's line to the top.
        session.mousePress(Qt::LeftButton, at(1));
        session.mouseRelease(Qt::LeftButton, at(1));
        const int markerLine = window.articles.findMarker(*article, QStringLiteral(":last"));
        QVERIFY(markerLine > 20);
        QCOMPARE(session.scrollPosition(*article).y(), markerLine);

        // An unknown marker beeps and leaves the article where it is.
        window.articles.setScrollPosition(*article, QPoint());
        paint(window, session);
        QSignalSpy beeps(&session, &RunSession::beeped);
        session.mousePress(Qt::LeftButton, at(10));
        QCOMPARE(beeps.count(), 1);
        QCOMPARE(session.scrollPosition(*article).y(), 0);

        // The down arrow of the vertical bar and the Down key move one line.
        const ScrollBarLayout bars = layoutScrollBars(article->box().adjusted(1, 1, -1, -1), VScrollBarOn, 4, 1);
        session.mousePress(Qt::LeftButton, QPoint(bars.vertical.center().x(), bars.vertical.bottom() - 2));
        QCOMPARE(session.scrollPosition(*article).y(), 1);
        QCOMPARE(session.focusedObject(), article);
        QVERIFY(session.HandleRunKey(Qt::Key_Down, Qt::NoModifier));
        QCOMPARE(session.scrollPosition(*article).y(), 2);
        QVERIFY(session.HandleRunKey(Qt::Key_Home, Qt::NoModifier));
        QCOMPARE(session.scrollPosition(*article).y(), 0);

        // Any other target runs as a script.
        paint(window, session);
        session.mousePress(Qt::LeftButton, at(5));
        QCOMPARE(window.pub.currentPage(), two);
        session.SetRunMode(0);
    }

    void textWindowsAreKeyedByBareName()
    {
        const QString file = writeText(QStringLiteral("NOTES.TXT"), "one\r\ntwo\r\n^Lgo=SetVar \"X\" \"1\"^l");
        FloatingWindowList list;
        FloatingWindowHost host;
        host.font = Mono;
        host.tempDir = mDir.path();
        QStringList ran;
        host.runScript = [&ran](const QString &script) { ran << script; };
        TFloatingWindowForm *first = list.OpenFloatingWindow(QStringLiteral("Notes"), file, -1, -1,
                                                             TFloatingWindowForm::TextWindow, host);
        QVERIFY(first);
        QCOMPARE(first->windowTitle(), QStringLiteral("Notes"));
        QCOMPARE(first->lineCount(), 3);
        QVERIFY(QFile::exists(first->formattedFile()));
        // Same name in another case and folder: the first window again, unchanged.
        TFloatingWindowForm *again = list.OpenFloatingWindow(QStringLiteral("Other"), QStringLiteral("C:\\X\\notes.txt"),
                                                             5, 5, TFloatingWindowForm::TextWindow, host);
        QCOMPARE(again, first);
        QCOMPARE(first->windowTitle(), QStringLiteral("Notes"));
        QCOMPARE(list.count(), 1);

        // A link runs its target as written.
        QVERIFY(QTest::qWaitForWindowExposed(first));
        first->paintBox()->repaint();
        QVERIFY(!first->links().empty());
        QTest::mouseClick(first->paintBox(), Qt::LeftButton, {}, QPoint(6 + 4, 2 * first->lineHeight() + 7));
        QCOMPARE(ran, QStringList{QStringLiteral("SetVar \"X\" \"1\"")});

        const QString formatted = first->formattedFile();
        QVERIFY(list.CloseFloatingWindow(QStringLiteral("d:/notes.TXT")));
        QCOMPARE(list.count(), 0);
        QApplication::processEvents();
        QVERIFY(!QFile::exists(formatted));
        QVERIFY(!list.CloseFloatingWindow(QStringLiteral("notes.txt")));
    }

    void textWindowSizing()
    {
        QByteArray text;
        for (int i = 0; i < 100; ++i)
            text += "line " + QByteArray::number(i) + "\r\n";
        FloatingWindowHost host;
        host.font = Mono;
        host.tempDir = mDir.path();
        TFloatingWindowForm window(TFloatingWindowForm::TextWindow, host);
        QVERIFY(window.loadText(writeText(QStringLiteral("LONG.TXT"), text)));
        // Two thirds of a 600-pixel screen at most; as wide as the widest line + 12 and a bar.
        const QSize size = window.wantedClientSize(QSize(800, 600));
        QCOMPARE(size.height(), 400);
        QCOMPARE(size.width(), window.verticalBar()->sizeHint().width() + 7 * 8 + 12);
        window.resize(size);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // The last line scrolls into view above the horizontal bar.
        const int page = (400 - window.horizontalBar()->height()) / window.lineHeight();
        QCOMPARE(window.verticalBar()->maximum(), 100 - page);
        QCOMPARE(window.verticalBar()->pageStep(), page);

        // A text that cannot be read still opens, without bars.
        TFloatingWindowForm missing(TFloatingWindowForm::TextWindow, host);
        QVERIFY(!missing.loadText(mDir.filePath(QStringLiteral("none.txt"))));
        QVERIFY(missing.verticalBar()->isHidden());
    }

    void scriptsOpenAndCloseWindows()
    {
        const QString file = writeText(QStringLiteral("SCRIPTED.TXT"), "text");
        installFloatingWindowProvider();
        auto *provider = dynamic_cast<FloatingWindowProvider *>(runProviders().windows);
        QVERIFY(provider);
        ArticleWindow window;
        window.pub.clearPages();
        window.pub.setCurrentPage(window.pub.appendPage(window.pub.createPage(QStringLiteral("One"))));
        RunSession session(window);
        session.setTransitionsEnabled(false);
        session.setScriptedAnswers({});
        session.SetRunMode(1);
        session.ExecuteScript(QStringLiteral("TextWindow \"Scripted\" \"-1\" \"-1\" \"%1\"").arg(file));
        QCOMPARE(provider->windows().count(), 1);
        QVERIFY(provider->windows().FindFloatingWindow(QStringLiteral("scripted.txt")));
        session.ExecuteScript(QStringLiteral("CloseWindow \"\""));
        QCOMPARE(provider->windows().count(), 0);
        session.ExecuteScript(QStringLiteral("TextWindow \"Scripted\" \"10\" \"10\" \"%1\"").arg(file));
        QCOMPARE(provider->windows().count(), 1);
        // Leaving run mode closes every window.
        session.SetRunMode(0);
        QCOMPARE(provider->windows().count(), 0);
        installWindowProvider(nullptr);
    }

    void closingAllAndByTheUser()
    {
        const QString a = writeText(QStringLiteral("A.TXT"), "a");
        const QString b = writeText(QStringLiteral("B.TXT"), "b");
        FloatingWindowList list;
        FloatingWindowHost host;
        host.font = Mono;
        host.tempDir = mDir.path();
        TFloatingWindowForm *wa = list.OpenFloatingWindow(QStringLiteral("A"), a, 0, 0, TFloatingWindowForm::TextWindow, host);
        list.OpenFloatingWindow(QStringLiteral("B"), b, 0, 0, TFloatingWindowForm::TextWindow, host);
        QCOMPARE(list.count(), 2);
        wa->close(); // the system close box
        QCOMPARE(list.count(), 1);
        QVERIFY(!list.FindFloatingWindow(a));
        list.CloseAllFloatingWindows();
        QCOMPARE(list.count(), 0);
    }
};

QTEST_MAIN(TestRunArticles)

#include "tst_runarticles.moc"
