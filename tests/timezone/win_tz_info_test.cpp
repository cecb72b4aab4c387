#include "timezone/win_tz_info.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/fake_clock.h"
#include "tests/support/fake_time_zone_source.h"

namespace vintrel {
namespace {

SystemTime Rule(int month, int weekday, int day, int hour, int minute = 0, int year = 0) {
    SystemTime rule;
    rule.wYear = static_cast<std::uint16_t>(year);
    rule.wMonth = static_cast<std::uint16_t>(month);
    rule.wDayOfWeek = static_cast<std::uint16_t>(weekday);
    rule.wDay = static_cast<std::uint16_t>(day);
    rule.wHour = static_cast<std::uint16_t>(hour);
    rule.wMinute = static_cast<std::uint16_t>(minute);
    return rule;
}

SerialTime At(int year, int month, int day, int hour = 0, int minute = 0) {
    return DateFromParts(static_cast<std::uint16_t>(year), static_cast<std::uint16_t>(month),
                         static_cast<std::uint16_t>(day)) +
           TimeFromParts(static_cast<std::uint16_t>(hour), static_cast<std::uint16_t>(minute), 0,
                         0);
}

struct RuleCase {
    const char* name;
    SystemTime rule;
    SerialTime expected;
};

class TransitionTest : public ::testing::TestWithParam<RuleCase> {};

TEST_P(TransitionTest, GivesTheRulesMomentIn2026) {
    testing::FakeClock clock(At(2026, 6, 15, 12));
    EXPECT_EQ(TransitionToDateTime(GetParam().rule), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TransitionTest,
    ::testing::Values(
        RuleCase{"second_sunday_of_march", Rule(3, 0, 2, 2), At(2026, 3, 8, 2)},
        RuleCase{"first_sunday_of_november", Rule(11, 0, 1, 2), At(2026, 11, 1, 2)},
        RuleCase{"last_is_fourth_in_october", Rule(10, 0, 5, 3), At(2026, 10, 25, 3)},
        RuleCase{"last_is_fifth_in_march", Rule(3, 0, 5, 2), At(2026, 3, 29, 2)},
        RuleCase{"fourth_never_fifth", Rule(3, 0, 4, 2), At(2026, 3, 22, 2)},
        RuleCase{"southern_standard_april", Rule(4, 0, 1, 3), At(2026, 4, 5, 3)},
        RuleCase{"southern_daylight_october", Rule(10, 0, 1, 2), At(2026, 10, 4, 2)},
        RuleCase{"december_last_saturday", Rule(12, 6, 5, 0), At(2026, 12, 26)},
        RuleCase{"december_last_thursday_is_the_31st", Rule(12, 4, 5, 0), At(2026, 12, 31)},
        RuleCase{"weekday_after_month_start", Rule(4, 2, 1, 1, 30), At(2026, 4, 7, 1, 30)},
        RuleCase{"month_starts_on_the_weekday", Rule(2, 0, 1, 2), At(2026, 2, 1, 2)},
        RuleCase{"occurrence_zero_as_first", Rule(3, 0, 0, 2), At(2026, 3, 1, 2)},
        RuleCase{"occurrence_six_matches_no_day", Rule(3, 0, 6, 2), At(1899, 12, 30, 2)},
        RuleCase{"weekday_seven_matches_no_day", Rule(3, 7, 5, 2), At(1899, 12, 30, 2)},
        RuleCase{"weekday_65535_matches_no_day", Rule(3, 0xFFFF, 2, 0), 0.0},
        RuleCase{"no_change_over", Rule(0, 0, 0, 0), 0.0},
        RuleCase{"no_change_over_ignores_time", Rule(0, 3, 2, 2), 0.0},
        RuleCase{"absolute_form_ignores_weekday", Rule(10, 3, 25, 3, 0, 2026), At(2026, 10, 25, 3)},
        RuleCase{"absolute_form_in_another_year", Rule(3, 0, 9, 2, 0, 2031), At(2031, 3, 9, 2)}),
    [](const auto& info) { return std::string(info.param.name); });

struct BadRuleCase {
    const char* name;
    SystemTime rule;
    const char* message;
};

class BadRuleTest : public ::testing::TestWithParam<BadRuleCase> {};

TEST_P(BadRuleTest, RaisesTheConversionError) {
    testing::FakeClock clock(At(2026, 6, 15, 12));
    try {
        TransitionToDateTime(GetParam().rule);
        FAIL() << "accepted " << GetParam().name;
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), GetParam().message);
    }
}

SystemTime WithSecond(SystemTime rule, int second, int ms = 0) {
    rule.wSecond = static_cast<std::uint16_t>(second);
    rule.wMilliseconds = static_cast<std::uint16_t>(ms);
    return rule;
}

INSTANTIATE_TEST_SUITE_P(
    Table, BadRuleTest,
    ::testing::Values(
        BadRuleCase{"month_13", Rule(13, 0, 1, 2), "Invalid argument to date encode"},
        BadRuleCase{"month_13_with_no_day", Rule(13, 0, 6, 2), "Invalid argument to date encode"},
        BadRuleCase{"hour_24", Rule(3, 0, 2, 24), "Invalid argument to time encode"},
        BadRuleCase{"hour_24_with_no_day", Rule(3, 9, 2, 24), "Invalid argument to time encode"},
        BadRuleCase{"minute_60", Rule(3, 0, 2, 2, 60), "Invalid argument to time encode"},
        BadRuleCase{"second_60", WithSecond(Rule(3, 0, 2, 2), 60),
                    "Invalid argument to time encode"},
        BadRuleCase{"millisecond_1000", WithSecond(Rule(3, 0, 2, 2), 0, 1000),
                    "Invalid argument to time encode"},
        BadRuleCase{"absolute_day_beyond_month", Rule(2, 0, 30, 2, 0, 2026),
                    "Invalid argument to date encode"},
        BadRuleCase{"absolute_month_zero", Rule(0, 0, 1, 2, 0, 2026),
                    "Invalid argument to date encode"},
        BadRuleCase{"absolute_year_10000", Rule(1, 0, 1, 2, 0, 10000),
                    "Invalid argument to date encode"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TransitionTest, YearIsTheLocalYearAtConversion) {
    // Local time is already 2027 while UTC is still in 2026.
    testing::FakeClock clock(At(2026, 12, 31, 20), 5.0 / 24);
    EXPECT_EQ(TransitionToDateTime(Rule(3, 0, 2, 2)), At(2027, 3, 14, 2));
    clock.setLocalOffset(0);
    EXPECT_EQ(TransitionToDateTime(Rule(3, 0, 2, 2)), At(2026, 3, 8, 2));
}

std::array<char16_t, 32> Units(std::u16string_view text) {
    std::array<char16_t, 32> units{};
    std::copy(text.begin(), text.end(), units.begin());
    return units;
}

struct NameCase {
    const char* name;
    std::u16string units;
    std::string expected;
};

class NameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(NameTest, ConvertsTheUnitsBeforeTheFirstNul) {
    TimeZoneInformation info;
    info.StandardName = Units(GetParam().units);
    info.DaylightName = Units(GetParam().units);
    testing::FakeTimeZoneSource source(info, kTimeZoneIdStandard);
    ReadTimeZoneInfo();
    EXPECT_EQ(GetStandardName(), GetParam().expected);
    EXPECT_EQ(GetDaylightName(), GetParam().expected);
}

// The program's 8-bit text: UTF-8 on Linux; on Windows the ANSI code page,
// 1252 in the English locale the tests run in.
#ifdef _WIN32
const NameCase kLatinLetters{"latin_letters_in_the_ansi_code_page", u"Mitteleurop\u00e4ische Zeit",
                             "Mitteleurop\xe4ische Zeit"};
const NameCase kSurrogatePair{"surrogate_pair_is_one_character", u"A\U0001F30DB", "A?B"};
#else
const NameCase kLatinLetters{"latin_letters_in_utf8", u"Mitteleurop\u00e4ische Zeit",
                             "Mitteleurop\xc3\xa4ische Zeit"};
const NameCase kSurrogatePair{"surrogate_pair_is_one_character", u"A\U0001F30DB",
                              "A\xf0\x9f\x8c\x8d"
                              "B"};
#endif

INSTANTIATE_TEST_SUITE_P(
    Table, NameTest,
    ::testing::Values(NameCase{"plain", u"Eastern Standard Time", "Eastern Standard Time"},
                      NameCase{"all_32_units_without_nul", u"Australian Eastern Standard Time",
                               "Australian Eastern Standard Time"},
                      NameCase{"stops_at_first_nul", std::u16string(u"Pacific\0Junk", 12),
                               "Pacific"},
                      NameCase{"never_trimmed", u"  Zone  ", "  Zone  "},
                      NameCase{"empty", u"", ""}, kLatinLetters, kSurrogatePair,
                      NameCase{"unpaired_high_surrogate",
                               std::u16string(u"A\xD83C"
                                              u"B"),
                               "A?B"},
                      NameCase{"unpaired_low_surrogate", std::u16string(u"A\xDF0D"), "A?"},
                      NameCase{"high_surrogate_in_last_unit", std::u16string(31, u'x') + u"\xD83C",
                               std::string(31, 'x') + "?"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SnapshotTest, AccessorsReadTheSnapshotNotTheSystem) {
    TimeZoneInformation first;
    first.Bias = 300;
    first.StandardBias = 1;
    first.DaylightBias = -60;
    first.StandardName = Units(u"First");
    first.StandardDate = Rule(11, 0, 1, 2);
    testing::FakeTimeZoneSource source(first, kTimeZoneIdDaylight);
    testing::FakeClock clock(At(2026, 6, 15, 12));
    EXPECT_EQ(ReadTimeZoneInfo(), kTimeZoneIdDaylight);

    TimeZoneInformation second;
    second.Bias = -60;
    second.StandardName = Units(u"Second");
    source.set(second, kTimeZoneIdStandard);
    EXPECT_EQ(GetBias(), 300);
    EXPECT_EQ(GetStandardBias(), 1);
    EXPECT_EQ(GetDaylightBias(), -60);
    EXPECT_EQ(GetStandardName(), "First");
    EXPECT_EQ(GetStandardDate(), At(2026, 11, 1, 2));
    EXPECT_EQ(GetDaylightDate(), 0.0);
    EXPECT_EQ(source.reads(), 1);
}

TEST(SnapshotTest, EachReadReplacesTheWholeRecordAndPassesTheCodeOn) {
    TimeZoneInformation info;
    info.Bias = -330;
    info.StandardName = Units(u"India Standard Time");
    testing::FakeTimeZoneSource source(info, kTimeZoneIdUnknown);
    ReadTimeZoneInfo();
    source.set({}, 7);
    EXPECT_EQ(ReadTimeZoneInfo(), 7u);
    EXPECT_EQ(TimeZoneSnapshot(), TimeZoneInformation{});
    source.set({}, kTimeZoneIdInvalid);
    EXPECT_EQ(ReadTimeZoneInfo(), kTimeZoneIdInvalid);
}

}  // namespace
}  // namespace vintrel
