// Tells the desktop which publications were used lately, in the shared list of
// recently used files that file choosers and launchers read.
#include "desktoprecent.h"

#include "programtitle.h"

#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>

namespace vardeko {

namespace {

constexpr char PublicationType[] = "application/x-vardeko-publication";
// The list of a new user: the bookmark format with the two name spaces its readers expect.
constexpr char EmptyList[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<xbel version=\"1.0\" xmlns:bookmark=\"http://www.freedesktop.org/standards/desktop-bookmarks\""
    " xmlns:mime=\"http://www.freedesktop.org/standards/shared-mime-info\"/>\n";

QDomElement child(QDomElement parent, const QString &tag, const QString &attribute = {},
                  const QString &value = {})
{
    for (QDomElement e = parent.firstChildElement(tag); !e.isNull(); e = e.nextSiblingElement(tag))
        if (attribute.isEmpty() || e.attribute(attribute) == value)
            return e;
    QDomElement e = parent.ownerDocument().createElement(tag);
    if (!attribute.isEmpty())
        e.setAttribute(attribute, value);
    parent.appendChild(e);
    return e;
}

} // namespace

QString desktopRecentListFile()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("recently-used.xbel"));
}

bool addDesktopRecentFile(const QString &path, const QString &listFile, const QDateTime &when)
{
    QDomDocument doc;
    QFile in(listFile);
    if (in.exists()) {
        if (!in.open(QIODevice::ReadOnly) || !doc.setContent(&in))
            return false;
        in.close();
    } else if (!doc.setContent(QByteArray(EmptyList))) {
        return false;
    }
    QDomElement root = doc.documentElement();
    if (root.tagName() != QLatin1String("xbel"))
        return false;

    const QString stamp = when.toUTC().toString(Qt::ISODateWithMs);
    const QString href = QString::fromLatin1(
        QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded());
    QDomElement bookmark = child(root, QStringLiteral("bookmark"), QStringLiteral("href"), href);
    if (!bookmark.hasAttribute(QStringLiteral("added")))
        bookmark.setAttribute(QStringLiteral("added"), stamp);
    bookmark.setAttribute(QStringLiteral("modified"), stamp);
    bookmark.setAttribute(QStringLiteral("visited"), stamp);
    QDomElement metadata = child(child(bookmark, QStringLiteral("info")), QStringLiteral("metadata"),
                                 QStringLiteral("owner"), QStringLiteral("http://freedesktop.org"));
    child(metadata, QStringLiteral("mime:mime-type"))
        .setAttribute(QStringLiteral("type"), QLatin1String(PublicationType));
    QDomElement app = child(child(metadata, QStringLiteral("bookmark:applications")),
                            QStringLiteral("bookmark:application"), QStringLiteral("name"),
                            QLatin1String(ProgramTitle));
    app.setAttribute(QStringLiteral("exec"), QStringLiteral("'vardeko %f'"));
    app.setAttribute(QStringLiteral("modified"), stamp);
    app.setAttribute(QStringLiteral("count"), app.attribute(QStringLiteral("count")).toInt() + 1);
    // The newest entry is the last one, as the desktop's own programs write it.
    root.appendChild(bookmark);

    QDir().mkpath(QFileInfo(listFile).absolutePath());
    QSaveFile out(listFile);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    out.write(doc.toByteArray(2));
    return out.commit();
}

} // namespace vardeko
