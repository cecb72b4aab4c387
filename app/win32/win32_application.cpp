#include "app/win32/win32_application.h"

#include "app/application_title.h"
#include "platform/executable_path.h"
#include "shell/application_exception.h"
#include "shell/win32/wide_text.h"

#include "shell/win32/windows_last.h"

namespace vintrel {
namespace {

HWND boxOwner = nullptr;

}  // namespace

const std::string& Win32ApplicationTitle() {
    static const std::string title = ApplicationTitleFor(RunningExecutablePath());
    return title;
}

void ShowWin32MessageBox(HWND owner, const std::string& text, bool errorIcon) {
    // A hidden owner would keep the box off the screen's top: the main window
    // is a topmost window, and the box must not end up beneath it.
    if (owner != nullptr && !IsWindowVisible(owner)) owner = nullptr;
    MessageBoxW(owner, WideText(text).c_str(), WideText(Win32ApplicationTitle()).c_str(),
                MB_OK | MB_TOPMOST | MB_SETFOREGROUND | (errorIcon ? MB_ICONERROR : 0u));
}

void ShowWin32ExceptionBox(std::exception_ptr error) {
    const std::string text = ExceptionText(error);
    ShowWin32MessageBox(boxOwner, ErrorBoxText(text), true);
}

void SetWin32BoxOwner(HWND owner) {
    boxOwner = owner;
}

int RunWin32MessageLoop() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace vintrel
