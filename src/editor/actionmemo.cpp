// The action memo: a script editor with its caret read-out, clipboard and file buttons.
#include "actionmemo.h"

#include "actiontester.h"
#include "actioncommands.h"

#include "dialoghost.h"
#include "dialogtexts.h"
#include "ioerrors.h"
#include "printjobs.h"
#include "textcodec.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QTextBlock>
#include <QVBoxLayout>

namespace vardeko {

QStringList memoLines(const QString &text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.size() > 1 && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QString joinMemoLines(const QString &text)
{
    return memoLines(text).join(QLatin1Char('|'));
}

QString memoText(const QString &joinedLines)
{
    return splitScriptLines(joinedLines).join(QLatin1Char('\n'));
}

namespace {

QPushButton *memoButton(QLatin1String caption, const char *name, QWidget *parent)
{
    auto *button = new QPushButton(QString(caption), parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

// Message texts of the error table use carriage returns as line breaks.
QString displayedIoError(int code)
{
    QString text = ioErrorMessage(code);
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

int ioErrorOf(const QFileDevice &file, const QString &path)
{
    switch (file.error()) {
    case QFileDevice::PermissionsError:
        return IoAccessDenied;
    case QFileDevice::OpenError:
        return QFileInfo(path).absoluteDir().exists() ? int(IoAccessDenied) : int(IoPathNotFound);
    case QFileDevice::ReadError:
        return IoReadError;
    case QFileDevice::WriteError:
        return IoWriteFault;
    case QFileDevice::ResourceError:
        return IoDiskFull;
    default:
        return IoFileNotFound;
    }
}

} // namespace

ActionMemoPanel::ActionMemoPanel(QWidget *parent)
    : QWidget(parent)
{
    ActionMemo = new QPlainTextEdit(this);
    ActionMemo->setObjectName(QStringLiteral("ActionMemo"));
    ActionMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
    PosLabel = new QLabel(this);
    PosLabel->setObjectName(QStringLiteral("PosLabel"));
    CutBtn = memoButton(DialogText::Cut, "CutBtn", this);
    CopyBtn = memoButton(DialogText::Copy, "CopyBtn", this);
    PasteBtn = memoButton(DialogText::Paste, "PasteBtn", this);
    DeleteBtn = memoButton(DialogText::Delete, "DeleteBtn", this);
    OpenBtn = memoButton(DialogText::Open, "OpenBtn", this);
    SaveBtn = memoButton(DialogText::Save, "SaveBtn", this);
    PrintBtn = memoButton(DialogText::Print, "PrintBtn", this);
    InsertBtn = memoButton(DialogText::InsertCommand, "InsertBtn", this);
    InsertBtn->setToolTip(QString(DialogText::InsertCommandHint));
    mTester = std::make_unique<ProviderTester>(nullptr);
    mContext.tester = mTester.get();
    ActionMemo->viewport()->installEventFilter(this);

    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {CutBtn, CopyBtn, PasteBtn, DeleteBtn, OpenBtn, SaveBtn, PrintBtn})
        buttons->addWidget(b);
    buttons->addStretch();
    auto *top = new QHBoxLayout;
    top->addWidget(InsertBtn);
    top->addStretch();
    top->addWidget(PosLabel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(ActionMemo, 1);
    layout->addLayout(buttons);

    connect(CutBtn, &QPushButton::clicked, ActionMemo, &QPlainTextEdit::cut);
    connect(CopyBtn, &QPushButton::clicked, ActionMemo, &QPlainTextEdit::copy);
    connect(PasteBtn, &QPushButton::clicked, ActionMemo, &QPlainTextEdit::paste);
    connect(DeleteBtn, &QPushButton::clicked, this,
            [this] { ActionMemo->textCursor().removeSelectedText(); });
    connect(OpenBtn, &QPushButton::clicked, this, &ActionMemoPanel::importScript);
    connect(SaveBtn, &QPushButton::clicked, this, &ActionMemoPanel::saveScript);
    connect(PrintBtn, &QPushButton::clicked, this,
            [this] { PrintText(QStringLiteral("Action Script"), ActionMemo, this); });
    connect(InsertBtn, &QPushButton::clicked, this, [this] { insertCommand(QCursor::pos()); });
    connect(ActionMemo, &QPlainTextEdit::cursorPositionChanged, this,
            &ActionMemoPanel::updateButtons);
    connect(ActionMemo, &QPlainTextEdit::selectionChanged, this, &ActionMemoPanel::updateButtons);
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this,
            &ActionMemoPanel::updateButtons);
    updateButtons();
}

QString ActionMemoPanel::script() const
{
    return joinMemoLines(ActionMemo->toPlainText());
}

void ActionMemoPanel::setScript(const QString &script)
{
    ActionMemo->setPlainText(memoText(script));
    updateButtons();
}

ActionMemoPanel::~ActionMemoPanel() = default;

void ActionMemoPanel::setPublication(const Publication *publication, const QString &publicationDir)
{
    mTester = std::make_unique<ProviderTester>(publication);
    mContext.publication = publication;
    mContext.publicationDir = publicationDir;
    mContext.tester = mTester.get();
}

void ActionMemoPanel::insertCommand(const QPoint &screenPoint)
{
    const QString text = ChooseCommand(this, screenPoint, mContext);
    if (!text.isEmpty())
        insertCommandText(ActionMemo, text);
}

void ActionMemoPanel::editCaretRow()
{
    const QString row = ActionMemo->textCursor().block().text();
    if (row.trimmed().isEmpty())
        return;
    QString text;
    if (EditCommandLine(this, row, false, mContext, &text) == EditResult::Accepted)
        replaceCommandRow(ActionMemo, text);
}

bool ActionMemoPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ActionMemo->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton) {
            ActionMemo->setTextCursor(ActionMemo->cursorForPosition(mouse->position().toPoint()));
            editCaretRow();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

QString ActionMemoPanel::caretText() const
{
    const QTextCursor cursor = ActionMemo->textCursor();
    return QStringLiteral("%1/%2").arg(cursor.blockNumber() + 1).arg(cursor.positionInBlock() + 1);
}

void ActionMemoPanel::updateButtons()
{
    const bool selected = ActionMemo->textCursor().hasSelection();
    CutBtn->setEnabled(selected);
    CopyBtn->setEnabled(selected);
    DeleteBtn->setEnabled(selected);
    const QMimeData *clip = QApplication::clipboard()->mimeData();
    PasteBtn->setEnabled(clip && clip->hasText() && !clip->text().isEmpty());
    PosLabel->setText(caretText());
}

void ActionMemoPanel::saveScript()
{
    DialogHost &host = dialogHost();
    const QString path = host.saveFileName(this, QString(DialogText::SaveScriptTitle),
                                           host.folder(DialogFolder::Scripts),
                                           QString(DialogText::AnyFileFilter));
    if (path.isEmpty())
        return;
    if (QFileInfo::exists(path)
        && !host.confirm(this, QString(DialogText::ReplaceTitle),
                         DialogText::ReplacePrefix + path + DialogText::ReplaceSuffix))
        return;
    host.setFolder(DialogFolder::Scripts, QFileInfo(path).absolutePath());

    const QTextCursor cursor = ActionMemo->textCursor();
    QString text = cursor.hasSelection() ? cursor.selectedText() : ActionMemo->toPlainText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    QString lines;
    for (const QString &line : text.split(QLatin1Char('\n')))
        lines += line + QLatin1String("\r\n");

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(encodeFileText(lines)) < 0
        || !file.commit()) {
        host.alert(this, QString(DialogText::SaveScriptTitle),
                   displayedIoError(ioErrorOf(file, path)));
    }
}

void ActionMemoPanel::importScript()
{
    DialogHost &host = dialogHost();
    const QString path = host.openFileName(this, QString(DialogText::ImportTitle),
                                           host.folder(DialogFolder::Scripts),
                                           QString(DialogText::AnyFileFilter));
    if (path.isEmpty())
        return;
    host.setFolder(DialogFolder::Scripts, QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        host.alert(this, QString(DialogText::ImportTitle), displayedIoError(ioErrorOf(file, path)));
        return;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        host.alert(this, QString(DialogText::ImportTitle), displayedIoError(ioErrorOf(file, path)));
        return;
    }
    QString text = decodeFileText(bytes);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));

    QTextCursor cursor = ActionMemo->textCursor();
    const int start = cursor.selectionStart();
    cursor.insertText(text);
    cursor.setPosition(start);
    cursor.setPosition(start + int(text.size()), QTextCursor::KeepAnchor);
    ActionMemo->setTextCursor(cursor);
}

} // namespace vardeko
