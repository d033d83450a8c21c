// Geometry of the editing gestures: snapping, constraints, hit tests, resizing, aligning.
#include "editgeometry.h"

#include <QtGlobal>

#include <algorithm>
#include <cstdlib>

namespace vardeko {

QRect spannedRect(const QPoint &a, const QPoint &b)
{
    const int left = std::min(a.x(), b.x());
    const int top = std::min(a.y(), b.y());
    return QRect(left, top, std::abs(a.x() - b.x()), std::abs(a.y() - b.y()));
}

QPoint snapToGrid(const QPoint &page, int gridX, int gridY)
{
    // C++ division truncates toward zero, as the grid rule asks.
    const int x = gridX > 0 ? (page.x() / gridX) * gridX : page.x();
    const int y = gridY > 0 ? (page.y() / gridY) * gridY : page.y();
    return QPoint(x, y);
}

QPoint constrainSquare(const QPoint &start, const QPoint &current)
{
    const int dx = current.x() - start.x();
    const int dy = current.y() - start.y();
    const int e = std::max(std::abs(dx), std::abs(dy));
    return QPoint(start.x() + (dx < 0 ? -e : e), start.y() + (dy < 0 ? -e : e));
}

QPoint constrainLine(const QPoint &start, const QPoint &current)
{
    const int dx = current.x() - start.x();
    const int dy = current.y() - start.y();
    const int e = std::max(std::abs(dx), std::abs(dy));
    // A coordinate follows only when its own distance is more than half the larger one.
    const int x = std::abs(dx) > e / 2 ? start.x() + (dx < 0 ? -e : e) : start.x();
    const int y = std::abs(dy) > e / 2 ? start.y() + (dy < 0 ? -e : e) : start.y();
    return QPoint(x, y);
}

QPoint constrainForTool(int tool, const QPoint &start, const QPoint &current)
{
    return tool == LineKind ? constrainLine(start, current) : constrainSquare(start, current);
}

namespace {

bool near(int a, int b)
{
    return std::abs(a - b) <= HandleReach;
}

bool nearPoint(const QPoint &p, int x, int y)
{
    return near(p.x(), x) && near(p.y(), y);
}

} // namespace

int handleAt(const PageObject &object, const QPoint &p)
{
    if (object.isGroup())
        return NoHandle;
    if (p.x() < object.X1 - HandleReach || p.x() > object.X2 + HandleReach
        || p.y() < object.Y1 - HandleReach || p.y() > object.Y2 + HandleReach)
        return NoHandle;
    if (object.ObjectType == LineKind) {
        if (object.LineOrigin == 1) {
            if (nearPoint(p, object.X2, object.Y1))
                return TopRightHandle;
            if (nearPoint(p, object.X1, object.Y2))
                return BottomLeftHandle;
        } else {
            if (nearPoint(p, object.X1, object.Y1))
                return TopLeftHandle;
            if (nearPoint(p, object.X2, object.Y2))
                return BottomRightHandle;
        }
        return NoHandle;
    }
    const int midX = object.X1 + (object.X2 - object.X1) / 2;
    const int midY = object.Y1 + (object.Y2 - object.Y1) / 2;
    const bool left = near(p.x(), object.X1);
    const bool right = near(p.x(), object.X2);
    const bool middle = near(p.x(), midX);
    if (near(p.y(), object.Y1)) {
        if (left)
            return TopLeftHandle;
        if (right)
            return TopRightHandle;
        if (middle)
            return TopHandle;
    }
    if (near(p.y(), object.Y2)) {
        if (left)
            return BottomLeftHandle;
        if (right)
            return BottomRightHandle;
        if (middle)
            return BottomHandle;
    }
    if (near(p.y(), midY)) {
        if (left)
            return LeftHandle;
        if (right)
            return RightHandle;
    }
    return NoHandle;
}

bool boxContains(const PageObject &object, const QPoint &p)
{
    return p.x() >= object.X1 && p.x() <= object.X2 && p.y() >= object.Y1 && p.y() <= object.Y2;
}

EditHit editHitTest(const ObjectList &stack, const QPoint &point)
{
    EditHit hit;
    for (const ObjectPtr &object : stack) {
        if (!object->Selected || object->isGroup())
            continue;
        if (const int h = handleAt(*object, point)) {
            hit.object = object.get();
            hit.handle = h;
        }
    }
    if (hit.handle != NoHandle)
        return hit;
    for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
        if (boxContains(**it, point)) {
            hit.object = it->get();
            break;
        }
    }
    return hit;
}

