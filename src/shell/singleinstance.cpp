// Keeps one editor per user: a second start hands over to the running one.
#include "singleinstance.h"

#include "shellmessages.h"

#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

namespace vardeko {

namespace {
constexpr char RaiseRequest[] = "raise\n";
}

SingleInstance::SingleInstance(const QString &name, QObject *parent)
    : QObject(parent)
    , mName(name)
{}

QString SingleInstance::defaultName()
{
    return QStringLiteral("vardeko-editor-") + QString::number(::getuid());
}

bool SingleInstance::activateRunning()
{
    QLocalSocket socket;
    socket.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
    socket.connectToServer(mName);
    if (!socket.waitForConnected(500))
        return false;
    socket.write(RaiseRequest);
    socket.waitForBytesWritten(500);
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::listen()
{
    mServer = new QLocalServer(this);
    mServer->setSocketOptions(QLocalServer::AbstractNamespaceOption);
    if (!mServer->listen(mName))
        return false;
    connect(mServer, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = mServer->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                // Whatever else a stranger sends is ignored.
                if (socket->readAll().startsWith("raise"))
                    emit activationRequested();
            });
        }
    });
    return true;
}

} // namespace vardeko
