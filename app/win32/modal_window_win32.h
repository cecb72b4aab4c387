#pragma once

#include <cstdint>
#include <string>

struct HWND__;
struct HFONT__;

namespace vintrel {

/// A fixed-size dialog window of the program, created once and reused: shown
/// modally over its owner with a message loop of its own, in which Tab and
/// the arrow keys move between controls. Enter and Escape do not end it; only
/// its own buttons (through `end`) or its close box do.
class Win32ModalWindow {
public:
    static constexpr int kModalOk = 1;
    static constexpr int kModalCancel = 2;

    virtual ~Win32ModalWindow();
    Win32ModalWindow(const Win32ModalWindow&) = delete;
    Win32ModalWindow& operator=(const Win32ModalWindow&) = delete;

    HWND__* Handle() const { return window_; }
    /// Shows the window over its owner until it ends; answers how it ended.
    /// Centred on the owner the first time; later openings keep the place.
    int runModal();
    void end(int result) { result_ = result; }

    /// The window procedure's work; public for the procedure itself.
    std::intptr_t dispatch(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

protected:
    Win32ModalWindow(HWND__* owner, const wchar_t* className, const std::wstring& caption,
                     int clientWidth, int clientHeight, unsigned background);

    /// The window's own handling; false leaves the message to the system.
    virtual bool handleMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam,
                               std::intptr_t& result) = 0;
    /// Called each time before the window is shown.
    virtual void aboutToShow() {}

    HWND__* owner_;
    HWND__* window_ = nullptr;
    unsigned background_;

private:
    int result_ = 0;
    bool placed_ = false;
};

/// A GDI font by face name and point size; the caller deletes it.
HFONT__* MakeFont(const wchar_t* face, int pointSize, bool underline = false, int pixelHeight = 0);

}  // namespace vintrel
