#include "timesync/time_correction.h"

#include <cmath>
#include <string_view>
#include <utility>

#include "timesync/daytime_reply.h"
#include "timesync/regional_format.h"
#include "timesync/text_format.h"

namespace vintrel {

namespace {

constexpr double kSecondsPerDay = 86400.0;

// The first two dot-separated parts: "129.6" of "129.6.15.28".
std::string_view Site(std::string_view address) {
    const std::size_t first = address.find('.');
    if (first == std::string_view::npos) return address;
    return address.substr(0, address.find('.', first + 1));
}

}  // namespace

std::string SecondOpinionServer(const std::string& selected,
                                const std::vector<std::string>& servers) {
    for (const std::string& server : servers) {
        if (Site(server) != Site(selected)) return server;
    }
    return {};
}

std::string ClockNotSetText(const std::string& reason) {
    if (reason.empty()) return "The system clock could not be set.";
    return "The system clock could not be set: " + reason;
}

std::string DifferenceReport(double difference) {
    const double days = std::trunc(difference);
    // The parts are magnitudes while days keeps its sign, so the total below
    // is good for the threshold only.
    const TimeParts parts = TimePartsOf(difference);
    const double total = parts.second + 60.0 * parts.minute + 3600.0 * parts.hour + 86400.0 * days;
    if (std::fabs(total) < 5) return kClockCorrectText;
    return "System Clock has been adjusted by ...\r\n\r\n" + FloatText(days) + " Days\r\n" +
           IntegerText(parts.hour) + " Hours\r\n" + IntegerText(parts.minute) + " Minutes\r\n" +
           IntegerText(parts.second) + " Seconds";
}

struct TimeCorrection::Run {
    CorrectionRequest request;
    Done done;
    CorrectionReport report;
    /// The server chosen when the correction began; every query goes there.
    std::string server;
    /// Whose correction it is: the user's ends with the report of the
    /// difference and takes the hourglass off the window.
    bool forUser = false;
    int lookUpsLeft = 0;
    bool probeSettled = false;
};

TimeCorrection::TimeCorrection(CorrectionView& view, CorrectionServices services,
                               CorrectionOptions options)
    : view_(view),
      services_(services),
      options_(std::move(options)),
      measurement_(services.client, services.spacing) {}

TimeCorrection::~TimeCorrection() {
    // The window may be going too: nothing of it is touched any more.
    if (!running_) return;
    measurement_.cancel();
    services_.probeTimer.cancel();
}

template <typename Step>
void TimeCorrection::guarded(Step&& step) {
    const std::uint64_t round = round_;
    try {
        step();
    } catch (...) {
        // Thrown by the caller's own `done` once the correction was over: theirs.
        if (!running_ || round != round_) throw;
        run_->report.error = std::current_exception();
        finish(CorrectionStatus::SettingsError);
    }
}

bool TimeCorrection::Current(const std::weak_ptr<int>& alive, std::uint64_t asked,
                             const TimeCorrection* self) {
    // The object may be gone: nothing of it is read before the token says not.
    if (alive.expired()) return false;
    return asked == self->round_ && self->running_;
}

bool TimeCorrection::start(CorrectionRequest request, Done done) {
    return begin(request, false, std::move(done));
}

bool TimeCorrection::begin(CorrectionRequest request, bool forUser, Done done) {
    if (running_) return false;
    run_ = std::make_unique<Run>();
    run_->request = request;
    run_->forUser = forUser;
    run_->done = std::move(done);
    run_->server = view_.selectedServer();
    ++round_;
    running_ = true;
    guarded([this] { probe(); });
    return true;
}

void TimeCorrection::cancel() {
    if (!running_) return;
    measurement_.cancel();
    services_.probeTimer.cancel();
    const bool forUser = run_->forUser;
    run_.reset();
    ++round_;
    running_ = false;
    if (forUser) view_.setCursor(CursorShape::Default);
}

void TimeCorrection::claimForUser() {
    if (!running_ || run_->forUser) return;
    run_->forUser = true;
    run_->request.quiet = false;
    // Someone waits for it now, and may be asked for the right to set the clock.
    run_->request.unattended = false;
    view_.setCursor(CursorShape::Hourglass);
}

void TimeCorrection::probe() {
    if (!options_.probeConnectivity) {
        query();
        return;
    }
    const std::weak_ptr<int> alive = alive_;
    const std::uint64_t asked = round_;
    run_->lookUpsLeft = static_cast<int>(options_.probeHosts.size());
    // Both names are looked up at once; the first that resolves settles it,
    // and a resolver that answers neither in time counts as no connection.
    services_.probeTimer.callAfter(options_.probeBound, [this, alive, asked] {
        if (!Current(alive, asked, this) || run_->probeSettled) return;
        run_->probeSettled = true;
        guarded(
            [this] { fail(CorrectionStatus::NoConnection, kNoConnectionText, kNoConnectionText); });
    });
    for (const std::string& host : options_.probeHosts) {
        if (!Current(alive, asked, this) || run_->probeSettled) return;
        services_.resolver.lookUpIPv4(host, [this, alive, asked](const std::string& address) {
            if (!Current(alive, asked, this) || run_->probeSettled) return;
            if (address.empty() && --run_->lookUpsLeft > 0) return;
            run_->probeSettled = true;
            services_.probeTimer.cancel();
            guarded([this, reachable = !address.empty()] {
                if (reachable) {
                    query();
                } else {
                    fail(CorrectionStatus::NoConnection, kNoConnectionText, kNoConnectionText);
                }
            });
        });
    }
}

DaytimeRequest TimeCorrection::CurrentRequest() const {
    const std::string server = running_ ? run_->server : view_.selectedServer();
    return MakeDaytimeRequest(server, options_.port, services_.settings.connection(),
                              options_.agent);
}

void TimeCorrection::query() {
    DaytimeRequest request = CurrentRequest();
    const std::weak_ptr<int> alive = alive_;
    const std::uint64_t asked = round_;
    if (run_->request.precise) {
        measurement_.start(std::move(request), options_.measurement,
                           [this, alive, asked](const MeasurementResult& result) {
                               if (!Current(alive, asked, this)) return;
                               guarded([&] { measured(result); });
                           });
        return;
    }
    services_.client.fetchAsync(request, [this, alive, asked](DaytimeFetch fetch) {
        if (!Current(alive, asked, this)) return;
        guarded([&] { fetched(std::move(fetch)); });
    });
}

void TimeCorrection::fetched(DaytimeFetch fetch) {
    CorrectionReport& report = run_->report;
    report.reply = std::move(fetch.reply);
    report.route = std::move(fetch.route);
    report.failure = std::move(fetch.failure);
    const std::string from = "the reply of time server " + run_->server;
    if (report.reply.empty()) {
        fail(CorrectionStatus::NoReply, report.failure, kUnreachableServerText);
        return;
    }
    const SerialTime server = ParseDaytimeReply(report.reply);
    if (server == 0) {
        fail(CorrectionStatus::UnusableReply,
             from + " holds no usable time: " + UnusableReplyReason(report.reply),
             kUnreachableServerText);
        return;
    }
    // A server that does not vouch for its time is as good as no time at all.
    const NistLineStatus status = ReadNistLineStatus(report.reply);
    if (!status.vouched()) {
        fail(CorrectionStatus::Unvouched, from + " is not used: " + UnhealthyReason(status.health),
             kUnreachableServerText);
        return;
    }
    report.serverUtc = server;
    // The one reply's second is set as it is.
    serverFound([server] { return server; });
}

void TimeCorrection::measured(const MeasurementResult& result) {
    CorrectionReport& report = run_->report;
    report.measurement = result;
    report.reply = result.reply;
    report.failure = result.failure;
    const std::string from = "the reply of time server " + run_->server;
    switch (result.status) {
        case MeasurementStatus::NoReply:
            fail(CorrectionStatus::NoReply, result.failure, kUnreachableServerText);
            return;
        case MeasurementStatus::UnusableReply:
            fail(CorrectionStatus::UnusableReply,
                 from + " holds no usable time: " + UnusableReplyReason(result.reply),
                 kUnreachableServerText);
            return;
        case MeasurementStatus::Unvouched:
            fail(CorrectionStatus::Unvouched,
                 "no reply of time server " + run_->server +
                     " is used: " + UnhealthyReason(result.health),
                 kUnreachableServerText);
            return;
        case MeasurementStatus::Done:
            break;
    }
    report.serverUtc = OffsetMeasurement::ServerTimeNow(result);
    // Read anew at each use: the server's time goes on while the steps wait.
    serverFound([result] { return OffsetMeasurement::ServerTimeNow(result); });
}

void TimeCorrection::serverFound(std::function<SerialTime()> serverNow) {
    const double difference = serverNow() - CurrentUtc();
    if (!run_->request.setClock) {
        run_->report.difference = difference;
        finish(CorrectionStatus::Measured);
        return;
    }
    if (run_->request.unattended && std::fabs(difference) * kSecondsPerDay > kLargeSilentStep) {
        askSecondOpinion(std::move(serverNow), difference);
        return;
    }
    apply(std::move(serverNow));
}

void TimeCorrection::askSecondOpinion(std::function<SerialTime()> serverNow, double difference) {
    const std::string second = SecondOpinionServer(run_->server, options_.servers);
    const auto heldBack = [this] {
        // No box: only an unattended run is held back, and its schedule
        // tries again as after any failure.
        fail(CorrectionStatus::HeldBack,
             "a daily correction of more than " + IntegerText(kLargeSilentStep) +
                 " s is made only when a second server at another site agrees, and none did",
             nullptr);
    };
    if (second.empty()) {
        heldBack();
        return;
    }
    const std::weak_ptr<int> alive = alive_;
    const std::uint64_t asked = round_;
    services_.client.fetchAsync(
        MakeDaytimeRequest(second, options_.port, services_.settings.connection(), options_.agent),
        [this, alive, asked, heldBack, difference,
         serverNow = std::move(serverNow)](DaytimeFetch fetch) mutable {
            if (!Current(alive, asked, this)) return;
            guarded([&] {
                const SerialTime time = ParseDaytimeReply(fetch.reply);
                const bool agrees = time != 0 && ReadNistLineStatus(fetch.reply).vouched() &&
                                    std::fabs(time - CurrentUtc() - difference) * kSecondsPerDay <=
                                        kSecondOpinionTolerance;
                if (agrees) {
                    apply(std::move(serverNow));
                } else {
                    heldBack();
                }
            });
        });
}

void TimeCorrection::apply(std::function<SerialTime()> serverNow) {
    const SerialTime server = serverNow();
    // Both readings come before the clock moves.
    run_->report.difference = server - CurrentUtc();
    const SerialTime localBefore = LocalNow();
    const std::weak_ptr<int> alive = alive_;
    const std::uint64_t asked = round_;
    services_.clock.setUtcAsync(ToSystemTime(server), !run_->request.unattended,
                                [this, alive, asked, localBefore](const ClockSetResult& set) {
                                    if (!Current(alive, asked, this)) return;
                                    guarded([&] { clockAnswered(set, localBefore); });
                                });
}

void TimeCorrection::clockAnswered(const ClockSetResult& set, SerialTime localBefore) {
    if (!set.ok) {
        // A clock that was not set is no correction: nothing is recorded, so
        // the schedule tries again.
        run_->report.clockReason = set.reason;
        const std::string text = ClockNotSetText(set.reason);
        fail(CorrectionStatus::ClockNotSet, text, text.c_str());
        return;
    }
    run_->report.clockSet = true;
    const std::string text = DateTimeText(localBefore);
    view_.setLastSyncTime(localBefore);
    view_.setLastPingLabel(text);
    view_.setTimer2Enabled(false);
    // Written last: should the store fail, the window already agrees with the
    // clock that was set, and the error still reaches the caller.
    services_.settings.recordLastPing(text);
    finish(CorrectionStatus::Corrected);
}

void TimeCorrection::fail(CorrectionStatus status, const std::string& reason, const char* boxText) {
    ReportFailure(reason);
    if (boxText != nullptr && !run_->request.quiet) {
        // The box waits for the user in a loop of its own; this correction
        // is still the one that runs until it is closed.
        view_.showMessage(boxText);
    }
    finish(status);
}

void TimeCorrection::finish(CorrectionStatus status) {
    services_.probeTimer.cancel();
    std::unique_ptr<Run> run = std::move(run_);
    ++round_;
    running_ = false;
    run->report.status = status;
    if (run->forUser) {
        if (status == CorrectionStatus::Corrected) DisplayDifference(run->report.difference);
        view_.setCursor(CursorShape::Default);
    }
    if (run->done) run->done(run->report);
}

void TimeCorrection::ReportFailure(const std::string& reason) const {
    if (options_.reportFailure) options_.reportFailure(reason);
}

void TimeCorrection::DisplayDifference(double difference) {
    view_.showMessage(DifferenceReport(difference));
}

namespace {
// The window's commands hand a settings error on to the application's
// handler once the correction is over.
TimeCorrection::Done Rethrowing(std::function<void()> then) {
    return [then = std::move(then)](const CorrectionReport& report) {
        if (then) then();
        if (report.error) std::rethrow_exception(report.error);
    };
}
}  // namespace

void TimeCorrection::mnuPingClick() {
    if (running_) {
        claimForUser();
        return;
    }
    view_.setCursor(CursorShape::Hourglass);
    CorrectionRequest request;
    try {
        request.precise = services_.settings.preciseWanted();
    } catch (...) {
        view_.setCursor(CursorShape::Default);
        throw;
    }
    begin(request, true, Rethrowing({}));
}

bool TimeCorrection::runDaily(std::function<void()> done) {
    if (running_) return false;
    CorrectionRequest request;
    request.quiet = true;
    request.unattended = true;
    request.precise = services_.settings.preciseWanted();
    return start(request, Rethrowing(std::move(done)));
}

}  // namespace vintrel
