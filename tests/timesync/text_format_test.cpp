#include "timesync/text_format.h"

#include <gtest/gtest.h>

#include "timesync/convert_error.h"

namespace vintrel {
namespace {

struct IntegerCase {
    const char* name;
    const char* text;
    bool valid;
    std::int32_t value;
};

class IntegerFromTextTest : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(IntegerFromTextTest, FollowsTheIntegerRules) {
    const IntegerCase& c = GetParam();
    if (c.valid) {
        EXPECT_EQ(IntegerFromText(c.text), c.value);
        return;
    }
    try {
        IntegerFromText(c.text);
        FAIL() << "accepted '" << c.text << "'";
    } catch (const EConvertError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "'" + std::string(c.text) + "' is not a valid integer value");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, IntegerFromTextTest,
    ::testing::Values(
        IntegerCase{"plain", "12", true, 12}, IntegerCase{"leading_blank_skipped", " 12", true, 12},
        IntegerCase{"trailing_blank_fails", "12 ", false, 0},
        IntegerCase{"single_digit", "7", true, 7}, IntegerCase{"blank_then_digit", " 7", true, 7},
        IntegerCase{"minus", "-5", true, -5}, IntegerCase{"plus", "+5", true, 5},
        IntegerCase{"sign_alone", "-", false, 0}, IntegerCase{"empty", "", false, 0},
        IntegerCase{"blanks_only", "  ", false, 0}, IntegerCase{"dollar_hex", "$1F", true, 31},
        IntegerCase{"x_hex", "x1f", true, 31}, IntegerCase{"upper_x_hex", "X10", true, 16},
        IntegerCase{"zero_x_hex", "0x10", true, 16},
        IntegerCase{"zero_upper_x_hex", "0X10", true, 16},
        IntegerCase{"hex_bit_pattern", "$FFFFFFFF", true, -1},
        IntegerCase{"hex_over_32_bits", "$100000000", false, 0},
        IntegerCase{"hex_without_digits", "$", false, 0},
        IntegerCase{"hex_bad_digit", "$1G", false, 0},
        IntegerCase{"largest", "2147483647", true, 2147483647},
        IntegerCase{"smallest", "-2147483648", true, -2147483647 - 1},
        IntegerCase{"too_large", "2147483648", false, 0},
        IntegerCase{"too_small", "-2147483649", false, 0}, IntegerCase{"letter", "1a", false, 0},
        IntegerCase{"colon", "5:", false, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IntegerFromTextTest, EmbeddedNulIsNotADigit) {
    EXPECT_THROW(IntegerFromText(std::string_view("1\0", 2)), EConvertError);
}

TEST(TextFormatTest, TwoDigitFormatPadsTheMagnitude) {
    EXPECT_EQ(TwoDigitText(5), "05");
    EXPECT_EQ(TwoDigitText(0), "00");
    EXPECT_EQ(TwoDigitText(-5), "-05");
    EXPECT_EQ(TwoDigitText(-30), "-30");
    EXPECT_EQ(TwoDigitText(123), "123");
}

TEST(TextFormatTest, FloatTextWritesWholeNumbersWithoutDecimals) {
    EXPECT_EQ(FloatText(3, "."), "3");
    EXPECT_EQ(FloatText(-2, "."), "-2");
    EXPECT_EQ(FloatText(666, "."), "666");
    EXPECT_EQ(FloatText(0.0, "."), "0");
    EXPECT_EQ(FloatText(-0.0, "."), "0");
    EXPECT_EQ(FloatText(2.5, ","), "2,5");
    EXPECT_EQ(FloatText(1.0 / 3, "."), "0.333333333333333");
    EXPECT_EQ(FloatText(1e20, "."), "1E20");
    EXPECT_EQ(FloatText(1.5e-7, "."), "1.5E-7");
}

TEST(TextFormatTest, IntegerText) {
    EXPECT_EQ(IntegerText(0), "0");
    EXPECT_EQ(IntegerText(-12), "-12");
    EXPECT_EQ(IntegerText(7), "7");
}

TEST(TextFormatTest, UpperCaseTouchesOnlyAsciiLetters) {
    EXPECT_EQ(UpperCaseAscii("utc(nist) \xe9z"), "UTC(NIST) \xe9Z");
}

TEST(TextFormatTest, PositionSearchIsOneBasedAndCaseSensitive) {
    EXPECT_EQ(PositionOf("-", "05-12"), 3u);
    EXPECT_EQ(PositionOf("nist", "NIST"), 0u);
    EXPECT_EQ(PositionOf("", "abc"), 0u);
    EXPECT_EQ(PositionOf("a", ""), 0u);
}

TEST(TextFormatTest, SubstringClampsItsArguments) {
    EXPECT_EQ(Substring("abcdef", 2, 3), "bcd");
    EXPECT_EQ(Substring("abcdef", -4, 2), "ab");
    EXPECT_EQ(Substring("abcdef", 5, 10), "ef");
    EXPECT_EQ(Substring("abcdef", 7, 1), "");
    EXPECT_EQ(Substring("abcdef", 1, -1), "");
}

}  // namespace
}  // namespace vintrel
