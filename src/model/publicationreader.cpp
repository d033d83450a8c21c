// Reads publication files, older DOS-format files and pasted object text.
#include "publicationfile.h"

#include "actioncommands.h"
#include "filekeys.h"
#include "filecommands.h"
#include "filenames.h"
#include "ioerrors.h"
#include "textcodec.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <optional>
#include <type_traits>
#include <variant>

#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vardeko {

namespace {

// Groups nest to any depth the object limit allows (every level is a group object); a
// file nested deeper than that is damaged. Every walk over objects is iterative.
constexpr int MaxGroupDepth = MaxObjects;

constexpr int ReadBlockSize = 2048;
constexpr int MaxLineLength = 30720;

// Codes 126..255 of DOS-format texts, in order.
constexpr quint8 kDosCharTable[130] = {
    124, 127, 199, 252, 233, 226, 228, 224, 229, 231, 234, 235, 232, 239, 238, 236,
    196, 197, 201, 230, 198, 244, 246, 242, 251, 249, 255, 214, 220, 248, 163, 216,
    158, 131, 225, 237, 243, 250, 241, 209, 170, 186, 191, 174, 172, 189, 188, 161,
    171, 187, 176, 140, 215, 149, 156, 193, 194, 192, 169, 185, 186, 187, 188, 162,
    165, 191, 192, 193, 194, 138, 166, 154, 227, 195, 200, 201, 153, 203, 204, 205,
    206, 164, 208, 208, 202, 203, 200, 185, 205, 206, 207, 134, 218, 219, 220, 221,
    204, 183, 211, 223, 212, 210, 245, 213, 181, 222, 254, 218, 219, 217, 253, 221,
    238, 180, 151, 177, 242, 190, 182, 167, 247, 247, 176, 168, 149, 251, 179, 178,
    149, 255,
};

// Reads lines from a device in blocks. A line ends at CR LF or a lone LF; a line longer
// than the buffer limit is returned in pieces.
class LineReader
{
public:
    explicit LineReader(QIODevice &device)
        : mDevice(device)
    {}

    // False at the end of the input or on a read error (see error()). The line stays
    // valid until the next call.
    bool next(QByteArrayView *line)
    {
        for (;;) {
            const qsizetype lf = mBuffer.indexOf('\n', mScanFrom);
            if (lf >= 0) {
                qsizetype end = lf;
                if (end > mPos && mBuffer.at(end - 1) == '\r')
                    --end;
                *line = QByteArrayView(mBuffer.constData() + mPos, end - mPos);
                mConsumed += lf + 1 - mPos;
                mPos = mScanFrom = lf + 1;
                return true;
            }
            mScanFrom = mBuffer.size();
            if (mEof || mBuffer.size() - mPos > MaxLineLength) {
                if (mPos >= mBuffer.size())
                    return false;
                *line = QByteArrayView(mBuffer.constData() + mPos, mBuffer.size() - mPos);
                mConsumed += mBuffer.size() - mPos;
                mPos = mScanFrom = mBuffer.size();
                return true;
            }
            fill();
        }
    }

    qint64 consumed() const { return mConsumed; }
    IoError error() const { return mError; }

private:
    void fill()
    {
        if (mPos > 0) {
            mBuffer.remove(0, mPos);
            mScanFrom -= mPos;
            mPos = 0;
        }
        const qsizetype old = mBuffer.size();
        mBuffer.resize(old + ReadBlockSize);
        qint64 got = mDevice.read(mBuffer.data() + old, ReadBlockSize);
        if (got < 0) {
            mError = IoReadError;
            got = 0;
        }
        mBuffer.resize(old + got);
        if (got == 0)
            mEof = true;
    }

