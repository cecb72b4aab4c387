#include "platform/linux/regional_settings_qt.h"

#include <gtest/gtest.h>

#include <QDir>
#include <algorithm>
#include <set>

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
                                           LocaleCase{"ja_JP", "ja_JP", "2026/03/08 14:05:09"},
                                           LocaleCase{"fr_CA", "fr_CA", "2026-03-08 14:05:09"}),
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

// The locales the system has installed (locales-all installs every one).
std::set<QString> InstalledLocales() {
    std::set<QString> names;
    const QDir folder(QStringLiteral("/usr/lib/locale"));
    for (const QString& entry : folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString name = entry.section(u'.', 0, 0).section(u'@', 0, 0);
        if (name.contains(u'_')) names.insert(name);
    }
    return names;
}

// A run of more than four digits is two fields without a separator between.
qsizetype LongestDigitRun(const QString& text) {
    qsizetype longest = 0;
    qsizetype run = 0;
    for (QChar c : text) {
        run = c.isDigit() ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

bool Visible(const std::string& separator) {
    for (QChar c : QString::fromStdString(separator))
        if (!c.isSpace() && c.category() != QChar::Other_Format) return true;
    return false;
}

// Pins the direction marks of the Arabic locales taken as the date separator
// ("2026128") and fr_CA's quoted hour word lost from its time ("14  05  09").
TEST(RegionalSettingsTest, EveryInstalledLocaleSeparatesItsFields) {
    const std::set<QString> names = InstalledLocales();
    if (names.empty()) GTEST_SKIP() << "no locales installed (locales-all)";
    for (const QString& name : names) {
        const QLocale locale(name);
        if (locale.language() == QLocale::C) continue;  // unknown to Qt's data
        const RegionalSettings s = regionalSettingsFromLocale(locale);
        const std::string text = DateTimeText(kExample, s);
        EXPECT_TRUE(Visible(s.dateSeparator)) << name.toStdString() << ": " << s.dateSeparator;
        EXPECT_TRUE(Visible(s.timeSeparator)) << name.toStdString() << ": " << s.timeSeparator;
        EXPECT_LE(LongestDigitRun(QString::fromStdString(text)), 4)
            << name.toStdString() << ": " << text;
    }
}

}  // namespace
}  // namespace vintrel
