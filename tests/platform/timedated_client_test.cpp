#include "platform/linux/timedated_client.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ostream>
#include <string>

#include "platform/linux/clock_setter_linux.h"
#include "tests/support/private_system_bus.h"
#include "tests/support/recording_kernel_clock.h"

namespace vintrel {
namespace {

using testing::FakeTimedated;

SystemTime ExampleUtc() {
    SystemTime t;
    t.wYear = 2024;
    t.wMonth = 12;
    t.wDay = 31;
    t.wHour = 12;
    t.wMinute = 34;
    t.wSecond = 56;
    t.wMilliseconds = 789;
    return t;
}
constexpr char kExampleMicros[] = "1735648496789000";

// A unix socket file nobody listens on: connecting is refused at once.
std::string StaleSocket(const std::string& dir) {
    const std::string path = dir + "/stale";
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    const int bound = bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr);
    close(fd);
    EXPECT_EQ(bound, 0) << std::strerror(errno);
    return "unix:path=" + path;
}

// Each test gets a bus of its own; the code under test finds it through the
// environment, and never the machine's real system bus.
class TimedatedTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(bus.address(), "") << bus.error();
        useAddress(bus.address());
    }
    void TearDown() override { unsetenv("DBUS_SYSTEM_BUS_ADDRESS"); }

    static void useAddress(const std::string& address) {
        setenv("DBUS_SYSTEM_BUS_ADDRESS", address.c_str(), 1);
    }

    ClockSetResult setExample() { return LinuxClockSetter(kernel).setUtc(ExampleUtc()); }

    testing::PrivateSystemBus bus;
    testing::RecordingKernelClock kernel;  // without the capability unless a test says so
};

TEST_F(TimedatedTest, AcceptedRequestCarriesTheExactInstant) {
    FakeTimedated service(bus.address(), FakeTimedated::Reply::Accept);
    ASSERT_TRUE(service.ready()) << service.error();
    const ClockSetResult result = setExample();
    EXPECT_TRUE(result.ok) << result.reason;
    EXPECT_EQ(result.reason, "");
    EXPECT_EQ(service.requests(), std::string(kExampleMicros) + " false true may-ask\n");
    EXPECT_TRUE(kernel.requests.empty());
}

// Pins the fault of giving up when clock_settime says EPERM although the
// capability showed (a user namespace): timedated may still set the clock.
TEST_F(TimedatedTest, KernelPermissionErrorFallsBackToTimedated) {
    FakeTimedated service(bus.address(), FakeTimedated::Reply::Accept);
    ASSERT_TRUE(service.ready()) << service.error();
    kernel.capable = true;
    kernel.error = EPERM;
    const ClockSetResult result = setExample();
    EXPECT_TRUE(result.ok) << result.reason;
    EXPECT_EQ(kernel.requests.size(), 1U);
    EXPECT_EQ(service.requests(), std::string(kExampleMicros) + " false true may-ask\n");
}

struct RefusalRow {
    const char* name;
    FakeTimedated::Reply reply;
    const char* reasonPart;
};

void PrintTo(const RefusalRow& row, std::ostream* out) {
    *out << row.name;
}

const RefusalRow kRefusals[] = {
    {"AutomaticSyncReportedWithServiceText", FakeTimedated::Reply::AutomaticSyncEnabled,
     "automatic time synchronization is enabled: Automatic time synchronization is enabled"},
    {"DeniedAuthorisationReported", FakeTimedated::Reply::Deny,
     "permission to change it was refused: Interactive authentication required."},
    {"ServiceDyingMidCallIsNoSuccess", FakeTimedated::Reply::Vanish, "did not answer"},
};

class TimedatedRefusalTest : public TimedatedTest,
                             public ::testing::WithParamInterface<RefusalRow> {};

TEST_P(TimedatedRefusalTest, IsAFailureWithAOneLineReason) {
    FakeTimedated service(bus.address(), GetParam().reply);
    ASSERT_TRUE(service.ready()) << service.error();
    const ClockSetResult result = setExample();
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.reason.find(GetParam().reasonPart), std::string::npos) << result.reason;
    EXPECT_EQ(result.reason.find('\n'), std::string::npos) << result.reason;
    EXPECT_EQ(service.requests(), std::string(kExampleMicros) + " false true may-ask\n");
}

INSTANTIATE_TEST_SUITE_P(Rows, TimedatedRefusalTest, ::testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TimedatedTest, AbsentServiceIsAFailure) {
    const ClockSetResult result = setExample();
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.reason.find("systemd-timedated) is not available"), std::string::npos)
        << result.reason;
}

struct DeadBusRow {
    const char* name;
    std::string (*address)(const std::string& scratch);
};

void PrintTo(const DeadBusRow& row, std::ostream* out) {
    *out << row.name;
}

const DeadBusRow kDeadBuses[] = {
    {"MissingSocket", [](const std::string& dir) { return "unix:path=" + dir + "/missing"; }},
    {"NobodyListening", StaleSocket},
    {"UnusableAddress", [](const std::string&) { return std::string("no-such-transport"); }},
};

class DeadBusTest : public TimedatedTest, public ::testing::WithParamInterface<DeadBusRow> {};

TEST_P(DeadBusTest, IsAFailureWithoutHanging) {
    const std::string address = GetParam().address(bus.scratchDir());
    useAddress(address);
    const ClockSetResult result = setExample();
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.reason.find("system message bus at " + address + " cannot be reached: "),
              std::string::npos)
        << result.reason;
}

INSTANTIATE_TEST_SUITE_P(Rows, DeadBusTest, ::testing::ValuesIn(kDeadBuses),
                         [](const auto& info) { return std::string(info.param.name); });

// Pins the fault of keeping the first bus connection for the life of the
// process (as QDBusConnection::systemBus() does).
TEST_F(TimedatedTest, EveryCallUsesTheAddressInForceThen) {
    FakeTimedated service(bus.address(), FakeTimedated::Reply::Accept);
    ASSERT_TRUE(service.ready()) << service.error();
    EXPECT_TRUE(setExample().ok);
    useAddress("unix:path=" + bus.scratchDir() + "/missing");
    EXPECT_FALSE(setExample().ok);
    useAddress(bus.address());
    EXPECT_TRUE(setExample().ok);
    EXPECT_EQ(service.requests(), std::string(kExampleMicros) + " false true may-ask\n" +
                                      kExampleMicros + " false true may-ask\n");
}

}  // namespace
}  // namespace vintrel
