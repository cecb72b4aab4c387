#include "platform/linux/time_zone_source_linux.h"

#include <QTimeZone>
#include <ctime>
#include <optional>

#include "platform/linux/system_zone.h"
#include "platform/linux/zone_rules.h"
#include "platform/linux/zone_transitions.h"
#include "platform/system_clock.h"

namespace vintrel {
namespace {

std::optional<std::time_t> ClockNow() {
    const SystemTime utc = systemClock().utcNow();
    if (utc.wMonth < 1 || utc.wMonth > 12 || utc.wDay < 1 || utc.wDay > 31) return std::nullopt;
    std::tm tm{};
    tm.tm_year = utc.wYear - 1900;
    tm.tm_mon = utc.wMonth - 1;
    tm.tm_mday = utc.wDay;
    tm.tm_hour = utc.wHour;
    tm.tm_min = utc.wMinute;
    tm.tm_sec = utc.wSecond;
    return timegm(&tm);
}

std::optional<int> LocalYear(std::time_t t) {
    std::tm tm{};
    if (localtime_r(&t, &tm) == nullptr) return std::nullopt;
    return tm.tm_year + 1900;
}

// The record holds 32 code units; a longer name is cut, never inside a
// surrogate pair.
std::array<char16_t, 32> NameField(const QString& name) {
    std::array<char16_t, 32> field{};
    qsizetype length = std::min<qsizetype>(name.size(), 32);
    if (length == 32 && name.size() > 32 && name[31].isHighSurrogate()) --length;
    for (qsizetype i = 0; i < length; ++i) field[static_cast<std::size_t>(i)] = name[i].unicode();
    return field;
}

struct ZoneNames {
    QString standard;
    QString daylight;
};

ZoneNames NamesOf(const SystemZone& zone, const ZoneRules& rules, const QLocale& locale) {
    ZoneNames names{QString::fromStdString(rules.standardAbbreviation),
                    QString::fromStdString(rules.daylightAbbreviation)};
    if (!zone.ianaId) return names;
    const QTimeZone qtZone(QByteArray::fromStdString(*zone.ianaId));
    if (!qtZone.isValid()) return names;
    const QString standard =
        qtZone.displayName(QTimeZone::StandardTime, QTimeZone::LongName, locale);
    const QString daylight =
        qtZone.displayName(QTimeZone::DaylightTime, QTimeZone::LongName, locale);
    if (!standard.isEmpty()) names.standard = standard;
    if (!daylight.isEmpty()) names.daylight = daylight;
    return names;
}

std::optional<ZoneRules> RulesNow() {
    const std::optional<std::time_t> now = ClockNow();
    if (!now) return std::nullopt;
    const std::optional<ZoneState> state = ZoneStateAt(*now);
    const std::optional<int> year = LocalYear(*now);
    if (!state || !year) return std::nullopt;
    const auto transitions = TransitionsInYear(*year);
    if (!transitions) return std::nullopt;
    return RulesFromTransitions(*transitions, *state);
}

}  // namespace

LinuxTimeZoneSource::LinuxTimeZoneSource(QLocale locale) : locale_(std::move(locale)) {}

TimeZoneReading LinuxTimeZoneSource::read() const {
    tzset();
    const SystemZone zone = FindSystemZone();
    if (!zone.known) return {};
    const std::optional<ZoneRules> rules = RulesNow();
    if (!rules) return {};
    const ZoneNames names = NamesOf(zone, *rules, locale_);
    TimeZoneReading reading;
    reading.code = rules->code;
    TimeZoneInformation& info = reading.info;
    info.Bias = rules->bias;
    info.StandardName = NameField(names.standard);
    info.StandardDate = rules->standardDate;
    info.StandardBias = rules->standardBias;
    info.DaylightName = NameField(names.daylight);
    info.DaylightDate = rules->daylightDate;
    info.DaylightBias = rules->daylightBias;
    return reading;
}

const TimeZoneSource& realTimeZoneSource() {
    static const LinuxTimeZoneSource source;
    return source;
}

}  // namespace vintrel
