// Stored file names, where they are found, and temporary names.
#include "filenames.h"
#include "ioerrors.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace vardeko;

class TestFileNames : public QObject
{
    Q_OBJECT

private slots:
    void parts()
    {
        QCOMPARE(bareFileName(QStringLiteral("C:\\IMAGES\\SMALL.PCX")), QStringLiteral("SMALL.PCX"));
        QCOMPARE(bareFileName(QStringLiteral("a/b.txt")), QStringLiteral("b.txt"));
        QCOMPARE(bareFileName(QStringLiteral("C:X.PCX")), QStringLiteral("X.PCX"));
        QVERIFY(!hasDirectoryPart(QStringLiteral("X.PCX")));
        QVERIFY(hasDirectoryPart(QStringLiteral("IMG\\X.PCX")));
    }

    void locatesOldNames()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("Images")));
        QFile f(dir.filePath(QStringLiteral("Images/Small.pcx")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        const QString real = dir.filePath(QStringLiteral("Images/Small.pcx"));
        QCOMPARE(locateFile(QStringLiteral("IMAGES\\SMALL.PCX"), dir.path()), real);
        QCOMPARE(locateFile(QStringLiteral("images/small.PCX"), dir.path()), real);
        const QString windowsForm = QStringLiteral("C:") + QString(dir.path()).replace(QLatin1Char('/'), QLatin1Char('\\'))
                                    + QStringLiteral("\\IMAGES\\SMALL.PCX");
        QCOMPARE(locateFile(windowsForm), real);
        QVERIFY(locateFile(QStringLiteral("IMAGES\\MISSING.PCX"), dir.path()).isEmpty());
        QVERIFY(locateFile(QString(), dir.path()).isEmpty());
    }

    void tempNamesAreExclusive()
    {
        QTemporaryDir dir;
        int error = -1;
        const QString first = MakeTempFileName(dir.path(), QStringLiteral("$$$"), &error);
        QCOMPARE(error, 0);
        QCOMPARE(QFileInfo(first).fileName(), QStringLiteral("00000001.$$$"));
        QVERIFY(QFileInfo::exists(first));
        // A planted link takes a name; it is skipped, never followed.
        QVERIFY(QFile::link(QStringLiteral("/nonexistent-target"), dir.filePath(QStringLiteral("00000002.$$$"))));
        const QString third = MakeTempFileName(dir.path(), QStringLiteral("$$$"), &error);
        QCOMPARE(QFileInfo(third).fileName(), QStringLiteral("00000003.$$$"));
        QVERIFY(!QFileInfo::exists(QStringLiteral("/nonexistent-target")));

        const QString none = MakeTempFileName(dir.filePath(QStringLiteral("no/such/dir")),
                                              QStringLiteral("$$$"), &error);
        QVERIFY(none.isEmpty());
        QCOMPARE(error, int(IoNoTempFile));
    }

    // Beside a file being replaced, a failure says what stopped it: no setting can help.
    void tempFileBesideReportsTheFolder_data()
    {
        QTest::addColumn<QString>("dir"); // under a fresh temporary folder unless absolute
        QTest::addColumn<int>("error");
        QTest::newRow("missing folder") << "no/such/dir" << int(IoPathNotFound);
        QTest::newRow("a file, not a folder") << "plain.txt" << int(IoPathNotFound);
        QTest::newRow("folder closed to writing") << "/sys" << int(IoAccessDenied);
        QTest::newRow("writable") << "" << int(IoOk);
    }

    void tempFileBesideReportsTheFolder()
    {
        QFETCH(QString, dir);
        QFETCH(int, error);
        QTemporaryDir base;
        QFile plain(base.filePath(QStringLiteral("plain.txt")));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        int got = -1;
        const QString name = MakeTempFileBeside(dir.startsWith(u'/') ? dir : base.filePath(dir),
                                                QStringLiteral("$$$"), &got);
        QCOMPARE(got, error);
        QCOMPARE(name.isEmpty(), error != IoOk);
    }

    void errorTexts()
    {
        QCOMPARE(ioErrorMessage(2), QStringLiteral("File not found!"));
        QCOMPARE(ioErrorMessage(152),
                 QStringLiteral("The drive is empty! Please insert\ra diskette and try again."));
        QCOMPARE(ioErrorMessage(7), QStringLiteral("Unknown Error #7"));
        QVERIFY(ioErrorMessage(10001).startsWith(QStringLiteral("Unable to create temporary file! Check\r")));
    }
};

VARDEKO_REGISTER_TEST(TestFileNames);

#include "tst_filenames.moc"
