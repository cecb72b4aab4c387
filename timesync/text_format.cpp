#include "timesync/text_format.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "timesync/convert_error.h"
#include "timesync/regional_format.h"

namespace vintrel {
namespace {

[[noreturn]] void ThrowNotInteger(std::string_view text) {
    throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Length of a hexadecimal prefix at the start of `rest`, 0 when there is none.
std::size_t HexPrefixLength(std::string_view rest) {
    if (rest.empty()) return 0;
    if (rest[0] == '$' || rest[0] == 'x' || rest[0] == 'X') return 1;
    if (rest.size() >= 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X')) return 2;
    return 0;
}

std::int32_t ParseHex(std::string_view digits, std::string_view whole) {
    if (digits.empty()) ThrowNotInteger(whole);
    std::uint64_t value = 0;
    for (char c : digits) {
        const int v = HexDigitValue(c);
        if (v < 0) ThrowNotInteger(whole);
        value = value * 16 + static_cast<unsigned>(v);
        if (value > 0xFFFF'FFFFULL) ThrowNotInteger(whole);
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

std::int32_t ParseDecimal(std::string_view rest, std::string_view whole) {
    bool negative = false;
    if (!rest.empty() && (rest[0] == '+' || rest[0] == '-')) {
        negative = rest[0] == '-';
        rest.remove_prefix(1);
    }
    if (rest.empty()) ThrowNotInteger(whole);
    const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
    std::int64_t value = 0;
    for (char c : rest) {
        if (c < '0' || c > '9') ThrowNotInteger(whole);
        value = value * 10 + (c - '0');
        if (value > limit) ThrowNotInteger(whole);
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

}  // namespace

std::string IntegerText(std::int64_t value) {
    return std::to_string(value);
}

std::int32_t IntegerFromText(std::string_view text) {
    std::string_view rest = text;
    while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
    if (const std::size_t prefix = HexPrefixLength(rest); prefix > 0) {
        return ParseHex(rest.substr(prefix), text);
    }
    return ParseDecimal(rest, text);
}

std::string TwoDigitText(std::int64_t value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2lld", static_cast<long long>(value));
    return buffer;
}

std::string FloatText(double value) {
    return FloatText(value, CurrentRegionalSettings().decimalSeparator);
}

std::string FloatText(double value, std::string_view decimalSeparator) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    if (value == 0.0) return "0";
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15G", value);
    std::string out;
    for (const char* c = buffer; *c != '\0'; ++c) {
        if (*c == '.') {
            out += decimalSeparator;
        } else if (*c == 'E') {
            // The exponent is written without a plus sign or leading zeros.
            out += 'E';
            ++c;
            if (*c == '-') out += '-';
            if (*c == '-' || *c == '+') ++c;
            while (*c == '0' && *(c + 1) != '\0') ++c;
            out += c;
            break;
        } else {
            out += *c;
        }
    }
    return out;
}

std::string UpperCaseAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

std::size_t PositionOf(std::string_view needle, std::string_view text) {
    if (needle.empty() || text.empty()) return 0;
    const std::size_t at = text.find(needle);
    return at == std::string_view::npos ? 0 : at + 1;
}

std::string Substring(std::string_view text, std::int64_t start, std::int64_t count) {
    if (start < 1) start = 1;
    const auto size = static_cast<std::int64_t>(text.size());
    if (start > size || count < 0) return {};
    const std::int64_t available = size - (start - 1);
    return std::string(
        text.substr(static_cast<std::size_t>(start - 1),
                    static_cast<std::size_t>(count < available ? count : available)));
}

}  // namespace vintrel
