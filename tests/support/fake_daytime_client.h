#pragma once

#include <vector>

#include "platform/daytime_client.h"

namespace vintrel::testing {

/// Answers every fetch with the scripted result and keeps each request.
class FakeDaytimeClient final : public DaytimeClient {
public:
    DaytimeFetch result;
    std::vector<DaytimeRequest> requests;

    DaytimeFetch fetch(const DaytimeRequest& request) override {
        requests.push_back(request);
        return result;
    }
};

}  // namespace vintrel::testing
