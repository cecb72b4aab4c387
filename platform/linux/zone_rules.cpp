#include "platform/linux/zone_rules.h"

#include <algorithm>
#include <utility>

#include "platform/system_time.h"

namespace vintrel {
namespace {

bool IsDstChange(const ZoneTransition& t) {
    // A change of the flag alone moves no clock (a zone leaving DST for a
    // standard time of the same offset); a change of offset alone is a new
    // standard time, not a change-over.
    return t.before.dst != t.after.dst && t.before.offset != t.after.offset;
}

bool IntoDst(const ZoneTransition& t) {
    return t.after.dst;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

std::int32_t Minutes(long seconds) {
    return static_cast<std::int32_t>(seconds / 60);
}

// The change into DST that ends the standard stretch beginning with
// `toStandard`, counted round the year's end; with the stretch's length.
std::pair<const ZoneTransition*, std::time_t> StretchEnd(
    const std::vector<const ZoneTransition*>& changes, const ZoneTransition& toStandard) {
    constexpr std::time_t kYear = 365 * 86400;
    const ZoneTransition* firstInto = nullptr;
    for (const ZoneTransition* t : changes) {
        if (!IntoDst(*t)) continue;
        if (t->at > toStandard.at) return {t, t->at - toStandard.at};
        if (firstInto == nullptr) firstInto = t;
    }
    if (firstInto == nullptr) return {nullptr, 0};
    return {firstInto, firstInto->at + kYear - toStandard.at};
}

// The change-overs into and out of the year's main DST season. Its winter is
// the longest stretch of standard time; a break inside the season (Morocco
// had one for Ramadan) is a shorter one.
std::pair<const ZoneTransition*, const ZoneTransition*> SeasonEnds(
    const std::vector<const ZoneTransition*>& changes) {
    const ZoneTransition* into = nullptr;
    const ZoneTransition* outOf = nullptr;
    std::time_t longest = -1;
    for (const ZoneTransition* t : changes) {
        if (IntoDst(*t)) continue;
        const auto [end, length] = StretchEnd(changes, *t);
        if (length > longest) {
            longest = length;
            outOf = t;
            into = end;
        }
    }
    if (outOf == nullptr) into = changes.front();
    return {into, outOf};
}

// How long the DST-flagged season lasts, counted from the change into it to
// the change out of it; a year with one end only counts to or from the year's
// boundary.
std::time_t SeasonLength(const ZoneTransition* into, const ZoneTransition* outOf) {
    constexpr std::time_t kYear = 365 * 86400;
    if (into != nullptr && outOf != nullptr) {
        return outOf->at > into->at ? outOf->at - into->at : outOf->at + kYear - into->at;
    }
    const ZoneTransition* end = into != nullptr ? into : outOf;
    const std::time_t wall = end->at + end->before.offset;
    std::tm tm{};
    gmtime_r(&wall, &tm);
    std::tm start{};
    start.tm_year = tm.tm_year;
    start.tm_mday = 1;
    const std::time_t yearStart = timegm(&start) - end->before.offset;
    return into != nullptr ? yearStart + kYear - into->at : outOf->at - yearStart;
}

}  // namespace

SystemTime DayInMonthRule(std::time_t at, long offsetBefore) {
    // A change at 24:00 reads as 00:00 of the next day here, so its fields
    // are always in range.
    const std::time_t wall = at + offsetBefore;
    std::tm tm{};
    gmtime_r(&wall, &tm);
    const int year = tm.tm_year + 1900;
    const int month = tm.tm_mon + 1;
    const bool last = tm.tm_mday + 7 > DaysInMonth(year, month);
    SystemTime rule;
    rule.wMonth = static_cast<std::uint16_t>(month);
    rule.wDayOfWeek = static_cast<std::uint16_t>(tm.tm_wday);
    rule.wDay = static_cast<std::uint16_t>(last ? 5 : (tm.tm_mday - 1) / 7 + 1);
    rule.wHour = static_cast<std::uint16_t>(tm.tm_hour);
    rule.wMinute = static_cast<std::uint16_t>(tm.tm_min);
    rule.wSecond = static_cast<std::uint16_t>(std::min(tm.tm_sec, 59));
    return rule;
}

ZoneRules RulesFromTransitions(const std::vector<ZoneTransition>& year, const ZoneState& now) {
    std::vector<const ZoneTransition*> changes;
    for (const ZoneTransition& t : year) {
        if (IsDstChange(t)) changes.push_back(&t);
    }
    ZoneRules rules;
    if (changes.empty()) {
        rules.bias = -Minutes(now.offset);
        rules.code = 0;
        rules.standardAbbreviation = rules.daylightAbbreviation = now.abbreviation;
        return rules;
    }
    auto [toDaylight, toStandard] = SeasonEnds(changes);
    long daylightOffset = toDaylight ? toDaylight->after.offset : toStandard->before.offset;
    long standardOffset = toStandard ? toStandard->after.offset : toDaylight->before.offset;
    std::string daylightName =
        toDaylight ? toDaylight->after.abbreviation : toStandard->before.abbreviation;
    std::string standardName =
        toStandard ? toStandard->after.abbreviation : toDaylight->before.abbreviation;
    // Negative DST flags the lower offset as DST. Ireland's winter is a season
    // of its own, which the record, like Windows, calls standard time; a short
    // stretch such as Morocco's Ramadan keeps the database's flags, as Windows
    // also shows it: standard UTC+1 with a "daylight" month at UTC+0.
    constexpr std::time_t kThreeMonths = 90 * 86400;
    const bool reversed =
        daylightOffset < standardOffset && SeasonLength(toDaylight, toStandard) >= kThreeMonths;
    if (reversed) {
        std::swap(toDaylight, toStandard);
        std::swap(daylightOffset, standardOffset);
        std::swap(daylightName, standardName);
    }
    rules.bias = -Minutes(standardOffset);
    rules.standardBias = 0;
    rules.daylightBias = -Minutes(daylightOffset - standardOffset);
    if (toStandard) rules.standardDate = DayInMonthRule(toStandard->at, toStandard->before.offset);
    if (toDaylight) rules.daylightDate = DayInMonthRule(toDaylight->at, toDaylight->before.offset);
    rules.code = now.dst != reversed ? 2 : 1;
    rules.standardAbbreviation = std::move(standardName);
    rules.daylightAbbreviation = std::move(daylightName);
    return rules;
}

}  // namespace vintrel
