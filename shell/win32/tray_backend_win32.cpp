#include "shell/win32/tray_backend_win32.h"

#include <algorithm>
#include <exception>
#include <vector>

#include "platform/win32/message_pump.h"
#include "shell/application_exception.h"
#include "shell/win32/wide_text.h"

#include "shell/win32/windows_last.h"

namespace vintrel {
namespace {

constexpr wchar_t kTimerWindowClass[] = L"VintrelTimerWindow";

HWND Hwnd(WindowHandle handle) {
    return reinterpret_cast<HWND>(handle);
}

LRESULT CALLBACK TimerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* backend = reinterpret_cast<Win32TrayBackend*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (backend == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    return backend->dispatch(window, message, wParam, lParam);
}

// An icon handle for the notification area: a 32-bit colour image with its
// alpha, and an empty mask.
HICON IconFromImage(const IconImage& image) {
    if (image.empty()) return nullptr;
    BITMAPV5HEADER header{};
    header.bV5Size = sizeof header;
    header.bV5Width = image.width();
    header.bV5Height = -image.height();
    header.bV5Planes = 1;
    header.bV5BitCount = 32;
    header.bV5Compression = BI_BITFIELDS;
    header.bV5RedMask = 0x00FF0000;
    header.bV5GreenMask = 0x0000FF00;
    header.bV5BlueMask = 0x000000FF;
    header.bV5AlphaMask = 0xFF000000;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP colour = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header),
                                      DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (colour == nullptr) return nullptr;
    std::copy(image.pixels().begin(), image.pixels().end(), static_cast<std::uint32_t*>(bits));
    // Rows of the mask are padded to 16 bits; all clear, the alpha decides.
    const std::vector<BYTE> clear(static_cast<std::size_t>((image.width() + 15) / 16 * 2) *
                                  image.height());
    HBITMAP mask = CreateBitmap(image.width(), image.height(), 1, 1, clear.data());
    ICONINFO parts{TRUE, 0, 0, mask, colour};
    HICON icon = CreateIconIndirect(&parts);
    DeleteObject(mask);
    DeleteObject(colour);
    return icon;
}

}  // namespace

Win32ApplicationWindow::Win32ApplicationWindow(HWND owner, HWND mainWindow,
                                               WindowedControl* mainControl)
    : owner_(owner), main_(mainWindow), control_(mainControl) {}

bool Win32ApplicationWindow::isWindow() const {
    return IsWindow(owner_) != FALSE;
}

void Win32ApplicationWindow::showWindowNormal() {
    shown_ = true;
    if (main_ != nullptr && IsIconic(main_)) ShowWindow(main_, SW_RESTORE);
}

Win32TrayBackend::Win32TrayBackend(ApplicationWindow* application, HWND mainWindow)
    : application_(application),
      mainWindow_(mainWindow),
      taskbarCreated_(RegisterWindowMessageW(L"TaskbarCreated")) {
    appProcedure_ = [](TMessage& message) { message.Result = 0; };
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = TimerWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kTimerWindowClass;
    RegisterClassExW(&windowClass);  // a second backend finds the class there
}

Win32TrayBackend::~Win32TrayBackend() {
    std::vector<WindowHandle> handles;
    for (const auto& entry : windows_) handles.push_back(entry.first);
    for (WindowHandle handle : handles) deallocateWindow(handle);
}

std::intptr_t Win32TrayBackend::dispatch(HWND window, std::uint32_t message, std::uintptr_t wParam,
                                         std::intptr_t lParam) {
    const auto it = windows_.find(reinterpret_cast<WindowHandle>(window));
    if (it == windows_.end() || !it->second) return DefWindowProcW(window, message, wParam, lParam);
    return DeliverMessage(it->second, message, wParam, lParam);
}

WindowHandle Win32TrayBackend::allocateWindow(WindowProcedure procedure) {
    // Top-level, not message-only: broadcasts reach top-level windows alone.
    HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, kTimerWindowClass, L"", WS_POPUP, 0, 0, 0, 0,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), this);
    if (window == nullptr) return 0;
    const auto handle = reinterpret_cast<WindowHandle>(window);
    windows_[handle] = std::move(procedure);
    return handle;
}

