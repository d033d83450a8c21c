// "Position ... Object": places the item a command shows on a copy of the page.
#include "positiondialog.h"

#include "actionfields.h"
#include "actionform.h"
#include "actiontester.h"
#include "actiontexts.h"
#include "commandtable.h"
#include "filenames.h"
#include "flicdecoder.h"
#include "imageloader.h"
#include "pagepainter.h"
#include "popupgeometry.h"
#include "publication.h"
#include "scriptvalues.h"

#include <QApplication>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>

namespace vardeko {

using namespace ActionText;

namespace {

constexpr int ScrollRange = 2000;

} // namespace

// The preview: the page copy with the frame and its handles drawn over it.
class PosWorkArea : public QWidget
{
public:
    explicit PosWorkArea(TDefinePosForm *form) : QWidget(nullptr), mForm(form)
    {
        setObjectName(QStringLiteral("WorkArea"));
        setFixedSize(ScrollRange, ScrollRange);
        setMouseTracking(true);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Dark));
        const QRect page = mForm->pageRect();
        // PageFrame: 7 pixels larger than the page, one pixel up and left.
        p.fillRect(page.adjusted(-1, -1, 6, 6), Qt::black);
        p.drawImage(page.topLeft(), mForm->mPage);
        p.translate(page.topLeft());
        // NOT-XOR pen: the frame shows on any page colour.
        p.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
        const PosFrame &f = mForm->mFrame;
        const bool handles = mForm->mDragState == 0;
        if (mForm->mLineMode) {
            p.setPen(QPen(Qt::black, 2));
            p.drawLine(f.left, f.top, f.right, f.bottom);
            if (handles) {
                const int half = handleHalfSize(true);
                for (int h : {9, 10}) {
                    const QPoint c = handlePoint(f, h);
                    const QRect box(c.x() - half, c.y() - half, 2 * half, 2 * half);
                    p.setPen(QPen(Qt::black, 1));
                    p.drawRect(box.adjusted(0, 0, -1, -1));
                    // S marks the start, E the end.
                    p.drawText(box, Qt::AlignCenter, h == 9 ? QStringLiteral("S") : QStringLiteral("E"));
                }
            }
            return;
        }
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::NoBrush);
        const QRect r = f.normalized();
        p.drawRect(r.adjusted(0, 0, -1, -1));
        if (mForm->mCommand == CmdMenu || mForm->mCommand == CmdMenuEx) {
            const QPoint o = r.topLeft();
            p.drawPolyline(QPolygon({o + QPoint(4, 12), o + QPoint(4, 4), o + QPoint(12, 4)}));
            p.drawLine(o + QPoint(5, 5), o + QPoint(16, 16));
        }
        if (handles) {
            const int half = handleHalfSize(false);
            for (int h = 1; h <= 8; ++h) {
                const QPoint c = handlePoint(f, h);
                const QRect box(c.x() - half, c.y() - half, 2 * half, 2 * half);
                if (mForm->mSizeable)
                    p.fillRect(box, Qt::black);
                else
                    p.drawRect(box.adjusted(0, 0, -1, -1));
            }
        }
    }
    QPoint toPage(const QPoint &p) const { return p - mForm->pageRect().topLeft(); }
    void mousePressEvent(QMouseEvent *e) override
    {
        if (e->button() == Qt::LeftButton)
            mForm->pressed(toPage(e->position().toPoint()));
    }
    void mouseMoveEvent(QMouseEvent *e) override
    {
        const QPoint page = toPage(e->position().toPoint());
        if (mForm->mDragState != 0) {
            mForm->moved(page);
            return;
        }
        const PosHit hit = hitTestFrame(mForm->mFrame, page, mForm->mLineMode, mForm->mSizeable);
        Qt::CursorShape shape = Qt::ArrowCursor;
        switch (hit.handle) {
        case 1: case 5: shape = Qt::SizeFDiagCursor; break;
        case 2: case 6: shape = Qt::SizeVerCursor; break;
        case 3: case 7: shape = Qt::SizeBDiagCursor; break;
        case 4: case 8: shape = Qt::SizeHorCursor; break;
        case 9: case 10: shape = Qt::SizeAllCursor; break;
        default: shape = hit.hit ? Qt::ClosedHandCursor : Qt::ArrowCursor; break;
        }
        setCursor(shape);
    }
    void mouseReleaseEvent(QMouseEvent *e) override
    {
        if (e->button() == Qt::LeftButton)
            mForm->released();
    }

private:
    TDefinePosForm *mForm;
};

