#include "platform/linux/regional_settings_qt.h"

#include <gtest/gtest.h>

#include "timesync/regional_format.h"

namespace vintrel {
namespace {

const SerialTime kExample = DateFromParts(2026, 3, 8) + TimeFromParts(14, 5, 9, 0);

struct LocaleCase {
    const char* name;
    const char* locale;
    const char* expected;
};

class LocaleTextTest : public ::testing::TestWithParam<LocaleCase> {};

TEST_P(LocaleTextTest, WritesTheLocalesOwnForm) {
    const RegionalSettings s =
        regionalSettingsFromLocale(QLocale(QString::fromLatin1(GetParam().locale)));
    EXPECT_EQ(DateTimeText(kExample, s), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, LocaleTextTest,
                         ::testing::Values(LocaleCase{"en_US", "en_US", "3/8/26 2:05:09 PM"},
                                           LocaleCase{"en_GB", "en_GB", "08/03/2026 14:05:09"},
                                           LocaleCase{"de_DE", "de_DE", "08.03.26 14:05:09"},
                                           LocaleCase{"fr_FR", "fr_FR", "08/03/2026 14:05:09"},
                                           LocaleCase{"ja_JP", "ja_JP", "2026/03/08 14:05:09"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RegionalSettingsTest, DecimalSeparatorAndNamesComeFromTheLocale) {
    const RegionalSettings de = regionalSettingsFromLocale(QLocale(QStringLiteral("de_DE")));
    EXPECT_EQ(de.decimalSeparator, ",");
    EXPECT_EQ(de.longMonthNames[2], "M\xc3\xa4rz");
    EXPECT_EQ(de.longDayNames[0], "Sonntag");
    EXPECT_FALSE(de.twelveHourClock);
    const RegionalSettings us = regionalSettingsFromLocale(QLocale(QStringLiteral("en_US")));
    EXPECT_EQ(us.decimalSeparator, ".");
    EXPECT_TRUE(us.twelveHourClock);
    EXPECT_EQ(us.amText, "AM");
    EXPECT_EQ(us.longDayNames[1], "Monday");
}

}  // namespace
}  // namespace vintrel
