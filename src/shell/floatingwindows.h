// The mouse position window and the drag-and-drop file selector: their menu items, and
// where they and the tool palette stand, kept in the preferences.
#pragma once

#include <QObject>
#include <QPoint>
#include <QRect>

namespace vardeko {

class TFileInspectorForm;
class TMainForm;
class TMouseForm;

// Where the main window and the tool palette go on the first start: the palette beside
// the work area, in the screen's free margin, or in a margin made by narrowing the window.
struct FirstStartPlaces
{
    QRect mainWindow;
    QPoint toolPalette;
};
FirstStartPlaces firstStartPlaces(const QRect &available, const QRect &mainWindow, int workAreaTop,
                                  const QSize &palette);

class FloatingWindows : public QObject
{
    Q_OBJECT

public:
    explicit FloatingWindows(TMainForm &main);

    // Options > Show Mouse Position and Options > Show Drag && Drop File Selector.
    void connectCommands();
    // After the preferences are read: places the windows and shows the checked ones.
    void restore();
    // Before the preferences are written: where the windows stand and how they are folded.
    void store();

    TMouseForm *mouseForm() const { return mMouse; }
    TFileInspectorForm *fileList() const { return mFileList; }

    // The file types the selector offers, each "Name|*.A;*.B;".
    static QStringList fileTypes();

private:
    void setMouseShown(bool shown);
    void setFileListShown(bool shown);

    TMainForm &mMain;
    TMouseForm *mMouse = nullptr;
    TFileInspectorForm *mFileList = nullptr;
};

} // namespace vardeko
