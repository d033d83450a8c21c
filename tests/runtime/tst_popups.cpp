// Tests of the reader's pop-ups, the query and mascot dialogs and the progress window.
#include "alertdialog.h"
#include "popupbase.h"
#include "popupforms.h"
#include "popupgeometry.h"
#include "popupprovider.h"
#include "popupshapes.h"
#include "progressreport.h"
#include "querydialog.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QScreen>
#include <QSet>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace vardeko;

namespace {

// A running publication without a session: a page widget and scripted answers.
class FakeRun : public RunContext
{
public:
    FakeRun() { page.resize(640, 480); }
    const Publication &publication() const override { return pub; }
    QWidget *pageWidget() const override { return const_cast<QWidget *>(&page); }
    QPoint pageToGlobal(const QPoint &p) const override { return p + QPoint(100, 50); }
    QString resolveFile(const QString &stored) const override { return stored; }
    RunFont runFont() const override { return {}; }
    bool isScripted() const override { return scripted; }
    int takeAnswer() override { return answers.isEmpty() ? 0 : answers.takeFirst(); }

    Publication pub;
    QWidget page;
    bool scripted = true;
    QList<int> answers;
};

// Runs `action` once the next modal loop is running.
void whenOpen(std::function<void()> action)
{
    QTimer::singleShot(0, qApp, std::move(action));
}

template<typename T>
T *visibleTopLevel()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *t = qobject_cast<T *>(w); t && t->isVisible())
            return t;
    return nullptr;
}

} // namespace

