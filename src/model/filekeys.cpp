// The keys of publication file lines, in the order the reader tries them.
#include "filekeys.h"

#include "publication.h"

#include <cstring>
#include <vector>

namespace vardeko {

const std::array<const char *, FileKeyCount> FileKeys = {
    "SCREENCOLORS=",
    "SCREENWIDTH=",
    "SCREENHEIGHT=",
    "NEWPAGE",
    "OBJECTTYPE=",
    "X1=",
    "Y1=",
    "X2=",
    "Y2=",
    "LINECOLOR=",
    "LINEWIDTH=",
    "LINESTYLE=",
    "LINEORIGIN=",
    "FILLCOLOR=",
    "FILLPATTERN=",
    "FILLMODE=",
    "TEXTCOLOR=",
    "PAL=",
    "FONT=",
    "WORDWRAP=",
    "SCALE=",
    "FILENAME=",
    "WINDOWFLAGS=",
    "XRANGE=",
    "YRANGE=",
    "TEXT=",
    "ACTION=",
    "PAGECOLOR=",
    "GROUPBEGIN",
    "GROUPEND",
    "MASTERPAGE",
    "SHOWMASTER=",
    "PAGESTYLE=",
    "PAGEWALLPAPER=",
    "ALLOWESC=",
    "ALLOWPAGEUPDN=",
    "AUTHOR=",
    "VSCROLLPOS=",
    "HSCROLLPOS=",
    "ALIGN=",
    "ALLOWKEYBOARD=",
    "AUTORETURN=",
    "RETURNTIME=",
    "KEY=",
    "TABWINDOWS=",
    "TABBUTTONS=",
    "FADEIN=",
    "LANGUAGE=",
    "STYLE=",
    "UPIMAGE=",
    "DOWNIMAGE=",
    "FONTSIZE=",
    "FONTSTYLE=",
    "PAGEACTION=",
    "PAGEPALETTE=",
    "VARNAME=",
    "MAXLEN=",
    "INITSTATE=",
    "PAGEEFFECT=",
    "EFFECTSPEED=",
    "TITLE=",
    "VARDEKOVER=",
    "PASSWORD=",
    "ICON=",
    "RETURNACTION=",
    "FULLSCREEN=",
    "STAYONTOP=",
    "ASPECTRATIO=",
    "OVERLAYTEXT=",
    "TRANSIMAGES=",
    "SIZEABLE=",
    "COMPILEDNAME=",
    "FONTSINCLUDED=",
    "FONTSTOCOMPILE=",
    "EXTRACTOP=",
    "EXTRACTDIR=",
    "FILESINCLUDED=",
    "COPYEXTERNALFILES=",
    "EXTERNALPATH=",
    "SETUPBUILDDIR=",
    "SETUPMEDIA=",
    "SETUPINSTDIR=",
    "SETUPPROGGRP=",
    "SETUPTITLE=",
    "SETUPCOLORS=",
};

namespace {

constexpr int MaxKeyLength = 24;

struct KeyIndex
{
    // Keys by first letter, each list in table order, language keys after the others.
    std::vector<std::pair<int, std::string>> byLetter[128];

    KeyIndex()
    {
        for (int i = 0; i < FileKeyCount; ++i)
            byLetter[int(FileKeys[size_t(i)][0])].emplace_back(i, FileKeys[size_t(i)]);
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
