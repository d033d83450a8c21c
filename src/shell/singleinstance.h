// Keeps one editor per user: a second start hands over to the running one.
#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace vardeko {

class SingleInstance : public QObject
{
    Q_OBJECT
public:
    explicit SingleInstance(const QString &name, QObject *parent = nullptr);
    // The name for this user's editor.
    static QString defaultName();

    // True when a running copy answered and was asked to come to the front.
    bool activateRunning();
    // Becomes the running copy; false when the name cannot be taken.
    bool listen();

signals:
    void activationRequested();

private:
    QString mName;
    QLocalServer *mServer = nullptr;
};

} // namespace vardeko
