// The drawing controls of the pop-ups: the speech balloon and the sticky note.
#include "popupshapes.h"

#include <QBitmap>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>

#include <algorithm>

namespace vardeko {

void paintPopupText(QPainter &painter, const QRect &area, const QString &text, Qt::Alignment alignment)
{
    const int flags = Qt::TextWordWrap | Qt::TextExpandTabs | int(alignment & Qt::AlignHorizontal_Mask);
    QRect measured = painter.fontMetrics().boundingRect(area, flags, text);
    QRect target = area;
    if (measured.height() < area.height())
        target = QRect(area.left(), area.top() + (area.height() - measured.height()) / 2, area.width(),
                       measured.height());
    painter.drawText(target, flags, text);
}

TVardekoBalloon::TVardekoBalloon(QWidget *parent) : QWidget(parent)
{
    resize(65, 17);
}

QRect TVardekoBalloon::bodyRect() const
{
    QRect r = rect();
    switch (StemPos) {
    case StemLeft: r.setLeft(r.left() + StemSize); break;
    case StemTop: r.setTop(r.top() + StemSize); break;
    case StemRight: r.setRight(r.right() - StemSize); break;
    case StemBottom: r.setBottom(r.bottom() - StemSize); break;
    }
    return r;
}

void TVardekoBalloon::stemPoints(QPoint *tip, QPoint *base1, QPoint *base2) const
{
    const QRect r = rect();
    const QRect body = bodyRect();
    // The base stays clear of the body's rounded corners; the tip points where asked.
    const int corner = CornerSize / 2;
    if (StemPos == StemTop || StemPos == StemBottom) {
        const int x = r.left() + r.width() / 2 + StemOffset;
        const int baseX = std::clamp(x, body.left() + corner + StemWidth, body.right() - corner - StemWidth);
        const int y = StemPos == StemTop ? r.top() : r.bottom();
        const int baseY = StemPos == StemTop ? r.top() + StemSize : r.bottom() - StemSize - 1;
        *tip = QPoint(std::clamp(x, r.left(), r.right()), y);
        *base1 = QPoint(baseX - StemWidth, baseY);
        *base2 = QPoint(baseX + StemWidth, baseY);
    } else {
        const int y = r.top() + r.height() / 2 + StemOffset;
        const int baseY = std::clamp(y, body.top() + corner + StemWidth, body.bottom() - corner - StemWidth);
        const int x = StemPos == StemLeft ? r.left() : r.right();
        const int baseX = StemPos == StemLeft ? r.left() + StemSize : r.right() - StemSize - 1;
        *tip = QPoint(x, std::clamp(y, r.top(), r.bottom()));
        *base1 = QPoint(baseX, baseY - StemWidth);
        *base2 = QPoint(baseX, baseY + StemWidth);
    }
}

namespace {

QPainterPath balloonPath(const TVardekoBalloon &balloon)
{
    QPoint tip, a, b;
    balloon.stemPoints(&tip, &a, &b);
    QPainterPath shape;
    const qreal radius = balloon.CornerSize / 2.0;
    shape.addRoundedRect(QRectF(balloon.bodyRect()).adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    QPainterPath stem;
    stem.moveTo(QPointF(a) + QPointF(0.5, 0.5));
    stem.lineTo(QPointF(tip) + QPointF(0.5, 0.5));
    stem.lineTo(QPointF(b) + QPointF(0.5, 0.5));
    stem.closeSubpath();
    // One outline around body and stem: no line between the stem's base points.
    return shape.united(stem).simplified();
}

} // namespace

QRegion TVardekoBalloon::shapeRegion() const
{
    QBitmap mask(size());
    mask.fill(Qt::color0);
    QPainter painter(&mask);
    painter.setPen(QPen(Qt::color1, 1));
    painter.setBrush(Qt::color1);
    painter.drawPath(balloonPath(*this));
    painter.end();
    return QRegion(mask);
}

QRegion TVardekoStickyNote::shapeRegion() const
{
    const QRect r = rect();
    return QRegion(r.left(), r.top(), r.width(), r.height() - ShadowSize)
           + QRegion(r.left() + 4, r.bottom() + 1 - ShadowSize, r.width() - 8, ShadowSize);
}

void TVardekoBalloon::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRect body = bodyRect();
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(BackgroundColor);
    painter.drawPath(balloonPath(*this));
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.setFont(font());
    paintPopupText(painter, body.adjusted(XOffset, YOffset, -XOffset, -YOffset), Caption, Alignment);
}

TVardekoStickyNote::TVardekoStickyNote(QWidget *parent) : QWidget(parent)
{
    resize(65, 17);
}

void TVardekoStickyNote::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect r = rect();
    const QRect body(r.left(), r.top(), r.width(), r.height() - ShadowSize);
    const QRect shadow(r.left() + 4, body.bottom() + 1, r.width() - 8, ShadowSize);
    painter.fillRect(shadow, palette().color(QPalette::Dark));
    painter.fillRect(body, BackgroundColor);
    painter.setPen(Qt::black);
    painter.drawRect(body.adjusted(0, 0, -1, -1));
    painter.setPen(palette().color(QPalette::WindowText));
    paintPopupText(painter, body.adjusted(XOffset, YOffset, -XOffset, -YOffset), Caption, Alignment);
}

} // namespace vardeko
