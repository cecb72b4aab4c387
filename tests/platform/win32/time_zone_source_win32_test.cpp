#include "platform/time_zone_source.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "platform/system_clock.h"
#include "timesync/serial_time.h"

namespace vintrel {
namespace {

// What Windows says of a zone: biases, rules and whether it has daylight
// time. Names are left out: they are the system's texts, not ours.
struct ZoneCase {
    const char* tz;
    std::int32_t bias;
    std::int32_t daylightBias;
    SystemTime standardDate;
    SystemTime daylightDate;
};

// Day-in-month rules: month, weekday (0 = Sunday), occurrence (5 = last), hour.
constexpr SystemTime Rule(std::uint16_t month, std::uint16_t occurrence, std::uint16_t hour) {
    return {0, month, 0, occurrence, hour, 0, 0, 0};
}

const ZoneCase kZones[] = {
    // Last Sunday of October at 03:00 and of March at 02:00.
    {"Europe/Berlin", -60, -60, Rule(10, 5, 3), Rule(3, 5, 2)},
    // First Sunday of November and second of March, both at 02:00.
    {"America/New_York", 300, -60, Rule(11, 1, 2), Rule(3, 2, 2)},
    // No daylight time: no rules, and no change-over to report.
    {"Asia/Kolkata", -330, -60, SystemTime{}, SystemTime{}},
};

// The zone this process runs in, as CTest set TZ (Wine maps it onto the
// Windows zone); nothing when the run is not one of the zone runs.
std::optional<ZoneCase> ZoneOfThisRun() {
    const char* tz = std::getenv("TZ");
    if (tz == nullptr) return std::nullopt;
    for (const ZoneCase& zone : kZones) {
        if (std::string(tz) == zone.tz) return zone;
    }
    return std::nullopt;
}

class Win32TimeZoneSourceTest : public ::testing::Test {
protected:
    void SetUp() override {
        zone_ = ZoneOfThisRun();
        if (!zone_) GTEST_SKIP() << "runs with TZ set to one of the zones of the table";
        reading_ = realTimeZoneSource().read();
    }

    std::optional<ZoneCase> zone_;
    TimeZoneReading reading_;
};

TEST_F(Win32TimeZoneSourceTest, GivesTheZonesBiases) {
    EXPECT_EQ(reading_.info.Bias, zone_->bias);
    EXPECT_EQ(reading_.info.StandardBias, 0);
    EXPECT_EQ(reading_.info.DaylightBias, zone_->daylightBias);
}

TEST_F(Win32TimeZoneSourceTest, GivesTheZonesChangeOverRules) {
    EXPECT_EQ(reading_.info.StandardDate, zone_->standardDate);
    EXPECT_EQ(reading_.info.DaylightDate, zone_->daylightDate);
}

// The code says which bias is in force, and that bias is what separates the
// local clock from UTC.
TEST_F(Win32TimeZoneSourceTest, CodeNamesTheBiasInForce) {
    const bool hasDaylightTime = zone_->daylightDate.wMonth != 0;
    if (!hasDaylightTime) {
        EXPECT_EQ(reading_.code, kTimeZoneIdUnknown);
    } else {
        EXPECT_TRUE(reading_.code == kTimeZoneIdStandard || reading_.code == kTimeZoneIdDaylight)
            << reading_.code;
    }
    const std::int32_t inForce = reading_.code == kTimeZoneIdDaylight ? reading_.info.DaylightBias
                                                                      : reading_.info.StandardBias;
    const double utc = FromSystemTime(realSystemClock().utcNow());
    const double local = FromSystemTime(realSystemClock().localNow());
    const double minutes = (utc - local) * 24 * 60;
    EXPECT_NEAR(minutes, reading_.info.Bias + inForce, 0.1);
}

}  // namespace
}  // namespace vintrel
