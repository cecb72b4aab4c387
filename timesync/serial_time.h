#pragma once

#include <cstdint>

#include "platform/system_time.h"
#include "timesync/convert_error.h"

namespace vintrel {

/// A moment as days since 30 December 1899 00:00; the fraction is the time of
/// day. The difference of two values is a span in days.
using SerialTime = double;

struct DateParts {
    std::uint16_t year = 0;
    std::uint16_t month = 0;
    std::uint16_t day = 0;
    friend bool operator==(const DateParts&, const DateParts&) = default;
};

struct TimeParts {
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
    std::uint16_t millisecond = 0;
    friend bool operator==(const TimeParts&, const TimeParts&) = default;
};

/// Whole days since day 0; throws EConvertError outside 1-1-1 .. 9999-12-31.
SerialTime DateFromParts(std::uint16_t year, std::uint16_t month, std::uint16_t day);
/// Fraction of a day; throws EConvertError unless 0-23, 0-59, 0-59, 0-999.
SerialTime TimeFromParts(std::uint16_t hour, std::uint16_t minute, std::uint16_t second,
                         std::uint16_t millisecond);
/// Both of these round the value to the nearest millisecond (ties to even) first.
DateParts DatePartsOf(SerialTime value);
TimeParts TimePartsOf(SerialTime value);
/// 1 = Sunday ... 7 = Saturday.
int WeekdayNumber(SerialTime value);
/// The system clock's local date and time.
SerialTime LocalNow();
SystemTime ToSystemTime(SerialTime value);
/// The value of a broken-down time record (its weekday is not used).
SerialTime FromSystemTime(const SystemTime& time);

}  // namespace vintrel
