#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "platform/clock_setter.h"

namespace vintrel {

/// The system bus as this process should reach it now: DBUS_SYSTEM_BUS_ADDRESS,
/// or the well-known socket when that is unset or empty.
std::string systemBusAddress();

/// Asks systemd-timedated (org.freedesktop.timedate1 SetTime) on the system
/// bus to set the clock to an absolute time, allowing polkit to ask the user.
/// Every call opens its own connection to the address in force at that
/// moment and closes it again.
ClockSetResult setTimeThroughTimedated(std::int64_t microsecondsUtc,
                                       std::chrono::milliseconds timeout);

}  // namespace vintrel
