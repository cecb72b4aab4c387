#include "tools/sync_command.h"

#include <cstdio>
#include <exception>
#include <ostream>
#include <thread>
#include <utility>

#include "settings/settings_store.h"
#include "timesync/daytime_reply.h"
#include "timesync/offset_measurement.h"
#include "timesync/plain_correction_view.h"
#include "timesync/time_correction.h"

namespace vintrel {
namespace {

constexpr double kSecondsPerDay = 86400.0;

std::ostream& Complain(std::ostream& err) {
    return err << kSyncProgram << ": ";
}

CorrectionOptions OptionsFor(const SyncArguments& arguments, const SyncServices& services) {
    CorrectionOptions options;
    options.agent = services.agent;
    options.port = arguments.port;
    options.probeConnectivity = arguments.probe;
    if (arguments.connection) {
        options.connection = [connection = *arguments.connection] { return connection; };
    }
    return options;
}

// Notes whether the clock was set, so that a settings error that comes after
// is not taken for a correction that failed.
class NotingClockSetter final : public ClockSetter {
public:
    explicit NotingClockSetter(ClockSetter& clock) : clock_(clock) {}
    ClockSetResult setUtc(const SystemTime& utc, bool interactive) override {
        ClockSetResult result = clock_.setUtc(utc, interactive);
        set_ = set_ || result.ok;
        return result;
    }
    bool set() const { return set_; }

private:
    ClockSetter& clock_;
    bool set_ = false;
};

int SetClock(TimeCorrection& correction, const NotingClockSetter& clock, SerialTime serverUtc,
             std::ostream& out, std::ostream& err) {
    ClockCorrection corrected;
    const double differenceBefore = serverUtc - CurrentUtc();
    try {
        // Someone ran the command, so the system may ask them for the right.
        corrected = correction.ApplyServerTime(serverUtc, /*interactive=*/true);
    } catch (const std::exception& error) {
        if (!clock.set()) throw;
        // The clock is right; only the record of it is missing.
        out << "offset: " << OffsetText(differenceBefore) << "\nclock: set\n";
        Complain(err) << "warning: the clock was set, but \"LastPing\" could not be written: "
                      << error.what() << '\n';
        return kSyncSuccess;
    }
    out << "offset: " << OffsetText(corrected.difference) << '\n';
    if (!corrected.clockSet) {
        Complain(err) << ClockNotSetText(corrected.reason) << '\n';
        return kSyncClockNotSet;
    }
    out << "clock: set\n";
    return kSyncSuccess;
}

MeasurementResult Measure(const SyncArguments& arguments, const SyncServices& services,
                          const DaytimeRequest& request) {
    SleepingScheduler::Sleep sleep = services.sleep;
    if (!sleep) sleep = [](std::chrono::milliseconds delay) { std::this_thread::sleep_for(delay); };
    SleepingScheduler scheduler(std::move(sleep));
    OffsetMeasurement measurement(services.client, scheduler);
    MeasurementOptions options;
    options.samples = arguments.samples.value_or(options.samples);
    options.minSpacing = arguments.minSpacing.value_or(options.minSpacing);
    MeasurementResult result;
    measurement.start(request, options, [&result](const MeasurementResult& r) { result = r; });
    scheduler.run();
    return result;
}

int SyncPrecisely(const SyncArguments& arguments, const SyncServices& services,
                  TimeCorrection& correction, const NotingClockSetter& clock,
                  const std::string& server, std::ostream& out, std::ostream& err) {
    if (!correction.CheckConnection(/*quiet=*/true)) {
        Complain(err) << kNoConnectionText << '\n';
        return kSyncNoConnection;
    }
    const MeasurementResult result = Measure(arguments, services, correction.CurrentRequest());
    const std::string which = " (query " + std::to_string(result.queries) + ")";
    switch (result.status) {
        case MeasurementStatus::NoReply:
            Complain(err) << "no reply from time server " << server << which << ": "
                          << (result.failure.empty() ? "it sent nothing" : result.failure) << '\n';
            return kSyncServerUnusable;
        case MeasurementStatus::UnusableReply:
            Complain(err) << "the reply of time server " << server << which
                          << " holds no usable time: " << UnusableReplyReason(result.reply) << ": "
                          << EscapedReply(result.reply) << '\n';
            return kSyncServerUnusable;
        case MeasurementStatus::Unvouched:
            Complain(err) << "no reply of time server " << server
                          << " is used: " << UnhealthyReason(result.health) << '\n';
            return kSyncServerUnusable;
        case MeasurementStatus::Done:
            break;
    }
    out << EstimateText(result.estimate) << AdvanceText(result);
    if (!arguments.setClock) return kSyncSuccess;
    return SetClock(correction, clock, OffsetMeasurement::ServerTimeNow(result), out, err);
}

int Sync(const SyncArguments& arguments, const SyncServices& services, std::ostream& out,
         std::ostream& err) {
    const std::string server = arguments.server
                                   ? *arguments.server
                                   : ReadSetting(kSettingsKey, "ipAddress", kDefaultTimeServer);
    PlainCorrectionView view(server);
    view.setSilentMode(true);
    NotingClockSetter clock(services.clock);
    TimeCorrection correction(view, services.client, services.resolver, clock,
                              OptionsFor(arguments, services));
    if (arguments.precise) {
        return SyncPrecisely(arguments, services, correction, clock, server, out, err);
    }

    const PingOutcome ping = correction.PingDayTime(/*quiet=*/true);
    if (!ping.connected) {
        Complain(err) << kNoConnectionText << '\n';
        return kSyncNoConnection;
    }
    if (ping.reply.empty()) {
        if (!ping.route.empty()) out << "route: " << ping.route << '\n';
        Complain(err) << "no reply from time server " << server << ": "
                      << (ping.failure.empty() ? "it sent nothing" : ping.failure) << '\n';
        return kSyncServerUnusable;
    }
    if (!ping.route.empty()) out << "route: " << ping.route << '\n';
    out << "reply: " << EscapedReply(ping.reply) << '\n';
    const SerialTime serverUtc = ParseDaytimeReply(ping.reply);
    if (serverUtc == 0) {
        Complain(err) << "the reply of time server " << server
                      << " holds no usable time: " << UnusableReplyReason(ping.reply) << '\n';
        return kSyncServerUnusable;
    }
    if (const NistLineStatus status = ReadNistLineStatus(ping.reply); !status.vouched()) {
        Complain(err) << "the reply of time server " << server
                      << " is not used: " << UnhealthyReason(status.health) << '\n';
        return kSyncServerUnusable;
    }
    out << "server UTC: " << UtcText(serverUtc) << '\n';
    if (!arguments.setClock) {
        out << "offset: " << OffsetText(serverUtc - CurrentUtc()) << '\n';
        return kSyncSuccess;
    }
    return SetClock(correction, clock, serverUtc, out, err);
}

}  // namespace

int RunSync(const SyncArguments& arguments, const SyncServices& services, std::ostream& out,
            std::ostream& err) {
    try {
        return Sync(arguments, services, out, err);
    } catch (const std::exception& error) {
        // A settings store that cannot be read or written.
        Complain(err) << error.what() << '\n';
        return kSyncUsageError;
    }
}

std::string EscapedReply(std::string_view reply) {
    std::string text;
    for (const char c : reply) {
        switch (c) {
            case '\n':
                text += "\\n";
                break;
            case '\r':
                text += "\\r";
                break;
            case '\t':
                text += "\\t";
                break;
            case '\0':
                text += "\\0";
                break;
            case '\\':
                text += "\\\\";
                break;
            default:
                if (c >= 0x20 && c < 0x7f) {
                    text += c;
                } else {
                    char hex[5];
                    std::snprintf(hex, sizeof hex, "\\x%02x", static_cast<unsigned char>(c));
                    text += hex;
                }
        }
    }
    return text;
}

std::string UtcText(SerialTime utc) {
    const DateParts date = DatePartsOf(utc);
    const TimeParts time = TimePartsOf(utc);
    char text[64];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", unsigned{date.year},
                  unsigned{date.month}, unsigned{date.day}, unsigned{time.hour},
                  unsigned{time.minute}, unsigned{time.second});
    return text;
}

