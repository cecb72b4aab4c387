#include "platform/linux/reg_file.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "platform/linux/utf16.h"

namespace vintrel {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::array<std::string_view, 5> kRootNames{"HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER",
                                                     "HKEY_CLASSES_ROOT", "HKEY_USERS",
                                                     "HKEY_CURRENT_CONFIG"};
// regedit wraps hex data so that no line grows past 80 columns.
constexpr std::size_t kWrapColumn = 76;

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return LowerAscii(x) == LowerAscii(y);
           });
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimLeft(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    return s;
}

std::string_view TrimRight(std::string_view s) {
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

std::string_view Trim(std::string_view s) {
    return TrimRight(TrimLeft(s));
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = LowerAscii(c);
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

/// 1 to `maxDigits` hex digits and nothing else.
std::optional<std::uint32_t> HexNumber(std::string_view s, std::size_t maxDigits) {
    if (s.empty() || s.size() > maxDigits) return std::nullopt;
    std::uint32_t n = 0;
    for (const char c : s) {
        const int d = HexDigit(c);
        if (d < 0) return std::nullopt;
        n = (n << 4) | static_cast<std::uint32_t>(d);
    }
    return n;
}

// ---- reading ----

struct DecodedText {
    std::string text;
    RegFileEncoding encoding = RegFileEncoding::Utf8;
    std::string error;
};

DecodedText DecodeFile(std::string_view bytes) {
    if (bytes.substr(0, kUtf16LeBom.size()) == kUtf16LeBom) {
        bytes.remove_prefix(kUtf16LeBom.size());
        const std::u16string units = Utf16FromLeBytes(bytes);
        // What could not be written back as it was read is not taken for text.
        if (bytes.size() % 2 != 0)
            return {{}, RegFileEncoding::Utf16Le, "odd number of UTF-16 bytes"};
        if (!SurvivesTextRoundTrip(units))
            return {{}, RegFileEncoding::Utf16Le, "unpaired surrogate"};
        return {TextFromUtf16(units), RegFileEncoding::Utf16Le, {}};
    }
    if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        bytes.remove_prefix(kUtf8Bom.size());
        return {std::string(bytes), RegFileEncoding::Utf8Bom, {}};
    }
    return {std::string(bytes), RegFileEncoding::Utf8, {}};
}

std::vector<std::string> SplitLines(std::string_view text, bool& crlf) {
    std::vector<std::string> lines;
    bool first = true;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (end != std::string_view::npos && !line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
            if (first) crlf = true;
        }
        first = false;
        lines.emplace_back(line);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return lines;
}

/// Reads a quoted text at the start of `s` (which begins with the quote),
/// undoing the `\\`, `\"`, `\n` and `\r` escapes; advances `s` past the
/// closing quote.
std::optional<std::string> TakeQuoted(std::string_view& s) {
    std::string out;
    for (std::size_t i = 1; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '"') {
            s.remove_prefix(i + 1);
            return out;
        }
        const char next = i + 1 < s.size() ? s[i + 1] : '\0';
        if (c == '\\' && (next == '\\' || next == '"')) {
            out += s[++i];
        } else if (c == '\\' && (next == 'n' || next == 'r')) {
            // How regedit exports a string with line breaks.
            out += next == 'n' ? '\n' : '\r';
            ++i;
        } else {
            // regedit knows no other escape: the backslash stands for itself.
            out += c;
        }
    }
    return std::nullopt;
}

std::optional<std::string> ParseHexBytes(std::string_view text) {
    std::string bytes;
    text = Trim(text);
    if (text.empty()) return bytes;
    while (true) {
        const std::size_t comma = text.find(',');
        const std::string_view part = Trim(text.substr(0, comma));
        const auto byte = HexNumber(part, 2);
        if (!byte) return std::nullopt;
        bytes += static_cast<char>(*byte);
        if (comma == std::string_view::npos) return bytes;
        text.remove_prefix(comma + 1);
        if (Trim(text).empty()) return bytes;  // a comma after the last byte
    }
}

RegistryValue StringFromData(RegistryValueType type, std::string_view bytes) {
    std::u16string text = Utf16FromLeBytes(bytes);
    if (!text.empty() && text.back() == u'\0') text.pop_back();
    return {type, TextFromUtf16(text)};
}

class Parser {
public:
    explicit Parser(std::vector<std::string> lines) : lines_(std::move(lines)) {}

