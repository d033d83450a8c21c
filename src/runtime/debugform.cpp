// "Debug Info": a floating window listing the variables and the script lines as they run.
#include "debugform.h"

#include "runmessages.h"
#include "variablestore.h"

#include <QApplication>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

namespace vardeko {

TDebugForm::TDebugForm(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
{
    setObjectName(QStringLiteral("TDebugForm"));
    setWindowTitle(QStringLiteral("Debug Info"));
    // Clicks on it never take the focus from the publication window.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setMinimumSize(150, 100);
    setMouseTracking(true);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    MainPanel = new QFrame(this);
    MainPanel->setObjectName(QStringLiteral("MainPanel"));
    MainPanel->setFrameShape(QFrame::Panel);
    MainPanel->setFrameShadow(QFrame::Raised);
    MainPanel->setLineWidth(2);
    MainPanel->setMouseTracking(true);
    MainPanel->installEventFilter(this);
    outer->addWidget(MainPanel);

    auto *layout = new QVBoxLayout(MainPanel);
    layout->setContentsMargins(3, 3, 3, 3);
    layout->setSpacing(2);
    TitleBar = new QFrame(MainPanel);
    TitleBar->setObjectName(QStringLiteral("TitleBar"));
    TitleBar->setAutoFillBackground(true);
    TitleBar->installEventFilter(this);
    auto *title = new QHBoxLayout(TitleBar);
    title->setContentsMargins(2, 1, 1, 1);
    title->setSpacing(1);
    TitleLabel = new QLabel(QLatin1String(rmsg::DebugCaption), TitleBar);
    TitleLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    QFont bold = TitleLabel->font();
    bold.setBold(true);
    TitleLabel->setFont(bold);
    title->addWidget(TitleLabel, 1);
    RollUpBtn = new QToolButton(TitleBar);
    RollUpBtn->setObjectName(QStringLiteral("RollUpBtn"));
    RollUpBtn->setFocusPolicy(Qt::NoFocus);
    RollUpBtn->setAutoRaise(true);
    RollUpBtn->setArrowType(Qt::UpArrow);
    RollUpBtn->setFixedSize(16, 14);
    title->addWidget(RollUpBtn);
    CloseBtn = new QToolButton(TitleBar);
    CloseBtn->setObjectName(QStringLiteral("CloseBtn"));
    CloseBtn->setFocusPolicy(Qt::NoFocus);
    CloseBtn->setAutoRaise(true);
    CloseBtn->setText(QStringLiteral("×"));
    CloseBtn->setFixedSize(16, 14);
    title->addWidget(CloseBtn);
    layout->addWidget(TitleBar);

    PageControl = new QTabWidget(MainPanel);
    PageControl->setObjectName(QStringLiteral("PageControl"));
    PageControl->setFocusPolicy(Qt::NoFocus);
    VarList = new QListWidget;
    VarList->setObjectName(QStringLiteral("VarList"));
    ScriptList = new QListWidget;
    ScriptList->setObjectName(QStringLiteral("ScriptList"));
    for (QListWidget *list : {VarList, ScriptList}) {
        list->setFocusPolicy(Qt::NoFocus);
        list->setUniformItemSizes(true);
    }
    PageControl->addTab(VarList, QLatin1String(rmsg::DebugVariables));
    PageControl->addTab(ScriptList, QLatin1String(rmsg::DebugActions));
    PageControl->tabBar()->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(PageControl, 1);

    connect(RollUpBtn, &QToolButton::clicked, this, [this] { setRolledUp(!mRolledUp); });
    connect(CloseBtn, &QToolButton::clicked, this, &TDebugForm::closeRequested);
    resize(320, 200);
    mRestoreHeight = height();
    updateTitleColours();
}

void TDebugForm::RecordLine(int runDepth, const QString &line)
{
    if (ScriptList->count() >= MaxLines)
        ScriptList->clear();
    const int indent = runDepth > 1 ? 2 * (runDepth - 1) : 0;
    ScriptList->addItem(QString(indent, u' ') + line);
    ScriptList->setCurrentRow(ScriptList->count() - 1);
}

void TDebugForm::RefreshVariables(const VariableStore &store)
{
    if (!isVisible())
        return;
    mStore = &store;
    if (mRefreshPending)
        return;
    mRefreshPending = true;
    QTimer::singleShot(0, this, [this] {
        mRefreshPending = false;
        VarList->clear();
        VarList->addItems(mStore->listing());
    });
}

void TDebugForm::ClearLines()
{
    ScriptList->clear();
}

void TDebugForm::setRolledUp(bool rolledUp)
{
    if (mRolledUp == rolledUp)
        return;
    mRolledUp = rolledUp;
    mRolling = true;
    RollUpBtn->setArrowType(rolledUp ? Qt::DownArrow : Qt::UpArrow);
    PageControl->setVisible(!rolledUp);
    if (rolledUp) {
        const int height = TitleBar->sizeHint().height() + 2 * MainPanel->frameWidth() + 3 + 3;
        setMinimumHeight(0);
        resize(width(), height);
    } else {
        setMinimumHeight(100);
        resize(width(), mRestoreHeight);
    }
    mRolling = false;
}

void TDebugForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (!mRolledUp && !mRolling)
        mRestoreHeight = height();
}

void TDebugForm::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    updateTitleColours();
}

