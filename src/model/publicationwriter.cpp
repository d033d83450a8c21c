// Writes publication files in every write mode, and the object exchange text.
#include "publicationfile.h"

#include "actioncommands.h"
#include "atomicsave.h"
#include "filekeys.h"
#include "filecommands.h"
#include "filenames.h"
#include "ioerrors.h"
#include "textcodec.h"

#include <QFileDevice>

#include <charconv>
#include <functional>
#include <string>
#include <type_traits>
#include <variant>

namespace vardeko {

namespace {

// Takes the text of a file piece by piece as it is made; false stops the writing.
using ByteSink = std::function<bool(const char *data, size_t size)>;

// Builds the bytes of a file; every line ends in CR LF. Text goes out as
// Windows-1252 until a character does not fit; the caller then writes again in UTF-8.
// With a sink, the bytes go to it in pieces of about a megabyte after whole pages.
class BlockWriter
{
public:
    BlockWriter(WriteMode mode, const WriteOptions &options, bool utf8, ByteSink sink = nullptr)
        : mMode(mode)
        , mOptions(options)
        , mUtf8(utf8)
        , mSink(std::move(sink))
    {
        mOut.reserve(mSink ? SinkPiece + (1 << 16) : 1 << 16);
        if (utf8)
            mOut.append("\xEF\xBB\xBF");
    }

    QByteArray take() { return QByteArray(mOut.data(), qsizetype(mOut.size())); }
    // Hands what was made to the sink: at once when `all`, else once a piece is full.
    void spill(bool all)
    {
        if (!mSink || mOut.empty() || (!all && mOut.size() < SinkPiece))
            return;
        if (!mSinkFailed)
            mSinkFailed = !mSink(mOut.data(), mOut.size());
        mOut.clear();
    }
    // A character had no Windows-1252 byte: the output is incomplete.
    bool needsUtf8() const { return mNeedsUtf8; }

    void line(QLatin1StringView text)
    {
        mOut.append(text.data(), size_t(text.size()));
        mOut.append("\r\n", 2);
    }
    void line(QLatin1StringView key, const QString &value)
    {
        mOut.append(key.data(), size_t(key.size()));
        text(value);
        mOut.append("\r\n", 2);
    }
    void number(QLatin1StringView key, qint64 value)
    {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        mOut.append(key.data(), size_t(key.size()));
        mOut.append(digits, size_t(end - digits));
        mOut.append("\r\n", 2);
    }
    void boolean(QLatin1StringView key, bool value)
    {
        line(key, value ? QLatin1String("Yes") : QLatin1String("No"));
    }
    void line(QLatin1StringView key, QLatin1StringView value)
    {
        mOut.append(key.data(), size_t(key.size()));
        mOut.append(value.data(), size_t(value.size()));
        mOut.append("\r\n", 2);
    }

    bool compiled() const { return mMode == WriteMode::Compiled; }
    bool bareNames() const { return mMode == WriteMode::Compiled || mMode == WriteMode::Archive; }
    QString fileName(const QString &name) const { return bareNames() ? bareFileName(name) : name; }
    QString script(const QString &text) const;

    void settings(const PublicationSettings &s);
    void page(const Page &page, bool master, int screenColors);
    void palette(const PaletteTable &table);
    void objects(const ObjectList &stack);
    // One object with, for a group, its members.
    void object(const PageObject &o);
    // The object's own block, without members.
    void objectLines(const PageObject &o);
    // One line of a record through the key table.
    template <typename Record>
    void field(const Record &record, const KeyField<Record> &field);
    template <typename Data>
    void kindField(const PageObject &o, const Data &data, const KeyField<Data> &f);
    static QLatin1StringView writtenKey(FileKey key)
    {
        const std::string &k = fileKeyWritten(key);
        return QLatin1StringView(k.data(), qsizetype(k.size()));
    }

private:
    void text(const QString &value)
    {
        if (mUtf8) {
            const QByteArray utf8 = value.toUtf8();
            mOut.append(utf8.constData(), size_t(utf8.size()));
            return;
        }
        const size_t start = mOut.size();
        mOut.resize(start + size_t(value.size()));
        char *dst = mOut.data() + start;
        for (QChar c : value) {
            const int b = c.unicode() < 0x80 ? c.unicode() : windows1252Byte(c);
            if (b < 0) {
                mNeedsUtf8 = true;
                *dst++ = '?';
            } else {
                *dst++ = char(b);
            }
        }
    }

