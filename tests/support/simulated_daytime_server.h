#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <random>
#include <vector>

#include "platform/daytime_client.h"
#include "tests/support/fake_timing_clock.h"
#include "timesync/offset_measurement.h"

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

/// A daytime server at a hidden offset from the client's clock as it stands
/// when the server is made, reached over a simulated path: each fetch moves
/// the fake clock on by the time it takes, as a blocking fetch would, and
/// says when it sent, connected and heard the first byte, as the real client
/// does. Steps of the client's clock do not move the server's.
class SimulatedDaytimeServer final : public DaytimeClient {
public:
    SimulatedDaytimeServer(FakeTimingClock& clock, double offsetSeconds, SimulatedPath path,
                           std::uint32_t seed = 1);

    DaytimeFetch fetch(const DaytimeRequest& request) override;

    /// The `query`-th query (from 1) gets `result` instead of the server's line.
    void script(int query, DaytimeFetch result) { scripted_[query] = std::move(result); }
    /// At the `query`-th query the server reads its clock `error` seconds off.
    void misread(int query, double error) { misread_[query] = error; }
    /// From now on the server sends each time code `seconds` early, as NIST's
    /// do, and says so in the line's msADV.
    void setAdvance(double seconds) { advance_ = seconds; }

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
    // The true time minus the monotonic clock.
    double trueMinusMonotonic_;
    SimulatedPath path_;
    double advance_ = 0;
    std::mt19937 random_;
    std::exponential_distribution<double> jitter_;
    std::map<int, DaytimeFetch> scripted_;
    std::map<int, double> misread_;
    std::vector<double> sendTimes_;
    std::vector<DaytimeRequest> requests_;
    std::vector<double> oneShotSteps_;
};

/// One measurement against a simulated server, from a moment within the
/// second that `seed` picks; the scheduler's waits move the fake clock.
struct SimulatedRun {
    MeasurementResult result;
    /// The true offset minus the estimate, seconds.
    double error = 0;
    /// What a one-shot correction by the first reply would have left, seconds.
    double oneShotError = 0;
    /// The monotonic moments the queries were sent.
    std::vector<double> sendTimes;
};

/// `advanceSeconds`: how early the server sends its time codes (msADV).
SimulatedRun SimulateMeasurement(double offsetSeconds, SimulatedPath path, int samples,
                                 std::uint32_t seed,
                                 std::chrono::milliseconds spacing = std::chrono::seconds(4),
                                 double advanceSeconds = 0);

}  // namespace vintrel::testing
