// The action memo: a script editor with its caret read-out, clipboard and file buttons.
#pragma once

#include "actioneditor.h"

#include <QWidget>

#include <memory>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace vardeko {

// Memo text split into lines; a final line break does not start another line.
QStringList memoLines(const QString &text);
// "|"-joined lines of a memo.
QString joinMemoLines(const QString &text);
// The memo text for a script: one row per script line, cut as the script reader cuts
// (a "|" between double quotes stays inside its line).
QString memoText(const QString &joinedLines);

class ActionMemoPanel : public QWidget
{
    Q_OBJECT

public:
    explicit ActionMemoPanel(QWidget *parent = nullptr);
    ~ActionMemoPanel() override;

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

    // The publication the script belongs to: page lists, the position preview and the
    // Test buttons. Without it the action editor still works, with no pages to offer.
    void setPublication(const Publication *publication, const QString &publicationDir);
    const ActionContext &actionContext() const { return mContext; }
    // "Select an Action Command from a list": the palette at `screenPoint`.
    void insertCommand(const QPoint &screenPoint);
    // The caret row in its parameter dialog (double-click).
    void editCaretRow();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

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
    ActionContext mContext;
    std::unique_ptr<ActionTester> mTester;
};

} // namespace vardeko
