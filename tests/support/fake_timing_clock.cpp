#include "tests/support/fake_timing_clock.h"

#include "tests/support/fake_clock.h"

namespace vintrel::testing {

FakeTimingClock::FakeTimingClock(double utcSeconds, double monotonic)
    : monotonic_(monotonic), utcMinusMonotonic_(utcSeconds - monotonic) {
    installTimingClock(this);
}

FakeTimingClock::~FakeTimingClock() {
    installTimingClock(nullptr);
}

void FakeTimingClock::advance(double seconds) {
    monotonic_ += seconds;
    sync();
}

void FakeTimingClock::stepUtc(double seconds) {
    utcMinusMonotonic_ += seconds;
    sync();
}

void FakeTimingClock::link(FakeClock& clock) {
    linked_ = &clock;
    sync();
}

void FakeTimingClock::sync() {
    if (linked_ != nullptr) linked_->setUtc(utcSeconds() / 86400 + 25569);
}

}  // namespace vintrel::testing
