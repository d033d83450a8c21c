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
    void setStyle(int style) { mStyle = style; }

    // Width of Windows-1252 bytes in the current style.
    int textWidth(QByteArrayView bytes);
    // Width of "M" in the current style.
    int emWidth() { return metrics(mStyle).mEm; }
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
    // Word widths of one style: open addressing over an arena of the words' bytes,
    // emptied when full, so a long text measures each distinct word about once and the
    // memory stays bounded.
    class WidthTable
    {
    public:
        WidthTable();
        // The width, or -1 when the word is not there.
        int find(QByteArrayView word, quint32 hash) const;
        void insert(QByteArrayView word, quint32 hash, int width);
        void clear();

    private:
        struct Entry
        {
            quint32 hash = 0;
            quint32 offset = 0;
            quint32 length = 0; // 0: empty slot
            int width = 0;
        };
        static constexpr quint32 Capacity = 65536; // a power of two
        static constexpr quint32 MaxEntries = Capacity / 2;
        std::vector<Entry> mEntries;
        std::string mBytes;
        quint32 mCount = 0;
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


    ArticleFont mBase;
    int mStyle = 0;
    std::array<std::unique_ptr<StyleMetrics>, 32> mMetrics;
};

} // namespace vardeko
