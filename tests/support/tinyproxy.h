#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vintrel::testing {

/// A real tinyproxy on a free loopback port, with a configuration of the
/// test's own in a temporary folder; stopped and cleaned up on destruction.
class Tinyproxy {
public:
    /// Empty when tinyproxy can be started here, otherwise why it cannot
    /// (tests that need it skip with this reason).
    static std::string unavailableReason();

    /// Starts a proxy that tunnels CONNECT only to the given ports (443 when
    /// none is given, so a daytime port is refused) and waits until it
    /// listens.
    explicit Tinyproxy(std::vector<std::uint16_t> connectPorts);
    ~Tinyproxy();
    Tinyproxy(const Tinyproxy&) = delete;
    Tinyproxy& operator=(const Tinyproxy&) = delete;

    /// Empty when the proxy is listening, otherwise why it is not.
    const std::string& failure() const { return failure_; }
    std::uint16_t port() const { return port_; }
    /// "http://127.0.0.1:" + port, as proxy environment variables name it.
    std::string url() const;
    /// Everything the proxy has logged so far.
    std::string log() const;
    /// How many CONNECT requests for 127.0.0.1:`port` the proxy has logged.
    int tunnelRequestsTo(std::uint16_t port) const;

private:
    bool start(const std::vector<std::uint16_t>& connectPorts);
    bool waitUntilListening();
    void stop();

    std::filesystem::path dir_;
    std::string failure_;
    std::uint16_t port_ = 0;
    pid_t pid_ = -1;
};

}  // namespace vintrel::testing
