// Writing script lines without typing them: choosing a command, editing a line in its
// parameter dialog, and putting the result into the action memo.
#pragma once

#include <QPoint>
#include <QString>
#include <QStringList>

class QPlainTextEdit;
class QWidget;

namespace vardeko {

class Publication;
class ActionTester;

// What the action editor knows of the script's surroundings.
struct ActionContext
{
    const Publication *publication = nullptr; // page names and the position preview
    QString publicationDir;
    ActionTester *tester = nullptr; // the Test buttons; null leaves them disabled
};

// The values a command's fields start with: the line's own parameters when it has
// exactly as many as the command takes, otherwise the command's template.
QStringList initialParameters(int command, const QString &line);

// The text an accepted line puts into the memo: an inserted If brings its Else and
// EndIf, an inserted While its EndWhile, each after an empty row; an edited line never
// brings block words.
QString acceptedCommandText(int command, const QString &line, bool inserting);

// Puts `text` into the memo: an empty caret row is replaced, otherwise the text becomes
// new rows before the caret row (caret in the first column) or after it. The text is
// left selected and the memo gets the focus.
void insertCommandText(QPlainTextEdit *memo, const QString &text);

// Replaces the caret's row with `text`, left selected.
void replaceCommandRow(QPlainTextEdit *memo, const QString &text);

// The palette at `screenPoint`, then the file or font dialog and the parameter dialog;
// the accepted text, or empty when the author cancelled at any step.
QString ChooseCommand(QWidget *parent, const QPoint &screenPoint, const ActionContext &context);

enum class EditResult { Accepted, Cancelled, NoParameters, NotACommand };

// Opens the line in its parameter dialog. Lines that are no command show the "Debug"
// alert; commands without parameters show the sticky note unless inserting, when they
// are accepted at once. `text` receives the accepted text (with block words when
// inserting).
EditResult EditCommandLine(QWidget *parent, const QString &line, bool inserting,
                           const ActionContext &context, QString *text);

// SetFont's parameters from a font: name, size in points, styles joined by "+".
QStringList fontParameters(const QString &family, int points, bool bold, bool italic,
                           bool underline, bool strikeOut);

} // namespace vardeko
