// The page sorter: page thumbnails in order, with the page commands and dragging rows.
#include "pagelayoutform.h"

#include "childform.h"
#include "editcontroller.h"
#include "editortexts.h"
#include "mainform.h"
#include "pagecommands.h"
#include "pagemanagement.h"
#include "pagepainter.h"
#include "preferences.h"
#include "publication.h"

#include <algorithm>
#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace vardeko {

namespace {

constexpr int PageRole = Qt::UserRole + 1;

// Draws a row: the thumbnail 4 pixels in from the top left, the name 56 pixels in.
class LayoutRowDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const override
    {
        return QSize(option.rect.width(), LayoutRowHeight);
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        painter->save();
        const bool selected = option.state & QStyle::State_Selected;
        painter->fillRect(option.rect, selected ? option.palette.highlight() : option.palette.base());
        const QRect box(option.rect.topLeft() + QPoint(ThumbnailInset, ThumbnailInset),
                        QSize(ThumbnailWidth, ThumbnailHeight));
        const QPixmap thumbnail = index.data(Qt::DecorationRole).value<QPixmap>();
        painter->setClipRect(box);
        if (thumbnail.isNull())
            painter->fillRect(box, Qt::white); // the page is gone
        else
            painter->drawPixmap(box.topLeft(), thumbnail);
        painter->setClipping(false);
        painter->setPen(Qt::black);
        painter->drawRect(box.adjusted(0, 0, -1, -1));
        painter->setPen(selected ? option.palette.highlightedText().color()
                                 : option.palette.text().color());
        const QRect text(option.rect.left() + LayoutNameLeft, option.rect.top(),
                         option.rect.width() - LayoutNameLeft, option.rect.height());
        painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter, index.data().toString());
        painter->restore();
    }
};

QPixmap thumbnail(const Publication &pub, const Page &page, bool showImages)
{
    RenderOptions options;
    options.showImages = showImages;
    options.showHandles = false;
    if (!pub.FileName.isEmpty())
        options.baseDir = QFileInfo(pub.FileName).absolutePath();
    const QImage full = renderPage(pub, page, options);
    if (full.isNull())
        return QPixmap();
    return QPixmap::fromImage(full.scaled(ThumbnailWidth, ThumbnailHeight,
                                          Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation));
}

} // namespace

TBookLayoutForm::TBookLayoutForm(TChildForm &child, Preferences &prefs, PageCommands &commands,
                                 bool picker, QWidget *parent)
    : QDialog(parent)
    , mChild(child)
    , mPrefs(prefs)
    , mCommands(commands)
    , mPicker(picker)
{
    setObjectName(QStringLiteral("BookLayoutForm"));
    setWindowTitle(picker ? layouttext::PickerCaption : layouttext::Caption);
    auto *layout = new QHBoxLayout(this);
    mList = new QListWidget(this);
    mList->setObjectName(QStringLiteral("PageList"));
    mList->setItemDelegate(new LayoutRowDelegate(mList));
    mList->setSelectionMode(picker ? QAbstractItemView::SingleSelection
                                   : QAbstractItemView::ExtendedSelection);
    mList->setUniformItemSizes(true);
    mList->viewport()->installEventFilter(this);
    layout->addWidget(mList, 1);

    auto *buttons = new QVBoxLayout;
    auto add = [this, buttons](QLatin1String text, const char *name, auto handler) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, handler);
        buttons->addWidget(b);
        return b;
    };
    if (picker) {
        add(QLatin1String("OK"), "OkBtn", [this] { accept(); })->setDefault(true);
        add(QLatin1String("Cancel"), "CancelBtn", [this] { reject(); });
        connect(mList, &QListWidget::itemDoubleClicked, this, [this] { accept(); });
    } else {
        add(layouttext::Add, "AddBtn", [this] { mCommands.mForm.guarded([this] { addClicked(); }); });
        add(layouttext::Delete, "DeleteBtn", [this] { mCommands.mForm.guarded([this] { deleteClicked(); }); });
        add(layouttext::Copy, "CopyBtn", [this] { mCommands.mForm.guarded([this] { copyClicked(); }); });
        add(layouttext::Move, "MoveBtn", [this] { mCommands.mForm.guarded([this] { moveClicked(); }); });
        add(layouttext::Rename, "RenameBtn", [this] { mCommands.mForm.guarded([this] { renameClicked(); }); });
        add(layouttext::Up, "UpBtn", [this] { stepClicked(-1); });
        add(layouttext::Down, "DownBtn", [this] { stepClicked(1); });
        add(layouttext::Close, "CloseBtn", [this] { accept(); });
    }
    mShowImages = new QCheckBox(layouttext::ShowImages, this);
    mShowImages->setObjectName(QStringLiteral("ShowImagesBox"));
    mShowImages->setChecked(mPrefs.ShowThumbnailImages);
    connect(mShowImages, &QCheckBox::toggled, this, [this](bool on) {
        mPrefs.ShowThumbnailImages = on;
        rebuild(selectedPages());
    });
    buttons->addWidget(mShowImages);
    buttons->addStretch();
    layout->addLayout(buttons);
    connect(mList, &QListWidget::itemSelectionChanged, this, &TBookLayoutForm::updateButtons);

    Page *current = child.publication().currentPage();
    rebuild(current && current != child.publication().masterPage() ? std::vector<Page *>{current}
                                                                    : std::vector<Page *>{});
    resize(320, 400);
}

