#include <windows.h>

#include "platform/autostart_list.h"
#include "platform/win32/reg_key.h"
#include "platform/win32/system_error_text.h"

namespace vintrel {
namespace {

AutoStartResult Failed(std::string reason) {
    return {false, std::move(reason)};
}

HKEY RootKey(AutoStartRoot root) {
    return root == AutoStartRoot::User ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

class RegistryAutoStartList final : public AutoStartList {
public:
    explicit RegistryAutoStartList(RegKey key) : key_(std::move(key)) {}

    bool exists(std::string_view name) const override {
        if (HoldsZero(name)) return false;
        const std::string text(name);
        return RegQueryValueExA(key_.get(), text.c_str(), nullptr, nullptr, nullptr, nullptr) ==
               ERROR_SUCCESS;
    }

    AutoStartResult write(std::string_view name, std::string_view value) override {
        if (HoldsZero(name) || HoldsZero(value)) {
            return Failed("a registry entry cannot hold a zero character");
        }
        const std::string text(name);
        const std::string data(value);
        // REG_SZ data carries its terminating zero.
        const LONG status = RegSetValueExA(key_.get(), text.c_str(), 0, REG_SZ,
                                           reinterpret_cast<const BYTE*>(data.c_str()),
                                           static_cast<DWORD>(data.size() + 1));
        if (status != ERROR_SUCCESS) {
            return Failed("the entry " + text + " could not be written (" +
                          SystemErrorText(static_cast<DWORD>(status)) + ")");
        }
        return {true, {}};
    }

    AutoStartResult remove(std::string_view name) override {
        if (HoldsZero(name)) return Failed("a registry entry cannot hold a zero character");
        const std::string text(name);
        const LONG status = RegDeleteValueA(key_.get(), text.c_str());
        if (status != ERROR_SUCCESS) {
            return Failed("the entry " + text + " could not be deleted (" +
                          SystemErrorText(static_cast<DWORD>(status)) + ")");
        }
        return {true, {}};
    }

private:
    RegKey key_;
};

class RegistryAutoStartLists final : public AutoStartLists {
public:
    Opened open(const AutoStartLocation& location, AutoStartOpen mode) override {
        RegKey key;
        LONG status;
        if (mode == AutoStartOpen::CreateIfMissing) {
            status = RegCreateKeyExA(RootKey(location.root), location.keyPath.c_str(), 0, nullptr,
                                     REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, key.out(),
                                     nullptr);
        } else {
            status = RegOpenKeyExA(RootKey(location.root), location.keyPath.c_str(), 0,
                                   KEY_ALL_ACCESS, key.out());
        }
        if (status != ERROR_SUCCESS) {
            return {nullptr, "Unable to open the " + location.keyPath + " key (" +
                                 SystemErrorText(static_cast<DWORD>(status)) + ")"};
        }
        return {std::make_unique<RegistryAutoStartList>(std::move(key)), {}};
    }

    // Every Windows that this program builds for (64-bit, Unicode system
    // calls) belongs to the NT family; the service lists were Windows 9x's.
    bool isNtFamily() const override { return true; }
};

}  // namespace

AutoStartLists& realAutoStartLists() {
    static RegistryAutoStartLists lists;
    return lists;
}

}  // namespace vintrel
