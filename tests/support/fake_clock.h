#pragma once

#include "platform/system_clock.h"
#include "timesync/serial_time.h"

namespace vintrel::testing {

/// A clock that reads whatever the test set; local time is UTC plus a fixed
/// offset. Installs itself for its lifetime.
class FakeClock final : public SystemClock {
public:
    explicit FakeClock(SerialTime utc = 0, double localOffsetDays = 0);
    ~FakeClock() override;
    FakeClock(const FakeClock&) = delete;
    FakeClock& operator=(const FakeClock&) = delete;

    void setUtc(SerialTime utc) { utc_ = utc; }
    void advance(double days) { utc_ += days; }
    void setLocalOffset(double days) { offset_ = days; }
    SerialTime utc() const { return utc_; }

    SystemTime utcNow() const override;
    SystemTime localNow() const override;

private:
    SerialTime utc_;
    double offset_;
};

}  // namespace vintrel::testing
