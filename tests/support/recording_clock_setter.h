#pragma once

#include <string>
#include <vector>

#include "platform/clock_setter.h"

namespace vintrel::testing {

/// Stands in for the system clock setter: records every time it is asked to
/// set and answers as the test told it, never touching the real clock.
class RecordingClockSetter final : public ClockSetter {
public:
    ClockSetResult setUtc(const SystemTime& utc, bool interactive) override;

    /// From now on every request is recorded and refused with `reason`.
    void refuseWith(std::string reason);
    /// From now on every request is recorded and accepted (the start state).
    void accept();

    const std::vector<SystemTime>& requests() const { return requests_; }

private:
    std::vector<SystemTime> requests_;
    bool refusing_ = false;
    std::string reason_;
};

}  // namespace vintrel::testing
