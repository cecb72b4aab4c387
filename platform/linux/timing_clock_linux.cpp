#include <ctime>

#include "platform/timing_clock.h"

namespace vintrel {
namespace {

double Seconds(clockid_t id) {
    timespec ts{};
    clock_gettime(id, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

class LinuxTimingClock final : public TimingClock {
public:
    // CLOCK_MONOTONIC follows the slewing of the system clock but none of its
    // steps, so a query timed with it keeps the system clock's rate.
    double monotonicSeconds() const override { return Seconds(CLOCK_MONOTONIC); }
    double utcSeconds() const override { return Seconds(CLOCK_REALTIME); }
};

}  // namespace

const TimingClock& realTimingClock() {
    static const LinuxTimingClock clock;
    return clock;
}

}  // namespace vintrel
