// The editor's preferences: defaults, reading with clamping, writing, window positions.
#include "preferences.h"

#include "datafolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPalette>
#include <QSettings>

namespace vardeko {

namespace {

// Nominal sizes of the floating windows, for the screen fix-up of their positions.
const QSize ToolPaletteSize(64, 320);
const QSize MouseWindowSize(120, 48);

QString programDir()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

ColorRef colorRefOf(const QColor &c)
{
    return rgbColor(c.red(), c.green(), c.blue());
}

QString boolText(bool b)
{
    return b ? QStringLiteral("1") : QStringLiteral("0");
}

// QSettings hands back a list when a hand-written value holds unquoted commas.
std::optional<QString> readText(QSettings &s, const QString &key)
{
    const QVariant v = s.value(key);
    if (!v.isValid())
        return std::nullopt;
    if (v.typeId() == QMetaType::QStringList)
        return v.toStringList().join(QLatin1Char(','));
    return v.toString();
}

void readString(QSettings &s, const QString &key, QString &value)
{
    if (auto t = readText(s, key))
        value = *t;
}

void readInt(QSettings &s, const QString &key, int &value, int low, int high)
{
    if (auto t = readText(s, key))
        if (auto n = parseStoredInt(*t))
            value = std::clamp(*n, low, high);
}

void readInt(QSettings &s, const QString &key, int &value)
{
    readInt(s, key, value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
}

void readBool(QSettings &s, const QString &key, bool &value)
{
    if (auto t = readText(s, key))
        if (auto n = parseStoredInt(*t))
            value = *n != 0;
}

void readMargin(QSettings &s, const QString &key, double &value)
{
    if (auto t = readText(s, key)) {
        bool ok = false;
        const double d = t->trimmed().toDouble(&ok);
        if (ok)
            value = d;
    }
}

void readRect(QSettings &s, const QString &key, QRect &rect)
{
    if (auto t = readText(s, key)) {
        const QList<int> f = parseWindowPos(*t, {rect.x(), rect.y(), rect.width(), rect.height()});
        rect = QRect(f[0], f[1], f[2], f[3]);
    }
}

void readPoint(QSettings &s, const QString &key, QPoint &point)
{
    if (auto t = readText(s, key)) {
        const QList<int> f = parseWindowPos(*t, {point.x(), point.y()});
        point = QPoint(f[0], f[1]);
    }
}

QString rectText(const QRect &r)
{
    return formatWindowPos({r.x(), r.y(), r.width(), r.height()});
}

QString marginText(double value)
{
    return QString::asprintf("%2.2f", value);
}

} // namespace

bool samePublicationFile(const QString &a, const QString &b)
{
    const QFileInfo fa(a), fb(b);
    // Two existing files are the same only when they are one file: on a file system
    // that tells case apart, "A.PUB" and "a.pub" may be two publications.
    if (fa.exists() && fb.exists())
        return fa.canonicalFilePath() == fb.canonicalFilePath();
    return QDir::cleanPath(fa.absoluteFilePath())
               .compare(QDir::cleanPath(fb.absoluteFilePath()), Qt::CaseInsensitive)
        == 0;
}

void ReopenList::append(const QString &fileName)
{
    mItems.removeIf([&](const QString &s) { return samePublicationFile(s, fileName); });
    mItems.append(fileName);
}

void ReopenList::insertClosed(const QString &fileName)
{
    if (fileName.isEmpty())
        return;
    removeOpened(fileName);
    mItems.prepend(fileName);
    while (mItems.size() > ReopenListLimit)
        mItems.removeLast();
}

void ReopenList::removeOpened(const QString &fileName)
{
    mItems.removeIf([&](const QString &s) { return samePublicationFile(s, fileName); });
}

Preferences::Preferences()
{
    const QString dir = programDir();
    PubDir = DataDir = ImageDir = TextDir = AudioDir = VideoDir = PaletteDir = LanguageDir =
        ActionDir = ArchiveDir = dir;
    // The program's folder is a bin folder here; publications start where the sample is.
    if (const QString sample = dataFolder(DataFolder::Sample); !sample.isEmpty())
        PubDir = sample;
    const QString temp = qEnvironmentVariable("TEMP");
    // Without TEMP the system's temporary folder: the program's folder is rarely
    // writable here.
    TempDir = !temp.isEmpty() && QFileInfo(temp).isDir() ? temp : QDir::tempPath();
    DOSDir = QFileInfo(QStringLiteral("/usr/share")).isDir() ? QStringLiteral("/usr/share") : dir;
    ScreenColors = ScreenColorCount();
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        const QPalette pal = QGuiApplication::palette();
        EditorBkndColor = colorRefOf(pal.color(QPalette::Base));
        EditorTextColor = colorRefOf(pal.color(QPalette::Text));
    }
}

std::optional<int> parseStoredInt(const QString &text)
{
    const QString t = text.trimmed();
    bool ok = false;
    int value = 0;
    if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        // Colours are stored as unsigned hexadecimal; keep their bits.
        const uint u = t.mid(2).toUInt(&ok, 16);
        value = int(u);
    } else {
        value = t.toInt(&ok, 10);
    }
    if (!ok)
        return std::nullopt;
    return value;
}

