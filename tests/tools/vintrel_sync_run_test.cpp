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
#include "timesync/serial_time.h"

namespace vintrel {
namespace {

struct ToolRun {
    int status = -1;
    std::string out;
};

// Runs the tool through the shell with `environment` assignments in front.
ToolRun RunTool(const std::string& environment, const std::string& arguments) {
    const std::string command = environment + " '" VINTREL_SYNC_PATH "' " + arguments + " 2>&1";
    ToolRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    std::array<char, 4096> buffer{};
    while (std::fgets(buffer.data(), buffer.size(), pipe) != nullptr) run.out += buffer.data();
    const int raw = pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return run;
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

TEST_F(VintrelSyncRunTest, UnknownOptionIsAUsageError) {
    const ToolRun run = RunTool(environment(), "--bogus");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("unknown option '--bogus'"), std::string::npos) << run.out;
}

}  // namespace
}  // namespace vintrel
