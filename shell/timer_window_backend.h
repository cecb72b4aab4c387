#pragma once

#include <cstdint>

#include "shell/window_message.h"

namespace vintrel {

/// Hidden windows with timers: a component gets a window of its own whose
/// messages (timer ticks, and whatever else is sent or broadcast to it) go to
/// a procedure it supplies.
class TimerWindowBackend {
public:
    virtual ~TimerWindowBackend() = default;

    /// A new zero-sized, never shown top-level window that also receives
    /// broadcast notices. Messages arrive from the event loop, never from
    /// inside this call.
    virtual WindowHandle allocateWindow(WindowProcedure procedure) = 0;
    /// Releases the window with its timers; no message reaches it afterwards.
    virtual void deallocateWindow(WindowHandle window) = 0;

    /// Starts timer `id` of `window`, replacing a running one of that id; it
    /// sends WM_TIMER with wParam `id` every `intervalMs`. False when the
    /// system has no timer left.
    virtual bool setTimer(WindowHandle window, std::uint32_t id, std::uint32_t intervalMs) = 0;
    virtual void killTimer(WindowHandle window, std::uint32_t id) = 0;

    /// The system's own handling of a message the window leaves alone; the
    /// answer is the message's result.
    virtual std::intptr_t defWindowProc(WindowHandle window, const TMessage& message) = 0;
};

}  // namespace vintrel
