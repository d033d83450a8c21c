// A publication window's history: every command and page operation undone and redone.
#include "tst_history.h"

#include "../shell/fakedialogs.h"
#include "childform.h"
#include "clipboard.h"
#include "editcontroller.h"
#include "fakeedithost.h"
#include "mainform.h"
#include "pagemanagement.h"
#include "pageview.h"
#include "publication.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>
#include <QUndoView>

#include <functional>
#include <memory>

using namespace vardeko;

namespace {

struct Window
{
    std::unique_ptr<TChildForm> form;
    FakeEditHost host;

    Window()
    {
        form = std::make_unique<TChildForm>(std::make_unique<Publication>());
        form->resize(760, 560);
        form->show();
        if (!QTest::qWaitForWindowExposed(form.get()))
            qWarning("window not exposed");
        form->controller()->setHost(&host);
    }
    EditController &editor() const { return *form->controller(); }
    Publication &pub() const { return form->publication(); }
    Page &page() const { return *pub().currentPage(); }
    QWidget *view() const { return form->pageView()->viewport(); }
    QPoint at(const QPoint &p) const { return form->pageView()->pageOffset() + p; }
    void drag(const QPoint &from, const QPoint &to, Qt::KeyboardModifiers mods = {})
    {
        QTest::mousePress(view(), Qt::LeftButton, mods, at(from));
        for (const QPoint &p : {(from + to) / 2, to}) {
            QMouseEvent e(QEvent::MouseMove, QPointF(at(p)), QPointF(view()->mapToGlobal(at(p))),
                          Qt::NoButton, Qt::LeftButton, mods);
            QApplication::sendEvent(view(), &e);
        }
        QTest::mouseRelease(view(), Qt::LeftButton, mods, at(to));
    }
    PageObject *add(int kind, int x1, int y1, int x2, int y2, bool selected = false)
    {
        ObjectPtr o = pub().createObject(kind);
        o->X1 = x1;
        o->Y1 = y1;
        o->X2 = x2;
        o->Y2 = y2;
        o->Selected = selected;
        PageObject *raw = o.get();
        page().Objects.push_back(std::move(o));
        return raw;
    }
};

// Everything of a page's stack that an editing step may change, as text.
QString describe(const ObjectList &stack)
{
    QStringList parts;
    for (const ObjectPtr &o : stack) {
        QString part = QStringLiteral("%1:%2,%3,%4,%5:%6:%7:%8")
                           .arg(o->ObjectType)
                           .arg(o->X1)
                           .arg(o->Y1)
                           .arg(o->X2)
                           .arg(o->Y2)
                           .arg(o->Selected ? 1 : 0)
                           .arg(o->FillColor)
                           .arg(o->LineWidth);
        if (const TextData *t = o->text())
            part += QLatin1Char(':') + t->Text;
        if (!o->Members.empty())
            part += QLatin1Char('[') + describe(o->Members) + QLatin1Char(']');
        parts.append(part);
    }
    return parts.join(QLatin1Char(' '));
}

QStringList titles(const Publication &pub)
{
    QStringList list;
    for (int i = 0; i < pub.pageCount(); ++i)
        list.append(pub.page(i)->Title);
    return list;
}

using Command = std::function<void(Window &)>;

} // namespace

