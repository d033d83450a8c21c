// Shows the help pages shipped with the program, one page per topic number.
#include "helpviewer.h"

#include "datafolders.h"
#include "programtitle.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QTextBrowser>
#include <QWidget>

namespace vardeko {

QUrl helpTopicUrl(int topic)
{
    const QString folder = dataFolder(DataFolder::Help);
    if (folder.isEmpty())
        return QUrl();
    const QString path = QDir(folder).filePath(QStringLiteral("%1.html").arg(topic));
    if (!QFileInfo(path).isFile())
        return QUrl();
    return QUrl::fromLocalFile(path);
}

bool showHelpTopic(QWidget *parent, int topic)
{
    const QUrl url = helpTopicUrl(topic);
    if (url.isEmpty())
        return false;
    // One help window for the whole program, reused by every topic.
    static QPointer<QTextBrowser> browser;
    if (!browser) {
        browser = new QTextBrowser(parent ? parent->window() : nullptr);
        browser->setWindowFlag(Qt::Window);
        browser->setAttribute(Qt::WA_DeleteOnClose);
        browser->setOpenLinks(true);
        browser->resize(560, 480);
    }
    browser->setSource(url);
    browser->setWindowTitle(QLatin1String(ProgramTitle) + QLatin1String(" Help"));
    browser->show();
    browser->raise();
    browser->activateWindow();
    return true;
}

} // namespace vardeko