QList<int> parseWindowPos(const QString &text, const QList<int> &current)
{
    auto isBlank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    auto isDelimiter = [](QChar c) { return c == QLatin1Char(',') || c == QLatin1Char(';'); };

    QStringList fields;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && isBlank(text[i]))
        ++i;
    while (i < n) {
        QString field;
        bool quoted = false;
        while (i < n) {
            const QChar c = text[i];
            if (c == QLatin1Char('"')) {
                quoted = !quoted;
                ++i;
                continue;
            }
            if (!quoted && (isBlank(c) || isDelimiter(c)))
                break;
            field += c;
            ++i;
        }
        fields.append(field);
        // Blanks around a comma make one separator, not two.
        while (i < n && isBlank(text[i]))
            ++i;
        if (i < n && isDelimiter(text[i])) {
            ++i;
            while (i < n && isBlank(text[i]))
                ++i;
            if (i == n)
                fields.append(QString()); // a trailing comma leaves an empty last field
        }
    }

    QList<int> result = current;
    for (qsizetype k = 0; k < result.size() && k < fields.size(); ++k) {
        if (fields[k].isEmpty())
            continue;
        result[k] = parseStoredInt(fields[k]).value_or(0);
    }
    return result;
}

QString formatWindowPos(const QList<int> &fields)
{
    QStringList parts;
    for (int f : fields)
        parts.append(QString::number(f));
    return parts.join(QLatin1Char(','));
}

QRect fixMainWindowPos(const QRect &pos, const QSize &screen)
{
    QRect r = pos;
    if (r.left() > screen.width() - 30)
        r.moveLeft(0);
    if (r.top() > screen.height() - 30)
        r.moveTop(0);
    return r;
}

QPoint fixFloatingWindowPos(const QPoint &pos, const QSize &windowSize, const QSize &screen)
{
    QPoint p = pos;
    if (p.x() > screen.width() - 30)
        p.setX(screen.width() - windowSize.width());
    if (p.y() > screen.height() - 30)
        p.setY(screen.height() - windowSize.height());
    return p;
}

void fixWindowPositions(Preferences &prefs, const QSize &screen)
{
    prefs.MainWindowPos = fixMainWindowPos(prefs.MainWindowPos, screen);
    prefs.ToolPalettePos = fixFloatingWindowPos(prefs.ToolPalettePos, ToolPaletteSize, screen);
    prefs.MouseWindowPos = fixFloatingWindowPos(prefs.MouseWindowPos, MouseWindowSize, screen);
    prefs.DebugWindowPos.moveTopLeft(fixFloatingWindowPos(prefs.DebugWindowPos.topLeft(),
                                                          prefs.DebugWindowPos.size(), screen));
    prefs.FileListWindowPos.moveTopLeft(fixFloatingWindowPos(
        prefs.FileListWindowPos.topLeft(), prefs.FileListWindowPos.size(), screen));
}

QRect firstStartWindowPos(const QRect &available)
{
    // Nine tenths of the area, centred; more than 1600 x 1200 only leaves empty frame.
    const QSize size(std::min(available.width() * 9 / 10, 1600),
                     std::min(available.height() * 9 / 10, 1200));
    QRect r(QPoint(0, 0), size);
    r.moveCenter(available.center());
    return r;
}

