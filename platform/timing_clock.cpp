#include "platform/timing_clock.h"

namespace vintrel {
namespace {
const TimingClock* g_installed = nullptr;
}

const TimingClock& timingClock() {
    return g_installed != nullptr ? *g_installed : realTimingClock();
}

void installTimingClock(const TimingClock* clock) {
    g_installed = clock;
}

}  // namespace vintrel
