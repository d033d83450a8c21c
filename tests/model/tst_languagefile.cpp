// Language files: loading rules, saving and the texts' defaults.
#include "languagefile.h"
#include "testsupport.h"

#include "filecontents.h"
#include "ioerrors.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace vardeko;

namespace {

LanguageTexts edited()
{
    LanguageTexts texts;
    for (int i = 0; i < LanguageStringCount; ++i)
        texts[size_t(i)] = QStringLiteral("edited %1").arg(i);
    return texts;
}

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestLanguageFile : public QObject
{
    Q_OBJECT

private slots:
    // Each row: the file's text, then the key whose text is checked and the text it
    // must hold afterwards.
    void loadingRules_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("expected");
        const QByteArray head = "Vardeko Language File\r\nnotice\r\n";
        QTest::newRow("blank after the equals sign is kept") << head + "l_ok = Okay\r\n"
                                                             << 0 << " Okay";
        QTest::newRow("blanks inside the key") << head + "L _ Y E S=Ja\r\n" << 2 << "Ja";
        QTest::newRow("lone LF line ends") << head + "L_NO=Nein\nL_CLOSE=Zu\n" << 4 << "Zu";
        QTest::newRow("last line without a line end") << head + "L_NO=Nein" << 3 << "Nein";
        QTest::newRow("lone CR stays in the text") << head + "L_NO=Ne\rin\n" << 3 << "Ne\rin";
        QTest::newRow("everything after the first equals sign") << head + "L_FINDPROMPT=a=b \r\n"
                                                                << 7 << "a=b ";
        QTest::newRow("unknown lines ignored")
                << head + "nonsense\r\nL_OKAY=x\r\n=L_OK\r\nL_OK=Fine\r\n"
                << 0 << "Fine";
        QTest::newRow("a similar key does not match") << head + "L_OKAY=x\r\n" << 0 << "OK";
        QTest::newRow("a later line wins") << head + "L_YES=1\r\nL_YES=2\r\n" << 2 << "2";
        QTest::newRow("missing key keeps the English text") << head
                        + "L_YES=Si\r\n" << 26 << "Do you really want to cancel the installation?";
        QTest::newRow("without a header the first two lines are skipped")
                << QByteArray("L_OK=One\r\nL_YES=Two\r\nL_NO=Three\r\n") << 0 << "OK";
        QTest::newRow("without a header later lines still load")
                << QByteArray("L_OK=One\r\nL_YES=Two\r\nL_NO=Three\r\n") << 3 << "Three";
        QTest::newRow("empty text") << head + "L_CLOSE=\r\n" << 4 << "";
        QTest::newRow("Windows-1252 text") << head + "L_NO=Non, merci \xE9\r\n"
                                           << 3 << QStringLiteral("Non, merci \u00E9");
        QTest::newRow("UTF-8 behind a byte-order mark")
                << QByteArray("\xEF\xBB\xBFVardeko Language File\r\nn\r\nL_NO=\xE2\x82\xAC\r\n")
                << 3 << QStringLiteral("\u20AC");
        QTest::newRow("empty file") << QByteArray() << 1 << "Cancel";
    }

