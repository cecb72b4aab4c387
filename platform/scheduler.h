#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace vintrel {

/// "Call me back in N ms": how work that is spread over time runs on the
/// caller's event loop without holding it in between. One pending call per
/// scheduler: give each user a scheduler of its own.
class Scheduler {
public:
    virtual ~Scheduler() = default;
    /// Calls `callback` once, after `delay`, from the event loop; a call still
    /// pending is dropped.
    virtual void callAfter(std::chrono::milliseconds delay, std::function<void()> callback) = 0;
    /// Drops the pending call, if any.
    virtual void cancel() = 0;
};

/// A scheduler on the calling thread's event loop, to the millisecond. The
/// loop must run for the calls to be made; destroying the scheduler drops the
/// pending call.
std::unique_ptr<Scheduler> makeEventLoopScheduler();

/// A scheduler for a program without an event loop: `run` waits out each
/// delay with `sleep` and makes the call, until none is pending. Tests give it
/// a sleep that moves a fake clock.
class SleepingScheduler final : public Scheduler {
public:
    using Sleep = std::function<void(std::chrono::milliseconds)>;

    explicit SleepingScheduler(Sleep sleep);

    void callAfter(std::chrono::milliseconds delay, std::function<void()> callback) override;
    void cancel() override;

    /// The delay of the pending call; nothing when none is pending.
    std::optional<std::chrono::milliseconds> pendingDelay() const;
    /// Waits out the pending call's delay and makes it; false when none was pending.
    bool runOne();
    /// Makes the calls as they come due until none is pending.
    void run();

private:
    struct Call {
        std::chrono::milliseconds delay;
        std::function<void()> callback;
    };

    Sleep sleep_;
    std::optional<Call> pending_;
};

}  // namespace vintrel
