// Paints a page surface: background, master and page objects, handles and focus mark.
#include "pagepainter.h"

#include "filenames.h"
#include "fillpatterns.h"
#include "imagecache.h"
#include "imageloader.h"
#include "scrollingmessage.h"
#include "textmeasurer.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QCoreApplication>
#include <QHash>
#include <QStaticText>

#include <memory>

namespace vardeko {

namespace {

constexpr int HandleSize = 8;
constexpr int GlyphSize = 13;
constexpr int GlyphRow = 17; // a check box glyph with its gap to the text
constexpr int BevelWidth = 2;

enum PenStyle { PenSolid = 0, PenDash, PenDot, PenDashDot, PenDashDotDot, PenNull, PenInsideFrame };

QColor toColor(ColorRef c)
{
    // Palette-relative colours (top byte 2) mean the same red, green and blue here.
    return QColor(colorRed(c), colorGreen(c), colorBlue(c));
}

struct ShapedLine;

// What repaints keep between calls: found files, fonts, pattern brushes and shaped text.
// Emptied when the application ends, while fonts can still be released properly.
struct PaintCaches
{
    QHash<QString, QString> found;
    QHash<QString, QFont> fonts;
    QHash<quint64, QBrush> brushes;
    QHash<std::pair<QFont, QString>, std::shared_ptr<ShapedLine>> lines;

