#include "settings/settings_store.h"

#include <memory>
#include <string>

#include "platform/registry.h"

namespace vintrel {
namespace {

std::string KeyPath(std::string_view key) {
    return "\\SOFTWARE\\" + std::string(key) + "\\";
}

std::string Quoted(std::string_view text, std::string_view name) {
    std::string message(text);
    return message.append(" '").append(name).append("'");
}

/// The message with the store's own reason after it (the file, the line and
/// what is wrong there), which a user needs to put the fault right.
ERegistryException Failure(const std::string& message, const RegistryResult& result) {
    if (result.reason.empty()) return ERegistryException(message);
    return ERegistryException(message + ": " + result.reason);
}

/// Opens the settings key, creating it when missing. A store that cannot be
/// read fails the operation with `failure` rather than as a key that cannot be
/// created: the key may well be there.
std::unique_ptr<RegistryKey> OpenSettingsKey(std::string_view key, const std::string& failure) {
    const std::string path = KeyPath(key);
    RegistryKeyResult opened = registry().createKey(RegistryRoot::CurrentUser, path);
    if (opened.result.ok()) {
        // Creating it once more only opens and closes it, now that it exists.
        RegistryKeyResult again = registry().createKey(RegistryRoot::CurrentUser, path);
        if (!again.result.ok()) opened = std::move(again);
    }
    if (opened.result.status == RegistryStatus::Unreadable) throw Failure(failure, opened.result);
    if (!opened.result.ok()) throw Failure("Failed to create key " + path, opened.result);
    return std::move(opened.key);
}

std::string ReadString(RegistryKey& key, std::string_view name) {
    RegistryValue value;
    const RegistryResult result = key.queryValue(name, value);
    if (result.status == RegistryStatus::NotFound) return {};
    if (!result.ok()) throw Failure(Quoted("Failed to get data for", name), result);
    if (value.data.empty()) return {};
    if (value.type != RegistryValueType::String && value.type != RegistryValueType::ExpandString) {
        throw ERegistryException(Quoted("Invalid data type for", name));
    }
    // A registry string ends at its first zero character.
    return value.data.substr(0, value.data.find('\0'));
}

}  // namespace

std::string ReadSetting(std::string_view key, std::string_view name,
                        std::string_view defaultValue) {
    std::string text;
    {
        const std::unique_ptr<RegistryKey> settings =
            OpenSettingsKey(key, Quoted("Failed to get data for", name));
        text = ReadString(*settings, name);
    }
    return text.empty() ? std::string(defaultValue) : text;
}

void WriteSetting(std::string_view key, std::string_view name, std::string_view value) {
    const std::unique_ptr<RegistryKey> settings =
        OpenSettingsKey(key, Quoted("Failed to set data for", name));
    if (const RegistryResult result = settings->setString(name, value); !result.ok()) {
        throw Failure(Quoted("Failed to set data for", name), result);
    }
}

void WriteSettings(std::string_view key,
                   const std::vector<std::pair<std::string, std::string>>& values) {
    if (values.empty()) return;
    const std::string failure = Quoted("Failed to set data for", values.front().first);
    const std::unique_ptr<RegistryKey> settings = OpenSettingsKey(key, failure);
    if (const RegistryResult result = settings->setStrings(values); !result.ok()) {
        throw Failure(failure, result);
    }
}

}  // namespace vintrel