class TestPopups : public QObject
{
    Q_OBJECT

private slots:
    void balloonPlacement_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<QPoint>("topLeft");
        QTest::addColumn<bool>("stemAtTop");
        QTest::addColumn<int>("stemOffset");
        // Screen 1000 x 800, balloon 100 x 60.
        QTest::newRow("above the point, stem down at it") << QPoint(500, 400) << QPoint(450, 340) << false << 0;
        QTest::newRow("near the top it hangs below") << QPoint(500, 30) << QPoint(450, 30) << true << 0;
        QTest::newRow("at the right edge it stays on screen, stem still at the point")
                << QPoint(995, 400) << QPoint(900, 340) << false << 45;
        QTest::newRow("at the left edge") << QPoint(10, 400) << QPoint(0, 340) << false << -40;
        QTest::newRow("top-left corner") << QPoint(0, 0) << QPoint(0, 0) << true << -50;
    }
    void balloonPlacement()
    {
        QFETCH(QPoint, point);
        const BalloonPlacement place = placeBalloon(point, QSize(100, 60), QRect(0, 0, 1000, 800));
        QTEST(place.topLeft, "topLeft");
        QTEST(place.stemAtTop, "stemAtTop");
        QTEST(place.stemOffset, "stemOffset");
        // The stem's tip lands on the point.
        QCOMPARE(place.topLeft.x() + 100 / 2 + place.stemOffset, point.x());
    }

    void balloonShape()
    {
        TVardekoBalloon balloon;
        balloon.resize(120, 60);
        balloon.StemSize = 16;
        balloon.StemPos = TVardekoBalloon::StemTop;
        balloon.StemOffset = 50; // at the right edge: the tip follows, the base stays in the body
        QPoint tip, a, b;
        balloon.stemPoints(&tip, &a, &b);
        QCOMPARE(tip, QPoint(110, 0));
        QVERIFY(b.x() <= balloon.bodyRect().right() - balloon.CornerSize / 2);
        QCOMPARE(balloon.bodyRect(), QRect(0, 16, 120, 44));
        const QRegion shape = balloon.shapeRegion();
        QVERIFY(shape.contains(QPoint(60, 30)));
        QVERIFY(!shape.contains(QPoint(10, 2))); // beside the stem
        QVERIFY(shape.contains(QPoint(tip.x() - 1, 4)));
    }

    void stickyNotePlacement_data()
    {
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("top");
        QTest::addColumn<QPoint>("expected");
        QTest::newRow("given") << 10 << 20 << QPoint(110, 70);
        QTest::newRow("centred both ways") << -1 << -1 << QPoint(100 + 270, 50 + 215);
        QTest::newRow("kept on the screen") << -500 << -500 << QPoint(0, 0);
    }
    void stickyNotePlacement()
    {
        QFETCH(int, left);
        QFETCH(int, top);
        QTEST(placeInPage(QRect(100, 50, 640, 480), left, top, QSize(100, 50), QRect(0, 0, 1280, 1024)), "expected");
    }

    void queryLayout()
    {
        // Three buttons under a short message: the row is wider, the message centred.
        QueryLayout q = layoutQuery(QSize(32, 32), QSize(60, 16), {20, 80, 30});
        QCOMPARE(q.buttons.size(), 3);
        QCOMPARE(q.buttons[0], QRect(12, 12 + 32 + 24, 96, 28));
        QCOMPARE(q.buttons[1].left(), 12 + 96 + 8);
        QCOMPARE(q.client.width(), 12 + 3 * 96 + 2 * 8 + 12);
        QCOMPARE(q.message.top(), 12 + 8); // centred against the icon
        QCOMPARE(q.icon.left() - 12, q.client.width() - 12 - (q.message.right() + 1)); // centred row
        // A long message: the buttons are centred under it; narrow captions are 45 wide.
        q = layoutQuery(QSize(32, 32), QSize(400, 48), {10});
        QCOMPARE(q.buttons[0].width(), 45);
        QCOMPARE(q.client.width(), 12 + 32 + 12 + 400 + 12);
        QCOMPARE(q.buttons[0].left(), (q.client.width() - 45) / 2);
        QCOMPARE(q.icon.top(), 12 + 8);
        // No buttons: no row.
        q = layoutQuery(QSize(32, 32), QSize(100, 16), {});
        QVERIFY(q.buttons.isEmpty());
        QCOMPARE(q.client.height(), 12 + 32 + 12);
    }

    void mascotLayout()
    {
        // A low balloon is made as high as the mascot.
        MascotLayout m = layoutMascotDialog(QSize(64, 80), QSize(100, 16), 8, 8, 12, QSize(75, 25), 1);
        QCOMPARE(m.balloon.height(), 80);
        QCOMPARE(m.balloon.width(), 100 + 16 + 12);
        QCOMPARE(m.client.width(), 64 + 128 + 40);
        QCOMPARE(m.buttons[0].bottom() + 1, m.client.height() - 16);
        QCOMPARE(m.buttons[0].left(), (m.client.width() - 75) / 2);
        // A high one: the mascot is centred against it.
        m = layoutMascotDialog(QSize(64, 80), QSize(100, 200), 8, 8, 12, QSize(75, 25), 3);
        QCOMPARE(m.mascot.center().y(), m.balloon.center().y());
        QCOMPARE(m.buttons.size(), 3);
    }

    // Esc closes a pop-up as dismissed and never reaches the page; Enter accepts.
    void keysClosePopup_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("result");
        QTest::newRow("Esc") << int(Qt::Key_Escape) << 2;
        QTest::newRow("Enter") << int(Qt::Key_Return) << 1;
    }
    void keysClosePopup()
    {
        QFETCH(int, key);
        QWidget page;
        page.show();
        struct KeyCounter : QObject
        {
            int keys = 0;
            bool eventFilter(QObject *, QEvent *e) override
            {
                keys += e->type() == QEvent::KeyPress;
                return false;
            }
        } counter;
        page.installEventFilter(&counter);
        whenOpen([&] { QTest::keyClick(&page, Qt::Key(key)); });
        TPopUpStickyNoteForm form;
        form.resize(80, 40);
        QTEST(form.ShowPopup(QPoint(10, 10)), "result");
        QVERIFY(!form.isVisible());
        QCOMPARE(counter.keys, 0);
    }

    void clicksClosePopup()
    {
        QWidget page;
        page.resize(200, 200);
        page.show();
        TPopUpStickyNoteForm form;
        form.resize(80, 40);
        whenOpen([&] { QTest::mouseClick(&form, Qt::LeftButton); });
        QCOMPARE(form.ShowPopup(QPoint(10, 10)), 1);
        TPopUpStickyNoteForm second;
        second.resize(80, 40);
        whenOpen([&] { QTest::mouseClick(&page, Qt::LeftButton); });
        QCOMPARE(second.ShowPopup(QPoint(300, 300)), 2);
    }

    void displayTimerAndInactivity()
    {
        TPopUpStickyNoteForm form;
        form.resize(80, 40);
        form.DisplayTime = 30;
        QCOMPARE(form.ShowPopup(QPoint(10, 10)), 2);
        // The application losing its activation closes pop-ups; its state at the start
        // does not (offscreen it is never active).
        TPopUpStickyNoteForm second;
        second.resize(80, 40);
        whenOpen([] { emit qApp->applicationStateChanged(Qt::ApplicationInactive); });
        QCOMPARE(second.ShowPopup(QPoint(10, 10)), 2);
    }

    void stopButtonClickReplayed()
    {
        QPushButton stop(QStringLiteral("Stop"));
        stop.show();
        QSignalSpy clicked(&stop, &QPushButton::clicked);
        TPopUpPalette::setStopButton(&stop);
        TPopUpStickyNoteForm form;
        form.resize(80, 40);
        whenOpen([&] { QTest::mouseClick(&stop, Qt::LeftButton); });
        QCOMPARE(form.ShowPopup(QPoint(300, 300)), 2);
        QCOMPARE(clicked.count(), 1);
        TPopUpPalette::setStopButton(nullptr);
    }

    void balloonAndNoteShow()
    {
        TPopUpBalloonForm *shown = nullptr;
        whenOpen([&] {
            QVERIFY(shown);
            QVERIFY(shown->isVisible());
            QVERIFY(shown->TextBalloon->Caption.contains(u'\n'));
            shown->setResult(1);
        });
        QCOMPARE(ShowBalloon(QPoint(400, 5), QStringLiteral("Two|lines"), PopupRun::Modal, &shown), 1);
        QCOMPARE(ShowStickyNote(QRect(0, 0, 640, 480), -1, -1, 20, QStringLiteral("Note")), 2);
    }

    void popupImage()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("small.png"));
        QImage picture(40, 30, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        QVERIFY(picture.save(file));
        QVERIFY(!ShowPopupImage(QRect(0, 0, 640, 480), 10, 10, dir.filePath(QStringLiteral("none.png")), 1, 0, 0,
                                PopupRun::CloseAtOnce));
        // With an effect the picture comes in and the pop-up closes on its timer.
        QVERIFY(ShowPopupImage(QRect(0, 0, 640, 480), 10, 10, file, 13, 0, 150));
    }

    void queryDialog()
    {
        whenOpen([] {
            auto *form = visibleTopLevel<TQueryForm>();
            QVERIFY(form);
            QCOMPARE(form->Buttons.size(), 3);
            QCOMPARE(form->Prompt->text(), QStringLiteral("How are\nyou?"));
            form->Buttons[1]->click();
        });
        QCOMPARE(QueryDialog(QStringLiteral("Greetings"), QStringLiteral("How are|you?"), QStringLiteral("Good|Fair|Bad")),
                 2);
        whenOpen([] { visibleTopLevel<TQueryForm>()->reject(); });
        QCOMPARE(QueryDialog(QStringLiteral("Greetings"), QStringLiteral("x"), QStringLiteral("Good|Fair|Bad")), 0);
        whenOpen([] {
            auto *form = visibleTopLevel<TQueryForm>();
            QVERIFY(form->Buttons.isEmpty());
            form->reject();
        });
        QCOMPARE(QueryDialog(QStringLiteral("T"), QStringLiteral("x"), QString()), 0);
    }

    // AlertBox shows one button with the publication's OK text; Exit asks with Yes/No.
    void providerDialogs()
    {
        FakeRun run;
        run.scripted = false;
        run.pub.Settings.Language[0] = QStringLiteral("Okay");
        auto popups = makeReaderPopups();
        whenOpen([] {
            auto *form = visibleTopLevel<TQueryForm>();
            QVERIFY(form);
            QCOMPARE(form->Buttons.size(), 1);
            QCOMPARE(form->Buttons[0]->text(), QStringLiteral("Okay"));
            form->Buttons[0]->click();
        });
        popups->alertBox(run, QStringLiteral("Title"), QStringLiteral("Message"));
        whenOpen([] {
            auto *form = visibleTopLevel<TQueryForm>();
            QCOMPARE(form->Buttons[0]->text(), QStringLiteral("Yes"));
            form->Buttons[0]->click();
        });
        QVERIFY(popups->confirmExit(run, QStringLiteral("Bye"), QStringLiteral("Quit?")));
        // endLoops ends an open query as if dismissed.
        whenOpen([&] { popups->endLoops(); });
        QCOMPARE(popups->messageBox(run, QStringLiteral("T"), QStringLiteral("M"), {QStringLiteral("A"), QStringLiteral("B")}),
                 0);
    }

    // A scripted run shows nothing that waits: choices come from the answers.
    void scriptedRun()
    {
        FakeRun run;
        run.answers = {2, 7, 1, 3};
        auto popups = makeReaderPopups();
        const QStringList buttons = {QStringLiteral("Good"), QStringLiteral("Fair"), QStringLiteral("Bad")};
        QCOMPARE(popups->messageBox(run, QStringLiteral("T"), QStringLiteral("M"), buttons), 2);
        QCOMPARE(popups->messageBox(run, QStringLiteral("T"), QStringLiteral("M"), buttons), 0); // out of range
        QVERIFY(popups->confirmExit(run, QStringLiteral("T"), QStringLiteral("M")));
        QCOMPARE(popups->popupMenu(run, -1, -1, {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}), 3);
        popups->alertBox(run, QStringLiteral("T"), QStringLiteral("M"));
        popups->balloon(run, QStringLiteral("Hello"));
        popups->stickyNote(run, -1, -1, QStringLiteral("Note"), 0);
        QVERIFY(!popups->popupImage(run, 0, 0, QStringLiteral("/nonexistent/x.png"), 0, 0, 0));
        QVERIFY(!popups->isPaletteOpen());
    }

    void mascotDialogs()
    {
        whenOpen([] {
            auto *dialog = visibleTopLevel<TAlertDialog>();
            QVERIFY(dialog && dialog->YesButton && dialog->NoButton && !dialog->CancelButton);
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        QCOMPARE(AskYesNo(QStringLiteral("Delete"), QStringLiteral("Really?")), YesNoAnswer::No);
        whenOpen([] { visibleTopLevel<TAlertDialog>()->CancelButton->click(); });
        QCOMPARE(AskYesNoCancel(QStringLiteral("Save"), QStringLiteral("Save?")), YesNoAnswer::Cancel);
        whenOpen([] {
            auto *dialog = visibleTopLevel<TAlertDialog>();
            QVERIFY(dialog->OkButton);
            QCOMPARE(dialog->Prompt->Caption, QStringLiteral("Line one\nline two"));
            dialog->OkButton->click();
        });
        AlertDialog(QStringLiteral("Alert"), QStringLiteral("Line one|line two"));
        // The disk change: Continue and Cancel under the mascot; Esc cancels.
        for (const bool go : {true, false}) {
            whenOpen([go] {
                auto *dialog = visibleTopLevel<TAlertDialog>();
                QVERIFY(dialog->ContinueButton && dialog->CancelButton && !dialog->YesButton && !dialog->NoButton);
                QCOMPARE(dialog->ContinueButton->text(), QStringLiteral("Continue"));
                if (go)
                    dialog->ContinueButton->click();
                else
                    QTest::keyClick(dialog, Qt::Key_Escape);
            });
            QCOMPARE(AskContinue(QStringLiteral("Disk Change"), QStringLiteral("Insert the next diskette.")), go);
        }
    }

    // The two mascots are pictures: drawn over most of their box, in colour, unlike each
    // other, at any size asked for; a name that is neither shows Korro.
    void mascotArt()
    {
        const QImage korro = mascotPicture(QStringLiteral("KORRO")).toImage();
        const QImage beluno = mascotPicture(QStringLiteral("beluno")).toImage();
        QCOMPARE(korro.size(), MascotSize);
        QVERIFY(korro != beluno);
        QCOMPARE(mascotPicture(QStringLiteral("ZORBO")).toImage(), korro);
        for (const QImage &image : {korro, beluno}) {
            int opaque = 0;
            QSet<QRgb> colours;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (qAlpha(image.pixel(x, y)) == 255) {
                        ++opaque;
                        colours.insert(image.pixel(x, y));
                    }
            QVERIFY2(opaque > image.width() * image.height() / 4, "the mascot covers its box");
            QVERIFY2(colours.size() > 20, "the mascot is drawn in colour");
            // Transparent around it, so it stands on any dialog background.
            QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
        }
        QCOMPARE(mascotPicture(QStringLiteral("KORRO"), QSize(32, 40)).size(), QSize(32, 40));
        // The alert shows the mascot the preference names.
        setAlertMascot(QStringLiteral("BELUNO"));
        whenOpen([&beluno] {
            auto *dialog = visibleTopLevel<TAlertDialog>();
            QCOMPARE(dialog->Image1->pixmap().toImage(), beluno);
            dialog->OkButton->click();
        });
        AlertDialog(QStringLiteral("Alert"), QStringLiteral("Beluno speaks"));
        setAlertMascot(QStringLiteral("KORRO"));
    }

    // Cancelling asks first; only a confirmation sets the flag, and closing clears it.
    void progressCancel()
    {
        TProgressReport progress;
        Publication pub;
        pub.Settings.Language[1] = QStringLiteral("Stop it");
        QStringList asked;
        bool confirmNow = false;
        progress.confirm = [&](const QString &title, const QString &question, const QStringList &buttons) {
            asked = QStringList{title, question} + buttons;
            return confirmNow;
        };
        progress.Open(3, &pub);
        QCOMPARE(progress.CancelBtn->text(), QStringLiteral("Stop it"));
        progress.Update(nullptr, 5);
        QCOMPARE(progress.ProgressBar->value(), 3);
        progress.CancelBtn->click();
        QVERIFY(!progress.cancelled());
        QCOMPARE(asked.mid(1), (QStringList{QStringLiteral("Do you want to cancel this function?"), QStringLiteral("Yes"),
                                            QStringLiteral("No")}));
        confirmNow = true;
        progress.CancelBtn->click();
        QVERIFY(progress.cancelled());
        progress.Close();
        QVERIFY(!progress.cancelled());
        progress.Open(3, nullptr);
        progress.CancelBtn->click();
        QCOMPARE(progress.CancelBtn->text(), QStringLiteral("Cancel"));
        QCOMPARE(asked.first(), QStringLiteral("Abort"));
    }
};

// Pictures of the pop-ups on a real display, for looking at: set VARDEKO_SHOTS_DIR and
// run on an X display (QT_QPA_PLATFORM=xcb).
class PopupShots : public QObject
{
    Q_OBJECT

    QString mDir;

    void grab(const QString &name, QRect area)
    {
        QTest::qWait(250);
        QScreen *screen = QGuiApplication::primaryScreen();
        QVERIFY(screen->grabWindow(0, area.x(), area.y(), area.width(), area.height())
                        .save(QDir(mDir).filePath(name)));
    }
    QRect around(QWidget *w, int margin = 30) { return w->frameGeometry().adjusted(-margin, -margin, margin, margin); }

private slots:
    void initTestCase()
    {
        mDir = qEnvironmentVariable("VARDEKO_SHOTS_DIR");
        if (mDir.isEmpty())
            QSKIP("VARDEKO_SHOTS_DIR is not set");
    }
    void shots()
    {
        QWidget desk;
        desk.setWindowTitle(QStringLiteral("Page"));
        desk.setStyleSheet(QStringLiteral("background: #6a8caf"));
        desk.setGeometry(QGuiApplication::primaryScreen()->geometry());
        desk.show();
        QTest::qWait(300);
        TPopUpBalloonForm *balloon = nullptr;
        whenOpen([&] {
            grab(QStringLiteral("balloon-stem-down.png"), around(balloon, 40));
            balloon->setResult(1);
        });
        ShowBalloon(QPoint(400, 300), QStringLiteral("Welcome to the tour!|Click anywhere to go on."), PopupRun::Modal,
                    &balloon);
        whenOpen([&] {
            grab(QStringLiteral("balloon-flipped.png"), around(balloon, 40).united(QRect(1100, 0, 180, 10)));
            balloon->setResult(1);
        });
        ShowBalloon(QPoint(1240, 8), QStringLiteral("Near the top right corner|the stem flips up."), PopupRun::Modal,
                    &balloon);
        whenOpen([&] {
            grab(QStringLiteral("sticky-note.png"), QRect(100, 100, 640, 480));
            TPopUpPalette::dismissAll();
        });
        ShowStickyNote(QRect(100, 100, 640, 480), -1, -1, 0, QStringLiteral("Remember:|the shop closes at six."));
        whenOpen([&] {
            auto *form = visibleTopLevel<TQueryForm>();
            grab(QStringLiteral("query-box.png"), around(form));
            form->Buttons[1]->click();
        });
        QueryDialog(QStringLiteral("Greetings"), QStringLiteral("How are you today?"), QStringLiteral("Good|Fair|Bad"));
        setAlertMascot(QStringLiteral("KORRO"));
        whenOpen([&] {
            auto *dialog = visibleTopLevel<TAlertDialog>();
            grab(QStringLiteral("mascot-alert.png"), around(dialog));
            dialog->OkButton->click();
        });
        AlertDialog(QStringLiteral("Vardeko"), QStringLiteral("The page title is already in use.|Please choose another."));
        setAlertMascot(QStringLiteral("BELUNO"));
        whenOpen([&] {
            auto *dialog = visibleTopLevel<TAlertDialog>();
            grab(QStringLiteral("mascot-question.png"), around(dialog));
            dialog->CancelButton->click();
        });
        AskYesNoCancel(QStringLiteral("Save"), QStringLiteral("Save the changes to SAMPLE.PUB?"));
        setAlertMascot(QStringLiteral("KORRO"));
        TProgressReport progress;
        progress.Open(10, nullptr);
        const QString prompt = QStringLiteral("Printing page 4 of 10");
        for (int i = 0; i < 4; ++i)
            progress.Update(&prompt);
        grab(QStringLiteral("progress.png"), around(&progress));
        progress.Close();
    }
};

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    TestPopups popups;
    int failed = QTest::qExec(&popups, argc, argv);
    PopupShots shots;
    failed += QTest::qExec(&shots, argc, argv);
    return failed ? 1 : 0;
}
#include "tst_popups.moc"
