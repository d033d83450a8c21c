// The keys of publication file lines, in the order the reader tries them.
#pragma once

#include <QStringView>

#include <array>

namespace vardeko {

// One value per key of the table below, in the same order.
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

// Upper-cased and without spaces, as lines are compared. The first key a line
// begins with wins, so the order matters.
extern const std::array<const char *, FileKeyCount> FileKeys;

// The key a line begins with once its spaces are removed and it is upper-cased:
// one of FileKey, FileKeyCount + i for the i-th language string, or -1.
int matchFileKey(QStringView line);

} // namespace vardeko
