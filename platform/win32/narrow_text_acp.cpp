#include <windows.h>

#include "platform/narrow_text.h"

namespace vintrel {
namespace {

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// One character (one code unit, or a surrogate pair) in the ANSI code page,
// or "?" when the code page has no such character.
std::string NarrowCharacter(std::u16string_view character, bool utf8) {
    char bytes[8];
    BOOL usedDefault = FALSE;
    // Without best fit a missing character is reported instead of being
    // shown as a look-alike that means something else ("∞" as "8"). The
    // UTF-8 code page takes neither the flag nor a default character.
    const int length = WideCharToMultiByte(
        CP_ACP, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, reinterpret_cast<const wchar_t*>(character.data()),
        static_cast<int>(character.size()), bytes, static_cast<int>(sizeof bytes),
        utf8 ? nullptr : "?", utf8 ? nullptr : &usedDefault);
    if (length <= 0 || usedDefault) return "?";
    return std::string(bytes, static_cast<std::size_t>(length));
}

}  // namespace

// Character by character, so that a character the code page lacks becomes
// one "?" even when it takes two code units.
std::string NarrowText(std::u16string_view text) {
    const bool utf8 = GetACP() == CP_UTF8;
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool pair =
            IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1]);
        if (!pair && (IsHighSurrogate(text[i]) || IsLowSurrogate(text[i]))) {
            out += '?';
            continue;
        }
        out += NarrowCharacter(text.substr(i, pair ? 2 : 1), utf8);
        if (pair) ++i;
    }
    return out;
}

}  // namespace vintrel
