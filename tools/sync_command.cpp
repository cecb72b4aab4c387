#include "tools/sync_command.h"

#include <cstdio>
#include <exception>
#include <functional>
#include <optional>
#include <ostream>
#include <thread>
#include <utility>

#include "settings/settings_store.h"
#include "settings/stored_correction_settings.h"
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
    options.measurement.samples = arguments.samples.value_or(options.measurement.samples);
    options.measurement.minSpacing = arguments.minSpacing.value_or(options.measurement.minSpacing);
    return options;
}

// Without an event loop of the caller's, the waits of a measurement are slept
// through; everything else answers at once.
struct SleepingLoop {
    explicit SleepingLoop(const SyncServices& services)
        : probeTimer(Sleeper(services)), spacing(Sleeper(services)) {}

    static SleepingScheduler::Sleep Sleeper(const SyncServices& services) {
        if (services.sleep) return services.sleep;
        return [](std::chrono::milliseconds delay) { std::this_thread::sleep_for(delay); };
    }

    void runUntil(const std::function<bool()>& finished) {
        while (!finished()) {
            if (!spacing.runOne() && !probeTimer.runOne()) return;
        }
    }

    SleepingScheduler probeTimer;
    SleepingScheduler spacing;
};

int ServerUnusable(const CorrectionReport& report, const SyncArguments& arguments,
                   const std::string& server, std::ostream& out, std::ostream& err) {
    const MeasurementResult& measured = report.measurement;
    const std::string which =
        arguments.precise ? " (query " + std::to_string(measured.queries) + ")" : "";
    switch (report.status) {
        case CorrectionStatus::NoReply:
            if (!report.route.empty()) out << "route: " << report.route << '\n';
            Complain(err) << "no reply from time server " << server << which << ": "
                          << (report.failure.empty() ? "it sent nothing" : report.failure) << '\n';
            break;
        case CorrectionStatus::UnusableReply:
            Complain(err) << "the reply of time server " << server << which
                          << " holds no usable time: " << UnusableReplyReason(report.reply);
            if (arguments.precise) err << ": " << EscapedReply(report.reply);
            err << '\n';
            break;
        default:
            if (arguments.precise) {
                Complain(err) << "no reply of time server " << server
                              << " is used: " << UnhealthyReason(measured.health) << '\n';
            } else {
                Complain(err) << "the reply of time server " << server << " is not used: "
                              << UnhealthyReason(ReadNistLineStatus(report.reply).health) << '\n';
            }
            break;
    }
    return kSyncServerUnusable;
}

// What the query found, before the clock is set.
void PrintFindings(const CorrectionReport& report, const SyncArguments& arguments,
                   std::ostream& out) {
    if (arguments.precise) {
        out << EstimateText(report.measurement.estimate) << AdvanceText(report.measurement);
        return;
    }
    if (!report.route.empty()) out << "route: " << report.route << '\n';
    out << "reply: " << EscapedReply(report.reply) << '\n';
    out << "server UTC: " << UtcText(report.serverUtc) << '\n';
}

int Outcome(const CorrectionReport& report, const SyncArguments& arguments,
            const std::string& server, std::ostream& out, std::ostream& err) {
    switch (report.status) {
        case CorrectionStatus::NoConnection:
            Complain(err) << kNoConnectionText << '\n';
            return kSyncNoConnection;
        case CorrectionStatus::NoReply:
        case CorrectionStatus::UnusableReply:
        case CorrectionStatus::Unvouched:
            if (!arguments.precise && report.status != CorrectionStatus::NoReply) {
                if (!report.route.empty()) out << "route: " << report.route << '\n';
                out << "reply: " << EscapedReply(report.reply) << '\n';
            }
            return ServerUnusable(report, arguments, server, out, err);
        case CorrectionStatus::Measured:
            PrintFindings(report, arguments, out);
            if (!arguments.precise) out << "offset: " << OffsetText(report.difference) << '\n';
            return kSyncSuccess;
        case CorrectionStatus::ClockNotSet:
            PrintFindings(report, arguments, out);
            out << "offset: " << OffsetText(report.difference) << '\n';
            Complain(err) << ClockNotSetText(report.clockReason) << '\n';
            return kSyncClockNotSet;
        case CorrectionStatus::Corrected:
            PrintFindings(report, arguments, out);
            out << "offset: " << OffsetText(report.difference) << "\nclock: set\n";
            return kSyncSuccess;
        case CorrectionStatus::HeldBack:
            // Only an unattended correction is held back; this one is not.
            Complain(err) << "the correction was held back\n";
            return kSyncClockNotSet;
        case CorrectionStatus::SettingsError:
            break;
    }
    if (!report.clockSet) std::rethrow_exception(report.error);
    // The clock is right; only the record of it is missing.
    PrintFindings(report, arguments, out);
    out << "offset: " << OffsetText(report.difference) << "\nclock: set\n";
    try {
        std::rethrow_exception(report.error);
    } catch (const std::exception& error) {
        Complain(err) << "warning: the clock was set, but \"LastPing\" could not be written: "
                      << error.what() << '\n';
    }
    return kSyncSuccess;
}

int Sync(const SyncArguments& arguments, const SyncServices& services, std::ostream& out,
         std::ostream& err) {
    const std::string server = arguments.server
                                   ? *arguments.server
                                   : ReadSetting(kSettingsKey, "ipAddress", kDefaultTimeServer);
    PlainCorrectionView view(server);
    StoredCorrectionSettings settings(arguments.connection);
    SleepingLoop sleeping(services);
    const bool ownLoop = services.runUntil != nullptr;
    TimeCorrection correction(view,
                              {services.client, services.resolver, services.clock, settings,
                               ownLoop ? *services.probeTimer : sleeping.probeTimer,
                               ownLoop ? *services.spacing : sleeping.spacing},
                              OptionsFor(arguments, services));
    CorrectionRequest request;
    // No boxes, but someone ran the command: the system may ask them for
    // the right to set the clock, and a large step needs no second opinion.
    request.quiet = true;
    request.precise = arguments.precise;
    request.setClock = arguments.setClock;
    std::optional<CorrectionReport> report;
    correction.start(request, [&report](const CorrectionReport& r) { report = r; });
    const auto finished = [&report] { return report.has_value(); };
    if (ownLoop) {
        services.runUntil(finished);
    } else {
        sleeping.runUntil(finished);
    }
    if (!report) {
        Complain(err) << "the correction did not come to an end\n";
        return kSyncServerUnusable;
    }
    return Outcome(*report, arguments, server, out, err);
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
