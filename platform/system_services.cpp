#include "platform/system_services.h"

#include "platform/autostart_list.h"
#include "platform/registry.h"
#include "platform/system_clock.h"
#include "platform/time_zone_source.h"
#include "platform/timing_clock.h"

namespace vintrel {

void installSystemServices() {
    installSystemClock(&realSystemClock());
    installTimingClock(&realTimingClock());
    installRegistry(&systemRegistry());
    installTimeZoneSource(&realTimeZoneSource());
    installAutoStartLists(&realAutoStartLists());
}

}  // namespace vintrel
