#include "platform/linux/desktop_entry_text.h"

#include <cstddef>

namespace vintrel {
namespace {

// The length of the UTF-8 sequence starting at `at`, or 0 when it is malformed
// (bad lead or continuation byte, overlong form, surrogate, beyond U+10FFFF).
std::size_t Utf8SequenceLength(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
    } else {
        return 0;
    }
    char32_t code = lead & (0x7Fu >> length);
    if (at + length > text.size()) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0u) != 0x80u) return 0;
        code = (code << 6) | (byte(at + i) & 0x3Fu);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    if (overlong || surrogate || code > 0x10FFFF) return 0;
    return length;
}

bool HasEscape(char c) {
    return c == '\n' || c == '\t' || c == '\r';
}

}  // namespace

std::string DesktopValueProblem(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const auto c = static_cast<unsigned char>(text[at]);
        if ((c < 0x20 && !HasEscape(text[at])) || c == 0x7F) {
            return "it holds a control character";
        }
        const std::size_t length = Utf8SequenceLength(text, at);
        if (length == 0) return "it is not UTF-8 text";
        at += length;
    }
    return {};
}

std::string EscapeDesktopValue(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        switch (text[i]) {
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            // Readers strip the space after "=", so a leading one needs its escape.
            case ' ':
                out += i == 0 ? "\\s" : " ";
                break;
            default:
                out += text[i];
        }
    }
    return out;
}

std::string QuoteExecArgument(std::string_view argument) {
    std::string out = "\"";
    for (const char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') {
            out += '\\';
        } else if (c == '%') {
            out += '%';
        }
        out += c;
    }
    out += '"';
    return out;
}

}  // namespace vintrel
