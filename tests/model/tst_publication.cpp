// Object and page operations of the publication model.
#include "publication.h"
#include "testsupport.h"

#include <QTest>
#include <QThread>

using namespace vardeko;

namespace {

PageObject *add(Publication &pub, Page &page, int kind, int x, bool selected = false)
{
    ObjectPtr o = pub.createObject(kind);
    o->X1 = x;
    o->Y1 = x;
    o->X2 = x + 10;
    o->Y2 = x + 20;
    o->Selected = selected;
    PageObject *raw = o.get();
    page.Objects.push_back(std::move(o));
    return raw;
}

QList<int> xs(const ObjectList &stack)
{
    QList<int> result;
    for (const ObjectPtr &o : stack)
        result.append(o->X1);
    return result;
}

} // namespace

class TestPublication : public QObject
{
    Q_OBJECT

private slots:
    void newPublicationHasMasterAndOnePage()
    {
        Publication pub;
        QCOMPARE(pub.pageCount(), 1);
        QCOMPARE(pub.firstPage()->Title, QStringLiteral("New Page"));
        QCOMPARE(pub.currentPage(), pub.firstPage());
        QCOMPARE(pub.masterPage()->Title, QStringLiteral("Master Page"));
        QCOMPARE(pub.Settings.Title, QStringLiteral("Untitled Vardeko Publication"));
        QCOMPARE(pub.Settings.Language[0], QStringLiteral("OK"));
        QCOMPARE(pub.Settings.Language[26],
                 QStringLiteral("Do you really want to cancel the installation?"));
    }

    void newObjectsTakeToolAttributes()
    {
        Publication pub;
        ToolAttributes tools;
        tools.FillColor = 0x123456;
        tools.LineWidth = 3;
        tools.Font = QStringLiteral("Times New Roman");
        tools.FontColor = 0xFF;
        ObjectPtr text = pub.createObject(TextKind, tools);
        QCOMPARE(text->FillColor, 0x123456);
        QCOMPARE(text->LineWidth, 3);
        QCOMPARE(text->text()->Font, QStringLiteral("Times New Roman"));
        QCOMPARE(text->text()->TextColor, 0xFF);
        QCOMPARE(text->text()->Align, quint8(AlignLeftValue));
        ObjectPtr picture = pub.createObject(PictureKind, tools);
        QCOMPARE(picture->FillPattern, quint8(1));
        QVERIFY(pub.createObject(RectangleKind)->Data.index() == 0);
    }

    void objectCountFollowsEveryDeath()
    {
        Publication pub;
        Page &page = *pub.firstPage();
        add(pub, page, RectangleKind, 0, true);
        add(pub, page, CircleKind, 10, true);
        QCOMPARE(pub.objectCount(), 2);
        groupSelected(pub, page);
        QCOMPARE(pub.objectCount(), 3);
        pub.duplicatePage(&page);
        QCOMPARE(pub.objectCount(), 6);
        pub.destroyPage(pub.lastPage());
        QCOMPARE(pub.objectCount(), 3);
        ungroupSelected(pub, page);
        QCOMPARE(pub.objectCount(), 2);
        pub.clearPages();
        QCOMPARE(pub.objectCount(), 0);
    }

    void objectLimitRefusesCreation()
    {
        Publication pub;
        std::vector<ObjectPtr> keep;
        keep.reserve(MaxObjects);
        for (int i = 0; i < MaxObjects; ++i)
            keep.push_back(pub.createObject(RectangleKind));
        QVERIFY(!pub.createObject(RectangleKind));
        Page &page = *pub.firstPage();
        keep.back()->Selected = true;
        page.Objects.push_back(std::move(keep.back()));
        keep.pop_back();
        // Full: the duplicate fails and the pages stay as they were.
        keep.pop_back();
        QVERIFY(pub.createObject(RectangleKind));
        QCOMPARE(copySelectedToPage(pub, page, page, 5, 5, false), CopyResult::Done);
        QCOMPARE(copySelectedToPage(pub, page, page, 5, 5, false), CopyResult::OutOfMemory);
        QCOMPARE(pub.objectCount(), MaxObjects);
    }

    void pageLimit()
    {
        Publication pub;
        for (int i = 1; i < MaxPages; ++i)
            pub.appendPage(pub.createPage(QString::number(i)));
        QCOMPARE(pub.pageCount(), MaxPages);
        QVERIFY(!pub.createPage(QStringLiteral("one more")));
        QVERIFY(!pub.duplicatePage(pub.firstPage()));
    }

