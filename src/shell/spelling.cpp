// Spelling: Hunspell dictionaries, the words of titles, captions and articles, and the
// walk through a publication that the Check Spelling dialog drives.
#include "spelling.h"

#include "publication.h"
#include "textcodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QStringEncoder>

#include <hunspell.h>

#include <algorithm>

namespace vardeko {

// --- dictionaries

struct SpellDictionary::Handle
{
    Hunhandle *hunspell = nullptr;
};

namespace {

QStringList dictionaryFolders()
{
    QStringList folders;
    for (const QString &dir : qEnvironmentVariable("VARDEKO_DICTIONARY_PATH").split(u':', Qt::SkipEmptyParts))
        folders.append(dir);
    for (const QString &data : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        for (const char *sub : {"hunspell", "myspell", "myspell/dicts"})
            folders.append(QDir(data).filePath(QLatin1String(sub)));
    return folders;
}

// The .aff and .dic files of a dictionary, the first found along the folders.
bool dictionaryFiles(const QString &language, QString *aff, QString *dic)
{
    for (const QString &folder : dictionaryFolders()) {
        const QDir dir(folder);
        if (dir.exists(language + QLatin1String(".aff")) && dir.exists(language + QLatin1String(".dic"))) {
            *aff = dir.filePath(language + QLatin1String(".aff"));
            *dic = dir.filePath(language + QLatin1String(".dic"));
            return true;
        }
    }
    return false;
}

bool isApostrophe(QChar c)
{
    return c == u'\'' || c == QChar(0x2019);
}

// Characters that join a word to a file name, address or code: such a token is no word.
bool isJoiner(QChar c)
{
    return c == u'.' || c == u'/' || c == u'\\' || c == u':' || c == u'@' || c == u'_';
}

// Cuts the visible text of `text` into tokens and keeps the words among them.
// `hidden[i]` marks characters the markup hides; a hidden character ends a token.
QList<SpellWord> wordsOf(const QString &text, const std::vector<bool> &hidden)
{
    QList<SpellWord> words;
    const int n = int(text.size());
    int i = 0;
    while (i < n) {
        const QChar c = text[i];
        if (hidden[size_t(i)] || !(c.isLetterOrNumber())) {
            ++i;
            continue;
        }
        // A token: letters and digits, with apostrophes and joiners between them.
        const int start = i;
        bool digits = false;
        bool joined = false;
        while (i < n && !hidden[size_t(i)]) {
            const QChar d = text[i];
            if (d.isLetter() || d.isMark()) {
                ++i;
            } else if (d.isDigit()) {
                digits = true;
                ++i;
            } else if ((isApostrophe(d) || isJoiner(d)) && i + 1 < n && !hidden[size_t(i + 1)]
                       && text[i + 1].isLetterOrNumber()) {
                joined = joined || isJoiner(d);
                ++i;
            } else {
                break;
            }
        }
        // A token beside a path or address character ("\\DIR", "name@", "http://") is no
        // word either; a full stop or colon after a word only ends its sentence.
        auto pathChar = [](QChar c) { return c == u'/' || c == u'\\' || c == u'@' || c == u'_'; };
        if (i < n && !hidden[size_t(i)] && (pathChar(text[i]) || text.mid(i, 3) == QLatin1String("://")))
            joined = true;
        if (start > 0 && !hidden[size_t(start - 1)] && pathChar(text[start - 1]))
            joined = true;
        const int length = i - start;
        if (!digits && !joined && length >= 2)
            words.append({start, length});
    }
    return words;
}

} // namespace

SpellDictionary::SpellDictionary() = default;

SpellDictionary::~SpellDictionary()
{
    if (mHandle)
        Hunspell_destroy(mHandle->hunspell);
    delete mHandle;
}

QStringList SpellDictionary::available()
{
    QStringList names;
    for (const QString &folder : dictionaryFolders()) {
        const QDir dir(folder);
        for (const QFileInfo &dic : dir.entryInfoList({QStringLiteral("*.dic")}, QDir::Files | QDir::Readable)) {
            const QString name = dic.completeBaseName();
            if (!name.startsWith(QLatin1String("hyph_")) && dir.exists(name + QLatin1String(".aff"))
                && !names.contains(name))
                names.append(name);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool SpellDictionary::open(const QString &language)
{
    QString aff, dic;
    if (!dictionaryFiles(language, &aff, &dic))
        return false;
    Hunhandle *hunspell = Hunspell_create(QFile::encodeName(aff).constData(), QFile::encodeName(dic).constData());
    if (!hunspell)
        return false;
    const QByteArray encoding = QByteArray(Hunspell_get_dic_encoding(hunspell)).toUpper();
    bool utf8 = encoding == "UTF-8" || encoding == "UTF8";
    // Other encodings need a converter the toolkit has; Latin-1 it always has.
    if (!utf8 && encoding != "ISO8859-1" && encoding != "ISO-8859-1") {
        Hunspell_destroy(hunspell);
        return false;
    }
    if (mHandle)
        Hunspell_destroy(mHandle->hunspell);
    else
        mHandle = new Handle;
    mHandle->hunspell = hunspell;
    mUtf8 = utf8;
    mLanguage = language;
    return true;
}

QByteArray SpellDictionary::encode(const QString &word) const
{
    QString plain = word;
    plain.replace(QChar(0x2019), u'\'');
    return mUtf8 ? plain.toUtf8() : plain.toLatin1();
}

QString SpellDictionary::decode(const char *text) const
{
    return mUtf8 ? QString::fromUtf8(text) : QString::fromLatin1(text);
}

bool SpellDictionary::isCorrect(const QString &word) const
{
    if (!mHandle)
        return true;
    return Hunspell_spell(mHandle->hunspell, encode(word).constData()) != 0;
}

QStringList SpellDictionary::suggestions(const QString &word) const
{
    QStringList list;
    if (!mHandle)
        return list;
    char **found = nullptr;
    const int count = Hunspell_suggest(mHandle->hunspell, &found, encode(word).constData());
    for (int i = 0; i < count; ++i)
        list.append(decode(found[i]));
    if (count > 0)
        Hunspell_free_list(mHandle->hunspell, &found, count);
    return list;
}

void SpellDictionary::addWord(const QString &word)
{
    if (mHandle)
        Hunspell_add(mHandle->hunspell, encode(word).constData());
}

// --- personal words

PersonalWords::PersonalWords(QString fileName)
    : mFileName(std::move(fileName))
{
    QFile file(mFileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QString word = QString::fromUtf8(line).trimmed();
        if (!word.isEmpty() && !mWords.contains(word))
            mWords.append(word);
    }
}

QString PersonalWords::defaultFileName()
{
    const QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Sarquel"),
                             QStringLiteral("Vardeko"));
    return QFileInfo(settings.fileName()).absoluteDir().filePath(QStringLiteral("Vardeko-words.dic"));
}

bool PersonalWords::add(const QString &word)
{
    if (word.isEmpty())
        return true;
    if (!mWords.contains(word))
        mWords.append(word);
    QDir().mkpath(QFileInfo(mFileName).absolutePath());
    QSaveFile file(mFileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    for (const QString &known : std::as_const(mWords))
        file.write(known.toUtf8() + '\n');
    return file.commit();
}

QString chooseDictionary(const QStringList &available, const QString &localeName, const QStringList &texts,
                         const std::function<int(const QString &language, const QStringList &words)> &knownWords)
{
    if (available.isEmpty())
        return {};
    // The order of preference when the texts do not decide.
    auto rank = [&](const QString &name) {
        if (name.compare(localeName, Qt::CaseInsensitive) == 0)
            return 0;
        const QString language = localeName.section(u'_', 0, 0);
        if (!language.isEmpty() && name.section(u'_', 0, 0).compare(language, Qt::CaseInsensitive) == 0)
            return 1;
        if (name.compare(QLatin1String("en_US"), Qt::CaseInsensitive) == 0)
            return 2;
        if (name.startsWith(QLatin1String("en_"), Qt::CaseInsensitive))
            return 3;
        return 4;
    };
    QStringList candidates = available;
    std::stable_sort(candidates.begin(), candidates.end(),
                     [&](const QString &a, const QString &b) { return rank(a) < rank(b); });
    if (candidates.size() == 1 || !knownWords)
        return candidates.first();
    QStringList words;
    for (const QString &text : texts) {
        for (const SpellWord &w : spellWords(text, SpellMarkup::Title))
            words.append(text.mid(w.start, w.length));
    }
    if (words.isEmpty())
        return candidates.first();
    QString best = candidates.first();
    int bestKnown = knownWords(best, words);
    for (const QString &name : candidates.mid(1)) {
        const int known = knownWords(name, words);
        if (known > bestKnown) {
            best = name;
            bestKnown = known;
        }
    }
    return best;
}

// --- words

QList<SpellWord> spellWords(const QString &text, SpellMarkup markup)
{
    const int n = int(text.size());
    std::vector<bool> hidden(size_t(n), false);
    auto hide = [&](int from, int to) {
        for (int k = std::max(from, 0); k < std::min(to, n); ++k)
            hidden[size_t(k)] = true;
    };
    if (markup == SpellMarkup::Title) {
        // "[Name]" shows a variable's value.
        for (int i = 0; i < n; ++i) {
            if (text[i] != u'[')
                continue;
            const int close = int(text.indexOf(u']', i + 1));
            if (close < 0)
                break;
            hide(i, close + 1);
            i = close;
        }
        return wordsOf(text, hidden);
    }
    bool inLink = false;
    for (int i = 0; i < n; ++i) {
        if (inLink && text[i] == u'=') {
            // The link's target up to "^l" is neither shown nor a word.
            const int end = int(text.indexOf(QLatin1String("^l"), i + 1));
            const int stop = end < 0 ? n : end + 2;
            hide(i, stop);
            inLink = false;
            i = stop - 1;
            continue;
        }
        if (text[i] != u'^' || i + 1 >= n)
            continue;
        const QChar code = text[i + 1];
        int stop = i + 2;
        switch (code.unicode()) {
        case 'S': case 's': case 'T': case 't':
            while (stop < n && text[stop].isDigit() && stop < i + 7)
                ++stop;
            break;
        case 'L':
            inLink = true;
            break;
        case 'l':
            inLink = false;
            break;
        case 'M': {
            const int end = int(text.indexOf(QLatin1String("^m"), i + 2));
            stop = end < 0 ? n : end + 2;
            break;
        }
        default:
            break;
        }
        hide(i, stop);
        i = stop - 1;
    }
    return wordsOf(text, hidden);
}

// --- targets

QList<SpellTarget> spellTargets(Publication &pub, SpellScope scope,
                                const std::function<QString(const QString &storedName)> &locate)
{
    QList<SpellTarget> targets;
    QSet<QString> articles;
    auto add = [&](Page *page, PageObject &object) {
        if (TextData *text = object.text()) {
            if (!text->Text.isEmpty())
                targets.append({SpellTarget::Title, page, &object, {}});
        } else if (ButtonData *button = object.button()) {
            // An entry field's text is what the reader types.
            if (button->Style != EntryField && !button->Text.isEmpty())
                targets.append({SpellTarget::Caption, page, &object, {}});
        } else if (ArticleData *article = object.article()) {
            const QString file = article->FileName.isEmpty() || !locate ? QString() : locate(article->FileName);
            if (file.isEmpty())
                return;
            const QString key = QFileInfo(file).absoluteFilePath().toCaseFolded();
            if (articles.contains(key))
                return;
            articles.insert(key);
            targets.append({SpellTarget::Article, page, &object, file});
        }
    };
    auto addPage = [&](Page *page) {
        if (page)
            forEachObject(page->Objects, [&](PageObject &object) { add(page, object); });
    };
    Page *current = pub.currentPage();
    switch (scope) {
    case SpellScope::Publication:
        addPage(pub.masterPage());
        for (int i = 0; i < pub.pageCount(); ++i)
            addPage(pub.page(i));
        break;
    case SpellScope::Page:
        addPage(current);
        break;
    case SpellScope::Selection:
        if (!current)
            break;
        for (const ObjectPtr &object : current->Objects) {
            if (!object->Selected)
                continue;
            add(current, *object);
            forEachObject(object->Members, [&](PageObject &member) { add(current, member); });
        }
        break;
    }
    return targets;
}

// --- the walk

SpellSession::SpellSession(QList<SpellTarget> targets, SpellDictionary &dictionary, PersonalWords *personal)
    : mTargets(std::move(targets))
    , mDictionary(dictionary)
    , mPersonal(personal)
{
    if (mPersonal)
        for (const QString &word : mPersonal->words())
            mDictionary.addWord(word);
}

QString &SpellSession::textOf(int target)
{
    SpellTarget &t = mTargets[target];
    if (t.kind == SpellTarget::Title)
        return t.object->text()->Text;
    if (t.kind == SpellTarget::Caption)
        return t.object->button()->Text;
    auto it = mArticleTexts.find(target);
    if (it == mArticleTexts.end()) {
        QFile file(t.fileName);
        QString text;
        if (file.open(QIODevice::ReadOnly))
            text = decodeFileText(file.readAll());
        it = mArticleTexts.insert(target, text);
    }
    return *it;
}

bool SpellSession::next(Misspelling *found)
{
    for (;;) {
        if (mTarget < 0 || mWord >= mWords.size()) {
            if (++mTarget >= mTargets.size())
                return false;
            mWords = spellWords(textOf(mTarget), mTargets[mTarget].kind == SpellTarget::Article
                                                     ? SpellMarkup::Article
                                                     : SpellMarkup::Title);
            mWord = 0;
            continue;
        }
        const QString &text = textOf(mTarget);
        const SpellWord w = mWords[mWord];
        const QString word = text.mid(w.start, w.length);
        mCurrent = Misspelling();
        mCurrent.target = mTarget;
        mCurrent.word = word;
        mCurrent.start = w.start;
        ++mWord;
        if (mIgnored.contains(word))
            continue;
        if (auto change = mChangeAll.constFind(word); change != mChangeAll.constEnd()) {
            replaceCurrent(*change);
            continue;
        }
        if (mDictionary.isCorrect(word))
            continue;
        // The line around the word: lines end at "|" in titles and captions.
        const bool article = mTargets[mTarget].kind == SpellTarget::Article;
        auto isBreak = [article](QChar c) { return article ? (c == u'\n' || c == u'\r') : c == u'|'; };
        int from = w.start;
        while (from > 0 && !isBreak(text[from - 1]) && w.start - from < 120)
            --from;
        int to = w.start + w.length;
        while (to < text.size() && !isBreak(text[to]) && to - w.start < 160)
            ++to;
        mCurrent.context = text.mid(from, to - from);
        mCurrent.contextStart = w.start - from;
        mCurrent.suggestions = mDictionary.suggestions(word);
        *found = mCurrent;
        return true;
    }
}

void SpellSession::replaceCurrent(const QString &replacement)
{
    if (mCurrent.target < 0 || replacement == mCurrent.word)
        return;
    const SpellTarget &target = mTargets[mCurrent.target];
    if (target.kind == SpellTarget::Article) {
        mChangedArticles.insert(mCurrent.target);
    } else if (!mChangedObjects.contains(mCurrent.target)) {
        mChangedObjects.insert(mCurrent.target);
        if (beforeChange)
            beforeChange(target);
    }
    textOf(mCurrent.target).replace(mCurrent.start, mCurrent.word.size(), replacement);
    // The words after it moved.
    const int delta = int(replacement.size() - mCurrent.word.size());
    for (int i = mWord; i < mWords.size(); ++i)
        mWords[i].start += delta;
    ++mChanges;
}

void SpellSession::ignoreAll()
{
    mIgnored.insert(mCurrent.word);
}

void SpellSession::change(const QString &replacement)
{
    replaceCurrent(replacement);
}

void SpellSession::changeAll(const QString &replacement)
{
    mChangeAll.insert(mCurrent.word, replacement);
    replaceCurrent(replacement);
}

bool SpellSession::addToDictionary()
{
    mDictionary.addWord(mCurrent.word);
    return !mPersonal || mPersonal->add(mCurrent.word);
}

QStringList SpellSession::changedArticles() const
{
    QStringList names;
    for (int target : mChangedArticles)
        names.append(mTargets[target].fileName);
    names.sort();
    return names;
}

QStringList SpellSession::finish()
{
    QStringList failed;
    for (int target : std::as_const(mChangedArticles)) {
        const SpellTarget &t = mTargets[target];
        QSaveFile file(t.fileName);
        if (!file.open(QIODevice::WriteOnly) || file.write(encodeFileText(mArticleTexts.value(target))) < 0
            || !file.commit()) {
            failed.append(t.fileName);
            continue;
        }
        if (ArticleData *article = t.object->article())
            article->ReformatNeeded = true;
    }
    mChangedArticles.clear();
    failed.sort();
    return failed;
}

} // namespace vardeko
