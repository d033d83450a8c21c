// Tests of the spelling check: words, dictionaries, the walk and the menu commands.
#include "tst_spelling.h"

#include "childform.h"
#include "editcontroller.h"
#include "fakedialogs.h"
#include "maincommands.h"
#include "mainform.h"
#include "publication.h"
#include "spellcommands.h"
#include "spelling.h"
#include "spellform.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

using namespace vardeko;

namespace {

bool haveEnglish()
{
    return SpellDictionary::available().contains(QStringLiteral("en_US"));
}

PageObject *addObject(Publication &pub, Page &page, int kind, const QString &text)
{
    ObjectPtr object = pub.createObject(kind);
    PageObject *raw = object.get();
    if (TextData *t = raw->text())
        t->Text = text;
    else if (ButtonData *b = raw->button())
        b->Text = text;
    else if (ArticleData *a = raw->article())
        a->FileName = text;
    insertObject(page.Objects, std::move(object), nullptr);
    return raw;
}

QStringList wordList(const QString &text, SpellMarkup markup)
{
    QStringList words;
    for (const SpellWord &w : spellWords(text, markup))
        words.append(text.mid(w.start, w.length));
    return words;
}

} // namespace

void TestSpelling::init()
{
    QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Sarquel"), QStringLiteral("Vardeko")).clear();
    QFile::remove(PersonalWords::defaultFileName());
    mForm = new TMainForm;
    auto dialogs = std::make_unique<FakeDialogs>();
    mDialogs = dialogs.get();
    mForm->setDialogs(std::move(dialogs));
    mForm->show();
    QVERIFY(QTest::qWaitForWindowExposed(mForm));
}

void TestSpelling::cleanup()
{
    SpellCommands::setDialogDriver(nullptr);
    for (TChildForm *child : mForm->childForms())
        child->publication().Modified = false;
    delete mForm;
    mForm = nullptr;
    QFile::remove(PersonalWords::defaultFileName());
}

void TestSpelling::wordsOfTitlesAndArticles_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("article");
    QTest::addColumn<QStringList>("words");
    QTest::newRow("title lines") << "Hello|wrld again" << false << QStringList{"Hello", "wrld", "again"};
    QTest::newRow("variables are not words") << "Dear [UserName], welcme" << false << QStringList{"Dear", "welcme"};
    QTest::newRow("digits, letters alone, names") << "abc123 a ok FILE.TXT e.g. C:\\DIR\\X.PCX http://x.org"
                                                  << false << QStringList{"ok"};
    QTest::newRow("sentences end") << "Done. Next: go, gud." << false << QStringList{"Done", "Next", "go", "gud"};
    QTest::newRow("apostrophes inside") << "don't 'quoted' it\u2019s" << false
                                        << QStringList{"don't", "quoted", "it\u2019s"};
    QTest::newRow("accents") << "caf\u00e9 na\u00efve" << false << QStringList{"caf\u00e9", "na\u00efve"};
    QTest::newRow("style codes") << "^Bbold^b and ^Iitalc^i" << true << QStringList{"bold", "and", "italc"};
    QTest::newRow("link text, not target") << "see ^Lthe indx=Pagge Two^l now" << true
                                           << QStringList{"see", "the", "indx", "now"};
    QTest::newRow("markers hidden") << "^Msecretname^mVisible" << true << QStringList{"Visible"};
    QTest::newRow("spacing numbers") << "^S12word ^t5tabbed" << true << QStringList{"word", "tabbed"};
    QTest::newRow("literal caret") << "up^^down" << true << QStringList{"up", "down"};
    QTest::newRow("lines of an article") << "first line\r\nsecnd line" << true
                                         << QStringList{"first", "line", "secnd", "line"};
}

void TestSpelling::wordsOfTitlesAndArticles()
{
    QFETCH(QString, text);
    QFETCH(bool, article);
    QFETCH(QStringList, words);
    QCOMPARE(wordList(text, article ? SpellMarkup::Article : SpellMarkup::Title), words);
}

void TestSpelling::dictionaryChoice_data()
{
    QTest::addColumn<QStringList>("available");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("favoured"); // the dictionary that knows the texts best, if any
    QTest::addColumn<QString>("chosen");
    const QStringList three{"de_DE", "en_GB", "en_US"};
    QTest::newRow("none") << QStringList{} << "en_US" << "" << "";
    QTest::newRow("only one") << QStringList{"fr_FR"} << "en_US" << "" << "fr_FR";
    QTest::newRow("locale") << three << "de_DE" << "" << "de_DE";
    QTest::newRow("locale's language") << three << "en_AU" << "" << "en_GB";
    QTest::newRow("English when the locale has none") << three << "fi_FI" << "" << "en_US";
    QTest::newRow("publication's language wins") << three << "en_US" << "de_DE" << "de_DE";
}

