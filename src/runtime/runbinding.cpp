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
    if (TDebugForm *debug = mWindow.debugWindow())
        debug->RefreshVariables(globalVariables());
}

void RunSession::variableChanged(const QString &upperName)
{
    if (!RunMode)
        return;
    applyVariable(upperName);
    // Texts showing the variable are drawn again.
    const QString reference = u'[' + upperName + u']';
    const Page *page = pub().currentPage();
    const Page *master = pub().masterPage();
    auto redraw = [&](const PageObject *o) {
        if (o->text()->Text.contains(reference, Qt::CaseInsensitive))
            repaintObject(o);
    };
    if (page) {
        forEachText(page->Objects, redraw);
        if (master && master != page && page->ShowMaster)
            forEachText(master->Objects, redraw);
    }
}

// Every page, the master page first: bound buttons take the variable's value; those
// shown are drawn again when they changed.
void RunSession::applyVariable(const QString &upperName)
{
    const QString value = globalVariables().valueOfNormalized(upperName);
    Publication &p = pub();
    QList<PageObject *> bound;
    auto gather = [&](PageObject *o) {
        if (!o->button()->VarName.isEmpty() && VariableStore::normalizeName(o->button()->VarName) == upperName)
            bound.append(o);
    };
    if (p.masterPage())
        forEachButton(p.masterPage()->Objects, gather);
    for (int i = 0; i < p.pageCount(); ++i)
        forEachButton(p.page(i)->Objects, gather);
    if (bound.isEmpty())
        return;
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
}

void RunSession::clearOtherRadios(PageObject *selected)
{
    const QString upperName = VariableStore::normalizeName(selected->button()->VarName);
    Publication &p = pub();
    auto clear = [&](PageObject *o) {
        ButtonData *b = o->button();
        if (o != selected && b->Style == RadioButton && b->State != 0 && !b->VarName.isEmpty()
            && VariableStore::normalizeName(b->VarName) == upperName) {
            b->State = 0;
            repaintObject(o);
        }
    };
    if (p.masterPage())
        forEachButton(p.masterPage()->Objects, clear);
    for (int i = 0; i < p.pageCount(); ++i)
        forEachButton(p.page(i)->Objects, clear);
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
