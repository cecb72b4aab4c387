#include "tools/sync_arguments.h"

#include <gtest/gtest.h>

#include <functional>

namespace vintrel {
namespace {

struct GoodRow {
    const char* name;
    std::vector<std::string> words;
    std::function<void(SyncArguments&)> expect;  // turns the defaults into the expected result
};

void PrintTo(const GoodRow& row, std::ostream* os) {
    *os << row.name;
}

bool operator==(const SyncArguments& a, const SyncArguments& b) {
    return a.server == b.server && a.connection == b.connection && a.port == b.port &&
           a.probe == b.probe && a.setClock == b.setClock && a.help == b.help && a.zone == b.zone &&
           a.precise == b.precise && a.samples == b.samples && a.minSpacing == b.minSpacing;
}

class GoodArgumentsTest : public ::testing::TestWithParam<GoodRow> {};

TEST_P(GoodArgumentsTest, Parse) {
    const ParsedSyncArguments parsed = ParseSyncArguments(GetParam().words);
    EXPECT_EQ(parsed.error, "");
    SyncArguments expected;
    GetParam().expect(expected);
    EXPECT_TRUE(parsed.arguments == expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, GoodArgumentsTest,
    ::testing::Values(GoodRow{"NothingMeansStoredSettings", {}, [](SyncArguments&) {}},
                      GoodRow{"ServerAsNextWord",
                              {"--server", "132.163.96.1"},
                              [](SyncArguments& a) { a.server = "132.163.96.1"; }},
                      GoodRow{"ServerAfterEquals",
                              {"--server=localhost"},
                              [](SyncArguments& a) { a.server = "localhost"; }},
                      GoodRow{"Direct",
                              {"--direct"},
                              [](SyncArguments& a) {
                                  a.connection = ConnectionSettings{"1", "", ""};
                              }},
                      GoodRow{"SystemProxy",
                              {"--system-proxy"},
                              [](SyncArguments& a) {
                                  a.connection = ConnectionSettings{"2", "", ""};
                              }},
                      GoodRow{"Proxy",
                              {"--proxy", "127.0.0.1:8888"},
                              [](SyncArguments& a) {
                                  a.connection = ConnectionSettings{"3", "127.0.0.1", "8888"};
                              }},
                      GoodRow{"ProxyIPv6SplitsAtTheLastColon",
                              {"--proxy=[::1]:3128"},
                              [](SyncArguments& a) {
                                  a.connection = ConnectionSettings{"3", "[::1]", "3128"};
                              }},
                      GoodRow{"PortAndFlags",
                              {"--port", "1313", "--no-probe", "--set"},
                              [](SyncArguments& a) {
                                  a.port = 1313;
                                  a.probe = false;
                                  a.setClock = true;
                              }},
                      GoodRow{"Zone", {"--zone"}, [](SyncArguments& a) { a.zone = true; }},
                      GoodRow{"PreciseWithSamples",
                              {"--precise", "--samples=4"},
                              [](SyncArguments& a) {
                                  a.precise = true;
                                  a.samples = 4;
                              }},
                      GoodRow{"ShortSpacingForALoopbackServer",
                              {"--server", "127.0.0.1", "--precise", "--min-spacing", "100"},
                              [](SyncArguments& a) {
                                  a.server = "127.0.0.1";
                                  a.precise = true;
                                  a.minSpacing = std::chrono::milliseconds(100);
                              }},
                      GoodRow{"LongerSpacingForAnyServer",
                              {"--precise", "--min-spacing=10000"},
                              [](SyncArguments& a) {
                                  a.precise = true;
                                  a.minSpacing = std::chrono::milliseconds(10000);
                              }},
                      GoodRow{"Help", {"--help"}, [](SyncArguments& a) { a.help = true; }}),
    [](const auto& info) { return std::string(info.param.name); });

struct BadRow {
    const char* name;
    std::vector<std::string> words;
    const char* error;
};

void PrintTo(const BadRow& row, std::ostream* os) {
    *os << row.name;
}

class BadArgumentsTest : public ::testing::TestWithParam<BadRow> {};

TEST_P(BadArgumentsTest, GiveOneLineError) {
    EXPECT_EQ(ParseSyncArguments(GetParam().words).error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BadArgumentsTest,
    ::testing::Values(
        BadRow{"UnknownOption", {"--zones"}, "unknown option '--zones'"},
        BadRow{"ShortOption", {"-s"}, "unknown option '-s'"},
        BadRow{"PositionalWord", {"129.6.15.28"}, "unexpected argument '129.6.15.28'"},
        BadRow{"MissingValue", {"--server"}, "--server needs ADDR"},
        BadRow{"FlagWithValue", {"--set=yes"}, "--set takes no value"},
        BadRow{"PortZero", {"--port", "0"}, "--port needs a number from 1 to 65535, not '0'"},
        BadRow{
            "PortTooHigh", {"--port=65536"}, "--port needs a number from 1 to 65535, not '65536'"},
        BadRow{"PortSigned", {"--port=+13"}, "--port needs a number from 1 to 65535, not '+13'"},
        BadRow{"ProxyWithoutPort",
               {"--proxy", "proxy.lan"},
               "--proxy needs HOST:PORT, not 'proxy.lan'"},
        BadRow{"ProxyWithoutHost", {"--proxy", ":8080"}, "--proxy needs HOST:PORT, not ':8080'"},
        BadRow{"TwoConnections",
               {"--direct", "--proxy", "h:1"},
               "choose only one of --direct, --system-proxy and --proxy"},
        // The server goes into a URL: nothing may smuggle in a path or credentials.
        BadRow{"ServerWithPath",
               {"--server", "evil/x"},
               "--server needs a host name or address, not 'evil/x'"},
        BadRow{"ServerWithCredentials",
               {"--server=u@h"},
               "--server needs a host name or address, not 'u@h'"},
        BadRow{"EmptyServer", {"--server="}, "--server needs a host name or address, not ''"},
        BadRow{"NoSamples",
               {"--precise", "--samples=0"},
               "--samples needs a number from 1 to 32, not '0'"},
        BadRow{"TooManySamples",
               {"--precise", "--samples=33"},
               "--samples needs a number from 1 to 32, not '33'"},
        BadRow{"SamplesWithoutPrecise",
               {"--samples=4"},
               "--samples and --min-spacing go with --precise"},
        BadRow{"NegativeSpacing",
               {"--precise", "--min-spacing=-1"},
               "--min-spacing needs milliseconds, not '-1'"},
        // A public server blocks whoever asks more often than every four seconds.
        BadRow{"ShortSpacingForAPublicServer",
               {"--server", "129.6.15.28", "--precise", "--min-spacing", "100"},
               "--min-spacing below 4000 is only for a --server on this machine"},
        BadRow{"ShortSpacingForTheStoredServer",
               {"--precise", "--min-spacing=3999"},
               "--min-spacing below 4000 is only for a --server on this machine"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SyncUsageTest, TestingOptionStaysOutOfHelp) {
    const std::string usage = SyncUsage("vintrel-sync");
    EXPECT_NE(usage.find("--precise"), std::string::npos);
    EXPECT_NE(usage.find("--samples K"), std::string::npos);
    EXPECT_EQ(usage.find("--min-spacing"), std::string::npos);
}

}  // namespace
}  // namespace vintrel
