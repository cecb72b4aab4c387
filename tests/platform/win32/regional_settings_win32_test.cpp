#include "platform/win32/regional_settings_win32.h"

#include <gtest/gtest.h>

#include <map>

#include "timesync/regional_format.h"

namespace vintrel {
namespace {

using Items = std::map<LCTYPE, std::string>;

LocaleInfoReader ReaderOf(Items items) {
    return [items = std::move(items)](LCTYPE item) -> std::optional<std::string> {
        const auto found = items.find(item);
        if (found == items.end()) return std::nullopt;
        return found->second;
    };
}

// The clock items of a locale: 24-hour or 12-hour, leading zero, marker
// position ("0" after the time, "1" before it).
Items Locale(std::string shortDate, std::string dateSeparator, std::string timeSeparator,
             std::string clock24, std::string leadingZero, std::string markerBefore) {
    return {{LOCALE_SSHORTDATE, std::move(shortDate)},
            {LOCALE_SDATE, std::move(dateSeparator)},
            {LOCALE_STIME, std::move(timeSeparator)},
            {LOCALE_ITIME, std::move(clock24)},
            {LOCALE_ITLZERO, std::move(leadingZero)},
            {LOCALE_ITIMEMARKPOSN, std::move(markerBefore)},
            {LOCALE_S1159, "AM"},
            {LOCALE_S2359, "PM"}};
}

const SerialTime kExample = DateFromParts(2026, 3, 8) + TimeFromParts(14, 5, 9, 0);

struct LocaleCase {
    const char* name;
    Items items;
    std::string expected;
};

void PrintTo(const LocaleCase& c, std::ostream* out) {
    *out << c.name;
}

class LocaleItemsTest : public ::testing::TestWithParam<LocaleCase> {};

TEST_P(LocaleItemsTest, WriteTheLocalesOwnForm) {
    const RegionalSettings s = RegionalSettingsFromLocale(ReaderOf(GetParam().items));
    EXPECT_EQ(DateTimeText(kExample, s), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LocaleItemsTest,
    ::testing::Values(
        LocaleCase{"UnitedStates", Locale("M/d/yyyy", "/", ":", "0", "0", "0"),
                   "3/8/2026 2:05:09 PM"},
        LocaleCase{"Germany", Locale("dd.MM.yyyy", ".", ":", "1", "1", "0"), "08.03.2026 14:05:09"},
        LocaleCase{"MarkerBeforeTheHour", Locale("yyyy-MM-dd", "-", ":", "0", "0", "1"),
                   "2026-03-08 PM 2:05:09"},
        LocaleCase{"TimeSeparatorIsTheLocales", Locale("d.M.yyyy", ".", ".", "1", "0", "0"),
                   "8.3.2026 14.05.09"},
        // A separator of two characters is one separator, not a dot and a blank.
        LocaleCase{"SeparatorOfTwoCharacters", Locale("yyyy. MM. dd.", ". ", ":", "1", "1", "0"),
                   "2026. 03. 08. 14:05:09"},
        // A slash in the pattern is a slash, whatever the separator.
        LocaleCase{"SlashThatIsNotTheSeparator", Locale("yyyy/MM/dd", "-", ":", "1", "1", "0"),
                   "2026/03/08 14:05:09"},
        LocaleCase{"QuotedTextIsCopied", Locale("d 'of' M yyyy", "/", ":", "1", "1", "0"),
                   "8 of 3 2026 14:05:09"},
        // The era cannot be written; it must not come out as the letters "gg".
        LocaleCase{"EraIsDropped", Locale("gg yyyy/M/d", "/", ":", "1", "1", "0"),
                   "2026/3/8 14:05:09"},
        LocaleCase{"NothingGivenKeepsTheDefaults", Items{}, "3/8/26 2:05:09 pm"}),
    [](const auto& info) { return std::string(info.param.name); });

// The locale numbers its days from Monday; the settings from Sunday.
TEST(LocaleNamesTest, DaysAndMonthsLandOnTheirOwnIndex) {
    Items items;
    const char* shortDays[7] = {"Mo", "Di", "Mi", "Do", "Fr", "Sa", "So"};
    const char* longDays[7] = {"Montag",  "Dienstag", "Mittwoch", "Donnerstag",
                               "Freitag", "Samstag",  "Sonntag"};
    for (int i = 0; i < 7; ++i) {
        items[static_cast<LCTYPE>(LOCALE_SDAYNAME1 + i)] = longDays[i];
        items[static_cast<LCTYPE>(LOCALE_SABBREVDAYNAME1 + i)] = shortDays[i];
    }
    items[LOCALE_SMONTHNAME3] = "M\xe4rz";
    items[LOCALE_SABBREVMONTHNAME12] = "Dez";
    const RegionalSettings s = RegionalSettingsFromLocale(ReaderOf(items));
    EXPECT_EQ(s.longDayNames[0], "Sonntag");
    EXPECT_EQ(s.shortDayNames[1], "Mo");
    EXPECT_EQ(s.shortDayNames[6], "Sa");
    EXPECT_EQ(s.longMonthNames[2], "M\xe4rz");
    EXPECT_EQ(s.shortMonthNames[11], "Dez");
    EXPECT_EQ(s.longMonthNames[0], "January");
}

TEST(LocaleNamesTest, DecimalSeparatorComesFromTheLocale) {
    const RegionalSettings s = RegionalSettingsFromLocale(ReaderOf({{LOCALE_SDECIMAL, ","}}));
    EXPECT_EQ(s.decimalSeparator, ",");
}

// The system's own settings, in the locale the run was started in.
class SystemLocaleTest : public ::testing::Test {
protected:
    static bool InLocale(WORD language, WORD sublanguage) {
        return GetUserDefaultLCID() == MAKELCID(MAKELANGID(language, sublanguage), SORT_DEFAULT);
    }
};

TEST_F(SystemLocaleTest, EnglishWritesTheWorkedExample) {
    if (!InLocale(LANG_ENGLISH, SUBLANG_ENGLISH_US)) GTEST_SKIP() << "runs in the en-US locale";
    const RegionalSettings s = readSystemRegionalSettings();
    const SerialTime day = DateFromParts(2026, 3, 8);
    EXPECT_EQ(DateTimeText(day + TimeFromParts(2, 0, 0, 0), s), "3/8/2026 2:00:00 AM");
    EXPECT_EQ(DateTimeText(day, s), "3/8/2026");
    EXPECT_EQ(s.decimalSeparator, ".");
    EXPECT_EQ(s.longDayNames[0], "Sunday");
}

TEST_F(SystemLocaleTest, GermanHasItsNamesAndTwentyFourHours) {
    if (!InLocale(LANG_GERMAN, SUBLANG_GERMAN)) GTEST_SKIP() << "runs in the de-DE locale";
    const RegionalSettings s = readSystemRegionalSettings();
    EXPECT_EQ(s.decimalSeparator, ",");
    EXPECT_EQ(s.dateSeparator, ".");
    EXPECT_FALSE(s.twelveHourClock);
    EXPECT_EQ(s.longDayNames[0], "Sonntag");
    EXPECT_EQ(s.longMonthNames[2], "M\xe4rz");  // in code page 1252
    EXPECT_EQ(LongTimeText(TimeFromParts(14, 5, 9, 0), s), "14:05:09");
}

// What a window does when the system announces a change of its settings.
TEST(RegionalReloadTest, ReloadReadsTheSystemAgain) {
    RegionalSettings stale;
    stale.shortDatePattern = "stale";
    SetCurrentRegionalSettings(stale);
    ReloadRegionalSettings();
    EXPECT_EQ(CurrentRegionalSettings(), readSystemRegionalSettings());
}

}  // namespace
}  // namespace vintrel
