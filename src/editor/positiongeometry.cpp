// The position dialog's geometry: its frame, handles, hit test and drag limits.
#include "positiongeometry.h"

namespace vardeko {

QPoint handlePoint(const PosFrame &f, int handle)
{
    const int midX = f.left + (f.right - f.left) / 2;
    const int midY = f.top + (f.bottom - f.top) / 2;
    switch (handle) {
    case 1: return {f.left, f.top};
    case 2: return {midX, f.top};
    case 3: return {f.right, f.top};
    case 4: return {f.right, midY};
    case 5: return {f.right, f.bottom};
    case 6: return {midX, f.bottom};
    case 7: return {f.left, f.bottom};
    case 8: return {f.left, midY};
    case 9: return {f.left, f.top};
    case 10: return {f.right, f.bottom};
    default: return {};
    }
}

namespace {

bool inHandle(const PosFrame &f, int handle, const QPoint &p, int half)
{
    const QPoint c = handlePoint(f, handle);
    return QRect(c.x() - half, c.y() - half, 2 * half, 2 * half).contains(p);
}

} // namespace

PosHit hitTestFrame(const PosFrame &frame, const QPoint &point, bool lineMode, bool sizeable)
{
    const int half = handleHalfSize(lineMode);
    PosHit r;
    if (!frame.normalized().adjusted(-half, -half, half, half).contains(point))
        return r;
    if (lineMode) {
        // Only the two end points can be grabbed.
        for (int h : {9, 10}) {
            if (inHandle(frame, h, point, half)) {
                r.hit = true;
                r.handle = h;
                return r;
            }
        }
        return r;
    }
    if (sizeable) {
        // Corners before edge middles.
        for (int h : {1, 3, 5, 7, 2, 4, 6, 8}) {
            if (inHandle(frame, h, point, half)) {
                r.hit = true;
                r.handle = h;
                return r;
            }
        }
    }
    r.hit = true;
    return r;
}

PosFrame dragHandle(PosFrame f, int handle, int dx, int dy)
{
    if (handle == 9) {
        f.left += dx;
        f.top += dy;
        return f;
    }
    if (handle == 10) {
        f.right += dx;
        f.bottom += dy;
        return f;
    }
    if ((handle == 1 || handle == 7 || handle == 8) && f.left + dx < f.right - 5)
        f.left += dx;
    if ((handle == 3 || handle == 4 || handle == 5) && f.right + dx > f.left)
        f.right += dx;
    if ((handle == 1 || handle == 2 || handle == 3) && f.top + dy < f.bottom - 5)
        f.top += dy;
    if ((handle == 5 || handle == 6 || handle == 7) && f.bottom + dy > f.top)
        f.bottom += dy;
    return f;
}

QString writtenCoordinate(const QString &original, bool frameChanged, int chosen)
{
    if (!frameChanged)
        return original;
    return QString::number(chosen == -1 ? -2 : chosen);
}

} // namespace vardeko
