// Page transition effects: the steps of each effect, and painting a step into a frame.
#include "transition.h"

#include <QImage>

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vardeko {

namespace {

// Eight 8 x 8 patterns, rows top to bottom, the most significant bit leftmost; a set bit
// keeps the old pixel. The last stage takes every pixel of the new page.
const quint8 DissolveMasks[8][8] = {
        {0xBF, 0xFD, 0xEF, 0x7F, 0xFB, 0xDF, 0xFE, 0xF7}, {0xAF, 0x7D, 0xEB, 0x5F, 0xFA, 0xD7, 0xBE, 0xF5},
        {0xAB, 0x5D, 0xEA, 0x57, 0xBA, 0xD5, 0xAE, 0x75}, {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55},
        {0x8A, 0x54, 0xA2, 0x15, 0xA8, 0x45, 0x2A, 0x51}, {0x50, 0x82, 0x14, 0xA0, 0x05, 0x28, 0x41, 0x0A},
        {0x40, 0x02, 0x10, 0x80, 0x04, 0x20, 0x01, 0x08}, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}};

// Collects the steps of one effect, clipping every copy to the page.
class StepList
{
public:
    explicit StepList(QSize size) : mPage(QPoint(0, 0), size) {}

    void begin(int waitMs)
    {
        TransitionStep step;
        step.waitMs = waitMs;
        mSteps.append(step);
    }
    void copy(const QRect &area) { copyFrom(area, area.topLeft()); }
    void copyFrom(const QRect &source, QPoint target)
    {
        const QRect clipped = source.intersected(mPage);
        if (!clipped.isEmpty())
            mSteps.last().copies.append({clipped, target + (clipped.topLeft() - source.topLeft())});
    }
    void wholePage(int waitMs = 0)
    {
        begin(waitMs);
        copy(mPage);
    }
    QList<TransitionStep> take() { return std::move(mSteps); }
    QList<TransitionStep> &steps() { return mSteps; }

private:
    QRect mPage;
    QList<TransitionStep> mSteps;
};

// The part of `outer` outside `inner` (inner within outer), as up to four bands.
void copyRing(StepList &list, int l, int t, int r, int b, int il, int it, int ir, int ib)
{
    if (il >= ir || it >= ib) {
        list.copy(QRect(QPoint(l, t), QPoint(r - 1, b - 1)));
        return;
    }
    list.copy(QRect(l, t, r - l, it - t));
    list.copy(QRect(l, ib, r - l, b - ib));
    list.copy(QRect(l, it, il - l, ib - it));
    list.copy(QRect(ir, it, r - ir, ib - it));
}

// Explode and Implode move their horizontal edges in proportion to the page's shape.
// A page lower than one vertical step would divide by zero, and a tall narrow page gives
// a step of 0 that never ends: the step is at least one pixel.
int horizontalStep(int width, int height, int verticalStep)
{
    const int rows = height / verticalStep;
    return std::max(1, rows == 0 ? width : width / rows);
}

void slide(StepList &list, int effect, int s, int W, int H)
{
    const int step = 14 - s;
    switch (effect) {
    case SlideLeft:
        for (int x = 0; x < W;) {
            const int next = std::min(W, x + step), d = next - x;
            list.begin(s + 2);
            list.steps().last().scroll = QPoint(-d, 0);
            list.copyFrom(QRect(x, 0, d, H), QPoint(W - d, 0));
            x = next;
        }
        list.wholePage();
        break;
    case SlideRight:
        for (int x = W; x > 0;) {
            const int next = std::max(0, x - step), d = x - next;
            list.begin(s + 2);
            list.steps().last().scroll = QPoint(d, 0);
            list.copyFrom(QRect(next, 0, d, H), QPoint(0, 0));
            x = next;
        }
        break;
    case SlideUp:
        for (int y = 0; y < H;) {
            const int next = std::min(H, y + step), d = next - y;
            list.begin(s + 3);
            list.steps().last().scroll = QPoint(0, -d);
            list.copyFrom(QRect(0, y, W, d), QPoint(0, H - d));
            y = next;
        }
        list.wholePage();
        break;
    case SlideDown:
        for (int y = H; y > 0;) {
            const int next = std::max(0, y - step), d = y - next;
            list.begin(s + 2);
            list.steps().last().scroll = QPoint(0, d);
            list.copyFrom(QRect(0, next, W, d), QPoint(0, 0));
            y = next;
        }
        break;
    }
}

void explode(StepList &list, int s, int W, int H)
{
    const int v = 14 - s, h = horizontalStep(W, H, v);
    int l = W / 2, r = l, t = H / 2, b = t;
    while (l > 0 || t > 0 || r < W || b < H) {
        const int nl = std::max(0, l - h), nt = std::max(0, t - v);
        const int nr = std::min(W, r + h), nb = std::min(H, b + v);
        list.begin(s);
        copyRing(list, nl, nt, nr, nb, l, t, r, b);
        l = nl, t = nt, r = nr, b = nb;
    }
}

void implode(StepList &list, int s, int W, int H)
{
    const int v = 14 - s, h = horizontalStep(W, H, v);
    int l = 0, t = 0, r = W, b = H;
    while (l < r && t < b) {
        const int nl = std::min(W, l + h), nt = std::min(H, t + v);
        const int nr = std::max(0, r - h), nb = std::max(0, b - v);
        list.begin(s);
        copyRing(list, l, t, r, b, nl, nt, nr, nb);
        l = nl, t = nt, r = nr, b = nb;
    }
}

// Even bands grow from the leading edge, odd ones from the trailing edge.
void weave(StepList &list, bool horizontal, int s, int W, int H)
{
    const int length = horizontal ? W : H, across = horizontal ? H : W;
    const int bands = across / 10 + 1;
    for (int a = 0, z = length; a < length && z > 0;) {
        const int na = std::min(length, a + 10), nz = std::max(0, z - 10);
        list.begin(6 * s);
        for (int band = 0; band < bands; ++band) {
            const int from = band % 2 == 0 ? a : nz, to = band % 2 == 0 ? na : z;
            if (horizontal)
                list.copy(QRect(from, band * 10, to - from, 10));
            else
                list.copy(QRect(band * 10, from, 10, to - from));
        }
        a = na, z = nz;
    }
}

// A band grows from the middle outwards; an odd size can stop it one pixel short.
void split(StepList &list, bool horizontal, int s, int W, int H)
{
    const int length = horizontal ? W : H, across = horizontal ? H : W;
    const int step = horizontal ? (10 - s) / 2 + 4 : 14 - s;
    int start = length / 2, size = 0;
    while (start > 0 && size < length) {
        const int nstart = std::max(0, start - step), nsize = std::min(length, size + 2 * step);
        list.begin(6 * s);
        const int spans[2][2] = {{nstart, start}, {start + size, nstart + nsize}};
        for (const auto &span : spans) {
            if (horizontal)
                list.copy(QRect(span[0], 0, span[1] - span[0], across));
            else
                list.copy(QRect(0, span[0], across, span[1] - span[0]));
        }
        start = nstart, size = nsize;
    }
    if (start > 0 || size < length)
        list.wholePage();
}

void wipe(StepList &list, int effect, int s, int W, int H)
{
    const int step = 11 - s;
    switch (effect) {
    case WipeLeft:
        for (int x = W; x > 0; x -= step) {
            list.begin(s + 1);
            list.copy(QRect(x - step, 0, step, H));
        }
        break;
    case WipeRight:
        for (int x = 0; x < W; x += step) {
            list.begin(s + 1);
            list.copy(QRect(x, 0, step, H));
        }
        break;
    case WipeUp:
        for (int y = H; y > 0; y -= step) {
            list.begin(s + 1);
            list.copy(QRect(0, y - step, W, step));
        }
        break;
    case WipeDown:
        for (int y = 0; y < H; y += step) {
            list.begin(s + 1);
            list.copy(QRect(0, y, W, step));
        }
        break;
    }
}

void scrollFrame(QImage &frame, QPoint by)
{
    const QRect all = frame.rect();
    const QRect dest = all.intersected(all.translated(by));
    if (dest.isEmpty())
        return;
    const int bytes = dest.width() * 4;
    auto moveRow = [&](int y) {
        uchar *to = frame.scanLine(y) + dest.left() * 4;
        const uchar *from = frame.constScanLine(y - by.y()) + (dest.left() - by.x()) * 4;
        std::memmove(to, from, size_t(bytes));
    };
    if (by.y() > 0)
        for (int y = dest.bottom(); y >= dest.top(); --y)
            moveRow(y);
    else
        for (int y = dest.top(); y <= dest.bottom(); ++y)
            moveRow(y);
}

} // namespace

