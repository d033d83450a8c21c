// The floating "Tools" window: drawing tools, the attributes new objects take, the nudge tool.
#include "toolpalette.h"

#include "nudgetool.h"
#include "popuppalettes.h"
#include "widgettexts.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDataStream>
#include <QDrag>
#include <QFontDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>
#include <QVBoxLayout>

#include <functional>

namespace vardeko {

namespace {

constexpr quint32 AttributeMimeVersion = 1;

// A box that shows one attribute; clicking opens its palette, dragging carries the value.
class AttributeBox : public QToolButton
{
public:
    AttributeBox(std::function<QMimeData *()> makeData, QWidget *parent)
        : QToolButton(parent)
        , mMakeData(std::move(makeData))
    {
    }

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton)
            mPressPos = event->position().toPoint();
        QToolButton::mousePressEvent(event);
    }

    void mouseMoveEvent(QMouseEvent *event) override
    {
        if ((event->buttons() & Qt::LeftButton)
            && (event->position().toPoint() - mPressPos).manhattanLength()
                    >= QApplication::startDragDistance()) {
            setDown(false);
            auto *drag = new QDrag(this);
            drag->setMimeData(mMakeData());
            drag->setPixmap(icon().pixmap(iconSize()));
            drag->exec(Qt::CopyAction);
            return;
        }
        QToolButton::mouseMoveEvent(event);
    }

private:
    std::function<QMimeData *()> mMakeData;
    QPoint mPressPos;
};

QIcon toolIcon(int tool)
{
    QPixmap pixmap(22, 22);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    switch (tool) {
    case PointerTool: {
        QPainterPath arrow;
        arrow.moveTo(6, 3);
        arrow.lineTo(6, 18);
        arrow.lineTo(10, 14);
        arrow.lineTo(13, 20);
        arrow.lineTo(15, 19);
        arrow.lineTo(12, 13);
        arrow.lineTo(17, 13);
        arrow.closeSubpath();
        p.fillPath(arrow, Qt::white);
        p.drawPath(arrow);
        break;
    }
    case ArticleKind:
        p.drawRect(3, 3, 16, 16);
        for (int y = 7; y <= 15; y += 4)
            p.drawLine(6, y, 16, y);
        break;
    case ButtonKind:
        p.setBrush(QColor(192, 192, 192));
        p.drawRoundedRect(2, 6, 18, 10, 3, 3);
        break;
    case PictureKind:
        p.drawRect(3, 4, 16, 14);
        p.setBrush(Qt::darkGreen);
        p.drawPolygon(QPolygon(
                {QPoint(4, 17), QPoint(9, 9), QPoint(13, 14), QPoint(15, 11), QPoint(18, 17)}));
        break;
    case RectangleKind:
        p.drawRect(3, 5, 16, 12);
        break;
    case CircleKind:
        p.drawEllipse(3, 3, 16, 16);
        break;
    case LineKind:
        p.drawLine(3, 19, 19, 3);
        break;
    case TextKind: {
        QFont font = p.font();
        font.setBold(true);
        font.setPixelSize(16);
        p.setFont(font);
        p.drawText(pixmap.rect(), Qt::AlignCenter, QStringLiteral("A"));
        break;
    }
    default:
        break;
    }
    return QIcon(pixmap);
}

quint8 fontStyleOf(const QFont &font)
{
    quint8 style = 0;
    if (font.bold())
        style |= FontBold;
    if (font.italic())
        style |= FontItalic;
    if (font.underline())
        style |= FontUnderline;
    if (font.strikeOut())
        style |= FontStrikeOut;
    return style;
}

QFont fontOf(const ToolAttributes &a)
{
    QFont font(a.Font);
    if (a.FontSize > 0)
        font.setPointSize(a.FontSize);
    font.setBold(a.FontStyle & FontBold);
    font.setItalic(a.FontStyle & FontItalic);
    font.setUnderline(a.FontStyle & FontUnderline);
    font.setStrikeOut(a.FontStyle & FontStrikeOut);
    return font;
}

} // namespace

QMimeData *attributeMimeData(PaletteAttribute which, const ToolAttributes &a)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << AttributeMimeVersion << qint32(which) << qint32(a.FillColor) << a.FillPattern
        << a.FillMode << qint32(a.LineColor) << qint32(a.LineWidth) << a.LineStyle << a.Font
        << qint32(a.FontSize) << a.FontStyle << qint32(a.FontColor);
    auto *data = new QMimeData;
    data->setData(QLatin1String(AttributeMimeType), bytes);
    return data;
}

