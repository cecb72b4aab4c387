#include "tests/support/daytime_test_server.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "platform/timing_clock.h"

namespace vintrel::testing {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr int kMjdOfDayZero = 15018;        // 30 December 1899
constexpr double kUnixEpochSerial = 25569;  // 1 January 1970
constexpr std::size_t kFloodBytes = 10 * 1024 * 1024;
constexpr std::size_t kFirstPieceBytes = 10;
constexpr milliseconds kDripPause{1000};
// Long enough that a client still waiting for more would get it; a client
// that leaves after its one read ends the pause at once.
constexpr milliseconds kPiecePause{3000};
// How long a connection is kept open after the server has spoken, to count
// what the client sends before it leaves.
constexpr milliseconds kLingerLimit{15000};

std::string LineWithLabel(SerialTime utc, const char* label, double advanceMs = 50.0,
                          int health = 0) {
    const DateParts d = DatePartsOf(utc);
    const TimeParts t = TimePartsOf(utc);
    const int mjd = static_cast<int>(DateFromParts(d.year, d.month, d.day)) + kMjdOfDayZero;
    char text[128];
    std::snprintf(text, sizeof text, "\n%05d %02d-%02d-%02d %02d:%02d:%02d 00 0 %d %.1f %s", mjd,
                  d.year % 100, d.month, d.day, t.hour, t.minute, t.second, health, advanceMs,
                  label);
    return text;
}

long Remaining(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? left : 0;
}

// One accepted connection, served on the server's thread.
class Session {
public:
    Session(NativeSocket connection, NativeSocket wake, std::atomic<std::size_t>& received)
        : connection_(connection), wake_(wake), received_(received) {}

    // Waits up to `wait`, counting what the client sends. False once the
    // client has left or the server is stopping.
    bool linger(milliseconds wait) {
        const auto deadline = Clock::now() + wait;
        for (;;) {
            const int ready = waitFor(POLLIN, Remaining(deadline));
            if (ready < 0) return false;
            if (ready == 0) return true;
            if (!drain()) return false;
        }
    }

    // Sends all of `data` unless the client leaves or the server stops.
    bool send(std::string_view data) {
        while (!data.empty()) {
            const auto n =
                ::send(connection_, data.data(), static_cast<int>(data.size()), kNoWaitFlags);
            if (n > 0) {
                data.remove_prefix(static_cast<std::size_t>(n));
                continue;
            }
            if (n < 0 && !IsTransientSocketError(LastSocketError())) return false;
            const int ready = waitFor(POLLOUT | POLLIN, kLingerLimit.count());
            if (ready <= 0) return false;
            if ((ready & POLLIN) && !drain()) return false;
        }
        return true;
    }

    // Ends the server's side of the talk and counts what the client still
    // sends until it leaves.
    void finish() {
        ::shutdown(connection_, kShutWrite);
        linger(kLingerLimit);
    }

private:
    // The events of the connection that are ready; 0 on time-out, -1 when
    // the server is stopping.
    int waitFor(short events, long timeoutMs) {
        PollEntry fds[2] = {{connection_, events, 0}, {wake_, POLLIN, 0}};
        const int n = PollSockets(fds, 2, static_cast<int>(timeoutMs));
        if (n < 0 || fds[1].revents != 0) return -1;
        if (fds[0].revents & (POLLERR | POLLHUP)) return fds[0].revents | POLLIN;
        return fds[0].revents;
    }

    // Reads what is waiting; false when the client has gone.
    bool drain() {
        char buffer[4096];
        const auto n = ::recv(connection_, buffer, sizeof buffer, kNoWaitFlags);
        if (n > 0) {
            received_ += static_cast<std::size_t>(n);
            return true;
        }
        return n < 0 && IsTransientSocketError(LastSocketError());
    }

