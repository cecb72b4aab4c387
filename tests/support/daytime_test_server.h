#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "tests/support/test_socket.h"
#include "timesync/serial_time.h"

namespace vintrel::testing {

/// What the loopback daytime server does with each connection it accepts.
enum class ServerBehaviour {
    Answer,            // one NIST line, then it closes
    Refuse,            // nothing listens on the port: connections are refused
    NeverAnswer,       // accepts and stays silent until the client leaves
    Drip,              // the NIST line one byte a second
    Flood,             // 10 MB of NIST lines
    NulBytes,          // a zero byte in the middle of the line, garbage after it
    CloseWithoutData,  // accepts and closes at once
    InPieces,          // the first piece of the line; the rest only after a long pause
    WithoutNist,       // a line in the daytime format from another time service (no "NIST")
};

/// The time a test server announces: a fixed moment or the real clock plus
/// an offset (the server stands for the outside world, so it never reads a
/// clock a test installed).
class ServerTime {
public:
    static ServerTime Fixed(SerialTime utc) { return ServerTime(utc, false); }
    static ServerTime NowPlus(double offsetDays) { return ServerTime(offsetDays * 86400, true, 0); }
    /// The real clock plus `offsetSeconds`, read to the nanosecond, so that
    /// its second changes at the true moment: a server for timed queries.
    /// With `advanceMs`, each time code is sent that many milliseconds early
    /// and the line's msADV says so, as NIST's servers do.
    static ServerTime NowPlusSeconds(double offsetSeconds, double advanceMs = 0) {
        return ServerTime(offsetSeconds, true, advanceMs);
    }
    /// The whole second announced when asked now.
    SerialTime value() const;
    /// What the line gives as msADV: the advance a running server applies;
    /// a fixed moment claims NIST's usual one.
    double advanceMs() const { return advanceMs_; }

private:
    ServerTime(double value, bool relative, double advanceMs = kNistAdvanceMs)
        : value_(value), relative_(relative), advanceMs_(relative ? advanceMs : kNistAdvanceMs) {}
    static constexpr double kNistAdvanceMs = 50.0;
    double value_;  // a moment, or an offset in seconds
    bool relative_;
    double advanceMs_;
};

/// The NIST daytime line for `utc`, leading and trailing line feed included:
/// "\n60723 25-02-17 14:30:45 00 0 0 50.0 UTC(NIST) * \n", with `advanceMs`
/// as msADV and `health` as H.
std::string NistLine(SerialTime utc, double advanceMs = 50.0, int health = 0);

/// The bytes the server sends for `behaviour` at `utc` when the client reads
/// everything; the pieces of `InPieces` and the bytes of `Drip` are parts of it.
std::string ServerPayload(ServerBehaviour behaviour, SerialTime utc, double advanceMs = 50.0);

/// The first piece `InPieces` sends.
std::string FirstPiece(SerialTime utc);

/// What the server saw once every connection it accepted had ended.
struct ServerTally {
    int connections = 0;
    /// Bytes the clients sent; a daytime client sends none.
    std::size_t bytesReceived = 0;
    /// False when a connection was still open when waiting gave up.
    bool settled = true;
};

/// A daytime server on 127.0.0.1 in a thread of its own, serving one
/// connection at a time. Port 0 picks a free port.
class DaytimeTestServer {
public:
    explicit DaytimeTestServer(ServerBehaviour behaviour = ServerBehaviour::Answer,
                               ServerTime time = ServerTime::NowPlus(0), std::uint16_t port = 0);
    ~DaytimeTestServer();
    DaytimeTestServer(const DaytimeTestServer&) = delete;
    DaytimeTestServer& operator=(const DaytimeTestServer&) = delete;

    /// Empty when the server is listening (or, for `Refuse`, holds a closed
    /// port); otherwise why it could not start.
    const std::string& failure() const { return failure_; }
    std::uint16_t port() const { return port_; }
    /// "http://127.0.0.1:" + port, the address a query is given.
    std::string url() const;

    /// Waits until every connection accepted so far (and any still queued)
    /// has ended, up to `limitSeconds`, then reports.
    ServerTally tally(int limitSeconds = 20);

private:
    void run();
    void serve(NativeSocket connection);
    bool idleLocked() const;

    SocketLibrary sockets_;
    ServerBehaviour behaviour_;
    ServerTime time_;
    std::string failure_;
    std::uint16_t port_ = 0;
    NativeSocket listener_ = kNoSocket;
    // A datagram to this loopback socket wakes the server's thread to stop.
    NativeSocket wakeRead_ = kNoSocket;
    NativeSocket wakeWrite_ = kNoSocket;
    mutable std::mutex mutex_;
    bool busy_ = false;
    int connections_ = 0;
    std::atomic<std::size_t> received_{0};
    std::optional<std::thread> thread_;
};

}  // namespace vintrel::testing
