#include "platform/linux/zone_transitions.h"

namespace vintrel {
namespace {

// No zone changes its clock twice within an hour, so hourly samples see every
// change and a bisection finds its second.
constexpr std::time_t kStep = 3600;
// Local years begin up to a day away from the UTC year.
constexpr std::time_t kMargin = 2 * 86400;

bool SameClock(const ZoneState& a, const ZoneState& b) {
    return a.offset == b.offset && a.dst == b.dst;
}

std::time_t StartOfUtcYear(int year) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mday = 1;
    return timegm(&tm);
}

// The first second in (from, to] whose state differs from `from`'s; `to`'s
// state is known to differ.
std::optional<std::time_t> FirstChange(std::time_t from, std::time_t to, const ZoneState& old) {
    while (to - from > 1) {
        const std::time_t mid = from + (to - from) / 2;
        const std::optional<ZoneState> state = ZoneStateAt(mid);
        if (!state) return std::nullopt;
        (SameClock(*state, old) ? from : to) = mid;
    }
    return to;
}

int WallClockYear(std::time_t at, long offset) {
    const std::time_t wall = at + offset;
    std::tm tm{};
    gmtime_r(&wall, &tm);
    return tm.tm_year + 1900;
}

}  // namespace

std::optional<ZoneState> ZoneStateAt(std::time_t t) {
    std::tm tm{};
    if (localtime_r(&t, &tm) == nullptr) return std::nullopt;
    return ZoneState{tm.tm_gmtoff, tm.tm_isdst > 0, tm.tm_zone != nullptr ? tm.tm_zone : ""};
}

std::optional<std::vector<ZoneTransition>> TransitionsInYear(int year) {
    std::vector<ZoneTransition> found;
    const std::time_t end = StartOfUtcYear(year + 1) + kMargin;
    std::time_t t = StartOfUtcYear(year) - kMargin;
    std::optional<ZoneState> state = ZoneStateAt(t);
    while (state && t < end) {
        const std::time_t next = t + kStep;
        std::optional<ZoneState> later = ZoneStateAt(next);
        if (!later) return std::nullopt;
        if (SameClock(*later, *state)) {
            t = next;
            continue;
        }
        const std::optional<std::time_t> at = FirstChange(t, next, *state);
        std::optional<ZoneState> after = at ? ZoneStateAt(*at) : std::nullopt;
        if (!after) return std::nullopt;
        if (WallClockYear(*at, state->offset) == year) found.push_back({*at, *state, *after});
        t = *at;
        state = std::move(after);
    }
    if (!state) return std::nullopt;
    return found;
}

}  // namespace vintrel
