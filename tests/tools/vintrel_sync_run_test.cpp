// Runs the built vintrel-sync as a user would, against a daytime server on
// loopback, with its settings in a folder of the test's own.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

#include "tests/support/daytime_test_server.h"
#include "tests/support/tinyproxy.h"
#include "tests/tools/tool_run.h"
#include "timesync/serial_time.h"

namespace vintrel {
namespace {

using testing::ToolRun;

// Runs the tool through the shell with `environment` assignments in front.
ToolRun RunTool(const std::string& environment, const std::string& arguments) {
    return testing::RunSyncTool(environment, arguments);
}

class VintrelSyncRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/vintrel-sync-run-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        home_ = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(home_); }
    std::string environment() const {
        return "HOME='" + home_ + "' XDG_CONFIG_HOME='" + home_ + "/config'";
    }
    std::string home_;
};

const SerialTime kServerTime = DateFromParts(2025, 2, 17) + TimeFromParts(14, 30, 45, 0);

TEST_F(VintrelSyncRunTest, QueriesALoopbackServerAndPrintsItsTime) {
    testing::DaytimeTestServer server(testing::ServerBehaviour::Answer,
                                      testing::ServerTime::Fixed(kServerTime));
    ASSERT_EQ(server.failure(), "");
    const ToolRun run = RunTool(environment(), "--no-probe --direct --server 127.0.0.1 --port " +
                                                   std::to_string(server.port()));
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find("server UTC: 2025-02-17 14:30:45"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("offset: -"), std::string::npos) << run.out;
}

TEST_F(VintrelSyncRunTest, AServerThatSendsNothingIsUnreachable) {
    testing::DaytimeTestServer server(testing::ServerBehaviour::CloseWithoutData);
    ASSERT_EQ(server.failure(), "");
    const ToolRun run = RunTool(environment(), "--no-probe --direct --server 127.0.0.1 --port " +
                                                   std::to_string(server.port()));
    EXPECT_EQ(run.status, 3) << run.out;
}

TEST_F(VintrelSyncRunTest, TheRealDaytimePortOnLoopback) {
    if (geteuid() != 0) GTEST_SKIP() << "binding port 13 needs root";
    testing::DaytimeTestServer server(testing::ServerBehaviour::Answer,
                                      testing::ServerTime::Fixed(kServerTime), 13);
    if (!server.failure().empty()) GTEST_SKIP() << "port 13 is taken: " << server.failure();
    const ToolRun run = RunTool(environment(), "--no-probe --direct --server 127.0.0.1");
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find("server UTC: 2025-02-17 14:30:45"), std::string::npos) << run.out;
}

TEST_F(VintrelSyncRunTest, ZonePrintsTheWindowsRowsInOrder) {
    const ToolRun run = RunTool(environment() + " TZ=Asia/Kolkata", "--zone");
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.out.find("Currently in: Unknown\n"), 0u) << run.out;
    EXPECT_NE(run.out.find("Unadjusted UTC Bias: -05:30 hh:mm\n"), std::string::npos) << run.out;
    EXPECT_LT(run.out.find("Standard Time Zone Name"), run.out.find("Daylight Time Zone Name"));
}

struct PreciseOutput {
    int samples = 0;
    double estimate = 0;
    double lower = 0;
    double upper = 0;
};

PreciseOutput ParsePrecise(const std::string& out) {
    PreciseOutput parsed;
    const std::size_t at = out.find("samples: ");
    if (at == std::string::npos) return parsed;
    double width = 0;
    std::sscanf(out.c_str() + at,
                "samples: %d\nestimate: %lf s\nbracket: %lf s to %lf s (width %lf", &parsed.samples,
                &parsed.estimate, &parsed.lower, &parsed.upper, &width);
    return parsed;
}

// The printed bracket is rounded to the microsecond.
constexpr double kPrinted = 1e-6;

