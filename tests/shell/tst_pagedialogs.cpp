// Tests of the page and book dialogs and the Page menu commands that run them.
#include "tst_pagedialogs.h"

#include "alertdialog.h"

#include "childform.h"
#include "editcontroller.h"
#include "fakedialogs.h"
#include "booksetupform.h"
#include "mainform.h"
#include "pageattrform.h"
#include "pagelayoutform.h"
#include "pageview.h"
#include "paletteediting.h"
#include "preferences.h"
#include "pagecommands.h"
#include "pagedialogs.h"
#include "printdialog.h"
#include "printjobs.h"
#include "publication.h"

#include <QImage>
#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QScrollBar>
#include <QSlider>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>
#include <QTabBar>
#include <QTest>
#include <QDir>
#include <QFileInfo>
#include <QToolButton>
#include <QApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <QTextBrowser>

using namespace vardeko;

namespace {

QStringList titles(const Publication &pub)
{
    QStringList result;
    for (int i = 0; i < pub.pageCount(); ++i)
        result << pub.page(i)->Title;
    return result;
}

void clickOk(QDialog &dialog)
{
    auto *buttons = dialog.findChild<QDialogButtonBox *>();
    QVERIFY(buttons);
    QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
}

// Radio buttons and check boxes are clicked as the user would, when they can be seen.
void clickBox(QAbstractButton *button)
{
    QVERIFY(button);
    QVERIFY2(button->isVisibleTo(button->window()) && button->isEnabled(),
             qPrintable(button->text()));
    button->click();
}

void clickCancel(QDialog &dialog)
{
    auto *buttons = dialog.findChild<QDialogButtonBox *>();
    QVERIFY(buttons);
    QTest::mouseClick(buttons->button(QDialogButtonBox::Cancel), Qt::LeftButton);
}

} // namespace

void TestPageDialogs::init()
{
    QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Sarquel"),
              QStringLiteral("Vardeko"))
        .clear();
    mForm = new TMainForm;
    auto dialogs = std::make_unique<FakeDialogs>();
    mDialogs = dialogs.get();
    mForm->setDialogs(std::move(dialogs));
    mForm->show();
    QVERIFY(QTest::qWaitForWindowExposed(mForm));
}

void TestPageDialogs::cleanup()
{
    PageCommands::setDialogDriver(nullptr);
    for (TChildForm *child : mForm->childForms())
        child->publication().Modified = false;
    delete mForm;
    mForm = nullptr;
}

TChildForm *TestPageDialogs::openPages(const QStringList &names)
{
    TChildForm *child = mForm->newUntitled();
    Publication &pub = child->publication();
    pub.page(0)->Title = names.value(0);
    for (int i = 1; i < names.size(); ++i)
        pub.appendPage(pub.createPage(names.at(i)));
    pub.Modified = false;
    // Showing another page and back rebuilds the tabs and the command states.
    child->showPage(pub.masterPage());
    child->showPage(pub.page(0));
    return child;
}

void TestPageDialogs::trigger(const char *name)
{
    QAction *action = mForm->findChild<QAction *>(QLatin1String(name));
    QVERIFY2(action, name);
    QVERIFY2(action->isEnabled(), name);
    action->trigger();
}

void TestPageDialogs::addPagesPutsPagesInPlace_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("before");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("shown");

    QTest::newRow("two after") << 2 << false
                               << QStringList{QStringLiteral("A"), QStringLiteral("B"),
                                              QStringLiteral("New Page"),
                                              QStringLiteral("New Page 1"), QStringLiteral("C")}
                               << QStringLiteral("New Page");
    QTest::newRow("two before keep the order made")
        << 2 << true
        << QStringList{QStringLiteral("A"), QStringLiteral("New Page"),
                       QStringLiteral("New Page 1"), QStringLiteral("B"), QStringLiteral("C")}
        << QStringLiteral("New Page");
    QTest::newRow("one after") << 1 << false
                               << QStringList{QStringLiteral("A"), QStringLiteral("B"),
                                              QStringLiteral("New Page"), QStringLiteral("C")}
                               << QStringLiteral("New Page");
}

void TestPageDialogs::addPagesPutsPagesInPlace()
{
    QFETCH(int, count);
    QFETCH(bool, before);
    QFETCH(QStringList, expected);
    QFETCH(QString, shown);

    TChildForm *child = openPages({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    Publication &pub = child->publication();
    child->showPage(pub.page(1));
    QString afterCaption;
    PageCommands::setDialogDriver([&](QDialog &dialog) {
        dialog.show();
        auto *form = qobject_cast<TPageAddForm *>(&dialog);
        QVERIFY(form);
        afterCaption = form->findChild<QRadioButton *>(QStringLiteral("AfterBtn"))->text();
        form->countBox()->setValue(count);
        if (before)
            clickBox(form->findChild<QRadioButton *>(QStringLiteral("BeforeBtn")));
        clickOk(dialog);
    });
    trigger("AddPage1");

    QCOMPARE(afterCaption, QStringLiteral("&After \"B\""));
    QCOMPARE(titles(pub), expected);
    QVERIFY(pub.Modified);
    // The menu goes to the first new page, and the tabs show it.
    QCOMPARE(pub.currentPage()->Title, shown);
    QCOMPARE(mForm->pageTabs()->tabText(mForm->pageTabs()->currentIndex()), shown);
}

void TestPageDialogs::addPagesOkNeedsCount()
{
    Publication pub;
    TPageAddForm form(*pub.page(0));
    QVERIFY(form.okButton()->isEnabled());
    form.countBox()->setValue(0);
    QVERIFY(!form.okButton()->isEnabled());
    QCOMPARE(form.countBox()->maximum(), 999);
    form.countBox()->setValue(3);
    QVERIFY(form.okButton()->isEnabled());
    // The label after the count follows it.
    auto *label = form.findChild<QLabel *>(QStringLiteral("PagesLabel"));
    QCOMPARE(label->text(), QStringLiteral("Pages:"));
    form.countBox()->setValue(1);
    QCOMPARE(label->text(), QStringLiteral("Page:"));
}

void TestPageDialogs::renameRewritesGotoPage()
{
    TChildForm *child =
        openPages({QStringLiteral("Start"), QStringLiteral("Other"), QStringLiteral("End")});
    Publication &pub = child->publication();
    pub.page(2)->PageAction = QStringLiteral("GotoPage \"Start\"");
    QString current;
    PageCommands::setDialogDriver([&](QDialog &dialog) {
        dialog.show();
        current = dialog.findChild<QLabel *>(QStringLiteral("CurrentTitle"))->text();
        auto *edit = dialog.findChild<QLineEdit *>(QStringLiteral("NewTitleEdit"));
        QTest::keyClicks(edit, QStringLiteral("Begin"));
        clickOk(dialog);
    });
    trigger("RenamePage1");

    QCOMPARE(current, QStringLiteral("Start"));
    QCOMPARE(pub.page(0)->Title, QStringLiteral("Begin"));
    QCOMPARE(pub.page(2)->PageAction, QStringLiteral("GotoPage \"Begin\""));
    QVERIFY(pub.Modified);
    // Tabs: "Master Page" first, then the renamed page.
    QCOMPARE(mForm->pageTabs()->tabText(1), QStringLiteral("Begin"));
    QVERIFY(mDialogs->alerts.isEmpty());
}

void TestPageDialogs::renameRefusesTakenTitle_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("another page in other case") << QStringLiteral("oTHER");
    QTest::newRow("the master page") << QStringLiteral("MASTER page");
}

void TestPageDialogs::renameRefusesTakenTitle()
{
    QFETCH(QString, typed);
    TChildForm *child = openPages({QStringLiteral("Start"), QStringLiteral("Other")});
    Publication &pub = child->publication();
    bool stayedOpen = false;
    QString selected;
    PageCommands::setDialogDriver([&](QDialog &dialog) {
        dialog.show();
        auto *edit = dialog.findChild<QLineEdit *>(QStringLiteral("NewTitleEdit"));
        QTest::keyClicks(edit, typed);
        clickOk(dialog);
        stayedOpen = dialog.isVisible();
        selected = edit->selectedText();
        clickCancel(dialog);
    });
    trigger("RenamePage1");

    QVERIFY(stayedOpen);
    QCOMPARE(selected, typed);
    QCOMPARE(mDialogs->alerts.size(), 1);
    QCOMPARE(mDialogs->alerts.at(0).title, QStringLiteral("Vardeko"));
    QCOMPARE(mDialogs->alerts.at(0).text,
             QLatin1Char('"') + typed
                 + QStringLiteral("\"\nA page with this name already exists.\nPlease select another name."));
    QCOMPARE(titles(pub), (QStringList{QStringLiteral("Start"), QStringLiteral("Other")}));
    QVERIFY(!pub.Modified);
}

void TestPageDialogs::copyAsksAndGoesToCopy_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("yes") << int(ShellDialogs::Yes)
                         << QStringList{QStringLiteral("Intro 7"), QStringLiteral("Intro 1"),
                                        QStringLiteral("End")};
    QTest::newRow("no") << int(ShellDialogs::No)
                        << QStringList{QStringLiteral("Intro 7"), QStringLiteral("End")};
}

