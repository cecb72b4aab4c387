#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/clock_setter.h"
#include "platform/daytime_client.h"
#include "platform/host_resolver.h"
#include "platform/scheduler.h"
#include "timesync/correction_settings.h"
#include "timesync/correction_view.h"
#include "timesync/daytime_query.h"
#include "timesync/offset_measurement.h"
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

/// How a correction ended.
enum class CorrectionStatus {
    /// The clock was set to the server's time.
    Corrected,
    /// The server's time was found; setting the clock was not asked for.
    Measured,
    /// The reachability probe failed; no server was asked.
    NoConnection,
    /// The server could not be reached or sent nothing.
    NoReply,
    /// A reply held no usable time.
    UnusableReply,
    /// The server does not vouch for its time.
    Unvouched,
    /// A large unattended step found no second opinion to agree.
    HeldBack,
    /// The system refused to set the clock.
    ClockNotSet,
    /// The settings store failed; `error` holds its exception.
    SettingsError,
};

/// Everything a correction found out, for whoever shows it.
struct CorrectionReport {
    CorrectionStatus status = CorrectionStatus::NoConnection;
    /// Server time minus the system clock's UTC as the clock was set (or,
    /// without setting, as the reply was read), in days; NOT_SYNCED unless
    /// the server's time was found.
    double difference = NOT_SYNCED;
    /// The server's UTC time when found.
    SerialTime serverUtc = 0;
    /// The one query's reply, route and failure as the client put them.
    std::string reply;
    std::string route;
    std::string failure;
    /// A measured correction's findings.
    MeasurementResult measurement;
    /// Why the clock was not set, as the system put it.
    std::string clockReason;
    /// Whether the clock was set: also true when recording it failed after.
    bool clockSet = false;
    /// The settings store's error that ended the correction.
    std::exception_ptr error;
};

/// What to run: the window's Ping Now, its daily correction, or the
/// command-line tool's query.
struct CorrectionRequest {
    /// No message boxes: the daily correction and the command-line tool.
    bool quiet = false;
    /// Nobody started it (the daily correction): the system may not ask for
    /// the right to set the clock, and a large step needs a second opinion.
    bool unattended = false;
    /// Measure the offset over half a minute instead of one whole-second reply.
    bool precise = false;
    /// Set the clock (and record it); otherwise only find the server's time.
    bool setClock = true;
};

struct CorrectionOptions {
    /// Announced to the server as the client's agent: the executable's file name.
    std::string agent;
    int port = kDaytimePort;
    /// Whether to check by name resolution that the internet is reachable.
    bool probeConnectivity = true;
    /// Two highly available public names; only their resolution is tried.
    std::array<std::string, 2> probeHosts{"www.google.com", "www.microsoft.com"};
    /// How long the two look-ups of the probe may take together.
    std::chrono::milliseconds probeBound{5000};
    /// The servers a second opinion may come from (the Time Servers menu's).
    /// Without them no large unattended step is ever taken.
    std::vector<std::string> servers{};
    /// The queries of a measured correction.
    MeasurementOptions measurement{};
    /// Told why, whenever a correction fails: the window's box texts are
    /// fixed, so the reason goes here (the program writes it to stderr).
    std::function<void(const std::string& reason)> reportFailure = {};
};

/// What a correction reaches outside itself.
struct CorrectionServices {
    DaytimeClient& client;
    HostResolver& resolver;
    ClockSetter& clock;
    CorrectionSettings& settings;
    /// Bounds the probe's look-ups.
    Scheduler& probeTimer;
    /// Spaces the queries of a measured correction.
    Scheduler& spacing;
};

/// The clock correction as one pipeline on the caller's event loop: the
/// connectivity probe, the query (one reply, or a measurement), the check of
/// the reply, setting the clock and the report. No step waits: each goes on
/// when its answer comes, so the window keeps working throughout. One
/// correction runs at a time.
class TimeCorrection {
public:
    using Done = std::function<void(const CorrectionReport&)>;

    TimeCorrection(CorrectionView& view, CorrectionServices services, CorrectionOptions options);
    ~TimeCorrection();
    TimeCorrection(const TimeCorrection&) = delete;
    TimeCorrection& operator=(const TimeCorrection&) = delete;

    /// Starts a correction; `done` runs once when it ends (before `start`
    /// returns when every step answers at once). False, and nothing done,
    /// while one runs. Errors of the settings store end the correction and
    /// reach `done` in the report, never the caller or the event loop.
    bool start(CorrectionRequest request, Done done);
    bool running() const { return running_; }
    /// Drops the running correction: nothing more is set, recorded or shown.
    void cancel();
    /// The user asked for a correction while a quiet one runs: it now
    /// reports to them as theirs, with the hourglass over the window.
    void claimForUser();

    /// The Ping Now command: the hourglass, the correction, then the report
    /// of the difference and the default cursor. Measured when the stored
    /// settings ask for it. During the user's own correction it does
    /// nothing; during a daily one it claims that one. A settings error is
    /// thrown when the correction ends, for the application's handler.
    void mnuPingClick();

    /// The daily correction: quiet and unattended. `done` runs when it ends;
    /// a settings error is then thrown, as by Ping Now. False, and nothing
    /// done, while a correction runs.
    bool runDaily(std::function<void()> done = {});

    /// Shows the report of a difference in days.
    void DisplayDifference(double difference);

    /// The request for the selected server with the connection settings as
    /// they are stored now. Throws the settings store's error.
    DaytimeRequest CurrentRequest() const;

private:
    struct Run;

    static bool Current(const std::weak_ptr<int>& alive, std::uint64_t asked,
                        const TimeCorrection* self);
    bool begin(CorrectionRequest request, bool forUser, Done done);
    void probe();
    void query();
    void fetched(DaytimeFetch fetch);
    void measured(const MeasurementResult& result);
    void serverFound(std::function<SerialTime()> serverNow);
    void askSecondOpinion(std::function<SerialTime()> serverNow, double difference);
    void apply(std::function<SerialTime()> serverNow);
    void clockAnswered(const ClockSetResult& set, SerialTime localBefore);
    void fail(CorrectionStatus status, const std::string& reason, const char* boxText);
    void finish(CorrectionStatus status);
    /// Runs a step; a settings error ends the correction with it.
    template <typename Step>
    void guarded(Step&& step);
    void ReportFailure(const std::string& reason) const;

    CorrectionView& view_;
    CorrectionServices services_;
    CorrectionOptions options_;
    OffsetMeasurement measurement_;
    std::unique_ptr<Run> run_;
    bool running_ = false;
    // Tells the answers of one correction from those of the next.
    std::uint64_t round_ = 0;
    // Answers that come after the correction object is gone find this expired.
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

}  // namespace vintrel