    void clear()
    {
        found.clear();
        fonts.clear();
        brushes.clear();
        lines.clear();
    }
};

PaintCaches &paintCaches()
{
    static PaintCaches caches;
    static const bool registered = [] {
        qAddPostRoutine([] { paintCaches().clear(); });
        return true;
    }();
    Q_UNUSED(registered);
    return caches;
}

// Where a stored name was last found. Searching lists directories, far too slow to
// repeat for every picture of every repaint; a remembered place is used while the file
// is still there.
QString locateRemembered(const QString &stored, const QString &baseDir)
{
    QHash<QString, QString> &found = paintCaches().found;
    const QString key = baseDir + QChar(0) + stored;
    const auto it = found.constFind(key);
    if (it != found.constEnd() && QFileInfo::exists(*it))
        return *it;
    const QString path = locateFile(stored, baseDir);
    if (found.size() > 4096)
        found.clear();
    if (path.isEmpty())
        found.remove(key);
    else
        found.insert(key, path);
    return path;
}

const CachedImage *pageImage(const Page &page, const QString &stored, bool transparent,
                             const RenderOptions &options)
{
    const QString path = locateRemembered(stored, options.baseDir);
    if (path.isEmpty())
        return nullptr;
    return ImageCache::instance().GetImage(path, &page.PagePalette, transparent);
}

QSize storedImageSize(const QString &stored, const RenderOptions &options)
{
    const QString path = locateRemembered(stored, options.baseDir);
    return path.isEmpty() ? QSize() : ImageLoader::imageSize(path);
}

QFont pageFont(const QString &face, int size, int style)
{
    // Building a font and resolving its face is slow; pages use few distinct fonts.
    QHash<QString, QFont> &fonts = paintCaches().fonts;
    const QString key = face + QChar(0) + QString::number(size) + QChar(0) + QString::number(style);
    const auto it = fonts.constFind(key);
    if (it != fonts.constEnd())
        return *it;
    if (fonts.size() > 256)
        fonts.clear();
    return *fonts.insert(key, objectFont(face, size, style));
}

QBrush shapeBrush(const PageObject &o)
{
    if (o.FillPattern == 1)
        return Qt::NoBrush;
    if (!stockPattern(o.FillPattern))
        return QBrush(toColor(o.FillColor));
    // The same few pattern brushes come back on every repaint; a brush keeps its tile
    // ready for the raster engine.
    QHash<quint64, QBrush> &brushes = paintCaches().brushes;
    const quint64 key = (quint64(quint32(o.FillColor) & 0xFFFFFFu) << 16) | (quint64(o.FillPattern) << 1)
        | (o.FillMode == 1 ? 1u : 0u);
    const auto it = brushes.constFind(key);
    if (it != brushes.constEnd())
        return *it;
    if (brushes.size() > 1024)
        brushes.clear();
    // A larger tile of the same pattern gives the raster engine longer runs to copy, and
    // opaque tiles need no blending.
    const bool transparent = o.FillMode == 1;
    const QImage tile = patternTile(o.FillPattern, toColor(o.FillColor), transparent);
    QImage big(64, 64, transparent ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y) {
        auto *out = reinterpret_cast<QRgb *>(big.scanLine(y));
        const auto *in = reinterpret_cast<const QRgb *>(tile.constScanLine(y % 8));
        for (int x = 0; x < 64; ++x)
            out[x] = in[x % 8];
    }
    return *brushes.insert(key, QBrush(big));
}

// The pen of the outline; dash styles hold only for one-pixel lines, wider lines are
// solid and lie inside the box.
QPen shapePen(const PageObject &o)
{
    if (o.LineWidth <= 0)
        return Qt::NoPen;
    QPen pen(toColor(o.LineColor));
    pen.setJoinStyle(Qt::MiterJoin);
    if (o.LineWidth >= 2) {
        pen.setWidth(o.LineWidth);
        return pen;
    }
    pen.setWidth(1);
    pen.setCapStyle(Qt::FlatCap);
    switch (o.LineStyle) {
    case PenDash:
        pen.setDashPattern({18, 6});
        break;
    case PenDot:
        pen.setDashPattern({3, 3});
        break;
    case PenDashDot:
        pen.setDashPattern({9, 6, 3, 6});
        break;
    case PenDashDotDot:
        pen.setDashPattern({9, 3, 3, 3, 3, 3});
        break;
    case PenNull:
        return Qt::NoPen;
    default:
        break;
    }
    return pen;
}

// The one-pixel outline rectangle whose pixels run from the box's left to its right edge.
QRect outlineRect(const QRect &box)
{
    return QRect(box.left(), box.top(), box.width() - 1, box.height() - 1);
}

// A rectangle over the box with the object's pen and brush. Without an outline the
// fill stops one pixel short at the right and bottom, as the shapes always have.
void drawBoxRect(QPainter &p, const PageObject &o, const QRect &box, const QPen &pen, const QBrush &brush)
{
    if (box.width() <= 0 || box.height() <= 0)
        return;
    if (o.LineWidth >= 2 && pen.style() != Qt::NoPen) {
        const int w = o.LineWidth;
        if (brush.style() != Qt::NoBrush)
            p.fillRect(box.adjusted(w, w, -w, -w), brush);
        const QColor c = pen.color();
        p.fillRect(QRect(box.left(), box.top(), box.width(), std::min(w, box.height())), c);
        p.fillRect(QRect(box.left(), box.bottom() - w + 1, box.width(), std::min(w, box.height())), c);
        p.fillRect(QRect(box.left(), box.top(), std::min(w, box.width()), box.height()), c);
        p.fillRect(QRect(box.right() - w + 1, box.top(), std::min(w, box.width()), box.height()), c);
        return;
    }
    p.setPen(pen);
    p.setBrush(brush);
    p.drawRect(outlineRect(box));
}

// A shape drawn with a pen of width w keeps its outline inside the box.
QRectF insideFrame(const QRect &box, int w)
{
    const qreal half = w / 2.0;
    return QRectF(box.left() + half, box.top() + half, box.width() - w, box.height() - w);
}

void drawPlaceholder(QPainter &p, const QRect &r)
{
    if (r.width() <= 0 || r.height() <= 0)
        return;
    p.save();
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    const QRect o = outlineRect(r);
    p.drawRect(o);
    p.drawLine(o.topLeft(), o.bottomRight() + QPoint(1, 1));
    p.drawLine(QPoint(o.left(), o.bottom() + 1), QPoint(o.right() + 1, o.top()));
    p.restore();
}

// Text as Text objects show it: "&" doubled and "^" made the mnemonic marker, then
// variables expanded.
QString prepareText(const QString &raw, const RenderOptions &options)
{
    QString text = raw;
    text.replace(QLatin1Char('&'), QStringLiteral("&&"));
    text.replace(QLatin1Char('^'), QLatin1Char('&'));
    if (options.expand && text.contains(QLatin1Char('[')))
        text = options.expand(text);
    return text;
}


// A line of text shaped once, its mnemonic markers taken out and the underlines of
// their letters measured. Shaping costs far more than drawing the glyphs, and the same
// texts are drawn on every repaint.
struct ShapedLine
{
    QStaticText text;
    int width = 0;
    QList<QPair<int, int>> underlines; // x offset and width of each marked letter
};

const ShapedLine &shapedLine(const QFont &font, const QString &marked)
{
    auto &lines = paintCaches().lines;
    const std::pair<QFont, QString> key(font, marked);
    const auto it = lines.constFind(key);
    if (it != lines.constEnd())
        return **it;
    if (lines.size() > 8192)
        lines.clear();
    QString line;
    QList<int> underlined;
    line.reserve(marked.size());
    for (qsizetype k = 0; k < marked.size(); ++k) {
        if (marked.at(k) == QLatin1Char('&') && k + 1 < marked.size()) {
            ++k;
            if (marked.at(k) != QLatin1Char('&'))
                underlined.append(int(line.size()));
        } else if (marked.at(k) == QLatin1Char('&')) {
            continue;
        }
        line.append(marked.at(k));
    }
    const QFontMetrics metrics(font);
    ShapedLine shaped;
    shaped.text = QStaticText(line);
    shaped.text.setTextFormat(Qt::PlainText);
    shaped.text.setPerformanceHint(QStaticText::AggressiveCaching);
    shaped.text.prepare(QTransform(), font);
    shaped.width = int(std::ceil(shaped.text.size().width()));
    for (int index : underlined)
        shaped.underlines.append({metrics.horizontalAdvance(line.left(index)), metrics.horizontalAdvance(line.at(index))});
    return **lines.insert(key, std::make_shared<ShapedLine>(std::move(shaped)));
}

QSize preparedTextSize(const QString &prepared, const QFont &font)
{
    const QStringList lines = prepared.split(QLatin1Char('|'));
    int width = 0;
    for (const QString &line : lines)
        width = std::max(width, shapedLine(font, line).width);
    return QSize(width, int(lines.size()) * QFontMetrics(font).height());
}

// Lines of prepared text in the box: centred vertically when they fit, else from the
// top and cut at the box's bottom.
void drawPreparedText(QPainter &p, const QRect &box, const QString &prepared, const QFont &font,
                      const QColor &color, int align)
{
    if (box.width() <= 0 || box.height() <= 0)
        return;
    const QFontMetrics metrics(font);
    const QStringList lines = prepared.split(QLatin1Char('|'));
    const int lineHeight = metrics.height();
    const int textHeight = int(lines.size()) * lineHeight;
    int top = box.top();
    if (textHeight < box.height())
        top = box.top() + box.height() / 2 - textHeight / 2;
    p.save();
    p.setFont(font);
    p.setPen(color);
    for (int i = 0; i < lines.size(); ++i) {
        const int lineTop = top + i * lineHeight;
        const int height = std::min(lineHeight, box.bottom() + 1 - lineTop);
        if (height <= 0)
            break;
        const QRect cell(box.left(), lineTop, box.width(), height);
        {
            const ShapedLine &run = shapedLine(font, lines.at(i));
            const int width = run.width;
            int x = box.left();
            if (align == AlignCenterValue)
                x = box.left() + (box.width() - width) / 2;
            else if (align == AlignRightValue)
                x = box.left() + box.width() - width;
            const bool inside = height == lineHeight && x >= box.left() && x + width <= box.left() + box.width();
            if (!inside) {
                p.save();
                p.setClipRect(cell, Qt::IntersectClip);
            }
            const int baseline = lineTop + metrics.ascent();
            p.drawStaticText(QPoint(x, lineTop), run.text);
            for (const auto &[from, length] : run.underlines)
                p.fillRect(QRect(x + from, baseline + metrics.underlinePos(), length, std::max(1, metrics.lineWidth())),
                           color);
            if (!inside)
                p.restore();
        }
    }
    p.restore();
}

void drawScrollArrow(QPainter &p, const QRect &r, Qt::ArrowType arrow)
{
    p.fillRect(r, ButtonFaceColor);
    const QRect o = outlineRect(r);
    p.setPen(Qt::white);
    p.drawLine(o.topLeft(), o.topRight());
    p.drawLine(o.topLeft(), o.bottomLeft());
    p.setPen(Qt::black);
    p.drawLine(o.bottomLeft(), o.bottomRight());
    p.drawLine(o.topRight(), o.bottomRight());
    p.setPen(ShadowColor);
    p.drawLine(o.bottomLeft() + QPoint(1, -1), o.bottomRight() + QPoint(-1, -1));
    p.drawLine(o.topRight() + QPoint(-1, 1), o.bottomRight() + QPoint(-1, -1));
    const QPoint c = r.center();
    p.setPen(Qt::black);
    for (int i = 0; i < 4; ++i) {
        switch (arrow) {
        case Qt::UpArrow:
            p.drawLine(c.x() - i, c.y() - 2 + i, c.x() + i, c.y() - 2 + i);
            break;
        case Qt::DownArrow:
            p.drawLine(c.x() - i, c.y() + 1 - i, c.x() + i, c.y() + 1 - i);
            break;
        case Qt::LeftArrow:
            p.drawLine(c.x() - 2 + i, c.y() - i, c.x() - 2 + i, c.y() + i);
            break;
        case Qt::RightArrow:
            p.drawLine(c.x() + 1 - i, c.y() - i, c.x() + 1 - i, c.y() + i);
            break;
        default:
            return; // the thumb: a plain raised square
        }
    }
}

// A scroll bar in the classic look: arrow buttons at both ends, a dithered trough and
// a square thumb at `position` of `maximum` (none when there is nothing to scroll).
void drawScrollBar(QPainter &p, const QRect &r, Qt::Orientation orientation, int position, int maximum)
{
    if (r.isEmpty())
        return;
    p.save();
    p.setClipRect(r, Qt::IntersectClip);
    const bool vertical = orientation == Qt::Vertical;
    const int length = vertical ? r.height() : r.width();
    const int button = std::min(ScrollBarExtent, length / 2);
    const QRect first = vertical ? QRect(r.left(), r.top(), r.width(), button)
                                 : QRect(r.left(), r.top(), button, r.height());
    const QRect last = vertical ? QRect(r.left(), r.bottom() - button + 1, r.width(), button)
                                : QRect(r.right() - button + 1, r.top(), button, r.height());
    const QRect track = vertical ? QRect(r.left(), first.bottom() + 1, r.width(), length - 2 * button)
                                 : QRect(first.right() + 1, r.top(), length - 2 * button, r.height());
    p.fillRect(track, QBrush(patternTile(3, ButtonFaceColor, false)));
    drawScrollArrow(p, first, vertical ? Qt::UpArrow : Qt::LeftArrow);
    drawScrollArrow(p, last, vertical ? Qt::DownArrow : Qt::RightArrow);
    const int trackLength = vertical ? track.height() : track.width();
    if (maximum > 0 && trackLength > ScrollBarExtent) {
        const int offset = int(qint64(trackLength - ScrollBarExtent) * std::clamp(position, 0, maximum) / maximum);
        const QRect thumb = vertical ? QRect(track.left(), track.top() + offset, track.width(), ScrollBarExtent)
                                     : QRect(track.left() + offset, track.top(), ScrollBarExtent, track.height());
        drawScrollArrow(p, thumb, Qt::NoArrow);
    }
    p.restore();
}

QPoint scrollOf(const PageObject &o, const RenderOptions &options)
{
    return options.scrollPosition ? options.scrollPosition(o) : QPoint();
}

void drawArticle(QPainter &p, const PageObject &o, const RenderOptions &options)
{
    const ScrollBarLayout bars = articleScrollBars(o);
    const QPoint scroll = scrollOf(o, options);
    ArticleScrollRange range;
    if (options.articles && !bars.view.isEmpty()) {
        p.save();
        p.setClipRect(bars.view, Qt::IntersectClip);
        range = options.articles->paintArticle(p, o, bars.view, scroll);
        p.restore();
    }
    drawScrollBar(p, bars.vertical, Qt::Vertical, scroll.y(), range.verticalMax);
    drawScrollBar(p, bars.horizontal, Qt::Horizontal, scroll.x(), range.horizontalMax);
}

// The largest width not wider than the interior whose height, at the picture's ratio,
// fits the interior's height.
QSize aspectFit(const QSize &image, const QSize &interior)
{
    if (image.isEmpty() || interior.isEmpty())
        return QSize();
    auto heightFor = [&](int w) { return int(std::lround(double(w) * image.height() / image.width())); };
    int w = std::min(interior.width(), int(std::floor((interior.height() + 0.5) * image.width() / image.height())) + 1);
    w = std::max(w, 0);
    while (w > 0 && heightFor(w) > interior.height())
        --w;
    return QSize(w, heightFor(w));
}

void drawPicture(QPainter &p, const Page &page, const PageObject &o, const QRect &box, const RenderOptions &options)
{
    const PictureData *pic = o.picture();
    const QRect interior = box.adjusted(o.LineWidth, o.LineWidth, -o.LineWidth, -o.LineWidth);
    if (isScrollingMessageFile(pic->FileName)) {
        // A moving message instead of a picture; a missing file shows nothing.
        ScrollingMessage message;
        const QString path = options.showImages ? locateRemembered(pic->FileName, options.baseDir) : QString();
        if (!path.isEmpty() && readScrollingMessage(path, &message))
            paintScrollingMessage(p, interior, message, options.messageTick);
        return;
    }
    const CachedImage *entry = options.showImages ? pageImage(page, pic->FileName, false, options) : nullptr;
    if (!entry) {
        drawPlaceholder(p, interior);
        return;
    }
    const QImage &image = entry->image;
    p.save();
    if (pic->Scale) {
        p.setClipRect(interior, Qt::IntersectClip);
        if (pic->AspectRatio) {
            const QSize size = aspectFit(image.size(), interior.size());
            p.drawImage(QRect(interior.topLeft(), size), image);
        } else {
            p.drawImage(interior, image);
        }
        p.restore();
        return;
    }
    const ScrollBarLayout bars = layoutScrollBars(interior, pic->WindowFlags, pic->VScrollPos, pic->HScrollPos);
    const QPoint scroll = scrollOf(o, options);
    p.setClipRect(bars.view, Qt::IntersectClip);
    p.drawImage(bars.view.topLeft() - scroll, image);
    p.restore();
    drawScrollBar(p, bars.vertical, Qt::Vertical, scroll.y(), image.height());
    drawScrollBar(p, bars.horizontal, Qt::Horizontal, scroll.x(), image.width());
}

void drawTextObject(QPainter &p, const PageObject &o, const QRect &box, const RenderOptions &options)
{
    const TextData *t = o.text();
    drawPreparedText(p, box, prepareText(t->Text, options), pageFont(t->Font, t->FontSize, t->FontStyle),
                     toColor(t->TextColor), t->Align);
}

int buttonState(const ButtonData &b, const RenderOptions &options)
{
    if (options.displayMode == 1)
        return b.State;
    // The editor shows check boxes and radio buttons as the reader first sees them.
    return (b.Style == CheckBox || b.Style == RadioButton) ? b.InitState : 0;
}

// A button image where it goes: the picture, or its size with the placeholder.
struct ButtonImage
{
    const QImage *image = nullptr;
    QSize size;
    bool exists() const { return size.isValid() && !size.isEmpty(); }
};

ButtonImage buttonImage(const Page &page, const ButtonData &b, bool pressed, const RenderOptions &options)
{
    const QString &name = (pressed && !b.DownImage.isEmpty()) ? b.DownImage : b.UpImage;
    ButtonImage result;
    if (name.isEmpty())
        return result;
    if (options.showImages) {
        if (const CachedImage *entry = pageImage(page, name, b.TransImages, options)) {
            result.image = b.TransImages && !entry->transparentImage.isNull() ? &entry->transparentImage
                                                                               : &entry->image;
            result.size = result.image->size();
            return result;
        }
    }
    result.size = storedImageSize(name, options);
    return result;
}

void drawButtonImage(QPainter &p, const ButtonImage &image, const QRect &where, const QRect &clip)
{
    p.save();
    p.setClipRect(clip, Qt::IntersectClip);
    if (image.image)
        p.drawImage(where.topLeft(), *image.image, QRect(QPoint(0, 0), where.size()));
    else
        drawPlaceholder(p, where);
    p.restore();
}

void drawPushButton(QPainter &p, const Page &page, const PageObject &o, const QRect &box, const RenderOptions &options)
{
    const ButtonData &b = *o.button();
    const QRect interior = box.adjusted(o.LineWidth, o.LineWidth, -o.LineWidth, -o.LineWidth);
    const bool pressed = buttonState(b, options) == 1;
    int bevel = 0;
    if (o.LineWidth >= 1 && !interior.isEmpty()) {
        bevel = BevelWidth;
        const QRect in = interior;
        if (!pressed) {
            p.fillRect(QRect(in.left(), in.top(), in.width(), bevel), Qt::white);
            p.fillRect(QRect(in.left(), in.top(), bevel, in.height()), Qt::white);
            p.fillRect(QRect(in.left(), in.bottom() - bevel + 1, in.width(), bevel), ShadowColor);
            p.fillRect(QRect(in.right() - bevel + 1, in.top(), bevel, in.height()), ShadowColor);
        } else {
            p.fillRect(QRect(in.left(), in.top(), in.width(), bevel), ShadowColor);
            p.fillRect(QRect(in.left(), in.top(), bevel, in.height()), ShadowColor);
        }
    }
    const QRect inner = interior.adjusted(bevel, bevel, -bevel, -bevel);
    QRect content = inner;
    if (pressed)
        content.translate(2, 2);
    const QFont font = pageFont(b.Font, b.FontSize, b.FontStyle);
    const QColor color = toColor(b.TextColor);
    const QString text = prepareText(b.Text, options);
    const ButtonImage image = buttonImage(page, b, pressed, options);

    p.save();
    p.setClipRect(inner, Qt::IntersectClip);
    if (b.OverlayText || b.Text.isEmpty()) {
        if (image.exists()) {
            const QSize s = image.size;
            int x = content.left() + 3 * bevel;
            if (b.Align == AlignCenterValue)
                x = content.left() + (content.width() - s.width()) / 2;
            else if (b.Align == AlignRightValue)
                x = content.right() + 1 - 3 * bevel - s.width();
            const int y = content.top() + (content.height() - s.height()) / 2;
            drawButtonImage(p, image, QRect(QPoint(x, y), s), inner);
        }
        if (!b.Text.isEmpty())
            drawPreparedText(p, content, text, font, color, b.Align);
        p.restore();
        return;
    }

    const QSize textSize = preparedTextSize(text, font);
    constexpr int Gap = 4;
    if (!image.exists()) {
        drawPreparedText(p, content, text, font, color, b.Align);
    } else if (b.Align == AlignCenterValue) {
        // Image above the text; the image gives up height so the text keeps its room.
        QSize s = image.size;
        s.setHeight(std::max(0, std::min(s.height(), content.height() - Gap - textSize.height())));
        const int top = content.top() + (content.height() - (s.height() + Gap + textSize.height())) / 2;
        drawButtonImage(p, image, QRect(QPoint(content.left() + (content.width() - s.width()) / 2, top), s), inner);
        drawPreparedText(p, QRect(content.left(), top + s.height() + Gap, content.width(), textSize.height()), text,
                         font, color, AlignCenterValue);
    } else {
        const QSize s = image.size;
        const int left = content.left() + (content.width() - (s.width() + Gap + textSize.width())) / 2;
        const int imageY = content.top() + (content.height() - s.height()) / 2;
        const bool imageFirst = b.Align != AlignRightValue;
        const int imageX = imageFirst ? left : left + textSize.width() + Gap;
        const int textX = imageFirst ? left + s.width() + Gap : left;
        drawButtonImage(p, image, QRect(QPoint(imageX, imageY), s), inner);
        drawPreparedText(p, QRect(textX, content.top(), textSize.width(), content.height()), text, font, color,
                         AlignLeftValue);
    }
    p.restore();
}

void drawEntryField(QPainter &p, const PageObject &o, const QRect &box, const RenderOptions &options)
{
    const ButtonData &b = *o.button();
    const QRect interior = box.adjusted(o.LineWidth, o.LineWidth, -o.LineWidth, -o.LineWidth);
    if (interior.isEmpty())
        return;
    if (o.LineWidth >= 1) {
        p.fillRect(QRect(interior.left(), interior.top(), interior.width(), 1), ShadowColor);
        p.fillRect(QRect(interior.left(), interior.top(), 1, interior.height()), ShadowColor);
        p.fillRect(QRect(interior.left(), interior.bottom(), interior.width(), 1), ButtonFaceColor);
        p.fillRect(QRect(interior.right(), interior.top(), 1, interior.height()), ButtonFaceColor);
    }
    const QString &text = options.displayMode == 1 ? b.Contents : b.Text;
    const QFont font = pageFont(b.Font, b.FontSize, b.FontStyle);
    const QFontMetrics metrics(font);
    const int height = metrics.height();
    const QRect line(interior.left() + 5, interior.top() + (interior.height() - height) / 2, interior.width() - 6, height);
    p.save();
    p.setClipRect(interior, Qt::IntersectClip);
    p.setClipRect(line, Qt::IntersectClip);
    p.setFont(font);
    p.setPen(toColor(b.TextColor));
    // The field shows its text as typed: no mnemonic markers.
    QString shown = text;
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    p.drawStaticText(line.topLeft(), shapedLine(font, shown).text);
    p.restore();
}

void drawCheckGlyph(QPainter &p, const QPoint &at, bool radio, int state)
{
    p.save();
    p.translate(at);
    const QColor paper = state == 2 ? ButtonFaceColor : QColor(Qt::white);
    if (!radio) {
        p.fillRect(QRect(0, 0, GlyphSize, GlyphSize), paper);
        p.fillRect(QRect(0, 0, 12, 1), ShadowColor);
        p.fillRect(QRect(0, 0, 1, 12), ShadowColor);
        p.fillRect(QRect(0, 12, 13, 1), Qt::white);
        p.fillRect(QRect(12, 0, 1, 13), Qt::white);
        p.fillRect(QRect(1, 1, 10, 1), Qt::black);
        p.fillRect(QRect(1, 1, 1, 10), Qt::black);
        p.fillRect(QRect(1, 11, 11, 1), ButtonFaceColor);
        p.fillRect(QRect(11, 1, 1, 11), ButtonFaceColor);
        if (state == 1) {
            for (int k = 0; k < 7; ++k) {
                const int top = k <= 2 ? 5 + k : 7 - (k - 2);
                p.fillRect(QRect(3 + k, top, 1, 3), Qt::black);
            }
        }
    } else {
        // Rows of the round glyph: outer ring shadow above, white below; inner ring black
        // above, button face below.
        static const char *const Rows[GlyphSize] = {
            "....ssss.....", "..ssbbbbss...", ".sbbppppbbw..", ".sbppppppfw..",
            "sbppppppppfw.", "sbppppppppfw.", "sbppppppppfw.", "sbppppppppfw.",
            ".sfppppppfw..", ".wffppppffw..", "..wwffffww...", "....wwww.....", ".............",
        };
        for (int y = 0; y < GlyphSize; ++y) {
            for (int x = 0; x < GlyphSize; ++x) {
                QColor c;
                switch (Rows[y][x]) {
                case 's': c = ShadowColor; break;
                case 'b': c = Qt::black; break;
                case 'w': c = Qt::white; break;
                case 'f': c = ButtonFaceColor; break;
                case 'p': c = paper; break;
                default: continue;
                }
                p.fillRect(QRect(x, y, 1, 1), c);
            }
        }
        if (state == 1) {
            p.fillRect(QRect(5, 4, 2, 1), Qt::black);
            p.fillRect(QRect(4, 5, 4, 2), Qt::black);
            p.fillRect(QRect(5, 7, 2, 1), Qt::black);
        }
    }
    p.restore();
}

void drawCheckButton(QPainter &p, const PageObject &o, const QRect &box, const RenderOptions &options)
{
    const ButtonData &b = *o.button();
    const QFont font = pageFont(b.Font, b.FontSize, b.FontStyle);
    const QString text = prepareText(b.Text, options);
    const int state = buttonState(b, options);
    const bool radio = b.Style == RadioButton;
    if (b.Align == AlignCenterValue) {
        const QSize textSize = preparedTextSize(text, font);
        const int top = box.top() + (box.height() - (GlyphRow + textSize.height())) / 2;
        drawCheckGlyph(p, QPoint(box.left() + (box.width() - GlyphSize) / 2, top), radio, state);
        drawPreparedText(p, QRect(box.left(), top + GlyphRow, box.width(), textSize.height()), text, font,
                         toColor(b.TextColor), AlignCenterValue);
        return;
    }
    const int glyphY = box.top() + (box.height() - GlyphSize) / 2;
    if (b.Align == AlignRightValue) {
        drawCheckGlyph(p, QPoint(box.right() + 1 - GlyphSize, glyphY), radio, state);
        drawPreparedText(p, QRect(box.left(), box.top(), box.width() - GlyphRow, box.height()), text, font,
                         toColor(b.TextColor), AlignRightValue);
    } else {
        drawCheckGlyph(p, QPoint(box.left(), glyphY), radio, state);
        drawPreparedText(p, QRect(box.left() + GlyphRow, box.top(), box.width() - GlyphRow, box.height()), text,
                         font, toColor(b.TextColor), AlignLeftValue);
    }
}

// The box an object is drawn in. A damaged or hand-made file may give X1 > X2 or Y1 > Y2;
// such a box is drawn where its corners span, the same for every kind, and stays stored
// as it was read.
QRect drawnBox(const PageObject &o)
{
    return QRect(QPoint(std::min(o.X1, o.X2), std::min(o.Y1, o.Y2)),
                 QPoint(std::max(o.X1, o.X2) - 1, std::max(o.Y1, o.Y2) - 1));
}

} // namespace

ScrollBarLayout articleScrollBars(const PageObject &o)
{
    const ArticleData *a = o.article();
    const QRect box = drawnBox(o);
    const QRect interior = box.adjusted(o.LineWidth, o.LineWidth, -o.LineWidth, -o.LineWidth);
    return a ? layoutScrollBars(interior, a->WindowFlags, a->VScrollPos, a->HScrollPos) : ScrollBarLayout{{}, {}, interior};
}

namespace {

void drawObject(QPainter &p, const Page &page, const PageObject &o, const QRect &clip, const RenderOptions &options)
{
    const QRect box = drawnBox(o);
    const QPen pen = shapePen(o);
    const QBrush brush = shapeBrush(o);
    switch (o.ObjectType) {
    case RectangleKind:
        if (o.LineOrigin == 1) {
            const int r = std::min({15, box.width() / 4, box.height() / 4});
            p.setPen(pen);
            p.setBrush(brush);
            if (o.LineWidth >= 2)
                p.drawRoundedRect(insideFrame(box, o.LineWidth), r / 2.0, r / 2.0);
            else
                p.drawRoundedRect(outlineRect(box), r / 2.0, r / 2.0);
        } else {
            drawBoxRect(p, o, box, pen, brush);
        }
        break;
    case CircleKind:
        p.setPen(pen);
        p.setBrush(brush);
        if (o.LineWidth >= 2)
            p.drawEllipse(insideFrame(box, o.LineWidth));
        else
            p.drawEllipse(outlineRect(box));
        break;
    case LineKind: {
        QPen linePen = pen;
        if (o.LineWidth >= 2)
            linePen.setCapStyle(Qt::RoundCap);
        p.setPen(linePen);
        if (o.LineOrigin == 1)
            p.drawLine(QPoint(o.X1, o.Y2), QPoint(o.X2, o.Y1));
        else
            p.drawLine(QPoint(o.X1, o.Y1), QPoint(o.X2, o.Y2));
        break;
    }
    case ArticleKind:
        // Without an outline the article's rectangle covers the whole box.
        drawBoxRect(p, o, o.LineWidth == 0 ? box.adjusted(0, 0, 1, 1) : box, pen, brush);
        if (o.article())
            drawArticle(p, o, options);
        break;
    case PictureKind:
        drawBoxRect(p, o, box, pen, brush);
        if (o.picture())
            drawPicture(p, page, o, box, options);
        break;
    case TextKind:
        drawBoxRect(p, o, box, pen, brush);
        if (o.text())
            drawTextObject(p, o, box, options);
        break;
    case ButtonKind: {
        const ButtonData *b = o.button();
        if (!b)
            break;
        if (b->Style == PushButton || b->Style == EntryField)
            drawBoxRect(p, o, box, pen, brush);
        if (b->Style == PushButton)
            drawPushButton(p, page, o, box, options);
        else if (b->Style == EntryField)
            drawEntryField(p, o, box, options);
        else
            drawCheckButton(p, o, box, options);
        break;
    }
    case GroupKind:
        break; // members are painted by paintObject
    default:
        break;
    }
}

void invertRect(QPainter &p, const QRect &r)
{
    p.fillRect(r, Qt::white);
}

} // namespace

ScrollBarLayout layoutScrollBars(const QRect &interior, quint8 windowFlags, quint8 vScrollPos, quint8 hScrollPos)
{
    ScrollBarLayout bars;
    bars.view = interior;
    const bool hasV = windowFlags & VScrollBarOn;
    const bool hasH = windowFlags & HScrollBarOn;
    const bool vLeft = vScrollPos == 1;
    const bool hTop = hScrollPos == 8;
    const int w = ScrollBarExtent;
    if (hasV) {
        bars.vertical = QRect(vLeft ? interior.left() : interior.right() + 1 - w, interior.top(), w, interior.height());
        if (vLeft)
            bars.view.setLeft(bars.view.left() + w);
        else
            bars.view.setRight(bars.view.right() - w);
    }
    if (hasH) {
        bars.horizontal = QRect(interior.left(), hTop ? interior.top() : interior.bottom() + 1 - w, interior.width(), w);
        if (hTop)
            bars.view.setTop(bars.view.top() + w);
        else
            bars.view.setBottom(bars.view.bottom() - w);
    }
    if (hasV && hasH) {
        if (hTop)
            bars.vertical.setTop(bars.vertical.top() + w);
        else
            bars.vertical.setBottom(bars.vertical.bottom() - w);
        if (vLeft)
            bars.horizontal.setLeft(bars.horizontal.left() + w);
        else
            bars.horizontal.setRight(bars.horizontal.right() - w);
    }
    return bars;
}

QRect paintedBounds(const PageObject &object)
{
    QRect r = QRect(QPoint(object.X1, object.Y1), QPoint(object.X2, object.Y2)).normalized();
    if (object.ObjectType == LineKind) {
        const int grow = object.LineWidth / 2 + 1;
        r.adjust(-grow, -grow, grow, grow);
    }
    return r;
}

void paintObject(QPainter &painter, const Page &page, const PageObject &object, const QRect &clip,
                 const RenderOptions &options)
{
    if (!clip.intersects(paintedBounds(object)))
        return;
    if (!object.isGroup()) {
        painter.save();
        drawObject(painter, page, object, clip, options);
        painter.restore();
        return;
    }
    // A group's members in their order at its place, groups inside it entered the same
    // way; the open groups are kept in a list, so nesting of any depth costs no stack.
    std::vector<std::pair<const ObjectList *, size_t>> levels{{&object.Members, 0}};
    while (!levels.empty()) {
        auto &[list, next] = levels.back();
        if (next == list->size()) {
            levels.pop_back();
            continue;
        }
        const PageObject &member = *(*list)[next++];
        if (!clip.intersects(paintedBounds(member)))
            continue;
        if (member.isGroup()) {
            levels.emplace_back(&member.Members, 0);
        } else {
            painter.save();
            drawObject(painter, page, member, clip, options);
            painter.restore();
        }
    }
}

void paintHandles(QPainter &painter, const PageObject &object)
{
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.setRenderHint(QPainter::Antialiasing, false);
    auto handleAt = [](int x, int y) { return QRect(x - HandleSize / 2, y - HandleSize / 2, HandleSize, HandleSize); };
    if (object.ObjectType == LineKind) {
        const bool swapped = object.LineOrigin == 1;
        invertRect(painter, handleAt(object.X1, swapped ? object.Y2 : object.Y1));
        invertRect(painter, handleAt(object.X2, swapped ? object.Y1 : object.Y2));
    } else {
        const int xs[3] = {object.X1, (object.X1 + object.X2) / 2, object.X2};
        const int ys[3] = {object.Y1, (object.Y1 + object.Y2) / 2, object.Y2};
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j) {
                if (i == 1 && j == 1)
                    continue;
                const QRect h = handleAt(xs[i], ys[j]);
                if (object.isGroup()) {
                    invertRect(painter, QRect(h.left(), h.top(), h.width(), 1));
                    invertRect(painter, QRect(h.left(), h.bottom(), h.width(), 1));
                    invertRect(painter, QRect(h.left(), h.top() + 1, 1, h.height() - 2));
                    invertRect(painter, QRect(h.right(), h.top() + 1, 1, h.height() - 2));
                } else {
                    invertRect(painter, h);
                }
            }
        }
    }
    painter.restore();
}

