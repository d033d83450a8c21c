// The drawing controls of the pop-ups: the speech balloon and the sticky note.
#pragma once

#include <QColor>
#include <QRegion>
#include <QWidget>

namespace vardeko {

// A rounded speech balloon with a triangular stem on one side; the text is its caption.
class TVardekoBalloon : public QWidget
{
    Q_OBJECT
public:
    enum StemSide { StemLeft, StemTop, StemRight, StemBottom };

    explicit TVardekoBalloon(QWidget *parent = nullptr);

    QString Caption;
    int CornerSize = 16;
    QColor BackgroundColor = Qt::white;
    int XOffset = 5;
    int YOffset = 3;
    StemSide StemPos = StemBottom;
    int StemSize = 12;
    int StemWidth = 4;
    int StemOffset = 0;
    Qt::Alignment Alignment = Qt::AlignLeft;

    // The body: the control minus the stem on its side.
    QRect bodyRect() const;
    // The stem's tip and its two base points.
    void stemPoints(QPoint *tip, QPoint *base1, QPoint *base2) const;
    // The pixels the balloon covers (for shaping a window around it).
    QRegion shapeRegion() const;

protected:
    void paintEvent(QPaintEvent *event) override;
};

// A yellow note with a shadow under it.
class TVardekoStickyNote : public QWidget
{
    Q_OBJECT
public:
    explicit TVardekoStickyNote(QWidget *parent = nullptr);

    QString Caption;
    QColor BackgroundColor = QColor(255, 255, 0);
    int XOffset = 8;
    int YOffset = 8;
    int ShadowSize = 5;
    Qt::Alignment Alignment = Qt::AlignLeft;

    QRegion shapeRegion() const;

protected:
    void paintEvent(QPaintEvent *event) override;
};

// Text word-wrapped in `area`, horizontally as `alignment` says, centred vertically.
void paintPopupText(class QPainter &painter, const QRect &area, const QString &text, Qt::Alignment alignment);

} // namespace vardeko
