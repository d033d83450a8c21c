// Hit tests of the reader's clicks.
#pragma once

#include "publication.h"

#include <QPoint>

namespace vardeko {

// The topmost object of the page containing the point, else (when the page shows the
// master page) of the master page; a group answers with its topmost member containing
// the point, or nothing.
PageObject *runHitTest(const Page &page, const Page *master, const QPoint &point);

} // namespace vardeko