    NativeSocket connection_;
    NativeSocket wake_;
    std::atomic<std::size_t>& received_;
};

NativeSocket ListenOn(std::uint16_t port, std::string& failure, std::uint16_t& boundPort) {
    const NativeSocket s = OpenSocket(SOCK_STREAM);
    if (s == kNoSocket) {
        failure = "socket: " + SocketErrorText(LastSocketError());
        return kNoSocket;
    }
#ifndef _WIN32
    // On Windows the same option would let a second server share the port.
    const int on = 1;
    ::setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
#endif
    sockaddr_in address = LoopbackAddress(port);
    socklen_t length = sizeof address;
    if (::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(s, 16) != 0 ||
        ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        failure = "cannot listen on 127.0.0.1:" + std::to_string(port) + ": " +
                  SocketErrorText(LastSocketError());
        CloseSocket(s);
        return kNoSocket;
    }
    boundPort = ntohs(address.sin_port);
    return s;
}

// Two loopback datagram sockets, the second sending to the first.
bool OpenWakePair(NativeSocket& read, NativeSocket& write, std::string& failure) {
    read = OpenSocket(SOCK_DGRAM);
    write = OpenSocket(SOCK_DGRAM);
    sockaddr_in address = LoopbackAddress(0);
    socklen_t length = sizeof address;
    if (read == kNoSocket || write == kNoSocket ||
        ::bind(read, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::getsockname(read, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
        ::connect(write, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        failure = "wake sockets: " + SocketErrorText(LastSocketError());
        return false;
    }
    return true;
}

}  // namespace

SerialTime ServerTime::value() const {
    if (!relative_) return value_;
    // Cut to the whole second here: the line's rounding to the millisecond
    // would otherwise change the second up to half a millisecond early.
    const double unixSeconds =
        std::floor(realTimingClock().utcSeconds() + value_ + advanceMs_ / 1000);
    return unixSeconds / 86400 + kUnixEpochSerial;
}

std::string NistLine(SerialTime utc, double advanceMs, int health) {
    return LineWithLabel(utc, "UTC(NIST) * \n", advanceMs, health);
}

std::string FirstPiece(SerialTime utc) {
    return NistLine(utc).substr(0, kFirstPieceBytes);
}

std::string ServerPayload(ServerBehaviour behaviour, SerialTime utc, double advanceMs) {
    switch (behaviour) {
        case ServerBehaviour::Flood: {
            const std::string line = NistLine(utc, advanceMs);
            std::string flood;
            flood.reserve(kFloodBytes + line.size());
            while (flood.size() < kFloodBytes) flood += line;
            flood.resize(kFloodBytes);
            return flood;
        }
        case ServerBehaviour::NulBytes:
            return LineWithLabel(utc, "UTC(NIST)", advanceMs) + std::string(1, '\0') +
                   " * \ngarbage\n";
        case ServerBehaviour::WithoutNist:
            return LineWithLabel(utc, "UTC(USNO) * \n", advanceMs);
        case ServerBehaviour::Refuse:
        case ServerBehaviour::NeverAnswer:
        case ServerBehaviour::CloseWithoutData:
            return {};
        case ServerBehaviour::Answer:
        case ServerBehaviour::Drip:
        case ServerBehaviour::InPieces:
            break;
    }
    return NistLine(utc, advanceMs);
}

DaytimeTestServer::DaytimeTestServer(ServerBehaviour behaviour, ServerTime time, std::uint16_t port)
    : behaviour_(behaviour), time_(time) {
    listener_ = ListenOn(port, failure_, port_);
    if (listener_ == kNoSocket) return;
    if (behaviour_ == ServerBehaviour::Refuse) {
        // The port was free a moment ago and nobody listens on it now.
        CloseSocket(listener_);
        listener_ = kNoSocket;
        return;
    }
    if (!OpenWakePair(wakeRead_, wakeWrite_, failure_)) return;
    thread_.emplace([this] { run(); });
}

DaytimeTestServer::~DaytimeTestServer() {
    if (thread_) {
        const char stop = 1;
        ::send(wakeWrite_, &stop, 1, kNoWaitFlags);
        thread_->join();
    }
    for (NativeSocket s : {listener_, wakeRead_, wakeWrite_}) {
        if (s != kNoSocket) CloseSocket(s);
    }
}

std::string DaytimeTestServer::url() const {
    return "http://127.0.0.1:" + std::to_string(port_);
}

bool DaytimeTestServer::idleLocked() const {
    if (busy_) return false;
    if (listener_ == kNoSocket) return true;
    PollEntry pending{listener_, POLLIN, 0};
    return PollSockets(&pending, 1, 0) == 0;
}

ServerTally DaytimeTestServer::tally(int limitSeconds) {
    const auto deadline = Clock::now() + std::chrono::seconds(limitSeconds);
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            if (idleLocked()) return {connections_, received_.load(), true};
            if (Clock::now() >= deadline) return {connections_, received_.load(), false};
        }
        std::this_thread::sleep_for(milliseconds(10));
    }
}

void DaytimeTestServer::run() {
    for (;;) {
        PollEntry fds[2] = {{listener_, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
        if (PollSockets(fds, 2, -1) < 0) return;
        if (fds[1].revents != 0) return;
        NativeSocket connection;
        {
            // Accepting and marking busy under the lock lets tally() never
            // see a connection that is neither queued nor being served.
            std::lock_guard lock(mutex_);
            connection = AcceptConnection(listener_);
            if (connection == kNoSocket) continue;
            busy_ = true;
            ++connections_;
        }
        serve(connection);
        CloseSocket(connection);
        std::lock_guard lock(mutex_);
        busy_ = false;
    }
}

void DaytimeTestServer::serve(NativeSocket connection) {
    Session session(connection, wakeRead_, received_);
    const std::string payload = ServerPayload(behaviour_, time_.value(), time_.advanceMs());
    switch (behaviour_) {
        case ServerBehaviour::NeverAnswer:
            session.linger(kLingerLimit * 4);
            return;
        case ServerBehaviour::Drip:
            for (char byte : payload) {
                if (!session.send(std::string_view(&byte, 1)) || !session.linger(kDripPause)) {
                    return;
                }
            }
            break;
        case ServerBehaviour::InPieces:
            if (!session.send(std::string_view(payload).substr(0, kFirstPieceBytes)) ||
                !session.linger(kPiecePause) ||
                !session.send(std::string_view(payload).substr(kFirstPieceBytes))) {
                return;
            }
            break;
        default:
            if (!session.send(payload)) return;
            break;
    }
    session.finish();
}

}  // namespace vintrel::testing
