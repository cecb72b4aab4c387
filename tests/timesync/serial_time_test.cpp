#include "timesync/serial_time.h"

#include <gtest/gtest.h>

#include <limits>

#include "tests/support/fake_clock.h"

namespace vintrel {
namespace {

struct DateCase {
    const char* name;
    int year, month, day;
    bool valid;
};

class DateFromPartsTest : public ::testing::TestWithParam<DateCase> {};

TEST_P(DateFromPartsTest, AcceptsOnlyRealGregorianDates) {
    const DateCase& c = GetParam();
    const auto y = static_cast<std::uint16_t>(c.year);
    const auto m = static_cast<std::uint16_t>(c.month);
    const auto d = static_cast<std::uint16_t>(c.day);
    if (c.valid) {
        const SerialTime value = DateFromParts(y, m, d);
        EXPECT_EQ(DatePartsOf(value), (DateParts{y, m, d}));
    } else {
        try {
            DateFromParts(y, m, d);
            FAIL() << "accepted " << c.name;
        } catch (const EConvertError& e) {
            EXPECT_STREQ(e.what(), "Invalid argument to date encode");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Table, DateFromPartsTest,
                         ::testing::Values(DateCase{"leap_2024", 2024, 2, 29, true},
                                           DateCase{"not_leap_2025", 2025, 2, 29, false},
                                           DateCase{"century_not_leap", 1900, 2, 29, false},
                                           DateCase{"four_century_leap", 2000, 2, 29, true},
                                           DateCase{"thirty_day_month", 2026, 4, 31, false},
                                           DateCase{"month_zero", 2026, 0, 1, false},
                                           DateCase{"month_13", 2026, 13, 1, false},
                                           DateCase{"day_zero", 2026, 1, 0, false},
                                           DateCase{"year_zero", 0, 1, 1, false},
                                           DateCase{"year_one", 1, 1, 1, true},
                                           DateCase{"year_9999", 9999, 12, 31, true},
                                           DateCase{"year_10000", 10000, 1, 1, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SerialTimeTest, KnownDayNumbers) {
    EXPECT_EQ(DateFromParts(1899, 12, 30), 0.0);
    EXPECT_EQ(DateFromParts(1899, 12, 29), -1.0);
    EXPECT_EQ(DateFromParts(1900, 1, 1), 2.0);
    EXPECT_EQ(DateFromParts(2026, 3, 8), 46089.0);
}

TEST(SerialTimeTest, TimeFromPartsRefusesOutOfRangeParts) {
    EXPECT_DOUBLE_EQ(TimeFromParts(12, 0, 0, 0), 0.5);
    EXPECT_DOUBLE_EQ(TimeFromParts(23, 59, 59, 999), 86399999.0 / 86400000.0);
    for (auto parts : {TimeParts{24, 0, 0, 0}, TimeParts{23, 60, 0, 0}, TimeParts{23, 59, 60, 0},
                       TimeParts{0, 0, 0, 1000}}) {
        try {
            TimeFromParts(parts.hour, parts.minute, parts.second, parts.millisecond);
            FAIL() << "accepted " << parts.hour << ":" << parts.minute << ":" << parts.second;
        } catch (const EConvertError& e) {
            EXPECT_STREQ(e.what(), "Invalid argument to time encode");
        }
    }
}

TEST(SerialTimeTest, PartsRoundToTheMillisecond) {
    // 23:59:59.9996 belongs to the next day.
    const SerialTime almost = DateFromParts(2026, 12, 31) + 86399999.6 / 86400000.0;
    EXPECT_EQ(DatePartsOf(almost), (DateParts{2027, 1, 1}));
    EXPECT_EQ(TimePartsOf(almost), (TimeParts{0, 0, 0, 0}));
    EXPECT_EQ(TimePartsOf(0.4 / 86400000.0).millisecond, 0);
    EXPECT_EQ(TimePartsOf(0.6 / 86400000.0).millisecond, 1);
}

TEST(SerialTimeTest, NegativeValuesCountBackWithTheFractionsMagnitude) {
    EXPECT_EQ(TimePartsOf(-0.125), (TimeParts{3, 0, 0, 0}));
    EXPECT_EQ(TimePartsOf(-0.125), TimePartsOf(0.125));
    EXPECT_EQ(TimePartsOf(-0.25), (TimeParts{6, 0, 0, 0}));
    EXPECT_EQ(DatePartsOf(-1.25), (DateParts{1899, 12, 29}));
    EXPECT_EQ(TimePartsOf(-1.25), (TimeParts{6, 0, 0, 0}));
}

TEST(SerialTimeTest, WeekdayNumberCountsFromSunday) {
    EXPECT_EQ(WeekdayNumber(0), 7);                                 // Saturday
    EXPECT_EQ(WeekdayNumber(DateFromParts(2026, 3, 8)), 1);         // Sunday
    EXPECT_EQ(WeekdayNumber(DateFromParts(2026, 12, 7) + 0.9), 2);  // Monday evening
    EXPECT_EQ(WeekdayNumber(-1), 6);                                // Friday
}

TEST(SerialTimeTest, ToSystemTimeCarriesTheWeekdayFromZero) {
    const SerialTime value = DateFromParts(2026, 3, 8) + TimeFromParts(2, 3, 4, 5);
    const SystemTime st = ToSystemTime(value);
    EXPECT_EQ(st, (SystemTime{2026, 3, 0, 8, 2, 3, 4, 5}));
    EXPECT_DOUBLE_EQ(FromSystemTime(st), value);
}

TEST(SerialTimeTest, LocalNowReadsTheInstalledClock) {
    testing::FakeClock clock(DateFromParts(2026, 6, 1) + 0.5, 2.0 / 24);
    EXPECT_EQ(TimePartsOf(LocalNow()), (TimeParts{14, 0, 0, 0}));
}

TEST(SerialTimeTest, ValuesWithoutADateAreAConversionError) {
    EXPECT_THROW(DatePartsOf(1e300), EConvertError);
    EXPECT_THROW(TimePartsOf(std::numeric_limits<double>::quiet_NaN()), EConvertError);
}

}  // namespace
}  // namespace vintrel
