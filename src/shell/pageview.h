// The scrollable work area of a publication window that shows the current page.
#pragma once

#include "articleobjects.h"
#include "edithost.h"

#include <QAbstractScrollArea>
#include <QTimer>

namespace vardeko {

class EditController;
class Publication;
class RunSession;

class PageView : public QAbstractScrollArea, public WorkArea
{
    Q_OBJECT
public:
    // Room around the page frame inside the work area.
    static constexpr int Margin = 8;
    static constexpr int ShadowWidth = 5;

    explicit PageView(Publication &pub, QWidget *parent = nullptr);

    // Page size changed (a file was loaded): recompute the scroll ranges.
    void pageSizeChanged();
    // Top-left corner of the page surface in viewport coordinates.
    QPoint pageOffset() const;
    // Scrolls so that the page lies in the middle of the window.
    void centerPage();

    int displayMode() const { return mDisplayMode; }
    // 1 shows the run look: the page at the top left (centred when full screen), the
    // reader's focus mark and search highlight, no margins.
    void setDisplayMode(int mode);
    // In run mode the reader's mouse and keys go to the session; not owned.
    void setRunSession(RunSession *session) { mRun = session; }
    // The current page as painted now, page-sized.
    QImage renderShown() const;
    void setShowGrid(bool show, int gridX, int gridY);
    void setShowImages(bool show);

    // The editor that receives the work area's mouse, keys and drops; not owned.
    void setController(EditController *controller) { mController = controller; }
    EditController *controller() const { return mController; }

    // The article text of the objects shown here: layout, scroll positions, links.
    ArticleObjects &articles() { return mArticles; }

    // The page with its margin and shadow: what the viewport needs to show it whole.
    QSize contentSize() const;

    // WorkArea
    QWidget *surface() const override { return viewport(); }
    QPoint pageOrigin() const override { return pageOffset(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool focusNextPrevChild(bool next) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    QSize pageSize() const;
    void updateScrollBars();

    Publication &mPub;
    int mDisplayMode = 0;
    // Moves scrolling messages on.
    QTimer *mMessageTimer;
    qint64 mMessageTick = 0;
    bool mShowGrid = false;
    int mGridX = 8;
    int mGridY = 8;
    bool mShowImages = true;
    EditController *mController = nullptr;
    // Laid out by painting, which is const for the run look's off-screen renders.
    mutable ArticleObjects mArticles;
    RunSession *mRun = nullptr;
    bool running() const;
    struct RenderOptions options(const class Page *current) const;
};

} // namespace vardeko
