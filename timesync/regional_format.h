#pragma once

#include <string>

#include "platform/regional_settings.h"
#include "timesync/serial_time.h"

namespace vintrel {

/// The regional settings dates and times are written with: read from the
/// system on first use, replaced when the system announces a change.
const RegionalSettings& CurrentRegionalSettings();
void SetCurrentRegionalSettings(const RegionalSettings& settings);
/// Reads the system's settings again (after it announced a change).
void ReloadRegionalSettings();

/// The date in the short date form, then, unless the time of day is exactly
/// midnight (milliseconds do not count), a blank and the long time form.
std::string DateTimeText(SerialTime value);
std::string DateTimeText(SerialTime value, const RegionalSettings& settings);

std::string ShortDateText(SerialTime value, const RegionalSettings& settings);
std::string LongTimeText(SerialTime value, const RegionalSettings& settings);

}  // namespace vintrel
