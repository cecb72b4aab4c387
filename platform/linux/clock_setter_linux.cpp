#include "platform/linux/clock_setter_linux.h"

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <system_error>
#include <utility>

#include "platform/linux/timedated_client.h"

namespace vintrel {
namespace {

std::string InvalidTimeReason(const SystemTime& t) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "%04u-%02u-%02u %02u:%02u:%02u.%03u is not a valid UTC date and time after 1970",
                  unsigned{t.wYear}, unsigned{t.wMonth}, unsigned{t.wDay}, unsigned{t.wHour},
                  unsigned{t.wMinute}, unsigned{t.wSecond}, unsigned{t.wMilliseconds});
    return text;
}

class RealKernelClock final : public KernelClock {
public:
    bool maySetClock() const override { return hasEffectiveCapability(CAP_SYS_TIME); }

    int setRealtime(std::int64_t microsecondsUtc) override {
        timespec ts{};
        ts.tv_sec = static_cast<std::time_t>(microsecondsUtc / 1'000'000);
        ts.tv_nsec = static_cast<long>(microsecondsUtc % 1'000'000 * 1000);
        return clock_settime(CLOCK_REALTIME, &ts) == 0 ? 0 : errno;
    }

    std::int64_t realtimeMicroseconds() const override {
        timespec ts{};
        clock_gettime(CLOCK_REALTIME, &ts);
        return std::int64_t{ts.tv_sec} * 1'000'000 + ts.tv_nsec / 1000;
    }
};

}  // namespace

LinuxClockSetter::LinuxClockSetter(KernelClock& kernel) : kernel_(kernel) {}

std::optional<ClockSetResult> LinuxClockSetter::setByKernel(const SystemTime& utc,
                                                            std::int64_t& micros) {
    const std::optional<std::int64_t> wanted = microsecondsSinceEpoch(utc);
    if (!wanted) return ClockSetResult{false, InvalidTimeReason(utc)};
    micros = *wanted;
    // The capability is asked for, never found out by trying: a trial that
    // succeeded would already have moved the clock.
    if (kernel_.maySetClock()) {
        const int error = kernel_.setRealtime(micros);
        if (error == 0) return ClockSetResult{true, {}};
        // In a user namespace the capability shows but does not reach the
        // clock; timedated outside it may still be allowed to.
        if (error != EPERM) {
            return ClockSetResult{false, std::error_code(error, std::generic_category()).message()};
        }
    }
    return std::nullopt;
}

ClockSetResult LinuxClockSetter::setUtc(const SystemTime& utc, bool interactive) {
    std::int64_t micros = 0;
    if (auto result = setByKernel(utc, micros)) return *result;
    return setTimeThroughTimedated(
        {micros, [this] { return kernel_.realtimeMicroseconds(); }, interactive});
}

void LinuxClockSetter::setUtcAsync(const SystemTime& utc, bool interactive,
                                   std::function<void(ClockSetResult)> done) {
    std::int64_t micros = 0;
    if (auto result = setByKernel(utc, micros)) {
        done(*result);
        return;
    }
    setTimeThroughTimedatedAsync(
        {micros, [this] { return kernel_.realtimeMicroseconds(); }, interactive}, std::move(done));
}

std::optional<std::int64_t> microsecondsSinceEpoch(const SystemTime& t) {
    using namespace std::chrono;
    const year_month_day date{year{t.wYear}, month{t.wMonth}, day{t.wDay}};
    if (!date.ok() || t.wHour > 23 || t.wMinute > 59 || t.wSecond > 59 || t.wMilliseconds > 999) {
        return std::nullopt;
    }
    const sys_time<milliseconds> at = sys_days{date} + hours{t.wHour} + minutes{t.wMinute} +
                                      seconds{t.wSecond} + milliseconds{t.wMilliseconds};
    const std::int64_t micros = duration_cast<microseconds>(at.time_since_epoch()).count();
    if (micros < 0) return std::nullopt;
    return micros;
}

bool hasEffectiveCapability(int capability) {
    if (capability < 0 || capability >= 32 * _LINUX_CAPABILITY_U32S_3) return false;
    __user_cap_header_struct header{};
    header.version = _LINUX_CAPABILITY_VERSION_3;
    header.pid = 0;
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
    if (syscall(SYS_capget, &header, data) != 0) return false;
    const auto word = static_cast<unsigned>(capability) / 32;
    const auto bit = static_cast<unsigned>(capability) % 32;
    return ((data[word].effective >> bit) & 1U) != 0;
}

std::unique_ptr<ClockSetter> makeSystemClockSetter() {
    static RealKernelClock kernel;
    return std::make_unique<LinuxClockSetter>(kernel);
}

}  // namespace vintrel
