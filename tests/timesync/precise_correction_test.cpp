#include "timesync/time_correction.h"

#include <gtest/gtest.h>

#include <cmath>

#include "settings/settings_store.h"
#include "settings/stored_correction_settings.h"
#include "tests/support/clock_setter_spy.h"
#include "tests/support/daytime_test_server.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_host_resolver.h"
#include "tests/support/fake_timing_clock.h"
#include "tests/support/in_memory_settings.h"
#include "tests/support/recording_correction_view.h"
#include "tests/support/simulated_daytime_server.h"
#include "timesync/regional_format.h"

namespace vintrel {
namespace {

constexpr double kSecond = 1.0 / 86400;
// The server is this many seconds ahead of the system clock.
constexpr double kOffset = 12.0457;

CorrectionOptions WithTheMenusServers() {
    CorrectionOptions options;
    options.agent = "vintrel";
    options.servers = {"129.6.15.28", "132.163.97.1"};
    return options;
}

// A line from a server that does not vouch for its time (H = 3).
DaytimeFetch Unvouched() {
    return {testing::NistLine(DateFromParts(2025, 1, 1), 50.0, 3), {}, {}};
}

class PreciseCorrectionTest : public ::testing::Test {
public:
    PreciseCorrectionTest() {
        SetCurrentRegionalSettings(RegionalSettings{});
        resolver.addresses["www.google.com"] = "192.0.2.1";
        view.setSelectedServer("129.6.15.28");
        view.setTimer2Enabled(true);
        view.log.clear();
        timing.link(clock);
    }

    // Starts a measured correction, quiet and unattended when `silent`, and
    // keeps what it ends with.
    bool start() {
        CorrectionRequest request;
        request.quiet = silent;
        request.unattended = silent;
        request.precise = true;
        return correction.start(request, [this](const CorrectionReport& report) {
            results.push_back(report.status == CorrectionStatus::Corrected ? report.difference
                                                                           : NOT_SYNCED);
        });
    }
    void pingNow() {
        settings.preset("Precise", "1");
        correction.mnuPingClick();
    }

    // The time the clock was set to minus the server's true time now, seconds.
    double setError() const {
        return (FromSystemTime(setter.settings.at(0)) - clock.utc()) / kSecond - kOffset;
    }

