// Paints a page surface: background, master and page objects, handles and focus mark.
#pragma once

#include "publication.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>

#include <functional>

namespace vardeko {

class ArticlePainter;

struct RenderOptions
{
    int displayMode = 0; // 0 edit, 1 run
    bool showGrid = false;
    int gridX = 8, gridY = 8;
    bool showImages = true;
    // Edit mode: the handles of selected objects (a move or resize hides them).
    bool showHandles = true;
    const PageObject *focused = nullptr;
    // Expands "[Name]" references and date and time codes in displayed texts.
    std::function<QString(const QString &)> expand;
    // Directory that relative stored file names are taken from.
    QString baseDir;
    // Ticks of the message timer so far: where scrolling messages stand.
    qint64 messageTick = 0;

    // Draws the text inside article windows; without it the interior stays filled.
    ArticlePainter *articles = nullptr;
    // Run-time scroll positions (horizontal, vertical) of an article or picture.
    std::function<QPoint(const PageObject &)> scrollPosition;
    // The focused entry field is being edited, so it gets no focus mark.
    bool editingFocusedField = false;
};

// The colours of the system that the page look borrows.
inline const QColor ButtonFaceColor = QColor(192, 192, 192);
inline const QColor ShadowColor = QColor(128, 128, 128);
inline constexpr int ScrollBarExtent = 16;

// Where the scroll bars of an article or picture go inside its interior.
struct ScrollBarLayout
{
    QRect vertical;   // empty when there is no vertical bar
    QRect horizontal; // empty when there is no horizontal bar
    QRect view;       // the interior less the bars
};
ScrollBarLayout layoutScrollBars(const QRect &interior, quint8 windowFlags, quint8 vScrollPos,
                                 quint8 hScrollPos);
// The bars and text rectangle of an article object as it is drawn on its page.
ScrollBarLayout articleScrollBars(const PageObject &article);

// Scroll ranges the article engine reports after laying an article out.
struct ArticleScrollRange
{
    int horizontalMax = 0;
    int verticalMax = 0;
    int verticalUnit = 1;
};

// The article engine's part of page painting: lays out an article when its
// reformat-needed flag is set and draws its text into `view`, scrolled by `scroll`.
class ArticlePainter
{
public:
    virtual ~ArticlePainter() = default;
    virtual ArticleScrollRange paintArticle(QPainter &painter, const PageObject &article,
                                            const QRect &view, const QPoint &scroll) = 0;
};

// Paints the page surface (background, master objects, page objects, handles or focus
// mark) in page coordinates, only what meets `clip`.
void paintPage(QPainter &painter, const Publication &pub, const Page &page, const QRect &clip,
               const RenderOptions &options);

// The page surface as an image of ScreenWidth x ScreenHeight.
QImage renderPage(const Publication &pub, const Page &page, const RenderOptions &options);

// One object (a group with its members), without handles; `page` is the page shown,
// whose palette maps pictures (also those of the master page's objects).
void paintObject(QPainter &painter, const Page &page, const PageObject &object,
                 const QRect &clip, const RenderOptions &options);

// The edit-mode handles of an object, drawn by inverting so a second call erases them.
void paintHandles(QPainter &painter, const PageObject &object);
// The run-mode focus mark, drawn by XOR so a second call erases it.
void paintFocusMark(QPainter &painter, const PageObject &object);

// The window around the page in window coordinates: the surround, and in edit mode
// the page's outline and drop shadow. `page` is where the page surface lies.
void paintPageFrame(QPainter &painter, const QRect &window, const QRect &page, int displayMode,
                    bool fullScreen);

// A window's page surface: the frame around the page (paintPageFrame), then the part of
// the current page at `page` that `dirty` touches, or white without a current page.
// Returns whether the page was painted; the painter is then clipped to that part and
// translated to the page's origin, so what goes over the page follows in page coordinates.
bool paintPageInWindow(QPainter &painter, const QRect &window, const QRect &page, const QRect &dirty,
                       const Publication &pub, const Page *current, const RenderOptions &options,
                       bool fullScreen);

// The caption of a publication window in the given display mode.
QString publicationCaption(const Publication &pub, int displayMode);

// The screen rectangle an object may touch when drawn, for clip tests and repaints.
QRect paintedBounds(const PageObject &object);

} // namespace vardeko
