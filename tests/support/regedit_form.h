#pragma once

#include <string>
#include <string_view>

#include "platform/linux/utf16.h"

namespace vintrel::testing {

/// `text`, written with LF line ends, in the form regedit writes its files
/// and the store writes new ones: UTF-16LE with a byte-order mark, CRLF.
inline std::string RegeditForm(std::string_view text) {
    std::string crlf;
    for (const char c : text) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    return "\xFF\xFE" + Utf16LeBytes(Utf16FromText(crlf));
}

}  // namespace vintrel::testing