int clampEffectSpeed(int speed) { return std::clamp(speed, 0, 10); }

QList<TransitionStep> transitionSteps(int effect, int speed, QSize size, QPoint origin)
{
    Q_UNUSED(origin); // the masks are tiled when painting
    const int s = clampEffectSpeed(speed), W = size.width(), H = size.height();
    StepList list(size);
    if (W <= 0 || H <= 0)
        return {};
    switch (effect) {
    case Dissolve:
        for (int stage = 0; stage < 8; ++stage) {
            list.wholePage(10 * s);
            list.steps().last().maskStage = stage;
        }
        break;
    case SlideLeft:
    case SlideRight:
    case SlideUp:
    case SlideDown:
        slide(list, effect, s, W, H);
        break;
    case Explode:
        explode(list, s, W, H);
        break;
    case Implode:
        implode(list, s, W, H);
        break;
    case WeaveHorizontal:
    case WeaveVertical:
        weave(list, effect == WeaveHorizontal, s, W, H);
        break;
    case SplitHorizontal:
    case SplitVertical:
        split(list, effect == SplitHorizontal, s, W, H);
        break;
    case WipeLeft:
    case WipeRight:
    case WipeUp:
    case WipeDown:
        wipe(list, effect, s, W, H);
        break;
    default:
        list.wholePage();
        break;
    }
    return list.take();
}