    void groupKeepsOrderAndPlace()
    {
        Publication pub;
        Page &page = *pub.firstPage();
        add(pub, page, RectangleKind, 0);
        add(pub, page, RectangleKind, 10, true);
        add(pub, page, RectangleKind, 20);
        add(pub, page, RectangleKind, 30, true);
        add(pub, page, RectangleKind, 40, true);
        const QRect area = groupSelected(pub, page);
        QCOMPARE(area, QRect(10, 10, 40, 50));
        QCOMPARE(page.Objects.size(), size_t(3));
        PageObject *group = page.Objects[1].get();
        QVERIFY(group->isGroup() && group->Selected);
        QCOMPARE(xs(group->Members), (QList<int>{10, 30, 40}));
        QCOMPARE(group->X1, 10);
        QCOMPARE(group->Y2, 60);
        QVERIFY(!group->Members[0]->Selected);
        QVERIFY(pub.Modified);
    }

    void ungroupYieldsInnerGroupSelected()
    {
        Publication pub;
        Page &page = *pub.firstPage();
        add(pub, page, RectangleKind, 0, true);
        add(pub, page, RectangleKind, 10, true);
        groupSelected(pub, page);
        add(pub, page, CircleKind, 50, true);
        groupSelected(pub, page); // outer group: inner group and circle
        add(pub, page, LineKind, 90);
        QCOMPARE(page.Objects.size(), size_t(2));
        ungroupSelected(pub, page);
        QCOMPARE(page.Objects.size(), size_t(3));
        QVERIFY(page.Objects[0]->isGroup() && page.Objects[0]->Selected);
        QCOMPARE(page.Objects[1]->ObjectType, quint8(CircleKind));
        QVERIFY(page.Objects[1]->Selected);
        QCOMPARE(page.Objects[2]->ObjectType, quint8(LineKind));
    }

    void restackKeepsRelativeOrder()
    {
        Publication pub;
        Page &page = *pub.firstPage();
        for (int x : {0, 10, 20, 30, 40})
            add(pub, page, RectangleKind, x, x == 10 || x == 30);
        const QRect area = sendToBack(pub, page);
        QCOMPARE(xs(page.Objects), (QList<int>{10, 30, 0, 20, 40}));
        QCOMPARE(area, QRect(6, 6, 38, 48));
        bringToFront(pub, page);
        QCOMPARE(xs(page.Objects), (QList<int>{0, 20, 40, 10, 30}));
    }

    void selectionHelpers()
    {
        Publication pub;
        Page &page = *pub.firstPage();
        add(pub, page, RectangleKind, 0);
        add(pub, page, RectangleKind, 100);
        selectInside(page.Objects, QRect(0, 0, 10, 20)); // edges included
        QCOMPARE(countSelected(page.Objects), 1);
        QCOMPARE(firstSelected(page.Objects)->X1, 0);
        QRect box;
        QVERIFY(selectionBox(page.Objects, &box));
        QCOMPARE(box, QRect(0, 0, 10, 20));
        selectAll(page.Objects, false);
        QVERIFY(!selectionBox(page.Objects, &box));
        QVERIFY(deleteSelected(pub, page).isNull());
        QCOMPARE(page.Objects.size(), size_t(2));

        // An object shrunk to a point can still be deleted.
        PageObject *point = add(pub, page, RectangleKind, 50, true);
        point->X2 = point->X1;
        point->Y2 = point->Y1;
        QVERIFY(!deleteSelected(pub, page).isNull());
        QCOMPARE(page.Objects.size(), size_t(2));
    }

    void offsetRecursesAndResizeSkipsGroups()
    {
        Publication pub;
        Page &page = *pub.firstPage();
        add(pub, page, ArticleKind, 0, true);
        groupSelected(pub, page);
        PageObject &group = *page.Objects[0];
        offsetObject(group, 5, 7);
        QCOMPARE(group.Members[0]->X1, 5);
        QCOMPARE(group.Members[0]->Y2, 27);
        resizeEdges(group, 1, 1, 1, 1);
        QCOMPARE(group.X1, 5);
        PageObject &article = *group.Members[0];
        article.article()->ReformatNeeded = false;
        resizeEdges(article, 0, 3, 0, 0);
        QVERIFY(!article.article()->ReformatNeeded);
        resizeEdges(article, 0, 0, 4, 0);
        QVERIFY(article.article()->ReformatNeeded);
    }

    void duplicateGivesFreshKindData()
    {
        Publication pub;
        ObjectPtr a = pub.createObject(ArticleKind);
        a->article()->ReformatNeeded = false;
        a->article()->RunValue1 = 9;
        ObjectPtr copy = pub.duplicateObject(*a, true);
        QVERIFY(copy->article()->ReformatNeeded);
        QCOMPARE(copy->article()->RunValue1, 0);
        QVERIFY(copy->Selected);
    }

