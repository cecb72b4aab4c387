#include "tests/support/recording_clock_setter.h"

#include <utility>

namespace vintrel::testing {

ClockSetResult RecordingClockSetter::setUtc(const SystemTime& utc, bool /*interactive*/) {
    requests_.push_back(utc);
    if (refusing_) return {false, reason_};
    return {true, {}};
}

void RecordingClockSetter::refuseWith(std::string reason) {
    refusing_ = true;
    reason_ = std::move(reason);
}

void RecordingClockSetter::accept() {
    refusing_ = false;
    reason_.clear();
}

}  // namespace vintrel::testing
