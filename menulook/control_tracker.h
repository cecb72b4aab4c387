#pragma once

namespace vintrel {

/// The messages a restyled control's interceptor reacts to.
enum class ControlMessage {
    MouseEnter,   // CM_MOUSEENTER
    MouseLeave,   // CM_MOUSELEAVE
    SetFocus,     // WM_SETFOCUS
    Exit,         // CM_EXIT
    KillFocus,    // WM_KILLFOCUS
    GetCheck,     // BM_GETCHECK
    SetCheck,     // BM_SETCHECK
    LButtonDown,  // WM_LBUTTONDOWN
    LButtonUp,    // WM_LBUTTONUP
    KeyDown,      // WM_KEYDOWN
    KeyUp,        // WM_KEYUP
    Paint,        // WM_PAINT
    Other,
};

inline constexpr int VK_SPACE = 0x20;

/// The state an intercepted control is painted from: hot (mouse over it or
/// focus in it), left button down, space key down.
class ControlTracker {
public:
    /// Takes the message into the state; true when the overlay must be
    /// repainted after it. A held space key repaints only on its first press.
    bool Handle(ControlMessage message, int virtualKey = 0);

    bool Hot() const { return hot_; }
    bool ButtonDown() const { return buttonDown_; }
    bool SpaceDown() const { return spaceDown_; }

private:
    bool hot_ = false;
    bool buttonDown_ = false;
    bool spaceDown_ = false;
    bool spacePainted_ = false;
};

}  // namespace vintrel
