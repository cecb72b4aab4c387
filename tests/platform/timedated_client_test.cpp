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
// The system clock reads 1.5 s before the example, so the step sent is +1.5 s.
constexpr std::int64_t kClockBefore = 1'735'648'496'789'000 - 1'500'000;
constexpr char kInteractiveStep[] = "1500000 true true may-ask\n";

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
        kernel.now = kClockBefore;
    }
    void TearDown() override { unsetenv("DBUS_SYSTEM_BUS_ADDRESS"); }

    static void useAddress(const std::string& address) {
        setenv("DBUS_SYSTEM_BUS_ADDRESS", address.c_str(), 1);
    }

    ClockSetResult setExample(bool interactive = true) {
        return LinuxClockSetter(kernel).setUtc(ExampleUtc(), interactive);
    }

    testing::PrivateSystemBus bus;
    testing::RecordingKernelClock kernel;  // without the capability unless a test says so
};

// What timedated is asked, and that it keeps the time spent in authorisation
// out of the step, is proved against the real service (real_timedated_test.sh).

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
    EXPECT_EQ(service.requests(), kInteractiveStep);
}

struct RefusalRow {
    const char* name;
    FakeTimedated::Reply reply;
    bool interactive;
    const char* reason;
};

void PrintTo(const RefusalRow& row, std::ostream* out) {
    *out << row.name;
}

// One sentence each, said once, naming the way out where there is one.
const RefusalRow kRefusals[] = {
    {"AutomaticSyncNamesTheWayOut", FakeTimedated::Reply::AutomaticSyncEnabled, true,
     "automatic time synchronisation is on, so another time service keeps the clock "
     "(`timedatectl set-ntp false` hands it to Vintrel)"},
    {"NoAgentToAskIsSaid", FakeTimedated::Reply::Deny, true,
     "permission to set it is needed, and no authentication agent is running to ask for it"},
    {"SilentRunDoesNotAsk", FakeTimedated::Reply::Deny, false,
     "permission to set it is needed, and a correction that runs by itself does not ask for it"},
    {"AuthorisationTooSlowIsSaid", FakeTimedated::Reply::PolkitTimeout, true,
     "permission to set it was not given in time"},
    {"ServiceDyingMidCallIsNoSuccess", FakeTimedated::Reply::Vanish, true,
     "the date and time service (systemd-timedated) stopped without answering"},
};

class TimedatedRefusalTest : public TimedatedTest,
                             public ::testing::WithParamInterface<RefusalRow> {};

TEST_P(TimedatedRefusalTest, IsAFailureWithItsReason) {
    FakeTimedated service(bus.address(), GetParam().reply);
    ASSERT_TRUE(service.ready()) << service.error();
    const ClockSetResult result = setExample(GetParam().interactive);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.reason, GetParam().reason);
}

INSTANTIATE_TEST_SUITE_P(Rows, TimedatedRefusalTest, ::testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TimedatedTest, AbsentServiceIsAFailure) {
    const ClockSetResult result = setExample();
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.reason, "the date and time service (systemd-timedated) is not available");
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
    EXPECT_EQ(service.requests(), std::string(kInteractiveStep) + kInteractiveStep);
}

}  // namespace
}  // namespace vintrel
