// The main window's commands, one typed member each, so a misspelt command cannot compile.
#pragma once

class QAction;

namespace vardeko {

struct MainCommands
{
    // File
    QAction *newFile = nullptr;
    QAction *openFile = nullptr;
    QAction *saveFile = nullptr;
    QAction *saveFileAs = nullptr;
    QAction *closeFile = nullptr;
    QAction *closeAll = nullptr;
    QAction *printPage = nullptr;
    QAction *exitProgram = nullptr;
    // Edit
    QAction *undo = nullptr;
    QAction *redo = nullptr;
    QAction *undoHistory = nullptr;
    QAction *cut = nullptr;
    QAction *copy = nullptr;
    QAction *paste = nullptr;
    QAction *deleteObjects = nullptr;
    QAction *duplicate = nullptr;
    QAction *selectAll = nullptr;
    QAction *newArticle = nullptr;
    QAction *newImage = nullptr;
    QAction *newSound = nullptr;
    QAction *newVideo = nullptr;
    QAction *newCartoon = nullptr;
    QAction *adjustObject = nullptr;
    QAction *editObject = nullptr;
    // Arrange
    QAction *bringToFront = nullptr;
    QAction *sendToBack = nullptr;
    QAction *align = nullptr;
    QAction *group = nullptr;
    QAction *ungroup = nullptr;
    // Page
    QAction *addPage = nullptr;
    QAction *copyPage = nullptr;
    QAction *movePage = nullptr;
    QAction *renamePage = nullptr;
    QAction *deletePage = nullptr;
    QAction *pageAttributes = nullptr;
    QAction *showMasterItems = nullptr;
    // Book
    QAction *pageLayout = nullptr;
    QAction *bookSetup = nullptr;
    QAction *archive = nullptr;
    QAction *fileList = nullptr;
    QAction *run = nullptr;
    QAction *compile = nullptr;
    // Options
    QAction *showGrid = nullptr;
    QAction *snapToGrid = nullptr;
    QAction *showMousePos = nullptr;
    QAction *showDebugInfo = nullptr;
    QAction *showFileList = nullptr;
    QAction *showImages = nullptr;
    QAction *setGrid = nullptr;
    QAction *spellPublication = nullptr;
    QAction *spellPage = nullptr;
    QAction *spellSelection = nullptr;
    QAction *setPreferences = nullptr;
    // Window
    QAction *tileVertical = nullptr;
    QAction *tileHorizontal = nullptr;
    QAction *cascade = nullptr;
    QAction *centerPage = nullptr;
    // Help
    QAction *helpTopics = nullptr;
    QAction *about = nullptr;
    // Page buttons of the tool bar
    QAction *firstPage = nullptr;
    QAction *previousPage = nullptr;
    QAction *masterPage = nullptr;
    QAction *nextPage = nullptr;
    QAction *lastPage = nullptr;
    // The page tabs' pop-up menu
    QAction *tabAddPage = nullptr;
    QAction *tabCopyPage = nullptr;
    QAction *tabMovePage = nullptr;
    QAction *tabRenamePage = nullptr;
    QAction *tabDeletePage = nullptr;
    QAction *tabPageAttributes = nullptr;
};

} // namespace vardeko