void Win32TrayBackend::deallocateWindow(WindowHandle handle) {
    const auto it = windows_.find(handle);
    if (it == windows_.end()) return;
    windows_.erase(it);
    for (auto icon = icons_.begin(); icon != icons_.end();) {
        if (icon->first.first != handle) {
            ++icon;
            continue;
        }
        NOTIFYICONDATAW gone{};
        gone.cbSize = sizeof gone;
        gone.hWnd = Hwnd(handle);
        gone.uID = icon->first.second;
        Shell_NotifyIconW(NIM_DELETE, &gone);
        if (icon->second != nullptr) DestroyIcon(icon->second);
        icon = icons_.erase(icon);
    }
    DestroyWindow(Hwnd(handle));
}

bool Win32TrayBackend::setTimer(WindowHandle window, std::uint32_t id, std::uint32_t intervalMs) {
    if (windows_.count(window) == 0) return false;
    return SetTimer(Hwnd(window), id, intervalMs, nullptr) != 0;
}

void Win32TrayBackend::killTimer(WindowHandle window, std::uint32_t id) {
    if (windows_.count(window) != 0) KillTimer(Hwnd(window), id);
}

std::intptr_t Win32TrayBackend::defWindowProc(WindowHandle window, const TMessage& message) {
    return DefWindowProcW(Hwnd(window), message.Msg, message.WParam, message.LParam);
}

bool Win32TrayBackend::notifyIcon(NotifyIconMessage message, const NotifyIconData& data) {
    NOTIFYICONDATAW record{};
    record.cbSize = sizeof record;
    record.hWnd = Hwnd(data.hWnd);
    record.uID = data.uID;
    record.uFlags = data.uFlags & (NIF_MESSAGE | NIF_ICON | NIF_TIP);
    record.uCallbackMessage = data.uCallbackMessage;
    HICON icon = (data.uFlags & NIF_ICON) != 0 ? IconFromImage(data.hIcon) : nullptr;
    record.hIcon = icon;
    const std::wstring tip = WideText(data.tip());
    std::copy_n(tip.begin(), std::min<std::size_t>(tip.size(), std::size(record.szTip) - 1),
                record.szTip);
    const DWORD what = message == NotifyIconMessage::Add      ? NIM_ADD
                       : message == NotifyIconMessage::Modify ? NIM_MODIFY
                                                              : NIM_DELETE;
    const bool done = Shell_NotifyIconW(what, &record) != FALSE;
    // The shell copies the icon: ours is kept only until it is replaced.
    const IconKey key{data.hWnd, data.uID};
    HICON previous = nullptr;
    if (const auto it = icons_.find(key); it != icons_.end()) previous = it->second;
    if (done && message == NotifyIconMessage::Delete) {
        icons_.erase(key);
        if (previous != nullptr) DestroyIcon(previous);
    } else if (done && icon != nullptr) {
        icons_[key] = icon;
        if (previous != nullptr) DestroyIcon(previous);
        icon = nullptr;
    } else if (done) {
        icons_.emplace(key, nullptr);
    }
    if (icon != nullptr) DestroyIcon(icon);
    return done;
}

CursorPoint Win32TrayBackend::cursorPos() const {
    POINT at{};
    GetCursorPos(&at);
    return {at.x, at.y};
}

ModifierKeys Win32TrayBackend::modifierKeys() const {
    return {GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_CONTROL) < 0, GetKeyState(VK_MENU) < 0};
}

// The control is the main window in this program. The menu that follows must
// belong to the foreground window, or it would not close when the user
// clicks elsewhere.
void Win32TrayBackend::setForegroundWindow(WindowedControl&) {
    if (mainWindow_ != nullptr) SetForegroundWindow(mainWindow_);
}

// ...and the empty message after it makes the next click on the icon work.
void Win32TrayBackend::postNullMessage(WindowedControl&) {
    if (mainWindow_ != nullptr) PostMessageW(mainWindow_, WM_NULL, 0, 0);
}

void Win32TrayBackend::processMessages() {
    ProcessWin32Messages();
}

void Win32TrayBackend::setApplicationWindowProcedure(WindowProcedure procedure) {
    appProcedure_ = std::move(procedure);
}

void Win32TrayBackend::applicationMinimised() {
    const WindowProcedure procedure = appProcedure_;  // it may unhook itself
    if (!procedure) return;
    TMessage m{WM_SIZE, SIZE_MINIMIZED, 0, 0};
    try {
        procedure(m);
    } catch (...) {
        handleApplicationException(std::current_exception());
    }
}

}  // namespace vintrel
