// Tests of the main window's file flows, command states and page buttons.
#include "tst_mainform.h"

#include "actionpalette.h"

#include "childform.h"
#include "conversionwindow.h"
#include "editcommands.h"
#include "filelistform.h"
#include "floatingwindows.h"
#include "helpviewer.h"
#include "mouseform.h"
#include "pageview.h"
#include "fakedialogs.h"
#include "mainform.h"
#include "preferencesdialog.h"
#include "publication.h"
#include "publicationfile.h"
#include "shellmessages.h"
#include "singleinstance.h"
#include "toolicons.h"
#include "maincommands.h"
#include "thirdpartyfiles.h"
#include "toolpalette.h"

#include <QAction>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QStatusBar>
#include <QApplication>
#include <QItemSelectionModel>
#include <QListView>
#include <QLocalSocket>
#include <QMimeData>
#include <QUrl>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QSettings>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QIcon>

#include <chrono>
#include <future>

using namespace vardeko;

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

QString TestMainForm::writeSample(const QString &name, int pages, const QString &title)
{
    Publication pub;
    pub.Settings.Title = title.isEmpty() ? name : title;
    pub.page(0)->Title = QStringLiteral("Page One");
    for (int i = 1; i < pages; ++i)
        pub.appendPage(pub.createPage(QStringLiteral("Page %1").arg(i + 1)));
    const QString path = mDir->filePath(name);
    const int error = writePublication(pub, path, WriteMode::Save);
    if (error != 0)
        qWarning("sample %s not written: %d", qPrintable(path), error);
    return path;
}

void TestMainForm::init()
{
    // Each test starts without stored preferences.
    QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Sarquel"),
              QStringLiteral("Vardeko"))
        .clear();
    mDir = std::make_unique<QTemporaryDir>();
    QVERIFY(mDir->isValid());
    mForm = new TMainForm;
    auto dialogs = std::make_unique<FakeDialogs>();
    mDialogs = dialogs.get();
    mForm->setDialogs(std::move(dialogs));
    mForm->show();
    QVERIFY(QTest::qWaitForWindowExposed(mForm));
}

void TestMainForm::cleanup()
{
    // Nothing is modified any more, so closing asks nothing.
    for (TChildForm *child : mForm->childForms())
        child->publication().Modified = false;
    delete mForm;
    mForm = nullptr;
    mDir.reset();
}

void TestMainForm::openShowsPublication()
{
    const QString path = writeSample(QStringLiteral("BOOK.PUB"), 3);
    TChildForm *child = mForm->openPublication(path);
    QVERIFY(child);
    QCOMPARE(mForm->childForms().size(), 1);
    QCOMPARE(mForm->activeChild(), child);
    QCOMPARE(child->windowTitle(), path + QStringLiteral(" (640x480 16M Colors)"));
    QCOMPARE(mForm->statusText(), QStringLiteral("Page 1 of 3"));
    // Master Page first, then the pages.
    QCOMPARE(mForm->pageTabs()->count(), 4);
    QCOMPARE(mForm->pageTabs()->tabText(0), QStringLiteral("Master Page"));
    QCOMPARE(mForm->pageTabs()->tabText(3), QStringLiteral("Page 3"));
    QVERIFY(mDialogs->alerts.isEmpty());
}

void TestMainForm::openingAnOpenFileOnlyActivatesIt()
{
    const QString a = writeSample(QStringLiteral("A.PUB"));
    const QString b = writeSample(QStringLiteral("B.PUB"));
    TChildForm *first = mForm->openPublication(a);
    mForm->openPublication(b);
    mForm->preferences().Reopen.insertClosed(QStringLiteral("/elsewhere/C.PUB"));
    const QStringList reopenBefore = mForm->preferences().Reopen.items();

    TChildForm *again = mForm->openPublication(mDir->path() + QStringLiteral("/./A.PUB"));
    QCOMPARE(again, first);
    QCOMPARE(mForm->childForms().size(), 2);
    QCOMPARE(mForm->activeChild(), first);
    QCOMPARE(mForm->preferences().Reopen.items(), reopenBefore);
}

void TestMainForm::openFailureLeavesNoWindow_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("expected");
    QTest::newRow("missing file") << QByteArray() << QStringLiteral("could not be found");
    QTest::newRow("not a publication") << QByteArray("hello\r\nworld\r\n")
                                       << QStringLiteral("This is not a valid Vardeko publication.");
    QTest::newRow("empty file") << QByteArray("") << QStringLiteral("not a valid Vardeko");
    QTest::newRow("folder") << QByteArray() << QStringLiteral("This is a folder");
}

void TestMainForm::openFailureLeavesNoWindow()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, expected);
    const QString path = mDir->filePath(QStringLiteral("BROKEN.PUB"));
    if (QTest::currentDataTag() == QLatin1String("folder")) {
        QVERIFY(QDir(mDir->path()).mkdir(QStringLiteral("BROKEN.PUB")));
    } else if (QTest::currentDataTag() != QLatin1String("missing file")) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
    }
    QVERIFY(!mForm->openPublication(path));
    QVERIFY(mForm->childForms().isEmpty());
    QCOMPARE(mDialogs->alerts.size(), 1);
    QCOMPARE(mDialogs->alerts[0].title, QStringLiteral("Vardeko"));
    QVERIFY2(mDialogs->alerts[0].text.startsWith(path), qPrintable(mDialogs->alerts[0].text));
    QVERIFY2(mDialogs->alerts[0].text.contains(expected), qPrintable(mDialogs->alerts[0].text));
    QVERIFY(mForm->progressGauge()->isHidden());
}

void TestMainForm::startWithRefusedFilesLeavesNoUntitled()
{
    // Named files that cannot open leave the work area empty ...
    mForm->openStartupFiles({mDir->path()});
    QVERIFY(mForm->childForms().isEmpty());
    QCOMPARE(mDialogs->alerts.size(), 1);
    QVERIFY(mDialogs->alerts[0].text.startsWith(QDir::cleanPath(mDir->path())));
    // ... a start without files gets its Untitled publication.
    mForm->openStartupFiles({});
    QCOMPARE(mForm->childForms().size(), 1);
    QVERIFY(mForm->childForms()[0]->fileName().isEmpty());
}

void TestMainForm::missingFilesShowErrorReport()
{
    const QString path = mDir->filePath(QStringLiteral("PICS.PUB"));
    {
        Publication pub;
        pub.Settings.Title = QStringLiteral("Pictures");
        ObjectPtr picture = pub.createObject(PictureKind);
        picture->picture()->FileName = QStringLiteral("NOWHERE.BMP");
        insertObject(pub.page(0)->Objects, std::move(picture), nullptr);
        QCOMPARE(writePublication(pub, path, WriteMode::Save), 0);
    }
    QVERIFY(mForm->openPublication(path));
    QCOMPARE(mDialogs->reports.size(), 1);
    QCOMPARE(mDialogs->reports[0].title, QStringLiteral("Error Report: Pictures"));
    QVERIFY(mDialogs->reports[0].text.contains(QStringLiteral("NOWHERE.BMP")));
}

