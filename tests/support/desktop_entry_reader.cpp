#include "tests/support/desktop_entry_reader.h"

#include <fstream>
#include <sstream>

namespace vintrel::testing {
namespace {

std::optional<std::string> Unescape(std::string_view value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\') {
            out += value[i];
            continue;
        }
        if (++i == value.size()) return std::nullopt;
        switch (value[i]) {
            case 's':
                out += ' ';
                break;
            case 'n':
                out += '\n';
                break;
            case 't':
                out += '\t';
                break;
            case 'r':
                out += '\r';
                break;
            case '\\':
                out += '\\';
                break;
            default:
                return std::nullopt;
        }
    }
    return out;
}

bool IsKeyName(std::string_view key) {
    if (key.empty()) return false;
    for (const char c : key) {
        const bool ok =
            (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
        if (!ok) return false;
    }
    return true;
}

}  // namespace

DesktopEntry ReadDesktopEntry(std::string_view text) {
    DesktopEntry entry;
    std::string group;
    std::istringstream lines{std::string(text)};
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || line.front() == '#') continue;
        if (line.front() == '[' && line.back() == ']') {
            group = line.substr(1, line.size() - 2);
            continue;
        }
        const std::size_t equals = line.find('=');
        std::string key = line.substr(0, equals);
        while (!key.empty() && key.back() == ' ') key.pop_back();
        if (equals == std::string::npos || group.empty() || !IsKeyName(key)) {
            entry.error = "not a key line: " + line;
            return entry;
        }
        std::string_view raw = std::string_view(line).substr(equals + 1);
        while (!raw.empty() && raw.front() == ' ') raw.remove_prefix(1);
        const std::optional<std::string> value = Unescape(raw);
        if (!value) {
            entry.error = "bad escape: " + line;
            return entry;
        }
        for (const std::string& seen : entry.keys) {
            if (seen == group + "/" + key) entry.error = "key twice: " + key;
        }
        entry.keys.push_back(group + "/" + key);
        if (group == "Desktop Entry") entry.values[key] = *value;
    }
    return entry;
}

std::optional<std::vector<std::string>> SplitExec(std::string_view exec) {
    std::string expanded;
    for (std::size_t i = 0; i < exec.size(); ++i) {
        if (exec[i] == '%' && (++i == exec.size() || exec[i] != '%')) return std::nullopt;
        expanded += exec[i];
    }
    constexpr std::string_view kReserved = "\t\n\"'\\><~|&;$*?#()`";
    std::vector<std::string> args;
    for (std::size_t i = 0; i < expanded.size();) {
        if (expanded[i] == ' ') {
            ++i;
            continue;
        }
        std::string arg;
        if (expanded[i] != '"') {
            for (; i < expanded.size() && expanded[i] != ' '; ++i) {
                if (kReserved.find(expanded[i]) != std::string_view::npos) return std::nullopt;
                arg += expanded[i];
            }
        } else {
            for (++i;; ++i) {
                if (i == expanded.size()) return std::nullopt;
                if (expanded[i] == '"') break;
                if (expanded[i] == '\\') {
                    if (++i == expanded.size()) return std::nullopt;
                    if (std::string_view("\"`$\\").find(expanded[i]) == std::string_view::npos) {
                        return std::nullopt;
                    }
                }
                arg += expanded[i];
            }
            ++i;
            if (i < expanded.size() && expanded[i] != ' ') return std::nullopt;
        }
        args.push_back(arg);
    }
    return args;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace vintrel::testing