TDefinePosForm::TDefinePosForm(int command, const PosFrame &frame, bool lineMode, bool sizeable,
                               const ActionContext &context, TDefineActionForm *form, QWidget *parent)
    : QDialog(parent), mCommand(command), mFrame(frame), mLineMode(lineMode), mSizeable(sizeable),
      mContext(context), mForm(form)
{
    setObjectName(QStringLiteral("DefinePosForm"));
    setWindowTitle(PositionPrefix + commandName(command) + PositionSuffix);
    setMinimumSize(590, 380);
    resize(820, 600);

    const Publication *pub = context.publication;
    QSize pageSize(640, 480);
    if (pub) {
        pageSize = QSize(pub->Settings.ScreenWidth, pub->Settings.ScreenHeight);
        if (const Page *page = pub->currentPage()) {
            RenderOptions options;
            options.showHandles = false;
            options.baseDir = context.publicationDir;
            mPage = renderPage(*pub, *page, options);
        }
    }
    if (mPage.isNull()) {
        mPage = QImage(pageSize, QImage::Format_RGB32);
        mPage.fill(Qt::white);
    }

    auto *layout = new QHBoxLayout(this);
    ScrollBox = new QScrollArea(this);
    ScrollBox->setObjectName(QStringLiteral("ScrollBox"));
    WorkArea = new PosWorkArea(this);
    ScrollBox->setWidget(WorkArea);
    PageSurface = new QWidget(WorkArea);
    PageSurface->setObjectName(QStringLiteral("PageSurface"));
    PageSurface->setGeometry(pageRect());
    PageSurface->setAttribute(Qt::WA_TransparentForMouseEvents);
    layout->addWidget(ScrollBox, 1);

    auto *side = new QVBoxLayout;
    auto makePanel = [this](const char *name) {
        auto *w = new QWidget(this);
        w->setObjectName(QLatin1String(name));
        return w;
    };
    auto prompt = [](const QString &caption, QWidget *panel, QGridLayout *grid, int row) {
        grid->addWidget(new QLabel(caption, panel), row, 0);
        auto *value = new QLabel(panel);
        grid->addWidget(value, row, 1);
        return value;
    };
    PosPanel = makePanel("PosPanel");
    auto *pg = new QGridLayout(PosPanel);
    LeftPrompt = prompt(QString(Left), PosPanel, pg, 0);
    TopPrompt = prompt(QString(Top), PosPanel, pg, 1);
    SizePanel = makePanel("SizePanel");
    auto *sg = new QGridLayout(SizePanel);
    WidthPrompt = prompt(QString(Width), SizePanel, sg, 0);
    HeightPrompt = prompt(QString(Height), SizePanel, sg, 1);
    SplinePanel = makePanel("SplinePanel");
    auto *lg = new QGridLayout(SplinePanel);
    StartPrompt = prompt(QString(Start), SplinePanel, lg, 0);
    EndPrompt = prompt(QString(End), SplinePanel, lg, 1);
    for (QLabel *l : {LeftPrompt, TopPrompt, WidthPrompt, HeightPrompt, StartPrompt, EndPrompt})
        l->setObjectName(l == LeftPrompt ? QStringLiteral("LeftPrompt")
                         : l == TopPrompt ? QStringLiteral("TopPrompt")
                         : l == WidthPrompt ? QStringLiteral("WidthPrompt")
                         : l == HeightPrompt ? QStringLiteral("HeightPrompt")
                         : l == StartPrompt ? QStringLiteral("StartPrompt")
                                            : QStringLiteral("EndPrompt"));
    side->addWidget(PosPanel);
    side->addWidget(SizePanel);
    side->addWidget(SplinePanel);

    // The nudge tool.
    auto *nudgeBox = new QWidget(this);
    nudgeBox->setObjectName(QStringLiteral("NudgeTool"));
    auto *ng = new QGridLayout(nudgeBox);
    auto arrow = [&](Qt::ArrowType type, const char *name, int row, int col, int dx, int dy) {
        auto *b = new QToolButton(nudgeBox);
        b->setArrowType(type);
        b->setObjectName(QLatin1String(name));
        b->setAutoRepeat(true);
        ng->addWidget(b, row, col);
        connect(b, &QToolButton::clicked, this, [this, dx, dy] { nudge(dx, dy); });
    };
    arrow(Qt::UpArrow, "NudgeUp", 0, 1, 0, -1);
    arrow(Qt::LeftArrow, "NudgeLeft", 1, 0, -1, 0);
    arrow(Qt::RightArrow, "NudgeRight", 1, 2, 1, 0);
    arrow(Qt::DownArrow, "NudgeDown", 2, 1, 0, 1);
    side->addWidget(nudgeBox);

    TestPanel = makePanel("TestPanel");
    auto *tl = new QVBoxLayout(TestPanel);
    TestBtn = new QPushButton(QString(Test), TestPanel);
    TestBtn->setObjectName(QStringLiteral("TestBtn"));
    TestBtn->setAutoDefault(false);
    tl->addWidget(TestBtn);
    connect(TestBtn, &QPushButton::clicked, this, &TDefinePosForm::TestBtnClick);
    TestBtn->setEnabled(context.tester && context.tester->canTest(command));
    if (!TestBtn->isEnabled())
        TestBtn->setToolTip(QString(TestUnavailable));
    side->addWidget(TestPanel);

    CartoonOpPanel = makePanel("CartoonOpPanel");
    auto *cg = new QGridLayout(CartoonOpPanel);
    auto *speedLabel = new QLabel(QString(Speed), CartoonOpPanel);
    CartoonSpeed = new QSlider(Qt::Horizontal, CartoonOpPanel);
    CartoonSpeed->setObjectName(QStringLiteral("CartoonSpeed"));
    CartoonSpeed->setRange(0, 1000);
    speedLabel->setBuddy(CartoonSpeed);
    cg->addWidget(speedLabel, 0, 0);
    cg->addWidget(new QLabel(QString(Fast), CartoonOpPanel), 1, 0);
    cg->addWidget(CartoonSpeed, 1, 1);
    cg->addWidget(new QLabel(QString(Slow), CartoonOpPanel), 1, 2);
    auto *repeatLabel = new QLabel(QString(Repeat), CartoonOpPanel);
    CartoonLoopCount = new QLineEdit(CartoonOpPanel);
    CartoonLoopCount->setObjectName(QStringLiteral("CartoonLoopCount"));
    repeatLabel->setBuddy(CartoonLoopCount);
    cg->addWidget(repeatLabel, 2, 0);
    cg->addWidget(CartoonLoopCount, 2, 1);
    cg->addWidget(new QLabel(QString(Times), CartoonOpPanel), 2, 2);
    // Changing the speed or repeat count ends a running test.
    connect(CartoonSpeed, &QSlider::valueChanged, this, [this] { endTest(); });
    connect(CartoonLoopCount, &QLineEdit::textEdited, this, [this] { endTest(); });
    side->addWidget(CartoonOpPanel);
    side->addStretch();

    auto *ok = new QPushButton(QString(Ok), this);
    ok->setObjectName(QStringLiteral("OkBtn"));
    ok->setDefault(true);
    auto *cancel = new QPushButton(QString(Cancel), this);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    cancel->setAutoDefault(false);
    auto *help = new QPushButton(QString(Help), this);
    help->setAutoDefault(false);
    help->setEnabled(false); // no help pages for this dialog yet
    side->addWidget(ok);
    side->addWidget(cancel);
    side->addWidget(help);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    layout->addLayout(side);

    PosPanel->setVisible(!lineMode);
    SizePanel->setVisible(sizeable);
    SplinePanel->setVisible(lineMode);
    TestPanel->setVisible(form != nullptr);
    CartoonOpPanel->setVisible(command == CmdPlayCartoonFile);
    updatePrompts();
}

