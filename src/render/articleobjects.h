// The article text of article objects: layout when needed, drawing, scroll and links.
#pragma once

#include "articledraw.h"
#include "pagepainter.h"

#include <QDateTime>
#include <QHash>
#include <QPoint>
#include <QRect>
#include <QString>

#include <functional>
#include <optional>

namespace vardeko {

class Publication;

// An article text laid out before it is shown (a compiled program carries its articles
// so): the formatted file and the layout's line count and widest line in pixels.
struct PreformattedArticle
{
    QString formattedFile;
    int lines = 0;
    int widest = 0;
};
// The laid-out text for an article object at a layout width, or nothing when it has to
// be laid out here.
using PreformattedLookup = std::function<std::optional<PreformattedArticle>(const PageObject &article, int width)>;

// Keeps what the article engine needs per article object of one publication window:
// the layout's line count and widest line, the record length, the scroll positions,
// the links of the last drawing and the text file's time stamp. The formatted file
// itself is the object's working file, deleted with the object.
class ArticleObjects : public ArticlePainter
{
public:
    ArticleObjects() = default;
    ~ArticleObjects() override = default;

    // Where relative article file names are found and formatted files are made.
    void setBaseDir(const QString &dir) { mBaseDir = dir; }
    void setTempDir(const QString &dir) { mTempDir = dir; }
    // Where texts laid out before are found; they are drawn as they are.
    void setPreformatted(PreformattedLookup lookup) { mPreformatted = std::move(lookup); }
    QString tempDir() const;

    ArticleScrollRange paintArticle(QPainter &painter, const PageObject &article,
                                    const QRect &view, const QPoint &scroll) override;

    // Horizontal offset in pixels and top line of an article.
    QPoint scrollPosition(const PageObject &article) const;
    void setScrollPosition(const PageObject &article, const QPoint &position);
    // The scroll ranges of the last layout (zero before the first drawing).
    ArticleScrollRange scrollRange(const PageObject &article) const;
    // Lines that fit the article's text rectangle, at least 1.
    int visibleLines(const PageObject &article) const;
    // The text rectangle (page coordinates) of the last drawing.
    QRect textRect(const PageObject &article) const;

    // The link under a page point, from the last drawing, or null.
    const HyperLink_Rec *linkAt(const PageObject &article, const QPoint &pagePoint) const;
    // The line of the marker named by a ":" link target, or -1.
    int findMarker(const PageObject &article, const QString &name) const;

    // Marks every article of the publication whose text file changed since it was laid
    // out; true when any was marked (the caller repaints).
    bool refreshChanged(Publication &pub);

private:
    struct Entry
    {
        QString file;   // the located text file
        int width = 0;  // layout width
        bool wrap = true;
        QString face;
        int size = 0;
        int style = 0;
        QDateTime stamp;
        int lines = 0;
        int widest = 0;
        int lineHeight = 1;
        int recordLength = 0;
        QPoint scroll;
        QRect view;
        HyperLinkList links;
        QString preformatted; // the formatted file given by the lookup, drawn as it is
    };
    QString locate(const QString &stored) const;

    QString mBaseDir;
    QString mTempDir;
    PreformattedLookup mPreformatted;
    QHash<const PageObject *, Entry> mEntries;
};

} // namespace vardeko