    QIODevice &mDevice;
    QByteArray mBuffer;
    qsizetype mPos = 0;
    qsizetype mScanFrom = 0;
    qint64 mConsumed = 0;
    bool mEof = false;
    IoError mError = IoOk;
};

// A signed decimal integer of the value with all spaces removed; anything else is 0.
int intValue(QStringView value)
{
    qint64 result = 0;
    bool negative = false;
    bool digits = false;
    qsizetype i = 0;
    while (i < value.size() && value[i] == u' ')
        ++i;
    if (i < value.size() && (value[i] == u'-' || value[i] == u'+')) {
        negative = value[i] == u'-';
        ++i;
    }
    for (; i < value.size(); ++i) {
        const char16_t c = value[i].unicode();
        if (c == u' ')
            continue;
        if (c < u'0' || c > u'9')
            return 0;
        digits = true;
        result = result * 10 + (c - u'0');
        if (result > qint64(1) << 32)
            return 0;
    }
    if (!digits)
        return 0;
    result = negative ? -result : result;
    if (result < INT_MIN || result > qint64(UINT_MAX))
        return 0;
    // Colours above 0x7FFFFFFF were written unsigned by some writers.
    return int(quint32(result));
}

bool boolValue(QStringView value)
{
    QString v = value.toString();
    v.remove(QLatin1Char(' '));
    return v.compare(QLatin1String("YES"), Qt::CaseInsensitive) == 0;
}

bool isNumberText(QStringView text)
{
    for (QChar c : text)
        if (!(c == u' ' || c == u'+' || c == u'-' || c == u'.' || c.isDigit()))
            return false;
    return true;
}

// One level of object nesting: the list new objects go to.
struct Level
{
    ObjectList *list;
    bool real; // false: a GROUPBEGIN whose owner was no group, kept only for balance
};

class Reader
{
public:
    Reader(Publication &pub, const ReadOptions &options, bool pasteMode)
        : mPub(pub)
        , mOptions(options)
        , mPaste(pasteMode)
        , mWorkingPalette(defaultPaletteTable())
    {}

    QString pubDir;
    bool dos = false;
    double version = 0;
    IoError error = IoOk;
    bool stop = false;
    std::vector<MissingFile> missing;
    std::function<void()> onNewPage;

    void startPaste(Page &page)
    {
        mPage = &page;
        mLevels.push_back({&page.Objects, true});
        version = FileVersion;
    }

    void apply(QStringView line);

private:
    QStringView valueOf(QStringView line) const
    {
        const qsizetype eq = line.indexOf(u'=');
        return eq < 0 ? QStringView() : line.mid(eq + 1);
    }

    void setCurrentPage(Page *page)
    {
        mPage = page;
        mObject = nullptr;
        mLevels.clear();
        if (page)
            mLevels.push_back({&page->Objects, true});
    }

    ColorRef color(int value) const
    {
        if (dos && (mPub.Settings.ScreenColors == 16 || mPub.Settings.ScreenColors == 256)) {
            const int index = std::clamp(value, 0, 255);
            return paletteRelative(mWorkingPalette[size_t(index)]);
        }
        return value;
    }

    QString resolve(const QString &stored, bool recorded);
    QString convertScript(const QString &script);
    QString convertOldText(const QString &text) const;
    void fitDosText(PageObject &object);

    // One function per section of the file, as the writer has.
    void readSetting(int key, QStringView value);
    void readDosPaletteEntry(QStringView value);
    void readStructure(int key, QStringView value);
    void readPageKey(int key, QStringView value);
    void readObjectKey(int key, QStringView value);
    void readKindKey(int key, QStringView value);
    template <typename Data>
    void readKindField(PageObject &o, Data &data, const KeyField<Data> &field, QStringView value);
    // The number of a line, a DOS palette index made a colour.
    int number(int key, QStringView value) const;
    // Stores a value through the key table; `number` replaces the decoded number.
    template <typename Record>
    void readField(Record &record, const KeyField<Record> &field, QStringView value,
                   std::optional<int> number = std::nullopt);

