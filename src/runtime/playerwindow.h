// The window of a compiled program: the publication's pages in the run look, nothing else.
#pragma once

#include "articleobjects.h"
#include "runsession.h"

#include <QWidget>

#include <memory>

class QTimer;

namespace vardeko {

class PlayerWindow : public QWidget, public RunWindow
{
    Q_OBJECT
public:
    // `screenSaver`: the window covers the screen and any key, click or mouse movement
    // ends the program.
    explicit PlayerWindow(std::unique_ptr<Publication> pub, bool screenSaver = false,
                          QWidget *parent = nullptr);
    ~PlayerWindow() override;

    RunSession *session() const { return mSession; }
    void setTempDirectory(const QString &dir) { mTempDir = dir; }

    // RunWindow
    Publication &publication() const override { return *mPub; }
    QWidget *pageWidget() const override { return const_cast<PlayerWindow *>(this); }
    QPoint pageOrigin() const override;
    void enterRunLayout(bool fullScreen) override;
    void leaveRunLayout() override;
    void repaintPage(const QRect &pageArea = QRect()) override;
    void currentPageChanged() override;
    void setPageCursor(const QCursor &cursor) override;
    QImage grabPage() const override;
    QImage renderCurrentPage() const override;
    QString caption() const override { return windowTitle(); }
    QString tempDir() const override;
    ArticleObjects *articleObjects() const override { return &mArticles; }

signals:
    // The screen saver was touched.
    void inputSeen();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool focusNextPrevChild(bool next) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QSize pageSize() const;
    // The screen saver covers the screen and holds the keyboard and the mouse.
    void coverScreen();
    void grabInput(int triesLeft);
    struct RenderOptions options(const Page *current) const;
    // The screen saver's input: true when the event is one (it then ends the program
    // and goes no further).
    bool screenSaverInput(QEvent *event);

    std::unique_ptr<Publication> mPub;
    RunSession *mSession = nullptr;
    mutable ArticleObjects mArticles;
    QTimer *mMessageTimer = nullptr;
    qint64 mMessageTick = 0;
    QString mTempDir;
    bool mScreenSaver = false;
    bool mFullScreen = false;
    QPoint mFirstMouse{-1, -1};
    bool mInputSeen = false;
};

} // namespace vardeko
