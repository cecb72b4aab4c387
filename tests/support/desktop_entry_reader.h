#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vintrel::testing {

/// A desktop entry file as a launcher reads it.
struct DesktopEntry {
    /// Every key in file order, as "Group/Key".
    std::vector<std::string> keys;
    /// The keys of [Desktop Entry] with their values unescaped.
    std::map<std::string, std::string> values;
    /// What was malformed (bad line, unknown escape, key twice); empty when nothing.
    std::string error;
};

DesktopEntry ReadDesktopEntry(std::string_view text);

/// The arguments of an unescaped Exec value: "%%" read as "%", then split at
/// spaces with double-quoted arguments unquoted. Nothing when the quoting is
/// broken or a field code or an unquoted reserved character appears.
std::optional<std::vector<std::string>> SplitExec(std::string_view exec);

/// The whole file; nothing when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path);

}  // namespace vintrel::testing