    std::string Run(RegFile& file) {
        file.preamble.clear();
        std::size_t i = 0;
        while (i < lines_.size() && Trim(lines_[i]).empty()) file.preamble.push_back(lines_[i++]);
        if (i == lines_.size()) {
            file.preamble = RegFile{}.preamble;
            return {};
        }
        if (TrimRight(lines_[i]) != kRegFileHeader) return Fail(i, "not a registry file header");
        file.preamble.push_back(lines_[i++]);
        for (; i < lines_.size(); ++i) {
            const std::string_view line = TrimLeft(lines_[i]);
            if (line.empty() || line.front() == ';') {
                AddPlain(file, i);
            } else if (line.front() == '[') {
                if (std::string error = AddSection(file, i); !error.empty()) return error;
            } else if (file.sections.empty()) {
                return Fail(i, "a value stands before the first key");
            } else if (std::string error = AddValue(file.sections.back(), i); !error.empty()) {
                return error;
            }
        }
        return {};
    }

private:
    std::string Fail(std::size_t line, std::string_view what) const {
        return "line " + std::to_string(line + 1) + ": " + std::string(what);
    }

    void AddPlain(RegFile& file, std::size_t i) const {
        if (file.sections.empty()) {
            file.preamble.push_back(lines_[i]);
        } else {
            file.sections.back().items.push_back({{lines_[i]}, std::nullopt});
        }
    }

    std::string AddSection(RegFile& file, std::size_t i) const {
        const std::string_view line = Trim(lines_[i]);
        if (line.size() < 2 || line.back() != ']') return Fail(i, "unclosed key name");
        const std::string_view path = line.substr(1, line.size() - 2);
        if (!path.empty() && path.front() == '-') {
            return Fail(i, "a key deletion is not a stored key");
        }
        const std::string_view root = path.substr(0, path.find('\\'));
        const bool knownRoot =
            std::any_of(kRootNames.begin(), kRootNames.end(),
                        [&](std::string_view r) { return EqualsNoCase(r, root); });
        if (!knownRoot) return Fail(i, "unknown root key");
        if (path.find("\\\\") != std::string_view::npos || path.back() == '\\') {
            return Fail(i, "empty key name");
        }
        file.sections.push_back({lines_[i], std::string(path), {}});
        return {};
    }

    std::string AddValue(RegFileSection& section, std::size_t& i) const {
        const std::size_t first = i;
        std::string_view rest = TrimLeft(lines_[i]);
        RegFileValue value;
        if (rest.front() == '@') {
            rest.remove_prefix(1);
        } else if (rest.front() == '"') {
            auto name = TakeQuoted(rest);
            if (!name) return Fail(i, "unterminated value name");
            value.name = std::move(*name);
        } else {
            return Fail(i, "not a value");
        }
        rest = TrimLeft(rest);
        if (rest.empty() || rest.front() != '=') return Fail(i, "missing \"=\"");
        rest = TrimLeft(rest.substr(1));

        std::string joined;
        if (StartsWithNoCase(rest, "hex")) {
            // Hex data may go on over lines that end in a backslash.
            joined = std::string(TrimRight(rest));
            while (!joined.empty() && joined.back() == '\\') {
                if (++i == lines_.size()) return Fail(i - 1, "data continues past the end");
                joined.pop_back();
                joined += TrimRight(TrimLeft(lines_[i]));
            }
            rest = joined;
        }
        if (std::string error = ParseData(rest, value.value); !error.empty()) {
            return Fail(first, error);
        }
        RegFileItem item;
        item.lines.assign(lines_.begin() + static_cast<std::ptrdiff_t>(first),
                          lines_.begin() + static_cast<std::ptrdiff_t>(i) + 1);
        item.value = std::move(value);
        section.items.push_back(std::move(item));
        return {};
    }

