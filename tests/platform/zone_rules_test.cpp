#include "platform/linux/zone_rules.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace vintrel {
namespace {

constexpr long kHour = 3600;

// The instant at which clocks `offsetBefore` seconds east of UTC read the
// given wall-clock time.
std::time_t AtWallClock(int year, int month, int day, int hour, int minute, long offsetBefore) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    return timegm(&tm) - offsetBefore;
}

SystemTime Rule(int month, int weekday, int day, int hour, int minute = 0, int second = 0) {
    SystemTime rule;
    rule.wMonth = static_cast<std::uint16_t>(month);
    rule.wDayOfWeek = static_cast<std::uint16_t>(weekday);
    rule.wDay = static_cast<std::uint16_t>(day);
    rule.wHour = static_cast<std::uint16_t>(hour);
    rule.wMinute = static_cast<std::uint16_t>(minute);
    rule.wSecond = static_cast<std::uint16_t>(second);
    return rule;
}

struct DayCase {
    const char* name;
    std::time_t at;
    long offsetBefore;
    SystemTime rule;
};

class DayInMonthRuleTest : public ::testing::TestWithParam<DayCase> {};

TEST_P(DayInMonthRuleTest, NamesTheWallClockDayBeforeTheChange) {
    EXPECT_EQ(DayInMonthRule(GetParam().at, GetParam().offsetBefore), GetParam().rule);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DayInMonthRuleTest,
    ::testing::Values(
        DayCase{"second_sunday", AtWallClock(2026, 3, 8, 2, 0, -5 * kHour), -5 * kHour,
                Rule(3, 0, 2, 2)},
        DayCase{"fourth_but_not_last_stays_4", AtWallClock(2026, 3, 22, 2, 0, 0), 0,
                Rule(3, 0, 4, 2)},
        DayCase{"fourth_and_last_is_5", AtWallClock(2026, 10, 25, 3, 0, 2 * kHour), 2 * kHour,
                Rule(10, 0, 5, 3)},
        DayCase{"fifth_is_5", AtWallClock(2026, 3, 29, 2, 0, kHour), kHour, Rule(3, 0, 5, 2)},
        DayCase{"last_day_of_short_february", AtWallClock(2026, 2, 28, 1, 0, 0), 0,
                Rule(2, 6, 5, 1)},
        DayCase{"fourth_of_leap_february", AtWallClock(2028, 2, 22, 1, 0, 0), 0, Rule(2, 2, 4, 1)},
        DayCase{"quarter_hour_and_seconds", AtWallClock(2026, 9, 27, 2, 45, 45900), 45900,
                Rule(9, 0, 5, 2, 45)},
        // Saturday 31 October at 24:00 is read as Sunday 1 November at 00:00.
        DayCase{"saturday_24h_is_next_months_first_sunday",
                AtWallClock(2026, 10, 31, 0, 0, -3 * kHour) + 24 * kHour, -3 * kHour,
                Rule(11, 0, 1, 0)}),
    [](const auto& info) { return std::string(info.param.name); });

ZoneState State(long offset, bool dst, const char* abbreviation) {
    return ZoneState{offset, dst, abbreviation};
}

ZoneTransition Change(std::time_t at, ZoneState before, ZoneState after) {
    return ZoneTransition{at, std::move(before), std::move(after)};
}

const ZoneState kEst = State(-5 * kHour, false, "EST");
const ZoneState kEdt = State(-4 * kHour, true, "EDT");
const std::time_t kUsStart = AtWallClock(2026, 3, 8, 2, 0, -5 * kHour);
const std::time_t kUsEnd = AtWallClock(2026, 11, 1, 2, 0, -4 * kHour);

TEST(RulesFromTransitionsTest, NorthernYearGivesBothRulesAndTheBiases) {
    const std::vector<ZoneTransition> year{Change(kUsStart, kEst, kEdt),
                                           Change(kUsEnd, kEdt, kEst)};
    const ZoneRules summer = RulesFromTransitions(year, kEdt);
    EXPECT_EQ(summer.bias, 300);
    EXPECT_EQ(summer.standardBias, 0);
    EXPECT_EQ(summer.daylightBias, -60);
    EXPECT_EQ(summer.daylightDate, Rule(3, 0, 2, 2));
    EXPECT_EQ(summer.standardDate, Rule(11, 0, 1, 2));
    EXPECT_EQ(summer.code, 2u);
    EXPECT_EQ(summer.standardAbbreviation, "EST");
    EXPECT_EQ(summer.daylightAbbreviation, "EDT");
    EXPECT_EQ(RulesFromTransitions(year, kEst).code, 1u);
}

