#include "timesync/precise_correction.h"

#include <utility>

#include "settings/settings_store.h"
#include "timesync/daytime_reply.h"

namespace vintrel {

bool PreciseSyncWanted() {
    return !ReadSetting(kSettingsKey, "Precise", "").empty();
}

PreciseCorrection::PreciseCorrection(TimeCorrection& correction, CorrectionView& view,
                                     DaytimeClient& client, Scheduler& scheduler,
                                     MeasurementOptions options)
    : correction_(correction), view_(view), options_(options), measurement_(client, scheduler) {}

bool PreciseCorrection::start(Done done) {
    if (running()) return false;
    // Read once: the window's flag may change while the measurement runs.
    silent_ = view_.silentMode();
    view_.processPendingEvents();
    if (!correction_.CheckConnection(silent_)) {
        correction_.ReportFailure(kNoConnectionText);
        if (done) done(NOT_SYNCED);
        return true;
    }
    // Every query of one measurement goes to the same server the same way.
    DaytimeRequest request = correction_.CurrentRequest();
    done_ = std::move(done);
    measurement_.start(std::move(request), options_,
                       [this](const MeasurementResult& result) { finished(result); });
    return true;
}

void PreciseCorrection::cancel() {
    measurement_.cancel();
    done_ = nullptr;
}

void PreciseCorrection::finished(const MeasurementResult& result) {
    Done done = std::move(done_);
    done_ = nullptr;
    double difference = NOT_SYNCED;
    try {
        difference = conclude(result);
    } catch (...) {
        // A settings error goes on to the application's handler, but the
        // caller still learns that the correction is over.
        if (done) done(NOT_SYNCED);
        throw;
    }
    if (done) done(difference);
}

double PreciseCorrection::conclude(const MeasurementResult& result) {
    if (result.status != MeasurementStatus::Done) {
        correction_.ReportFailure(
            result.status == MeasurementStatus::NoReply
                ? result.failure
                : "the reply of time server " + view_.selectedServer() +
                      " holds no usable time: " + UnusableReplyReason(result.reply));
        if (!silent_) view_.showMessage(kUnreachableServerText);
        return NOT_SYNCED;
    }
    const SerialTime server = OffsetMeasurement::ServerTimeNow(result);
    if (silent_ && !correction_.SilentStepAllowed(server - CurrentUtc())) return NOT_SYNCED;
    const ClockCorrection correction = correction_.ApplyServerTime(server, !silent_);
    if (!correction.clockSet) {
        correction_.ReportFailure(ClockNotSetText(correction.reason));
        if (!silent_) view_.showMessage(ClockNotSetText(correction.reason));
        return NOT_SYNCED;
    }
    return correction.difference;
}

bool PreciseCorrection::mnuPingClick() {
    if (running()) return false;
    view_.setCursor(CursorShape::Hourglass);
    try {
        view_.processPendingEvents();
        view_.setSilentMode(false);
        start([this](double difference) {
            if (difference != NOT_SYNCED) correction_.DisplayDifference(difference);
            view_.setCursor(CursorShape::Default);
        });
    } catch (...) {
        view_.setCursor(CursorShape::Default);
        throw;
    }
    return true;
}

}  // namespace vintrel
