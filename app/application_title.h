#pragma once

#include <string>
#include <string_view>

namespace vintrel {

/// The application's title when the program sets none: the executable's file
/// name cut at its first "." with every letter after the first in lower case.
std::string ApplicationTitleFor(std::string_view executablePath);

/// The text an error box shows: a full stop is added unless the text already
/// ends in one or in a character that sorts before it.
std::string ErrorBoxText(std::string_view message);

}  // namespace vintrel
