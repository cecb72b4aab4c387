#pragma once

#include <windows.h>

#include <memory>

#include "platform/clock_setter.h"
#include "platform/loop_inbox.h"

namespace vintrel {

/// The call that moves the clock: SetSystemTime's shape, so that tests can
/// put one in its place that records and fails as they ask.
using SetSystemTimeCall = BOOL(WINAPI*)(const SYSTEMTIME*);

/// Sets the clock with SetSystemTime (which enables the right to, where the
/// account holds it, for the length of the call). A refusal is reported with
/// the system's text for GetLastError.
class Win32ClockSetter final : public ClockSetter {
public:
    explicit Win32ClockSetter(SetSystemTimeCall setSystemTime = &::SetSystemTime);
    ClockSetResult setUtc(const SystemTime& utc, bool interactive) override;
    void setUtcAsync(const SystemTime& utc, bool interactive,
                     std::function<void(ClockSetResult)> done) override;

private:
    SetSystemTimeCall setSystemTime_;
    std::unique_ptr<LoopInbox> inbox_;
};

}  // namespace vintrel
