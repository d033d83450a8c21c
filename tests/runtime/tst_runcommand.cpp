// "vardeko --run" as an outside check uses it: publications written to files, events fed
// from a file, the printed lines and the exit status compared.
#include "publication.h"
#include "publicationfile.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace vardeko;

namespace {

struct Run
{
    int exitCode = -1;
    QStringList lines;
    QString errors;
};

// Pages "One" (with a push button at 10,10-110,40 running `button`) and "Two".
QString writeBook(const QTemporaryDir &dir, const QString &button, const QString &oneEntry = QString(),
                  const QString &twoEntry = QString(), const std::function<void(Publication &)> &adjust = {})
{
    Publication pub;
    pub.clearPages();
    Page *one = pub.appendPage(pub.createPage(QStringLiteral("One")));
    one->PageAction = oneEntry;
    Page *two = pub.appendPage(pub.createPage(QStringLiteral("Two")));
    two->PageAction = twoEntry;
    ObjectPtr b = pub.createObject(ButtonKind);
    b->X1 = 10;
    b->Y1 = 10;
    b->X2 = 110;
    b->Y2 = 40;
    b->button()->Text = QStringLiteral("Go");
    b->button()->Action = button;
    one->Objects.push_back(std::move(b));
    pub.setCurrentPage(one);
    if (adjust)
        adjust(pub);
    const QString name = dir.filePath(QStringLiteral("BOOK.PUB"));
    if (writePublication(pub, name, WriteMode::Save) != 0)
        return QString();
    return name;
}

Run run(const QTemporaryDir &dir, const QStringList &arguments, const QString &events = QString())
{
    QStringList args = arguments;
    if (!events.isNull()) {
        const QString eventsFile = dir.filePath(QStringLiteral("events.txt"));
        QFile f(eventsFile);
        if (f.open(QIODevice::WriteOnly))
            f.write(events.toUtf8());
        f.close();
        args << QStringLiteral("--events") << eventsFile;
    }
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(VARDEKO_EXE), args);
    Run r;
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return r;
    }
    r.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    r.lines = QString::fromUtf8(process.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    r.errors = QString::fromUtf8(process.readAllStandardError());
    return r;
}

} // namespace

