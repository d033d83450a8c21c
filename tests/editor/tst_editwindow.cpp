// The Edit and Arrange commands of the main window: enabling rules and the clipboard.
#include "tst_editwindow.h"

#include "../shell/fakedialogs.h"
#include "aligndialog.h"
#include "clipboard.h"
#include "childform.h"
#include "editcontroller.h"
#include "mainform.h"
#include "publication.h"
#include "publicationfile.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QRadioButton>
#include <QSettings>
#include <QTest>
#include <QtEndian>

using namespace vardeko;

namespace {

struct Main
{
    TMainForm form;
    FakeDialogs *dialogs = nullptr;
    Main()
    {
        auto d = std::make_unique<FakeDialogs>();
        dialogs = d.get();
        form.setDialogs(std::move(d));
    }
    bool enabled(const char *name) { return form.findChild<QAction *>(QLatin1String(name))->isEnabled(); }
    void trigger(const char *name) { form.findChild<QAction *>(QLatin1String(name))->trigger(); }
};

PageObject *add(TChildForm *child, int kind, int x1, int y1, int x2, int y2, bool selected)
{
    Publication &pub = child->publication();
    ObjectPtr o = pub.createObject(kind);
    o->X1 = x1;
    o->Y1 = y1;
    o->X2 = x2;
    o->Y2 = y2;
    o->Selected = selected;
    PageObject *raw = o.get();
    pub.currentPage()->Objects.push_back(std::move(o));
    return raw;
}

Page &pageOf(TChildForm *child)
{
    return *child->publication().currentPage();
}

} // namespace

void TestEditWindow::init()
{
    QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Sarquel"),
              QStringLiteral("Vardeko"))
        .clear();
    QGuiApplication::clipboard()->clear();
    mDir = std::make_unique<QTemporaryDir>();
    QVERIFY(mDir->isValid());
}

void TestEditWindow::commandStatesFollowSelection()
{
    Main m;
    const char *all[] = {"Undo1", "Cut1", "Copy1", "Paste1", "Delete1", "Duplicate1",
                         "SelectAll1", "BringToFront1", "SendToBack1", "Align1", "Group1", "UnGroup1"};
    for (const char *name : all)
        QVERIFY2(!m.enabled(name), name); // no publication

    TChildForm *child = m.form.newUntitled();
    m.form.updateCommandStates();
    QVERIFY(!m.enabled("SelectAll1"));
    PageObject *a = add(child, RectangleKind, 10, 10, 50, 50, false);
    PageObject *b = add(child, CircleKind, 60, 10, 90, 50, false);
    m.form.updateCommandStates();
    QVERIFY(m.enabled("SelectAll1"));
    QVERIFY(!m.enabled("Copy1"));
    QVERIFY(!m.enabled("Group1"));

    a->Selected = true;
    m.form.updateCommandStates();
    for (const char *name : {"Cut1", "Copy1", "Delete1", "Duplicate1", "BringToFront1", "SendToBack1", "Align1"})
        QVERIFY2(m.enabled(name), name);
    QVERIFY(!m.enabled("Group1"));
    QVERIFY(!m.enabled("UnGroup1"));

    b->Selected = true;
    m.form.updateCommandStates();
    QVERIFY(m.enabled("Group1"));
    m.trigger("Group1");
    QCOMPARE(pageOf(child).Objects.size(), size_t(1));
    QVERIFY(m.enabled("UnGroup1"));
    QVERIFY(!m.enabled("Group1"));
    QVERIFY(m.enabled("Undo1"));

    m.trigger("UnGroup1");
    QCOMPARE(pageOf(child).Objects.size(), size_t(2));
    QCOMPARE(child->controller()->selectedCount(), 2);

    // Undo follows the preference.
    m.form.preferences().Undo = false;
    m.form.updateCommandStates();
    QVERIFY(!m.enabled("Undo1"));

    QGuiApplication::clipboard()->setText(QStringLiteral("words"));
    QVERIFY(m.enabled("Paste1"));
    QGuiApplication::clipboard()->clear();
    QVERIFY(!m.enabled("Paste1"));
}

