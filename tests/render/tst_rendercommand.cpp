// Tests of the headless page rasterizer.
#include "testsupport.h"

#include "pagepainter.h"
#include "publicationfile.h"
#include "rendercommand.h"
#include "textexpansion.h"
#include "variablestore.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace vardeko;

class TestRenderCommand : public QObject
{
    Q_OBJECT

    // A publication of two pages whose second has a button, saved to disk.
    QString writeSample(Publication &pub)
    {
        pub.Settings.ScreenWidth = 200;
        pub.Settings.ScreenHeight = 160;
        pub.clearPages();
        pub.appendPage(pub.createPage(QStringLiteral("Cover")));
        Page *second = pub.appendPage(pub.createPage(QStringLiteral("Second Page")));
        second->PageColor = rgbColor(0, 128, 255);
        ObjectPtr button = pub.createObject(ButtonKind);
        button->X1 = 20; button->Y1 = 20; button->X2 = 120; button->Y2 = 60;
        button->LineWidth = 1;
        button->FillColor = rgbColor(192, 192, 192);
        button->button()->Text = QStringLiteral("Go");
        button->button()->Font = QStringLiteral("Arial");
        button->button()->FontSize = 10;
        insertObject(second->Objects, std::move(button), nullptr);
        const QString path = QDir(mDir.path()).filePath(QStringLiteral("sample.pub"));
        if (writePublication(pub, path, WriteMode::Save) != 0)
            return QString();
        return path;
    }

private slots:
    void rendersPageByTitleOrNumber_data()
    {
        QTest::addColumn<QString>("spec");
        QTest::addColumn<bool>("run");
        QTest::newRow("title in other case, edit") << QStringLiteral("second page") << false;
        QTest::newRow("number, run") << QStringLiteral("2") << true;
    }

    // The file shows what the window paints for that page in that mode.
    void rendersPageByTitleOrNumber()
    {
        QFETCH(QString, spec);
        QFETCH(bool, run);
        Publication pub;
        const QString path = writeSample(pub);
        QVERIFY(!path.isEmpty());
        RenderCommand command;
        command.publication = path;
        command.page = spec;
        command.output = QDir(mDir.path()).filePath(QStringLiteral("out.png"));
        command.runMode = run;
        QString message;
        QCOMPARE(runRenderCommand(command, &message), 0);
        const QImage written(command.output);
        QCOMPARE(written.size(), QSize(200, 160));

        Publication reread;
        QVERIFY(readPublication(reread, path).ok());
        RenderOptions options;
        options.displayMode = run ? 1 : 0;
        const QImage expected = renderPage(reread, *reread.page(1), options);
        QCOMPARE(compareImages(written, expected, 0).differing, 0);
        QCOMPARE(written.pixel(5, 5), qRgb(0, 128, 255)); // the second page, not the cover
    }

    // Shown texts name the page they stand on, and the program's variables.
    void shownTextsExpandReferences()
    {
        Publication pub;
        QVERIFY(!writeSample(pub).isEmpty());
        globalVariables().SetVariable(QStringLiteral("Reader"), QStringLiteral("Ann"));
        QCOMPARE(expandShownText(QStringLiteral("[PageTitle] is [PageNumber] of 2, [P], [reader]"),
                                 pub, pub.page(1)),
                 QStringLiteral("Second Page is 2 of 2, 2, Ann"));
        QCOMPARE(expandShownText(QStringLiteral("[PageNumber]"), pub, pub.masterPage()),
                 QStringLiteral("0"));
        QCOMPARE(expandShownText(QStringLiteral("[PageTitle]"), pub, nullptr), QString());
        globalVariables().DeleteAllVariables();
    }

    // A title on the master page shows, on each page, that page's name.
    void renderedPageExpandsItsTitle()
    {
        Publication pub;
        const QString path = writeSample(pub);
        auto addTitle = [&](Page &page, const QString &text) {
            ObjectPtr title = pub.createObject(TextKind);
            title->X1 = 10; title->Y1 = 100; title->X2 = 190; title->Y2 = 130;
            title->text()->Text = text;
            title->text()->Font = QStringLiteral("Arial");
            title->text()->FontSize = 12;
            insertObject(page.Objects, std::move(title), nullptr);
        };
        addTitle(*pub.masterPage(), QStringLiteral("[PageTitle]"));
        QCOMPARE(writePublication(pub, path, WriteMode::Save), 0);
        RenderCommand command;
        command.publication = path;
        command.page = QStringLiteral("2");
        command.output = QDir(mDir.path()).filePath(QStringLiteral("title.png"));
        QString message;
        QCOMPARE(runRenderCommand(command, &message), 0);

        Publication literal;
        QVERIFY(readPublication(literal, path).ok());
        literal.masterPage()->Objects.front()->text()->Text = QStringLiteral("Second Page");
        RenderOptions options;
        QCOMPARE(compareImages(QImage(command.output), renderPage(literal, *literal.page(1), options), 0)
                         .differing,
                 0);
    }

    void failuresAreReported_data()
    {
        QTest::addColumn<QString>("publication");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("output");
        QTest::newRow("missing publication") << QStringLiteral("missing.pub") << QStringLiteral("1")
                                             << QStringLiteral("out.png");
        QTest::newRow("no such page") << QString() << QStringLiteral("Nowhere") << QStringLiteral("out.png");
        QTest::newRow("page number past the end") << QString() << QStringLiteral("3") << QStringLiteral("out.png");
        QTest::newRow("unwritable output") << QString() << QStringLiteral("1")
                                           << QStringLiteral("no-such-dir/out.png");
    }

    void failuresAreReported()
    {
        QFETCH(QString, publication);
        QFETCH(QString, page);
        QFETCH(QString, output);
        Publication pub;
        const QString sample = writeSample(pub);
        RenderCommand command;
        command.publication = publication.isEmpty() ? sample : QDir(mDir.path()).filePath(publication);
        command.page = page;
        command.output = QDir(mDir.path()).filePath(output);
        QString message;
        QCOMPARE(runRenderCommand(command, &message), 1);
        QVERIFY(!message.isEmpty());
    }

private:
    QTemporaryDir mDir;
};

VARDEKO_REGISTER_TEST(TestRenderCommand);

#include "tst_rendercommand.moc"
