#include "platform/linux/time_zone_source_linux.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/fake_clock.h"
#include "timesync/regional_format.h"
#include "timezone/time_zone_rows.h"
#include "timezone/win_tz_info.h"

namespace vintrel {
namespace {

// Sets TZ for one test and puts the old value back.
class ScopedTz {
public:
    explicit ScopedTz(const char* value) {
        if (const char* old = std::getenv("TZ")) saved_ = old;
        setenv("TZ", value, 1);
        tzset();
    }
    ~ScopedTz() {
        if (saved_) {
            setenv("TZ", saved_->c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }
    ScopedTz(const ScopedTz&) = delete;
    ScopedTz& operator=(const ScopedTz&) = delete;

private:
    std::optional<std::string> saved_;
};

std::time_t UtcSeconds(int year, int month, int day, int hour = 0) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    return timegm(&tm);
}

long OffsetAt(std::time_t t) {
    std::tm tm{};
    localtime_r(&t, &tm);
    return tm.tm_gmtoff;
}

SerialTime SerialOfUtcSeconds(std::time_t t) {
    std::tm tm{};
    gmtime_r(&t, &tm);
    return DateFromParts(static_cast<std::uint16_t>(tm.tm_year + 1900),
                         static_cast<std::uint16_t>(tm.tm_mon + 1),
                         static_cast<std::uint16_t>(tm.tm_mday)) +
           TimeFromParts(static_cast<std::uint16_t>(tm.tm_hour),
                         static_cast<std::uint16_t>(tm.tm_min),
                         static_cast<std::uint16_t>(tm.tm_sec), 0);
}

// The clock changes of a year found independently of the code under test:
// every offset change of current zones falls on a quarter hour of UTC, so a
// scan of the quarter hours sees each at its own second.
struct ClockChange {
    SerialTime wallBefore;  // the clocks' reading as the change happens
    long before;
    long after;
};

std::vector<ClockChange> ClockChangesIn(int year) {
    std::vector<ClockChange> changes;
    constexpr std::time_t kQuarter = 900;
    const std::time_t end = UtcSeconds(year + 1, 1, 1) + 2 * 86400;
    long previous = OffsetAt(UtcSeconds(year, 1, 1) - 2 * 86400);
    for (std::time_t t = UtcSeconds(year, 1, 1) - 2 * 86400; t < end; t += kQuarter) {
        const long offset = OffsetAt(t);
        if (offset == previous) continue;
        EXPECT_EQ(OffsetAt(t - 1), previous) << "change off the quarter-hour grid before " << t;
        const SerialTime wall = SerialOfUtcSeconds(t + previous);
        if (DatePartsOf(wall).year == year) changes.push_back({wall, previous, offset});
        previous = offset;
    }
    return changes;
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

std::string NameOf(const std::array<char16_t, 32>& units) {
    const auto end = std::find(units.begin(), units.end(), u'\0');
    return QString::fromUtf16(units.data(), end - units.begin()).toStdString();
}

void ExpectDayInMonthForm(const SystemTime& rule) {
    EXPECT_EQ(rule.wYear, 0);
    EXPECT_GE(rule.wMonth, 1);
    EXPECT_LE(rule.wMonth, 12);
    EXPECT_LE(rule.wDayOfWeek, 6);
    EXPECT_GE(rule.wDay, 1);
    EXPECT_LE(rule.wDay, 5);
    EXPECT_LE(rule.wHour, 23);
    EXPECT_LE(rule.wMinute, 59);
}

struct ZoneCase {
    const char* name;
    const char* tz;
    std::time_t now;
    // Optional expectations beyond what the tz database says this year.
    const char* standardName = nullptr;
    const char* daylightName = nullptr;
    std::optional<SystemTime> standardDate = std::nullopt;
    std::optional<SystemTime> daylightDate = std::nullopt;
    // A short negative-DST stretch (Morocco's Ramadan) keeps the database's
    // flags: the lower offset is the "daylight" one.
    bool lowerIsDaylight = false;
};

const std::time_t kJuly2026 = UtcSeconds(2026, 7, 15, 12);
const std::time_t kJanuary2026 = UtcSeconds(2026, 1, 15, 12);

class RealZoneTest : public ::testing::TestWithParam<ZoneCase> {};

// The record agrees with the tz database's own clock changes of the year: the
// lower offset is standard time, the higher daylight time (unless the row
// says otherwise), and each rule names its change at the wall-clock time
// before it.
TEST_P(RealZoneTest, RecordMatchesTheYearsClockChanges) {
    const ZoneCase& c = GetParam();
    ScopedTz tz(c.tz);
    testing::FakeClock clock(25569.0 + static_cast<double>(c.now) / 86400.0);
    const TimeZoneReading reading = LinuxTimeZoneSource(QLocale(QStringLiteral("en_US"))).read();
    const TimeZoneInformation& info = reading.info;
    const std::vector<ClockChange> changes = ClockChangesIn(2026);
    const long nowOffset = OffsetAt(c.now);

    EXPECT_EQ(info.StandardBias, 0);
    if (changes.empty()) {
        EXPECT_EQ(reading.code, kTimeZoneIdUnknown);
        EXPECT_EQ(info.Bias, -nowOffset / 60);
        EXPECT_EQ(info.DaylightBias, 0);
        EXPECT_EQ(info.StandardDate, SystemTime{});
        EXPECT_EQ(info.DaylightDate, SystemTime{});
    } else {
        ASSERT_EQ(changes.size(), 2u);
        long standard = std::min(changes[0].before, changes[0].after);
        long daylight = std::max(changes[0].before, changes[0].after);
        if (c.lowerIsDaylight) std::swap(standard, daylight);
        EXPECT_EQ(info.Bias, -standard / 60);
        EXPECT_EQ(info.DaylightBias, -(daylight - standard) / 60);
        EXPECT_EQ(reading.code, nowOffset == daylight ? kTimeZoneIdDaylight : kTimeZoneIdStandard);
        for (const ClockChange& change : changes) {
            const SystemTime& rule =
                change.after == daylight ? info.DaylightDate : info.StandardDate;
            ExpectDayInMonthForm(rule);
            EXPECT_EQ(TransitionToDateTime(rule), change.wallBefore)
                << (change.after == daylight ? "daylight" : "standard") << " rule";
        }
    }
    if (c.standardDate) {
        EXPECT_EQ(info.StandardDate, *c.standardDate);
    }
    if (c.daylightDate) {
        EXPECT_EQ(info.DaylightDate, *c.daylightDate);
    }
    if (c.standardName) {
        EXPECT_EQ(NameOf(info.StandardName), c.standardName);
    }
    if (c.daylightName) {
        EXPECT_EQ(NameOf(info.DaylightName), c.daylightName);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, RealZoneTest,
    ::testing::Values(
        ZoneCase{"new_york_summer", "America/New_York", kJuly2026, "Eastern Standard Time",
                 "Eastern Daylight Time", Rule(11, 0, 1, 2), Rule(3, 0, 2, 2)},
        ZoneCase{"new_york_winter", "America/New_York", kJanuary2026},
        ZoneCase{"berlin_last_sundays", "Europe/Berlin", kJuly2026,
                 "Central European Standard Time", "Central European Summer Time",
                 Rule(10, 0, 5, 3), Rule(3, 0, 5, 2)},
        ZoneCase{"london", "Europe/London", kJuly2026, "Greenwich Mean Time", "British Summer Time",
                 Rule(10, 0, 5, 2), Rule(3, 0, 5, 1)},
        ZoneCase{"sydney_southern_winter", "Australia/Sydney", kJuly2026,
                 "Australian Eastern Standard Time", "Australian Eastern Daylight Time",
                 Rule(4, 0, 1, 3), Rule(10, 0, 1, 2)},
        ZoneCase{"sydney_southern_summer", "Australia/Sydney", kJanuary2026},
        ZoneCase{"kolkata_half_hour_no_dst", "Asia/Kolkata", kJuly2026, "India Standard Time"},
        ZoneCase{"tokyo_no_dst", "Asia/Tokyo", kJuly2026, "Japan Standard Time"},
        ZoneCase{"sao_paulo_dst_abolished", "America/Sao_Paulo", kJanuary2026},
        ZoneCase{"chatham_quarter_hours", "Pacific/Chatham", kJuly2026},
        ZoneCase{"santiago_midnight_changes", "America/Santiago", kJuly2026},
        ZoneCase{"tehran_dst_abolished", "Asia/Tehran", kJuly2026, "Iran Standard Time"},
        ZoneCase{"dublin_negative_dst_summer", "Europe/Dublin", kJuly2026, "Greenwich Mean Time",
                 "Irish Standard Time", Rule(10, 0, 5, 2), Rule(3, 0, 5, 1)},
        ZoneCase{"dublin_negative_dst_winter", "Europe/Dublin", kJanuary2026},
        ZoneCase{"casablanca_ramadan", "Africa/Casablanca", kJuly2026, nullptr, nullptr,
                 std::nullopt, std::nullopt, true},
        ZoneCase{"posix_rule_string", "EST5EDT,M3.2.0,M11.1.0", kJuly2026, "EST", "EDT",
                 Rule(11, 0, 1, 2), Rule(3, 0, 2, 2)},
        ZoneCase{"posix_saturday_24h_into_next_month", "XST3XDT,M10.5.6/24,M3.5.6/24", kJuly2026,
                 "XST", "XDT", Rule(3, 0, 5, 0), Rule(11, 0, 1, 0)},
        ZoneCase{"posix_fixed_offset", "<+0530>-5:30", kJuly2026, "+0530", "+0530"}),
    [](const auto& info) { return std::string(info.param.name); });

struct UnknownZoneCase {
    const char* name;
    const char* tz;
};

class UnknownZoneTest : public ::testing::TestWithParam<UnknownZoneCase> {};

// The C library would quietly run such a zone as UTC; the read says it failed.
TEST_P(UnknownZoneTest, FailsWithAZeroRecord) {
    ScopedTz tz(GetParam().tz);
    testing::FakeClock clock(25569.0 + static_cast<double>(kJuly2026) / 86400.0);
    const TimeZoneReading reading = LinuxTimeZoneSource(QLocale(QStringLiteral("en_US"))).read();
    EXPECT_EQ(reading.code, kTimeZoneIdInvalid);
    EXPECT_EQ(reading.info, TimeZoneInformation{});
}

INSTANTIATE_TEST_SUITE_P(Table, UnknownZoneTest,
                         ::testing::Values(UnknownZoneCase{"no_such_zone_file", "Nowhere/Atlantis"},
                                           UnknownZoneCase{"colon_makes_a_rule_string_a_file",
                                                           ":EST5EDT,M3.2.0,M11.1.0"},
                                           UnknownZoneCase{"name_without_offset", "JUNK"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RealZoneReportTest, RendersBerlinAsTheWindowShowsIt) {
    ScopedTz tz("Europe/Berlin");
    testing::FakeClock clock(25569.0 + static_cast<double>(kJuly2026) / 86400.0);
    const LinuxTimeZoneSource source(QLocale(QStringLiteral("en_US")));
    struct Installed {
        explicit Installed(const TimeZoneSource& s) { installTimeZoneSource(&s); }
        ~Installed() {
            installTimeZoneSource(nullptr);
            SetCurrentRegionalSettings(RegionalSettings{});
        }
    } installed(source);
    RegionalSettings settings;
    settings.shortDatePattern = "M/d/yyyy";
    settings.amText = "AM";
    settings.pmText = "PM";
    SetCurrentRegionalSettings(settings);
    const auto rows = TimeZoneReportRows();
    const std::vector<std::pair<std::string, std::string>> expected{
        {"Currently in", "Daylight Time"},
        {"Standard Time Zone Name", "Central European Standard Time"},
        {"Standard Time Zone Date", "10/25/2026 3:00:00 AM"},
        {"Standard Time Zone Bias", "00:00 hh:mm"},
        {"Daylight Time Zone Name", "Central European Summer Time"},
        {"Daylight Time Zone Date", "3/29/2026 2:00:00 AM"},
        {"Daylight Time Zone Bias", "-01:00 hh:mm"},
        {"Unadjusted UTC Bias", "-01:00 hh:mm"},
    };
    EXPECT_EQ(rows, expected);
}

}  // namespace
}  // namespace vintrel