bool readAttributeMimeData(const QMimeData *data, PaletteAttribute *which, ToolAttributes *a)
{
    if (!data || !data->hasFormat(QLatin1String(AttributeMimeType)))
        return false;
    QDataStream in(data->data(QLatin1String(AttributeMimeType)));
    quint32 version = 0;
    qint32 kind = -1, fillColor = 0, lineColor = 0, lineWidth = 0, fontSize = 0, fontColor = 0;
    ToolAttributes read;
    in >> version >> kind >> fillColor >> read.FillPattern >> read.FillMode >> lineColor
            >> lineWidth >> read.LineStyle >> read.Font >> fontSize >> read.FontStyle >> fontColor;
    if (in.status() != QDataStream::Ok || version != AttributeMimeVersion || kind < 0
        || kind > int(PaletteAttribute::Font))
        return false;
    read.FillColor = fillColor;
    read.LineColor = lineColor;
    read.LineWidth = lineWidth;
    read.FontSize = fontSize;
    read.FontColor = fontColor;
    *which = PaletteAttribute(kind);
    *a = read;
    return true;
}

TToolPalette::TToolPalette(QWidget *parent)
    : QWidget(parent, Qt::Tool)
{
    setObjectName(QStringLiteral("ToolPalette"));
    setWindowTitle(QString(WidgetText::ToolsCaption));

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(2, 2, 2, 2);
    outer->setSpacing(2);
    outer->setSizeConstraint(QLayout::SetFixedSize);

    auto *header = new QHBoxLayout;
    header->setSpacing(1);
    header->addStretch();
    mExpandBtn = new QToolButton(this);
    mExpandBtn->setObjectName(QStringLiteral("ExpandBtn"));
    mExpandBtn->setToolTip(QString(WidgetText::ExpandHint));
    mExpandBtn->setFixedSize(16, 14);
    connect(mExpandBtn, &QToolButton::clicked, this, [this] { setExpanded(!mExpanded); });
    mRollUpBtn = new QToolButton(this);
    mRollUpBtn->setObjectName(QStringLiteral("RollUpBtn"));
    mRollUpBtn->setToolTip(QString(WidgetText::RollUpHint));
    mRollUpBtn->setFixedSize(16, 14);
    connect(mRollUpBtn, &QToolButton::clicked, this, [this] { setRolledUp(!mRolledUp); });
    header->addWidget(mExpandBtn);
    header->addWidget(mRollUpBtn);
    outer->addLayout(header);

    mBody = new QWidget(this);
    auto *body = new QVBoxLayout(mBody);
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(4);
    outer->addWidget(mBody);

    // The eight tools, two to a row, in the order of their numbers.
    static constexpr struct
    {
        int tool;
        const char *name;
        QLatin1String hint;
    } Tools[] = {
            {PointerTool, "PointerTool", WidgetText::PointerHint},
            {ArticleKind, "ArticleTool", WidgetText::ArticleHint},
            {ButtonKind, "ButtonTool", WidgetText::ButtonHint},
            {PictureKind, "PictureTool", WidgetText::PictureHint},
            {RectangleKind, "RectangleTool", WidgetText::RectangleHint},
            {CircleKind, "CircleTool", WidgetText::CircleHint},
            {LineKind, "LineTool", WidgetText::LineHint},
            {TextKind, "TextTool", WidgetText::TextHint},
    };
    auto *toolGrid = new QGridLayout;
    toolGrid->setSpacing(1);
    mTools = new QButtonGroup(this);
    mTools->setExclusive(true);
    int index = 0;
    for (const auto &t : Tools) {
        auto *button = new QToolButton(mBody);
        button->setObjectName(QLatin1String(t.name));
        button->setToolTip(QString(t.hint));
        button->setIcon(toolIcon(t.tool));
        button->setIconSize(QSize(22, 22));
        button->setCheckable(true);
        mTools->addButton(button, t.tool);
        toolGrid->addWidget(button, index / 2, index % 2);
        ++index;
    }
    mTools->button(PointerTool)->setChecked(true);
    connect(mTools, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            emit toolChanged(id);
    });
    body->addLayout(toolGrid);

    // The extended set: attribute boxes and the nudge tool.
    mAttributePanel = new QWidget(mBody);
    auto *attrs = new QGridLayout(mAttributePanel);
    attrs->setContentsMargins(0, 0, 0, 0);
    attrs->setSpacing(2);
    mFillColorBox = addAttributeBox(QStringLiteral("FillColorBox"), WidgetText::FillColorHint,
                                    PaletteAttribute::FillColor);
    mFillPatternBox = addAttributeBox(QStringLiteral("FillPatternBox"), WidgetText::FillPatternHint,
                                      PaletteAttribute::FillPattern);
    mTransparentCheck = new QCheckBox(QString(WidgetText::Transparent), mAttributePanel);
    mTransparentCheck->setObjectName(QStringLiteral("TransparentCheck"));
    mLineColorBox = addAttributeBox(QStringLiteral("LineColorBox"), WidgetText::LineColorHint,
                                    PaletteAttribute::LineColor);
    mLineWidthBox = addAttributeBox(QStringLiteral("LineWidthBox"), WidgetText::LineWidthHint,
                                    PaletteAttribute::LineWidth);
    mLineStyleBox = addAttributeBox(QStringLiteral("LineStyleBox"), WidgetText::LineStyleHint,
                                    PaletteAttribute::LineStyle);
    mFontColorBox = addAttributeBox(QStringLiteral("FontColorBox"), WidgetText::FontColorHint,
                                    PaletteAttribute::FontColor);
    mFontBox = addAttributeBox(QStringLiteral("FontBox"), WidgetText::FontHint,
                               PaletteAttribute::Font);
    mFontBox->setToolButtonStyle(Qt::ToolButtonTextOnly);

    attrs->addWidget(new QLabel(QString(WidgetText::FillLabel), mAttributePanel), 0, 0, 1, 2);
    attrs->addWidget(mFillColorBox, 1, 0);
    attrs->addWidget(mFillPatternBox, 1, 1);
    attrs->addWidget(mTransparentCheck, 2, 0, 1, 2);
    attrs->addWidget(new QLabel(QString(WidgetText::LineLabel), mAttributePanel), 3, 0, 1, 2);
    attrs->addWidget(mLineColorBox, 4, 0);
    attrs->addWidget(mLineWidthBox, 4, 1);
    attrs->addWidget(mLineStyleBox, 5, 1);
    attrs->addWidget(new QLabel(QString(WidgetText::FontLabel), mAttributePanel), 6, 0, 1, 2);
    attrs->addWidget(mFontColorBox, 7, 0);
    attrs->addWidget(mFontBox, 7, 1);
    mNudgeTool = new NudgeTool(mAttributePanel);
    mNudgeTool->setObjectName(QStringLiteral("NudgeTool"));
    attrs->addWidget(mNudgeTool, 8, 0, 1, 2, Qt::AlignHCenter);
    connect(mNudgeTool, &NudgeTool::nudged, this, &TToolPalette::nudged);
    body->addWidget(mAttributePanel);

    mColorPalette = new TColorPalette(this);
    mFillPalette = new TFillPalette(this);
    mLineWidthPalette = new TLineWidthPalette(this);
    mLineStylePalette = new TLineStylePalette(this);
    connect(mColorPalette, &PopupPalette::picked, this, &TToolPalette::colorPicked);
    connect(mFillPalette, &PopupPalette::picked, this, [this](int value) {
        mAttributes.FillPattern = quint8(value);
        choose(PaletteAttribute::FillPattern);
    });
    connect(mLineWidthPalette, &PopupPalette::picked, this, [this](int value) {
        mAttributes.LineWidth = value;
        choose(PaletteAttribute::LineWidth);
    });
    connect(mLineStylePalette, &PopupPalette::picked, this, [this](int value) {
        mAttributes.LineStyle = quint8(value);
        choose(PaletteAttribute::LineStyle);
    });

    connect(mFillColorBox, &QToolButton::clicked, this, [this] {
        mColorTarget = PaletteAttribute::FillColor;
        openPopup(mColorPalette, mFillColorBox, mAttributes.FillColor);
    });
    connect(mLineColorBox, &QToolButton::clicked, this, [this] {
        mColorTarget = PaletteAttribute::LineColor;
        openPopup(mColorPalette, mLineColorBox, mAttributes.LineColor);
    });
    connect(mFontColorBox, &QToolButton::clicked, this, [this] {
        mColorTarget = PaletteAttribute::FontColor;
        openPopup(mColorPalette, mFontColorBox, mAttributes.FontColor);
    });
    connect(mFillPatternBox, &QToolButton::clicked, this,
            [this] { openPopup(mFillPalette, mFillPatternBox, mAttributes.FillPattern); });
    connect(mLineWidthBox, &QToolButton::clicked, this,
            [this] { openPopup(mLineWidthPalette, mLineWidthBox, mAttributes.LineWidth); });
    connect(mLineStyleBox, &QToolButton::clicked, this,
            [this] { openPopup(mLineStylePalette, mLineStyleBox, mAttributes.LineStyle); });
    connect(mFontBox, &QToolButton::clicked, this, &TToolPalette::chooseFont);
    // The transparent check belongs to the fill pattern: it applies with it.
    connect(mTransparentCheck, &QCheckBox::clicked, this, [this](bool checked) {
        mAttributes.FillMode = checked ? 1 : 0;
        choose(PaletteAttribute::FillPattern);
    });

    updateBoxes();
    updateFolding();
}

