// A publication window's history: every command and page operation undone and redone.
#pragma once

#include <QObject>

class TestHistory : public QObject
{
    Q_OBJECT
private slots:
    void everyCommandUndoesAndRedoes_data();
    void everyCommandUndoesAndRedoes();
    void redoAfterUndoOfDelete();
    void historyIsUnlimited();
    void nudgesFollowIntoOneStep();
    void undoShowsTheStepsPage();
    void pageOperationsUndoAndRedo_data();
    void pageOperationsUndoAndRedo();
    void deletingTheOnlyPageUndoes();
    void modifiedFollowsHistoryAfterSave();
    void settingsChangeKeepsPublicationModified();
    void undoOffKeepsNoHistory();
    void menuNamesTheStepAndHistoryWindowFollows();
};
