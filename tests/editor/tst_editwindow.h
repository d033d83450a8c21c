// The Edit and Arrange commands of the main window: enabling rules and the clipboard.
#pragma once

#include <QObject>
#include <QTemporaryDir>

#include <memory>

class TestEditWindow : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void commandStatesFollowSelection();
    void clipboardRoundTripBetweenWindows();
    void copyWithNothingSelected();
    void pastePlainTextMakesCentredTitle_data();
    void pastePlainTextMakesCentredTitle();
    void pasteBitmapSavesBmpFile();
    void undoCommand();
    void alignDialog();

private:
    std::unique_ptr<QTemporaryDir> mDir;
};
