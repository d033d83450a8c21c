// The reader's search: the "Find" window and the walk over pages and texts.
#include "findform.h"

#include "runmessages.h"
#include "runproviders.h"
#include "runsession.h"
#include "scriptmessages.h"
#include "textexpansion.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vardeko {

namespace {

void collectSearched(const ObjectList &stack, QList<PageObject *> &out)
{
    forEachObject(stack, [&out](PageObject &o) {
        if (!o.isGroup() && o.text())
            out.append(&o);
    });
}

// A text object's text as a search sees it: no "^", "|" read as a blank, references
// expanded, upper-cased.
QString searchedText(const Publication &pub, const Page &page, const PageObject &object)
{
    QString text = object.text()->Text;
    text.remove(u'^');
    text.replace(u'|', u' ');
    return expandShownText(text, pub, &page).toUpper();
}

} // namespace

TFindForm::TFindForm(RunSession &session, QWidget *parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
    , mSession(session)
{
    setObjectName(QStringLiteral("TFindForm"));
    setModal(false);
    PromptLabel = new QLabel(this);
    FindEdit = new QLineEdit(this);
    FindEdit->setObjectName(QStringLiteral("FindEdit"));
    FindEdit->setMaxLength(MaxTextLength);
    PromptLabel->setBuddy(FindEdit);
    FindFirstBtn = new QPushButton(this);
    FindFirstBtn->setObjectName(QStringLiteral("FindFirstBtn"));
    FindFirstBtn->setDefault(true);
    FindNextBtn = new QPushButton(this);
    FindNextBtn->setObjectName(QStringLiteral("FindNextBtn"));
    CloseBtn = new QPushButton(this);
    CloseBtn->setObjectName(QStringLiteral("CloseBtn"));
    auto *row = new QHBoxLayout;
    row->addWidget(PromptLabel);
    row->addWidget(FindEdit, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(FindFirstBtn);
    buttons->addWidget(FindNextBtn);
    buttons->addWidget(CloseBtn);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addLayout(buttons);
    setLanguage();
    connect(FindEdit, &QLineEdit::textChanged, this, &TFindForm::updateButtons);
    connect(FindFirstBtn, &QPushButton::clicked, this, &TFindForm::findFirst);
    connect(FindNextBtn, &QPushButton::clicked, this, &TFindForm::findNext);
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::close);
    updateButtons();
}

void TFindForm::setLanguage()
{
    // The publication's language strings stand in for the built-in captions.
    auto text = [this](int index, const char *fallback) {
        const QString s = mSession.language(index);
        return s.isEmpty() ? QLatin1String(fallback) : s;
    };
    setWindowTitle(text(L_FINDTITLE, rmsg::FindCaption));
    PromptLabel->setText(text(L_FINDPROMPT, rmsg::FindPrompt));
    FindFirstBtn->setText(text(L_FINDFIRST, rmsg::FindFirst));
    FindNextBtn->setText(text(L_FINDNEXT, rmsg::FindNext));
    CloseBtn->setText(text(L_CLOSE, rmsg::FindClose));
}

void TFindForm::updateButtons()
{
    const bool hasText = !FindEdit->text().isEmpty();
    FindFirstBtn->setEnabled(hasText);
    FindNextBtn->setEnabled(hasText && mSearching);
}

void TFindForm::findFirst()
{
    mMatches = 0;
    mSearching = true;
    search();
}

void TFindForm::findNext()
{
    if (!mSearching)
        return;
    search();
}

void TFindForm::search()
{
    mText = FindEdit->text().toUpper();
    if (mText.isEmpty())
        return;
    Publication &pub = mSession.pub();
    // The pages in the order the scope gives.
    QList<Page *> pages;
    const QString scope = mScope.trimmed();
    if (scope.isEmpty() || scope.compare(QLatin1String("CURRENT"), Qt::CaseInsensitive) == 0) {
        if (pub.currentPage())
            pages.append(pub.currentPage());
    } else if (scope.compare(QLatin1String("ALL"), Qt::CaseInsensitive) == 0) {
        for (int i = 0; i < pub.pageCount(); ++i)
            pages.append(pub.page(i));
    } else {
        for (const QString &name : scope.split(u'|')) {
            Page *page = pub.findPage(name);
            if (!page) {
                mSearching = false;
                updateButtons();
                mSession.alert(QLatin1String(MsgDebugTitle),
                               u'"' + name + QLatin1String("\"\r\r") + QLatin1String(rmsg::FindNoPage)
                                       + QLatin1String("\r\r") + QLatin1String(rmsg::FindCanceled));
                return;
            }
            pages.append(page);
        }
    }
    // Matches are counted from the start; the next one after those already shown wins.
    int seen = 0;
    for (Page *page : std::as_const(pages)) {
        QList<PageObject *> searched;
        const Page *master = pub.masterPage();
        if (master && master != page && page->ShowMaster)
            collectSearched(master->Objects, searched);
        collectSearched(page->Objects, searched);
        for (PageObject *object : std::as_const(searched)) {
            if (!searchedText(pub, *page, *object).contains(mText))
                continue;
            if (++seen <= mMatches)
                continue;
            mMatches = seen;
            updateButtons();
            mSession.showFindMatch(FindMatch{page, object, 0});
            return;
        }
    }
    mSearching = false;
    updateButtons();
    mSession.notFound();
}

// --- the session's side

void RunSession::openFind(const QString &scope)
{
    if (!mFind) {
        mFind = new TFindForm(*this, mWindow.pageWidget() ? mWindow.pageWidget()->window() : nullptr);
    }
    mFind->setLanguage();
    mFind->setScope(scope);
    mFind->show();
    mFind->raise();
    mFind->activateWindow();
    mFind->edit()->setFocus(Qt::OtherFocusReason);
}

TFindForm *RunSession::findForm() const
{
    return mFind.data();
}

void RunSession::closeFind()
{
    mHighlight = nullptr;
    if (mFind)
        mFind->close();
}

void RunSession::showFindMatch(const FindMatch &match)
{
    if (match.page != pub().currentPage())
        showPage(match.page);
    if (!RunMode || pub().currentPage() != match.page)
        return;
    const PageObject *old = mHighlight;
    mHighlight = match.object;
    repaintObject(old);
    repaintObject(mHighlight);
}

void RunSession::notFound()
{
    messageBox(language(L_FINDTITLE), language(L_FINDERROR), {language(L_OK)});
}

void RunSession::alert(const QString &title, const QString &text)
{
    showAlert(title, text);
}

} // namespace vardeko