void TestMainForm::dosPublicationOpensConverted()
{
    const QString path = mDir->filePath(QStringLiteral("DOS.PUB"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("Vardeko Document File\r\nNewPage=Cover\r\nNewPage=Back\r\n");
    f.close();
    TChildForm *child = mForm->openPublication(path);
    QVERIFY(child);
    QVERIFY(child->publication().ConvertedFromDos);
    QCOMPARE(child->publication().page(1)->Title, QStringLiteral("2"));
    // The conversion window is gone once the file is read.
    QVERIFY(!mForm->findChild<ConversionWindow *>());
}

void TestMainForm::iconThatIsNoIconIsDropped()
{
    const QString notAnIcon = mDir->filePath(QStringLiteral("TEXT.ICO"));
    QFile f(notAnIcon);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("plain text, not an icon");
    f.close();
    REQUIRE_THIRD_PARTY_FILES();
    const QString good = thirdPartyFilesDir() + QStringLiteral("/ico/hopper.ico");
    for (const QString &icon : {notAnIcon, good}) {
        const QString path = mDir->filePath(QStringLiteral("ICON.PUB"));
        Publication pub;
        pub.Settings.Icon = icon;
        QCOMPARE(writePublication(pub, path, WriteMode::Save), 0);
        TChildForm *child = mForm->openPublication(path);
        QVERIFY(child);
        QCOMPARE(child->publication().Settings.Icon, icon == good ? good : QString());
        child->publication().Modified = false;
        mForm->closeAll();
    }
}

void TestMainForm::helpPagesAreShippedAndLinked()
{
    const QList<int> topics{HelpContentsTopic, PageLayoutHelpTopic, GotoPageHelpTopic,
                            PageAttributesHelpTopic, PreferencesHelpTopic, PositionHelpTopic, CompileHelpTopic};
    for (int topic : topics) {
        const QUrl url = helpTopicUrl(topic);
        QVERIFY2(!url.isEmpty(), qPrintable(QString::number(topic)));
        QVERIFY(url.isLocalFile());
        QFile page(url.toLocalFile());
        QVERIFY(page.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(page.readAll());
        static const QRegularExpression link(QStringLiteral("href=\"([^\"]+)\""));
        for (auto it = link.globalMatch(html); it.hasNext();) {
            const QString target = it.next().captured(1);
            QVERIFY2(QFileInfo::exists(QFileInfo(page).dir().filePath(target)),
                     qPrintable(url.toString() + QStringLiteral(" links to missing ") + target));
        }
    }
    QVERIFY(helpTopicUrl(999).isEmpty());
    QVERIFY(!showHelpTopic(mForm, 999));

    QAction *topicsAction = mForm->findChild<QAction *>(QStringLiteral("HelpTopics1"));
    QVERIFY(topicsAction && topicsAction->isEnabled());
    topicsAction->trigger();
    auto *browser = mForm->findChild<QTextBrowser *>();
    QVERIFY(browser);
    QCOMPARE(browser->source(), helpTopicUrl(HelpContentsTopic));
    QVERIFY(browser->toPlainText().contains(QStringLiteral("master page")));
    browser->close();
}

void TestMainForm::closePrompt_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<bool>("saved");
    QTest::newRow("yes saves and closes") << int(ShellDialogs::Yes) << true << true;
    QTest::newRow("no closes without saving") << int(ShellDialogs::No) << true << false;
    QTest::newRow("cancel keeps the window") << int(ShellDialogs::Cancel) << false << false;
}

void TestMainForm::closePrompt()
{
    QFETCH(int, answer);
    QFETCH(bool, closes);
    QFETCH(bool, saved);
    const QString path = writeSample(QStringLiteral("EDIT.PUB"));
    const QByteArray before = fileBytes(path);
    TChildForm *child = mForm->openPublication(path);
    QVERIFY(child);
    child->publication().Settings.Title = QStringLiteral("Changed Title");
    child->publication().Modified = true;

    mDialogs->answers.push_back(ShellDialogs::Answer(answer));
    QCOMPARE(mForm->closeChild(child), closes);
    QCOMPARE(mDialogs->questions.size(), 1);
    QCOMPARE(mDialogs->questions[0].title, QStringLiteral("Vardeko"));
    QCOMPARE(mDialogs->questions[0].text,
             path + QStringLiteral("\nhas been modified. Do you want to save the changes?"));
    QCOMPARE(mForm->childForms().size(), closes ? 0 : 1);
    QCOMPARE(fileBytes(path) != before, saved);
    if (saved)
        QVERIFY(fileBytes(path).contains("Title=Changed Title"));
    QCOMPARE(mForm->preferences().Reopen.items().contains(path), closes);
}

void TestMainForm::failedSaveKeepsWindowOpen()
{
    TChildForm *child = mForm->newUntitled();
    child->publication().Modified = true;
    // Yes to saving, then a folder that does not exist as the new name.
    mDialogs->answers.push_back(ShellDialogs::Yes);
    mDialogs->fileChoices.push_back(mDir->filePath(QStringLiteral("no/such/dir/NEW.PUB")));
    QVERIFY(!mForm->closeChild(child));
    QCOMPARE(mForm->childForms().size(), 1);
    QCOMPARE(mDialogs->alerts.size(), 1);
    QVERIFY(child->publication().FileName.isEmpty());
    QVERIFY(child->publication().Modified);
    QCOMPARE(mDialogs->saveTitles, QStringList{QStringLiteral("Save Untitled As")});
}

void TestMainForm::saveConvertedFileAsksFirst()
{
    const QString path = writeSample(QStringLiteral("OLD.PUB"));
    const QString other = mDir->filePath(QStringLiteral("NEWNAME"));
    TChildForm *child = mForm->openPublication(path);
    QVERIFY(child);
    child->publication().ConvertedFromDos = true;
    const QByteArray before = fileBytes(path);

    // No chooses a different name; the extension is added.
    mDialogs->answers.push_back(ShellDialogs::No);
    mDialogs->fileChoices.push_back(other);
    QVERIFY(mForm->saveChild(child));
    QCOMPARE(mDialogs->questions.size(), 1);
    QCOMPARE(mDialogs->questions[0].title, QStringLiteral("Save"));
    QVERIFY(mDialogs->questions[0].text.startsWith(path + QStringLiteral("\n\nThis publication was")));
    QVERIFY(mDialogs->questions[0].text.endsWith(
        QStringLiteral("anyway?\n(choose No to select a different name)")));
    QCOMPARE(fileBytes(path), before);
    QVERIFY(QFile::exists(other + QStringLiteral(".PUB")));
    QCOMPARE(child->fileName(), other + QStringLiteral(".PUB"));
    QVERIFY(!child->publication().ConvertedFromDos);

    // Once written by this version, saving asks nothing.
    QVERIFY(mForm->saveChild(child));
    QCOMPARE(mDialogs->questions.size(), 1);
}

void TestMainForm::saveAsForcesExtensionAndAsksBeforeReplacing()
{
    const QString path = writeSample(QStringLiteral("SRC.PUB"));
    const QString target = writeSample(QStringLiteral("TARGET.PUB"), 1, QStringLiteral("Keep me"));
    const QByteArray targetBefore = fileBytes(target);
    TChildForm *child = mForm->openPublication(path);
    QVERIFY(child);

    mDialogs->fileChoices.push_back(mDir->filePath(QStringLiteral("TARGET.txt")));
    mDialogs->answers.push_back(ShellDialogs::No);
    QVERIFY(!mForm->saveChildAs(child));
    QCOMPARE(mDialogs->questions.size(), 1);
    QCOMPARE(mDialogs->questions[0].title, QStringLiteral("Save As"));
    QCOMPARE(mDialogs->questions[0].text, QStringLiteral("Replace existing: ") + target + QStringLiteral("?"));
    QCOMPARE(fileBytes(target), targetBefore);
    QCOMPARE(child->fileName(), path);
    QCOMPARE(mDialogs->saveTitles.constLast(), QStringLiteral("Save SRC.PUB As"));

    mDialogs->fileChoices.push_back(target);
    mDialogs->answers.push_back(ShellDialogs::Yes);
    QVERIFY(mForm->saveChildAs(child));
    QVERIFY(fileBytes(target).contains("Title=SRC.PUB"));
    QCOMPARE(child->fileName(), target);
    QVERIFY(child->windowTitle().startsWith(target));
    QCOMPARE(mForm->preferences().PubDir, mDir->path());
}

void TestMainForm::backupMadeWhenPreferred()
{
    const QString path = writeSample(QStringLiteral("BACK.PUB"));
    const QByteArray original = fileBytes(path);
    const QString backup = mDir->filePath(QStringLiteral("BACK.BAK"));

    mForm->preferences().CreateBackupFiles = false;
    TChildForm *child = mForm->openPublication(path);
    QVERIFY(child);
    child->publication().Settings.Title = QStringLiteral("Second");
    QVERIFY(mForm->saveChild(child));
    QVERIFY(!QFile::exists(backup));

    mForm->preferences().CreateBackupFiles = true;
    child->publication().Settings.Title = QStringLiteral("Third");
    QVERIFY(mForm->saveChild(child));
    QVERIFY(QFile::exists(backup));
    QVERIFY(fileBytes(backup).contains("Title=Second"));
    QVERIFY(fileBytes(path).contains("Title=Third"));
    QVERIFY(original.contains("Title=BACK.PUB"));
}

void TestMainForm::reopenListFollowsClosingAndOpening()
{
    const QString a = writeSample(QStringLiteral("A.PUB"));
    const QString b = writeSample(QStringLiteral("B.PUB"));
    TChildForm *ca = mForm->openPublication(a);
    TChildForm *cb = mForm->openPublication(b);
    QVERIFY(!mForm->reopenMenu()->isEnabled());
    QVERIFY(mForm->closeChild(ca));
    QVERIFY(mForm->closeChild(cb));
    QCOMPARE(mForm->preferences().Reopen.items(), (QStringList{b, a}));
    QVERIFY(mForm->reopenMenu()->isEnabled());
    QCOMPARE(mForm->reopenMenu()->actions().size(), 2);
    QCOMPARE(mForm->reopenMenu()->actions().at(0)->text(), b);

    // Choosing an entry opens it and takes it off the list.
    mForm->reopenMenu()->actions().at(1)->trigger();
    QCOMPARE(mForm->childForms().size(), 1);
    QCOMPARE(mForm->childForms().first()->fileName(), a);
    QCOMPARE(mForm->preferences().Reopen.items(), QStringList{b});
}

void TestMainForm::exitPutsActivePublicationFirst()
{
    const QString a = writeSample(QStringLiteral("A.PUB"));
    const QString b = writeSample(QStringLiteral("B.PUB"));
    const QString c = writeSample(QStringLiteral("C.PUB"));
    TChildForm *ca = mForm->openPublication(a);
    mForm->openPublication(b);
    mForm->openPublication(c);
    mForm->activateChild(ca);
    QVERIFY(mForm->close());
    QCOMPARE(mForm->preferences().Reopen.items(), (QStringList{a, b, c}));
    // The list reached the settings file.
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Sarquel"),
                       QStringLiteral("Vardeko"));
    QCOMPARE(settings.value(QStringLiteral("FileHistory0")).toString(), a);
    QCOMPARE(settings.value(QStringLiteral("FileHistory2")).toString(), c);
    QVERIFY(settings.contains(QStringLiteral("MainWindowPos")));
}

void TestMainForm::commandStatesFollowPublication()
{
    auto enabled = [this](const char *name) {
        return mForm->findChild<QAction *>(QLatin1String(name))->isEnabled();
    };
    QVERIFY(enabled("Open1"));
    QVERIFY(enabled("Exit1"));
    QVERIFY(enabled("About1"));
    QVERIFY(!enabled("Save1"));
    QVERIFY(!enabled("CloseAll1"));
    QVERIFY(!enabled("CenterPage1"));
    QCOMPARE(mForm->statusText(), QString());

    mForm->openPublication(writeSample(QStringLiteral("S.PUB")));
    QVERIFY(enabled("Save1"));
    QVERIFY(enabled("SaveAs1"));
    QVERIFY(enabled("Close1"));
    QVERIFY(enabled("TileVertical1"));
    QVERIFY(enabled("CenterPage1"));
    QVERIFY(enabled("Run1"));
    QVERIFY(enabled("Compile1"));
    QVERIFY(enabled("Archive1"));
    // Commands whose work is not in this program stay disabled.
    QVERIFY(!enabled("Paste1"));

    // The tool bar's Save button follows the menu item.
    auto *toolBar = mForm->findChild<QToolBar *>(QStringLiteral("ToolBar"));
    QWidget *saveButton = toolBar->widgetForAction(mForm->findChild<QAction *>(QStringLiteral("Save1")));
    QVERIFY(saveButton->isEnabled());
    QVERIFY(mForm->closeAll());
    QVERIFY(!saveButton->isEnabled());
    QVERIFY(!enabled("Save1"));
}

void TestMainForm::cascadeKeepsUsefulSizes()
{
    mForm->resize(1200, 900);
    for (const char *name : {"C1.PUB", "C2.PUB", "C3.PUB"})
        QVERIFY(mForm->openPublication(writeSample(QLatin1String(name))));
    TChildForm *active = mForm->activeChild();
    mForm->findChild<QAction *>(QStringLiteral("Cascade1"))->trigger();
    const QList<TChildForm *> children = mForm->childForms();
    QPoint last(-1, -1);
    for (TChildForm *child : children) {
        auto *sub = qobject_cast<QMdiSubWindow *>(child->parentWidget());
        QVERIFY(sub);
        // Far more than a token size: each window shows most of its 640x480 page.
        QVERIFY2(sub->width() >= 600 && sub->height() >= 450,
                 qPrintable(QStringLiteral("%1x%2").arg(sub->width()).arg(sub->height())));
        QVERIFY(sub->geometry().bottom() < sub->mdiArea()->viewport()->height());
        QVERIFY(sub->pos() != last);
        last = sub->pos();
    }
    QCOMPARE(mForm->activeChild(), active);
}

void TestMainForm::fileSelectorStartsBesideThePublication()
{
    QVERIFY(QDir(mDir->path()).mkdir(QStringLiteral("book")));
    const QString path = mDir->filePath(QStringLiteral("book/SEL.PUB"));
    {
        Publication pub;
        QCOMPARE(writePublication(pub, path, WriteMode::Save), 0);
    }
    QVERIFY(mForm->openPublication(path));
    mForm->findChild<QAction *>(QStringLiteral("ShowFileList1"))->trigger();
    auto *list = mForm->findChild<TFileInspectorForm *>();
    QVERIFY(list && list->isVisible());
    QCOMPARE(list->directory(), QFileInfo(path).absolutePath());
}

void TestMainForm::tipsGiveWayToThePageIndicator()
{
    QVERIFY(mForm->openPublication(writeSample(QStringLiteral("T.PUB"), 2)));
    auto *label = mForm->findChild<QLabel *>(QStringLiteral("PageLabel"));
    QVERIFY(label && label->isVisible());
    auto *toolBar = mForm->findChild<QToolBar *>(QStringLiteral("ToolBar"));
    QAction *next = mForm->findChild<QAction *>(QStringLiteral("NextPageBtn"));

    // Pointing at a command shows its tip in place of the page indicator ...
    next->showStatusText(toolBar);
    QCOMPARE(mForm->statusBar()->currentMessage(), next->statusTip());
    QVERIFY(!next->statusTip().isEmpty());
    QVERIFY(!label->isVisible());
    // ... choosing it brings the indicator back, with the new page.
    QTest::mouseClick(toolBar->widgetForAction(next), Qt::LeftButton);
    QVERIFY(mForm->statusBar()->currentMessage().isEmpty());
    QVERIFY(label->isVisible());
    QCOMPARE(label->text(), QStringLiteral("Page 2 of 2"));

    // Leaving the tool bar does the same.
    next->showStatusText(toolBar);
    QVERIFY(!label->isVisible());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(toolBar, &leave);
    QVERIFY(label->isVisible());
}

void TestMainForm::pageButtons()
{
    TChildForm *child = mForm->openPublication(writeSample(QStringLiteral("P.PUB"), 3));
    QVERIFY(child);
    auto *toolBar = mForm->findChild<QToolBar *>(QStringLiteral("ToolBar"));
    auto click = [&](const char *name) {
        QWidget *button = toolBar->widgetForAction(mForm->findChild<QAction *>(QLatin1String(name)));
        QTest::mouseClick(button, Qt::LeftButton);
    };
    auto enabled = [this](const char *name) {
        return mForm->findChild<QAction *>(QLatin1String(name))->isEnabled();
    };
    QSignalSpy changed(child, &TChildForm::pageChanged);
    QVERIFY(!enabled("FirstPageBtn"));
    QVERIFY(!enabled("PrevPageBtn"));
    QVERIFY(enabled("NextPageBtn"));

    click("NextPageBtn");
    QCOMPARE(mForm->statusText(), QStringLiteral("Page 2 of 3"));
    click("LastPageBtn");
    QCOMPARE(mForm->statusText(), QStringLiteral("Page 3 of 3"));
    QVERIFY(!enabled("NextPageBtn"));
    QVERIFY(!enabled("LastPageBtn"));

    // The master page button toggles back to the page shown before.
    click("MasterPageBtn");
    QCOMPARE(mForm->statusText(), QStringLiteral("Master Page"));
    QCOMPARE(mForm->pageTabs()->currentIndex(), 0);
    click("MasterPageBtn");
    QCOMPARE(mForm->statusText(), QStringLiteral("Page 3 of 3"));

    // Previous on the master page acts as the master page button.
    click("MasterPageBtn");
    click("PrevPageBtn");
    QCOMPARE(mForm->statusText(), QStringLiteral("Page 3 of 3"));
    click("FirstPageBtn");
    QCOMPARE(mForm->statusText(), QStringLiteral("Page 1 of 3"));
    QCOMPARE(changed.count(), 7);

    // A tab goes to its page by name.
    QTabBar *tabs = mForm->pageTabs();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(2).center());
    QCOMPARE(mForm->statusText(), QStringLiteral("Page 2 of 3"));
    QCOMPARE(child->publication().currentPage()->Title, QStringLiteral("Page 2"));
}

