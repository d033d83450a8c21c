// The action palette: a pop-up list of the script commands by category.
#include "actionpalette.h"

#include "actiontexts.h"
#include "commandtable.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QScreen>
#include <QTabBar>
#include <QVBoxLayout>

namespace vardeko {

using namespace ActionText;

namespace {

int gTab = TActionPalette::BothTab;

} // namespace

TActionPalette::TActionPalette(QWidget *parent)
    : QWidget(parent, Qt::Popup)
{
    setObjectName(QStringLiteral("ActionPalette"));
    setWindowTitle(QString(PaletteTitle));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    mTabs = new QTabBar(this);
    mTabs->setObjectName(QStringLiteral("TabControl"));
    mTabs->addTab(QString(Basic));
    mTabs->addTab(QString(Advanced));
    mTabs->addTab(QString(Both));
    layout->addWidget(mTabs);
    ActionList = new QListWidget(this);
    ActionList->setObjectName(QStringLiteral("ActionList"));
    ActionList->setMouseTracking(true);
    ActionList->setFixedHeight(300);
    layout->addWidget(ActionList, 1);
    ActionHeading = new QLabel(this);
    ActionHeading->setObjectName(QStringLiteral("ActionHeading"));
    QFont bold = ActionHeading->font();
    bold.setBold(true);
    ActionHeading->setFont(bold);
    layout->addWidget(ActionHeading);
    ActionDesc = new QLabel(this);
    ActionDesc->setObjectName(QStringLiteral("ActionDesc"));
    ActionDesc->setWordWrap(true);
    ActionDesc->setFixedHeight(5 * fontMetrics().height());
    ActionDesc->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    layout->addWidget(ActionDesc);
    ActionHint = new QLabel(QString(PaletteHint), this);
    ActionHint->setObjectName(QStringLiteral("ActionHint"));
    ActionHint->setWordWrap(true);
    ActionHint->setMargin(4);
    ActionHint->setStyleSheet(QStringLiteral("background: #ffff80; color: black; border: 1px solid #808000;"));
    // The hint keeps its place while hidden, so the palette never changes size.
    QSizePolicy keep = ActionHint->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    ActionHint->setSizePolicy(keep);
    ActionHint->hide();
    layout->addWidget(ActionHint);

    setFixedWidth(260);

    connect(mTabs, &QTabBar::currentChanged, this, [this](int t) {
        gTab = t;
        fill();
    });
    connect(ActionList, &QListWidget::entered, this,
            [this](const QModelIndex &index) { hoverCommand(index.row()); });
    connect(ActionList, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            hoverCommand(row);
    });
    connect(ActionList, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { chooseRow(ActionList->row(item)); });
    connect(ActionList, &QListWidget::itemActivated, this,
            [this](QListWidgetItem *item) { chooseRow(ActionList->row(item)); });
    setTab(gTab);
    fill();
}

int TActionPalette::rememberedTab()
{
    return gTab;
}

void TActionPalette::setRememberedTab(int tab)
{
    gTab = qBound(int(BasicTab), tab, int(BothTab));
}

void TActionPalette::setTab(int tab)
{
    mTabs->setCurrentIndex(qBound(0, tab, 2));
}

int TActionPalette::tab() const
{
    return mTabs->currentIndex();
}

QList<int> TActionPalette::listedCommands() const
{
    QList<int> numbers;
    for (int i = 0; i < ActionList->count(); ++i)
        numbers.append(ActionList->item(i)->data(Qt::UserRole).toInt());
    return numbers;
}

void TActionPalette::fill()
{
    ActionList->clear();
    const int t = tab();
    for (int n = 1; n <= ActionCommandCount; ++n) {
        const char category = ActionCommands[size_t(n)].Category;
        if ((t == BasicTab && category != 'B') || (t == AdvancedTab && category != 'A'))
            continue;
        // Each name is listed after three blanks.
        auto *item = new QListWidgetItem(QLatin1String("   ") + commandName(n), ActionList);
        item->setData(Qt::UserRole, n);
    }
    ActionHeading->clear();
    ActionDesc->clear();
    ActionHint->hide();
}

void TActionPalette::hoverCommand(int row)
{
    QListWidgetItem *item = ActionList->item(row);
    if (!item)
        return;
    const int n = item->data(Qt::UserRole).toInt();
    if (ActionList->currentRow() != row)
        ActionList->setCurrentRow(row);
    ActionHeading->setText(commandName(n));
    ActionDesc->setText(QString::fromLatin1(ActionDescriptions[size_t(n)]));
    ActionHint->show();
}

void TActionPalette::chooseRow(int row)
{
    QListWidgetItem *item = ActionList->item(row);
    mChosen = item ? item->data(Qt::UserRole).toInt() : 0;
    hide();
}

int TActionPalette::choose(const QPoint &screenPoint)
{
    mChosen = 0;
    adjustSize();
    QPoint at = screenPoint;
    if (const QScreen *screen = QGuiApplication::screenAt(screenPoint)) {
        const QRect area = screen->availableGeometry();
        at.setX(qBound(area.left(), at.x(), qMax(area.left(), area.right() - width())));
        at.setY(qBound(area.top(), at.y(), qMax(area.top(), area.bottom() - height())));
    }
    move(at);
    show();
    QEventLoop loop;
    mLoop = &loop;
    if (isVisible())
        loop.exec();
    mLoop = nullptr;
    return mChosen;
}

void TActionPalette::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (mLoop)
        mLoop->quit();
}

void TActionPalette::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        chooseRow(ActionList->currentRow());
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace vardeko
