#include "tools/sync_command.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <sstream>

#include "tests/support/clock_setter_spy.h"
#include "tests/support/daytime_test_server.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_daytime_client.h"
#include "tests/support/fake_host_resolver.h"
#include "tests/support/fake_timing_clock.h"
#include "tests/support/in_memory_settings.h"
#include "tests/support/simulated_daytime_server.h"
#include "timesync/regional_format.h"

namespace vintrel {
namespace {

constexpr double kSecond = 1.0 / 86400;
constexpr const char* kNistReply = "\n60311 24-01-02 03:04:05 00 0 0 716.5 UTC(NIST) * \n";
const SerialTime kServerUtc = DateFromParts(2024, 1, 2) + TimeFromParts(3, 4, 5, 0);

class SyncCommandTest : public ::testing::Test {
protected:
    SyncCommandTest() {
        SetCurrentRegionalSettings(RegionalSettings{});
        resolver.addresses["www.google.com"] = "192.0.2.1";
        client.result.reply = kNistReply;
    }

    int run(SyncArguments arguments = {}) {
        return RunSync(arguments, {client, resolver, setter, "vintrel-sync"}, out, err);
    }

    testing::InMemorySettings settings;
    // The system clock is 1.25 s behind the server.
    testing::FakeClock clock{kServerUtc - 1.25 * kSecond};
    testing::FakeDaytimeClient client;
    testing::FakeHostResolver resolver;
    testing::ClockSetterSpy setter;
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(SyncCommandTest, QueryPrintsReplyServerTimeAndOffsetAndSetsNothing) {
    EXPECT_EQ(run(), kSyncSuccess);
    EXPECT_EQ(out.str(),
              "reply: \\n60311 24-01-02 03:04:05 00 0 0 716.5 UTC(NIST) * \\n\n"
              "server UTC: 2024-01-02 03:04:05\n"
              "offset: +1.250 s\n");
    EXPECT_EQ(err.str(), "");
    EXPECT_TRUE(setter.settings.empty());
    EXPECT_EQ(settings.stored("LastPing"), std::nullopt);
}

TEST_F(SyncCommandTest, StoredServerAndConnectionAreUsedByDefault) {
    settings.preset("ipAddress", "132.163.97.1");
    settings.preset("ConnectionType", "3");
    settings.preset("Address", "proxy.lan");
    settings.preset("Port", "3128");
    run();
    ASSERT_EQ(client.requests.size(), 1u);
    EXPECT_EQ(client.requests[0].url, "http://132.163.97.1:13");
    EXPECT_EQ(client.requests[0].proxyText, "http=proxy.lan:3128");
    EXPECT_EQ(client.requests[0].agent, "vintrel-sync");
}

TEST_F(SyncCommandTest, WithoutAStoredServerTheFourthMenuServerIsAsked) {
    run();
    EXPECT_EQ(client.requests.at(0).url, "http://129.6.15.27:13");
}

TEST_F(SyncCommandTest, OptionsOverrideTheStoredSettings) {
    settings.preset("ConnectionType", "3");
    SyncArguments arguments;
    arguments.server = "127.0.0.1";
    arguments.port = 1313;
    arguments.connection = ConnectionSettings{"1", "", ""};
    arguments.probe = false;
    run(arguments);
    EXPECT_EQ(client.requests.at(0).url, "http://127.0.0.1:1313");
    EXPECT_EQ(client.requests.at(0).accessType, InternetAccessType::Direct);
    EXPECT_TRUE(resolver.lookups.empty());
    EXPECT_TRUE(settings.calls().empty());
}

TEST_F(SyncCommandTest, SetMovesTheClockAndRecordsLastPing) {
    SyncArguments arguments;
    arguments.setClock = true;
    EXPECT_EQ(run(arguments), kSyncSuccess);
    EXPECT_EQ(setter.settings, std::vector<SystemTime>{ToSystemTime(kServerUtc)});
    EXPECT_NE(out.str().find("offset: +1.250 s\nclock: set\n"), std::string::npos);
    EXPECT_EQ(settings.stored("LastPing"), "1/2/24 3:04:03 am");
    EXPECT_EQ(setter.interactive, std::vector<bool>{true});
}

// Pins the fault of reporting a clock that was set as a usage error (status 1)
// because only its record could not be written.
TEST_F(SyncCommandTest, SetClockWhoseRecordFailsSucceedsWithAWarning) {
    settings.failCallsTo("LastPing", "Failed to set data for 'LastPing'");
    SyncArguments arguments;
    arguments.setClock = true;
    EXPECT_EQ(run(arguments), kSyncSuccess);
    EXPECT_EQ(setter.settings.size(), 1u);
    EXPECT_EQ(out.str().substr(out.str().find("offset:")), "offset: +1.250 s\nclock: set\n");
    EXPECT_EQ(err.str(),
              "vintrel-sync: warning: the clock was set, but \"LastPing\" could not be written: "
              "Failed to set data for 'LastPing'\n");
}

// --set is a correction the user starts: like Ping Now it is never held back.
TEST_F(SyncCommandTest, SetTakesALargeStepWithoutASecondOpinion) {
    client.result.reply = "\n51545 00-01-02 03:04:05 00 0 0 50.0 UTC(NIST) * \n";
    clock.setUtc(DateFromParts(2026, 12, 8));
    SyncArguments arguments;
    arguments.setClock = true;
    EXPECT_EQ(run(arguments), kSyncSuccess) << err.str();
    EXPECT_EQ(setter.settings.size(), 1u);
    EXPECT_EQ(client.requests.size(), 1u);
}

struct ExitRow {
    const char* name;
    bool probeFails;
    const char* reply;
    const char* failure;
    const char* refusal;
    int exit;
    const char* error;
};

void PrintTo(const ExitRow& row, std::ostream* os) {
    *os << row.name;
}

class SyncExitTest : public SyncCommandTest, public ::testing::WithParamInterface<ExitRow> {};

TEST_P(SyncExitTest, StatusAndOneErrorLine) {
    const ExitRow& row = GetParam();
    if (row.probeFails) resolver.addresses.clear();
    client.result = {row.reply, row.failure};
    setter.refusal = row.refusal;
    SyncArguments arguments;
    arguments.setClock = true;
    EXPECT_EQ(run(arguments), row.exit);
    EXPECT_EQ(err.str(), row.error);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SyncExitTest,
    ::testing::Values(
        ExitRow{"NoConnection", true, kNistReply, "", "", kSyncNoConnection,
                "vintrel-sync: No on-line connection to the internet currently exists.\n"},
        ExitRow{"ServerRefused", false, "", "Connection refused", "", kSyncServerUnusable,
                "vintrel-sync: no reply from time server 129.6.15.27: Connection refused\n"},
        ExitRow{"ServerSilent", false, "", "", "", kSyncServerUnusable,
                "vintrel-sync: no reply from time server 129.6.15.27: it sent nothing\n"},
        ExitRow{"ReplyWithoutTime", false, "hello", "", "", kSyncServerUnusable,
                "vintrel-sync: the reply of time server 129.6.15.27 holds no usable time: it is "
                "not a NIST time code (it does not say \"UTC(NIST)\"; another kind of daytime "
                "service, perhaps)\n"},
        ExitRow{"ServerDoesNotVouch", false,
                "\n60311 24-01-02 03:04:05 00 0 2 716.5 UTC(NIST) * \n", "", "",
                kSyncServerUnusable,
                "vintrel-sync: the reply of time server 129.6.15.27 is not used: the server "
                "reports its time off by more than 5 s (H = 2)\n"},
        ExitRow{"ClockRefused", false, kNistReply, "", "Operation not permitted", kSyncClockNotSet,
                "vintrel-sync: The system clock could not be set: Operation not permitted\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SyncCommandTest, SettingsErrorEndsWithStatusOne) {
    settings.failNextCall("Failed to get data for 'ipAddress'");
    EXPECT_EQ(run(), kSyncUsageError);
    EXPECT_EQ(err.str(), "vintrel-sync: Failed to get data for 'ipAddress'\n");
}

struct EscapeRow {
    const char* name;
    std::string reply;
    const char* escaped;
};

void PrintTo(const EscapeRow& row, std::ostream* os) {
    *os << row.name;
}

class EscapedReplyTest : public ::testing::TestWithParam<EscapeRow> {};

TEST_P(EscapedReplyTest, Text) {
    EXPECT_EQ(EscapedReply(GetParam().reply), GetParam().escaped);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, EscapedReplyTest,
    ::testing::Values(EscapeRow{"PrintableAsIs", "60311 UTC(NIST) *", "60311 UTC(NIST) *"},
                      EscapeRow{"LineEnds", "\r\n", "\\r\\n"},
                      EscapeRow{"ZeroByte", std::string("a\0b", 3), "a\\0b"},
                      EscapeRow{"BackslashIsDoubled", "a\\n", "a\\\\n"},
                      EscapeRow{"ControlAndHighBytes", "\x01\x7f\xff", "\\x01\\x7f\\xff"}),
    [](const auto& info) { return std::string(info.param.name); });

constexpr double kPreciseOffset = 0.3721;

class PreciseSyncTest : public ::testing::Test {
public:
    PreciseSyncTest() {
        SetCurrentRegionalSettings(RegionalSettings{});
        resolver.addresses["www.google.com"] = "192.0.2.1";
        timing.link(clock);
        arguments.precise = true;
    }

    int run() {
        SyncServices services{server, resolver, setter, "vintrel-sync"};
        services.sleep = [this](std::chrono::milliseconds delay) {
            timing.advance(delay.count() / 1000.0);
        };
        return RunSync(arguments, services, out, err);
    }

    testing::InMemorySettings settings;
    testing::FakeClock clock;
    testing::FakeTimingClock timing{1'735'689'600.6};
    testing::SimulatedDaytimeServer server{timing, kPreciseOffset, {0.010, 0.010, 0.001, 0}};
    testing::FakeHostResolver resolver;
    testing::ClockSetterSpy setter;
    SyncArguments arguments;
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(PreciseSyncTest, PrintsEstimateAndBracketAndSetsNothing) {
    arguments.samples = 6;
    EXPECT_EQ(run(), kSyncSuccess) << err.str();
    EXPECT_EQ(server.requests().size(), 6u);
    int samples = 0;
    double estimate = 0, lower = 0, upper = 0, width = 0;
    ASSERT_EQ(std::sscanf(out.str().c_str(),
                          "samples: %d\nestimate: %lf s\nbracket: %lf s to %lf s (width %lf ms)\n",
                          &samples, &estimate, &lower, &upper, &width),
              5)
        << out.str();
    EXPECT_EQ(samples, 6);
    EXPECT_LE(lower, kPreciseOffset);
    EXPECT_GE(upper, kPreciseOffset);
    EXPECT_NEAR(width, (upper - lower) * 1000, 0.002);
    EXPECT_EQ(err.str(), "");
    EXPECT_TRUE(setter.settings.empty());
    EXPECT_EQ(settings.stored("LastPing"), std::nullopt);
}

TEST_F(PreciseSyncTest, SetStepsTheClockByTheEstimate) {
    arguments.setClock = true;
    EXPECT_EQ(run(), kSyncSuccess) << err.str();
    ASSERT_EQ(setter.settings.size(), 1u);
    EXPECT_NEAR((FromSystemTime(setter.settings[0]) - clock.utc()) / kSecond, kPreciseOffset,
                0.005);
    EXPECT_NE(out.str().find("offset: +0.37"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("clock: set\n"), std::string::npos) << out.str();
    EXPECT_NE(settings.stored("LastPing"), std::nullopt);
}

TEST_F(PreciseSyncTest, AdvanceOfTheTimeCodesIsTakenOffAndPrinted) {
    server.setAdvance(0.050);
    EXPECT_EQ(run(), kSyncSuccess) << err.str();
    double estimate = 0;
    ASSERT_EQ(std::sscanf(out.str().c_str(), "samples: %*d\nestimate: %lf", &estimate), 1);
    EXPECT_NEAR(estimate, kPreciseOffset, 0.005) << out.str();
    EXPECT_NE(out.str().find("\nadvance: 50.0 ms (the replies' msADV)\n"), std::string::npos)
        << out.str();
}

TEST(AdvanceTextTest, SaysWhatWasTakenOffAndWhatWasDropped) {
    MeasurementResult result;
    EXPECT_EQ(AdvanceText(result), "advance: 0.0 ms (no readable msADV in the replies)\n");
    result.advanceRead = true;
    result.advance = 0.7165;
    result.queries = 8;
    result.dropped = 2;
    result.health = 2;
    EXPECT_EQ(
        AdvanceText(result),
        "advance: 716.5 ms (the replies' msADV)\n"
        "dropped: 2 of 8 replies, the server reports its time off by more than 5 s (H = 2)\n");
}

struct PreciseExitRow {
    const char* name;
    std::function<void(PreciseSyncTest&)> arrange;
    int exit;
    const char* error;
};

void PrintTo(const PreciseExitRow& row, std::ostream* os) {
    *os << row.name;
}

class PreciseExitTest : public PreciseSyncTest,
                        public ::testing::WithParamInterface<PreciseExitRow> {};

TEST_P(PreciseExitTest, StatusAndOneErrorLine) {
    GetParam().arrange(*this);
    arguments.setClock = true;
    EXPECT_EQ(run(), GetParam().exit);
    EXPECT_EQ(err.str(), GetParam().error);
    EXPECT_EQ(settings.stored("LastPing"), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PreciseExitTest,
    ::testing::Values(
        PreciseExitRow{"NoConnection", [](PreciseSyncTest& t) { t.resolver.addresses.clear(); },
                       kSyncNoConnection,
                       "vintrel-sync: No on-line connection to the internet currently exists.\n"},
        PreciseExitRow{"NoReplyMidway",
                       [](PreciseSyncTest& t) {
                           t.server.script(3, {"", "Connection refused"});
                       },
                       kSyncServerUnusable,
                       "vintrel-sync: no reply from time server 129.6.15.27 (query 3): "
                       "Connection refused\n"},
        PreciseExitRow{"UnusableReplyMidway",
                       [](PreciseSyncTest& t) {
                           t.server.script(2, {"busy\r\n", ""});
                       },
                       kSyncServerUnusable,
                       "vintrel-sync: the reply of time server 129.6.15.27 (query 2) holds no "
                       "usable time: it is not a NIST time code (it does not say \"UTC(NIST)\"; "
                       "another kind of daytime service, perhaps): busy\\r\\n\n"},
        PreciseExitRow{"NoReplyVouchedFor",
                       [](PreciseSyncTest& t) {
                           for (int q = 1; q <= 8; ++q) {
                               t.server.script(
                                   q,
                                   {testing::NistLine(DateFromParts(2025, 1, 1), 50.0, 4), {}, {}});
                           }
                       },
                       kSyncServerUnusable,
                       "vintrel-sync: no reply of time server 129.6.15.27 is used: the server is "
                       "in maintenance mode (H = 4)\n"},
        PreciseExitRow{"ClockRefused",
                       [](PreciseSyncTest& t) { t.setter.refusal = "Operation not permitted"; },
                       kSyncClockNotSet,
                       "vintrel-sync: The system clock could not be set: Operation not "
                       "permitted\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EstimateTextTest, EmptyBracketIsSaidSo) {
    OffsetEstimate estimate;
    estimate.samples = 8;
    estimate.offset = -0.8123;
    estimate.consistent = false;
    EXPECT_EQ(EstimateText(estimate),
              "samples: 8\nestimate: -0.812300 s\n"
              "bracket: none, the server's replies contradict each other\n");
}

TEST(OffsetTextTest, SignIsAlwaysShown) {
    EXPECT_EQ(OffsetText(0), "+0.000 s");
    EXPECT_EQ(OffsetText(1.25 * kSecond), "+1.250 s");
    EXPECT_EQ(OffsetText(-90.5 * kSecond), "-90.500 s");
}

}  // namespace
}  // namespace vintrel
