#pragma once

#include <QLocale>

#include "platform/time_zone_source.h"

namespace vintrel {

/// The system zone (TZ, else /etc/localtime) from the system's own tz
/// database through the C library: this year's change-overs as day-in-month
/// rules, the biases, and the zone's long names in `locale` (its
/// abbreviations where the zone has no IANA id or no long names). "Now" is
/// the installed system clock's.
class LinuxTimeZoneSource final : public TimeZoneSource {
public:
    explicit LinuxTimeZoneSource(QLocale locale = QLocale::system());
    TimeZoneReading read() const override;

private:
    QLocale locale_;
};

}  // namespace vintrel