std::string OffsetText(double days) {
    char text[48];
    std::snprintf(text, sizeof text, "%+.3f s", days * kSecondsPerDay);
    return text;
}

std::string AdvanceText(const MeasurementResult& result) {
    char text[160];
    if (result.advanceRead) {
        std::snprintf(text, sizeof text, "advance: %.1f ms (the replies' msADV)\n",
                      result.advance * 1000);
    } else {
        std::snprintf(text, sizeof text, "advance: 0.0 ms (no readable msADV in the replies)\n");
    }
    std::string lines = text;
    if (result.dropped > 0) {
        lines += "dropped: " + std::to_string(result.dropped) + " of " +
                 std::to_string(result.queries) + " replies, " + UnhealthyReason(result.health) +
                 "\n";
    }
    return lines;
}

std::string EstimateText(const OffsetEstimate& estimate) {
    char text[160];
    std::string lines = "samples: " + std::to_string(estimate.samples) + "\n";
    std::snprintf(text, sizeof text, "estimate: %+.6f s\n", estimate.offset);
    lines += text;
    if (estimate.consistent) {
        std::snprintf(text, sizeof text, "bracket: %+.6f s to %+.6f s (width %.3f ms)\n",
                      estimate.certified.lower, estimate.certified.upper,
                      estimate.certified.width() * 1000);
    } else {
        std::snprintf(text, sizeof text,
                      "bracket: none, the server's replies contradict each other\n");
    }
    return lines + text;
}

}  // namespace vintrel
