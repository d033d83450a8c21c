// A publication window: owns one publication and shows its current page.
#include "childform.h"

#include "editcontroller.h"
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
    mController = new EditController(*mPub, *mView, this);
    mView->setController(mController);
    updateCaption();
}

TChildForm::~TChildForm()
{
    // The view forgets the controller before either goes.
    mView->setController(nullptr);
    delete mController;
    mController = nullptr;
}

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
    mController->pageChanged();
    mView->pageSizeChanged();
    updateCaption();
    emit pageChanged();
}

void TChildForm::showPage(Page *page)
{
    if (!page || page == mPub->currentPage())
        return;
    // The undo snapshot belongs to the page that was shown.
    mController->pageChanged();
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
