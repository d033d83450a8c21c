// The compiler: which files go into a program and how, what a failed or stopped compile
// leaves, and the compiled program run from a folder of its own against "vardeko --run".
#include "book.h"
#include "compiler.h"
#include "publicationfile.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace vardeko;

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray waveFile()
{
    QByteArray data(1600, '\0');
    QByteArray h("RIFF");
    auto u32 = [&h](quint32 v) { for (int i = 0; i < 4; ++i) h.append(char(v >> (8 * i))); };
    auto u16 = [&h](quint16 v) { h.append(char(v)); h.append(char(v >> 8)); };
    u32(36 + quint32(data.size()));
    h.append("WAVEfmt ");
    u32(16); u16(1); u16(1); u32(8000); u32(16000); u16(2); u16(16);
    h.append("data");
    u32(quint32(data.size()));
    return h + data;
}

// A publication in `dir`: page "One" with an 8-bit BMP picture, an article, a button
// that plays a sound and says hello, page "Two" with a PNG picture.
QString writeSample(const QString &dir, const QString &extraScript = QString())
{
    QImage indexed(40, 30, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(255, 0, 0), qRgb(0, 0, 255)});
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            indexed.setPixel(x, y, (x / 10 + y / 10) % 2);
    indexed.save(dir + "/CHECKS.BMP", "BMP");
    QImage plain(20, 20, QImage::Format_RGB32);
    plain.fill(Qt::green);
    plain.save(dir + "/GREEN.PNG", "PNG");
    writeFile(dir + "/NOTE.TXT", "Hello ^Breader^b.\r\nSecond line.\r\n");
    writeFile(dir + "/DING.WAV", waveFile());

    Publication pub;
    pub.clearPages();
    Page *one = pub.appendPage(pub.createPage("One"));
    one->PageAction = "SetVar \"[Seen]\" \"1\"";
    Page *two = pub.appendPage(pub.createPage("Two"));
    ObjectPtr picture = pub.createObject(PictureKind);
    picture->X1 = 10; picture->Y1 = 60; picture->X2 = 50; picture->Y2 = 90;
    picture->picture()->FileName = dir + "/CHECKS.BMP";
    one->Objects.push_back(std::move(picture));
    ObjectPtr article = pub.createObject(ArticleKind);
    article->X1 = 100; article->Y1 = 60; article->X2 = 300; article->Y2 = 160;
    article->article()->FileName = "NOTE.TXT";
    article->article()->Font = "Liberation Sans";
    article->article()->FontSize = 10;
    one->Objects.push_back(std::move(article));
    ObjectPtr button = pub.createObject(ButtonKind);
    button->X1 = 10; button->Y1 = 10; button->X2 = 110; button->Y2 = 40;
    button->button()->Text = "Go";
    button->button()->Action = "PlaySoundFile \"" + dir + "/DING.WAV\" \"Normal\"|AlertBox \"Hi\" \"Seen [Seen]\"|"
                               + (extraScript.isEmpty() ? QString() : extraScript + "|") + "GotoPage \"Two\"";
    one->Objects.push_back(std::move(button));
    ObjectPtr green = pub.createObject(PictureKind);
    green->X1 = 10; green->Y1 = 10; green->X2 = 30; green->Y2 = 30;
    green->picture()->FileName = "GREEN.PNG";
    two->Objects.push_back(std::move(green));
    pub.setCurrentPage(one);
    const QString name = dir + "/BOOK.PUB";
    return writePublication(pub, name, WriteMode::Save) == 0 ? name : QString();
}

struct Ran
{
    int code = -1;
    QString out;
    QString err;
};

Ran runProgram(const QString &program, const QStringList &args, const QString &workDir)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("VARDEKO_PLAYER", VARDEKO_PLAYER_EXE);
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(workDir);
    p.start(program, args);
    Ran r;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// Paths differ between the two runs only in their folder.
QString withBareNames(QString text)
{
    static const QRegularExpression path("/[^\t\n]*/([^/\t\n]+)");
    return text.replace(path, "\\1");
}

class CountingProgress : public CompileProgress
{
public:
    QStringList steps;
    int stopAfter = -1;
    int calls = 0;
    void step(const QString &label, const QString &file) override { steps << label + " " + file; }
    bool stopRequested() override { return stopAfter >= 0 && ++calls > stopAfter; }
};

} // namespace

class TestCompile : public QObject
{
    Q_OBJECT

private slots:
    void exclusions_data()
    {
        QTest::addColumn<int>("filesIncluded");
        QTest::addColumn<int>("fontsIncluded");
        QTest::addColumn<QString>("fontsToCompile");
        QTest::addColumn<QString>("excluded");
        QTest::newRow("defaults") << 1 << 2 << "" << "RUN.EXE,ARIAL,SYSTEM";
        QTest::newRow("only files that need no extraction") << 4 << 2 << ""
                                                            << "DING.WAV,CLIP.AVI,RUN.EXE,ARIAL,SYSTEM";
        QTest::newRow("no fonts") << 1 << 0 << "" << "RUN.EXE,ARIAL,Liberation Serif,SYSTEM";
        QTest::newRow("all fonts") << 1 << 1 << "" << "RUN.EXE,SYSTEM";
        QTest::newRow("selected fonts") << 1 << 3 << "|ARIAL|" << "RUN.EXE,Liberation Serif,SYSTEM";
    }

