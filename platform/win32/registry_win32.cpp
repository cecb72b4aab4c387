#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/win32/reg_key.h"
#include "platform/win32/system_error_text.h"

namespace vintrel {
namespace {

HKEY RootKey(RegistryRoot root) {
    return root == RegistryRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

RegistryStatus StatusOf(LONG error) {
    switch (error) {
        case ERROR_SUCCESS:
            return RegistryStatus::Ok;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return RegistryStatus::NotFound;
        case ERROR_BAD_PATHNAME:
        case ERROR_INVALID_NAME:
        case ERROR_FILENAME_EXCED_RANGE:
            return RegistryStatus::InvalidName;
        case ERROR_BADDB:
        case ERROR_BADKEY:
        case ERROR_CANTOPEN:
        case ERROR_CANTREAD:
        case ERROR_REGISTRY_CORRUPT:
        case ERROR_REGISTRY_IO_FAILED:
            return RegistryStatus::Unreadable;
        default:
            // Whatever else stops a key from being opened or changed.
            return RegistryStatus::AccessDenied;
    }
}

RegistryResult ResultOf(LONG error) {
    if (error == ERROR_SUCCESS) return {};
    return {StatusOf(error), SystemErrorText(static_cast<DWORD>(error))};
}

RegistryResult BadName(std::string_view what) {
    return {RegistryStatus::InvalidName,
            std::string(what) + " cannot be passed to the registry: it holds a zero character"};
}

// The registry takes paths below a root without a "\" at either end.
std::string_view Trimmed(std::string_view path) {
    while (!path.empty() && path.front() == '\\') path.remove_prefix(1);
    while (!path.empty() && path.back() == '\\') path.remove_suffix(1);
    return path;
}

class Win32RegistryKey final : public RegistryKey {
public:
    explicit Win32RegistryKey(RegKey key) : key_(std::move(key)) {}

    RegistryResult queryValue(std::string_view name, RegistryValue& value) override {
        if (HoldsZero(name)) return BadName("the value name");
        const std::string text(name);
        DWORD type = REG_NONE;
        std::vector<BYTE> data(256);
        LONG status;
        for (;;) {
            DWORD size = static_cast<DWORD>(data.size());
            status = RegQueryValueExA(key_.get(), text.c_str(), nullptr, &type, data.data(), &size);
            if (status != ERROR_MORE_DATA) {
                data.resize(size);
                break;
            }
            // The value may have grown since the size was given; ask again.
            data.resize(std::max<std::size_t>(size, data.size() * 2));
        }
        if (status != ERROR_SUCCESS) return ResultOf(status);
        value.type = static_cast<RegistryValueType>(type);
        value.data.assign(data.begin(), data.end());
        // Strings come with their terminating zero; the interface's have none.
        if ((type == REG_SZ || type == REG_EXPAND_SZ) && !value.data.empty() &&
            value.data.back() == '\0') {
            value.data.pop_back();
        }
        return {};
    }

    bool valueExists(std::string_view name) override {
        if (HoldsZero(name)) return false;
        const std::string text(name);
        return RegQueryValueExA(key_.get(), text.c_str(), nullptr, nullptr, nullptr, nullptr) ==
               ERROR_SUCCESS;
    }

    RegistryResult setString(std::string_view name, std::string_view text) override {
        if (HoldsZero(name)) return BadName("the value name");
        const std::string valueName(name);
        const std::string data(text);
        return ResultOf(RegSetValueExA(key_.get(), valueName.c_str(), 0, REG_SZ,
                                       reinterpret_cast<const BYTE*>(data.c_str()),
                                       static_cast<DWORD>(data.size() + 1)));
    }

    RegistryResult deleteValue(std::string_view name) override {
        if (HoldsZero(name)) return BadName("the value name");
        const std::string text(name);
        return ResultOf(RegDeleteValueA(key_.get(), text.c_str()));
    }

private:
    RegKey key_;
};

class Win32Registry final : public Registry {
public:
    RegistryKeyResult openKey(RegistryRoot root, std::string_view path) override {
        return open(root, path, false);
    }

    RegistryKeyResult createKey(RegistryRoot root, std::string_view path) override {
        return open(root, path, true);
    }

private:
    static RegistryKeyResult open(RegistryRoot root, std::string_view path, bool create) {
        if (HoldsZero(path)) return {nullptr, BadName("the key path")};
        const std::string subKey(Trimmed(path));
        if (subKey.find("\\\\") != std::string::npos) {
            return {nullptr, {RegistryStatus::InvalidName, "the key path has an empty part"}};
        }
        RegKey key;
        const LONG status =
            create ? RegCreateKeyExA(RootKey(root), subKey.c_str(), 0, nullptr,
                                     REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, key.out(),
                                     nullptr)
                   : RegOpenKeyExA(RootKey(root), subKey.c_str(), 0, KEY_ALL_ACCESS, key.out());
        if (status != ERROR_SUCCESS) return {nullptr, ResultOf(status)};
        return {std::make_unique<Win32RegistryKey>(std::move(key)), {}};
    }
};

}  // namespace

Registry& systemRegistry() {
    static Win32Registry registry;
    return registry;
}

}  // namespace vintrel
