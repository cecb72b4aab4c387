#include "platform/daytime_client.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <optional>

#include "platform/timing_clock.h"
#include "tests/support/daytime_test_server.h"
#include "tests/support/tinyproxy.h"
#include "timesync/daytime_reply.h"

namespace vintrel {
namespace {

using testing::DaytimeTestServer;
using testing::ServerBehaviour;
using testing::ServerTime;
using testing::Tinyproxy;

#define REQUIRE_TINYPROXY()                                                       \
    do {                                                                          \
        if (const std::string why = Tinyproxy::unavailableReason(); !why.empty()) \
            GTEST_SKIP() << why;                                                  \
    } while (false)

const SerialTime kServerUtc = DateFromParts(2025, 2, 17) + TimeFromParts(14, 30, 45, 0);
const std::string kLine = "\n60723 25-02-17 14:30:45 00 0 0 50.0 UTC(NIST) * \n";
// Short enough that the silent cases stay quick, long enough for a busy machine.
const DaytimeTimeouts kQuick{std::chrono::milliseconds(1500), std::chrono::milliseconds(2500)};

// Sets or clears environment variables for one test and puts them back after.
class ScopedEnvironment {
public:
    ~ScopedEnvironment() {
        for (const auto& [name, value] : saved_) {
            if (value) {
                ::setenv(name.c_str(), value->c_str(), 1);
            } else {
                ::unsetenv(name.c_str());
            }
        }
    }
    void set(const std::string& name, const std::optional<std::string>& value) {
        if (!saved_.count(name)) {
            const char* old = std::getenv(name.c_str());
            saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        if (value) {
            ::setenv(name.c_str(), value->c_str(), 1);
        } else {
            ::unsetenv(name.c_str());
        }
    }

private:
    std::map<std::string, std::optional<std::string>> saved_;
};

class DaytimeClientTest : public ::testing::Test {
protected:
    DaytimeClientTest() {
        // The machine's own proxy settings must not decide these tests.
        for (const char* name : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY",
                                 "all_proxy", "ALL_PROXY", "no_proxy", "NO_PROXY"}) {
            env_.set(name, std::nullopt);
        }
    }

    static DaytimeRequest Request(const std::string& url,
                                  InternetAccessType type = InternetAccessType::Direct,
                                  const std::string& proxyText = {}) {
        return {url, type, proxyText, "vintrel-tests"};
    }

    static std::string ProxyText(std::uint16_t port) {
        return "http=127.0.0.1:" + std::to_string(port);
    }