TToolPalette::~TToolPalette() = default;

int TToolPalette::currentTool() const
{
    const int id = mTools->checkedId();
    return id < PointerTool ? int(PointerTool) : id;
}

void TToolPalette::setCurrentTool(int tool)
{
    if (QAbstractButton *button = mTools->button(tool))
        button->setChecked(true);
}

void TToolPalette::setAttributes(const ToolAttributes &attributes)
{
    mAttributes = attributes;
    updateBoxes();
}

void TToolPalette::applyFont(const QString &family, int pointSize, quint8 fontStyle)
{
    if (family.isEmpty() || pointSize <= 0)
        return;
    mAttributes.Font = family;
    mAttributes.FontSize = pointSize;
    mAttributes.FontStyle = fontStyle & (FontBold | FontItalic | FontUnderline | FontStrikeOut);
    choose(PaletteAttribute::Font);
}

ToolPaletteState TToolPalette::state() const
{
    return {pos(), mExpanded, mRolledUp};
}

void TToolPalette::restoreState(const ToolPaletteState &state)
{
    move(state.pos);
    mExpanded = state.expanded;
    mRolledUp = state.rolledUp;
    updateFolding();
}

void TToolPalette::setExpanded(bool expanded)
{
    mExpanded = expanded;
    updateFolding();
}

