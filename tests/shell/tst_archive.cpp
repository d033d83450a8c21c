// The archive: bare names, rewritten article links, the replace question, copies onto
// themselves, and diskette spanning on a faked removable drive.
#include "archive.h"
#include "publicationfile.h"

#include <QApplication>
#include <QDir>
#include <QFile>
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

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A diskette drive: every "diskette" holds `capacity` bytes; a swap moves what the
// folder holds onto a shelf of full diskettes.
class FakeDiskettes : public ArchiveMedia
{
public:
    explicit FakeDiskettes(qint64 size, int spare = 10)
        : mCapacity(size)
        , mSpare(spare)
    {
    }
    bool isRemovable(const QString &) override { return true; }
    qint64 capacity(const QString &) override { return mCapacity; }
    qint64 bytesFree(const QString &folder) override
    {
        qint64 used = 0;
        for (const QFileInfo &f : QDir(folder).entryInfoList(QDir::Files))
            used += f.size();
        return mCapacity - used;
    }
    bool nextDisk(const QString &) override
    {
        ++asked;
        if (mSpare-- <= 0)
            return false;
        QStringList names;
        for (const QFileInfo &f : QDir(dir).entryInfoList(QDir::Files)) {
            names << f.fileName();
            QFile::remove(f.filePath());
        }
        disks << names.join(',');
        QDir(dir).removeRecursively(); // a new diskette has no folder yet
        return true;
    }
    QString dir;
    QStringList disks;
    int asked = 0;

private:
    qint64 mCapacity;
    int mSpare;
};

class Answers : public ArchiveProgress
{
public:
    bool replace = true;
    int asked = 0;
    bool replaceExisting() override
    {
        ++asked;
        return replace;
    }
};

// A publication with an article whose link plays a sound from another folder, and pictures.
QString writeSample(const QString &dir, const QList<QPair<QString, qint64>> &pictures = {})
{
    QDir().mkpath(dir + "/sounds");
    writeFile(dir + "/sounds/DING.WAV", "RIFF....WAVE");
    writeFile(dir + "/STORY.TXT", "Before ^LPlay it=PlaySoundFile \"" + (dir + "/sounds/DING.WAV").toUtf8()
                                          + "\" \"Normal\"^l after.\r\n");
    Publication pub;
    pub.clearPages();
    Page *one = pub.appendPage(pub.createPage("One"));
    ObjectPtr article = pub.createObject(ArticleKind);
    article->X2 = 200;
    article->Y2 = 100;
    article->article()->FileName = dir + "/STORY.TXT";
    one->Objects.push_back(std::move(article));
    for (const auto &[name, size] : pictures) {
        writeFile(dir + "/" + name, QByteArray(size, 'p'));
        ObjectPtr picture = pub.createObject(PictureKind);
        picture->X2 = 10;
        picture->Y2 = 10;
        picture->picture()->FileName = dir + "/" + name;
        one->Objects.push_back(std::move(picture));
    }
    const QString name = dir + "/BOOK.PUB";
    return writePublication(pub, name, WriteMode::Save) == 0 ? name : QString();
}

} // namespace

class TestArchive : public QObject
{
    Q_OBJECT

private slots:
    void newFolderGetsBareNames()
    {
        QTemporaryDir dir;
        const QString pubFile = writeSample(dir.path() + "/src");
        Publication pub;
        QVERIFY(readPublication(pub, pubFile).ok());
        const QString target = dir.path() + "/archive/deep";
        SystemArchiveMedia media;
        Answers answers;
        const ArchiveResult r = archivePublication(pub, target, false, dir.path(), media, &answers);
        QVERIFY2(r.ok(), qPrintable(r.message));
        QCOMPARE(answers.asked, 0); // a new folder is never asked about
        QStringList files = QDir(target).entryList(QDir::Files);
        files.sort();
        QCOMPARE(files, (QStringList{"BOOK.PUB", "DING.WAV", "STORY.TXT"}));
        // The link's action names the sound by its file name only; the link text stays.
        QCOMPARE(readFile(target + "/STORY.TXT"),
                 QByteArray("Before ^LPlay it=PlaySoundFile \"DING.WAV\" \"Normal\"^l after.\r\n"));
        QVERIFY(readFile(target + "/BOOK.PUB").contains("FileName=STORY.TXT\r\n"));
        // The publication itself is untouched.
        QCOMPARE(pub.FileName, pubFile);
        QVERIFY(QFileInfo(dir.path() + "/src/sounds/DING.WAV").size() > 0);
    }