void TestSpelling::dictionaryChoice()
{
    QFETCH(QStringList, available);
    QFETCH(QString, locale);
    QFETCH(QString, favoured);
    QFETCH(QString, chosen);
    auto known = [&](const QString &language, const QStringList &words) {
        return language == favoured ? int(words.size()) : 1;
    };
    QCOMPARE(chooseDictionary(available, locale, {QStringLiteral("Abbrechen Weiter Ja Nein")}, known), chosen);
}

void TestSpelling::hunspellDictionary()
{
    if (!haveEnglish())
        QSKIP("the en_US Hunspell dictionary is not installed");
    SpellDictionary dictionary;
    QVERIFY(!dictionary.open(QStringLiteral("xx_NOPE")));
    QVERIFY(!dictionary.isOpen());
    QVERIFY(dictionary.open(QStringLiteral("en_US")));
    QVERIFY(dictionary.isCorrect(QStringLiteral("publication")));
    QVERIFY(dictionary.isCorrect(QStringLiteral("don\u2019t")));
    QVERIFY(!dictionary.isCorrect(QStringLiteral("pubilcation")));
    QVERIFY(dictionary.suggestions(QStringLiteral("pubilcation")).contains(QStringLiteral("publication")));
    dictionary.addWord(QStringLiteral("Vardeko"));
    QVERIFY(dictionary.isCorrect(QStringLiteral("Vardeko")));
}

void TestSpelling::walkChangesIgnoresAndAdds()
{
    if (!haveEnglish())
        QSKIP("the en_US Hunspell dictionary is not installed");
    QTemporaryDir dir;
    const QString articleFile = dir.filePath(QStringLiteral("STORY.TXT"));
    {
        QFile file(articleFile);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("A ^Bgrate^b story\r\nwith a gud end, gud.\r\n");
    }
    Publication pub;
    Page &page = *pub.page(0);
    PageObject *title = addObject(pub, page, TextKind, QStringLiteral("Teh house|of teh Zorblax"));
    PageObject *button = addObject(pub, page, ButtonKind, QStringLiteral("Contnue"));
    PageObject *entry = addObject(pub, page, ButtonKind, QStringLiteral("Typd by reader"));
    entry->button()->Style = EntryField;
    addObject(pub, page, ArticleKind, QStringLiteral("STORY.TXT"));
    pub.setCurrentPage(&page);

    QList<SpellTarget> targets =
        spellTargets(pub, SpellScope::Page, [&](const QString &name) { return dir.filePath(name); });
    // Stacking order, bottom first; the entry field is left alone.
    QCOMPARE(targets.size(), 3);

    SpellDictionary dictionary;
    QVERIFY(dictionary.open(QStringLiteral("en_US")));
    PersonalWords personal(dir.filePath(QStringLiteral("words.dic")));
    SpellSession session(targets, dictionary, &personal);
    QList<const PageObject *> changedObjects;
    session.beforeChange = [&](const SpellTarget &t) { changedObjects.append(t.object); };

    Misspelling m;
    QVERIFY(session.next(&m));
    QCOMPARE(m.word, QStringLiteral("Teh"));
    QCOMPARE(m.context, QStringLiteral("Teh house"));
    QVERIFY(m.suggestions.contains(QStringLiteral("The")));
    session.changeAll(QStringLiteral("The"));
    // "teh" differs in case: asked again.
    QVERIFY(session.next(&m));
    QCOMPARE(m.word, QStringLiteral("teh"));
    QCOMPARE(m.context, QStringLiteral("of teh Zorblax"));
    QCOMPARE(m.contextStart, 3);
    session.change(QStringLiteral("the"));
    QVERIFY(session.next(&m));
    QCOMPARE(m.word, QStringLiteral("Zorblax"));
    QVERIFY(session.addToDictionary());
    QVERIFY(session.next(&m));
    QCOMPARE(m.word, QStringLiteral("Contnue"));
    session.ignore();
    QVERIFY(session.next(&m));
    QCOMPARE(m.word, QStringLiteral("gud"));
    QCOMPARE(m.context, QStringLiteral("with a gud end, gud."));
    session.changeAll(QStringLiteral("good"));
    // The second "gud" was changed without asking; "grate" is a word.
    QVERIFY(!session.next(&m));

    QCOMPARE(title->text()->Text, QStringLiteral("The house|of the Zorblax"));
    QCOMPARE(button->button()->Text, QStringLiteral("Contnue"));
    QCOMPARE(changedObjects, QList<const PageObject *>{title});
    QCOMPARE(session.changes(), 4);
    // Articles are written at the end, in their own encoding, codes kept.
    QFile file(articleFile);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("A ^Bgrate^b story\r\nwith a gud end, gud.\r\n"));
    file.close();
    QVERIFY(session.finish().isEmpty());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("A ^Bgrate^b story\r\nwith a good end, good.\r\n"));
    // The added word is known to the next check, from the personal dictionary.
    QCOMPARE(PersonalWords(personal.fileName()).words(), QStringList{"Zorblax"});
    SpellDictionary fresh;
    QVERIFY(fresh.open(QStringLiteral("en_US")));
    PersonalWords again(personal.fileName());
    SpellSession second(spellTargets(pub, SpellScope::Page, {}), fresh, &again);
    QVERIFY(second.next(&m));
    QCOMPARE(m.word, QStringLiteral("Contnue"));
    QVERIFY(!second.next(&m));
}

