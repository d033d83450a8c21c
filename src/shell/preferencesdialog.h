// The Preferences dialog: general settings, outside editors and the action editor's look.
#pragma once

#include "preferences.h"

#include <QDialog>
#include <QFont>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;

namespace vardeko {

// The colours the colour lists offer, in their order.
QStringList editorColorNames();
// "Window" and "WindowText" follow the system; a name that does not resolve is white.
QColor editorColor(const QString &name);
// The list entry for a stored colour, or empty when none matches.
QString editorColorName(ColorRef color);

class TSetPreferencesForm : public QDialog
{
    Q_OBJECT
public:
    explicit TSetPreferencesForm(const Preferences &prefs, QWidget *parent = nullptr);

    // Copies the dialog's values into `prefs`; only OK calls this.
    void store(Preferences &prefs) const;

private:
    QWidget *createGeneralTab();
    QWidget *createUtilitiesTab();
    QWidget *createEditorTab();
    void browse(QLineEdit *edit);
    void updatePreview();
    void chooseFont();

    Preferences mValues;
    QCheckBox *mUndo = nullptr;
    QCheckBox *mBackup = nullptr;
    QCheckBox *mAutoUpdate = nullptr;
    QRadioButton *mWindowsStyle = nullptr;
    QRadioButton *mSarquelStyle = nullptr;
    QRadioButton *mBeluno = nullptr;
    QRadioButton *mKorro = nullptr;
    QRadioButton *mAssociated = nullptr;
    QRadioButton *mSpecified = nullptr;
    QLineEdit *mTextEditor = nullptr;
    QLineEdit *mImageEditor = nullptr;
    QLineEdit *mSoundEditor = nullptr;
    QLineEdit *mVideoEditor = nullptr;
    QComboBox *mBackground = nullptr;
    QComboBox *mTextColor = nullptr;
    QPlainTextEdit *mPreview = nullptr;
    QFont mFont;
};

} // namespace vardeko
