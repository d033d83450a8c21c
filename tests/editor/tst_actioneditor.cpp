// The action editor: memo insertion, the parameter dialog's fields, the palette and the
// position dialog's geometry.
#include "actioneditor.h"
#include "actionfields.h"
#include "actionform.h"
#include "actionmemo.h"
#include "actionpalette.h"
#include "actiontester.h"
#include "commandtable.h"
#include "positiondialog.h"
#include "positiongeometry.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>

using namespace vardeko;

class TestActionEditor : public QObject
{
    Q_OBJECT

private slots:
    void acceptedText_data();
    void acceptedText();
    void insertion_data();
    void insertion();
    void fillFromLine_data();
    void fillFromLine();
    void valuesSurviveOk_data();
    void valuesSurviveOk();
    void memoRows_data();
    void memoRows();
    void palette();
    void testButtons();
    void handleDrags_data();
    void handleDrags();
    void hitTest_data();
    void hitTest();
    void writtenCoordinates_data();
    void writtenCoordinates();
    void positionDialogPanels();
};

void TestActionEditor::acceptedText_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<bool>("inserting");
    QTest::addColumn<QString>("text");
    const QString ifLine = QStringLiteral(R"(If "[A]" "=" "1")");
    const QString whileLine = QStringLiteral(R"(While "[I]" "<" "3")");
    QTest::newRow("inserted If brings Else and EndIf") << int(CmdIf) << true << ifLine + "\n\nElse\n\nEndIf";
    QTest::newRow("inserted While brings EndWhile") << int(CmdWhile) << true << whileLine + "\n\nEndWhile";
    QTest::newRow("edited If brings nothing") << int(CmdIf) << false << ifLine;
    QTest::newRow("edited While brings nothing") << int(CmdWhile) << false << whileLine;
    QTest::newRow("other commands bring nothing") << int(CmdDelay) << true << QStringLiteral(R"(Delay "5")");
}

void TestActionEditor::acceptedText()
{
    QFETCH(int, command);
    QFETCH(bool, inserting);
    QFETCH(QString, text);
    const QString line = text.section(u'\n', 0, 0);
    QCOMPARE(acceptedCommandText(command, line, inserting), text);
}

void TestActionEditor::insertion_data()
{
    QTest::addColumn<QString>("memo");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty memo") << "" << 0 << 0 << "X" << "X";
    QTest::newRow("empty caret row is replaced") << "A\n\nB" << 1 << 0 << "X" << "A\nX\nB";
    QTest::newRow("first column: before the row") << "A\nB" << 1 << 0 << "X" << "A\nX\nB";
    QTest::newRow("inside the row: after it") << "A\nBB" << 1 << 1 << "X" << "A\nBB\nX";
    QTest::newRow("end of the last row: after it") << "A" << 0 << 1 << "X" << "A\nX";
    QTest::newRow("If block into an empty row")
            << "\nB" << 0 << 0 << "If \"[A]\" \"=\" \"1\"\n\nElse\n\nEndIf"
            << "If \"[A]\" \"=\" \"1\"\n\nElse\n\nEndIf\nB";
}

void TestActionEditor::insertion()
{
    QFETCH(QString, memo);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QPlainTextEdit edit;
    edit.setPlainText(memo);
    QTextCursor c(edit.document()->findBlockByNumber(row));
    c.setPosition(c.block().position() + column);
    edit.setTextCursor(c);
    insertCommandText(&edit, text);
    QCOMPARE(edit.toPlainText(), expected);
    // The inserted text is left selected, the caret at its start.
    QCOMPARE(edit.textCursor().selectedText().replace(QChar::ParagraphSeparator, u'\n'), text);
    QCOMPARE(edit.textCursor().selectionStart(), int(expected.indexOf(text)));
}

