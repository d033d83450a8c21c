// The editor's preferences: defaults, reading with clamping, writing, window positions.
#include "preferences.h"

#include "datafolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPalette>
#include <QSettings>

#include <limits>
#include <type_traits>
#include <variant>

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

namespace {

// How a preference is stored.
enum class PrefKind { Bool, Int, Text, Rect, Point, Margin };

using PrefMember = std::variant<bool Preferences::*, int Preferences::*, QString Preferences::*,
                                QRect Preferences::*, QPoint Preferences::*, double Preferences::*>;

// One stored preference: its key, its member and, for numbers, the range read values
// are clamped to. The defaults are the members' own.
struct PrefKey
{
    const char *key;
    PrefMember member;
    int low = std::numeric_limits<int>::min();
    int high = std::numeric_limits<int>::max();
};

using P = Preferences;

// Every preference in the order written; reading and writing both walk this table.
const PrefKey PrefKeys[] = {
    {"MainWindowPos", &P::MainWindowPos},
    {"ToolPalettePos", &P::ToolPalettePos},
    {"ToolPaletteExpanded", &P::ToolPaletteExpanded},
    {"ToolPaletteRolledUp", &P::ToolPaletteRolledUp},
    {"MouseWindowPos", &P::MouseWindowPos},
    {"ShowMousePos", &P::ShowMousePos},
    {"DebugWindowPos", &P::DebugWindowPos},
    {"ShowDebugInfo", &P::ShowDebugInfo},
    {"DebugRolledUp", &P::DebugRolledUp},
    {"FileListWindowPos", &P::FileListWindowPos},
    {"ShowFileList", &P::ShowFileList},
    {"FileListRolledUp", &P::FileListRolledUp},
    {"ActionPalette", &P::ActionPalette},
    {"ShowImages", &P::ShowImages},
    {"ShowGrid", &P::ShowGrid},
    {"SnapToGrid", &P::SnapToGrid},
    {"GridX", &P::GridX, 4, 50},
    {"GridY", &P::GridY, 4, 50},
    {"ScreenWidth", &P::ScreenWidth, 25, 2000},
    {"ScreenHeight", &P::ScreenHeight, 25, 2000},
    {"ScreenColors", &P::ScreenColors, 16, 16777216},
    {"Undo", &P::Undo},
    {"CreateBackupFiles", &P::CreateBackupFiles},
    {"AutoUpdate", &P::AutoUpdate},
    {"UtilsInRegistry", &P::UtilsInRegistry},
    {"ShowThumbnailImages", &P::ShowThumbnailImages},
    {"WindowsFileSelector", &P::WindowsFileSelector},
    {"PubDir", &P::PubDir},
    {"TempDir", &P::TempDir},
    {"DataDir", &P::DataDir},
    {"ImageDir", &P::ImageDir},
    {"TextDir", &P::TextDir},
    {"AudioDir", &P::AudioDir},
    {"VideoDir", &P::VideoDir},
    {"PaletteDir", &P::PaletteDir},
    {"LanguageDir", &P::LanguageDir},
    {"DOSDir", &P::DOSDir},
    {"ActionDir", &P::ActionDir},
    {"ArchiveDir", &P::ArchiveDir},
    {"TextEditor", &P::TextEditor},
    {"ImageEditor", &P::ImageEditor},
    {"SoundEditor", &P::SoundEditor},
    {"VideoEditor", &P::VideoEditor},
    {"EditorBkndColor", &P::EditorBkndColor},
    {"EditorTextColor", &P::EditorTextColor},
    {"EditorFontName", &P::EditorFontName},
    {"EditorFontSize", &P::EditorFontSize},
    {"EditorFontStyle", &P::EditorFontStyle},
    {"Header", &P::Header},
    {"Footer", &P::Footer},
    {"LeftMargin", &P::LeftMargin},
    {"TopMargin", &P::TopMargin},
    {"RightMargin", &P::RightMargin},
    {"BottomMargin", &P::BottomMargin},
    {"UnitOfMeasure", &P::UnitOfMeasure},
    {"WrapLines", &P::WrapLines},
    {"Mascot", &P::Mascot},
};

void readKey(QSettings &s, const PrefKey &k, Preferences &p)
{
    const QString key = QLatin1String(k.key);
    std::visit(
        [&](auto member) {
            auto &value = p.*member;
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, bool>)
                readBool(s, key, value);
            else if constexpr (std::is_same_v<T, int>)
                readInt(s, key, value, k.low, k.high);
            else if constexpr (std::is_same_v<T, QString>)
                readString(s, key, value);
            else if constexpr (std::is_same_v<T, QRect>)
                readRect(s, key, value);
            else if constexpr (std::is_same_v<T, QPoint>)
                readPoint(s, key, value);
            else
                readMargin(s, key, value);
        },
        k.member);
}

QString keyText(const PrefKey &k, const Preferences &p)
{
    return std::visit(
        [&](auto member) -> QString {
            const auto &value = p.*member;
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, bool>)
                return boolText(value);
            else if constexpr (std::is_same_v<T, int>)
                return QString::number(value);
            else if constexpr (std::is_same_v<T, QString>)
                return value;
            else if constexpr (std::is_same_v<T, QRect>)
                return rectText(value);
            else if constexpr (std::is_same_v<T, QPoint>)
                return formatWindowPos({value.x(), value.y()});
            else
                return marginText(value);
        },
        k.member);
}

} // namespace

QStringList preferenceKeys()
{
    QStringList keys;
    for (const PrefKey &k : PrefKeys)
        keys.append(QLatin1String(k.key));
    for (const LanguageString &l : LanguageStrings)
        keys.append(QLatin1String(l.key));
    return keys;
}

void readPreferences(QSettings &s, Preferences &p)
{
    p.MainWindowPosStored = readText(s, QStringLiteral("MainWindowPos")).has_value();
    p.ToolPalettePosStored = readText(s, QStringLiteral("ToolPalettePos")).has_value();
    for (const PrefKey &k : PrefKeys)
        readKey(s, k, p);
    p.EditorFontStyle &= 0x0F;
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
    for (const PrefKey &k : PrefKeys)
        s.setValue(QLatin1String(k.key), keyText(k, p));
    for (int i = 0; i < LanguageStringCount; ++i)
        s.setValue(QLatin1String(LanguageStrings[size_t(i)].key), p.Language[size_t(i)]);

    // A shorter list than last time must not leave old entries behind.
    for (int i = 0; i < ReopenListLimit; ++i)
        s.remove(QStringLiteral("FileHistory") + QString::number(i));
    const QStringList &items = p.Reopen.items();
    for (qsizetype i = 0; i < items.size(); ++i)
        s.setValue(QStringLiteral("FileHistory") + QString::number(i), items[i]);
}

} // namespace vardeko
