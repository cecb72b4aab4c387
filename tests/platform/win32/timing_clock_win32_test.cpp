#include "platform/timing_clock.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/system_clock.h"
#include "timesync/serial_time.h"

namespace vintrel {
namespace {

TEST(Win32TimingClockTest, UtcAgreesWithTheSystemClock) {
    const double unixDay0 = 25569.0;  // 1 January 1970
    const double before = (FromSystemTime(realSystemClock().utcNow()) - unixDay0) * 86400;
    const double utc = realTimingClock().utcSeconds();
    const double after = (FromSystemTime(realSystemClock().utcNow()) - unixDay0) * 86400;
    // The system clock's record holds milliseconds only.
    EXPECT_GE(utc, before - 0.001);
    EXPECT_LE(utc, after + 0.001);
}

// Finer than the timer tick (up to 16 ms) that the coarse reading moves by.
// The smallest of several steps, so that being preempted once changes nothing.
TEST(Win32TimingClockTest, UtcMovesFinerThanATimerTick) {
    double smallest = 1;
    for (int step = 0; step < 20; ++step) {
        const double first = realTimingClock().utcSeconds();
        double next = first;
        for (int i = 0; i < 1000000 && next == first; ++i) next = realTimingClock().utcSeconds();
        if (next > first) smallest = std::min(smallest, next - first);
    }
    EXPECT_LT(smallest, 0.001);
}

TEST(Win32TimingClockTest, MonotonicNeverGoesBack) {
    double last = realTimingClock().monotonicSeconds();
    for (int i = 0; i < 1000; ++i) {
        const double now = realTimingClock().monotonicSeconds();
        EXPECT_GE(now, last);
        last = now;
    }
}

}  // namespace
}  // namespace vintrel
