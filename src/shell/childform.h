// A publication window: owns one publication and shows its current page.
#pragma once

#include "runsession.h"

#include <QWidget>

#include <functional>
#include <memory>

namespace vardeko {

class EditController;
class PageView;
class Publication;

class TChildForm : public QWidget, public RunWindow
{
    Q_OBJECT
public:
    explicit TChildForm(std::unique_ptr<Publication> pub, QWidget *parent = nullptr);
    ~TChildForm() override;

    PageView *pageView() const { return mView; }
    // Mouse, keys and editing commands of the work area.
    EditController *controller() const { return mController; }
    QString fileName() const;

    // Run mode: the reader's view of the publication, with its scripts running.
    RunSession *session() const { return mSession; }
    bool isRunning() const { return mSession && mSession->isRunning(); }
    bool isEditing() const { return !isRunning(); }

    // The debug window every publication window records into, and the temporary folder
    // of the preferences; both belong to the main window.
    static void setDebugWindow(TDebugForm *debug);
    static void setTempDirectory(const QString &dir);

    // RunWindow
    Publication &publication() const override { return *mPub; }
    QWidget *pageWidget() const override;
    QPoint pageOrigin() const override;
    void enterRunLayout(bool fullScreen) override;
    void leaveRunLayout() override;
    void repaintPage(const QRect &pageArea = QRect()) override;
    void currentPageChanged() override;
    void setPageCursor(const QCursor &cursor) override;
    QImage grabPage() const override;
    QImage renderCurrentPage() const override;
    QString caption() const override { return windowTitle(); }
    TDebugForm *debugWindow() const override;
    QString tempDir() const override;
    ArticleObjects *articleObjects() const override;

    void updateCaption();
    // The publication's pages or size changed under the window.
    void publicationReloaded();
    // Shows a page of this publication.
    void showPage(class Page *page);

    // Asked before the window closes; false keeps it open.
    void setCloseQuery(std::function<bool(TChildForm *)> query) { mCloseQuery = std::move(query); }

signals:
    void pageChanged();
    // Run mode began (true) or ended; the main window hides or shows its palettes.
    void runLayoutChanged(bool running, bool fullScreen);
    void closed(TChildForm *form);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    std::unique_ptr<Publication> mPub;
    PageView *mView = nullptr;
    EditController *mController = nullptr;
    RunSession *mSession = nullptr;
    QRect mSavedGeometry;
    Qt::WindowStates mSavedState;
    std::function<bool(TChildForm *)> mCloseQuery;
};

} // namespace vardeko