QPoint resizeAnchor(const QRect &box, const QPoint &cursor)
{
    const int x = box.x() + box.width() / 2 >= cursor.x() ? rightEdge(box) : box.x();
    const int y = box.y() + box.height() / 2 >= cursor.y() ? bottomEdge(box) : box.y();
    return QPoint(x, y);
}

QRect resizeOutline(const QRect &start, int handle, const QPoint &point)
{
    int left = start.x();
    int top = start.y();
    int right = rightEdge(start);
    int bottom = bottomEdge(start);
    switch (handle) {
    case TopLeftHandle:
    case BottomLeftHandle:
    case LeftHandle:
        left = std::min(point.x(), right);
        break;
    case TopRightHandle:
    case RightHandle:
    case BottomRightHandle:
        right = std::max(point.x(), left);
        break;
    default:
        break;
    }
    switch (handle) {
    case TopLeftHandle:
    case TopHandle:
    case TopRightHandle:
        top = std::min(point.y(), bottom);
        break;
    case BottomRightHandle:
    case BottomHandle:
    case BottomLeftHandle:
        bottom = std::max(point.y(), top);
        break;
    default:
        break;
    }
    return QRect(left, top, right - left, bottom - top);
}

quint8 lineOriginFor(const QPoint &anchor, const QPoint &end)
{
    const bool aboveRight = end.x() > anchor.x() && end.y() < anchor.y();
    const bool belowLeft = end.x() < anchor.x() && end.y() > anchor.y();
    return aboveRight || belowLeft ? 1 : 0;
}

QPoint lineStart(const PageObject &line)
{
    return QPoint(line.X1, line.LineOrigin == 1 ? line.Y2 : line.Y1);
}

QPoint lineEnd(const PageObject &line)
{
    return QPoint(line.X2, line.LineOrigin == 1 ? line.Y1 : line.Y2);
}

QPoint alignOffset(const QRect &box, const QRect &reference, HAlign h, VAlign v)
{
    int dx = 0;
    int dy = 0;
    switch (h) {
    case HAlign::Left:
        dx = reference.x() - box.x();
        break;
    case HAlign::Center:
        dx = reference.x() + reference.width() / 2 - box.width() / 2 - box.x();
        break;
    case HAlign::Right:
        dx = rightEdge(reference) - rightEdge(box);
        break;
    case HAlign::None:
        break;
    }
    switch (v) {
    case VAlign::Top:
        dy = reference.y() - box.y();
        break;
    case VAlign::Middle:
        dy = reference.y() + reference.height() / 2 - box.height() / 2 - box.y();
        break;
    case VAlign::Bottom:
        dy = bottomEdge(reference) - bottomEdge(box);
        break;
    case VAlign::None:
        break;
    }
    return QPoint(dx, dy);
}

QPoint centreOffset(const QRect &box, const QSize &page)
{
    return QPoint(page.width() / 2 - box.width() / 2 - box.x(),
                  page.height() / 2 - box.height() / 2 - box.y());
}

QPoint nudgeOffset(int key)
{
    switch (key) {
    case Qt::Key_Left:
        return QPoint(-1, 0);
    case Qt::Key_Right:
        return QPoint(1, 0);
    case Qt::Key_Up:
        return QPoint(0, -1);
    case Qt::Key_Down:
        return QPoint(0, 1);
    default:
        return QPoint();
    }
}

int roundedCorner(const QRect &box)
{
    return std::min({15, box.width() / 4, box.height() / 4});
}

} // namespace vardeko
