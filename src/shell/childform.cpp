// A publication window: owns one publication and shows its current page.
#include "childform.h"

#include "pagepainter.h"
#include "pageview.h"
#include "publication.h"

#include <QCloseEvent>
#include <QVBoxLayout>

namespace vardeko {

TChildForm::TChildForm(std::unique_ptr<Publication> pub, QWidget *parent)
    : QWidget(parent)
    , mPub(std::move(pub))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    mView = new PageView(*mPub, this);
    layout->addWidget(mView);
    updateCaption();
}

TChildForm::~TChildForm() = default;

QString TChildForm::fileName() const
{
    return mPub->FileName;
}

void TChildForm::updateCaption()
{
    setWindowTitle(publicationCaption(*mPub, mView->displayMode()));
}

void TChildForm::publicationReloaded()
{
    mView->pageSizeChanged();
    updateCaption();
    emit pageChanged();
}

void TChildForm::showPage(Page *page)
{
    if (!page || page == mPub->currentPage())
        return;
    mPub->setCurrentPage(page);
    mView->viewport()->update();
    emit pageChanged();
}

void TChildForm::closeEvent(QCloseEvent *event)
{
    if (mCloseQuery && !mCloseQuery(this)) {
        event->ignore();
        return;
    }
    event->accept();
    emit closed(this);
}

} // namespace vardeko
