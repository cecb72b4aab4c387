// Sets the clock through the system bus as Vintrel does, for tests of the real
// systemd-timedated: the target is a whole second `--ahead` seconds from now.
// Prints the step it sent, the outcome, and the longest stall of its event
// loop while it waited (a timer due every 10 ms); never touches the clock itself.
//
//   set_clock_call --ahead SECONDS [--silent]

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "platform/linux/clock_setter_linux.h"

namespace {

std::int64_t RealtimeMicroseconds() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return std::int64_t{ts.tv_sec} * 1'000'000 + ts.tv_nsec / 1000;
}

// Never claims the right to set the clock, and keeps the reading it gave.
struct BusOnlyClock final : vintrel::KernelClock {
    mutable std::int64_t lastReading = 0;
    bool maySetClock() const override { return false; }
    int setRealtime(std::int64_t) override { return EPERM; }
    std::int64_t realtimeMicroseconds() const override {
        lastReading = RealtimeMicroseconds();
        return lastReading;
    }
};

vintrel::SystemTime SystemTimeOf(std::time_t seconds) {
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    vintrel::SystemTime t;
    t.wYear = static_cast<std::uint16_t>(utc.tm_year + 1900);
    t.wMonth = static_cast<std::uint16_t>(utc.tm_mon + 1);
    t.wDay = static_cast<std::uint16_t>(utc.tm_mday);
    t.wHour = static_cast<std::uint16_t>(utc.tm_hour);
    t.wMinute = static_cast<std::uint16_t>(utc.tm_min);
    t.wSecond = static_cast<std::uint16_t>(utc.tm_sec);
    return t;
}

}  // namespace

int main(int argc, char** argv) {
    long ahead = 0;
    bool silent = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--ahead") == 0 && i + 1 < argc) {
            ahead = std::strtol(argv[++i], nullptr, 10);
        } else if (std::strcmp(argv[i], "--silent") == 0) {
            silent = true;
        } else {
            std::fprintf(stderr, "usage: set_clock_call --ahead SECONDS [--silent]\n");
            return 2;
        }
    }
    QCoreApplication app(argc, argv);
    QElapsedTimer sinceTick;
    qint64 longestStall = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout,
                     [&] { longestStall = std::max(longestStall, sinceTick.restart() - 10); });
    sinceTick.start();
    ticker.start(10);

    const std::time_t target = std::time(nullptr) + ahead;
    BusOnlyClock kernel;
    vintrel::LinuxClockSetter setter(kernel);
    vintrel::ClockSetResult result;
    bool answered = false;
    setter.setUtcAsync(SystemTimeOf(target), !silent, [&](const vintrel::ClockSetResult& r) {
        result = r;
        answered = true;
    });
    while (!answered) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    std::printf("target %lld\n", static_cast<long long>(target));
    std::printf("step %lld\n", static_cast<long long>(target) * 1'000'000 - kernel.lastReading);
    std::printf("%s%s\n", result.ok ? "set" : "refused: ", result.reason.c_str());
    std::printf("stall_ms %lld\n", static_cast<long long>(longestStall));
    return result.ok ? 0 : 1;
}
