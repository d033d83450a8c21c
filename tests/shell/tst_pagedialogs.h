// Tests of the page and book dialogs and the Page menu commands that run them.
#pragma once

#include <QObject>

namespace vardeko {
class TMainForm;
class TChildForm;
class FakeDialogs;
}

class TestPageDialogs : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void addPagesPutsPagesInPlace_data();
    void addPagesPutsPagesInPlace();
    void addPagesOkNeedsCount();
    void renameRewritesGotoPage();
    void renameRefusesTakenTitle_data();
    void renameRefusesTakenTitle();
    void copyAsksAndGoesToCopy_data();
    void copyAsksAndGoesToCopy();
    void moveDialogMovesPage_data();
    void moveDialogMovesPage();
    void deleteAsksAndKeepsLastPage();
    void pageCommandStates();
    void gotoMenuListsTwelvePages_data();
    void gotoMenuListsTwelvePages();
    void showMasterItemsToggles();
    void setGridStoresOnlyOnOk();
    void newPublicationUsesChosenSize();
    void fileListShowsReport();
    void pageAttributesStoreOnOk();
    void pageAttributesRefuseTakenTitle();
    void pageActionMemoTools();
    void wallpaperStyle_data();
    void wallpaperStyle();
    void wallpaperChoiceUsesImageFolder();
    void pageAttributesHelp();
    void copyToAllCopiesChosenGroups();
    void paletteTabOnlyOn256Colors();
    void paletteDragAndCancel();
    void bookSetupPassword_data();
    void bookSetupPassword();
    void bookSetupSizeAndCaption();
    void bookSetupLanguageFileAndDefault();
    void bookSetupRefusesOtherIcon();
    void pageLayoutButtonsAndDelete();
    void pageLayoutUpDownAndDrag();
    void pageLayoutSessionIsOneStep();
    void bookSetupIsOneStep();
    void gotoMoreOpensPicker();

private:
    vardeko::TChildForm *openPages(const QStringList &titles);
    void trigger(const char *name);

    vardeko::TMainForm *mForm = nullptr;
    vardeko::FakeDialogs *mDialogs = nullptr;
};
