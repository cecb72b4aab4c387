#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vintrel::testing {

/// The settings store's two operations over a map, for tests that link
/// in_memory_settings.cpp in place of the real store. Values live under the
/// key text each caller passes. Construct one per test: it starts empty and
/// clears everything again when it goes.
class InMemorySettings {
public:
    InMemorySettings();
    ~InMemorySettings();
    InMemorySettings(const InMemorySettings&) = delete;
    InMemorySettings& operator=(const InMemorySettings&) = delete;

    /// Stores a value under kSettingsKey as if written earlier.
    void preset(const std::string& name, const std::string& value);
    /// The value stored under kSettingsKey, or nothing when never written.
    std::optional<std::string> stored(const std::string& name) const;

    /// Every call so far, as "read NAME" or "write NAME=VALUE" (kSettingsKey
    /// calls only; others are recorded with their key in front).
    const std::vector<std::string>& calls() const;

    /// The next call, read or write, throws ERegistryException with `message`.
    void failNextCall(const std::string& message);
    /// Every call that touches `name` throws ERegistryException with `message`.
    void failCallsTo(const std::string& name, const std::string& message);
};

}  // namespace vintrel::testing
