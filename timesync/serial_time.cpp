#include "timesync/serial_time.h"

#include <cmath>
#include <cstdlib>

#include "platform/system_clock.h"

namespace vintrel {
namespace {

constexpr std::int64_t kMsPerDay = 86'400'000;

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days from 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
constexpr std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

DateParts CivilFromDays(std::int64_t z) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<std::uint16_t>(y + (m <= 2 ? 1 : 0)), static_cast<std::uint16_t>(m),
            static_cast<std::uint16_t>(d)};
}

constexpr std::int64_t kDayZero = DaysFromCivil(1899, 12, 30);

// The value rounded to whole milliseconds, ties to even, as the date and the
// (unsigned) time of day. A negative value counts days back from day 0 and its
// fraction's magnitude is the time of day.
struct Split {
    std::int64_t days;
    std::int64_t msOfDay;
};

Split SplitValue(SerialTime value) {
    const double scaled = std::nearbyint(value * static_cast<double>(kMsPerDay));
    // Beyond year 9999 either way, or not a number at all: no date to give.
    if (!(std::fabs(scaled) < 1e15)) {
        throw EConvertError("Invalid date and time value");
    }
    const auto ms = static_cast<std::int64_t>(scaled);
    return {ms / kMsPerDay, std::llabs(ms) % kMsPerDay};
}

}  // namespace

SerialTime DateFromParts(std::uint16_t year, std::uint16_t month, std::uint16_t day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > DaysInMonth(year, month)) {
        throw EConvertError("Invalid argument to date encode");
    }
    return static_cast<SerialTime>(DaysFromCivil(year, month, day) - kDayZero);
}

SerialTime TimeFromParts(std::uint16_t hour, std::uint16_t minute, std::uint16_t second,
                         std::uint16_t millisecond) {
    if (hour > 23 || minute > 59 || second > 59 || millisecond > 999) {
        throw EConvertError("Invalid argument to time encode");
    }
    const std::int64_t ms = 3'600'000LL * hour + 60'000LL * minute + 1000LL * second + millisecond;
    return static_cast<double>(ms) / static_cast<double>(kMsPerDay);
}

DateParts DatePartsOf(SerialTime value) {
    return CivilFromDays(SplitValue(value).days + kDayZero);
}

TimeParts TimePartsOf(SerialTime value) {
    std::int64_t ms = SplitValue(value).msOfDay;
    TimeParts parts;
    parts.millisecond = static_cast<std::uint16_t>(ms % 1000);
    ms /= 1000;
    parts.second = static_cast<std::uint16_t>(ms % 60);
    ms /= 60;
    parts.minute = static_cast<std::uint16_t>(ms % 60);
    parts.hour = static_cast<std::uint16_t>(ms / 60);
    return parts;
}

int WeekdayNumber(SerialTime value) {
    // Day 0 was a Saturday (7).
    const std::int64_t days = SplitValue(value).days;
    const std::int64_t fromSunday = ((days + 6) % 7 + 7) % 7;
    return static_cast<int>(fromSunday) + 1;
}

SerialTime FromSystemTime(const SystemTime& time) {
    return DateFromParts(time.wYear, time.wMonth, time.wDay) +
           TimeFromParts(time.wHour, time.wMinute, time.wSecond, time.wMilliseconds);
}

SerialTime LocalNow() {
    return FromSystemTime(systemClock().localNow());
}

SystemTime ToSystemTime(SerialTime value) {
    const DateParts date = DatePartsOf(value);
    const TimeParts time = TimePartsOf(value);
    SystemTime result;
    result.wYear = date.year;
    result.wMonth = date.month;
    result.wDayOfWeek = static_cast<std::uint16_t>(WeekdayNumber(value) - 1);
    result.wDay = date.day;
    result.wHour = time.hour;
    result.wMinute = time.minute;
    result.wSecond = time.second;
    result.wMilliseconds = time.millisecond;
    return result;
}

}  // namespace vintrel
