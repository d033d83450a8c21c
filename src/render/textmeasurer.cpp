// Measures object text with the fonts the page is drawn with.
#include "textmeasurer.h"

#include <QFontMetrics>

namespace vardeko {

QFont objectFont(const QString &face, int size, int style)
{
    QFont font(face);
    font.setPointSize(size > 0 ? size : 1);
    font.setBold(style & FontBold);
    font.setItalic(style & FontItalic);
    font.setUnderline(style & FontUnderline);
    font.setStrikeOut(style & FontStrikeOut);
    return font;
}

QSize QtTextMeasurer::measureText(const QString &text, const QString &face, int size,
                                  int style) const
{
    const QFontMetrics metrics(objectFont(face, size, style));
    const QStringList lines = text.split(QLatin1Char('|'));
    int width = 0;
    for (QString line : lines) {
        // A "^" underlines the next character and takes no room itself.
        line.remove(QLatin1Char('^'));
        width = std::max(width, metrics.horizontalAdvance(line));
    }
    return QSize(width, int(lines.size()) * metrics.height());
}

} // namespace vardeko
