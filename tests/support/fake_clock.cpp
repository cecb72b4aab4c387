#include "tests/support/fake_clock.h"

namespace vintrel::testing {

FakeClock::FakeClock(SerialTime utc, double localOffsetDays) : utc_(utc), offset_(localOffsetDays) {
    installSystemClock(this);
}

FakeClock::~FakeClock() {
    installSystemClock(nullptr);
}

SystemTime FakeClock::utcNow() const {
    return ToSystemTime(utc_);
}

SystemTime FakeClock::localNow() const {
    return ToSystemTime(utc_ + offset_);
}

}  // namespace vintrel::testing
