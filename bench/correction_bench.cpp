// Times the work of one Ping Now without a window, through the correction's
// pipeline on an event loop: the query of a loopback daytime server, the
// parse of its reply and the recorded correction (a
// recording clock, the last-sync time and "LastPing" written to a settings
// file in a temporary folder), and the query and parse alone. Prints medians
// and spreads in milliseconds, and "median_ms N" (the whole) last for scripts.
//
// Usage: correction_bench [runs, default 200] [port of a running daytime
//        server; default: one of its own on a free port]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <utility>
#include <vector>

#include "platform/daytime_client.h"
#include "platform/host_resolver.h"
#include "platform/qt_runtime.h"
#include "platform/scheduler.h"
#include "settings/stored_correction_settings.h"
#include "tests/support/daytime_test_server.h"
#include "tests/support/recording_clock_setter.h"
#include "tests/support/temp_dir.h"
#include "timesync/plain_correction_view.h"
#include "timesync/time_correction.h"

namespace {

using Ms = std::chrono::duration<double, std::milli>;

double At(const std::vector<double>& sorted, double fraction) {
    return sorted[static_cast<std::size_t>(fraction * static_cast<double>(sorted.size() - 1))];
}

// Runs `step` `runs` times: the sorted durations in milliseconds, and how
// many runs failed.
template <typename Step>
std::pair<std::vector<double>, int> Time(int runs, Step step) {
    std::vector<double> ms;
    int failed = 0;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        if (!step()) ++failed;
        ms.push_back(Ms(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    return {ms, failed};
}

void Report(const char* what, int port, const std::vector<double>& ms, int failed) {
    std::printf(
        "%s, 127.0.0.1:%d: median %.3f ms, 10%% %.3f ms, 90%% %.3f ms (%zu runs, %d "
        "failed)\n",
        what, port, At(ms, 0.5), At(ms, 0.1), At(ms, 0.9), ms.size(), failed);
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 && std::atoi(argv[1]) > 0 ? std::atoi(argv[1]) : 200;
    const int givenPort = argc > 2 ? std::atoi(argv[2]) : 0;

    // The settings file goes to a folder of the benchmark's own.
    const vintrel::testing::TempConfigHome config;
    vintrel::ensureQtCore();
    std::optional<vintrel::testing::DaytimeTestServer> ownServer;
    int port = givenPort;
    if (port <= 0) {
        ownServer.emplace();
        port = ownServer->port();
    }

    const auto client = vintrel::makeDaytimeClient();
    const auto resolver = vintrel::makeSystemHostResolver();
    vintrel::testing::RecordingClockSetter clock;
    vintrel::PlainCorrectionView view("127.0.0.1");
    vintrel::StoredCorrectionSettings settings(vintrel::ConnectionSettings{});
    const auto probeTimer = vintrel::makeEventLoopScheduler();
    const auto spacing = vintrel::makeEventLoopScheduler();
    vintrel::CorrectionOptions options;
    options.agent = "correction_bench";
    options.port = port;
    options.probeConnectivity = false;
    vintrel::TimeCorrection correction(
        view, {*client, *resolver, clock, settings, *probeTimer, *spacing}, options);
    // One correction through the pipeline, as the window runs it, waited for
    // on the event loop.
    const auto run = [&correction](bool setClock) {
        vintrel::CorrectionRequest request;
        request.quiet = true;
        request.setClock = setClock;
        std::optional<vintrel::CorrectionReport> report;
        correction.start(request, [&report](const vintrel::CorrectionReport& r) { report = r; });
        vintrel::runEventLoopUntil([&report] { return report.has_value(); });
        return report->status;
    };

    const auto [whole, failed] =
        Time(runs, [&] { return run(true) == vintrel::CorrectionStatus::Corrected; });
    // The same without the correction: what recording it (the settings file's
    // safe write) adds.
    const auto [query, queryFailed] =
        Time(runs, [&] { return run(false) == vintrel::CorrectionStatus::Measured; });
    Report("query + parse + recorded correction", port, whole, failed);
    Report("query + parse alone", port, query, queryFailed);
    std::printf("corrections recorded: %zu\n", clock.requests().size());
    std::printf("median_ms %.3f\n", At(whole, 0.5));
    return failed == 0 && queryFailed == 0 ? 0 : 1;
}
