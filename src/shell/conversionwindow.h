// The small window shown while an older DOS-format publication is converted.
#pragma once

#include <QWidget>

class QLabel;

namespace vardeko {

class ConversionWindow : public QWidget
{
    Q_OBJECT
public:
    explicit ConversionWindow(QWidget *parent = nullptr);

    // Shows the next frame of the three-frame animation; called once per page.
    void advance();
    int frame() const { return mFrame; }

private:
    QLabel *mAnimation;
    int mFrame = 0;
};

} // namespace vardeko