    void exclusions()
    {
        QFETCH(int, filesIncluded);
        QFETCH(int, fontsIncluded);
        QFETCH(QString, fontsToCompile);
        QFETCH(QString, excluded);
        std::vector<CompileEntry> list;
        auto add = [&list](const QString &name, GatheredKind kind) {
            CompileEntry e;
            e.name = name;
            e.kind = kind;
            list.push_back(e);
        };
        add("PIC.BMP", GatheredKind::Picture);
        add("DING.WAV", GatheredKind::Sound);
        add("CLIP.AVI", GatheredKind::VideoOrAnimation);
        add("ANIM.FLC", GatheredKind::VideoOrAnimation);
        add("RUN.EXE", GatheredKind::Other);
        add("ARIAL", GatheredKind::Font);
        add("Liberation Serif", GatheredKind::Font);
        add("SYSTEM", GatheredKind::Font);
        PublicationSettings s;
        s.FilesIncluded = quint8(filesIncluded);
        s.FontsIncluded = quint8(fontsIncluded);
        s.FontsToCompile = fontsToCompile;
        markExclusions(list, s);
        QStringList got;
        for (const CompileEntry &e : list)
            if (e.excluded)
                got << e.name;
        QCOMPARE(got.join(','), excluded);
    }

    void programCarriesConvertedFiles()
    {
        QTemporaryDir dir;
        const QString pubFile = writeSample(dir.path());
        QVERIFY(!pubFile.isEmpty());
        Publication pub;
        QVERIFY(readPublication(pub, pubFile).ok());
        const QString output = dir.path() + "/out/BOOK.EXE";
        QDir().mkpath(dir.path() + "/out");
        CountingProgress progress;
        const CompileResult r = compilePublication(pub, {output, VARDEKO_PLAYER_EXE, dir.path()}, &progress);
        QVERIFY2(r.ok(), qPrintable(r.message()));
        QVERIFY(progress.steps.contains("Converting: BOOK.PUB"));
        QVERIFY(progress.steps.contains("Compressing: CHECKS.BMP"));
        QVERIFY(QFileInfo(output).isExecutable());

        QFile program(output);
        QVERIFY(program.open(QIODevice::ReadOnly));
        BookReader book;
        QCOMPARE(book.open(&program), 0);
        QCOMPARE(book.payloadOffset(), quint64(QFileInfo(VARDEKO_PLAYER_EXE).size()));
        QStringList names;
        for (const BookEntry &e : book.entries())
            names << e.name;
        // The publication goes last; the program's own temporary copy is gone.
        QCOMPARE(names.last(), QString("BOOK.PUB"));
        QVERIFY(names.contains("DING.WAV"));
        QVERIFY(names.contains("NOTE.TXT"));
        QByteArray bytes;
        QCOMPARE(book.read(*book.find("CHECKS.BMP"), &bytes), 0);
        QImage converted = QImage::fromData(bytes, "PNG");
        QCOMPARE(converted.size(), QSize(40, 30));
        // The picture keeps its palette.
        QCOMPARE(converted.format(), QImage::Format_Indexed8);
        QCOMPARE(converted.pixel(0, 0), qRgb(255, 0, 0));
        QCOMPARE(converted.pixel(15, 0), qRgb(0, 0, 255));
        QCOMPARE(book.read(*book.find("GREEN.PNG"), &bytes), 0);
        QFile green(dir.path() + "/GREEN.PNG");
        QVERIFY(green.open(QIODevice::ReadOnly));
        QCOMPARE(bytes, green.readAll()); // a PNG goes in unchanged
        QCOMPARE(book.read(*book.find("BOOK.PUB"), &bytes), 0);
        QVERIFY(!bytes.startsWith("Vardeko")); // the compiled form has no header
        QVERIFY(bytes.contains("FileName=CHECKS.BMP"));
    }

