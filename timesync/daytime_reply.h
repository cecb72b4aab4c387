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

/// A health digit from this one up says the server does not vouch for its time.
inline constexpr int kFirstUnhealthyDigit = 2;

/// What a NIST line says of itself beside the time:
/// "JJJJJ YR-MO-DA HH:MM:SS TT L H msADV UTC(NIST) OTM".
struct NistLineStatus {
    /// H: 0 healthy, 1 may be off by up to 5 s, 2 off by more, 3 a failure,
    /// 4 maintenance. 0 when the line has no readable digit there.
    int health = 0;
    /// Whether msADV, the field before "UTC(NIST)", was read.
    bool advanceRead = false;
    /// msADV in seconds: how long before the named second the server sent
    /// the line, so that it arrives about on time. 0 when not read.
    double advance = 0;

    bool vouched() const { return health < kFirstUnhealthyDigit; }
};

/// Reads H and msADV from a daytime reply. Never throws.
NistLineStatus ReadNistLineStatus(std::string_view reply) noexcept;

/// Why a server with health digit `health` is not trusted, for the
/// command-line tool: "the server reports its time off by more than 5 s (H = 2)".
std::string UnhealthyReason(int health);

}  // namespace vintrel
