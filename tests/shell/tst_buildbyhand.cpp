// An author builds the sample publication's pages by hand: tools, drags, dialogs, the
// page menu, moving, resizing, band selection, grouping and undo, on a real main window.
// With VARDEKO_SCREENSHOTS set to a folder, a picture of the screen is saved per page.
#include "tst_buildbyhand.h"

#include "childform.h"
#include "editcommands.h"
#include "fakedialogs.h"
#include "mainform.h"
#include "pageview.h"
#include "publication.h"
#include "publicationfile.h"
#include "toolpalette.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>

using namespace vardeko;

namespace {

// The sample's own folder, where its article and pictures are.
QString sampleDir()
{
    return QDir(QString::fromLocal8Bit(qgetenv("VARDEKO_TEST_SOURCE"))).filePath(
            QStringLiteral("../examples/sample"));
}

class Author
{
public:
    TMainForm &main;
    FakeDialogs &dialogs;
    TChildForm *child = nullptr;
    int shots = 0;

    Author(TMainForm &m, FakeDialogs &d)
        : main(m)
        , dialogs(d)
    {
    }

    TToolPalette &palette() const { return *main.editCommands()->toolPalette(); }
    Publication &pub() const { return child->publication(); }
    Page &page() const { return *pub().currentPage(); }
    QWidget *view() const { return child->pageView()->viewport(); }
    QPoint at(const QPoint &p) const { return child->pageView()->pageOffset() + p; }

    void tool(const char *name)
    {
        auto *button = palette().findChild<QToolButton *>(QLatin1String(name));
        QVERIFY2(button, name);
        QTest::mouseClick(button, Qt::LeftButton);
    }
    // The palette's values, as its pop-ups and font dialog would leave them.
    void attributes(ColorRef fill, quint8 pattern, ColorRef line, int width, quint8 style = 0)
    {
        ToolAttributes a = palette().attributes();
        a.FillColor = fill;
        a.FillPattern = pattern;
        a.LineColor = line;
        a.LineWidth = width;
        a.LineStyle = style;
        palette().setAttributes(a);
    }
    void font(const char *family, int size, ColorRef color)
    {
        ToolAttributes a = palette().attributes();
        a.Font = QLatin1String(family);
        a.FontSize = size;
        a.FontColor = color;
        palette().setAttributes(a);
    }
    void moveTo(const QPoint &p, Qt::KeyboardModifiers mods)
    {
        QMouseEvent e(QEvent::MouseMove, QPointF(at(p)), QPointF(view()->mapToGlobal(at(p))),
                      Qt::NoButton, Qt::LeftButton, mods);
        QApplication::sendEvent(view(), &e);
    }
    void drag(const QPoint &from, const QPoint &to, Qt::KeyboardModifiers mods = {})
    {
        QTest::mousePress(view(), Qt::LeftButton, mods, at(from));
        moveTo((from + to) / 2, mods);
        moveTo(to, mods);
        QTest::mouseRelease(view(), Qt::LeftButton, mods, at(to));
    }
    void click(const QPoint &p) { QTest::mouseClick(view(), Qt::LeftButton, {}, at(p)); }
    void command(const char *name)
    {
        QAction *action = main.findChild<QAction *>(QLatin1String(name));
        QVERIFY2(action && action->isEnabled(), name);
        action->trigger();
    }
    // Fills the next dialog that comes up modally, then presses its OK.
    static void whenDialogShows(std::function<void(QDialog &)> fill)
    {
        auto *timer = new QTimer;
        timer->setInterval(5);
        QObject::connect(timer, &QTimer::timeout, [timer, fill] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            timer->stop();
            timer->deleteLater();
            fill(*dialog);
            auto *buttons = dialog->findChild<QDialogButtonBox *>();
            QPushButton *ok = buttons ? buttons->button(QDialogButtonBox::Ok) : nullptr;
            if (!ok)
                ok = dialog->findChild<QPushButton *>(QStringLiteral("OkBtn"));
            if (ok)
                QTest::mouseClick(ok, Qt::LeftButton);
            else
                dialog->accept();
        });
        timer->start();
    }
    static void align(QDialog &d, const char *button)
    {
        auto *radio = d.findChild<QRadioButton *>(QLatin1String(button));
        QVERIFY2(radio, button);
        radio->setChecked(true);
    }
    void title(const QPoint &from, const QPoint &to, const QString &text,
               const char *alignment = "LeftBtn")
    {
        tool("TextTool");
        whenDialogShows([text, alignment](QDialog &d) {
            auto *memo = d.findChild<QPlainTextEdit *>(QStringLiteral("TextMemo"));
            QVERIFY(memo);
            memo->setPlainText(text);
            align(d, alignment);
        });
        drag(from, to);
    }
    void button(const QPoint &from, const QPoint &to, const QString &text, int style,
                const QString &action = QString(), const char *alignment = "CenterBtn")
    {
        tool("ButtonTool");
        whenDialogShows([=](QDialog &d) {
            auto *caption = d.findChild<QPlainTextEdit *>(QStringLiteral("ButtonText"));
            QVERIFY(caption);
            caption->setPlainText(text);
            auto *styleBtn = d.findChild<QRadioButton *>(QStringLiteral("Style%1").arg(style + 1));
            QVERIFY(styleBtn);
            styleBtn->setChecked(true);
            align(d, alignment);
            auto *actionTab = d.findChild<QWidget *>(QStringLiteral("ActionTab"));
            QVERIFY(actionTab);
            actionTab->findChild<QPlainTextEdit *>(QStringLiteral("ActionMemo"))->setPlainText(action);
        });
        drag(from, to);
    }
    void fileObject(const char *toolName, const QPoint &from, const QPoint &to, const char *file)
    {
        tool(toolName);
        dialogs.fileChoices.push_back(QDir(sampleDir()).filePath(QLatin1String(file)));
        drag(from, to);
    }
    void newPage(const QString &name)
    {
        whenDialogShows([](QDialog &) {});
        command("AddPage1");
        whenDialogShows([name](QDialog &d) {
            auto *edit = d.findChild<QLineEdit *>(QStringLiteral("NewTitleEdit"));
            QVERIFY(edit);
            edit->setText(name);
        });
        command("RenamePage1");
        QCOMPARE(page().Title, name);
    }
    void screenshot(const char *name)
    {
        const QString dir = QString::fromLocal8Bit(qgetenv("VARDEKO_SCREENSHOTS"));
        if (dir.isEmpty())
            return;
        QTest::qWait(50);
        QDir().mkpath(dir);
        // On a real display the floating windows show too.
        const QPixmap shot = QGuiApplication::platformName() == QLatin1String("offscreen")
                ? main.grab()
                : QGuiApplication::primaryScreen()->grabWindow(0);
        const QString path = QDir(dir).filePath(QStringLiteral("%1-%2.png").arg(++shots).arg(QLatin1String(name)));
        if (!shot.save(path))
            qWarning("screenshot %s not saved", qPrintable(path));
    }
};

