// Tests of the object dialogs, the action memo and Adjust Object, driven as an author would.
#include "actionmemo.h"
#include "dialoghost.h"
#include "objectdialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QToolButton>

#include <functional>

using namespace vardeko;

namespace {

// Answers the dialogs' questions from queues and records what was asked.
class FakeHost : public DialogHost
{
public:
    struct Question
    {
        QString kind, title, dir, filter, text;
    };
    QStringList fileAnswers;
    QList<bool> confirmAnswers;
    QList<Question> asked;
    QString folders[3];

    QString openFileName(QWidget *, const QString &title, const QString &dir,
                         const QString &filter) override
    {
        asked.append({"open", title, dir, filter, {}});
        return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
    }
    QString saveFileName(QWidget *, const QString &title, const QString &dir,
                         const QString &filter) override
    {
        asked.append({"save", title, dir, filter, {}});
        return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
    }
    bool confirm(QWidget *, const QString &title, const QString &text) override
    {
        asked.append({"confirm", title, {}, {}, text});
        return confirmAnswers.isEmpty() ? false : confirmAnswers.takeFirst();
    }
    void alert(QWidget *, const QString &title, const QString &text) override
    {
        asked.append({"alert", title, {}, {}, text});
    }
    QString folder(DialogFolder which) const override { return folders[int(which)]; }
    void setFolder(DialogFolder which, const QString &dir) override { folders[int(which)] = dir; }
};

template<class T> T *child(QWidget *w, const char *name)
{
    T *c = w->findChild<T *>(QLatin1String(name));
    if (!c)
        qWarning("missing child %s", name);
    return c;
}

// Lays out what changed visibility first, then clicks near the left end, where check
// boxes and radio buttons have their mark (wide ones ignore clicks beyond their text).
void click(QWidget *w)
{
    QCoreApplication::sendPostedEvents();
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(qMin(8, w->width() / 2), w->height() / 2));
}

void clickOk(QWidget *dialog)
{
    QTest::mouseClick(child<QPushButton>(dialog, "OkBtn"), Qt::LeftButton);
}

void clickCancel(QWidget *dialog)
{
    QTest::mouseClick(child<QPushButton>(dialog, "CancelBtn"), Qt::LeftButton);
}

// Runs `act` on the modal dialog once it is open; closes it whatever happens.
void whenModal(std::function<void(QWidget *)> act)
{
    QTimer::singleShot(0, [act] {
        QWidget *w = QApplication::activeModalWidget();
        if (!w) {
            qWarning("no modal dialog");
            return;
        }
        act(w);
        if (w->isVisible())
            static_cast<QDialog *>(w)->reject();
    });
}

PageObject &addObject(Publication &pub, int kind, const QRect &box, bool selected = false)
{
    ObjectPtr o = pub.createObject(kind);
    o->X1 = box.left();
    o->Y1 = box.top();
    o->X2 = box.left() + box.width();
    o->Y2 = box.top() + box.height();
    o->Selected = selected;
    PageObject &ref = *o;
    insertObject(pub.currentPage()->Objects, std::move(o), nullptr);
    return ref;
}

QRect boxOf(const PageObject &o)
{
    return QRect(o.X1, o.Y1, o.X2 - o.X1, o.Y2 - o.Y1);
}

} // namespace

class TestObjectDialogs : public QObject
{
    Q_OBJECT

    FakeHost mHost;

private slots:
    void init()
    {
        mHost = FakeHost();
        setDialogHost(&mHost);
    }
    void cleanup() { setDialogHost(nullptr); }

    // --- Title Attributes

    void titleOkStoresTextAndAlignment()
    {
        TextData data;
        data.Text = "First|Second";
        data.Align = AlignCenterValue;
        TitleAttributesDialog dialog(data);
        QCOMPARE(dialog.windowTitle(), QString("Title Attributes"));
        auto *memo = child<QPlainTextEdit>(&dialog, "TextMemo");
        QCOMPARE(memo->toPlainText(), QString("First\nSecond"));
        QVERIFY(child<QRadioButton>(&dialog, "CenterBtn")->isChecked());

        memo->selectAll();
        QTest::keyClicks(memo, "One");
        QTest::keyClick(memo, Qt::Key_Return);
        QTest::keyClicks(memo, "Two");
        click(child<QRadioButton>(&dialog, "RightBtn"));
        clickOk(&dialog);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(data.Text, QString("One|Two"));
        QCOMPARE(data.Align, quint8(AlignRightValue));
    }

