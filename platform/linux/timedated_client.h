#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/clock_setter.h"

namespace vintrel {

/// The system bus as this process should reach it now: DBUS_SYSTEM_BUS_ADDRESS,
/// or the well-known socket when that is unset or empty.
std::string systemBusAddress();

struct TimedatedRequest {
    /// Where the clock should be, in microseconds since 1970 UTC.
    std::int64_t targetMicrosecondsUtc = 0;
    /// The system clock now, in microseconds since 1970 UTC; read as the call
    /// goes out, so that the step sent is the difference still to make.
    std::function<std::int64_t()> now;
    /// Whether polkit may ask the user (a correction the user started).
    bool interactive = false;
};

/// Asks systemd-timedated (org.freedesktop.timedate1 SetTime) on the system
/// bus to step the clock by target − now. A relative step keeps the time the
/// user spends answering an authorisation prompt out of the result: timedated
/// reads its own clock only once polkit has answered. Every call opens its own
/// connection to the address in force at that moment and closes it again.
ClockSetResult setTimeThroughTimedated(const TimedatedRequest& request);

/// The same without waiting for the answer, which may take as long as a
/// person takes to give a password: `done` runs once, from the calling
/// thread's event loop (before returning when the bus cannot be reached).
void setTimeThroughTimedatedAsync(const TimedatedRequest& request,
                                  std::function<void(ClockSetResult)> done);

}  // namespace vintrel
