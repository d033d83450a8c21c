// Options > Check Spelling: Entire Publication, This Page and the selected objects.
#include "spellcommands.h"

#include "articleobjects.h"
#include "childform.h"
#include "editcontroller.h"
#include "filenames.h"
#include "maincommands.h"
#include "mainform.h"
#include "pageview.h"
#include "publication.h"
#include "shelldialogs.h"
#include "spellform.h"

#include <QAction>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>

namespace vardeko {

namespace {

inline constexpr QLatin1String SpellTitle("Check Spelling");
inline constexpr QLatin1String NoDictionary(
    "No spelling dictionary is installed.\n\nInstall a Hunspell dictionary\n(for example the package hunspell-en-us).");
inline constexpr QLatin1String NothingToCheck("There is no text to check here.");
inline constexpr QLatin1String CheckComplete("The spelling check is complete.");
inline constexpr QLatin1String UnableToWrite("Unable to write the corrected article:\n");

SpellCommands::DialogDriver &dialogDriver()
{
    static SpellCommands::DialogDriver driver;
    return driver;
}

// The publication's own words, which tell its language.
QStringList publicationTexts(const Publication &pub)
{
    QStringList texts(pub.Settings.Language.begin(), pub.Settings.Language.end());
    texts.append(pub.Settings.Title);
    return texts;
}

} // namespace

SpellCommands::SpellCommands(TMainForm &form)
    : QObject(&form)
    , mForm(form)
{}

void SpellCommands::setDialogDriver(DialogDriver driver)
{
    dialogDriver() = std::move(driver);
}

void SpellCommands::connectCommands()
{
    const MainCommands &cmd = mForm.commands();
    auto bind = [this](QAction *action, SpellScope scope) {
        connect(action, &QAction::triggered, this, [this, scope] { mForm.guarded([this, scope] { check(scope); }); });
    };
    bind(cmd.spellPublication, SpellScope::Publication);
    bind(cmd.spellPage, SpellScope::Page);
    bind(cmd.spellSelection, SpellScope::Selection);
}

void SpellCommands::updateStates()
{
    const MainCommands &cmd = mForm.commands();
    TChildForm *child = mForm.activeChild();
    const bool editing = child && child->isEditing();
    const Page *current = child ? child->publication().currentPage() : nullptr;
    cmd.spellPublication->setEnabled(editing);
    cmd.spellPage->setEnabled(editing && current);
    cmd.spellSelection->setEnabled(editing && current && countSelected(current->Objects) > 0);
}

void SpellCommands::check(SpellScope scope)
{
    TChildForm *child = mForm.activeChild();
    if (!child || !child->isEditing())
        return;
    Publication &pub = child->publication();

    SpellDictionary dictionary;
    const QString language = chooseDictionary(
        SpellDictionary::available(), QLocale::system().name(), publicationTexts(pub),
        [](const QString &name, const QStringList &words) {
            SpellDictionary candidate;
            if (!candidate.open(name))
                return -1;
            return int(std::count_if(words.begin(), words.end(),
                                     [&](const QString &word) { return candidate.isCorrect(word); }));
        });
    if (language.isEmpty() || !dictionary.open(language)) {
        mForm.dialogs().alert(&mForm, SpellTitle, NoDictionary);
        return;
    }

    const QString baseDir = pub.FileName.isEmpty() ? QString() : QFileInfo(pub.FileName).absolutePath();
    QList<SpellTarget> targets = spellTargets(pub, scope, [&](const QString &name) {
        const QString file = locateFile(name, baseDir);
        return QFileInfo(file).isFile() ? file : QString();
    });
    if (targets.isEmpty()) {
        mForm.dialogs().alert(&mForm, SpellTitle, NothingToCheck);
        return;
    }

    PersonalWords personal;
    SpellSession session(targets, dictionary, &personal);
    // Changes to titles and captions are edits of their page: one step of the history for
    // each page the check changes, like any other edit.
    EditController *controller = child->controller();
    Page *stepPage = nullptr;
    session.beforeChange = [&](const SpellTarget &target) {
        if (target.kind != SpellTarget::Article && target.page && target.page != stepPage) {
            if (stepPage)
                controller->commitStep(SpellTitle);
            controller->beginStep(target.page);
            stepPage = target.page;
        }
        pub.Modified = true;
    };
    TSpellForm dialog(session, language, &mForm);
    dialog.showTarget = [&](const SpellTarget &target) {
        if (target.page && target.page != pub.currentPage())
            child->showPage(target.page);
    };
    dialog.report = [this](const QString &message) { mForm.dialogs().alert(&mForm, SpellTitle, message); };
    bool completed = true;
    if (dialog.start()) {
        if (dialogDriver())
            dialogDriver()(dialog);
        else
            dialog.exec();
        completed = dialog.finished();
    }
    if (stepPage)
        controller->commitStep(SpellTitle);
    const QStringList failed = session.finish();
    if (session.changes() > 0) {
        pub.Modified = true;
        child->pageView()->articles().refreshChanged(pub);
        child->repaintPage();
        mForm.updateCommandStates();
    }
    for (const QString &file : failed)
        mForm.dialogs().alert(&mForm, SpellTitle, UnableToWrite + file);
    if (completed)
        mForm.dialogs().alert(&mForm, SpellTitle, CheckComplete);
}

} // namespace vardeko
