#include "timesync/time_correction.h"

#include <cmath>
#include <utility>

#include "settings/settings_store.h"
#include "timesync/daytime_reply.h"
#include "timesync/regional_format.h"
#include "timesync/text_format.h"

namespace vintrel {

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
    return {true, std::move(fetch.reply), std::move(fetch.failure)};
}

double TimeCorrection::CorrectTime() {
    const PingOutcome ping = PingDayTime(view_.silentMode());
    if (!ping.connected) return NOT_SYNCED;
    const SerialTime server = ParseDaytimeReply(ping.reply);
    if (server == 0) {
        if (!view_.silentMode()) view_.showMessage(kUnreachableServerText);
        return NOT_SYNCED;
    }
    const ClockCorrection correction = ApplyServerTime(server, !view_.silentMode());
    if (!correction.clockSet) {
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
