#include "platform/registry.h"

namespace vintrel {
namespace {
Registry* g_installed = nullptr;
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

}  // namespace vintrel
