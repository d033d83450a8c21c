// Keeps one editor per user: a second start hands its files to the running one.
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
    // The name for this user's editor.
    static QString defaultName();

    // True when a running copy answered: it was handed `files` (made absolute
    // here, against this process's working folder) and asked to come to the front.
    bool activateRunning(const QStringList &files = {});
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

} // namespace vardeko