void TestHistory::everyCommandUndoesAndRedoes_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<QString>("step");
    QTest::newRow("draw") << Command([](Window &w) {
        w.host.tool = RectangleKind;
        w.drag(QPoint(300, 300), QPoint(350, 340));
    }) << QStringLiteral("Draw");
    QTest::newRow("move by mouse") << Command([](Window &w) { w.drag(QPoint(15, 15), QPoint(45, 25)); })
                                   << QStringLiteral("Move");
    QTest::newRow("copy by mouse with ctrl")
        << Command([](Window &w) { w.drag(QPoint(15, 15), QPoint(45, 25), Qt::ControlModifier); })
        << QStringLiteral("Copy");
    QTest::newRow("resize by handle")
        << Command([](Window &w) { w.drag(QPoint(20, 20), QPoint(70, 90)); }) << QStringLiteral("Resize");
    QTest::newRow("nudge") << Command([](Window &w) { w.editor().nudge(0, 3); }) << QStringLiteral("Move");
    QTest::newRow("delete") << Command([](Window &w) { w.editor().deleteSelection(); })
                            << QStringLiteral("Delete");
    QTest::newRow("cut") << Command([](Window &w) { cutSelection(w.editor()); }) << QStringLiteral("Cut");
    QTest::newRow("paste text") << Command([](Window &w) {
        QMimeData data;
        data.setText(QStringLiteral("Hello"));
        QString dir;
        pasteData(w.editor(), &data, dir);
    }) << QStringLiteral("Paste");
    QTest::newRow("duplicate") << Command([](Window &w) { w.editor().duplicateSelection(); })
                               << QStringLiteral("Duplicate");
    QTest::newRow("group") << Command([](Window &w) { w.editor().group(); }) << QStringLiteral("Group");
    QTest::newRow("ungroup") << Command([](Window &w) {
        w.editor().group();
        w.editor().undoStack()->clear();
        w.editor().ungroup();
    }) << QStringLiteral("UnGroup");
    QTest::newRow("bring to front") << Command([](Window &w) { w.editor().bringToFront(); })
                                    << QStringLiteral("Bring to Front");
    QTest::newRow("send to back") << Command([](Window &w) { w.editor().sendToBack(); })
                                  << QStringLiteral("Send to Back");
    QTest::newRow("align") << Command([](Window &w) {
        AlignChoice choice;
        choice.horizontal = HAlign::Right;
        w.editor().align(choice);
    }) << QStringLiteral("Align");
    QTest::newRow("palette attribute") << Command([](Window &w) {
        ToolAttributes values;
        values.FillColor = 0x123456;
        w.editor().applyPaletteAttribute(PaletteAttribute::FillColor, values);
    }) << QStringLiteral("Change Attribute");
    QTest::newRow("object dialog") << Command([](Window &w) {
        w.page().Objects[0]->Selected = false;
        w.page().Objects[2]->Selected = false;
        w.add(TextKind, 400, 400, 450, 420, true)->text()->Text = QStringLiteral("old");
        w.editor().undoStack()->clear();
        w.host.dialog = [](PageObject &o) {
            o.text()->Text = QStringLiteral("new");
            return true;
        };
        w.editor().editSelectedObject();
    }) << QStringLiteral("Edit Object");
}

void TestHistory::everyCommandUndoesAndRedoes()
{
    QFETCH(Command, command);
    QFETCH(QString, step);
    Window w;
    w.add(RectangleKind, 10, 10, 20, 20, true);
    w.add(RectangleKind, 100, 100, 200, 150);
    w.add(CircleKind, 30, 30, 60, 60, true);
    w.pub().Modified = false;

    command(w);
    // Set-up steps inside a command are dropped; the command's own step is what counts.
    QUndoStack *stack = w.editor().undoStack();
    QCOMPARE(stack->count(), 1);
    QCOMPARE(stack->undoText(), step);
    const QString after = describe(w.page().Objects);
    QVERIFY(w.pub().Modified);

    QVERIFY(w.editor().undo());
    const QString before = describe(w.page().Objects);
    QVERIFY2(before != after, qPrintable(after));
    QVERIFY(w.editor().canRedo());
    QVERIFY(w.editor().redo());
    QCOMPARE(describe(w.page().Objects), after);
    QVERIFY(w.editor().undo());
    QCOMPARE(describe(w.page().Objects), before);
    QCOMPARE(w.host.beeps, 0);
}

void TestHistory::redoAfterUndoOfDelete()
{
    Window w;
    w.add(RectangleKind, 10, 10, 20, 20, true);
    w.add(CircleKind, 30, 30, 60, 60);
    const int objects = w.pub().objectCount();
    QVERIFY(w.editor().deleteSelection());
    QCOMPARE(w.page().Objects.size(), size_t(1));
    // The deleted object waits in the history without counting against the limit.
    QCOMPARE(w.pub().objectCount(), objects - 1);
    QVERIFY(w.editor().undo());
    QCOMPARE(w.page().Objects.size(), size_t(2));
    QCOMPARE(w.page().Objects[0]->X1, 10);
    QVERIFY(w.page().Objects[0]->Selected);
    QCOMPARE(w.pub().objectCount(), objects);
    QVERIFY(w.editor().redo());
    QCOMPARE(w.page().Objects.size(), size_t(1));
    QCOMPARE(w.page().Objects[0]->ObjectType, quint8(CircleKind));
    // Nothing more to redo.
    QVERIFY(!w.editor().redo());
    QCOMPARE(w.host.beeps, 1);
}

