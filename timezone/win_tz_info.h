#pragma once

#include <cstdint>
#include <string>

#include "platform/system_time.h"
#include "platform/time_zone_source.h"
#include "timesync/serial_time.h"

namespace vintrel {

/// Replaces the process's time-zone snapshot with the system's record and
/// returns the read's result code unchanged. The snapshot is all zero before
/// the first read; the accessors below only ever read the snapshot.
std::uint32_t ReadTimeZoneInfo();

/// The snapshot as last read.
const TimeZoneInformation& TimeZoneSnapshot();

std::int32_t GetBias();
std::int32_t GetStandardBias();
std::int32_t GetDaylightBias();

/// The name's code units before the first NUL (all 32 without one) in the
/// program's 8-bit text, untrimmed.
std::string GetStandardName();
std::string GetDaylightName();

SerialTime GetStandardDate();
SerialTime GetDaylightDate();

/// A change-over rule as a moment: an absolute rule as itself, a rule without
/// change-over as 0, a day-in-month rule in the current local year. A rule
/// whose occurrence is above 5 or whose weekday is outside 0 to 6 matches no
/// day and gives day 0 plus its time of day. Throws EConvertError for fields
/// out of range.
SerialTime TransitionToDateTime(const SystemTime& rule);

}  // namespace vintrel
