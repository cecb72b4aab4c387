#pragma once

#include <string>
#include <string_view>

namespace vintrel {

/// Why `text` cannot be held by a desktop entry value (it is not UTF-8, or it
/// holds a control character that has no escape); empty when it can.
std::string DesktopValueProblem(std::string_view text);

/// `text` written as a desktop entry string value: backslash, newline, tab and
/// carriage return escaped, and a leading space too, so the value stays on its
/// line and keeps every character.
std::string EscapeDesktopValue(std::string_view text);

/// `argument` as one argument of an Exec key, before the value escaping: in
/// double quotes, with `"`, backtick, `$` and backslash escaped by a backslash
/// and `%` doubled, so no character of it is read as a field code or splits it.
std::string QuoteExecArgument(std::string_view argument);

}  // namespace vintrel
