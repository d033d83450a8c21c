// The reader's search: the "Find" window and the walk over pages and texts.
#include "findform.h"

#include "articlefiles.h"
#include "articleobjects.h"
#include "ioerrors.h"
#include "runmessages.h"
#include "runproviders.h"
#include "runsession.h"
#include "scriptlines.h"
#include "scriptmessages.h"
#include "textcodec.h"
#include "textexpansion.h"

#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace vardeko {

namespace {

// What a search looks at on a page, in stacking order.
struct Searched
{
    PageObject *object = nullptr;
    QString file; // articles and TextWindow files
    QString textWindowLine;
};

void collectSearched(const RunSession &session, const ObjectList &stack, QList<Searched> &out)
{
    forEachObject(stack, [&](PageObject &o) {
        if (o.isGroup())
            return;
        if (o.text()) {
            out.append({&o, {}, {}});
        } else if (const ArticleData *a = o.article()) {
            if (!a->FileName.trimmed().isEmpty())
                out.append({&o, session.resolveFile(a->FileName.trimmed()), {}});
        } else if (const ButtonData *b = o.button()) {
            // Only scripts that can hold the command are split into lines.
            const ActionCommand &textWindow = ActionCommands[CmdTextWindow];
            if (!b->Action.contains(QLatin1String(textWindow.Name), Qt::CaseInsensitive)
                && !b->Action.contains(QLatin1String(textWindow.Code), Qt::CaseInsensitive))
                return;
            const ScriptLines lines(b->Action);
            for (int i = 1; i <= lines.count(); ++i) {
                const ScriptLine *line = lines.line(i);
                if (line->kind == ScriptLineKind::Command && line->command == CmdTextWindow && line->params.size() >= 4
                    && !line->params.at(3).trimmed().isEmpty())
                    out.append({&o, session.resolveFile(line->params.at(3).trimmed()), line->text});
            }
        }
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

// Whether line `i` holds a match, one that may go on into the next line (the line break
// reads as one blank).
bool lineMatches(const QStringList &lines, qsizetype i, const QString &text)
{
    const QString &line = lines.at(i);
    if (line.contains(text))
        return true;
    if (i + 1 >= lines.size())
        return false;
    const QString joined = line + u' ' + lines.at(i + 1);
    const qsizetype at = joined.indexOf(text, qMax<qsizetype>(0, line.size() - text.size() + 1));
    return at >= 0 && at <= line.size();
}

// Runs of blanks read as one, as the layout reads the words of a line.
QString collapseBlanks(const QString &s)
{
    QString out;
    out.reserve(s.size());
    for (const QChar c : s) {
        if (c == u' ' && out.endsWith(u' '))
            continue;
        out += c;
    }
    return out;
}

// Lines joined by one blank, blanks collapsed; *starts gets where each line begins.
QString joinedText(const QStringList &lines, std::vector<qsizetype> *starts)
{
    QString all;
    for (const QString &line : lines) {
        if (!all.isEmpty() && !all.endsWith(u' '))
            all += u' ';
        starts->push_back(all.size());
        QString l = collapseBlanks(line);
        if (all.endsWith(u' ') && l.startsWith(u' '))
            l.remove(0, 1);
        all += l;
    }
    return all;
}

// A formatted line as searches read text: no padding, no width the layout put after
// the first centring code, no codes, upper-cased.
QString displayedText(QString line)
{
    while (line.endsWith(u' ') || line.endsWith(u'\r'))
        line.chop(1);
    for (qsizetype i = 0; i + 1 < line.size(); ++i) {
        if (line.at(i) != u'^')
            continue;
        if (line.at(i + 1) == u'C') {
            qsizetype end = i + 2;
            while (end < line.size() && line.at(end).isDigit())
                ++end;
            if (end > i + 2 && end < line.size() && line.at(end) == u' ')
                line.remove(i + 2, end + 1 - (i + 2));
            break;
        }
        ++i; // a literal caret or another code
    }
    return stripArticleCodes(line).toUpper();
}

} // namespace

int displayLineOfMatch(const QStringList &searchedSource, int line, const QString &text,
                       const QString &formattedFile)
{
    const QString wanted = collapseBlanks(text);
    if (wanted.isEmpty() || line < 1 || line > searchedSource.size())
        return -1;
    std::vector<qsizetype> sourceStarts;
    const QString source = joinedText(searchedSource, &sourceStarts);
    const qsizetype at = source.indexOf(wanted, sourceStarts[size_t(line - 1)]);
    if (at < 0)
        return -1;
    int before = 0;
    for (qsizetype i = source.indexOf(wanted); i >= 0 && i < at; i = source.indexOf(wanted, i + 1))
        ++before;

    QFile file(formattedFile);
    if (formattedFile.isEmpty() || !file.open(QIODevice::ReadOnly))
        return -1;
    QStringList shown;
    for (const QString &l : decodeFileText(file.readAll()).split(u'\n'))
        shown.append(displayedText(l));
    std::vector<qsizetype> shownStarts;
    const QString display = joinedText(shown, &shownStarts);
    qsizetype found = display.indexOf(wanted);
    for (int n = 0; found >= 0 && n < before; ++n)
        found = display.indexOf(wanted, found + 1);
    if (found < 0)
        return -1;
    const auto next = std::upper_bound(shownStarts.begin(), shownStarts.end(), found);
    return int(next - shownStarts.begin()) - 1;
}

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

const QStringList *TFindForm::readLines(const QString &file) const
{
    const auto found = mFiles.constFind(file);
    return found == mFiles.constEnd() ? nullptr : &found.value();
}

bool TFindForm::searchedLines(const QString &file, const QStringList **lines)
{
    const auto found = mFiles.constFind(file);
    if (found != mFiles.constEnd()) {
        *lines = &found.value();
        return true;
    }
    if (mUnreadable.contains(file))
        return false;
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        // Once per search, however many objects show the file.
        mUnreadable.insert(file);
        const int code = f.error() == QFileDevice::OpenError && !f.exists() ? int(IoFileNotFound) : 5;
        mSession.alert(QLatin1String(MsgAppTitle), file + QLatin1String("\r\r") + ioErrorMessage(code));
        return false;
    }
    QStringList read;
    for (const QString &line : decodeFileText(f.readAll()).split(u'\n')) {
        QString l = line;
        if (l.endsWith(u'\r'))
            l.chop(1);
        read.append(stripArticleCodes(l).toUpper());
    }
    if (!read.isEmpty() && read.last().isEmpty())
        read.removeLast();
    *lines = &mFiles.insert(file, read).value();
    return true;
}

void TFindForm::search()
{
    mText = FindEdit->text().toUpper();
    if (mText.isEmpty())
        return;
    mFiles.clear();
    mUnreadable.clear();
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
        QList<Searched> searched;
        const Page *master = pub.masterPage();
        if (master && master != page && page->ShowMaster)
            collectSearched(mSession, master->Objects, searched);
        collectSearched(mSession, page->Objects, searched);
        for (const Searched &item : std::as_const(searched)) {
            if (item.file.isEmpty()) {
                if (!searchedText(pub, *page, *item.object).contains(mText))
                    continue;
                if (++seen <= mMatches)
                    continue;
                mMatches = seen;
                updateButtons();
                mSession.showFindMatch(FindMatch{page, item.object, 0, {}, {}});
                return;
            }
            const QStringList *lines = nullptr;
            if (!searchedLines(item.file, &lines))
                continue;
            for (qsizetype i = 0; i < lines->size(); ++i) {
                if (!lineMatches(*lines, i, mText) || ++seen <= mMatches)
                    continue;
                mMatches = seen;
                updateButtons();
                mSession.showFindMatch(FindMatch{page, item.object, int(i + 1), item.file, item.textWindowLine});
                return;
            }
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
    mHighlightLine = 0;
    runProviders().windows->showFoundLine(*this, QString(), -1);
    if (mFind)
        mFind->close();
}

void RunSession::showFindMatch(const FindMatch &match)
{
    if (match.page != pub().currentPage())
        showPage(match.page);
    if (!RunMode || pub().currentPage() != match.page)
        return;
    const QRect old = findHighlightRect();
    mHighlight = match.object;
    mHighlightLine = 0;
    WindowProvider *windows = runProviders().windows;
    // The line where layout shows the match; the source line when that cannot be told.
    auto shownLine = [&](const QString &formatted) {
        const QStringList *lines = mFind ? mFind->readLines(match.file) : nullptr;
        const int shown = lines ? displayLineOfMatch(*lines, match.line, mFind->searchText(), formatted) : -1;
        return shown >= 0 ? shown : match.line - 1;
    };
    if (!match.textWindowLine.isEmpty()) {
        // The button's text window opens (or comes back) at the matched line.
        mHighlight = nullptr;
        ExecuteScript(match.textWindowLine);
        windows->showFoundLine(*this, match.file, shownLine(windows->formattedTextFile(*this, match.file)));
    } else {
        windows->showFoundLine(*this, QString(), -1);
    }
    if (match.textWindowLine.isEmpty() && match.line > 0 && match.object->article()) {
        // The article scrolls so that the matched line is its top line.
        if (ArticleObjects *articles = mWindow.articleObjects()) {
            const ArticleData *a = match.object->article();
            // Its lines are known once it is laid out; the page may not have been drawn.
            if (a->ReformatNeeded || a->WorkingFile.isEmpty() || articles->textRect(*match.object).isEmpty())
                mWindow.renderCurrentPage();
            const int shown = shownLine(a->WorkingFile);
            const int top = qBound(0, shown, qMax(0, articles->scrollRange(*match.object).verticalMax));
            articles->setScrollPosition(*match.object, QPoint(0, top));
            mHighlightLine = shown - top + 1;
        }
    }
    if (!old.isEmpty())
        mWindow.repaintPage(old.adjusted(-3, -3, 3, 3));
    repaintObject(match.object);
}

QRect RunSession::findHighlightRect() const
{
    if (!mHighlight)
        return QRect();
    const ArticleObjects *articles = mWindow.articleObjects();
    if (mHighlightLine <= 0 || !articles || !mHighlight->article())
        return mHighlight->box().normalized();
    // One line of the article's text, drawn in the article's font.
    const QRect text = articles->textRect(*mHighlight);
    const ArticleData *a = mHighlight->article();
    const int height = qMax(1, ArticleCanvas(ArticleFont{a->Font, a->FontSize, a->FontStyle}).lineHeight());
    const QRect line(text.left(), text.top() + (mHighlightLine - 1) * height, text.width(), height);
    return line.intersected(text);
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
