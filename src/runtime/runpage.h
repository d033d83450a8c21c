// The page in a run-mode work area: its size, where it sits, the run's drawing options
// and the find highlight. Shared by the editor's run mode and a compiled program's window.
#pragma once

#include "pagepainter.h"

#include <QPoint>
#include <QRect>
#include <QSize>

class QPainter;

namespace vardeko {

class Publication;
class RunSession;

// The page's size: the publication's screen width and height.
QSize runPageSize(const Publication &pub);

// The page's top left in a work area: centred when the page is shown full screen and
// the area is larger, else at the top left.
QPoint runPageOrigin(const QSize &area, const QSize &page, bool centred);

// Adds what a running session shows to drawing options: the focused object, the field
// being edited and the articles' scroll positions.
void addRunOptions(RenderOptions &options, const RunSession &session);

// Paints the found object of a search inverted; `found` is in the painter's coordinates.
void paintFindHighlight(QPainter &painter, const QRect &found);

} // namespace vardeko
