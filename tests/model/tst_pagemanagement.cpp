// Page management: names, adding, copying, moving, renaming, deleting, page lists,
// alignment, attributes copied to all pages and the file list.
#include "pagemanagement.h"
#include "testsupport.h"

#include <QSet>
#include <QTest>

using namespace vardeko;

namespace {

// A publication whose pages have the given titles, the first one current.
std::unique_ptr<Publication> withPages(const QStringList &titles)
{
    auto pub = std::make_unique<Publication>();
    pub->clearPages();
    for (const QString &t : titles)
        pub->appendPage(pub->createPage(t));
    pub->setCurrentPage(pub->firstPage());
    pub->Modified = false;
    return pub;
}

QStringList titles(const Publication &pub)
{
    QStringList result;
    for (int i = 0; i < pub.pageCount(); ++i)
        result.append(pub.page(i)->Title);
    return result;
}

PageObject *addObject(Publication &pub, ObjectList &stack, int kind,
                      QRect box = QRect(0, 0, 10, 10))
{
    ObjectPtr o = pub.createObject(kind);
    o->X1 = box.left();
    o->Y1 = box.top();
    o->X2 = box.left() + box.width();
    o->Y2 = box.top() + box.height();
    PageObject *raw = o.get();
    stack.push_back(std::move(o));
    return raw;
}

PageObject *addButton(Publication &pub, ObjectList &stack, const QString &action)
{
    PageObject *b = addObject(pub, stack, ButtonKind);
    b->button()->Action = action;
    return b;
}

} // namespace

class TestPageManagement : public QObject
{
    Q_OBJECT

private slots:
    void uniqueNames_data()
    {
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("proposed");
        QTest::addColumn<QString>("expected");
        const QString long34 = QString(34, QLatin1Char('A'));
        QTest::newRow("free name unchanged") << QStringList {"Intro"} << "Contents"
                                             << "Contents";
        QTest::newRow("next free number") << QStringList {"New Page", "New Page 1"} << "New Page"
                                          << "New Page 2";
        QTest::newRow("trailing digits dropped") << QStringList {"Intro 7"} << "Intro 7"
                                                 << "Intro 1";
        QTest::newRow("case does not matter") << QStringList {"intro"} << "INTRO"
                                              << "INTRO 1";
        QTest::newRow("master page is taken") << QStringList {"A"} << "master page"
                                              << "master page 1";
        QTest::newRow("only digits") << QStringList {"12"} << "12"
                                     << "1";
        QTest::newRow("gap is filled") << QStringList {"P", "P 1", "P 3"} << "P"
                                       << "P 2";
        QTest::newRow("35 characters ending in 9") << QStringList {long34 + "9"} << long34 + "9"
                                                   << QString(33, QLatin1Char('A')) + " 1";
    }

    void uniqueNames()
    {
        QFETCH(QStringList, existing);
        QFETCH(QString, proposed);
        QFETCH(QString, expected);
        auto pub = withPages(existing);
        QCOMPARE(pub->makeUniqueTitle(proposed), expected);
        // A batch of new pages names them the same way.
        Page *added = insertPage(*pub, proposed, pub->lastPage());
        QVERIFY(added);
        QCOMPARE(added->Title, expected);
    }

    void copyTwiceStaysWithinTheLimit()
    {
        const QString name = QString(34, QLatin1Char('B')) + QLatin1Char('9');
        auto pub = withPages({name});
        Page *first = copyPage(*pub, *pub->firstPage());
        Page *second = copyPage(*pub, *pub->firstPage());
        QVERIFY(first && second);
        QCOMPARE(first->Title, QString(33, QLatin1Char('B')) + QStringLiteral(" 1"));
        QCOMPARE(second->Title, QString(33, QLatin1Char('B')) + QStringLiteral(" 2"));
        QVERIFY(second->Title.size() <= MaxGeneratedTitle);
        // Each copy goes directly after its source.
        QCOMPARE(titles(*pub), (QStringList {name, second->Title, first->Title}));
        QVERIFY(pub->Modified);
    }

