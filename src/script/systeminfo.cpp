// The items of SystemInfo.
#include "systeminfo.h"

#include "scriptmessages.h"

#include <QDir>

#include <pwd.h>
#include <unistd.h>

namespace vardeko {

namespace {

enum Item {
    PubAuthor = 1, PubColors, PubDir, PubHeight, PubTitle, PubWidth, ScreenColors,
    ScreenHeight, ScreenWidth, SystemDir, TempDir, UserName, WindowsDir
};

QString withSeparator(QString dir)
{
    if (!dir.isEmpty() && !dir.endsWith(u'/'))
        dir += u'/';
    return dir;
}

} // namespace

QString userName()
{
    if (const passwd *pw = getpwuid(getuid()); pw && pw->pw_name && *pw->pw_name)
        return QString::fromLocal8Bit(pw->pw_name);
    const QString env = qEnvironmentVariable("USER");
    return env.isEmpty() ? QStringLiteral("Unknown") : env;
}

QString SystemInfoValue(const QString &item, const SystemValues &values)
{
    static const char16_t *const names[] = {
        u"PUBAUTHOR", u"PUBCOLORS", u"PUBDIR", u"PUBHEIGHT", u"PUBTITLE", u"PUBWIDTH",
        u"SCREENCOLORS", u"SCREENHEIGHT", u"SCREENWIDTH", u"SYSTEMDIR", u"TEMPDIR",
        u"USERNAME", u"WINDOWSDIR"};
    const QString u = item.toUpper();
    int which = 0;
    for (int i = 0; i < 13; ++i) {
        if (u.contains(QStringView(names[i])))
            which = i + 1;
    }
    switch (which) {
    case PubAuthor: return values.publicationAuthor();
    case PubColors: return QString::number(values.publicationColors());
    case PubDir: return withSeparator(values.publicationDir());
    case PubHeight: return QString::number(values.pageHeight());
    case PubTitle: return values.publicationTitle();
    case PubWidth: return QString::number(values.pageWidth());
    case ScreenColors: return QString::number(values.screenColors());
    case ScreenHeight: return QString::number(values.screenHeight());
    case ScreenWidth: return QString::number(values.screenWidth());
    // The system's shared libraries and shared data stand for the system directories.
    case SystemDir: return QStringLiteral("/usr/lib");
    case TempDir: return values.tempDir();
    case UserName: return userName();
    case WindowsDir: return QStringLiteral("/usr/share");
    default: return QLatin1String(MsgError);
    }
}

} // namespace vardeko
