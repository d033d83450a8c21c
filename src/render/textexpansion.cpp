// Texts as a page shows them.
#include "textexpansion.h"

#include "publication.h"
#include "variablestore.h"

#include <QDateTime>

namespace vardeko {

namespace {

class ShownPage : public PageValues
{
public:
    ShownPage(const Publication &pub, const Page *page)
        : mPub(pub)
        , mPage(page)
    {
    }
    QString currentPageTitle() const override { return mPage ? mPage->Title : QString(); }
    QString currentPageNumber() const override
    {
        if (!mPage)
            return QString();
        // The master page is number 0; the first page 1.
        return QString::number(mPub.indexOfPage(mPage) + 1);
    }

private:
    const Publication &mPub;
    const Page *mPage;
};

} // namespace

QString expandShownText(const QString &text, const Publication &pub, const Page *page)
{
    return expandShownText(text, pub, page, QDateTime());
}

QString expandShownText(const QString &text, const Publication &pub, const Page *page,
                        const QDateTime &time)
{
    const ShownPage shown(pub, page);
    return ExpandReferences(text, false, time, globalVariables(), &shown);
}

} // namespace vardeko
