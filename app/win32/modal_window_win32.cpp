#include "app/win32/modal_window_win32.h"

#include <exception>
#include <stdexcept>

#include "app/win32/resource_ids.h"
#include "shell/application_exception.h"

#include "shell/win32/windows_last.h"

namespace vintrel {
namespace {

LRESULT CALLBACK ModalWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Win32ModalWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr || self->Handle() != window) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    try {
        return self->dispatch(message, wParam, lParam);
    } catch (...) {
        handleApplicationException(std::current_exception());
        return 0;
    }
}

}  // namespace

HFONT MakeFont(const wchar_t* face, int pointSize, bool underline, int pixelHeight) {
    HDC screen = GetDC(nullptr);
    const int height =
        pixelHeight != 0 ? -pixelHeight : -MulDiv(pointSize, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, underline, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, face);
}

Win32ModalWindow::Win32ModalWindow(HWND owner, const wchar_t* className,
                                   const std::wstring& caption, int clientWidth, int clientHeight,
                                   unsigned background)
    : owner_(owner), background_(background) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = ModalWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_VINTREL));
    windowClass.lpszClassName = className;
    RegisterClassExW(&windowClass);  // a second window of the class finds it there
    const DWORD style = WS_CAPTION | WS_SYSMENU;
    const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_TOPMOST | WS_EX_CONTROLPARENT;
    RECT frame{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    window_ = CreateWindowExW(exStyle, className, caption.c_str(), style, CW_USEDEFAULT,
                              CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                              owner, nullptr, instance, this);
    if (window_ == nullptr) throw std::runtime_error("A dialog window cannot be created");
}

Win32ModalWindow::~Win32ModalWindow() {
    if (window_ != nullptr) {
        HWND gone = window_;
        window_ = nullptr;
        DestroyWindow(gone);
    }
}

int Win32ModalWindow::runModal() {
    if (!placed_) {
        RECT owner{};
        RECT self{};
        if (owner_ != nullptr && IsWindowVisible(owner_)) {
            GetWindowRect(owner_, &owner);
        } else {
            SystemParametersInfoW(SPI_GETWORKAREA, 0, &owner, 0);
        }
        GetWindowRect(window_, &self);
        const int width = self.right - self.left;
        const int height = self.bottom - self.top;
        SetWindowPos(window_, nullptr, owner.left + (owner.right - owner.left - width) / 2,
                     owner.top + (owner.bottom - owner.top - height) / 2, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        placed_ = true;
    }
    aboutToShow();
    result_ = 0;
    const bool ownerEnabled = owner_ != nullptr && IsWindowEnabled(owner_);
    if (ownerEnabled) EnableWindow(owner_, FALSE);
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    MSG message;
    while (result_ == 0 && IsWindow(window_)) {
        if (GetMessageW(&message, nullptr, 0, 0) <= 0) {
            // The program is ending: the quit request is for the main loop.
            PostQuitMessage(static_cast<int>(message.wParam));
            result_ = kModalCancel;
            break;
        }
        if (!IsDialogMessageW(window_, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    if (ownerEnabled) EnableWindow(owner_, TRUE);
    ShowWindow(window_, SW_HIDE);
    if (owner_ != nullptr && IsWindowVisible(owner_)) SetForegroundWindow(owner_);
    return result_;
}

std::intptr_t Win32ModalWindow::dispatch(unsigned message, std::uintptr_t wParam,
                                         std::intptr_t lParam) {
    std::intptr_t result = 0;
    if (handleMessage(message, wParam, lParam, result)) return result;
    switch (message) {
        case WM_CLOSE:
            end(kModalCancel);
            return 0;
        case WM_COMMAND:
            // IDOK and IDCANCEL are what Enter and Escape send: they end nothing.
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) return 0;
            break;
        case WM_ERASEBKGND: {
            RECT client{};
            GetClientRect(window_, &client);
            HBRUSH brush = CreateSolidBrush(background_);
            FillRect(reinterpret_cast<HDC>(wParam), &client, brush);
            DeleteObject(brush);
            return 1;
        }
        default:
            break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace vintrel
