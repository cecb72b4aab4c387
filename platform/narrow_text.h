#pragma once

#include <string>
#include <string_view>

namespace vintrel {

/// UTF-16 text in the program's 8-bit encoding (UTF-8 on Linux). A character
/// the 8-bit text cannot hold becomes "?"; with UTF-8 only unpaired
/// surrogates are such characters.
std::string NarrowText(std::u16string_view text);

}  // namespace vintrel