TEST(RulesFromTransitionsTest, NegativeDstCallsTheHigherOffsetDaylight) {
    // Ireland: tzdata flags winter's GMT as DST with a saving of minus one hour.
    const ZoneState gmt = State(0, true, "GMT");
    const ZoneState ist = State(kHour, false, "IST");
    const std::vector<ZoneTransition> year{
        Change(AtWallClock(2026, 3, 29, 1, 0, 0), gmt, ist),
        Change(AtWallClock(2026, 10, 25, 2, 0, kHour), ist, gmt)};
    const ZoneRules summer = RulesFromTransitions(year, ist);
    EXPECT_EQ(summer.bias, 0);
    EXPECT_EQ(summer.daylightBias, -60);
    EXPECT_EQ(summer.daylightDate, Rule(3, 0, 5, 1));
    EXPECT_EQ(summer.standardDate, Rule(10, 0, 5, 2));
    EXPECT_EQ(summer.code, 2u);
    EXPECT_EQ(summer.standardAbbreviation, "GMT");
    EXPECT_EQ(summer.daylightAbbreviation, "IST");
    EXPECT_EQ(RulesFromTransitions(year, gmt).code, 1u);
}

TEST(RulesFromTransitionsTest, BrokenSeasonShowsItsOuterEnds) {
    // DST suspended for a month inside the season, as Morocco once did.
    const ZoneState std0 = State(0, false, "WET");
    const ZoneState dst1 = State(kHour, true, "WEST");
    const std::vector<ZoneTransition> year{
        Change(AtWallClock(2012, 4, 29, 2, 0, 0), std0, dst1),
        Change(AtWallClock(2012, 7, 20, 3, 0, kHour), dst1, std0),
        Change(AtWallClock(2012, 8, 20, 2, 0, 0), std0, dst1),
        Change(AtWallClock(2012, 9, 30, 3, 0, kHour), dst1, std0)};
    const ZoneRules rules = RulesFromTransitions(year, std0);
    EXPECT_EQ(rules.daylightDate.wMonth, 4);
    EXPECT_EQ(rules.standardDate.wMonth, 9);
}

TEST(RulesFromTransitionsTest, SouthernBrokenSeasonShowsItsOuterEnds) {
    const ZoneState std0 = State(10 * kHour, false, "AEST");
    const ZoneState dst1 = State(11 * kHour, true, "AEDT");
    const std::vector<ZoneTransition> year{
        Change(AtWallClock(2026, 1, 10, 3, 0, 11 * kHour), dst1, std0),
        Change(AtWallClock(2026, 1, 20, 2, 0, 10 * kHour), std0, dst1),
        Change(AtWallClock(2026, 4, 5, 3, 0, 11 * kHour), dst1, std0),
        Change(AtWallClock(2026, 10, 4, 2, 0, 10 * kHour), std0, dst1)};
    const ZoneRules rules = RulesFromTransitions(year, std0);
    EXPECT_EQ(rules.standardDate, Rule(4, 0, 1, 3));
    EXPECT_EQ(rules.daylightDate, Rule(10, 0, 1, 2));
}

TEST(RulesFromTransitionsTest, YearThatEndsDstForGoodKeepsTheOneChange) {
    const ZoneState brt = State(-3 * kHour, false, "-03");
    const ZoneState brst = State(-2 * kHour, true, "-02");
    const std::vector<ZoneTransition> year{
        Change(AtWallClock(2019, 2, 17, 0, 0, -2 * kHour), brst, brt)};
    const ZoneRules rules = RulesFromTransitions(year, brt);
    EXPECT_EQ(rules.bias, 180);
    EXPECT_EQ(rules.daylightBias, -60);
    EXPECT_EQ(rules.standardDate, Rule(2, 0, 3, 0));
    EXPECT_EQ(rules.daylightDate, SystemTime{});
    EXPECT_EQ(rules.code, 1u);
}

struct NoChangeOverCase {
    const char* name;
    std::vector<ZoneTransition> year;
    ZoneState now;
    std::int32_t bias;
};

class NoChangeOverTest : public ::testing::TestWithParam<NoChangeOverCase> {};