void readPreferences(QSettings &s, Preferences &p)
{
    p.MainWindowPosStored = readText(s, QStringLiteral("MainWindowPos")).has_value();
    readRect(s, QStringLiteral("MainWindowPos"), p.MainWindowPos);
    p.ToolPalettePosStored = readText(s, QStringLiteral("ToolPalettePos")).has_value();
    readPoint(s, QStringLiteral("ToolPalettePos"), p.ToolPalettePos);
    readBool(s, QStringLiteral("ToolPaletteExpanded"), p.ToolPaletteExpanded);
    readBool(s, QStringLiteral("ToolPaletteRolledUp"), p.ToolPaletteRolledUp);
    readPoint(s, QStringLiteral("MouseWindowPos"), p.MouseWindowPos);
    readBool(s, QStringLiteral("ShowMousePos"), p.ShowMousePos);
    readRect(s, QStringLiteral("DebugWindowPos"), p.DebugWindowPos);
    readBool(s, QStringLiteral("ShowDebugInfo"), p.ShowDebugInfo);
    readBool(s, QStringLiteral("DebugRolledUp"), p.DebugRolledUp);
    readRect(s, QStringLiteral("FileListWindowPos"), p.FileListWindowPos);
    readBool(s, QStringLiteral("ShowFileList"), p.ShowFileList);
    readBool(s, QStringLiteral("FileListRolledUp"), p.FileListRolledUp);
    readInt(s, QStringLiteral("ActionPalette"), p.ActionPalette);
    readBool(s, QStringLiteral("ShowImages"), p.ShowImages);
    readBool(s, QStringLiteral("ShowGrid"), p.ShowGrid);
    readBool(s, QStringLiteral("SnapToGrid"), p.SnapToGrid);
    readInt(s, QStringLiteral("GridX"), p.GridX, 4, 50);
    readInt(s, QStringLiteral("GridY"), p.GridY, 4, 50);
    readInt(s, QStringLiteral("ScreenWidth"), p.ScreenWidth, 25, 2000);
    readInt(s, QStringLiteral("ScreenHeight"), p.ScreenHeight, 25, 2000);
    readInt(s, QStringLiteral("ScreenColors"), p.ScreenColors, 16, 16777216);
    readBool(s, QStringLiteral("Undo"), p.Undo);
    readBool(s, QStringLiteral("CreateBackupFiles"), p.CreateBackupFiles);
    readBool(s, QStringLiteral("AutoUpdate"), p.AutoUpdate);
    readBool(s, QStringLiteral("UtilsInRegistry"), p.UtilsInRegistry);
    readBool(s, QStringLiteral("ShowThumbnailImages"), p.ShowThumbnailImages);
    readBool(s, QStringLiteral("WindowsFileSelector"), p.WindowsFileSelector);
    readString(s, QStringLiteral("PubDir"), p.PubDir);
    readString(s, QStringLiteral("TempDir"), p.TempDir);
    readString(s, QStringLiteral("DataDir"), p.DataDir);
    readString(s, QStringLiteral("ImageDir"), p.ImageDir);
    readString(s, QStringLiteral("TextDir"), p.TextDir);
    readString(s, QStringLiteral("AudioDir"), p.AudioDir);
    readString(s, QStringLiteral("VideoDir"), p.VideoDir);
    readString(s, QStringLiteral("PaletteDir"), p.PaletteDir);
    readString(s, QStringLiteral("LanguageDir"), p.LanguageDir);
    readString(s, QStringLiteral("DOSDir"), p.DOSDir);
    readString(s, QStringLiteral("ActionDir"), p.ActionDir);
    readString(s, QStringLiteral("ArchiveDir"), p.ArchiveDir);
    readString(s, QStringLiteral("TextEditor"), p.TextEditor);
    readString(s, QStringLiteral("ImageEditor"), p.ImageEditor);
    readString(s, QStringLiteral("SoundEditor"), p.SoundEditor);
    readString(s, QStringLiteral("VideoEditor"), p.VideoEditor);
    readInt(s, QStringLiteral("EditorBkndColor"), p.EditorBkndColor);
    readInt(s, QStringLiteral("EditorTextColor"), p.EditorTextColor);
    readString(s, QStringLiteral("EditorFontName"), p.EditorFontName);
    readInt(s, QStringLiteral("EditorFontSize"), p.EditorFontSize);
    readInt(s, QStringLiteral("EditorFontStyle"), p.EditorFontStyle);
    p.EditorFontStyle &= 0x0F;
    readString(s, QStringLiteral("Header"), p.Header);
    readString(s, QStringLiteral("Footer"), p.Footer);
    readMargin(s, QStringLiteral("LeftMargin"), p.LeftMargin);
    readMargin(s, QStringLiteral("TopMargin"), p.TopMargin);
    readMargin(s, QStringLiteral("RightMargin"), p.RightMargin);
    readMargin(s, QStringLiteral("BottomMargin"), p.BottomMargin);
    readInt(s, QStringLiteral("UnitOfMeasure"), p.UnitOfMeasure);
    readBool(s, QStringLiteral("WrapLines"), p.WrapLines);
    readString(s, QStringLiteral("Mascot"), p.Mascot);
    p.Mascot.truncate(15);
    for (int i = 0; i < LanguageStringCount; ++i)
        readString(s, QLatin1String(LanguageStrings[size_t(i)].key), p.Language[size_t(i)]);

    p.Reopen.clear();
    for (int i = 0; i < ReopenListLimit; ++i) {
        const auto name = readText(s, QStringLiteral("FileHistory") + QString::number(i));
        if (!name)
            break;
        p.Reopen.append(*name);
    }
}

