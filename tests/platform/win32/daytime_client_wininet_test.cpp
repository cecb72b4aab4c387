#include "platform/daytime_client.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>

#include "platform/timing_clock.h"
#include "tests/support/daytime_test_server.h"
#include "timesync/daytime_reply.h"

namespace vintrel {
namespace {

using testing::DaytimeTestServer;
using testing::ServerBehaviour;
using testing::ServerTime;

const SerialTime kServerUtc = DateFromParts(2025, 2, 17) + TimeFromParts(14, 30, 45, 0);
const std::string kLine = "\n60723 25-02-17 14:30:45 00 0 0 50.0 UTC(NIST) * \n";
// Short enough that the silent cases stay quick, long enough for a busy machine.
const DaytimeTimeouts kQuick{std::chrono::milliseconds(1500), std::chrono::milliseconds(2500)};

DaytimeRequest Request(const std::string& url, InternetAccessType type = InternetAccessType::Direct,
                       const std::string& proxyText = {}) {
    return {url, type, proxyText, "vintrel-tests.exe"};
}

std::string ProxyText(std::uint16_t port) {
    return "http=127.0.0.1:" + std::to_string(port);
}

// The library hands a reply without a status line back as the body; Wine's
// drops a line feed at its start. Nothing may depend on that line feed, so a
// reply counts as `sent` whether it kept it or not.
bool SameUpToTheLeadingLineFeed(const std::string& reply, const std::string& sent) {
    constexpr std::size_t kReplyBytes = 1024;
    return reply == sent.substr(0, kReplyBytes) ||
           (!sent.empty() && sent[0] == '\n' && reply == sent.substr(1, kReplyBytes));
}

// Whether `reply` is a non-empty start of what the server sends.
bool IsAStartOf(const std::string& reply, const std::string& sent) {
    if (reply.empty()) return false;
    return sent.compare(0, reply.size(), reply) == 0 ||
           (sent[0] == '\n' && sent.compare(1, reply.size(), reply) == 0);
}

// The connections the server has accepted so far. Not waited for to end:
// WinInet keeps a connection without a reply open for reuse, and under Wine
// a request the client gave up on stays open until the server closes it.
int Connections(DaytimeTestServer& server) {
    return server.tally(0).connections;
}

struct ServerCase {
    const char* name;
    ServerBehaviour behaviour;
    // All of `sent` that fits the reply buffer (up to the leading line feed),
    // a start of it, or nothing.
    enum { Whole, Start, Nothing } expect;
    std::string sent;
};

void PrintTo(const ServerCase& c, std::ostream* out) {
    *out << c.name;
}

class WinInetFetchTest : public ::testing::TestWithParam<ServerCase> {};

TEST_P(WinInetFetchTest, ReturnsWhatTheFirstReadGets) {
    const ServerCase& c = GetParam();
    DaytimeTestServer server(c.behaviour, ServerTime::Fixed(kServerUtc));
    ASSERT_EQ(server.failure(), "");

    const DaytimeFetch fetch = makeDaytimeClient(kQuick)->fetch(Request(server.url()));

    switch (c.expect) {
        case ServerCase::Whole:
            EXPECT_TRUE(SameUpToTheLeadingLineFeed(fetch.reply, c.sent)) << fetch.reply;
            break;
        case ServerCase::Start:
            EXPECT_TRUE(IsAStartOf(fetch.reply, c.sent)) << fetch.reply;
            // Later pieces are not waited for.
            EXPECT_LT(fetch.reply.size() + 1, c.sent.size()) << fetch.reply;
            break;
        case ServerCase::Nothing:
            EXPECT_EQ(fetch.reply, "");
            break;
    }
    // Every empty reply carries its reason, and a reply none.
    EXPECT_EQ(fetch.failure.empty(), !fetch.reply.empty()) << fetch.failure;
    EXPECT_EQ(Connections(server), c.behaviour == ServerBehaviour::Refuse ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(
    Table, WinInetFetchTest,
    ::testing::Values(
        ServerCase{"LineIsReturned", ServerBehaviour::Answer, ServerCase::Whole, kLine},
        // The rest of a flood is never read, let alone kept.
        ServerCase{"FloodIsCutAtTheReplyBuffer", ServerBehaviour::Flood, ServerCase::Whole,
                   testing::ServerPayload(ServerBehaviour::Flood, kServerUtc).substr(0, 1025)},
        ServerCase{"ZeroByteEndsTheReply", ServerBehaviour::NulBytes, ServerCase::Whole,
                   "\n60723 25-02-17 14:30:45 00 0 0 50.0 UTC(NIST)"},
        ServerCase{"LaterPiecesAreNotWaitedFor", ServerBehaviour::InPieces, ServerCase::Start,
                   kLine},
        ServerCase{"DrippingServerGivesItsFirstBytes", ServerBehaviour::Drip, ServerCase::Start,
                   kLine},
        ServerCase{"SilentServerGivesUpAfterTheTimeout", ServerBehaviour::NeverAnswer,
                   ServerCase::Nothing, ""},
        ServerCase{"ServerClosingAtOnceGivesNothing", ServerBehaviour::CloseWithoutData,
                   ServerCase::Nothing, ""},
        ServerCase{"RefusedConnectionGivesNothing", ServerBehaviour::Refuse, ServerCase::Nothing,
                   ""}),
    [](const auto& info) { return std::string(info.param.name); });

// The server reads its clock between these moments, in this order.
TEST(WinInetFetchLimitTest, ReplyIsTimed) {
    DaytimeTestServer server(ServerBehaviour::Answer, ServerTime::Fixed(kServerUtc));
    const double before = timingClock().monotonicSeconds();
    const DaytimeFetch fetch = makeDaytimeClient(kQuick)->fetch(Request(server.url()));
    const double after = timingClock().monotonicSeconds();
    ASSERT_NE(fetch.reply, "") << fetch.failure;
    EXPECT_LE(before, fetch.timing.sent);
    EXPECT_LE(fetch.timing.sent, fetch.timing.connected);
    EXPECT_LE(fetch.timing.connected, fetch.timing.firstByte);
    EXPECT_LE(fetch.timing.firstByte, after);
}

TEST(WinInetFetchLimitTest, LineParsesToTheServersTime) {
    DaytimeTestServer server(ServerBehaviour::Answer, ServerTime::Fixed(kServerUtc));
    EXPECT_EQ(ParseDaytimeReply(makeDaytimeClient(kQuick)->fetch(Request(server.url())).reply),
              kServerUtc);
}

struct BadProxyCase {
    const char* name;
    std::string proxyText;
};

void PrintTo(const BadProxyCase& c, std::ostream* out) {
    *out << c.name;
}

class BadProxyTest : public ::testing::TestWithParam<BadProxyCase> {};

// The library would quietly connect directly instead; a user who chose a
// proxy is told it names none. The server is there, so a direct connection
// would show.
TEST_P(BadProxyTest, GivesAnEmptyReplyWithAReasonAndNoDirectConnection) {
    DaytimeTestServer server(ServerBehaviour::Answer, ServerTime::Fixed(kServerUtc));
    const DaytimeFetch fetch = makeDaytimeClient(kQuick)->fetch(
        Request(server.url(), InternetAccessType::Proxy, GetParam().proxyText));
    EXPECT_EQ(fetch.reply, "");
    EXPECT_NE(fetch.failure, "");
    EXPECT_EQ(Connections(server), 0);
}

INSTANTIATE_TEST_SUITE_P(Table, BadProxyTest,
                         ::testing::Values(BadProxyCase{"EmptyAddressAndPort", "http=:"},
                                           BadProxyCase{"EmptyPort", "http=127.0.0.1:"},
                                           BadProxyCase{"EmptyAddress", "http=:3128"},
                                           BadProxyCase{"PortNotANumber", "http=127.0.0.1:port"},
                                           BadProxyCase{"PortOutOfRange", "http=127.0.0.1:70000"},
                                           BadProxyCase{"OnlyForAnotherScheme",
                                                        "ftp=127.0.0.1:3128"},
                                           BadProxyCase{"NoProxyAtAll", ""}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(WinInetAddressTest, UrlWithoutAServerGivesAReason) {
    for (const char* url : {"http://:13", ""}) {
        const DaytimeFetch fetch = makeDaytimeClient(kQuick)->fetch(Request(url));
        EXPECT_EQ(fetch.reply, "") << url;
        EXPECT_NE(fetch.failure, "") << url;
    }
}

TEST(WinInetProxyTest, ProxyThatIsNotThereGivesNothing) {
    DaytimeTestServer server;
    DaytimeTestServer deadProxy(ServerBehaviour::Refuse);
    const DaytimeFetch fetch = makeDaytimeClient(kQuick)->fetch(
        Request(server.url(), InternetAccessType::Proxy, ProxyText(deadProxy.port())));
    EXPECT_EQ(fetch.reply, "");
    EXPECT_NE(fetch.failure, "");
    EXPECT_EQ(Connections(server), 0);
}

TEST(WinInetProxyTest, ProxyThatAcceptsButNeverAnswersGivesUpAfterTheTimeout) {
    DaytimeTestServer server;
    DaytimeTestServer silentProxy(ServerBehaviour::NeverAnswer);
    const DaytimeFetch fetch = makeDaytimeClient(kQuick)->fetch(
        Request(server.url(), InternetAccessType::Proxy, ProxyText(silentProxy.port())));
    EXPECT_EQ(fetch.reply, "");
    EXPECT_EQ(fetch.failure, "The time server sent nothing within 3 seconds.");
    EXPECT_EQ(Connections(server), 0);
}

// A tinyproxy that the test run started outside Wine (a CTest fixture), its
// port in the file that VINTREL_TINYPROXY_PORT_FILE names.
std::optional<std::uint16_t> FixtureProxyPort() {
    const char* file = std::getenv("VINTREL_TINYPROXY_PORT_FILE");
    if (file == nullptr) return std::nullopt;
    unsigned port = 0;
    if (!(std::ifstream(file) >> port) || port == 0 || port > 65535) return std::nullopt;
    return static_cast<std::uint16_t>(port);
}

class TinyproxyTest : public ::testing::Test {
protected:
    void SetUp() override {
        port_ = FixtureProxyPort();
        if (!port_) GTEST_SKIP() << "needs the tinyproxy of the test run (ctest starts it)";
    }

    std::optional<std::uint16_t> port_;
};

// The proxy asks the daytime server for a web page and gets the bare line,
// which it answers with an error page of its own (503); that page is no time.
TEST_F(TinyproxyTest, ProxysErrorPageGivesAnEmptyReply) {
    DaytimeTestServer server(ServerBehaviour::Answer, ServerTime::Fixed(kServerUtc));
    const DaytimeFetch fetch = makeDaytimeClient()->fetch(
        Request(server.url(), InternetAccessType::Proxy, ProxyText(*port_)));
    EXPECT_EQ(fetch.reply, "");
    EXPECT_THAT(fetch.failure, ::testing::HasSubstr("\"503 ")) << fetch.failure;
    EXPECT_EQ(Connections(server), 1);
}

// The proxy's filter refuses 127.0.0.2 with its own page (403) without
// connecting anywhere.
TEST_F(TinyproxyTest, ProxysRefusalGivesAnEmptyReply) {
    DaytimeTestServer server(ServerBehaviour::Answer, ServerTime::Fixed(kServerUtc));
    const DaytimeFetch fetch =
        makeDaytimeClient()->fetch(Request("http://127.0.0.2:" + std::to_string(server.port()),
                                           InternetAccessType::Proxy, ProxyText(*port_)));
    EXPECT_EQ(fetch.reply, "");
    EXPECT_THAT(fetch.failure, ::testing::HasSubstr("\"403 ")) << fetch.failure;
    EXPECT_EQ(Connections(server), 0);
}

}  // namespace
}  // namespace vintrel
