#include "platform/win32/proxy_text.h"

#include <charconv>

namespace vintrel {
namespace {

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        const char c = text[i];
        if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c) != prefix[i]) return false;
    }
    return true;
}

// The entry that serves http, without its "http=" (empty when none does).
std::string_view HttpEntryOf(std::string_view list) {
    constexpr std::string_view kSeparators = " \t\r\n;";
    while (!list.empty()) {
        const std::size_t start = list.find_first_not_of(kSeparators);
        if (start == std::string_view::npos) break;
        list.remove_prefix(start);
        const std::string_view entry = list.substr(0, list.find_first_of(kSeparators));
        list.remove_prefix(entry.size());
        if (StartsWithIgnoringCase(entry, "http=")) return entry.substr(5);
        if (entry.find('=') == std::string_view::npos) return entry;
    }
    return {};
}

}  // namespace

bool NamesHttpProxy(std::string_view proxyText) {
    std::string_view entry = HttpEntryOf(proxyText);
    if (StartsWithIgnoringCase(entry, "http://")) entry.remove_prefix(7);
    const std::size_t colon = entry.rfind(':');
    if (colon == std::string_view::npos || colon == 0) return false;
    const std::string_view port = entry.substr(colon + 1);
    unsigned number = 0;
    const auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), number);
    return error == std::errc() && end == port.data() + port.size() && number >= 1 &&
           number <= 65535;
}

}  // namespace vintrel