TDefinePosForm::~TDefinePosForm() = default;

QWidget *TDefinePosForm::workArea() const
{
    return WorkArea;
}

QRect TDefinePosForm::pageRect() const
{
    const QSize s = mPage.size();
    return QRect(QPoint((ScrollRange - s.width()) / 2, (ScrollRange - s.height()) / 2), s);
}

void TDefinePosForm::setFrame(const PosFrame &frame)
{
    mFrame = frame;
    updatePrompts();
    WorkArea->update();
}

QString TDefinePosForm::cartoonRepeat() const
{
    return CartoonLoopCount->text();
}

QString TDefinePosForm::cartoonSpeed() const
{
    return QString::number(CartoonSpeed->value());
}

void TDefinePosForm::setCartoonValues(const QString &repeat, const QString &speed)
{
    const QSignalBlocker b1(CartoonSpeed), b2(CartoonLoopCount);
    CartoonLoopCount->setText(repeat);
    CartoonSpeed->setValue(integerValue(speed));
}

void TDefinePosForm::updatePrompts()
{
    const PosFrame &f = mFrame;
    StartPrompt->setText(QStringLiteral("%1 x %2").arg(f.left).arg(f.top));
    EndPrompt->setText(QStringLiteral("%1 x %2").arg(f.right).arg(f.bottom));
    LeftPrompt->setText(QString::number(f.left));
    TopPrompt->setText(QString::number(f.top));
    WidthPrompt->setText(QString::number(f.right - f.left));
    HeightPrompt->setText(QString::number(f.bottom - f.top));
}