void TestPageDialogs::copyAsksAndGoesToCopy()
{
    QFETCH(int, answer);
    QFETCH(QStringList, expected);
    TChildForm *child = openPages({QStringLiteral("Intro 7"), QStringLiteral("End")});
    Publication &pub = child->publication();
    pub.page(0)->PageColor = 0x123456;
    mDialogs->answers.push_back(ShellDialogs::Answer(answer));
    trigger("CopyPage1");

    QCOMPARE(mDialogs->questions.size(), 1);
    QCOMPARE(mDialogs->questions.at(0).title, QStringLiteral("Copy Page"));
    QCOMPARE(mDialogs->questions.at(0).text, QStringLiteral("\"Intro 7\"\n\nCopy this page?"));
    QCOMPARE(titles(pub), expected);
    if (answer == ShellDialogs::Yes) {
        QCOMPARE(pub.currentPage(), pub.page(1));
        QCOMPARE(pub.page(1)->PageColor, ColorRef(0x123456));
    } else {
        QCOMPARE(pub.currentPage(), pub.page(0));
    }
}

void TestPageDialogs::moveDialogMovesPage_data()
{
    QTest::addColumn<int>("targetRow");
    QTest::addColumn<bool>("after");
    QTest::addColumn<QStringList>("expected");
    const QStringList unchanged{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                                QStringLiteral("D")};
    QTest::newRow("before the last") << 3 << false
                                     << QStringList{QStringLiteral("B"), QStringLiteral("C"),
                                                    QStringLiteral("A"), QStringLiteral("D")};
    QTest::newRow("after the last") << 3 << true
                                    << QStringList{QStringLiteral("B"), QStringLiteral("C"),
                                                   QStringLiteral("D"), QStringLiteral("A")};
    QTest::newRow("onto itself") << 0 << true << unchanged;
}

