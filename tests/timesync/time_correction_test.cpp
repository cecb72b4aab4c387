#include "timesync/time_correction.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>

#include "settings/settings_store.h"
#include "settings/stored_correction_settings.h"
#include "tests/support/clock_setter_spy.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_daytime_client.h"
#include "tests/support/fake_host_resolver.h"
#include "tests/support/in_memory_settings.h"
#include "tests/support/recording_correction_view.h"
#include "timesync/regional_format.h"

namespace vintrel {
namespace {

constexpr double kSecond = 1.0 / 86400;

// 2 January 2024 03:04:05 UTC as a NIST daytime line, with its line feeds.
constexpr const char* kNistReply = "\n60311 24-01-02 03:04:05 00 0 0 716.5 UTC(NIST) * \n";
const SerialTime kServerUtc = DateFromParts(2024, 1, 2) + TimeFromParts(3, 4, 5, 0);

class TimeCorrectionTest : public ::testing::Test {
protected:
    TimeCorrectionTest() {
        SetCurrentRegionalSettings(RegionalSettings{});
        resolver.addresses["www.google.com"] = "192.0.2.1";
        client.result.reply = kNistReply;
        view.setSelectedServer("129.6.15.28");
        view.setTimer2Enabled(true);
        view.log.clear();
        // The real clock jumps to what it was set to.
        setter.onSet = [this](const SystemTime& utc) { clock.setUtc(FromSystemTime(utc)); };
    }

    static CorrectionOptions Options(std::string agent = "vintrel", int port = kDaytimePort) {
        CorrectionOptions options;
        options.agent = std::move(agent);
        options.port = port;
        return options;
    }

    std::unique_ptr<TimeCorrection> correction(CorrectionOptions options = Options()) {
        return std::make_unique<TimeCorrection>(
            view, CorrectionServices{client, resolver, setter, stored, probeTimer, spacing},
            std::move(options));
    }

    // Every step of the fakes answers at once, so the correction is over
    // when `start` returns.
    static CorrectionReport Run(TimeCorrection& c, CorrectionRequest request) {
        std::optional<CorrectionReport> report;
        c.start(request, [&report](const CorrectionReport& r) { report = r; });
        EXPECT_TRUE(report.has_value()) << "the correction did not end";
        return report.value_or(CorrectionReport{});
    }
    CorrectionReport Query(CorrectionOptions options = Options()) {
        CorrectionRequest request;
        request.setClock = false;
        return Run(*correction(std::move(options)), request);
    }
    CorrectionReport Correct(bool quiet, CorrectionOptions options = Options()) {
        CorrectionRequest request;
        request.quiet = quiet;
        request.unattended = quiet;
        return Run(*correction(std::move(options)), request);
    }

