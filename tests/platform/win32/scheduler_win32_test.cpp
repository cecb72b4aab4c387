#include "platform/scheduler.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace vintrel {
namespace {

using std::chrono::milliseconds;

// Runs the thread's message loop until `quit` is called, or a generous guard
// ends it so that a lost callback fails the test instead of hanging it.
class MessageLoopTest : public ::testing::Test {
protected:
    void runLoop() {
        quit_ = false;
        const ULONGLONG guard = GetTickCount64() + 10000;
        while (!quit_ && GetTickCount64() < guard) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            MSG message;
            while (!quit_ && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
        }
    }
    void quit() { quit_ = true; }

private:
    bool quit_ = false;
};

TEST_F(MessageLoopTest, CallComesOnceFromTheLoop) {
    const auto scheduler = makeEventLoopScheduler();
    int calls = 0;
    const DWORD thread = GetCurrentThreadId();
    DWORD calledOn = 0;
    scheduler->callAfter(milliseconds(1), [&] {
        ++calls;
        calledOn = GetCurrentThreadId();
        quit();
    });
    EXPECT_EQ(calls, 0);
    runLoop();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(calledOn, thread);
}

TEST_F(MessageLoopTest, LaterCallReplacesThePendingOne) {
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

TEST_F(MessageLoopTest, CallMayScheduleTheNext) {
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
TEST_F(MessageLoopTest, CancelledOrDestroyedSchedulerMakesNoCall) {
    auto cancelled = makeEventLoopScheduler();
    auto destroyed = makeEventLoopScheduler();
    int calls = 0;
    cancelled->callAfter(milliseconds(0), [&] { ++calls; });
    destroyed->callAfter(milliseconds(0), [&] { ++calls; });
    // Both timers have fired and posted by now; the messages must be ignored.
    Sleep(20);
    cancelled->cancel();
    destroyed.reset();
    const auto last = makeEventLoopScheduler();
    last->callAfter(milliseconds(20), [&] { quit(); });
    runLoop();
    EXPECT_EQ(calls, 0);
}

}  // namespace
}  // namespace vintrel
