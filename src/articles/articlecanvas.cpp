// The fonts and text measures of an article, on a fixed 96-dpi reference canvas.
#include "articlecanvas.h"

#include "textcodec.h"

#include <QImage>
#include <QPaintDevice>

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
    , mSlots(std::make_unique<Slot[]>(SlotCount))
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

int ArticleCanvas::textWidth(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return 0;
    StyleMetrics &m = metrics(mStyle);
    Slot *slot = nullptr;
    const size_t n = size_t(bytes.size());
    if (n <= sizeof(Slot::bytes)) {
        quint64 h = 14695981039346656037ull; // FNV-1a
        for (size_t i = 0; i < n; ++i)
            h = (h ^ quint8(bytes[qsizetype(i)])) * 1099511628211ull;
        slot = &m.mSlots[size_t(h ^ (h >> 29)) & (SlotCount - 1)];
        if (slot->length == n && std::memcmp(slot->bytes, bytes.data(), n) == 0)
            return slot->width;
    }
    const std::string_view key(bytes.data(), n);
    int width;
    if (auto it = m.mWidths.find(key); it != m.mWidths.end()) {
        width = it->second;
    } else {
        decodeWindows1252Into(bytes, &m.mScratch);
        width = m.mMetrics.horizontalAdvance(m.mScratch);
        if (m.mWidths.size() >= MaxCachedWords)
            m.mWidths.clear();
        m.mWidths.emplace(std::string(key), width);
    }
    if (slot) {
        slot->length = quint8(n);
        std::memcpy(slot->bytes, bytes.data(), n);
        slot->width = width;
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
        if (style) {
            style->mWidths.clear();
            for (size_t i = 0; i < SlotCount; ++i)
                style->mSlots[i].length = 0xFF;
        }
}

} // namespace vardeko