void TestPageDialogs::moveDialogMovesPage()
{
    QFETCH(int, targetRow);
    QFETCH(bool, after);
    QFETCH(QStringList, expected);
    TChildForm *child = openPages(
        {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")});
    Publication &pub = child->publication();
    mForm->preferences().Mascot = QStringLiteral("BELUNO");
    QImage mascot;
    int selectedAtStart = -1;
    PageCommands::setDialogDriver([&](QDialog &dialog) {
        dialog.show();
        auto *form = qobject_cast<TPageMoveForm *>(&dialog);
        QVERIFY(form);
        mascot = form->findChild<QLabel *>(QStringLiteral("Mascot"))->pixmap().toImage();
        selectedAtStart = form->pageList()->currentRow();
        form->pageList()->setCurrentRow(targetRow);
        if (after)
            clickBox(form->afterButton());
        clickOk(dialog);
    });
    trigger("MovePage1");

    // The editor's mascot is the one the preference names, drawn, not named.
    QCOMPARE(mascot, mascotPicture(QStringLiteral("BELUNO")).toImage());
    QVERIFY(mascot != mascotPicture(QStringLiteral("KORRO")).toImage());
    QCOMPARE(selectedAtStart, 0);
    QCOMPARE(titles(pub), expected);
    QCOMPARE(pub.currentPage()->Title, QStringLiteral("A"));
    QCOMPARE(pub.Modified, titles(pub) != QStringList({QStringLiteral("A"), QStringLiteral("B"),
                                                       QStringLiteral("C"), QStringLiteral("D")}));
}

void TestPageDialogs::deleteAsksAndKeepsLastPage()
{
    TChildForm *child = openPages({QStringLiteral("Only")});
    Publication &pub = child->publication();
    mDialogs->answers.push_back(ShellDialogs::No);
    trigger("DeletePage1");
    QCOMPARE(mDialogs->questions.at(0).title, QStringLiteral("Delete Page"));
    QCOMPARE(mDialogs->questions.at(0).text,
             QStringLiteral("\"Only\"\n\nDo you really want to delete this page?"));
    QCOMPARE(titles(pub), QStringList{QStringLiteral("Only")});

    // The only page is emptied and renamed instead of removed.
    mDialogs->answers.push_back(ShellDialogs::Yes);
    trigger("DeletePage1");
    QCOMPARE(pub.pageCount(), 1);
    QCOMPARE(pub.page(0)->Title, QStringLiteral("New Page"));
    QCOMPARE(mForm->pageTabs()->tabText(1), QStringLiteral("New Page"));

    // With more pages the previous one becomes current.
    pub.appendPage(pub.createPage(QStringLiteral("Second")));
    child->showPage(pub.page(1));
    mDialogs->answers.push_back(ShellDialogs::Yes);
    trigger("DeletePage1");
    QCOMPARE(titles(pub), QStringList{QStringLiteral("New Page")});
    QCOMPARE(pub.currentPage(), pub.page(0));
    QCOMPARE(mForm->statusText(), QStringLiteral("Page 1 of 1"));
}

void TestPageDialogs::pageCommandStates()
{
    auto enabled = [this](const char *name) {
        return mForm->findChild<QAction *>(QLatin1String(name))->isEnabled();
    };
    QVERIFY(enabled("New1"));
    QVERIFY(!enabled("AddPage1"));
    QVERIFY(!enabled("FileList1"));
    QVERIFY(!enabled("TabAddPage1"));

    TChildForm *child = openPages({QStringLiteral("One")});
    for (const char *name : {"AddPage1", "CopyPage1", "RenamePage1", "DeletePage1",
                             "ShowMasterItems1", "TabAddPage1", "TabDeletePage1", "FileList1",
                             "SetGrid1"})
        QVERIFY2(enabled(name), name);
    // Move needs a neighbour.
    QVERIFY(!enabled("MovePage1"));
    child->publication().appendPage(child->publication().createPage(QStringLiteral("Two")));
    mForm->updateCommandStates();
    QVERIFY(enabled("MovePage1"));

    // On the master page the page commands are off, the book's stay on.
    child->showPage(child->publication().masterPage());
    for (const char *name : {"AddPage1", "CopyPage1", "MovePage1", "RenamePage1", "DeletePage1",
                             "ShowMasterItems1", "TabRenamePage1"})
        QVERIFY2(!enabled(name), name);
    QVERIFY(enabled("FileList1"));
}

void TestPageDialogs::gotoMenuListsTwelvePages_data()
{
    QTest::addColumn<int>("pages");
    QTest::addColumn<int>("listed");
    QTest::addColumn<bool>("more");
    QTest::newRow("three pages") << 3 << 3 << false;
    QTest::newRow("twelve pages fill the menu") << 12 << 12 << true;
    QTest::newRow("twenty pages") << 20 << 12 << true;
}

void TestPageDialogs::gotoMenuListsTwelvePages()
{
    QFETCH(int, pages);
    QFETCH(int, listed);
    QFETCH(bool, more);
    QStringList names;
    for (int i = 0; i < pages; ++i)
        names << QStringLiteral("P%1").arg(i + 1);
    openPages(names);
    auto *menu = mForm->findChild<QMenu *>(QStringLiteral("Goto1"));
    QVERIFY(menu);
    const QList<QAction *> actions = menu->actions();
    QStringList pageItems;
    for (QAction *action : actions)
        if (action->text().startsWith(QLatin1Char('P')))
            pageItems << action->text();
    QCOMPARE(pageItems.size(), listed);
    QCOMPARE(pageItems.first(), QStringLiteral("P1"));
    QCOMPARE(actions.first()->text(), QStringLiteral("Master Page"));
    QCOMPARE(actions.last()->text(), QStringLiteral("More..."));
    QCOMPARE(actions.last()->isVisible(), more);
    // Choosing a listed page goes there.
    actions.at(2 + listed - 1)->trigger();
    QCOMPARE(mForm->activeChild()->publication().currentPage()->Title,
             QStringLiteral("P%1").arg(listed));
}

void TestPageDialogs::showMasterItemsToggles()
{
    TChildForm *child = openPages({QStringLiteral("One")});
    Page *page = child->publication().page(0);
    QVERIFY(page->ShowMaster);
    QVERIFY(mForm->findChild<QAction *>(QStringLiteral("ShowMasterItems1"))->isChecked());
    trigger("ShowMasterItems1");
    QVERIFY(!page->ShowMaster);
    QVERIFY(child->publication().Modified);
    QVERIFY(!mForm->findChild<QAction *>(QStringLiteral("ShowMasterItems1"))->isChecked());
}

void TestPageDialogs::setGridStoresOnlyOnOk()
{
    openPages({QStringLiteral("One")});
    PageCommands::setDialogDriver([&](QDialog &dialog) {
        auto *form = qobject_cast<TSetGridForm *>(&dialog);
        QVERIFY(form);
        QCOMPARE(form->horizontalBox()->value(), 8);
        form->horizontalBox()->setValue(70); // beyond the range: 50
        form->verticalBox()->setValue(12);
        clickCancel(dialog);
    });
    trigger("SetGrid1");
    QCOMPARE(mForm->preferences().GridX, 8);
    QCOMPARE(mForm->preferences().GridY, 8);

    PageCommands::setDialogDriver([&](QDialog &dialog) {
        auto *form = qobject_cast<TSetGridForm *>(&dialog);
        dialog.show();
        form->horizontalBox()->setValue(70);
        form->verticalBox()->setValue(2);
        clickOk(dialog);
    });
    trigger("SetGrid1");
    QCOMPARE(mForm->preferences().GridX, 50);
    QCOMPARE(mForm->preferences().GridY, 4);
}

void TestPageDialogs::newPublicationUsesChosenSize()
{
    mForm->preferences().ScreenColors = 16;
    bool sixteenChecked = false;
    PageCommands::setDialogDriver([&](QDialog &dialog) {
        dialog.show();
        auto *form = qobject_cast<TNewPubForm *>(&dialog);
        QVERIFY(form);
        // 640 x 480 and 16 colours come from the remembered values.
        QVERIFY(form->chooser()->sizeButton(1)->isChecked());
        sixteenChecked = form->chooser()->colorButton(0)->isChecked();
        clickBox(form->chooser()->sizeButton(2));
        clickBox(form->chooser()->colorButton(1));
        clickOk(dialog);
    });
    trigger("New1");
    QVERIFY(sixteenChecked);
    QCOMPARE(mForm->childForms().size(), 1);
    const PublicationSettings &settings = mForm->childForms().at(0)->publication().Settings;
    QCOMPARE(settings.ScreenWidth, 800);
    QCOMPARE(settings.ScreenHeight, 600);
    QCOMPARE(settings.ScreenColors, 256);
    QCOMPARE(mForm->preferences().ScreenWidth, 800);
    QCOMPARE(mForm->preferences().ScreenColors, 256);

    // A custom size selects "Custom Size:" when the box is left.
    TNewPubForm custom(700, 500, 99);
    QVERIFY(custom.chooser()->sizeButton(4)->isChecked());
    QVERIFY(custom.chooser()->colorButton(2)->isChecked());
    custom.chooser()->widthBox()->setValue(1024);
    custom.chooser()->heightBox()->setValue(768);
    emit custom.chooser()->heightBox()->editingFinished();
    QVERIFY(custom.chooser()->sizeButton(3)->isChecked());

    // Cancel makes nothing.
    PageCommands::setDialogDriver([&](QDialog &dialog) { clickCancel(dialog); });
    trigger("New1");
    QCOMPARE(mForm->childForms().size(), 1);
}

void TestPageDialogs::fileListShowsReport()
{
    TChildForm *child = openPages({QStringLiteral("One")});
    child->publication().Settings.Title = QStringLiteral("My Book");
    child->publication().page(0)->PageWallPaper = QStringLiteral("BACK.BMP");
    child->publication().page(0)->PageStyle = 1;
    trigger("FileList1");
    auto *form = mForm->findChild<QDialog *>(QStringLiteral("PubContentsForm"));
    QVERIFY(form);
    QCOMPARE(form->windowTitle(), QStringLiteral("File List: My Book"));
    const QString text = form->findChild<QPlainTextEdit *>()->toPlainText();
    QVERIFY2(text.contains(QStringLiteral("Images:\n  BACK.BMP")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("  Untitled Publication")), qPrintable(text));
    // Print asks with the print dialog, then prints the report with the title "File List".
    QTemporaryDir out;
    printJobsToPdf(out.filePath(QStringLiteral("list%1.pdf")));
    QPushButton *print = nullptr;
    for (QPushButton *button : form->findChildren<QPushButton *>())
        if (button->text() == QStringLiteral("&Print"))
            print = button;
    QVERIFY(print && print->isEnabled());
    QString shownWhat;
    QTimer::singleShot(0, this, [&shownWhat] {
        auto *dialog = qobject_cast<TZunPrintDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        shownWhat = dialog->PrintWhat->text();
        dialog->PrintBtn->click();
    });
    print->click();
    setPrinterSetup(nullptr);
    QVERIFY2(shownWhat.startsWith(QStringLiteral("\"File List\" to ")), qPrintable(shownWhat));
    QFile pdf(out.filePath(QStringLiteral("list1.pdf")));
    QVERIFY(pdf.exists() && pdf.size() > 0);
    if (!QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) {
        QProcess p;
        p.start(QStringLiteral("pdftotext"), {pdf.fileName(), QStringLiteral("-")});
        QVERIFY(p.waitForFinished(30000));
        const QString printed = QString::fromUtf8(p.readAllStandardOutput());
        QVERIFY2(printed.contains(QStringLiteral("Vardeko File List")) && printed.contains(QStringLiteral("BACK.BMP")),
                 qPrintable(printed));
    }
    form->close();
}

// ---------------------------------------------------------------- page attributes

void TestPageDialogs::pageAttributesStoreOnOk()
{
    TChildForm *child = openPages({QStringLiteral("A"), QStringLiteral("B")});
    Publication &pub = child->publication();
    pub.page(1)->PageAction = QStringLiteral("GotoPage \"A\"");
    PageCommands::setDialogDriver([&](QDialog &dialog) {
        auto *form = qobject_cast<TPageAttrForm *>(&dialog);
        QVERIFY(form);
        dialog.show();
        QCOMPARE(form->tabs()->count(), 2);
        QCOMPARE(form->titleEdit()->text(), QStringLiteral("A"));
        form->titleEdit()->clear();
        QTest::keyClicks(form->titleEdit(), QStringLiteral("Start"));
        form->setColor(0x00FF00);
        form->effectList()->setCurrentIndex(12);
        form->speedBar()->setValue(4);
        clickBox(form->showMasterBox());
        form->actionMemo()->setPlainText(QStringLiteral("Beep\nGotoPage \"B\""));
        clickOk(dialog);
    });
    trigger("PageAttributes1");

    const Page *page = pub.page(0);
    QCOMPARE(page->Title, QStringLiteral("Start"));
    QCOMPARE(page->PageColor, ColorRef(0x00FF00));
    QCOMPARE(page->PageStyle, quint8(0));
    QCOMPARE(page->PageEffect, quint8(12));
    QCOMPARE(page->EffectSpeed, quint8(4));
    QVERIFY(!page->ShowMaster);
    QCOMPARE(page->PageAction, QStringLiteral("Beep|GotoPage \"B\""));
    // The retitle goes through to the scripts that name the page, and to the tabs.
    QCOMPARE(pub.page(1)->PageAction, QStringLiteral("GotoPage \"Start\""));
    QCOMPARE(mForm->pageTabs()->tabText(1), QStringLiteral("Start"));
    QVERIFY(pub.Modified);
}

void TestPageDialogs::pageActionMemoTools()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString scriptPath = dir.filePath(QStringLiteral("PART.TXT"));
    {
        QFile part(scriptPath);
        QVERIFY(part.open(QIODevice::WriteOnly));
        part.write("Beep\r\nGotoPage \"B\"\r\n");
    }
    mForm->preferences().ActionDir = QStringLiteral("/scripts/start");
    TChildForm *child = openPages({QStringLiteral("A"), QStringLiteral("B")});
    child->publication().page(0)->PageAction = QStringLiteral("Wait \"1\"");
    PageCommands::setDialogDriver([&](QDialog &dialog) {
        auto *form = qobject_cast<TPageAttrForm *>(&dialog);
        QVERIFY(form);
        dialog.show();
        QPlainTextEdit *memo = form->actionMemo();
        QCOMPARE(memo->toPlainText(), QStringLiteral("Wait \"1\""));
        auto button = [&](const char *name) {
            auto *b = dialog.findChild<QPushButton *>(QLatin1String(name));
            if (!b)
                qWarning("no %s", name);
            return b;
        };
        for (const char *name : {"CutBtn", "CopyBtn", "PasteBtn", "DeleteBtn", "OpenBtn",
                                 "SaveBtn", "PrintBtn", "InsertBtn"})
            QVERIFY(button(name));
        // Cut, Copy and Delete need a selection.
        QTextCursor cursor = memo->textCursor();
        cursor.movePosition(QTextCursor::End);
        memo->setTextCursor(cursor);
        QVERIFY(!button("CutBtn")->isEnabled() && !button("DeleteBtn")->isEnabled());
        auto *pos = dialog.findChild<QLabel *>(QStringLiteral("PosLabel"));
        QVERIFY(pos);
        QCOMPARE(pos->text(), QStringLiteral("1/9"));
        memo->selectAll();
        QVERIFY(button("CutBtn")->isEnabled() && button("DeleteBtn")->isEnabled());
        // Import starts in the action folder, replaces the selection and remembers the folder.
        mDialogs->fileChoices.push_back(scriptPath);
        button("OpenBtn")->click();
        QCOMPARE(mDialogs->fileDirs.last(), QStringLiteral("/scripts/start"));
        QCOMPARE(mForm->preferences().ActionDir, dir.path());
        QCOMPARE(memo->toPlainText(), QStringLiteral("Beep\nGotoPage \"B\"\n"));
        clickOk(dialog);
    });
    trigger("PageAttributes1");
    QCOMPARE(child->publication().page(0)->PageAction, QStringLiteral("Beep|GotoPage \"B\""));
}

void TestPageDialogs::pageAttributesRefuseTakenTitle()
{
    TChildForm *child = openPages({QStringLiteral("A"), QStringLiteral("B")});
    Publication &pub = child->publication();
    bool stayedOpen = false;
    PageCommands::setDialogDriver([&](QDialog &dialog) {
        auto *form = qobject_cast<TPageAttrForm *>(&dialog);
        dialog.show();
        form->titleEdit()->setText(QStringLiteral("b"));
        form->effectList()->setCurrentIndex(3);
        clickOk(dialog);
        stayedOpen = dialog.isVisible();
        clickCancel(dialog);
    });
    trigger("PageAttributes1");
    QVERIFY(stayedOpen);
    QCOMPARE(mDialogs->alerts.size(), 1);
    QCOMPARE(mDialogs->alerts.at(0).text,
             QStringLiteral("\"b\"\nA page with this name already exists.\nPlease select another name."));
    // Nothing was stored by the refused OK.
    QCOMPARE(pub.page(0)->PageEffect, quint8(0));
    QCOMPARE(pub.page(0)->Title, QStringLiteral("A"));
    QVERIFY(!pub.Modified);
}

void TestPageDialogs::wallpaperStyle_data()
{
    QTest::addColumn<bool>("chooseWallpaper");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("style");
    QTest::newRow("wallpaper with a file") << true << QStringLiteral("BACK.BMP") << 1;
    QTest::newRow("wallpaper with an empty box") << true << QString() << 0;
    QTest::newRow("solid with a file") << false << QStringLiteral("BACK.BMP") << 0;
}

void TestPageDialogs::wallpaperStyle()
{
    QFETCH(bool, chooseWallpaper);
    QFETCH(QString, file);
    QFETCH(int, style);
    Publication pub;
    Preferences prefs;
    TPageAttrForm form(pub, *pub.page(0), false, prefs, *mDialogs);
    form.show();
    if (!file.isEmpty()) {
        // Typing a file selects Wallpaper.
        QTest::keyClicks(form.wallpaperEdit(), file);
        QVERIFY(form.wallpaperButton()->isChecked());
    }
    if (!chooseWallpaper)
        clickBox(form.solidButton());
    else
        clickBox(form.wallpaperButton());
    clickOk(form);
    QCOMPARE(int(pub.page(0)->PageStyle), style);
    QCOMPARE(pub.page(0)->PageWallPaper, file);
}

void TestPageDialogs::wallpaperChoiceUsesImageFolder()
{
    Publication pub;
    Preferences prefs;
    QTemporaryDir images;
    QVERIFY(images.isValid());
    QVERIFY(QDir(images.path()).mkdir(QStringLiteral("art")));
    prefs.ImageDir = images.path();
    TPageAttrForm form(pub, *pub.page(0), false, prefs, *mDialogs);
    form.show();
    const QString chosen = images.filePath(QStringLiteral("art/SKY.BMP"));
    mDialogs->fileChoices = {chosen};
    QTest::mouseClick(form.findChild<QToolButton *>(QStringLiteral("BrowseBtn")), Qt::LeftButton);
    QCOMPARE(mDialogs->fileDirs, QStringList{images.path()});
    QVERIFY(mDialogs->fileFilters.last().startsWith(QStringLiteral("Images|*.BMP;")));
    QVERIFY(mDialogs->fileFilters.last().endsWith(QStringLiteral("|Any file (*.*)|*.*")));
    QCOMPARE(prefs.ImageDir, QFileInfo(chosen).absolutePath());
    QCOMPARE(form.wallpaperEdit()->text(), chosen);
}

void TestPageDialogs::pageAttributesHelp()
{
    Publication pub;
    Preferences prefs;
    TPageAttrForm form(pub, *pub.page(0), false, prefs, *mDialogs);
    form.show();
    auto *help = form.findChild<QPushButton *>(QStringLiteral("HelpBtn"));
    QVERIFY(help);
    QCOMPARE(help->text(), QStringLiteral("&Help"));
    QTest::mouseClick(help, Qt::LeftButton);
    auto *browser = form.findChild<QTextBrowser *>();
    QVERIFY(browser);
    QCOMPARE(browser->source().fileName(), QStringLiteral("204.html"));
    QVERIFY(form.isVisible()); // help leaves the dialog open
}

void TestPageDialogs::copyToAllCopiesChosenGroups()
{
    TChildForm *child = openPages({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    Publication &pub = child->publication();
    pub.page(1)->PageColor = 0x0000FF;
    pub.page(1)->PageAction = QStringLiteral("Beep");
    bool paletteHidden = false;
    PageCommands::setDialogDriver([&](QDialog &dialog) {
        if (auto *copy = qobject_cast<TCopyToAllForm *>(&dialog)) {
            dialog.show();
            paletteHidden = copy->box(CopyPalette)->isHidden();
            QVERIFY(!copy->box(CopyDisplayEffect)->isChecked());
            clickBox(copy->box(CopyDisplayEffect));
            clickOk(dialog);
            return;
        }
        auto *form = qobject_cast<TPageAttrForm *>(&dialog);
        dialog.show();
        form->effectList()->setCurrentIndex(5);
        form->speedBar()->setValue(7);
        form->setColor(0x00FF00);
        clickBox(form->copyToAllBox());
        clickOk(dialog);
    });
    trigger("PageAttributes1");
    QVERIFY(paletteHidden);
    for (int i = 1; i < 3; ++i) {
        QCOMPARE(pub.page(i)->PageEffect, quint8(5));
        QCOMPARE(pub.page(i)->EffectSpeed, quint8(7));
    }
    // Backgrounds and actions of the others stay.
    QCOMPARE(pub.page(1)->PageColor, ColorRef(0x0000FF));
    QCOMPARE(pub.page(2)->PageColor, ColorRef(0xFFFFFF));
    QCOMPARE(pub.page(1)->PageAction, QStringLiteral("Beep"));
}

namespace {
struct ScreenColors256
{
    ScreenColors256()
    {
        qputenv("VARDEKO_SCREEN_COLORS", "256");
        AppPalette::instance().InitPalettes();
    }
    ~ScreenColors256()
    {
        qunsetenv("VARDEKO_SCREEN_COLORS");
        AppPalette::instance().InitPalettes();
    }
};
} // namespace

void TestPageDialogs::paletteTabOnlyOn256Colors()
{
    TChildForm *child = openPages({QStringLiteral("A")});
    child->showPage(child->publication().masterPage());
    // On a true-colour display the master page has no attributes to edit.
    QVERIFY(!mForm->findChild<QAction *>(QStringLiteral("PageAttributes1"))->isEnabled());

    ScreenColors256 colors;
    mForm->updateCommandStates();
    QVERIFY(mForm->findChild<QAction *>(QStringLiteral("PageAttributes1"))->isEnabled());
    QString caption;
    QStringList tabs;
    PageCommands::setDialogDriver([&](QDialog &dialog) {
        auto *form = qobject_cast<TPageAttrForm *>(&dialog);
        caption = dialog.windowTitle();
        for (int i = 0; i < form->tabs()->count(); ++i)
            tabs << form->tabs()->tabText(i);
        clickCancel(dialog);
    });
    trigger("PageAttributes1");
    QCOMPARE(caption, QStringLiteral("Page Attributes (Master Page)"));
    QCOMPARE(tabs, QStringList{QStringLiteral("Color Palette")});

    Publication pub;
    Preferences prefs;
    TPageAttrForm pageForm(pub, *pub.page(0), false, prefs, *mDialogs);
    QCOMPARE(pageForm.tabs()->count(), 3);
    TCopyToAllForm copy(true);
    QVERIFY(!copy.box(CopyPalette)->isHidden());
}

void TestPageDialogs::paletteDragAndCancel()
{
    ScreenColors256 colors;
    Publication pub;
    Page &page = *pub.page(0);
    for (int i = 0; i < 256; ++i)
        page.PagePalette[size_t(i)] = {quint8(i), quint8(255 - i), quint8(i / 2), 0};
    AppPalette::instance().SetPaletteForColors(256, page.PagePalette);
    const PaletteTable stored = page.PagePalette;
    Preferences prefs;
    TPageAttrForm form(pub, page, false, prefs, *mDialogs);
    form.show();
    form.tabs()->setCurrentIndex(2);
    PaletteGrid *grid = form.paletteGrid();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(grid->selected(), 10);

    // Clicking a cell loads its colour into the bars; brightness is the largest part.
    const QPoint cell3 = paletteCellOrigin(3) + QPoint(5, 5);
    const QPoint cell7 = paletteCellOrigin(7) + QPoint(5, 5);
    QTest::mouseClick(grid, Qt::LeftButton, {}, cell3);
    QCOMPARE(grid->selected(), 3);
    QCOMPARE(form.colorBar(0)->value(), 3);
    QCOMPARE(form.colorBar(1)->value(), 252);
    QCOMPARE(form.brightnessBar()->value(), 252);
    // Brightness moves all three bars by the same step.
    form.brightnessBar()->setValue(242);
    QCOMPARE(form.colorBar(1)->value(), 242);
    QCOMPARE(form.colorBar(2)->value(), 0);

    // Dragging colour 3 onto 7 shifts 4..7 down to 3..6.
    QTest::mousePress(grid, Qt::LeftButton, {}, cell3);
    QTest::mouseRelease(grid, Qt::LeftButton, {}, cell7);
    const PaletteTable edited = *AppPalette::instance().GetAppPaletteTable();
    QCOMPARE(edited[7].red, quint8(3));
    for (int i = 3; i < 7; ++i)
        QCOMPARE(edited[size_t(i)].red, quint8(i + 1));
    QCOMPARE(grid->selected(), 7);

    // Cancel gives the display the page's own palette back.
    clickCancel(form);
    const PaletteTable restored = *AppPalette::instance().GetAppPaletteTable();
    for (int i = 0; i < 256; ++i)
        QCOMPARE(restored[size_t(i)].red, stored[size_t(i)].red);
    QCOMPARE(page.PagePalette, stored);
}

// ---------------------------------------------------------------- book setup

void TestPageDialogs::bookSetupPassword_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("uncheck");
    QTest::addColumn<QString>("stored");
    QTest::newRow("typed") << QStringLiteral("secret") << false << QStringLiteral("secret");
    QTest::newRow("typed then unchecked") << QStringLiteral("secret") << true << QString();
    QTest::newRow("nothing typed") << QString() << false << QString();
}

void TestPageDialogs::bookSetupPassword()
{
    QFETCH(QString, typed);
    QFETCH(bool, uncheck);
    QFETCH(QString, stored);
    TChildForm *child = openPages({QStringLiteral("A")});
    child->publication().Settings.Password = QStringLiteral("old");
    bool checkedAfterTyping = false;
    PageCommands::setDialogDriver([&](QDialog &dialog) {
        auto *form = qobject_cast<TBookSetupForm *>(&dialog);
        QVERIFY(form);
        dialog.show();
        QCOMPARE(form->tabs()->currentIndex(), 0);
        QVERIFY(form->passwordBox()->isChecked());
        form->tabs()->setCurrentIndex(1);
        form->passwordEdit()->selectAll();
        QTest::keyClick(form->passwordEdit(), Qt::Key_Delete);
        QVERIFY(!form->passwordBox()->isChecked());
        QTest::keyClicks(form->passwordEdit(), typed);
        checkedAfterTyping = form->passwordBox()->isChecked();
        if (uncheck)
            clickBox(form->passwordBox());
        clickOk(dialog);
    });
    trigger("BookSetup1");
    QCOMPARE(checkedAfterTyping, !typed.isEmpty());
    QCOMPARE(child->publication().Settings.Password, stored);
    QVERIFY(child->publication().Modified);
}

void TestPageDialogs::bookSetupSizeAndCaption()
{
    TChildForm *child = openPages({QStringLiteral("A")});
    PublicationSettings &settings = child->publication().Settings;
    PageCommands::setDialogDriver([&](QDialog &dialog) {
        auto *form = qobject_cast<TBookSetupForm *>(&dialog);
        dialog.show();
        QCOMPARE(form->sizeChooser()->widthBox()->minimum(), 150);
        QCOMPARE(form->sizeChooser()->widthBox()->maximum(), 2000);
        form->sizeChooser()->widthBox()->setValue(100); // below the range: 150
        form->sizeChooser()->heightBox()->setValue(3000); // above: 2000
        form->titleEdit()->setText(QStringLiteral("Atlas"));
        clickOk(dialog);
    });
    trigger("BookSetup1");
    QCOMPARE(settings.ScreenWidth, 150);
    QCOMPARE(settings.ScreenHeight, 2000);
    QCOMPARE(settings.Title, QStringLiteral("Atlas"));
    QVERIFY2(child->windowTitle().contains(QStringLiteral("150")), qPrintable(child->windowTitle()));

    // Cancel stores nothing.
    PageCommands::setDialogDriver([&](QDialog &dialog) {
        auto *form = qobject_cast<TBookSetupForm *>(&dialog);
        form->titleEdit()->setText(QStringLiteral("Other"));
        clickCancel(dialog);
    });
    trigger("BookSetup1");
    QCOMPARE(settings.Title, QStringLiteral("Atlas"));
}

void TestPageDialogs::bookSetupLanguageFileAndDefault()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("FR.QXL"));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("Vardeko Language File\r\nnotice\r\nl_ok = Okay\r\nL_YES=Oui\r\n");
    }
    mForm->preferences().Language[3] = QStringLiteral("Nein");
    TChildForm *child = openPages({QStringLiteral("A")});
    Publication &pub = child->publication();
    // A new publication starts from the program's texts.
    QCOMPARE(pub.Settings.Language[3], QStringLiteral("Nein"));
    QCOMPARE(pub.Settings.Language[2], QStringLiteral("Yes"));

    mDialogs->fileChoices.push_back(path);
    const QString saved = dir.filePath(QStringLiteral("OUT"));
    mDialogs->fileChoices.push_back(saved);
    PageCommands::setDialogDriver([&](QDialog &dialog) {
        auto *form = qobject_cast<TBookSetupForm *>(&dialog);
        dialog.show();
        form->tabs()->setCurrentIndex(4);
        QTest::mouseClick(form->findChild<QPushButton *>(QStringLiteral("LoadLanguageBtn")),
                          Qt::LeftButton);
        QCOMPARE(form->languageGrid()->item(0, 1)->text(), QStringLiteral(" Okay"));
        QCOMPARE(form->languageGrid()->item(2, 1)->text(), QStringLiteral("Oui"));
        // Texts the file does not name are back at their English defaults.
        QCOMPARE(form->languageGrid()->item(3, 1)->text(), QStringLiteral("No"));
        // The description column cannot be edited.
        QVERIFY(!(form->languageGrid()->item(0, 0)->flags() & Qt::ItemIsEditable));
        QTest::mouseClick(form->findChild<QPushButton *>(QStringLiteral("SaveLanguageBtn")),
                          Qt::LeftButton);
        clickBox(form->defaultBox());
        clickOk(dialog);
    });
    trigger("BookSetup1");
    QCOMPARE(pub.Settings.Language[0], QStringLiteral(" Okay"));
    QCOMPARE(pub.Settings.Language[2], QStringLiteral("Oui"));
    QCOMPARE(mForm->preferences().Language[2], QStringLiteral("Oui"));
    QCOMPARE(mForm->preferences().Language[3], QStringLiteral("No"));
    // The saved file got its extension and its entries.
    QFile file(saved + QStringLiteral(".QXL"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains("\r\nL_YES=Oui\r\n"));
    // The defaults were written to the settings at once.
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Sarquel"),
                       QStringLiteral("Vardeko"));
    settings.sync();
    bool found = false;
    for (const QString &key : settings.allKeys())
        if (key.endsWith(QStringLiteral("L_YES")))
            found = settings.value(key).toString() == QStringLiteral("Oui");
    QVERIFY(found);
}

