// TEMPORARY: stand-ins so that vintrel-sync links before the Linux daytime
// client, host resolver, clock setter and the settings store are merged.
// Delete this file and the pending_stubs target when they are; nothing else
// links it.
#include "settings/settings_store.h"

namespace vintrel {
std::string ReadSetting(std::string_view, std::string_view, std::string_view defaultValue) {
    return std::string(defaultValue);
}

void WriteSetting(std::string_view, std::string_view name, std::string_view) {
    throw ERegistryException("Failed to set data for '" + std::string(name) + "'");
}

}  // namespace vintrel
