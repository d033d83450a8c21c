// Reading and writing publication files, old files and the object exchange text.
#include "atomicsave.h"
#include "filekeys.h"
#include "ioerrors.h"
#include "publicationfile.h"
#include "testsupport.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <limits>
#include <type_traits>
#include <variant>

using namespace vardeko;

namespace {

const QByteArray Header = "Vardeko Windows Document File\r\n";

QString dataDir()
{
    return qEnvironmentVariable("VARDEKO_TEST_SOURCE") + QStringLiteral("/data/model");
}

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write test file");
    f.write(bytes);
    return path;
}

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Measures every line as 6 pixels per character per point and 2 pixels per point high.
class FakeMeasurer : public TextMeasurer
{
public:
    QSize measureText(const QString &text, const QString &, int size, int) const override
    {
        int widest = 0;
        const QStringList lines = text.split(QLatin1Char('|'));
        for (const QString &l : lines)
            widest = std::max(widest, int(l.size()) * size);
        return QSize(widest, int(lines.size()) * size * 2);
    }
};

// A device that fails every read after `good` bytes.
class FailingDevice : public QIODevice
{
public:
    explicit FailingDevice(QByteArray data, qint64 good)
        : mData(std::move(data)), mGood(good)
    {
        open(QIODevice::ReadOnly);
    }

protected:
    qint64 readData(char *data, qint64 max) override
    {
        if (mAt >= mGood)
            return -1;
        const qint64 n = std::min(max, mGood - mAt);
        std::memcpy(data, mData.constData() + mAt, size_t(n));
        mAt += n;
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray mData;
    qint64 mGood;
    qint64 mAt = 0;
};

// Gives every member behind a key a value that differs from its default and that the
// reader accepts.
template <typename Record>
void giveEveryKeyAValue(Record &record, int seed)
{
    for (const KeyField<Record> &f : keyFields<Record>()) {
        const FileKeyInfo &info = FileKeyTable[size_t(f.key)];
        std::visit(
            [&](auto member) {
                using M = decltype(member);
                if constexpr (std::is_same_v<M, std::monostate>) {
                } else if constexpr (std::is_same_v<M, bool Record::*>) {
                    record.*member = !(record.*member);
                } else if constexpr (std::is_same_v<M, QString Record::*>) {
                    record.*member = info.value == KeyValue::Script
                                         ? QStringLiteral("SetVar \"V%1\" \"%2\"").arg(f.key).arg(seed)
                                         : QStringLiteral("value %1 of %2").arg(seed).arg(QLatin1String(info.name));
                } else {
                    using T = std::remove_reference_t<decltype(record.*member)>;
                    const int top = std::min<qint64>(info.max, std::numeric_limits<T>::max());
                    record.*member = T(std::clamp(7 + int(f.key) + seed, std::max(info.min, 0), top));
                }
            },
            f.member);
    }
}

// Compares every member behind a key; returns the first key that differs, or empty.
template <typename Record>
QString firstDifferentKey(const Record &a, const Record &b)
{
    for (const KeyField<Record> &f : keyFields<Record>()) {
        const bool same = std::visit(
            [&](auto member) {
                if constexpr (std::is_same_v<decltype(member), std::monostate>)
                    return true;
                else
                    return a.*member == b.*member;
            },
            f.member);
        if (!same)
            return QLatin1String(FileKeyTable[size_t(f.key)].name);
    }
    return QString();
}

// A publication with one object of each kind, a group and scripts.
void fillSample(Publication &pub)
{
    pub.Settings.Title = QStringLiteral("Sample");
    pub.Settings.ScreenColors = 256;
    pub.Settings.ReturnAction = QStringLiteral("GotoFirstPage");
    pub.Settings.Icon = QStringLiteral("/pubs/icons/book.ico");
    Page &page = *pub.firstPage();
    page.Title = QStringLiteral("Intro");
    page.PageStyle = 1;
    page.PageWallPaper = QStringLiteral("/pubs/paper.bmp");
    page.PageAction = QStringLiteral("  PlaySoundFile \"/pubs/snd/ding.wav\" \"NORMAL\"|Delay \"5\"");
    page.PagePalette[7] = {1, 2, 3, 4};
    for (int kind = ArticleKind; kind <= TextKind; ++kind) {
        ObjectPtr o = pub.createObject(kind);
        o->X1 = kind * 10;
        o->Y1 = kind;
        o->X2 = kind * 10 + 50;
        o->Y2 = kind + 30;
        o->LineColor = 0x00FF0000;
        if (ArticleData *a = o->article())
            a->FileName = QStringLiteral("/pubs/text/story.txt");
        if (ButtonData *b = o->button()) {
            b->Text = QStringLiteral("Go|on");
            b->Action = QStringLiteral("GotoPage \"Two\"");
            b->UpImage = QStringLiteral("/pubs/up.bmp");
            b->Key = 0x2041;
        }
        if (PictureData *p = o->picture())
            p->FileName = QStringLiteral("/pubs/pic.pcx");
        if (TextData *t = o->text())
            t->Text = QStringLiteral("Hello ^World");
        o->Selected = kind == RectangleKind || kind == CircleKind;
        page.Objects.push_back(std::move(o));
    }
    groupSelected(pub, page);
    Page &two = *pub.appendPage(pub.createPage(QStringLiteral("Two")));
    two.PageWallPaper = QStringLiteral("/pubs/unused.bmp");
}

} // namespace

