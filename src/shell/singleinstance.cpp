#include "singleinstance.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>

namespace shell {

namespace {

constexpr int kConnectTimeoutMs = 1000;
const char kRestoreRequest[] = "restore\n";

} // namespace

SingleInstance::SingleInstance(QString serverName, QObject* parent) : QObject(parent), m_name(std::move(serverName))
{
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultServerName()
{
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = qEnvironmentVariable("USERNAME");
    const QByteArray hash = QCryptographicHash::hash(user.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return QStringLiteral("Mirafel-TMainForm-") + QString::fromLatin1(hash);
}

bool SingleInstance::notifyRunningInstance()
{
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(kConnectTimeoutMs))
        return false;
    socket.write(kRestoreRequest);
    socket.flush();
    socket.waitForBytesWritten(kConnectTimeoutMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(kConnectTimeoutMs);
    return true;
}

bool SingleInstance::tryBecomePrimary()
{
    if (m_server)
        return true;
    if (notifyRunningInstance())
        return false;

    auto* server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(m_name)) {
        // A socket file left by a copy that ended abnormally: nobody answered
        // on it, so it can be removed.
        if (server->serverError() == QAbstractSocket::AddressInUseError) {
            if (notifyRunningInstance()) {
                delete server;
                return false;
            }
            QLocalServer::removeServer(m_name);
        }
        if (!server->listen(m_name)) {
            // No way to watch for later starts; this copy runs anyway.
            delete server;
            return true;
        }
    }
    m_server = server;
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
    return true;
}

void SingleInstance::acceptConnections()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->readAll().contains("restore"))
                emit activationRequested();
        });
        if (socket->bytesAvailable() > 0 && socket->readAll().contains("restore"))
            emit activationRequested();
    }
}

} // namespace shell
