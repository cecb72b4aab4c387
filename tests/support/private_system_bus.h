#pragma once

#include <memory>
#include <string>

namespace vintrel::testing {

/// A dbus-daemon of the test's own that allows everything, standing in for
/// the system bus; stopped when destroyed.
class PrivateSystemBus {
public:
    PrivateSystemBus();
    ~PrivateSystemBus();
    PrivateSystemBus(const PrivateSystemBus&) = delete;
    PrivateSystemBus& operator=(const PrivateSystemBus&) = delete;

    /// Empty when the daemon did not start; `error()` says why.
    const std::string& address() const;
    const std::string& error() const;
    /// A folder that lives as long as the bus, for the test's own files.
    std::string scratchDir() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

/// The stand-in org.freedesktop.timedate1 service, connected to `busAddress`.
class FakeTimedated {
public:
    enum class Reply { Accept, AutomaticSyncEnabled, Deny, PolkitTimeout, Vanish };

    FakeTimedated(const std::string& busAddress, Reply reply);
    ~FakeTimedated();
    FakeTimedated(const FakeTimedated&) = delete;
    FakeTimedated& operator=(const FakeTimedated&) = delete;

    /// False when the service did not come up; `error()` says why.
    bool ready() const;
    const std::string& error() const;
    /// One line per SetTime received: "<usec> <relative> <interactive>
    /// may-ask|may-not-ask", or "bad-signature <signature>".
    std::string requests() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace vintrel::testing