    void copyTakesAttributesAndObjects()
    {
        auto pub = withPages({"Intro 7", "End"});
        Page &source = *pub->firstPage();
        source.PageColor = 0x123456;
        source.PageStyle = 1;
        source.PageWallPaper = QStringLiteral("SKY.BMP");
        source.ShowMaster = false;
        source.PageAction = QStringLiteral("GotoPage \"End\"");
        source.PageEffect = 4;
        source.EffectSpeed = 2;
        source.PagePalette[7] = PaletteEntry {9, 9, 9, 4};
        addObject(*pub, source.Objects, RectangleKind, QRect(5, 6, 7, 8));
        Page *copy = copyPage(*pub, source);
        QVERIFY(copy);
        QCOMPARE(copy->Title, QStringLiteral("Intro 1"));
        QCOMPARE(pub->indexOfPage(copy), 1);
        QCOMPARE(copy->PageColor, source.PageColor);
        QCOMPARE(copy->PageWallPaper, source.PageWallPaper);
        QCOMPARE(copy->PageStyle, quint8(1));
        QCOMPARE(copy->ShowMaster, false);
        QCOMPARE(copy->PageAction, source.PageAction);
        QCOMPARE(copy->PageEffect, quint8(4));
        QCOMPARE(copy->EffectSpeed, quint8(2));
        QCOMPARE(copy->PagePalette, source.PagePalette);
        QCOMPARE(copy->Objects.size(), size_t(1));
        QCOMPARE(copy->Objects.front()->X2, 12);
        QVERIFY(copy->Objects.front().get() != source.Objects.front().get());
        QCOMPARE(pub->objectCount(), 2);
        QCOMPARE(copyPageQuestion(source), QStringLiteral("\"Intro 7\"\n\nCopy this page?"));
    }

    void addPagesAfterAndBefore_data()
    {
        QTest::addColumn<int>("place");
        QTest::addColumn<int>("anchor");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("after the current page")
                << int(InsertPlace::After) << 0
                << QStringList {"A", "New Page", "New Page 1", "New Page 2", "B"};
        QTest::newRow("before the current page, in the order made")
                << int(InsertPlace::Before) << 1
                << QStringList {"A", "New Page", "New Page 1", "New Page 2", "B"};
        QTest::newRow("before the first page")
                << int(InsertPlace::Before) << 0
                << QStringList {"New Page", "New Page 1", "New Page 2", "A", "B"};
        QTest::newRow("after the last page")
                << int(InsertPlace::After) << 1
                << QStringList {"A", "B", "New Page", "New Page 1", "New Page 2"};
    }

    void addPagesAfterAndBefore()
    {
        QFETCH(int, place);
        QFETCH(int, anchor);
        QFETCH(QStringList, expected);
        auto pub = withPages({"A", "B"});
        Page *current = pub->currentPage();
        const AddPagesResult r = addPages(*pub, pub->page(anchor), 3, InsertPlace(place));
        QVERIFY(!r.failed);
        QCOMPARE(titles(*pub), expected);
        QCOMPARE(r.pages.size(), size_t(3));
        QCOMPARE(r.pages.front()->Title, QStringLiteral("New Page"));
        QCOMPARE(pub->currentPage(), current);
        QVERIFY(pub->Modified);
        for (const Page *p : r.pages) {
            QCOMPARE(p->PageColor, ColorRef(0xFFFFFF));
            QCOMPARE(p->PageStyle, quint8(0));
            QVERIFY(p->ShowMaster);
            QCOMPARE(p->PagePalette, defaultPaletteTable());
        }
    }

    void addPagesLabels()
    {
        QCOMPARE(addPagesCountLabel(1), QStringLiteral("Page:"));
        QCOMPARE(addPagesCountLabel(0), QStringLiteral("Pages:"));
        QCOMPARE(addPagesCountLabel(2), QStringLiteral("Pages:"));
        auto pub = withPages({"Intro"});
        QCOMPARE(addPagesPlaceCaption(InsertPlace::After, *pub->firstPage()),
                 QStringLiteral("&After \"Intro\""));
        QCOMPARE(addPagesPlaceCaption(InsertPlace::Before, *pub->firstPage()),
                 QStringLiteral("&Before \"Intro\""));
    }

    void addPagesMakesTheFirstCurrentWhenNoneIs()
    {
        auto pub = withPages({});
        QCOMPARE(pub->currentPage(), nullptr);
        const AddPagesResult r = addPages(*pub, nullptr, 2, InsertPlace::After);
        QCOMPARE(pub->pageCount(), 2);
        QCOMPARE(pub->currentPage(), r.pages.front());
        QVERIFY(addPages(*pub, nullptr, 0, InsertPlace::After).pages.empty());
    }

    void addPagesStopsAtTheLimit()
    {
        auto pub = withPages({"New Page"});
        AddPagesResult r = addPages(*pub, pub->firstPage(), MaxPages - 3, InsertPlace::After);
        QVERIFY(!r.failed);
        QCOMPARE(pub->pageCount(), MaxPages - 2);
        QCOMPARE(pub->lastPage()->Title, QStringLiteral("New Page 9996"));

        r = addPages(*pub, pub->lastPage(), 5, InsertPlace::After);
        QVERIFY(r.failed);
        QCOMPARE(r.pages.size(), size_t(2)); // the pages made before the limit stay
        QCOMPARE(pub->pageCount(), MaxPages);

        QSet<QString> names;
        for (int i = 0; i < pub->pageCount(); ++i)
            names.insert(pub->page(i)->Title.toCaseFolded());
        QCOMPARE(names.size(), MaxPages);

        pub->Modified = false;
        r = addPages(*pub, pub->firstPage(), 1, InsertPlace::Before);
        QVERIFY(r.failed);
        QVERIFY(r.pages.empty());
        QCOMPARE(pub->pageCount(), MaxPages);
        QVERIFY(!pub->Modified);
        QCOMPARE(insertPage(*pub, QStringLiteral("X"), nullptr), nullptr);
        QCOMPARE(copyPage(*pub, *pub->firstPage()), nullptr);
        QVERIFY(!pub->Modified);
    }

