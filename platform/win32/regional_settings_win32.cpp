#include "platform/win32/regional_settings_win32.h"

#include <vector>

namespace vintrel {
namespace {

void Take(const LocaleInfoReader& read, LCTYPE item, std::string& field) {
    if (std::optional<std::string> value = read(item)) field = std::move(*value);
}

// The flags are "0" or "1"; anything else keeps the default.
void TakeFlag(const LocaleInfoReader& read, LCTYPE item, bool whenOne, bool& field) {
    const std::optional<std::string> value = read(item);
    if (value == "0") field = !whenOne;
    if (value == "1") field = whenOne;
}

void ReadNames(const LocaleInfoReader& read, RegionalSettings& s) {
    // The locale counts days from Monday (item 1) to Sunday (item 7); the
    // settings from Sunday.
    for (int day = 0; day < 7; ++day) {
        const int fromMonday = (day + 6) % 7;
        Take(read, static_cast<LCTYPE>(LOCALE_SABBREVDAYNAME1 + fromMonday),
             s.shortDayNames[static_cast<std::size_t>(day)]);
        Take(read, static_cast<LCTYPE>(LOCALE_SDAYNAME1 + fromMonday),
             s.longDayNames[static_cast<std::size_t>(day)]);
    }
    for (int month = 0; month < 12; ++month) {
        Take(read, static_cast<LCTYPE>(LOCALE_SABBREVMONTHNAME1 + month),
             s.shortMonthNames[static_cast<std::size_t>(month)]);
        Take(read, static_cast<LCTYPE>(LOCALE_SMONTHNAME1 + month),
             s.longMonthNames[static_cast<std::size_t>(month)]);
    }
}

}  // namespace

std::optional<std::string> UserLocaleInfo(LCTYPE item) {
    const int size = GetLocaleInfoA(LOCALE_USER_DEFAULT, item, nullptr, 0);
    if (size <= 0) return std::nullopt;
    std::vector<char> text(static_cast<std::size_t>(size));
    const int length = GetLocaleInfoA(LOCALE_USER_DEFAULT, item, text.data(), size);
    if (length <= 0) return std::nullopt;
    return std::string(text.data());
}

std::string ShortDatePatternFromLocale(const std::string& pattern, const std::string& separator) {
    std::string out;
    bool quoted = false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '\'') {
            quoted = !quoted;
            out += c;
        } else if (quoted) {
            out += c;
        } else if (!separator.empty() && pattern.compare(i, separator.size(), separator) == 0) {
            out += '/';
            i += separator.size() - 1;
        } else if (c == '/') {
            // A slash that is not the separator stays a slash.
            out += "'/'";
        } else if (c == 'g') {
            // The era cannot be written by the short date form.
            continue;
        } else {
            out += c;
        }
    }
    const std::size_t first = out.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return out.substr(first, out.find_last_not_of(' ') - first + 1);
}

RegionalSettings RegionalSettingsFromLocale(const LocaleInfoReader& read) {
    RegionalSettings s;
    Take(read, LOCALE_SDATE, s.dateSeparator);
    Take(read, LOCALE_STIME, s.timeSeparator);
    if (std::optional<std::string> pattern = read(LOCALE_SSHORTDATE)) {
        s.shortDatePattern = ShortDatePatternFromLocale(*pattern, s.dateSeparator);
    }
    TakeFlag(read, LOCALE_ITIME, /*whenOne=*/false, s.twelveHourClock);
    TakeFlag(read, LOCALE_ITLZERO, /*whenOne=*/true, s.hourLeadingZero);
    TakeFlag(read, LOCALE_ITIMEMARKPOSN, /*whenOne=*/true, s.amPmBeforeTime);
    Take(read, LOCALE_S1159, s.amText);
    Take(read, LOCALE_S2359, s.pmText);
    Take(read, LOCALE_SDECIMAL, s.decimalSeparator);
    ReadNames(read, s);
    return s;
}

RegionalSettings readSystemRegionalSettings() {
    return RegionalSettingsFromLocale(&UserLocaleInfo);
}

}  // namespace vintrel
