// Shows the help pages shipped with the program, one page per topic number.
#include "helpviewer.h"

#include <QFile>
#include <QPointer>
#include <QTextBrowser>
#include <QWidget>

// The pages are compiled into this static library; the linker keeps them only when
// something asks for them by name.
static void initHelpResources()
{
    Q_INIT_RESOURCE(help);
}

namespace vardeko {

QUrl helpTopicUrl(int topic)
{
    static const bool loaded = (initHelpResources(), true);
    Q_UNUSED(loaded);
    const QString path = QStringLiteral(":/help/%1.html").arg(topic);
    if (!QFile::exists(path))
        return QUrl();
    return QUrl(QStringLiteral("qrc") + path);
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
    browser->setWindowTitle(QStringLiteral("Vardeko Help"));
    browser->show();
    browser->raise();
    browser->activateWindow();
    return true;
}

} // namespace vardeko
