// The keys of publication file lines: one table that the reader and the writer share.
#pragma once

#include "publication.h"

#include <QStringView>

#include <array>
#include <climits>
#include <span>
#include <string>
#include <variant>

namespace vardeko {

// One value per key, in the order the reader tries them: the first key a line begins
// with wins, so the order matters.
enum FileKey {
    K_SCREENCOLORS,
    K_SCREENWIDTH,
    K_SCREENHEIGHT,
    K_NEWPAGE,
    K_OBJECTTYPE,
    K_X1,
    K_Y1,
    K_X2,
    K_Y2,
    K_LINECOLOR,
    K_LINEWIDTH,
    K_LINESTYLE,
    K_LINEORIGIN,
    K_FILLCOLOR,
    K_FILLPATTERN,
    K_FILLMODE,
    K_TEXTCOLOR,
    K_PAL,
    K_FONT,
    K_WORDWRAP,
    K_SCALE,
    K_FILENAME,
    K_WINDOWFLAGS,
    K_XRANGE,
    K_YRANGE,
    K_TEXT,
    K_ACTION,
    K_PAGECOLOR,
    K_GROUPBEGIN,
    K_GROUPEND,
    K_MASTERPAGE,
    K_SHOWMASTER,
    K_PAGESTYLE,
    K_PAGEWALLPAPER,
    K_ALLOWESC,
    K_ALLOWPAGEUPDN,
    K_AUTHOR,
    K_VSCROLLPOS,
    K_HSCROLLPOS,
    K_ALIGN,
    K_ALLOWKEYBOARD,
    K_AUTORETURN,
    K_RETURNTIME,
    K_KEY,
    K_TABWINDOWS,
    K_TABBUTTONS,
    K_FADEIN,
    K_LANGUAGE,
    K_STYLE,
    K_UPIMAGE,
    K_DOWNIMAGE,
    K_FONTSIZE,
    K_FONTSTYLE,
    K_PAGEACTION,
    K_PAGEPALETTE,
    K_VARNAME,
    K_MAXLEN,
    K_INITSTATE,
    K_PAGEEFFECT,
    K_EFFECTSPEED,
    K_TITLE,
    K_VARDEKOVER,
    K_PASSWORD,
    K_ICON,
    K_RETURNACTION,
    K_FULLSCREEN,
    K_STAYONTOP,
    K_ASPECTRATIO,
    K_OVERLAYTEXT,
    K_TRANSIMAGES,
    K_SIZEABLE,
    K_COMPILEDNAME,
    K_FONTSINCLUDED,
    K_FONTSTOCOMPILE,
    K_EXTRACTOP,
    K_EXTRACTDIR,
    K_FILESINCLUDED,
    K_COPYEXTERNALFILES,
    K_EXTERNALPATH,
    K_SETUPBUILDDIR,
    K_SETUPMEDIA,
    K_SETUPINSTDIR,
    K_SETUPPROGGRP,
    K_SETUPTITLE,
    K_SETUPCOLORS,
    FileKeyCount
};

// Where a key's line belongs, which decides what it acts on when read.
enum class KeySection : quint8 {
    Publication, // a setting, wherever it appears
    Structure,   // starts a page or the master page, opens or closes a group
    Page,        // the current page
    Object,      // the current object, whatever its kind
    Kind,        // the current object, when its kind has the key
};

// How a key's value is written and read.
enum class KeyValue : quint8 {
    None,     // the key alone on its line
    Number,   // decimal, signed 32-bit; an empty value reads as 0
    Colour,   // a number; a palette index in DOS-format files
    Boolean,  // "Yes" or "No"
    Text,     // everything after the first "=", kept as it is
    FileName, // a file the publication uses: found again when read, bare in the copies
    BareName, // a file name made bare in the copies but read as stored
    Script,   // commands joined by "|"; file commands rewritten when read
};

struct FileKeyInfo
{
    const char *name; // as written, without the "="
    KeySection section;
    KeyValue value;
    int min = INT_MIN; // numbers outside min..max are skipped when read
    int max = INT_MAX;
    bool bare = false; // matched without its "=" ("NewPage" in old files)
};

// Every key, in FileKey order.
extern const std::array<FileKeyInfo, FileKeyCount> FileKeyTable;

// What a line must begin with, once its spaces are removed and it is upper-cased.
const std::string &fileKeyPattern(FileKey key);
// The key as the writer puts it at the start of a line: with its "=" when it has a value.
const std::string &fileKeyWritten(FileKey key);

// The key a line begins with once its spaces are removed and it is upper-cased:
// one of FileKey, FileKeyCount + i for the i-th language string, or -1.
int matchFileKey(QStringView line);

// --- the record members behind the keys

// A member of a record that a key stores; none for a line the writer makes by its own
// code (a palette, a constant, a value of three fields).
template <typename Record>
using KeyMember = std::variant<std::monostate, int Record::*, quint8 Record::*, quint16 Record::*,
                               bool Record::*, QString Record::*>;

// The copies that leave a line out, as bits of 1 << WriteMode.
inline constexpr quint8 NotCompiled = 1 << 1;
inline constexpr quint8 NotArchived = 1 << 2;

template <typename Record>
struct KeyField
{
    FileKey key;
    KeyMember<Record> member;
    quint8 leftOut = 0; // NotCompiled, NotArchived
};

// The lines of each section in the order they are written.
extern const std::array<KeyField<PublicationSettings>, 33> SettingsFields;
extern const std::array<KeyField<Page>, 10> PageFields; // NewPage ... PagePalette
extern const std::array<KeyField<PageObject>, 12> ObjectFields;
extern const std::array<KeyField<ArticleData>, 11> ArticleFields;
extern const std::array<KeyField<ButtonData>, 16> ButtonFields;
extern const std::array<KeyField<PictureData>, 6> PictureFields;
extern const std::array<KeyField<TextData>, 6> TextFields;

template <typename Record>
std::span<const KeyField<Record>> keyFields();
template <> inline std::span<const KeyField<PublicationSettings>> keyFields() { return SettingsFields; }
template <> inline std::span<const KeyField<Page>> keyFields() { return PageFields; }
template <> inline std::span<const KeyField<PageObject>> keyFields() { return ObjectFields; }
template <> inline std::span<const KeyField<ArticleData>> keyFields() { return ArticleFields; }
template <> inline std::span<const KeyField<ButtonData>> keyFields() { return ButtonFields; }
template <> inline std::span<const KeyField<PictureData>> keyFields() { return PictureFields; }
template <> inline std::span<const KeyField<TextData>> keyFields() { return TextFields; }

// The field of a record's section for a key, or null when the section has no such line.
template <typename Record>
const KeyField<Record> *findKeyField(int key)
{
    static const std::array<qint8, FileKeyCount> index = [] {
        std::array<qint8, FileKeyCount> at;
        at.fill(-1);
        const auto fields = keyFields<Record>();
        for (size_t i = 0; i < fields.size(); ++i)
            at[size_t(fields[i].key)] = qint8(i);
        return at;
    }();
    if (key < 0 || key >= FileKeyCount || index[size_t(key)] < 0)
        return nullptr;
    return &keyFields<Record>()[size_t(index[size_t(key)])];
}

} // namespace vardeko
