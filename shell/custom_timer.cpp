#include "shell/custom_timer.h"

#include <utility>

#include "shell/application_exception.h"

namespace vintrel {

TkvCustomTimer::TkvCustomTimer(TComponent* owner, TimerWindowBackend& windows)
    : TkvComponent(owner), windows_(windows) {
    // Messages arrive only from the event loop, so a descendant's override is
    // in place by the time the first one is dispatched.
    window_ = windows_.allocateWindow([this](TMessage& message) { WndProc(message); });
}

TkvCustomTimer::~TkvCustomTimer() {
    enabled_ = false;
    windows_.killTimer(window_, kTimerId);
    windows_.deallocateWindow(window_);
}

void TkvCustomTimer::SetInterval(std::uint32_t interval) {
    if (interval == interval_) return;
    interval_ = interval;
    UpdateTimer();
}

void TkvCustomTimer::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    UpdateTimer();
}

void TkvCustomTimer::SetOnTimer(TNotifyEvent handler) {
    onTimer_ = std::move(handler);
    UpdateTimer();
}

void TkvCustomTimer::UpdateTimer() {
    windows_.killTimer(window_, kTimerId);
    if (interval_ == 0 || !enabled_ || !onTimer_) return;
    if (!windows_.setTimer(window_, kTimerId, interval_))
        throw EOutOfResources("Not enough timers available");
}

void TkvCustomTimer::WndProc(TMessage& message) {
    if (message.Msg != kWmTimer) {
        message.Result = windows_.defWindowProc(window_, message);
        return;
    }
    try {
        Timer();
    } catch (...) {
        handleApplicationException(std::current_exception());
    }
}

void TkvCustomTimer::Timer() {
    if (onTimer_) onTimer_(this);
}

}  // namespace vintrel
