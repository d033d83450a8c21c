// Book > Compile and Book > Archive: the "Compile Book" settings dialog, the archive
// dialogs, and the progress of both.
#pragma once

#include "publication.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace vardeko {

class TMainForm;

class TCompileForm : public QDialog
{
    Q_OBJECT
public:
    // `fonts`: the publication's fonts for the selected-fonts list.
    TCompileForm(Publication &pub, const QStringList &fonts, const QString &pubDir, QWidget *parent = nullptr);

    QTabWidget *PageControl;
    QLineEdit *NameEdit;
    QRadioButton *AppBtn, *ScrBtn;
    QCheckBox *SetupBox;
    QRadioButton *AllFilesBtn, *OnlyFilesBtn;
    QWidget *CopyPanel;
    QCheckBox *CopyBox;
    QLineEdit *ExternalEdit;
    QRadioButton *FontsOutsideBtn, *NoFontsBtn, *AllFontsBtn, *SelectedFontsBtn;
    QListWidget *FontList;
    QRadioButton *ProgramDirBtn, *WindowsDirBtn, *TempDirBtn, *CustomDirBtn;
    QLineEdit *CustomEdit;
    QCheckBox *RemoveBox;
    QLineEdit *BuildDirEdit, *InstDirEdit, *ProgGrpEdit, *TitleEdit;
    QComboBox *MediaCombo;
    QPushButton *StartColorBtn, *EndColorBtn, *TextColorBtn;
    QWidget *Preview;
    QPushButton *CompileBtn, *CancelBtn, *HelpBtn, *DefaultsBtn;

    // How questions and messages are put; tests replace them.
    std::function<bool(const QString &title, const QString &question)> ask;
    std::function<void(const QString &title, const QString &message)> tell;

    // The output path chosen, its extension forced by the type.
    QString outputName() const;

protected:
    void accept() override;

private:
    void load();
    void store();
    void typeChosen(bool screenSaver);
    void nameEdited(const QString &text);
    void updateCopyPanel();
    void restoreDefaults();
    void paintPreview(QWidget *preview);

    Publication &mPub;
    ColorRef mColors[3];
};

// The preview's gradient: one band per pixel row stepping from `start` to `end`.
QColor previewRowColor(ColorRef start, ColorRef end, int row, int height);

// Runs Book > Compile on the main window's active publication.
void compileActivePublication(TMainForm &form);
// Runs Book > Archive on the main window's active publication.
void archiveActivePublication(TMainForm &form);

} // namespace vardeko
