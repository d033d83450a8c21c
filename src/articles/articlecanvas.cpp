// The fonts and text measures of an article, on a fixed 96-dpi reference canvas.
#include "articlecanvas.h"

#include "textcodec.h"

#include <QImage>
#include <QPaintDevice>

#include <algorithm>
#include <cstring>

namespace vardeko {

namespace {

const QImage &referenceDevice()
{
    static const QImage image = [] {
        QImage i(1, 1, QImage::Format_RGB32);
        const int dotsPerMeter = qRound(ArticleCanvas::ReferenceDpi / 0.0254);
        i.setDotsPerMeterX(dotsPerMeter);
        i.setDotsPerMeterY(dotsPerMeter);
        return i;
    }();
    return image;
}

QFont makeFont(const ArticleFont &base, int style, double pointSize)
{
    QFont f;
    if (style & ArticleFixedPitch) {
        // A fixed pitch asked of a proportional face gives the system's fixed face.
        f.setFamily(QStringLiteral("Courier New"));
        f.setStyleHint(QFont::TypeWriter);
        f.setFixedPitch(true);
    } else {
        f.setFamily(base.face);
    }
    f.setPointSizeF(pointSize > 0 ? pointSize : 1);
    f.setBold(style & ArticleBold);
    f.setItalic(style & ArticleItalic);
    f.setUnderline(style & ArticleUnderline);
    f.setStrikeOut(style & ArticleStrikeOut);
    // Whole-pixel advances: a word's width is the same measured alone or in a run.
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

} // namespace

ArticleCanvas::StyleMetrics::StyleMetrics(const QFont &f)
    : mMetrics(f, &referenceDevice())
{
    mEm = mMetrics.horizontalAdvance(QLatin1Char('M'));
}

ArticleCanvas::ArticleCanvas(const ArticleFont &font)
    : mBase(font)
    , mStyle(font.style & 15)
{
}

ArticleCanvas::~ArticleCanvas() = default;

ArticleCanvas::StyleMetrics &ArticleCanvas::metrics(int style)
{
    auto &slot = mMetrics[size_t(style & 31)];
    if (!slot)
        slot = std::make_unique<StyleMetrics>(referenceFont(style & 31));
    return *slot;
}

namespace {

quint64 load64(const char *p)
{
    quint64 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

quint32 load32(const char *p)
{
    quint32 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// A word of 1 to 16 bytes as two numbers that, with its length, tell it apart from
// every other word: the overlapping loads cover every byte.
void shortKey(QByteArrayView word, quint64 *a, quint64 *b)
{
    const char *p = word.data();
    const size_t n = size_t(word.size());
    if (n >= 8) {
        *a = load64(p);
        *b = load64(p + n - 8);
    } else if (n >= 4) {
        *a = load32(p);
        *b = load32(p + n - 4);
    } else {
        *a = quint64(quint8(p[0])) | quint64(quint8(p[n / 2])) << 8 | quint64(quint8(p[n - 1])) << 16;
        *b = 0;
    }
}

quint64 mix(quint64 a, quint64 b, quint64 n)
{
    quint64 h = a * 0x9E3779B97F4A7C15ull ^ (b + n) * 0xC2B2AE3D27D4EB4Full;
    h ^= h >> 32;
    h *= 0xFF51AFD7ED558CCDull;
    return h ^ h >> 29;
}

quint64 longHash(QByteArrayView word)
{
    const char *p = word.data();
    const size_t n = size_t(word.size());
    quint64 h = n;
    size_t i = 0;
    for (; i + 8 <= n; i += 8)
        h = mix(h, load64(p + i), i);
    return mix(h, load64(p + n - 8), n); // n > 16 here
}

} // namespace

ArticleCanvas::WidthTable::WidthTable()
    : mShort(FirstCapacity)
{
}

int ArticleCanvas::WidthTable::find(QByteArrayView word) const
{
    const quint32 length = quint32(word.size());
    if (word.size() <= MaxShort) {
        quint64 a, b;
        shortKey(word, &a, &b);
        const quint32 mask = quint32(mShort.size()) - 1;
        for (quint32 i = quint32(mix(a, b, length)) & mask;; i = (i + 1) & mask) {
            const ShortEntry &e = mShort[i];
            if (e.length == length && e.a == a && e.b == b)
                return e.width;
            if (e.length == 0)
                return -1;
        }
    }
    if (word.size() > MaxCached || mLong.empty())
        return -1;
    const quint64 hash = longHash(word);
    for (quint32 i = quint32(hash) & (LongCapacity - 1);; i = (i + 1) & (LongCapacity - 1)) {
        const LongEntry &e = mLong[i];
        if (e.length == 0)
            return -1;
        if (e.hash == hash && e.length == length
            && std::memcmp(mBytes.data() + e.offset, word.data(), length) == 0)
            return e.width;
    }
}

void ArticleCanvas::WidthTable::grow()
{
    std::vector<ShortEntry> old(mShort.size() * 2);
    old.swap(mShort);
    const quint32 mask = quint32(mShort.size()) - 1;
    for (const ShortEntry &e : old) {
        if (e.length == 0)
            continue;
        quint32 i = quint32(mix(e.a, e.b, e.length)) & mask;
        while (mShort[i].length != 0)
            i = (i + 1) & mask;
        mShort[i] = e;
    }
}

void ArticleCanvas::WidthTable::insert(QByteArrayView word, int width)
{
    if (word.isEmpty() || word.size() > MaxCached)
        return;
    if (word.size() <= MaxShort) {
        if (mShortCount >= mShort.size() / 2) {
            if (mShort.size() < MaxCapacity) {
                grow();
            } else {
                std::fill(mShort.begin(), mShort.end(), ShortEntry());
                mShortCount = 0;
            }
        }
        quint64 a, b;
        shortKey(word, &a, &b);
        const quint32 mask = quint32(mShort.size()) - 1;
        quint32 i = quint32(mix(a, b, quint64(word.size()))) & mask;
        while (mShort[i].length != 0)
            i = (i + 1) & mask;
        mShort[i] = ShortEntry{a, b, quint32(word.size()), width};
        ++mShortCount;
        return;
    }
    if (mLong.empty())
        mLong.resize(LongCapacity);
    if (mLongCount >= LongCapacity / 2 || mBytes.size() + size_t(word.size()) > MaxArena) {
        std::fill(mLong.begin(), mLong.end(), LongEntry());
        mLongCount = 0;
        mBytes.clear();
    }
    const quint64 hash = longHash(word);
    quint32 i = quint32(hash) & (LongCapacity - 1);
    while (mLong[i].length != 0)
        i = (i + 1) & (LongCapacity - 1);
    mLong[i] = LongEntry{hash, quint32(mBytes.size()), quint32(word.size()), width};
    mBytes.append(word.data(), size_t(word.size()));
    ++mLongCount;
}

void ArticleCanvas::WidthTable::clear()
{
    mShort.assign(FirstCapacity, ShortEntry());
    mShortCount = 0;
    mLong.clear();
    mLong.shrink_to_fit();
    mLongCount = 0;
    mBytes.clear();
}

int ArticleCanvas::textWidth(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return 0;
    StyleMetrics &m = current();
    int width = m.mWidths.find(bytes);
    if (width < 0) {
        decodeWindows1252Into(bytes, &m.mScratch);
        width = m.mMetrics.horizontalAdvance(m.mScratch);
        m.mWidths.insert(bytes, width);
    }
    return width;
}

int ArticleCanvas::lineHeight()
{
    return metrics(mBase.style & 15).mMetrics.height();
}

QFont ArticleCanvas::referenceFont(int style) const
{
    return makeFont(mBase, style, mBase.size);
}

QFont ArticleCanvas::font(int style, const QPaintDevice *device) const
{
    const int dpi = device ? device->logicalDpiY() : ReferenceDpi;
    return makeFont(mBase, style, double(mBase.size) * ReferenceDpi / (dpi > 0 ? dpi : ReferenceDpi));
}

void ArticleCanvas::clearCache()
{
    for (auto &style : mMetrics)
        if (style)
            style->mWidths.clear();
}

} // namespace vardeko
