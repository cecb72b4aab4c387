#include "shell/custom_timer.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/shell/fake_tray_backend.h"

namespace vintrel {
namespace {

using testing::FakeApplication;
using testing::FakeTrayBackend;

class PublishedTimer : public TkvCustomTimer {
public:
    using TkvCustomTimer::SetEnabled;
    using TkvCustomTimer::SetInterval;
    using TkvCustomTimer::SetOnTimer;
    using TkvCustomTimer::TkvCustomTimer;
};

struct TimerCase {
    const char* name;
    std::uint32_t interval;
    bool enabled;
    bool handler;
    bool running;
};

void PrintTo(const TimerCase& c, std::ostream* os) {
    *os << c.name;
}

class TimerRuleTest : public ::testing::TestWithParam<TimerCase> {};

TEST_P(TimerRuleTest, RunsOnlyWithIntervalEnabledAndHandler) {
    std::vector<std::string> log;
    FakeApplication app(nullptr);
    FakeTrayBackend backend(&app, &log);
    PublishedTimer timer(nullptr, backend);
    const TimerCase& c = GetParam();
    if (c.handler) timer.SetOnTimer([](TComponent*) {});
    timer.SetInterval(c.interval);
    timer.SetEnabled(c.enabled);
    const auto it = backend.timers.find({timer.TimerWindow(), 1});
    EXPECT_EQ(it != backend.timers.end(), c.running);
    if (c.running) {
        EXPECT_EQ(it->second, c.interval);
        timer.SetEnabled(false);
        EXPECT_TRUE(backend.timers.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Table, TimerRuleTest,
                         ::testing::Values(TimerCase{"AllThreeRun", 250, true, true, true},
                                           TimerCase{"ZeroIntervalStops", 0, true, true, false},
                                           TimerCase{"DisabledStops", 250, false, true, false},
                                           TimerCase{"NoHandlerStops", 250, true, false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CustomTimerTest, TicksFireOnTimerAndOtherMessagesGoToDefault) {
    std::vector<std::string> log;
    FakeApplication app(nullptr);
    FakeTrayBackend backend(&app, &log);
    PublishedTimer timer(nullptr, backend);
    int ticks = 0;
    timer.SetOnTimer([&](TComponent* sender) {
        EXPECT_EQ(sender, &timer);
        ++ticks;
    });
    EXPECT_EQ(backend.timers.at({timer.TimerWindow(), 1}), 1000u);
    backend.tick(timer.TimerWindow());
    EXPECT_EQ(ticks, 1);
    backend.send(timer.TimerWindow(), 0x0400);
    EXPECT_EQ(log, std::vector<std::string>{"default 1024"});
}

TEST(CustomTimerTest, StartFailureIsOutOfResources) {
    std::vector<std::string> log;
    FakeApplication app(nullptr);
    FakeTrayBackend backend(&app, &log);
    backend.timersAvailable = false;
    PublishedTimer timer(nullptr, backend);
    EXPECT_THROW(timer.SetOnTimer([](TComponent*) {}), EOutOfResources);
}

TEST(CustomTimerTest, DestructionStopsTimerAndReleasesWindow) {
    std::vector<std::string> log;
    FakeApplication app(nullptr);
    FakeTrayBackend backend(&app, &log);
    {
        PublishedTimer timer(nullptr, backend);
        timer.SetOnTimer([](TComponent*) {});
        EXPECT_EQ(backend.windows.size(), 1u);
    }
    EXPECT_TRUE(backend.timers.empty());
    EXPECT_TRUE(backend.windows.empty());
}

}  // namespace
}  // namespace vintrel
