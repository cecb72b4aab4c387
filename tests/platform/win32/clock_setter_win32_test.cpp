#include "platform/win32/clock_setter_win32.h"

#include <wininet.h>

#include <gtest/gtest.h>

#include <vector>

#include "platform/win32/system_error_text.h"

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

class Win32ClockSetterTest : public ::testing::TestWithParam<DWORD> {
protected:
    Win32ClockSetterTest() { g_requests.clear(); }
    ~Win32ClockSetterTest() override { g_error = 0; }

    Win32ClockSetter setter_{&RecordingSetSystemTime};
};

const SystemTime kUtc{2026, 3, 0, 8, 2, 0, 59, 250};

// The reason is the system's own text for the error the call left (Wine's
// texts differ from Windows', so they are not written out here).
TEST_P(Win32ClockSetterTest, RefusalCarriesTheSystemsText) {
    g_error = GetParam();
    const ClockSetResult result = setter_.setUtc(kUtc, true);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.reason, SystemErrorText(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Table, Win32ClockSetterTest,
                         ::testing::Values(ERROR_PRIVILEGE_NOT_HELD, ERROR_INVALID_PARAMETER,
                                           ERROR_ACCESS_DENIED));

struct TextCase {
    const char* name;
    DWORD code;
    bool fromWinInet;
};

void PrintTo(const TextCase& c, std::ostream* out) {
    *out << c.name;
}

class SystemErrorTextTest : public ::testing::TestWithParam<TextCase> {};

// A known code has a text of its own: not the stand-in, no line break.
TEST_P(SystemErrorTextTest, KnownCodeHasItsOwnLine) {
    const HMODULE module = GetParam().fromWinInet ? LoadLibraryA("wininet.dll") : nullptr;
    const std::string text = SystemErrorText(GetParam().code, module);
    EXPECT_NE(text, "error " + std::to_string(GetParam().code));
    EXPECT_NE(text, "");
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
    EXPECT_NE(text.back(), ' ');
}

INSTANTIATE_TEST_SUITE_P(
    Table, SystemErrorTextTest,
    ::testing::Values(TextCase{"PrivilegeNotHeld", ERROR_PRIVILEGE_NOT_HELD, false},
                      TextCase{"FileNotFound", ERROR_FILE_NOT_FOUND, false},
                      // WinInet's codes are in its own table.
                      TextCase{"InternetCannotConnect", ERROR_INTERNET_CANNOT_CONNECT, true},
                      TextCase{"InternetTimeout", ERROR_INTERNET_TIMEOUT, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SystemErrorTextCodeTest, CodeWithoutTextSaysWhichCodeItWas) {
    EXPECT_EQ(SystemErrorText(0x2000BEEF), "error 536919791");
}

TEST_F(Win32ClockSetterTest, HandsTheTimeOverFieldForField) {
    const ClockSetResult result = setter_.setUtc(kUtc, true);
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
