// The questions, alerts and file choices the main window puts to the user.
#include "shelldialogs.h"

#include "alertdialog.h"
#include "printjobs.h"
#include "shellmessages.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QLabel>

namespace vardeko {

QString qtFileFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString &p : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            if (p == QLatin1String("*.*")) {
                patterns.append(QStringLiteral("*"));
                continue;
            }
            // Files copied from old systems carry either case.
            patterns.append(p.toLower());
            if (p.toUpper() != p.toLower())
                patterns.append(p.toUpper());
        }
        patterns.removeDuplicates();
        result.append(parts[i] + QLatin1String(" (") + patterns.join(QLatin1Char(' '))
                      + QLatin1Char(')'));
    }
    return result.join(QLatin1String(";;"));
}

// Message texts break lines with single carriage returns.
static QString displayText(QString text)
{
    return text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

void QtShellDialogs::alert(QWidget *parent, const QString &title, const QString &text)
{
    AlertDialog(title, displayText(text), parent);
}

ShellDialogs::Answer QtShellDialogs::ask(QWidget *parent, const QString &title,
                                         const QString &text, bool withCancel)
{
    // The mascot asks; Esc means No, or Cancel when there is one.
    switch (withCancel ? AskYesNoCancel(title, displayText(text), parent) : AskYesNo(title, displayText(text), parent)) {
    case YesNoAnswer::Yes:
        return Yes;
    case YesNoAnswer::No:
        return No;
    case YesNoAnswer::Cancel:
        break;
    }
    return withCancel ? Cancel : No;
}

QString withAnyFile(const QString &filter)
{
    if (filter.endsWith(QLatin1String("|*.*")))
        return filter;
    return filter + QLatin1Char('|') + msg::AnyFileFilter;
}

QString ShellDialogs::openFile(QWidget *parent, const QString &title, const QString &filter,
                               const QString &proposed, QString &dir, bool nativeDialog)
{
    const QString chosen = chooseOpenFile(parent, title, withAnyFile(filter), proposed, dir,
                                          nativeDialog);
    if (!chosen.isEmpty())
        dir = QFileInfo(chosen).absolutePath();
    return chosen;
}

QString ShellDialogs::saveFile(QWidget *parent, const QString &title, const QString &filter,
                               const QString &proposed, QString &dir, bool nativeDialog)
{
    const QString chosen = chooseSaveFile(parent, title, withAnyFile(filter), proposed, dir,
                                          nativeDialog);
    if (!chosen.isEmpty())
        dir = QFileInfo(chosen).absolutePath();
    return chosen;
}

static QString chooseFile(QWidget *parent, QFileDialog::AcceptMode mode, const QString &title,
                          const QString &filter, const QString &proposed, const QString &dir,
                          bool nativeDialog)
{
    QFileDialog dialog(parent, title, dir, qtFileFilter(filter));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    // The caller asks about replacing files itself, in its own words.
    QFileDialog::Options options = QFileDialog::DontConfirmOverwrite;
    if (!nativeDialog)
        options |= QFileDialog::DontUseNativeDialog;
    dialog.setOptions(options);
    if (!proposed.isEmpty())
        dialog.selectFile(proposed);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

QString QtShellDialogs::chooseOpenFile(QWidget *parent, const QString &title,
                                       const QString &filter, const QString &proposed,
                                       const QString &dir, bool nativeDialog)
{
    return chooseFile(parent, QFileDialog::AcceptOpen, title, filter, proposed, dir, nativeDialog);
}

QString QtShellDialogs::chooseSaveFile(QWidget *parent, const QString &title,
                                       const QString &filter, const QString &proposed,
                                       const QString &dir, bool nativeDialog)
{
    return chooseFile(parent, QFileDialog::AcceptSave, title, filter, proposed, dir, nativeDialog);
}

void QtShellDialogs::showReport(QWidget *parent, const QString &caption, const QString &text)
{
    auto *dialog = new QDialog(parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(caption);
    auto *layout = new QVBoxLayout(dialog);
    layout->addWidget(new QLabel(msg::FilesNotFound, dialog));
    auto *view = new QPlainTextEdit(displayText(text), dialog);
    view->setReadOnly(true);
    layout->addWidget(view);
    auto *buttons = new QDialogButtonBox(dialog);
    QPushButton *close = buttons->addButton(QStringLiteral("&Close"), QDialogButtonBox::RejectRole);
    QPushButton *print = buttons->addButton(QStringLiteral("&Print"), QDialogButtonBox::ActionRole);
    QObject::connect(print, &QPushButton::clicked, dialog,
                     [dialog, view] { PrintText(QStringLiteral("Error Report"), view, dialog); });
    // Help of the report comes with the help part.
    buttons->addButton(QStringLiteral("&Help"), QDialogButtonBox::HelpRole)->setEnabled(false);
    QObject::connect(close, &QPushButton::clicked, dialog, &QDialog::close);
    layout->addWidget(buttons);
    dialog->resize(460, 320);
    dialog->show();
}

} // namespace vardeko
