// The article text of article objects: layout when needed, drawing, scroll and links.
#include "articleobjects.h"

#include "articlefiles.h"
#include "articlelayout.h"
#include "filenames.h"
#include "palette.h"
#include "publication.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>

#include <functional>

namespace vardeko {

namespace {

QColor toColor(ColorRef c)
{
    return QColor(colorRed(c), colorGreen(c), colorBlue(c));
}

// Every article of the stack and of the groups in it, however deep they nest.
void forEachArticle(const ObjectList &stack, const std::function<void(PageObject &)> &visit)
{
    forEachObject(stack, [&](PageObject &o) {
        if (o.article())
            visit(o);
    });
}

} // namespace

QString ArticleObjects::tempDir() const
{
    return mTempDir.isEmpty() ? QDir::tempPath() : mTempDir;
}

QString ArticleObjects::locate(const QString &stored) const
{
    if (stored.isEmpty())
        return QString();
    const QString found = locateFile(stored, mBaseDir);
    return found.isEmpty() ? stored : found;
}

ArticleScrollRange ArticleObjects::paintArticle(QPainter &painter, const PageObject &object,
                                                const QRect &view, const QPoint &scroll)
{
    // The painter keeps the article's run-time fields: its reformat flag and working file.
    PageObject &o = const_cast<PageObject &>(object);
    ArticleData &a = *o.article();
    Entry &e = mEntries[&object];
    const QString file = locate(a.FileName);
    const int width = view.width() - 12;
    const bool changed = e.file != file || e.width != width || e.wrap != a.WordWrap
                         || e.face != a.Font || e.size != a.FontSize || e.style != a.FontStyle;
    ArticleCanvas canvas(ArticleFont{a.Font, a.FontSize, a.FontStyle});
    if (a.ReformatNeeded || changed) {
        a.ReformatNeeded = false;
        e = Entry();
        e.file = file;
        e.width = width;
        e.wrap = a.WordWrap;
        e.face = a.Font;
        e.size = a.FontSize;
        e.style = a.FontStyle;
        e.stamp = QFileInfo(file).lastModified();
        const std::optional<PreformattedArticle> ready = mPreformatted ? mPreformatted(o, width) : std::nullopt;
        if (ready) {
            e.preformatted = ready->formattedFile;
            e.lines = ready->lines;
            e.widest = ready->widest;
        } else {
            const FormatResult r = FormatArticle(canvas, file, width, a.WordWrap, &a.WorkingFile, tempDir());
            e.lines = r.lineCount;
            e.widest = r.widest;
        }
    }
    e.lineHeight = std::max(1, canvas.lineHeight());
    e.view = view;
    e.scroll = scroll;
    const QString &formatted = e.preformatted.isEmpty() ? a.WorkingFile : e.preformatted;
    if (!formatted.isEmpty())
        DrawArticle(painter, canvas, formatted, view, true, &e.recordLength, &e.links,
                    toColor(o.FillColor), toColor(a.TextColor), scroll.y(), scroll.x());
    return scrollRange(object);
}

QPoint ArticleObjects::scrollPosition(const PageObject &article) const
{
    const auto it = mEntries.constFind(&article);
    if (it == mEntries.cend() || (article.article() && article.article()->ReformatNeeded))
        return QPoint();
    return it->scroll;
}

void ArticleObjects::setScrollPosition(const PageObject &article, const QPoint &position)
{
    const auto it = mEntries.find(&article);
    if (it == mEntries.end())
        return;
    const ArticleScrollRange range = scrollRange(article);
    it->scroll = QPoint(std::clamp(position.x(), 0, range.horizontalMax),
                        std::clamp(position.y(), 0, range.verticalMax));
}

ArticleScrollRange ArticleObjects::scrollRange(const PageObject &article) const
{
    ArticleScrollRange range;
    const auto it = mEntries.constFind(&article);
    if (it == mEntries.cend())
        return range;
    range.horizontalMax = it->widest + 12;
    range.verticalMax = it->lines;
    range.verticalUnit = it->lineHeight;
    return range;
}

int ArticleObjects::visibleLines(const PageObject &article) const
{
    const auto it = mEntries.constFind(&article);
    if (it == mEntries.cend())
        return 1;
    return std::max(1, it->view.height() / it->lineHeight);
}

QRect ArticleObjects::textRect(const PageObject &article) const
{
    const auto it = mEntries.constFind(&article);
    return it == mEntries.cend() ? QRect() : it->view;
}

const HyperLink_Rec *ArticleObjects::linkAt(const PageObject &article, const QPoint &pagePoint) const
{
    const auto it = mEntries.constFind(&article);
    if (it == mEntries.cend() || !it->view.contains(pagePoint))
        return nullptr;
    return FindHyperLink(it->links, pagePoint.x() - it->view.left(), pagePoint.y() - it->view.top());
}

int ArticleObjects::findMarker(const PageObject &article, const QString &name) const
{
    const ArticleData *a = article.article();
    if (!a)
        return -1;
    const auto it = mEntries.constFind(&article);
    const QString formatted = it != mEntries.cend() && !it->preformatted.isEmpty() ? it->preformatted : a->WorkingFile;
    return formatted.isEmpty() ? -1 : FindArticleMarker(formatted, name);
}

bool ArticleObjects::refreshChanged(Publication &pub)
{
    bool marked = false;
    auto visit = [&](PageObject &o) {
        ArticleData &a = *o.article();
        const auto it = mEntries.constFind(&o);
        if (a.ReformatNeeded || it == mEntries.cend() || it->file.isEmpty())
            return;
        const QFileInfo info(it->file);
        if (info.exists() && info.lastModified() != it->stamp) {
            a.ReformatNeeded = true;
            marked = true;
        }
    };
    if (pub.masterPage())
        forEachArticle(pub.masterPage()->Objects, visit);
    for (int i = 0; i < pub.pageCount(); ++i)
        forEachArticle(pub.page(i)->Objects, visit);
    return marked;
}

} // namespace vardeko