    static std::string ParseData(std::string_view data, RegistryValue& value) {
        if (data.empty()) return "missing data";
        if (data.front() == '"') {
            auto text = TakeQuoted(data);
            if (!text) return "unterminated string";
            if (!Trim(data).empty()) return "text after the string";
            value = {RegistryValueType::String, std::move(*text)};
            return {};
        }
        if (StartsWithNoCase(data, "dword:")) {
            const auto n = HexNumber(TrimRight(data.substr(6)), 8);
            if (!n) return "bad dword";
            value.type = RegistryValueType::Dword;
            value.data.clear();
            for (int shift = 0; shift < 32; shift += 8)
                value.data += static_cast<char>(*n >> shift);
            return {};
        }
        auto type = RegistryValueType::Binary;
        if (StartsWithNoCase(data, "hex:")) {
            data.remove_prefix(4);
        } else if (StartsWithNoCase(data, "hex(")) {
            const std::size_t close = data.find("):");
            const auto n = close == std::string_view::npos
                               ? std::nullopt
                               : HexNumber(data.substr(4, close - 4), 8);
            if (!n) return "bad value type";
            type = static_cast<RegistryValueType>(*n);
            data.remove_prefix(close + 2);
        } else if (Trim(data) == "-") {
            return "a value deletion is not a stored value";
        } else {
            return "unknown data kind";
        }
        auto bytes = ParseHexBytes(data);
        if (!bytes) return "bad hex data";
        value = (type == RegistryValueType::String || type == RegistryValueType::ExpandString)
                    ? StringFromData(type, *bytes)
                    : RegistryValue{type, std::move(*bytes)};
        return {};
    }

    std::vector<std::string> lines_;
};

// ---- writing ----

std::string Quoted(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else {
            if (c == '\\' || c == '"') out += '\\';
            out += c;
        }
    }
    out += '"';
    return out;
}

std::string HexByte(unsigned char b) {
    constexpr std::string_view digits = "0123456789abcdef";
    return {digits[b >> 4], digits[b & 0x0F]};
}

std::vector<std::string> HexLines(std::string first, std::string_view bytes) {
    std::vector<std::string> lines;
    std::string line = std::move(first);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        line += HexByte(static_cast<unsigned char>(bytes[i]));
        if (i + 1 == bytes.size()) break;
        line += ',';
        if (line.size() > kWrapColumn) {
            lines.push_back(line + '\\');
            line = "  ";
        }
    }
    lines.push_back(std::move(line));
    return lines;
}

std::string StringData(std::string_view text) {
    return Utf16LeBytes(Utf16FromText(text)) + std::string(2, '\0');
}

std::string TypeText(RegistryValueType type) {
    if (type == RegistryValueType::Binary) return "hex:";
    constexpr std::string_view digits = "0123456789abcdef";
    auto n = static_cast<std::uint32_t>(type);
    std::string hex;
    do {
        hex.insert(hex.begin(), digits[n & 0x0F]);
        n >>= 4;
    } while (n != 0);
    return "hex(" + hex + "):";
}

// ---- keys ----

bool SameKey(const RegFileSection& section, std::string_view key) {
    return EqualsNoCase(section.path, key);
}

bool IsValueNamed(const RegFileItem& item, std::string_view name) {
    return item.value && EqualsNoCase(item.value->name, name);
}

RegFileItem ValueItem(std::string_view name, const RegistryValue& value) {
    return {FormatRegValue(name, value), RegFileValue{std::string(name), value}};
}

bool EndsWithBlankLine(const RegFile& file) {
    const std::vector<std::string>* lines = &file.preamble;
    if (!file.sections.empty()) {
        const std::vector<RegFileItem>& items = file.sections.back().items;
        if (items.empty()) return false;  // the section's header is the last line
        lines = &items.back().lines;
    }
    return !lines->empty() && Trim(lines->back()).empty();
}

RegFileSection& AppendSection(RegFile& file, std::string_view key) {
    // regedit separates keys by a blank line.
    if (!EndsWithBlankLine(file)) {
        if (file.sections.empty()) {
            file.preamble.emplace_back();
        } else {
            file.sections.back().items.push_back({{""}, std::nullopt});
        }
    }
    file.sections.push_back(
        {"[" + std::string(key) + "]", std::string(key), {{{""}, std::nullopt}}});
    return file.sections.back();
}

}  // namespace

RegFileParse ParseRegFile(std::string_view bytes) {
    RegFileParse result;
    if (bytes.empty()) return result;
    DecodedText decoded = DecodeFile(bytes);
    if (decoded.error.empty() && decoded.text.find('\0') != std::string::npos) {
        decoded.error = "zero bytes in the text";
    }
    if (!decoded.error.empty()) {
        result.error = std::move(decoded.error);
        return result;
    }
    result.file.encoding = decoded.encoding;
    result.file.crlf = false;  // until the first line says otherwise
    Parser parser(SplitLines(decoded.text, result.file.crlf));
    result.error = parser.Run(result.file);
    return result;
}