// Whole-second replies from a server whose clock is off by a fraction of a
// second give that fraction; the server's true offset is certain to lie in
// the bracket, since the server reads its clock while the query is under way.
TEST_F(VintrelSyncRunTest, PreciseFindsTheOffsetWithinTheSecond) {
    constexpr double kOffset = 0.3721;
    testing::DaytimeTestServer server(testing::ServerBehaviour::Answer,
                                      testing::ServerTime::NowPlusSeconds(kOffset));
    ASSERT_EQ(server.failure(), "");
    const ToolRun run = RunTool(environment(), "--no-probe --direct --server 127.0.0.1 --port " +
                                                   std::to_string(server.port()) +
                                                   " --precise --samples 5 --min-spacing 100");
    ASSERT_EQ(run.status, 0) << run.out;
    const PreciseOutput parsed = ParsePrecise(run.out);
    EXPECT_EQ(parsed.samples, 5) << run.out;
    EXPECT_LE(parsed.lower - kPrinted, kOffset) << run.out;
    EXPECT_GE(parsed.upper + kPrinted, kOffset) << run.out;
    EXPECT_LE(parsed.lower - kPrinted, parsed.estimate) << run.out;
    EXPECT_GE(parsed.upper + kPrinted, parsed.estimate) << run.out;
    EXPECT_EQ(server.tally().connections, 5);
}

// NIST's servers send each time code early by msADV (50 ms): taken as read
// on time, the estimate and the bracket would come out 50 ms off.
TEST_F(VintrelSyncRunTest, PreciseAllowsForTheAdvanceOfTheTimeCode) {
    constexpr double kOffset = 0.3721;
    testing::DaytimeTestServer server(testing::ServerBehaviour::Answer,
                                      testing::ServerTime::NowPlusSeconds(kOffset, 50.0));
    ASSERT_EQ(server.failure(), "");
    const ToolRun run = RunTool(environment(), "--no-probe --direct --server 127.0.0.1 --port " +
                                                   std::to_string(server.port()) +
                                                   " --precise --samples 12 --min-spacing 100");
    ASSERT_EQ(run.status, 0) << run.out;
    const PreciseOutput parsed = ParsePrecise(run.out);
    EXPECT_EQ(parsed.samples, 12) << run.out;
    // Only the bracket is certain; how close the estimate comes depends on
    // the machine's load, which the benchmark measures.
    EXPECT_LE(parsed.lower - kPrinted, kOffset) << run.out;
    EXPECT_GE(parsed.upper + kPrinted, kOffset) << run.out;
    EXPECT_LE(parsed.lower - kPrinted, parsed.estimate) << run.out;
    EXPECT_GE(parsed.upper + kPrinted, parsed.estimate) << run.out;
    EXPECT_NE(run.out.find("advance: 50.0 ms"), std::string::npos) << run.out;
}

// Through a proxy the tunnel is reported up after the server has read its
// clock; the bracket must hold the truth all the same.
TEST_F(VintrelSyncRunTest, PreciseThroughAProxyKeepsTheTruthInTheBracket) {
    if (const std::string why = testing::Tinyproxy::unavailableReason(); !why.empty()) {
        GTEST_SKIP() << why;
    }
    constexpr double kOffset = -0.8123;
    testing::DaytimeTestServer server(testing::ServerBehaviour::Answer,
                                      testing::ServerTime::NowPlusSeconds(kOffset));
    ASSERT_EQ(server.failure(), "");
    testing::Tinyproxy proxy({server.port()});
    ASSERT_EQ(proxy.failure(), "");
    const ToolRun run =
        RunTool(environment(), "--no-probe --proxy 127.0.0.1:" + std::to_string(proxy.port()) +
                                   " --server 127.0.0.1 --port " + std::to_string(server.port()) +
                                   " --precise --samples 4 --min-spacing 0");
    ASSERT_EQ(run.status, 0) << run.out;
    const PreciseOutput parsed = ParsePrecise(run.out);
    EXPECT_EQ(parsed.samples, 4) << run.out;
    EXPECT_LE(parsed.lower - kPrinted, kOffset) << run.out;
    EXPECT_GE(parsed.upper + kPrinted, kOffset) << run.out;
    EXPECT_EQ(proxy.tunnelRequestsTo(server.port()), 4) << proxy.log();
}

TEST_F(VintrelSyncRunTest, UnknownOptionIsAUsageError) {
    const ToolRun run = RunTool(environment(), "--bogus");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("unknown option '--bogus'"), std::string::npos) << run.out;
}

}  // namespace
}  // namespace vintrel