    static constexpr size_t SinkPiece = 1 << 20;

    WriteMode mMode;
    const WriteOptions &mOptions;
    bool mUtf8;
    bool mNeedsUtf8 = false;
    ByteSink mSink;
    bool mSinkFailed = false;
    std::string mOut;
};

QString BlockWriter::script(const QString &text) const
{
    if (!bareNames() || text.isEmpty())
        return text;
    QStringList lines = splitScriptLines(text);
    for (QString &line : lines) {
        const RecognizedCommand rec = recognizeCommand(line);
        if (!rec.number)
            continue;
        if (compiled()) {
            // The compiled copy carries codes, without the leading blanks.
            line = QString::fromLatin1(ActionCommands[size_t(rec.number)].Code)
                   + line.mid(rec.wordStart + rec.word.size());
        }
        // Archive and compiled copies name their files without folders; the line is
        // rebuilt even when the name is already bare, as it always has been.
        mapFileParameter(line, rec.number, [](int, const QString &name) { return bareFileName(name); },
                         true);
    }
    return joinScriptLines(lines);
}

template <typename Record>
void BlockWriter::field(const Record &record, const KeyField<Record> &field)
{
    const QLatin1StringView key = writtenKey(field.key);
    std::visit(
        [&](auto member) {
            using M = decltype(member);
            if constexpr (std::is_same_v<M, std::monostate>) {
                // Written by the section's own code.
            } else if constexpr (std::is_same_v<M, bool Record::*>) {
                boolean(key, record.*member);
            } else if constexpr (std::is_same_v<M, QString Record::*>) {
                switch (FileKeyTable[size_t(field.key)].value) {
                case KeyValue::FileName:
                case KeyValue::BareName: line(key, fileName(record.*member)); break;
                case KeyValue::Script: line(key, script(record.*member)); break;
                default: line(key, record.*member); break;
                }
            } else {
                number(key, record.*member);
            }
        },
        field.member);
}

void BlockWriter::settings(const PublicationSettings &s)
{
    const quint8 modeBit = quint8(1 << int(mMode));
    for (const KeyField<PublicationSettings> &f : SettingsFields) {
        if (f.leftOut & modeBit)
            continue;
        switch (f.key) {
        case K_LANGUAGE:
            line(writtenKey(f.key), QLatin1String("US"));
            break;
        case K_VARDEKOVER:
            line(writtenKey(f.key), QString::number(FileVersion, 'f', 1));
            break;
        case K_SETUPCOLORS:
            line(writtenKey(f.key), QString::number(s.SETUPCOLORS[0]) + QLatin1Char('|')
                                        + QString::number(s.SETUPCOLORS[1]) + QLatin1Char('|')
                                        + QString::number(s.SETUPCOLORS[2]));
            break;
        default:
            field(s, f);
            break;
        }
    }
    for (int i = 0; i < LanguageStringCount; ++i) {
        mOut.append(LanguageStrings[size_t(i)].key);
        line(QLatin1String("="), s.Language[size_t(i)]);
    }
}

void BlockWriter::palette(const PaletteTable &table)
{
    QString value;
    value.reserve(256 * 9);
    for (const PaletteEntry &e : table) {
        value += QString::number(rgbColor(e.red, e.green, e.blue));
        value += QLatin1Char(' ');
    }
    line(writtenKey(K_PAGEPALETTE), value);
}

void BlockWriter::page(const Page &p, bool master, int screenColors)
{
    // The master page's block has its own first line and no page settings.
    for (const KeyField<Page> &f : PageFields) {
        switch (f.key) {
        case K_MASTERPAGE:
            if (master)
                line(writtenKey(f.key));
            break;
        case K_PAGEPALETTE:
            if (screenColors == 256)
                palette(p.PagePalette);
            break;
        case K_PAGEWALLPAPER:
            // The copies name a wallpaper only where it is shown.
            if (!master && (!bareNames() || p.PageStyle == 1))
                field(p, f);
            break;
        default:
            if (!master)
                field(p, f);
            break;
        }
    }
    objects(p.Objects);
    spill(false);
}

void BlockWriter::objects(const ObjectList &stack)
{
    // Groups nest to any depth: the open groups are kept in a list, not on the call stack.
    struct Level
    {
        const ObjectList *list;
        size_t next;
        bool closes; // ends with GROUPEND
    };
    std::vector<Level> levels{{&stack, 0, false}};
    while (!levels.empty()) {
        Level &level = levels.back();
        if (level.next == level.list->size()) {
            const bool closes = level.closes;
            levels.pop_back();
            if (closes)
                line(writtenKey(K_GROUPEND));
            continue;
        }
        const PageObject &o = *(*level.list)[level.next++];
        if (!o.isGroup()) {
            objectLines(o);
        } else if (compiled()) {
            // The compiled copy has no groups: members stand in their place.
            levels.push_back({&o.Members, 0, false});
        } else {
            objectLines(o);
            line(writtenKey(K_GROUPBEGIN));
            levels.push_back({&o.Members, 0, true});
        }
    }
}

void BlockWriter::object(const PageObject &o)
{
    if (!o.isGroup()) {
        objectLines(o);
        return;
    }
    if (!compiled()) {
        objectLines(o);
        line(writtenKey(K_GROUPBEGIN));
    }
    objects(o.Members);
    if (!compiled())
        line(writtenKey(K_GROUPEND));
}

void BlockWriter::objectLines(const PageObject &o)
{
    for (const KeyField<PageObject> &f : ObjectFields)
        field(o, f);
    std::visit(
        [&](const auto &data) {
            using D = std::decay_t<decltype(data)>;
            if constexpr (!std::is_same_v<D, std::monostate>) {
                for (const KeyField<D> &f : keyFields<D>())
                    kindField(o, data, f);
            }
        },
        o.Data);
}

template <typename Data>
void BlockWriter::kindField(const PageObject &o, const Data &data, const KeyField<Data> &f)
{
    switch (f.key) {
    case K_UPIMAGE:
    case K_DOWNIMAGE:
        // The copies name button pictures only where they are shown.
        if constexpr (std::is_same_v<Data, ButtonData>)
            if (bareNames() && data.Style != PushButton)
                return;
        break;
    case K_XRANGE:
    case K_YRANGE:
        // Only the compiled copy carries the scroll ranges, each when its bar exists.
        if (compiled() && mOptions.scrollRange) {
            const auto range = mOptions.scrollRange(o, f.key == K_XRANGE ? Qt::Horizontal : Qt::Vertical);
            if (range)
                number(writtenKey(f.key), *range);
        }
        return;
    default:
        break;
    }
    field(data, f);
}

} // namespace

namespace {

// Makes the whole text of a file in `w`.
void writeFileText(BlockWriter &w, const Publication &pub, WriteMode mode, const WriteOptions &options)
{
    if (mode == WriteMode::Cut || mode == WriteMode::Copy) {
        w.line(QLatin1String(ExchangeMarker));
        if (const Page *page = pub.currentPage())
            for (const ObjectPtr &o : page->Objects)
                if (o->Selected)
                    w.object(*o);
        w.spill(true);
        return;
    }
    if (mode != WriteMode::Compiled) {
        w.line(QLatin1String(CurrentHeader));
        w.line(QLatin1String("; Publication file: one setting per line, pages and objects in order"));
    }
    w.settings(pub.Settings);
    const int colors = pub.Settings.ScreenColors;
    w.page(*pub.masterPage(), true, colors);
    const int total = pub.pageCount();
    for (int i = 0; i < total; ++i) {
        w.page(*pub.page(i), false, colors);
        if (options.progress)
            options.progress->pageWritten(i + 1, total);
    }
    w.spill(true);
}

} // namespace

QByteArray publicationBytes(const Publication &pub, WriteMode mode, const WriteOptions &options)
{
    BlockWriter w(mode, options, false);
    writeFileText(w, pub, mode, options);
    if (!w.needsUtf8())
        return w.take();
    WriteOptions quiet = options;
    quiet.progress = nullptr; // the pages were reported once already
    BlockWriter utf8(mode, quiet, true);
    writeFileText(utf8, pub, mode, quiet);
    return utf8.take();
}

QString publicationText(const Publication &pub, WriteMode mode, const WriteOptions &options)
{
    return decodeFileText(publicationBytes(pub, mode, options));
}

QString exchangeText(const Page &page)
{
    static const WriteOptions options;
    BlockWriter w(WriteMode::Save, options, true);
    w.line(QLatin1String(ExchangeMarker));
    for (const ObjectPtr &o : page.Objects)
        if (o->Selected)
            w.object(*o);
    return QString::fromUtf8(w.take().sliced(3));
}

namespace {

// Streams the text to `device`. A character that has no Windows-1252 byte shows only
// when it is reached: the text is then written again from the start in UTF-8, which is
// always longer (a byte-order mark and wider characters), so the first try leaves
// nothing behind. Returns false when a write fails.
bool writeToDevice(const Publication &pub, QIODevice &device, WriteMode mode,
                   const WriteOptions &options)
{
    if (device.isSequential()) {
        const QByteArray bytes = publicationBytes(pub, mode, options);
        return device.write(bytes) == bytes.size();
    }
    const qint64 start = device.pos();
    bool failed = false;
    const ByteSink sink = [&](const char *data, size_t size) {
        failed = device.write(data, qint64(size)) != qint64(size);
        return !failed;
    };
    bool utf8 = false;
    {
        BlockWriter w(mode, options, false, sink);
        writeFileText(w, pub, mode, options);
        utf8 = w.needsUtf8();
    }
    if (failed || !utf8)
        return !failed;
    if (!device.seek(start))
        return false;
    WriteOptions quiet = options;
    quiet.progress = nullptr; // the pages were reported once already
    {
        BlockWriter w(mode, quiet, true, sink);
        writeFileText(w, pub, mode, quiet);
    }
    if (auto *file = qobject_cast<QFileDevice *>(&device); file && !failed)
        failed = !file->resize(device.pos());
    return !failed;
}

} // namespace

IoError writePublication(const Publication &pub, QIODevice &device, WriteMode mode,
                     const WriteOptions &options)
{
    return writeToDevice(pub, device, mode, options) ? IoOk : IoWriteFault;
}

IoError writePublication(Publication &pub, const QString &fileName, WriteMode mode,
                     const WriteOptions &options)
{
    // A failed write leaves the old file as it was.
    AtomicSave save(fileName);
    if (const IoError error = save.open())
        return error;
    if (!writeToDevice(pub, save.device(), mode, options))
        return save.writeError() ? save.writeError() : IoWriteFault;
    save.setBackupWarning(options.warn);
    if (const IoError error = save.commit(mode == WriteMode::Save && options.createBackup))
        return error;
    if (mode == WriteMode::Save)
        pub.Modified = false;
    if (mode == WriteMode::Save || mode == WriteMode::Compiled || mode == WriteMode::Archive)
        pub.ConvertedFromDos = false;
    return IoOk;
}

} // namespace vardeko