    ScopedEnvironment env_;
};

TEST_F(DaytimeClientTest, TestServerSpeaksALineTheParserAccepts) {
    EXPECT_EQ(testing::NistLine(kServerUtc), kLine);
    EXPECT_EQ(ParseDaytimeReply(kLine), kServerUtc);
}

struct ServerCase {
    const char* name;
    ServerBehaviour behaviour;
    std::string expectedReply;
};

void PrintTo(const ServerCase& c, std::ostream* out) {
    *out << c.name;
}

class DirectFetchTest : public DaytimeClientTest,
                        public ::testing::WithParamInterface<ServerCase> {};

TEST_P(DirectFetchTest, ReturnsWhatTheFirstReadGets) {
    const ServerCase& c = GetParam();
    DaytimeTestServer server(c.behaviour, ServerTime::Fixed(kServerUtc));
    ASSERT_EQ(server.failure(), "");

    const DaytimeFetch fetch = makeDaytimeClient(kQuick)->fetch(Request(server.url()));

    EXPECT_EQ(fetch.reply, c.expectedReply);
    // Every empty reply carries its reason, and a reply none.
    EXPECT_EQ(fetch.failure.empty(), !c.expectedReply.empty()) << fetch.failure;
    const testing::ServerTally tally = server.tally();
    EXPECT_TRUE(tally.settled);
    // A daytime server speaks first; a request would only provoke a reset.
    EXPECT_EQ(tally.bytesReceived, 0u);
    EXPECT_EQ(tally.connections, c.behaviour == ServerBehaviour::Refuse ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DirectFetchTest,
    ::testing::Values(
        ServerCase{"LineIsReturnedWhole", ServerBehaviour::Answer, kLine},
        // The rest of a flood is never read, let alone kept.
        ServerCase{"FloodIsCutAtTheReplyBuffer", ServerBehaviour::Flood,
                   testing::ServerPayload(ServerBehaviour::Flood, kServerUtc).substr(0, 1024)},
        ServerCase{"ZeroByteEndsTheReply", ServerBehaviour::NulBytes,
                   "\n60723 25-02-17 14:30:45 00 0 0 50.0 UTC(NIST)"},
        // One read: a client that waits for the rest returns the whole line.
        ServerCase{"LaterPiecesAreNotWaitedFor", ServerBehaviour::InPieces,
                   testing::FirstPiece(kServerUtc)},
        ServerCase{"DrippingServerGivesItsFirstByte", ServerBehaviour::Drip, "\n"},
        ServerCase{"SilentServerGivesUpAfterTheTimeout", ServerBehaviour::NeverAnswer, ""},
        ServerCase{"ServerClosingAtOnceGivesNothing", ServerBehaviour::CloseWithoutData, ""},
        ServerCase{"RefusedConnectionGivesNothing", ServerBehaviour::Refuse, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DaytimeClientTest, NowPlusOffsetServerAnnouncesTheShiftedTime) {
    const double hour = 1.0 / 24;
    DaytimeTestServer server(ServerBehaviour::Answer, ServerTime::NowPlus(hour));
    const SerialTime before = CurrentUtc();
    const SerialTime announced =
        ParseDaytimeReply(makeDaytimeClient()->fetch(Request(server.url())).reply);
    EXPECT_GE(announced, before + hour - 1.0 / 86400);
    EXPECT_LE(announced, CurrentUtc() + hour + 1.0 / 86400);
}

// A server for timed queries changes its second at the true moment, not
// when its millisecond reading rounds up.
TEST_F(DaytimeClientTest, NowPlusSecondsServerAnnouncesTheWholeShiftedSecond) {
    const double offset = 0.3721;
    DaytimeTestServer server(ServerBehaviour::Answer, ServerTime::NowPlusSeconds(offset));
    const double before = realTimingClock().utcSeconds();
    const SerialTime announced =
        ParseDaytimeReply(makeDaytimeClient()->fetch(Request(server.url())).reply);
    const double after = realTimingClock().utcSeconds();
    const double second = std::round((announced - 25569) * 86400);
    EXPECT_GE(second, std::floor(before + offset));
    EXPECT_LE(second, std::floor(after + offset));
}

struct TimedCase {
    const char* name;
    bool proxy;
};

void PrintTo(const TimedCase& c, std::ostream* out) {
    *out << c.name;
}

class TimedFetchTest : public DaytimeClientTest, public ::testing::WithParamInterface<TimedCase> {};

// The moments a precise measurement builds on, in the order they happen and
// within the call, read from the clock in use.
TEST_P(TimedFetchTest, SaysWhenItSentConnectedAndHeard) {
    DaytimeTestServer server(ServerBehaviour::Answer, ServerTime::Fixed(kServerUtc));
    std::optional<Tinyproxy> proxy;
    DaytimeRequest request = Request(server.url());
    if (GetParam().proxy) {
        REQUIRE_TINYPROXY();
        proxy.emplace(std::vector<std::uint16_t>{server.port()});
        ASSERT_EQ(proxy->failure(), "");
        request = Request(server.url(), InternetAccessType::Proxy, ProxyText(proxy->port()));
    }
    const double before = timingClock().monotonicSeconds();
    const DaytimeFetch fetch = makeDaytimeClient(kQuick)->fetch(request);
    const double after = timingClock().monotonicSeconds();
    ASSERT_EQ(fetch.reply, kLine) << fetch.failure;
    EXPECT_LE(before, fetch.timing.sent);
    EXPECT_LE(fetch.timing.sent, fetch.timing.connected);
    EXPECT_LE(fetch.timing.connected, fetch.timing.firstByte);
    EXPECT_LE(fetch.timing.firstByte, after);
}

INSTANTIATE_TEST_SUITE_P(Table, TimedFetchTest,
                         ::testing::Values(TimedCase{"Direct", false},
                                           TimedCase{"ThroughAProxy", true}),
                         [](const auto& info) { return std::string(info.param.name); });

struct BadAddressCase {
    const char* name;
    InternetAccessType type;
    std::string url;
    std::string proxyText;
};

void PrintTo(const BadAddressCase& c, std::ostream* out) {
    *out << c.name;
}

class BadAddressTest : public DaytimeClientTest,
                       public ::testing::WithParamInterface<BadAddressCase> {};

// Empty or broken settings fail with a reason instead of connecting somewhere.
TEST_P(BadAddressTest, GivesAnEmptyReplyWithAReason) {
    const BadAddressCase& c = GetParam();
    const DaytimeFetch fetch =
        makeDaytimeClient(kQuick)->fetch(Request(c.url, c.type, c.proxyText));
    EXPECT_EQ(fetch.reply, "");
    EXPECT_NE(fetch.failure, "");
}

INSTANTIATE_TEST_SUITE_P(
    Table, BadAddressTest,
    ::testing::Values(BadAddressCase{"EmptyServer", InternetAccessType::Direct, "http://:13", ""},
                      BadAddressCase{"NoUrlAtAll", InternetAccessType::Direct, "", ""},
                      BadAddressCase{"ProxyWithEmptyAddressAndPort", InternetAccessType::Proxy,
                                     "http://127.0.0.1:13", "http=:"},
                      BadAddressCase{"ProxyWithEmptyPort", InternetAccessType::Proxy,
                                     "http://127.0.0.1:13", "http=127.0.0.1:"},
                      BadAddressCase{"ProxyWithEmptyAddress", InternetAccessType::Proxy,
                                     "http://127.0.0.1:13", "http=:3128"},
                      BadAddressCase{"ProxyPortNotANumber", InternetAccessType::Proxy,
                                     "http://127.0.0.1:13", "http=127.0.0.1:port"},
                      BadAddressCase{"ProxyPortOutOfRange", InternetAccessType::Proxy,
                                     "http://127.0.0.1:13", "http=127.0.0.1:70000"},
                      BadAddressCase{"ProxyOnlyForAnotherScheme", InternetAccessType::Proxy,
                                     "http://127.0.0.1:13", "ftp=127.0.0.1:3128"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DaytimeClientTest, ProxyThatIsNotThereGivesNothing) {
    DaytimeTestServer server;
    DaytimeTestServer deadProxy(ServerBehaviour::Refuse);
    const DaytimeFetch fetch = makeDaytimeClient(kQuick)->fetch(
        Request(server.url(), InternetAccessType::Proxy, ProxyText(deadProxy.port())));
    EXPECT_EQ(fetch.reply, "");
    EXPECT_NE(fetch.failure, "");
    EXPECT_EQ(server.tally().connections, 0);
}

TEST_F(DaytimeClientTest, DirectIgnoresTheProxyEnvironment) {
    DaytimeTestServer server(ServerBehaviour::Answer, ServerTime::Fixed(kServerUtc));
    DaytimeTestServer deadProxy(ServerBehaviour::Refuse);
    const std::string dead = "http://127.0.0.1:" + std::to_string(deadProxy.port());
    for (const char* name : {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"}) {
        env_.set(name, dead);
    }
    const DaytimeFetch fetch = makeDaytimeClient(kQuick)->fetch(Request(server.url()));
    EXPECT_EQ(fetch.reply, kLine) << fetch.failure;
}

TEST_F(DaytimeClientTest, SystemSettingsWithoutProxyConnectDirectly) {
    DaytimeTestServer server(ServerBehaviour::Answer, ServerTime::Fixed(kServerUtc));
    const DaytimeFetch fetch =
        makeDaytimeClient(kQuick)->fetch(Request(server.url(), InternetAccessType::Preconfig));
    EXPECT_EQ(fetch.reply, kLine) << fetch.failure;
}

TEST_F(DaytimeClientTest, ExplicitProxyTunnelsToTheServer) {
    REQUIRE_TINYPROXY();
    DaytimeTestServer server(ServerBehaviour::Answer, ServerTime::Fixed(kServerUtc));
    Tinyproxy proxy({server.port()});
    ASSERT_EQ(proxy.failure(), "");

    const DaytimeFetch fetch = makeDaytimeClient()->fetch(
        Request(server.url(), InternetAccessType::Proxy, ProxyText(proxy.port())));

    EXPECT_EQ(fetch.reply, kLine) << fetch.failure;
    EXPECT_EQ(proxy.tunnelRequestsTo(server.port()), 1) << proxy.log();
    EXPECT_EQ(server.tally().bytesReceived, 0u);
}

TEST_F(DaytimeClientTest, ExplicitProxyRefusingThePortGivesNothing) {
    REQUIRE_TINYPROXY();
    DaytimeTestServer server(ServerBehaviour::Answer, ServerTime::Fixed(kServerUtc));
    Tinyproxy proxy({});
    ASSERT_EQ(proxy.failure(), "");

    const DaytimeFetch fetch = makeDaytimeClient()->fetch(
        Request(server.url(), InternetAccessType::Proxy, ProxyText(proxy.port())));

    // The web request that follows the refusal reaches the server, but
    // tinyproxy cannot pass on a reply without an HTTP header.
    EXPECT_EQ(fetch.reply, "");
    EXPECT_NE(fetch.failure.find("ConnectPort " + std::to_string(server.port())), std::string::npos)
        << fetch.failure;
}

TEST_F(DaytimeClientTest, SilentServerBehindTheProxyGivesUpAfterTheTimeout) {
    REQUIRE_TINYPROXY();
    DaytimeTestServer server(ServerBehaviour::NeverAnswer);
    Tinyproxy proxy({server.port()});
    ASSERT_EQ(proxy.failure(), "");

    const DaytimeFetch fetch = makeDaytimeClient(kQuick)->fetch(
        Request(server.url(), InternetAccessType::Proxy, ProxyText(proxy.port())));

    EXPECT_EQ(fetch.reply, "");
    EXPECT_NE(fetch.failure, "");
}

TEST_F(DaytimeClientTest, ProxyThatAcceptsButNeverAnswersGivesUpAfterTheTimeout) {
    DaytimeTestServer server;
    DaytimeTestServer silentProxy(ServerBehaviour::NeverAnswer);
    const DaytimeFetch fetch = makeDaytimeClient(kQuick)->fetch(
        Request(server.url(), InternetAccessType::Proxy, ProxyText(silentProxy.port())));
    EXPECT_EQ(fetch.reply, "");
    EXPECT_NE(fetch.failure, "");
    EXPECT_EQ(server.tally().connections, 0);
}

TEST_F(DaytimeClientTest, SystemSettingsUseTheProxyOfTheEnvironment) {
    REQUIRE_TINYPROXY();
    DaytimeTestServer server(ServerBehaviour::Answer, ServerTime::Fixed(kServerUtc));
    Tinyproxy proxy({server.port()});
    ASSERT_EQ(proxy.failure(), "");
    env_.set("http_proxy", proxy.url());

    const DaytimeFetch fetch =
        makeDaytimeClient()->fetch(Request(server.url(), InternetAccessType::Preconfig));

    EXPECT_EQ(fetch.reply, kLine) << fetch.failure;
    EXPECT_EQ(proxy.tunnelRequestsTo(server.port()), 1) << proxy.log();
}

// Pins that the system's proxy is really in the way: a direct connection
// would have succeeded.
TEST_F(DaytimeClientTest, SystemSettingsProxyRefusingThePortGivesNothing) {
    REQUIRE_TINYPROXY();
    DaytimeTestServer server(ServerBehaviour::Answer, ServerTime::Fixed(kServerUtc));
    Tinyproxy proxy({});
    ASSERT_EQ(proxy.failure(), "");
    env_.set("http_proxy", proxy.url());

    const DaytimeFetch fetch =
        makeDaytimeClient()->fetch(Request(server.url(), InternetAccessType::Preconfig));

    EXPECT_EQ(fetch.reply, "");
    EXPECT_EQ(proxy.tunnelRequestsTo(server.port()), 1) << proxy.log();
}

}  // namespace
}  // namespace vintrel
