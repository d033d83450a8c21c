// Spelling: Hunspell dictionaries, the words of titles, captions and articles, and the
// walk through a publication that the Check Spelling dialog drives.
#pragma once

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>

namespace vardeko {

class Publication;
struct Page;
struct PageObject;

// --- dictionaries

// One Hunspell dictionary plus the author's personal words.
class SpellDictionary
{
public:
    SpellDictionary();
    ~SpellDictionary();
    SpellDictionary(const SpellDictionary &) = delete;
    SpellDictionary &operator=(const SpellDictionary &) = delete;

    // The installed dictionaries' names ("en_US", "de_DE"), sorted; searched in the
    // data folders' "hunspell" and "myspell" folders and in VARDEKO_DICTIONARY_PATH.
    static QStringList available();
    // Loads `language` (a name from available()); false when it cannot be read.
    bool open(const QString &language);
    bool isOpen() const { return mHandle != nullptr; }
    QString language() const { return mLanguage; }

    bool isCorrect(const QString &word) const;
    QStringList suggestions(const QString &word) const;
    // Known from now on; personal words are also written by PersonalWords.
    void addWord(const QString &word);

private:
    QByteArray encode(const QString &word) const;
    QString decode(const char *text) const;

    struct Handle;
    Handle *mHandle = nullptr;
    QString mLanguage;
    bool mUtf8 = true;
};

// The author's own dictionary: one word a line, UTF-8, kept beside the preferences.
class PersonalWords
{
public:
    explicit PersonalWords(QString fileName = defaultFileName());
    static QString defaultFileName();
    QString fileName() const { return mFileName; }
    QStringList words() const { return mWords; }
    // Adds the word and writes the file; false (with the word still known for this
    // session) when the file cannot be written.
    bool add(const QString &word);

private:
    QString mFileName;
    QStringList mWords;
};

// The dictionary for a publication: among the installed ones, the one that knows most
// words of the publication's own texts (its run-time messages and title); ties go to
// the system locale's language ("de_AT" takes "de_AT", else any "de_"), then to
// English, then to the first one. `knownWords(language, words)` counts.
QString chooseDictionary(const QStringList &available, const QString &localeName, const QStringList &texts,
                         const std::function<int(const QString &language, const QStringList &words)> &knownWords);

// --- words

enum class SpellMarkup {
    // Titles and captions: "[Name]" variable references are not words.
    Title,
    // Article files: caret codes, link targets and marker names are not words.
    Article,
};

struct SpellWord
{
    int start = 0;
    int length = 0;
};

// The words to check in `text`, in order: letters with inner apostrophes; words holding
// digits, single letters and what the markup hides are left out.
QList<SpellWord> spellWords(const QString &text, SpellMarkup markup);

// --- what a check covers

enum class SpellScope { Publication, Page, Selection };

struct SpellTarget
{
    enum Kind { Title, Caption, Article };
    Kind kind = Title;
    Page *page = nullptr;
    PageObject *object = nullptr;
    QString fileName; // Article: the file found for the object's name
};

// The texts a check walks: for the whole publication the master page then each page,
// for a page its objects, for the selection the selected objects of the current page;
// groups are searched through. An article file is checked once, where it is first met;
// `locate` finds an article's file (empty: missing, skipped).
QList<SpellTarget> spellTargets(Publication &pub, SpellScope scope,
                                const std::function<QString(const QString &storedName)> &locate);

// --- the walk

struct Misspelling
{
    int target = -1;
    QString word;
    int start = 0;
    // The line the word stands in, and the word's place in it.
    QString context;
    int contextStart = 0;
    QStringList suggestions;
};

// Steps through the targets' words, stopping at each one the dictionary does not know.
// Changes are made to the objects at once (the caller makes them undoable), to article
// texts in memory until finish() writes them.
class SpellSession
{
public:
    SpellSession(QList<SpellTarget> targets, SpellDictionary &dictionary, PersonalWords *personal = nullptr);

    // The next unknown word; false at the end.
    bool next(Misspelling *found);
    const QList<SpellTarget> &targets() const { return mTargets; }

    void ignore() {}
    void ignoreAll();
    // Replaces the current word; the check goes on after the replacement.
    void change(const QString &replacement);
    // The same, and every later occurrence of the word too.
    void changeAll(const QString &replacement);
    // Adds the word to the personal dictionary; false when its file could not be written.
    bool addToDictionary();

    // Called before the first change of a target's object (title or caption).
    std::function<void(const SpellTarget &)> beforeChange;
    // Writes the changed article files; the names that could not be written.
    QStringList finish();
    int changes() const { return mChanges; }
    QStringList changedArticles() const;

private:
    QString &textOf(int target);
    void replaceCurrent(const QString &replacement);

    QList<SpellTarget> mTargets;
    SpellDictionary &mDictionary;
    PersonalWords *mPersonal;
    QHash<int, QString> mArticleTexts;
    QSet<int> mChangedArticles;
    QSet<int> mChangedObjects;
    QSet<QString> mIgnored;
    QHash<QString, QString> mChangeAll;
    QList<SpellWord> mWords;
    int mTarget = -1;
    int mWord = 0;
    Misspelling mCurrent;
    int mChanges = 0;
};

} // namespace vardeko
