// The program-wide variable store, [Name] expansion and the built-in values.
#include "variablestore.h"

#include "mathevaluator.h"
#include "scriptlines.h"

#include <QLocale>
#include <QStringList>

#include <algorithm>
#include <atomic>

namespace vardeko {

QString VariableStore::normalizeName(const QString &name)
{
    if (!name.contains(u'[') && !name.contains(u']'))
        return name.toUpper();
    QString n = name;
    n.remove(u'[');
    n.remove(u']');
    return n.toUpper();
}

void VariableStore::SetVariable(const QString &name, const QString &value)
{
    setNormalized(normalizeName(name), value);
}

void VariableStore::setNormalized(const QString &upperName, const QString &value, const qint64 *wholeNumber)
{
    if (upperName.isEmpty())
        return;
    bool changed = true;
    const auto it = mIndex.find(upperName);
    if (it != mIndex.end()) {
        if (value.isEmpty()) {
            mEntries.erase(it.value());
            mIndex.erase(it);
            mGeneration = nextGeneration();
        } else if (it.value()->value != value) {
            it.value()->value = value;
            it.value()->plainState = 0;
            it.value()->decimalState = 0;
        } else {
            changed = false; // its own value again: nothing to refresh
        }
    } else if (!value.isEmpty()) {
        mEntries.push_front({upperName, value});
        mIndex.insert(upperName, mEntries.begin());
        mGeneration = nextGeneration();
    }
    if (wholeNumber && !value.isEmpty())
        rememberWhole(mEntries.front().name == upperName ? mEntries.front() : *mIndex.value(upperName), *wholeNumber);
    for (VariableObserver *o : mObservers) {
        if (changed)
            o->variableChanged(upperName);
        o->variableListChanged();
    }
}

QString VariableStore::GetVariable(const QString &name) const
{
    return valueOfNormalized(normalizeName(name));
}

QString VariableStore::valueOfNormalized(const QString &upperName) const
{
    const auto it = mIndex.constFind(upperName);
    return it == mIndex.constEnd() ? QString() : it.value()->value;
}

void VariableStore::DeleteAllVariables()
{
    mEntries.clear();
    mIndex.clear();
    mGeneration = nextGeneration();
    for (VariableObserver *o : mObservers)
        o->variableListChanged();
}

std::vector<std::pair<QString, QString>> VariableStore::entries() const
{
    std::vector<std::pair<QString, QString>> out;
    out.reserve(mEntries.size());
    for (const Entry &e : mEntries)
        out.emplace_back(e.name, e.value);
    return out;
}

QStringList VariableStore::listing() const
{
    QStringList rows;
    for (const Entry &e : mEntries)
        rows.append(e.name + QLatin1String(" = \"") + e.value + u'"');
    return rows;
}

void VariableStore::addObserver(VariableObserver *o)
{
    if (std::find(mObservers.begin(), mObservers.end(), o) == mObservers.end())
        mObservers.push_back(o);
}

void VariableStore::removeObserver(VariableObserver *o)
{
    mObservers.erase(std::remove(mObservers.begin(), mObservers.end(), o), mObservers.end());
}

quint64 VariableStore::nextGeneration()
{
    static std::atomic<quint64> counter{0};
    return ++counter;
}

void VariableStore::rememberWhole(const Entry &e, qint64 whole)
{
    e.plainState = whole >= 0 ? 1 : 2; // a sign is not part of a number token
    e.plain = (long double)whole;
    e.decimalState = 1;
    e.decimal = double(whole);
}

void VariableStore::setCached(const QString &upperName, EntryCache &cache, const QString &value,
                              const qint64 *wholeNumber)
{
    const Entry *found = value.isEmpty() ? nullptr : findCached(upperName, cache);
    if (!found) {
        setNormalized(upperName, value, wholeNumber);
        return;
    }
    Entry &e = const_cast<Entry &>(*found);
    const bool changed = e.value != value;
    if (changed) {
        e.value = value;
        e.plainState = 0;
        e.decimalState = 0;
    }
    if (wholeNumber)
        rememberWhole(e, *wholeNumber);
    for (VariableObserver *o : mObservers) {
        if (changed)
            o->variableChanged(upperName);
        o->variableListChanged();
    }
}

bool VariableStore::plainNumber(const Entry &e, long double *value)
{
    if (e.plainState == 0)
        e.plainState = parsePlainNumber(e.value, &e.plain) ? 1 : 2;
    *value = e.plain;
    return e.plainState == 1;
}

bool VariableStore::decimalNumber(const Entry &e, double *value)
{
    if (e.decimalState == 0) {
        e.decimalState = isNumberLike(e.value) ? 1 : 2;
        if (e.decimalState == 1)
            e.decimal = decimalValue(e.value);
    }
    *value = e.decimal;
    return e.decimalState == 1;
}

VariableStore &globalVariables()
{
    static VariableStore store;
    return store;
}

namespace {

// `clock` is read on first need, so that one call sees one time.
QString builtinValueAt(QStringView name, QDateTime &clock, const PageValues *page)
{
    if (name.isEmpty() || name.size() > 10)
        return QString();
    auto is = [&](const char16_t *n) { return name.compare(QStringView(n), Qt::CaseInsensitive) == 0; };
    if (is(u"PageTitle"))
        return page ? page->currentPageTitle() : QString();
    if (is(u"PageNumber") || is(u"P"))
        return page ? page->currentPageNumber() : QString();
    static const char16_t *const dated[] = {u"Time", u"DateShort", u"DateLong", u"Month",
                                            u"MonthNum", u"Day", u"DayNum", u"Year"};
    int which = -1;
    for (int i = 0; i < 8 && which < 0; ++i) {
        if (is(dated[i]))
            which = i;
    }
    if (which < 0)
        return QString();
    if (!clock.isValid())
        clock = QDateTime::currentDateTime();
    const QLocale locale = QLocale::system();
    const QDate date = clock.date();
    switch (which) {
    case 0: {
        // "h:nn:ss ampm": twelve-hour clock, the locale's AM and PM texts.
        const QTime t = clock.time();
        const int h = t.hour() % 12 == 0 ? 12 : t.hour() % 12;
        return QString::number(h) + u':' + QString::number(t.minute()).rightJustified(2, u'0')
               + u':' + QString::number(t.second()).rightJustified(2, u'0') + u' '
               + (t.hour() < 12 ? locale.amText() : locale.pmText());
    }
    case 1: return locale.toString(date, QLocale::ShortFormat);
    case 2: return locale.toString(date, QLocale::LongFormat);
    case 3: return locale.monthName(date.month(), QLocale::LongFormat);
    case 4: return QString::number(date.month());
    case 5: return locale.dayName(date.dayOfWeek(), QLocale::LongFormat);
    case 6: return QString::number(date.day());
    default: return QString::number(date.year()).rightJustified(4, u'0');
    }
}

} // namespace

QString builtinValue(QStringView name, const QDateTime &time, const PageValues *page)
{
    QDateTime clock = time;
    return builtinValueAt(name, clock, page);
}

QString ExpandReferences(const QString &text, bool numeric, const QDateTime &time,
                         const VariableStore &store, const PageValues *page, bool *tooLong)
{
    if (tooLong)
        *tooLong = false;
    if (!text.contains(u'['))
        return text;
    // One scan from left to right. The output so far is the text before the scan point,
    // so inserted values are never expanded again; a "[" opens a reference unless the
    // character before it (in the text as it now stands) is another "[".
    QString out;
    out.reserve(text.size() + 16);
    qsizetype open = -1; // position of the open "[" in `out`
    QDateTime clock = time; // invalid: read the clock when a date or time is needed
    auto closeReference = [&] {
        const QStringView ref = QStringView(out).sliced(open + 1);
        QString value;
        if (ref.contains(u'[')) {
            value = store.GetVariable(ref.toString());
        } else {
            // Looked up in place: toUpper() shares the raw text when it is upper case already.
            const QString raw = QString::fromRawData(ref.data(), ref.size());
            value = store.valueOfNormalized(raw.toUpper());
        }
        if (value.isEmpty())
            value = builtinValueAt(ref, clock, page);
        if (value.isEmpty() && numeric)
            value = QStringLiteral("0");
        out.truncate(open);
        if (out.size() + value.size() > MaxValueLength)
            return false;
        out += value;
        open = -1;
        return true;
    };
    auto overflow = [&] {
        if (tooLong)
            *tooLong = true;
        return QString();
    };
    for (const QChar c : text) {
        if (c == u'[' && (out.isEmpty() || out.back() != u'[')) {
            open = out.size();
            out += c;
        } else if (c == u']' && open >= 0) {
            if (!closeReference())
                return overflow();
        } else {
            out += c;
        }
    }
    if (open >= 0 && !closeReference())
        return overflow();
    // "[[" becomes "[" and "]]" becomes "]" until none is left.
    if (!out.contains(u'[') && !out.contains(u']'))
        return out;
    QString reduced;
    reduced.reserve(out.size());
    for (const QChar c : out) {
        if ((c == u'[' || c == u']') && !reduced.isEmpty() && reduced.back() == c)
            continue;
        reduced += c;
    }
    return reduced;
}

} // namespace vardeko
