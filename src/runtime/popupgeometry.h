// Where pop-ups go and how their parts are laid out: plain functions, no windows.
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace vardeko {

// A pop-up placed at `topLeft` whose right or bottom edge passes the screen's moves back
// to end there.
QPoint keepOnScreen(QPoint topLeft, QSize size, const QRect &screen);

// The speech balloon for a point: above it with the stem at the bottom pointing down, or
// hanging below it with the stem at the top when there is no room above.
struct BalloonPlacement
{
    QPoint topLeft;
    bool stemAtTop = false;
    int stemOffset = 0; // from the middle of the stem's side to the point
};
inline constexpr int BalloonMargin = 8;
inline constexpr int BalloonStemSize = 16;
QSize balloonClientSize(QSize text);
BalloonPlacement placeBalloon(QPoint point, QSize client, const QRect &screen);

// The sticky note inside a page shown at `page` (screen coordinates); -1 centres.
inline constexpr int StickyMargin = 8;
inline constexpr int StickyShadow = 5;
QSize stickyNoteClientSize(QSize text);
QPoint placeInPage(const QRect &page, int left, int top, QSize client, const QRect &screen);

// The query dialog: icon and message over a row of buttons.
struct QueryLayout
{
    QRect icon;
    QRect message;
    QList<QRect> buttons;
    QSize client;
};
inline constexpr int QueryButtonHeight = 28;
// `captionWidths` are the widths of the button captions' texts.
QueryLayout layoutQuery(QSize icon, QSize message, const QList<int> &captionWidths);

// The mascot dialogs: the mascot beside the speech balloon, the buttons centred below.
struct MascotLayout
{
    QRect mascot;
    QRect balloon;
    QList<QRect> buttons;
    QSize client;
};
MascotLayout layoutMascotDialog(QSize mascot, QSize balloonText, int xOffset, int yOffset, int stemSize,
                                QSize button, int buttonCount);

} // namespace vardeko
