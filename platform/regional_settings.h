#pragma once

#include <array>
#include <string>

namespace vintrel {

/// The user's regional settings that dates, times and numbers are written
/// with. The defaults are the ones used where the system gives none.
struct RegionalSettings {
    /// Pattern letters d, m, y (any case); "/" stands for `dateSeparator`;
    /// quoted text is copied without its quotes.
    std::string shortDatePattern = "m/d/yy";
    std::string dateSeparator = "/";
    std::string timeSeparator = ":";
    bool twelveHourClock = true;
    bool hourLeadingZero = false;
    bool amPmBeforeTime = false;
    std::string amText = "am";
    std::string pmText = "pm";
    std::string decimalSeparator = ".";
    std::array<std::string, 7> shortDayNames{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    std::array<std::string, 7> longDayNames{"Sunday",   "Monday", "Tuesday", "Wednesday",
                                            "Thursday", "Friday", "Saturday"};
    std::array<std::string, 12> shortMonthNames{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::array<std::string, 12> longMonthNames{"January",   "February", "March",    "April",
                                               "May",       "June",     "July",     "August",
                                               "September", "October",  "November", "December"};

    friend bool operator==(const RegionalSettings&, const RegionalSettings&) = default;
};

/// Reads the user's regional settings from the operating system (texts in the
/// program's 8-bit encoding, UTF-8 on Linux).
RegionalSettings readSystemRegionalSettings();

}  // namespace vintrel
