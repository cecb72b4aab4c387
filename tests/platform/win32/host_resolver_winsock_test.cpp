#include "platform/host_resolver.h"

#include <gtest/gtest.h>

namespace vintrel {
namespace {

// Only names the machine answers itself: numeric addresses and the hosts
// file's localhost. A name that is not there would be asked of DNS, so the
// unresolvable cases are ones refused before any lookup.
struct NameCase {
    const char* name;
    std::string hostName;
    std::string expected;
};

void PrintTo(const NameCase& c, std::ostream* out) {
    *out << c.name;
}

class WinsockHostResolverTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(WinsockHostResolverTest, GivesTheFirstIPv4AddressAsDottedText) {
    EXPECT_EQ(makeSystemHostResolver()->firstIPv4(GetParam().hostName), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, WinsockHostResolverTest,
    ::testing::Values(NameCase{"DottedAddressIsItself", "127.0.0.1", "127.0.0.1"},
                      NameCase{"OtherDottedAddressIsItself", "10.20.30.40", "10.20.30.40"},
                      NameCase{"LocalhostFromTheHostsFile", "localhost", "127.0.0.1"},
                      NameCase{"IPv6OnlyAddressHasNoIPv4", "::1", ""},
                      // gethostbyname takes an empty name for this machine's own.
                      NameCase{"EmptyNameDoesNotResolve", "", ""},
                      // gethostbyname would stop at the zero and resolve "localhost".
                      NameCase{"EmbeddedZeroDoesNotResolveItsPrefix",
                               std::string("localhost\0.example", 18), ""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vintrel