    void titleOfBlanksCountsAsEmpty_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("spaces") << "   ";
        QTest::newRow("blank lines") << " \n \n";
        QTest::newRow("pasted tab") << "\t ";
    }

    void titleOfBlanksCountsAsEmpty()
    {
        QFETCH(QString, typed);
        TextData data;
        data.Text = "Old";
        TitleAttributesDialog dialog(data);
        auto *memo = child<QPlainTextEdit>(&dialog, "TextMemo");
        memo->setPlainText(typed);
        clickOk(&dialog);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(data.Text.isEmpty());
    }

    void titleTabMovesFocus()
    {
        TextData data;
        data.Text = "Hello";
        TitleAttributesDialog dialog(data);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto *memo = child<QPlainTextEdit>(&dialog, "TextMemo");
        memo->setFocus();
        QTest::keyClick(memo, Qt::Key_Tab);
        QCOMPARE(memo->toPlainText(), QString("Hello"));
        QVERIFY(!memo->hasFocus());
        clickOk(&dialog);
        QCOMPARE(data.Text, QString("Hello"));
    }

    void titleShowsLeftForUnknownAlignment()
    {
        TextData data;
        data.Align = 7;
        TitleAttributesDialog dialog(data);
        QVERIFY(child<QRadioButton>(&dialog, "LeftBtn")->isChecked());
        clickOk(&dialog);
        QCOMPARE(data.Align, quint8(AlignLeftValue));
    }

    void titleCancelChangesNothing()
    {
        TextData data;
        data.Text = "Keep|me";
        data.Align = AlignRightValue;
        TitleAttributesDialog dialog(data);
        auto *memo = child<QPlainTextEdit>(&dialog, "TextMemo");
        memo->selectAll();
        QTest::keyClicks(memo, "Gone");
        click(child<QRadioButton>(&dialog, "LeftBtn"));
        clickCancel(&dialog);
        QCOMPARE(data.Text, QString("Keep|me"));
        QCOMPARE(data.Align, quint8(AlignRightValue));
    }

    void titleSpecialCodesInsertAtTheCaret_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("code");
        QTest::newRow("page title") << "Page Title"
                                    << "[PageTitle]";
        QTest::newRow("page number") << "Page Number"
                                     << "[PageNumber]";
        QTest::newRow("time") << "Time"
                              << "[Time]";
        QTest::newRow("short date") << "Date (Short Format)"
                                    << "[DateShort]";
        QTest::newRow("long date") << "Date (Long Format)"
                                   << "[DateLong]";
        QTest::newRow("month") << "Month"
                               << "[Month]";
        QTest::newRow("month number") << "Month (Number)"
                                      << "[MonthNum]";
        QTest::newRow("day") << "Day"
                             << "[Day]";
        QTest::newRow("day number") << "Day (Number)"
                                    << "[DayNum]";
        QTest::newRow("year") << "Year"
                              << "[Year]";
        QTest::newRow("variable") << "Author Defined Variable"
                                  << "[VariableName]";
    }

    void titleSpecialCodesInsertAtTheCaret()
    {
        QFETCH(QString, item);
        QFETCH(QString, code);
        TextData data;
        data.Text = "Page  of all";
        TitleAttributesDialog dialog(data);
        auto *memo = child<QPlainTextEdit>(&dialog, "TextMemo");
        QTextCursor cursor = memo->textCursor();
        cursor.setPosition(5);
        memo->setTextCursor(cursor);
        auto *button = child<QPushButton>(&dialog, "SpecialBtn");
        QCOMPARE(button->text(), QString("Insert special text code"));
        QMenu *menu = button->menu();
        QVERIFY(menu);
        QCOMPARE(menu->actions().size(), 11);
        QAction *action = nullptr;
        for (QAction *a : menu->actions()) {
            if (a->text() == item)
                action = a;
        }
        QVERIFY2(action, qPrintable(item));
        action->trigger();
        clickOk(&dialog);
        QCOMPARE(data.Text, "Page " + code + " of all");
    }

    void clearedTitleIsRemovedOnOk()
    {
        Publication pub;
        PageObject &below = addObject(pub, RectangleKind, QRect(0, 0, 10, 10));
        PageObject &title = addObject(pub, TextKind, QRect(20, 20, 50, 16));
        title.text()->Text = "Hello";
        whenModal([](QWidget *w) {
            child<QPlainTextEdit>(w, "TextMemo")->clear();
            clickOk(w);
        });
        QVERIFY(editObject(nullptr, pub, title, QRect(20, 20, 50, 16)));
        QVERIFY(textObjectRemoved());
        QCOMPARE(pub.currentPage()->Objects.size(), size_t(1));
        QCOMPARE(pub.currentPage()->Objects.front().get(), &below);
        QVERIFY(pub.Modified);
    }

    void clearedTitleStaysOnCancel()
    {
        Publication pub;
        PageObject &title = addObject(pub, TextKind, QRect(20, 20, 50, 16));
        title.text()->Text = "Hello";
        whenModal([](QWidget *w) {
            child<QPlainTextEdit>(w, "TextMemo")->clear();
            clickCancel(w);
        });
        QVERIFY(!editObject(nullptr, pub, title, QRect()));
        QVERIFY(!textObjectRemoved());
        QCOMPARE(pub.currentPage()->Objects.size(), size_t(1));
        QCOMPARE(title.text()->Text, QString("Hello"));
        QVERIFY(!pub.Modified);
    }

    void editedTitleInAGroupOnTheMasterPageIsFound()
    {
        Publication pub;
        ObjectPtr group = pub.createObject(GroupKind);
        ObjectPtr member = pub.createObject(TextKind);
        member->text()->Text = "x";
        PageObject &title = *member;
        insertObject(group->Members, std::move(member), nullptr);
        PageObject &groupRef = *group;
        insertObject(pub.masterPage()->Objects, std::move(group), nullptr);
        whenModal([](QWidget *w) {
            child<QPlainTextEdit>(w, "TextMemo")->clear();
            clickOk(w);
        });
        QVERIFY(editObject(nullptr, pub, title, QRect()));
        QVERIFY(textObjectRemoved());
        QVERIFY(groupRef.Members.empty());
    }

    // --- Article and Image Attributes

    void articleFieldsMapBothWays_data()
    {
        QTest::addColumn<int>("flags");
        QTest::addColumn<int>("vpos");
        QTest::addColumn<int>("hpos");
        QTest::addColumn<bool>("vert");
        QTest::addColumn<bool>("horz");
        QTest::addColumn<bool>("left");
        QTest::addColumn<bool>("top");
        QTest::newRow("no bars") << 0 << 4 << 1 << false << false << false << false;
        QTest::newRow("vertical at the left") << 0x10 << 1 << 1 << true << false << true << false;
        QTest::newRow("both, top and right") << 0x30 << 4 << 8 << true << true << false << true;
        QTest::newRow("other bits kept") << 0x31 << 1 << 8 << true << true << true << true;
    }

    void articleFieldsMapBothWays()
    {
        QFETCH(int, flags);
        QFETCH(int, vpos);
        QFETCH(int, hpos);
        QFETCH(bool, vert);
        QFETCH(bool, horz);
        QFETCH(bool, left);
        QFETCH(bool, top);
        ArticleData data;
        data.FileName = "STORY.TXT";
        data.WordWrap = false;
        data.ReformatNeeded = false;
        data.WindowFlags = quint8(flags);
        data.VScrollPos = quint8(vpos);
        data.HScrollPos = quint8(hpos);
        {
            WindowAttributesDialog dialog(data, QString());
            dialog.show();
            dialog.show();
            QCOMPARE(dialog.windowTitle(), QString("Article Attributes"));
            QCOMPARE(child<QLineEdit>(&dialog, "FName")->text(), QString("STORY.TXT"));
            QVERIFY(!child<QCheckBox>(&dialog, "WordWrapBtn")->isChecked());
            QCOMPARE(child<QCheckBox>(&dialog, "VertScrollBtn")->isChecked(), vert);
            QCOMPARE(child<QCheckBox>(&dialog, "HorzScrollBtn")->isChecked(), horz);
            QCOMPARE(child<QRadioButton>(&dialog, "LeftBtn")->isChecked(), left);
            QCOMPARE(child<QRadioButton>(&dialog, "TopBtn")->isChecked(), top);
            clickOk(&dialog);
        }
        // OK with nothing changed gives the same fields back, plus a fresh layout.
        QCOMPARE(int(data.WindowFlags), flags);
        QCOMPARE(int(data.VScrollPos), vpos);
        QCOMPARE(int(data.HScrollPos), hpos);
        QVERIFY(data.ReformatNeeded);
        QVERIFY(!data.WordWrap);
    }

    void articleOkStoresChanges()
    {
        ArticleData data;
        data.ReformatNeeded = false;
        WindowAttributesDialog dialog(data, QString());
        dialog.show();
        auto *name = child<QLineEdit>(&dialog, "FName");
        name->clear();
        QTest::keyClicks(name, "NEWS.TXT");
        click(child<QCheckBox>(&dialog, "WordWrapBtn"));
        click(child<QCheckBox>(&dialog, "HorzScrollBtn"));
        click(child<QRadioButton>(&dialog, "TopBtn"));
        click(child<QRadioButton>(&dialog, "LeftBtn"));
        clickOk(&dialog);
        QCOMPARE(data.FileName, QString("NEWS.TXT"));
        QVERIFY(!data.WordWrap);
        QCOMPARE(data.WindowFlags, quint8(0x30));
        QCOMPARE(data.HScrollPos, quint8(8));
        QCOMPARE(data.VScrollPos, quint8(1));
        QVERIFY(data.ReformatNeeded);
    }

    void articleCancelChangesNothing()
    {
        ArticleData data;
        data.FileName = "A.TXT";
        data.ReformatNeeded = false;
        WindowAttributesDialog dialog(data, QString());
        dialog.show();
        child<QLineEdit>(&dialog, "FName")->setText("B.TXT");
        click(child<QCheckBox>(&dialog, "VertScrollBtn"));
        clickCancel(&dialog);
        QCOMPARE(data.FileName, QString("A.TXT"));
        QCOMPARE(data.WindowFlags, quint8(0x10));
        QVERIFY(!data.ReformatNeeded);
    }

    void articleBrowseStartsInTheFilesFolder()
    {
        QTemporaryDir dir;
        QFile file(dir.filePath("text/STORY.TXT"));
        QVERIFY(QDir(dir.path()).mkpath("text"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        mHost.folders[int(DialogFolder::Articles)] = "/last/articles";
        mHost.fileAnswers = {dir.filePath("text/OTHER.TXT"), QString()};

        ArticleData data;
        data.FileName = "text\\story.txt";
        WindowAttributesDialog dialog(data, dir.path());
        dialog.show();
        QTest::mouseClick(child<QPushButton>(&dialog, "BrowseBtn"), Qt::LeftButton);
        QCOMPARE(mHost.asked.size(), 1);
        QCOMPARE(mHost.asked[0].title, QString("Select an Article"));
        QCOMPARE(mHost.asked[0].filter, QString("Text|*.TXT;*.DOC"));
        QCOMPARE(mHost.asked[0].dir, QDir(dir.filePath("text")).absolutePath());
        QCOMPARE(child<QLineEdit>(&dialog, "FName")->text(), dir.filePath("text/OTHER.TXT"));

        // Empty field: the folder last used; a cancelled choice leaves the field.
        child<QLineEdit>(&dialog, "FName")->clear();
        QTest::mouseClick(child<QPushButton>(&dialog, "BrowseBtn"), Qt::LeftButton);
        QCOMPARE(mHost.asked[1].dir, QString("/last/articles"));
        QVERIFY(child<QLineEdit>(&dialog, "FName")->text().isEmpty());
    }

    void imageAspectFollowsSizeToFit()
    {
        PictureData data;
        data.Scale = true;
        data.AspectRatio = true;
        WindowAttributesDialog dialog(data, QString());
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QString("Image Attributes"));
        auto *fit = child<QCheckBox>(&dialog, "SizeToFitBtn");
        auto *aspect = child<QCheckBox>(&dialog, "Aspectbtn");
        QVERIFY(aspect->isEnabled());
        QVERIFY(aspect->isChecked());
        QTest::mouseClick(fit, Qt::LeftButton);
        QVERIFY(!aspect->isEnabled());
        clickOk(&dialog);
        QVERIFY(!data.Scale);
        QVERIFY(!data.AspectRatio);
    }

    void imageBrowseRemembersTheFolder()
    {
        mHost.folders[int(DialogFolder::Images)] = "/pictures";
        mHost.fileAnswers = {"/elsewhere/art/SUN.PCX"};
        PictureData data;
        WindowAttributesDialog dialog(data, QString());
        dialog.show();
        QTest::mouseClick(child<QPushButton>(&dialog, "BrowseBtn"), Qt::LeftButton);
        QCOMPARE(mHost.asked[0].title, QString("Select an Image"));
        QCOMPARE(mHost.asked[0].filter,
                 QString("Images|*.BMP;*.GIF;*.PCX;*.PNG;*.JPG;*.TIF;*.ICO;*.WMF|Flics|*.FLI;*."
                         "FLC"));
        QCOMPARE(mHost.asked[0].dir, QString("/pictures"));
        QCOMPARE(mHost.folders[int(DialogFolder::Images)], QString("/elsewhere/art"));
        click(child<QCheckBox>(&dialog, "VertScrollBtn"));
        clickOk(&dialog);
        QCOMPARE(data.FileName, QString("/elsewhere/art/SUN.PCX"));
        QCOMPARE(data.WindowFlags, quint8(0x10));
    }

    void editObjectOpensTheKindsDialog_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("caption");
        QTest::newRow("article") << int(ArticleKind) << "Article Attributes";
        QTest::newRow("picture") << int(PictureKind) << "Image Attributes";
        QTest::newRow("button") << int(ButtonKind) << "Button Attributes";
        QTest::newRow("text") << int(TextKind) << "Title Attributes";
        QTest::newRow("rectangle") << int(RectangleKind) << "Adjust Object";
        QTest::newRow("circle") << int(CircleKind) << "Adjust Object";
        QTest::newRow("line") << int(LineKind) << "Adjust Object";
        QTest::newRow("group") << int(GroupKind) << "Adjust Grouped Object";
    }

    void editObjectOpensTheKindsDialog()
    {
        QFETCH(int, kind);
        QFETCH(QString, caption);
        Publication pub;
        PageObject &o = addObject(pub, kind, QRect(10, 10, 40, 40));
        if (TextData *t = o.text())
            t->Text = "T";
        QString seen;
        whenModal([&seen](QWidget *w) {
            seen = w->windowTitle();
            clickOk(w);
        });
        QVERIFY(editObject(nullptr, pub, o, boxOf(o)));
        QCOMPARE(seen, caption);
        QVERIFY(pub.Modified);
    }

    // --- Button Attributes

    void buttonStyleShowsItsControls_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<bool>("varName");
        QTest::addColumn<bool>("maxLen");
        QTest::addColumn<bool>("state");
        QTest::addColumn<bool>("images");
        QTest::addColumn<bool>("alignable");
        QTest::newRow("push button") << 0 << false << false << false << true << true;
        QTest::newRow("text entry") << 1 << true << true << false << false << false;
        QTest::newRow("check box") << 2 << true << false << true << false << true;
        QTest::newRow("radio button") << 3 << true << false << true << false << true;
    }

    void buttonStyleShowsItsControls()
    {
        QFETCH(int, style);
        QFETCH(bool, varName);
        QFETCH(bool, maxLen);
        QFETCH(bool, state);
        QFETCH(bool, images);
        QFETCH(bool, alignable);
        ButtonData data;
        ButtonAttributesDialog dialog(data, QString());
        dialog.show();
        auto *tabs = child<QTabWidget>(&dialog, "PageControl");
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(tabs->tabText(0), QString("General Settings"));
        QCOMPARE(tabs->tabText(1), QString("Button Style"));
        QCOMPARE(tabs->tabText(2), QString("Button Action"));
        tabs->setCurrentIndex(1);
        // Both the radio button and the picture beside it choose the style.
        QTest::mouseClick(
                child<QRadioButton>(&dialog, qPrintable(QString("Style%1").arg(style + 1))),
                Qt::LeftButton);
        QCOMPARE(dialog.style(), style);
        QWidget *tab = tabs->widget(1);
        QCOMPARE(child<QLineEdit>(&dialog, "VarNameBox")->isVisibleTo(tab), varName);
        QCOMPARE(child<QSpinBox>(&dialog, "TextLenBox")->isVisibleTo(tab), maxLen);
        QCOMPARE(child<QRadioButton>(&dialog, "DownBtn")->isVisibleTo(tab), state);
        QCOMPARE(child<QLineEdit>(&dialog, "UpName")->isVisibleTo(tab), images);
        QCOMPARE(child<QLineEdit>(&dialog, "DownName")->isVisibleTo(tab), images);
        QCOMPARE(child<QRadioButton>(&dialog, "CenterBtn")->isEnabled(), alignable);

        tabs->setCurrentIndex(1);
        const int other = (style + 1) % 4;
        QTest::mouseClick(
                child<QToolButton>(&dialog, qPrintable(QString("StylePic%1").arg(other + 1))),
                Qt::LeftButton);
        QCOMPARE(dialog.style(), other);
        QVERIFY(child<QRadioButton>(&dialog, qPrintable(QString("Style%1").arg(other + 1)))
                        ->isChecked());
    }

    void textPlacementFollowsImageNames()
    {
        ButtonData data;
        ButtonAttributesDialog dialog(data, QString());
        dialog.show();
        auto *tabs = child<QTabWidget>(&dialog, "PageControl");
        QWidget *general = tabs->widget(0);
        auto *onTop = child<QRadioButton>(&dialog, "OnTopBtn");
        QVERIFY(!onTop->isVisibleTo(general));
        tabs->setCurrentIndex(1);
        QTest::keyClicks(child<QLineEdit>(&dialog, "DownName"), "DOWN.BMP");
        QVERIFY(onTop->isVisibleTo(general));
        click(child<QRadioButton>(&dialog, "Style3"));
        QVERIFY(!onTop->isVisibleTo(general));
        click(child<QRadioButton>(&dialog, "Style1"));
        QVERIFY(onTop->isVisibleTo(general));
        child<QLineEdit>(&dialog, "DownName")->clear();
        QVERIFY(!onTop->isVisibleTo(general));
    }

    void initialStateOnlyForCheckAndRadio_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("stored");
        QTest::newRow("check box down") << 2 << 1;
        QTest::newRow("radio button down") << 3 << 1;
        QTest::newRow("push button down") << 0 << 0;
        QTest::newRow("text entry down") << 1 << 0;
    }

    void initialStateOnlyForCheckAndRadio()
    {
        QFETCH(int, style);
        QFETCH(int, stored);
        ButtonData data;
        data.State = 7;
        ButtonAttributesDialog dialog(data, QString());
        dialog.show();
        child<QTabWidget>(&dialog, "PageControl")->setCurrentIndex(1);
        click(child<QRadioButton>(&dialog, "Style3"));
        click(child<QRadioButton>(&dialog, "DownBtn"));
        dialog.setStyle(style);
        clickOk(&dialog);
        QCOMPARE(int(data.Style), style);
        QCOMPARE(int(data.InitState), stored);
        QCOMPARE(int(data.State), stored); // shown that way at once
    }

    void buttonOkStoresEveryField()
    {
        ButtonData data;
        data.Text = "Old";
        data.Action = "GotoPage \"Intro\"";
        ButtonAttributesDialog dialog(data, QString());
        dialog.show();
        auto *text = child<QPlainTextEdit>(&dialog, "ButtonText");
        QCOMPARE(dialog.focusWidget(), static_cast<QWidget *>(text));
        text->selectAll();
        QTest::keyClicks(text, "Line 1");
        QTest::keyClick(text, Qt::Key_Return);
        QTest::keyClicks(text, "Line 2");
        child<QKeySequenceEdit>(&dialog, "ShortCutKey")
                ->setKeySequence(QKeySequence(Qt::CTRL | Qt::Key_G));
        click(child<QRadioButton>(&dialog, "RightBtn"));
        auto *tabs = child<QTabWidget>(&dialog, "PageControl");
        tabs->setCurrentIndex(1);
        QTest::keyClicks(child<QLineEdit>(&dialog, "UpName"), "UP.BMP");
        click(child<QRadioButton>(&dialog, "TransBtn"));
        tabs->setCurrentIndex(0);
        click(child<QRadioButton>(&dialog, "OnTopBtn"));
        tabs->setCurrentIndex(2);
        auto *memo = child<QPlainTextEdit>(&dialog, "ActionMemo");
        memo->moveCursor(QTextCursor::End);
        QTest::keyClick(memo, Qt::Key_Return);
        QTest::keyClicks(memo, "PlayTone \"440\"");
        clickOk(&dialog);

        QCOMPARE(data.Text, QString("Line 1|Line 2"));
        QCOMPARE(data.Action, QString("GotoPage \"Intro\"|PlayTone \"440\""));
        QCOMPARE(data.Align, quint8(AlignRightValue));
        QCOMPARE(data.Key, quint16(0x4000 | 'G'));
        QCOMPARE(data.UpImage, QString("UP.BMP"));
        QVERIFY(data.DownImage.isEmpty());
        QVERIFY(data.TransImages);
        QVERIFY(data.OverlayText);
        QCOMPARE(data.Style, quint8(PushButton));
    }

    void entryFieldStoresVariableAndLength()
    {
        ButtonData data;
        ButtonAttributesDialog dialog(data, QString());
        dialog.show();
        child<QTabWidget>(&dialog, "PageControl")->setCurrentIndex(1);
        click(child<QRadioButton>(&dialog, "Style2"));
        QTest::keyClicks(child<QLineEdit>(&dialog, "VarNameBox"), "Name");
        auto *length = child<QSpinBox>(&dialog, "TextLenBox");
        length->setValue(20);
        clickOk(&dialog);
        QCOMPARE(data.Style, quint8(EntryField));
        QCOMPARE(data.VarName, QString("Name"));
        QCOMPARE(data.MaxLen, 20);
    }

    void buttonOkWithoutEditsKeepsEveryField_data()
    {
        QTest::addColumn<int>("style");
        QTest::newRow("push button") << 0;
        QTest::newRow("text entry") << 1;
        QTest::newRow("check box") << 2;
        QTest::newRow("radio button") << 3;
    }

    void buttonOkWithoutEditsKeepsEveryField()
    {
        QFETCH(int, style);
        ButtonData data;
        data.Style = quint8(style);
        data.Text = "Two|Lines";
        data.Action = "Beep||GotoPage \"Next\"";
        data.Align = AlignRightValue;
        data.Key = 0x2000 | 0x4000 | 'K';
        data.MaxLen = 0;
        data.VarName = "Choice";
        data.InitState = style >= CheckBox ? 1 : 0;
        data.UpImage = "C:\\ART\\UP.BMP";
        data.DownImage = "DOWN.BMP";
        data.TransImages = true;
        data.OverlayText = true;
        const ButtonData before = data;
        ButtonAttributesDialog dialog(data, QString());
        dialog.show();
        clickOk(&dialog);
        QCOMPARE(int(data.Style), style);
        QCOMPARE(data.Text, before.Text);
        QCOMPARE(data.Action, before.Action);
        QCOMPARE(data.Align, before.Align);
        QCOMPARE(data.Key, before.Key);
        QCOMPARE(data.MaxLen, before.MaxLen);
        QCOMPARE(data.VarName, before.VarName);
        QCOMPARE(data.InitState, before.InitState);
        QCOMPARE(data.State, before.InitState);
        QCOMPARE(data.UpImage, before.UpImage);
        QCOMPARE(data.DownImage, before.DownImage);
        QCOMPARE(data.TransImages, before.TransImages);
        QCOMPARE(data.OverlayText, before.OverlayText);
    }

    void buttonCancelChangesNothing()
    {
        ButtonData data;
        data.Text = "Same";
        data.Style = CheckBox;
        data.InitState = 1;
        data.State = 0;
        data.Key = 0x70;
        ButtonAttributesDialog dialog(data, QString());
        dialog.show();
        child<QPlainTextEdit>(&dialog, "ButtonText")->setPlainText("Other");
        dialog.setStyle(PushButton);
        child<QKeySequenceEdit>(&dialog, "ShortCutKey")->clear();
        clickCancel(&dialog);
        QCOMPARE(data.Text, QString("Same"));
        QCOMPARE(data.Style, quint8(CheckBox));
        QCOMPARE(data.InitState, quint8(1));
        QCOMPARE(data.State, quint8(0));
        QCOMPARE(data.Key, quint16(0x70));
    }

    void hotKeysConvert_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<QKeySequence>("sequence");
        QTest::newRow("none") << 0 << QKeySequence();
        QTest::newRow("letter") << int('A') << QKeySequence(Qt::Key_A);
        QTest::newRow("ctrl digit") << (0x4000 | '5') << QKeySequence(Qt::CTRL | Qt::Key_5);
        QTest::newRow("shift alt F2")
                << (0x2000 | 0x8000 | 0x71) << QKeySequence(Qt::SHIFT | Qt::ALT | Qt::Key_F2);
        QTest::newRow("page down") << 0x22 << QKeySequence(Qt::Key_PageDown);
        QTest::newRow("delete") << 0x2E << QKeySequence(Qt::Key_Delete);
        QTest::newRow("comma") << 0xBC << QKeySequence(Qt::Key_Comma);
    }

    void hotKeysConvert()
    {
        QFETCH(int, stored);
        QFETCH(QKeySequence, sequence);
        QCOMPARE(keySequenceFromHotKey(quint16(stored)), sequence);
        QCOMPARE(int(hotKeyFromKeySequence(sequence)), stored);
    }

    void unstorableHotKeysAreRefused()
    {
        QCOMPARE(int(hotKeyFromKeySequence(QKeySequence(Qt::Key_Launch0))), 0);
        QVERIFY(keySequenceFromHotKey(0x2000 | 0x07).isEmpty());
        ButtonData data;
        data.Key = 'Q';
        ButtonAttributesDialog dialog(data, QString());
        auto *edit = child<QKeySequenceEdit>(&dialog, "ShortCutKey");
        QCOMPARE(edit->keySequence(), QKeySequence(Qt::Key_Q));
        edit->setKeySequence(QKeySequence(Qt::Key_Launch0));
        QVERIFY(edit->keySequence().isEmpty());
        edit->setKeySequence(QKeySequence(QKeyCombination(Qt::Key_B), QKeyCombination(Qt::Key_C)));
        QCOMPARE(edit->keySequence(), QKeySequence(Qt::Key_B));
        clickOk(&dialog);
        QCOMPARE(data.Key, quint16('B'));
    }

    void imageBrowseButtonsAskForImages()
    {
        mHost.fileAnswers = {"/art/UP.GIF"};
        ButtonData data;
        ButtonAttributesDialog dialog(data, QString());
        dialog.show();
        child<QTabWidget>(&dialog, "PageControl")->setCurrentIndex(1);
        QTest::mouseClick(child<QPushButton>(&dialog, "UpBrowseBtn"), Qt::LeftButton);
        QCOMPARE(mHost.asked.size(), 1);
        QCOMPARE(mHost.asked[0].title, QString("Select an Image"));
        QCOMPARE(mHost.asked[0].filter,
                 QString("Images|*.BMP;*.GIF;*.PCX;*.PNG;*.JPG;*.TIF;*.ICO;*.WMF"));
        QCOMPARE(child<QLineEdit>(&dialog, "UpName")->text(), QString("/art/UP.GIF"));
    }

    // --- the action memo

    void memoCaretLabelAndButtons()
    {
        QApplication::clipboard()->clear();
        ActionMemoPanel panel;
        panel.setScript("Delay \"2000\"|Beep");
        panel.show();
        auto *memo = panel.memo();
        auto *label = child<QLabel>(&panel, "PosLabel");
        QTextCursor cursor = memo->textCursor();
        cursor.setPosition(memo->document()->findBlockByNumber(1).position() + 2);
        memo->setTextCursor(cursor);
        QCOMPARE(label->text(), QString("2/3"));

        auto *cut = child<QPushButton>(&panel, "CutBtn");
        auto *copy = child<QPushButton>(&panel, "CopyBtn");
        auto *del = child<QPushButton>(&panel, "DeleteBtn");
        auto *paste = child<QPushButton>(&panel, "PasteBtn");
        QVERIFY(!cut->isEnabled() && !copy->isEnabled() && !del->isEnabled());
        QVERIFY(!paste->isEnabled());
        QVERIFY(child<QPushButton>(&panel, "PrintBtn")->isEnabled());
        // The command palette is part of the editor: "Insert Action Command" is offered.
        QVERIFY(child<QPushButton>(&panel, "InsertBtn")->isEnabled());

        cursor.setPosition(0);
        cursor.setPosition(5, QTextCursor::KeepAnchor);
        memo->setTextCursor(cursor);
        QVERIFY(cut->isEnabled() && copy->isEnabled() && del->isEnabled());
        QTest::mouseClick(copy, Qt::LeftButton);
        QCOMPARE(QApplication::clipboard()->text(), QString("Delay"));
        QVERIFY(paste->isEnabled());
        QTest::mouseClick(del, Qt::LeftButton);
        QCOMPARE(panel.script(), QString(" \"2000\"|Beep"));
        QVERIFY(!cut->isEnabled());
        QTest::mouseClick(paste, Qt::LeftButton);
        QCOMPARE(panel.script(), QString("Delay \"2000\"|Beep"));
    }

    void memoLinesJoinLikeStoredScripts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("joined");
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("one line") << "Beep"
                                  << "Beep";
        QTest::newRow("final break") << "Beep\n"
                                     << "Beep";
        QTest::newRow("empty line inside") << "A\n\nB"
                                           << "A||B";
        QTest::newRow("two final breaks") << "A\n\n"
                                          << "A|";
    }

    void memoLinesJoinLikeStoredScripts()
    {
        QFETCH(QString, text);
        QFETCH(QString, joined);
        QCOMPARE(joinMemoLines(text), joined);
    }

    void memoSaveWritesSelectionWithCrLf()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("script.txt");
        mHost.folders[int(DialogFolder::Scripts)] = "/scripts";
        mHost.fileAnswers = {path, path, path};
        mHost.confirmAnswers = {false, true};
        ActionMemoPanel panel;
        panel.setScript("SetVar \"A\" \"1\"|Beep|GotoPage \"End\"");
        QTextCursor cursor = panel.memo()->textCursor();
        cursor.setPosition(7);
        cursor.setPosition(panel.memo()->document()->findBlockByNumber(1).position() + 2,
                           QTextCursor::KeepAnchor);
        panel.memo()->setTextCursor(cursor);
        QTest::mouseClick(child<QPushButton>(&panel, "SaveBtn"), Qt::LeftButton);
        QCOMPARE(mHost.asked[0].title, QString("Save Action Script As"));
        QCOMPARE(mHost.asked[0].filter, QString("Any file (*.*)|*.*"));
        QCOMPARE(mHost.asked[0].dir, QString("/scripts"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("\"A\" \"1\"\r\nBe\r\n"));
        file.close();

        // An existing file is replaced only after Yes.
        panel.memo()->moveCursor(QTextCursor::End);
        QTest::mouseClick(child<QPushButton>(&panel, "SaveBtn"), Qt::LeftButton);
        QCOMPARE(mHost.asked.last().kind, QString("confirm"));
        QCOMPARE(mHost.asked.last().title, QString("Save"));
        QCOMPARE(mHost.asked.last().text, "Replace existing: " + path + "?");
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("\"A\" \"1\"\r\nBe\r\n"));
        file.close();
        QTest::mouseClick(child<QPushButton>(&panel, "SaveBtn"), Qt::LeftButton);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("SetVar \"A\" \"1\"\r\nBeep\r\nGotoPage \"End\"\r\n"));
        QCOMPARE(mHost.folders[int(DialogFolder::Scripts)], QDir(dir.path()).absolutePath());
    }

    void memoSaveReportsAnUnwritablePlace()
    {
        mHost.fileAnswers = {"/nonexistent-folder/deeper/script.txt"};
        ActionMemoPanel panel;
        panel.setScript("Beep");
        QTest::mouseClick(child<QPushButton>(&panel, "SaveBtn"), Qt::LeftButton);
        QCOMPARE(mHost.asked.last().kind, QString("alert"));
        QVERIFY(!mHost.asked.last().text.isEmpty());
        QVERIFY(!QFile::exists("/nonexistent-folder/deeper/script.txt"));
    }

    void memoOpenImportsAndSelects()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("in.txt");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("PlayTone \"440\"\r\nBeep\r\n");
        file.close();
        mHost.fileAnswers = {path, dir.filePath("missing.txt")};
        ActionMemoPanel panel;
        panel.setScript("First|Last");
        QTextCursor cursor = panel.memo()->textCursor();
        cursor.setPosition(6); // start of "Last"
        panel.memo()->setTextCursor(cursor);
        QTest::mouseClick(child<QPushButton>(&panel, "OpenBtn"), Qt::LeftButton);
        QCOMPARE(mHost.asked[0].title, QString("Select a File to Import"));
        QCOMPARE(panel.script(), QString("First|PlayTone \"440\"|Beep|Last"));
        QCOMPARE(panel.memo()->textCursor().selectedText(),
                 QString("PlayTone \"440\"") + QChar::ParagraphSeparator + "Beep"
                         + QChar::ParagraphSeparator);

        QTest::mouseClick(child<QPushButton>(&panel, "OpenBtn"), Qt::LeftButton);
        QCOMPARE(mHost.asked.last().kind, QString("alert"));
        QCOMPARE(panel.script(), QString("First|PlayTone \"440\"|Beep|Last"));
    }

    // --- Adjust Object

    void adjustCaptions_data()
    {
        QTest::addColumn<int>("selected");
        QTest::addColumn<bool>("group");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("sizable");
        QTest::newRow("one object") << 1 << false << "Adjust Object" << true;
        QTest::newRow("one group") << 1 << true << "Adjust Grouped Object" << false;
        QTest::newRow("two objects") << 2 << false << "Adjust Objects" << false;
    }

    void adjustCaptions()
    {
        QFETCH(int, selected);
        QFETCH(bool, group);
        QFETCH(QString, caption);
        QFETCH(bool, sizable);
        Publication pub;
        for (int i = 0; i < selected; ++i)
            addObject(pub, group ? GroupKind : RectangleKind, QRect(10 * i, 0, 5, 5), true);
        addObject(pub, CircleKind, QRect(100, 100, 5, 5), false);
        AdjustObjectDialog dialog(pub, pub.currentPage(), nullptr);
        QCOMPARE(dialog.windowTitle(), caption);
        QCOMPARE(child<QSpinBox>(&dialog, "WEdit")->isEnabled(), sizable);
        QCOMPARE(child<QSpinBox>(&dialog, "HEdit")->isEnabled(), sizable);
        QCOMPARE(child<QLabel>(&dialog, "WLabel")->isEnabled(), sizable);
        QCOMPARE(child<QLabel>(&dialog, "HLabel")->isEnabled(), sizable);
        QVERIFY(child<QSpinBox>(&dialog, "XEdit")->isEnabled());
    }

    void adjustPlacesOneObject()
    {
        Publication pub;
        PageObject &o = addObject(pub, RectangleKind, QRect(10, 20, 30, 40), true);
        AdjustObjectDialog dialog(pub, nullptr, &o);
        auto *x = child<QSpinBox>(&dialog, "XEdit");
        auto *w = child<QSpinBox>(&dialog, "WEdit");
        QCOMPARE(x->value(), 10);
        QCOMPARE(child<QSpinBox>(&dialog, "YEdit")->value(), 20);
        QCOMPARE(w->value(), 30);
        QCOMPARE(child<QSpinBox>(&dialog, "HEdit")->value(), 40);
        x->selectAll();
        QTest::keyClicks(x, "15");
        w->setValue(50);
        QSignalSpy spy(&dialog, &AdjustObjectDialog::applied);
        QTest::mouseClick(child<QPushButton>(&dialog, "ApplyBtn"), Qt::LeftButton);
        QCOMPARE(boxOf(o), QRect(15, 20, 50, 40));
        QVERIFY(pub.Modified);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toRect(), QRect(10, 20, 30, 40).adjusted(-4, -4, 4, 4));
        QCOMPARE(spy.at(0).at(1).toRect(), QRect(15, 20, 50, 40).adjusted(-4, -4, 4, 4));

        // The applied values are the new start: Apply again does nothing more.
        QTest::mouseClick(child<QPushButton>(&dialog, "ApplyBtn"), Qt::LeftButton);
        QCOMPARE(boxOf(o), QRect(15, 20, 50, 40));
        QCOMPARE(spy.count(), 1);
        child<QSpinBox>(&dialog, "YEdit")->setValue(0);
        clickOk(&dialog);
        QCOMPARE(boxOf(o), QRect(15, 0, 50, 40));
    }

    void adjustOkWithoutEditsKeepsFarAwayBoxes()
    {
        Publication pub;
        PageObject &o = addObject(pub, RectangleKind, QRect(40000, -40000, 70000, 3), true);
        AdjustObjectDialog dialog(pub, nullptr, &o);
        clickOk(&dialog);
        QCOMPARE(boxOf(o), QRect(40000, -40000, 70000, 3));
        QVERIFY(!dialog.changed());
    }

    void adjustMovesTheSelectionWithoutSizing()
    {
        Publication pub;
        PageObject &a = addObject(pub, RectangleKind, QRect(10, 10, 20, 20), true);
        PageObject &b = addObject(pub, LineKind, QRect(50, 40, 30, 5), true);
        PageObject &c = addObject(pub, CircleKind, QRect(0, 0, 5, 5), false);
        whenModal([](QWidget *w) {
            auto *x = child<QSpinBox>(w, "XEdit");
            QCOMPARE(x->value(), 10);
            QCOMPARE(child<QSpinBox>(w, "YEdit")->value(), 10);
            x->setValue(x->value() + 10);
            clickOk(w);
        });
        QVERIFY(adjustObjects(nullptr, pub, *pub.currentPage()));
        QCOMPARE(boxOf(a), QRect(20, 10, 20, 20));
        QCOMPARE(boxOf(b), QRect(60, 40, 30, 5));
        QCOMPARE(boxOf(c), QRect(0, 0, 5, 5));
        QVERIFY(pub.Modified);
    }

    void adjustMovesAGroupWithItsMembers()
    {
        Publication pub;
        ObjectPtr group = pub.createObject(GroupKind);
        ObjectPtr member = pub.createObject(RectangleKind);
        member->X1 = 5;
        member->Y1 = 5;
        member->X2 = 15;
        member->Y2 = 15;
        PageObject &m = *member;
        insertObject(group->Members, std::move(member), nullptr);
        group->X1 = 5;
        group->Y1 = 5;
        group->X2 = 15;
        group->Y2 = 15;
        PageObject &g = *group;
        insertObject(pub.currentPage()->Objects, std::move(group), nullptr);
        whenModal([](QWidget *w) {
            child<QSpinBox>(w, "XEdit")->setValue(25);
            child<QSpinBox>(w, "YEdit")->setValue(0);
            clickOk(w);
        });
        QVERIFY(editObject(nullptr, pub, g, boxOf(g)));
        QCOMPARE(boxOf(g), QRect(25, 0, 10, 10));
        QCOMPARE(boxOf(m), QRect(25, 0, 10, 10));
    }

    void adjustCancelChangesNothing()
    {
        Publication pub;
        PageObject &o = addObject(pub, RectangleKind, QRect(10, 20, 30, 40), true);
        whenModal([](QWidget *w) {
            child<QSpinBox>(w, "XEdit")->setValue(99);
            child<QSpinBox>(w, "WEdit")->setValue(1);
            clickCancel(w);
        });
        QVERIFY(!adjustObjects(nullptr, pub, *pub.currentPage()));
        QCOMPARE(boxOf(o), QRect(10, 20, 30, 40));
        QVERIFY(!pub.Modified);
    }

    void adjustAfterApplyThenCancelReportsTheChange()
    {
        Publication pub;
        PageObject &o = addObject(pub, RectangleKind, QRect(10, 20, 30, 40), true);
        whenModal([](QWidget *w) {
            child<QSpinBox>(w, "XEdit")->setValue(0);
            QTest::mouseClick(child<QPushButton>(w, "ApplyBtn"), Qt::LeftButton);
            clickCancel(w);
        });
        QVERIFY(adjustObjects(nullptr, pub, *pub.currentPage()));
        QCOMPARE(boxOf(o), QRect(0, 20, 30, 40));
    }

    void adjustWithoutSelectionOpensNothing()
    {
        Publication pub;
        addObject(pub, RectangleKind, QRect(10, 20, 30, 40), false);
        QVERIFY(!adjustObjects(nullptr, pub, *pub.currentPage()));
        QVERIFY(!pub.Modified);
    }

    // --- filters for the system's file dialog

    void filtersForTheFileDialog_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("expected");
        QTest::newRow("text") << "Text|*.TXT;*.DOC"
                              << "Text (*.TXT *.DOC *.txt *.doc)";
        QTest::newRow("two groups") << "Images|*.BMP|Flics|*.FLI;*.FLC"
                                    << "Images (*.BMP *.bmp);;Flics (*.FLI *.FLC *.fli *.flc)";
        QTest::newRow("any file") << "Any file (*.*)|*.*"
                                  << "Any file (*.*)";
    }

    void filtersForTheFileDialog()
    {
        QFETCH(QString, given);
        QFETCH(QString, expected);
        QCOMPARE(fileDialogFilter(given), expected);
    }
};

QTEST_MAIN(TestObjectDialogs)
#include "tst_objectdialogs.moc"
