// Error of the clock correction against a simulated daytime server whose
// clock is off by a random offset: the one-shot correction (the clock set to
// the whole second of one reply) and the precise measurement with K timed
// queries, at two round trips, and at the shorter one against a server that
// sends its time codes 50 ms early (NIST's msADV). Simulated time: the run takes a second or so,
// not the half minute per measurement it stands for.
//
// Usage: precise_sync_bench [runs per cell, default 200]

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "tests/support/simulated_daytime_server.h"

namespace {

using vintrel::testing::SimulatedPath;
using vintrel::testing::SimulatedRun;
using vintrel::testing::SimulateMeasurement;

struct Cell {
    std::vector<double> errors;  // milliseconds, magnitudes
    std::vector<double> widths;  // certified bracket, milliseconds
    std::vector<double> spans;   // from the first query to the last, seconds
    int held = 0;
};

double Quantile(std::vector<double> values, double q) {
    std::sort(values.begin(), values.end());
    const double at = q * static_cast<double>(values.size() - 1);
    const auto below = static_cast<std::size_t>(std::floor(at));
    const std::size_t above = std::min(below + 1, values.size() - 1);
    return values[below] + (values[above] - values[below]) * (at - static_cast<double>(below));
}

// Equal ways with an exponential jitter of a twentieth of the round trip on
// every crossing.
SimulatedPath PathFor(double roundTrip) {
    return {roundTrip / 2, roundTrip / 2, roundTrip / 20, 0};
}

Cell Measure(double roundTrip, int samples, int runs, double advance = 0) {
    Cell cell;
    std::mt19937 offsets(static_cast<unsigned>(roundTrip * 1000) + static_cast<unsigned>(samples));
    std::uniform_real_distribution<double> offset(-2.0, 2.0);
    for (int run = 1; run <= runs; ++run) {
        const double truth = offset(offsets);
        // K = 1 stands for the one-shot: its first reply is the one-shot's.
        const SimulatedRun result =
            SimulateMeasurement(truth, PathFor(roundTrip), std::max(samples, 1),
                                static_cast<std::uint32_t>(run), std::chrono::seconds(4), advance);
        if (samples == 0) {
            cell.errors.push_back(std::fabs(result.oneShotError) * 1000);
            continue;
        }
        const auto& bracket = result.result.estimate.certified;
        cell.errors.push_back(std::fabs(result.error) * 1000);
        cell.widths.push_back(bracket.width() * 1000);
        cell.spans.push_back(result.sendTimes.back() - result.sendTimes.front());
        if (bracket.contains(truth)) ++cell.held;
    }
    return cell;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 && std::atoi(argv[1]) > 0 ? std::atoi(argv[1]) : 200;
    const double roundTrips[] = {0.020, 0.100};
    constexpr double kAdvance = 0.050;
    std::printf(
        "%d simulated runs per cell; equal ways with exponential jitter (mean RTT/20) on every\n"
        "crossing; offsets uniform in [-2, 2) s; 4 s least spacing; the last column against a\n"
        "server that sends its time codes 50 ms early and says so (msADV). Errors in ms.\n\n",
        runs);
    std::printf(
        "| method | RTT 20 ms median | RTT 20 ms p95 | RTT 100 ms median | RTT 100 ms p95 |"
        " advancing 50 ms, RTT 20 ms: median / p95 | bracket held |"
        " bracket width median (20 / 100 ms) | duration |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|\n");
    for (const int samples : {0, 4, 6, 8}) {
        Cell cells[3];
        for (int i = 0; i < 2; ++i) cells[i] = Measure(roundTrips[i], samples, runs);
        cells[2] = Measure(roundTrips[0], samples, runs, kAdvance);
        if (samples == 0) {
            std::printf("| one-shot |");
        } else {
            std::printf("| K = %d |", samples);
        }
        for (int i = 0; i < 2; ++i) {
            std::printf(" %.1f | %.1f |", Quantile(cells[i].errors, 0.5),
                        Quantile(cells[i].errors, 0.95));
        }
        std::printf(" %.1f / %.1f |", Quantile(cells[2].errors, 0.5),
                    Quantile(cells[2].errors, 0.95));
        if (samples == 0) {
            std::printf(" - | - | one reply |\n");
            continue;
        }
        std::printf(" %d of %d | %.1f / %.1f | %.0f s |\n",
                    cells[0].held + cells[1].held + cells[2].held, 3 * runs,
                    Quantile(cells[0].widths, 0.5), Quantile(cells[1].widths, 0.5),
                    Quantile(cells[0].spans, 0.5));
    }
    return 0;
}
