// Tests of what the editor tells the desktop: the list of recent files, its data folders.
#include "tst_desktop.h"

#include "datafolders.h"
#include "desktoprecent.h"
#include "helpviewer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QUrl>
#include <QXmlStreamReader>

using namespace vardeko;

namespace {

const QString BookmarkNs = QStringLiteral("http://www.freedesktop.org/standards/desktop-bookmarks");
const QString MimeNs = QStringLiteral("http://www.freedesktop.org/standards/shared-mime-info");

struct Entry
{
    QString href;
    QString added;
    QString modified;
    QStringList mimeTypes;
    QStringList apps; // "name count"
};

// Reads the list as the desktop's readers do: with name spaces.
QList<Entry> readList(const QString &file, bool *ok)
{
    QList<Entry> entries;
    QFile f(file);
    *ok = f.open(QIODevice::ReadOnly);
    QXmlStreamReader xml(&f);
    while (*ok && !xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto a = xml.attributes();
        if (xml.name() == QLatin1String("bookmark") && xml.namespaceUri().isEmpty())
            entries.append({a.value(QLatin1String("href")).toString(),
                            a.value(QLatin1String("added")).toString(),
                            a.value(QLatin1String("modified")).toString(), {}, {}});
        else if (xml.name() == QLatin1String("mime-type") && xml.namespaceUri() == MimeNs)
            entries.last().mimeTypes.append(a.value(QLatin1String("type")).toString());
        else if (xml.name() == QLatin1String("application") && xml.namespaceUri() == BookmarkNs)
            entries.last().apps.append(a.value(QLatin1String("name")).toString() + QLatin1Char(' ')
                                       + a.value(QLatin1String("count")).toString());
    }
    *ok = *ok && !xml.hasError();
    return entries;
}

const char OtherProgramsList[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<xbel version="1.0"
      xmlns:bookmark="http://www.freedesktop.org/standards/desktop-bookmarks"
      xmlns:mime="http://www.freedesktop.org/standards/shared-mime-info"
>
  <bookmark href="file:///home/u/notes.txt" added="2026-01-01T10:00:00.000000Z" modified="2026-01-01T10:00:00.000000Z" visited="2026-01-01T10:00:00.000000Z">
    <info>
      <metadata owner="http://freedesktop.org">
        <mime:mime-type type="text/plain"/>
        <bookmark:applications>
          <bookmark:application name="Text Editor" exec="&apos;gnome-text-editor %u&apos;" modified="2026-01-01T10:00:00.000000Z" count="3"/>
        </bookmark:applications>
      </metadata>
    </info>
  </bookmark>
</xbel>
)";

} // namespace

void TestDesktop::init()
{
    mDir = std::make_unique<QTemporaryDir>();
    QVERIFY(mDir->isValid());
}

void TestDesktop::recentListEntries_data()
{
    QTest::addColumn<bool>("othersFirst");
    QTest::newRow("new user") << false;
    QTest::newRow("list of other programs") << true;
}

void TestDesktop::recentListEntries()
{
    QFETCH(bool, othersFirst);
    // A folder that does not exist yet, as for a new user.
    const QString list = mDir->filePath(QStringLiteral("data/recently-used.xbel"));
    if (othersFirst) {
        QDir().mkpath(QFileInfo(list).absolutePath());
        QFile f(list);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(OtherProgramsList);
    }
    const QString a = mDir->filePath(QStringLiteral("My Book.PUB"));
    const QString b = mDir->filePath(QStringLiteral("B.PUB"));
    const QDateTime t1(QDate(2026, 12, 9), QTime(3, 0), Qt::UTC);
    const QDateTime t2 = t1.addSecs(60);
    QVERIFY(addDesktopRecentFile(a, list, t1));
    QVERIFY(addDesktopRecentFile(b, list, t1));
    QVERIFY(addDesktopRecentFile(a, list, t2));

    bool ok = false;
    const QList<Entry> entries = readList(list, &ok);
    QVERIFY(ok);
    const int base = othersFirst ? 1 : 0;
    QCOMPARE(entries.size(), base + 2);
    if (othersFirst) {
        QCOMPARE(entries[0].href, QStringLiteral("file:///home/u/notes.txt"));
        QCOMPARE(entries[0].apps, QStringList{QStringLiteral("Text Editor 3")});
        QCOMPARE(entries[0].mimeTypes, QStringList{QStringLiteral("text/plain")});
    }
    // Used again: one entry, moved last (newest), counted twice, first use kept.
    QCOMPARE(entries[base].href, QUrl::fromLocalFile(b).toString(QUrl::FullyEncoded));
    const Entry &again = entries[base + 1];
    QCOMPARE(again.href, QStringLiteral("file://") + mDir->path() + QStringLiteral("/My%20Book.PUB"));
    QCOMPARE(again.apps, QStringList{QStringLiteral("Vardeko 2")});
    QCOMPARE(again.mimeTypes, QStringList{QStringLiteral("application/x-vardeko-publication")});
    QCOMPARE(QDateTime::fromString(again.added, Qt::ISODateWithMs), t1);
    QCOMPARE(QDateTime::fromString(again.modified, Qt::ISODateWithMs), t2);
}

void TestDesktop::unreadableRecentListIsLeftAlone_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("cut short") << QByteArray(OtherProgramsList).left(300);
    QTest::newRow("not a bookmark list") << QByteArray("<?xml version=\"1.0\"?><html/>");
    QTest::newRow("not XML") << QByteArray("\x00\x01garbage", 9);
}

void TestDesktop::unreadableRecentListIsLeftAlone()
{
    QFETCH(QByteArray, content);
    const QString list = mDir->filePath(QStringLiteral("recently-used.xbel"));
    {
        QFile f(list);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    QVERIFY(!addDesktopRecentFile(mDir->filePath(QStringLiteral("A.PUB")), list));
    QFile f(list);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), content);
}

void TestDesktop::dataFoldersOfTheBuildTree()
{
    // Run from the build tree, the program reads the sources' data.
    const QString sample = samplePublication();
    QVERIFY(QFileInfo(sample).isFile());
    QCOMPARE(QFileInfo(sample).fileName(), QStringLiteral("SAMPLE.PUB"));
    const QString icons = dataFolder(DataFolder::Icons);
    QVERIFY(QFileInfo::exists(icons + QStringLiteral("/scalable/apps/org.sarquel.Vardeko.svg")));
    QVERIFY(QFileInfo::exists(icons + QStringLiteral("/48x48/apps/org.sarquel.Vardeko.png")));
    QVERIFY(helpTopicUrl(HelpContentsTopic).isLocalFile());
}
