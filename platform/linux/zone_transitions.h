#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace vintrel {

/// The system zone at one moment, as the C library sees it.
struct ZoneState {
    long offset = 0;  // seconds east of UTC
    bool dst = false;
    std::string abbreviation;
};

/// One change of the zone's offset or DST flag.
struct ZoneTransition {
    std::time_t at = 0;  // the first second of the new state
    ZoneState before;
    ZoneState after;
};

/// The zone's state at `t` (after tzset()); nothing when the C library cannot
/// say.
std::optional<ZoneState> ZoneStateAt(std::time_t t);

/// Every change of the system zone whose wall-clock time before the change
/// falls in `year`, in order; nothing when the C library cannot say.
std::optional<std::vector<ZoneTransition>> TransitionsInYear(int year);

}  // namespace vintrel
