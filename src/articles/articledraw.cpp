// The drawing pass: paints formatted article lines and collects their hyperlinks.
#include "articledraw.h"

#include "articlelayout.h"
#include "articlereader.h"
#include "textcodec.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <limits>

namespace vardeko {

namespace {

// A link still open after the last line drawn is read on for at most this many lines.
constexpr int MaxLinkLookahead = 256;

// Up to five digits after a code; 0 when there are none.
int readNumber(const QString &s, qsizetype *pos)
{
    int n = 0;
    int digits = 0;
    while (*pos < s.size() && digits < 5 && s[*pos].isDigit() && s[*pos].unicode() < 128) {
        n = n * 10 + (s[*pos].unicode() - '0');
        ++*pos;
        ++digits;
    }
    return n;
}

int clampX(qint64 x)
{
    return int(std::clamp<qint64>(x, -MaxArticleWidth, MaxArticleWidth));
}

// The link mark's fill: one pixel in four in the text colour, the rest untouched.
QBrush linkMarkBrush(const QColor &color)
{
    QImage tile(8, 8, QImage::Format_ARGB32_Premultiplied);
    tile.fill(Qt::transparent);
    for (int y = 0; y < 8; y += 2)
        for (int x = 0; x < 8; x += 2)
            tile.setPixelColor(x, y, color);
    return QBrush(tile);
}

class LinePainter
{
public:
    LinePainter(QPainter &painter, ArticleCanvas &canvas, const QRect &rect, bool buildLinks,
                HyperLinkList *links, const QColor &reverseColor, const QColor &textColor,
                int hOffset)
        : mPainter(painter)
        , mCanvas(canvas)
        , mRect(rect)
        , mBuildLinks(buildLinks)
        , mLinks(links)
        , mReverseColor(reverseColor)
        , mTextColor(textColor)
        , mHOffset(hOffset)
    {
        mH = canvas.lineHeight();
        for (int s = 0; s < 32; ++s)
            mFontsMade[s] = false;
    }

    int lineHeight() const { return mH; }
    bool linkOpen() const { return mLinkOpen; }

    // One formatted line, `row` lines below the first drawn; `drawn` is false for
    // lines after the last line, which are only read to finish an open link.
    void line(QByteArrayView bytes, int row, bool drawn);
    void closeOpenLink() { closeLink(); }

private:
    void resetFont()
    {
        mStyle = 0;
        mReverse = false;
    }
    const QFont &font(int style)
    {
        if (!mFontsMade[style]) {
            mFonts[style] = mCanvas.font(style, mPainter.device());
            mFontsMade[style] = true;
        }
        return mFonts[style];
    }
    void flushRun(const QString &run, qint64 &x, int y, int row, bool visible, bool drawn);
    void closeLink();

    QPainter &mPainter;
    ArticleCanvas &mCanvas;
    QRect mRect;
    bool mBuildLinks;
    HyperLinkList *mLinks;
    QColor mReverseColor;
    QColor mTextColor;
    int mHOffset;
    int mH = 1;

