// The text commands: StrLen, SubStr, StrIns, StrDel, SearchStr and Random.
#pragma once

#include <QString>

namespace vardeko {

QString strLen(const QString &text);
QString subStr(const QString &source, int position, int count);
QString strIns(const QString &insert, const QString &destination, int position);
QString strDel(const QString &source, int position, int count);
QString searchStr(const QString &find, const QString &in);
// A random integer 0..bound-1 as text ("0" for a bound of 0 or below).
QString randomValue(int bound);
// Play mode of a media parameter: 2 loop, 1 wait, 0 normal.
int playMode(const QString &param);
// Style bits of SetFont: 1 bold, 2 italic, 4 underline, 8 strike-out.
int fontStyle(const QString &param);

} // namespace vardeko
