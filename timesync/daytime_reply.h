#pragma once

#include <string>
#include <string_view>

#include "timesync/serial_time.h"

namespace vintrel {

/// The server's UTC time from a NIST daytime line, whole seconds; 0 when the
/// reply holds no acceptable time. Never throws.
SerialTime ParseDaytimeReply(std::string_view reply) noexcept;

/// Why `ParseDaytimeReply` found no time in `reply`, in words a user can read.
std::string UnusableReplyReason(std::string_view reply);

/// The system clock's UTC time, milliseconds included.
SerialTime CurrentUtc();

}  // namespace vintrel