void TestEditWindow::clipboardRoundTripBetweenWindows()
{
    Main m;
    TChildForm *first = m.form.newUntitled();
    first->publication().FileName = mDir->filePath(QStringLiteral("one/first.pub"));
    PageObject *pic = add(first, PictureKind, 10, 20, 110, 90, true);
    pic->picture()->FileName = QStringLiteral("pictures/cat.bmp");
    ObjectPtr group = first->publication().createObject(GroupKind);
    group->X1 = 200;
    group->Y1 = 200;
    group->X2 = 300;
    group->Y2 = 260;
    group->Selected = true;
    for (int i = 0; i < 2; ++i) {
        ObjectPtr member = first->publication().createObject(i ? CircleKind : RectangleKind);
        member->X1 = 200 + 50 * i;
        member->Y1 = 200;
        member->X2 = 250 + 50 * i;
        member->Y2 = 260;
        group->Members.push_back(std::move(member));
    }
    pageOf(first).Objects.push_back(std::move(group));
    add(first, RectangleKind, 400, 400, 420, 420, false);
    m.form.updateCommandStates();

    m.trigger("Copy1");
    const QString copied = QGuiApplication::clipboard()->text();
    QVERIFY(copied.startsWith(QStringLiteral("[Vardeko Objects]\r\n")));
    QCOMPARE(copied, exchangeText(pageOf(first)));

    TChildForm *second = m.form.newUntitled();
    second->publication().FileName = mDir->filePath(QStringLiteral("two/second.pub"));
    add(second, RectangleKind, 0, 0, 5, 5, true);
    QCOMPARE(m.form.activeChild(), second);
    m.form.updateCommandStates();
    QVERIFY(m.enabled("Paste1"));
    second->publication().Modified = false;
    m.trigger("Paste1");

    const Page &target = pageOf(second);
    QCOMPARE(target.Objects.size(), size_t(3));
    QVERIFY(!target.Objects[0]->Selected);
    QVERIFY(target.Objects[1]->Selected && target.Objects[2]->Selected);
    QCOMPARE(target.Objects[1]->picture()->FileName, QStringLiteral("pictures/cat.bmp"));
    QCOMPARE(target.Objects[2]->Members.size(), size_t(2));
    QCOMPARE(int(target.Objects[2]->Members[0]->ObjectType), int(RectangleKind));
    QCOMPARE(int(target.Objects[2]->Members[1]->ObjectType), int(CircleKind));
    QVERIFY(second->publication().Modified);
    // The same text comes back when the pasted objects are copied again.
    QCOMPARE(exchangeText(target), copied);

    // Cut in the first window leaves only the unselected object.
    m.form.activateChild(first);
    m.trigger("Cut1");
    QCOMPARE(pageOf(first).Objects.size(), size_t(1));
    QCOMPARE(QGuiApplication::clipboard()->text(), copied);
}

void TestEditWindow::copyWithNothingSelected()
{
    Main m;
    TChildForm *child = m.form.newUntitled();
    add(child, RectangleKind, 10, 10, 20, 20, false);
    copySelection(*child->controller());
    QCOMPARE(QGuiApplication::clipboard()->text().trimmed(), QStringLiteral("[Vardeko Objects]"));
    pageOf(child).Objects[0]->Selected = true;
    child->publication().Modified = false;
    m.form.updateCommandStates();
    m.trigger("Paste1");
    QCOMPARE(pageOf(child).Objects.size(), size_t(1));
    QVERIFY(!pageOf(child).Objects[0]->Selected);
    QVERIFY(child->publication().Modified);
}

void TestEditWindow::pastePlainTextMakesCentredTitle_data()
{
    QTest::addColumn<QString>("clip");
    QTest::addColumn<QString>("text");
    QTest::newRow("three lines") << "one\ntwo\nthree" << "one|two|three";
    QTest::newRow("CR LF and a final line break") << "one\r\ntwo\r\n" << "one|two";
    QTest::newRow("marker in another case") << "[VARDEKO OBJECTS]\r\nObjectType=5"
                                            << "[VARDEKO OBJECTS]|ObjectType=5";
}

void TestEditWindow::pastePlainTextMakesCentredTitle()
{
    QFETCH(QString, clip);
    QFETCH(QString, text);
    Main m;
    TChildForm *child = m.form.newUntitled();
    QGuiApplication::clipboard()->setText(clip);
    m.trigger("Paste1");
    QCOMPARE(pageOf(child).Objects.size(), size_t(1));
    const PageObject &t = *pageOf(child).Objects[0];
    QCOMPARE(int(t.ObjectType), int(TextKind));
    QCOMPARE(t.text()->Text, text);
    QVERIFY(t.Selected);
    const int width = t.X2 - t.X1;
    const int height = t.Y2 - t.Y1;
    QVERIFY(width >= 10 && height >= 10);
    QCOMPARE(t.X1, 640 / 2 - width / 2);
    QCOMPARE(t.Y1, 480 / 2 - height / 2);
}