// What the comparison looks at: kind, box, lines and fills, texts, actions and files.
QStringList describe(const ObjectList &objects, const QString &indent = QString())
{
    QStringList lines;
    for (const ObjectPtr &o : objects) {
        QString line = indent
                + QStringLiteral("kind %1 box %2,%3-%4,%5").arg(o->ObjectType).arg(o->X1).arg(o->Y1).arg(o->X2).arg(o->Y2);
        // A group draws nothing of its own: only its members' looks count.
        if (!o->isGroup())
            line += QStringLiteral(" line %1/%2/%3 fill %4/%5 origin %6")
                            .arg(o->LineColor)
                            .arg(o->LineWidth)
                            .arg(o->LineStyle)
                            .arg(o->FillColor)
                            .arg(o->FillPattern)
                            .arg(o->LineOrigin);
        if (const TextData *t = o->text())
            line += QStringLiteral(" text \"%1\" %2 %3 %4 align %5")
                            .arg(t->Text, t->Font)
                            .arg(t->FontSize)
                            .arg(t->TextColor)
                            .arg(t->Align);
        if (const ButtonData *b = o->button())
            line += QStringLiteral(" button \"%1\" style %2 action \"%3\" %4 %5 align %6")
                            .arg(b->Text)
                            .arg(b->Style)
                            .arg(b->Action, b->Font)
                            .arg(b->FontSize)
                            .arg(b->Align);
        if (const ArticleData *a = o->article())
            line += QStringLiteral(" article %1 %2 %3").arg(QFileInfo(a->FileName).fileName(), a->Font).arg(a->FontSize);
        if (const PictureData *p = o->picture())
            line += QStringLiteral(" picture %1").arg(QFileInfo(p->FileName).fileName());
        lines.append(line);
        if (o->isGroup())
            lines += describe(o->Members, indent + QStringLiteral("  "));
    }
    return lines;
}

} // namespace

