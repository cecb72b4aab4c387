#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vintrel {

/// The key text every caller passes: the store puts "\SOFTWARE\" before it.
inline constexpr std::string_view kSettingsKey = "Kavrin\\Proxy";

/// A failure of the settings store, with the text the user is shown.
class ERegistryException : public std::runtime_error {
public:
    explicit ERegistryException(const std::string& message) : std::runtime_error(message) {}
};

/// The stored text, or `defaultValue` when it is empty or absent.
std::string ReadSetting(std::string_view key, std::string_view name, std::string_view defaultValue);
/// Stores `value` (an empty one included).
void WriteSetting(std::string_view key, std::string_view name, std::string_view value);
/// Stores several values at once: a reader sees all of them changed or none,
/// where the registry allows it. A failure names the first value.
void WriteSettings(std::string_view key,
                   const std::vector<std::pair<std::string, std::string>>& values);

}  // namespace vintrel
