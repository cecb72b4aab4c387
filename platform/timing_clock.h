#pragma once

namespace vintrel {

/// The clocks a timed query reads: one that is never stepped, to time the
/// query, and the system clock read finely, to tie those times to UTC.
class TimingClock {
public:
    virtual ~TimingClock() = default;
    /// Seconds of a clock that is only ever slewed, never stepped, from an
    /// arbitrary origin.
    virtual double monotonicSeconds() const = 0;
    /// Seconds since 1 January 1970 00:00 UTC on the system clock, finer than
    /// a millisecond.
    virtual double utcSeconds() const = 0;
};

/// The clock in use: the operating system's, unless a test installed another.
const TimingClock& timingClock();

/// Makes `clock` the clock in use until the next call; nullptr restores the
/// operating system's clock. The caller keeps ownership.
void installTimingClock(const TimingClock* clock);

/// The operating system's own clocks.
const TimingClock& realTimingClock();

}  // namespace vintrel