    void copySelectedToAnotherPage()
    {
        Publication pub;
        Page &source = *pub.firstPage();
        Page &target = *pub.appendPage(pub.createPage(QStringLiteral("Two")));
        add(pub, source, RectangleKind, 0, true);
        add(pub, source, RectangleKind, 50);
        add(pub, target, CircleKind, 0, true);
        QCOMPARE(copySelectedToPage(pub, source, target, 3, 4, true), CopyResult::Done);
        QCOMPARE(source.Objects.size(), size_t(1));
        QCOMPARE(target.Objects.size(), size_t(2));
        QVERIFY(!target.Objects[0]->Selected);
        QVERIFY(target.Objects[1]->Selected);
        QCOMPARE(target.Objects[1]->X1, 3);
    }

    void uniqueTitle_data()
    {
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("wanted");
        QTest::addColumn<QString>("expected");
        QTest::newRow("free") << QStringList{} << "Intro" << "Intro";
        QTest::newRow("taken, any case") << QStringList{"intro"} << "Intro" << "Intro 1";
        QTest::newRow("number stripped") << QStringList{"Word 12"} << "Word 12" << "Word 1";
        QTest::newRow("next number") << QStringList{"Word 12", "Word 1"} << "Word 12" << "Word 2";
        QTest::newRow("digits only") << QStringList{"42"} << "42" << "1";
        const QString long35 = QString(33, QLatin1Char('a')) + QStringLiteral("bc");
        QTest::newRow("35 characters") << QStringList{long35} << long35
                                       << QString(33, QLatin1Char('a')) + QStringLiteral(" 1");
    }

    void uniqueTitle()
    {
        QFETCH(QStringList, existing);
        QFETCH(QString, wanted);
        QFETCH(QString, expected);
        Publication pub;
        for (const QString &title : existing)
            pub.appendPage(pub.createPage(title));
        const QString got = pub.makeUniqueTitle(wanted);
        QCOMPARE(got, expected);
        QVERIFY(got.size() <= MaxGeneratedTitle);
    }

    void masterPageTitleFindsMaster()
    {
        Publication pub;
        pub.appendPage(pub.createPage(QStringLiteral("master page")));
        QCOMPARE(pub.findPage(QStringLiteral("MASTER PAGE")), pub.masterPage());
        QCOMPARE(pub.findPage(QStringLiteral("new PAGE")), pub.firstPage());
        QVERIFY(!pub.findPage(QStringLiteral("Nowhere")));
    }

    void duplicatePageCopiesEverything()
    {
        Publication pub;
        Page &page = *pub.firstPage();
        page.PageColor = 0xFF;
        page.PageAction = QStringLiteral("Delay \"1\"");
        add(pub, page, TextKind, 0);
        Page *copy = pub.duplicatePage(&page);
        QVERIFY(copy);
        QCOMPARE(copy->Title, QStringLiteral("New Page 1"));
        QCOMPARE(copy->PageColor, 0xFF);
        QCOMPARE(copy->PageAction, page.PageAction);
        QCOMPARE(copy->Objects.size(), size_t(1));
        QCOMPARE(pub.indexOfPage(copy), 1);
    }

    void resetOnlyPage()
    {
        Publication pub;
        Page &page = *pub.firstPage();
        page.Title = QStringLiteral("Intro");
        page.PageColor = 0;
        add(pub, page, TextKind, 0);
        pub.resetPage(&page);
        QCOMPARE(page.Title, QStringLiteral("New Page"));
        QCOMPARE(page.PageColor, 0xFFFFFF);
        QVERIFY(page.Objects.empty());
        QCOMPARE(pub.objectCount(), 0);
    }

    void deeplyNestedGroupsDieWithoutRecursion()
    {
        Publication pub;
        ObjectPtr top = pub.createObject(GroupKind);
        PageObject *inner = top.get();
        for (int i = 1; i < MaxObjects; ++i) {
            inner->Members.push_back(pub.createObject(GroupKind));
            inner = inner->Members.back().get();
        }
        QCOMPARE(pub.objectCount(), MaxObjects);
        // A small stack shows recursion at once.
        QThread *thread = QThread::create([&top] { top.reset(); });
        thread->setStackSize(128 * 1024);
        thread->start();
        QVERIFY(thread->wait(10000));
        delete thread;
        QCOMPARE(pub.objectCount(), 0);
    }
};

VARDEKO_REGISTER_TEST(TestPublication);

#include "tst_publication.moc"
