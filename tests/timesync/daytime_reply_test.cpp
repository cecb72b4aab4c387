#include "timesync/daytime_reply.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "tests/support/fake_clock.h"

namespace vintrel {
namespace {

SerialTime At(int y, int mo, int d, int h, int mi, int s) {
    return DateFromParts(static_cast<std::uint16_t>(y), static_cast<std::uint16_t>(mo),
                         static_cast<std::uint16_t>(d)) +
           TimeFromParts(static_cast<std::uint16_t>(h), static_cast<std::uint16_t>(mi),
                         static_cast<std::uint16_t>(s), 0);
}

struct ReplyCase {
    const char* name;
    std::string reply;
    SerialTime expected;  // 0 = refused
};

class ParseDaytimeReplyTest : public ::testing::TestWithParam<ReplyCase> {};

TEST_P(ParseDaytimeReplyTest, YieldsTheServersTimeOrZero) {
    EXPECT_EQ(ParseDaytimeReply(GetParam().reply), GetParam().expected) << GetParam().reply;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ParseDaytimeReplyTest,
    ::testing::Values(
        ReplyCase{"nist_line_2005", "\n53710 05-12-06 18:02:44 00 0 0 50.0 UTC(NIST) * \n",
                  At(2005, 12, 6, 18, 2, 44)},
        ReplyCase{"nist_line_2025", "\n60723 25-02-17 14:30:45 00 0 0 50.0 UTC(NIST) * \n",
                  At(2025, 2, 17, 14, 30, 45)},
        ReplyCase{"without_line_feeds", "60723 25-02-17 14:30:45 00 0 0 50.0 UTC(NIST) *",
                  At(2025, 2, 17, 14, 30, 45)},
        ReplyCase{"label_in_lower_case", "\n53710 05-12-06 18:02:44 00 0 0 50.0 utc(nist) * \n",
                  At(2005, 12, 6, 18, 2, 44)},
        ReplyCase{"no_nist_anywhere", "\n53710 05-12-06 18:02:44 00 0 0 50.0 UTC(USNO) * \n", 0},
        ReplyCase{"ctime_format_of_other_servers", "Mon Feb 17 14:30:45 2025\r\n", 0},
        ReplyCase{"empty", "", 0}, ReplyCase{"nist_without_hyphen", "NIST 250217 143045", 0},
        ReplyCase{"second_hyphen_misplaced", "\n53710 05-1206 18:02:44 UTC(NIST)\n", 0},
        ReplyCase{"hyphen_at_the_very_end", "NIST 05-1", 0},
        ReplyCase{"leap_second", "\n57203 15-06-30 23:59:60 00 0 0 50.0 UTC(NIST) * \n", 0},
        ReplyCase{"cut_after_the_minutes", "\n53710 05-12-06 18:02 UTC(NIST)",
                  At(2005, 12, 6, 18, 2, 0)},
        ReplyCase{"seconds_not_a_number", "\n53710 05-12-06 18:02:?4 UTC(NIST)",
                  At(2005, 12, 6, 18, 2, 0)},
        ReplyCase{"year_41_refused", "\n66000 41-01-01 00:00:00 00 0 0 50.0 UTC(NIST) * \n", 0},
        ReplyCase{"year_40_accepted", "\n65649 40-01-01 00:00:01 00 0 0 50.0 UTC(NIST) * \n",
                  At(2040, 1, 1, 0, 0, 1)},
        ReplyCase{"year_99_refused", "\n51543 99-12-31 23:59:59 00 0 0 50.0 UTC(NIST) * \n", 0},
        ReplyCase{"month_zero", "\n53710 05-00-06 18:02:44 00 0 0 50.0 UTC(NIST) * \n", 0},
        ReplyCase{"day_31_in_a_30_day_month", "\n53710 05-11-31 18:02:44 UTC(NIST)\n", 0},
        ReplyCase{"hour_24", "\n53710 05-12-06 24:00:00 UTC(NIST)\n", 0},
        ReplyCase{"minute_60", "\n53710 05-12-06 23:60:00 UTC(NIST)\n", 0},
        ReplyCase{"hour_25_outside_the_window", "\n53710 05-12-06 25:00:00 UTC(NIST)\n", 0},
        // The year piece is read from the line's start when the hyphen sits
        // closer than eight characters to it; a signed piece converts.
        ReplyCase{"signed_year_piece", "ab-cd--5 12 06 18 02 44 NIST", At(1995, 12, 6, 18, 2, 44)},
        ReplyCase{"blank_led_piece", "\n53710 05-12- 6 18:02:44 UTC(NIST)\n",
                  At(2005, 12, 6, 18, 2, 44)},
        ReplyCase{"negative_month_wraps_and_is_refused", "ab-cd-05 -1 06 18 02 44 NIST", 0},
        ReplyCase{"line_starting_at_the_hyphen", "NIST-05-12", 0}),
    [](const auto& info) { return std::string(info.param.name); });

struct StatusCase {
    const char* name;
    std::string reply;
    NistLineStatus expected;
};

class ReadNistLineStatusTest : public ::testing::TestWithParam<StatusCase> {};

TEST_P(ReadNistLineStatusTest, ReadsHealthAndAdvance) {
    const NistLineStatus status = ReadNistLineStatus(GetParam().reply);
    EXPECT_EQ(status.health, GetParam().expected.health);
    EXPECT_EQ(status.advanceRead, GetParam().expected.advanceRead);
    EXPECT_DOUBLE_EQ(status.advance, GetParam().expected.advance);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ReadNistLineStatusTest,
    ::testing::Values(
        StatusCase{
            "healthy", "\n60723 25-02-17 14:30:45 00 0 0 50.0 UTC(NIST) * \n", {0, true, 0.050}},
        StatusCase{"may_be_off_by_5_s",
                   "\n60723 25-02-17 14:30:45 00 0 1 50.0 UTC(NIST) * \n",
                   {1, true, 0.050}},
        StatusCase{"off_by_more",
                   "\n60723 25-02-17 14:30:45 00 0 2 50.0 UTC(NIST) * \n",
                   {2, true, 0.050}},
        StatusCase{
            "failure", "\n60723 25-02-17 14:30:45 50 0 3 716.5 UTC(NIST) * \n", {3, true, 0.7165}},
        StatusCase{"maintenance", "60723 25-02-17 14:30:45 00 0 4 0.0 utc(nist) *", {4, true, 0}},
        // The digits of TT and L are not the health digit.
        StatusCase{"tt_and_l_set",
                   "\n60723 25-02-17 14:30:45 57 1 0 50.0 UTC(NIST) * \n",
                   {0, true, 0.050}},
        StatusCase{"cut_after_the_minutes", "\n53710 05-12-06 18:02 UTC(NIST)", {0, false, 0}},
        // Without msADV the word before the label is H: it must not pass for an advance.
        StatusCase{
            "without_advance", "\n60723 25-02-17 14:30:45 00 0 3 UTC(NIST) * \n", {3, false, 0}},
        StatusCase{"advance_not_a_number",
                   "\n60723 25-02-17 14:30:45 00 0 0 5x.0 UTC(NIST) *\n",
                   {0, false, 0}},
        StatusCase{"advance_of_a_second",
                   "\n60723 25-02-17 14:30:45 00 0 0 1000.0 UTC(NIST) *\n",
                   {0, false, 0}},
        StatusCase{"advance_signed",
                   "\n60723 25-02-17 14:30:45 00 0 0 -50.0 UTC(NIST) *\n",
                   {0, false, 0}},
        StatusCase{"health_of_two_digits",
                   "\n60723 25-02-17 14:30:45 00 0 22 50.0 UTC(NIST) *\n",
                   {0, true, 0.050}},
        // What follows the line belongs to no field of it.
        StatusCase{"fields_on_the_next_line",
                   "\n60723 25-02-17 14:30:45\n00 0 4 50.0 UTC(NIST)\n",
                   {0, false, 0}},
        StatusCase{"no_nist_anywhere",
                   "\n60723 25-02-17 14:30:45 00 0 4 50.0 UTC(USNO) * \n",
                   {0, false, 0}},
        StatusCase{"empty", "", {0, false, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ParseDaytimeReplyTest, NoiseIsRefusedWithoutHarm) {
    std::mt19937 random(1234);
    for (int round = 0; round < 200; ++round) {
        std::string noise(1024, '\0');
        for (char& c : noise) c = static_cast<char>(random() & 0xFF);
        noise.replace(500, 4, "NIST");
        const SerialTime value = ParseDaytimeReply(noise);
        if (value != 0) {
            const int year = DatePartsOf(value).year;
            EXPECT_GE(year, 1980);
            EXPECT_LE(year, 2040);
        }
    }
}

TEST(ParseDaytimeReplyTest, EmbeddedNulBytesAreJustCharacters) {
    const std::string reply("\n53710 05-12-06 18:02:44 UTC(NIST)\0garbage", 42);
    EXPECT_EQ(ParseDaytimeReply(reply), At(2005, 12, 6, 18, 2, 44));
}

TEST(CurrentUtcTest, ReadsTheClockWithMilliseconds) {
    const SerialTime now = At(2026, 12, 7, 22, 41, 5) + TimeFromParts(0, 0, 0, 250);
    testing::FakeClock clock(now, 1.0 / 24);
    EXPECT_EQ(TimePartsOf(CurrentUtc()), (TimeParts{22, 41, 5, 250}));
    EXPECT_EQ(DatePartsOf(CurrentUtc()), (DateParts{2026, 12, 7}));
}

}  // namespace
}  // namespace vintrel
