#include "timezone/time_zone_report.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/support/fake_clock.h"
#include "tests/support/fake_time_zone_source.h"
#include "timesync/regional_format.h"
#include "timezone/time_zone_rows.h"

namespace vintrel {
namespace {

using Row = std::pair<std::string, std::string>;
using Fill = std::pair<TimeZoneLabel, std::string>;

struct BiasCase {
    const char* name;
    std::int32_t minutes;
    const char* text;
};

class FormatBiasTest : public ::testing::TestWithParam<BiasCase> {};

TEST_P(FormatBiasTest, WritesHoursAndMinutes) {
    EXPECT_EQ(FormatBias(GetParam().minutes), GetParam().text);
}

// A negative bias carries one sign in front; the minutes never repeat it
// (they once read "-05:-30").
INSTANTIATE_TEST_SUITE_P(
    Table, FormatBiasTest,
    ::testing::Values(BiasCase{"west_whole_hours", 300, "05:00"}, BiasCase{"greenwich", 0, "00:00"},
                      BiasCase{"east_one_hour", -60, "-01:00"},
                      BiasCase{"west_half_hour", 210, "03:30"},
                      BiasCase{"east_half_hour_one_sign", -330, "-05:30"},
                      BiasCase{"east_quarter_hour_one_sign", -345, "-05:45"},
                      BiasCase{"east_under_one_hour_keeps_sign", -30, "-00:30"},
                      BiasCase{"east_thirteen_hours", -780, "-13:00"},
                      BiasCase{"chatham_daylight", -825, "-13:45"},
                      BiasCase{"three_digit_hours_whole", 6000, "100:00"},
                      BiasCase{"most_negative", INT32_MIN, "-35791394:08"}),
    [](const auto& info) { return std::string(info.param.name); });

class RecordingView final : public TimeZoneReportView {
public:
    void setLabelText(TimeZoneLabel label, const std::string& text) override {
        fills.emplace_back(label, text);
    }
    std::vector<Fill> fills;
};

std::array<char16_t, 32> Units(std::u16string_view text) {
    std::array<char16_t, 32> units{};
    std::copy(text.begin(), text.end(), units.begin());
    return units;
}

SystemTime Rule(int month, int weekday, int day, int hour, int minute = 0) {
    SystemTime rule;
    rule.wMonth = static_cast<std::uint16_t>(month);
    rule.wDayOfWeek = static_cast<std::uint16_t>(weekday);
    rule.wDay = static_cast<std::uint16_t>(day);
    rule.wHour = static_cast<std::uint16_t>(hour);
    rule.wMinute = static_cast<std::uint16_t>(minute);
    return rule;
}

TimeZoneInformation Zone(std::int32_t bias, std::u16string_view standard, SystemTime standardDate,
                         std::u16string_view daylight, SystemTime daylightDate,
                         std::int32_t daylightBias) {
    TimeZoneInformation info;
    info.Bias = bias;
    info.StandardName = Units(standard);
    info.StandardDate = standardDate;
    info.DaylightName = Units(daylight);
    info.DaylightDate = daylightDate;
    info.DaylightBias = daylightBias;
    return info;
}

class ShowTimeZoneReportTest : public ::testing::Test {
protected:
    ShowTimeZoneReportTest() {
        RegionalSettings us;
        us.shortDatePattern = "M/d/yyyy";
        us.amText = "AM";
        us.pmText = "PM";
        SetCurrentRegionalSettings(us);
    }
    ~ShowTimeZoneReportTest() override { SetCurrentRegionalSettings(RegionalSettings{}); }

