#pragma once

#include <string>
#include <string_view>

namespace vintrel {

// Conversions between the program's 8-bit texts (UTF-8 on Linux) and the
// UTF-16 of Windows registry data and exports. Both directions are lossless
// for any 8-bit text: a byte that is not part of valid UTF-8 travels as the
// lone surrogate U+DC80..U+DCFF and comes back as the same byte, and any other
// lone surrogate is written in the 3-byte form UTF-8 would give it.

std::u16string Utf16FromText(std::string_view text);
std::string TextFromUtf16(std::u16string_view text);

/// Whether `text` comes back unchanged from an 8-bit text: true unless it
/// holds a lone surrogate outside U+DC80..U+DCFF.
bool SurvivesTextRoundTrip(std::u16string_view text);

/// Little-endian byte order, as registry data and regedit files hold it.
std::string Utf16LeBytes(std::u16string_view text);
/// Reads little-endian code units; an odd last byte is ignored.
std::u16string Utf16FromLeBytes(std::string_view bytes);

}  // namespace vintrel
