#pragma once

#include <memory>
#include <string>

namespace vintrel {

/// Resolves host names; injected so that tests never look up a public name.
class HostResolver {
public:
    virtual ~HostResolver() = default;
    /// The dotted text of the name's first IPv4 address, empty when it does not resolve.
    virtual std::string firstIPv4(const std::string& hostName) = 0;
};

std::unique_ptr<HostResolver> makeSystemHostResolver();

}  // namespace vintrel
