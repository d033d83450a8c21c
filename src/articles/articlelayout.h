// The layout pass: caret-code article text into a file of equal-length display lines.
#pragma once

#include "articlecanvas.h"

#include <QString>

namespace vardeko {

struct FormatResult
{
    bool ok = false;
    int lineCount = 0;
    int widest = 0; // pixels
    int error = 0;  // I/O error code when not ok (10001: no temporary file)
};

// Largest width the passes keep; sums of "^S"/"^T" steps are clamped to it.
inline constexpr int MaxArticleWidth = 0x3FFFFFFF;
// A "^C" width is written with at most five digits, as the drawing pass reads it.
inline constexpr int MaxCentreWidth = 99999;

// Lays `source` out for `width` pixels of text (the text rectangle less 12) with the
// canvas's font, one source line per display line when `wrap` is off, and writes the
// display lines, padded to one record length, to *formattedFile (a new temporary name
// in `tempDir` when empty; otherwise that file is overwritten). On failure the
// formatted file is deleted and its name emptied.
FormatResult FormatArticle(ArticleCanvas &canvas, const QString &source, int width, bool wrap,
                           QString *formattedFile, const QString &tempDir);

// The codes at the start of a display line for a layout state, in their fixed order.
QByteArray articleLinePrefix(int style, bool centre, bool reverse, bool inLink);

} // namespace vardeko
