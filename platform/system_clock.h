#pragma once

#include "platform/system_time.h"

namespace vintrel {

/// Reads the system clock. Core code reaches the wall clock only through this,
/// so a test can fix the time.
class SystemClock {
public:
    virtual ~SystemClock() = default;
    /// The system clock as UTC date and time, milliseconds included.
    virtual SystemTime utcNow() const = 0;
    /// The system clock as local wall-clock date and time in the system zone.
    virtual SystemTime localNow() const = 0;
};

/// The clock in use: the operating system's, unless a test installed another.
const SystemClock& systemClock();

/// Makes `clock` the clock in use until the next call; nullptr restores the
/// operating system's clock. The caller keeps ownership.
void installSystemClock(const SystemClock* clock);

/// The operating system's own clock.
const SystemClock& realSystemClock();

}  // namespace vintrel
