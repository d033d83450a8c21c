// A publication window: owns one publication and shows its current page.
#include "childform.h"

#include "pageview.h"
#include "publication.h"
#include "shellmessages.h"

#include <QCloseEvent>
#include <QVBoxLayout>

namespace vardeko {

QString colorCountText(int colors)
{
    switch (colors) {
    case 32768:
        return QStringLiteral("32K");
    case 65536:
        return QStringLiteral("64K");
    case 16777216:
        return QStringLiteral("16M");
    default:
        return QString::number(colors);
    }
}

QString editCaption(const QString &fileName, int width, int height, int colors)
{
    return (fileName.isEmpty() ? QString(msg::Untitled) : fileName) + QLatin1String(" (")
        + QString::number(width) + QLatin1Char('x') + QString::number(height) + QLatin1Char(' ')
        + colorCountText(colors) + QLatin1String(" Colors)");
}

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
    if (isRunning())
        setWindowTitle(mPub->Settings.Title);
    else
        setWindowTitle(editCaption(mPub->FileName, mPub->Settings.ScreenWidth,
                                   mPub->Settings.ScreenHeight, mPub->Settings.ScreenColors));
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
