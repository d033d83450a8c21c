// The dialog that fixes the options of a text print job.
#pragma once

#include "zunprinter.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace vardeko {

// A margin as the dialog shows it ("%2.2f").
QString marginText(double value);
// A margin box's text: blanks removed, not a number counts as 0.
double marginValue(const QString &text);
// The copies box's text, clamped to 1..999 (not a number: 1).
int copiesValue(const QString &text);

class TZunPrintDialog : public QDialog
{
    Q_OBJECT
public:
    // `hasSelection` enables "Print Selected Text"; `printerName` is shown after "to".
    TZunPrintDialog(const PrintOptions &options, bool hasSelection, const QString &printerName,
                    QWidget *parent = nullptr);

    // The options as the dialog leaves them after Print.
    PrintOptions options() const { return mOptions; }
    // Asked by "Setup...": chooses the printer, gives its name ("" when cancelled).
    std::function<QString()> setup;

    QLabel *PrintWhat;
    QLineEdit *LeftEdit;
    QLineEdit *TopEdit;
    QLineEdit *RightEdit;
    QLineEdit *BottomEdit;
    QRadioButton *InchesBtn;
    QRadioButton *CentimetersBtn;
    QLineEdit *HeaderEdit;
    QLineEdit *FooterEdit;
    QLineEdit *CopiesEdit;
    QCheckBox *WrapBox;
    QCheckBox *SelectedBox;
    QPushButton *PrintBtn;
    QPushButton *SetupBtn;

private:
    void showPrinter(const QString &printerName);
    void unitChanged(int unit);
    void store();

    PrintOptions mOptions;
    int mShownUnit;
};

} // namespace vardeko
