// Four arrow buttons that move something by one pixel at a time.
#include "nudgetool.h"

#include "widgettexts.h"

#include <QGridLayout>
#include <QToolButton>

namespace vardeko {

NudgeTool::NudgeTool(QWidget *parent)
    : QWidget(parent)
{
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    grid->addWidget(addArrow(Qt::UpArrow, QStringLiteral("UpBtn"), WidgetText::NudgeUp, 0, -1), 0,
                    1);
    grid->addWidget(
            addArrow(Qt::LeftArrow, QStringLiteral("LeftBtn"), WidgetText::NudgeLeft, -1, 0), 1, 0);
    grid->addWidget(
            addArrow(Qt::RightArrow, QStringLiteral("RightBtn"), WidgetText::NudgeRight, 1, 0), 1,
            2);
    grid->addWidget(addArrow(Qt::DownArrow, QStringLiteral("DownBtn"), WidgetText::NudgeDown, 0, 1),
                    2, 1);
}

QToolButton *NudgeTool::addArrow(Qt::ArrowType arrow, const QString &name, const QString &hint,
                                 int dx, int dy)
{
    auto *button = new QToolButton(this);
    button->setObjectName(name);
    button->setArrowType(arrow);
    button->setToolTip(hint);
    // Held down, the button keeps nudging, as an arrow key would.
    button->setAutoRepeat(true);
    button->setFixedSize(18, 18);
    connect(button, &QToolButton::clicked, this, [this, dx, dy] { emit nudged(dx, dy); });
    return button;
}

} // namespace vardeko
