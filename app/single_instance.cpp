#include "app/single_instance.h"

#include <unistd.h>

#include <QLocalSocket>

namespace vintrel {
namespace {
constexpr char kShowRequest[] = "show\n";
}

QString SingleInstance::defaultServerName() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty()) return runtime + QStringLiteral("/vintrel.instance");
    return QStringLiteral("vintrel-%1.instance").arg(getuid());
}

SingleInstance::SingleInstance(QString serverName, QObject* parent)
    : QObject(parent), name_(std::move(serverName)) {
    connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
}

bool SingleInstance::askRunningCopyToShow(int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(timeoutMs)) return false;
    socket.write(kShowRequest);
    if (!socket.waitForBytesWritten(timeoutMs)) return false;
    // The running copy closes the connection once it has read the request.
    socket.waitForDisconnected(timeoutMs);
    return true;
}

bool SingleInstance::listen() {
    // A copy that is busy still accepts connections: its socket is not to be
    // taken over (listening with access options would replace the file).
    QLocalSocket probe;
    probe.connectToServer(name_);
    if (probe.waitForConnected(1000)) {
        probe.abort();
        error_ = QStringLiteral("another copy is running");
        return false;
    }
    // A copy that crashed leaves its socket behind, and nobody answers on it.
    QLocalServer::removeServer(name_);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    if (server_.listen(name_)) return true;
    error_ = server_.errorString();
    return false;
}

void SingleInstance::onNewConnection() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequest(socket); });
        // The request may have come with the connection.
        if (socket->bytesAvailable() > 0) readRequest(socket);
    }
}

void SingleInstance::readRequest(QLocalSocket* socket) {
    // Five bytes on a local socket arrive together.
    if (socket->readAll().startsWith(kShowRequest)) emit showRequested();
    socket->disconnectFromServer();
}

}  // namespace vintrel