void paintFocusMark(QPainter &painter, const PageObject &object)
{
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QRect r = drawnBox(object).adjusted(-2, -2, 2, 2);
    // Every other pixel, going round the rectangle.
    int n = 0;
    auto dot = [&](int x, int y) {
        if ((n++ & 1) == 0)
            painter.fillRect(QRect(x, y, 1, 1), Qt::white);
    };
    for (int x = r.left(); x < r.right(); ++x)
        dot(x, r.top());
    for (int y = r.top(); y < r.bottom(); ++y)
        dot(r.right(), y);
    for (int x = r.right(); x > r.left(); --x)
        dot(x, r.bottom());
    for (int y = r.bottom(); y > r.top(); --y)
        dot(r.left(), y);
    painter.restore();
}

void paintPage(QPainter &painter, const Publication &pub, const Page &page, const QRect &clip,
               const RenderOptions &options)
{
    const QRect pageRect(0, 0, pub.Settings.ScreenWidth, pub.Settings.ScreenHeight);
    const QRect area = clip.intersected(pageRect);
    if (area.isEmpty())
        return;
    painter.save();
    painter.setClipRect(area, Qt::IntersectClip);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setBrushOrigin(0, 0);

    // Background: tiled wallpaper, or the page colour.
    const CachedImage *wallpaper = nullptr;
    if (page.PageStyle != 0 && options.showImages)
        wallpaper = pageImage(page, page.PageWallPaper, false, options);
    if (page.PageStyle != 0 && options.showImages) {
        if (wallpaper && !wallpaper->image.isNull()) {
            const QSize tile = wallpaper->image.size();
            for (int y = (area.top() / tile.height()) * tile.height(); y <= area.bottom(); y += tile.height())
                for (int x = (area.left() / tile.width()) * tile.width(); x <= area.right(); x += tile.width())
                    painter.drawImage(QPoint(x, y), wallpaper->image);
        }
    } else {
        painter.fillRect(area, toColor(page.PageColor));
    }

    if (options.displayMode == 0 && options.showGrid && options.gridX > 0 && options.gridY > 0) {
        painter.save();
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        const int iFirst = (area.left() + options.gridX - 1) / options.gridX;
        const int jFirst = (area.top() + options.gridY - 1) / options.gridY;
        const int iLast = std::min(pageRect.width() / options.gridX, area.right() / options.gridX);
        const int jLast = std::min(pageRect.height() / options.gridY, area.bottom() / options.gridY);
        for (int j = jFirst; j <= jLast; ++j)
            for (int i = iFirst; i <= iLast; ++i)
                painter.fillRect(QRect(i * options.gridX, j * options.gridY, 1, 1), Qt::white);
        painter.restore();
    }

    // The master page's objects are drawn as part of this page: its palette maps their
    // pictures as it maps the page's own.
    const Page *master = pub.masterPage();
    if (page.ShowMaster && master && master != &page) {
        for (const ObjectPtr &object : master->Objects)
            paintObject(painter, page, *object, area, options);
    }
    for (const ObjectPtr &object : page.Objects)
        paintObject(painter, page, *object, area, options);

    if (options.displayMode == 0) {
        for (const ObjectPtr &object : page.Objects) {
            if (!options.showHandles)
                break;
            if (object->Selected && area.intersects(object->box().adjusted(-HandleSize, -HandleSize, HandleSize, HandleSize)))
                paintHandles(painter, *object);
        }
    } else if (options.focused && !options.editingFocusedField) {
        paintFocusMark(painter, *options.focused);
    }
    painter.restore();
}

