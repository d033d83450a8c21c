// The colour, fill, line-width and line-style pop-up palettes of the tool palette.
#include "popuppalettes.h"

#include "fillpatterns.h"
#include "widgettexts.h"

#include <QColorDialog>
#include <QGridLayout>
#include <QGuiApplication>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>

namespace vardeko {

QColor colorFromRef(ColorRef color)
{
    return QColor(colorRed(color), colorGreen(color), colorBlue(color));
}

ColorRef refFromColor(const QColor &color)
{
    return rgbColor(color.red(), color.green(), color.blue());
}

namespace {

QPixmap blankSwatch(const QSize &size)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::white);
    return pixmap;
}

// Dash patterns in pixels, as the page draws thin lines of each style.
QList<qreal> dashPattern(int style)
{
    switch (style) {
    case 1:
        return {18, 6};
    case 2:
        return {3, 3};
    case 3:
        return {9, 6, 3, 6};
    case 4:
        return {9, 3, 3, 3, 3, 3};
    default:
        return {};
    }
}

} // namespace

QIcon colorSwatch(ColorRef color, const QSize &size)
{
    QPixmap pixmap(size);
    pixmap.fill(colorFromRef(color));
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, size.width() - 1, size.height() - 1);
    return QIcon(pixmap);
}

QIcon patternSwatch(int fillPattern, ColorRef color, bool transparent, const QSize &size)
{
    QPixmap pixmap = blankSwatch(size);
    QPainter painter(&pixmap);
    if (fillPattern == 0) {
        painter.fillRect(pixmap.rect(), colorFromRef(color));
    } else {
        const QImage tile = patternTile(fillPattern, colorFromRef(color), transparent);
        if (!tile.isNull())
            painter.fillRect(pixmap.rect(), QBrush(tile));
    }
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, size.width() - 1, size.height() - 1);
    return QIcon(pixmap);
}

QIcon lineWidthSwatch(int width, const QSize &size)
{
    QPixmap pixmap = blankSwatch(size);
    QPainter painter(&pixmap);
    const int thickness = qMin(width, size.height() - 2);
    painter.fillRect(QRect(2, (size.height() - thickness) / 2, size.width() - 4, thickness),
                     Qt::black);
    return QIcon(pixmap);
}

QIcon lineStyleSwatch(int style, const QSize &size)
{
    QPixmap pixmap = blankSwatch(size);
    QPainter painter(&pixmap);
    QPen pen(Qt::black);
    pen.setWidth(1);
    pen.setCapStyle(Qt::FlatCap);
    const QList<qreal> dashes = dashPattern(style);
    if (!dashes.isEmpty())
        pen.setDashPattern(dashes);
    painter.setPen(pen);
    painter.drawLine(QPointF(2, size.height() / 2 + 0.5),
                     QPointF(size.width() - 2, size.height() / 2 + 0.5));
    return QIcon(pixmap);
}

PopupPalette::PopupPalette(QWidget *parent)
    : QFrame(parent, Qt::Popup)
    , mGrid(new QGridLayout(this))
{
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    mGrid->setContentsMargins(3, 3, 3, 3);
    mGrid->setSpacing(2);
}

void PopupPalette::popupAt(const QPoint &globalPos)
{
    adjustSize();
    QPoint pos = globalPos;
    if (const QScreen *screen = QGuiApplication::screenAt(globalPos)) {
        const QRect area = screen->availableGeometry();
        pos.setX(qBound(area.left(), pos.x(), qMax(area.left(), area.right() - width())));
        pos.setY(qBound(area.top(), pos.y(), qMax(area.top(), area.bottom() - height())));
    }
    move(pos);
    show();
    raise();
    activateWindow();
}

void PopupPalette::setValue(int value)
{
    mValue = value;
    for (const auto &[choice, button] : mChoices)
        button->setChecked(choice == value);
}

QList<int> PopupPalette::values() const
{
    QList<int> result;
    for (const auto &choice : mChoices)
        result.append(choice.first);
    return result;
}

QToolButton *PopupPalette::choiceButton(int value) const
{
    for (const auto &[choice, button] : mChoices) {
        if (choice == value)
            return button;
    }
    return nullptr;
}

QToolButton *PopupPalette::addChoice(int value, const QIcon &icon, const QString &text,
                                     const QString &hint, int row, int column, int columnSpan)
{
    auto *button = new QToolButton(this);
    button->setCheckable(true);
    button->setAutoRaise(true);
    if (!icon.isNull()) {
        button->setIcon(icon);
        button->setIconSize(icon.availableSizes().value(0, QSize(16, 16)));
    }
    if (!text.isEmpty()) {
        button->setText(text);
        button->setToolButtonStyle(icon.isNull() ? Qt::ToolButtonTextOnly
                                                 : Qt::ToolButtonTextBesideIcon);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }
    button->setToolTip(hint);
    connect(button, &QToolButton::clicked, this, [this, value] { pick(value); });
    mGrid->addWidget(button, row, column, 1, columnSpan);
    mChoices.emplace_back(value, button);
    return button;
}

