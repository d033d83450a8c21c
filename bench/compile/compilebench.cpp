// Times the compiler on 200 MB of files against cat of the same files, a compiled
// program's start to its first page against the editor's --run, and compares the
// program's size with its payload and player.
#include "compiler.h"
#include "publicationfile.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

using namespace vardeko;

namespace {

void figure(const char *name, double ours, const char *unit, const char *anchor, double anchorValue)
{
    std::printf("%s: %.1f %s; anchor %s: %.1f %s; ratio %.3f\n", name, ours, unit, anchor, anchorValue,
                unit, anchorValue > 0 ? ours / anchorValue : 0.0);
    std::fflush(stdout);
}

// Twenty sounds of 10 MB, played one after another by the first page.
QString writeBook(const QString &dir, QStringList *files)
{
    QByteArray block(1 << 20, Qt::Uninitialized);
    for (int i = 0; i < block.size(); ++i)
        block[i] = char((i * 2654435761u) >> 24);
    Publication pub;
    pub.clearPages();
    Page *page = pub.appendPage(pub.createPage(QStringLiteral("First")));
    QStringList script;
    for (int n = 0; n < 20; ++n) {
        const QString name = QDir(dir).filePath(QStringLiteral("SOUND%1.WAV").arg(n, 2, 10, QLatin1Char('0')));
        QFile f(name);
        if (!f.open(QIODevice::WriteOnly))
            return QString();
        for (int k = 0; k < 10; ++k) {
            block[0] = char(n);
            block[1] = char(k);
            f.write(block);
        }
        files->append(name);
        script << QStringLiteral("PlaySoundFile \"%1\" \"Normal\"").arg(name);
    }
    ObjectPtr button = pub.createObject(ButtonKind);
    button->X2 = 100;
    button->Y2 = 30;
    button->button()->Action = script.join(u'|');
    page->Objects.push_back(std::move(button));
    const QString file = QDir(dir).filePath(QStringLiteral("BENCH.PUB"));
    return writePublication(pub, file, WriteMode::Save) == 0 ? file : QString();
}

double timedProcess(const QString &program, const QStringList &args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    QElapsedTimer t;
    t.start();
    p.start(program, args);
    p.waitForFinished(120000);
    return double(t.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    QStringList files;
    const QString book = writeBook(dir.path(), &files);
    if (book.isEmpty())
        return 1;
    Publication pub;
    if (!readPublication(pub, book).ok())
        return 1;
    const QString output = dir.filePath(QStringLiteral("BENCH.EXE"));

    // Warm the page cache for both.
    timedProcess(QStringLiteral("sh"), QStringList{QStringLiteral("-c"), QStringLiteral("cat \"$@\" > /dev/null"), QStringLiteral("sh")} + files);
    double best = 1e18, bestCat = 1e18;
    CompileResult r;
    for (int round = 0; round < 3; ++round) {
        // Both write a new file: cat's output is removed after each round too.
        QFile::remove(output);
        QElapsedTimer t;
        t.start();
        r = compilePublication(pub, {output, QStringLiteral(VARDEKO_PLAYER_EXE), dir.path()});
        best = std::min(best, double(t.nsecsElapsed()) / 1e6);
        if (!r.ok()) {
            std::fprintf(stderr, "%s\n", qPrintable(r.message()));
            return 1;
        }
        const QString catOut = dir.filePath(QStringLiteral("cat.out"));
        bestCat = std::min(bestCat, timedProcess(QStringLiteral("sh"),
                                                 QStringList{QStringLiteral("-c"), QStringLiteral("out=$1; shift; cat \"$@\" > \"$out\""),
                                                  QStringLiteral("sh"), catOut} + files));
        QFile::remove(catOut);
    }
    figure("compile 200 MB of files", best, "ms", "cat of the same files", bestCat);

    quint64 payload = 0;
    for (const QString &f : files)
        payload += quint64(QFileInfo(f).size());
    payload += quint64(QFileInfo(book).size());
    const double player = double(QFileInfo(QStringLiteral(VARDEKO_PLAYER_EXE)).size());
    figure("compiled program size", double(QFileInfo(output).size()) / 1e6, "MB", "payload plus player",
           (double(payload) + player) / 1e6);

    // Start to first page: both runs end as soon as the first page is shown and no
    // events are left.
    const QString events = dir.filePath(QStringLiteral("events.txt"));
    QFile(events).open(QIODevice::WriteOnly);
    const QStringList runArgs{QStringLiteral("--page"), QStringLiteral("1"), QStringLiteral("--events"), events};
    double program = 1e18, editor = 1e18;
    for (int round = 0; round < 3; ++round) {
        program = std::min(program, timedProcess(output, runArgs));
        editor = std::min(editor, timedProcess(QStringLiteral(VARDEKO_EXE), QStringList{QStringLiteral("--run"), book} + runArgs));
    }
    figure("compiled program start to first page", program, "ms", "vardeko --run", editor);
    return 0;
}
