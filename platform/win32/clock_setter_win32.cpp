#include "platform/win32/clock_setter_win32.h"

#include "platform/win32/system_error_text.h"
#include "platform/win32/system_time_win32.h"

namespace vintrel {

Win32ClockSetter::Win32ClockSetter(SetSystemTimeCall setSystemTime)
    : setSystemTime_(setSystemTime) {}

// SetSystemTime never asks the user: the right is held or it is not.
ClockSetResult Win32ClockSetter::setUtc(const SystemTime& utc, bool /*interactive*/) {
    const SYSTEMTIME t = ToWin32(utc);
    if (setSystemTime_(&t)) return {true, {}};
    return {false, SystemErrorText(GetLastError())};
}

std::unique_ptr<ClockSetter> makeSystemClockSetter() {
    return std::make_unique<Win32ClockSetter>();
}

}  // namespace vintrel
