// Objects bound to variables follow them; shown times and dates follow the clock.
#include "runsession.h"

#include "debugform.h"
#include "pagepainter.h"
#include "textexpansion.h"

#include <QLineEdit>

namespace vardeko {

namespace {

template<typename F>
void forEachButton(ObjectList &stack, const F &visit)
{
    forEachObject(stack, [&visit](PageObject &o) {
        if (!o.isGroup() && o.button())
            visit(&o);
    });
}

template<typename F>
void forEachText(const ObjectList &stack, const F &visit)
{
    forEachObject(stack, [&visit](PageObject &o) {
        if (!o.isGroup() && o.text())
            visit(&o);
    });
}

} // namespace

void RunSession::variableListChanged()
{
    // A hidden debug window lists nothing.
    if (RunMode && !mDebugShown)
        return;
    if (TDebugForm *debug = mWindow.debugWindow())
        debug->RefreshVariables(globalVariables());
}

void RunSession::variableChanged(const QString &upperName)
{
    if (!RunMode)
        return;
    const Page *page = pub().currentPage();
    if (page == mQuietPage && upperName == mQuietName)
        return;
    const bool bound = applyVariable(upperName);
    // Texts showing the variable are drawn again.
    const ReferringTexts &shown = shownReferringTexts();
    const auto found = shown.constFind(upperName);
    if (found != shown.constEnd()) {
        for (const PageObject *o : found.value())
            repaintObject(o);
    } else if (!bound) {
        mQuietName = upperName;
        mQuietPage = page;
    }
}

namespace {

// The names a text refers to as "[Name]": every bracket-free run between a "[" and the
// next "]", upper-cased as the store keeps its names.
QStringList referencedNames(const QString &text)
{
    QStringList names;
    qsizetype open = -1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'[') {
            open = i;
        } else if (c == u']' && open >= 0) {
            const QString name = text.mid(open + 1, i - open - 1).toUpper();
            if (!name.isEmpty() && !names.contains(name))
                names.append(name);
            open = -1;
        }
    }
    return names;
}

} // namespace

// The shown page's texts (the master page's too when it shows) by the variables they
// show; a variable that changes looks up only its own texts, so a loop counting a
// variable no text shows costs one look-up per line.
const RunSession::ReferringTexts &RunSession::shownReferringTexts()
{
    const Page *page = pub().currentPage();
    if (page == mReferringPage)
        return mReferringTexts;
    mReferringTexts.clear();
    mReferringPage = page;
    if (!page)
        return mReferringTexts;
    auto index = [this](const PageObject *o) {
        for (const QString &name : referencedNames(o->text()->Text))
            mReferringTexts[name].append(o);
    };
    const Page *master = pub().masterPage();
    if (master && master != page && page->ShowMaster)
        forEachText(master->Objects, index);
    forEachText(page->Objects, index);
    return mReferringTexts;
}

void RunSession::indexBoundButtons()
{
    mBound.clear();
    mQuietName.clear();
    mQuietPage = nullptr;
    mReferringTexts.clear();
    mReferringPage = nullptr;
    Publication &p = pub();
    auto index = [this](PageObject *o) {
        const QString &name = o->button()->VarName;
        if (!name.isEmpty())
            mBound[VariableStore::normalizeName(name)].append(o);
    };
    if (p.masterPage())
        forEachButton(p.masterPage()->Objects, index);
    for (int i = 0; i < p.pageCount(); ++i)
        forEachButton(p.page(i)->Objects, index);
}

// Every page, the master page first: bound buttons take the variable's value; those
// shown are drawn again when they changed. False when no button follows the variable.
bool RunSession::applyVariable(const QString &upperName)
{
    const auto found = mBound.constFind(upperName);
    if (found == mBound.constEnd())
        return false;
    const QList<PageObject *> &bound = found.value();
    const QString value = globalVariables().valueOfNormalized(upperName);
    bool radioMatches = false;
    for (const PageObject *o : std::as_const(bound)) {
        const ButtonData *b = o->button();
        if (b->Style == RadioButton && !value.isEmpty() && b->Text.compare(value, Qt::CaseInsensitive) == 0)
            radioMatches = true;
    }
    for (PageObject *o : std::as_const(bound)) {
        ButtonData *b = o->button();
        bool changed = false;
        switch (b->Style) {
        case EntryField:
            if (b->Contents != value) {
                b->Contents = value;
                changed = true;
            }
            if (mEditedField == o && mEditor && !mSettingField && mEditor->text() != value)
                mEditor->setText(value); // not an edit of the reader's: no script runs
            break;
        case CheckBox: {
            const quint8 state = value.toUpper() == QLatin1String("CHECKED") ? 1 : 0;
            changed = b->State != state;
            b->State = state;
            break;
        }
        case RadioButton: {
            quint8 state = b->State;
            if (value.isEmpty())
                state = 0;
            else if (radioMatches)
                state = b->Text.compare(value, Qt::CaseInsensitive) == 0 ? 1 : 0;
            changed = b->State != state;
            b->State = state;
            break;
        }
        default:
            break;
        }
        if (changed)
            repaintObject(o);
    }
    return true;
}

void RunSession::clearOtherRadios(PageObject *selected)
{
    const QString upperName = VariableStore::normalizeName(selected->button()->VarName);
    for (PageObject *o : mBound.value(upperName)) {
        ButtonData *b = o->button();
        if (o != selected && b->Style == RadioButton && b->State != 0) {
            b->State = 0;
            repaintObject(o);
        }
    }
}

// Texts are expanded with the previous tick's time and with now; those that differ
// are drawn again, so [Time] and the dates stay current.
void RunSession::refreshTimes()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDateTime before = mLastTick.isValid() ? mLastTick : now;
    mLastTick = now;
    const Page *page = pub().currentPage();
    if (!page)
        return;
    const Page *master = pub().masterPage();
    auto check = [&](const PageObject *o) {
        const QString &text = o->text()->Text;
        if (!text.contains(u'['))
            return;
        if (expandShownText(text, pub(), page, before) != expandShownText(text, pub(), page, now))
            repaintObject(o);
    };
    forEachText(page->Objects, check);
    if (master && master != page && page->ShowMaster)
        forEachText(master->Objects, check);
}

} // namespace vardeko
