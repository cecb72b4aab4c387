#pragma once

#include <exception>
#include <functional>
#include <string>

namespace vintrel {

/// What the application does with an exception that no one else caught
/// (the main window shows its text in a message box and the program runs on).
using ApplicationExceptionHandler = std::function<void(std::exception_ptr)>;

/// Installs `handler` and returns the one it replaces. An empty handler
/// restores the default, which writes the exception's text to standard error.
ApplicationExceptionHandler setApplicationExceptionHandler(ApplicationExceptionHandler handler);

/// Hands `error` to the installed handler.
void handleApplicationException(std::exception_ptr error);

/// The exception's own text, or "Unknown error" for one that has none.
std::string ExceptionText(std::exception_ptr error);

}  // namespace vintrel