std::string SerializeRegFile(const RegFile& file) {
    const std::string_view newline = file.crlf ? "\r\n" : "\n";
    std::string text;
    auto add = [&](const std::string& line) {
        text += line;
        text += newline;
    };
    std::for_each(file.preamble.begin(), file.preamble.end(), add);
    for (const RegFileSection& section : file.sections) {
        add(section.header);
        for (const RegFileItem& item : section.items)
            std::for_each(item.lines.begin(), item.lines.end(), add);
    }
    switch (file.encoding) {
        case RegFileEncoding::Utf8Bom:
            return std::string(kUtf8Bom) + text;
        case RegFileEncoding::Utf16Le:
            return std::string(kUtf16LeBom) + Utf16LeBytes(Utf16FromText(text));
        case RegFileEncoding::Utf8:
            break;
    }
    return text;
}

std::vector<std::string> FormatRegValue(std::string_view name, const RegistryValue& value) {
    const std::string lead = (name.empty() ? std::string("@") : Quoted(name)) + "=";
    switch (value.type) {
        case RegistryValueType::String:
            if (value.data.find('\0') == std::string::npos) return {lead + Quoted(value.data)};
            return HexLines(lead + TypeText(value.type), StringData(value.data));
        case RegistryValueType::ExpandString:
            return HexLines(lead + TypeText(value.type), StringData(value.data));
        case RegistryValueType::Dword:
            if (value.data.size() == 4) {
                std::string hex;
                for (int i = 3; i >= 0; --i)
                    hex += HexByte(static_cast<unsigned char>(value.data[i]));
                return {lead + "dword:" + hex};
            }
            break;
        default:
            break;
    }
    return HexLines(lead + TypeText(value.type), value.data);
}

bool IsStorableName(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

bool RegKeyExists(const RegFile& file, std::string_view key) {
    return std::any_of(file.sections.begin(), file.sections.end(), [&](const RegFileSection& s) {
        return SameKey(s, key) || (s.path.size() > key.size() && s.path[key.size()] == '\\' &&
                                   StartsWithNoCase(s.path, key));
    });
}

void AddRegKey(RegFile& file, std::string_view key) {
    if (!RegKeyExists(file, key)) AppendSection(file, key);
}

const RegistryValue* FindRegValue(const RegFile& file, std::string_view key,
                                  std::string_view name) {
    const RegistryValue* found = nullptr;
    for (const RegFileSection& section : file.sections) {
        if (!SameKey(section, key)) continue;
        for (const RegFileItem& item : section.items) {
            if (IsValueNamed(item, name)) found = &item.value->value;
        }
    }
    return found;
}

void SetRegValue(RegFile& file, std::string_view key, std::string_view name,
                 const RegistryValue& value) {
    std::optional<std::pair<std::size_t, std::size_t>> last;
    for (std::size_t s = 0; s < file.sections.size(); ++s) {
        if (!SameKey(file.sections[s], key)) continue;
        for (std::size_t i = 0; i < file.sections[s].items.size(); ++i) {
            if (IsValueNamed(file.sections[s].items[i], name)) last = {s, i};
        }
    }
    if (!last) {
        auto section = std::find_if(file.sections.rbegin(), file.sections.rend(),
                                    [&](const RegFileSection& s) { return SameKey(s, key); });
        RegFileSection& target =
            section != file.sections.rend() ? *section : AppendSection(file, key);
        auto lastValue =
            std::find_if(target.items.rbegin(), target.items.rend(),
                         [](const RegFileItem& item) { return item.value.has_value(); });
        target.items.insert(lastValue.base(), ValueItem(name, value));
        return;
    }
    // Keep the name as it was spelled, and drop the copies the last one hid.
    auto [ls, li] = *last;
    RegFileItem& item = file.sections[ls].items[li];
    item = ValueItem(item.value->name, value);
    for (std::size_t s = 0; s < file.sections.size(); ++s) {
        if (!SameKey(file.sections[s], key)) continue;
        std::vector<RegFileItem>& items = file.sections[s].items;
        for (std::size_t i = 0; i < items.size();) {
            if ((s == ls && i == li) || !IsValueNamed(items[i], name)) {
                ++i;
                continue;
            }
            items.erase(items.begin() + static_cast<std::ptrdiff_t>(i));
            if (s == ls && i < li) --li;
        }
    }
}

bool DeleteRegValue(RegFile& file, std::string_view key, std::string_view name) {
    std::size_t removed = 0;
    for (RegFileSection& section : file.sections) {
        if (SameKey(section, key)) {
            removed += std::erase_if(
                section.items, [&](const RegFileItem& item) { return IsValueNamed(item, name); });
        }
    }
    return removed > 0;
}

}  // namespace vintrel