    int mStyle = 0;
    bool mReverse = false;
    bool mLinkOpen = false;
    bool mInTarget = false;
    bool mMarker = false;
    QRegion mLinkRegion;
    QString mTarget;
    QBrush mMarkBrush;
    bool mMarkMade = false;
    QFont mFonts[32];
    bool mFontsMade[32];
    QByteArray mRunBytes;
    QString mText;
};

void LinePainter::flushRun(const QString &run, qint64 &x, int y, int row, bool visible, bool drawn)
{
    if (run.isEmpty() || !drawn)
        return;
    if (!encodeWindows1252(run, &mRunBytes))
        mRunBytes = run.toLatin1();
    mCanvas.setStyle(mStyle);
    const int w = mCanvas.textWidth(mRunBytes);
    const int xi = clampX(x);
    if (visible) {
        if (mReverse)
            mPainter.fillRect(QRect(xi, y, w, mH), mTextColor);
        mPainter.setPen(mReverse ? mReverseColor : mTextColor);
        mPainter.setFont(font(mStyle));
        mPainter.drawText(QPointF(xi, y + mCanvas.ascent(mStyle)), run);
    }
    if (mLinkOpen && !mInTarget) {
        mLinkRegion += QRect(xi - mRect.left(), row * mH - 1, w, mH);
        if (visible) {
            if (!mMarkMade) {
                mMarkBrush = linkMarkBrush(mTextColor);
                mMarkMade = true;
            }
            const int bottom = mRect.top() + (row + 1) * mH;
            mPainter.fillRect(QRect(xi, bottom - 1, w, 2), mMarkBrush);
        }
    }
    x = clampX(x + w);
}

void LinePainter::closeLink()
{
    if (!mLinkOpen)
        return;
    if (mBuildLinks && mLinks)
        mLinks->insert(mLinks->begin(), HyperLink_Rec{mLinkRegion, mTarget});
    mLinkRegion = QRegion();
    mTarget.clear();
    mLinkOpen = false;
    mInTarget = false;
}

void LinePainter::line(QByteArrayView bytes, int row, bool drawn)
{
    const int y = mRect.top() + row * mH;
    const QRect lineRect(mRect.left(), y, mRect.width(), mH);
    const bool visible = drawn
                         && (!mPainter.hasClipping() || mPainter.clipBoundingRect().intersects(lineRect));
    const qint64 left = qint64(mRect.left()) + 6 - mHOffset;
    if (!bytes.contains('^')) {
        if (!mLinkOpen && !mMarker) {
            if (visible) {
                decodeWindows1252Into(bytes, &mText);
                mPainter.setPen(mTextColor);
                mPainter.setFont(font(0));
                mPainter.drawText(QPointF(clampX(left), y + mCanvas.ascent(0)), mText);
            }
            return;
        }
    }
    while (!bytes.isEmpty() && bytes.back() == ' ')
        bytes.chop(1);
    decodeWindows1252Into(bytes, &mText);
    const QString &s = mText;
    qint64 x = left;
    QString run;
    bool hadCode = false;
    qsizetype i = 0;
    while (i < s.size()) {
        const QChar c = s[i];
        if (c == QLatin1Char('^') && i + 1 < s.size()) {
            hadCode = true;
            if (!mInTarget)
                flushRun(run, x, y, row, visible, drawn);
            const char letter = char(s[i + 1].unicode() < 128 ? s[i + 1].unicode() : 0);
            i += 2;
            if (mInTarget && letter != 'l') {
                // Other codes inside a target are part of what the link runs.
                if (letter == '^')
                    mTarget += QLatin1Char('^');
                else
                    mTarget += s.mid(i - 2, 2);
                continue;
            }
            run.clear();
            switch (letter) {
            case 'B': mStyle |= ArticleBold; break;
            case 'b': mStyle &= ~ArticleBold; break;
            case 'I': mStyle |= ArticleItalic; break;
            case 'i': mStyle &= ~ArticleItalic; break;
            case 'U': mStyle |= ArticleUnderline; break;
            case 'u': mStyle &= ~ArticleUnderline; break;
            case 'X': mStyle |= ArticleStrikeOut; break;
            case 'x': mStyle &= ~ArticleStrikeOut; break;
            case 'F': mStyle |= ArticleFixedPitch; break;
            case 'f': mStyle &= ~ArticleFixedPitch; break;
            case 'R': mReverse = true; break;
            case 'r': mReverse = false; break;
            case 'C': {
                const int n = readNumber(s, &i);
                if (n > 0)
                    x = qint64(mRect.left()) + (mRect.width() - 12) / 2 - n / 2 + 6 - mHOffset;
                break;
            }
            case 'S':
            case 's': {
                const int n = readNumber(s, &i);
                mCanvas.setStyle(mStyle);
                x = clampX(x + qint64(n) * mCanvas.emWidth());
                break;
            }
            case 'T':
            case 't': {
                const int n = readNumber(s, &i);
                mCanvas.setStyle(mStyle);
                if (n > 0)
                    x = clampX(left + qint64(n) * mCanvas.emWidth());
                break;
            }
            case 'L':
                if (!mLinkOpen) {
                    mLinkOpen = true;
                    mInTarget = false;
                    mLinkRegion = QRegion();
                    mTarget.clear();
                }
                break;
            case 'l': closeLink(); break;
            case 'M': mMarker = true; break;
            case 'm': mMarker = false; break;
            case '^': run += QLatin1Char('^'); break;
            default: break;
            }
            continue;
        }
        if (mInTarget) {
            mTarget += c;
        } else if (mLinkOpen && c == QLatin1Char('=')) {
            flushRun(run, x, y, row, visible, drawn);
            run.clear();
            mInTarget = true;
        } else if (mLinkOpen || !mMarker) {
            run += c;
        }
        ++i;
    }
    if (!mInTarget)
        flushRun(run, x, y, row, visible, drawn);
    if (hadCode)
        resetFont();
}

} // namespace

void DrawArticle(QPainter &painter, ArticleCanvas &canvas, const QString &formattedFile,
                 const QRect &rect, bool buildLinks, int *recordLength, HyperLinkList *links,
                 const QColor &reverseColor, const QColor &textColor, int topLine,
                 int horizontalOffset)
{
    if (buildLinks && links)
        links->clear();
    ArticleLineReader in;
    if (formattedFile.isEmpty() || !in.open(formattedFile))
        return;
    const int savedStyle = canvas.style();
    LinePainter lines(painter, canvas, rect, buildLinks, links, reverseColor, textColor,
                      horizontalOffset);
    const int h = std::max(1, lines.lineHeight());
    const int visibleLines = rect.height() / h;
    topLine = std::max(0, topLine);
    const qint64 last = qint64(topLine) + visibleLines;

    QByteArrayView line;
    if (*recordLength == 0) {
        if (!in.readRecord(&line))
            return;
        *recordLength = int(std::min<qsizetype>(line.size() + 2, std::numeric_limits<int>::max()));
    }
    if (!in.seek(qint64(*recordLength) * topLine))
        return;
    painter.save();
    painter.setBackgroundMode(Qt::TransparentMode);
    for (qint64 i = topLine;; ++i) {
        const bool drawn = i <= last;
        if (!drawn && (!lines.linkOpen() || i > last + MaxLinkLookahead))
            break;
        if (!in.readRecord(&line))
            break;
        lines.line(line, int(std::min<qint64>(i - topLine, std::numeric_limits<int>::max() / h - 1)), drawn);
    }
    lines.closeOpenLink();
    painter.restore();
    canvas.setStyle(savedStyle);
}

const HyperLink_Rec *FindHyperLink(const HyperLinkList &links, int x, int y)
{
    for (const HyperLink_Rec &link : links)
        if (link.region.contains(QPoint(x, y)))
            return &link;
    return nullptr;
}

void FreeHyperLinks(HyperLinkList *links)
{
    links->clear();
}

} // namespace vardeko