void TestEditWindow::pasteBitmapSavesBmpFile()
{
    Main m;
    TChildForm *child = m.form.newUntitled();
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(qRgb(10, 200, 30));
    image.setPixel(2, 1, qRgb(255, 0, 0));
    QGuiApplication::clipboard()->setImage(image);
    m.form.updateCommandStates();
    QVERIFY(m.enabled("Paste1"));

    // Cancelling the file question pastes nothing.
    m.trigger("Paste1");
    QCOMPARE(m.dialogs->saveTitles, QStringList{QStringLiteral("Save Clipboard Image As")});
    QCOMPARE(pageOf(child).Objects.size(), size_t(0));

    const QString chosen = mDir->filePath(QStringLiteral("pasted"));
    m.dialogs->fileChoices = {chosen};
    m.trigger("Paste1");
    const QString file = chosen + QStringLiteral(".BMP");
    QFile saved(file);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QByteArray bytes = saved.readAll();
    QCOMPARE(bytes.left(2), QByteArray("BM"));
    QCOMPARE(int(qFromLittleEndian<quint32>(bytes.constData() + 2)), 54 + 2 * 12);
    QImage back;
    QVERIFY(back.loadFromData(bytes, "BMP"));
    QCOMPARE(back.convertToFormat(QImage::Format_RGB32), image);

    QCOMPARE(pageOf(child).Objects.size(), size_t(1));
    const PageObject &p = *pageOf(child).Objects[0];
    QCOMPARE(p.picture()->FileName, file);
    const int border = 2 * p.LineWidth;
    QCOMPARE(p.X2 - p.X1, 3 + border);
    QCOMPARE(p.Y2 - p.Y1, 2 + border);
    QCOMPARE(p.X1, 320 - (3 + border) / 2);
    QCOMPARE(p.Y1, 240 - (2 + border) / 2);
    QCOMPARE(m.form.preferences().ImageDir, mDir->path());

    // The same name again: No to replacing abandons the paste.
    m.dialogs->fileChoices = {file};
    m.trigger("Paste1");
    QCOMPARE(m.dialogs->questions.size(), 1);
    QCOMPARE(m.dialogs->questions[0].text, QStringLiteral("Replace existing: ") + file + QLatin1Char('?'));
    QCOMPARE(pageOf(child).Objects.size(), size_t(1));

    // A folder that cannot be written: the alert with the I/O message.
    m.dialogs->fileChoices = {mDir->filePath(QStringLiteral("missing/pasted.bmp"))};
    m.trigger("Paste1");
    QCOMPARE(m.dialogs->alerts.size(), 1);
    QVERIFY(m.dialogs->alerts[0].text.startsWith(QStringLiteral("Unable to save clipboard data to file.\n\n")));
    QCOMPARE(pageOf(child).Objects.size(), size_t(1));
}

void TestEditWindow::undoCommand()
{
    Main m;
    TChildForm *child = m.form.newUntitled();
    add(child, RectangleKind, 10, 10, 20, 20, true);
    m.form.updateCommandStates();
    QVERIFY(!m.enabled("Undo1"));
    m.trigger("Duplicate1");
    QCOMPARE(pageOf(child).Objects.size(), size_t(2));
    QCOMPARE(pageOf(child).Objects[1]->X1, 18); // the grid step, 8 by default
    QVERIFY(m.enabled("Undo1"));
    m.trigger("Undo1");
    QCOMPARE(pageOf(child).Objects.size(), size_t(1));
    QVERIFY(!m.enabled("Undo1"));
}

void TestEditWindow::alignDialog()
{
    TAlignForm one(1);
    QVERIFY(!one.RelativeCheck->isEnabled());
    QVERIFY(one.HNoneBtn->isChecked());
    QVERIFY(one.VNoneBtn->isChecked());
    QCOMPARE(one.windowTitle(), QStringLiteral("Align Object"));
    one.RightBtn->setChecked(true);
    one.MiddleBtn->setChecked(true);
    const AlignChoice c = one.choice();
    QCOMPARE(int(c.horizontal), int(HAlign::Right));
    QCOMPARE(int(c.vertical), int(VAlign::Middle));
    QVERIFY(!c.relative);

    TAlignForm two(2);
    QVERIFY(two.RelativeCheck->isEnabled());
    two.RelativeCheck->setChecked(true);
    QVERIFY(two.choice().relative);
}
