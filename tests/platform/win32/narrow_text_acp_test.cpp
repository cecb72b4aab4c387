#include "platform/narrow_text.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace vintrel {
namespace {

struct NarrowCase {
    const char* name;
    std::u16string text;
    std::string expected;
};

void PrintTo(const NarrowCase& c, std::ostream* out) {
    *out << c.name;
}

class NarrowTextAcpTest : public ::testing::TestWithParam<NarrowCase> {};

// The rows are written for code page 1252, the one of the English locale the
// test run sets.
TEST_P(NarrowTextAcpTest, WritesTheAnsiCodePage) {
    if (GetACP() != 1252) GTEST_SKIP() << "the ANSI code page is " << GetACP() << ", not 1252";
    EXPECT_EQ(NarrowText(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, NarrowTextAcpTest,
    ::testing::Values(
        NarrowCase{"AsciiIsItself", u"Eastern Standard Time", "Eastern Standard Time"},
        NarrowCase{"EmptyIsEmpty", u"", ""},
        NarrowCase{"LatinLetterIsItsCodePageByte", u"M\u00e4rz \u00e9t\u00e9", "M\xe4rz \xe9t\xe9"},
        // 1252 places the euro sign at 0x80, not at its code point.
        NarrowCase{"EuroSignIsMapped", u"\u20ac", "\x80"},
        // Best fit would write "L" and "8": characters that mean something else.
        NarrowCase{"MissingLetterIsNotALookAlike", u"\u0141\u00f3d\u017a",
                   "?\xf3"
                   "d?"},
        NarrowCase{"InfinityIsNotAnEight", u"\u221e", "?"},
        NarrowCase{"SurrogatePairIsOneQuestionMark", u"A\U0001F30DB", "A?B"},
        NarrowCase{"UnpairedSurrogateIsOneQuestionMark", std::u16string(u"A\xD83C") + u"B", "A?B"},
        NarrowCase{"ZeroUnitIsKept", std::u16string(u"A\0B", 3), std::string("A\0B", 3)}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vintrel
