// The figure line every benchmark prints, one form for all so that a script can collect them:
//   <figure>: <ours> <unit>; anchor <anchor name>: <anchor> <unit>; ratio <ours/anchor>
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdio>

namespace vardeko::bench {

// Flushed at once, so a figure is not held back behind a long next measurement. An anchor
// that measured nothing gives no ratio rather than an infinite or a zero one.
inline void reportFigure(const char *figure, double ours, const char *unit, const char *anchorName, double anchor,
                         int decimals = 3)
{
    std::printf("%s: %.*f %s; anchor %s: %.*f %s; ratio ", figure, decimals, ours, unit, anchorName, decimals,
                anchor, unit);
    if (anchor > 0)
        std::printf("%.3f\n", ours / anchor);
    else
        std::printf("none\n");
    std::fflush(stdout);
}

inline void reportFigure(const QString &figure, double ours, const QString &unit, const QString &anchorName,
                         double anchor, int decimals = 3)
{
    reportFigure(figure.toUtf8().constData(), ours, unit.toUtf8().constData(), anchorName.toUtf8().constData(),
                 anchor, decimals);
}

} // namespace vardeko::bench
