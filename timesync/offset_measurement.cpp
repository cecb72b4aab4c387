#include "timesync/offset_measurement.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/timing_clock.h"
#include "timesync/daytime_reply.h"

namespace vintrel {
namespace {

constexpr double kSecondsPerDay = 86400.0;
constexpr SerialTime kUnixEpoch = 25569.0;  // 1 January 1970
// Sending this much before the planned moment costs nothing worth a wait.
constexpr double kEarlyEnough = 0.001;
// A timer late by less than this still splits the offsets left in doubt.
constexpr double kLateEnough = 0.002;

double UnixSeconds(SerialTime utc) {
    // The parser yields whole seconds; rounding drops the days' binary fraction.
    return std::round((utc - kUnixEpoch) * kSecondsPerDay);
}

// The system clock minus the monotonic one. The reading between two readings
// of the monotonic clock that lie closest together pins it down best.
double AnchorOf(const TimingClock& clock) {
    double best = 0;
    double bestGap = 0;
    for (int attempt = 0; attempt < 5; ++attempt) {
        const double before = clock.monotonicSeconds();
        const double utc = clock.utcSeconds();
        const double after = clock.monotonicSeconds();
        if (attempt == 0 || after - before < bestGap) {
            bestGap = after - before;
            best = utc - (before + after) / 2;
        }
    }
    return best;
}

bool Ordered(const DaytimeTiming& t) {
    return t.firstByte > 0 && t.sent <= t.connected && t.connected <= t.firstByte;
}

}  // namespace

OffsetMeasurement::OffsetMeasurement(DaytimeClient& client, Scheduler& scheduler)
    : client_(client), scheduler_(scheduler) {}

OffsetMeasurement::~OffsetMeasurement() {
    cancel();
}

void OffsetMeasurement::start(DaytimeRequest request, MeasurementOptions options, Done done) {
    cancel();
    request_ = std::move(request);
    options_ = options;
    options_.samples = std::max(options_.samples, 1);
    done_ = std::move(done);
    estimator_ = OffsetEstimator(std::chrono::duration<double>(options_.minSpacing).count());
    result_ = {};
    result_.anchor = AnchorOf(timingClock());
    ++round_;
    running_ = true;
    planned_ = now();
    // The first query waits for the event loop: `start` returns before any
    // reply can end the measurement.
    scheduler_.callAfter(std::chrono::milliseconds(0), [this] { step(); });
}

void OffsetMeasurement::cancel() {
    if (running_) scheduler_.cancel();
    ++round_;
    running_ = false;
    done_ = nullptr;
}

double OffsetMeasurement::now() const {
    return timingClock().monotonicSeconds() + result_.anchor;
}

void OffsetMeasurement::waitUntil(double moment) {
    planned_ = moment;
    // Rounded down: waking up to a millisecond early is cheaper than late.
    const double wait = std::max(moment - now(), 0.0);
    const auto delay = std::chrono::milliseconds(static_cast<long long>(wait * 1000));
    scheduler_.callAfter(delay, [this] { step(); });
}

void OffsetMeasurement::step() {
    const double current = now();
    if (planned_ - current > kEarlyEnough) {
        waitUntil(planned_);
        return;
    }
    // A query sent late misses the moment it was aimed at; one aimed anew
    // waits for the server's next second.
    const double late = std::max(kLateEnough, estimator_.estimate().spread / 4);
    if (!estimator_.empty() && current - planned_ > late) {
        waitUntil(estimator_.nextSendTime(current));
        return;
    }
    query();
}

void OffsetMeasurement::query() {
    ++result_.queries;
    const double before = timingClock().monotonicSeconds();
    client_.fetchAsync(request_, [this, alive = std::weak_ptr<int>(alive_), round = round_,
                                  before](DaytimeFetch fetch) {
        // A measurement dropped or begun anew meanwhile takes nothing of it.
        if (alive.expired() || round != round_ || !running_) return;
        received(std::move(fetch), before, timingClock().monotonicSeconds());
    });
}

void OffsetMeasurement::received(DaytimeFetch fetch, double before, double after) {
    result_.reply = fetch.reply;
    if (fetch.reply.empty()) {
        finish(MeasurementStatus::NoReply, std::move(fetch.failure));
        return;
    }
    const SerialTime server = ParseDaytimeReply(fetch.reply);
    if (server == 0) {
        finish(MeasurementStatus::UnusableReply, {});
        return;
    }
    const NistLineStatus status = ReadNistLineStatus(fetch.reply);
    if (status.vouched()) {
        // A client that does not time its fetches is timed around the call:
        // coarser, but the server still read its clock within it.
        const DaytimeTiming timing =
            Ordered(fetch.timing) ? fetch.timing : DaytimeTiming{before, before, after};
        const double anchor = result_.anchor;
        estimator_.add({timing.sent + anchor, timing.connected + anchor, timing.firstByte + anchor,
                        UnixSeconds(server), status.advance});
        result_.advance = status.advance;
        result_.advanceRead = status.advanceRead;
    } else {
        ++result_.dropped;
        result_.health = status.health;
    }
    if (result_.queries >= options_.samples) {
        finish(estimator_.empty() ? MeasurementStatus::Unvouched : MeasurementStatus::Done, {});
        return;
    }
    waitUntil(estimator_.nextSendTime(now()));
}

void OffsetMeasurement::finish(MeasurementStatus status, std::string failure) {
    result_.status = status;
    result_.failure = std::move(failure);
    result_.estimate = estimator_.estimate();
    running_ = false;
    // `done` may start the next measurement or destroy this one.
    Done done = std::move(done_);
    done_ = nullptr;
    const MeasurementResult result = result_;
    if (done) done(result);
}

SerialTime OffsetMeasurement::ServerTimeNow(const MeasurementResult& result) {
    // Through the monotonic clock: a step the system clock took meanwhile
    // changes nothing of the server's time.
    const double client = timingClock().monotonicSeconds() + result.anchor;
    return (client + result.estimate.offset) / kSecondsPerDay + kUnixEpoch;
}

}  // namespace vintrel
