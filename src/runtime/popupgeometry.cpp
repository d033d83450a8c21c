// Where pop-ups go and how their parts are laid out: plain functions, no windows.
#include "popupgeometry.h"

#include <algorithm>

namespace vardeko {

QPoint keepOnScreen(QPoint topLeft, QSize size, const QRect &screen)
{
    QPoint p = topLeft;
    if (p.x() + size.width() > screen.right() + 1)
        p.setX(screen.right() + 1 - size.width());
    if (p.y() + size.height() > screen.bottom() + 1)
        p.setY(screen.bottom() + 1 - size.height());
    return p;
}

QSize balloonClientSize(QSize text)
{
    return {text.width() + 2 * BalloonMargin, text.height() + 2 * BalloonMargin + BalloonStemSize};
}

BalloonPlacement placeBalloon(QPoint point, QSize client, const QRect &screen)
{
    BalloonPlacement b;
    int top = point.y() - client.height();
    if (top < screen.top()) {
        b.stemAtTop = true;
        top = point.y();
        if (top + client.height() > screen.bottom() + 1)
            top = screen.bottom() + 1 - client.height();
    }
    int left = point.x() - client.width() / 2;
    left = std::max(screen.left(), std::min(left, screen.right() + 1 - client.width()));
    b.topLeft = QPoint(left, top);
    b.stemOffset = point.x() - left - client.width() / 2;
    return b;
}

QSize stickyNoteClientSize(QSize text)
{
    return {text.width() + 2 * StickyMargin, text.height() + 2 * StickyMargin + StickyShadow};
}

QPoint placeInPage(const QRect &page, int left, int top, QSize client, const QRect &screen)
{
    if (left == -1)
        left = (page.width() - client.width()) / 2;
    if (top == -1)
        top = (page.height() - client.height()) / 2;
    const QPoint p = page.topLeft() + QPoint(left, top);
    return {std::max(screen.left(), p.x()), std::max(screen.top(), p.y())};
}

QueryLayout layoutQuery(QSize icon, QSize message, const QList<int> &captionWidths)
{
    const int margin = 12, gap = 12;
    QueryLayout q;
    // Icon and message are centred against each other.
    const int rowHeight = std::max(icon.height(), message.height());
    q.icon = QRect(QPoint(margin, margin + (rowHeight - icon.height()) / 2), icon);
    q.message = QRect(QPoint(margin + icon.width() + gap, margin + (rowHeight - message.height()) / 2), message);
    const int textRight = q.message.right() + 1;
    int buttonWidth = 45;
    for (int w : captionWidths)
        buttonWidth = std::max(buttonWidth, w + 16);
    const int count = int(captionWidths.size());
    const int rowWidth = count ? count * buttonWidth + (count - 1) * 8 : 0;
    const int buttonTop = margin + rowHeight + 24;
    const int width = std::max(margin + rowWidth + 12, textRight + 12);
    // The narrower of the two rows is centred.
    int buttonLeft = margin;
    if (count && margin + rowWidth < textRight)
        buttonLeft = (width - rowWidth) / 2;
    else if (count) {
        const int shift = (width - (textRight + margin)) / 2;
        q.icon.translate(shift, 0);
        q.message.translate(shift, 0);
    }
    for (int i = 0; i < count; ++i)
        q.buttons.append(QRect(buttonLeft + i * (buttonWidth + 8), buttonTop, buttonWidth, QueryButtonHeight));
    const int height = count ? buttonTop + QueryButtonHeight + margin : margin + rowHeight + margin;
    q.client = QSize(width, height);
    return q;
}

MascotLayout layoutMascotDialog(QSize mascot, QSize balloonText, int xOffset, int yOffset, int stemSize,
                                QSize button, int buttonCount)
{
    const int margin = 16;
    MascotLayout m;
    QSize balloon(balloonText.width() + 2 * xOffset + stemSize, balloonText.height() + 2 * yOffset);
    int mascotTop = margin;
    if (balloon.height() < mascot.height())
        balloon.setHeight(mascot.height());
    else
        mascotTop = margin + (balloon.height() - mascot.height()) / 2;
    m.mascot = QRect(QPoint(margin, mascotTop), mascot);
    m.balloon = QRect(QPoint(m.mascot.right() + 1 + 8, margin), balloon);
    const int rowWidth = buttonCount * button.width() + std::max(0, buttonCount - 1) * 8;
    const int width = std::max(rowWidth + 32, mascot.width() + balloon.width() + 40);
    const int lower = std::max(m.mascot.bottom(), m.balloon.bottom()) + 1;
    const int height = lower + button.height() + 32;
    const int buttonTop = height - 16 - button.height();
    const int left = (width - rowWidth) / 2;
    for (int i = 0; i < buttonCount; ++i)
        m.buttons.append(QRect(QPoint(left + i * (button.width() + 8), buttonTop), button));
    m.client = QSize(width, height);
    return m;
}

} // namespace vardeko