void TestMainForm::samePublicationFile_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<bool>("same");
    QTest::newRow("same existing file") << QStringLiteral("X.PUB") << QStringLiteral("./X.PUB") << true;
    QTest::newRow("two existing files differing in case") << QStringLiteral("X.PUB")
                                                          << QStringLiteral("x.pub") << false;
    QTest::newRow("missing names compare in any case") << QStringLiteral("GONE.PUB")
                                                       << QStringLiteral("gone.pub") << true;
    QTest::newRow("different names") << QStringLiteral("X.PUB") << QStringLiteral("GONE.PUB") << false;
}

void TestMainForm::samePublicationFile()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(bool, same);
    for (const char *name : {"X.PUB", "x.pub"}) {
        QFile f(mDir->filePath(QLatin1String(name)));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QCOMPARE(vardeko::samePublicationFile(mDir->filePath(a), mDir->filePath(b)), same);
}

void TestMainForm::unhandledErrors()
{
    QCOMPARE(unhandledErrorText(std::runtime_error("broken")), QStringLiteral("broken"));

    // An error escaping a command is shown and the program goes on.
    mForm->guarded([] { throw std::runtime_error("/x/MISSING.TXT: broken"); });
    QCOMPARE(mDialogs->alerts.size(), 1);
    QCOMPARE(mDialogs->alerts[0].title, QStringLiteral("Vardeko"));
    QCOMPARE(mDialogs->alerts[0].text, QStringLiteral("/x/MISSING.TXT: broken"));
}

