#include "tests/support/simulated_daytime_server.h"

#include <cmath>

#include "platform/scheduler.h"

#include "tests/support/daytime_test_server.h"

namespace vintrel::testing {
namespace {
constexpr double kUnixEpochSerial = 25569;
}

SimulatedDaytimeServer::SimulatedDaytimeServer(FakeTimingClock& clock, double offsetSeconds,
                                               SimulatedPath path, std::uint32_t seed)
    : clock_(clock),
      offset_(offsetSeconds),
      trueMinusMonotonic_(clock.utcSeconds() - clock.monotonicSeconds()),
      path_(path),
      random_(seed),
      jitter_(path.jitter > 0 ? 1 / path.jitter : 1) {}

double SimulatedDaytimeServer::crossing(double least) {
    return least + (path_.jitter > 0 ? jitter_(random_) : 0);
}

DaytimeFetch SimulatedDaytimeServer::fetch(const DaytimeRequest& request) {
    requests_.push_back(request);
    const int query = static_cast<int>(requests_.size());
    DaytimeTiming timing;
    timing.sent = clock_.monotonicSeconds();
    sendTimes_.push_back(timing.sent);
    double read = 0;
    if (path_.proxy > 0) {
        // Connection to the proxy, the CONNECT request, the proxy's own
        // handshake with the server; the proxy reports the tunnel as it
        // acknowledges the server, and the server reads its clock on that
        // acknowledgement.
        const double request =
            timing.sent + crossing(path_.proxy) + crossing(path_.proxy) + crossing(path_.proxy);
        const double proxyConnected = request + crossing(path_.up) + crossing(path_.down);
        timing.connected = proxyConnected + crossing(path_.proxy);
        read = proxyConnected + crossing(path_.up);
        timing.firstByte =
            std::max(read + crossing(path_.down) + crossing(path_.proxy), timing.connected);
    } else {
        timing.connected = timing.sent + crossing(path_.up) + crossing(path_.down);
        read = timing.connected + crossing(path_.up);
        timing.firstByte = read + crossing(path_.down);
    }
    clock_.advance(timing.firstByte - timing.sent);

    if (const auto it = scripted_.find(query); it != scripted_.end()) return it->second;
    const double error = misread_.count(query) ? misread_[query] : 0;
    // Sent early by the advance: the code names the second the line is
    // meant to arrive in.
    const double second = std::floor(read + trueMinusMonotonic_ + offset_ + error + advance_);
    oneShotSteps_.push_back(second - clock_.utcSeconds());
    return {NistLine(second / 86400 + kUnixEpochSerial, advance_ * 1000), {}, timing};
}

SimulatedRun SimulateMeasurement(double offsetSeconds, SimulatedPath path, int samples,
                                 std::uint32_t seed, std::chrono::milliseconds spacing,
                                 double advanceSeconds) {
    // 1 January 2025 and a fraction of a second that differs from run to run.
    const double start = 1'735'689'600.0 + std::fmod(seed * 0.618033988749, 1.0);
    FakeTimingClock clock(start, 1000.0);
    SimulatedDaytimeServer server(clock, offsetSeconds, path, seed);
    server.setAdvance(advanceSeconds);
    SleepingScheduler scheduler(
        [&clock](std::chrono::milliseconds delay) { clock.advance(delay.count() / 1000.0); });
    OffsetMeasurement measurement(server, scheduler);
    SimulatedRun run;
    measurement.start({}, {samples, spacing},
                      [&run](const MeasurementResult& result) { run.result = result; });
    scheduler.run();
    run.error = offsetSeconds - run.result.estimate.offset;
    if (!server.oneShotSteps().empty()) run.oneShotError = offsetSeconds - server.oneShotSteps()[0];
    run.sendTimes = server.sendTimes();
    return run;
}

}  // namespace vintrel::testing
