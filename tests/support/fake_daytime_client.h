#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/daytime_client.h"

namespace vintrel::testing {

/// Answers every fetch with the scripted result (or the one scripted for its
/// URL) and keeps each request.
class FakeDaytimeClient final : public DaytimeClient {
public:
    DaytimeFetch result;
    std::map<std::string, DaytimeFetch> resultFor;
    std::vector<DaytimeRequest> requests;

    DaytimeFetch fetch(const DaytimeRequest& request) override {
        requests.push_back(request);
        const auto it = resultFor.find(request.url);
        return it != resultFor.end() ? it->second : result;
    }
};

}  // namespace vintrel::testing