void TestMainForm::preferencesDialogStoresOnlyOnOk()
{
    Preferences prefs;
    prefs.Undo = true;
    prefs.Mascot = QStringLiteral("KORRO");
    TSetPreferencesForm dialog(prefs);
    dialog.show();
    auto *undo = dialog.findChild<QCheckBox *>(QStringLiteral("UndoCheck"));
    QVERIFY(undo);
    QVERIFY(undo->isChecked());
    QTest::mouseClick(undo, Qt::LeftButton, {}, QPoint(6, undo->height() / 2));
    auto *beluno = dialog.findChild<QWidget *>(QStringLiteral("BELUNOPicture"));
    QVERIFY(beluno);
    QTest::mouseClick(beluno, Qt::LeftButton);

    Preferences stored = prefs;
    QCOMPARE(stored.Undo, true);
    auto *buttons = dialog.findChild<QDialogButtonBox *>();
    QSignalSpy accepted(&dialog, &QDialog::accepted);
    QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
    QCOMPARE(accepted.count(), 1);
    dialog.store(stored);
    QCOMPARE(stored.Undo, false);
    QCOMPARE(stored.Mascot, QStringLiteral("BELUNO"));
    // Values the dialog does not show pass through unchanged.
    QCOMPARE(stored.GridX, prefs.GridX);
    QCOMPARE(stored.EditorBkndColor, prefs.EditorBkndColor);
}