class TestPublicationFile : public QObject
{
    Q_OBJECT

private slots:
    void keyTableHasTheFileOrder()
    {
        QCOMPARE(int(FileKeyCount), 85);
        QCOMPARE(fileKeyPattern(K_NEWPAGE), std::string("NEWPAGE"));
        QCOMPARE(fileKeyPattern(FileKey(FileKeyCount - 1)), std::string("SETUPCOLORS="));
        QCOMPARE(matchFileKey(u" page Color = 5"), int(K_PAGECOLOR));
        QCOMPARE(matchFileKey(u"TextColor=1"), int(K_TEXTCOLOR));
        QCOMPARE(matchFileKey(u"Text=1"), int(K_TEXT));
        QCOMPARE(matchFileKey(u"FontSize=1"), int(K_FONTSIZE));
        QCOMPARE(matchFileKey(u"L_NO=Nein"), FileKeyCount + 3);
        QCOMPARE(matchFileKey(u"Unknown=1"), -1);
    }

    // Every key the table gives a member is written and read back to the same value.
    void everyKeyOfTheTableRoundTrips()
    {
        Publication pub;
        giveEveryKeyAValue(pub.Settings, 1);
        pub.Settings.ScreenColors = 256;
        pub.Settings.SETUPCOLORS = {1, 2, 3};
        Page &page = *pub.firstPage();
        giveEveryKeyAValue(page, 2);
        QCOMPARE(firstDifferentKey(page, Page()).isEmpty(), false);
        int seed = 3;
        for (int kind : {ArticleKind, ButtonKind, PictureKind, TextKind}) {
            ObjectPtr o = pub.createObject(kind);
            giveEveryKeyAValue(*o, seed++);
            o->ObjectType = quint8(kind);
            o->FillMode = 1;
            std::visit(
                [&](auto &data) {
                    using D = std::decay_t<decltype(data)>;
                    if constexpr (!std::is_same_v<D, std::monostate>) {
                        giveEveryKeyAValue(data, seed++);
                        if constexpr (requires { data.FontStyle; })
                            data.FontStyle &= 15;
                        // Only a compiled copy carries an article's scroll ranges.
                        if constexpr (requires { data.XRange; })
                            data.XRange = data.YRange = -1;
                    }
                },
                o->Data);
            page.Objects.push_back(std::move(o));
        }

        QBuffer buffer;
        buffer.open(QIODevice::ReadWrite);
        QCOMPARE(writePublication(std::as_const(pub), buffer, WriteMode::Save), IoOk);
        buffer.seek(0);
        Publication back;
        QCOMPARE(readPublication(back, buffer).error, IoOk);

        QCOMPARE(firstDifferentKey(back.Settings, pub.Settings), QString());
        QCOMPARE(back.Settings.SETUPCOLORS, pub.Settings.SETUPCOLORS);
        QCOMPARE(firstDifferentKey(*back.firstPage(), page), QString());
        QCOMPARE(back.firstPage()->Objects.size(), page.Objects.size());
        for (size_t i = 0; i < page.Objects.size(); ++i) {
            const PageObject &want = *page.Objects[i], &got = *back.firstPage()->Objects[i];
            QCOMPARE(firstDifferentKey(got, want), QString());
            QCOMPARE(got.Data.index(), want.Data.index());
            std::visit(
                [&](const auto &data) {
                    using D = std::decay_t<decltype(data)>;
                    if constexpr (!std::is_same_v<D, std::monostate>) {
                        const D &mine = std::get<D>(want.Data);
                        QCOMPARE(firstDifferentKey(data, mine), QString());
                        QCOMPARE(firstDifferentKey(data, D()).isEmpty(), false);
                    }
                },
                got.Data);
        }
    }