void TestSpelling::targetsFollowTheScope()
{
    Publication pub;
    pub.appendPage(pub.createPage(QStringLiteral("Two")));
    addObject(pub, *pub.masterPage(), TextKind, QStringLiteral("master"));
    PageObject *one = addObject(pub, *pub.page(0), TextKind, QStringLiteral("one"));
    addObject(pub, *pub.page(0), TextKind, QString()); // nothing to check
    addObject(pub, *pub.page(1), ButtonKind, QStringLiteral("two"));
    // The same article twice, and one whose file is missing.
    addObject(pub, *pub.page(0), ArticleKind, QStringLiteral("A.TXT"));
    addObject(pub, *pub.page(1), ArticleKind, QStringLiteral("a.txt"));
    addObject(pub, *pub.page(1), ArticleKind, QStringLiteral("MISSING.TXT"));
    auto locate = [](const QString &name) {
        return name.compare(QLatin1String("a.txt"), Qt::CaseInsensitive) == 0 ? QStringLiteral("/tmp/A.TXT")
                                                                              : QString();
    };
    auto kinds = [](const QList<SpellTarget> &targets) {
        QList<int> list;
        for (const SpellTarget &t : targets)
            list.append(t.kind);
        return list;
    };
    const QList<SpellTarget> all = spellTargets(pub, SpellScope::Publication, locate);
    QCOMPARE(kinds(all), (QList<int>{SpellTarget::Title, SpellTarget::Title, SpellTarget::Article, SpellTarget::Caption}));
    QCOMPARE(all.first().page, pub.masterPage());
    pub.setCurrentPage(pub.page(0));
    QCOMPARE(spellTargets(pub, SpellScope::Page, locate).size(), 2);
    QVERIFY(spellTargets(pub, SpellScope::Selection, locate).isEmpty());
    one->Selected = true;
    const QList<SpellTarget> selected = spellTargets(pub, SpellScope::Selection, locate);
    QCOMPARE(selected.size(), 1);
    QCOMPARE(selected.first().object, one);
}

void TestSpelling::checkThisPageThroughTheMenu()
{
    if (!haveEnglish())
        QSKIP("the en_US Hunspell dictionary is not installed");
    TChildForm *child = mForm->newUntitled();
    Publication &pub = child->publication();
    PageObject *title = addObject(pub, *pub.page(0), TextKind, QStringLiteral("Welcom home"));
    child->showPage(pub.masterPage());
    child->showPage(pub.page(0));
    pub.Modified = false;
    QString where;
    QString context;
    SpellCommands::setDialogDriver([&](TSpellForm &form) {
        where = form.WhereLabel->text();
        context = form.ContextView->toPlainText();
        QVERIFY(form.SuggestionList->count() > 0);
        form.ChangeToEdit->setText(QStringLiteral("Welcome"));
        form.ChangeBtn->click();
        QVERIFY(form.finished());
    });
    mForm->commands().spellPage->trigger();
    QCOMPARE(where, QStringLiteral("Text on page \"%1\"").arg(pub.page(0)->Title));
    QCOMPARE(context, QStringLiteral("Welcom home"));
    QCOMPARE(title->text()->Text, QStringLiteral("Welcome home"));
    QVERIFY(pub.Modified);
    QCOMPARE(mDialogs->alerts.size(), 1);
    QCOMPARE(mDialogs->alerts.first().text, QStringLiteral("The spelling check is complete."));
    // The change is an edit of the page: undo puts the old text back.
    QVERIFY(child->controller()->canUndo());
    QVERIFY(child->controller()->undo());
    const PageObject *restored = pub.page(0)->Objects.front().get();
    QCOMPARE(restored->text()->Text, QStringLiteral("Welcom home"));

    // Cancelling stops without the closing message.
    mDialogs->alerts.clear();
    SpellCommands::setDialogDriver([](TSpellForm &form) { form.CancelBtn->click(); });
    mForm->commands().spellPublication->trigger();
    QVERIFY(mDialogs->alerts.isEmpty());
}

void TestSpelling::commandStates()
{
    const MainCommands &cmd = mForm->commands();
    QVERIFY(!cmd.spellPublication->isEnabled());
    TChildForm *child = mForm->newUntitled();
    Publication &pub = child->publication();
    PageObject *title = addObject(pub, *pub.page(0), TextKind, QStringLiteral("Words"));
    child->showPage(pub.masterPage());
    child->showPage(pub.page(0));
    QVERIFY(cmd.spellPublication->isEnabled());
    QVERIFY(cmd.spellPage->isEnabled());
    QVERIFY(!cmd.spellSelection->isEnabled());
    title->Selected = true;
    mForm->updateCommandStates();
    QVERIFY(cmd.spellSelection->isEnabled());
    QCOMPARE(cmd.spellSelection->text(), QStringLiteral("&Selected Object"));
}
