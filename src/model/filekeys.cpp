// The keys of publication file lines: one table that the reader and the writer share.
#include "filekeys.h"

#include <cstring>
#include <vector>

namespace vardeko {

namespace {

using S = KeySection;
using V = KeyValue;

} // namespace

const std::array<FileKeyInfo, FileKeyCount> FileKeyTable = {{
    {"ScreenColors", S::Publication, V::Number},
    {"ScreenWidth", S::Publication, V::Number, 150},
    {"ScreenHeight", S::Publication, V::Number, 150},
    {"NewPage", S::Structure, V::Text, INT_MIN, INT_MAX, true},
    {"ObjectType", S::Object, V::Number},
    {"X1", S::Object, V::Number},
    {"Y1", S::Object, V::Number},
    {"X2", S::Object, V::Number},
    {"Y2", S::Object, V::Number},
    {"LineColor", S::Object, V::Colour},
    {"LineWidth", S::Object, V::Number},
    {"LineStyle", S::Object, V::Number, 0, 4},
    {"LineOrigin", S::Object, V::Number},
    {"FillColor", S::Object, V::Colour},
    {"FillPattern", S::Object, V::Number},
    {"FillMode", S::Object, V::Number},
    {"TextColor", S::Kind, V::Colour},
    {"Pal", S::Publication, V::Text}, // DOS-format palette entries
    {"Font", S::Kind, V::Text},
    {"WordWrap", S::Kind, V::Boolean},
    {"Scale", S::Kind, V::Boolean},
    {"FileName", S::Kind, V::FileName},
    {"WindowFlags", S::Kind, V::Number},
    {"XRange", S::Kind, V::Number},
    {"YRange", S::Kind, V::Number},
    {"Text", S::Kind, V::Text},
    {"Action", S::Kind, V::Script},
    {"PageColor", S::Page, V::Colour},
    {"GROUPBEGIN", S::Structure, V::None},
    {"GROUPEND", S::Structure, V::None},
    {"MasterPage", S::Structure, V::None},
    {"ShowMaster", S::Page, V::Boolean},
    {"PageStyle", S::Page, V::Number},
    {"PageWallPaper", S::Page, V::FileName},
    {"AllowESC", S::Publication, V::Boolean},
    {"AllowPageUpDn", S::Publication, V::Boolean},
    {"Author", S::Publication, V::Text},
    {"VScrollPos", S::Kind, V::Number},
    {"HScrollPos", S::Kind, V::Number},
    {"Align", S::Kind, V::Number},
    {"AllowKeyboard", S::Publication, V::Boolean}, // DOS-format files
    {"AutoReturn", S::Publication, V::Boolean},
    {"ReturnTime", S::Publication, V::Number},
    {"Key", S::Kind, V::Number},
    {"TabWindows", S::Publication, V::Boolean},
    {"TabButtons", S::Publication, V::Boolean},
    {"FadeIn", S::Page, V::Boolean}, // DOS-format files
    {"Language", S::Publication, V::Text},
    {"Style", S::Kind, V::Number, 0, 3},
    {"UpImage", S::Kind, V::FileName},
    {"DownImage", S::Kind, V::FileName},
    {"FontSize", S::Kind, V::Number},
    {"FontStyle", S::Kind, V::Number},
    {"PageAction", S::Page, V::Script},
    {"PagePalette", S::Page, V::Text},
    {"VarName", S::Kind, V::Text},
    {"MaxLen", S::Kind, V::Number},
    {"InitState", S::Kind, V::Number},
    {"PageEffect", S::Page, V::Number, 0, 15},
    {"EffectSpeed", S::Page, V::Number, 0, 10},
    {"Title", S::Publication, V::Text},
    {"VardekoVer", S::Publication, V::Text},
    {"Password", S::Publication, V::Text},
    {"Icon", S::Publication, V::BareName},
    {"ReturnAction", S::Publication, V::Script},
    {"FullScreen", S::Publication, V::Boolean},
    {"StayOnTop", S::Publication, V::Boolean},
    {"AspectRatio", S::Kind, V::Boolean},
    {"OverlayText", S::Kind, V::Boolean},
    {"TransImages", S::Kind, V::Boolean},
    {"Sizeable", S::Publication, V::Boolean},
    {"CompiledName", S::Publication, V::Text},
    {"FontsIncluded", S::Publication, V::Number},
    {"FontsToCompile", S::Publication, V::Text},
    {"ExtractOp", S::Publication, V::Number},
    {"ExtractDir", S::Publication, V::Text},
    {"FilesIncluded", S::Publication, V::Number},
    {"CopyExternalFiles", S::Publication, V::Boolean},
    {"ExternalPath", S::Publication, V::Text},
    {"SETUPBUILDDIR", S::Publication, V::Text},
    {"SETUPMEDIA", S::Publication, V::Number},
    {"SETUPINSTDIR", S::Publication, V::Text},
    {"SETUPPROGGRP", S::Publication, V::Text},
    {"SETUPTITLE", S::Publication, V::Text},
    {"SETUPCOLORS", S::Publication, V::Text},
}};

using P = PublicationSettings;
const std::array<KeyField<PublicationSettings>, 33> SettingsFields = {{
    {K_TITLE, &P::Title},
    {K_AUTHOR, &P::Author},
    {K_LANGUAGE, {}},   // always "US"
    {K_VARDEKOVER, {}}, // the program's file version
    {K_SCREENCOLORS, &P::ScreenColors},
    {K_SCREENWIDTH, &P::ScreenWidth},
    {K_SCREENHEIGHT, &P::ScreenHeight},
    {K_ALLOWESC, &P::AllowESC},
    {K_ALLOWPAGEUPDN, &P::AllowPageUpDn},
    {K_TABWINDOWS, &P::TabWindows},
    {K_TABBUTTONS, &P::TabButtons},
    {K_FULLSCREEN, &P::FullScreen},
    {K_STAYONTOP, &P::StayOnTop},
    {K_SIZEABLE, &P::Sizeable},
    {K_AUTORETURN, &P::AutoReturn},
    {K_RETURNTIME, &P::ReturnTime},
    {K_RETURNACTION, &P::ReturnAction},
    {K_PASSWORD, &P::Password},
    {K_ICON, &P::Icon, NotCompiled},
    {K_COMPILEDNAME, &P::CompiledName, NotCompiled | NotArchived},
    {K_FONTSINCLUDED, &P::FontsIncluded, NotCompiled},
    {K_FONTSTOCOMPILE, &P::FontsToCompile, NotCompiled},
    {K_FILESINCLUDED, &P::FilesIncluded, NotCompiled},
    {K_COPYEXTERNALFILES, &P::CopyExternalFiles, NotCompiled},
    {K_EXTERNALPATH, &P::ExternalPath, NotCompiled | NotArchived},
    {K_SETUPBUILDDIR, &P::SETUPBUILDDIR, NotCompiled | NotArchived},
    {K_SETUPMEDIA, &P::SETUPMEDIA, NotCompiled},
    {K_SETUPINSTDIR, &P::SETUPINSTDIR, NotCompiled},
    {K_SETUPPROGGRP, &P::SETUPPROGGRP, NotCompiled},
    {K_SETUPTITLE, &P::SETUPTITLE, NotCompiled},
    {K_SETUPCOLORS, {}, NotCompiled}, // three numbers joined by "|"
    {K_EXTRACTOP, &P::ExtractOp},
    {K_EXTRACTDIR, &P::ExtractDir},
}};

const std::array<KeyField<Page>, 10> PageFields = {{
    {K_MASTERPAGE, {}}, // the master page's block starts with this line alone
    {K_NEWPAGE, &Page::Title},
    {K_PAGESTYLE, &Page::PageStyle},
    {K_PAGECOLOR, &Page::PageColor},
    {K_PAGEWALLPAPER, &Page::PageWallPaper},
    {K_SHOWMASTER, &Page::ShowMaster},
    {K_PAGEEFFECT, &Page::PageEffect},
    {K_EFFECTSPEED, &Page::EffectSpeed},
    {K_PAGEACTION, &Page::PageAction},
    {K_PAGEPALETTE, {}}, // 256 colours, written only for 256-colour screens
}};

const std::array<KeyField<PageObject>, 12> ObjectFields = {{
    {K_OBJECTTYPE, &PageObject::ObjectType},
    {K_X1, &PageObject::X1},
    {K_Y1, &PageObject::Y1},
    {K_X2, &PageObject::X2},
    {K_Y2, &PageObject::Y2},
    {K_LINECOLOR, &PageObject::LineColor},
    {K_LINEWIDTH, &PageObject::LineWidth},
    {K_LINESTYLE, &PageObject::LineStyle},
    {K_LINEORIGIN, &PageObject::LineOrigin},
    {K_FILLCOLOR, &PageObject::FillColor},
    {K_FILLPATTERN, &PageObject::FillPattern},
    {K_FILLMODE, &PageObject::FillMode},
}};

const std::array<KeyField<ArticleData>, 11> ArticleFields = {{
    {K_FONT, &ArticleData::Font},
    {K_FONTSIZE, &ArticleData::FontSize},
    {K_FONTSTYLE, &ArticleData::FontStyle},
    {K_TEXTCOLOR, &ArticleData::TextColor},
    {K_FILENAME, &ArticleData::FileName},
    {K_WORDWRAP, &ArticleData::WordWrap},
    {K_WINDOWFLAGS, &ArticleData::WindowFlags},
    {K_VSCROLLPOS, &ArticleData::VScrollPos},
    {K_HSCROLLPOS, &ArticleData::HScrollPos},
    // The scroll ranges the compiled copy carries for the player (written by the
    // writer's own rule, from its options).
    {K_XRANGE, &ArticleData::XRange},
    {K_YRANGE, &ArticleData::YRange},
}};

const std::array<KeyField<ButtonData>, 16> ButtonFields = {{
    {K_FONT, &ButtonData::Font},
    {K_FONTSIZE, &ButtonData::FontSize},
    {K_FONTSTYLE, &ButtonData::FontStyle},
    {K_TEXTCOLOR, &ButtonData::TextColor},
    {K_TEXT, &ButtonData::Text},
    {K_ALIGN, &ButtonData::Align},
    {K_KEY, &ButtonData::Key},
    {K_OVERLAYTEXT, &ButtonData::OverlayText},
    {K_TRANSIMAGES, &ButtonData::TransImages},
    // "InitState=" sets the state of check boxes and radio buttons: "Style=" goes first.
    {K_STYLE, &ButtonData::Style},
    {K_UPIMAGE, &ButtonData::UpImage},
    {K_DOWNIMAGE, &ButtonData::DownImage},
    {K_VARNAME, &ButtonData::VarName},
    {K_MAXLEN, &ButtonData::MaxLen},
    {K_INITSTATE, &ButtonData::InitState},
    {K_ACTION, &ButtonData::Action},
}};

const std::array<KeyField<PictureData>, 6> PictureFields = {{
    {K_SCALE, &PictureData::Scale},
    {K_ASPECTRATIO, &PictureData::AspectRatio},
    {K_FILENAME, &PictureData::FileName},
    {K_WINDOWFLAGS, &PictureData::WindowFlags},
    {K_VSCROLLPOS, &PictureData::VScrollPos},
    {K_HSCROLLPOS, &PictureData::HScrollPos},
}};

const std::array<KeyField<TextData>, 6> TextFields = {{
    {K_FONT, &TextData::Font},
    {K_FONTSIZE, &TextData::FontSize},
    {K_FONTSTYLE, &TextData::FontStyle},
    {K_TEXTCOLOR, &TextData::TextColor},
    {K_TEXT, &TextData::Text},
    {K_ALIGN, &TextData::Align},
}};

namespace {

constexpr int MaxKeyLength = 24;

struct KeyIndex
{
    std::array<std::string, FileKeyCount> patterns;
    std::array<std::string, FileKeyCount> written;
    // Keys by first letter, each list in table order, language keys after the others.
    std::vector<std::pair<int, std::string>> byLetter[128];

