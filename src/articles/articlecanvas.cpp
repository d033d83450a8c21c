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

ArticleCanvas::WidthTable::WidthTable()
    : mEntries(Capacity)
{
}

int ArticleCanvas::WidthTable::find(QByteArrayView word, quint32 hash) const
{
    const quint32 length = quint32(word.size());
    for (quint32 i = hash & (Capacity - 1);; i = (i + 1) & (Capacity - 1)) {
        const Entry &e = mEntries[i];
        if (e.length == 0)
            return -1;
        if (e.hash == hash && e.length == length
            && std::memcmp(mBytes.data() + e.offset, word.data(), length) == 0)
            return e.width;
    }
}

void ArticleCanvas::WidthTable::insert(QByteArrayView word, quint32 hash, int width)
{
    if (mCount >= MaxEntries || mBytes.size() + size_t(word.size()) > 0x7FFFFFFF)
        clear();
    quint32 i = hash & (Capacity - 1);
    while (mEntries[i].length != 0)
        i = (i + 1) & (Capacity - 1);
    mEntries[i] = Entry{hash, quint32(mBytes.size()), quint32(word.size()), width};
    mBytes.append(word.data(), size_t(word.size()));
    ++mCount;
}

void ArticleCanvas::WidthTable::clear()
{
    std::fill(mEntries.begin(), mEntries.end(), Entry());
    mBytes.clear();
    mCount = 0;
}

int ArticleCanvas::textWidth(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return 0;
    StyleMetrics &m = metrics(mStyle);
    quint32 hash = 2166136261u; // FNV-1a
    for (const char c : bytes)
        hash = (hash ^ quint8(c)) * 16777619u;
    hash ^= hash >> 15;
    int width = m.mWidths.find(bytes, hash);
    if (width < 0) {
        decodeWindows1252Into(bytes, &m.mScratch);
        width = m.mMetrics.horizontalAdvance(m.mScratch);
        m.mWidths.insert(bytes, hash, width);
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
