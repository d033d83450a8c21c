// The action memo: a script editor with its caret read-out, clipboard and file buttons.
#pragma once

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace vardeko {

// Memo text split into lines; a final line break does not start another line.
QStringList memoLines(const QString &text);
// "|"-joined lines of a memo.
QString joinMemoLines(const QString &text);
// The memo text for "|"-separated lines.
QString memoText(const QString &joinedLines);

class ActionMemoPanel : public QWidget
{
    Q_OBJECT

public:
    explicit ActionMemoPanel(QWidget *parent = nullptr);

    // The script as stored: lines joined by "|".
    QString script() const;
    void setScript(const QString &script);
    QPlainTextEdit *memo() const { return ActionMemo; }
    // Caret line and column, both from 1, as "line/column".
    QString caretText() const;

    // Writes the selected text, or all of it, to a file the author names.
    void saveScript();
    // Replaces the selection by a file's text and leaves that text selected.
    void importScript();

private:
    void updateButtons();

    QPlainTextEdit *ActionMemo;
    QLabel *PosLabel;
    QPushButton *CutBtn;
    QPushButton *CopyBtn;
    QPushButton *PasteBtn;
    QPushButton *DeleteBtn;
    QPushButton *OpenBtn;
    QPushButton *SaveBtn;
    QPushButton *PrintBtn;
    QPushButton *InsertBtn;
};

} // namespace vardeko
