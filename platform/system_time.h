#pragma once

#include <cstdint>

namespace vintrel {

// The shape of the operating system's broken-down time record: what the clock
// gives, what setting the clock takes, and what a time-zone change-over rule
// looks like. Field order matters to the time-zone snapshot's layout.
struct SystemTime {
    std::uint16_t wYear = 0;
    std::uint16_t wMonth = 0;
    std::uint16_t wDayOfWeek = 0;  // 0 = Sunday
    std::uint16_t wDay = 0;
    std::uint16_t wHour = 0;
    std::uint16_t wMinute = 0;
    std::uint16_t wSecond = 0;
    std::uint16_t wMilliseconds = 0;

    friend bool operator==(const SystemTime&, const SystemTime&) = default;
};

}  // namespace vintrel
