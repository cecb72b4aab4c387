#include "platform/registry.h"

namespace vintrel {
namespace {
Registry* g_installed = nullptr;
std::chrono::milliseconds g_writeWait{100};
}  // namespace

RegistryResult RegistryKey::setStrings(
    const std::vector<std::pair<std::string, std::string>>& values) {
    for (const auto& [name, text] : values) {
        if (RegistryResult result = setString(name, text); !result.ok()) return result;
    }
    return {};
}

std::string_view RegistryRootName(RegistryRoot root) {
    switch (root) {
        case RegistryRoot::CurrentUser:
            return "HKEY_CURRENT_USER";
        case RegistryRoot::LocalMachine:
            return "HKEY_LOCAL_MACHINE";
    }
    return {};
}

Registry& registry() {
    return g_installed != nullptr ? *g_installed : systemRegistry();
}

void installRegistry(Registry* registry) {
    g_installed = registry;
}

void setRegistryWriteWait(std::chrono::milliseconds wait) {
    g_writeWait = wait;
}

std::chrono::milliseconds registryWriteWait() {
    return g_writeWait;
}

}  // namespace vintrel
