#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/host_resolver.h"

namespace vintrel::testing {

/// Resolves only the names a test listed; keeps every name asked for.
class FakeHostResolver final : public HostResolver {
public:
    std::map<std::string, std::string> addresses;
    std::vector<std::string> lookups;

    std::string firstIPv4(const std::string& hostName) override {
        lookups.push_back(hostName);
        const auto found = addresses.find(hostName);
        return found == addresses.end() ? std::string() : found->second;
    }
};

}  // namespace vintrel::testing