void TestPageDialogs::bookSetupRefusesOtherIcon()
{
    TChildForm *child = openPages({QStringLiteral("A")});
    child->publication().Settings.Icon = QStringLiteral("OLD.ICO");
    mDialogs->fileChoices.push_back(QStringLiteral("/tmp/PICTURE.BMP"));
    PageCommands::setDialogDriver([&](QDialog &dialog) {
        auto *form = qobject_cast<TBookSetupForm *>(&dialog);
        form->loadIcon();
        QCOMPARE(form->iconFile(), QStringLiteral("OLD.ICO"));
        clickOk(dialog);
    });
    trigger("BookSetup1");
    QCOMPARE(mDialogs->alerts.size(), 1);
    QCOMPARE(mDialogs->alerts.at(0).text, QStringLiteral("The file you selected is not an Icon."));
    QCOMPARE(child->publication().Settings.Icon, QStringLiteral("OLD.ICO"));
}

// ---------------------------------------------------------------- page layout

void TestPageDialogs::pageLayoutButtonsAndDelete()
{
    TChildForm *child = openPages({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    Publication &pub = child->publication();
    PageCommands::setDialogDriver([&](QDialog &dialog) {
        auto *form = qobject_cast<TBookLayoutForm *>(&dialog);
        QVERIFY(form);
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Page Layout"));
        QListWidget *list = form->pageList();
        QCOMPARE(list->count(), 3);
        // The current page starts selected.
        QVERIFY(list->item(0)->isSelected());
        QVERIFY(form->button("AddBtn")->isEnabled());
        QCOMPARE(list->visualItemRect(list->item(1)).height(), LayoutRowHeight);
        list->item(1)->setSelected(true);
        QVERIFY(!form->button("AddBtn")->isEnabled());
        QVERIFY(!form->button("UpBtn")->isEnabled());
        QVERIFY(form->button("DeleteBtn")->isEnabled());
        mDialogs->answers.push_back(ShellDialogs::Yes);
        QTest::mouseClick(form->button("DeleteBtn"), Qt::LeftButton);
        QCOMPARE(list->count(), 1);
        QVERIFY(!form->button("DeleteBtn")->isEnabled());
        QTest::mouseClick(form->button("CloseBtn"), Qt::LeftButton);
    });
    trigger("PageLayout1");
    QCOMPARE(mDialogs->questions.size(), 1);
    QCOMPARE(mDialogs->questions.at(0).title, QStringLiteral("Delete"));
    QCOMPARE(mDialogs->questions.at(0).text,
             QStringLiteral("Do you really want to delete the selected pages?"));
    QCOMPARE(titles(pub), QStringList{QStringLiteral("C")});
    QCOMPARE(pub.currentPage(), pub.page(0));
    QCOMPARE(mForm->pageTabs()->count(), 2);
}

void TestPageDialogs::pageLayoutUpDownAndDrag()
{
    TChildForm *child = openPages(
        {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")});
    Publication &pub = child->publication();
    PageCommands::setDialogDriver([&](QDialog &dialog) {
        auto *form = qobject_cast<TBookLayoutForm *>(&dialog);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QListWidget *list = form->pageList();
        list->clearSelection();
        list->item(2)->setSelected(true);
        QTest::mouseClick(form->button("UpBtn"), Qt::LeftButton);
        QCOMPARE(titles(pub), (QStringList{QStringLiteral("A"), QStringLiteral("C"),
                                           QStringLiteral("B"), QStringLiteral("D")}));
        // The moved page stays selected.
        QVERIFY(list->item(1)->isSelected());
        QCOMPARE(list->item(1)->text(), QStringLiteral("C"));
        QTest::mouseClick(form->button("UpBtn"), Qt::LeftButton);
        QTest::mouseClick(form->button("UpBtn"), Qt::LeftButton); // at the top: a beep
        QCOMPARE(titles(pub).first(), QStringLiteral("C"));

        // Dragging the thumbnail of the selected row below the last row puts it last.
        const QRect first = list->visualItemRect(list->item(0));
        const QRect last = list->visualItemRect(list->item(3));
        QTest::mousePress(list->viewport(), Qt::LeftButton, {}, first.topLeft() + QPoint(10, 10));
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, {},
                            QPoint(10, last.bottom() + LayoutRowHeight));
        QCOMPARE(titles(pub), (QStringList{QStringLiteral("A"), QStringLiteral("B"),
                                           QStringLiteral("D"), QStringLiteral("C")}));
        // Pressing on the name does not drag.
        QTest::mousePress(list->viewport(), Qt::LeftButton, {}, QPoint(120, last.center().y()));
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, QPoint(120, first.center().y()));
        QCOMPARE(titles(pub).last(), QStringLiteral("C"));
        QTest::mouseClick(form->button("CloseBtn"), Qt::LeftButton);
    });
    trigger("PageLayout1");
    QVERIFY(pub.Modified);
    QCOMPARE(mForm->pageTabs()->tabText(4), QStringLiteral("C"));
}

void TestPageDialogs::pageLayoutSessionIsOneStep()
{
    TChildForm *child = openPages({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                                   QStringLiteral("D")});
    Publication &pub = child->publication();
    EditController &editor = *child->controller();
    // A button on A goes to C; B holds an object; an earlier step stays below the session.
    ObjectPtr button = pub.createObject(ButtonKind);
    button->button()->Action = QStringLiteral("GotoPage \"C\"");
    button->X2 = 80;
    button->Y2 = 20;
    PageObject *goButton = button.get();
    pub.page(0)->Objects.push_back(std::move(button));
    Page *b = pub.page(1);
    b->Objects.push_back(pub.createObject(RectangleKind));
    const int objects = pub.objectCount();
    pub.Settings.ReturnAction = QStringLiteral("GotoPage \"C\"");
    b->Objects.back()->Selected = true;
    child->showPage(b);
    const int x = b->Objects[0]->X1;
    QVERIFY(editor.nudge(1, 0));
    const int steps = editor.undoStack()->count();

    PageCommands::setDialogDriver([&](QDialog &dialog) {
        if (auto *rename = dialog.findChild<QLineEdit *>(QStringLiteral("NewTitleEdit"))) {
            QTest::keyClicks(rename, QStringLiteral("Cee"));
            clickOk(dialog);
            return;
        }
        auto *form = qobject_cast<TBookLayoutForm *>(&dialog);
        QVERIFY(form);
        dialog.show();
        QListWidget *list = form->pageList();
        // Delete B (the page shown), rename C, move D up, copy A.
        list->clearSelection();
        list->item(1)->setSelected(true);
        mDialogs->answers.push_back(ShellDialogs::Yes);
        QTest::mouseClick(form->button("DeleteBtn"), Qt::LeftButton);
        list->clearSelection();
        list->item(1)->setSelected(true);
        QTest::mouseClick(form->button("RenameBtn"), Qt::LeftButton);
        list->clearSelection();
        list->item(2)->setSelected(true);
        QTest::mouseClick(form->button("UpBtn"), Qt::LeftButton);
        list->clearSelection();
        list->item(0)->setSelected(true);
        QTest::mouseClick(form->button("CopyBtn"), Qt::LeftButton);
        QTest::mouseClick(form->button("CloseBtn"), Qt::LeftButton);
    });
    trigger("PageLayout1");
    const QStringList after{QStringLiteral("A"), QStringLiteral("A 1"), QStringLiteral("D"),
                            QStringLiteral("Cee")};
    QCOMPARE(titles(pub), after);
    QCOMPARE(goButton->button()->Action, QStringLiteral("GotoPage \"Cee\""));
    QCOMPARE(editor.undoStack()->count(), steps + 1);
    QCOMPARE(editor.undoStack()->undoText(), QStringLiteral("Page Layout"));
    QVERIFY(pub.Modified);
    // The button is deleted and brought back, as a copy, before the session is undone.
    child->showPage(pub.page(0));
    goButton->Selected = true;
    QVERIFY(editor.deleteSelection());
    QVERIFY(editor.undo());
    goButton = pub.page(0)->Objects[0].get();

    // One undo brings back the old layout, the deleted page with its objects, the old
    // names in every script, and the page that was shown.
    QVERIFY(editor.undo());
    QCOMPARE(titles(pub), (QStringList{QStringLiteral("A"), QStringLiteral("B"),
                                       QStringLiteral("C"), QStringLiteral("D")}));
    QCOMPARE(pub.page(1), b);
    QCOMPARE(b->Objects.size(), size_t(1));
    QCOMPARE(pub.objectCount(), objects);
    QCOMPARE(goButton->button()->Action, QStringLiteral("GotoPage \"C\""));
    QCOMPARE(pub.Settings.ReturnAction, QStringLiteral("GotoPage \"C\""));
    QCOMPARE(pub.currentPage(), b);
    QCOMPARE(mForm->pageTabs()->tabText(2), QStringLiteral("B"));
    QVERIFY(editor.redo());
    QCOMPARE(titles(pub), after);
    QCOMPARE(pub.Settings.ReturnAction, QStringLiteral("GotoPage \"Cee\""));
    // The step before the session is still there.
    QVERIFY(editor.undo());
    QVERIFY(editor.undo());
    QCOMPARE(b->Objects[0]->X1, x);

    // A session that changes nothing leaves no step.
    const int before = editor.undoStack()->count();
    PageCommands::setDialogDriver([&](QDialog &dialog) {
        auto *form = qobject_cast<TBookLayoutForm *>(&dialog);
        QTest::mouseClick(form->button("CloseBtn"), Qt::LeftButton);
    });
    trigger("PageLayout1");
    QCOMPARE(editor.undoStack()->count(), before);
}

void TestPageDialogs::bookSetupIsOneStep()
{
    TChildForm *child = openPages({QStringLiteral("A")});
    Publication &pub = child->publication();
    EditController &editor = *child->controller();
    PageObject *o = pub.page(0)->Objects.emplace_back(pub.createObject(RectangleKind)).get();
    o->Selected = true;
    const int x = o->X1;
    QVERIFY(editor.nudge(3, 0));
    pub.Settings.CompiledName = QStringLiteral("OLD.EXE");
    PageCommands::setDialogDriver([&](QDialog &dialog) {
        auto *form = qobject_cast<TBookSetupForm *>(&dialog);
        form->sizeChooser()->widthBox()->setValue(800);
        form->sizeChooser()->heightBox()->setValue(600);
        form->titleEdit()->setText(QStringLiteral("Atlas"));
        clickOk(dialog);
    });
    trigger("BookSetup1");
    QCOMPARE(pub.Settings.ScreenWidth, 800);
    // The history survives the new page size, and the setup is its newest step.
    QCOMPARE(editor.undoStack()->count(), 2);
    QCOMPARE(editor.undoStack()->undoText(), QStringLiteral("Publication Setup"));
    // A setting the setup does not edit, changed since, is left alone by undo.
    pub.Settings.CompiledName = QStringLiteral("NEW.EXE");
    QVERIFY(editor.undo());
    QCOMPARE(pub.Settings.ScreenWidth, 640);
    QCOMPARE(pub.Settings.ScreenHeight, 480);
    QCOMPARE(pub.Settings.Title, QStringLiteral("Untitled Vardeko Publication"));
    QCOMPARE(pub.Settings.CompiledName, QStringLiteral("NEW.EXE"));
    QVERIFY2(child->windowTitle().contains(QStringLiteral("640")), qPrintable(child->windowTitle()));
    QCOMPARE(child->pageView()->contentSize().width() < 800, true);
    QVERIFY(editor.redo());
    QCOMPARE(pub.Settings.ScreenWidth, 800);
    QVERIFY(editor.undo());
    QVERIFY(editor.undo());
    QCOMPARE(o->X1, x);

    // OK without a change is no step.
    PageCommands::setDialogDriver([&](QDialog &dialog) { clickOk(dialog); });
    trigger("BookSetup1");
    QCOMPARE(editor.undoStack()->count(), 2);
    QVERIFY(!editor.canUndo());
}

void TestPageDialogs::gotoMoreOpensPicker()
{
    QStringList names;
    for (int i = 0; i < 14; ++i)
        names << QStringLiteral("P%1").arg(i + 1);
    openPages(names);
    QAction *more = mForm->findChild<QMenu *>(QStringLiteral("Goto1"))->actions().last();
    QCOMPARE(more->objectName(), QStringLiteral("GotoMore1"));
    QVERIFY(more);
    QVERIFY(more->isVisible());
    QVERIFY(more->isEnabled());
    QString caption;
    bool editingButtons = true;
    PageCommands::setDialogDriver([&](QDialog &dialog) {
        auto *form = qobject_cast<TBookLayoutForm *>(&dialog);
        dialog.show();
        caption = dialog.windowTitle();
        editingButtons = form->button("AddBtn") != nullptr || form->button("CloseBtn") != nullptr;
        QCOMPARE(form->pageList()->selectionMode(), QAbstractItemView::SingleSelection);
        form->pageList()->setCurrentRow(13);
        QTest::mouseClick(form->button("OkBtn"), Qt::LeftButton);
    });
    more->trigger();
    QCOMPARE(caption, QStringLiteral("Goto Page"));
    QVERIFY(!editingButtons);
    QCOMPARE(mForm->activeChild()->publication().currentPage()->Title, QStringLiteral("P14"));
}
