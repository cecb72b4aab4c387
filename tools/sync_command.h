#pragma once

#include <chrono>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>

#include "platform/clock_setter.h"
#include "platform/daytime_client.h"
#include "platform/host_resolver.h"
#include "platform/scheduler.h"
#include "timesync/offset_estimator.h"
#include "timesync/offset_measurement.h"
#include "timesync/serial_time.h"
#include "tools/sync_arguments.h"

namespace vintrel {

inline constexpr const char* kSyncProgram = "vintrel-sync";

/// The fourth server of the Time Servers menu, the one used when none is stored.
inline constexpr const char* kDefaultTimeServer = "129.6.15.27";

enum SyncExit : int {
    kSyncSuccess = 0,
    kSyncUsageError = 1,
    kSyncNoConnection = 2,
    kSyncServerUnusable = 3,
    kSyncClockNotSet = 4,
};

struct SyncServices {
    DaytimeClient& client;
    HostResolver& resolver;
    ClockSetter& clock;
    /// The executable's file name, announced as the client's agent.
    std::string agent;
    /// Waits between the queries of --precise; unset means really sleeping.
    std::function<void(std::chrono::milliseconds)> sleep = {};
    /// The caller's event loop, run until the correction says it is over,
    /// with the timers on it that bound the probe and space the queries.
    /// Unset: nothing waits but the measurement, whose waits are slept.
    std::function<void(const std::function<bool()>& finished)> runUntil = {};
    Scheduler* probeTimer = nullptr;
    Scheduler* spacing = nullptr;
};

/// Queries the server (and with --set sets the clock) as the main window
/// would; results go to `out`, errors to `err` in one line. Returns the exit status.
int RunSync(const SyncArguments& arguments, const SyncServices& services, std::ostream& out,
            std::ostream& err);

/// The reply with printable ASCII as it is and everything else (and the
/// backslash) as C escapes.
std::string EscapedReply(std::string_view reply);

/// "YYYY-MM-DD HH:MM:SS".
std::string UtcText(SerialTime utc);

/// Seconds with milliseconds and a sign always: "+1.250 s".
std::string OffsetText(double days);

/// What --precise prints of the time codes' advance it took off, and of the
/// replies it dropped since their server did not vouch for them.
std::string AdvanceText(const MeasurementResult& result);

/// What --precise prints of a measurement: the samples, the estimate and
/// the certified bracket, one line each.
std::string EstimateText(const OffsetEstimate& estimate);

}  // namespace vintrel