TBookLayoutForm::~TBookLayoutForm() = default;

QPushButton *TBookLayoutForm::button(const char *name) const
{
    return findChild<QPushButton *>(QLatin1String(name));
}

std::vector<Page *> TBookLayoutForm::selectedPages() const
{
    std::vector<Page *> pages;
    const Publication &pub = mChild.publication();
    for (int row = 0; row < mList->count(); ++row) {
        if (!mList->item(row)->isSelected())
            continue;
        // Rows name their page; a page that is gone is skipped.
        if (Page *page = pub.findPage(mList->item(row)->data(PageRole).toString()))
            if (page != pub.masterPage())
                pages.push_back(page);
    }
    return pages;
}

Page *TBookLayoutForm::chosenPage() const
{
    const std::vector<Page *> pages = selectedPages();
    return pages.size() == 1 ? pages.front() : nullptr;
}

void TBookLayoutForm::rebuild(const std::vector<Page *> &select)
{
    const Publication &pub = mChild.publication();
    const bool images = mShowImages->isChecked();
    QSignalBlocker blocker(mList);
    mList->clear();
    for (int i = 0; i < pub.pageCount(); ++i) {
        const Page *page = pub.page(i);
        auto *item = new QListWidgetItem(page->Title, mList);
        item->setData(PageRole, page->Title);
        item->setData(Qt::DecorationRole, thumbnail(pub, *page, images));
        if (std::find(select.begin(), select.end(), page) != select.end()) {
            item->setSelected(true);
            mList->setCurrentItem(item, QItemSelectionModel::Select);
        }
    }
    blocker.unblock();
    updateButtons();
}

void TBookLayoutForm::updateButtons()
{
    const int selected = int(selectedPages().size());
    if (mPicker) {
        button("OkBtn")->setEnabled(selected == 1);
        return;
    }
    for (const char *name : {"AddBtn", "CopyBtn", "MoveBtn", "RenameBtn", "UpBtn", "DownBtn"})
        button(name)->setEnabled(selected == 1);
    button("DeleteBtn")->setEnabled(selected >= 1);
}

void TBookLayoutForm::changed(const std::vector<Page *> &select)
{
    mCommands.pagesChanged(&mChild);
    rebuild(select);
}

void TBookLayoutForm::addClicked()
{
    if (Page *page = chosenPage()) {
        mCommands.addPages(page, false);
        changed({page});
    }
}

void TBookLayoutForm::deleteClicked()
{
    const std::vector<Page *> pages = selectedPages();
    if (pages.empty())
        return;
    if (mCommands.mForm.dialogs().ask(this, pagemsg::DeleteSelectedTitle,
                                      deleteSelectedQuestion(int(pages.size())), false)
        != ShellDialogs::Yes)
        return;
    // Taken out, not destroyed: the session can be undone.
    for (Page *page : pages)
        mChild.controller()->deletePage(page, edtext::step::DeletePage);
    emit mChild.pageChanged();
    changed({});
}

void TBookLayoutForm::copyClicked()
{
    Page *page = chosenPage();
    if (!page)
        return;
    // The sorter copies without asking and stays on the current page.
    if (!copyPage(mChild.publication(), *page)) {
        mCommands.mForm.dialogs().alert(this, pagemsg::AppTitle, pagemsg::NotEnoughMemory);
        return;
    }
    changed({page});
}

void TBookLayoutForm::moveClicked()
{
    if (Page *page = chosenPage()) {
        mCommands.movePageOf(&mChild, page);
        changed({page});
    }
}

void TBookLayoutForm::renameClicked()
{
    if (Page *page = chosenPage()) {
        mCommands.renamePageOf(&mChild, page);
        changed({page});
    }
}

void TBookLayoutForm::stepClicked(int step)
{
    Page *page = chosenPage();
    if (!page || !movePageStep(mChild.publication(), page, step)) {
        QApplication::beep();
        return;
    }
    changed({page});
}

void TBookLayoutForm::dropSelectedOn(int row)
{
    Page *page = chosenPage();
    if (!page)
        return;
    if (dropPageOnRow(mChild.publication(), page, row))
        changed({page});
}

bool TBookLayoutForm::eventFilter(QObject *watched, QEvent *event)
{
    if (!mPicker && watched == mList->viewport()) {
        if (event->type() == QEvent::MouseButtonPress) {
            auto *mouse = static_cast<QMouseEvent *>(event);
            const QPoint pos = mouse->position().toPoint();
            const int row = mList->indexAt(pos).row();
            mDragRow = -1;
            // A drag starts on the one selected row, over its thumbnail.
            if (mouse->button() == Qt::LeftButton && pos.x() < LayoutDragZone && row >= 0
                && selectedPages().size() == 1 && mList->item(row)->isSelected()) {
                mDragRow = row;
                mList->viewport()->setCursor(Qt::ClosedHandCursor);
                return true;
            }
        } else if (event->type() == QEvent::MouseButtonRelease && mDragRow >= 0) {
            auto *mouse = static_cast<QMouseEvent *>(event);
            const QPoint pos = mouse->position().toPoint();
            mList->viewport()->unsetCursor();
            const int from = mDragRow;
            mDragRow = -1;
            int row = mList->indexAt(pos).row();
            if (row < 0)
                row = mList->count(); // below the last row
            if (row != from)
                mCommands.mForm.guarded([this, row] { dropSelectedOn(row); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace vardeko
