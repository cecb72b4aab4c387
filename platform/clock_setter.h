#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/system_time.h"

namespace vintrel {

struct ClockSetResult {
    bool ok = false;
    /// Why the clock was not set, in words a user can read; empty on success.
    std::string reason;
};

/// Sets the system clock. Tests use a recording implementation; the real one
/// must never run where it could move the machine's clock by accident.
class ClockSetter {
public:
    virtual ~ClockSetter() = default;
    /// Sets the clock to `utc`. `interactive` says that the user started
    /// this correction, so the system may ask them for the right to set it;
    /// a correction that runs by itself never brings up such a prompt.
    virtual ClockSetResult setUtc(const SystemTime& utc, bool interactive) = 0;
    /// The same without holding the caller while the system decides (a
    /// person may be asked for a password): `done` runs once, from the
    /// calling thread's event loop. This default sets before returning.
    virtual void setUtcAsync(const SystemTime& utc, bool interactive,
                             std::function<void(ClockSetResult)> done) {
        done(setUtc(utc, interactive));
    }
};

std::unique_ptr<ClockSetter> makeSystemClockSetter();

}  // namespace vintrel