    Publication &mPub;
    const ReadOptions &mOptions;
    bool mPaste;
    PaletteTable mWorkingPalette;
    int mPalIndex = 0;
    int mPageOrdinal = 0;
    Page *mPage = nullptr;
    PageObject *mObject = nullptr;
    std::vector<Level> mLevels;
    std::vector<PageObject *> mOwners; // the group of each nested level
    FileLocator mLocator;
    QSet<std::pair<const void *, QString>> mListedMissing;
};

QString Reader::resolve(const QString &stored, bool recorded)
{
    if (mPaste || stored.isEmpty() || pubDir.isEmpty())
        return stored;
    QString name = stored;
    if (!hasDirectoryPart(name))
        name = joinPath(pubDir, name);
    if (!mLocator.locate(name, pubDir).isEmpty())
        return name;
    const QString beside = joinPath(pubDir, bareFileName(stored));
    if (!mLocator.locate(beside, pubDir).isEmpty())
        return beside;
    if (recorded) {
        const auto key = std::make_pair(static_cast<const void *>(mPage), stored);
        if (!mListedMissing.contains(key)) {
            mListedMissing.insert(key);
            missing.push_back({stored, mPage});
        }
    }
    return stored;
}

// Texts and scripts of files without a version: DOS characters through the table,
// "~" as the line separator of early Windows files.
QString Reader::convertOldText(const QString &text) const
{
    if (version != 0)
        return text;
    QString out = text;
    if (dos) {
        for (QChar &c : out) {
            const int b = windows1252Byte(c);
            if (b >= 126)
                c = windows1252Char(kDosCharTable[b - 126]);
        }
    } else {
        out.replace(QLatin1Char('~'), QLatin1Char('|'));
    }
    return out;
}

QString Reader::convertScript(const QString &script)
{
    if (mPaste || script.isEmpty())
        return script;
    QStringList lines = splitScriptLines(script);
    for (QString &line : lines) {
        const RecognizedCommand rec = recognizeCommand(line);
        const FileCommandRule *rule = rec.number ? fileCommandRule(rec.number) : nullptr;
        if (!rule)
            continue;
        QStringList p = scriptParameters(line);
        auto pad = [&p](int n) {
            while (p.size() < n)
                p.append(QString());
        };
        if (rule->params > 0)
            pad(rule->params);
        if (dos) {
            switch (rec.number) {
            case CmdDOSCommand:
                p.append(QString());
                break;
            case CmdImageWindow:
            case CmdTextWindow:
                if (p[2].isEmpty()) {
                    p[3] = p[1];
                    p[1] = p[2] = QStringLiteral("-1");
                }
                break;
            case CmdPlayFlicFile:
                p[4] = p[3];
                p[5] = p[2];
                p[2] = p[3] = QStringLiteral("-1");
                p[6] = QStringLiteral("Normal");
                break;
            case CmdPlaySoundFile:
                p[1] = QStringLiteral("NORMAL");
                break;
            case CmdPopupImage:
                p[3] = QStringLiteral("0");
                p[4] = QStringLiteral("NONE");
                p[5] = QStringLiteral("0");
                break;
            case CmdPrintTextFile:
                p[2] = p[0];
                p[0] = p[1] = QString();
                break;
            default:
                break;
            }
        }
        if (rule->params > 0)
            p = p.mid(0, rule->params);
        if (rule->fileParam > 0) {
            QString &file = p[rule->fileParam - 1];
            if (fileParamNamesFile(rec.number, file)) {
                file = resolve(file, rule->recorded);
                if (rec.number == CmdPlaySoundFile && mOptions.convertVoc
                    && file.endsWith(QLatin1String(".VOC"), Qt::CaseInsensitive)) {
                    const QString wave = mOptions.convertVoc(file);
                    if (!wave.isEmpty())
                        file = wave;
                }
            }
        }
        QString rewritten = rec.word;
        for (const QString &param : std::as_const(p))
            rewritten += QStringLiteral(" \"") + param + QLatin1Char('"');
        line = rewritten;
    }
    return joinScriptLines(lines);
}

void Reader::fitDosText(PageObject &object)
{
    TextData *t = object.text();
    if (!t || !mOptions.measurer)
        return;
    const int boxHeight = object.Y2 - object.Y1;
    int fitted = 0;
    QSize fittedSize;
    for (int size = 4; size <= 100; ++size) {
        const QSize s = mOptions.measurer->measureText(t->Text, t->Font, size, t->FontStyle);
        if (s.height() > boxHeight)
            break;
        fitted = size;
        fittedSize = s;
    }
    if (fitted == 0) {
        t->FontSize = 4;
        return;
    }
    t->FontSize = fitted;
    object.X2 = object.X1 + fittedSize.width();
    object.Y2 = object.Y1 + fittedSize.height();
}

void Reader::apply(QStringView line)
{
    const int key = matchFileKey(line);
    if (key < 0)
        return;
    const QStringView value = valueOf(line);
    if (key >= FileKeyCount) {
        mPub.Settings.Language[size_t(key - FileKeyCount)] = value.toString();
        return;
    }
    switch (FileKeyTable[size_t(key)].section) {
    case KeySection::Publication:
        readSetting(key, value);
        return;
    case KeySection::Structure:
        readStructure(key, value);
        return;
    case KeySection::Page:
        if (mPage)
            readPageKey(key, value);
        return;
    case KeySection::Object:
        readObjectKey(key, value);
        return;
    case KeySection::Kind:
        if (mObject)
            readKindKey(key, value);
        return;
    }
}

int Reader::number(int key, QStringView value) const
{
    int n = intValue(value);
    if (FileKeyTable[size_t(key)].value == KeyValue::Colour)
        n = color(n);
    return n;
}

template <typename Record>
void Reader::readField(Record &record, const KeyField<Record> &field, QStringView value,
                       std::optional<int> number)
{
    const FileKeyInfo &info = FileKeyTable[size_t(field.key)];
    auto inRange = [&](int n) { return n >= info.min && n <= info.max; };
    std::visit(
        [&](auto member) {
            using M = decltype(member);
            if constexpr (std::is_same_v<M, std::monostate>) {
                // Written and read by the section's own code.
            } else if constexpr (std::is_same_v<M, bool Record::*>) {
                record.*member = boolValue(value);
            } else if constexpr (std::is_same_v<M, QString Record::*>) {
                QString text = value.toString();
                switch (info.value) {
                case KeyValue::FileName: text = resolve(text, true); break;
                case KeyValue::Script: text = convertScript(convertOldText(text)); break;
                default: break;
                }
                record.*member = std::move(text);
            } else {
                const int n = number ? *number : this->number(field.key, value);
                if (inRange(n))
                    record.*member = std::remove_reference_t<decltype(record.*member)>(n);
            }
        },
        field.member);
}

void Reader::readSetting(int key, QStringView value)
{
    PublicationSettings &s = mPub.Settings;
    switch (key) {
    case K_SCREENCOLORS:
        if (const int colors = intValue(value); isValidScreenColors(colors)) {
            s.ScreenColors = colors;
            if (dos && colors == 16)
                mWorkingPalette = stock16PaletteTable();
        }
        return;
    case K_PAL:
        readDosPaletteEntry(value);
        return;
    case K_LANGUAGE:
        return; // always "US"
    case K_ALLOWKEYBOARD:
        s.TabWindows = s.TabButtons = boolValue(value);
        return;
    case K_AUTORETURN:
        s.AutoReturn = boolValue(value);
        if (dos && s.AutoReturn)
            s.ReturnAction = QStringLiteral("GotoFirstPage");
        return;
    case K_VARDEKOVER:
        if (isNumberText(value)) {
            QString v = value.toString().remove(QLatin1Char(' '));
            bool ok = false;
            const double d = v.toDouble(&ok);
            version = ok && std::isfinite(d) ? d : 0;
        }
        return;
    case K_RETURNACTION:
        // Unlike page and button scripts, never converted from the "~" separator.
        s.ReturnAction = convertScript(value.toString());
        return;
    case K_SETUPCOLORS: {
        const QList<QStringView> fields = value.split(u'|');
        for (qsizetype i = 0; i < 3 && i < fields.size(); ++i) {
            const QString field = fields[i].toString().remove(QLatin1Char(' '));
            if (!field.isEmpty())
                s.SETUPCOLORS[size_t(i)] = intValue(field);
        }
        return;
    }
    default:
        if (const auto *field = findKeyField<PublicationSettings>(key))
            readField(s, *field, value);
        return;
    }
}

void Reader::readDosPaletteEntry(QStringView value)
{
    if (!dos)
        return;
    PublicationSettings &s = mPub.Settings;
    const QString digits = value.toString().remove(QLatin1Char(' '));
    auto component = [&digits](int i) {
        const int v = intValue(QStringView(digits).mid(i * 2, 2));
        return quint8(std::clamp(v * 4 + 3, 0, 255));
    };
    const int entries = std::min(s.ScreenColors, 256);
    if (mPalIndex < entries) {
        mWorkingPalette[size_t(mPalIndex)] = {component(0), component(1), component(2),
                                              PaletteFlagNoCollapse};
        if (++mPalIndex == entries) {
            mPub.masterPage()->PagePalette = mWorkingPalette;
            AppPalette::instance().SetPaletteForColors(s.ScreenColors, mWorkingPalette);
        }
    }
}

void Reader::readStructure(int key, QStringView value)
{
    switch (key) {
    case K_NEWPAGE: {
        ++mPageOrdinal;
        QString title = value.toString();
        if (title.isEmpty() || dos)
            title = QString::number(mPageOrdinal);
        PagePtr page = mPub.createPage(title);
        if (!page) {
            error = IoOutOfMemory;
            stop = true;
            return;
        }
        page->PagePalette = mWorkingPalette;
        setCurrentPage(mPub.appendPage(std::move(page)));
        if (onNewPage)
            onNewPage();
        return;
    }
    case K_MASTERPAGE:
        setCurrentPage(mPub.masterPage());
        return;
    case K_GROUPBEGIN:
        if (mLevels.empty())
            return;
        if (mLevels.size() > size_t(MaxGroupDepth)) {
            error = IoInvalidFormat;
            stop = true;
            return;
        }
        mOwners.push_back(mObject);
        if (mObject && mObject->isGroup())
            mLevels.push_back({&mObject->Members, true});
        else // only groups own objects: the members stay at this level
            mLevels.push_back({mLevels.back().list, false});
        mObject = nullptr;
        return;
    case K_GROUPEND:
        if (mLevels.size() <= 1) {
            stop = true; // a GROUPEND at the top level ends the reading
            return;
        }
        mLevels.pop_back();
        mObject = mOwners.back();
        mOwners.pop_back();
        return;
    default:
        return;
    }
}

void Reader::readPageKey(int key, QStringView value)
{
    Page &page = *mPage;
    switch (key) {
    case K_PAGEPALETTE: {
        // Space-terminated numbers; entries missing at the end become black.
        const QList<QStringView> numbers = value.split(u' ', Qt::SkipEmptyParts);
        for (size_t i = 0; i < mWorkingPalette.size(); ++i) {
            const int c = i < size_t(numbers.size()) ? intValue(numbers[qsizetype(i)]) : 0;
            mWorkingPalette[i] = {quint8(colorRed(c)), quint8(colorGreen(c)),
                                  quint8(colorBlue(c)), PaletteFlagNoCollapse};
        }
        page.PagePalette = mWorkingPalette;
        return;
    }
    case K_FADEIN:
        if (boolValue(value))
            page.PageEffect = 1; // Dissolve
        return;
    default:
        if (const auto *field = findKeyField<Page>(key))
            readField(page, *field, value);
        return;
    }
}

void Reader::readObjectKey(int key, QStringView value)
{
    if (key == K_OBJECTTYPE) {
        if (!mPage || mLevels.empty())
            return;
        ObjectPtr object = mPub.createObject(intValue(value) & 0xFF);
        if (!object) {
            error = IoOutOfMemory;
            stop = true;
            return;
        }
        if (mPaste && mLevels.size() == 1)
            object->Selected = true;
        mObject = object.get();
        mLevels.back().list->push_back(std::move(object));
        return;
    }
    if (!mObject)
        return;
    const auto *field = findKeyField<PageObject>(key);
    if (!field)
        return;
    int n = number(key, value);
    if (key == K_LINESTYLE && dos) {
        // DOS files hold the dash pattern itself.
        switch (n & 0xFFFF) {
        case 34952: case 43690: case 52428: n = 2; break; // dot
        case 61680: case 65280: n = 1; break;             // dash
        case 64250: n = 3; break;                         // dash-dot
        case 64959: n = 4; break;                         // dash-dot-dot
        default: n = 0; break;
        }
    } else if (key == K_FILLMODE) {
        n = n == 1 ? 1 : 0;
    }
    readField(*mObject, *field, value, n);
}

void Reader::readKindKey(int key, QStringView value)
{
    PageObject &o = *mObject;
    std::visit(
        [&](auto &data) {
            using D = std::decay_t<decltype(data)>;
            if constexpr (!std::is_same_v<D, std::monostate>) {
                const KeyField<D> *field = findKeyField<D>(key);
                if (!field)
                    return; // the key is not one of this kind's
                readKindField(o, data, *field, value);
            }
        },
        o.Data);
}

template <typename Data>
void Reader::readKindField(PageObject &o, Data &data, const KeyField<Data> &field, QStringView value)
{
    int n = number(field.key, value);
    switch (field.key) {
    case K_FONT:
        if constexpr (requires { data.Font; data.FontSize; data.FontStyle; }) {
            if (dos) {
                // DOS files name a font file: its name picks the face, at size 9, plain.
                const QString file = bareFileName(value.toString()).toUpper();
                data.Font = file.startsWith(QLatin1String("CURRY"))    ? QStringLiteral("Courier New")
                            : file.startsWith(QLatin1String("THYMES")) ? QStringLiteral("Times New Roman")
                                                                       : QStringLiteral("Arial");
                data.FontSize = 9;
                data.FontStyle = 0;
                return;
            }
        }
        break;
    case K_FONTSTYLE:
        n &= 15;
        break;
    case K_KEY:
        if (dos)
            n &= 0xFF; // a virtual key without modifiers
        break;
    case K_TEXT:
        if constexpr (requires { data.Text; }) {
            QString text = convertOldText(value.toString());
            if (dos)
                text.replace(QLatin1Char('`'), QLatin1Char('^'));
            data.Text = text;
            if constexpr (std::is_same_v<Data, TextData>) {
                if (dos) {
                    o.FillPattern = 1;
                    fitDosText(o);
                }
                if (version == 0)
                    o.LineWidth = 0;
            }
            return;
        }
        break;
    case K_INITSTATE:
        if constexpr (std::is_same_v<Data, ButtonData>) {
            data.InitState = quint8(n);
            if (data.Style == CheckBox || data.Style == RadioButton)
                data.State = data.InitState;
            return;
        }
        break;
    default:
        break;
    }
    readField(data, field, value, n);
}

} // namespace