void TestHistory::historyIsUnlimited()
{
    Window w;
    w.add(RectangleKind, 0, 0, 10, 10, true);
    w.add(RectangleKind, 100, 100, 110, 110);
    for (int i = 0; i < 150; ++i) {
        // Alternating commands, so that nothing follows into one step.
        if (i % 2)
            QVERIFY(w.editor().duplicateSelection());
        else
            w.editor().moveSelection(QPoint(1, 1), false);
    }
    QCOMPARE(w.editor().undoStack()->count(), 150);
    while (w.editor().canUndo())
        QVERIFY(w.editor().undo());
    QCOMPARE(w.page().Objects.size(), size_t(2));
    QCOMPARE(w.page().Objects[0]->X1, 0);
    while (w.editor().canRedo())
        QVERIFY(w.editor().redo());
    QCOMPARE(w.page().Objects.size(), size_t(2 + 75));
}

void TestHistory::nudgesFollowIntoOneStep()
{
    Window w;
    PageObject *a = w.add(RectangleKind, 50, 50, 100, 100, true);
    w.form->pageView()->setFocus();
    for (Qt::Key key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Down})
        QTest::keyClick(w.form->pageView(), key);
    QCOMPARE(a->X1, 52);
    QCOMPARE(w.editor().undoStack()->count(), 1);
    // A mouse move is a step of its own.
    w.drag(QPoint(60, 60), QPoint(70, 60));
    QCOMPARE(w.editor().undoStack()->count(), 2);
    QVERIFY(w.editor().undo());
    QVERIFY(w.editor().undo());
    QCOMPARE(w.page().Objects[0]->X1, 50);
    QCOMPARE(w.page().Objects[0]->Y1, 50);
}

void TestHistory::undoShowsTheStepsPage()
{
    Window w;
    Page *first = &w.page();
    Page *second = w.pub().appendPage(w.pub().createPage(QStringLiteral("Second")));
    w.add(RectangleKind, 50, 50, 100, 100, true);
    QVERIFY(w.editor().nudge(1, 0));
    w.form->showPage(second);
    w.add(RectangleKind, 0, 0, 10, 10, true);
    QVERIFY(w.editor().deleteSelection());
    w.form->showPage(first);
    // The history survives the change of page; each step brings its own page back.
    QVERIFY(w.editor().undo());
    QCOMPARE(w.pub().currentPage(), second);
    QCOMPARE(second->Objects.size(), size_t(1));
    QVERIFY(w.editor().undo());
    QCOMPARE(w.pub().currentPage(), first);
    QCOMPARE(first->Objects[0]->X1, 50);
    QVERIFY(w.editor().redo());
    QCOMPARE(first->Objects[0]->X1, 51);
}

void TestHistory::pageOperationsUndoAndRedo_data()
{
    using PageChange = std::function<void(Window &)>;
    QTest::addColumn<PageChange>("change");
    QTest::addColumn<QString>("step");
    QTest::addColumn<QStringList>("after");
    const auto record = [](Window &w, const QString &step, const std::function<void(Publication &)> &f) {
        PagesState before = PagesState::of(w.pub());
        f(w.pub());
        w.editor().recordPages(step, std::move(before));
    };
    QTest::newRow("add") << PageChange([=](Window &w) {
        record(w, QStringLiteral("Add Page"), [](Publication &pub) {
            addPages(pub, pub.page(0), 2, InsertPlace::After);
        });
    }) << QStringLiteral("Add Page")
       << QStringList{QStringLiteral("A"), QStringLiteral("New Page"), QStringLiteral("New Page 1"),
                      QStringLiteral("B"), QStringLiteral("C")};
    QTest::newRow("copy") << PageChange([=](Window &w) {
        record(w, QStringLiteral("Copy Page"), [](Publication &pub) { copyPage(pub, *pub.page(2)); });
    }) << QStringLiteral("Copy Page")
       << QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("C 1")};
    QTest::newRow("move") << PageChange([=](Window &w) {
        record(w, QStringLiteral("Move Page"), [](Publication &pub) {
            movePage(pub, QStringLiteral("A"), QStringLiteral("C"), InsertPlace::After);
        });
    }) << QStringLiteral("Move Page")
       << QStringList{QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("A")};
    QTest::newRow("rename") << PageChange([=](Window &w) {
        record(w, QStringLiteral("Rename Page"),
               [](Publication &pub) { renamePage(pub, pub.page(1), QStringLiteral("Middle")); });
    }) << QStringLiteral("Rename Page")
       << QStringList{QStringLiteral("A"), QStringLiteral("Middle"), QStringLiteral("C")};
    QTest::newRow("attributes") << PageChange([=](Window &w) {
        record(w, QStringLiteral("Page Attributes"), [](Publication &pub) {
            pub.page(1)->PageColor = 0x0000FF;
            pub.page(1)->Title = QStringLiteral("Blue");
            pub.masterPage()->PageColor = 0x00FF00;
        });
    }) << QStringLiteral("Page Attributes")
       << QStringList{QStringLiteral("A"), QStringLiteral("Blue"), QStringLiteral("C")};
    QTest::newRow("delete") << PageChange([](Window &w) {
        w.editor().deletePage(w.pub().page(1), QStringLiteral("Delete Page"));
    }) << QStringLiteral("Delete Page") << QStringList{QStringLiteral("A"), QStringLiteral("C")};
}

