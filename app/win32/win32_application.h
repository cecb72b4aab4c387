#pragma once

#include <exception>
#include <string>

struct HWND__;

namespace vintrel {

/// The application's title, from the executable's name as the Qt program has it.
const std::string& Win32ApplicationTitle();

/// A modal message box with `text` and one OK button under the application's
/// title, above the main window (which stays on top of other windows).
/// `errorIcon` adds the error icon.
void ShowWin32MessageBox(HWND__* owner, const std::string& text, bool errorIcon = false);

/// The application's default error handler: the exception's text with the
/// error icon, a full stop added as the error box does.
void ShowWin32ExceptionBox(std::exception_ptr error);

/// The window whose boxes the handler above opens over; nullptr for none.
void SetWin32BoxOwner(HWND__* owner);

/// Runs the message loop until a quit request; answers its exit code.
int RunWin32MessageLoop();

}  // namespace vintrel