void TestMainForm::toolBarPicturesForEveryCommand()
{
    auto *bar = mForm->findChild<QToolBar *>(QStringLiteral("ToolBar"));
    QVERIFY(bar);
    int buttons = 0;
    for (QAction *action : bar->actions()) {
        if (action->isSeparator() || action->objectName().isEmpty())
            continue;
        ++buttons;
        const QIcon icon = action->icon();
        QVERIFY2(!icon.isNull(), qPrintable(action->objectName()));
        // Pictures, not words, and a disabled look that cannot pass for the enabled one.
        auto *button = qobject_cast<QToolButton *>(bar->widgetForAction(action));
        QVERIFY(button);
        QCOMPARE(button->toolButtonStyle(), Qt::ToolButtonIconOnly);
        const QImage normal = icon.pixmap(QSize(24, 24), QIcon::Normal).toImage().convertToFormat(QImage::Format_ARGB32);
        const QImage disabled = icon.pixmap(QSize(24, 24), QIcon::Disabled).toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(normal.size(), disabled.size());
        qint64 normalInk = 0, disabledInk = 0;
        bool greyOnly = true;
        for (int y = 0; y < normal.height(); ++y)
            for (int x = 0; x < normal.width(); ++x) {
                normalInk += qAlpha(normal.pixel(x, y));
                const QRgb d = disabled.pixel(x, y);
                disabledInk += qAlpha(d);
                greyOnly = greyOnly && (qAlpha(d) == 0 || (qRed(d) == qGreen(d) && qGreen(d) == qBlue(d)));
            }
        QVERIFY2(normalInk > 24 * 24 * 255 / 10, qPrintable(action->objectName()));
        QVERIFY2(disabledInk * 2 < normalInk, qPrintable(action->objectName()));
        QVERIFY2(greyOnly, qPrintable(action->objectName()));
    }
    // New, Open, Save, Undo, Cut, Copy, Paste, Delete, Edit Object, Bring to Front, Send to
    // Back, Align, Add Page, Page Attributes, Run, Exit and the five page buttons.
    QCOMPARE(buttons, 21);
    QVERIFY(!commandIcon(QStringLiteral("Stop")).isNull());
}

void TestMainForm::disabledCommandsSayWhy()
{
    const MainCommands &cmd = mForm->commands();
    mForm->closeAll();
    mForm->updateCommandStates();
    QVERIFY(!cmd.cut->isEnabled());
    QCOMPARE(cmd.cut->statusTip(), QStringLiteral("Cut: open or create a publication first"));
    TChildForm *child = mForm->newUntitled();
    Publication &pub = child->publication();
    mForm->updateCommandStates();
    QCOMPARE(cmd.cut->statusTip(), QStringLiteral("Cut: select one or more objects first"));
    QCOMPARE(cmd.firstPage->statusTip(), QStringLiteral("First Page: this is the first page"));
    child->showPage(pub.masterPage());
    QVERIFY(!cmd.addPage->isEnabled());
    QCOMPARE(cmd.addPage->statusTip(), QStringLiteral("Add Page: not on the master page"));
    child->showPage(pub.page(0));
    // Enabled, a command shows only its own tip.
    QVERIFY(cmd.addPage->isEnabled());
    QCOMPARE(cmd.addPage->statusTip(), QStringLiteral("Add Page"));
    QCOMPARE(cmd.spellSelection->statusTip(), QStringLiteral("Selected Objects: select one or more objects first"));
    pub.Modified = false;
}

void TestMainForm::firstStartPalettePlace_data()
{
    QTest::addColumn<QRect>("mainWindow");
    QTest::addColumn<QRect>("expectedMain");
    QTest::addColumn<QPoint>("palette");
    const QRect screen(0, 0, 1280, 1024);
    QTest::newRow("left margin") << QRect(200, 50, 900, 700) << QRect(200, 50, 900, 700) << QPoint(124, 100);
    QTest::newRow("right margin") << QRect(0, 50, 900, 700) << QRect(0, 50, 900, 700) << QPoint(911, 100);
    QTest::newRow("no margin") << QRect(64, 51, 1152, 921) << QRect(88, 51, 1128, 921) << QPoint(6, 100);
}

void TestMainForm::firstStartPalettePlace()
{
    QFETCH(QRect, mainWindow);
    QFETCH(QRect, expectedMain);
    QFETCH(QPoint, palette);
    const QSize size(64, 320);
    const FirstStartPlaces places = firstStartPlaces(QRect(0, 0, 1280, 1024), mainWindow, 100, size);
    QCOMPARE(places.mainWindow, expectedMain);
    QCOMPARE(places.toolPalette, palette);
    // The palette never covers the window.
    QVERIFY(!QRect(places.toolPalette, size).intersects(places.mainWindow));
}

