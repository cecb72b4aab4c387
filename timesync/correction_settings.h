#pragma once

#include <string>

#include "timesync/daytime_query.h"

namespace vintrel {

/// The stored settings a correction reads and writes. The caller hands them
/// in, so that the time code knows nothing of where they are kept; every
/// member may throw the store's error.
class CorrectionSettings {
public:
    virtual ~CorrectionSettings() = default;
    /// How to reach the time server, read anew at every query.
    virtual ConnectionSettings connection() = 0;
    /// Whether Ping Now and the daily correction measure the offset to the
    /// millisecond instead of taking one whole-second reply.
    virtual bool preciseWanted() = 0;
    /// Records the local time of a successful correction, as shown.
    virtual void recordLastPing(const std::string& text) = 0;
};

}  // namespace vintrel
