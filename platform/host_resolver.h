#pragma once

#include <functional>
#include <memory>
#include <string>

namespace vintrel {

/// Resolves host names; injected so that tests never look up a public name.
class HostResolver {
public:
    virtual ~HostResolver() = default;
    /// The dotted text of the name's first IPv4 address, empty when it does not resolve.
    virtual std::string firstIPv4(const std::string& hostName) = 0;
    /// The same answer without waiting for it: `done` runs once, from the
    /// calling thread's event loop. A look-up nobody waits for any more may
    /// still run to its end, but never holds up the caller or its exit. This
    /// default answers before returning.
    virtual void lookUpIPv4(const std::string& hostName, std::function<void(std::string)> done) {
        done(firstIPv4(hostName));
    }
};

std::unique_ptr<HostResolver> makeSystemHostResolver();

}  // namespace vintrel
