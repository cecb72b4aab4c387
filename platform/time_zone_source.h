#pragma once

#include <array>
#include <cstdint>

#include "platform/system_time.h"

namespace vintrel {

/// The system's time-zone record, laid out as the operating system's
/// TIME_ZONE_INFORMATION. Biases are minutes with UTC = local time + bias.
struct TimeZoneInformation {
    std::int32_t Bias = 0;
    std::array<char16_t, 32> StandardName{};  // ends at the first NUL or fills all 32
    SystemTime StandardDate;                  // when standard time begins
    std::int32_t StandardBias = 0;
    std::array<char16_t, 32> DaylightName{};
    SystemTime DaylightDate;  // when daylight time begins
    std::int32_t DaylightBias = 0;

    friend bool operator==(const TimeZoneInformation&, const TimeZoneInformation&) = default;
};

static_assert(sizeof(TimeZoneInformation) == 172, "must keep TIME_ZONE_INFORMATION's layout");

/// Result codes of a read, the operating system's values.
inline constexpr std::uint32_t kTimeZoneIdUnknown = 0;   // no change-overs
inline constexpr std::uint32_t kTimeZoneIdStandard = 1;  // standard time in force
inline constexpr std::uint32_t kTimeZoneIdDaylight = 2;  // daylight time in force
inline constexpr std::uint32_t kTimeZoneIdInvalid = 0xFFFFFFFF;

struct TimeZoneReading {
    TimeZoneInformation info;
    std::uint32_t code = kTimeZoneIdInvalid;
};

/// Where the time-zone record comes from. Core code reaches the system's zone
/// only through this, so a test can give any record and result code.
class TimeZoneSource {
public:
    virtual ~TimeZoneSource() = default;
    /// The system zone as it stands now: the record and the result code. A
    /// failed read gives kTimeZoneIdInvalid and a record of zeros.
    virtual TimeZoneReading read() const = 0;
};

/// The source in use: the operating system's, unless a test installed another.
const TimeZoneSource& timeZoneSource();

/// Makes `source` the source in use until the next call; nullptr restores the
/// operating system's. The caller keeps ownership.
void installTimeZoneSource(const TimeZoneSource* source);

/// The operating system's own source.
const TimeZoneSource& realTimeZoneSource();

}  // namespace vintrel
