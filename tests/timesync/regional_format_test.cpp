#include "timesync/regional_format.h"

#include <gtest/gtest.h>

namespace vintrel {
namespace {

RegionalSettings UsSettings() {
    RegionalSettings s;
    s.shortDatePattern = "M/d/yyyy";
    s.twelveHourClock = true;
    s.hourLeadingZero = false;
    s.amText = "AM";
    s.pmText = "PM";
    return s;
}

const SerialTime k8March2026 = DateFromParts(2026, 3, 8);

TEST(DateTimeTextTest, WorkedExample) {
    EXPECT_EQ(DateTimeText(k8March2026 + TimeFromParts(2, 0, 0, 0), UsSettings()),
              "3/8/2026 2:00:00 AM");
    EXPECT_EQ(DateTimeText(k8March2026, UsSettings()), "3/8/2026");
}

TEST(DateTimeTextTest, MillisecondsAloneDoNotShowATime) {
    EXPECT_EQ(DateTimeText(k8March2026 + TimeFromParts(0, 0, 0, 400), UsSettings()), "3/8/2026");
    EXPECT_EQ(DateTimeText(k8March2026 + TimeFromParts(0, 0, 1, 0), UsSettings()),
              "3/8/2026 12:00:01 AM");
}

TEST(DateTimeTextTest, DayZeroWithTheDefaults) {
    EXPECT_EQ(DateTimeText(0, RegionalSettings{}), "12/30/99");
}

TEST(DateTimeTextTest, TwelveHourClockMapsHours) {
    RegionalSettings s = UsSettings();
    EXPECT_EQ(LongTimeText(TimeFromParts(0, 5, 6, 0), s), "12:05:06 AM");
    EXPECT_EQ(LongTimeText(TimeFromParts(12, 0, 0, 0), s), "12:00:00 PM");
    EXPECT_EQ(LongTimeText(TimeFromParts(23, 59, 59, 0), s), "11:59:59 PM");
    s.amPmBeforeTime = true;
    s.hourLeadingZero = true;
    EXPECT_EQ(LongTimeText(TimeFromParts(9, 1, 2, 0), s), "AM 09:01:02");
    s.twelveHourClock = false;
    s.timeSeparator = ".";
    EXPECT_EQ(LongTimeText(TimeFromParts(21, 1, 2, 0), s), "21.01.02");
}

struct PatternCase {
    const char* name;
    const char* pattern;
    const char* separator;
    const char* expected;
};

class ShortDatePatternTest : public ::testing::TestWithParam<PatternCase> {};

TEST_P(ShortDatePatternTest, WritesThePattern) {
    RegionalSettings s;
    s.shortDatePattern = GetParam().pattern;
    s.dateSeparator = GetParam().separator;
    EXPECT_EQ(ShortDateText(DateFromParts(2026, 3, 8), s), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ShortDatePatternTest,
    ::testing::Values(PatternCase{"us", "m/d/yy", "/", "3/8/26"},
                      PatternCase{"padded", "dd/mm/yyyy", ".", "08.03.2026"},
                      PatternCase{"letters_any_case", "DD/MM/YYYY", "-", "08-03-2026"},
                      PatternCase{"three_ys_is_four_digits", "yyy", "/", "2026"},
                      PatternCase{"names", "ddd dddd mmm mmmm", "/", "Sun Sunday Mar March"},
                      PatternCase{"quoted_text", "d 'de' mmmm", "/", "8 de March"},
                      PatternCase{"double_quoted_slash", "d\"/\"m", ".", "8/3"},
                      PatternCase{"other_characters_copied",
                                  "yyyy\xe5"
                                  "m\xe6"
                                  "d",
                                  "/",
                                  "2026\xe5"
                                  "3\xe6"
                                  "8"},
                      PatternCase{"empty_pattern_falls_back", "", "/", "3/8/26"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vintrel
