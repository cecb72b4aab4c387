#pragma once

#include <cstdint>
#include <map>
#include <random>
#include <vector>

#include "platform/daytime_client.h"
#include "tests/support/fake_timing_clock.h"

namespace vintrel::testing {

/// The way to a simulated server, in seconds.
struct SimulatedPath {
    /// Least time from client to server.
    double up = 0.010;
    /// Least time from server to client.
    double down = 0.010;
    /// Mean of an extra delay, exponentially distributed, on every crossing.
    double jitter = 0;
    /// When not 0, the server is reached through an http proxy this far
    /// (one way) from the client, and `up` and `down` lie between proxy and
    /// server. The tunnel is reported up once the proxy has reached the
    /// server, which may be after the server read its clock.
    double proxy = 0;
};

/// A daytime server at a hidden offset from the client's clock, reached over
/// a simulated path: each fetch moves the fake clock on by the time it
/// takes, as a blocking fetch would, and says when it sent, connected and
/// heard the first byte, as the real client does.
class SimulatedDaytimeServer final : public DaytimeClient {
public:
    SimulatedDaytimeServer(FakeTimingClock& clock, double offsetSeconds, SimulatedPath path,
                           std::uint32_t seed = 1);

    DaytimeFetch fetch(const DaytimeRequest& request) override;

    /// The `query`-th query (from 1) gets `result` instead of the server's line.
    void script(int query, DaytimeFetch result) { scripted_[query] = std::move(result); }
    /// At the `query`-th query the server reads its clock `error` seconds off.
    void misread(int query, double error) { misread_[query] = error; }

    double offset() const { return offset_; }
    /// The monotonic moments the queries were sent.
    const std::vector<double>& sendTimes() const { return sendTimes_; }
    const std::vector<DaytimeRequest>& requests() const { return requests_; }
    /// The server's whole second of each answered query minus the client's
    /// UTC when its reply arrived: what a one-shot correction adds to the clock.
    const std::vector<double>& oneShotSteps() const { return oneShotSteps_; }

private:
    double crossing(double least);

    FakeTimingClock& clock_;
    double offset_;
    SimulatedPath path_;
    std::mt19937 random_;
    std::exponential_distribution<double> jitter_;
    std::map<int, DaytimeFetch> scripted_;
    std::map<int, double> misread_;
    std::vector<double> sendTimes_;
    std::vector<DaytimeRequest> requests_;
    std::vector<double> oneShotSteps_;
};

}  // namespace vintrel::testing
