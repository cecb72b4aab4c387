#include "platform/linux/http_proxy_exchange.h"

#include <algorithm>

namespace vintrel {
namespace {

// Far beyond any proxy's header; a peer that sends more is not a proxy.
constexpr qsizetype kMostHeader = 16 * 1024;
constexpr QByteArrayView kHeaderEnd = "\r\n\r\n";

enum class ProxyKind { Unknown, Squid, Tinyproxy, Privoxy };

ProxyKind KindOf(const QByteArray& answer) {
    const QByteArray text = answer.toLower();
    // Privoxy pages mention the proxy they were forwarded through, so it goes first.
    if (text.contains("privoxy")) return ProxyKind::Privoxy;
    if (text.contains("tinyproxy")) return ProxyKind::Tinyproxy;
    if (text.contains("squid")) return ProxyKind::Squid;
    return ProxyKind::Unknown;
}

std::string Utf8(const QString& text) {
    return text.toStdString();
}

QByteArray HostPort(const ProxiedServer& hop) {
    QString host = hop.serverHost;
    if (host.contains(u':')) host = u'[' + host + u']';
    return host.toUtf8() + ':' + QByteArray::number(hop.serverPort);
}

QByteArray CommonHeaders(const ProxiedServer& hop) {
    QByteArray headers = "Host: " + HostPort(hop) + "\r\n";
    if (!hop.agent.empty()) {
        headers += "User-Agent: " + QByteArray::fromStdString(hop.agent) + "\r\n";
    }
    if (!hop.credentials.isEmpty()) {
        headers += "Proxy-Authorization: Basic " + hop.credentials.toUtf8().toBase64() + "\r\n";
    }
    return headers;
}

std::string WaitFailure(const QTcpSocket& socket, bool nothingYet) {
    if (socket.error() == QAbstractSocket::SocketTimeoutError) {
        return nothingYet ? "did not answer in time" : "did not finish its answer in time";
    }
    if (socket.error() == QAbstractSocket::RemoteHostClosedError) {
        return nothingYet ? "closed the connection without answering"
                          : "closed the connection in the middle of its answer";
    }
    return "could not be read from: " + Utf8(socket.errorString());
}

// Parses "HTTP/1.x SSS reason" at the start of `head`.
void ReadStatusLine(ProxyAnswer& answer) {
    const qsizetype lineEnd = answer.head.indexOf("\r\n");
    const QByteArray line = answer.head.left(lineEnd);
    const qsizetype space = line.indexOf(' ');
    bool isNumber = false;
    const int status = space > 0 ? line.mid(space + 1, 3).toInt(&isNumber) : 0;
    if (!line.startsWith("HTTP/") || !isNumber || status < 100 || status > 599) {
        answer.failure = "answered something that is not HTTP";
        return;
    }
    answer.status = status;
    answer.statusText = line.mid(space + 1).trimmed().toStdString();
}

qsizetype ContentLength(const QByteArray& head) {
    for (const QByteArray& line : head.split('\n')) {
        if (line.toLower().startsWith("content-length:")) {
            bool ok = false;
            const qsizetype length = line.mid(15).trimmed().toLongLong(&ok);
            return ok ? length : -1;
        }
    }
    return -1;
}

// A refusal's page often names the proxy that its header does not.
void ReadSomeOfTheBody(QTcpSocket& socket, ProxyAnswer& answer, const QDeadlineTimer& deadline) {
    if (answer.status == 200 || KindOf(answer.head + answer.rest) != ProxyKind::Unknown) return;
    const qsizetype length = std::min(ContentLength(answer.head), kMostHeader);
    while (answer.rest.size() < (length < 0 ? kMostHeader : length)) {
        if (socket.bytesAvailable() == 0 &&
            !socket.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
            return;
        }
        answer.rest += socket.read(kMostHeader - answer.rest.size());
    }
}

}  // namespace

ProxyAnswer ExchangeWithProxy(QTcpSocket& socket, const QByteArray& request,
                              const QDeadlineTimer& deadline) {
    ProxyAnswer answer;
    socket.write(request);
    QByteArray data;
    qsizetype end = -1;
    while ((end = data.indexOf(kHeaderEnd)) < 0) {
        // An answer without "HTTP/" at its start is no header: an HTTP/0.9
        // reply is the body itself.
        const qsizetype known = std::min<qsizetype>(data.size(), 5);
        if (data.left(known) != QByteArray("HTTP/").left(known)) {
            answer.rest = data;
            return answer;
        }
        if (data.size() > kMostHeader) {
            answer.failure = "answered with a header too long to be one";
            return answer;
        }
        if (socket.bytesAvailable() == 0 &&
            !socket.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
            answer.failure = WaitFailure(socket, data.isEmpty());
            return answer;
        }
        data += socket.read(kMostHeader + 1 - data.size());
    }
    answer.head = data.left(end + kHeaderEnd.size());
    answer.rest = data.mid(end + kHeaderEnd.size());
    ReadStatusLine(answer);
    if (answer.failure.empty()) ReadSomeOfTheBody(socket, answer, deadline);
    return answer;
}

QByteArray TunnelRequest(const ProxiedServer& hop) {
    return "CONNECT " + HostPort(hop) + " HTTP/1.1\r\n" + CommonHeaders(hop) + "\r\n";
}

QByteArray WebRequest(const ProxiedServer& hop) {
    return "GET http://" + HostPort(hop) + "/ HTTP/1.0\r\n" + CommonHeaders(hop) +
           "Pragma: no-cache\r\nCache-Control: no-cache\r\n\r\n";
}

std::string ProxyName(const ProxiedServer& hop, const QByteArray& answer) {
    std::string name =
        "the proxy " + Utf8(hop.proxyHost) + " port " + std::to_string(hop.proxyPort);
    switch (KindOf(answer)) {
        case ProxyKind::Squid:
            return name + " (squid)";
        case ProxyKind::Tinyproxy:
            return name + " (tinyproxy)";
        case ProxyKind::Privoxy:
            return name + " (privoxy)";
        case ProxyKind::Unknown:
            break;
    }
    return name;
}

std::string ServerName(const ProxiedServer& hop) {
    return Utf8(hop.serverHost) + " port " + std::to_string(hop.serverPort);
}

std::string AdministratorAdvice(const ProxiedServer& hop, const QByteArray& answer) {
    const std::string port = std::to_string(hop.serverPort);
    switch (KindOf(answer)) {
        case ProxyKind::Squid:
            return "Ask its administrator to add the lines \"acl SSL_ports port " + port +
                   "\" and \"acl Safe_ports port " + port + "\" to squid.conf.";
        case ProxyKind::Tinyproxy:
            return "Ask its administrator to add the line \"ConnectPort " + port +
                   "\" beside the ConnectPort lines in tinyproxy.conf.";
        case ProxyKind::Privoxy:
            return "Ask its administrator to add " + port +
                   " to the limit-connect list in privoxy's actions files.";
        case ProxyKind::Unknown:
            break;
    }
    return "Ask its administrator to let connections to port " + port + " through.";
}

}  // namespace vintrel
