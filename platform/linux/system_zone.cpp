#include "platform/linux/system_zone.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace vintrel {
namespace {

namespace fs = std::filesystem;

bool IsRegularFile(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

// The "posix/" and "right/" trees hold the same zones under the same ids.
std::optional<std::string> IdOf(std::string name) {
    for (const char* prefix : {"posix/", "right/"}) {
        if (name.starts_with(prefix)) name.erase(0, std::char_traits<char>::length(prefix));
    }
    if (name.empty()) return std::nullopt;
    return name;
}

// "…/zoneinfo/posix/Europe/Berlin" names Europe/Berlin.
std::optional<std::string> IdFromPath(const std::string& path) {
    const std::string marker = "zoneinfo/";
    const std::size_t at = path.rfind(marker);
    if (at == std::string::npos) return std::nullopt;
    return IdOf(path.substr(at + marker.size()));
}

std::string Trimmed(std::string text) {
    const auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
    while (!text.empty() && blank(static_cast<unsigned char>(text.back()))) text.pop_back();
    std::size_t start = 0;
    while (start < text.size() && blank(static_cast<unsigned char>(text[start]))) ++start;
    return text.substr(start);
}

std::optional<std::string> FirstLine(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    if (!in || !std::getline(in, line)) return std::nullopt;
    line = Trimmed(line);
    if (line.empty()) return std::nullopt;
    return line;
}

SystemZone ConfiguredZone(const ZoneSettingsPaths& paths) {
    std::error_code ec;
    if (!fs::exists(paths.localtime, ec)) return {true, "UTC"};  // the C library's default
    if (fs::is_symlink(paths.localtime, ec)) {
        const fs::path target = fs::read_symlink(paths.localtime, ec);
        if (!ec) {
            if (auto id = IdFromPath(target.string())) return {true, id};
        }
    }
    return {true, FirstLine(paths.timezone)};
}

}  // namespace

bool IsPosixRuleString(const std::string& text) {
    std::size_t at = 0;
    if (!text.empty() && text[0] == '<') {
        const std::size_t close = text.find('>');
        if (close == std::string::npos || close < 4) return false;
        at = close + 1;
    } else {
        while (at < text.size() && std::isalpha(static_cast<unsigned char>(text[at]))) ++at;
        if (at < 3) return false;
    }
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    return at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]));
}

SystemZone FindSystemZone(const char* tz, const ZoneSettingsPaths& paths) {
    if (tz == nullptr) return ConfiguredZone(paths);
    std::string value = tz;
    const bool fileOnly = value.starts_with(':');
    if (fileOnly) value.erase(0, 1);
    if (value.empty()) return {true, "UTC"};
    const fs::path file =
        value.starts_with('/') ? fs::path(value) : paths.zoneDirectory / fs::path(value);
    if (IsRegularFile(file)) {
        return {true, value.starts_with('/') ? IdFromPath(value) : IdOf(value)};
    }
    if (!fileOnly && IsPosixRuleString(value)) return {true, std::nullopt};
    return {false, std::nullopt};
}

SystemZone FindSystemZone() {
    ZoneSettingsPaths paths;
    if (const char* dir = std::getenv("TZDIR"); dir != nullptr && *dir != '\0') {
        paths.zoneDirectory = dir;
    }
    return FindSystemZone(std::getenv("TZ"), paths);
}

}  // namespace vintrel
