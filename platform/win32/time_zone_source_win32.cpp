#include <windows.h>

#include <cstddef>
#include <cstring>

#include "platform/time_zone_source.h"

namespace vintrel {
namespace {

// The snapshot is the system's record itself, so it is copied as it stands.
static_assert(sizeof(TimeZoneInformation) == sizeof(TIME_ZONE_INFORMATION));
static_assert(sizeof(wchar_t) == sizeof(char16_t));
static_assert(offsetof(TimeZoneInformation, StandardName) ==
              offsetof(TIME_ZONE_INFORMATION, StandardName));
static_assert(offsetof(TimeZoneInformation, StandardDate) ==
              offsetof(TIME_ZONE_INFORMATION, StandardDate));
static_assert(offsetof(TimeZoneInformation, StandardBias) ==
              offsetof(TIME_ZONE_INFORMATION, StandardBias));
static_assert(offsetof(TimeZoneInformation, DaylightName) ==
              offsetof(TIME_ZONE_INFORMATION, DaylightName));
static_assert(offsetof(TimeZoneInformation, DaylightDate) ==
              offsetof(TIME_ZONE_INFORMATION, DaylightDate));
static_assert(offsetof(TimeZoneInformation, DaylightBias) ==
              offsetof(TIME_ZONE_INFORMATION, DaylightBias));

class Win32TimeZoneSource final : public TimeZoneSource {
public:
    TimeZoneReading read() const override {
        TIME_ZONE_INFORMATION info{};
        TimeZoneReading reading;
        reading.code = GetTimeZoneInformation(&info);
        if (reading.code == TIME_ZONE_ID_INVALID) return reading;
        std::memcpy(static_cast<void*>(&reading.info), &info, sizeof info);
        return reading;
    }
};

}  // namespace

const TimeZoneSource& realTimeZoneSource() {
    static const Win32TimeZoneSource source;
    return source;
}

}  // namespace vintrel
