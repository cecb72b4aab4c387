#pragma once

#include "platform/timing_clock.h"

namespace vintrel::testing {

class FakeClock;

/// Timing clocks that move only when the test moves them. Installs itself
/// for its lifetime.
class FakeTimingClock final : public TimingClock {
public:
    explicit FakeTimingClock(double utcSeconds = 1'735'689'600.0, double monotonic = 1000.0);
    ~FakeTimingClock() override;
    FakeTimingClock(const FakeTimingClock&) = delete;
    FakeTimingClock& operator=(const FakeTimingClock&) = delete;

    /// Time passes: both clocks move, and a linked system clock with them.
    void advance(double seconds);
    /// The system clock is stepped; the monotonic clock stays.
    void stepUtc(double seconds);
    /// Keeps `clock` (the system clock of the core) at this clock's UTC.
    void link(FakeClock& clock);

    double monotonicSeconds() const override { return monotonic_; }
    double utcSeconds() const override { return monotonic_ + utcMinusMonotonic_; }

private:
    void sync();

    double monotonic_;
    double utcMinusMonotonic_;
    FakeClock* linked_ = nullptr;
};

}  // namespace vintrel::testing