QImage renderPage(const Publication &pub, const Page &page, const RenderOptions &options)
{
    const QSize size(std::max(1, pub.Settings.ScreenWidth), std::max(1, pub.Settings.ScreenHeight));
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    // The page is laid out for a 96 dots-per-inch screen.
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    QPainter painter(&image);
    paintPage(painter, pub, page, QRect(QPoint(0, 0), size), options);
    painter.end();
    return image;
}

void paintPageFrame(QPainter &painter, const QRect &window, const QRect &page, int displayMode, bool fullScreen)
{
    painter.save();
    QRegion surround(window);
    surround -= QRegion(page);
    painter.setClipRegion(surround);
    painter.fillRect(window, displayMode == 1 && fullScreen ? QColor(Qt::black) : ButtonFaceColor);
    if (displayMode == 0) {
        painter.setPen(Qt::black);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(page.adjusted(-1, -1, 0, 0));
        painter.fillRect(QRect(page.right() + 2, page.top() + 4, 5, page.height() + 3), ShadowColor);
        painter.fillRect(QRect(page.left() + 4, page.bottom() + 2, page.width() + 3, 5), ShadowColor);
    }
    painter.restore();
}

bool paintPageInWindow(QPainter &painter, const QRect &window, const QRect &page, const QRect &dirty,
                       const Publication &pub, const Page *current, const RenderOptions &options,
                       bool fullScreen)
{
    paintPageFrame(painter, window, page, options.displayMode, fullScreen);
    const QRect clip = page.intersected(dirty);
    if (clip.isEmpty())
        return false;
    painter.setClipRect(clip);
    if (!current) {
        painter.fillRect(page, Qt::white);
        return false;
    }
    painter.translate(page.topLeft());
    paintPage(painter, pub, *current, clip.translated(-page.topLeft()), options);
    return true;
}

QString publicationCaption(const Publication &pub, int displayMode)
{
    if (displayMode == 1)
        return pub.Settings.Title;
    const int colors = pub.Settings.ScreenColors;
    QString count;
    if (colors == 32768)
        count = QStringLiteral("32K");
    else if (colors == 65536)
        count = QStringLiteral("64K");
    else if (colors == 16777216)
        count = QStringLiteral("16M");
    else
        count = QString::number(colors);
    const QString name = pub.FileName.isEmpty() ? QStringLiteral("Untitled") : pub.FileName;
    return QStringLiteral("%1 (%2x%3 %4 Colors)")
        .arg(name)
        .arg(pub.Settings.ScreenWidth)
        .arg(pub.Settings.ScreenHeight)
        .arg(count);
}

} // namespace vardeko
