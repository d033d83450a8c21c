// The position dialog's geometry: its frame, handles, hit test and drag limits.
#pragma once

#include <QPoint>
#include <QRect>
#include <QString>

namespace vardeko {

// Left, top, right, bottom in page pixels; in line mode the start (left, top) and the
// end (right, bottom) of a path.
struct PosFrame
{
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const PosFrame &) const = default;
    QRect normalized() const { return QRect(QPoint(left, top), QPoint(right, bottom)).normalized(); }
    void offset(int dx, int dy) { left += dx; right += dx; top += dy; bottom += dy; }
};

// Handles: 1 top-left, 2 top middle, 3 top-right, 4 right middle, 5 bottom-right,
// 6 bottom middle, 7 bottom-left, 8 left middle; in line mode 9 start, 10 end.
QPoint handlePoint(const PosFrame &frame, int handle);
inline int handleHalfSize(bool lineMode) { return lineMode ? 6 : 4; }

struct PosHit
{
    bool hit = false; // the press grabs the frame or a handle
    int handle = 0;   // 0: none
};
PosHit hitTestFrame(const PosFrame &frame, const QPoint &point, bool lineMode, bool sizeable);

// One drag step of a handle by (dx, dy): the left and top edges stay 5 pixels short of
// the right and bottom ones, the right and bottom edges stay beyond the left and top.
PosFrame dragHandle(PosFrame frame, int handle, int dx, int dy);

// What a coordinate field gets back: its old text when the author left the frame as it
// was shown (so "-1", centred, and "[Var]" stay); once the frame was moved or sized,
// the number the author sees, except that -1 is written -2, since -1 means "centred".
QString writtenCoordinate(const QString &original, bool frameChanged, int chosen);

} // namespace vardeko
