// Four arrow buttons that move something by one pixel at a time.
#pragma once

#include <QWidget>

class QToolButton;

namespace vardeko {

class NudgeTool : public QWidget
{
    Q_OBJECT

public:
    explicit NudgeTool(QWidget *parent = nullptr);

signals:
    // One step: exactly one of dx and dy is 1 or -1.
    void nudged(int dx, int dy);

private:
    QToolButton *addArrow(Qt::ArrowType arrow, const QString &name, const QString &hint, int dx,
                          int dy);
};

} // namespace vardeko