void TDebugForm::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange || event->type() == QEvent::PaletteChange)
        updateTitleColours();
}

void TDebugForm::updateTitleColours()
{
    // Active caption colours while the program is the active one.
    const bool active = QApplication::applicationState() == Qt::ApplicationActive;
    QPalette p = TitleBar->palette();
    p.setColor(QPalette::Window, palette().color(active ? QPalette::Active : QPalette::Inactive,
                                                 QPalette::Highlight));
    p.setColor(QPalette::WindowText, palette().color(active ? QPalette::Active : QPalette::Inactive,
                                                     QPalette::HighlightedText));
    TitleBar->setPalette(p);
    TitleLabel->setPalette(p);
}

Qt::Edges TDebugForm::edgesAt(const QPoint &pos) const
{
    Qt::Edges edges;
    const QRect r = MainPanel->rect();
    if (pos.x() < EdgeGrip)
        edges |= Qt::LeftEdge;
    else if (pos.x() >= r.width() - EdgeGrip)
        edges |= Qt::RightEdge;
    if (!mRolledUp) {
        if (pos.y() < EdgeGrip / 3)
            edges |= Qt::TopEdge;
        else if (pos.y() >= r.height() - EdgeGrip)
            edges |= Qt::BottomEdge;
    }
    return edges;
}

bool TDebugForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == TitleBar && event->type() == QEvent::MouseButtonPress) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton && windowHandle()) {
            windowHandle()->startSystemMove();
            return true;
        }
    }
    if (watched == MainPanel) {
        if (event->type() == QEvent::MouseMove) {
            const Qt::Edges e = edgesAt(static_cast<QMouseEvent *>(event)->position().toPoint());
            Qt::CursorShape shape = Qt::ArrowCursor;
            if (e == (Qt::LeftEdge | Qt::TopEdge) || e == (Qt::RightEdge | Qt::BottomEdge))
                shape = Qt::SizeFDiagCursor;
            else if (e == (Qt::RightEdge | Qt::TopEdge) || e == (Qt::LeftEdge | Qt::BottomEdge))
                shape = Qt::SizeBDiagCursor;
            else if (e & (Qt::LeftEdge | Qt::RightEdge))
                shape = Qt::SizeHorCursor;
            else if (e & (Qt::TopEdge | Qt::BottomEdge))
                shape = Qt::SizeVerCursor;
            MainPanel->setCursor(shape);
        } else if (event->type() == QEvent::MouseButtonPress) {
            auto *mouse = static_cast<QMouseEvent *>(event);
            const Qt::Edges e = edgesAt(mouse->position().toPoint());
            if (mouse->button() == Qt::LeftButton && e && windowHandle()) {
                windowHandle()->startSystemResize(e);
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace vardeko
