#include "platform/system_clock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "tests/support/fake_clock.h"
#include "timesync/serial_time.h"

namespace vintrel {
namespace {

TEST(SystemClockTest, RealClockAgreesWithTheCLibrary) {
    const std::time_t before = std::time(nullptr);
    const SerialTime utc = FromSystemTime(realSystemClock().utcNow());
    const std::time_t after = std::time(nullptr);
    const double unixDay0 = 25569.0;  // 1 January 1970
    EXPECT_GE(utc, unixDay0 + static_cast<double>(before) / 86400.0 - 1e-9);
    EXPECT_LE(utc, unixDay0 + static_cast<double>(after + 1) / 86400.0);
}

TEST(SystemClockTest, LocalTimeFollowsTheZone) {
    const char* old = std::getenv("TZ");
    const std::string saved = old != nullptr ? old : "";
    setenv("TZ", "UTC-3", 1);  // POSIX: three hours east
    const SerialTime utc = FromSystemTime(realSystemClock().utcNow());
    const SerialTime local = FromSystemTime(realSystemClock().localNow());
    if (old != nullptr) {
        setenv("TZ", saved.c_str(), 1);
    } else {
        unsetenv("TZ");
    }
    EXPECT_NEAR((local - utc) * 24, 3.0, 0.01);
}

TEST(SystemClockTest, InstalledClockWinsUntilRemoved) {
    {
        testing::FakeClock fake(DateFromParts(2001, 2, 3));
        EXPECT_EQ(systemClock().utcNow().wYear, 2001);
    }
    EXPECT_GT(systemClock().utcNow().wYear, 2020);
}

}  // namespace
}  // namespace vintrel
