#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "platform/linux/zone_transitions.h"
#include "platform/system_time.h"

namespace vintrel {

/// A year of the system zone in the terms of the time-zone record: biases in
/// minutes (UTC = local + bias), the change-overs as day-in-month rules, the
/// result code, and the abbreviations of the two periods.
struct ZoneRules {
    std::int32_t bias = 0;
    std::int32_t standardBias = 0;
    std::int32_t daylightBias = 0;
    SystemTime standardDate;  // wMonth 0: no change to standard time this year
    SystemTime daylightDate;  // wMonth 0: no change to daylight time this year
    std::uint32_t code = 0;
    std::string standardAbbreviation;
    std::string daylightAbbreviation;
};

/// The rules of a year from its transitions (TransitionsInYear) and the state
/// in force now.
ZoneRules RulesFromTransitions(const std::vector<ZoneTransition>& year, const ZoneState& now);

/// The day-in-month rule that names the change at `at` as the clocks read
/// just before it (`offsetBefore` seconds east of UTC): month, weekday,
/// occurrence 1 to 4 or 5 for the month's last such weekday, time of day.
SystemTime DayInMonthRule(std::time_t at, long offsetBefore);

}  // namespace vintrel