int nominalMilliseconds(const QList<TransitionStep> &steps)
{
    int total = 0;
    for (const TransitionStep &step : steps)
        total += step.waitMs;
    return total;
}

QImage toTransitionFormat(const QImage &image)
{
    return image.format() == QImage::Format_ARGB32 ? image : image.convertToFormat(QImage::Format_ARGB32);
}

bool dissolveKeepsOld(int stage, int x, int y)
{
    return (DissolveMasks[stage & 7][y & 7] >> (7 - (x & 7))) & 1;
}

void applyTransitionStep(QImage &frame, const QImage &newPage, const TransitionStep &step, QPoint origin)
{
    Q_ASSERT(frame.format() == QImage::Format_ARGB32 && newPage.format() == QImage::Format_ARGB32);
    if (!step.scroll.isNull())
        scrollFrame(frame, step.scroll);
    const QRect frameRect = frame.rect(), pageRect = newPage.rect();
    for (const TransitionCopy &copy : step.copies) {
        // Both ends are clipped so that no read or write leaves either picture.
        QRect source = copy.source.intersected(pageRect);
        QRect target(copy.target + (source.topLeft() - copy.source.topLeft()), source.size());
        const QRect clipped = target.intersected(frameRect);
        if (clipped.isEmpty())
            continue;
        source.translate(clipped.topLeft() - target.topLeft());
        source.setSize(clipped.size());
        target = clipped;
        if (step.maskStage < 0 || step.maskStage > 7) {
            for (int row = 0; row < target.height(); ++row)
                std::memcpy(frame.scanLine(target.top() + row) + target.left() * 4,
                            newPage.constScanLine(source.top() + row) + source.left() * 4,
                            size_t(target.width()) * 4);
            continue;
        }
        const quint8 *mask = DissolveMasks[step.maskStage];
        for (int row = 0; row < target.height(); ++row) {
            const int y = target.top() + row;
            auto *to = reinterpret_cast<quint32 *>(frame.scanLine(y)) + target.left();
            const auto *from = reinterpret_cast<const quint32 *>(newPage.constScanLine(source.top() + row))
                               + source.left();
            // The pattern row, rotated so that bit 7 belongs to the first pixel.
            const unsigned bits = mask[(y + origin.y()) & 7];
            const int shift = (target.left() + origin.x()) & 7;
            const unsigned rotated = ((bits << shift) | (bits >> (8 - shift))) & 0xFF;
            if (rotated == 0xFF)
                continue;
            if (rotated == 0) {
                std::memcpy(to, from, size_t(target.width()) * 4);
                continue;
            }
            // A select per pixel without branches, eight pixels at a time.
            alignas(16) quint32 keep[8];
            for (int k = 0; k < 8; ++k)
                keep[k] = (rotated >> (7 - k)) & 1 ? 0xFFFFFFFFu : 0u;
            const int width = target.width();
            int i = 0;
#if defined(__SSE2__)
            const __m128i keepLow = _mm_load_si128(reinterpret_cast<const __m128i *>(keep));
            const __m128i keepHigh = _mm_load_si128(reinterpret_cast<const __m128i *>(keep + 4));
            for (; i + 8 <= width; i += 8) {
                auto *t = reinterpret_cast<__m128i *>(to + i);
                const auto *f = reinterpret_cast<const __m128i *>(from + i);
                const __m128i low = _mm_or_si128(_mm_and_si128(keepLow, _mm_loadu_si128(t)),
                                                 _mm_andnot_si128(keepLow, _mm_loadu_si128(f)));
                const __m128i high = _mm_or_si128(_mm_and_si128(keepHigh, _mm_loadu_si128(t + 1)),
                                                  _mm_andnot_si128(keepHigh, _mm_loadu_si128(f + 1)));
                _mm_storeu_si128(t, low);
                _mm_storeu_si128(t + 1, high);
            }
#endif
            for (; i < width; ++i)
                to[i] = (to[i] & keep[i & 7]) | (from[i] & ~keep[i & 7]);
        }
    }
}

} // namespace vardeko