    void loadingRules()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, index);
        QFETCH(QString, expected);
        const QString path = tmp.filePath(QStringLiteral("rules.qxl"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(file);
        f.close();
        // The grid's earlier texts never survive a load: unnamed keys go back to English.
        LanguageTexts texts = edited();
        QCOMPARE(loadLanguageFile(path, &texts), 0);
        QCOMPARE(texts[size_t(index)], expected);
        for (int i = 0; i < LanguageStringCount; ++i)
            QVERIFY(!texts[size_t(i)].startsWith(QLatin1String("edited")));
    }

    void onlyOneKeyLeavesTheOthersEnglish()
    {
        LanguageTexts texts = edited();
        parseLanguageText(QStringLiteral("Vardeko Language File\r\nx\r\nL_YES=Oui\r\n"), &texts);
        LanguageTexts expected = englishLanguageTexts();
        expected[2] = QStringLiteral("Oui");
        QCOMPARE(texts, expected);
    }

    void saveAndLoadAgain()
    {
        LanguageTexts texts = englishLanguageTexts();
        texts[0] = QStringLiteral(" Okay ");
        texts[12] = QStringLiteral("Zwei|Zeilen");
        texts[20] = QStringLiteral("caf\u00E9 = bar");
        const QString path = tmp.filePath(QStringLiteral("round.QXL"));
        QCOMPARE(saveLanguageFile(path, texts), 0);
        LanguageTexts loaded;
        QCOMPARE(loadLanguageFile(path, &loaded), 0);
        QCOMPARE(loaded, texts);
    }

    void savedLayout()
    {
        LanguageTexts texts = englishLanguageTexts();
        texts[1] = QStringLiteral("Two\r\nlines\nhere");
        const QByteArray bytes = languageFileBytes(texts);
        QVERIFY(bytes.endsWith("\r\n"));
        const QList<QByteArray> lines = bytes.chopped(2).split('\n');
        QCOMPARE(lines.size(), 2 + LanguageStringCount);
        QCOMPARE(lines[0], QByteArray("Vardeko Language File\r"));
        QCOMPARE(lines[2], QByteArray("L_OK=OK\r"));
        QCOMPARE(lines[3], QByteArray("L_CANCEL=Two|lines|here\r")); // line breaks as "|"
        QCOMPARE(lines[28],
                 QByteArray("L_INSTEXITPROMPT=Do you really want to cancel the installation?"));
        for (int i = 0; i < LanguageStringCount; ++i)
            QVERIFY(lines[2 + i].startsWith(LanguageStrings[size_t(i)].key));
        // A text outside Windows-1252 makes the file UTF-8 behind a byte-order mark.
        texts[0] = QStringLiteral("\u4E00");
        QVERIFY(languageFileBytes(texts).startsWith("\xEF\xBB\xBFVardeko Language File\r\n"));
    }

    void failedLoadKeepsTheTexts()
    {
        LanguageTexts texts = edited();
        QCOMPARE(loadLanguageFile(tmp.filePath(QStringLiteral("missing.qxl")), &texts),
                 int(IoFileNotFound));
        QCOMPARE(texts, edited());
        QCOMPARE(loadLanguageFile(tmp.path(), &texts), int(IoAccessDenied));
        QCOMPARE(texts, edited());
    }

    void failedSaveKeepsTheOldFile()
    {
        const QString dir = tmp.filePath(QStringLiteral("save"));
        QVERIFY(QDir().mkpath(dir));
        const QString path = dir + QStringLiteral("/old.QXL");
        QCOMPARE(saveLanguageFile(path, englishLanguageTexts()), 0);
        const QByteArray before = readBytes(path);
        // A directory in the way of the rename: the save fails and leaves nothing behind.
        const QString blocked = dir + QStringLiteral("/blocked.QXL");
        QVERIFY(QDir().mkpath(blocked + QStringLiteral("/inside")));
        QVERIFY(saveLanguageFile(blocked, edited()) != 0);
        QCOMPARE(QDir(dir).entryList(QDir::Files), QStringList {QStringLiteral("old.QXL")});
        QCOMPARE(readBytes(path), before);
        QCOMPARE(saveLanguageFile(tmp.filePath(QStringLiteral("no/such/dir.QXL")), edited()),
                 int(IoPathNotFound));
    }

    void bookSetupStoresTexts()
    {
        Publication pub;
        LanguageTexts defaults = englishLanguageTexts();
        storeLanguageTexts(pub, pub.Settings.Language, nullptr);
        QVERIFY(!pub.Modified);
        storeLanguageTexts(pub, edited(), nullptr);
        QVERIFY(pub.Modified);
        QCOMPARE(pub.Settings.Language, edited());
        QCOMPARE(defaults, englishLanguageTexts());
        storeLanguageTexts(pub, edited(), &defaults); // "&Default" checked
        QCOMPARE(defaults, edited());
    }

    void forcedExtension_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no extension") << "/a/german"
                                      << "/a/german.QXL";
        QTest::newRow("other extension") << "/a/german.txt"
                                         << "/a/german.QXL";
        QTest::newRow("point in a directory") << "/a.b/german"
                                              << "/a.b/german.QXL";
        QTest::newRow("hidden file") << "/a/.german"
                                     << "/a/.german.QXL";
        QTest::newRow("backslashes") << "C:\\LANG.D\\FR"
                                     << "C:\\LANG.D\\FR.QXL";
    }

    void forcedExtension()
    {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        QCOMPARE(forceExtension(name, QLatin1String(LanguageFileExtension)), expected);
    }

private:
    QTemporaryDir tmp;
};

VARDEKO_REGISTER_TEST(TestLanguageFile);

#include "tst_languagefile.moc"