    void sameBareNameIsRefused()
    {
        QTemporaryDir dir;
        QDir().mkpath(dir.path() + "/other");
        writeFile(dir.path() + "/other/DING.WAV", waveFile());
        const QString pubFile =
                writeSample(dir.path(), "PlaySoundFile \"" + dir.path() + "/other/DING.WAV\" \"Normal\"");
        Publication pub;
        QVERIFY(readPublication(pub, pubFile).ok());
        const QString output = dir.path() + "/BOOK.EXE";
        writeFile(output, "the program that was there");
        const CompileResult r = compilePublication(pub, {output, VARDEKO_PLAYER_EXE, dir.path()});
        QVERIFY(!r.ok());
        QVERIFY2(r.message().contains(dir.path() + "/DING.WAV") && r.message().contains(dir.path() + "/other/DING.WAV"),
                 qPrintable(r.message()));
        QFile old(output);
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("the program that was there"));
    }

    void stoppedOrFailedCompileLeavesNoProgram_data()
    {
        QTest::addColumn<int>("stopAfter");
        QTest::addColumn<bool>("removeSound");
        QTest::newRow("stopped at once") << 0 << false;
        QTest::newRow("stopped after a few blocks") << 3 << false;
        QTest::newRow("a file is missing") << -1 << true;
    }

    void stoppedOrFailedCompileLeavesNoProgram()
    {
        QFETCH(int, stopAfter);
        QFETCH(bool, removeSound);
        QTemporaryDir dir;
        const QString pubFile = writeSample(dir.path());
        Publication pub;
        QVERIFY(readPublication(pub, pubFile).ok());
        if (removeSound)
            QFile::remove(dir.path() + "/DING.WAV");
        const QString output = dir.path() + "/BOOK.EXE";
        CountingProgress progress;
        progress.stopAfter = stopAfter;
        const CompileResult r = compilePublication(pub, {output, VARDEKO_PLAYER_EXE, dir.path()}, &progress);
        QVERIFY(!r.ok());
        if (removeSound) {
            QCOMPARE(r.error, 2);
            QVERIFY2(r.message().startsWith("An error occurred during the compile.\r\r"), qPrintable(r.message()));
            QVERIFY(r.message().endsWith("File not found!"));
        } else {
            QVERIFY(r.stopped);
        }
        QVERIFY(!QFileInfo::exists(output));
        // Only the publication and its pictures are left: no temporary file stays behind.
        QCOMPARE(QDir(dir.path()).entryList({"*.PUB"}, QDir::Files), QStringList{"BOOK.PUB"});
    }

    void compiledProgramRunsAsTheEditorRunsIt()
    {
        QTemporaryDir dir;
        const QString pubDir = dir.path() + "/publication";
        QDir().mkpath(pubDir);
        const QString pubFile = writeSample(pubDir);
        writeFile(dir.path() + "/events.txt", "wait 200\nclick 20 20\nwait 200\nkey Escape\n");
        const QStringList runArgs{"--page", "One", "--events", dir.path() + "/events.txt", "--answers", "1",
                                  "--quit-after", "20000"};

        const Ran edited = runProgram(VARDEKO_EXE, QStringList{"--run", pubFile} + runArgs, dir.path());
        QCOMPARE(edited.code, 0);

        const Ran compiled = runProgram(VARDEKO_EXE, {"--compile", pubFile, "--out", dir.path() + "/BOOK.EXE"},
                                        dir.path());
        QVERIFY2(compiled.code == 0, qPrintable(compiled.err));
        QVERIFY2(compiled.out.contains("ENTRY\t3\t1644\tDING.WAV\n"), qPrintable(compiled.out));
        QVERIFY(compiled.out.contains("ENTRY\t0\t"));
        QVERIFY(compiled.out.endsWith(QString("total\t%1\n").arg(QFileInfo(dir.path() + "/BOOK.EXE").size())));

        // The program alone in a new folder, the publication's folder gone, started from
        // yet another folder.
        const QString alone = dir.path() + "/alone";
        QDir().mkpath(alone);
        QVERIFY(QFile::rename(dir.path() + "/BOOK.EXE", alone + "/BOOK.EXE"));
        QVERIFY(QDir(pubDir).removeRecursively());
        const Ran played = runProgram(alone + "/BOOK.EXE", runArgs, QDir::rootPath());
        QCOMPARE(played.code, edited.code);
        QVERIFY(edited.out.contains("PlaySoundFile\t"));
        QVERIFY(edited.out.contains("AlertBox\tHi\tSeen 1"));
        QCOMPARE(withBareNames(played.out), withBareNames(edited.out));
        // The sound was put beside the program while it ran and removed at its end.
        QCOMPARE(QDir(alone).entryList(QDir::Files), QStringList{"BOOK.EXE"});
    }

    void refusedInput()
    {
        QTemporaryDir dir;
        const Ran missing = runProgram(VARDEKO_EXE, {"--compile", dir.path() + "/NONE.PUB", "--out", dir.path() + "/X.EXE"},
                                       dir.path());
        QCOMPARE(missing.code, 1);
        QVERIFY(!missing.err.isEmpty());
        // The player alone carries nothing to play.
        const Ran bare = runProgram(VARDEKO_PLAYER_EXE, {"--quit-after", "100"}, dir.path());
        QCOMPARE(bare.code, 1);
        QVERIFY2(bare.err.contains("no book"), qPrintable(bare.err));
    }
};

QTEST_MAIN(TestCompile)

#include "tst_compile.moc"
