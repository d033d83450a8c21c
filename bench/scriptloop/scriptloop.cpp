// Times a counting While/Math/EndWhile loop against the same loop in tclsh.
#include "scriptrunner.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

using namespace vardeko;

namespace {

constexpr int Iterations = 1000000;

// A host that only answers event passes; the loop asks for nothing else.
class QuietHost : public RunHost
{
public:
    int passes = 0;
    void processPendingEvents() override
    {
        ++passes;
        QCoreApplication::processEvents();
    }
    void showAlert(const QString &title, const QString &text) override
    {
        std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
    }
    void alertBox(const QString &, const QString &) override {}
    int messageBox(const QString &, const QString &, const QStringList &) override { return 0; }
    bool confirmExit(const QString &, const QString &) override { return false; }
    void leaveRunMode() override {}
    void balloon(const QString &) override {}
    void stickyNote(int, int, const QString &, int) override {}
    bool popupImage(int, int, const QString &, int, int, int) override { return false; }
    int popupMenu(int, int, const QStringList &, bool) override { return 0; }
    void delay(int) override {}
    bool gotoPage(const QString &) override { return false; }
    void movePage(PageMove) override {}
    void find(const QString &) override {}
    void playSoundFile(const QString &, int) override {}
    void playVideoFile(int, int, int, int, const QString &, int) override {}
    void playFlicFile(int, int, int, int, const QString &, int, int) override {}
    void playCartoonFile(int, int, int, int, const QString &, int, int, int) override {}
    void playTone(int) override {}
    void stopMedia(const QString &) override {}
    int mciCommand(const QString &) override { return 0; }
    void imageWindow(const QString &, int, int, const QString &) override {}
    void textWindow(const QString &, int, int, const QString &) override {}
    void closeWindow(const QString &) override {}
    void setFont(const QString &, int, int) override {}
    void printTextFile(const QString &, const QString &, const QString &, bool) override {}
    void printImageFile(const QString &, int) override {}
    void printPage(const QString &) override {}
    void runProgram(const QString &, const QString &) override {}
    void internetLink(const QString &) override {}
    QString programDirectory() const override { return QString(); }
    QString currentPageTitle() const override { return QString(); }
    QString currentPageNumber() const override { return QString(); }
    QString publicationAuthor() const override { return QString(); }
    int publicationColors() const override { return 0; }
    QString publicationDir() const override { return QString(); }
    int pageWidth() const override { return 0; }
    int pageHeight() const override { return 0; }
    QString publicationTitle() const override { return QString(); }
    int screenColors() const override { return 0; }
    int screenWidth() const override { return 0; }
    int screenHeight() const override { return 0; }
    QString tempDir() const override { return QString(); }
};

double runOurs(QString *finalValue)
{
    QuietHost host;
    VariableStore store;
    ScriptRunner runner(host, store);
    const QString script = QStringLiteral("While \"[I]\" \"<\" \"%1\"|Math \"[I]+1\" \"0\" \"[I]\"|EndWhile")
                               .arg(Iterations);
    QElapsedTimer t;
    t.start();
    runner.ExecuteScript(script);
    const double ms = double(t.nsecsElapsed()) / 1e6;
    *finalValue = store.GetVariable(QStringLiteral("I"));
    return ms;
}

// The loop at global level with a braced expr; the script times itself so that
// starting the interpreter is not counted.
double runTcl(bool *ok)
{
    const QString tclsh = QStandardPaths::findExecutable(QStringLiteral("tclsh"));
    *ok = false;
    if (tclsh.isEmpty())
        return 0;
    QProcess p;
    p.start(tclsh, {});
    if (!p.waitForStarted())
        return 0;
    p.write(QStringLiteral("set t [clock microseconds]\n"
                           "set i 0; while {$i < %1} { set i [expr {$i + 1}] }\n"
                           "puts \"[expr {[clock microseconds] - $t}] $i\"\n")
                .arg(Iterations)
                .toLatin1());
    p.closeWriteChannel();
    if (!p.waitForFinished(600000))
        return 0;
    const QList<QByteArray> parts = p.readAllStandardOutput().trimmed().split(' ');
    if (parts.size() != 2 || parts.at(1).toInt() != Iterations)
        return 0;
    *ok = true;
    return parts.at(0).toDouble() / 1000.0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    int rounds = 3;
    if (argc > 1)
        rounds = std::max(1, QString::fromLocal8Bit(argv[1]).toInt());
    double ours = 1e300, tcl = 1e300;
    bool tclOk = false;
    for (int i = 0; i < rounds; ++i) {
        QString value;
        ours = std::min(ours, runOurs(&value));
        if (value != QString::number(Iterations)) {
            out << "script loop ended with I = \"" << value << "\", not " << Iterations << Qt::endl;
            return 1;
        }
        bool ok = false;
        const double t = runTcl(&ok);
        if (ok) {
            tclOk = true;
            tcl = std::min(tcl, t);
        }
    }
    if (!tclOk) {
        out << "script loop 1000000 iterations: " << ours << " ms; anchor tclsh: not available; ratio n/a"
            << Qt::endl;
        return 1;
    }
    out << "script loop 1000000 iterations: " << QString::number(ours, 'f', 1)
        << " ms; anchor tclsh while/expr: " << QString::number(tcl, 'f', 1) << " ms; ratio "
        << QString::number(ours / tcl, 'f', 3) << Qt::endl;
    return 0;
}
