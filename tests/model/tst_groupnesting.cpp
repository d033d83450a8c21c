// Groups nest as deep as the object limit allows: such a publication is read, written in
// every mode, pasted, copied, counted, moved and freed without running out of stack.
#include "publication.h"
#include "publicationfile.h"
#include "testsupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace vardeko;

namespace {

// `groups` groups, each the only member of the one around it, holding one rectangle.
PageObject *nest(Publication &pub, ObjectList &stack, int groups)
{
    ObjectList *into = &stack;
    for (int i = 0; i < groups; ++i) {
        ObjectPtr group = pub.createObject(GroupKind);
        if (!group)
            return nullptr;
        group->X1 = group->Y1 = 10;
        group->X2 = group->Y2 = 50;
        PageObject *raw = group.get();
        into->push_back(std::move(group));
        into = &raw->Members;
    }
    ObjectPtr box = pub.createObject(RectangleKind);
    if (!box)
        return nullptr;
    box->X1 = box->Y1 = 20;
    box->X2 = box->Y2 = 30;
    PageObject *raw = box.get();
    into->push_back(std::move(box));
    return raw;
}

// How many groups lie around the innermost object, which is returned.
const PageObject *innermost(const ObjectList &stack, int *groups)
{
    *groups = 0;
    const PageObject *o = stack.empty() ? nullptr : stack.front().get();
    while (o && o->isGroup() && o->Members.size() == 1) {
        ++*groups;
        o = o->Members.front().get();
    }
    return o;
}

} // namespace

class TestGroupNesting : public QObject
{
    Q_OBJECT

private slots:
    void deepestNestingRoundTrips()
    {
        const int groups = MaxObjects - 1;
        Publication pub;
        Page &page = *pub.firstPage();
        QVERIFY(nest(pub, page.Objects, groups));
        QCOMPARE(pub.objectCount(), MaxObjects);
        QCOMPARE(countObjects(page.Objects), MaxObjects);

        offsetObject(*page.Objects.front(), 5, 7);
        int depth = 0;
        const PageObject *inner = innermost(page.Objects, &depth);
        QCOMPARE(depth, groups);
        QCOMPARE(QRect(inner->X1, inner->Y1, inner->X2, inner->Y2), QRect(25, 27, 35, 37));

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("deep.pub"));
        QCOMPARE(writePublication(pub, path, WriteMode::Save), 0);
        Publication back;
        const ReadResult read = readPublication(back, path);
        QCOMPARE(read.error, 0);
        QCOMPARE(back.objectCount(), MaxObjects);
        inner = innermost(back.firstPage()->Objects, &depth);
        QCOMPARE(depth, groups);
        QCOMPARE(inner->ObjectType, quint8(RectangleKind));
        QCOMPARE(inner->X1, 25);

        // The compiled copy has no groups: the rectangle alone stands in their place.
        const QString compiled = dir.filePath(QStringLiteral("compiled.pub"));
        QCOMPARE(writePublication(pub, compiled, WriteMode::Compiled), 0);
        Publication flat;
        ReadOptions options;
        options.compiledCopy = true;
        QCOMPARE(readPublication(flat, compiled, options).error, 0);
        QCOMPARE(flat.objectCount(), 1);
        QCOMPARE(flat.firstPage()->Objects.front()->ObjectType, quint8(RectangleKind));

        // The exchange text of the clipboard.
        page.Objects.front()->Selected = true;
        const QString text = exchangeText(page);
        Publication pasted;
        QCOMPARE(readExchangeText(pasted, *pasted.firstPage(), text), 0);
        inner = innermost(pasted.firstPage()->Objects, &depth);
        QCOMPARE(depth, groups);
    }

    void deepNestingCopies()
    {
        const int groups = MaxObjects / 2 - 1;
        Publication pub;
        Page &page = *pub.firstPage();
        QVERIFY(nest(pub, page.Objects, groups));
        ObjectPtr copy = pub.duplicateObject(*page.Objects.front(), true);
        QVERIFY(copy);
        QCOMPARE(pub.objectCount(), MaxObjects);
        int depth = 0;
        ObjectList holder;
        holder.push_back(std::move(copy));
        QCOMPARE(innermost(holder, &depth)->ObjectType, quint8(RectangleKind));
        QCOMPARE(depth, groups);
        holder.clear();
        QCOMPARE(pub.objectCount(), MaxObjects / 2);
        // A copy that reaches the limit half way is refused whole, and what it made so
        // far is freed.
        std::vector<ObjectPtr> filler;
        for (int i = 0; i < 100; ++i)
            filler.push_back(pub.createObject(RectangleKind));
        QVERIFY(!pub.duplicateObject(*page.Objects.front(), false));
        QCOMPARE(pub.objectCount(), MaxObjects / 2 + 100);
    }

    // A file nested deeper than any file within the object limit can be is damaged.
    void nestingPastTheLimitIsRefused()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("deeper.pub"));
        QByteArray text = "Vardeko Windows Document File\r\nNEWPAGE=One\r\nObjectType=5\r\n";
        for (int i = 0; i <= MaxObjects; ++i)
            text += "GROUPBEGIN\r\n";
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(text);
        f.close();
        Publication pub;
        QVERIFY(readPublication(pub, path).error != 0);
    }
};

VARDEKO_REGISTER_TEST(TestGroupNesting);
#include "tst_groupnesting.moc"
