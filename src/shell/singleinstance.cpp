// Keeps one editor per user and display: a second start on the same display hands its
// files to the running one; a start on another display opens its own window.
#include "singleinstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QElapsedTimer>
#include <QUrl>

#include <sys/socket.h>
#include <unistd.h>

namespace vardeko {

namespace {

// One request per connection, line by line: "open <file URL>" for each file, then
// "raise". URLs keep any character of a path on one line.
constexpr char OpenPrefix[] = "open ";
constexpr char RaiseLine[] = "raise";
// The running copy's answer once it has taken the request.
constexpr char TakenLine[] = "taken";
// How long a later start waits for that answer (the running copy may be busy loading).
constexpr int AnswerWaitMs = 10000;
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

// The display part of an X display name: "host:display.screen" loses ".screen"; a
// missing host or "unix" is the local display.
QString x11DisplayKey(const QString &display)
{
    const qsizetype colon = display.lastIndexOf(u':');
    if (colon < 0)
        return display;
    QString host = display.left(colon);
    QString number = display.mid(colon + 1);
    if (const qsizetype dot = number.indexOf(u'.'); dot >= 0)
        number.truncate(dot);
    if (host == QLatin1String("unix"))
        host.clear();
    return host + u':' + number;
}

} // namespace

QString singleInstanceName(uint uid, const QString &platform, const QString &x11Display,
                           const QString &waylandDisplay)
{
    QString display;
    if (platform.startsWith(QLatin1String("xcb")))
        display = QStringLiteral("x11") + x11DisplayKey(x11Display);
    else if (platform.startsWith(QLatin1String("wayland")))
        display = QStringLiteral("wayland:")
                  + (waylandDisplay.isEmpty() ? QStringLiteral("wayland-0") : waylandDisplay);
    else
        display = platform;
    // The readable part may lose characters; the hash keeps different displays apart.
    QString readable;
    for (QChar c : display.left(40))
        readable += c.isLetterOrNumber() && c.unicode() < 128 ? c : QChar(u'_');
    const QByteArray hash =
        QCryptographicHash::hash(display.toUtf8(), QCryptographicHash::Sha1).toHex().left(8);
    return QStringLiteral("vardeko-editor-%1-%2-%3").arg(uid).arg(readable, QLatin1String(hash));
}

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
    return singleInstanceName(::getuid(), QGuiApplication::platformName(),
                              qEnvironmentVariable("DISPLAY"), qEnvironmentVariable("WAYLAND_DISPLAY"));
}

bool SingleInstance::activateRunning(const QStringList &files, QStringList *absoluteFiles)
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
    // Only the running copy's answer says the files were taken.
    QElapsedTimer waited;
    waited.start();
    while (!socket.canReadLine()) {
        const qint64 left = AnswerWaitMs - waited.elapsed();
        if (left <= 0 || !socket.waitForReadyRead(int(left)))
            return false;
    }
    if (socket.readLine(64).trimmed() != TakenLine)
        return false;
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(500);
    if (absoluteFiles)
        *absoluteFiles = absolute;
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
            socket->write(TakenLine);
            socket->write("\n");
            socket->flush();
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
