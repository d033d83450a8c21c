// Run mode's media: waits for music and animations end when the reader ends the scripts;
// the providers' owner stops what plays when it goes.
#include "mediaprovider.h"
#include "runsession.h"
#include "variablestore.h"

#include <QApplication>
#include <QElapsedTimer>
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

class PageWindow : public RunWindow
{
public:
    PageWindow() { widget.resize(640, 480); }
    Publication &publication() const override { return const_cast<Publication &>(pub); }
    QWidget *pageWidget() const override { return const_cast<QWidget *>(&widget); }
    QPoint pageOrigin() const override { return QPoint(); }
    void enterRunLayout(bool) override {}
    void leaveRunLayout() override {}
    void repaintPage(const QRect &) override {}
    void currentPageChanged() override {}
    void setPageCursor(const QCursor &) override {}
    QImage grabPage() const override { return QImage(8, 8, QImage::Format_RGB32); }
    QImage renderCurrentPage() const override { return QImage(8, 8, QImage::Format_RGB32); }
    QString caption() const override { return QStringLiteral("Test"); }

    Publication pub;
    QWidget widget;
};

QString testData(const QString &name)
{
    return QString::fromLocal8Bit(qgetenv("VARDEKO_TESTDATA")) + QLatin1Char('/') + name;
}

} // namespace

class TestRunMedia : public QObject
{
    Q_OBJECT

private slots:
    void init() { installMediaProvider(makeReaderMedia()); }
    void cleanup() { installMediaProvider(nullptr); }

    // Pause (or Esc where Esc may not leave) while a script waits for media ends the
    // wait and the script at once; leaving run mode then stops the media.
    void keyEndsMediaWait_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("key");
        // title.mid plays over four minutes, a.fli about half of one.
        QTest::newRow("music, Pause") << "PlaySoundFile \"%1\" \"WAIT\"" << "midi/title.mid" << int(Qt::Key_Pause);
        QTest::newRow("flic, Esc") << "PlayFlicFile \"-1\" \"-1\" \"-1\" \"-1\" \"%1\" \"1\" \"WAIT\""
                                   << "flic/a.fli" << int(Qt::Key_Escape);
    }

    void keyEndsMediaWait()
    {
        if (qEnvironmentVariableIsEmpty("VARDEKO_TESTDATA"))
            QSKIP("no third-party files (VARDEKO_TESTDATA_DIR)");
        QFETCH(QString, command);
        QFETCH(QString, file);
        QFETCH(int, key);
        PageWindow window;
        window.pub.clearPages();
        Page *page = window.pub.appendPage(window.pub.createPage(QStringLiteral("One")));
        window.pub.setCurrentPage(page);
        window.pub.Settings.AllowESC = false;
        RunSession session(window);
        ListLog log;
        session.setLog(&log);
        session.setTransitionsEnabled(false);
        session.SetRunMode(1);
        const QString script = command.arg(testData(file)) + QStringLiteral("|SetVar \"After\" \"1\"");
        QTimer::singleShot(100, &session, [&] { session.HandleRunKey(key, Qt::NoModifier); });
        // Should the key not end the wait, leaving run mode stops the media, so the test
        // fails instead of waiting the music out.
        QTimer::singleShot(8000, &session, [&] { session.SetRunMode(0); });
        QElapsedTimer clock;
        clock.start();
        session.ExecuteScript(script);
        QVERIFY2(clock.elapsed() < 8000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(log.lines.contains(QStringLiteral("Beep")));
        QCOMPARE(globalVariables().GetVariable(QStringLiteral("After")), QString());
        QVERIFY(session.isRunning());
        session.SetRunMode(0);
    }

    // The owner of the providers stops what plays and empties the slots when it goes,
    // before the application does.
    void scopeEndsTheProviders()
    {
        if (qEnvironmentVariableIsEmpty("VARDEKO_TESTDATA"))
            QSKIP("no third-party files (VARDEKO_TESTDATA_DIR)");
        PageWindow window;
        window.pub.clearPages();
        window.pub.setCurrentPage(window.pub.appendPage(window.pub.createPage(QStringLiteral("One"))));
        RunSession session(window);
        ListLog log;
        session.setLog(&log);
        session.setTransitionsEnabled(false);
        session.SetRunMode(1);
        {
            RunProvidersScope scope;
            installMediaProvider(makeReaderMedia());
            QVERIFY(installedProviders().media);
            session.ExecuteScript(QStringLiteral("PlayFlicFile \"-1\" \"-1\" \"-1\" \"-1\" \"%1\" \"0\" \"LOOP\"")
                                          .arg(testData("flic/intro.fli")));
            QCOMPARE(window.widget.findChildren<QWidget *>().size(), 1); // the animation plays
        }
        QVERIFY(!installedProviders().media);
        QVERIFY(window.widget.findChildren<QWidget *>().isEmpty());
        session.SetRunMode(0);
    }
};

QTEST_MAIN(TestRunMedia)

#include "tst_runmedia.moc"
