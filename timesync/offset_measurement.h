#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/daytime_client.h"
#include "platform/scheduler.h"
#include "timesync/offset_estimator.h"
#include "timesync/serial_time.h"

namespace vintrel {

struct MeasurementOptions {
    /// Queries to make; eight bring the error down to a few milliseconds.
    int samples = 8;
    /// Least time between two queries to the server.
    std::chrono::milliseconds minSpacing{4000};
};

enum class MeasurementStatus {
    Done,
    /// A query got no reply; `failure` says why.
    NoReply,
    /// A reply held no usable time.
    UnusableReply,
    /// Every reply had a health digit by which the server does not vouch for
    /// its time; `health` holds the last one.
    Unvouched,
};

struct MeasurementResult {
    MeasurementStatus status = MeasurementStatus::Done;
    /// Why a query got no reply, as the daytime client put it.
    std::string failure;
    /// The last reply received.
    std::string reply;
    /// Queries made (the failed one included), and replies dropped since their server did not vouch
    /// for them.
    int queries = 0;
    int dropped = 0;
    /// The health digit of the last reply dropped.
    int health = 0;
    /// The advance (msADV, seconds) of the last sample kept, and whether its
    /// reply carried one; each sample is corrected by its own.
    double advance = 0;
    bool advanceRead = false;
    /// Offsets relative to the system clock as it stood when the measurement began.
    OffsetEstimate estimate;
    /// The system clock (seconds since 1970) minus the monotonic clock, at that moment.
    double anchor = 0;
};

/// Measures a server's offset to the millisecond with a handful of timed
/// whole-second queries, spread over half a minute on the caller's event
/// loop, which runs on while a query waits for its reply.
class OffsetMeasurement {
public:
    using Done = std::function<void(const MeasurementResult&)>;

    OffsetMeasurement(DaytimeClient& client, Scheduler& scheduler);
    ~OffsetMeasurement();
    OffsetMeasurement(const OffsetMeasurement&) = delete;
    OffsetMeasurement& operator=(const OffsetMeasurement&) = delete;

    /// Starts measuring; the first query goes out from the event loop, and
    /// `done` runs once, from it, when the samples are in or a query failed.
    /// A measurement still running is dropped.
    void start(DaytimeRequest request, MeasurementOptions options, Done done);
    /// Drops the running measurement; its `done` never runs.
    void cancel();
    bool running() const { return running_; }

    /// The server's UTC time now by `result`, whatever steps the system clock
    /// took since the measurement began.
    static SerialTime ServerTimeNow(const MeasurementResult& result);

private:
    double now() const;
    void waitUntil(double moment);
    void step();
    void query();
    void received(DaytimeFetch fetch, double before, double after);
    void finish(MeasurementStatus status, std::string failure);

    DaytimeClient& client_;
    Scheduler& scheduler_;
    DaytimeRequest request_;
    MeasurementOptions options_;
    Done done_;
    OffsetEstimator estimator_;
    MeasurementResult result_;
    double planned_ = 0;
    bool running_ = false;
    // Tells the replies of an earlier measurement from this one's.
    std::uint64_t round_ = 0;
    // Replies that come after the measurement itself is gone find this expired.
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

}  // namespace vintrel
