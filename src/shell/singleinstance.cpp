// Keeps one editor per user: a second start hands its files to the running one.
#include "singleinstance.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QUrl>

#include <sys/socket.h>
#include <unistd.h>

namespace vardeko {

namespace {

// One request per connection, line by line: "open <file URL>" for each file, then
// "raise". URLs keep any character of a path on one line.
constexpr char OpenPrefix[] = "open ";
constexpr char RaiseLine[] = "raise";
// A request longer than this is not from our own program.
constexpr qint64 MaxRequestBytes = 1 << 20;

constexpr char PendingProperty[] = "vardekoPendingFiles";

// The socket name lives in the abstract namespace, which any local user can reach:
// only connections from this user are heard.
bool fromThisUser(const QLocalSocket *socket)
{
    ucred peer{};
    socklen_t size = sizeof peer;
    const int fd = int(socket->socketDescriptor());
    if (fd < 0 || ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0)
        return false;
    return peer.uid == ::getuid();
}

} // namespace

QByteArray singleInstanceRequest(const QStringList &absoluteFiles)
{
    QByteArray request;
    for (const QString &file : absoluteFiles)
        request += OpenPrefix + QUrl::fromLocalFile(file).toEncoded() + '\n';
    request += RaiseLine;
    request += '\n';
    return request;
}

SingleInstance::SingleInstance(const QString &name, QObject *parent)
    : QObject(parent)
    , mName(name)
{}

QString SingleInstance::defaultName()
{
    return QStringLiteral("vardeko-editor-") + QString::number(::getuid());
}

bool SingleInstance::activateRunning(const QStringList &files)
{
    QLocalSocket socket;
    socket.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
    socket.connectToServer(mName);
    if (!socket.waitForConnected(500))
        return false;
    QStringList absolute;
    for (const QString &file : files)
        absolute.append(QDir::cleanPath(QFileInfo(file).absoluteFilePath()));
    socket.write(singleInstanceRequest(absolute));
    while (socket.bytesToWrite() > 0)
        if (!socket.waitForBytesWritten(2000))
            return false;
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(500);
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
            if (!fromThisUser(socket)) {
                socket->abort();
                socket->deleteLater();
                continue;
            }
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequest(socket); });
            connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
                readRequest(socket);
                socket->deleteLater();
            });
            // Bytes may have come with the connection itself.
            readRequest(socket);
        }
    });
    return true;
}

void SingleInstance::readRequest(QLocalSocket *socket)
{
    QStringList pending = socket->property(PendingProperty).toStringList();
    while (socket->canReadLine()) {
        const QByteArray line = socket->readLine(MaxRequestBytes).trimmed();
        if (line.startsWith(OpenPrefix)) {
            const QUrl url = QUrl::fromEncoded(line.mid(int(sizeof OpenPrefix) - 1));
            // Whatever is not a local file is ignored.
            if (url.isValid() && url.isLocalFile() && pending.size() < 1000)
                pending.append(url.toLocalFile());
        } else if (line == RaiseLine) {
            socket->setProperty(PendingProperty, QStringList());
            if (!pending.isEmpty())
                emit filesRequested(pending);
            emit activationRequested();
            socket->disconnectFromServer();
            return;
        }
        // Other lines are ignored.
    }
    if (socket->bytesAvailable() > MaxRequestBytes) {
        socket->abort();
        return;
    }
    socket->setProperty(PendingProperty, pending);
}

} // namespace vardeko
