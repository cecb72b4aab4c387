#include <ctime>

#include "platform/system_clock.h"

namespace vintrel {
namespace {

SystemTime FromTm(const std::tm& tm, long nanoseconds) {
    SystemTime t;
    t.wYear = static_cast<std::uint16_t>(tm.tm_year + 1900);
    t.wMonth = static_cast<std::uint16_t>(tm.tm_mon + 1);
    t.wDayOfWeek = static_cast<std::uint16_t>(tm.tm_wday);
    t.wDay = static_cast<std::uint16_t>(tm.tm_mday);
    t.wHour = static_cast<std::uint16_t>(tm.tm_hour);
    t.wMinute = static_cast<std::uint16_t>(tm.tm_min);
    // A leap second is shown as the last second of its minute.
    t.wSecond = static_cast<std::uint16_t>(tm.tm_sec > 59 ? 59 : tm.tm_sec);
    t.wMilliseconds = static_cast<std::uint16_t>(nanoseconds / 1'000'000);
    return t;
}

class LinuxClock final : public SystemClock {
public:
    SystemTime utcNow() const override {
        timespec ts{};
        clock_gettime(CLOCK_REALTIME, &ts);
        std::tm tm{};
        gmtime_r(&ts.tv_sec, &tm);
        return FromTm(tm, ts.tv_nsec);
    }

    SystemTime localNow() const override {
        timespec ts{};
        clock_gettime(CLOCK_REALTIME, &ts);
        tzset();
        std::tm tm{};
        localtime_r(&ts.tv_sec, &tm);
        return FromTm(tm, ts.tv_nsec);
    }
};

}  // namespace

const SystemClock& realSystemClock() {
    static const LinuxClock clock;
    return clock;
}

}  // namespace vintrel