    void copyInALargePublication()
    {
        auto pub = withPages({"New Page"});
        QVERIFY(!addPages(*pub, pub->firstPage(), 8999, InsertPlace::After).failed);
        Page *copy = copyPage(*pub, *pub->page(4000));
        QVERIFY(copy);
        QCOMPARE(copy->Title, QStringLiteral("New Page 9000"));
        QCOMPARE(pub->indexOfPage(copy), 4001);
        QVERIFY(deletePage(*pub, pub->page(17))); // frees "New Page 17"
        QCOMPARE(copyPage(*pub, *pub->lastPage())->Title, QStringLiteral("New Page 17"));
    }

    void batchNamesSkipTakenOnes()
    {
        auto pub = withPages({"New Page", "New Page 2", "new page 4"});
        const AddPagesResult r = addPages(*pub, pub->lastPage(), 3, InsertPlace::After);
        QCOMPARE(titles(*pub),
                 (QStringList {"New Page", "New Page 2", "new page 4", "New Page 1", "New Page 3",
                               "New Page 5"}));
    }

    void movePages_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("place");
        QTest::addColumn<bool>("moved");
        QTest::addColumn<QStringList>("expected");
        const int before = int(InsertPlace::Before);
        const int after = int(InsertPlace::After);
        QTest::newRow("after a later page")
                << "B"
                << "D" << after << true << QStringList {"A", "C", "D", "B"};
        QTest::newRow("before a later page")
                << "A"
                << "C" << before << true << QStringList {"B", "A", "C", "D"};
        QTest::newRow("before the first")
                << "D"
                << "a" << before << true << QStringList {"D", "A", "B", "C"};
        QTest::newRow("after an earlier page")
                << "D"
                << "A" << after << true << QStringList {"A", "D", "B", "C"};
        QTest::newRow("onto itself") << "B"
                                     << "b" << after << false << QStringList {"A", "B", "C", "D"};
        QTest::newRow("missing target")
                << "B"
                << "Z" << after << false << QStringList {"A", "B", "C", "D"};
        QTest::newRow("master page as target")
                << "B"
                << "Master Page" << before << false << QStringList {"A", "B", "C", "D"};
        QTest::newRow("master page moved")
                << "Master Page"
                << "B" << before << false << QStringList {"A", "B", "C", "D"};
    }

    void movePages()
    {
        QFETCH(QString, page);
        QFETCH(QString, target);
        QFETCH(int, place);
        QFETCH(bool, moved);
        QFETCH(QStringList, expected);
        auto pub = withPages({"A", "B", "C", "D"});
        Page *current = pub->page(1);
        pub->setCurrentPage(current);
        QCOMPARE(movePage(*pub, page, target, InsertPlace(place)), moved);
        QCOMPARE(titles(*pub), expected);
        QCOMPARE(pub->currentPage(), current); // moving never loses the current page
        QCOMPARE(pub->Modified, moved);
    }

    void stepsAndDrops()
    {
        auto pub = withPages({"A", "B", "C", "D"});
        QVERIFY(!movePageStep(*pub, pub->page(0), -1));
        QVERIFY(!movePageStep(*pub, pub->page(3), +1));
        QVERIFY(!pub->Modified);
        QVERIFY(movePageStep(*pub, pub->page(1), +1));
        QCOMPARE(titles(*pub), (QStringList {"A", "C", "B", "D"}));
        QVERIFY(movePageStep(*pub, pub->page(2), -1));
        QCOMPARE(titles(*pub), (QStringList {"A", "B", "C", "D"}));

        // Dropped on a row above its old place: before that row; below: after it.
        QVERIFY(dropPageOnRow(*pub, pub->findPage(QStringLiteral("C")), 0));
        QCOMPARE(titles(*pub), (QStringList {"C", "A", "B", "D"}));
        QVERIFY(dropPageOnRow(*pub, pub->findPage(QStringLiteral("C")), 2));
        QCOMPARE(titles(*pub), (QStringList {"A", "B", "C", "D"}));
        QVERIFY(dropPageOnRow(*pub, pub->findPage(QStringLiteral("A")), 99)); // below the last row
        QCOMPARE(titles(*pub), (QStringList {"B", "C", "D", "A"}));
        QVERIFY(!dropPageOnRow(*pub, pub->findPage(QStringLiteral("A")), 3));
    }

    void deleteTheOnlyPageEmptiesIt()
    {
        auto pub = withPages({"Only"});
        Page *page = pub->firstPage();
        page->PageColor = 0x00FF00;
        page->PageAction = QStringLiteral("GotoPage \"Only\"");
        addObject(*pub, page->Objects, CircleKind);
        QVERIFY(deletePage(*pub, page));
        QCOMPARE(pub->pageCount(), 1);
        QCOMPARE(pub->firstPage(), page);
        QCOMPARE(pub->currentPage(), page);
        QCOMPARE(page->Title, QStringLiteral("New Page"));
        QVERIFY(page->Objects.empty());
        QCOMPARE(pub->objectCount(), 0);
        QCOMPARE(page->PageColor, ColorRef(0xFFFFFF));
        QVERIFY(page->PageAction.isEmpty());
        QVERIFY(pub->Modified);
    }

    void deleteMovesTheCurrentPage_data()
    {
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("deleted");
        QTest::addColumn<QString>("newCurrent");
        QTest::newRow("current, previous takes over") << 1 << 1 << "A";
        QTest::newRow("first and current, next takes over") << 0 << 0 << "B";
        QTest::newRow("another page") << 2 << 0 << "C";
    }

    void deleteMovesTheCurrentPage()
    {
        QFETCH(int, current);
        QFETCH(int, deleted);
        QFETCH(QString, newCurrent);
        auto pub = withPages({"A", "B", "C"});
        pub->setCurrentPage(pub->page(current));
        QVERIFY(deletePage(*pub, pub->page(deleted)));
        QCOMPARE(pub->pageCount(), 2);
        QCOMPARE(pub->currentPage()->Title, newCurrent);
    }

    void deleteRefusesStrangers()
    {
        auto pub = withPages({"A"});
        QVERIFY(!deletePage(*pub, pub->masterPage()));
        QVERIFY(!deletePage(*pub, nullptr));
        QVERIFY(!pub->Modified);
        auto other = withPages({"B", "C"});
        // Deleting every selected page leaves one emptied page.
        QCOMPARE(deletePages(*other, {other->page(0), other->page(1)}), 2);
        QCOMPARE(titles(*other), QStringList {"New Page"});
        QCOMPARE(deletePageQuestion(*pub->firstPage()),
                 QStringLiteral("\"A\"\n\nDo you really want to delete this page?"));
        QCOMPARE(deleteSelectedQuestion(1),
                 QStringLiteral("Do you really want to delete the selected page?"));
        QCOMPARE(deleteSelectedQuestion(3),
                 QStringLiteral("Do you really want to delete the selected pages?"));
    }

    void rewriteReferences_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("expected");
        QTest::newRow("GotoPage") << "GotoPage \"Start\""
                                  << "GotoPage \"Begin\"";
        QTest::newRow("any case, code word, blanks") << "  go   \"sTaRt\""
                                                     << "GotoPage \"Begin\"";
        QTest::newRow("PrintPage") << "PrintPage \"Start\""
                                   << "PrintPage \"Begin\"";
        QTest::newRow("Find list") << "Find \"Start|Other\""
                                   << "Find \"Begin|Other\"";
        QTest::newRow("Find list, name in the middle") << "Find \"Other|start|Last\""
                                                       << "Find \"Other|Begin|Last\"";
        QTest::newRow("other lines kept")
                << "SetVar \"X\" \"Start\"|GotoPage \"Start\"|AlertBox \"Start\" \"Start\""
                << "SetVar \"X\" \"Start\"|GotoPage \"Begin\"|AlertBox \"Start\" \"Start\"";
        QTest::newRow("longer name untouched") << "GotoPage \"Started\""
                                               << "GotoPage \"Started\"";
        QTest::newRow("Find without the name") << "Find \"Starts|Other\""
                                               << "Find \"Starts|Other\"";
        QTest::newRow("no parameter") << "GotoPage Start"
                                      << "GotoPage Start";
    }

    void rewriteReferences()
    {
        QFETCH(QString, script);
        QFETCH(QString, expected);
        QString text = script;
        const bool changed
                = rewritePageReferences(&text, QStringLiteral("Start"), QStringLiteral("Begin"));
        QCOMPARE(text, expected);
        QCOMPARE(changed, script != expected);
    }

    void renameRewritesEveryAction()
    {
        auto pub = withPages({"Start", "Other"});
        Page &other = *pub->page(1);
        PageObject *button = addButton(*pub, other.Objects, QStringLiteral("GotoPage \"Start\""));
        PageObject *group = addObject(*pub, other.Objects, GroupKind);
        PageObject *member
                = addButton(*pub, group->Members, QStringLiteral("Find \"Start|Other\""));
        PageObject *master = addButton(*pub, pub->masterPage()->Objects,
                                       QStringLiteral("PrintPage \"start\""));
        other.PageAction = QStringLiteral("Wait \"1\"|GotoPage \"Start\"");
        pub->masterPage()->PageAction = QStringLiteral("GotoPage \"Start\"");
        pub->Settings.ReturnAction = QStringLiteral("GotoPage \"Start\"");

        QCOMPARE(renamePage(*pub, pub->page(0), QStringLiteral("Begin")), RenameResult::Renamed);
        QCOMPARE(pub->page(0)->Title, QStringLiteral("Begin"));
        QCOMPARE(button->button()->Action, QStringLiteral("GotoPage \"Begin\""));
        QCOMPARE(member->button()->Action, QStringLiteral("Find \"Begin|Other\""));
        QCOMPARE(master->button()->Action, QStringLiteral("PrintPage \"Begin\""));
        QCOMPARE(other.PageAction, QStringLiteral("Wait \"1\"|GotoPage \"Begin\""));
        QCOMPARE(pub->masterPage()->PageAction, QStringLiteral("GotoPage \"Begin\""));
        QCOMPARE(pub->Settings.ReturnAction, QStringLiteral("GotoPage \"Begin\""));
        QVERIFY(pub->Modified);
    }

    void renameRefusals_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("result");
        QTest::newRow("master page") << "Master Page" << int(RenameResult::NameTaken);
        QTest::newRow("master page, mixed case") << "mAsTeR pAgE" << int(RenameResult::NameTaken);
        QTest::newRow("another page's title") << "OTHER" << int(RenameResult::NameTaken);
        QTest::newRow("empty keeps the old title") << "" << int(RenameResult::Unchanged);
        QTest::newRow("same title in another case") << "START" << int(RenameResult::Unchanged);
        QTest::newRow("36 characters")
                << QString(36, QLatin1Char('x')) << int(RenameResult::TooLong);
    }

    void renameRefusals()
    {
        QFETCH(QString, title);
        QFETCH(int, result);
        auto pub = withPages({"Start", "Other"});
        pub->page(1)->PageAction = QStringLiteral("GotoPage \"Start\"");
        QCOMPARE(int(renamePage(*pub, pub->page(0), title)), result);
        QCOMPARE(pub->page(0)->Title, QStringLiteral("Start"));
        QCOMPARE(pub->page(1)->PageAction, QStringLiteral("GotoPage \"Start\""));
        QVERIFY(!pub->Modified);
    }

    void renameMasterPageIsNotAllowed()
    {
        auto pub = withPages({"Start"});
        QCOMPARE(renamePage(*pub, pub->masterPage(), QStringLiteral("X")),
                 RenameResult::NotAllowed);
        QCOMPARE(nameTakenMessage(QStringLiteral("Start")),
                 QStringLiteral("\"Start\"\nA page with this name already exists.\n"
                                "Please select another name."));
    }

    void gotoMenu_data()
    {
        QTest::addColumn<int>("pages");
        QTest::addColumn<bool>("running");
        QTest::addColumn<int>("listed");
        QTest::addColumn<bool>("more");
        QTest::newRow("one page") << 1 << false << 1 << false;
        QTest::newRow("eleven pages") << 11 << false << 11 << false;
        QTest::newRow("twelve pages fill the submenu") << 12 << false << 12 << true;
        QTest::newRow("thirteen pages") << 13 << false << 12 << true;
        QTest::newRow("running, hidden items still count") << 20 << true << 12 << true;
    }

    void gotoMenu()
    {
        QFETCH(int, pages);
        QFETCH(bool, running);
        QFETCH(int, listed);
        QFETCH(bool, more);
        QStringList names;
        for (int i = 0; i < pages; ++i)
            names << QStringLiteral("P%1").arg(i);
        auto pub = withPages(names);
        const GotoMenu menu = vardeko::gotoMenu(*pub, running);
        QCOMPARE(menu.pageTitles, names.mid(0, listed));
        QCOMPARE(menu.moreVisible, more);
        QCOMPARE(menu.masterPageVisible, !running);
        QCOMPARE(pageTabTitles(*pub, running).size(), pages + (running ? 0 : 1));
        QCOMPARE(pageTabTitles(*pub, false).first(), QStringLiteral("Master Page"));
    }

    void showMasterToggle()
    {
        auto pub = withPages({"A"});
        QVERIFY(!toggleShowMaster(*pub, *pub->masterPage()));
        QVERIFY(!pub->Modified);
        QVERIFY(toggleShowMaster(*pub, *pub->firstPage()));
        QVERIFY(!pub->firstPage()->ShowMaster);
        QVERIFY(pub->Modified);
        QCOMPARE(clampGridSpacing(2), 4);
        QCOMPARE(clampGridSpacing(51), 50);
        QCOMPARE(clampGridSpacing(17), 17);
    }

    void align_data()
    {
        QTest::addColumn<int>("horizontal");
        QTest::addColumn<int>("vertical");
        QTest::addColumn<bool>("relative");
        QTest::addColumn<QRect>("first"); // from (100,50) 100 x 41
        QTest::addColumn<QRect>("second"); // from (300,200) 51 x 20
        const int none = 0;
        QTest::newRow("right on the page") << int(HorizontalAlign::Right) << none << false
                                           << QRect(540, 50, 100, 41) << QRect(589, 200, 51, 20);
        QTest::newRow("left and top on the page")
                << int(HorizontalAlign::Left) << int(VerticalAlign::Top) << false
                << QRect(0, 0, 100, 41) << QRect(0, 0, 51, 20);
        QTest::newRow("centre and middle, halves truncated")
                << int(HorizontalAlign::Center) << int(VerticalAlign::Middle) << false
                << QRect(270, 220, 100, 41) << QRect(295, 230, 51, 20);
        QTest::newRow("bottom on the page") << none << int(VerticalAlign::Bottom) << false
                                            << QRect(100, 439, 100, 41) << QRect(300, 460, 51, 20);
        QTest::newRow("relative left and bottom")
                << int(HorizontalAlign::Left) << int(VerticalAlign::Bottom) << true
                << QRect(100, 179, 100, 41) << QRect(100, 200, 51, 20);
        QTest::newRow("relative centre: box 100..351")
                << int(HorizontalAlign::Center) << none << true << QRect(175, 50, 100, 41)
                << QRect(200, 200, 51, 20);
        QTest::newRow("relative right and middle: box 50..220")
                << int(HorizontalAlign::Right) << int(VerticalAlign::Middle) << true
                << QRect(251, 115, 100, 41) << QRect(300, 125, 51, 20);
    }

    void align()
    {
        QFETCH(int, horizontal);
        QFETCH(int, vertical);
        QFETCH(bool, relative);
        QFETCH(QRect, first);
        QFETCH(QRect, second);
        auto pub = withPages({"A"});
        Page &page = *pub->firstPage();
        PageObject *a = addObject(*pub, page.Objects, RectangleKind, QRect(100, 50, 100, 41));
        PageObject *b = addObject(*pub, page.Objects, GroupKind, QRect(300, 200, 51, 20));
        PageObject *member = addObject(*pub, b->Members, CircleKind, QRect(300, 200, 5, 5));
        PageObject *unselected = addObject(*pub, page.Objects, LineKind, QRect(7, 7, 3, 3));
        a->Selected = b->Selected = true;
        const QRect area = alignSelected(*pub, page, HorizontalAlign(horizontal),
                                         VerticalAlign(vertical), relative, QSize(640, 480));
        QCOMPARE(QRect(a->X1, a->Y1, a->X2 - a->X1, a->Y2 - a->Y1), first);
        QCOMPARE(QRect(b->X1, b->Y1, b->X2 - b->X1, b->Y2 - b->Y1), second);
        QCOMPARE(QPoint(member->X1 - b->X1, member->Y1 - b->Y1), QPoint(0, 0)); // moved along
        QCOMPARE(unselected->X1, 7);
        QVERIFY(area.contains(QRect(100, 50, 100, 41).adjusted(-4, -4, 4, 4)));
        QVERIFY(area.contains(first.adjusted(-4, -4, 4, 4)));
        QVERIFY(pub->Modified);
    }

    void alignNothingToDo()
    {
        auto pub = withPages({"A"});
        Page &page = *pub->firstPage();
        PageObject *a = addObject(*pub, page.Objects, RectangleKind, QRect(0, 0, 10, 10));
        QVERIFY(alignSelected(*pub, page, HorizontalAlign::Right, VerticalAlign::None, false,
                              QSize(640, 480))
                        .isEmpty()); // nothing selected
        a->Selected = true;
        QVERIFY(alignSelected(*pub, page, HorizontalAlign::Left, VerticalAlign::Top, false,
                              QSize(640, 480))
                        .isEmpty()); // already there
        // Relative with one object selected aligns to the page.
        QVERIFY(!alignSelected(*pub, page, HorizontalAlign::Right, VerticalAlign::None, true,
                               QSize(640, 480))
                         .isEmpty());
        QCOMPARE(a->X1, 630);
    }

    void copyToAllPages_data()
    {
        QTest::addColumn<unsigned>("items");
        QTest::addColumn<bool>("background");
        QTest::addColumn<bool>("effect");
        QTest::addColumn<bool>("action");
        QTest::addColumn<bool>("palette");
        QTest::newRow("only display effect")
                << unsigned(CopyDisplayEffect) << false << true << false << false;
        QTest::newRow("background") << unsigned(CopyBackground) << true << false << false << false;
        QTest::newRow("action and palette")
                << unsigned(CopyActionScript | CopyPalette) << false << false << true << true;
    }

    void copyToAllPages()
    {
        QFETCH(unsigned, items);
        QFETCH(bool, background);
        QFETCH(bool, effect);
        QFETCH(bool, action);
        QFETCH(bool, palette);
        auto pub = withPages({"Source", "B", "C"});
        Page &source = *pub->firstPage();
        source.PageColor = 0x112233;
        source.PageStyle = 1;
        source.PageWallPaper = QStringLiteral("W.BMP");
        source.ShowMaster = false;
        source.PageEffect = 5;
        source.EffectSpeed = 3;
        source.PageAction = QStringLiteral("Wait \"2\"");
        source.PagePalette[3] = PaletteEntry {3, 3, 3, 4};
        QCOMPARE(vardeko::copyToAllPages(*pub, source, items), palette ? 3 : 2);
        for (const Page *target : {pub->page(1), pub->page(2)}) {
            QCOMPARE(target->PageColor == 0x112233, background);
            QCOMPARE(target->PageWallPaper == QStringLiteral("W.BMP"), background);
            QCOMPARE(target->PageStyle == 1, background);
            QCOMPARE(target->ShowMaster == false, background);
            QCOMPARE(target->PageEffect == 5 && target->EffectSpeed == 3, effect);
            QCOMPARE(target->PageAction == source.PageAction, action);
            QCOMPARE(target->PagePalette == source.PagePalette, palette);
        }
        QCOMPARE(pub->masterPage()->PagePalette == source.PagePalette, palette);
        QVERIFY(pub->Modified);
    }

    void copyFromMasterCopiesOnlyThePalette()
    {
        auto pub = withPages({"A"});
        Page &master = *pub->masterPage();
        master.PageColor = 0x445566;
        master.PagePalette[0] = PaletteEntry {1, 1, 1, 4};
        QCOMPARE(vardeko::copyToAllPages(*pub, master, CopyBackground | CopyPalette), 1);
        QCOMPARE(pub->firstPage()->PagePalette, master.PagePalette);
        QCOMPARE(pub->firstPage()->PageColor, ColorRef(0xFFFFFF));
        pub->Modified = false;
        QCOMPARE(vardeko::copyToAllPages(*pub, master, CopyBackground), 0);
        QVERIFY(!pub->Modified);
    }

    void pageAttributesOk()
    {
        auto pub = withPages({"Start", "Other"});
        pub->page(1)->PageAction = QStringLiteral("GotoPage \"Start\"");
        Page &page = *pub->firstPage();
        PageAttributes a = pageAttributes(page);
        a.title = QStringLiteral("other");
        a.color = 0x0000FF;
        QCOMPARE(applyPageAttributes(*pub, page, a), RenameResult::NameTaken);
        QCOMPARE(page.PageColor, ColorRef(0xFFFFFF)); // nothing stored
        QVERIFY(!pub->Modified);

        a.title = QStringLiteral("Begin");
        a.wallpaperChosen = true;
        a.wallpaper.clear(); // Wallpaper with an empty box is stored as solid
        a.effect = 2;
        QCOMPARE(applyPageAttributes(*pub, page, a), RenameResult::Renamed);
        QCOMPARE(page.Title, QStringLiteral("Begin"));
        QCOMPARE(page.PageStyle, quint8(0));
        QCOMPARE(page.PageColor, ColorRef(0x0000FF));
        QCOMPARE(page.PageEffect, quint8(2));
        QCOMPARE(pub->page(1)->PageAction, QStringLiteral("GotoPage \"Begin\""));
        QVERIFY(pub->Modified);

        QCOMPARE(backgroundStyle(true, QStringLiteral("W.BMP")), quint8(1));
        QCOMPARE(backgroundStyle(false, QStringLiteral("W.BMP")), quint8(0));
    }

    void gatheringWalk()
    {
        auto pub = withPages({"A", "B"});
        pub->FileName = QStringLiteral("/books/demo.pub");
        pub->Settings.Icon = QStringLiteral("DEMO.ICO");
        Page &a = *pub->page(0);
        a.PageStyle = 1;
        a.PageWallPaper = QStringLiteral("SKY.BMP");
        a.PageAction = QStringLiteral("PlaySoundFile \"intro.wav\" \"Normal\"");
        addObject(*pub, pub->masterPage()->Objects, PictureKind)->picture()->FileName
                = QStringLiteral("LOGO.PCX");
        PageObject *article = addObject(*pub, a.Objects, ArticleKind, QRect(0, 0, 200, 100));
        article->article()->FileName = QStringLiteral("STORY.TXT");
        article->article()->Font = QStringLiteral("Arial");
        PageObject *group = addObject(*pub, pub->page(1)->Objects, GroupKind);
        PageObject *button = addButton(
                *pub, group->Members,
                QStringLiteral("PlayFlicFile \"\" \"\" \"\" \"\" \"SPIN.FLC\" \"\" \"\"|"
                               "FileRead \"DATA.TXT\" \"1\" \"X\"|"
                               "StopMedia \"SOUND\"|GotoPage \"A\""));
        button->button()->UpImage = QStringLiteral("up.bmp");
        button->button()->DownImage = QStringLiteral("UP.BMP"); // same file in another case
        button->button()->Font = QStringLiteral("arial");
        addObject(*pub, pub->page(1)->Objects, PictureKind)->picture()->FileName
                = QStringLiteral("ANIM.FLI");
        pub->Settings.ReturnAction
                = QStringLiteral("PlayVideoFile \"\" \"\" \"\" \"\" \"clip.avi\" \"\"");

        GatherOptions options;
        options.publicationAndIcon = true;
        options.articleReferences = [](const QString &file) {
            return file == QStringLiteral("STORY.TXT")
                    ? std::vector<GatheredFile> {{QStringLiteral("INLINE.GIF"),
                                                  GatheredKind::Picture}}
                    : std::vector<GatheredFile> {};
        };
        const std::vector<GatheredFile> files = gatherPublicationFiles(*pub, options);
        QStringList found;
        for (const GatheredFile &f : files)
            found << QStringLiteral("%1:%2").arg(int(f.kind)).arg(f.name);
        QCOMPARE(found,
                 (QStringList {"0:/books/demo.pub", "2:LOGO.PCX", "2:SKY.BMP", "3:intro.wav",
                               "1:STORY.TXT", "2:INLINE.GIF", "5:Arial", "2:up.bmp", "4:SPIN.FLC",
                               "6:DATA.TXT", "4:ANIM.FLI", "4:clip.avi", "2:DEMO.ICO"}));
        QCOMPARE(files[4].width, 200);
        QCOMPARE(files[4].height, 100);

        GatherOptions plain;
        plain.fonts = false;
        const std::vector<GatheredFile> noFonts = gatherPublicationFiles(*pub, plain);
        QCOMPARE(noFonts.size(), size_t(9)); // no publication, icon, font or article references

        const QStringList report = fileListReport(files);
        QCOMPARE(report,
                 (QStringList {"Vardeko File List (13 Files)",
                               "",
                               "Publication:",
                               "  /books/demo.pub",
                               "",
                               "Text:",
                               "  STORY.TXT",
                               "",
                               "Images:",
                               "  LOGO.PCX",
                               "  SKY.BMP",
                               "  INLINE.GIF",
                               "  up.bmp",
                               "  DEMO.ICO",
                               "",
                               "Sound/Music:",
                               "  intro.wav",
                               "",
                               "Video/Animation:",
                               "  SPIN.FLC",
                               "  ANIM.FLI",
                               "  clip.avi",
                               "",
                               "Data:",
                               "  DATA.TXT",
                               "",
                               "Fonts:",
                               "  Arial"}));
        pub->Settings.Title = QStringLiteral("Demo");
        QCOMPARE(fileListCaption(*pub), QStringLiteral("File List: Demo"));
    }

    void fileListOfAnEmptyUntitledPublication()
    {
        auto pub = withPages({"A"});
        GatherOptions options;
        options.publicationAndIcon = true;
        const QStringList report = fileListReport(gatherPublicationFiles(*pub, options));
        QCOMPARE(report,
                 (QStringList {"Vardeko File List (0 Files)",
                               "",
                               "Publication:",
                               "  Untitled Publication",
                               "",
                               "Text:",
                               "  None",
                               "",
                               "Images:",
                               "  None",
                               "",
                               "Sound/Music:",
                               "  None",
                               "",
                               "Video/Animation:",
                               "  None",
                               "",
                               "Data:",
                               "  None",
                               "",
                               "Fonts:",
                               "  None"}));
        std::vector<GatheredFile> one {{QStringLiteral("X.TXT"), GatheredKind::ArticleText}};
        QCOMPARE(fileListReport(one).first(), QStringLiteral("Vardeko File List (1 File)"));
    }
};

VARDEKO_REGISTER_TEST(TestPageManagement);

#include "tst_pagemanagement.moc"
