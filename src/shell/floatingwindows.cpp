// The mouse position window, the file selector and the places of the floating windows.
#include "floatingwindows.h"

#include "childform.h"
#include "editcommands.h"
#include "editortexts.h"
#include "filelistform.h"
#include "mainform.h"
#include "mouseform.h"
#include "toolpalette.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>

#include <algorithm>

namespace vardeko {

FirstStartPlaces firstStartPlaces(const QRect &available, const QRect &mainWindow, int workAreaTop,
                                  const QSize &palette)
{
    // Room for the window frames around both.
    constexpr int Gap = 12;
    FirstStartPlaces places{mainWindow, {}};
    const int top = std::clamp(workAreaTop, available.top(), std::max(available.top(), available.bottom() - palette.height()));
    if (mainWindow.left() - available.left() >= palette.width() + Gap) {
        places.toolPalette = QPoint(mainWindow.left() - Gap - palette.width(), top);
    } else if (available.right() - mainWindow.right() >= palette.width() + Gap) {
        places.toolPalette = QPoint(mainWindow.right() + Gap, top);
    } else {
        // No margin wide enough: the window gives the palette its left side.
        places.toolPalette = QPoint(available.left() + Gap / 2, top);
        places.mainWindow.setLeft(std::min(mainWindow.right() - 200, available.left() + palette.width() + Gap * 2));
    }
    return places;
}

FloatingWindows::FloatingWindows(TMainForm &main)
    : QObject(&main)
    , mMain(main)
{
    mMouse = new TMouseForm(&main);
    mFileList = new TFileInspectorForm(&main);
    mFileList->setFileTypes(fileTypes());
    connect(mMain.mEditCommands, &EditCommands::readoutChanged, mMouse, &TMouseForm::showReadout);
    connect(mMouse, &TMouseForm::closedByUser, this, [this] { setMouseShown(false); });
    connect(mFileList, &TFileInspectorForm::closedByUser, this, [this] { setFileListShown(false); });
    connect(mFileList, &TFileInspectorForm::openRequested, this, [this](const QString &path) {
        if (QFileInfo(path).suffix().compare(QLatin1String("PUB"), Qt::CaseInsensitive) == 0)
            mMain.dropFiles({QUrl::fromLocalFile(path)});
    });
}

QStringList FloatingWindows::fileTypes()
{
    QStringList types{QStringLiteral("All Files|*.*"), QStringLiteral("Publications|*.PUB;"),
                      QString(edtext::DropImageClass), QString(edtext::ArticleFilter) + QLatin1Char(';')};
    // The media class list holds its sub-lists one after the other; the rest are programs.
    QString media = edtext::DropMediaClass;
    for (const QLatin1String part : {edtext::DropAudioClass, edtext::DropVideoClass,
                                     edtext::DropFlicClass, edtext::DropCartoonClass}) {
        types.append(part);
        media.remove(part);
    }
    if (!media.isEmpty())
        types.append(media);
    return types;
}

void FloatingWindows::connectCommands()
{
    const struct
    {
        QAction *action;
        void (FloatingWindows::*show)(bool);
    } toggles[] = {{mMain.commands().showMousePos, &FloatingWindows::setMouseShown},
                   {mMain.commands().showFileList, &FloatingWindows::setFileListShown}};
    for (const auto &toggle : toggles) {
        QAction *action = toggle.action;
        mMain.mUnbuilt.removeAll(action);
        const auto show = toggle.show;
        connect(action, &QAction::triggered, this, [this, show](bool checked) { (this->*show)(checked); });
    }
}

void FloatingWindows::setMouseShown(bool shown)
{
    mMain.mPrefs.ShowMousePos = shown;
    mMain.commands().showMousePos->setChecked(shown);
    mMouse->setVisible(shown);
}

void FloatingWindows::setFileListShown(bool shown)
{
    mMain.mPrefs.ShowFileList = shown;
    mMain.commands().showFileList->setChecked(shown);
    if (shown && mFileList->directory().isEmpty()) {
        // Starts beside the publication being edited, else where the author last chose
        // publications, else in the data folder or the home folder.
        const Preferences &p = mMain.mPrefs;
        const TChildForm *child = mMain.activeChild();
        const QString pubDir = child && !child->fileName().isEmpty()
                ? QFileInfo(child->fileName()).absolutePath()
                : QString();
        for (const QString &dir : {pubDir, p.PubDir, p.DataDir, QDir::homePath()})
            if (!dir.isEmpty() && mFileList->setDirectory(dir))
                break;
    }
    mFileList->setVisible(shown);
}

void FloatingWindows::restore()
{
    const Preferences &p = mMain.mPrefs;
    ToolPaletteState tools;
    tools.pos = p.ToolPalettePos;
    tools.expanded = p.ToolPaletteExpanded;
    tools.rolledUp = p.ToolPaletteRolledUp;
    mMain.mEditCommands->toolPalette()->restoreState(tools);
    if (!p.ToolPalettePosStored) {
        // The first start: the palette goes beside the work area, not over the page.
        TToolPalette *palette = mMain.mEditCommands->toolPalette();
        const QScreen *screen = mMain.screen();
        if (screen) {
            const QSize size = palette->sizeHint().expandedTo(palette->size());
            const QRect main = mMain.geometry();
            const int workTop = main.top() + mMain.menuBar()->sizeHint().height() + 40;
            const FirstStartPlaces places = firstStartPlaces(screen->availableGeometry(), main, workTop, size);
            mMain.setGeometry(places.mainWindow);
            palette->move(places.toolPalette);
        }
    }
    mMouse->move(p.MouseWindowPos);
    mFileList->setRolledUp(p.FileListRolledUp);
    mFileList->setWindowBounds(p.FileListWindowPos);
    // Shown once the main window is up, so that they stand over it.
    QTimer::singleShot(0, this, [this] {
        if (!mMain.isVisible())
            return;
        setMouseShown(mMain.mPrefs.ShowMousePos);
        setFileListShown(mMain.mPrefs.ShowFileList);
    });
}

void FloatingWindows::store()
{
    Preferences &p = mMain.mPrefs;
    const ToolPaletteState tools = mMain.mEditCommands->toolPalette()->state();
    p.ToolPalettePos = tools.pos;
    p.ToolPaletteExpanded = tools.expanded;
    p.ToolPaletteRolledUp = tools.rolledUp;
    p.MouseWindowPos = mMouse->pos();
    p.FileListWindowPos = mFileList->windowBounds();
    p.FileListRolledUp = mFileList->isRolledUp();
}

} // namespace vardeko