ReadResult readPublication(Publication &pub, const QString &fileName, const ReadOptions &options)
{
    ReadResult result;
    // Opened here rather than by QFile, whose errors do not tell a missing file from a
    // closed one.
    const int fd = ::open(QFile::encodeName(fileName).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        result.error = ioErrorFromErrno(errno);
        return result;
    }
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        result.error = IoAccessDenied;
        return result;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        result.error = IoAccessDenied;
        return result;
    }
    ReadOptions named = options;
    named.fileName = fileName;
    return readPublication(pub, file, named);
}

ReadResult readPublication(Publication &pub, QIODevice &device, const ReadOptions &options)
{
    ReadResult result;
    LineReader lines(device);
    QByteArrayView raw;
    if (!lines.next(&raw)) {
        result.error = lines.error() ? lines.error() : IoInvalidFormat;
        return result;
    }
    const bool utf8 = raw.startsWith("\xEF\xBB\xBF");
    // A compiled copy starts with its first setting; that line is read like the rest.
    bool pendingFirstLine = options.compiledCopy;
    QString decoded;
    auto decode = [utf8, &decoded](QByteArrayView bytes) -> const QString & {
        if (utf8)
            decoded = QString::fromUtf8(bytes);
        else
            decodeWindows1252Into(bytes, &decoded);
        return decoded;
    };
    const QString header = decodeFileText(raw).toUpper();
    Reader reader(pub, options, false);
    if (options.compiledCopy)
        reader.dos = false;
    else if (header == QString::fromLatin1(CurrentHeader).toUpper())
        reader.dos = false;
    else if (header == QString::fromLatin1(DosHeader).toUpper())
        reader.dos = true;
    else {
        result.error = IoInvalidFormat;
        return result;
    }

    pub.clearPages();
    pub.Loading = true;
    pub.ConvertedFromDos = reader.dos;
    pub.FileName = options.fileName;
    if (!options.fileName.isEmpty())
        reader.pubDir = QFileInfo(options.fileName).absolutePath();
    if (options.progress) {
        options.progress->readStarted(device.isSequential() ? 0 : device.size());
        if (reader.dos)
            options.progress->dosConversionStarted();
    }
    reader.onNewPage = [&]() {
        if (options.progress) {
            options.progress->bytesRead(lines.consumed());
            if (reader.dos)
                options.progress->dosConversionPage();
        }
    };

    if (pendingFirstLine)
        reader.apply(decode(utf8 ? raw.sliced(3) : raw));
    while (!reader.stop && lines.next(&raw))
        reader.apply(decode(raw));
    if (!reader.error && lines.error())
        reader.error = lines.error();

    pub.Loading = false;
    result.error = reader.error;
    if (pub.pageCount() == 0) {
        // A publication always has a page to show.
        if (PagePtr page = pub.createPage(QStringLiteral("New Page")))
            pub.appendPage(std::move(page));
    }
    pub.setCurrentPage(pub.firstPage());
    if (result.ok()) {
        result.missingFiles = std::move(reader.missing);
        pub.Modified = false;
        AppPalette::instance().SetPaletteForColors(pub.Settings.ScreenColors,
                                                   pub.masterPage()->PagePalette);
    }
    return result;
}

