#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <string>

namespace vintrel::testing {

enum class ProxyProgram { Squid, Tinyproxy, Privoxy };

/// A real proxy started in the foreground from Debian's packaged
/// configuration with only its listen address, port, pid and log paths
/// changed, plus `extraLine` (empty for none) where that proxy's
/// administrator would put it: after the first `acl SSL_ports`/`acl
/// Safe_ports` line it names for squid, at the end of tinyproxy.conf, at the
/// end of privoxy's user.action. Listens on 127.0.0.1:`port()`; stopped and
/// cleaned up on destruction.
class PackagedProxy {
public:
    /// Empty when the program and its packaged configuration are here,
    /// otherwise why not (tests skip with it).
    static std::string unavailableReason(ProxyProgram program);

    PackagedProxy(ProxyProgram program, const std::string& extraLine);
    ~PackagedProxy();
    PackagedProxy(const PackagedProxy&) = delete;
    PackagedProxy& operator=(const PackagedProxy&) = delete;

    /// Empty when the proxy listens, otherwise why it does not.
    const std::string& failure() const { return failure_; }
    std::uint16_t port() const { return port_; }

private:
    void writeConfig(const std::string& extraLine);
    void start();
    void stop();

    ProxyProgram program_;
    std::filesystem::path dir_;
    std::filesystem::path config_;
    std::string failure_;
    std::uint16_t port_ = 0;
    pid_t pid_ = -1;
};

}  // namespace vintrel::testing
