#include "timezone/win_tz_info.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "platform/narrow_text.h"

namespace vintrel {
namespace {

TimeZoneInformation& Snapshot() {
    static TimeZoneInformation snapshot;
    return snapshot;
}

std::string NameText(const std::array<char16_t, 32>& units) {
    const auto end = std::find(units.begin(), units.end(), u'\0');
    return NarrowText(
        std::u16string_view(units.data(), static_cast<std::size_t>(end - units.begin())));
}

SerialTime RuleTime(const SystemTime& rule) {
    return TimeFromParts(rule.wHour, rule.wMinute, rule.wSecond, rule.wMilliseconds);
}

// The rule's weekday as WeekdayNumber counts (1 = Sunday); 0 when the rule
// names no weekday, which no day matches.
int TargetWeekday(const SystemTime& rule) {
    return rule.wDayOfWeek <= 6 ? rule.wDayOfWeek + 1 : 0;
}

// The last day of the rule's month, found through the first of the next.
SerialTime LastDayOfMonth(std::uint16_t year, std::uint16_t month) {
    const bool december = month == 12;
    return DateFromParts(december ? static_cast<std::uint16_t>(year + 1) : year,
                         december ? std::uint16_t{1} : static_cast<std::uint16_t>(month + 1), 1) -
           1.0;
}

SerialTime DayInMonthDate(const SystemTime& rule) {
    const std::uint16_t year = DatePartsOf(LocalNow()).year;
    SerialTime first = DateFromParts(year, rule.wMonth, 1);
    SerialTime last = LastDayOfMonth(year, rule.wMonth);
    const int target = TargetWeekday(rule);
    // Without a weekday to match, the searches below would never stop.
    if (target == 0 || rule.wDay > 5) return 0;
    if (rule.wDay == 5) {
        while (WeekdayNumber(last) != target) last -= 1.0;
        return last;
    }
    while (WeekdayNumber(first) != target) first += 1.0;
    for (int i = 1; i < rule.wDay; ++i) first += 7.0;
    return first;
}

}  // namespace

std::uint32_t ReadTimeZoneInfo() {
    const TimeZoneReading reading = timeZoneSource().read();
    Snapshot() = reading.info;
    return reading.code;
}

const TimeZoneInformation& TimeZoneSnapshot() {
    return Snapshot();
}

std::int32_t GetBias() {
    return Snapshot().Bias;
}

std::int32_t GetStandardBias() {
    return Snapshot().StandardBias;
}

std::int32_t GetDaylightBias() {
    return Snapshot().DaylightBias;
}

std::string GetStandardName() {
    return NameText(Snapshot().StandardName);
}

std::string GetDaylightName() {
    return NameText(Snapshot().DaylightName);
}

SerialTime GetStandardDate() {
    return TransitionToDateTime(Snapshot().StandardDate);
}

SerialTime GetDaylightDate() {
    return TransitionToDateTime(Snapshot().DaylightDate);
}

SerialTime TransitionToDateTime(const SystemTime& rule) {
    if (rule.wYear != 0) {
        return DateFromParts(rule.wYear, rule.wMonth, rule.wDay) + RuleTime(rule);
    }
    if (rule.wMonth == 0) return 0;
    return DayInMonthDate(rule) + RuleTime(rule);
}

}  // namespace vintrel
