#include "platform/win32/clock_setter_win32.h"

#include <system_error>
#include <thread>

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

// Setting the clock is quick but may wait on the system (a time service, a
// policy check), so the GUI thread does not; the error code is read on the
// thread that made the call.
void Win32ClockSetter::setUtcAsync(const SystemTime& utc, bool interactive,
                                   std::function<void(ClockSetResult)> done) {
    if (!inbox_) inbox_ = std::make_unique<LoopInbox>();
    RunDetached<ClockSetResult>(
        *inbox_,
        [utc, interactive, call = setSystemTime_] {
            return Win32ClockSetter(call).setUtc(utc, interactive);
        },
        std::move(done),
        [](const std::string& why) {
            return ClockSetResult{false,
                                  "No thread could be started to set the clock: " + why + "."};
        });
}

std::unique_ptr<ClockSetter> makeSystemClockSetter() {
    return std::make_unique<Win32ClockSetter>();
}

}  // namespace vintrel
