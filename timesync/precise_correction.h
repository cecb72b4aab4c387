#pragma once

#include <functional>

#include "platform/daytime_client.h"
#include "platform/scheduler.h"
#include "timesync/correction_view.h"
#include "timesync/offset_measurement.h"
#include "timesync/time_correction.h"

namespace vintrel {

/// True when the stored setting "Precise" is not empty: Ping Now and the
/// daily correction then measure the offset to the millisecond instead of
/// taking one whole-second reply. Throws ERegistryException.
bool PreciseSyncWanted();

/// The clock correction by a measurement of the offset over half a minute,
/// run on the window's event loop so that the window keeps working. It ends
/// like `CorrectTime`: the same messages (unless silent), and on success the
/// same record of the correction through `TimeCorrection::ApplyServerTime`.
class PreciseCorrection {
public:
    /// Gets the difference in days, or NOT_SYNCED when no correction took place.
    using Done = std::function<void(double difference)>;

    PreciseCorrection(TimeCorrection& correction, CorrectionView& view, DaytimeClient& client,
                      Scheduler& scheduler, MeasurementOptions options = {});

    /// Starts a correction, quiet when the window's silent mode is set now.
    /// `done` runs once: from the event loop when the measurement ends, or
    /// before `start` returns when the probe fails. While a correction runs,
    /// returns false and does nothing. Throws ERegistryException from the
    /// settings store, having started nothing.
    bool start(Done done);
    bool running() const { return measurement_.running(); }
    /// Drops the running correction: nothing is set, recorded or shown.
    void cancel();

    /// The Ping Now command: the hourglass and silent mode off, then the
    /// correction; when it ends, the report of the difference and the
    /// default cursor. False, and nothing done, while a correction runs.
    bool mnuPingClick();

private:
    void finished(const MeasurementResult& result);
    double conclude(const MeasurementResult& result);

    TimeCorrection& correction_;
    CorrectionView& view_;
    MeasurementOptions options_;
    OffsetMeasurement measurement_;
    Done done_;
    bool silent_ = false;
};

}  // namespace vintrel