bool isExchangeText(const QString &text)
{
    const qsizetype end = text.indexOf(QLatin1Char('\n'));
    QStringView first = end < 0 ? QStringView(text) : QStringView(text).left(end);
    if (first.endsWith(u'\r'))
        first.chop(1);
    return first == QLatin1String(ExchangeMarker);
}

IoError readExchangeText(Publication &pub, Page &page, const QString &text)
{
    if (!isExchangeText(text))
        return IoInvalidFormat;
    ReadOptions options;
    Reader reader(pub, options, true);
    reader.startPaste(page);
    const QList<QStringView> lines = QStringView(text).split(u'\n');
    for (qsizetype i = 1; i < lines.size() && !reader.stop; ++i) {
        QStringView line = lines[i];
        if (line.endsWith(u'\r'))
            line.chop(1);
        reader.apply(line);
    }
    pub.Modified = true;
    return reader.error;
}

QString loadErrorMessage(const QString &fileName, IoError error)
{
    switch (error) {
    case IoFileNotFound:
    case IoPathNotFound:
        return fileName + QStringLiteral("\n\nThis file could not be found. Please make\n"
                                         "sure the path and file name are correct.");
    case IoInvalidFormat:
        return fileName + QStringLiteral("\n\nThis is not a valid Vardeko publication.");
    default:
        // Which file could not be read matters as much as why.
        return fileName + QStringLiteral("\n\n") + ioErrorMessage(error);
    }
}

QString missingFilesReport(const std::vector<MissingFile> &missing)
{
    QString report;
    const Page *current = nullptr;
    bool first = true;
    for (const MissingFile &m : missing) {
        if (first || m.page != current) {
            if (!first)
                report += QLatin1Char('\n');
            report += QStringLiteral("Page: ") + (m.page ? m.page->Title : QString())
                      + QLatin1Char('\n');
            current = m.page;
            first = false;
        }
        report += QStringLiteral("  ") + m.storedName + QLatin1Char('\n');
    }
    return report;
}

} // namespace vardeko
