// The Check Spelling dialog: the unknown word in its line, suggestions, and the choices
// Ignore, Ignore All, Change, Change All and Add.
#include "spellform.h"

#include "publication.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

namespace vardeko {

namespace spelltext {
inline constexpr QLatin1String Caption("Check Spelling");
inline constexpr QLatin1String NotInDictionary("Not in Dictionary:");
inline constexpr QLatin1String ChangeTo("Change &To:");
inline constexpr QLatin1String Suggestions("Suggestio&ns:");
} // namespace spelltext

TSpellForm::TSpellForm(SpellSession &session, const QString &language, QWidget *parent)
    : QDialog(parent)
    , mSession(session)
{
    setObjectName(QStringLiteral("SpellForm"));
    setWindowTitle(spelltext::Caption + QStringLiteral(" (") + language + u')');
    auto *grid = new QGridLayout(this);

    WhereLabel = new QLabel(this);
    WhereLabel->setObjectName(QStringLiteral("WhereLabel"));
    grid->addWidget(WhereLabel, 0, 0, 1, 2);
    grid->addWidget(new QLabel(spelltext::NotInDictionary, this), 1, 0, 1, 2);
    ContextView = new QTextEdit(this);
    ContextView->setObjectName(QStringLiteral("ContextView"));
    ContextView->setReadOnly(true);
    ContextView->setFixedHeight(ContextView->fontMetrics().lineSpacing() * 4 + 12);
    ContextView->setMinimumWidth(360);
    grid->addWidget(ContextView, 2, 0);

    auto *changeLabel = new QLabel(spelltext::ChangeTo, this);
    ChangeToEdit = new QLineEdit(this);
    ChangeToEdit->setObjectName(QStringLiteral("ChangeToEdit"));
    changeLabel->setBuddy(ChangeToEdit);
    grid->addWidget(changeLabel, 3, 0);
    grid->addWidget(ChangeToEdit, 4, 0);
    auto *suggestLabel = new QLabel(spelltext::Suggestions, this);
    SuggestionList = new QListWidget(this);
    SuggestionList->setObjectName(QStringLiteral("SuggestionList"));
    suggestLabel->setBuddy(SuggestionList);
    grid->addWidget(suggestLabel, 5, 0);
    grid->addWidget(SuggestionList, 6, 0);

    auto *buttons = new QVBoxLayout;
    auto button = [&](const char *text, const char *name) {
        auto *b = new QPushButton(QLatin1String(text), this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        buttons->addWidget(b);
        return b;
    };
    IgnoreBtn = button("&Ignore", "IgnoreBtn");
    IgnoreAllBtn = button("I&gnore All", "IgnoreAllBtn");
    buttons->addSpacing(8);
    ChangeBtn = button("&Change", "ChangeBtn");
    ChangeAllBtn = button("Change A&ll", "ChangeAllBtn");
    buttons->addSpacing(8);
    AddBtn = button("&Add", "AddBtn");
    AddBtn->setToolTip(QStringLiteral("Add the word to your personal dictionary"));
    buttons->addStretch(1);
    CancelBtn = button("Cancel", "CancelBtn");
    grid->addLayout(buttons, 2, 1, 5, 1);
    ChangeBtn->setDefault(true);

    connect(SuggestionList, &QListWidget::currentTextChanged, ChangeToEdit, [this](const QString &text) {
        if (!text.isEmpty())
            ChangeToEdit->setText(text);
    });
    connect(SuggestionList, &QListWidget::itemDoubleClicked, this, [this] { ChangeBtn->click(); });
    // Change is offered once there is something else to change to.
    connect(ChangeToEdit, &QLineEdit::textChanged, this, [this](const QString &text) {
        const bool other = !text.isEmpty() && text != mCurrent.word;
        ChangeBtn->setEnabled(other);
        ChangeAllBtn->setEnabled(other);
    });
    connect(IgnoreBtn, &QPushButton::clicked, this, [this] {
        mSession.ignore();
        advance();
    });
    connect(IgnoreAllBtn, &QPushButton::clicked, this, [this] {
        mSession.ignoreAll();
        advance();
    });
    connect(ChangeBtn, &QPushButton::clicked, this, [this] {
        mSession.change(ChangeToEdit->text());
        advance();
    });
    connect(ChangeAllBtn, &QPushButton::clicked, this, [this] {
        mSession.changeAll(ChangeToEdit->text());
        advance();
    });
    connect(AddBtn, &QPushButton::clicked, this, [this] {
        if (!mSession.addToDictionary() && report)
            report(QStringLiteral("Unable to write the personal dictionary:\n") + PersonalWords::defaultFileName());
        advance();
    });
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

bool TSpellForm::start()
{
    if (!mSession.next(&mCurrent)) {
        mFinished = true;
        return false;
    }
    showCurrent();
    return true;
}

void TSpellForm::advance()
{
    if (!mSession.next(&mCurrent)) {
        mFinished = true;
        accept();
        return;
    }
    showCurrent();
}

QString TSpellForm::whereText(const SpellTarget &target) const
{
    const QString page = target.page ? target.page->Title : QString();
    switch (target.kind) {
    case SpellTarget::Title:
        return QStringLiteral("Text on page \"%1\"").arg(page);
    case SpellTarget::Caption:
        return QStringLiteral("Button caption on page \"%1\"").arg(page);
    case SpellTarget::Article:
        return QStringLiteral("Article %1 on page \"%2\"").arg(QFileInfo(target.fileName).fileName(), page);
    }
    return {};
}

void TSpellForm::showCurrent()
{
    const SpellTarget &target = mSession.targets().at(mCurrent.target);
    if (showTarget)
        showTarget(target);
    WhereLabel->setText(whereText(target));
    // The line with the word in bold red; lines of titles are shown as lines.
    const QString before = mCurrent.context.left(mCurrent.contextStart);
    const QString after = mCurrent.context.mid(mCurrent.contextStart + mCurrent.word.size());
    auto plain = [](QString text) {
        text.replace(u'|', u'\n');
        return text.toHtmlEscaped().replace(u'\n', QLatin1String("<br>"));
    };
    ContextView->setHtml(plain(before) + QStringLiteral("<b><font color=\"#c00000\">") + mCurrent.word.toHtmlEscaped()
                         + QStringLiteral("</font></b>") + plain(after));
    SuggestionList->clear();
    SuggestionList->addItems(mCurrent.suggestions);
    ChangeToEdit->setText(mCurrent.suggestions.isEmpty() ? mCurrent.word : mCurrent.suggestions.first());
    if (!mCurrent.suggestions.isEmpty())
        SuggestionList->setCurrentRow(0);
    ChangeToEdit->setFocus();
    ChangeToEdit->selectAll();
}

} // namespace vardeko