void writePreferences(QSettings &s, const Preferences &p)
{
    auto text = [&](const char *key, const QString &value) { s.setValue(QLatin1String(key), value); };
    auto number = [&](const char *key, int value) { text(key, QString::number(value)); };
    auto flag = [&](const char *key, bool value) { text(key, boolText(value)); };
    auto point = [&](const char *key, QPoint value) {
        text(key, formatWindowPos({value.x(), value.y()}));
    };

    text("MainWindowPos", rectText(p.MainWindowPos));
    point("ToolPalettePos", p.ToolPalettePos);
    flag("ToolPaletteExpanded", p.ToolPaletteExpanded);
    flag("ToolPaletteRolledUp", p.ToolPaletteRolledUp);
    point("MouseWindowPos", p.MouseWindowPos);
    flag("ShowMousePos", p.ShowMousePos);
    text("DebugWindowPos", rectText(p.DebugWindowPos));
    flag("ShowDebugInfo", p.ShowDebugInfo);
    flag("DebugRolledUp", p.DebugRolledUp);
    text("FileListWindowPos", rectText(p.FileListWindowPos));
    flag("ShowFileList", p.ShowFileList);
    flag("FileListRolledUp", p.FileListRolledUp);
    number("ActionPalette", p.ActionPalette);
    flag("ShowImages", p.ShowImages);
    flag("ShowGrid", p.ShowGrid);
    flag("SnapToGrid", p.SnapToGrid);
    number("GridX", p.GridX);
    number("GridY", p.GridY);
    number("ScreenWidth", p.ScreenWidth);
    number("ScreenHeight", p.ScreenHeight);
    number("ScreenColors", p.ScreenColors);
    flag("Undo", p.Undo);
    flag("CreateBackupFiles", p.CreateBackupFiles);
    flag("AutoUpdate", p.AutoUpdate);
    flag("UtilsInRegistry", p.UtilsInRegistry);
    flag("ShowThumbnailImages", p.ShowThumbnailImages);
    flag("WindowsFileSelector", p.WindowsFileSelector);
    text("PubDir", p.PubDir);
    text("TempDir", p.TempDir);
    text("DataDir", p.DataDir);
    text("ImageDir", p.ImageDir);
    text("TextDir", p.TextDir);
    text("AudioDir", p.AudioDir);
    text("VideoDir", p.VideoDir);
    text("PaletteDir", p.PaletteDir);
    text("LanguageDir", p.LanguageDir);
    text("DOSDir", p.DOSDir);
    text("ActionDir", p.ActionDir);
    text("ArchiveDir", p.ArchiveDir);
    text("TextEditor", p.TextEditor);
    text("ImageEditor", p.ImageEditor);
    text("SoundEditor", p.SoundEditor);
    text("VideoEditor", p.VideoEditor);
    number("EditorBkndColor", p.EditorBkndColor);
    number("EditorTextColor", p.EditorTextColor);
    text("EditorFontName", p.EditorFontName);
    number("EditorFontSize", p.EditorFontSize);
    number("EditorFontStyle", p.EditorFontStyle);
    text("Header", p.Header);
    text("Footer", p.Footer);
    text("LeftMargin", marginText(p.LeftMargin));
    text("TopMargin", marginText(p.TopMargin));
    text("RightMargin", marginText(p.RightMargin));
    text("BottomMargin", marginText(p.BottomMargin));
    number("UnitOfMeasure", p.UnitOfMeasure);
    flag("WrapLines", p.WrapLines);
    text("Mascot", p.Mascot);
    for (int i = 0; i < LanguageStringCount; ++i)
        text(LanguageStrings[size_t(i)].key, p.Language[size_t(i)]);

    // A shorter list than last time must not leave old entries behind.
    for (int i = 0; i < ReopenListLimit; ++i)
        s.remove(QStringLiteral("FileHistory") + QString::number(i));
    const QStringList &items = p.Reopen.items();
    for (qsizetype i = 0; i < items.size(); ++i)
        s.setValue(QStringLiteral("FileHistory") + QString::number(i), items[i]);
}

} // namespace vardeko
