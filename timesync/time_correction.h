#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "platform/clock_setter.h"
#include "platform/daytime_client.h"
#include "platform/host_resolver.h"
#include "timesync/correction_view.h"
#include "timesync/daytime_query.h"
#include "timesync/serial_time.h"

namespace vintrel {

/// What `CorrectTime` returns when no correction took place (days).
inline constexpr double NOT_SYNCED = 666.0;

inline constexpr const char* kNoConnectionText =
    "No on-line connection to the internet currently exists.";
inline constexpr const char* kUnreachableServerText =
    "Unable to reach then specified Time Server.  This may be caused by misconfigured proxy "
    "information or a firewall preventing access to port 13\r\n\r\nAnother possiblity is that the "
    "Time Server may be down, or extremely busy, try selecting a different Time Server from the "
    "File Menu.";
inline constexpr const char* kClockCorrectText =
    "System Clock is correct and does not require adjustment.";

/// A silent correction that would step the clock further than this (seconds)
/// needs a second opinion: one forged or garbled reply must not move an
/// unwatched clock by years.
inline constexpr double kLargeSilentStep = 1000.0;
/// How close (seconds) the second server's difference must come to the first's.
inline constexpr double kSecondOpinionTolerance = 2.0;

/// The server asked for a second opinion on `selected`: the first of
/// `servers` whose leading two octets (the first two dot-separated parts)
/// differ from the selected server's, so that it stands at another site.
/// Empty when there is none.
std::string SecondOpinionServer(const std::string& selected,
                                const std::vector<std::string>& servers);

/// The message shown when the clock refused to be set.
std::string ClockNotSetText(const std::string& reason);

/// The report of a difference of `difference` days, as `DisplayDifference` shows it.
std::string DifferenceReport(double difference);

/// The outcome of one query of the time server.
struct PingOutcome {
    /// False when the reachability probe failed and no query was made.
    bool connected = false;
    /// What the server sent, empty when it could not be reached or sent nothing.
    std::string reply;
    /// Why the reply is empty, as the daytime client put it.
    std::string failure;
    /// How the reply came ("direct", or through which proxy), as the client put it.
    std::string route;
};

/// The outcome of setting the clock to a server's time.
struct ClockCorrection {
    /// Server time minus the system clock's UTC time just before setting, in days.
    double difference = 0;
    bool clockSet = false;
    /// Why the clock was not set.
    std::string reason;
};

struct CorrectionOptions {
    /// Announced to the server as the client's agent: the executable's file name.
    std::string agent;
    int port = kDaytimePort;
    /// Where the connection settings come from at each query; empty means the
    /// settings store.
    std::function<ConnectionSettings()> connection;
    /// Whether to check by name resolution that the internet is reachable.
    bool probeConnectivity = true;
    /// Two highly available public names; only their resolution is tried.
    std::array<std::string, 2> probeHosts{"www.google.com", "www.microsoft.com"};
    /// The servers a second opinion may come from (the Time Servers menu's).
    /// Without them no large silent step is ever taken.
    std::vector<std::string> servers{};
    /// Told why, whenever a correction fails: the window's box texts are
    /// fixed, so the reason goes here (the program writes it to stderr).
    std::function<void(const std::string& reason)> reportFailure = {};
};

/// The main window's time-server query and clock correction, reaching the
/// window through `CorrectionView` and the system through the platform layer.
class TimeCorrection {
public:
    TimeCorrection(CorrectionView& view, DaytimeClient& client, HostResolver& resolver,
                   ClockSetter& clock, CorrectionOptions options);

    /// True when either probe host name resolves.
    bool ConnectivityProbe();

    /// Runs the reachability probe (unless the options switch it off); when
    /// it fails, shows the no-connection message unless `quiet`.
    bool CheckConnection(bool quiet);

    /// The request for the selected server with the connection settings as
    /// they are stored now. Throws ERegistryException from the settings store.
    DaytimeRequest CurrentRequest() const;

    /// Fetches one reply from the selected server; shows the no-connection
    /// message unless `quiet`. Throws ERegistryException from the settings store.
    PingOutcome PingDayTime(bool quiet);

    /// Queries, parses and sets the clock; returns the difference in days or
    /// NOT_SYNCED. Failures are reported in message boxes unless silent.
    double CorrectTime();

    /// Sets the clock to `server` (UTC); only when that succeeds records the
    /// correction: last sync time, `lblLastPing`, `Timer2` off, "LastPing".
    /// `interactive`: the user started this correction, so the system may ask
    /// them for the right to set the clock.
    ClockCorrection ApplyServerTime(SerialTime server, bool interactive);

    /// Whether a silent correction by `difference` days may go ahead: always
    /// for a step up to `kLargeSilentStep`; beyond it only when the second
    /// opinion server, asked the same way, differs from the clock by the same
    /// within `kSecondOpinionTolerance`; a step held back is reported. Throws
    /// ERegistryException from the settings store.
    bool SilentStepAllowed(double difference);

    /// Hands the reason of a failed correction to the options' reporter.
    void ReportFailure(const std::string& reason) const;

    /// Shows the report of a difference in days.
    void DisplayDifference(double difference);

    /// The Ping Now command.
    void mnuPingClick();

private:
    ConnectionSettings connectionSettings() const;
    bool SecondOpinionAgrees(double difference);

    CorrectionView& view_;
    DaytimeClient& client_;
    HostResolver& resolver_;
    ClockSetter& clock_;
    CorrectionOptions options_;
};

}  // namespace vintrel