    testing::InMemorySettings settings;
    StoredCorrectionSettings stored;
    SleepingScheduler probeTimer{[](std::chrono::milliseconds) {}};
    SleepingScheduler spacing{[](std::chrono::milliseconds) {}};
    // 90 s slow, local time two hours ahead of UTC.
    testing::FakeClock clock{kServerUtc - 90 * kSecond, 2.0 / 24};
    testing::FakeDaytimeClient client;
    testing::FakeHostResolver resolver;
    testing::ClockSetterSpy setter;
    testing::RecordingCorrectionView view;
};

// --- The query ---------------------------------------------------------------

TEST_F(TimeCorrectionTest, ProbeFailureShowsTheMessageAndQueriesNothing) {
    resolver.addresses.clear();
    const CorrectionReport report = Correct(/*quiet=*/false);
    EXPECT_EQ(report.status, CorrectionStatus::NoConnection);
    EXPECT_EQ(view.messages(), std::vector<std::string>{kNoConnectionText});
    EXPECT_EQ(resolver.lookups, (std::vector<std::string>{"www.google.com", "www.microsoft.com"}));
    EXPECT_TRUE(client.requests.empty());
    EXPECT_TRUE(settings.calls().empty());
}

TEST_F(TimeCorrectionTest, EitherProbeNameSuffices) {
    resolver.addresses = {{"www.microsoft.com", "192.0.2.2"}};
    EXPECT_EQ(Query().status, CorrectionStatus::Measured);
}

// A resolver that never answers holds the correction no longer than the
// probe's bound, and its late answer changes nothing.
TEST_F(TimeCorrectionTest, UnansweredLookUpsCountAsNoConnectionAfterTheBound) {
    struct SilentResolver final : HostResolver {
        std::vector<std::function<void(std::string)>> pending;
        std::string firstIPv4(const std::string&) override { return {}; }
        void lookUpIPv4(const std::string&, std::function<void(std::string)> done) override {
            pending.push_back(std::move(done));
        }
    } silentResolver;
    TimeCorrection c(view, {client, silentResolver, setter, stored, probeTimer, spacing},
                     Options());
    std::optional<CorrectionReport> report;
    c.start({}, [&report](const CorrectionReport& r) { report = r; });
    EXPECT_FALSE(report.has_value());
    EXPECT_EQ(silentResolver.pending.size(), 2u) << "both names are looked up at once";
    EXPECT_EQ(probeTimer.pendingDelay(), std::chrono::milliseconds(5000));
    probeTimer.runOne();
    ASSERT_TRUE(report.has_value());
    EXPECT_EQ(report->status, CorrectionStatus::NoConnection);
    EXPECT_EQ(view.messages(), std::vector<std::string>{kNoConnectionText});
    silentResolver.pending[0]("192.0.2.1");
    EXPECT_TRUE(client.requests.empty());
    EXPECT_FALSE(c.running());
}

TEST_F(TimeCorrectionTest, RequestCarriesUrlAgentAndTheClientsReply) {
    client.result = {"partial", "the server closed the connection"};
    const CorrectionReport report = Query(Options("vintrel.exe", 1313));
    ASSERT_EQ(client.requests.size(), 1u);
    EXPECT_EQ(client.requests[0].url, "http://129.6.15.28:1313");
    EXPECT_EQ(client.requests[0].agent, "vintrel.exe");
    EXPECT_EQ(report.status, CorrectionStatus::UnusableReply);
    EXPECT_EQ(report.reply, "partial");
    EXPECT_EQ(report.failure, "the server closed the connection");
    Query();  // the product's own port
    EXPECT_EQ(client.requests[1].url, "http://129.6.15.28:13");
}

struct ModeRow {
    const char* name;
    const char* connectionType;
    InternetAccessType access;
    const char* proxyText;
};

void PrintTo(const ModeRow& row, std::ostream* os) {
    *os << row.name;
}

class ConnectionModeTest : public TimeCorrectionTest,
                           public ::testing::WithParamInterface<ModeRow> {};

TEST_P(ConnectionModeTest, StoredModeChoosesTheAccess) {
    settings.preset("ConnectionType", GetParam().connectionType);
    settings.preset("Address", "proxy.lan");
    settings.preset("Port", "3128");
    Query();
    ASSERT_EQ(client.requests.size(), 1u);
    EXPECT_EQ(client.requests[0].accessType, GetParam().access);
    EXPECT_EQ(client.requests[0].proxyText, GetParam().proxyText);
    const bool proxy = GetParam().access == InternetAccessType::Proxy;
    EXPECT_EQ(settings.calls().size(), proxy ? 3u : 1u) << "Address and Port only in mode 3";
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ConnectionModeTest,
    ::testing::Values(ModeRow{"Direct", "1", InternetAccessType::Direct, ""},
                      ModeRow{"SystemSettings", "2", InternetAccessType::Preconfig, ""},
                      ModeRow{"ExplicitProxy", "3", InternetAccessType::Proxy,
                              "http=proxy.lan:3128"},
                      ModeRow{"ZeroIsDirect", "0", InternetAccessType::Direct, ""},
                      ModeRow{"FourIsDirect", "4", InternetAccessType::Direct, ""},
                      ModeRow{"TextIsDirect", "x", InternetAccessType::Direct, ""},
                      ModeRow{"EmptyIsDirect", "", InternetAccessType::Direct, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TimeCorrectionTest, EmptyProxyPartsStillMakeAProxyText) {
    settings.preset("ConnectionType", "3");
    Query();
    EXPECT_EQ(client.requests.at(0).proxyText, "http=:");
}

TEST_F(TimeCorrectionTest, ConnectionTypeIsReadAtEveryQuery) {
    const auto c = correction();
    CorrectionRequest query;
    query.setClock = false;
    Run(*c, query);
    settings.preset("ConnectionType", "2");
    Run(*c, query);
    ASSERT_EQ(client.requests.size(), 2u);
    EXPECT_EQ(client.requests[1].accessType, InternetAccessType::Preconfig);
}

TEST_F(TimeCorrectionTest, GivenConnectionReplacesTheStoredOne) {
    settings.preset("ConnectionType", "2");
    StoredCorrectionSettings given(ConnectionSettings{"3", "[::1]", "8888"});
    TimeCorrection c(view, {client, resolver, setter, given, probeTimer, spacing}, Options());
    CorrectionRequest query;
    query.setClock = false;
    Run(c, query);
    EXPECT_EQ(client.requests.at(0).proxyText, "http=[::1]:8888");
    EXPECT_TRUE(settings.calls().empty());
}

// --- The correction ------------------------------------------------------------

TEST_F(TimeCorrectionTest, SuccessSetsTheClockAndRecordsTheLocalTimeBeforeIt) {
    const CorrectionReport report = Correct(/*quiet=*/true);
    EXPECT_EQ(report.status, CorrectionStatus::Corrected);
    EXPECT_NEAR(report.difference, 90 * kSecond, 1e-9);
    EXPECT_EQ(setter.settings, std::vector<SystemTime>{ToSystemTime(kServerUtc)});
    // Local 05:02:35 before the change, 05:04:05 after it.
    EXPECT_EQ(settings.stored("LastPing"), "1/2/24 5:02:35 am");
    EXPECT_EQ(view.lastPingLabel(), "1/2/24 5:02:35 am");
    EXPECT_DOUBLE_EQ(view.lastSyncTime(), kServerUtc - 90 * kSecond + 2.0 / 24);
    EXPECT_FALSE(view.timer2Enabled());
    EXPECT_TRUE(view.messages().empty());
}

struct FailureRow {
    const char* name;
    const char* reply;  // nullptr: the probe fails
    const char* refusal;
    bool silent;
    const char* message;  // nullptr: none
    // Handed to the reporter, silent or not: the box text cannot say why.
    const char* reported;
};

void PrintTo(const FailureRow& row, std::ostream* os) {
    *os << row.name;
}

class FailedCorrectionTest : public TimeCorrectionTest,
                             public ::testing::WithParamInterface<FailureRow> {};

TEST_P(FailedCorrectionTest, ReportsUnlessSilentAndRecordsNothing) {
    const FailureRow& row = GetParam();
    if (row.reply == nullptr) resolver.addresses.clear();
    client.result.reply = row.reply != nullptr ? row.reply : "";
    client.result.failure = client.result.reply.empty() ? "Connection refused." : "";
    setter.refusal = row.refusal;
    settings.preset("LastPing", "Never");
    view.setLastPingLabel("Never");

    std::vector<std::string> reported;
    CorrectionOptions options = Options();
    options.reportFailure = [&reported](const std::string& reason) { reported.push_back(reason); };
    EXPECT_NE(Correct(row.silent, std::move(options)).status, CorrectionStatus::Corrected);
    EXPECT_EQ(reported, std::vector<std::string>{row.reported});
    const std::vector<std::string> expected =
        row.message == nullptr ? std::vector<std::string>{} : std::vector<std::string>{row.message};
    EXPECT_EQ(view.messages(), expected);
    EXPECT_EQ(settings.stored("LastPing"), "Never");
    EXPECT_EQ(view.lastPingLabel(), "Never");
    EXPECT_EQ(view.lastSyncTime(), 0.0);
    EXPECT_TRUE(view.timer2Enabled()) << "the schedule must try again";
    EXPECT_EQ(setter.settings.size(), std::string(row.refusal).empty() ? 0u : 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, FailedCorrectionTest,
    ::testing::Values(
        FailureRow{"NoConnection", nullptr, "", false, kNoConnectionText, kNoConnectionText},
        FailureRow{"NoConnectionSilent", nullptr, "", true, nullptr, kNoConnectionText},
        FailureRow{"EmptyReply", "", "", false, kUnreachableServerText, "Connection refused."},
        FailureRow{"EmptyReplySilent", "", "", true, nullptr, "Connection refused."},
        FailureRow{"ReplyWithoutTime", "hello NIST", "", false, kUnreachableServerText,
                   "the reply of time server 129.6.15.28 holds no usable time: it is not a NIST "
                   "time code of the form \"JJJJJ YY-MM-DD HH:MM:SS\" with a year from 1980 to "
                   "2040"},
        FailureRow{"ClockRefused", kNistReply, "Operation not permitted", false,
                   "The system clock could not be set: Operation not permitted",
                   "The system clock could not be set: Operation not permitted"},
        FailureRow{"ClockRefusedSilent", kNistReply, "Operation not permitted", true, nullptr,
                   "The system clock could not be set: Operation not permitted"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TimeCorrectionTest, UnreachableServerTextIsKeptWordForWord) {
    EXPECT_EQ(std::string(kUnreachableServerText),
              "Unable to reach then specified Time Server.  This may be caused by misconfigured "
              "proxy information or a firewall preventing access to port 13\r\n\r\nAnother "
              "possiblity is that the Time Server may be down, or extremely busy, try selecting a "
              "different Time Server from the File Menu.");
}

TEST_F(TimeCorrectionTest, StoreErrorWhileReadingTheConnectionEndsTheCorrection) {
    settings.failCallsTo("ConnectionType", "Failed to get data for 'ConnectionType'");
    const CorrectionReport report = Correct(/*quiet=*/false);
    EXPECT_EQ(report.status, CorrectionStatus::SettingsError);
    EXPECT_THROW(std::rethrow_exception(report.error), ERegistryException);
    EXPECT_TRUE(setter.settings.empty());
    EXPECT_TRUE(view.timer2Enabled());
}

TEST_F(TimeCorrectionTest, StoreErrorWhileWritingLastPingComesAfterTheClockMoved) {
    settings.failCallsTo("LastPing", "Failed to set data for 'LastPing'");
    const CorrectionReport report = Correct(/*quiet=*/false);
    EXPECT_EQ(report.status, CorrectionStatus::SettingsError);
    EXPECT_TRUE(report.clockSet);
    EXPECT_EQ(setter.settings.size(), 1u);
    // The clock was set, so the window says so and the schedule rests.
    EXPECT_EQ(view.lastPingLabel(), "1/2/24 5:02:35 am");
    EXPECT_FALSE(view.timer2Enabled());
}

// --- Ping Now ----------------------------------------------------------------

TEST_F(TimeCorrectionTest, PingNowReportsAndRestoresTheCursor) {
    correction()->mnuPingClick();
    EXPECT_EQ(view.log,
              (std::vector<std::string>{"hourglass", "Timer2 off", "message", "default cursor"}));
    EXPECT_EQ(view.messages().at(0), DifferenceReport(90 * kSecond));
    // The user asked, so the system may ask them for the right to set the clock.
    EXPECT_EQ(setter.interactive, std::vector<bool>{true});
}

TEST_F(TimeCorrectionTest, PingNowShowsNoReportAfterAFailure) {
    client.result.reply = "";
    correction()->mnuPingClick();
    EXPECT_EQ(view.messages(), std::vector<std::string>{kUnreachableServerText});
    EXPECT_EQ(view.cursor(), CursorShape::Default);
}

TEST_F(TimeCorrectionTest, PingNowRestoresTheCursorWhenTheStoreFails) {
    settings.failNextCall("Failed to create key \\SOFTWARE\\Kavrin\\Proxy\\");
    EXPECT_THROW(correction()->mnuPingClick(), ERegistryException);
    EXPECT_EQ(view.log.back(), "default cursor");
    EXPECT_TRUE(view.messages().empty());
}

// --- Health digit --------------------------------------------------------------

struct HealthRow {
    const char* name;
    const char* reply;
    bool sets;
};

void PrintTo(const HealthRow& row, std::ostream* os) {
    *os << row.name;
}

class HealthDigitTest : public TimeCorrectionTest,
                        public ::testing::WithParamInterface<HealthRow> {};

// A server that does not vouch for its time sets nothing and is told like an
// unusable reply.
TEST_P(HealthDigitTest, FromTwoOnTheReplySetsNothing) {
    client.result.reply = GetParam().reply;
    const double difference = Correct(/*quiet=*/false).difference;
    EXPECT_EQ(setter.settings.size(), GetParam().sets ? 1u : 0u);
    EXPECT_EQ(difference == NOT_SYNCED, !GetParam().sets);
    EXPECT_EQ(view.messages(), GetParam().sets ? std::vector<std::string>{}
                                               : std::vector<std::string>{kUnreachableServerText});
    EXPECT_EQ(view.timer2Enabled(), !GetParam().sets);
}

INSTANTIATE_TEST_SUITE_P(
    Digits, HealthDigitTest,
    ::testing::Values(
        HealthRow{"Healthy", "\n60311 24-01-02 03:04:05 00 0 0 716.5 UTC(NIST) * \n", true},
        HealthRow{"MayBeOffByFiveSeconds", "\n60311 24-01-02 03:04:05 00 0 1 716.5 UTC(NIST) * \n",
                  true},
        HealthRow{"OffByMore", "\n60311 24-01-02 03:04:05 00 0 2 716.5 UTC(NIST) * \n", false},
        HealthRow{"Failure", "\n60311 24-01-02 03:04:05 00 0 3 716.5 UTC(NIST) * \n", false},
        HealthRow{"Maintenance", "\n60311 24-01-02 03:04:05 00 0 4 716.5 UTC(NIST) * \n", false},
        HealthRow{"NoDigitCountsAsHealthy", "\n60311 24-01-02 03:04:05 UTC(NIST)\n", true}),
    [](const auto& info) { return std::string(info.param.name); });

// --- A second opinion before a large silent step ------------------------------

struct SiteRow {
    const char* name;
    const char* selected;
    std::vector<std::string> servers;
    const char* second;
};

void PrintTo(const SiteRow& row, std::ostream* os) {
    *os << row.name;
}

class SecondOpinionServerTest : public ::testing::TestWithParam<SiteRow> {};

TEST_P(SecondOpinionServerTest, FirstOfAnotherSite) {
    EXPECT_EQ(SecondOpinionServer(GetParam().selected, GetParam().servers), GetParam().second);
}

const std::vector<std::string> kMenu{"129.6.15.28", "129.6.15.29", "132.163.97.1", "132.163.97.2",
                                     "128.138.140.44"};

INSTANTIATE_TEST_SUITE_P(
    Rows, SecondOpinionServerTest,
    ::testing::Values(SiteRow{"Gaithersburg", "129.6.15.29", kMenu, "132.163.97.1"},
                      SiteRow{"Boulder", "132.163.97.2", kMenu, "129.6.15.28"},
                      SiteRow{"ThirdSite", "128.138.140.44", kMenu, "129.6.15.28"},
                      // Only the first two octets tell the site: 129.60 is not 129.6.
                      SiteRow{"LongerOctet", "129.60.1.1", {"129.6.15.28"}, "129.6.15.28"},
                      SiteRow{"HostName", "time.nist.gov", kMenu, "129.6.15.28"},
                      SiteRow{"OneSiteOnly", "129.6.15.30", {"129.6.15.28", "129.6.15.29"}, ""},
                      SiteRow{"NoList", "129.6.15.28", {}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

// A reply of year "00": 2000-01-02 03:04:05 against a clock in 2026.
constexpr const char* kYear00Reply = "\n51545 00-01-02 03:04:05 00 0 0 50.0 UTC(NIST) * \n";
const SerialTime kYear00Utc = DateFromParts(2000, 1, 2) + TimeFromParts(3, 4, 5, 0);
const SerialTime kClock2026 = DateFromParts(2026, 12, 8) + TimeFromParts(7, 0, 0, 0);

std::string LineAt(SerialTime utc, int health = 0) {
    const DateParts d = DatePartsOf(utc);
    const TimeParts t = TimePartsOf(utc);
    char text[96];
    std::snprintf(text, sizeof text,
                  "\n60000 %02d-%02d-%02d %02d:%02d:%02d 00 0 %d 50.0 UTC(NIST) *\n", d.year % 100,
                  d.month, d.day, t.hour, t.minute, t.second, health);
    return text;
}

struct StepRow {
    const char* name;
    bool silent;
    // The client's clock minus the first server's time, seconds.
    double clockAhead;
    // The second server's reply (its time minus the first's, seconds), or
    // nullopt when it sends nothing.
    std::optional<double> secondAhead;
    int secondHealth;
    bool sets;
    bool asksSecond;
};

void PrintTo(const StepRow& row, std::ostream* os) {
    *os << row.name;
}

class LargeStepTest : public TimeCorrectionTest, public ::testing::WithParamInterface<StepRow> {};

TEST_P(LargeStepTest, SilentStepBeyondAThousandSecondsNeedsASecondSite) {
    const StepRow& row = GetParam();
    const SerialTime first = row.clockAhead > 1e6 ? kYear00Utc : kServerUtc;
    client.result.reply = row.clockAhead > 1e6 ? kYear00Reply : kNistReply;
    clock.setUtc(row.clockAhead > 1e6 ? kClock2026 : first + row.clockAhead * kSecond);
    const SerialTime clockBefore = clock.utc();
    if (row.secondAhead) {
        client.resultFor["http://132.163.97.1:13"].reply =
            LineAt(first + *row.secondAhead * kSecond, row.secondHealth);
    } else {
        client.resultFor["http://132.163.97.1:13"] = {"", "Connection refused"};
    }
    settings.preset("LastPing", "Never");
    CorrectionOptions options = Options();
    options.servers = kMenu;

    const double difference = Correct(row.silent, options).difference;

    EXPECT_EQ(setter.settings.size(), row.sets ? 1u : 0u);
    EXPECT_EQ(difference == NOT_SYNCED, !row.sets);
    if (row.sets) {
        EXPECT_EQ(setter.settings[0], ToSystemTime(first));
        EXPECT_NEAR(difference, first - clockBefore, 1e-9);
    }
    EXPECT_EQ(settings.stored("LastPing") == "Never", !row.sets);
    EXPECT_EQ(view.timer2Enabled(), !row.sets) << "a refused step is retried as after a failure";
    EXPECT_TRUE(view.messages().empty());
    ASSERT_EQ(client.requests.size(), row.asksSecond ? 2u : 1u);
    EXPECT_EQ(client.requests[0].url, "http://129.6.15.28:13");
    if (row.asksSecond) {
        EXPECT_EQ(client.requests[1].url, "http://132.163.97.1:13");
        EXPECT_EQ(client.requests[1].agent, "vintrel");
    }
}

constexpr double kYears = 1e9;  // a step of the year-00 reply

INSTANTIATE_TEST_SUITE_P(
    Rows, LargeStepTest,
    ::testing::Values(
        StepRow{"ForgedYear00RefusedWhenTheSecondDisagrees", true, kYears,
                (kClock2026 - kYear00Utc) / kSecond, 0, false, true},
        StepRow{"ForgedYear00AppliedWhenTheSecondAgrees", true, kYears, 1.5, 0, true, true},
        StepRow{"SecondThreeSecondsOff", true, kYears, 3, 0, false, true},
        StepRow{"SecondSendsNothing", true, kYears, std::nullopt, 0, false, true},
        StepRow{"SecondDoesNotVouch", true, kYears, 0, 2, false, true},
        // Ping Now shows its report: the user sees what was done.
        StepRow{"PingNowNeverHeldBack", false, kYears, std::nullopt, 0, true, false},
        StepRow{"SilentUpToAThousandSecondsAsksNobody", true, 999, std::nullopt, 0, true, false},
        StepRow{"SilentBeyondAThousandSecondsAsks", true, -1001, std::nullopt, 0, false, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TimeCorrectionTest, WithoutAServerListNoLargeSilentStepIsTaken) {
    client.result.reply = kYear00Reply;
    clock.setUtc(kClock2026);
    EXPECT_EQ(Correct(/*quiet=*/true).status, CorrectionStatus::HeldBack);
    EXPECT_TRUE(setter.settings.empty());
    EXPECT_EQ(client.requests.size(), 1u);
}

// --- DisplayDifference -------------------------------------------------------

std::string Adjusted(const char* days, const char* hours, const char* minutes,
                     const char* seconds) {
    return std::string("System Clock has been adjusted by ...\r\n\r\n") + days + " Days\r\n" +
           hours + " Hours\r\n" + minutes + " Minutes\r\n" + seconds + " Seconds";
}

struct ReportRow {
    const char* name;
    double difference;
    std::string report;
};

void PrintTo(const ReportRow& row, std::ostream* os) {
    *os << row.name;
}

class DifferenceReportTest : public ::testing::TestWithParam<ReportRow> {};

TEST_P(DifferenceReportTest, Text) {
    EXPECT_EQ(DifferenceReport(GetParam().difference), GetParam().report);
}

INSTANTIATE_TEST_SUITE_P(
    Reports, DifferenceReportTest,
    ::testing::Values(
        ReportRow{"ServerTwoSecondsAheadIsCorrect", 2 * kSecond, kClockCorrectText},
        ReportRow{"MillisecondsDoNotReachTheThreshold", 4.999 * kSecond, kClockCorrectText},
        ReportRow{"FourSecondsFastIsCorrect", -4 * kSecond, kClockCorrectText},
        ReportRow{"FiveSecondsIsAdjusted", 5 * kSecond, Adjusted("0", "0", "0", "5")},
        ReportRow{"SlowByFivePointNineDropsTheFraction", 5.9 * kSecond,
                  Adjusted("0", "0", "0", "5")},
        ReportRow{"ThreeMinutesFastShowsNoMinus", -180 * kSecond, Adjusted("0", "0", "3", "0")},
        ReportRow{"DayAndAHalfFastSignsOnlyTheDays", -1.5, Adjusted("-1", "12", "0", "0")},
        ReportRow{"NegativeZeroDaysIsWrittenZero", -0.4, Adjusted("0", "9", "36", "0")},
        ReportRow{"TwoDaysSlow", 2 + 3.0 / 24 + 7 * kSecond, Adjusted("2", "3", "0", "7")}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vintrel
