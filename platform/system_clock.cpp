#include "platform/system_clock.h"

namespace vintrel {
namespace {
const SystemClock* g_installed = nullptr;
}

const SystemClock& systemClock() {
    return g_installed != nullptr ? *g_installed : realSystemClock();
}

void installSystemClock(const SystemClock* clock) {
    g_installed = clock;
}

}  // namespace vintrel
