// Run sessions driven through their entry points, with a window that records.
#include "debugform.h"
#include "findform.h"
#include "passworddialog.h"
#include "programs.h"
#include "runinput.h"
#include "runsession.h"
#include "variablestore.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QListView>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace vardeko;

namespace {

class ListLog : public RunLog
{
public:
    QStringList lines;
    void request(const QString &word, const QStringList &fields) override
    {
        lines << (QStringList{word} + fields).join(u'\t');
    }
};

class FakeWindow : public RunWindow
{
public:
    FakeWindow()
    {
        widget.resize(640, 480);
    }
    Publication &publication() const override { return const_cast<Publication &>(pub); }
    QWidget *pageWidget() const override { return const_cast<QWidget *>(&widget); }
    QPoint pageOrigin() const override { return QPoint(); }
    void enterRunLayout(bool) override { ++enters; }
    void leaveRunLayout() override { ++leaves; }
    void repaintPage(const QRect &) override { ++repaints; }
    void currentPageChanged() override {}
    void setPageCursor(const QCursor &) override {}
    QImage grabPage() const override { return QImage(8, 8, QImage::Format_RGB32); }
    QImage renderCurrentPage() const override { return QImage(8, 8, QImage::Format_RGB32); }
    QString caption() const override { return QStringLiteral("Test"); }
    TDebugForm *debugWindow() const override { return debug; }

    Publication pub;
    QWidget widget;
    TDebugForm *debug = nullptr;
    int enters = 0, leaves = 0, repaints = 0;
};

Page *addPage(Publication &pub, const QString &title, const QString &script = QString())
{
    Page *page = pub.appendPage(pub.createPage(title));
    page->PageAction = script;
    return page;
}

PageObject *addButton(Publication &pub, Page *page, int style, const QRect &box,
                      const QString &action = QString(), const QString &var = QString(),
                      const QString &text = QString())
{
    ObjectPtr o = pub.createObject(ButtonKind);
    o->X1 = box.left();
    o->Y1 = box.top();
    o->X2 = box.right();
    o->Y2 = box.bottom();
    ButtonData *b = o->button();
    b->Style = quint8(style);
    b->Action = action;
    b->VarName = var;
    b->Text = text;
    page->Objects.push_back(std::move(o));
    return page->Objects.back().get();
}

PageObject *addText(Publication &pub, Page *page, const QString &text, const QRect &box)
{
    ObjectPtr o = pub.createObject(TextKind);
    o->X1 = box.left();
    o->Y1 = box.top();
    o->X2 = box.right();
    o->Y2 = box.bottom();
    o->text()->Text = text;
    page->Objects.push_back(std::move(o));
    return page->Objects.back().get();
}

// Two pages, "One" current.
struct Fixture
{
    FakeWindow window;
    RunSession session{window};
    ListLog log;
    Page *one = nullptr;
    Page *two = nullptr;
    Fixture(const QString &oneScript = QString(), const QString &twoScript = QString())
    {
        window.pub.clearPages();
        one = addPage(window.pub, QStringLiteral("One"), oneScript);
        two = addPage(window.pub, QStringLiteral("Two"), twoScript);
        window.pub.setCurrentPage(one);
        session.setLog(&log);
        session.setScriptedAnswers({});
        session.setTransitionsEnabled(false);
    }
    ~Fixture()
    {
        if (session.isRunning()) {
            window.pub.Settings.Password.clear();
            session.SetRunMode(0);
        }
    }
    QStringList requests() const
    {
        QStringList out;
        for (const QString &l : log.lines)
            if (!l.startsWith(QLatin1String("Page\t")))
                out << l;
        return out;
    }
};

class RecordingStarter : public ProgramStarter
{
public:
    struct Start
    {
        QString program;
        QStringList arguments;
        QString dir;
    };
    QList<Start> starts;
    QStringList association;
    QStringList urls;
    bool startDetached(const QString &program, const QStringList &arguments, const QString &dir) override
    {
        starts.append({program, arguments, dir});
        return true;
    }
    QStringList associatedProgram(const QString &) override { return association; }
    bool openUrl(const QString &address) override
    {
        urls << address;
        return true;
    }
};

} // namespace

