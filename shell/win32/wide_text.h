#pragma once

#include <string>
#include <string_view>

namespace vintrel {

/// The program's 8-bit text (the ANSI code page on Windows) as UTF-16 for the
/// system's W functions, and back.
std::wstring WideText(std::string_view text);
std::string NarrowWide(std::wstring_view text);

}  // namespace vintrel