void TestHistory::pageOperationsUndoAndRedo()
{
    using PageChange = std::function<void(Window &)>;
    QFETCH(PageChange, change);
    QFETCH(QString, step);
    QFETCH(QStringList, after);
    Window w;
    Publication &pub = w.pub();
    pub.page(0)->Title = QStringLiteral("A");
    pub.appendPage(pub.createPage(QStringLiteral("B")));
    pub.appendPage(pub.createPage(QStringLiteral("C")));
    w.form->showPage(pub.page(1));
    // An object step on page B before the page operation.
    w.add(RectangleKind, 10, 10, 20, 20, true);
    QVERIFY(w.editor().nudge(5, 0));
    const QStringList before = titles(pub);
    Page *b = pub.page(1);
    pub.Modified = false;

    change(w);
    QCOMPARE(titles(pub), after);
    QCOMPARE(w.editor().undoStack()->undoText(), step);
    QVERIFY(pub.Modified);

    QVERIFY(w.editor().undo());
    QCOMPARE(titles(pub), before);
    QCOMPARE(pub.page(1), b);
    QCOMPARE(b->PageColor, ColorRef(0xFFFFFF));
    QCOMPARE(pub.masterPage()->PageColor, ColorRef(0xFFFFFF));
    QVERIFY(w.editor().redo());
    QCOMPARE(titles(pub), after);
    // Back through the page operation to the object step before it.
    QVERIFY(w.editor().undo());
    QVERIFY(w.editor().undo());
    QCOMPARE(pub.currentPage(), b);
    QCOMPARE(b->Objects[0]->X1, 10);
}

void TestHistory::deletingTheOnlyPageUndoes()
{
    Window w;
    Publication &pub = w.pub();
    pub.page(0)->Title = QStringLiteral("Only");
    w.add(RectangleKind, 10, 10, 20, 20);
    Page *only = pub.page(0);
    QVERIFY(w.editor().deletePage(only, QStringLiteral("Delete Page")));
    QCOMPARE(titles(pub), QStringList{QStringLiteral("New Page")});
    QVERIFY(pub.page(0)->Objects.empty());
    QVERIFY(w.editor().undo());
    QCOMPARE(pub.page(0), only);
    QCOMPARE(pub.currentPage(), only);
    QCOMPARE(only->Objects.size(), size_t(1));
    QVERIFY(w.editor().redo());
    QCOMPARE(titles(pub), QStringList{QStringLiteral("New Page")});
}

