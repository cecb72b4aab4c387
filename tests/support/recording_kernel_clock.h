#pragma once

#include <cstdint>
#include <vector>

#include "platform/linux/clock_setter_linux.h"

namespace vintrel::testing {

/// Answers the capability question as told and records what it was asked to
/// set; the real clock_settime is never reached.
struct RecordingKernelClock final : KernelClock {
    bool capable = false;
    int error = 0;
    std::vector<std::int64_t> requests;
    /// What the clock reads, in microseconds since 1970 UTC.
    std::int64_t now = 0;

    bool maySetClock() const override { return capable; }
    int setRealtime(std::int64_t microsecondsUtc) override {
        requests.push_back(microsecondsUtc);
        return error;
    }
    std::int64_t realtimeMicroseconds() const override { return now; }
};

}  // namespace vintrel::testing