    KeyIndex()
    {
        for (int i = 0; i < FileKeyCount; ++i) {
            const FileKeyInfo &info = FileKeyTable[size_t(i)];
            std::string pattern = info.name;
            for (char &c : pattern)
                if (c >= 'a' && c <= 'z')
                    c = char(c - 32);
            if (info.value != KeyValue::None && !info.bare)
                pattern += '=';
            patterns[size_t(i)] = pattern;
            written[size_t(i)] = std::string(info.name) + (info.value != KeyValue::None ? "=" : "");
            byLetter[int(pattern[0])].emplace_back(i, pattern);
        }
        for (int i = 0; i < LanguageStringCount; ++i) {
            const std::string key = std::string(LanguageStrings[size_t(i)].key) + '=';
            byLetter[int(key[0])].emplace_back(FileKeyCount + i, key);
        }
    }
};

const KeyIndex &keyIndex()
{
    static const KeyIndex index;
    return index;
}

} // namespace

const std::string &fileKeyPattern(FileKey key)
{
    return keyIndex().patterns[size_t(key)];
}

const std::string &fileKeyWritten(FileKey key)
{
    return keyIndex().written[size_t(key)];
}

int matchFileKey(QStringView line)
{
    // Only the start of the line can match: normalise that much of it.
    char head[MaxKeyLength];
    int n = 0;
    for (qsizetype i = 0; i < line.size() && n < MaxKeyLength; ++i) {
        const char16_t c = line[i].unicode();
        if (c == u' ')
            continue;
        if (c >= 128)
            break; // no key holds such a character
        head[n++] = (c >= 'a' && c <= 'z') ? char(c - 32) : char(c);
    }
    if (n == 0)
        return -1;
    for (const auto &[id, key] : keyIndex().byLetter[int(head[0])]) {
        if (int(key.size()) <= n && std::memcmp(head, key.data(), key.size()) == 0)
            return id;
    }
    return -1;
}

} // namespace vardeko
