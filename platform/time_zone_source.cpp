#include "platform/time_zone_source.h"

namespace vintrel {
namespace {
const TimeZoneSource* g_installed = nullptr;
}

const TimeZoneSource& timeZoneSource() {
    return g_installed != nullptr ? *g_installed : realTimeZoneSource();
}

void installTimeZoneSource(const TimeZoneSource* source) {
    g_installed = source;
}

}  // namespace vintrel
