#include "platform/win32/clock_setter_win32.h"

#include <gtest/gtest.h>

#include <vector>

namespace vintrel {
namespace {

// Stands in for SetSystemTime: never moves the clock, records what it was
// given and fails with the error the test chose (0 = succeeds).
std::vector<SYSTEMTIME> g_requests;
DWORD g_error = 0;

BOOL WINAPI RecordingSetSystemTime(const SYSTEMTIME* utc) {
    g_requests.push_back(*utc);
    if (g_error == 0) return TRUE;
    SetLastError(g_error);
    return FALSE;
}

struct RefusalCase {
    const char* name;
    DWORD error;
    std::string reason;
};

void PrintTo(const RefusalCase& c, std::ostream* out) {
    *out << c.name;
}

class Win32ClockSetterTest : public ::testing::TestWithParam<RefusalCase> {
protected:
    Win32ClockSetterTest() { g_requests.clear(); }
    ~Win32ClockSetterTest() override { g_error = 0; }

    Win32ClockSetter setter_{&RecordingSetSystemTime};
};

const SystemTime kUtc{2026, 3, 0, 8, 2, 0, 59, 250};

TEST_P(Win32ClockSetterTest, RefusalCarriesTheSystemsText) {
    g_error = GetParam().error;
    const ClockSetResult result = setter_.setUtc(kUtc);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.reason, GetParam().reason);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Win32ClockSetterTest,
    ::testing::Values(
        // Without the right to set the clock; the line break of the system's text is cut.
        RefusalCase{"PrivilegeNotHeld", ERROR_PRIVILEGE_NOT_HELD,
                    "The system clock was not set: A required privilege is not held by the "
                    "client."},
        RefusalCase{"InvalidTime", ERROR_INVALID_PARAMETER,
                    "The system clock was not set: The parameter is incorrect."},
        // A code the system has no text for still says which failure it was.
        RefusalCase{"CodeWithoutText", 0x2000BEEF,
                    "The system clock was not set: error 536919791"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Win32ClockSetterTest, HandsTheTimeOverFieldForField) {
    const ClockSetResult result = setter_.setUtc(kUtc);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.reason, "");
    ASSERT_EQ(g_requests.size(), 1u);
    const SYSTEMTIME& t = g_requests[0];
    EXPECT_EQ((SystemTime{t.wYear, t.wMonth, t.wDayOfWeek, t.wDay, t.wHour, t.wMinute, t.wSecond,
                          t.wMilliseconds}),
              kUtc);
}

}  // namespace
}  // namespace vintrel
