#include "timesync/time_correction.h"

#include <cmath>
#include <string_view>
#include <utility>

#include "settings/settings_store.h"
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

TimeCorrection::TimeCorrection(CorrectionView& view, DaytimeClient& client, HostResolver& resolver,
                               ClockSetter& clock, CorrectionOptions options)
    : view_(view),
      client_(client),
      resolver_(resolver),
      clock_(clock),
      options_(std::move(options)) {}

bool TimeCorrection::ConnectivityProbe() {
    for (const std::string& host : options_.probeHosts) {
        if (!resolver_.firstIPv4(host).empty()) return true;
    }
    return false;
}

ConnectionSettings TimeCorrection::connectionSettings() const {
    return options_.connection ? options_.connection() : StoredConnectionSettings();
}

bool TimeCorrection::CheckConnection(bool quiet) {
    if (!options_.probeConnectivity || ConnectivityProbe()) return true;
    if (!quiet) view_.showMessage(kNoConnectionText);
    return false;
}

DaytimeRequest TimeCorrection::CurrentRequest() const {
    return MakeDaytimeRequest(view_.selectedServer(), options_.port, connectionSettings(),
                              options_.agent);
}

PingOutcome TimeCorrection::PingDayTime(bool quiet) {
    // The window repaints before the blocking work.
    view_.processPendingEvents();
    if (!CheckConnection(quiet)) return {};
    DaytimeFetch fetch = client_.fetch(CurrentRequest());
    return {true, std::move(fetch.reply), std::move(fetch.failure), std::move(fetch.route)};
}

double TimeCorrection::CorrectTime() {
    const PingOutcome ping = PingDayTime(view_.silentMode());
    if (!ping.connected) {
        ReportFailure(kNoConnectionText);
        return NOT_SYNCED;
    }
    const SerialTime server = ParseDaytimeReply(ping.reply);
    // A server that does not vouch for its time is as good as no time at all.
    const NistLineStatus status = ReadNistLineStatus(ping.reply);
    if (server == 0 || !status.vouched()) {
        const std::string from = "the reply of time server " + view_.selectedServer();
        if (ping.reply.empty()) {
            ReportFailure(ping.failure);
        } else if (server == 0) {
            ReportFailure(from + " holds no usable time: " + UnusableReplyReason(ping.reply));
        } else {
            ReportFailure(from + " is not used: " + UnhealthyReason(status.health));
        }
        if (!view_.silentMode()) view_.showMessage(kUnreachableServerText);
        return NOT_SYNCED;
    }
    // No box: only a silent run is held back, and its schedule tries again as
    // after any failure.
    if (view_.silentMode() && !SilentStepAllowed(server - CurrentUtc())) return NOT_SYNCED;
    const ClockCorrection correction = ApplyServerTime(server, !view_.silentMode());
    if (!correction.clockSet) {
        ReportFailure(ClockNotSetText(correction.reason));
        if (!view_.silentMode()) view_.showMessage(ClockNotSetText(correction.reason));
        return NOT_SYNCED;
    }
    return correction.difference;
}

ClockCorrection TimeCorrection::ApplyServerTime(SerialTime server, bool interactive) {
    ClockCorrection result;
    // Both readings come before the clock moves.
    result.difference = server - CurrentUtc();
    const SystemTime utc = ToSystemTime(server);
    const SerialTime localBefore = LocalNow();
    const ClockSetResult set = clock_.setUtc(utc, interactive);
    if (!set.ok) {
        // A clock that was not set is no correction: nothing is recorded, so
        // the schedule tries again.
        result.reason = set.reason;
        return result;
    }
    result.clockSet = true;
    const std::string text = DateTimeText(localBefore);
    view_.setLastSyncTime(localBefore);
    view_.setLastPingLabel(text);
    view_.setTimer2Enabled(false);
    // Written last: should the store fail, the window already agrees with the
    // clock that was set, and the error still reaches the caller.
    WriteSetting(kSettingsKey, "LastPing", text);
    return result;
}

bool TimeCorrection::SilentStepAllowed(double difference) {
    if (std::fabs(difference) * kSecondsPerDay <= kLargeSilentStep) return true;
    if (SecondOpinionAgrees(difference)) return true;
    ReportFailure("a daily correction of more than " + IntegerText(kLargeSilentStep) +
                  " s is made only when a second server at another site agrees, and none did");
    return false;
}

bool TimeCorrection::SecondOpinionAgrees(double difference) {
    const std::string second = SecondOpinionServer(view_.selectedServer(), options_.servers);
    if (second.empty()) return false;
    const DaytimeFetch fetch = client_.fetch(
        MakeDaytimeRequest(second, options_.port, connectionSettings(), options_.agent));
    const SerialTime time = ParseDaytimeReply(fetch.reply);
    if (time == 0 || !ReadNistLineStatus(fetch.reply).vouched()) return false;
    const double disagreement = std::fabs(time - CurrentUtc() - difference) * kSecondsPerDay;
    return disagreement <= kSecondOpinionTolerance;
}

void TimeCorrection::ReportFailure(const std::string& reason) const {
    if (options_.reportFailure) options_.reportFailure(reason);
}

void TimeCorrection::DisplayDifference(double difference) {
    view_.processPendingEvents();
    view_.showMessage(DifferenceReport(difference));
}

void TimeCorrection::mnuPingClick() {
    view_.setCursor(CursorShape::Hourglass);
    try {
        view_.processPendingEvents();
        view_.setSilentMode(false);
        const double difference = CorrectTime();
        if (difference != NOT_SYNCED) DisplayDifference(difference);
    } catch (...) {
        // A settings error ends the command in the application's handler; the
        // window must not be left with the hourglass.
        view_.setCursor(CursorShape::Default);
        throw;
    }
    view_.setCursor(CursorShape::Default);
}

}  // namespace vintrel
