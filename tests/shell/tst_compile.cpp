// The compiler: which files go into a program and how, what a failed or stopped compile
// leaves, and the compiled program run from a folder of its own against "vardeko --run".
#include "book.h"
#include "compileform.h"
#include "compiler.h"
#include "publicationfile.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
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
    QByteArray note("Hello ^Breader^b, this line is long enough to wrap in the article.\r\n");
    for (int line = 2; line <= 20; ++line)
        note += "Line " + QByteArray::number(line) + " of the note.\r\n";
    writeFile(dir + "/NOTE.TXT", note);
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
        // The article's text goes in laid out, in records of one length, with the range
        // of its vertical bar in the publication and no horizontal one (it has no bar).
        const QRegularExpressionMatch range = QRegularExpression("YRange=(\\d+)\r\n").match(QString::fromLatin1(bytes));
        QVERIFY(range.hasMatch());
        QVERIFY(!bytes.contains("XRange="));
        const BookEntry *note = book.find("NOTE.TXT");
        QCOMPARE(note->flags, quint8(BookPreformatted));
        QCOMPARE(book.read(*note, &bytes), 0);
        const QList<QByteArray> records = bytes.split('\n');
        // More lines than the article shows, and nothing after the last line's end.
        QCOMPARE(records.size() - 1, range.captured(1).toInt());
        QVERIFY(records.size() - 1 > 8);
        QVERIFY(records.last().isEmpty());
        for (qsizetype i = 0; i + 1 < records.size(); ++i)
            QCOMPARE(records[i].size(), records[0].size());
    }

    void articleShownTwoWaysGoesInAsWritten()
    {
        // The same text in two articles of different widths cannot be laid out once.
        QTemporaryDir dir;
        const QString pubFile = writeSample(dir.path());
        Publication pub;
        QVERIFY(readPublication(pub, pubFile).ok());
        ObjectPtr wide = pub.createObject(ArticleKind);
        wide->X1 = 10; wide->Y1 = 200; wide->X2 = 400; wide->Y2 = 300;
        wide->article()->FileName = dir.path() + "/NOTE.TXT";
        pub.page(1)->Objects.push_back(std::move(wide));
        const QString output = dir.path() + "/BOOK.EXE";
        const CompileResult r = compilePublication(pub, {output, VARDEKO_PLAYER_EXE, dir.path()});
        QVERIFY2(r.ok(), qPrintable(r.message()));
        QFile program(output);
        QVERIFY(program.open(QIODevice::ReadOnly));
        BookReader book;
        QCOMPARE(book.open(&program), 0);
        const BookEntry *note = book.find("NOTE.TXT");
        QCOMPARE(note->flags, quint8(0));
        QByteArray bytes;
        QCOMPARE(book.read(*note, &bytes), 0);
        QFile source(dir.path() + "/NOTE.TXT");
        QVERIFY(source.open(QIODevice::ReadOnly));
        QCOMPARE(bytes, source.readAll());
        QCOMPARE(book.read(*book.find("BOOK.PUB"), &bytes), 0);
        QVERIFY(!bytes.contains("YRange="));
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
        // The page as shown, the article scrolled a line by its bar's arrow, then the
        // button that plays the sound and greets.
        auto events = [&](const QString &run) {
            const QString file = dir.path() + "/" + run + ".txt";
            writeFile(file, QString("wait 200\nsnapshot %1/%2-1.png\nclick 291 152\nwait 100\nsnapshot %1/%2-2.png\n"
                                    "click 20 20\nwait 200\nkey Escape\n")
                                    .arg(dir.path(), run)
                                    .toUtf8());
            return QStringList{"--page", "One", "--events", file, "--answers", "1", "--quit-after", "20000"};
        };

        const Ran edited = runProgram(VARDEKO_EXE, QStringList{"--run", pubFile} + events("edited"), dir.path());
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
        const Ran played = runProgram(alone + "/BOOK.EXE", events("played"), QDir::rootPath());
        QCOMPARE(played.code, edited.code);
        // The laid-out article draws as the editor lays it out, scrolled the same.
        for (const QString shot : {"1", "2"}) {
            const QImage mine(dir.path() + "/played-" + shot + ".png");
            QVERIFY(!mine.isNull());
            QCOMPARE(mine, QImage(dir.path() + "/edited-" + shot + ".png"));
        }
        QVERIFY(QImage(dir.path() + "/played-1.png") != QImage(dir.path() + "/played-2.png"));
        QVERIFY(edited.out.contains("PlaySoundFile\t"));
        QVERIFY(edited.out.contains("AlertBox\tHi\tSeen 1"));
        QCOMPARE(withBareNames(played.out), withBareNames(edited.out));
        // The sound was put beside the program while it ran and removed at its end.
        QCOMPARE(QDir(alone).entryList(QDir::Files), QStringList{"BOOK.EXE"});
    }

    void formStoresSettingsAndBuildsNoSetup()
    {
        Publication pub;
        pub.FileName = "/books/STORY.PUB";
        TCompileForm form(pub, {"Liberation Sans"}, "/books");
        // Building a setup program is not this program's: the box cannot be checked.
        QVERIFY(!form.SetupBox->isEnabled());
        QVERIFY(!form.SetupBox->isChecked());
        QCOMPARE(form.NameEdit->text(), QString("/books/STORY.EXE"));
        // A typed ".scr" name chooses the screen saver; choosing Application renames it.
        form.NameEdit->clear();
        QTest::keyClicks(form.NameEdit, "/out/show.scr");
        QVERIFY(form.ScrBtn->isChecked());
        form.AppBtn->click();
        QCOMPARE(form.NameEdit->text(), QString("/out/show.EXE"));
        form.OnlyFilesBtn->click();
        form.ExternalEdit->setText("/cd/extra");
        QVERIFY(form.CopyBox->isChecked()); // checked exactly when a folder is given
        form.BuildDirEdit->setText("/build");
        form.MediaCombo->setCurrentIndex(3);
        form.InstDirEdit->setText("/opt/story");
        form.ProgGrpEdit->setText("Stories");
        form.TitleEdit->setText("Story Setup");
        QTest::keyClicks(form.CustomEdit, "/tmp/extracted");
        form.RemoveBox->setChecked(false);
        form.CompileBtn->click();
        const PublicationSettings &s = pub.Settings;
        QCOMPARE(s.CompiledName, QString("/out/show.EXE"));
        QCOMPARE(int(s.FilesIncluded), 4);
        QVERIFY(s.CopyExternalFiles);
        QCOMPARE(s.ExternalPath, QString("/cd/extra"));
        QCOMPARE(s.SETUPBUILDDIR, QString("/build"));
        QCOMPARE(int(s.SETUPMEDIA), 3);
        QCOMPARE(s.SETUPINSTDIR, QString("/opt/story"));
        QCOMPARE(s.SETUPPROGGRP, QString("Stories"));
        QCOMPARE(s.SETUPTITLE, QString("Story Setup"));
        QCOMPARE(int(s.ExtractOp), 8); // the custom folder, files kept at the end
        QVERIFY(pub.Modified);
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
