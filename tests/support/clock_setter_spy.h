#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/clock_setter.h"

namespace vintrel::testing {

/// Keeps every time it is asked to set, and answers ok, or refuses with
/// `refusal` when that is not empty. Never touches the real clock.
class ClockSetterSpy final : public ClockSetter {
public:
    std::vector<SystemTime> settings;
    /// Whether each request allowed the user to be asked, in order.
    std::vector<bool> interactive;
    std::string refusal;
    /// Runs as the clock is set, e.g. to move a fake clock as the real one would move.
    std::function<void(const SystemTime&)> onSet;

    ClockSetResult setUtc(const SystemTime& utc, bool mayAsk) override {
        settings.push_back(utc);
        interactive.push_back(mayAsk);
        if (!refusal.empty()) return {false, refusal};
        if (onSet) onSet(utc);
        return {true, {}};
    }
};

}  // namespace vintrel::testing
