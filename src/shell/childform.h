// A publication window: owns one publication and shows its current page.
#pragma once

#include <QWidget>

#include <functional>
#include <memory>

namespace vardeko {

class EditController;
class PageView;
class Publication;

class TChildForm : public QWidget
{
    Q_OBJECT
public:
    explicit TChildForm(std::unique_ptr<Publication> pub, QWidget *parent = nullptr);
    ~TChildForm() override;

    Publication &publication() const { return *mPub; }
    PageView *pageView() const { return mView; }
    // Mouse, keys and editing commands of the work area.
    EditController *controller() const { return mController; }
    QString fileName() const;

    // Run mode belongs to the interpreter; a window is only ever edited for now.
    bool isRunning() const { return false; }
    bool isEditing() const { return !isRunning(); }

    void updateCaption();
    // The publication's pages or size changed under the window.
    void publicationReloaded();
    // Shows a page of this publication.
    void showPage(class Page *page);

    // Asked before the window closes; false keeps it open.
    void setCloseQuery(std::function<bool(TChildForm *)> query) { mCloseQuery = std::move(query); }

signals:
    void pageChanged();
    void closed(TChildForm *form);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    std::unique_ptr<Publication> mPub;
    PageView *mView = nullptr;
    EditController *mController = nullptr;
    std::function<bool(TChildForm *)> mCloseQuery;
};

} // namespace vardeko
