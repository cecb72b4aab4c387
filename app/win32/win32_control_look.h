#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>

#include "menulook/control_painter.h"
#include "menulook/control_tracker.h"

struct HWND__;

namespace vintrel {

/// The kind of standard control a Win32 window is for the look, if any. An
/// owner-drawn button is painted by its owner (a speed button), never by the look.
std::optional<TLookControl> Win32ControlKind(HWND__* window);

/// The kind of parent a Win32 window is for the controls it holds: a top-level
/// window is a form, a tool bar, rebar, group box or tab control its own kind,
/// a static or a window of this program's own classes a panel.
std::optional<TLookContainer> Win32ContainerKind(HWND__* parent);

/// The look's restyling of a Win32 window's standard controls: each control it
/// takes is subclassed (comctl32's SetWindowSubclass), keeps the hot, button
/// and space state and is painted with the shared control painter, over the
/// system's paint (combo, edit, check box, radio button) or instead of it
/// (push button). A control is let go when the look turns off, when the sets
/// no longer hold it, and when it is destroyed.
class Win32ControlLook {
public:
    explicit Win32ControlLook(MenuLookRules& rules) : rules_(rules) {}
    ~Win32ControlLook();
    Win32ControlLook(const Win32ControlLook&) = delete;
    Win32ControlLook& operator=(const Win32ControlLook&) = delete;

    /// Takes every control under `container` that the sets hold (activate) or
    /// lets every control go (deactivate).
    void Apply(HWND__* container, bool activate, LookSet controls, LookSet containers);
    bool Intercepts(HWND__* control) const { return controls_.count(control) > 0; }
    std::size_t InterceptedCount() const { return controls_.size(); }

    /// One control the look holds.
    struct Control {
        Win32ControlLook* look = nullptr;
        HWND__* window = nullptr;
        TLookControl kind = xcButton;
        ControlTracker tracker;
        bool leaveTracked = false;
        bool savedBorder = true;
        bool borderRemoved = false;
    };
    /// The subclass procedure's work; public for the procedure itself.
    std::intptr_t Dispatch(Control& control, unsigned message, std::uintptr_t wParam,
                           std::intptr_t lParam);

private:
    void Take(HWND__* window, TLookControl kind);
    void Release(HWND__* window);
    void ReleaseAll();
    void Paint(Control& control, bool overSystemPaint);
    ControlFace FaceOf(const Control& control) const;

    MenuLookRules& rules_;
    std::map<HWND__*, std::unique_ptr<Control>> controls_;
};

}  // namespace vintrel
