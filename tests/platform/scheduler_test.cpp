#include "platform/scheduler.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <vector>

#include "platform/qt_runtime.h"

namespace vintrel {
namespace {

using std::chrono::milliseconds;

// Runs the event loop until `quit` is called, or a generous guard ends it
// so that a lost callback fails the test instead of hanging it.
class LoopTest : public ::testing::Test {
protected:
    void runLoop() {
        QTimer::singleShot(milliseconds(10000), &loop_, [this] { loop_.quit(); });
        loop_.exec();
    }
    void quit() { loop_.quit(); }

    static bool QtCore() {
        ensureQtCore();
        return true;
    }

    // Before the loop: a loop needs the application object.
    bool qtCore_ = QtCore();
    QEventLoop loop_;
};

TEST_F(LoopTest, CallComesOnceFromTheLoop) {
    const auto scheduler = makeEventLoopScheduler();
    int calls = 0;
    scheduler->callAfter(milliseconds(1), [&] {
        ++calls;
        quit();
    });
    EXPECT_EQ(calls, 0);
    runLoop();
    EXPECT_EQ(calls, 1);
}

TEST_F(LoopTest, LaterCallReplacesThePendingOne) {
    const auto scheduler = makeEventLoopScheduler();
    std::vector<char> calls;
    scheduler->callAfter(milliseconds(0), [&] { calls.push_back('a'); });
    scheduler->callAfter(milliseconds(1), [&] {
        calls.push_back('b');
        quit();
    });
    runLoop();
    EXPECT_EQ(calls, std::vector<char>{'b'});
}

TEST_F(LoopTest, CallMayScheduleTheNext) {
    const auto scheduler = makeEventLoopScheduler();
    int calls = 0;
    std::function<void()> step = [&] {
        if (++calls < 3) {
            scheduler->callAfter(milliseconds(0), step);
        } else {
            quit();
        }
    };
    scheduler->callAfter(milliseconds(0), step);
    runLoop();
    EXPECT_EQ(calls, 3);
}

// Dropped calls must not come: the caller that cancelled may be gone.
TEST_F(LoopTest, CancelledOrDestroyedSchedulerMakesNoCall) {
    auto cancelled = makeEventLoopScheduler();
    auto destroyed = makeEventLoopScheduler();
    int calls = 0;
    cancelled->callAfter(milliseconds(0), [&] { ++calls; });
    destroyed->callAfter(milliseconds(0), [&] { ++calls; });
    cancelled->cancel();
    destroyed.reset();
    // Had either call survived, it would be long overdue by then.
    const auto last = makeEventLoopScheduler();
    last->callAfter(milliseconds(20), [&] { quit(); });
    runLoop();
    EXPECT_EQ(calls, 0);
}

TEST(SleepingSchedulerTest, SleepsOutEachDelayInTurn) {
    std::vector<long long> slept;
    SleepingScheduler scheduler([&](milliseconds delay) { slept.push_back(delay.count()); });
    std::vector<int> calls;
    scheduler.callAfter(milliseconds(250), [&] {
        calls.push_back(1);
        scheduler.callAfter(milliseconds(0), [&] {
            calls.push_back(2);
            scheduler.callAfter(milliseconds(100), [&] { calls.push_back(3); });
        });
    });
    EXPECT_EQ(scheduler.pendingDelay(), milliseconds(250));
    scheduler.run();
    EXPECT_EQ(calls, (std::vector<int>{1, 2, 3}));
    // A zero delay is no sleep at all.
    EXPECT_EQ(slept, (std::vector<long long>{250, 100}));
    EXPECT_EQ(scheduler.pendingDelay(), std::nullopt);
    EXPECT_FALSE(scheduler.runOne());
}

TEST(SleepingSchedulerTest, CancelledCallIsNeverMade) {
    SleepingScheduler scheduler([](milliseconds) {});
    int calls = 0;
    scheduler.callAfter(milliseconds(5), [&] { ++calls; });
    scheduler.cancel();
    scheduler.run();
    EXPECT_EQ(calls, 0);
}

}  // namespace
}  // namespace vintrel
