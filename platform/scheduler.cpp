#include "platform/scheduler.h"

#include <utility>

namespace vintrel {

SleepingScheduler::SleepingScheduler(Sleep sleep) : sleep_(std::move(sleep)) {}

void SleepingScheduler::callAfter(std::chrono::milliseconds delay, std::function<void()> callback) {
    pending_ = Call{delay, std::move(callback)};
}

void SleepingScheduler::cancel() {
    pending_.reset();
}

std::optional<std::chrono::milliseconds> SleepingScheduler::pendingDelay() const {
    if (!pending_) return std::nullopt;
    return pending_->delay;
}

bool SleepingScheduler::runOne() {
    if (!pending_) return false;
    // The call may schedule the next one, so it leaves the slot first.
    Call call = std::move(*pending_);
    pending_.reset();
    if (call.delay.count() > 0) sleep_(call.delay);
    call.callback();
    return true;
}

void SleepingScheduler::run() {
    while (runOne()) {
    }
}

}  // namespace vintrel
