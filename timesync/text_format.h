#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vintrel {

/// Decimal digits, "-" before a negative number.
std::string IntegerText(std::int64_t value);

/// Optional leading blanks, then a signed decimal or hexadecimal digits after
/// "$", "x", "X", "0x" or "0X" (a 32-bit pattern). Throws EConvertError with
/// "'<text>' is not a valid integer value" on anything else.
std::int32_t IntegerFromText(std::string_view text);

/// The integer format "%.2d": at least two digits, a minus sign before the
/// padded magnitude.
std::string TwoDigitText(std::int64_t value);

/// General format with at most 15 significant digits in the user's decimal
/// separator; whole numbers without decimals, minus zero as "0".
std::string FloatText(double value);
std::string FloatText(double value, std::string_view decimalSeparator);

/// Upper-case copy that changes only the ASCII letters a to z.
std::string UpperCaseAscii(std::string_view text);

/// Case-sensitive 1-based position of `needle` in `text`; 0 when absent or
/// either is empty.
std::size_t PositionOf(std::string_view needle, std::string_view text);

/// Up to `count` characters from the 1-based `start` (a start below 1 counts
/// as 1); empty beyond the end or for a negative count.
std::string Substring(std::string_view text, std::int64_t start, std::int64_t count);

}  // namespace vintrel