    testing::InMemorySettings settings;
    // Local time two hours ahead of UTC.
    testing::FakeClock clock{0, 2.0 / 24};
    testing::FakeTimingClock timing{1'735'689'600.25};
    testing::SimulatedDaytimeServer server{timing, kOffset, {0.010, 0.010, 0.001, 0}};
    testing::FakeHostResolver resolver;
    testing::ClockSetterSpy setter;
    testing::RecordingCorrectionView view;
    StoredCorrectionSettings stored;
    SleepingScheduler probeTimer{[](std::chrono::milliseconds) {}};
    SleepingScheduler scheduler{
        [this](std::chrono::milliseconds delay) { timing.advance(delay.count() / 1000.0); }};
    TimeCorrection correction{
        view, {server, resolver, setter, stored, probeTimer, scheduler}, WithTheMenusServers()};
    bool silent = false;
    std::vector<double> results;
};

TEST_F(PreciseCorrectionTest, PingNowLeavesTheWindowFreeAndReportsAtTheEnd) {
    pingNow();
    // Nothing blocks yet: the queries go out from the event loop.
    EXPECT_TRUE(correction.running());
    EXPECT_TRUE(server.requests().empty());
    EXPECT_EQ(view.cursor(), CursorShape::Hourglass);

    scheduler.run();

    EXPECT_FALSE(correction.running());
    EXPECT_EQ(server.requests().size(), 8u);
    EXPECT_EQ(server.requests()[0].url, "http://129.6.15.28:13");
    EXPECT_EQ(server.requests()[0].agent, "vintrel");
    ASSERT_EQ(setter.settings.size(), 1u);
    EXPECT_LT(std::fabs(setError()), 0.010);
    EXPECT_EQ(view.messages(), std::vector<std::string>{DifferenceReport(kOffset * kSecond)});
    EXPECT_EQ(view.cursor(), CursorShape::Default);
    // Recorded as a one-shot success records: local time read before the clock moved.
    const std::string text = DateTimeText(clock.utc() + 2.0 / 24);
    EXPECT_EQ(view.lastPingLabel(), text);
    EXPECT_EQ(settings.stored("LastPing"), text);
    EXPECT_FALSE(view.timer2Enabled());
    EXPECT_EQ(view.log,
              (std::vector<std::string>{"hourglass", "Timer2 off", "message", "default cursor"}));
}

struct FailureRow {
    const char* name;
    std::function<void(PreciseCorrectionTest&)> arrange;
    std::size_t queries;
    std::function<std::string()> message;
};

void PrintTo(const FailureRow& row, std::ostream* os) {
    *os << row.name;
}

class PreciseFailureTest : public PreciseCorrectionTest,
                           public ::testing::WithParamInterface<std::tuple<FailureRow, bool>> {};

// Every failure ends as the one-shot's does: its message unless silent, and
// the clock, "LastPing", the label and Timer2 as they were.
TEST_P(PreciseFailureTest, EndsLikeAOneShotFailure) {
    const auto& [row, quiet] = GetParam();
    row.arrange(*this);
    silent = quiet;
    ASSERT_TRUE(start());
    scheduler.run();

    EXPECT_EQ(results, std::vector<double>{NOT_SYNCED});
    EXPECT_EQ(server.requests().size(), row.queries);
    EXPECT_EQ(view.messages(),
              quiet ? std::vector<std::string>{} : std::vector<std::string>{row.message()});
    EXPECT_EQ(settings.stored("LastPing"), std::nullopt);
    EXPECT_EQ(view.lastPingLabel(), "");
    EXPECT_TRUE(view.timer2Enabled());
    EXPECT_FALSE(correction.running());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PreciseFailureTest,
    ::testing::Combine(
        ::testing::Values(FailureRow{"ProbeFails",
                                     [](PreciseCorrectionTest& t) { t.resolver.addresses.clear(); },
                                     0, [] { return std::string(kNoConnectionText); }},
                          FailureRow{"NoReplyAtTheThirdQuery",
                                     [](PreciseCorrectionTest& t) {
                                         t.server.script(3, {"", "Connection refused"});
                                     },
                                     3, [] { return std::string(kUnreachableServerText); }},
                          FailureRow{"UnusableReplyAtTheLastQuery",
                                     [](PreciseCorrectionTest& t) {
                                         t.server.script(8, {"busy", ""});
                                     },
                                     8, [] { return std::string(kUnreachableServerText); }},
                          FailureRow{"NoReplyVouchedFor",
                                     [](PreciseCorrectionTest& t) {
                                         for (int q = 1; q <= 8; ++q)
                                             t.server.script(q, Unvouched());
                                     },
                                     8, [] { return std::string(kUnreachableServerText); }},
                          FailureRow{"ClockRefused",
                                     [](PreciseCorrectionTest& t) {
                                         t.setter.refusal = "Operation not permitted";
                                     },
                                     8, [] { return ClockNotSetText("Operation not permitted"); }}),
        ::testing::Bool()),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) +
               (std::get<1>(info.param) ? "Silent" : "Shown");
    });

// A reply whose server does not vouch for it says nothing of the offset.
TEST_F(PreciseCorrectionTest, UnvouchedRepliesAreDropped) {
    server.script(1, Unvouched());
    server.script(5, Unvouched());
    ASSERT_TRUE(start());
    scheduler.run();
    EXPECT_EQ(server.requests().size(), 8u);
    ASSERT_EQ(setter.settings.size(), 1u);
    EXPECT_LT(std::fabs(setError()), 0.050);
}

struct LargeStepRow {
    const char* name;
    bool silent;
    // The second opinion's reply in place of the server's true time.
    std::optional<DaytimeFetch> second;
    bool sets;
};

void PrintTo(const LargeStepRow& row, std::ostream* os) {
    *os << row.name;
}

class PreciseLargeStepTest : public PreciseCorrectionTest,
                             public ::testing::WithParamInterface<LargeStepRow> {};

// The system clock 26 years ahead of the server.
TEST_P(PreciseLargeStepTest, SilentStepNeedsAnotherSiteToAgree) {
    const LargeStepRow& row = GetParam();
    timing.stepUtc(26 * 365.25 * 86400);
    if (row.second) server.script(9, *row.second);
    silent = row.silent;
    ASSERT_TRUE(start());
    scheduler.run();
    EXPECT_EQ(setter.settings.size(), row.sets ? 1u : 0u);
    EXPECT_EQ(results.at(0) == NOT_SYNCED, !row.sets);
    EXPECT_EQ(view.timer2Enabled(), !row.sets);
    ASSERT_EQ(server.requests().size(), row.silent ? 9u : 8u);
    if (row.silent) {
        EXPECT_EQ(server.requests()[8].url, "http://132.163.97.1:13");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PreciseLargeStepTest,
    ::testing::Values(LargeStepRow{"SilentAppliedWhenTheSecondAgrees", true, std::nullopt, true},
                      LargeStepRow{
                          "SilentRefusedWhenTheSecondDisagrees", true,
                          DaytimeFetch{testing::NistLine(DateFromParts(2026, 12, 8), 50.0), {}, {}},
                          false},
                      LargeStepRow{"PingNowAppliedWithoutAsking", false, std::nullopt, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PreciseCorrectionTest, NoSecondCorrectionWhileOneRuns) {
    pingNow();
    scheduler.runOne();
    EXPECT_FALSE(start());
    pingNow();  // a second Ping Now is ignored
    scheduler.run();
    EXPECT_EQ(server.requests().size(), 8u);
    EXPECT_EQ(setter.settings.size(), 1u);
    EXPECT_EQ(view.messages().size(), 1u);
}

// A Ping Now during the daily correction takes that one over: it then reports
// to the user and may ask them for the right to set the clock.
TEST_F(PreciseCorrectionTest, PingNowDuringADailyRunMakesItTheUsers) {
    silent = true;
    ASSERT_TRUE(start());
    scheduler.runOne();
    pingNow();
    EXPECT_EQ(view.cursor(), CursorShape::Hourglass);
    scheduler.run();
    EXPECT_EQ(server.requests().size(), 8u);
    EXPECT_EQ(setter.interactive, std::vector<bool>{true});
    EXPECT_EQ(view.messages(), std::vector<std::string>{DifferenceReport(results.at(0))});
    EXPECT_EQ(view.cursor(), CursorShape::Default);
}

TEST_F(PreciseCorrectionTest, DailyRunSetsTheClockWithoutAskingTheUser) {
    silent = true;
    ASSERT_TRUE(start());
    scheduler.run();
    EXPECT_EQ(setter.interactive, std::vector<bool>{false});
    EXPECT_TRUE(view.messages().empty());
}

// Someone else stepping the system clock mid-way must not bend the result.
TEST_F(PreciseCorrectionTest, StepOfTheSystemClockMidwayIsAllowedFor) {
    ASSERT_TRUE(start());
    for (int i = 0; i < 3; ++i) scheduler.runOne();
    timing.stepUtc(5.0);
    scheduler.run();
    ASSERT_EQ(results.size(), 1u);
    EXPECT_NEAR(results[0] / kSecond, kOffset - 5.0, 0.010);
    EXPECT_LT(std::fabs(setError() + 5.0), 0.010);
}

TEST_F(PreciseCorrectionTest, CancelledCorrectionDoesNothingMore) {
    ASSERT_TRUE(start());
    scheduler.runOne();
    correction.cancel();
    EXPECT_FALSE(correction.running());
    EXPECT_EQ(scheduler.pendingDelay(), std::nullopt);
    scheduler.run();
    EXPECT_TRUE(results.empty());
    EXPECT_TRUE(setter.settings.empty());
}

TEST_F(PreciseCorrectionTest, SettingsErrorAtTheStartRestoresTheCursor) {
    settings.failCallsTo("ConnectionType", "Failed to get data for 'ConnectionType'");
    EXPECT_THROW(pingNow(), ERegistryException);
    EXPECT_EQ(view.cursor(), CursorShape::Default);
    EXPECT_FALSE(correction.running());
    EXPECT_TRUE(server.requests().empty());
}

// The error reaches the application's handler from the event loop, and the
// command still ends: the hourglass goes.
TEST_F(PreciseCorrectionTest, SettingsErrorAtTheEndStillEndsTheCommand) {
    settings.failCallsTo("LastPing", "Failed to set data for 'LastPing'");
    pingNow();
    EXPECT_THROW(scheduler.run(), ERegistryException);
    EXPECT_EQ(view.cursor(), CursorShape::Default);
    EXPECT_FALSE(correction.running());
    EXPECT_EQ(setter.settings.size(), 1u);
}

struct WantedRow {
    const char* name;
    std::optional<std::string> stored;
    bool wanted;
};

void PrintTo(const WantedRow& row, std::ostream* os) {
    *os << row.name;
}

class PreciseWantedTest : public ::testing::TestWithParam<WantedRow> {};

TEST_P(PreciseWantedTest, AnyTextSwitchesItOn) {
    testing::InMemorySettings settings;
    if (GetParam().stored) settings.preset("Precise", *GetParam().stored);
    EXPECT_EQ(StoredCorrectionSettings().preciseWanted(), GetParam().wanted);
}

INSTANTIATE_TEST_SUITE_P(Rows, PreciseWantedTest,
                         ::testing::Values(WantedRow{"Absent", std::nullopt, false},
                                           WantedRow{"Empty", "", false},
                                           WantedRow{"One", "1", true},
                                           WantedRow{"True", "True", true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vintrel
