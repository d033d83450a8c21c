// Writing script lines without typing them: choosing a command, editing a line in its
// parameter dialog, and putting the result into the action memo.
#include "actioneditor.h"

#include "actionform.h"
#include "actionpalette.h"
#include "actiontexts.h"
#include "commandtable.h"
#include "dialoghost.h"
#include "scriptvalues.h"

#include <QApplication>
#include <QFileInfo>
#include <QFontDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextBlock>
#include <QTimer>

namespace vardeko {

using namespace ActionText;

QStringList initialParameters(int command, const QString &line)
{
    const int count = ActionCommands[size_t(command)].ParamCount;
    const QStringList given = scriptParameters(line);
    // Only a line with exactly the command's parameters fills the fields.
    if (given.size() == count)
        return given;
    return scriptParameters(QString::fromLatin1(scriptCommand(command).Template));
}

QString acceptedCommandText(int command, const QString &line, bool inserting)
{
    if (!inserting)
        return line;
    if (command == CmdIf)
        return line + QLatin1String("\n\n") + Else + QLatin1String("\n\n") + EndIf;
    if (command == CmdWhile)
        return line + QLatin1String("\n\n") + EndWhile;
    return line;
}

void insertCommandText(QPlainTextEdit *memo, const QString &text)
{
    QTextCursor cursor = memo->textCursor();
    cursor.clearSelection();
    QTextBlock row = cursor.block();
    int start;
    cursor.beginEditBlock();
    if (row.text().isEmpty()) {
        start = row.position();
        cursor.setPosition(start);
        cursor.insertText(text);
    } else if (cursor.positionInBlock() == 0) {
        start = row.position();
        cursor.setPosition(start);
        cursor.insertText(text + u'\n');
    } else {
        cursor.setPosition(row.position() + row.length() - 1);
        cursor.insertText(QString(u'\n'));
        start = cursor.position();
        cursor.insertText(text);
    }
    cursor.endEditBlock();
    // Selected, with the caret at the start of the text.
    cursor.setPosition(start + int(text.size()));
    cursor.setPosition(start, QTextCursor::KeepAnchor);
    memo->setTextCursor(cursor);
    memo->setFocus();
}

void replaceCommandRow(QPlainTextEdit *memo, const QString &text)
{
    QTextCursor cursor = memo->textCursor();
    const QTextBlock row = cursor.block();
    const int start = row.position();
    cursor.setPosition(start);
    cursor.setPosition(start + row.length() - 1, QTextCursor::KeepAnchor);
    cursor.insertText(text);
    // Selected, with the caret at the start of the text.
    cursor.setPosition(start + int(text.size()));
    cursor.setPosition(start, QTextCursor::KeepAnchor);
    memo->setTextCursor(cursor);
    memo->setFocus();
}

QStringList fontParameters(const QString &family, int points, bool bold, bool italic, bool underline,
                           bool strikeOut)
{
    QStringList styles;
    if (bold)
        styles << QStringLiteral("Bold");
    if (italic)
        styles << QStringLiteral("Italic");
    if (underline)
        styles << QStringLiteral("Underline");
    if (strikeOut)
        styles << QStringLiteral("Strikeout");
    if (styles.isEmpty())
        styles << QStringLiteral("Normal");
    return {family, QString::number(points), styles.join(u'+')};
}

namespace {

DialogFolder folderFor(FileKind kind)
{
    switch (kind) {
    case FileKind::Programs: return DialogFolder::Programs;
    case FileKind::Images: return DialogFolder::Images;
    case FileKind::Animations: return DialogFolder::Animations;
    case FileKind::Sounds: return DialogFolder::Sounds;
    case FileKind::Texts:
    case FileKind::None: break;
    }
    return DialogFolder::Articles;
}

// The sticky note for a command without parameters: at the screen centre for 2.5 s.
void showNoParametersNote(QWidget *parent, int command)
{
    const QString text = u'"' + commandName(command) + QLatin1String("\"\n\n") + NoParameters;
    auto *note = new QLabel(text, parent, Qt::ToolTip);
    note->setObjectName(QStringLiteral("NoParametersNote"));
    note->setAttribute(Qt::WA_DeleteOnClose);
    note->setMargin(10);
    note->setStyleSheet(QStringLiteral("background: #ffff80; color: black; border: 1px solid #808000;"));
    note->adjustSize();
    const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (screen)
        note->move(screen->geometry().center() - QPoint(note->width() / 2, note->height() / 2));
    note->show();
    QTimer::singleShot(2500, note, &QWidget::close);
}

} // namespace

EditResult EditCommandLine(QWidget *parent, const QString &line, bool inserting,
                           const ActionContext &context, QString *text)
{
    const RecognizedCommand rc = recognizeCommand(line);
    if (rc.number == 0) {
        // The first word, up to the first blank, names what was not understood.
        const QString word = line.trimmed().section(u' ', 0, 0);
        dialogHost().alert(parent, QString(DebugTitle),
                           u'"' + word + QLatin1String("\"\n\n") + NotUnderstood);
        return EditResult::NotACommand;
    }
    const int command = rc.number;
    if (ActionCommands[size_t(command)].ParamCount == 0) {
        if (inserting) {
            if (text)
                *text = acceptedCommandText(command, line, true);
            return EditResult::Accepted;
        }
        showNoParametersNote(parent, command);
        return EditResult::NoParameters;
    }
    TDefineActionForm form(command, initialParameters(command, line), context, parent);
    if (form.exec() != QDialog::Accepted)
        return EditResult::Cancelled;
    if (text)
        *text = acceptedCommandText(command, form.line(), inserting);
    return EditResult::Accepted;
}

QString ChooseCommand(QWidget *parent, const QPoint &screenPoint, const ActionContext &context)
{
    TActionPalette palette(parent);
    const int command = palette.choose(screenPoint);
    if (command == 0)
        return QString();
    const ScriptCommand &c = scriptCommand(command);
    if (c.File.kind != FileKind::None) {
        DialogHost &host = dialogHost();
        const DialogFolder folder = folderFor(c.File.kind);
        const QString file = host.openFileName(parent, QString::fromLatin1(c.File.Title), host.folder(folder),
                                               QString::fromLatin1(c.File.Filter));
        if (file.isEmpty())
            return QString();
        host.setFolder(folder, QFileInfo(file).absolutePath());
        QString text;
        return EditCommandLine(parent, defaultCommandLine(command, file), true, context, &text)
                               == EditResult::Accepted
                       ? text
                       : QString();
    }
    if (command == CmdSetFont) {
        // The font dialog's choice is the whole line.
        bool ok = false;
        const QFont f = QFontDialog::getFont(&ok, QFont(QStringLiteral("Arial"), 10), parent);
        if (!ok)
            return QString();
        return buildCommandLine(command, fontParameters(f.family(), f.pointSize(), f.bold(), f.italic(),
                                                        f.underline(), f.strikeOut()));
    }
    QString text;
    return EditCommandLine(parent, defaultCommandLine(command), true, context, &text) == EditResult::Accepted
                   ? text
                   : QString();
}

} // namespace vardeko
