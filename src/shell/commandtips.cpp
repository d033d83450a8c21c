// Status tips that say why a command cannot be chosen now.
#include "commandtips.h"

#include "childform.h"
#include "maincommands.h"
#include "mainform.h"
#include "publication.h"

#include <QAction>
#include <QMenu>

namespace vardeko {

namespace tiptext {
inline constexpr QLatin1String NotBuilt("not part of this version yet");
inline constexpr QLatin1String NoPublication("open or create a publication first");
inline constexpr QLatin1String Running("stop the running publication first");
inline constexpr QLatin1String SelectObjects("select one or more objects first");
inline constexpr QLatin1String SelectTwo("select two or more objects to group");
inline constexpr QLatin1String SelectGroup("select one group");
inline constexpr QLatin1String SelectEditable("select one article, button, picture or text object");
inline constexpr QLatin1String ClipboardEmpty("the clipboard holds no objects, text or picture");
inline constexpr QLatin1String UndoOff("undo is turned off in Set Preferences");
inline constexpr QLatin1String NothingToUndo("there is nothing to undo");
inline constexpr QLatin1String EmptyPage("the page has no objects");
inline constexpr QLatin1String OnMaster("not on the master page");
inline constexpr QLatin1String OnePage("the publication has only one page");
inline constexpr QLatin1String MasterPalette("the master page has only a palette, edited on a 256-colour display");
inline constexpr QLatin1String FirstPage("this is the first page");
inline constexpr QLatin1String LastPage("this is the last page");
inline constexpr QLatin1String NoMaster("the publication has no master page");
inline constexpr QLatin1String Separator(": ");
} // namespace tiptext

CommandTips::CommandTips(TMainForm &form)
    : QObject(&form)
    , mForm(form)
{}

void CommandTips::attach()
{
    const MainCommands &c = mForm.commands();
    // What the state of the active window says, in the order the rules test it.
    auto child = [this] { return mForm.activeChild(); };
    auto page = [child]() -> const Page * {
        TChildForm *w = child();
        return w ? w->publication().currentPage() : nullptr;
    };
    auto onMaster = [child, page] {
        TChildForm *w = child();
        return w && page() && page() == w->publication().masterPage();
    };
    auto general = [this, child](QString specific) -> QString {
        if (!child())
            return tiptext::NoPublication;
        if (!child()->isEditing())
            return tiptext::Running;
        return specific;
    };
    auto selection = [general] { return general(tiptext::SelectObjects); };
    for (QAction *a : {c.cut, c.copy, c.deleteObjects, c.duplicate, c.bringToFront, c.sendToBack, c.align,
                       c.adjustObject})
        mReasons.insert(a, selection);
    mReasons.insert(c.group, [general] { return general(tiptext::SelectTwo); });
    mReasons.insert(c.ungroup, [general] { return general(tiptext::SelectGroup); });
    mReasons.insert(c.editObject, [general] { return general(tiptext::SelectEditable); });
    mReasons.insert(c.paste, [general] { return general(tiptext::ClipboardEmpty); });
    mReasons.insert(c.selectAll, [general] { return general(tiptext::EmptyPage); });
    mReasons.insert(c.undo, [this, general] {
        return general(mForm.preferences().Undo ? tiptext::NothingToUndo : tiptext::UndoOff);
    });
    auto pageCommand = [general, onMaster] { return general(onMaster() ? tiptext::OnMaster : QString()); };
    for (QAction *a : {c.addPage, c.copyPage, c.renamePage, c.deletePage, c.showMasterItems, c.tabAddPage,
                       c.tabCopyPage, c.tabRenamePage, c.tabDeletePage, c.tabMovePage, c.tabPageAttributes})
        mReasons.insert(a, pageCommand);
    mReasons.insert(c.movePage,
                    [general, onMaster] { return general(onMaster() ? tiptext::OnMaster : tiptext::OnePage); });
    mReasons.insert(c.pageAttributes,
                    [general, onMaster] { return general(onMaster() ? tiptext::MasterPalette : QString()); });
    mReasons.insert(c.spellSelection, [general] { return general(tiptext::SelectObjects); });
    auto firstOrLast = [child](QLatin1String why) {
        return [child, why]() -> QString { return child() ? QString(why) : QString(tiptext::NoPublication); };
    };
    mReasons.insert(c.firstPage, firstOrLast(tiptext::FirstPage));
    mReasons.insert(c.previousPage, firstOrLast(tiptext::FirstPage));
    mReasons.insert(c.nextPage, firstOrLast(tiptext::LastPage));
    mReasons.insert(c.lastPage, firstOrLast(tiptext::LastPage));
    mReasons.insert(c.masterPage, firstOrLast(tiptext::NoMaster));

    for (QAction *action : mForm.findChildren<QAction *>()) {
        if (action->objectName().isEmpty() || action->menu())
            continue;
        QString own = action->statusTip();
        if (own.isEmpty()) {
            own = action->text();
            own.remove(u'&');
            if (own.endsWith(QLatin1String("...")))
                own.chop(3);
        }
        mOwnTips.insert(action, own);
        connect(action, &QAction::changed, this, [this, action] { refresh(action); });
        refresh(action);
    }
}

QString CommandTips::reason(const QAction *action) const
{
    if (action->isEnabled())
        return {};
    if (mForm.isUnbuilt(action))
        return tiptext::NotBuilt;
    QString why;
    if (const auto rule = mReasons.constFind(action); rule != mReasons.constEnd())
        why = (*rule)();
    else if (!mForm.activeChild())
        why = tiptext::NoPublication;
    else if (!mForm.activeChild()->isEditing())
        why = tiptext::Running;
    return why;
}

void CommandTips::refreshAll()
{
    for (auto it = mOwnTips.constBegin(); it != mOwnTips.constEnd(); ++it)
        refresh(const_cast<QAction *>(it.key()));
}

void CommandTips::refresh(QAction *action)
{
    if (mRefreshing)
        return;
    const QString why = reason(action);
    const QString own = mOwnTips.value(action);
    const QString tip = why.isEmpty() ? own : own + tiptext::Separator + why;
    if (action->statusTip() == tip)
        return;
    mRefreshing = true;
    action->setStatusTip(tip);
    mRefreshing = false;
}

} // namespace vardeko
