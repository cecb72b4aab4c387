#include <QDeadlineTimer>
#include <QNetworkProxy>
#include <QNetworkProxyFactory>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QUrl>

#include <algorithm>
#include <optional>

#include "platform/daytime_client.h"
#include "platform/timing_clock.h"

namespace vintrel {
namespace {

// The reply buffer: one read takes at most this much; the rest is never read.
constexpr qint64 kReplyBytes = 1024;
// A URL without a port still means the daytime port, not the http one.
constexpr int kDaytimePort = 13;

struct Endpoint {
    QString host;
    quint16 port = 0;
};

struct Route {
    QNetworkProxy proxy{QNetworkProxy::NoProxy};
    std::string failure;
};

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

std::string Utf8(const QString& text) {
    return text.toStdString();
}

std::string Seconds(std::chrono::milliseconds span) {
    const auto whole =
        std::max<std::int64_t>(std::chrono::ceil<std::chrono::seconds>(span).count(), 1);
    return std::to_string(whole) + (whole > 1 ? " seconds" : " second");
}

std::optional<Endpoint> ServerOf(const std::string& url) {
    const QUrl parsed(Text(url), QUrl::StrictMode);
    const int port = parsed.port(kDaytimePort);
    if (!parsed.isValid() || parsed.host().isEmpty() || port <= 0) return std::nullopt;
    return Endpoint{parsed.host(), static_cast<quint16>(port)};
}

// The entry of a proxy list in the internet client's form ("http=host:port",
// entries apart by blanks or semicolons) that serves http: the first one for
// the http scheme or for every scheme.
QString HttpEntryOf(const std::string& proxyText) {
    static const QRegularExpression separators(QStringLiteral("[\\s;]+"));
    const QStringList entries = Text(proxyText).split(separators, Qt::SkipEmptyParts);
    for (const QString& entry : entries) {
        if (entry.startsWith(QStringLiteral("http="), Qt::CaseInsensitive)) return entry.mid(5);
        if (!entry.contains(u'=')) return entry;
    }
    return {};
}

std::optional<Endpoint> ProxyOf(const std::string& proxyText) {
    QString entry = HttpEntryOf(proxyText);
    if (entry.startsWith(QStringLiteral("http://"), Qt::CaseInsensitive)) entry = entry.mid(7);
    const qsizetype colon = entry.lastIndexOf(u':');
    if (colon <= 0) return std::nullopt;
    QString host = entry.left(colon);
    if (host.startsWith(u'[') && host.endsWith(u']')) host = host.mid(1, host.size() - 2);
    bool isNumber = false;
    const uint port = entry.mid(colon + 1).toUInt(&isNumber, 10);
    if (host.isEmpty() || !isNumber || port == 0 || port > 65535) return std::nullopt;
    return Endpoint{host, static_cast<quint16>(port)};
}

QNetworkProxy WithAgent(QNetworkProxy proxy, const std::string& agent) {
    if (!agent.empty()) proxy.setRawHeader("User-Agent", QByteArray::fromStdString(agent));
    return proxy;
}

// The system's choice for the URL: the first proxy that can carry a raw
// connection, or none. Caching-only proxies cannot tunnel and are passed over.
QNetworkProxy SystemProxyFor(const std::string& url) {
    const QNetworkProxyQuery query{QUrl(Text(url))};
    for (QNetworkProxy proxy : QNetworkProxyFactory::systemProxyForQuery(query)) {
        switch (proxy.type()) {
            case QNetworkProxy::HttpProxy:
                proxy.setCapabilities(proxy.capabilities() | QNetworkProxy::TunnelingCapability);
                return proxy;
            case QNetworkProxy::Socks5Proxy:
                return proxy;
            case QNetworkProxy::NoProxy:
            case QNetworkProxy::DefaultProxy:
                return QNetworkProxy(QNetworkProxy::NoProxy);
            case QNetworkProxy::HttpCachingProxy:
            case QNetworkProxy::FtpCachingProxy:
                break;
        }
    }
    return QNetworkProxy(QNetworkProxy::NoProxy);
}

Route RouteFor(const DaytimeRequest& request) {
    switch (request.accessType) {
        case InternetAccessType::Proxy: {
            const auto proxy = ProxyOf(request.proxyText);
            if (!proxy) {
                return {QNetworkProxy(QNetworkProxy::NoProxy),
                        "The proxy \"" + request.proxyText + "\" does not name a host and port."};
            }
            return {WithAgent(QNetworkProxy(QNetworkProxy::HttpProxy, proxy->host, proxy->port),
                              request.agent),
                    {}};
        }
        case InternetAccessType::Preconfig:
            return {WithAgent(SystemProxyFor(request.url), request.agent), {}};
        case InternetAccessType::Direct:
            break;
    }
    // Direct means direct, whatever the environment or the application says.
    return {QNetworkProxy(QNetworkProxy::NoProxy), {}};
}

std::string Where(const Endpoint& server, const QNetworkProxy& proxy) {
    std::string where = Utf8(server.host) + " port " + std::to_string(server.port);
    if (proxy.type() != QNetworkProxy::NoProxy) {
        where += " through the proxy " + Utf8(proxy.hostName()) + " port " +
                 std::to_string(proxy.port());
    }
    return where;
}

DaytimeFetch Failed(std::string reason) {
    return {{}, std::move(reason)};
}

double Now() {
    return timingClock().monotonicSeconds();
}

class QtDaytimeClient final : public DaytimeClient {
public:
    explicit QtDaytimeClient(DaytimeTimeouts timeouts) : timeouts_(timeouts) {}

