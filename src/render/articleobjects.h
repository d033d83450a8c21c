// The article text of article objects: layout when needed, drawing, scroll and links.
#pragma once

#include "articledraw.h"
#include "pagepainter.h"

#include <QDateTime>
#include <QHash>
#include <QPoint>
#include <QRect>
#include <QString>

namespace vardeko {

class Publication;

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
    };
    QString locate(const QString &stored) const;

    QString mBaseDir;
    QString mTempDir;
    QHash<const PageObject *, Entry> mEntries;
};

} // namespace vardeko
