// Article objects in run mode: their scroll bars, keys and hyperlinks.
#include "articlefiles.h"
#include "articleobjects.h"
#include "pagepainter.h"
#include "runsession.h"
#include "scriptrunner.h"

#include <QFileInfo>

namespace vardeko {

namespace {

// Step of the horizontal bar's arrows, in pixels.
constexpr int HorizontalStep = 8;

ScrollBarLayout articleBars(const PageObject &o)
{
    const ArticleData *a = o.article();
    const QRect box = o.box().normalized();
    const QRect interior = box.adjusted(o.LineWidth, o.LineWidth, -o.LineWidth, -o.LineWidth);
    return layoutScrollBars(interior, a->WindowFlags, a->VScrollPos, a->HScrollPos);
}

// What a press on a bar does to its position: arrows step, the track pages.
int barPress(const QRect &bar, bool vertical, const QPoint &p, int position, int maximum, int step, int page)
{
    const int length = vertical ? bar.height() : bar.width();
    const int at = vertical ? p.y() - bar.top() : p.x() - bar.left();
    const int button = std::min(ScrollBarExtent, length / 2);
    if (at < button)
        return position - step;
    if (at >= length - button)
        return position + step;
    const int track = length - 2 * button;
    const int thumb = maximum > 0 && track > ScrollBarExtent
                              ? button + int(qint64(track - ScrollBarExtent) * std::clamp(position, 0, maximum) / maximum)
                              : button;
    return at < thumb ? position - page : position + page;
}

} // namespace

QPoint RunSession::scrollPosition(const PageObject &object) const
{
    if (object.article())
        if (const ArticleObjects *articles = mWindow.articleObjects())
            return articles->scrollPosition(object);
    return mScroll.value(&object);
}

bool RunSession::overArticleLink(const PageObject &article, const QPoint &point) const
{
    const ArticleObjects *articles = mWindow.articleObjects();
    return articles && article.article() && articles->linkAt(article, point);
}

bool RunSession::articlePress(PageObject *article, const QPoint &point)
{
    ArticleObjects *articles = mWindow.articleObjects();
    if (!articles || !article->article())
        return false;
    const ScrollBarLayout bars = articleBars(*article);
    const ArticleScrollRange range = articles->scrollRange(*article);
    QPoint pos = articles->scrollPosition(*article);
    if (bars.vertical.contains(point)) {
        const int page = std::max(1, bars.vertical.height() / std::max(1, range.verticalUnit));
        pos.setY(barPress(bars.vertical, true, point, pos.y(), range.verticalMax, 1, page));
    } else if (bars.horizontal.contains(point)) {
        pos.setX(barPress(bars.horizontal, false, point, pos.x(), range.horizontalMax, HorizontalStep,
                          std::max(1, bars.horizontal.width())));
    } else {
        const HyperLink_Rec *link = articles->linkAt(*article, point);
        if (!link || link->target.isEmpty())
            return false;
        const QString target = link->target;
        if (target.startsWith(QLatin1Char(':'))) {
            const int line = article->article()->WindowFlags & VScrollBarOn
                                     ? articles->findMarker(*article, target)
                                     : -1;
            if (line < 0) {
                beep();
                return true;
            }
            pos.setY(line);
            articles->setScrollPosition(*article, pos);
            repaintObject(article);
            return true;
        }
        const QString dir = pub().FileName.isEmpty() ? QString() : QFileInfo(pub().FileName).absolutePath();
        ExecuteScript(resolveLinkScript(target, dir));
        return true;
    }
    articles->setScrollPosition(*article, pos);
    repaintObject(article);
    return true;
}

bool RunSession::articleScrollKey(int key)
{
    ArticleObjects *articles = mWindow.articleObjects();
    if (!articles || !mFocus || !mFocus->article())
        return false;
    const ArticleScrollRange range = articles->scrollRange(*mFocus);
    const int page = articles->visibleLines(*mFocus);
    QPoint pos = articles->scrollPosition(*mFocus);
    switch (key) {
    case Qt::Key_Up: pos.ry() -= 1; break;
    case Qt::Key_Down: pos.ry() += 1; break;
    case Qt::Key_Left: pos.rx() -= HorizontalStep; break;
    case Qt::Key_Right: pos.rx() += HorizontalStep; break;
    case Qt::Key_PageUp: pos.ry() -= page; break;
    case Qt::Key_PageDown: pos.ry() += page; break;
    case Qt::Key_Home: pos = QPoint(0, 0); break;
    case Qt::Key_End: pos.setY(range.verticalMax); break;
    default: return false;
    }
    articles->setScrollPosition(*mFocus, pos);
    repaintObject(mFocus);
    return true;
}

} // namespace vardeko
