// The fonts and text measures of an article, on a fixed 96-dpi reference canvas.
#pragma once

#include <QByteArrayView>
#include <QFont>
#include <QFontMetrics>
#include <QString>

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QPaintDevice;

namespace vardeko {

// Style bits of the article font and of the caret codes (as in the object records).
enum ArticleStyleBits : int {
    ArticleBold = 1,
    ArticleItalic = 2,
    ArticleUnderline = 4,
    ArticleStrikeOut = 8,
    ArticleFixedPitch = 16, // "^F": the font's pitch set to fixed
};

struct ArticleFont
{
    QString face;
    int size = 10; // points
    int style = 0; // ArticleBold ... ArticleStrikeOut
};

// Measures article text as the layout and drawing passes do. Every measure is taken on
// a 96-dpi reference canvas, so a laid-out article has the same lines on any screen;
// fonts handed to a painter are sized so they draw those same pixels on its device.
// Word widths are kept per style, so a long article measures each word once.
class ArticleCanvas
{
public:
    static constexpr int ReferenceDpi = 96;

    explicit ArticleCanvas(const ArticleFont &font);
    ~ArticleCanvas();

    const ArticleFont &baseFont() const { return mBase; }

    // The current style (ArticleStyleBits, fixed pitch included).
    int style() const { return mStyle; }
    void setStyle(int style)
    {
        if (style != mStyle) {
            mStyle = style;
            mCurrent = nullptr;
        }
    }

    // Width of Windows-1252 bytes in the current style.
    int textWidth(QByteArrayView bytes);
    // Width of "M" in the current style.
    int emWidth() { return current().mEm; }
    // The text height of "M" in the base font's own style.
    int lineHeight();
    int ascent(int style) { return metrics(style).mMetrics.ascent(); }

    // The font of a style, for drawing on `device`.
    QFont font(int style, const QPaintDevice *device) const;
    // The font of a style on the reference canvas.
    QFont referenceFont(int style) const;

    // Drops the remembered word widths (they are capped, so memory stays bounded).
    void clearCache();

private:
    // Word widths of one style. Words of up to 16 bytes are kept inside the table's
    // slots (a few cache lines for a whole vocabulary, no second look-up to compare);
    // longer ones, up to a limit, in a table over an arena of their bytes. Both are
    // emptied when full, so the memory stays bounded; longer texts are measured every
    // time, as they hardly ever repeat.
    class WidthTable
    {
    public:
        static constexpr qsizetype MaxShort = 16;
        static constexpr qsizetype MaxCached = 64;

        WidthTable();
        // The width, or -1 when the word is not there.
        int find(QByteArrayView word) const;
        void insert(QByteArrayView word, int width);
        void clear();

    private:
        struct ShortEntry
        {
            quint64 a = 0;
            quint64 b = 0;
            quint32 length = 0; // 0: empty slot
            int width = 0;
        };
        struct LongEntry
        {
            quint64 hash = 0;
            quint32 offset = 0;
            quint32 length = 0; // 0: empty slot
            int width = 0;
        };
        static constexpr quint32 FirstCapacity = 1024;  // powers of two
        static constexpr quint32 MaxCapacity = 65536;
        static constexpr quint32 LongCapacity = 4096;
        static constexpr size_t MaxArena = 1 << 20;
        void grow();

        std::vector<ShortEntry> mShort;
        quint32 mShortCount = 0;
        std::vector<LongEntry> mLong;
        quint32 mLongCount = 0;
        std::string mBytes;
    };
    struct StyleMetrics
    {
        explicit StyleMetrics(const QFont &f);
        QFontMetrics mMetrics;
        int mEm = 0;
        WidthTable mWidths;
        QString mScratch;
    };
    StyleMetrics &metrics(int style);
    StyleMetrics &current()
    {
        if (!mCurrent)
            mCurrent = &metrics(mStyle);
        return *mCurrent;
    }

    ArticleFont mBase;
    int mStyle = 0;
    StyleMetrics *mCurrent = nullptr;
    std::array<std::unique_ptr<StyleMetrics>, 32> mMetrics;
};

} // namespace vardeko
