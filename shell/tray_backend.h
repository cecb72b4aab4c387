#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

#include "shell/application_window.h"
#include "shell/icon_image.h"
#include "shell/timer_window_backend.h"
#include "shell/window_message.h"

namespace vintrel {

/// What is asked of the notification area (Shell_NotifyIconA's NIM_*).
enum class NotifyIconMessage : std::uint32_t { Add = 0, Modify = 1, Delete = 2 };

// Which fields of the notify record count (NIF_*).
constexpr std::uint32_t kNifMessage = 0x1;
constexpr std::uint32_t kNifIcon = 0x2;
constexpr std::uint32_t kNifTip = 0x4;

/// Size of the shell's first-version record, whose tip field holds 64 bytes.
constexpr std::uint32_t kNotifyIconDataSize = 88;
constexpr std::size_t kNotifyTipSize = 64;

/// The notify record (NOTIFYICONDATAA, first version). An icon is known by
/// the pair (hWnd, uID); mouse actions on it are sent to hWnd as message
/// uCallbackMessage with wParam uID and the mouse message in lParam.
struct NotifyIconData {
    std::uint32_t cbSize = 0;
    WindowHandle hWnd = 0;
    std::uint32_t uID = 0;
    std::uint32_t uFlags = 0;
    std::uint32_t uCallbackMessage = 0;
    IconImage hIcon;  // the empty image stands for a null icon handle
    std::array<char, kNotifyTipSize> szTip{};

    /// szTip up to its terminating zero byte.
    std::string tip() const {
        return std::string(szTip.begin(), std::find(szTip.begin(), szTip.end(), '\0'));
    }
};

struct CursorPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(CursorPoint, CursorPoint) = default;
};

/// The modifier keys held down at the moment of asking (GetKeyState < 0).
struct ModifierKeys {
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
};

/// Everything the notification-area icon needs of the platform: the shell's
/// notification area, the cursor and keyboard, the foreground, the hook on
/// the application's owner window, and the application's windows.
class TrayBackend : public TimerWindowBackend {
public:
    /// Shell_NotifyIconA: adds, changes or removes the icon (data.hWnd,
    /// data.uID). The answer is false when the shell refuses (no notification
    /// area yet, an add for an icon already there, a change or removal of an
    /// icon that is not there).
    virtual bool notifyIcon(NotifyIconMessage message, const NotifyIconData& data) = 0;

    /// The message number broadcast to every allocated window when the
    /// notification area has been created anew ("TaskbarCreated").
    virtual std::uint32_t taskbarCreatedMessage() const = 0;

    /// The cursor's position on the screen (GetCursorPos).
    virtual CursorPoint cursorPos() const = 0;
    virtual ModifierKeys modifierKeys() const = 0;

    /// SetForegroundWindow on the control's window.
    virtual void setForegroundWindow(WindowedControl& control) = 0;
    /// PostMessageA(control's window, WM_NULL, 0, 0).
    virtual void postNullMessage(WindowedControl& control) = 0;
    /// Lets the application handle the messages that are waiting.
    virtual void processMessages() = 0;

    /// The window procedure of the application's owner window (GetWindowLongA,
    /// GWL_WNDPROC). The backend sends it WM_SIZE with wParam SIZE_MINIMIZED
    /// when the application is minimised.
    virtual WindowProcedure applicationWindowProcedure() const = 0;
    /// Replaces that procedure (SetWindowLongA, GWL_WNDPROC).
    virtual void setApplicationWindowProcedure(WindowProcedure procedure) = 0;

    /// The application's windows; nullptr when there is no application window.
    virtual ApplicationWindow* application() = 0;
};

}  // namespace vintrel
