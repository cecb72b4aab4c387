#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "shell/events.h"
#include "shell/kv_component.h"
#include "shell/timer_window_backend.h"

namespace vintrel {

/// The system cannot give what was asked ("Not enough timers available").
class EOutOfResources : public std::runtime_error {
public:
    explicit EOutOfResources(const std::string& message) : std::runtime_error(message) {}
};

/// A component with a hidden window of its own, the timer window, and one
/// window timer (id 1) on it. The timer runs only while `Interval` is not 0,
/// `Enabled` is true and `OnTimer` is assigned. Descendants publish what they
/// need of `Interval`, `Enabled` and `OnTimer`.
class TkvCustomTimer : public TkvComponent {
public:
    TkvCustomTimer(TComponent* owner, TimerWindowBackend& windows);
    /// Stops the timer and releases the window.
    ~TkvCustomTimer() override;

    WindowHandle TimerWindow() const { return window_; }

protected:
    static constexpr std::uint32_t kTimerId = 1;

    std::uint32_t Interval() const { return interval_; }
    /// Restarts the timer by the rule when the value changes; throws
    /// EOutOfResources when it cannot be started.
    void SetInterval(std::uint32_t interval);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    const TNotifyEvent& OnTimer() const { return onTimer_; }
    /// Always restarts the timer by the rule.
    void SetOnTimer(TNotifyEvent handler);

    /// The timer window's procedure: WM_TIMER runs `Timer`, and an exception it
    /// raises goes to the application's exception handler (the timer keeps
    /// running); everything else goes to the system's default handling.
    virtual void WndProc(TMessage& message);
    /// One tick: fires `OnTimer`.
    virtual void Timer();

    TimerWindowBackend& windows_;

private:
    void UpdateTimer();

    std::uint32_t interval_ = 1000;
    TNotifyEvent onTimer_;
    bool enabled_ = true;
    WindowHandle window_ = 0;
};

}  // namespace vintrel
