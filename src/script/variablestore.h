// The program-wide variable store, [Name] expansion and the built-in values.
#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>

#include <list>
#include <utility>
#include <vector>

namespace vardeko {

// Told about changes so that bound objects and the debug window follow the store.
class VariableObserver
{
public:
    virtual ~VariableObserver() = default;
    // A variable took a new value or was deleted; objects bound to it refresh.
    virtual void variableChanged(const QString &upperName) = 0;
    // The listing changed or was asked to be rebuilt (after every SetVariable with a name).
    virtual void variableListChanged() {}
};

// Values of the page being shown, for [PageTitle], [PageNumber] and [P].
class PageValues
{
public:
    virtual ~PageValues() = default;
    virtual QString currentPageTitle() const = 0; // empty without a publication window
    virtual QString currentPageNumber() const = 0; // "1" for the first page, "0" master
};

class VariableStore;

// Remembers where a name's entry was found. Valid while no variable was created or
// deleted since: entries never move, so a loop looks its variables up once.
struct EntryCache
{
    const VariableStore *store = nullptr;
    quint64 generation = 0;
    const void *entry = nullptr;
};

class VariableStore
{
public:
    // Names lose every "[" and "]" and are upper-cased; an empty value deletes.
    void SetVariable(const QString &name, const QString &value);
    // `upperName` already normalised: the fast path of the runner.
    // `wholeNumber`, when given, is the value of `value` written as a whole number
    // (QString::number of it): its numeric readings are stored at once.
    void setNormalized(const QString &upperName, const QString &value, const qint64 *wholeNumber = nullptr);
    QString GetVariable(const QString &name) const;
    QString valueOfNormalized(const QString &upperName) const;
    void DeleteAllVariables();

    int count() const { return int(mIndex.size()); }
    // Newest first.
    std::vector<std::pair<QString, QString>> entries() const;
    // The debug window's rows: NAME = "value", newest first.
    QStringList listing() const;

    void addObserver(VariableObserver *o);
    void removeObserver(VariableObserver *o);

    static QString normalizeName(const QString &name);

    struct Entry
    {
        QString name;
        QString value;
        // Numeric readings of the value, made on first need and dropped on change.
        mutable qint8 plainState = 0; // 0 unknown, 1 a plain number, 2 not
        mutable qint8 decimalState = 0; // 0 unknown, 1 number-like, 2 not
        mutable long double plain = 0;
        mutable double decimal = 0;
    };
    const Entry *findNormalized(const QString &upperName) const
    {
        const auto it = mIndex.constFind(upperName);
        return it == mIndex.constEnd() ? nullptr : &*it.value();
    }
    const Entry *findCached(const QString &upperName, EntryCache &cache) const
    {
        if (cache.store != this || cache.generation != mGeneration) {
            cache.store = this;
            cache.generation = mGeneration;
            cache.entry = findNormalized(upperName);
        }
        return static_cast<const Entry *>(cache.entry);
    }
    // setNormalized through a cache.
    void setCached(const QString &upperName, EntryCache &cache, const QString &value,
                   const qint64 *wholeNumber = nullptr);

    // The value as one Math number token (see parsePlainNumber).
    static bool plainNumber(const Entry &e, long double *value);
    // The value as If and While compare numbers, when it is number-like.
    static bool decimalNumber(const Entry &e, double *value);

private:
    static void rememberWhole(const Entry &e, qint64 whole);

    std::list<Entry> mEntries; // newest at the front
    QHash<QString, std::list<Entry>::iterator> mIndex;
    // Changes whenever a variable is created or deleted; drawn from one program-wide
    // counter, so that no two stores (even at the same address) share a value.
    quint64 mGeneration = nextGeneration();
    static quint64 nextGeneration();
    std::vector<VariableObserver *> mObservers;
};

// The store shared by every publication window of the program.
VariableStore &globalVariables();

// A built-in value by name (any case), or empty text. `page` may be null.
QString builtinValue(QStringView name, const QDateTime &time, const PageValues *page);

// The longest value a script may make, in characters (64 MiB of text): far beyond any
// real publication, and short of exhausting memory when a script doubles a value in a
// loop. A command whose parameter or result would be longer ends the script.
inline constexpr qsizetype MaxValueLength = 32 * 1024 * 1024;

// Replaces [Name] references in one left-to-right scan; see the rules in the .cpp.
// `time` is the one clock reading used for date and time values; an invalid one means
// "read the clock once, when first needed". An expansion that would pass MaxValueLength
// stops and gives empty text, with *tooLong set when given.
QString ExpandReferences(const QString &text, bool numeric, const QDateTime &time,
                         const VariableStore &store, const PageValues *page = nullptr,
                         bool *tooLong = nullptr);

} // namespace vardeko
