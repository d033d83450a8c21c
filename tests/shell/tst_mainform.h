// Tests of the main window's file flows, command states and page buttons.
#pragma once

#include <QObject>
#include <QTemporaryDir>

#include <memory>

namespace vardeko {
class TMainForm;
class FakeDialogs;
}

class TestMainForm : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void openShowsPublication();
    void openingAnOpenFileOnlyActivatesIt();
    void openFailureLeavesNoWindow_data();
    void openFailureLeavesNoWindow();
    void startWithRefusedFilesLeavesNoUntitled();
    void missingFilesShowErrorReport();
    void dosPublicationOpensConverted();
    void iconThatIsNoIconIsDropped();
    void helpPagesAreShippedAndLinked();
    void closePrompt_data();
    void closePrompt();
    void failedSaveKeepsWindowOpen();
    void saveConvertedFileAsksFirst();
    void saveAsForcesExtensionAndAsksBeforeReplacing();
    void backupMadeWhenPreferred();
    void reopenListFollowsClosingAndOpening();
    void exitPutsActivePublicationFirst();
    void commandStatesFollowPublication();
    void cascadeKeepsUsefulSizes();
    void fileSelectorStartsBesideThePublication();
    void tipsGiveWayToThePageIndicator();
    void pageButtons();
    void samePublicationFile_data();
    void samePublicationFile();
    void unhandledErrors();
    void preferencesDialogStoresOnlyOnOk();
    void secondStartActivatesFirst();
    void toolBarPicturesForEveryCommand();
    void disabledCommandsSayWhy();
    void firstStartPalettePlace_data();
    void firstStartPalettePlace();
    void singleInstanceNamePerDisplay_data();
    void singleInstanceNamePerDisplay();
    void startOnAnotherDisplayRunsItsOwn();
    void handedFilesOpenInTheRunningEditor();
    void droppedPublicationsOpen();
    void editorMessages_data();
    void editorMessages();
    void createEditListsSelectedFiles();
    void draggingPageTabMovesPage_data();
    void draggingPageTabMovesPage();
    void floatingWindowsFollowMenusAndPreferences();
    void fileListDragMakesObjectsInListOrder();
    void imageDroppedOnPageTabBecomesWallpaper();
    void actionPaletteTabKeptBetweenRuns();

private:
    QString writeSample(const QString &name, int pages = 1, const QString &title = {});
    std::unique_ptr<QTemporaryDir> mDir;
    vardeko::TMainForm *mForm = nullptr;
    vardeko::FakeDialogs *mDialogs = nullptr;
};
