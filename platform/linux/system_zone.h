#pragma once

#include <optional>
#include <string>

namespace vintrel {

/// Which zone the C library uses, as far as it can be named.
struct SystemZone {
    /// False when TZ names neither a zone file nor a POSIX rule string: the C
    /// library then quietly runs on UTC, which describes nothing the user set.
    bool known = true;
    /// The zone's IANA id, when it has one (a POSIX rule string has none).
    std::optional<std::string> ianaId;
};

/// Where the system keeps its zone settings; tests point these elsewhere.
struct ZoneSettingsPaths {
    std::string zoneDirectory = "/usr/share/zoneinfo";  // TZDIR, when set, wins
    std::string localtime = "/etc/localtime";
    std::string timezone = "/etc/timezone";
};

/// The zone that TZ (nullptr: unset) selects, else the system's own setting.
SystemZone FindSystemZone(const char* tz, const ZoneSettingsPaths& paths);

/// The zone of this process's environment and the system's settings.
SystemZone FindSystemZone();

/// True when `text` starts as a POSIX TZ rule: a name of three or more
/// letters (or one in angle brackets) followed by an offset.
bool IsPosixRuleString(const std::string& text);

}  // namespace vintrel