    void ownFolderIsRefused()
    {
        QTemporaryDir dir;
        const QString pubFile = writeSample(dir.path());
        Publication pub;
        QVERIFY(readPublication(pub, pubFile).ok());
        const QByteArray story = readFile(dir.path() + "/STORY.TXT");
        SystemArchiveMedia media;
        const ArchiveResult r = archivePublication(pub, dir.path(), true, dir.path(), media);
        QCOMPARE(r.message, QString("A file cannot be copied onto itself."));
        // Nothing was truncated.
        QCOMPARE(readFile(dir.path() + "/STORY.TXT"), story);
        QVERIFY(QFileInfo(dir.path() + "/sounds/DING.WAV").size() > 0);
    }

    void replaceQuestion()
    {
        QTemporaryDir dir;
        const QString pubFile = writeSample(dir.path() + "/src");
        Publication pub;
        QVERIFY(readPublication(pub, pubFile).ok());
        const QString target = dir.path() + "/old";
        QDir().mkpath(target);
        writeFile(target + "/DING.WAV", "older");
        SystemArchiveMedia media;
        Answers answers;
        answers.replace = false;
        ArchiveResult r = archivePublication(pub, target, true, dir.path(), media, &answers);
        QVERIFY(r.declined);
        QCOMPARE(answers.asked, 1);
        QCOMPARE(readFile(target + "/DING.WAV"), QByteArray("older"));
        answers.replace = true;
        r = archivePublication(pub, target, true, dir.path(), media, &answers);
        QVERIFY(r.ok());
        QCOMPARE(readFile(target + "/DING.WAV"), QByteArray("RIFF....WAVE"));
    }

    void sameBareNameIsRefused()
    {
        QTemporaryDir dir;
        QDir().mkpath(dir.path() + "/more");
        writeFile(dir.path() + "/more/STORY.TXT", "another story");
        const QString pubFile = writeSample(dir.path());
        Publication pub;
        QVERIFY(readPublication(pub, pubFile).ok());
        ObjectPtr article = pub.createObject(ArticleKind);
        article->article()->FileName = dir.path() + "/more/STORY.TXT";
        pub.page(0)->Objects.push_back(std::move(article));
        SystemArchiveMedia media;
        const ArchiveResult r = archivePublication(pub, dir.path() + "/out", false, dir.path(), media);
        QVERIFY(!r.ok());
        QVERIFY2(r.message.contains(dir.path() + "/STORY.TXT") && r.message.contains(dir.path() + "/more/STORY.TXT"),
                 qPrintable(r.message));
        QVERIFY(!QFileInfo::exists(dir.path() + "/out/STORY.TXT"));
    }

    void spanning_data()
    {
        QTest::addColumn<qint64>("fileSize");
        QTest::addColumn<int>("spareDisks");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("disks");
        // Sizes in units of a 1.44 MB diskette of 1,457,664 bytes.
        QTest::newRow("three 600 KB files take two diskettes")
                << qint64(600 * 1024) << 10 << QString() << QStringList{"A.BMP,B.BMP,BOOK.PUB,DING.WAV,STORY.TXT"};
        QTest::newRow("a 2 MB file is too large")
                << qint64(2 * 1024 * 1024) << 10
                << QString("\"A.BMP\"\r\rthis file is too large to fit on a\rdiskette of this type!") << QStringList{};
        QTest::newRow("no diskette comes") << qint64(600 * 1024) << 0 << QString() << QStringList{};
    }

    void spanning()
    {
        QFETCH(qint64, fileSize);
        QFETCH(int, spareDisks);
        QFETCH(QString, message);
        QFETCH(QStringList, disks);
        QTemporaryDir dir;
        const QString pubFile =
                writeSample(dir.path() + "/src", {{"A.BMP", fileSize}, {"B.BMP", fileSize}, {"C.BMP", fileSize}});
        Publication pub;
        QVERIFY(readPublication(pub, pubFile).ok());
        FakeDiskettes drive(1457664, spareDisks);
        drive.dir = dir.path() + "/floppy";
        const ArchiveResult r = archivePublication(pub, drive.dir, false, dir.path(), drive);
        QCOMPARE(r.message, message);
        QCOMPARE(drive.disks, disks);
        if (!message.isEmpty())
            return;
        if (spareDisks == 0) {
            QVERIFY(r.stopped);
            QCOMPARE(drive.asked, 1);
            return;
        }
        QVERIFY(r.ok());
        // The third picture went to the second diskette; the small files after it did not wait.
        QCOMPARE(QDir(drive.dir).entryList(QDir::Files), QStringList{"C.BMP"});
        QCOMPARE(QFileInfo(drive.dir + "/C.BMP").size(), fileSize);
    }
};

QTEST_MAIN(TestArchive)

#include "tst_archive.moc"
