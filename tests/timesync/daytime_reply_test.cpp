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