    testing::FakeClock clock_{DateFromParts(2026, 6, 15) + 0.5};
    testing::FakeTimeZoneSource source_;
    RecordingView view_;
};

TEST_F(ShowTimeZoneReportTest, FillsTheLabelsInItsOrder) {
    source_.set(Zone(300, u"Eastern Standard Time", Rule(11, 0, 1, 2), u"Eastern Daylight Time",
                     Rule(3, 0, 2, 2), -60),
                kTimeZoneIdDaylight);
    ShowTimeZoneReport(view_);
    const std::vector<Fill> expected{
        {TimeZoneLabel::lblCurrentMode, "Daylight Time"},
        {TimeZoneLabel::lblUtcBias, "05:00 hh:mm"},
        {TimeZoneLabel::lblStdName, "Eastern Standard Time"},
        {TimeZoneLabel::lblStdDate, "11/1/2026 2:00:00 AM"},
        {TimeZoneLabel::lblStdBias, "00:00 hh:mm"},
        {TimeZoneLabel::lblDLname, "Eastern Daylight Time"},
        {TimeZoneLabel::lblDlDate, "3/8/2026 2:00:00 AM"},
        {TimeZoneLabel::lblDlBias, "-01:00 hh:mm"},
    };
    EXPECT_EQ(view_.fills, expected);
}

struct ModeCase {
    const char* name;
    std::uint32_t code;
    const char* text;  // nullptr: the mode label is left alone
};

class ModeTest : public ShowTimeZoneReportTest, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(ModeTest, ModeTextOfTheResultCode) {
    source_.set({}, GetParam().code);
    ShowTimeZoneReport(view_);
    ASSERT_EQ(view_.fills.size(), GetParam().text != nullptr ? 8u : 7u);
    if (GetParam().text != nullptr) {
        EXPECT_EQ(view_.fills[0], (Fill{TimeZoneLabel::lblCurrentMode, GetParam().text}));
    } else {
        // The other labels are still rendered from the snapshot.
        EXPECT_EQ(view_.fills[0].first, TimeZoneLabel::lblUtcBias);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, ModeTest,
                         ::testing::Values(ModeCase{"unknown", 0, "Unknown"},
                                           ModeCase{"standard", 1, "Standard Time"},
                                           ModeCase{"daylight", 2, "Daylight Time"},
                                           ModeCase{"three_is_no_mode", 3, nullptr},
                                           ModeCase{"invalid", kTimeZoneIdInvalid, nullptr}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ShowTimeZoneReportTest, SouthernZoneShowsItsStandardDateFirstInTheYear) {
    source_.set(Zone(-600, u"AUS Eastern Standard Time", Rule(4, 0, 1, 3),
                     u"AUS Eastern Daylight Time", Rule(10, 0, 1, 2), -60),
                kTimeZoneIdStandard);
    const auto rows = TimeZoneReportRows();
    EXPECT_EQ(rows[2], (Row{"Standard Time Zone Date", "4/5/2026 3:00:00 AM"}));
    EXPECT_EQ(rows[5], (Row{"Daylight Time Zone Date", "10/4/2026 2:00:00 AM"}));
    EXPECT_EQ(rows[7], (Row{"Unadjusted UTC Bias", "-10:00 hh:mm"}));
}

TEST_F(ShowTimeZoneReportTest, ChangeOverAtMidnightShowsTheDateAlone) {
    source_.set(Zone(240, u"Pacific SA Standard Time", Rule(4, 0, 1, 0),
                     u"Pacific SA Daylight Time", Rule(9, 0, 1, 0), -60),
                kTimeZoneIdStandard);
    const auto rows = TimeZoneReportRows();
    EXPECT_EQ(rows[2].second, "4/5/2026");
    EXPECT_EQ(rows[5].second, "9/6/2026");
}

TEST_F(ShowTimeZoneReportTest, ZoneWithoutChangeOverShowsDayZero) {
    source_.set(Zone(-330, u"India Standard Time", {}, u"India Daylight Time", {}, 0),
                kTimeZoneIdUnknown);
    const std::vector<Row> expected{
        {"Currently in", "Unknown"},
        {"Standard Time Zone Name", "India Standard Time"},
        {"Standard Time Zone Date", "12/30/1899"},
        {"Standard Time Zone Bias", "00:00 hh:mm"},
        {"Daylight Time Zone Name", "India Daylight Time"},
        {"Daylight Time Zone Date", "12/30/1899"},
        {"Daylight Time Zone Bias", "00:00 hh:mm"},
        {"Unadjusted UTC Bias", "-05:30 hh:mm"},
    };
    EXPECT_EQ(TimeZoneReportRows(), expected);
}

TEST_F(ShowTimeZoneReportTest, FailedReadKeepsTheModeLabelsOwnName) {
    source_.set({}, kTimeZoneIdInvalid);
    const std::vector<Row> expected{
        {"Currently in", "lblCurrentMode"},
        {"Standard Time Zone Name", ""},
        {"Standard Time Zone Date", "12/30/1899"},
        {"Standard Time Zone Bias", "00:00 hh:mm"},
        {"Daylight Time Zone Name", ""},
        {"Daylight Time Zone Date", "12/30/1899"},
        {"Daylight Time Zone Bias", "00:00 hh:mm"},
        {"Unadjusted UTC Bias", "00:00 hh:mm"},
    };
    EXPECT_EQ(TimeZoneReportRows(), expected);
}

struct ErrorCase {
    const char* name;
    TimeZoneInformation info;
    const char* message;
    std::size_t fillsBefore;  // labels filled before the error stopped the sequence
};

class ConversionErrorTest : public ShowTimeZoneReportTest,
                            public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(ConversionErrorTest, EndsTheSequenceAtThatLabelAndReachesTheCaller) {
    source_.set(GetParam().info, kTimeZoneIdDaylight);
    try {
        ShowTimeZoneReport(view_);
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), GetParam().message);
    }
    EXPECT_EQ(view_.fills.size(), GetParam().fillsBefore);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ConversionErrorTest,
    ::testing::Values(ErrorCase{"standard_month_13",
                                Zone(0, u"S", Rule(13, 0, 1, 2), u"D", Rule(3, 0, 2, 2), -60),
                                "Invalid argument to date encode", 3},
                      ErrorCase{"daylight_hour_24",
                                Zone(0, u"S", Rule(11, 0, 1, 2), u"D", Rule(3, 0, 2, 24), -60),
                                "Invalid argument to time encode", 6}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ShowTimeZoneReportTest, RowsFollowTheWindowNotTheFillOrder) {
    source_.set(Zone(-60, u"W. Europe Standard Time", Rule(10, 0, 5, 3), u"W. Europe Daylight Time",
                     Rule(3, 0, 5, 2), -60),
                kTimeZoneIdDaylight);
    const std::vector<Row> expected{
        {"Currently in", "Daylight Time"},
        {"Standard Time Zone Name", "W. Europe Standard Time"},
        {"Standard Time Zone Date", "10/25/2026 3:00:00 AM"},
        {"Standard Time Zone Bias", "00:00 hh:mm"},
        {"Daylight Time Zone Name", "W. Europe Daylight Time"},
        {"Daylight Time Zone Date", "3/29/2026 2:00:00 AM"},
        {"Daylight Time Zone Bias", "-01:00 hh:mm"},
        {"Unadjusted UTC Bias", "-01:00 hh:mm"},
    };
    EXPECT_EQ(TimeZoneReportRows(), expected);
}

}  // namespace
}  // namespace vintrel