class TestRuntime : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { globalVariables().DeleteAllVariables(); }

    void enteringRunsTheCurrentPagesScript()
    {
        Fixture f(QStringLiteral("SetVar \"[A]\" \"1\""));
        f.session.SetRunMode(1);
        QVERIFY(f.session.isRunning());
        QCOMPARE(f.window.enters, 1);
        QCOMPARE(globalVariables().GetVariable(QStringLiteral("A")), QStringLiteral("1"));
        QCOMPARE(f.log.lines.first(), QStringLiteral("Page\t1\tOne"));
    }

    void masterPageCurrentStartsOnItsReturnPageOrTheFirst()
    {
        Fixture f;
        f.window.pub.setCurrentPage(f.window.pub.masterPage());
        f.session.SetRunMode(1);
        QCOMPARE(f.window.pub.currentPage(), f.one);
    }

    void gotoPageRunsEntryScriptBeforeTheNextLine()
    {
        Fixture f(QString(), QStringLiteral("AlertBox \"entry\" \"two\""));
        f.session.SetRunMode(1);
        f.session.ExecuteScript(QStringLiteral("GotoPage \"Two\"|AlertBox \"x\" \"y\""));
        QCOMPARE(f.requests(), (QStringList{QStringLiteral("GotoPage\tTwo"), QStringLiteral("AlertBox\tentry\ttwo"),
                                            QStringLiteral("AlertBox\tx\ty")}));
        QCOMPARE(f.window.pub.currentPage(), f.two);
    }

    void errorInEntryScriptEndsTheCallingScript()
    {
        Fixture f(QString(), QStringLiteral("Bogus"));
        f.session.SetRunMode(1);
        f.session.ExecuteScript(QStringLiteral("GotoPage \"Two\"|AlertBox \"x\" \"y\""));
        QCOMPARE(f.requests().size(), 2);
        QVERIFY(f.requests().at(1).startsWith(QLatin1String("Debug\t")));
        QVERIFY(f.session.isRunning());
    }

    void menuChoiceRunsOnlyItsLine()
    {
        Fixture f;
        f.session.setScriptedAnswers({2});
        f.session.SetRunMode(1);
        f.session.ExecuteScript(QStringLiteral("Menu \"-1\" \"-1\" \"A|B|C\"|SetVar \"[R]\" \"a\"|"
                                               "SetVar \"[R]\" \"b\"|SetVar \"[R]\" \"c\"|AlertBox \"end\" \"end\""));
        QCOMPARE(globalVariables().GetVariable(QStringLiteral("R")), QStringLiteral("b"));
        QCOMPARE(f.requests().last(), QStringLiteral("AlertBox\tend\tend"));
    }

    void idleMinuteRunsTheReturnAction()
    {
        Fixture f;
        PublicationSettings &s = f.window.pub.Settings;
        s.AutoReturn = true;
        s.ReturnTime = 1;
        s.ReturnAction = QStringLiteral("GotoFirstPage");
        f.session.SetRunMode(1);
        f.session.ShowPage(QStringLiteral("Two"));
        f.session.tick();
        QCOMPARE(f.window.pub.currentPage(), f.two);
        f.session.idle(59 * 1000);
        f.session.tick();
        QCOMPARE(f.window.pub.currentPage(), f.two);
        f.session.idle(1000);
        f.session.tick();
        QCOMPARE(f.window.pub.currentPage(), f.one);
        // Running the action counts as activity: the next return is a minute away.
        f.session.ShowPage(QStringLiteral("Two"));
        f.session.tick();
        QCOMPARE(f.window.pub.currentPage(), f.two);
    }

    void leavingDeletesVariablesAndRemembersThem()
    {
        Fixture f(QStringLiteral("SetVar \"[A]\" \"1\"|SetVar \"[B]\" \"2\""));
        f.session.SetRunMode(1);
        f.session.SetRunMode(0);
        QVERIFY(!f.session.isRunning());
        QCOMPARE(globalVariables().count(), 0);
        QCOMPARE(f.session.lastVariables(), (QStringList{QStringLiteral("B = \"2\""), QStringLiteral("A = \"1\"")}));
        QCOMPARE(f.window.leaves, 1);
    }

    void runStopCommandEndsScriptsBeforeLeaving()
    {
        Fixture f;
        f.session.SetRunMode(1);
        bool stillRunningAfterFirstStop = false;
        int depthAfterFirstStop = -1;
        QTimer::singleShot(50, &f.session, [&] {
            f.session.runStopCommand();
            stillRunningAfterFirstStop = f.session.isRunning();
            depthAfterFirstStop = f.session.runDepth();
        });
        f.session.ExecuteScript(QStringLiteral("While \"1\" \"=\" \"1\"|EndWhile|SetVar \"[After]\" \"x\""));
        QVERIFY(stillRunningAfterFirstStop);
        QCOMPARE(depthAfterFirstStop, 0);
        QVERIFY(f.log.lines.contains(QStringLiteral("Beep")));
        QVERIFY(globalVariables().GetVariable(QStringLiteral("After")).isEmpty());
        f.session.runStopCommand();
        QVERIFY(!f.session.isRunning());
    }

    void closingARunningWindowLeavesRunModeInstead()
    {
        Fixture f;
        QVERIFY(f.session.closeRequested());
        f.session.SetRunMode(1);
        QVERIFY(!f.session.closeRequested());
        QVERIFY(!f.session.isRunning());
    }

    void leavingFromInsideAScriptEndsItAtItsNextLine()
    {
        Fixture f;
        f.session.SetRunMode(1);
        f.session.ExecuteScript(QStringLiteral("Exit \"\" \"\"|SetVar \"[X]\" \"1\""));
        QVERIFY(!f.session.isRunning());
        QCOMPARE(globalVariables().count(), 0);
        QVERIFY(!f.session.lastVariables().contains(QStringLiteral("X = \"1\"")));
    }

    void returnPageDeletedWhileEditingIsForgotten()
    {
        Fixture f;
        Page *three = addPage(f.window.pub, QStringLiteral("Three"));
        f.session.SetRunMode(1);
        f.session.ShowPage(QStringLiteral("Three"));
        f.session.ShowPage(QStringLiteral("Two"));
        QCOMPARE(f.session.returnPage(f.two), three);
        f.session.SetRunMode(0);
        f.window.pub.destroyPage(three);
        QCOMPARE(f.session.returnPage(f.two), nullptr);
        f.session.SetRunMode(1);
        f.session.ExecuteScript(QStringLiteral("ReturnToPage"));
        QCOMPARE(f.window.pub.currentPage(), f.two);
    }

    void keysInTableOrder_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("allowPageKeys");
        QTest::addColumn<QString>("expectedPage");
        QTest::addColumn<bool>("used");
        QTest::newRow("page down") << int(Qt::Key_PageDown) << true << "Two" << true;
        QTest::newRow("end") << int(Qt::Key_End) << true << "Three" << true;
        QTest::newRow("page down not allowed") << int(Qt::Key_PageDown) << false << "One" << false;
        QTest::newRow("unused letter") << int(Qt::Key_Q) << true << "One" << false;
    }

    void keysInTableOrder()
    {
        QFETCH(int, key);
        QFETCH(bool, allowPageKeys);
        QFETCH(QString, expectedPage);
        QFETCH(bool, used);
        Fixture f;
        addPage(f.window.pub, QStringLiteral("Three"));
        f.window.pub.Settings.AllowPageUpDn = allowPageKeys;
        f.session.SetRunMode(1);
        QCOMPARE(f.session.HandleRunKey(key, Qt::NoModifier), used);
        QCOMPARE(f.window.pub.currentPage()->Title, expectedPage);
    }

    void escLeavesOnlyWhenAllowed()
    {
        Fixture f;
        f.window.pub.Settings.AllowESC = false;
        f.session.SetRunMode(1);
        QVERIFY(!f.session.HandleRunKey(Qt::Key_Escape, Qt::NoModifier));
        QVERIFY(f.session.isRunning());
        f.window.pub.Settings.AllowESC = true;
        QVERIFY(f.session.HandleRunKey(Qt::Key_Escape, Qt::NoModifier));
        QVERIFY(!f.session.isRunning());
    }

    void escEndsRunningScriptsWithABeepWhenItCannotLeave()
    {
        Fixture f;
        f.window.pub.Settings.AllowESC = false;
        f.session.SetRunMode(1);
        QTimer::singleShot(30, &f.session, [&] { f.session.HandleRunKey(Qt::Key_Escape, Qt::NoModifier); });
        f.session.ExecuteScript(QStringLiteral("While \"1\" \"=\" \"1\"|EndWhile"));
        QVERIFY(f.session.isRunning());
        QVERIFY(f.log.lines.contains(QStringLiteral("Beep")));
    }

    // Keys typed into another of the program's windows (the debug window, Find, a text
    // window) reach the session too.
    void escAndPauseReachTheSessionFromOtherWindows_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("allowEsc");
        QTest::addColumn<bool>("scriptRuns");
        QTest::addColumn<bool>("running");
        QTest::addColumn<bool>("beeped");
        QTest::newRow("Esc leaves") << int(Qt::Key_Escape) << true << false << false << false;
        QTest::newRow("Esc not allowed") << int(Qt::Key_Escape) << false << false << true << false;
        QTest::newRow("Esc ends a loop") << int(Qt::Key_Escape) << false << true << true << true;
        QTest::newRow("Pause ends a loop") << int(Qt::Key_Pause) << true << true << true << true;
        QTest::newRow("Pause with no script") << int(Qt::Key_Pause) << true << false << true << false;
    }

    void escAndPauseReachTheSessionFromOtherWindows()
    {
        QFETCH(int, key);
        QFETCH(bool, allowEsc);
        QFETCH(bool, scriptRuns);
        QFETCH(bool, running);
        QFETCH(bool, beeped);
        Fixture f;
        f.window.pub.Settings.AllowESC = allowEsc;
        QLineEdit elsewhere;
        elsewhere.show();
        f.session.SetRunMode(1);
        auto press = [&] { QTest::keyClick(&elsewhere, Qt::Key(key)); };
        if (scriptRuns) {
            QTimer::singleShot(30, &elsewhere, press);
            f.session.ExecuteScript(QStringLiteral("While \"1\" \"=\" \"1\"|EndWhile"));
        } else {
            press();
        }
        QCOMPARE(f.session.isRunning(), running);
        QCOMPARE(f.log.lines.contains(QStringLiteral("Beep")), beeped);
        // Once run mode is over the keys are the other window's again.
        f.session.SetRunMode(0);
        QTest::keyClick(&elsewhere, Qt::Key(key));
        QCOMPARE(f.log.lines.count(QStringLiteral("Beep")), beeped ? 1 : 0);
    }

    void focusOrderTakesMasterFirstEntersGroupsAndWraps()
    {
        Fixture f;
        Publication &pub = f.window.pub;
        pub.Settings.TabButtons = true;
        PageObject *m = addButton(pub, pub.masterPage(), PushButton, QRect(0, 0, 10, 10));
        PageObject *a = addButton(pub, f.one, PushButton, QRect(20, 0, 10, 10));
        ObjectPtr group = pub.createObject(GroupKind);
        ObjectPtr inner = pub.createObject(ButtonKind);
        PageObject *g = inner.get();
        group->Members.push_back(std::move(inner));
        f.one->Objects.push_back(std::move(group));
        f.session.SetRunMode(1);
        QCOMPARE(f.session.focusedObject(), m);
        f.session.HandleRunKey(Qt::Key_Tab, Qt::NoModifier);
        QCOMPARE(f.session.focusedObject(), a);
        f.session.HandleRunKey(Qt::Key_Tab, Qt::NoModifier);
        QCOMPARE(f.session.focusedObject(), g);
        f.session.HandleRunKey(Qt::Key_Tab, Qt::NoModifier);
        QCOMPARE(f.session.focusedObject(), m);
        f.session.HandleRunKey(Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(f.session.focusedObject(), g);
    }

    void hotKeyPressesTheButton()
    {
        Fixture f;
        PageObject *b = addButton(f.window.pub, f.one, PushButton, QRect(0, 0, 10, 10),
                                  QStringLiteral("SetVar \"[Hit]\" \"yes\""));
        b->button()->Key = quint16('K') | 0x4000;
        f.session.SetRunMode(1);
        QVERIFY(!f.session.HandleRunKey(Qt::Key_K, Qt::NoModifier));
        QVERIFY(f.session.HandleRunKey(Qt::Key_K, Qt::ControlModifier));
        QCOMPARE(globalVariables().GetVariable(QStringLiteral("Hit")), QStringLiteral("yes"));
        QCOMPARE(b->button()->State, quint8(0));
    }

    void clicksPressButtonsAndBindCheckBoxesAndRadios()
    {
        Fixture f;
        Publication &pub = f.window.pub;
        PageObject *check = addButton(pub, f.one, CheckBox, QRect(0, 0, 20, 20), QString(), QStringLiteral("Opt"));
        PageObject *r1 = addButton(pub, f.one, RadioButton, QRect(0, 40, 20, 20), QString(), QStringLiteral("[Pick]"),
                                   QStringLiteral("Red"));
        PageObject *r2 = addButton(pub, f.two, RadioButton, QRect(0, 40, 20, 20), QString(), QStringLiteral("pick"),
                                   QStringLiteral("Blue"));
        r2->button()->InitState = 1;
        f.session.SetRunMode(1);
        QCOMPARE(r2->button()->State, quint8(1));
        f.session.mousePress(Qt::LeftButton, QPoint(5, 5));
        QCOMPARE(check->button()->State, quint8(2)); // pushed look
        f.session.mouseRelease(Qt::LeftButton, QPoint(5, 5));
        QCOMPARE(check->button()->State, quint8(1));
        QCOMPARE(globalVariables().GetVariable(QStringLiteral("OPT")), QStringLiteral("Checked"));
        // Released elsewhere: nothing happens.
        f.session.mousePress(Qt::LeftButton, QPoint(5, 5));
        f.session.mouseMove(QPoint(300, 300));
        f.session.mouseRelease(Qt::LeftButton, QPoint(300, 300));
        QCOMPARE(check->button()->State, quint8(1));
        f.session.mousePress(Qt::LeftButton, QPoint(5, 45));
        f.session.mouseRelease(Qt::LeftButton, QPoint(5, 45));
        QCOMPARE(r1->button()->State, quint8(1));
        QCOMPARE(r2->button()->State, quint8(0)); // cleared on the other page
        QCOMPARE(globalVariables().GetVariable(QStringLiteral("PICK")), QStringLiteral("Red"));
        // The variable drives them back.
        globalVariables().SetVariable(QStringLiteral("Pick"), QStringLiteral("BLUE"));
        QCOMPARE(r1->button()->State, quint8(0));
        QCOMPARE(r2->button()->State, quint8(1));
        globalVariables().SetVariable(QStringLiteral("Opt"), QString());
        QCOMPARE(check->button()->State, quint8(0));
        globalVariables().SetVariable(QStringLiteral("Pick"), QString());
        QCOMPARE(r2->button()->State, quint8(0));
    }

    void entryFieldScriptSettingItsVariableDoesNotRunAgain()
    {
        Fixture f;
        PageObject *field = addButton(f.window.pub, f.one, EntryField, QRect(0, 0, 100, 20),
                                      QStringLiteral("Math \"[N]+1\" \"0\" \"[N]\"|SetVar \"[Name]\" \"[Name]!\""),
                                      QStringLiteral("Name"));
        f.session.SetRunMode(1);
        QCOMPARE(f.session.editedField(), field);
        QLineEdit *edit = f.session.fieldEditor();
        QVERIFY(edit);
        QTest::keyClicks(edit, QStringLiteral("ab"));
        QCOMPARE(globalVariables().GetVariable(QStringLiteral("N")), QStringLiteral("2"));
        // Each keystroke ran the script once; its own change showed in the field.
        QCOMPARE(globalVariables().GetVariable(QStringLiteral("Name")), QStringLiteral("a!b!"));
        QCOMPARE(edit->text(), QStringLiteral("a!b!"));
        QCOMPARE(field->button()->Contents, QStringLiteral("a!b!"));
    }

    void timeTextsRedrawOnTheTick()
    {
        Fixture f;
        addText(f.window.pub, f.one, QStringLiteral("[Time]"), QRect(0, 0, 100, 20));
        f.session.SetRunMode(1);
        f.session.tick();
        const int before = f.window.repaints;
        QTest::qWait(1100);
        f.session.tick();
        QVERIFY(f.window.repaints > before);
    }

    void textsShowingAVariableRedrawWhenItChanges_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("script");
        QTest::addColumn<bool>("redrawn");
        QTest::newRow("shown") << "Score: [Score]" << "SetVar \"[SCORE]\" \"3\"" << true;
        QTest::newRow("any case") << "[score] points" << "Math \"2+2\" \"0\" \"[Score]\"" << true;
        QTest::newRow("second of two") << "[A] and [Score]" << "SetVar \"[Score]\" \"1\"" << true;
        QTest::newRow("deleted") << "[Score]" << "SetVar \"[Score]\" \"1\"|SetVar \"[Score]\" \"\"" << true;
        QTest::newRow("another variable") << "Score: [Score]" << "SetVar \"[Scores]\" \"3\"" << false;
        QTest::newRow("name inside a longer one") << "[MyScore]" << "SetVar \"[Score]\" \"3\"" << false;
        QTest::newRow("no reference") << "Score" << "SetVar \"[Score]\" \"3\"" << false;
    }

    void textsShowingAVariableRedrawWhenItChanges()
    {
        QFETCH(QString, text);
        QFETCH(QString, script);
        QFETCH(bool, redrawn);
        Fixture f;
        // Inside a group, as texts often are.
        ObjectPtr group = f.window.pub.createObject(GroupKind);
        addText(f.window.pub, f.one, text, QRect(0, 0, 100, 20));
        group->Members.push_back(std::move(f.one->Objects.back()));
        f.one->Objects.pop_back();
        f.one->Objects.push_back(std::move(group));
        f.session.SetRunMode(1);
        const int before = f.window.repaints;
        f.session.ExecuteScript(script);
        QCOMPARE(f.window.repaints > before, redrawn);
    }

    void aVariableNoTextShowsIsRedrawnOnceAPageShowsIt()
    {
        Fixture f;
        addText(f.window.pub, f.two, QStringLiteral("[Score]"), QRect(0, 0, 100, 20));
        f.session.SetRunMode(1);
        // Counted where nothing shows it, then shown on the next page.
        f.session.ExecuteScript(QStringLiteral("SetVar \"[Score]\" \"1\"|SetVar \"[Score]\" \"2\"|GotoPage \"Two\""));
        const int before = f.window.repaints;
        f.session.ExecuteScript(QStringLiteral("SetVar \"[Score]\" \"3\""));
        QVERIFY(f.window.repaints > before);
        // Back on the first page, left again and changed there after a new run mode.
        f.session.ExecuteScript(QStringLiteral("GotoPage \"One\"|SetVar \"[Score]\" \"4\""));
        f.session.SetRunMode(0);
        f.window.pub.setCurrentPage(f.two);
        f.session.SetRunMode(1);
        const int again = f.window.repaints;
        f.session.ExecuteScript(QStringLiteral("SetVar \"[Score]\" \"5\""));
        QVERIFY(f.window.repaints > again);
    }

    void debugWindowIndentsAndStartsAgainAfter500Lines()
    {
        TDebugForm debug;
        debug.show();
        for (int i = 0; i < 500; ++i)
            debug.RecordLine(1, QStringLiteral("SetVar"));
        QCOMPARE(debug.recordedLines().lineCount(), 500);
        debug.showPending();
        QCOMPARE(debug.scriptList()->model()->rowCount(), 500);
        QCOMPARE(debug.scriptList()->currentIndex().row(), 499);
        debug.RecordLine(3, QStringLiteral("AlertBox"));
        QCOMPARE(debug.recordedLines().lineCount(), 1);
        // The list follows at the next frame.
        QTRY_COMPARE(debug.scriptList()->model()->rowCount(), 1);
        QCOMPARE(debug.scriptList()->model()->index(0, 0).data().toString(), QStringLiteral("    AlertBox"));
        QCOMPARE(debug.scriptList()->currentIndex().row(), 0);
        debug.setRolledUp(true);
        QVERIFY(debug.height() < 100);
        debug.setRolledUp(false);
        QCOMPARE(debug.height(), 200);
    }

    void debugWindowRecordsEntryScriptsOneLevelDeeper()
    {
        TDebugForm debug; // outlives the session
        Fixture f(QString(), QStringLiteral("SetVar \"[A]\" \"1\""));
        f.window.debug = &debug;
        f.session.SetRunMode(1);
        debug.show();
        f.session.ExecuteScript(QStringLiteral("GotoPage \"Two\""));
        QCOMPARE(debug.recordedLines().lineCount(), 2);
        QCOMPARE(debug.recordedLines().lineText(1), QStringLiteral("  SetVar \"[A]\" \"1\""));
        // Both lists are brought up to date once a frame.
        QTRY_COMPARE(debug.scriptList()->model()->rowCount(), 2);
        QTRY_COMPARE(debug.varList()->count(), 1);
        QCOMPARE(debug.varList()->item(0)->text(), QStringLiteral("A = \"1\""));
        debug.hide();
        f.session.ExecuteScript(QStringLiteral("SetVar \"[B]\" \"1\""));
        debug.show();
        QCOMPARE(debug.recordedLines().lineCount(), 0);
        QCOMPARE(debug.scriptList()->model()->rowCount(), 0);
        // Shown again during the run, it lists the variables as they stand, B included.
        QTRY_COMPARE(debug.varList()->count(), 2);
    }

    void debugWindowKeepsTheLinesOfAClosedWindow()
    {
        TDebugForm debug;
        debug.show();
        {
            Fixture f;
            f.window.debug = &debug;
            f.session.SetRunMode(1);
            f.session.ExecuteScript(QStringLiteral("SetVar \"[A]\" \"1\"|SetVar \"[B]\" \"2\""));
            f.session.SetRunMode(0);
        } // the window, its runner and the scripts it ran are gone
        QCOMPARE(debug.recordedLines().lineCount(), 0); // leaving run mode empties the list
        {
            Fixture f;
            f.window.debug = &debug;
            f.session.SetRunMode(1);
            f.session.ExecuteScript(QString(QStringLiteral("SetVar \"[C]\" \"3\"")));
            f.window.debug = nullptr;
        }
        QCOMPARE(debug.recordedLines().lineCount(), 1);
        QCOMPARE(debug.recordedLines().lineText(0), QStringLiteral("SetVar \"[C]\" \"3\""));
        debug.showPending();
        QCOMPARE(debug.scriptList()->model()->index(0, 0).data().toString(), QStringLiteral("SetVar \"[C]\" \"3\""));
    }

    void theOpenLockIsDrawnWholeAboveTheClosedOne()
    {
        // The top row holding the shackle's grey.
        auto shackleTop = [](bool open) {
            LockIcon lock;
            lock.resize(lock.sizeHint());
            lock.setOpen(open);
            const QImage image = lock.grab().toImage();
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (qAbs(qGray(image.pixel(x, y)) - 96) < 12 && qAbs(qRed(image.pixel(x, y)) - qBlue(image.pixel(x, y))) < 8)
                        return y;
            return -1;
        };
        const int closed = shackleTop(false);
        const int open = shackleTop(true);
        QVERIFY(closed > 0);
        QVERIFY2(open > 0, "the lifted shackle is cut off by the icon's top");
        QVERIFY(open < closed);
    }

    void passwordGuardsLeaving_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<bool>("left");
        QTest::addColumn<int>("alerts");
        QTest::newRow("correct in another case") << "SeCrEt" << false << true << 0;
        QTest::newRow("wrong") << "nope" << false << true << 2;
        QTest::newRow("cancelled") << "" << true << false << 0;
    }

    void passwordGuardsLeaving()
    {
        QFETCH(QString, typed);
        QFETCH(bool, cancel);
        QFETCH(bool, left);
        QFETCH(int, alerts);
        Fixture f;
        f.window.pub.Settings.Password = QStringLiteral("secret");
        f.session.SetRunMode(1);
        QString caption;
        bool okEnabledEmpty = true;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<TPasswordDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            caption = dialog->windowTitle();
            okEnabledEmpty = dialog->findChild<QPushButton *>(QStringLiteral("OkBtn"))->isEnabled();
            if (cancel) {
                dialog->reject();
                return;
            }
            dialog->edit()->setText(typed);
            dialog->accept();
        });
        f.session.SetRunMode(0);
        QCOMPARE(caption, QStringLiteral("Password Required"));
        QVERIFY(!okEnabledEmpty);
        QCOMPARE(!f.session.isRunning(), left);
        QStringList shown = f.requests();
        QCOMPARE(shown.size(), alerts);
        if (alerts) {
            QCOMPARE(shown.at(0), QStringLiteral("MessageBox\tPassword Required\tThat's not the right password!\tOK"));
            QVERIFY(shown.at(1).startsWith(QLatin1String("Password\tNormally failing")));
        }
    }

    void findSearchesTextObjectsInScope()
    {
        Fixture f;
        addText(f.window.pub, f.two, QStringLiteral("Hello ^World|again"), QRect(0, 0, 100, 20));
        f.session.SetRunMode(1);
        f.session.ExecuteScript(QStringLiteral("Find \"ALL\""));
        TFindForm *find = f.session.findForm();
        QVERIFY(find);
        find->edit()->setText(QStringLiteral("world again"));
        QVERIFY(!find->nextButton()->isEnabled());
        find->findFirst();
        QCOMPARE(f.window.pub.currentPage(), f.two);
        QVERIFY(f.session.findHighlight());
        find->findNext();
        QCOMPARE(f.requests().last(), QStringLiteral("MessageBox\tFind\tSearch text not found.\tOK"));
        f.session.ExecuteScript(QStringLiteral("Find \"One|Nowhere\""));
        find->findFirst();
        QCOMPARE(f.requests().last(),
                 QStringLiteral("Debug\t\"Nowhere\"\r\rThis publication does not contain a page with this name.\r\rSearch canceled."));
    }

    void findSearchesArticlesAndTextWindowFiles()
    {
        QTemporaryDir dir;
        auto write = [&dir](const char *name, const char *text) {
            QFile file(dir.filePath(QLatin1String(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(text);
        };
        write("STORY.TXT", "Once upon\r\na ^Btime^N there\r\nwas a fox\r\n");
        write("NOTES.TXT", "nothing here\r\nthe fox again\r\n");
        Fixture f;
        Publication &pub = f.window.pub;
        pub.FileName = dir.filePath(QStringLiteral("BOOK.PUB"));
        auto addArticle = [&pub](Page *page, const QString &file) {
            ObjectPtr o = pub.createObject(ArticleKind);
            o->X2 = 100;
            o->Y2 = 100;
            o->article()->FileName = file;
            page->Objects.push_back(std::move(o));
            return page->Objects.back().get();
        };
        PageObject *story = addArticle(f.one, QStringLiteral("story.txt"));
        addArticle(f.two, QStringLiteral("MISSING.TXT"));
        addArticle(f.two, QStringLiteral("MISSING.TXT"));
        addButton(pub, f.two, PushButton, QRect(0, 0, 10, 10),
                  QStringLiteral("SetVar \"[A]\" \"1\"|TextWindow \"Notes\" \"-1\" \"-1\" \"NOTES.TXT\""));
        f.session.SetRunMode(1);
        f.session.ExecuteScript(QStringLiteral("Find \"ALL\""));
        TFindForm *find = f.session.findForm();
        QVERIFY(find);
        // Codes are not part of the text; a match goes on across a line break.
        find->edit()->setText(QStringLiteral("upon a time"));
        find->findFirst();
        QCOMPARE(pub.currentPage(), f.one);
        QCOMPARE(f.session.findHighlight(), story);
        find->edit()->setText(QStringLiteral("FOX"));
        find->findFirst();
        QCOMPARE(pub.currentPage(), f.one);
        auto alerts = [&f] {
            return f.requests().filter(QStringLiteral("MISSING.TXT")).size();
        };
        QCOMPARE(alerts(), 0);
        // Two articles show the unreadable file: one alert for the search. The match in
        // the text window's file opens that window.
        find->findNext();
        QCOMPARE(alerts(), 1);
        QCOMPARE(pub.currentPage(), f.two);
        QCOMPARE(f.requests().last(), QStringLiteral("TextWindow\tNotes\t-1\t-1\tNOTES.TXT"));
        QVERIFY(globalVariables().GetVariable(QStringLiteral("A")).isEmpty()); // only that line runs
        find->findNext();
        QCOMPARE(alerts(), 2); // the next search tells again
        QCOMPARE(f.requests().last(), QStringLiteral("MessageBox\tFind\tSearch text not found.\tOK"));
    }

    void programsAreFoundWithoutCaseAndNeverGoThroughAShell()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Tool.sh"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n");
        file.close();
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QFile doc(dir.filePath(QStringLiteral("report.doc")));
        QVERIFY(doc.open(QIODevice::WriteOnly));
        doc.close();
        RecordingStarter starter;
        setProgramStarter(&starter);
        QCOMPARE(RunProgram(QStringLiteral(" TOOL.SH "), QStringLiteral("a b; rm -rf x"), dir.path()).code, 33);
        QCOMPARE(starter.starts.size(), 1);
        QCOMPARE(starter.starts.at(0).program, path);
        QCOMPARE(starter.starts.at(0).arguments, QStringList{QStringLiteral("a b; rm -rf x")});
        QCOMPARE(RunProgram(QStringLiteral("report.doc"), QString(), dir.path()).code, 31);
        starter.association = {QStringLiteral("/usr/bin/env"), QStringLiteral("--")};
        QCOMPARE(RunProgram(QStringLiteral("REPORT.DOC"), QStringLiteral("x"), dir.path()).code, 33);
        QCOMPARE(starter.starts.last().arguments,
                 (QStringList{QStringLiteral("--"), dir.filePath(QStringLiteral("report.doc")), QStringLiteral("x")}));
        QCOMPARE(RunProgram(QStringLiteral("missing.exe"), QString(), dir.path()).code, 2);
        QCOMPARE(RunProgram(QStringLiteral("nodir/missing.exe"), QString(), dir.path()).code, 3);
        QCOMPARE(programErrorText(31), QStringLiteral("No application is associated with this file!"));
        QCOMPARE(programErrorText(14), QStringLiteral("This application was designed for a different operating system."));
        QCOMPARE(programErrorText(99), QStringLiteral("Unable to load this application."));
        QVERIFY(OpenWebAddress(QStringLiteral(" http://example.org ")));
        QCOMPARE(starter.urls, QStringList{QStringLiteral("http://example.org")});
        setProgramStarter(nullptr);
    }

    void hitTestSearchesGroupsAndMaster()
    {
        Publication pub;
        pub.clearPages();
        Page *page = addPage(pub, QStringLiteral("P"));
        PageObject *m = addButton(pub, pub.masterPage(), PushButton, QRect(300, 300, 100, 100));
        ObjectPtr group = pub.createObject(GroupKind);
        group->X1 = 100; group->Y1 = 100; group->X2 = 300; group->Y2 = 300;
        ObjectPtr inner = pub.createObject(RectangleKind);
        inner->X1 = 100; inner->Y1 = 100; inner->X2 = 150; inner->Y2 = 150;
        PageObject *in = inner.get();
        group->Members.push_back(std::move(inner));
        page->Objects.push_back(std::move(group));
        QCOMPARE(runHitTest(*page, pub.masterPage(), QPoint(120, 120)), in);
        QCOMPARE(runHitTest(*page, pub.masterPage(), QPoint(250, 250)), nullptr);
        QCOMPARE(runHitTest(*page, pub.masterPage(), QPoint(350, 350)), m);
        page->ShowMaster = false;
        QCOMPARE(runHitTest(*page, pub.masterPage(), QPoint(350, 350)), nullptr);
    }
};

QTEST_MAIN(TestRuntime)
#include "tst_runtime.moc"