void TestActionEditor::fillFromLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("shown");
    QTest::newRow("exact count fills") << R"(AlertBox "a" "b")" << R"(AlertBox "a" "b")";
    QTest::newRow("one too many keeps defaults") << R"(AlertBox "a" "b" "c")" << R"(AlertBox "" "")";
    QTest::newRow("one too few keeps defaults") << R"(Delay)" << R"(Delay "2000")";
    QTest::newRow("code word") << R"(AB "t" "m")" << R"(AlertBox "t" "m")";
    QTest::newRow("play mode word normalised") << R"(PlaySoundFile "x.wav" "loop please")"
                                              << R"(PlaySoundFile "x.wav" "LOOP")";
    QTest::newRow("centre boxes") << R"(ImageWindow "T" "-1" "20" "a.bmp")" << R"(ImageWindow "T" "-1" "20" "a.bmp")";
    // "=>" holds "=" and ">" but not ">=": the interpreter takes the last found, ">".
    QTest::newRow("operator as If reads it") << R"(If "a" "=>" "b")" << R"(If "a" ">" "b")";
    QTest::newRow("operator with blanks") << R"(If "a" " <= " "b")" << R"(If "a" "<=" "b")";
    QTest::newRow("find current") << R"(Find "")" << R"(Find "CURRENT")";
    QTest::newRow("find all") << R"(Find "All")" << R"(Find "ALL")";
    QTest::newRow("system info item") << R"(SystemInfo "screenwidth" "R")" << R"(SystemInfo "ScreenWidth" "R")";
    QTest::newRow("new system info line takes the first item") << R"(SystemInfo "" "")" << R"(SystemInfo "PubAuthor" "")";
    QTest::newRow("message rows") << R"(MessageBox "T" "a|b" "Yes|No" "R")" << R"(MessageBox "T" "a|b" "Yes|No" "R")";
}

void TestActionEditor::fillFromLine()
{
    QFETCH(QString, line);
    QFETCH(QString, shown);
    const int command = recognizeCommand(line).number;
    TDefineActionForm form(command, initialParameters(command, line), ActionContext());
    QCOMPARE(form.line(), shown);
    QCOMPARE(form.windowTitle(), QStringLiteral("Define \"%1\" Action").arg(commandName(command)));
}

void TestActionEditor::valuesSurviveOk_data()
{
    // Values that a number field, a list or a radio group cannot show come back as they
    // went in.
    QTest::addColumn<QString>("line");
    QTest::newRow("play mode from a variable") << R"(PlaySoundFile "a.wav" "[Mode]")";
    QTest::newRow("pop-up numbers, effect and speed")
            << R"(PopupImage "[X]" "[Y]" "f.pcx" "[T]" "[Effect]" "[Speed]")";
    QTest::newRow("system info item") << R"(SystemInfo "[Item]" "[R]")";
    QTest::newRow("operator") << R"(If "[A]" "[Op]" "1")";
    QTest::newRow("cartoon") << R"(PlayCartoonFile "[X1]" "[Y1]" "[X2]" "[Y2]" "a.car" "[N]" "[S]" "[M]")";
    QTest::newRow("flic size and count") << R"(PlayFlicFile "-1" "5" "[W]" "-1" "a.flc" "[N]" "WAIT")";
    QTest::newRow("tone") << R"(PlayTone "[Hz]")";
    QTest::newRow("menu items keep their bar") << R"(Menu "-1" "-1" "Yes|No")";
    QTest::newRow("sticky note rows") << R"(StickyNote "10" "-1" "a|b" "0")";
    QTest::newRow("append") << R"(FileWrite "d.txt" "APPEND" "x")";
    QTest::newRow("page list") << R"(Find "Intro|Contents")";
    QTest::newRow("page not in the list") << R"(GotoPage "[Next]")";
    QTest::newRow("font") << R"(SetFont "Arial" "12" "Bold+Italic")";
    QTest::newRow("delay") << R"(Delay "[Wait]")";
}

void TestActionEditor::valuesSurviveOk()
{
    QFETCH(QString, line);
    const int command = recognizeCommand(line).number;
    TDefineActionForm form(command, initialParameters(command, line), ActionContext());
    QCOMPARE(form.line(), line);
}

