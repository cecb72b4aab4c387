#pragma once

#include <string_view>

#include "timesync/serial_time.h"

namespace vintrel {

/// The server's UTC time from a NIST daytime line, whole seconds; 0 when the
/// reply holds no acceptable time. Never throws.
SerialTime ParseDaytimeReply(std::string_view reply) noexcept;

/// The system clock's UTC time, milliseconds included.
SerialTime CurrentUtc();

}  // namespace vintrel