namespace {

// A later start, as another process would make it: it waits for the running copy's
// answer, which this thread's event loop gives meanwhile.
bool startAgain(const QString &name, const QStringList &files = {}, QStringList *taken = nullptr)
{
    auto later = std::async(std::launch::async, [&] {
        SingleInstance instance(name);
        return instance.activateRunning(files, taken);
    });
    while (later.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return later.get();
}

} // namespace

void TestMainForm::secondStartActivatesFirst()
{
    const QString name = QStringLiteral("vardeko-shell-test-%1").arg(QCoreApplication::applicationPid());
    SingleInstance first(name);
    // Nobody runs yet: the first start becomes the running copy.
    QVERIFY(!first.activateRunning());
    QVERIFY(first.listen());
    QSignalSpy raised(&first, &SingleInstance::activationRequested);

    QSignalSpy handed(&first, &SingleInstance::filesRequested);

    SingleInstance second(name);
    QVERIFY(!second.listen());
    QVERIFY(startAgain(name));
    QCOMPARE(raised.count(), 1);
    QCOMPARE(handed.count(), 0);

    // Files go over made absolute, in order, whatever characters their names hold.
    const QString odd = mDir->filePath(QStringLiteral("two\nlines %20 \u00fc.PUB"));
    const QString relative = QDir::current().relativeFilePath(mDir->filePath(QStringLiteral("A.PUB")));
    QStringList taken;
    QVERIFY(startAgain(name, {relative, odd}, &taken));
    QCOMPARE(taken, (QStringList{mDir->filePath(QStringLiteral("A.PUB")), odd}));
    QCOMPARE(handed.count(), 1);
    QCOMPARE(handed.at(0).at(0).toStringList(),
             (QStringList{mDir->filePath(QStringLiteral("A.PUB")), odd}));

    // A stranger's bytes without the closing line open nothing and raise nothing.
    QLocalSocket stranger;
    stranger.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
    stranger.connectToServer(name);
    QVERIFY(stranger.waitForConnected(1000));
    stranger.write("open file:///etc/passwd\nhello\n");
    stranger.waitForBytesWritten(1000);
    stranger.disconnectFromServer();
    QTest::qWait(100);
    QCOMPARE(raised.count(), 2);
    QCOMPARE(handed.count(), 1);
}

void TestMainForm::singleInstanceNamePerDisplay_data()
{
    QTest::addColumn<QString>("platform");
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("otherPlatform");
    QTest::addColumn<QString>("otherDisplay");
    QTest::addColumn<uint>("otherUid");
    QTest::addColumn<bool>("same");
    const QString x = QStringLiteral("xcb");
    const QString w = QStringLiteral("wayland");
    QTest::newRow("same X display") << x << ":0" << x << ":0" << 1000u << true;
    QTest::newRow("screen number ignored") << x << ":0" << x << ":0.1" << 1000u << true;
    QTest::newRow("unix host is local") << x << "unix:0" << x << ":0" << 1000u << true;
    QTest::newRow("other X display") << x << ":0" << x << ":97" << 1000u << false;
    QTest::newRow("forwarded display") << x << ":10" << x << "localhost:10" << 1000u << false;
    QTest::newRow("other user") << x << ":0" << x << ":0" << 1001u << false;
    QTest::newRow("wayland sockets") << w << "wayland-0" << w << "wayland-1" << 1000u << false;
    QTest::newRow("wayland default") << w << "" << w << "wayland-0" << 1000u << true;
    QTest::newRow("X beside wayland") << x << ":0" << w << "wayland-0" << 1000u << false;
    QTest::newRow("odd characters kept apart") << x << "h/st:1" << x << "h_st:1" << 1000u << false;
}

void TestMainForm::singleInstanceNamePerDisplay()
{
    QFETCH(QString, platform);
    QFETCH(QString, display);
    QFETCH(QString, otherPlatform);
    QFETCH(QString, otherDisplay);
    QFETCH(uint, otherUid);
    QFETCH(bool, same);
    auto name = [](uint uid, const QString &p, const QString &d) {
        return p == QLatin1String("xcb") ? singleInstanceName(uid, p, d, QStringLiteral("wayland-9"))
                                         : singleInstanceName(uid, p, QStringLiteral(":9"), d);
    };
    const QString one = name(1000, platform, display);
    const QString two = name(otherUid, otherPlatform, otherDisplay);
    QCOMPARE(one == two, same);
    // Short enough for a socket name, and free of path separators.
    QVERIFY(one.size() < 100);
    QVERIFY(!one.contains(u'/'));
}

void TestMainForm::startOnAnotherDisplayRunsItsOwn()
{
    const QString here = singleInstanceName(4242, QStringLiteral("xcb"), QStringLiteral(":97"), {})
                         + QString::number(QCoreApplication::applicationPid());
    const QString there = singleInstanceName(4242, QStringLiteral("xcb"), QStringLiteral(":98"), {})
                          + QString::number(QCoreApplication::applicationPid());
    SingleInstance first(here);
    QVERIFY(first.listen());
    QSignalSpy handed(&first, &SingleInstance::filesRequested);
    // A start on the other display finds nobody and becomes that display's editor.
    SingleInstance other(there);
    QVERIFY(!startAgain(there, {mDir->filePath(QStringLiteral("A.PUB"))}));
    QVERIFY(other.listen());
    QCOMPARE(handed.count(), 0);
    // A start on the first display is answered, and learns which names were taken.
    QStringList taken;
    QVERIFY(startAgain(here, {mDir->filePath(QStringLiteral("B.PUB"))}, &taken));
    QCOMPARE(taken, QStringList{mDir->filePath(QStringLiteral("B.PUB"))});
    QCOMPARE(handed.count(), 1);
}

void TestMainForm::handedFilesOpenInTheRunningEditor()
{
    const QString a = writeSample(QStringLiteral("HANDA.PUB"));
    const QString b = writeSample(QStringLiteral("HANDB.PUB"));
    mForm->openRequestedFiles({a, mDir->filePath(QStringLiteral("MISSING.PUB")), b});
    QCOMPARE(mForm->childForms().size(), 2);
    QCOMPARE(mDialogs->alerts.size(), 1);
    // Handing an open file again only activates it.
    mForm->openRequestedFiles({a});
    QCOMPARE(mForm->childForms().size(), 2);
    QCOMPARE(mForm->activeChild()->fileName(), a);
    for (TChildForm *child : mForm->childForms())
        child->publication().Modified = false;
    mForm->closeAll();
}

void TestMainForm::droppedPublicationsOpen()
{
    const QString a = writeSample(QStringLiteral("DROP.PUB"));
    const QString text = mDir->filePath(QStringLiteral("NOTE.TXT"));
    {
        QFile f(text);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    const QList<QUrl> urls{QUrl::fromLocalFile(text), QUrl::fromLocalFile(a)};
    mForm->dropFiles(urls);
    QCOMPARE(mForm->childForms().size(), 1);
    QCOMPARE(mForm->childForms().first()->fileName(), a);
    QVERIFY(mDialogs->alerts.isEmpty());

    // Dropped again, it only comes to the front.
    mForm->dropFiles(urls);
    QCOMPARE(mForm->childForms().size(), 1);
}

void TestMainForm::editorMessages_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("firstLine");
    QTest::newRow("image editor takes an") << QStringLiteral("NewImage1") << QStringLiteral("Image Editor")
                                           << QStringLiteral("You have not specified an Image Editor. Check");
    QTest::newRow("sound editor takes a") << QStringLiteral("NewSound1") << QStringLiteral("Sound Editor")
                                          << QStringLiteral("You have not specified a Sound Editor. Check");
    QTest::newRow("article uses the text editor") << QStringLiteral("NewArticle1")
                                                  << QStringLiteral("Text Editor")
                                                  << QStringLiteral("You have not specified a Text Editor. Check");
}

void TestMainForm::editorMessages()
{
    QFETCH(QString, command);
    QFETCH(QString, title);
    QFETCH(QString, firstLine);
    mForm->newUntitled();
    Preferences &prefs = mForm->preferences();
    prefs.TextEditor.clear();
    prefs.ImageEditor.clear();
    prefs.SoundEditor.clear();
    mForm->findChild<QAction *>(command)->trigger();
    QCOMPARE(mDialogs->alerts.size(), 1);
    QCOMPARE(mDialogs->alerts[0].title, title);
    QCOMPARE(mDialogs->alerts[0].text,
             firstLine + QStringLiteral("\nthe Utilies Page under Set Preferences in the\nOptions menu."));

    // A program that cannot be started is reported, not passed over.
    mDialogs->alerts.clear();
    prefs.TextEditor = prefs.ImageEditor = prefs.SoundEditor = mDir->filePath(QStringLiteral("no-such-editor"));
    mForm->findChild<QAction *>(command)->trigger();
    QCOMPARE(mDialogs->alerts.size(), 1);
    QVERIFY(mDialogs->alerts[0].text.contains(QStringLiteral("no-such-editor")));
}

void TestMainForm::createEditListsSelectedFiles()
{
    Publication pub;
    Page &page = *pub.page(0);
    page.PageWallPaper = QStringLiteral("WALL.BMP");
    auto add = [&](int kind, bool selected) {
        ObjectPtr object = pub.createObject(kind);
        object->Selected = selected;
        PageObject *raw = object.get();
        insertObject(page.Objects, std::move(object), nullptr);
        return raw;
    };
    add(PictureKind, true)->picture()->FileName = QStringLiteral("PIC.BMP");
    add(PictureKind, false)->picture()->FileName = QStringLiteral("OTHER.BMP");
    add(ArticleKind, true)->article()->FileName = QStringLiteral("STORY.TXT");
    PageObject *button = add(ButtonKind, true);
    button->button()->UpImage = QStringLiteral("pic.bmp"); // same file as PIC.BMP
    button->button()->DownImage = QStringLiteral("DOWN.BMP");

    const QList<EditableFile> files = editableFiles(page);
    QStringList names;
    for (const EditableFile &f : files)
        names.append(f.name + QLatin1Char(':') + QString::number(f.kind));
    QCOMPARE(names, (QStringList{QStringLiteral("PIC.BMP:2"), QStringLiteral("STORY.TXT:1"),
                                 QStringLiteral("DOWN.BMP:2"), QStringLiteral("WALL.BMP:2")}));
}

void TestMainForm::draggingPageTabMovesPage_data()
{
    QTest::addColumn<int>("fromTab");
    QTest::addColumn<int>("toTab");
    QTest::addColumn<QStringList>("order");
    // Tab 0 is the master page, tabs 1 to 4 are pages 1 to 4.
    QTest::newRow("to the left goes before the target")
        << 4 << 2 << QStringList{QStringLiteral("Page One"), QStringLiteral("Page 4"),
                                 QStringLiteral("Page 2"), QStringLiteral("Page 3")};
    QTest::newRow("to the right goes after the target")
        << 1 << 3 << QStringList{QStringLiteral("Page 2"), QStringLiteral("Page 3"),
                                 QStringLiteral("Page One"), QStringLiteral("Page 4")};
    QTest::newRow("onto the first page")
        << 3 << 1 << QStringList{QStringLiteral("Page 3"), QStringLiteral("Page One"),
                                 QStringLiteral("Page 2"), QStringLiteral("Page 4")};
    QTest::newRow("onto the master page does nothing")
        << 2 << 0 << QStringList{QStringLiteral("Page One"), QStringLiteral("Page 2"),
                                 QStringLiteral("Page 3"), QStringLiteral("Page 4")};
    QTest::newRow("the master page does not move")
        << 0 << 3 << QStringList{QStringLiteral("Page One"), QStringLiteral("Page 2"),
                                 QStringLiteral("Page 3"), QStringLiteral("Page 4")};
}

void TestMainForm::draggingPageTabMovesPage()
{
    QFETCH(int, fromTab);
    QFETCH(int, toTab);
    QFETCH(QStringList, order);
    TChildForm *child = mForm->openPublication(writeSample(QStringLiteral("MOVE.PUB"), 4));
    QVERIFY(child);
    QTabBar *tabs = mForm->pageTabs();
    const QString dragged = tabs->tabText(fromTab);
    QTest::mousePress(tabs, Qt::LeftButton, {}, tabs->tabRect(fromTab).center());
    QTest::mouseRelease(tabs, Qt::LeftButton, {}, tabs->tabRect(toTab).center());
    const Publication &pub = child->publication();
    QStringList titles;
    for (int i = 0; i < pub.pageCount(); ++i)
        titles.append(pub.page(i)->Title);
    QCOMPARE(titles, order);
    const bool moved = fromTab != 0 && toTab != 0;
    QCOMPARE(pub.Modified, moved);
    QCOMPARE(tabs->tabText(1), order.first());
    if (moved)
        QCOMPARE(pub.currentPage()->Title, dragged);
}

void TestMainForm::floatingWindowsFollowMenusAndPreferences()
{
    FloatingWindows *floating = mForm->floatingWindows();
    TMouseForm *mouse = floating->mouseForm();
    TFileInspectorForm *files = floating->fileList();
    QAction *showMouse = mForm->findChild<QAction *>(QStringLiteral("ShowMousePos1"));
    QAction *showFiles = mForm->findChild<QAction *>(QStringLiteral("ShowFileList1"));
    QVERIFY(showMouse->isEnabled() && showFiles->isEnabled());
    QVERIFY(!mouse->isVisible() && !files->isVisible());

    mForm->preferences().PubDir = mDir->path();
    showMouse->trigger();
    showFiles->trigger();
    QVERIFY(mouse->isVisible() && files->isVisible());
    QVERIFY(mForm->preferences().ShowMousePos && mForm->preferences().ShowFileList);
    // Without a publication the file selector starts in the remembered publication folder.
    QCOMPARE(files->directory(), QDir::cleanPath(mDir->path()));

    // The editor's read-out reaches the mouse window.
    TChildForm *child = mForm->openPublication(writeSample(QStringLiteral("MOUSE.PUB")));
    QVERIFY(child);
    QWidget *area = child->pageView()->viewport();
    const QPoint offset = child->pageView()->pageOffset();
    QTest::mouseMove(area, offset + QPoint(30, 40));
    QCOMPARE(mouse->caption(), QStringLiteral("Mouse Position"));
    QCOMPARE(mouse->valuesText(), QStringLiteral("30,40"));

    // Closing a window with its close box unchecks its item.
    mouse->close();
    QVERIFY(!showMouse->isChecked());
    QVERIFY(!mForm->preferences().ShowMousePos);

    // Places and folding go into the preferences and come back from them.
    mForm->editCommands()->toolPalette()->move(120, 130);
    mForm->editCommands()->toolPalette()->setExpanded(false);
    files->setRolledUp(true);
    mouse->move(70, 80);
    mForm->storePreferences();
    const Preferences &stored = mForm->preferences();
    QCOMPARE(stored.ToolPalettePos, mForm->editCommands()->toolPalette()->pos());
    QVERIFY(!stored.ToolPaletteExpanded);
    QVERIFY(stored.FileListRolledUp);
    QCOMPARE(stored.MouseWindowPos, mouse->pos());
    child->publication().Modified = false;

    TMainForm second;
    second.setDialogs(std::make_unique<FakeDialogs>());
    second.show();
    QVERIFY(QTest::qWaitForWindowExposed(&second));
    QTRY_VERIFY(second.floatingWindows()->fileList()->isVisible());
    QVERIFY(second.findChild<QAction *>(QStringLiteral("ShowFileList1"))->isChecked());
    QVERIFY(!second.floatingWindows()->mouseForm()->isVisible());
    QVERIFY(second.floatingWindows()->fileList()->isRolledUp());
    QVERIFY(!second.editCommands()->toolPalette()->isExpanded());
    QCOMPARE(second.preferences().ToolPalettePos, stored.ToolPalettePos);
    QCOMPARE(second.preferences().MouseWindowPos, stored.MouseWindowPos);
}

void TestMainForm::fileListDragMakesObjectsInListOrder()
{
    for (const char *name : {"one.txt", "two.txt", "three.txt"}) {
        QFile file(mDir->filePath(QLatin1String(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    TChildForm *child = mForm->openPublication(writeSample(QStringLiteral("DROP.PUB")));
    QVERIFY(child);
    TFileInspectorForm *files = mForm->floatingWindows()->fileList();
    QVERIFY(files->setDirectory(mDir->path()));
    files->setFileType(3); // text
    FileListModel *model = files->model();
    QCOMPARE(model->rowCount(), 3);
    // Picked bottom first: the drag still carries them in list order.
    QItemSelectionModel *selection = files->listView()->selectionModel();
    for (int row : {2, 0, 1})
        selection->select(model->index(row), QItemSelectionModel::Select);
    std::unique_ptr<QMimeData> data(model->mimeData(selection->selectedIndexes()));
    QVERIFY(data);

    QWidget *area = child->pageView()->viewport();
    const QPoint at = child->pageView()->pageOffset() + QPoint(100, 60);
    QDragEnterEvent enter(at, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(area, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(area, &drop);

    const auto &objects = child->publication().currentPage()->Objects;
    QCOMPARE(int(objects.size()), 3);
    const QStringList order{QStringLiteral("one.txt"), QStringLiteral("three.txt"),
                            QStringLiteral("two.txt")};
    for (int i = 0; i < 3; ++i) {
        const PageObject &object = *objects[i];
        QVERIFY(object.article());
        QCOMPARE(QFileInfo(object.article()->FileName).fileName(), order[i]);
        QCOMPARE(object.box().topLeft(), QPoint(100 + 8 * i, 60 + 8 * i));
        QCOMPARE(object.box().size(), QSize(250, 300));
    }
    QVERIFY(child->publication().Modified);
}

void TestMainForm::imageDroppedOnPageTabBecomesWallpaper()
{
    const QString picture = mDir->filePath(QStringLiteral("TILE.PNG"));
    QImage tile(8, 8, QImage::Format_RGB32);
    tile.fill(Qt::red);
    QVERIFY(tile.save(picture));
    const QString text = mDir->filePath(QStringLiteral("NOTES.TXT"));
    QFile(text).open(QIODevice::WriteOnly);
    TChildForm *child = mForm->openPublication(writeSample(QStringLiteral("TABS.PUB"), 3));
    QVERIFY(child);
    QTabBar *tabs = mForm->pageTabs();
    const int tab = 2; // after the master page's tab: the second page
    QCOMPARE(tabs->tabText(tab), QStringLiteral("Page 2"));

    auto dropOn = [&](const QString &file) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(file)});
        const QPoint at = tabs->tabRect(tab).center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(tabs, &enter);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(tabs, &drop);
        return enter.isAccepted();
    };
    QVERIFY(dropOn(text));
    const Page *page = child->publication().page(1);
    QVERIFY(page->PageWallPaper.isEmpty());
    QVERIFY(!child->publication().Modified);

    QVERIFY(dropOn(picture));
    QCOMPARE(page->PageWallPaper, picture);
    QCOMPARE(page->PageStyle, quint8(1));
    QVERIFY(child->publication().Modified);
    QCOMPARE(child->publication().currentPage(), child->publication().page(0));
}

void TestMainForm::actionPaletteTabKeptBetweenRuns()
{
    // No stored value: the palette opens on its first tab.
    QCOMPARE(TActionPalette::rememberedTab(), int(TActionPalette::BasicTab));
    {
        TActionPalette palette;
        QCOMPARE(palette.tab(), int(TActionPalette::BasicTab));
        palette.setTab(TActionPalette::AdvancedTab);
    }
    mForm->storePreferences();
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Sarquel"),
                       QStringLiteral("Vardeko"));
    QCOMPARE(settings.value(QStringLiteral("ActionPalette")).toInt(), 1);

    // The next run opens the palette where the last one left it.
    TActionPalette::setRememberedTab(TActionPalette::BothTab);
    {
        TMainForm next;
        next.setDialogs(std::make_unique<FakeDialogs>());
        next.show();
        QCOMPARE(TActionPalette::rememberedTab(), int(TActionPalette::AdvancedTab));
        TActionPalette palette;
        QCOMPARE(palette.tab(), int(TActionPalette::AdvancedTab));
    }
    // A stored value out of range opens the nearest tab.
    settings.setValue(QStringLiteral("ActionPalette"), 7);
    settings.sync();
    {
        TMainForm next;
        next.setDialogs(std::make_unique<FakeDialogs>());
        next.show();
        QCOMPARE(TActionPalette::rememberedTab(), int(TActionPalette::BothTab));
    }
}