void PopupPalette::pick(int value)
{
    setValue(value);
    hide();
    emit picked(value);
}

// The basic colours of the system colour chooser, by rows of eight.
static constexpr ColorRef BasicColors[48] = {
        rgbColor(255, 128, 128), rgbColor(255, 255, 128), rgbColor(128, 255, 128),
        rgbColor(0, 255, 128),   rgbColor(128, 255, 255), rgbColor(0, 128, 255),
        rgbColor(255, 128, 192), rgbColor(255, 128, 255), rgbColor(255, 0, 0),
        rgbColor(255, 255, 0),   rgbColor(128, 255, 0),   rgbColor(0, 255, 64),
        rgbColor(0, 255, 255),   rgbColor(0, 128, 192),   rgbColor(128, 128, 192),
        rgbColor(255, 0, 255),   rgbColor(128, 64, 64),   rgbColor(255, 128, 64),
        rgbColor(0, 255, 0),     rgbColor(0, 128, 128),   rgbColor(0, 64, 128),
        rgbColor(128, 128, 255), rgbColor(128, 0, 64),    rgbColor(255, 0, 128),
        rgbColor(128, 0, 0),     rgbColor(255, 128, 0),   rgbColor(0, 128, 0),
        rgbColor(0, 128, 64),    rgbColor(0, 0, 255),     rgbColor(0, 0, 160),
        rgbColor(128, 0, 128),   rgbColor(128, 0, 255),   rgbColor(64, 0, 0),
        rgbColor(128, 64, 0),    rgbColor(0, 64, 0),      rgbColor(0, 64, 64),
        rgbColor(0, 0, 128),     rgbColor(0, 0, 64),      rgbColor(64, 0, 64),
        rgbColor(64, 0, 128),    rgbColor(0, 0, 0),       rgbColor(128, 128, 0),
        rgbColor(128, 128, 64),  rgbColor(128, 128, 128), rgbColor(64, 128, 128),
        rgbColor(192, 192, 192), rgbColor(128, 64, 128),  rgbColor(255, 255, 255),
};

TColorPalette::TColorPalette(QWidget *parent)
    : PopupPalette(parent)
{
    for (int i = 0; i < 48; ++i) {
        const QColor color = colorFromRef(BasicColors[i]);
        addChoice(BasicColors[i], colorSwatch(BasicColors[i]), QString(), color.name(), i / 8,
                  i % 8);
    }
    auto *other = new QPushButton(QString(WidgetText::OtherColor), this);
    other->setObjectName(QStringLiteral("OtherBtn"));
    connect(other, &QPushButton::clicked, this, &TColorPalette::chooseOther);
    grid()->addWidget(other, 6, 0, 1, 8);
}

void TColorPalette::chooseOther()
{
    const int current = value();
    hide();
    const QColor color
            = QColorDialog::getColor(colorFromRef(current < 0 ? 0 : current), parentWidget());
    if (color.isValid())
        pick(refFromColor(color));
}

TFillPalette::TFillPalette(QWidget *parent)
    : PopupPalette(parent)
{
    addChoice(0, QIcon(), QString(WidgetText::Solid), QString(WidgetText::Solid), 0, 0, 4);
    addChoice(1, QIcon(), QString(WidgetText::Hollow), QString(WidgetText::Hollow), 0, 4, 4);
    for (int p = FirstStockPattern; p <= LastStockPattern; ++p) {
        const int index = p - FirstStockPattern;
        addChoice(p, patternSwatch(p, 0, false), QString(), QString(WidgetText::PatternHint).arg(p),
                  1 + index / 8, index % 8);
    }
}

TLineWidthPalette::TLineWidthPalette(QWidget *parent)
    : PopupPalette(parent)
{
    int row = 0;
    for (int width : LineWidthChoices) {
        addChoice(width, lineWidthSwatch(width), QString(WidgetText::WidthText).arg(width),
                  QString(WidgetText::WidthText).arg(width), row++, 0);
    }
}

TLineStylePalette::TLineStylePalette(QWidget *parent)
    : PopupPalette(parent)
{
    int style = 0;
    for (QLatin1String name : WidgetText::LineStyleNames) {
        addChoice(style, lineStyleSwatch(style), QString(), QString(name), style, 0);
        ++style;
    }
}

} // namespace vardeko