    void writerOutputReadsBackByteForByte()
    {
        QTemporaryDir dir;
        Publication pub;
        fillSample(pub);
        // The reader rewrites file commands without leading blanks; start from that form.
        pub.firstPage()->PageAction = pub.firstPage()->PageAction.trimmed();
        const QString first = dir.filePath(QStringLiteral("first.pub"));
        QCOMPARE(writePublication(pub, first, WriteMode::Save), 0);
        QVERIFY(!pub.Modified);
        Publication again;
        QVERIFY(readPublication(again, first).ok());
        const QString second = dir.filePath(QStringLiteral("second.pub"));
        QCOMPARE(writePublication(again, second, WriteMode::Save), 0);
        const QList<QByteArray> a = readBytes(first).split('\n'), b = readBytes(second).split('\n');
        for (qsizetype i = 0; i < std::min(a.size(), b.size()); ++i)
            QCOMPARE(b[i], a[i]);
        QCOMPARE(b.size(), a.size());
        QCOMPARE(again.objectCount(), pub.objectCount());
        QCOMPARE(again.firstPage()->PagePalette[7].blue, quint8(3));
    }

    void goldenFiles_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("mode");
        QTest::newRow("normal save") << "basic" << 0;
        QTest::newRow("compiled copy") << "basic" << 1;
        QTest::newRow("archive copy") << "basic" << 2;
        QTest::newRow("old windows file") << "tilde" << 0;
        QTest::newRow("dos file") << "dos" << 0;
    }

    void goldenFiles()
    {
        QFETCH(QString, name);
        QFETCH(int, mode);
        const QString folder = dataDir() + QLatin1Char('/') + name;
        Publication pub;
        FakeMeasurer measurer;
        ReadOptions options;
        options.measurer = &measurer;
        const ReadResult result = readPublication(pub, folder + QStringLiteral("/input.pub"), options);
        QCOMPARE(result.error, 0);
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("out.pub"));
        QCOMPARE(writePublication(pub, out, WriteMode(mode)), 0);
        const QString expectedPath = folder + QStringLiteral("/expected-%1.pub").arg(mode);
        if (qEnvironmentVariableIsSet("VARDEKO_UPDATE_GOLDEN"))
            QFile::remove(expectedPath), QFile::copy(out, expectedPath);
        const QByteArray expected = readBytes(expectedPath);
        QVERIFY2(!expected.isEmpty(), qPrintable(expectedPath));
        const QList<QByteArray> got = readBytes(out).split('\n');
        const QList<QByteArray> want = expected.split('\n');
        for (qsizetype i = 0; i < std::min(got.size(), want.size()); ++i)
            QVERIFY2(got[i] == want[i], qPrintable(QStringLiteral("line %1: got '%2', expected '%3'")
                                                            .arg(i + 1)
                                                            .arg(QString::fromLatin1(got[i]).trimmed(),
                                                                 QString::fromLatin1(want[i]).trimmed())));
        QCOMPARE(got.size(), want.size());
    }

    void readingRules()
    {
        QTemporaryDir dir;
        const QByteArray text = Header
                + "notice\r\n"
                + "ObjectType=5\r\n"            // before any page: skipped
                + "PageColor=7\r\n"             // likewise
                + "ScreenWidth=100\r\n"         // too small: kept
                + "ScreenHeight=300\r\n"
                + "ScreenColors=17\r\n"         // not a colour count
                + "SETUPCOLORS=1||3\r\n"
                + "NewPage=\r\n"
                + " page color = 255\r\n"
                + "PageEffect=16\r\n"
                + "EffectSpeed=10\r\n"
                + "ObjectType=8\r\n"
                + "Font=Times New Roman\r\n"
                + "Text=a~b\r\n"
                + "FillMode=2\r\n"
                + "LineStyle=5\r\n"
                + "WordWrap=Yes\r\n"            // no Article: skipped
                + "ObjectType=3\r\n"
                + "Style=2\r\n"
                + "InitState=1\r\n"
                + "Action=SetVar \"A\" \"x=y\"~Delay \"1\"\r\n"
                + "ObjectType=2\r\n"
                + "WordWrap= yes\r\n"
                + "NewPage\r\n"
                + "VardekoVer=3.0\r\n"
                + "PageAction=a~b\r\n"
                + "L_OK=Fine\r\n"
                + "Unknown line\r\n";
        const QString path = writeFile(dir, QStringLiteral("rules.pub"), text);
        Publication pub;
        const int oldWidth = pub.Settings.ScreenWidth;
        QVERIFY(readPublication(pub, path).ok());
        QCOMPARE(pub.Settings.ScreenWidth, oldWidth);
        QCOMPARE(pub.Settings.ScreenHeight, 300);
        QCOMPARE(pub.Settings.ScreenColors, 16777216);
        QCOMPARE(pub.Settings.SETUPCOLORS, (std::array<int, 3>{1, 0, 3}));
        QCOMPARE(pub.Settings.Language[0], QStringLiteral("Fine"));
        QCOMPARE(pub.pageCount(), 2);
        const Page &one = *pub.page(0);
        QCOMPARE(one.Title, QStringLiteral("1"));
        QCOMPARE(pub.page(1)->Title, QStringLiteral("2"));
        QCOMPARE(one.PageColor, 255);
        QCOMPARE(one.PageEffect, quint8(0));
        QCOMPARE(one.EffectSpeed, quint8(10));
        QCOMPARE(one.Objects.size(), size_t(3));
        QCOMPARE(pub.masterPage()->Objects.size(), size_t(0));
        const PageObject &text1 = *one.Objects[0];
        QCOMPARE(text1.text()->Font, QStringLiteral("Times New Roman"));
        QCOMPARE(text1.text()->Text, QStringLiteral("a|b"));
        QCOMPARE(text1.FillMode, quint8(0));
        QCOMPARE(text1.LineWidth, 0); // version 0 texts lose their outline
        const ButtonData &button = *one.Objects[1]->button();
        QCOMPARE(button.State, quint8(1));
        QCOMPARE(button.Action, QStringLiteral("SetVar \"A\" \"x=y\"|Delay \"1\""));
        QVERIFY(one.Objects[2]->article()->WordWrap);
        // Once the version is known, "~" stays.
        QCOMPARE(pub.page(1)->PageAction, QStringLiteral("a~b"));
        QVERIFY(!pub.Modified);
    }

    void linesMayEndInLoneLineFeeds()
    {
        QTemporaryDir dir;
        const QString path = writeFile(dir, QStringLiteral("lf.pub"),
                                       "Vardeko Windows Document File\nx\nTitle=Linux\nNewPage=A\rB\n");
        Publication pub;
        QVERIFY(readPublication(pub, path).ok());
        QCOMPARE(pub.Settings.Title, QStringLiteral("Linux"));
        QCOMPARE(pub.firstPage()->Title, QStringLiteral("A\rB"));
    }

    void fileNamesResolveAgainstThePublication()
    {
        QTemporaryDir dir;
        writeFile(dir, QStringLiteral("Found.BMP"), "x");
        const QByteArray text = Header + "NewPage=One\r\n"
                + "ObjectType=4\r\nFileName=found.bmp\r\n"
                + "ObjectType=4\r\nFileName=C:\\OLD\\DIR\\FOUND.BMP\r\n"
                + "ObjectType=4\r\nFileName=C:\\OLD\\GONE.BMP\r\n"
                + "ObjectType=4\r\nFileName=C:\\OLD\\GONE.BMP\r\n"
                + "ObjectType=3\r\nAction=TW \"-1\" \"-1\" \"\" \"notes.txt\"|CloseWindow \"\"\r\n"
                + "NewPage=Two\r\nPageWallPaper=C:\\OLD\\GONE.BMP\r\n";
        const QString path = writeFile(dir, QStringLiteral("names.pub"), text);
        Publication pub;
        const ReadResult result = readPublication(pub, path);
        QVERIFY(result.ok());
        const Page &one = *pub.firstPage();
        QCOMPARE(one.Objects[0]->picture()->FileName, dir.filePath(QStringLiteral("found.bmp")));
        QCOMPARE(one.Objects[1]->picture()->FileName, dir.filePath(QStringLiteral("FOUND.BMP")));
        QCOMPARE(one.Objects[2]->picture()->FileName, QStringLiteral("C:\\OLD\\GONE.BMP"));
        QCOMPARE(one.Objects[4]->button()->Action,
                 QStringLiteral("TW \"-1\" \"-1\" \"\" \"notes.txt\"|CloseWindow \"\"")
                         .replace(QStringLiteral("notes.txt"), QStringLiteral("notes.txt")));
        QCOMPARE(result.missingFiles.size(), size_t(3));
        QCOMPARE(result.missingFiles[0].storedName, QStringLiteral("C:\\OLD\\GONE.BMP"));
        QCOMPARE(result.missingFiles[1].storedName, QStringLiteral("notes.txt"));
        QCOMPARE(result.missingFiles[2].page, pub.page(1));
        QCOMPARE(missingFilesReport(result.missingFiles),
                 QStringLiteral("Page: One\n  C:\\OLD\\GONE.BMP\n  notes.txt\n\nPage: Two\n  C:\\OLD\\GONE.BMP\n"));
    }

    void rejectsWhatIsNotAPublication_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("error");
        QTest::newRow("empty") << QByteArray() << 106;
        QTest::newRow("header with a trailing space") << QByteArray("Vardeko Windows Document File \r\n") << 106;
        QTest::newRow("binary garbage") << QByteArray("\x00\xff\x13\x88garbage\x00\x01", 13) << 106;
        QByteArray longLine = Header + "NewPage=" + QByteArray(1 << 20, 'x') + "\r\nTitle=after\r\n";
        QTest::newRow("1 MB line") << longLine << 0;
        QByteArray nested = Header + "NewPage=1\r\n";
        for (int i = 0; i < 100000; ++i)
            nested += "ObjectType=9\r\nGROUPBEGIN\r\n";
        // Nesting has no limit of its own: the object limit ends this one.
        QTest::newRow("100000 nested groups") << nested << 8;
        QByteArray levels = Header + "NewPage=1\r\nObjectType=5\r\n";
        for (int i = 0; i < 100000; ++i)
            levels += "GROUPBEGIN\r\n";
        QTest::newRow("100000 levels without groups") << levels << 106;
        QByteArray many = Header + "NewPage=1\r\n";
        for (int i = 0; i < 40000; ++i)
            many += "ObjectType=5\r\n";
        QTest::newRow("40000 objects") << many << 8;
        QTest::newRow("truncated") << (Header + "NewPage=1\r\nObjectType=3\r\nActi") << 0;
    }

    void rejectsWhatIsNotAPublication()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, error);
        QTemporaryDir dir;
        const QString path = writeFile(dir, QStringLiteral("bad.pub"), bytes);
        Publication pub;
        const ReadResult result = readPublication(pub, path);
        QCOMPARE(result.error, error);
        QVERIFY(pub.pageCount() >= 1);
        QVERIFY(pub.objectCount() <= MaxObjects);
    }

    void missingFileMessage()
    {
        Publication pub;
        const ReadResult result = readPublication(pub, QStringLiteral("/no/such/file.pub"));
        QCOMPARE(result.error, 2);
        QCOMPARE(loadErrorMessage(QStringLiteral("X.PUB"), IoFileNotFound),
                 QStringLiteral("X.PUB\n\nThis file could not be found. Please make\n"
                                "sure the path and file name are correct."));
        QCOMPARE(loadErrorMessage(QStringLiteral("X.PUB"), IoInvalidFormat),
                 QStringLiteral("X.PUB\n\nThis is not a valid Vardeko publication."));
        QCOMPARE(loadErrorMessage(QStringLiteral("X.PUB"), IoAccessDenied), QStringLiteral("X.PUB\n\nAccess denied!"));
    }

    void compiledCopyFlattensGroupsAndUsesCodes()
    {
        Publication pub;
        fillSample(pub);
        const QString text = publicationText(pub, WriteMode::Compiled);
        QVERIFY(!text.contains(QLatin1String("GROUPBEGIN")));
        QVERIFY(!text.contains(QLatin1String("ObjectType=9")));
        QVERIFY(!text.contains(QLatin1String("Vardeko Windows Document File")));
        QVERIFY(!text.contains(QLatin1String("Icon=")));
        QVERIFY(text.contains(QLatin1String("PageAction=PS \"ding.wav\" \"NORMAL\"|DE \"5\"\r\n")));
        QVERIFY(text.contains(QLatin1String("Action=GO \"Two\"\r\n")));
        QVERIFY(text.contains(QLatin1String("ReturnAction=GF\r\n")));
        QVERIFY(text.contains(QLatin1String("PageWallPaper=paper.bmp\r\n")));
        QVERIFY(!text.contains(QLatin1String("unused.bmp")));
        const QString archive = publicationText(pub, WriteMode::Archive);
        QVERIFY(archive.contains(QLatin1String("Icon=book.ico\r\n")));
        QVERIFY(!archive.contains(QLatin1String("CompiledName=")));
        QVERIFY(archive.contains(QLatin1String("GROUPBEGIN")));
        QVERIFY(archive.contains(QLatin1String("PageAction=  PlaySoundFile \"ding.wav\" \"NORMAL\"|Delay \"5\"")));
    }

    void compiledCopyReadsBack()
    {
        QTemporaryDir dir;
        Publication pub;
        fillSample(pub);
        const QString path = dir.filePath(QStringLiteral("embedded.pub"));
        QCOMPARE(writePublication(pub, path, WriteMode::Compiled), 0);
        Publication back;
        ReadOptions options;
        options.compiledCopy = true;
        QVERIFY(readPublication(back, path, options).ok());
        QCOMPARE(back.Settings.Title, QStringLiteral("Sample"));
        QCOMPARE(back.pageCount(), 2);
        // The group's two members stand in its place.
        QCOMPARE(back.firstPage()->Objects.size(), size_t(7));
        QCOMPARE(back.objectCount(), pub.objectCount() - 1);
        QCOMPARE(back.firstPage()->Objects[1]->button()->Action, QStringLiteral("GO \"Two\""));
    }

    void savingKeepsABackupAndNeverLosesTheFile()
    {
        QTemporaryDir dir;
        const QString path = writeFile(dir, QStringLiteral("Book.pub"), "old contents");
        Publication pub;
        WriteOptions options;
        options.createBackup = true;
        QCOMPARE(writePublication(pub, path, WriteMode::Save, options), 0);
        QCOMPARE(readBytes(dir.filePath(QStringLiteral("Book.BAK"))), QByteArray("old contents"));
        QVERIFY(readBytes(path).startsWith(Header));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2); // no temporary left behind

        const QString elsewhere = dir.filePath(QStringLiteral("missing/dir/Book.pub"));
        pub.Modified = true;
        QCOMPARE(writePublication(pub, elsewhere, WriteMode::Save), int(IoPathNotFound));
        QVERIFY(pub.Modified);
        // Every write mode (a conversion too) says which folder failed, not "temporary file".
        for (const WriteMode mode : {WriteMode::Save, WriteMode::Compiled, WriteMode::Archive}) {
            QCOMPARE(writePublication(pub, elsewhere, mode), int(IoPathNotFound));
            QCOMPARE(writePublication(pub, QStringLiteral("/sys/Book.pub"), mode), int(IoAccessDenied));
        }
    }

    void textOutsideWindows1252IsWrittenAsUtf8()
    {
        QTemporaryDir dir;
        Publication pub;
        pub.Settings.Title = QStringLiteral("Caf\u00e9 \u20ac \u4e2d");
        const QString path = dir.filePath(QStringLiteral("u.pub"));
        QCOMPARE(writePublication(pub, path, WriteMode::Save), 0);
        QVERIFY(readBytes(path).startsWith("\xEF\xBB\xBF"));
        Publication back;
        QVERIFY(readPublication(back, path).ok());
        QCOMPARE(back.Settings.Title, pub.Settings.Title);
        pub.Settings.Title = QStringLiteral("Caf\u00e9 \u20ac");
        QCOMPARE(writePublication(pub, path, WriteMode::Save), 0);
        QVERIFY(readBytes(path).contains("Title=Caf\xE9 \x80\r\n"));
    }

    // A large file goes out while it is made; a character found late that needs UTF-8
    // makes the whole file again, with nothing of the first try left in it.
    void largeFileNeedingUtf8LateIsWrittenWhole()
    {
        QTemporaryDir dir;
        Publication pub;
        for (int i = 1; i < 2500; ++i) {
            Page *page = pub.appendPage(pub.createPage(QStringLiteral("Page %1").arg(i)));
            for (int k = 0; k < 6; ++k)
                insertObject(page->Objects, pub.createObject(RectangleKind), nullptr);
        }
        pub.lastPage()->Title = QStringLiteral("Last \u4e2d");
        const QString path = dir.filePath(QStringLiteral("big.pub"));
        QCOMPARE(writePublication(pub, path, WriteMode::Save), 0);
        const QByteArray written = readBytes(path);
        QVERIFY(written.size() > 2 * (1 << 20));
        QVERIFY(written.startsWith("\xEF\xBB\xBF"));
        QCOMPARE(written, publicationBytes(pub, WriteMode::Save));
        Publication back;
        QVERIFY(readPublication(back, path).ok());
        QCOMPARE(back.lastPage()->Title, pub.lastPage()->Title);
        QCOMPARE(back.pageCount(), pub.pageCount());
    }

    // The player reads a publication from memory: a device gives what a file gives.
    void devicesReadAndWriteLikeFiles_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("wide");
        QTest::newRow("normal save") << 0 << false;
        QTest::newRow("compiled copy") << 1 << false;
        QTest::newRow("archive copy") << 2 << false;
        QTest::newRow("normal save needing UTF-8") << 0 << true;
    }

    void devicesReadAndWriteLikeFiles()
    {
        QFETCH(int, mode);
        QFETCH(bool, wide);
        Publication pub;
        fillSample(pub);
        if (wide)
            pub.lastPage()->Title = QStringLiteral("Last \u4e2d");
        const WriteMode m = WriteMode(mode);
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        buffer.write("leading bytes stay");
        pub.Modified = true;
        QCOMPARE(writePublication(std::as_const(pub), buffer, m), 0);
        QVERIFY(pub.Modified); // only a save to the file clears it
        QCOMPARE(buffer.data(), QByteArray("leading bytes stay") + publicationBytes(pub, m));
        buffer.close();

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("same.pub"));
        QCOMPARE(writePublication(pub, path, m), 0);
        QCOMPARE(readBytes(path), publicationBytes(pub, m));

        ReadOptions options;
        options.compiledCopy = m == WriteMode::Compiled;
        Publication fromFile, fromMemory;
        QVERIFY(readPublication(fromFile, path, options).ok());
        QBuffer memory;
        memory.setData(readBytes(path));
        memory.open(QIODevice::ReadOnly);
        QVERIFY(readPublication(fromMemory, memory, options).ok());
        QVERIFY(fromMemory.FileName.isEmpty());
        QCOMPARE(publicationBytes(fromMemory, WriteMode::Save), publicationBytes(fromFile, WriteMode::Save));
        QCOMPARE(fromMemory.objectCount(), pub.objectCount() - (m == WriteMode::Compiled ? 1 : 0));
    }

    void deviceNamesResolveOnlyWhenNamed()
    {
        QTemporaryDir dir;
        writeFile(dir, QStringLiteral("story.txt"), "text");
        const QByteArray bytes = Header + "NewPage=One\r\nObjectType=2\r\nFileName=story.txt\r\n";
        QBuffer memory;
        memory.setData(bytes);
        memory.open(QIODevice::ReadOnly);
        Publication pub;
        ReadResult result = readPublication(pub, memory);
        QVERIFY(result.ok());
        QVERIFY(result.missingFiles.empty());
        QCOMPARE(pub.firstPage()->Objects[0]->article()->FileName, QStringLiteral("story.txt"));

        memory.seek(0);
        ReadOptions options;
        options.fileName = dir.filePath(QStringLiteral("Book.pub"));
        result = readPublication(pub, memory, options);
        QVERIFY(result.ok());
        QCOMPARE(pub.FileName, options.fileName);
        QCOMPARE(pub.firstPage()->Objects[0]->article()->FileName, dir.filePath(QStringLiteral("story.txt")));
    }

    void deviceFailuresAreReported()
    {
        QByteArray bytes = Header;
        for (int i = 0; i < 2000; ++i)
            bytes += "NewPage=P\r\n";
        FailingDevice broken(bytes, 5000);
        Publication pub;
        QCOMPARE(readPublication(pub, broken).error, int(IoReadError));
        FailingDevice brokenAtOnce(bytes, 0);
        QCOMPARE(readPublication(pub, brokenAtOnce).error, int(IoReadError));

        QBuffer readOnly;
        readOnly.open(QIODevice::ReadOnly);
        QCOMPARE(writePublication(std::as_const(pub), readOnly, WriteMode::Save), int(IoWriteFault));
    }

    void abandonedSaveLeavesTheOldFile()
    {
        QTemporaryDir dir;
        const QString path = writeFile(dir, QStringLiteral("Book.pub"), "old contents");
        {
            AtomicSave save(path);
            QCOMPARE(save.open(), 0);
            save.device().write("half of the new");
        }
        QCOMPARE(readBytes(path), QByteArray("old contents"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("Book.pub")});
        {
            AtomicSave save(path);
            QCOMPARE(save.open(), 0);
            save.device().write("new contents");
            QCOMPARE(save.commit(false), 0);
        }
        QCOMPARE(readBytes(path), QByteArray("new contents"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("Book.pub")});
    }

    void exchangeTextRoundTrip()
    {
        Publication pub;
        fillSample(pub);
        Page &page = *pub.firstPage();
        const QString text = exchangeText(page);
        QVERIFY(text.startsWith(QLatin1String("[Vardeko Objects]\r\nObjectType=9\r\n")));
        QVERIFY(text.contains(QLatin1String("/pubs/")) || !text.contains(QLatin1String("FileName=")));
        Publication other;
        Page &target = *other.firstPage();
        QCOMPARE(readExchangeText(other, target, text), 0);
        QCOMPARE(target.Objects.size(), size_t(1));
        const PageObject &group = *target.Objects[0];
        QVERIFY(group.isGroup() && group.Selected);
        QCOMPARE(group.Members.size(), size_t(2));
        QCOMPARE(group.Members[0]->ObjectType, quint8(RectangleKind));
        QVERIFY(!group.Members[0]->Selected);
        QVERIFY(other.Modified);

        QVERIFY(!isExchangeText(QStringLiteral("[vardeko objects]\r\nObjectType=5")));
        Publication empty;
        QCOMPARE(readExchangeText(empty, *empty.firstPage(), QStringLiteral("[Vardeko Objects]")), 0);
        QVERIFY(empty.firstPage()->Objects.empty());
    }

    void dosConversion()
    {
        QTemporaryDir dir;
        QByteArray text = "VARDEKO DOCUMENT FILE\r\nScreenColors=16\r\n";
        for (int i = 0; i < 16; ++i)
            text += "PAL=" + QByteArray(i == 1 ? "630001" : "000000") + "\r\n";
        text += "AllowKeyboard=Yes\r\nAutoReturn=Yes\r\n"
                "NewPage=Ignored\r\nFadeIn=Yes\r\nPageColor=1\r\n"
                "ObjectType=7\r\nLineStyle=43690\r\nLineColor=1\r\n"
                "ObjectType=8\r\nX1=0\r\nY1=0\r\nX2=100\r\nY2=30\r\nFont=C:\\FONTS\\THYMES.FNT\r\n"
                "Text=`Hello\x80\r\n"
                "ObjectType=3\r\nKey=65\r\nAction=PlaySoundFile \"beep.voc\"~PrintTextFile \"a.txt\"\r\n";
        const QString path = writeFile(dir, QStringLiteral("old.pub"), text);
        FakeMeasurer measurer;
        ReadOptions options;
        options.measurer = &measurer;
        QStringList converted;
        options.convertVoc = [&converted](const QString &voc) {
            converted.append(voc);
            return QString(voc).replace(QLatin1String(".voc"), QLatin1String(".wav"));
        };
        Publication pub;
        QVERIFY(readPublication(pub, path, options).ok());
        QVERIFY(pub.ConvertedFromDos);
        QVERIFY(pub.Settings.TabWindows && pub.Settings.TabButtons);
        QCOMPARE(pub.Settings.ReturnAction, QStringLiteral("GotoFirstPage"));
        const Page &page = *pub.firstPage();
        QCOMPARE(page.Title, QStringLiteral("1"));
        QCOMPARE(page.PageEffect, quint8(1));
        // Entry 1 was read from the PAL= lines: 63*4+3, 0*4+3, 1*4+3.
        QCOMPARE(page.PageColor, 0x02000000 | rgbColor(255, 3, 7));
        QCOMPARE(pub.masterPage()->PagePalette[1].red, quint8(255));
        QCOMPARE(page.Objects[0]->LineStyle, quint8(2));
        const PageObject &title = *page.Objects[1];
        QCOMPARE(title.text()->Font, QStringLiteral("Times New Roman"));
        QCOMPARE(title.text()->Text, QStringLiteral("^Hello\u00c7")); // 0x80 is table entry 2: 199
        QCOMPARE(title.FillPattern, quint8(1));
        // 7 characters, 2 pixels high per point: the box is 30 high, so 15 points fit.
        QCOMPARE(title.text()->FontSize, 15);
        QCOMPARE(title.X2, 7 * 15);
        QCOMPARE(title.Y2, 30);
        const ButtonData &button = *page.Objects[2]->button();
        QCOMPARE(button.Key, quint16(65));
        QCOMPARE(converted.size(), 1);
        // Neither file exists, so both names stay as written.
        QCOMPARE(button.Action,
                 QStringLiteral("PlaySoundFile \"beep.wav\" \"NORMAL\"|PrintTextFile \"\" \"\" \"a.txt\""));

        // Saving under a new name clears the converted flag.
        QCOMPARE(writePublication(pub, dir.filePath(QStringLiteral("new.pub")), WriteMode::Save), 0);
        QVERIFY(!pub.ConvertedFromDos);
    }
};

VARDEKO_REGISTER_TEST(TestPublicationFile);

#include "tst_publicationfile.moc"
