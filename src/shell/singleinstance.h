// Keeps one editor per user and display: a second start on the same display hands its
// files to the running one; a start on another display opens its own window.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;
class QLocalSocket;

namespace vardeko {

class SingleInstance : public QObject
{
    Q_OBJECT
public:
    explicit SingleInstance(const QString &name, QObject *parent = nullptr);
    // The name for this user's editor on this process's display.
    static QString defaultName();

    // True when a running copy took `files` (made absolute here, against this
    // process's working folder) and came to the front; `absoluteFiles` receives
    // the names it was handed.
    bool activateRunning(const QStringList &files = {}, QStringList *absoluteFiles = nullptr);
    // Becomes the running copy; false when the name cannot be taken.
    bool listen();

signals:
    // A later start named these publications (absolute paths, in its order).
    void filesRequested(const QStringList &files);
    // A later start asked for the window; sent after filesRequested.
    void activationRequested();

private:
    void readRequest(QLocalSocket *socket);

    QString mName;
    QLocalServer *mServer = nullptr;
};

// The bytes a later start sends; exposed for the tests.
QByteArray singleInstanceRequest(const QStringList &absoluteFiles);

// The channel's name for user `uid` on a display: the X display without its screen
// number (":0.1" and ":0" are one display, "localhost:10" another), or the Wayland
// socket. `platform` is the windowing system's name ("xcb", "wayland", ...).
QString singleInstanceName(uint uid, const QString &platform, const QString &x11Display,
                           const QString &waylandDisplay);

} // namespace vardeko
