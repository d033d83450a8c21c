// The drawing pass: paints formatted article lines and collects their hyperlinks.
#pragma once

#include "articlecanvas.h"

#include <QColor>
#include <QRect>
#include <QRegion>
#include <QString>

#include <vector>

class QPainter;

namespace vardeko {

// One hyperlink drawn: the union of its visible runs (relative to the text
// rectangle's left edge and the top of the first line drawn) and its target.
struct HyperLink_Rec
{
    QRegion region;
    QString target;
};

// Newest first: the last link in the text comes first, as hit testing expects.
using HyperLinkList = std::vector<HyperLink_Rec>;

struct ArticleDrawState
{
    int recordLength = 0; // 0 until the first draw reads it
    int topLine = 0;
    int horizontalOffset = 0; // pixels
};

// Draws the formatted lines from `topLine` that fit `rect` (one more, cut by the
// clip), with the canvas's font: one seek and a screenful of reads. Text is only
// drawn on lines that meet the painter's clip. With `buildLinks` the list is
// rebuilt for the lines drawn. A file that cannot be opened draws nothing.
void DrawArticle(QPainter &painter, ArticleCanvas &canvas, const QString &formattedFile,
                 const QRect &rect, bool buildLinks, int *recordLength, HyperLinkList *links,
                 const QColor &reverseColor, const QColor &textColor, int topLine,
                 int horizontalOffset);

// The first record from the head whose region holds the point, or null.
const HyperLink_Rec *FindHyperLink(const HyperLinkList &links, int x, int y);
void FreeHyperLinks(HyperLinkList *links);

} // namespace vardeko