class TestRunCommand : public QObject
{
    Q_OBJECT

private slots:
    void runs_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("twoEntry");
        QTest::addColumn<QString>("events");
        QTest::addColumn<QString>("answers");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("entry script runs before the next line")
                << "GotoPage \"Two\"|AlertBox \"x\" \"y\"" << "SetVar \"[E]\" \"1\"|AlertBox \"in\" \"two\""
                << "click 20 20\n" << QString()
                << QStringList{"Page\t1\tOne", "GotoPage\tTwo", "Page\t2\tTwo", "AlertBox\tin\ttwo",
                               "AlertBox\tx\ty", "End\tevents", "E = \"1\""};
        QTest::newRow("error in the entry script ends the button's script")
                << "GotoPage \"Two\"|SetVar \"[After]\" \"1\"" << "Nonsense"
                << "click 20 20\n" << QString()
                << QStringList{"Page\t1\tOne", "GotoPage\tTwo", "Page\t2\tTwo",
                               "Debug\tNonsense\\n\\nI don't understand this command!", "End\tevents"};
        QTest::newRow("menu choice runs one line")
                << "Menu \"-1\" \"-1\" \"A|B|C\"|SetVar \"[R]\" \"a\"|SetVar \"[R]\" \"b\"|SetVar \"[R]\" \"c\"|AlertBox \"end\" \"end\""
                << QString() << "click 20 20\n" << "2"
                << QStringList{"Page\t1\tOne", "Menu\t-1\t-1\tA|B|C", "AlertBox\tend\tend", "End\tevents",
                               "R = \"b\""};
        QTest::newRow("stop during a delay acts after it")
                << "Delay \"400\"|SetVar \"[After]\" \"1\"" << QString() << "click 20 20\nwait 100\nstop\n"
                << QString() << QStringList{"Page\t1\tOne", "Delay\t400", "Beep", "End\tevents"};
        QTest::newRow("second stop leaves")
                << "SetVar \"[A]\" \"1\"" << QString() << "click 20 20\nstop\n" << QString()
                << QStringList{"Page\t1\tOne", "End\tleft", "A = \"1\""};
        QTest::newRow("page keys and the return page")
                << QString() << QString() << "key PgDown\nkey Home\nkey End\n" << QString()
                << QStringList{"Page\t1\tOne", "Page\t2\tTwo", "Page\t1\tOne", "Page\t2\tTwo", "End\tevents"};
        QTest::newRow("escape leaves")
                << QString() << QString() << "key Esc\nkey PgDown\n" << QString()
                << QStringList{"Page\t1\tOne", "End\tleft"};
        QTest::newRow("message box answered")
                << "MessageBox \"T\" \"Pick\" \"Yes|No\" \"[Choice]\"" << QString() << "click 20 20\n" << "2"
                << QStringList{"Page\t1\tOne", "MessageBox\tT\tPick\tYes|No", "End\tevents", "CHOICE = \"2\""};
        QTest::newRow("programs and links are reported")
                << "DOSCommand \"no-such-program.exe\" \"a b\"" << QString() << "click 20 20\n" << QString()
                << QStringList{"Page\t1\tOne", "DOSCommand\tno-such-program.exe\ta b",
                               "Vardeko\tno-such-program.exe\\n\\nFile does not exist.", "End\tevents"};
    }

    void runs()
    {
        QFETCH(QString, button);
        QFETCH(QString, twoEntry);
        QFETCH(QString, events);
        QFETCH(QString, answers);
        QFETCH(QStringList, expected);
        QTemporaryDir dir;
        const QString book = writeBook(dir, button, QString(), twoEntry);
        QStringList args{QStringLiteral("--run"), book, QStringLiteral("--quit-after"), QStringLiteral("20000")};
        if (!answers.isEmpty())
            args << QStringLiteral("--answers") << answers;
        const Run r = run(dir, args, events);
        QCOMPARE(r.lines, expected);
        QCOMPARE(r.exitCode, 0);
    }

    void idleMinuteReturns()
    {
        QTemporaryDir dir;
        const QString book = writeBook(dir, QString(), QString(), QString(), [](Publication &pub) {
            pub.Settings.AutoReturn = true;
            pub.Settings.ReturnTime = 1;
            pub.Settings.ReturnAction = QStringLiteral("GotoFirstPage");
        });
        const Run r = run(dir, {QStringLiteral("--run"), book, QStringLiteral("--page"), QStringLiteral("2")},
                          QStringLiteral("idle 30\nwait 1200\nidle 30\nwait 1200\n"));
        QCOMPARE(r.lines, (QStringList{"Page\t2\tTwo", "GotoFirstPage", "Page\t1\tOne", "End\tevents"}));
    }

    void passwordIsAskedBeforeLeaving()
    {
        QTemporaryDir dir;
        const QString book = writeBook(dir, QString(), QString(), QString(), [](Publication &pub) {
            pub.Settings.Password = QStringLiteral("Secret");
        });
        Run r = run(dir, {QStringLiteral("--run"), book}, QStringLiteral("key Esc\ntype sECRET\nkey Return\n"));
        QCOMPARE(r.lines, (QStringList{"Page\t1\tOne", "End\tleft"}));
        r = run(dir, {QStringLiteral("--run"), book}, QStringLiteral("key Esc\ntype wrong\nkey Return\n"));
        QCOMPARE(r.lines.value(1), QStringLiteral("MessageBox\tPassword Required\tThat's not the right password!\tOK"));
        QCOMPARE(r.lines.value(2),
                 QStringLiteral("Password\tNormally failing to enter the correct password\\nwould prevent you from "
                                "exiting this publication.\\nHowever, since this isn't a compiled program,\\nyou "
                                "will be returned to Vardeko."));
        QCOMPARE(r.lines.value(3), QStringLiteral("End\tleft"));
        r = run(dir, {QStringLiteral("--run"), book}, QStringLiteral("key Esc\nkey Esc\n"));
        QCOMPARE(r.lines, (QStringList{"Page\t1\tOne", "End\tevents"})); // cancelled: still running
    }

    void transitionsAreNamedBeforeTheirPage()
    {
        QTemporaryDir dir;
        const QString book = writeBook(dir, QString(), QString(), QString(), [](Publication &pub) {
            pub.page(1)->PageEffect = 2;
            pub.page(1)->EffectSpeed = 0;
        });
        const QString shot = dir.filePath(QStringLiteral("two.png"));
        const Run r = run(dir, {QStringLiteral("--run"), book},
                          QStringLiteral("key PgDown\nsnapshot %1\n").arg(shot));
        QCOMPARE(r.lines, (QStringList{"Page\t1\tOne", "Transition\t2\t0", "Page\t2\tTwo", "End\tevents"}));
        const QImage image(shot);
        QCOMPARE(image.size(), QSize(640, 480));
    }

    void stopDuringATransitionActsAfterIt()
    {
        QTemporaryDir dir;
        // Slide Left at the slowest speed takes well over a second on a 640-pixel page.
        const QString book = writeBook(dir, QString(), QString(), QString(), [](Publication &pub) {
            pub.page(1)->PageEffect = 2;
            pub.page(1)->EffectSpeed = 10;
        });
        const Run r = run(dir, {QStringLiteral("--run"), book}, QStringLiteral("key PgDown\nwait 50\nstop\n"));
        QCOMPARE(r.lines, (QStringList{"Page\t1\tOne", "Transition\t2\t10", "Page\t2\tTwo", "End\tleft"}));
        QCOMPARE(r.exitCode, 0);
    }

    void exitStatuses()
    {
        QTemporaryDir dir;
        const QString book = writeBook(dir, QString(), QString(), QStringLiteral("While \"1\" \"=\" \"1\"|EndWhile"));
        Run r = run(dir, {QStringLiteral("--run"), dir.filePath(QStringLiteral("MISSING.PUB"))});
        QCOMPARE(r.exitCode, 1);
        r = run(dir, {QStringLiteral("--run"), book, QStringLiteral("--answers"), QStringLiteral("1,x")});
        QCOMPARE(r.exitCode, 2);
        r = run(dir, {QStringLiteral("--run"), book}, QStringLiteral("jump 1 2\n"));
        QCOMPARE(r.exitCode, 2);
        r = run(dir, {QStringLiteral("--run"), book, QStringLiteral("--page"), QStringLiteral("Two"),
                      QStringLiteral("--quit-after"), QStringLiteral("300")},
                QStringLiteral("wait 50\n"));
        QCOMPARE(r.lines, (QStringList{"Page\t2\tTwo", "End\ttimeout"}));
        QCOMPARE(r.exitCode, 3);
        // The endless entry script can still be stopped, then run mode left.
        r = run(dir, {QStringLiteral("--run"), book, QStringLiteral("--page"), QStringLiteral("Two")},
                QStringLiteral("wait 100\nstop\nstop\n"));
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.lines, (QStringList{"Page\t2\tTwo", "Beep", "End\tleft"}));
    }
};

QTEST_MAIN(TestRunCommand)
#include "tst_runcommand.moc"
