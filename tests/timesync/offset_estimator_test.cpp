#include "timesync/offset_estimator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "tests/support/simulated_daytime_server.h"

namespace vintrel {
namespace {

using testing::SimulatedPath;
using testing::SimulateMeasurement;

constexpr int kRuns = 25;

struct PathRow {
    const char* name;
    double offset;
    SimulatedPath path;
    /// The error no run of eight samples may exceed, seconds.
    double bound;
    /// How early the server sends its time codes (msADV), seconds.
    double advance = 0;
};

void PrintTo(const PathRow& row, std::ostream* os) {
    *os << row.name;
}

class SimulatedServerTest : public ::testing::TestWithParam<PathRow> {};

TEST_P(SimulatedServerTest, BracketHoldsTheTruthAndEightSamplesComeClose) {
    const PathRow& row = GetParam();
    for (std::uint32_t seed = 1; seed <= kRuns; ++seed) {
        const testing::SimulatedRun run = SimulateMeasurement(row.offset, row.path, 8, seed,
                                                              std::chrono::seconds(4), row.advance);
        const OffsetEstimate& estimate = run.result.estimate;
        ASSERT_EQ(estimate.samples, 8u) << "seed " << seed;
        EXPECT_TRUE(estimate.consistent) << "seed " << seed;
        EXPECT_TRUE(estimate.certified.contains(row.offset))
            << "seed " << seed << ": [" << estimate.certified.lower << ", "
            << estimate.certified.upper << "]";
        EXPECT_LT(std::fabs(run.error), row.bound) << "seed " << seed;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Paths, SimulatedServerTest,
    ::testing::Values(
        PathRow{"Symmetric20ms", 0.3721, {0.010, 0.010, 0, 0}, 0.006},
        PathRow{"Symmetric100msWithJitter", -0.8123, {0.050, 0.050, 0.005, 0}, 0.03},
        // Half the difference of the two ways is a bias no client can see.
        PathRow{"Asymmetric15And5ms", 12.0457, {0.015, 0.005, 0.001, 0}, 0.012},
        PathRow{"JitterAsLargeAsTheDelay", -0.8123, {0.010, 0.010, 0.010, 0}, 0.05},
        // The tunnel is reported up well after the server read its clock: a
        // bracket counted from the connection would miss the truth.
        PathRow{"ThroughAFarProxy", 0.3721, {0.002, 0.002, 0.0005, 0.030}, 0.05},
        PathRow{"NegativeWholeSeconds", -12.0457, {0.010, 0.010, 0.002, 0}, 0.012},
        // NIST's servers send each time code early by msADV; taken as
        // read on time it puts the estimate and the bracket 50 ms off.
        PathRow{"Advancing50ms", 0.0, {0.010, 0.010, 0.001, 0}, 0.006, 0.050},
        PathRow{"AdvancingThroughAFarProxy", -0.8123, {0.002, 0.002, 0.0005, 0.030}, 0.05, 0.050}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SimulatedServerTest, ErrorShrinksWithMoreSamples) {
    for (const double offset : {0.3721, -0.8123, 12.0457}) {
        double previous = INFINITY;
        for (const int samples : {1, 2, 4, 8}) {
            double sum = 0;
            for (std::uint32_t seed = 1; seed <= kRuns; ++seed) {
                sum += std::fabs(
                    SimulateMeasurement(offset, {0.010, 0.010, 0.001, 0}, samples, seed).error);
            }
            const double mean = sum / kRuns;
            EXPECT_LT(mean, previous) << offset << " s with " << samples << " samples";
            previous = mean;
        }
        EXPECT_LT(previous, 0.005) << offset << " s with 8 samples";
    }
}

TEST(SimulatedServerTest, QueriesKeepTheirSpacing) {
    const testing::SimulatedRun run = SimulateMeasurement(0.3721, {0.010, 0.010, 0.001, 0}, 8, 7);
    ASSERT_EQ(run.sendTimes.size(), 8u);
    for (std::size_t i = 1; i < run.sendTimes.size(); ++i) {
        const double gap = run.sendTimes[i] - run.sendTimes[i - 1];
        EXPECT_GE(gap, 4.0) << "query " << i + 1;
        // Aimed at the next tick after the spacing, never a second later.
        EXPECT_LT(gap, 5.0) << "query " << i + 1;
    }
}

// A sample of a server at `offset` that answers 1.5 ms after the sending
// and reads its clock 1 ms after it, its second misread by `misread`.
OffsetSample QuickSample(double offset, double sent, double misread = 0) {
    return {sent, sent + 0.0005, sent + 0.0015, std::floor(sent + 0.001 + offset + misread)};
}

// Samples sent so that the server reads its clock `phases` seconds after
// its second changed (before, when negative), four seconds apart.
OffsetEstimator SamplesAtPhases(double offset, std::initializer_list<double> phases) {
    OffsetEstimator estimator;
    double tick = 100;
    for (const double phase : phases) {
        estimator.add(QuickSample(offset, tick + phase - offset - 0.001));
        tick += 4;
    }
    return estimator;
}

OffsetEstimator IdealSamples(double offset, std::initializer_list<double> sends) {
    OffsetEstimator estimator;
    for (const double sent : sends) estimator.add(QuickSample(offset, sent));
    return estimator;
}

TEST(OffsetEstimatorTest, OneSampleGivesTheMiddleOfItsSecond) {
    const OffsetEstimator estimator = IdealSamples(0.3721, {100.0});
    // Read at 100.001 s, the server said 100: the offset lies in (-0.001, 0.999].
    EXPECT_NEAR(estimator.estimate().offset, 0.499, 1e-9);
    EXPECT_NEAR(estimator.certified().lower, 100 - 100.0015, 1e-9);
    EXPECT_NEAR(estimator.certified().upper, 101 - 100.0, 1e-9);
}

struct MisreadRow {
    const char* name;
    double phase;    // when the server read its clock, after its tick
    double misread;  // how far off it read
    bool emptiesTheBracket;
};

void PrintTo(const MisreadRow& row, std::ostream* os) {
    *os << row.name;
}

class MisreadTest : public ::testing::TestWithParam<MisreadRow> {};

// A server that reads its clock on the wrong side of a tick (one machine of
// a cluster behind the others) contradicts the other samples. The estimate
// must stay between what the others agree on and what the stray sample
// claims, not give up or jump elsewhere; a bracket that can no longer hold
// any offset says so.
TEST_P(MisreadTest, SampleOnTheWrongSideOfATickMovesTheEstimateLittle) {
    const MisreadRow& row = GetParam();
    const double offset = 0.3721;
    OffsetEstimator estimator =
        SamplesAtPhases(offset, {-0.4, 0.2, -0.1, 0.05, -0.02, 0.01, -0.004});
    const OffsetEstimate before = estimator.estimate();
    EXPECT_NEAR(before.offset, offset, 0.003);
    estimator.add(QuickSample(offset, 140 + row.phase - offset - 0.001, row.misread));
    // Where the stray sample puts the offset's nearest end.
    const double claim = offset - row.phase;
    const OffsetEstimate after = estimator.estimate();
    EXPECT_GE(after.offset, std::min(claim, before.offset - before.spread / 2));
    EXPECT_LE(after.offset, std::max(claim, before.offset + before.spread / 2));
    EXPECT_NEAR(after.offset, offset, 0.025);
    EXPECT_EQ(after.consistent, !row.emptiesTheBracket);
}

INSTANTIATE_TEST_SUITE_P(Rows, MisreadTest,
                         ::testing::Values(MisreadRow{"JustBehind", 0.002, -0.004, false},
                                           MisreadRow{"JustAhead", -0.003, 0.005, false},
                                           MisreadRow{"FarBehind", 0.030, -0.040, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// Through a proxy the tunnel is reported up after the server has read its
// clock: a bracket whose upper end counts from the connection would shut
// the true offset out.
TEST(OffsetEstimatorTest, BracketCountsFromTheSendingNotTheConnection) {
    const double offset = 0.975;
    OffsetEstimator estimator;
    // Sent at 0, read at 0.02 (server 0.995), tunnel up at 0.05, reply at 0.06.
    estimator.add({0.0, 0.05, 0.06, 0});
    EXPECT_TRUE(estimator.certified().contains(offset));
}

TEST(OffsetEstimatorTest, FirstQueryGoesAtOnceTheNextAtTheEstimatedTick) {
    OffsetEstimator estimator;
    EXPECT_EQ(estimator.nextSendTime(50.25), 50.25);
    estimator = IdealSamples(0.3721, {100.0, 104.3});
    const double send = estimator.nextSendTime(105.0);
    EXPECT_GE(send, 108.3);
    EXPECT_LT(send, 109.3);
    const double serverReading = send + estimator.leadTime() + estimator.estimate().offset;
    EXPECT_NEAR(serverReading, std::round(serverReading), 1e-6);
}

TEST(OffsetEstimatorTest, LateCallerIsAimedAtALaterTick) {
    const OffsetEstimator estimator = IdealSamples(0.3721, {100.0});
    const double send = estimator.nextSendTime(200.0);
    EXPECT_GE(send, 200.0);
    EXPECT_LT(send, 201.0);
}

}  // namespace
}  // namespace vintrel
