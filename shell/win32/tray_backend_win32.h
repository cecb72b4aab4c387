#pragma once

#include <cstdint>
#include <map>
#include <utility>

#include "shell/tray_backend.h"

struct HWND__;
struct HICON__;

namespace vintrel {

/// The application on Win32: a hidden owner window that stands for it (and
/// keeps its main window off the taskbar) and the main window. The owner is
/// never put on the screen, so "shown" is a state here, as on Linux:
/// restoring the application takes the main window out of the minimised
/// state without showing a window hidden by its own close box.
class Win32ApplicationWindow final : public ApplicationWindow {
public:
    Win32ApplicationWindow(HWND__* owner, HWND__* mainWindow, WindowedControl* mainControl);

    bool isWindow() const override;
    bool isWindowShown() const override { return shown_; }
    void hideWindow() override { shown_ = false; }
    void showWindowNormal() override;
    WindowedControl* mainWindow() override { return control_; }
    void setShowMainForm(bool show) override { showMainForm_ = show; }
    bool showMainForm() const { return showMainForm_; }

private:
    HWND__* owner_;
    HWND__* main_;
    WindowedControl* control_;
    bool shown_ = true;
    bool showMainForm_ = true;
};

/// The shell's notification area through Shell_NotifyIconW, the hidden timer
/// windows as real top-level windows (so they hear the shell's broadcast
/// "TaskbarCreated"), the cursor, the keyboard and the foreground.
class Win32TrayBackend final : public TrayBackend {
public:
    /// `mainWindow` is brought to the foreground before a menu opens and gets
    /// the empty message after it; `application` may be nullptr.
    Win32TrayBackend(ApplicationWindow* application, HWND__* mainWindow);
    ~Win32TrayBackend() override;
    Win32TrayBackend(const Win32TrayBackend&) = delete;
    Win32TrayBackend& operator=(const Win32TrayBackend&) = delete;

    WindowHandle allocateWindow(WindowProcedure procedure) override;
    void deallocateWindow(WindowHandle window) override;
    bool setTimer(WindowHandle window, std::uint32_t id, std::uint32_t intervalMs) override;
    void killTimer(WindowHandle window, std::uint32_t id) override;
    std::intptr_t defWindowProc(WindowHandle window, const TMessage& message) override;

    bool notifyIcon(NotifyIconMessage message, const NotifyIconData& data) override;
    std::uint32_t taskbarCreatedMessage() const override { return taskbarCreated_; }
    CursorPoint cursorPos() const override;
    ModifierKeys modifierKeys() const override;
    void setForegroundWindow(WindowedControl& control) override;
    void postNullMessage(WindowedControl& control) override;
    void processMessages() override;
    WindowProcedure applicationWindowProcedure() const override { return appProcedure_; }
    void setApplicationWindowProcedure(WindowProcedure procedure) override;
    ApplicationWindow* application() override { return application_; }

    /// The main window was minimised: the application's procedure hears it.
    void applicationMinimised();

    /// The window procedure's work; public for the procedure itself.
    std::intptr_t dispatch(HWND__* window, std::uint32_t message, std::uintptr_t wParam,
                           std::intptr_t lParam);

private:
    using IconKey = std::pair<WindowHandle, std::uint32_t>;

    ApplicationWindow* application_;
    HWND__* mainWindow_;
    std::uint32_t taskbarCreated_;
    WindowProcedure appProcedure_;
    std::map<WindowHandle, WindowProcedure> windows_;
    std::map<IconKey, HICON__*> icons_;
};

}  // namespace vintrel