void TDefinePosForm::nudge(int dx, int dy)
{
    endTest();
    mFrame.offset(dx, dy);
    updatePrompts();
    WorkArea->update();
}

void TDefinePosForm::pressed(const QPoint &page)
{
    endTest();
    const PosHit hit = hitTestFrame(mFrame, page, mLineMode, mSizeable);
    if (!hit.hit)
        return;
    mLast = page;
    mHandle = hit.handle;
    mDragState = (mSizeable || mLineMode) && hit.handle != 0 ? 3 : 2;
    WorkArea->update();
}

void TDefinePosForm::moved(const QPoint &page)
{
    const int dx = page.x() - mLast.x();
    const int dy = page.y() - mLast.y();
    mLast = page;
    if (mDragState == 2)
        mFrame.offset(dx, dy);
    else if (mDragState == 3)
        mFrame = dragHandle(mFrame, mHandle, dx, dy);
    updatePrompts();
    WorkArea->update();
}

void TDefinePosForm::released()
{
    mDragState = 0;
    mHandle = 0;
    WorkArea->update();
}

void TDefinePosForm::endTest()
{
    if (mContext.tester && mForm)
        mContext.tester->endRunningTest(mCommand);
}

void TDefinePosForm::TestBtnClick()
{
    if (!mContext.tester || !mForm)
        return;
    // A second press ends what the first one showed.
    if (mContext.tester->endRunningTest(mCommand))
        return;
    QStringList p = mForm->parameters();
    auto set = [&p](int i, int v) {
        if (i < p.size())
            p[i] = QString::number(v);
    };
    const QRect r = mFrame.normalized();
    switch (mCommand) {
    case CmdImageWindow:
    case CmdTextWindow: set(1, r.left()); set(2, r.top()); break;
    case CmdMenu:
    case CmdMenuEx:
    case CmdPopupImage:
    case CmdStickyNote: set(0, r.left()); set(1, r.top()); break;
    case CmdPlayFlicFile:
    case CmdPlayVideoFile:
        set(0, r.left()); set(1, r.top()); set(2, r.width()); set(3, r.height());
        break;
    case CmdPlayCartoonFile:
        set(0, mFrame.left); set(1, mFrame.top); set(2, mFrame.right); set(3, mFrame.bottom);
        if (p.size() > 6) {
            p[5] = cartoonRepeat();
            p[6] = cartoonSpeed();
        }
        break;
    default: break;
    }
    mContext.tester->test(this, mCommand, p, PageSurface);
    WorkArea->update();
}

void TDefinePosForm::done(int result)
{
    endTest();
    QDialog::done(result);
}

bool PositionActionObject(int command, int &x, int &y, bool lineMode, bool sizeable, int &w, int &h,
                          const ActionContext &context, TDefineActionForm *form, QWidget *parent)
{
    const PosFrame start = lineMode ? PosFrame{x, y, w, h} : PosFrame{x, y, x + w, y + h};
    TDefinePosForm dialog(command, start, lineMode, sizeable, context, form, parent);
    CartoonField *cartoon = nullptr;
    for (int i = 0; form && i < form->fieldCount(); ++i) {
        if (form->field(i)->kind() == ActionField::Cartoon)
            cartoon = dynamic_cast<CartoonField *>(form->field(i));
    }
    if (cartoon)
        dialog.setCartoonValues(cartoon->repeat(), cartoon->speed());
    // The page is centred in the scroll range and in the view.
    dialog.show();
    const QRect page = dialog.pageRect();
    if (auto *area = dialog.findChild<QScrollArea *>(QStringLiteral("ScrollBox"))) {
        area->horizontalScrollBar()->setValue(page.center().x() - area->viewport()->width() / 2);
        area->verticalScrollBar()->setValue(page.center().y() - area->viewport()->height() / 2);
    }
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const PosFrame f = dialog.frame();
    x = f.left;
    y = f.top;
    if (lineMode) {
        w = f.right;
        h = f.bottom;
    } else if (sizeable) {
        w = f.right - f.left;
        h = f.bottom - f.top;
    }
    if (cartoon)
        cartoon->setRepeatAndSpeed(dialog.cartoonRepeat(), dialog.cartoonSpeed());
    return true;
}

