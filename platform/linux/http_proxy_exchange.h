#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QString>
#include <QTcpSocket>

#include <string>

namespace vintrel {

/// An http proxy and the time server behind it, as one fetch sees them.
struct ProxiedServer {
    QString proxyHost;
    quint16 proxyPort = 0;
    QString serverHost;
    quint16 serverPort = 0;
    /// Sent as User-Agent: the executable's file name.
    std::string agent;
    /// "user:password" when the proxy's settings hold them, sent as Basic
    /// proxy authorisation, as Qt's own proxy sockets would.
    QString credentials = {};
};

/// What an http proxy answered: its status line and whatever came after
/// the header in the same reads.
struct ProxyAnswer {
    /// 0 when no complete header came; `failure` says why.
    int status = 0;
    /// "403 Forbidden".
    std::string statusText;
    /// The header and what of the body has been read, to tell which proxy it is.
    QByteArray head;
    /// The bytes after the header that have been read.
    QByteArray rest;
    std::string failure;
};

/// Sends `request` on a connected socket and reads the answer's header.
ProxyAnswer ExchangeWithProxy(QTcpSocket& socket, const QByteArray& request,
                              const QDeadlineTimer& deadline);

/// "CONNECT host:port HTTP/1.1" with Host and User-Agent.
QByteArray TunnelRequest(const ProxiedServer& hop);

/// The request a web client sends a proxy for the URL http://SERVER:PORT/,
/// never to be answered from a cache.
QByteArray WebRequest(const ProxiedServer& hop);

/// "the proxy 127.0.0.1 port 3128", with the proxy's name when its answer
/// tells it: "the proxy 127.0.0.1 port 3128 (squid)".
std::string ProxyName(const ProxiedServer& hop, const QByteArray& answer = {});

/// "127.0.0.1 port 13".
std::string ServerName(const ProxiedServer& hop);

/// What to ask the administrator of the proxy that answered `answer` so that
/// it lets the server's port through, as one sentence.
std::string AdministratorAdvice(const ProxiedServer& hop, const QByteArray& answer);

}  // namespace vintrel
