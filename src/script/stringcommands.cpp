// The text commands: StrLen, SubStr, StrIns, StrDel, SearchStr and Random.
#include "stringcommands.h"

#include <QDateTime>
#include <QRandomGenerator>

#include <algorithm>

namespace vardeko {

QString strLen(const QString &text)
{
    return QString::number(text.size());
}

QString subStr(const QString &source, int position, int count)
{
    const qsizetype pos = qMax(position, 1);
    if (count < 0 || pos > source.size())
        return QString();
    return source.mid(pos - 1, count);
}

QString strIns(const QString &insert, const QString &destination, int position)
{
    const qsizetype pos = std::clamp<qsizetype>(position, 1, destination.size() + 1);
    QString s = destination;
    s.insert(pos - 1, insert);
    return s;
}

QString strDel(const QString &source, int position, int count)
{
    if (position < 1 || position > source.size() || count <= 0)
        return source;
    QString s = source;
    s.remove(position - 1, count);
    return s;
}

QString searchStr(const QString &find, const QString &in)
{
    if (find.isEmpty())
        return QStringLiteral("0");
    return QString::number(in.indexOf(find, 0, Qt::CaseInsensitive) + 1);
}

QString randomValue(int bound)
{
    // Re-seeded from the clock on every call. A negative bound counts as 0.
    if (bound <= 0)
        return QStringLiteral("0");
    QRandomGenerator gen{quint32(QDateTime::currentMSecsSinceEpoch())};
    return QString::number(gen.bounded(bound));
}

int playMode(const QString &param)
{
    const QString u = param.toUpper();
    if (u.contains(u"LOOP"))
        return 2;
    if (u.contains(u"WAIT"))
        return 1;
    return 0;
}

int fontStyle(const QString &param)
{
    const QString u = param.toUpper();
    int style = 0;
    if (u.contains(u"BOLD"))
        style |= 1;
    if (u.contains(u"ITALIC"))
        style |= 2;
    if (u.contains(u"UNDERLINE"))
        style |= 4;
    if (u.contains(u"STRIKEOUT"))
        style |= 8;
    return style;
}

} // namespace vardeko
