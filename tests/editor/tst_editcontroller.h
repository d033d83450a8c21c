// Gestures, keys and commands on a real publication window, driven by mouse events.
#pragma once

#include <QObject>

class TestEditController : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void drawRectangleThenUndoTwice();
    void drawingShowsAnInvertedRubberShape();
    void drawLineSnappedAndConstrained_data();
    void drawLineSnappedAndConstrained();
    void bandSelectsObjectsWhollyInside();
    void moveThenUndo();
    void shiftClickTogglesWithoutMoving();
    void resizeHandlePastOppositeEdge();
    void resizeLineEndFlipsDirection();
    void ctrlDragDuplicates();
    void ctrlDragOntoPageTabCopies();
    void dragIntoAnotherWindow_data();
    void dragIntoAnotherWindow();
    void textToolClickFitsText();
    void cancelledDialogsCreateNothing();
    void escapeAbandonsGesture();
    void keysNudgeAndDelete();
    void commandsAreUndoable();
    void undoOffKeepsNoSnapshot();
    void showingAnotherPageKeepsHistory();
    void dropOfSeveralFiles();
    void paletteAttributeDrops();
    void pressStartsEachToolsGesture_data();
    void pressStartsEachToolsGesture();
    void toolChangeWaitsForTheGesture();
    void leavingTheToolsAbandonsTheirGestures();
    void rightClickDefinesWhateverTheTool();
    void doubleClickOpensTheObjectsDialog();
};
