// Geometry of the editing gestures: snapping, constraints, hit tests, resizing, aligning.
#pragma once

#include "publication.h"

#include <QPoint>
#include <QRect>
#include <QSize>

namespace vardeko {

// Handle numbers run clockwise from the top-left corner.
enum Handle {
    NoHandle = 0,
    TopLeftHandle = 1,
    TopHandle = 2,
    TopRightHandle = 3,
    RightHandle = 4,
    BottomRightHandle = 5,
    BottomHandle = 6,
    BottomLeftHandle = 7,
    LeftHandle = 8,
};

// How far from a handle or an edge the cursor may be and still hit it.
inline constexpr int HandleReach = 4;

// An object's box as left, top, width, height (X2 and Y2 are the right and bottom edges).
inline QRect objectRect(const PageObject &object)
{
    return QRect(object.X1, object.Y1, object.X2 - object.X1, object.Y2 - object.Y1);
}
// The right and bottom edges of such a rectangle (QRect's right() is one less).
inline int rightEdge(const QRect &r) { return r.x() + r.width(); }
inline int bottomEdge(const QRect &r) { return r.y() + r.height(); }

// The rectangle spanned by two points, whatever their order; width and height may be 0.
QRect spannedRect(const QPoint &a, const QPoint &b);

// Grid snapping of a page point; division truncates toward zero. A grid step below 1
// leaves that coordinate alone.
QPoint snapToGrid(const QPoint &page, int gridX, int gridY);

// The Shift constraint: a square for the shape tools (and resizing), horizontal,
// vertical or 45-degree lines for the Line tool.
QPoint constrainSquare(const QPoint &start, const QPoint &current);
QPoint constrainLine(const QPoint &start, const QPoint &current);
QPoint constrainForTool(int tool, const QPoint &start, const QPoint &current);

// The handle of one object under the cursor, NoHandle when none. Groups have none;
// a Line only those of its two end points.
int handleAt(const PageObject &object, const QPoint &point);

// True when the point lies in the object's box, edges included.
bool boxContains(const PageObject &object, const QPoint &point);

struct EditHit
{
    PageObject *object = nullptr; // the object whose handle was hit, or the topmost one
    int handle = NoHandle;
};
// The edit-mode hit test on a page's stack: handles of the selected objects first (the
// last in stacking order wins), then the topmost object containing the point.
EditHit editHitTest(const ObjectList &stack, const QPoint &point);

// The fixed corner of a resize: the opposite edge of the half of the box the cursor is in.
QPoint resizeAnchor(const QRect &box, const QPoint &cursor);

// The outline while a handle is dragged to `point`: the handle's edges follow the point
// but never cross the opposite edge (they stop on it).
QRect resizeOutline(const QRect &start, int handle, const QPoint &point);

// A Line's direction from its anchor to its end: 1 when the end lies above-right or
// below-left of the anchor, else 0.
quint8 lineOriginFor(const QPoint &anchor, const QPoint &end);

// The end points of a Line as drawn from its box and LineOrigin.
QPoint lineStart(const PageObject &line);
QPoint lineEnd(const PageObject &line);

enum class HAlign { None, Left, Center, Right };
enum class VAlign { None, Top, Middle, Bottom };
// The offset that aligns `box` to `reference`; halves truncate.
QPoint alignOffset(const QRect &box, const QRect &reference, HAlign h, VAlign v);

// The offset that centres `box` on a page: page size div 2 minus box size div 2 minus
// the box's corner.
QPoint centreOffset(const QRect &box, const QSize &page);

// The one-pixel offset of an arrow key; null for other keys.
QPoint nudgeOffset(int key);

// The corner of a rounded rectangle's rubber shape: min(15, width div 4, height div 4).
int roundedCorner(const QRect &box);

} // namespace vardeko
