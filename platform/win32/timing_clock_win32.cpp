#include <windows.h>

#include "platform/timing_clock.h"

namespace vintrel {
namespace {

// 100-ns units from 1 January 1601 (FILETIME) to 1 January 1970.
constexpr ULONGLONG kUnixEpochInFileTime = 116444736000000000ULL;

class Win32TimingClock final : public TimingClock {
public:
    Win32TimingClock() {
        LARGE_INTEGER frequency{};
        QueryPerformanceFrequency(&frequency);
        ticksPerSecond_ = static_cast<double>(frequency.QuadPart);
    }

    // The performance counter is never stepped with the system clock.
    double monotonicSeconds() const override {
        LARGE_INTEGER ticks{};
        QueryPerformanceCounter(&ticks);
        return static_cast<double>(ticks.QuadPart) / ticksPerSecond_;
    }

    // The precise reading, not GetSystemTimeAsFileTime's, which moves only
    // once per timer tick (up to 16 ms).
    double utcSeconds() const override {
        FILETIME now{};
        GetSystemTimePreciseAsFileTime(&now);
        const ULONGLONG units =
            (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
        return static_cast<double>(units - kUnixEpochInFileTime) * 1e-7;
    }

private:
    double ticksPerSecond_ = 1;
};

}  // namespace

const TimingClock& realTimingClock() {
    static const Win32TimingClock clock;
    return clock;
}

}  // namespace vintrel
