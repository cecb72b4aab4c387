#pragma once

#include <cstdint>
#include <functional>

namespace vintrel {

/// Identifies a window of the timer-window backend; 0 is no window.
using WindowHandle = std::uintptr_t;

/// One window message, shaped like the ones the shell and the timers send.
struct TMessage {
    std::uint32_t Msg = 0;
    std::uintptr_t WParam = 0;
    std::intptr_t LParam = 0;
    std::intptr_t Result = 0;
};

/// A window procedure: handles the message and leaves its result in `Result`.
using WindowProcedure = std::function<void(TMessage&)>;

/// Hands one message to `procedure` and returns its result; what it throws
/// goes to the application's exception handler. The procedure is taken by
/// value: it may release its own window, and itself with it.
std::intptr_t DeliverMessage(WindowProcedure procedure, std::uint32_t message,
                             std::uintptr_t wParam, std::intptr_t lParam);

// Message numbers keep their Windows values: the shell reports mouse actions
// on the icon with them, whatever the platform underneath.
constexpr std::uint32_t kWmNull = 0x0000;
constexpr std::uint32_t kWmSize = 0x0005;
constexpr std::uint32_t kWmQueryEndSession = 0x0011;
constexpr std::uint32_t kWmTimer = 0x0113;
constexpr std::uint32_t kWmMouseMove = 0x0200;
constexpr std::uint32_t kWmLButtonDown = 0x0201;
constexpr std::uint32_t kWmLButtonUp = 0x0202;
constexpr std::uint32_t kWmLButtonDblClk = 0x0203;
constexpr std::uint32_t kWmRButtonDown = 0x0204;
constexpr std::uint32_t kWmRButtonUp = 0x0205;
constexpr std::uint32_t kWmRButtonDblClk = 0x0206;
constexpr std::uint32_t kWmMButtonDown = 0x0207;
constexpr std::uint32_t kWmMButtonUp = 0x0208;
constexpr std::uint32_t kWmMButtonDblClk = 0x0209;
constexpr std::uint32_t kWmUser = 0x0400;

/// WM_SIZE's wParam when the window was minimised.
constexpr std::uintptr_t kSizeMinimized = 1;

}  // namespace vintrel