    DaytimeFetch fetch(const DaytimeRequest& request) override {
        const auto server = ServerOf(request.url);
        if (!server) return Failed("\"" + request.url + "\" does not name a time server.");
        const Route route = RouteFor(request);
        if (!route.failure.empty()) return Failed(route.failure);

        const QDeadlineTimer deadline(timeouts_.total.count());
        QTcpSocket socket;
        socket.setProxy(route.proxy);
        // Qt then reads no more than the reply buffer from the system.
        socket.setReadBufferSize(kReplyBytes);
        DaytimeTiming timing;
        timing.sent = Now();
        socket.connectToHost(server->host, server->port, QIODevice::ReadOnly);
        DaytimeFetch result = connect(socket, deadline, Where(*server, route.proxy));
        timing.connected = Now();
        if (result.failure.empty()) result = readOnce(socket, deadline, timing);
        socket.abort();
        return result;
    }

private:
    // Waits for the connection, and for the tunnel when there is a proxy.
    DaytimeFetch connect(QTcpSocket& socket, const QDeadlineTimer& deadline,
                         const std::string& where) const {
        const qint64 limit = std::min<qint64>(timeouts_.connect.count(), deadline.remainingTime());
        if (socket.waitForConnected(static_cast<int>(limit))) return {};
        if (socket.error() == QAbstractSocket::SocketTimeoutError) {
            return Failed("No connection to " + where + " within " +
                          Seconds(std::chrono::milliseconds(limit)) + ".");
        }
        return Failed("Could not connect to " + where + ": " + Utf8(socket.errorString()) + ".");
    }

    // One read: what has arrived when data is first there to be read, at most
    // the reply buffer, up to its first zero byte. Later pieces are not
    // waited for.
    DaytimeFetch readOnce(QTcpSocket& socket, const QDeadlineTimer& deadline,
                          DaytimeTiming timing) const {
        if (socket.bytesAvailable() == 0 &&
            !socket.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
            if (socket.error() == QAbstractSocket::SocketTimeoutError) {
                return Failed("The time server sent nothing within " + Seconds(timeouts_.total) +
                              ".");
            }
            if (socket.error() == QAbstractSocket::RemoteHostClosedError) {
                return Failed("The time server closed the connection without sending anything.");
            }
            return Failed("Could not read from the time server: " + Utf8(socket.errorString()) +
                          ".");
        }
        timing.firstByte = Now();
        const QByteArray bytes = socket.read(kReplyBytes);
        std::string reply(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        reply.resize(std::min(reply.size(), reply.find('\0')));
        if (reply.empty()) return Failed("The time server's reply began with a zero byte.");
        return {std::move(reply), {}, timing};
    }

    DaytimeTimeouts timeouts_;
};

}  // namespace

std::unique_ptr<DaytimeClient> makeDaytimeClient(DaytimeTimeouts timeouts) {
    return std::make_unique<QtDaytimeClient>(timeouts);
}

}  // namespace vintrel
