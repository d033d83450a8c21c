// The page in a run-mode work area: its size, where it sits, the run's drawing options
// and the find highlight. Shared by the editor's run mode and a compiled program's window.
#include "runpage.h"

#include "publication.h"
#include "runsession.h"

#include <QPainter>

namespace vardeko {

QSize runPageSize(const Publication &pub)
{
    return QSize(pub.Settings.ScreenWidth, pub.Settings.ScreenHeight);
}

QPoint runPageOrigin(const QSize &area, const QSize &page, bool centred)
{
    if (!centred)
        return QPoint();
    const QSize spare = area - page;
    return QPoint(qMax(0, spare.width() / 2), qMax(0, spare.height() / 2));
}

void addRunOptions(RenderOptions &options, const RunSession &session)
{
    options.focused = session.focusedObject();
    options.editingFocusedField = session.editedField() != nullptr;
    const RunSession *run = &session;
    options.scrollPosition = [run](const PageObject &o) { return run->scrollPosition(o); };
}

void paintFindHighlight(QPainter &painter, const QRect &found)
{
    if (found.isEmpty())
        return;
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.fillRect(found, Qt::white);
    painter.restore();
}

} // namespace vardeko
