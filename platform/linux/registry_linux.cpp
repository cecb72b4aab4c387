#include "platform/linux/registry_linux.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/linux/hive_file.h"
#include "platform/linux/reg_file.h"

namespace vintrel {
namespace fs = std::filesystem;
namespace {

/// "HKEY_CURRENT_USER\SOFTWARE\Kavrin\Proxy" for the root and "\SOFTWARE\Kavrin\Proxy\";
/// nothing when a part of the path is empty or cannot be written in the file.
std::optional<std::string> FullKeyPath(RegistryRoot root, std::string_view path) {
    while (!path.empty() && path.front() == '\\') path.remove_prefix(1);
    while (!path.empty() && path.back() == '\\') path.remove_suffix(1);
    if (!IsStorableName(path) || path.find("\\\\") != std::string_view::npos) return std::nullopt;
    std::string full(RegistryRootName(root));
    if (!path.empty()) full.append("\\").append(path);
    return full;
}

RegistryResult BadName(std::string_view what) {
    return {RegistryStatus::InvalidName, std::string(what) + " cannot be stored in the registry"};
}

class HiveKey final : public RegistryKey {
public:
    HiveKey(fs::path file, std::string key) : hive_(std::move(file)), key_(std::move(key)) {}

    RegistryResult queryValue(std::string_view name, RegistryValue& value) override {
        if (!IsStorableName(name)) return BadName("the value name");
        HiveFile::Load load = hive_.load();
        if (!load.result.ok()) return load.result;
        const RegistryValue* found = FindRegValue(load.file, key_, name);
        if (found == nullptr) return {RegistryStatus::NotFound, "no such value"};
        value = *found;
        return {};
    }

    bool valueExists(std::string_view name) override {
        RegistryValue ignored;
        return queryValue(name, ignored).ok();
    }

    RegistryResult setString(std::string_view name, std::string_view text) override {
        if (!IsStorableName(name)) return BadName("the value name");
        return hive_.update([&](RegFile& file) {
            SetRegValue(file, key_, name, {RegistryValueType::String, std::string(text)});
            return RegistryResult{};
        });
    }

    RegistryResult setStrings(
        const std::vector<std::pair<std::string, std::string>>& values) override {
        for (const auto& [name, text] : values) {
            if (!IsStorableName(name)) return BadName("the value name");
        }
        // One replacement of the file: a writer killed half-way leaves all the
        // old values or all the new ones, never a mix.
        return hive_.update([&](RegFile& file) {
            for (const auto& [name, text] : values) {
                SetRegValue(file, key_, name, {RegistryValueType::String, text});
            }
            return RegistryResult{};
        });
    }

    RegistryResult deleteValue(std::string_view name) override {
        if (!IsStorableName(name)) return BadName("the value name");
        return hive_.update([&](RegFile& file) {
            return DeleteRegValue(file, key_, name)
                       ? RegistryResult{}
                       : RegistryResult{RegistryStatus::NotFound, "no such value"};
        });
    }

private:
    HiveFile hive_;
    std::string key_;
};

class HiveRegistry final : public Registry {
public:
    explicit HiveRegistry(HiveLocator locator) : locator_(std::move(locator)) {}

    RegistryKeyResult openKey(RegistryRoot root, std::string_view path) override {
        return open(root, path, false);
    }

    RegistryKeyResult createKey(RegistryRoot root, std::string_view path) override {
        return open(root, path, true);
    }

private:
    RegistryKeyResult open(RegistryRoot root, std::string_view path, bool create) {
        const std::optional<std::string> key = FullKeyPath(root, path);
        if (!key) return {nullptr, BadName("the key path")};
        fs::path file = locator_(root);
        if (file.empty()) {
            return {nullptr,
                    {create ? RegistryStatus::AccessDenied : RegistryStatus::NotFound,
                     std::string(RegistryRootName(root)) + " has no store on this system"}};
        }
        const HiveFile hive(file);
        HiveFile::Load load = hive.load();
        if (!load.result.ok()) return {nullptr, load.result};
        if (!RegKeyExists(load.file, *key)) {
            if (!create) return {nullptr, {RegistryStatus::NotFound, "no such key"}};
            RegistryResult added = hive.update([&](RegFile& current) {
                AddRegKey(current, *key);
                return RegistryResult{};
            });
            if (!added.ok()) return {nullptr, added};
        }
        return {std::make_unique<HiveKey>(std::move(file), *key), {}};
    }

    HiveLocator locator_;
};

fs::path HomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
    passwd entry{};
    passwd* found = nullptr;
    char buffer[4096];
    if (::getpwuid_r(::getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found != nullptr) {
        return found->pw_dir;
    }
    return "/";
}

}  // namespace

std::unique_ptr<Registry> makeHiveRegistry(HiveLocator locator) {
    return std::make_unique<HiveRegistry>(std::move(locator));
}

fs::path userHivePath() {
    fs::path config;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr) config = xdg;
    if (!config.is_absolute()) config = HomeFolder() / ".config";
    return config / "vintrel" / "user.reg";
}

Registry& systemRegistry() {
    // Only the user's own settings live in a registry here; the machine-wide
    // start-at-logon lists are desktop entries on this system.
    static const std::unique_ptr<Registry> system = makeHiveRegistry([](RegistryRoot root) {
        return root == RegistryRoot::CurrentUser ? userHivePath() : fs::path();
    });
    return *system;
}

}  // namespace vintrel