void TestBuildByHand::buildSamplePagesByHand()
{
    QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Sarquel"),
              QStringLiteral("Vardeko"))
        .clear();
    TMainForm main;
    auto owned = std::make_unique<FakeDialogs>();
    FakeDialogs &dialogs = *owned;
    main.setDialogs(std::move(owned));
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    // Moves look for the window under the cursor: the page must be on the screen. On a
    // real display the tool palette keeps its place on the left.
    QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        screen.setLeft(screen.left() + 160);
    main.setGeometry(screen);
    Author s(main, dialogs);
    s.child = main.newUntitled();
    QVERIFY(s.child);
    if (auto *sub = qobject_cast<QMdiSubWindow *>(s.child->parentWidget()))
        sub->showMaximized();
    s.pub().Settings.Title = QStringLiteral("Vardeko Sample");

    // Master page: a title band, its caption and the two page buttons.
    s.command("MasterPageBtn");
    QCOMPARE(s.pub().currentPage(), s.pub().masterPage());
    s.attributes(0x800000, 0, 0, 0);
    s.tool("RectangleTool");
    s.drag({0, 0}, {640, 36});
    s.attributes(0xFFFFFF, 1, 0, 0);
    s.font("Arial", 14, 0xFFFFFF);
    s.title({12, 6}, {400, 30}, QStringLiteral("Vardeko Sample - [PageTitle]"));
    s.attributes(0xC0C0C0, 0, 0, 1);
    s.font("Arial", 10, 0);
    s.button({540, 440}, {630, 470}, QStringLiteral("^Next page"), 0, QStringLiteral("GotoNextPage"));
    s.button({440, 440}, {530, 470}, QStringLiteral("^Previous"), 0, QStringLiteral("GotoPrevPage"));
    s.screenshot("master");

    // Welcome: an article, a title, the three kinds of input buttons and a push button.
    s.command("MasterPageBtn");
    {
        Author::whenDialogShows([](QDialog &d) {
            auto *edit = d.findChild<QLineEdit *>(QStringLiteral("NewTitleEdit"));
            QVERIFY(edit);
            edit->setText(QStringLiteral("Welcome"));
        });
        s.command("RenamePage1");
        QCOMPARE(s.page().Title, QStringLiteral("Welcome"));
    }
    s.attributes(0xFFFFFF, 0, 0, 1);
    s.font("Times New Roman", 12, 0);
    s.fileObject("ArticleTool", {40, 60}, {400, 300}, "WELCOME.TXT");
    s.attributes(0xFFFFFF, 1, 0, 0);
    s.font("Arial", 16, 128);
    s.title({430, 70}, {620, 130}, QStringLiteral("Multimedia\npublications"), "CenterBtn");
    s.attributes(0xFFFFFF, 0, 0, 1);
    s.font("Arial", 10, 0);
    s.button({430, 160}, {620, 190}, QStringLiteral("Your name"), 1);
    s.attributes(0xFFFFFF, 1, 0, 0);
    s.button({430, 200}, {620, 220}, QStringLiteral("Show tips"), 2, QString(), "LeftBtn");
    s.button({430, 225}, {620, 245}, QStringLiteral("Large print"), 3, QString(), "LeftBtn");
    s.attributes(0xC0C0C0, 0, 0, 1);
    s.button({430, 260}, {620, 290}, QStringLiteral("Say hello"), 0,
             QStringLiteral("PlaySoundFile \"%1\" \"Normal\"\nAlertBox \"Hello\" \"Hello, [Reader]!\"")
                     .arg(QDir::cleanPath(QDir(sampleDir()).filePath(QStringLiteral("CHIME.WAV")))));
    Author::whenDialogShows([](QDialog &d) {
        auto *tabs = d.findChild<QTabWidget *>();
        QVERIFY(tabs);
        tabs->setCurrentIndex(1);
        auto *memo = d.findChild<QPlainTextEdit *>(QStringLiteral("ActionMemo"));
        QVERIFY(memo);
        memo->setPlainText(QStringLiteral("SetVar \"Visits\" \"1\""));
    });
    s.command("PageAttributes1");
    s.screenshot("welcome");

    // Shapes: rectangles, a circle moved into place, two lines grouped, a title.
    s.newPage(QStringLiteral("Shapes"));
    s.attributes(0x00FFFF, 0, 0x0000FF, 3);
    s.tool("RectangleTool");
    s.drag({40, 60}, {180, 140});
    // Resized by its bottom-right handle.
    s.tool("PointerTool");
    s.drag({180, 140}, {200, 160});
    s.attributes(0xFF0000, 3, 0, 1, 1);
    s.tool("RectangleTool");
    s.drag({220, 60}, {380, 160}, Qt::ControlModifier);
    s.attributes(0x008000, 14, 0x008000, 2);
    // Drawn in the wrong place first, then dragged where it belongs.
    s.tool("CircleTool");
    s.drag({400, 160}, {600, 260});
    s.tool("PointerTool");
    s.drag({500, 210}, {500, 110});
    s.attributes(0xFFFFFF, 0, 0x808080, 4);
    s.tool("LineTool");
    s.drag({40, 200}, {300, 400});
    s.attributes(0xFFFFFF, 0, 0x808080, 1, 2);
    s.drag({40, 400}, {300, 200});
    // A stray line, deleted and brought back by undo, then deleted for good.
    s.drag({500, 420}, {600, 420});
    const size_t before = s.page().Objects.size();
    s.command("Delete1");
    QCOMPARE(s.page().Objects.size(), before - 1);
    s.command("Undo1");
    QCOMPARE(s.page().Objects.size(), before);
    s.command("Delete1");
    s.tool("PointerTool");
    s.drag({30, 190}, {310, 410});
    s.command("Group1");
    s.attributes(0xFFFFFF, 0, 0, 1);
    s.font("Courier New", 11, 0);
    s.title({330, 220}, {620, 300},
            QStringLiteral("Rectangles, rounded corners,\ncircles, lines and groups,\nwith 47 fill patterns."));
    s.screenshot("shapes");

    // Pictures: the same picture twice, a caption and a button back to the start.
    s.newPage(QStringLiteral("Pictures"));
    s.attributes(0xFFFFFF, 1, 0xFFFFFF, 2);
    s.fileObject("PictureTool", {40, 60}, {360, 260}, "SUNSET.BMP");
    s.attributes(0xFFFFFF, 1, 0xFFFFFF, 1);
    s.fileObject("PictureTool", {400, 60}, {560, 160}, "SUNSET.BMP");
    s.attributes(0xFFFFFF, 1, 0, 0);
    s.font("Arial", 12, 0xFFFFFF);
    s.title({40, 290}, {600, 330}, QStringLiteral("Pictures scale to their box or scroll inside it."), "CenterBtn");
    s.attributes(0xC0C0C0, 0, 0, 1);
    s.font("Arial", 10, 0);
    s.button({40, 440}, {200, 470}, QStringLiteral("Back to the start"), 0,
             QStringLiteral("GotoFirstPage"));
    s.tool("PointerTool");
    s.click({620, 20}); // on the master's band, which this page cannot select: deselects
    s.screenshot("pictures");

    // Page for page, what was built by hand is what the sample holds.
    Publication sample;
    QCOMPARE(readPublication(sample, QDir(sampleDir()).filePath(QStringLiteral("SAMPLE.PUB"))).error, 0);
    QCOMPARE(describe(s.pub().masterPage()->Objects), describe(sample.masterPage()->Objects));
    QCOMPARE(s.pub().pageCount(), sample.pageCount());
    for (int i = 0; i < sample.pageCount(); ++i) {
        const Page &built = *s.pub().page(i);
        const Page &expected = *sample.page(i);
        QCOMPARE(built.Title, expected.Title);
        QCOMPARE(built.PageAction, expected.PageAction);
        QCOMPARE(describe(built.Objects), describe(expected.Objects));
    }
    s.pub().Modified = false;
    QVERIFY(dialogs.alerts.isEmpty());
}
