#include "platform/linux/clock_setter_linux.h"

#include <gtest/gtest.h>
#include <linux/capability.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/linux/timedated_client.h"
#include "tests/support/recording_kernel_clock.h"

namespace vintrel {
namespace {

SystemTime At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
              int ms = 0) {
    SystemTime t;
    t.wYear = static_cast<std::uint16_t>(year);
    t.wMonth = static_cast<std::uint16_t>(month);
    t.wDay = static_cast<std::uint16_t>(day);
    t.wHour = static_cast<std::uint16_t>(hour);
    t.wMinute = static_cast<std::uint16_t>(minute);
    t.wSecond = static_cast<std::uint16_t>(second);
    t.wMilliseconds = static_cast<std::uint16_t>(ms);
    return t;
}

SystemTime WithWeekday(SystemTime t, int weekday) {
    t.wDayOfWeek = static_cast<std::uint16_t>(weekday);
    return t;
}

struct ConversionRow {
    const char* name;
    SystemTime utc;
    std::optional<std::int64_t> micros;
};

// Expected values from `date -u -d ... +%s`.
const ConversionRow kConversions[] = {
    {"EpochIsZero", At(1970, 1, 1), 0},
    {"LeapDayCounted", At(2000, 2, 29, 23, 59, 59, 999), 951'868'799'999'000},
    {"NoOverflowPast2038", At(2038, 1, 19, 3, 14, 8), 2'147'483'648'000'000},
    {"MillisecondsKept", At(2024, 12, 31, 12, 34, 56, 789), 1'735'648'496'789'000},
    {"CenturyIsNoLeapYear", At(2100, 3, 1), 4'107'542'400'000'000},
    {"WeekdayIgnored", WithWeekday(At(2024, 12, 31, 12, 34, 56, 789), 0), 1'735'648'496'789'000},
    {"NoFeb29InCentury", At(2100, 2, 29), std::nullopt},
    {"Feb30Rejected", At(2024, 2, 30), std::nullopt},
    {"Month13NotRolledOver", At(2024, 13, 1), std::nullopt},
    {"Hour24NotRolledOver", At(2024, 5, 1, 24), std::nullopt},
    {"Second60Rejected", At(2024, 5, 1, 0, 0, 60), std::nullopt},
    {"Millisecond1000Rejected", At(2024, 5, 1, 0, 0, 0, 1000), std::nullopt},
    {"BeforeEpochRejected", At(1969, 12, 31, 23, 59, 59, 999), std::nullopt},
    {"ZeroedRecordRejected", SystemTime{}, std::nullopt},
};

void PrintTo(const ConversionRow& row, std::ostream* out) {
    *out << row.name;
}

class ConversionTest : public ::testing::TestWithParam<ConversionRow> {};

TEST_P(ConversionTest, MicrosecondsSinceEpoch) {
    EXPECT_EQ(microsecondsSinceEpoch(GetParam().utc), GetParam().micros);
}

INSTANTIATE_TEST_SUITE_P(Rows, ConversionTest, ::testing::ValuesIn(kConversions),
                         [](const auto& info) { return std::string(info.param.name); });

// Every test of this file that could fall through to the bus finds none.
class KernelPathTest : public ::testing::Test {
protected:
    void SetUp() override { setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/bus", 1); }
    void TearDown() override { unsetenv("DBUS_SYSTEM_BUS_ADDRESS"); }

    testing::RecordingKernelClock kernel;
};

TEST_F(KernelPathTest, CapableProcessSetsTheKernelClockOnly) {
    kernel.capable = true;
    const ClockSetResult result =
        LinuxClockSetter(kernel).setUtc(At(2024, 12, 31, 12, 34, 56, 789), true);
    EXPECT_TRUE(result.ok) << result.reason;
    EXPECT_EQ(result.reason, "");
    EXPECT_EQ(kernel.requests, std::vector<std::int64_t>{1'735'648'496'789'000});
}

// Pins the fault of reporting a refused clock_settime as a correction.
TEST_F(KernelPathTest, KernelRefusalIsAFailureWithItsReason) {
    kernel.capable = true;
    kernel.error = EINVAL;
    const ClockSetResult result = LinuxClockSetter(kernel).setUtc(At(2024, 1, 1), true);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.reason.find("Invalid argument"), std::string::npos) << result.reason;
    EXPECT_EQ(kernel.requests.size(), 1U);
}

// Pins the fault of letting the kernel or timegm roll 13/2024 into 1/2025.
TEST_F(KernelPathTest, InvalidTimeNeverReachesTheKernel) {
    kernel.capable = true;
    const ClockSetResult result = LinuxClockSetter(kernel).setUtc(At(2024, 13, 1), true);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.reason.find("2024-13-01 00:00:00.000"), std::string::npos) << result.reason;
    EXPECT_EQ(kernel.requests, std::vector<std::int64_t>{});
}

TEST_F(KernelPathTest, WithoutCapabilityTheKernelIsNotAsked) {
    kernel.capable = false;
    const ClockSetResult result = LinuxClockSetter(kernel).setUtc(At(2024, 1, 1), true);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.reason.find("system message bus"), std::string::npos) << result.reason;
    EXPECT_EQ(kernel.requests, std::vector<std::int64_t>{});
}

std::uint64_t EffectiveCapabilitiesFromProc() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("CapEff:", 0) == 0) return std::stoull(line.substr(7), nullptr, 16);
    }
    ADD_FAILURE() << "no CapEff line in /proc/self/status";
    return 0;
}

// Pins a wrong word or bit in the capget probe.
TEST(CapabilityProbeTest, AgreesWithProcStatusForEveryCapability) {
    const std::uint64_t effective = EffectiveCapabilitiesFromProc();
    for (int cap = 0; cap < 64; ++cap) {
        EXPECT_EQ(hasEffectiveCapability(cap), ((effective >> cap) & 1U) != 0)
            << "capability " << cap;
    }
}

// The suite must run with CAP_SYS_TIME dropped, so that nothing in it could
// move the machine's clock even by mistake.
TEST(CapabilityProbeTest, TestsRunWithoutTheRightToSetTheClock) {
    EXPECT_FALSE(hasEffectiveCapability(CAP_SYS_TIME))
        << "run under setpriv --bounding-set=-sys_time --inh-caps=-sys_time";
}

TEST(SystemBusAddressTest, EnvironmentWinsUnlessUnsetOrEmpty) {
    unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
    EXPECT_EQ(systemBusAddress(), "unix:path=/run/dbus/system_bus_socket");
    setenv("DBUS_SYSTEM_BUS_ADDRESS", "", 1);
    EXPECT_EQ(systemBusAddress(), "unix:path=/run/dbus/system_bus_socket");
    setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/tmp/x", 1);
    EXPECT_EQ(systemBusAddress(), "unix:path=/tmp/x");
    unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
}

}  // namespace
}  // namespace vintrel
