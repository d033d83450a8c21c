// The file choices, questions and remembered folders of the object dialogs.
#include "dialoghost.h"

#include "alertdialog.h"

#include <QFileDialog>

namespace vardeko {

DialogHost::~DialogHost() = default;

QString StandardDialogHost::openFileName(QWidget *parent, const QString &title, const QString &dir,
                                         const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, title, dir, fileDialogFilter(filter));
}

QString StandardDialogHost::saveFileName(QWidget *parent, const QString &title, const QString &dir,
                                         const QString &filter)
{
    // Replacing is confirmed by the caller in its own words.
    return QFileDialog::getSaveFileName(parent, title, dir, fileDialogFilter(filter), nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

bool StandardDialogHost::confirm(QWidget *parent, const QString &title, const QString &text)
{
    return AskYesNo(title, text, parent) == YesNoAnswer::Yes;
}

void StandardDialogHost::alert(QWidget *parent, const QString &title, const QString &text)
{
    AlertDialog(title, text, parent);
}

QString StandardDialogHost::folder(DialogFolder which) const
{
    return mFolders[int(which)];
}

void StandardDialogHost::setFolder(DialogFolder which, const QString &dir)
{
    mFolders[int(which)] = dir;
}

namespace {
DialogHost *gHost = nullptr;
}

DialogHost &dialogHost()
{
    static StandardDialogHost standard;
    return gHost ? *gHost : standard;
}

void setDialogHost(DialogHost *host)
{
    gHost = host;
}

QString fileDialogFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        const QStringList given = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (const QString &p : given)
            patterns.append(p.trimmed());
        // File names on this system keep their case; offer both spellings.
        for (const QString &p : given) {
            const QString lower = p.trimmed().toLower();
            if (!patterns.contains(lower))
                patterns.append(lower);
        }
        QString description = parts[i];
        const qsizetype paren = description.indexOf(QLatin1String(" ("));
        if (paren > 0)
            description.truncate(paren);
        entries.append(description + QLatin1String(" (") + patterns.join(QLatin1Char(' '))
                       + QLatin1Char(')'));
    }
    return entries.join(QLatin1String(";;"));
}

} // namespace vardeko
