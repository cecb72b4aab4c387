#include "platform/system_clock.h"

#include <gtest/gtest.h>

#include <ctime>

#include "timesync/serial_time.h"

namespace vintrel {
namespace {

TEST(Win32SystemClockTest, RealClockAgreesWithTheCLibrary) {
    const std::time_t before = std::time(nullptr);
    const SerialTime utc = FromSystemTime(realSystemClock().utcNow());
    const std::time_t after = std::time(nullptr);
    const double unixDay0 = 25569.0;  // 1 January 1970
    EXPECT_GE(utc, unixDay0 + static_cast<double>(before) / 86400.0 - 1e-9);
    EXPECT_LE(utc, unixDay0 + static_cast<double>(after + 1) / 86400.0);
}

TEST(Win32SystemClockTest, WeekdayCountsFromSunday) {
    const SystemTime now = realSystemClock().utcNow();
    EXPECT_EQ(now.wDayOfWeek + 1, WeekdayNumber(FromSystemTime(now)));
}

}  // namespace
}  // namespace vintrel
