// Measures how long the event loop stands still while one correction runs
// through the pipeline with the real daytime client and resolver: a timer
// due every 10 ms notes the longest gap beyond its period. Prints
// "stall_ms N" and how the correction ended. Asserts nothing. Uses only the
// platform's own interfaces, so the Windows build measures its message loop
// the same way.
//
// Usage: correction_stall_bench server    (a loopback server that accepts
//                                          and never sends)
//        correction_stall_bench resolver  (the probe's look-ups; the caller
//                                          points the system's resolver at
//                                          one that never answers)

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>

#include "platform/daytime_client.h"
#include "platform/host_resolver.h"
#include "platform/qt_runtime.h"
#include "platform/scheduler.h"
#include "platform/timing_clock.h"
#include "settings/stored_correction_settings.h"
#include "tests/support/daytime_test_server.h"
#include "tests/support/recording_clock_setter.h"
#ifndef _WIN32
#include "tests/support/temp_dir.h"
#endif
#include "timesync/plain_correction_view.h"
#include "timesync/time_correction.h"

int main(int argc, char** argv) {
    using namespace vintrel;
    const bool resolverCase = argc > 1 && std::strcmp(argv[1], "resolver") == 0;
#ifndef _WIN32  // Windows keeps the settings in the registry of the Wine prefix the run makes.
    const testing::TempConfigHome config;
#endif
    ensureQtCore();
    testing::DaytimeTestServer server(testing::ServerBehaviour::NeverAnswer);

    const auto client = makeDaytimeClient();
    const auto resolver = makeSystemHostResolver();
    testing::RecordingClockSetter clock;
    PlainCorrectionView view("127.0.0.1");
    StoredCorrectionSettings settings(ConnectionSettings{});
    const auto probeTimer = makeEventLoopScheduler();
    const auto spacing = makeEventLoopScheduler();
    CorrectionOptions options;
    options.agent = "correction_stall_bench";
    options.port = server.port();
    options.probeConnectivity = resolverCase;
    // Names no hosts file of a test sandbox lists, so that the resolver is asked.
    options.probeHosts = {"probe-a.vintrel.invalid", "probe-b.vintrel.invalid"};
    TimeCorrection correction(view, {*client, *resolver, clock, settings, *probeTimer, *spacing},
                              options);

    const TimingClock& timing = timingClock();
    double lastTick = timing.monotonicSeconds();
    double longest = 0;
    const auto ticker = makeEventLoopScheduler();
    std::function<void()> tick = [&] {
        const double now = timing.monotonicSeconds();
        longest = std::max(longest, (now - lastTick) * 1000 - 10);
        lastTick = now;
        ticker->callAfter(std::chrono::milliseconds(10), tick);
    };
    ticker->callAfter(std::chrono::milliseconds(10), tick);

    const double started = timing.monotonicSeconds();
    std::optional<CorrectionReport> report;
    CorrectionRequest request;
    request.quiet = true;
    correction.start(request, [&report](const CorrectionReport& r) { report = r; });
    runEventLoopUntil([&report] { return report.has_value(); });
    // A correction that held the loop to its end left no tick after the stall.
    longest = std::max(longest, (timing.monotonicSeconds() - lastTick) * 1000 - 10);
    std::printf("%s: the correction ended after %.2f s (status %d)\n",
                resolverCase ? "resolver that never answers" : "server that never sends",
                timing.monotonicSeconds() - started, static_cast<int>(report->status));
    std::printf("stall_ms %lld\n", static_cast<long long>(longest));
    leaveProcess(0);
}
