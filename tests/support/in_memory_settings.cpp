#include "tests/support/in_memory_settings.h"

#include "settings/settings_store.h"

namespace vintrel {
namespace {

struct Memory {
    std::map<std::string, std::string> values;  // key text + '|' + name
    std::vector<std::string> calls;
    std::optional<std::string> nextFailure;
    std::map<std::string, std::string> failingNames;
};

Memory& memory() {
    static Memory m;
    return m;
}

std::string Slot(std::string_view key, std::string_view name) {
    return std::string(key) + "|" + std::string(name);
}

std::string Describe(std::string_view key, std::string_view name) {
    return key == kSettingsKey ? std::string(name) : std::string(key) + "\\" + std::string(name);
}

void MaybeFail(std::string_view name) {
    Memory& m = memory();
    if (m.nextFailure) {
        const std::string message = *m.nextFailure;
        m.nextFailure.reset();
        throw ERegistryException(message);
    }
    const auto failing = m.failingNames.find(std::string(name));
    if (failing != m.failingNames.end()) throw ERegistryException(failing->second);
}

}  // namespace

std::string ReadSetting(std::string_view key, std::string_view name,
                        std::string_view defaultValue) {
    memory().calls.push_back("read " + Describe(key, name));
    MaybeFail(name);
    const auto found = memory().values.find(Slot(key, name));
    if (found == memory().values.end() || found->second.empty()) return std::string(defaultValue);
    return found->second;
}

void WriteSetting(std::string_view key, std::string_view name, std::string_view value) {
    memory().calls.push_back("write " + Describe(key, name) + "=" + std::string(value));
    MaybeFail(name);
    memory().values[Slot(key, name)] = std::string(value);
}

namespace testing {

InMemorySettings::InMemorySettings() {
    memory() = {};
}

InMemorySettings::~InMemorySettings() {
    memory() = {};
}

void InMemorySettings::preset(const std::string& name, const std::string& value) {
    memory().values[Slot(kSettingsKey, name)] = value;
}

std::optional<std::string> InMemorySettings::stored(const std::string& name) const {
    const auto found = memory().values.find(Slot(kSettingsKey, name));
    if (found == memory().values.end()) return std::nullopt;
    return found->second;
}

const std::vector<std::string>& InMemorySettings::calls() const {
    return memory().calls;
}

void InMemorySettings::failNextCall(const std::string& message) {
    memory().nextFailure = message;
}

void InMemorySettings::failCallsTo(const std::string& name, const std::string& message) {
    memory().failingNames[name] = message;
}

}  // namespace testing
}  // namespace vintrel