void TestActionEditor::memoRows_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<int>("rows");
    QTest::newRow("bar inside quotes stays") << R"(Menu "-1" "-1" "Yes|No"|Delay "1")" << 2;
    QTest::newRow("bars outside quotes cut") << R"(AlertBox "a" "b"|Delay "10")" << 2;
    QTest::newRow("empty rows kept") << R"(Delay "1"||Delay "2")" << 3;
}

void TestActionEditor::memoRows()
{
    QFETCH(QString, script);
    QFETCH(int, rows);
    ActionMemoPanel panel;
    panel.setScript(script);
    QCOMPARE(panel.memo()->document()->blockCount(), rows);
    QCOMPARE(panel.script(), script);
}

void TestActionEditor::palette()
{
    TActionPalette p;
    int basic = 0;
    for (int n = 1; n <= ActionCommandCount; ++n)
        basic += ActionCommands[size_t(n)].Category == 'B' ? 1 : 0;
    p.setTab(TActionPalette::BasicTab);
    QCOMPARE(p.listedCommands().size(), basic);
    p.setTab(TActionPalette::AdvancedTab);
    QCOMPARE(p.listedCommands().size(), ActionCommandCount - basic);
    QCOMPARE(p.list()->item(0)->text(), QStringLiteral("   FileCopy"));
    p.setTab(TActionPalette::BothTab);
    const QList<int> all = p.listedCommands();
    QCOMPARE(all.size(), ActionCommandCount);
    QVERIFY(std::is_sorted(all.begin(), all.end()));
    p.hoverCommand(3);
    QCOMPARE(p.heading()->text(), QStringLiteral("Delay"));
    QCOMPARE(p.description()->text(), QStringLiteral("Pause for a specified number of milleseconds."));
    // The next palette opens on the tab used last.
    p.setTab(TActionPalette::AdvancedTab);
    TActionPalette again;
    QCOMPARE(again.tab(), int(TActionPalette::AdvancedTab));
}

void TestActionEditor::testButtons()
{
    // Without the reader's providers a test cannot show anything: the button is off.
    ProviderTester tester(nullptr);
    ActionContext context;
    context.tester = &tester;
    TDefineActionForm alert(CmdAlertBox, initialParameters(CmdAlertBox, QString()), context);
    QVERIFY(!alert.testButton()->isEnabled());
    // The delay test needs nothing but the dialog; Math has no test at all.
    TDefineActionForm delay(CmdDelay, initialParameters(CmdDelay, QString()), context);
    QVERIFY(delay.testButton()->isEnabled());
    TDefineActionForm math(CmdMath, initialParameters(CmdMath, QString()), context);
    QVERIFY(!math.testButton()->isEnabled());
}

void TestActionEditor::handleDrags_data()
{
    QTest::addColumn<int>("handle");
    QTest::addColumn<int>("dx");
    QTest::addColumn<int>("width");
    QTest::newRow("left edge stops at 6 wide") << 8 << 100 << 6;
    QTest::newRow("right edge stops at 1 wide") << 4 << -100 << 1;
    QTest::newRow("right edge grows") << 5 << 10 << 30;
    QTest::newRow("left edge grows") << 1 << -10 << 30;
}

void TestActionEditor::handleDrags()
{
    QFETCH(int, handle);
    QFETCH(int, dx);
    QFETCH(int, width);
    PosFrame f{100, 100, 120, 140};
    // Dragged a pixel at a time, as the mouse reports it.
    const int step = dx > 0 ? 1 : -1;
    for (int i = 0; i != dx; i += step)
        f = dragHandle(f, handle, step, 0);
    QCOMPARE(f.right - f.left, width);
}