void TToolPalette::setRolledUp(bool rolledUp)
{
    mRolledUp = rolledUp;
    updateFolding();
}

QToolButton *TToolPalette::addAttributeBox(const QString &name, const QString &hint,
                                           PaletteAttribute which)
{
    auto *box = new AttributeBox([this, which] { return attributeMimeData(which, mAttributes); },
                                 mAttributePanel);
    box->setObjectName(name);
    box->setToolTip(hint);
    box->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return box;
}

void TToolPalette::openPopup(PopupPalette *popup, QToolButton *box, int value)
{
    popup->setValue(value);
    popup->popupAt(box->mapToGlobal(QPoint(box->width(), 0)));
}

void TToolPalette::colorPicked(int value)
{
    switch (mColorTarget) {
    case PaletteAttribute::LineColor:
        mAttributes.LineColor = value;
        break;
    case PaletteAttribute::FontColor:
        mAttributes.FontColor = value;
        break;
    default:
        mAttributes.FillColor = value;
        break;
    }
    choose(mColorTarget);
}

void TToolPalette::choose(PaletteAttribute which)
{
    updateBoxes();
    emit attributeApplied(which, mAttributes);
}

void TToolPalette::chooseFont()
{
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, fontOf(mAttributes), this);
    if (ok)
        applyFont(font.family(), font.pointSize() > 0 ? font.pointSize() : mAttributes.FontSize,
                  fontStyleOf(font));
}

void TToolPalette::updateBoxes()
{
    mFillColorBox->setIcon(colorSwatch(mAttributes.FillColor));
    mFillPatternBox->setIcon(patternSwatch(mAttributes.FillPattern, mAttributes.FillColor,
                                           mAttributes.FillMode == 1));
    mFillPatternBox->setIconSize(QSize(24, 16));
    // The pattern box names the two plain fills instead of showing them.
    if (mAttributes.FillPattern == 0 || mAttributes.FillPattern == 1) {
        mFillPatternBox->setText(mAttributes.FillPattern == 0 ? QString(WidgetText::Solid)
                                                              : QString(WidgetText::Hollow));
        mFillPatternBox->setToolButtonStyle(Qt::ToolButtonTextOnly);
    } else {
        mFillPatternBox->setText(QString());
        mFillPatternBox->setToolButtonStyle(Qt::ToolButtonIconOnly);
    }
    mTransparentCheck->setChecked(mAttributes.FillMode == 1);
    mLineColorBox->setIcon(colorSwatch(mAttributes.LineColor));
    mLineWidthBox->setIcon(lineWidthSwatch(mAttributes.LineWidth, QSize(32, 16)));
    mLineWidthBox->setIconSize(QSize(32, 16));
    mLineStyleBox->setIcon(lineStyleSwatch(mAttributes.LineStyle, QSize(32, 16)));
    mLineStyleBox->setIconSize(QSize(32, 16));
    mFontColorBox->setIcon(colorSwatch(mAttributes.FontColor));
    mFontBox->setText(QStringLiteral("%1 %2").arg(mAttributes.Font).arg(mAttributes.FontSize));
}

void TToolPalette::updateFolding()
{
    mBody->setVisible(!mRolledUp);
    mAttributePanel->setVisible(mExpanded);
    mExpandBtn->setArrowType(mExpanded ? Qt::UpArrow : Qt::DownArrow);
    mRollUpBtn->setText(mRolledUp ? QStringLiteral("\u25BC") : QStringLiteral("\u25B2"));
    adjustSize();
}

} // namespace vardeko
