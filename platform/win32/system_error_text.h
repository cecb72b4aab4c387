#pragma once

#include <windows.h>

#include <string>

namespace vintrel {

/// The system's own text for an error code (as GetLastError gives it), in the
/// ANSI code page, without the line break it ends in. Codes that the system
/// does not know are written "error N". `module` names a library whose
/// message table holds codes of its own (WinInet's); the system's table is
/// searched after it.
std::string SystemErrorText(DWORD code, HMODULE module = nullptr);

}  // namespace vintrel