void TestActionEditor::hitTest_data()
{
    QTest::addColumn<bool>("lineMode");
    QTest::addColumn<bool>("sizeable");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<bool>("hit");
    QTest::addColumn<int>("handle");
    QTest::newRow("line: start point") << true << false << QPoint(12, 9) << true << 9;
    QTest::newRow("line: end point") << true << false << QPoint(200, 100) << true << 10;
    QTest::newRow("line: inside but away from both ends") << true << false << QPoint(100, 50) << false << 0;
    QTest::newRow("sizeable: corner") << false << true << QPoint(200, 100) << true << 5;
    QTest::newRow("sizeable: edge middle") << false << true << QPoint(105, 10) << true << 2;
    QTest::newRow("sizeable: inside moves") << false << true << QPoint(100, 50) << true << 0;
    QTest::newRow("fixed size: corner moves") << false << false << QPoint(200, 100) << true << 0;
    QTest::newRow("outside") << false << true << QPoint(300, 300) << false << 0;
}

void TestActionEditor::hitTest()
{
    QFETCH(bool, lineMode);
    QFETCH(bool, sizeable);
    QFETCH(QPoint, point);
    QFETCH(bool, hit);
    QFETCH(int, handle);
    const PosHit h = hitTestFrame(PosFrame{10, 10, 200, 100}, point, lineMode, sizeable);
    QCOMPARE(h.hit, hit);
    QCOMPARE(h.handle, handle);
}

void TestActionEditor::writtenCoordinates_data()
{
    QTest::addColumn<QString>("original");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<QString>("written");
    QTest::newRow("centred and untouched stays centred") << "-1" << false << 250 << "-1";
    QTest::newRow("variable untouched stays") << "[X]" << false << 250 << "[X]";
    QTest::newRow("moved") << "-1" << true << 40 << "40";
    QTest::newRow("centred axis of a moved frame is written as seen") << "-1" << true << 250 << "250";
    QTest::newRow("moved to -1 is not centred") << "10" << true << -1 << "-2";
    QTest::newRow("moved to 0") << "10" << true << 0 << "0";
}

void TestActionEditor::writtenCoordinates()
{
    QFETCH(QString, original);
    QFETCH(bool, changed);
    QFETCH(int, chosen);
    QFETCH(QString, written);
    QCOMPARE(writtenCoordinate(original, changed, chosen), written);
}

void TestActionEditor::positionDialogPanels()
{
    TDefinePosForm line(CmdPlayCartoonFile, PosFrame{10, 10, 200, 100}, true, false, ActionContext(), nullptr);
    QVERIFY(line.findChild<QWidget *>(QStringLiteral("SplinePanel"))->isVisibleTo(&line));
    QVERIFY(!line.findChild<QWidget *>(QStringLiteral("PosPanel"))->isVisibleTo(&line));
    QVERIFY(line.findChild<QWidget *>(QStringLiteral("CartoonOpPanel"))->isVisibleTo(&line));
    QVERIFY(!line.findChild<QWidget *>(QStringLiteral("TestPanel"))->isVisibleTo(&line));
    QCOMPARE(line.windowTitle(), QStringLiteral("Position \"PlayCartoonFile\" Object"));
    QCOMPARE(line.findChild<QLabel *>(QStringLiteral("EndPrompt"))->text(), QStringLiteral("200 x 100"));

    TDefinePosForm box(CmdPlayVideoFile, PosFrame{10, 20, 330, 260}, false, true, ActionContext(), nullptr);
    QVERIFY(box.findChild<QWidget *>(QStringLiteral("SizePanel"))->isVisibleTo(&box));
    QVERIFY(!box.findChild<QWidget *>(QStringLiteral("SplinePanel"))->isVisibleTo(&box));
    box.nudge(-1, 0);
    box.nudge(0, 1);
    QCOMPARE(box.frame(), (PosFrame{9, 21, 329, 261}));
    QCOMPARE(box.findChild<QLabel *>(QStringLiteral("WidthPrompt"))->text(), QStringLiteral("320"));
    QVERIFY(box.minimumWidth() >= 590 && box.minimumHeight() >= 380);
}

QTEST_MAIN(TestActionEditor)
#include "tst_actioneditor.moc"
