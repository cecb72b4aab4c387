#include "timesync/regional_format.h"

#include <cctype>
#include <optional>

#include "timesync/text_format.h"

namespace vintrel {
namespace {

std::optional<RegionalSettings>& Stored() {
    static std::optional<RegionalSettings> settings;
    return settings;
}

char Lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// Length of the run of the same letter (any case) starting at `at`.
std::size_t RunLength(const std::string& pattern, std::size_t at) {
    std::size_t end = at;
    while (end < pattern.size() && Lower(pattern[end]) == Lower(pattern[at])) ++end;
    return end - at;
}

std::string PaddedOrNot(int value, bool padded) {
    return padded ? TwoDigitText(value) : IntegerText(value);
}

std::string DayField(std::size_t run, SerialTime value, const DateParts& date,
                     const RegionalSettings& settings) {
    const int weekday = WeekdayNumber(value) - 1;
    if (run <= 2) return PaddedOrNot(date.day, run == 2);
    if (run == 3) return settings.shortDayNames[weekday];
    return settings.longDayNames[weekday];
}

std::string MonthField(std::size_t run, const DateParts& date, const RegionalSettings& settings) {
    if (run <= 2) return PaddedOrNot(date.month, run == 2);
    if (run == 3) return settings.shortMonthNames[date.month - 1];
    return settings.longMonthNames[date.month - 1];
}

std::string YearField(std::size_t run, const DateParts& date) {
    if (run <= 2) return TwoDigitText(date.year % 100);
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%04d", static_cast<int>(date.year));
    return buffer;
}

}  // namespace

const RegionalSettings& CurrentRegionalSettings() {
    if (!Stored()) Stored() = readSystemRegionalSettings();
    return *Stored();
}

void SetCurrentRegionalSettings(const RegionalSettings& settings) {
    Stored() = settings;
}

void ReloadRegionalSettings() {
    Stored() = readSystemRegionalSettings();
}

std::string ShortDateText(SerialTime value, const RegionalSettings& settings) {
    const std::string& pattern =
        settings.shortDatePattern.empty() ? std::string("m/d/yy") : settings.shortDatePattern;
    const std::string& separator =
        settings.dateSeparator.empty() ? std::string("/") : settings.dateSeparator;
    const DateParts date = DatePartsOf(value);
    std::string out;
    std::size_t at = 0;
    while (at < pattern.size()) {
        const char c = pattern[at];
        const char lower = Lower(c);
        if (lower == 'd' || lower == 'm' || lower == 'y') {
            const std::size_t run = RunLength(pattern, at);
            if (lower == 'd') out += DayField(run, value, date, settings);
            if (lower == 'm') out += MonthField(run, date, settings);
            if (lower == 'y') out += YearField(run, date);
            at += run;
        } else if (c == '\'' || c == '"') {
            const std::size_t close = pattern.find(c, at + 1);
            const std::size_t end = close == std::string::npos ? pattern.size() : close;
            out.append(pattern, at + 1, end - at - 1);
            at = end + 1;
        } else {
            out += c == '/' ? separator : std::string(1, c);
            ++at;
        }
    }
    return out;
}

std::string LongTimeText(SerialTime value, const RegionalSettings& settings) {
    const TimeParts time = TimePartsOf(value);
    const std::string& separator =
        settings.timeSeparator.empty() ? std::string(":") : settings.timeSeparator;
    int hour = time.hour;
    if (settings.twelveHourClock) {
        hour %= 12;
        if (hour == 0) hour = 12;
    }
    std::string clock = PaddedOrNot(hour, settings.hourLeadingZero) + separator +
                        TwoDigitText(time.minute) + separator + TwoDigitText(time.second);
    if (!settings.twelveHourClock) return clock;
    const std::string& marker = time.hour < 12 ? (settings.amText.empty() ? "am" : settings.amText)
                                               : (settings.pmText.empty() ? "pm" : settings.pmText);
    return settings.amPmBeforeTime ? marker + " " + clock : clock + " " + marker;
}

std::string DateTimeText(SerialTime value) {
    return DateTimeText(value, CurrentRegionalSettings());
}

std::string DateTimeText(SerialTime value, const RegionalSettings& settings) {
    std::string text = ShortDateText(value, settings);
    const TimeParts time = TimePartsOf(value);
    if (time.hour != 0 || time.minute != 0 || time.second != 0) {
        text += ' ';
        text += LongTimeText(value, settings);
    }
    return text;
}

}  // namespace vintrel