void TestHistory::modifiedFollowsHistoryAfterSave()
{
    QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Sarquel"),
              QStringLiteral("Vardeko"))
        .clear();
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    TMainForm form;
    form.setDialogs(std::make_unique<FakeDialogs>());
    TChildForm *child = form.newUntitled();
    EditController &c = *child->controller();
    Publication &pub = child->publication();
    ObjectPtr o = pub.createObject(RectangleKind);
    o->Selected = true;
    pub.currentPage()->Objects.push_back(std::move(o));
    QVERIFY(c.nudge(4, 0));
    QVERIFY(c.duplicateSelection());
    QVERIFY(form.saveChild(child) || true);
    pub.FileName = dir.filePath(QStringLiteral("saved.pub"));
    QVERIFY(form.saveChild(child));
    QVERIFY(!pub.Modified);
    QVERIFY(c.undo());
    QVERIFY(pub.Modified);
    QVERIFY(c.redo());
    QVERIFY(!pub.Modified);
    // A new step after undoing past the save can never lead back to it.
    QVERIFY(c.undo());
    QVERIFY(c.nudge(1, 1));
    QVERIFY(pub.Modified);
    QVERIFY(c.undo());
    QVERIFY(pub.Modified);
    pub.Modified = false;
}

void TestHistory::settingsChangeKeepsPublicationModified()
{
    Window w;
    w.add(RectangleKind, 10, 10, 20, 20, true);
    QVERIFY(w.editor().nudge(1, 0));
    w.editor().markSaved();
    QVERIFY(w.editor().nudge(1, 0));
    // Book settings change outside the history: undoing to the saved state must not
    // make the publication look saved.
    w.editor().changedOutsideHistory();
    QVERIFY(w.editor().undo());
    QVERIFY(w.pub().Modified);
    // Dropping the history keeps the flag too.
    w.editor().forgetHistory();
    QVERIFY(w.pub().Modified);
    QVERIFY(!w.editor().canUndo());
}

void TestHistory::undoOffKeepsNoHistory()
{
    Window w;
    w.host.settings.undo = false;
    w.add(RectangleKind, 10, 10, 20, 20, true);
    QVERIFY(w.editor().nudge(1, 0));
    QVERIFY(w.editor().deleteSelection());
    QCOMPARE(w.editor().undoStack()->count(), 0);
    QVERIFY(w.pub().Modified);
    QVERIFY(!w.editor().undo());
}

void TestHistory::menuNamesTheStepAndHistoryWindowFollows()
{
    QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Sarquel"),
              QStringLiteral("Vardeko"))
        .clear();
    TMainForm form;
    form.setDialogs(std::make_unique<FakeDialogs>());
    TChildForm *child = form.newUntitled();
    Publication &pub = child->publication();
    ObjectPtr o = pub.createObject(RectangleKind);
    o->X2 = o->Y2 = 20;
    o->Selected = true;
    pub.currentPage()->Objects.push_back(std::move(o));
    const MainCommands &cmd = form.commands();
    form.updateCommandStates();
    QCOMPARE(cmd.undo->text(), QStringLiteral("&Undo"));
    QVERIFY(!cmd.undo->isEnabled());
    QVERIFY(!cmd.redo->isEnabled());
    QCOMPARE(cmd.redo->shortcuts(),
             (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_Y),
                                  QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}));

    child->controller()->nudge(2, 0);
    QVERIFY(cmd.deleteObjects->isEnabled());
    cmd.deleteObjects->trigger();
    QVERIFY(pub.currentPage()->Objects.empty());
    QCOMPARE(cmd.undo->text(), QStringLiteral("&Undo Delete"));
    cmd.undo->trigger();
    QCOMPARE(pub.currentPage()->Objects.size(), size_t(1));
    QCOMPARE(cmd.undo->text(), QStringLiteral("&Undo Move"));
    QCOMPARE(cmd.redo->text(), QStringLiteral("&Redo Delete"));
    QVERIFY(cmd.redo->isEnabled());
    cmd.redo->trigger();
    QVERIFY(pub.currentPage()->Objects.empty());

    QVERIFY(cmd.undoHistory->isEnabled());
    cmd.undoHistory->trigger();
    auto *view = form.findChild<QUndoView *>(QStringLiteral("UndoHistory"));
    QVERIFY(view);
    QVERIFY(view->isVisible());
    QCOMPARE(view->stack(), child->controller()->undoStack());
    // The opened state and two steps.
    QCOMPARE(view->model()->rowCount(), 3);
    // Choosing a row goes back to it.
    view->setCurrentIndex(view->model()->index(0, 0));
    QCOMPARE(pub.currentPage()->Objects.size(), size_t(1));
    QCOMPARE(pub.currentPage()->Objects[0]->X1, 0);
    pub.Modified = false;
}
