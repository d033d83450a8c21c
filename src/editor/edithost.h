// What the page editor needs from the windows around it: settings, tools, dialogs, pages.
#pragma once

#include "dialoghost.h"
#include "editgeometry.h"
#include "publication.h"

#include <QPoint>
#include <QRect>
#include <QString>

class QWidget;

namespace vardeko {

class EditController;

// The work area of a publication window as the editor sees it.
class WorkArea
{
public:
    virtual ~WorkArea() = default;
    // The widget that receives the mouse and shows the page.
    virtual QWidget *surface() const = 0;
    // Where the page's (0, 0) lies in the surface's coordinates.
    virtual QPoint pageOrigin() const = 0;
};

// Preferences the gestures read.
struct EditSettings
{
    bool snapToGrid = false;
    int gridX = 8;
    int gridY = 8;
    bool undo = true;
};

// Choices of the Align Object dialog.
struct AlignChoice
{
    HAlign horizontal = HAlign::None;
    VAlign vertical = VAlign::None;
    bool relative = false;
};

// The editor's view of the application: preferences, the tool palette, the other
// windows and every question put to the user. Tests answer with a fake.
class EditHost
{
public:
    virtual ~EditHost() = default;

    virtual EditSettings editSettings() const { return {}; }
    // 1 pointer, 2 to 8 the kind to draw.
    virtual int currentTool() const { return PointerTool; }
    virtual ToolAttributes toolAttributes() const { return {}; }

    // The mouse position read-out.
    virtual void showReadout(const QString &caption, int a, int b) {}
    // Selection, undo or page contents changed: command states need refreshing.
    virtual void editStateChanged() {}
    // A gesture begins or ends (the periodic refresh waits meanwhile).
    virtual void gestureStarted() {}
    virtual void gestureFinished() {}
    virtual void beep() {}

    // The widget under a screen point; the real one asks the application.
    virtual QWidget *widgetAt(const QPoint &globalPos) const;
    // The page of `source`'s publication whose tab lies under a screen point, when it is
    // not the current page; none otherwise.
    virtual Page *pageTabAt(const EditController &source, const QPoint &globalPos) const
    {
        return nullptr;
    }
    // Shows a page of the controller's publication in its window.
    virtual void showPage(EditController &controller, Page *page) {}
    // Pages of the controller's publication were added, removed, reordered or changed.
    virtual void pagesChanged(EditController &controller) {}
    // Page Up (-1) and Page Down (+1).
    virtual void stepPage(EditController &controller, int step) {}
    // A dropped publication file opens in its own window.
    virtual void openPublication(const QString &fileName) {}

    // --- questions; an empty file name means cancelled
    // Starts in the remembered folder of `folder`'s kind of file, which keeps the folder chosen.
    virtual QString chooseOpenFile(QWidget *parent, const QString &title, const QString &filter,
                                   DialogFolder folder)
    {
        return {};
    }
    // `dir` is proposed and receives the folder chosen.
    virtual QString chooseSaveFile(QWidget *parent, const QString &title, const QString &filter,
                                   QString &dir)
    {
        return {};
    }
    virtual void alert(QWidget *parent, const QString &title, const QString &text) {}
    virtual bool confirm(QWidget *parent, const QString &title, const QString &text)
    {
        return false;
    }
    // The definition dialog of an object's kind (a new one when `isNew`); true on OK.
    // False also when no dialog exists for the kind.
    virtual bool defineObject(QWidget *parent, Publication &pub, PageObject &object,
                              const QRect &oldBox, bool isNew)
    {
        return false;
    }
    // The object adjustment dialog for the selection; true on OK.
    virtual bool adjustObjects(QWidget *parent, Publication &pub, Page &page) { return false; }
    // The Align Object dialog; false when cancelled.
    virtual bool chooseAlignment(QWidget *parent, int selectedCount, AlignChoice *choice)
    {
        return false;
    }
};

} // namespace vardeko