namespace {

PositionField *positionField(TDefineActionForm &form, ActionField::Kind kind)
{
    for (int i = 0; i < form.fieldCount(); ++i) {
        if (form.field(i)->kind() == kind)
            return dynamic_cast<PositionField *>(form.field(i));
    }
    return nullptr;
}

QString resolvedFile(const ActionContext &context, const QString &stored)
{
    return locateFile(stored, context.publicationDir);
}

// The size of what the command will show, for the frame.
QSize measuredItem(int command, const QStringList &p, const ActionContext &context)
{
    const QFontMetrics metrics(QApplication::font());
    switch (command) {
    case CmdImageWindow:
    case CmdPopupImage: {
        const QSize s = ImageLoader::imageSize(resolvedFile(context, p.value(command == CmdPopupImage ? 2 : 3)));
        return s.isValid() ? s : QSize(160, 120);
    }
    case CmdTextWindow:
        // The floating text window opens at a third of the screen.
        return QSize(320, 240);
    case CmdStickyNote:
        return stickyNoteClientSize(metrics.size(0, p.value(2).replace(u'|', u'\n')));
    case CmdMenu:
    case CmdMenuEx: {
        const QStringList items = p.value(2).split(u'|');
        int width = 0;
        for (const QString &item : items)
            width = qMax(width, metrics.horizontalAdvance(item));
        return QSize(width + 40, int(items.size()) * (metrics.height() + 6) + 6);
    }
    case CmdPlayFlicFile: {
        int fw = 0, fh = 0;
        if (FlicFrameSize(resolvedFile(context, p.value(4)), &fw, &fh) && fw > 0 && fh > 0)
            return QSize(fw, fh);
        return QSize(320, 200);
    }
    case CmdPlayVideoFile:
        return QSize(320, 240);
    default:
        return QSize(100, 100);
    }
}

int shownNumber(const QString &text, int centred)
{
    if (text.trimmed() == QLatin1String("-1") || text.contains(u'['))
        return centred;
    return integerValue(text);
}

} // namespace

void positionFromActionForm(TDefineActionForm &form)
{
    const int command = form.command();
    const ActionContext &context = form.context();
    const QStringList p = form.parameters();
    QSize pageSize(640, 480);
    if (context.publication)
        pageSize = QSize(context.publication->Settings.ScreenWidth, context.publication->Settings.ScreenHeight);

    if (command == CmdPlayCartoonFile) {
        PositionField *field = positionField(form, ActionField::Cartoon);
        if (!field)
            return;
        const PositionValues v = field->position();
        // A path not yet placed starts across the middle of the page.
        const int sx = shownNumber(v.x, pageSize.width() / 4);
        const int sy = shownNumber(v.y, pageSize.height() / 2);
        const int ex = shownNumber(v.w, pageSize.width() * 3 / 4);
        const int ey = shownNumber(v.h, pageSize.height() / 2);
        int x = sx, y = sy, w = ex, h = ey;
        if (!PositionActionObject(command, x, y, true, false, w, h, context, &form, &form))
            return;
        const bool changed = x != sx || y != sy || w != ex || h != ey;
        field->setPosition({writtenCoordinate(v.x, changed, x), writtenCoordinate(v.y, changed, y),
                            writtenCoordinate(v.w, changed, w), writtenCoordinate(v.h, changed, h)});
        return;
    }

    PositionField *location = positionField(form, ActionField::Location);
    PositionField *sizeField = positionField(form, ActionField::Size);
    if (!location)
        return;
    const bool sizeable = sizeField != nullptr;
    const PositionValues loc = location->position();
    const PositionValues size = sizeable ? sizeField->position() : PositionValues{};
    QSize item = measuredItem(command, p, context);
    if (sizeable) {
        if (!size.w.contains(u'[') && integerValue(size.w) > 0)
            item.setWidth(integerValue(size.w));
        if (!size.h.contains(u'[') && integerValue(size.h) > 0)
            item.setHeight(integerValue(size.h));
    }
    const int sx = shownNumber(loc.x, (pageSize.width() - item.width()) / 2);
    const int sy = shownNumber(loc.y, (pageSize.height() - item.height()) / 2);
    int x = sx, y = sy, w = item.width(), h = item.height();
    if (!PositionActionObject(command, x, y, false, sizeable, w, h, context, &form, &form))
        return;
    const bool changed = x != sx || y != sy || w != item.width() || h != item.height();
    location->setPosition({writtenCoordinate(loc.x, changed, x), writtenCoordinate(loc.y, changed, y), {}, {}});
    if (sizeable) {
        // An automatic size stays automatic unless the frame was resized.
        const QString ww = w == item.width() && size.w.trimmed() == QLatin1String("-1") ? size.w : QString::number(w);
        const QString hh = h == item.height() && size.h.trimmed() == QLatin1String("-1") ? size.h : QString::number(h);
        sizeField->setPosition({{}, {}, ww, hh});
    }
}

} // namespace vardeko
