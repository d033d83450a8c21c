// The Check Spelling dialog: the unknown word in its line, suggestions, and the choices
// Ignore, Ignore All, Change, Change All and Add.
#pragma once

#include "spelling.h"

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTextEdit;

namespace vardeko {

class TSpellForm : public QDialog
{
    Q_OBJECT
public:
    TSpellForm(SpellSession &session, const QString &language, QWidget *parent = nullptr);

    // Shows where the word stands (its page) before the dialog shows it.
    std::function<void(const SpellTarget &)> showTarget;
    // Said when the personal dictionary cannot be written.
    std::function<void(const QString &message)> report;

    // Goes to the first unknown word; false when there is none (the dialog need not open).
    bool start();
    // True when the walk reached the end (not cancelled).
    bool finished() const { return mFinished; }
    const Misspelling &current() const { return mCurrent; }

    QLabel *WhereLabel;
    QTextEdit *ContextView;
    QLineEdit *ChangeToEdit;
    QListWidget *SuggestionList;
    QPushButton *IgnoreBtn;
    QPushButton *IgnoreAllBtn;
    QPushButton *ChangeBtn;
    QPushButton *ChangeAllBtn;
    QPushButton *AddBtn;
    QPushButton *CancelBtn;

private:
    // Moves to the next unknown word, or closes the dialog at the end.
    void advance();
    void showCurrent();
    QString whereText(const SpellTarget &target) const;

    SpellSession &mSession;
    Misspelling mCurrent;
    bool mFinished = false;
};

} // namespace vardeko
