#pragma once

#include <cstdint>
#include <optional>

#include "platform/clock_setter.h"

namespace vintrel {

/// The kernel's part in setting the clock, kept apart so that tests record
/// the request instead of moving the machine's clock.
class KernelClock {
public:
    virtual ~KernelClock() = default;
    /// Whether this process may set the clock itself (CAP_SYS_TIME effective).
    virtual bool maySetClock() const = 0;
    /// Sets CLOCK_REALTIME; returns 0, or the errno of the failure.
    virtual int setRealtime(std::int64_t microsecondsUtc) = 0;
    /// CLOCK_REALTIME now, in microseconds since 1970 UTC.
    virtual std::int64_t realtimeMicroseconds() const = 0;
};

/// Sets the clock through the kernel when the process holds the right to,
/// otherwise asks systemd-timedated on the system bus to step it.
class LinuxClockSetter final : public ClockSetter {
public:
    explicit LinuxClockSetter(KernelClock& kernel);
    ClockSetResult setUtc(const SystemTime& utc, bool interactive) override;
    void setUtcAsync(const SystemTime& utc, bool interactive,
                     std::function<void(ClockSetResult)> done) override;

private:
    // The outcome when the kernel settles it (or the time names no moment);
    // nothing when timedated must be asked, with `micros` the target.
    std::optional<ClockSetResult> setByKernel(const SystemTime& utc, std::int64_t& micros);

    KernelClock& kernel_;
};

/// Microseconds since 1970-01-01 00:00 UTC; nothing for fields that name no
/// real date and time, or a moment before 1970. The weekday is ignored.
std::optional<std::int64_t> microsecondsSinceEpoch(const SystemTime& utc);

/// Whether `capability` (a CAP_* number) is in this process's effective set.
bool hasEffectiveCapability(int capability);

}  // namespace vintrel
