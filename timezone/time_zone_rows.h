#pragma once

#include <string>
#include <utility>
#include <vector>

namespace vintrel {

/// The time-zone report as the window shows it: caption and value, top to
/// bottom, each value starting as its label's name. Reads the system's
/// time-zone information; an EConvertError of the fill reaches the caller.
std::vector<std::pair<std::string, std::string>> TimeZoneReportRows();

}  // namespace vintrel