TEST_P(NoChangeOverTest, IsAZoneWithoutDst) {
    const ZoneRules rules = RulesFromTransitions(GetParam().year, GetParam().now);
    EXPECT_EQ(rules.code, 0u);
    EXPECT_EQ(rules.bias, GetParam().bias);
    EXPECT_EQ(rules.daylightBias, 0);
    EXPECT_EQ(rules.standardDate, SystemTime{});
    EXPECT_EQ(rules.daylightDate, SystemTime{});
    EXPECT_EQ(rules.standardAbbreviation, GetParam().now.abbreviation);
    EXPECT_EQ(rules.daylightAbbreviation, GetParam().now.abbreviation);
}

INSTANTIATE_TEST_SUITE_P(
    Table, NoChangeOverTest,
    ::testing::Values(
        NoChangeOverCase{"no_changes", {}, State(19800, false, "IST"), -330},
        // A new standard time is not a change-over; the bias in force now shows.
        NoChangeOverCase{"standard_offset_moved",
                         {Change(AtWallClock(2024, 3, 1, 0, 0, 6 * kHour),
                                 State(6 * kHour, false, "+06"), State(5 * kHour, false, "+05"))},
                         State(5 * kHour, false, "+05"),
                         -300},
        // Leaving DST for a standard time of the same offset moves no clock.
        NoChangeOverCase{"dst_flag_alone_dropped",
                         {Change(AtWallClock(2016, 9, 7, 0, 0, 3 * kHour),
                                 State(3 * kHour, true, "EEST"), State(3 * kHour, false, "+03"))},
                         State(3 * kHour, false, "+03"),
                         -180}),
    [](const auto& info) { return std::string(info.param.name); });

struct RealYearCase {
    const char* name;
    const char* tz;
    std::int32_t bias;
    std::int32_t daylightBias;
    SystemTime standardDate;
    SystemTime daylightDate;
    std::uint32_t codeInJuly;
    const char* standardAbbreviation;
    const char* daylightAbbreviation;
};

class RealYearTest : public ::testing::TestWithParam<RealYearCase> {
protected:
    void SetUp() override {
        if (const char* old = std::getenv("TZ")) saved_ = old;
        setenv("TZ", GetParam().tz, 1);
        tzset();
    }
    void TearDown() override {
        if (saved_) {
            setenv("TZ", saved_->c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }

private:
    std::optional<std::string> saved_;
};

// 2026 from the system's tz database, as Windows records these zones.
TEST_P(RealYearTest, RecordsTheYearAsWindowsDoes) {
    const RealYearCase& c = GetParam();
    const auto year = TransitionsInYear(2026);
    ASSERT_TRUE(year);
    const auto july = ZoneStateAt(AtWallClock(2026, 7, 15, 12, 0, 0));
    ASSERT_TRUE(july);
    const ZoneRules rules = RulesFromTransitions(*year, *july);
    EXPECT_EQ(rules.bias, c.bias);
    EXPECT_EQ(rules.standardBias, 0);
    EXPECT_EQ(rules.daylightBias, c.daylightBias);
    EXPECT_EQ(rules.standardDate, c.standardDate);
    EXPECT_EQ(rules.daylightDate, c.daylightDate);
    EXPECT_EQ(rules.code, c.codeInJuly);
    EXPECT_EQ(rules.standardAbbreviation, c.standardAbbreviation);
    EXPECT_EQ(rules.daylightAbbreviation, c.daylightAbbreviation);
}

INSTANTIATE_TEST_SUITE_P(Table, RealYearTest,
                         ::testing::Values(
                             // Ramadan is flagged DST at UTC+0 for five weeks: it stays the
                             // "daylight" stretch, with a positive DaylightBias.
                             RealYearCase{"casablanca_short_negative_dst", "Africa/Casablanca", -60,
                                          60, Rule(3, 0, 4, 2), Rule(2, 0, 3, 3), 1, "+01", "+00"},
                             RealYearCase{"el_aaiun_short_negative_dst", "Africa/El_Aaiun", -60, 60,
                                          Rule(3, 0, 4, 2), Rule(2, 0, 3, 3), 1, "+01", "+00"},
                             // Ireland's flagged winter lasts five months: summer is daylight time.
                             RealYearCase{"dublin_long_negative_dst", "Europe/Dublin", 0, -60,
                                          Rule(10, 0, 5, 2), Rule(3, 0, 5, 1), 2, "GMT", "IST"},
                             RealYearCase{"new_york_northern", "America/New_York", 300, -60,
                                          Rule(11, 0, 1, 2), Rule(3, 0, 2, 2), 2, "EST", "EDT"},
                             RealYearCase{"sydney_southern", "Australia/Sydney", -600, -60,
                                          Rule(4, 0, 1, 3), Rule(10, 0, 1, 2), 1, "AEST", "AEDT"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vintrel
