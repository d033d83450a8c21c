// "Debug Info": a floating window listing the variables and the script lines as they run.
#include "debugform.h"

#include "runmessages.h"
#include "variablestore.h"

#include <QApplication>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

namespace vardeko {

namespace {

// Lists reach the screen at most this often while scripts run.
constexpr int FrameMs = 16;

} // namespace

void RecordedLines::makeRoom()
{
    if (mLines.size() >= size_t(TDebugForm::MaxLines)) {
        mLines.clear();
        mKept = 0;
        mRestarted = true;
    }
    mDirty = true;
}

void RecordedLines::record(int runDepth, const QString &line)
{
    makeRoom();
    mLines.push_back({runDepth, nullptr, line});
}

void RecordedLines::recordBorrowed(int runDepth, const QString &line)
{
    makeRoom();
    mLines.push_back({runDepth, &line, QString()});
}

void RecordedLines::keepBorrowed()
{
    for (size_t i = mKept; i < mLines.size(); ++i) {
        Line &l = mLines[i];
        if (l.borrowed) {
            l.text = *l.borrowed;
            l.borrowed = nullptr;
        }
    }
    mKept = mLines.size();
}

void RecordedLines::clear()
{
    mLines.clear();
    mKept = 0;
    mRestarted = true;
    mDirty = true;
    publish();
}

QString RecordedLines::lineText(int row) const
{
    if (row < 0 || size_t(row) >= mLines.size())
        return QString();
    const Line &l = mLines[size_t(row)];
    const QString &text = l.borrowed ? *l.borrowed : l.text;
    const int indent = l.depth > 1 ? 2 * (l.depth - 1) : 0;
    return indent ? QString(indent, u' ') + text : text;
}

bool RecordedLines::publish()
{
    if (!mDirty)
        return false;
    mDirty = false;
    const int count = int(mLines.size());
    if (mRestarted || count < mShown) {
        beginResetModel();
        mShown = count;
        mRestarted = false;
        endResetModel();
    } else if (count > mShown) {
        beginInsertRows({}, mShown, count - 1);
        mShown = count;
        endInsertRows();
    }
    return true;
}

int RecordedLines::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : mShown;
}

QVariant RecordedLines::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= mShown)
        return {};
    return lineText(index.row());
}

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
    ScriptList = new QListView;
    ScriptList->setObjectName(QStringLiteral("ScriptList"));
    ScriptList->setModel(&mLines);
    ScriptList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (QListView *list : {static_cast<QListView *>(VarList), ScriptList}) {
        list->setFocusPolicy(Qt::NoFocus);
        list->setUniformItemSizes(true);
    }
    PageControl->addTab(VarList, QLatin1String(rmsg::DebugVariables));
    PageControl->addTab(ScriptList, QLatin1String(rmsg::DebugActions));
    PageControl->tabBar()->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(PageControl, 1);

    connect(RollUpBtn, &QToolButton::clicked, this, [this] { setRolledUp(!mRolledUp); });
    connect(CloseBtn, &QToolButton::clicked, this, &TDebugForm::closeRequested);
    mFrame.setSingleShot(true);
    mFrame.setInterval(FrameMs);
    connect(&mFrame, &QTimer::timeout, this, &TDebugForm::showPending);
    resize(320, 200);
    mRestoreHeight = height();
    updateTitleColours();
}

void TDebugForm::RecordLine(int runDepth, const QString &line)
{
    mLines.record(runDepth, line);
    scheduleFrame();
}

void TDebugForm::RecordScriptLine(int runDepth, const QString &line)
{
    // Lines waiting for the view have a frame scheduled already.
    const bool scheduled = mLines.hasUnpublished();
    mLines.recordBorrowed(runDepth, line);
    if (!scheduled)
        scheduleFrame();
}

void TDebugForm::ScriptEnded()
{
    mLines.keepBorrowed();
}

void TDebugForm::scheduleFrame()
{
    if (!mFrame.isActive())
        mFrame.start();
}

void TDebugForm::showPending()
{
    mFrame.stop();
    if (mLines.publish() && mLines.rowCount() > 0)
        ScriptList->setCurrentIndex(mLines.index(mLines.rowCount() - 1));
    if (mRefreshPending) {
        mRefreshPending = false;
        VarList->clear();
        if (mStore)
            VarList->addItems(mStore->listing());
    }
}

void TDebugForm::RefreshVariables(const VariableStore &store)
{
    if (!isVisible())
        return;
    mStore = &store;
    if (mRefreshPending)
        return;
    mRefreshPending = true;
    scheduleFrame();
}

void TDebugForm::ClearLines()
{
    mLines.clear();
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
