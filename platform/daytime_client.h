#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace vintrel {

/// How the internet client reaches the server, with the values of the
/// system's internet client library.
enum class InternetAccessType : int {
    Preconfig = 0,  // the system's own (proxy) settings
    Direct = 1,
    Proxy = 3,  // the proxy named by the proxy text
};

struct DaytimeRequest {
    std::string url;  // "http://" + server + ":13"
    InternetAccessType accessType = InternetAccessType::Direct;
    /// For `Proxy` only: "http=" + host + ":" + port, a proxy for the http scheme.
    std::string proxyText;
    /// The program's executable file name, announced as the client's agent.
    std::string agent;
};

/// When a fetch happened, in seconds of the monotonic clock of `TimingClock`:
/// a server reads its clock between `sent` and `firstByte`.
struct DaytimeTiming {
    /// Just before the connection was begun.
    double sent = 0;
    /// The connection stood; through a proxy, the tunnel to the server.
    double connected = 0;
    /// The reply's first bytes were there to be read.
    double firstByte = 0;
};

struct DaytimeFetch {
    /// What one read returned, at most 1024 bytes, up to the first zero byte;
    /// empty when the server could not be opened or sent nothing.
    std::string reply;
    /// Why the reply is empty, in words a user can read; empty on success.
    std::string failure;
    /// Filled in when a reply came; all zero when the client does not time
    /// its fetches.
    DaytimeTiming timing = {};
    /// How the reply came, for a user who wonders: "direct", or through
    /// which proxy and in which way; empty when no connection stood.
    std::string route = {};
};

/// Bounds on one fetch, so that a silent server or proxy never hangs the caller.
struct DaytimeTimeouts {
    /// Until the connection stands, the proxy's tunnel included.
    std::chrono::milliseconds connect{5000};
    /// The whole fetch, connecting and waiting for the reply.
    std::chrono::milliseconds total{10000};
};

/// Fetches the raw bytes a daytime server sends on its connection. Sends
/// nothing to the server: a daytime server speaks first.
class DaytimeClient {
public:
    virtual ~DaytimeClient() = default;
    /// Blocks the calling thread until the reply or a time-out; needs no
    /// running event loop. One read: the bytes that have arrived when data is
    /// first there to be read; later pieces are not waited for.
    virtual DaytimeFetch fetch(const DaytimeRequest& request) = 0;
    /// The same fetch without holding the caller: `done` runs once, from the
    /// calling thread's event loop, within the same bounds. This default
    /// fetches before returning.
    virtual void fetchAsync(const DaytimeRequest& request, std::function<void(DaytimeFetch)> done) {
        done(fetch(request));
    }
};

std::unique_ptr<DaytimeClient> makeDaytimeClient(DaytimeTimeouts timeouts = {});

}  // namespace vintrel
