#include "settings/stored_correction_settings.h"

#include "settings/settings_store.h"

namespace vintrel {
namespace {
constexpr const char* kExplicitProxy = "3";
}

ConnectionSettings StoredCorrectionSettings::connection() {
    if (connection_) return *connection_;
    ConnectionSettings settings;
    settings.connectionType = ReadSetting(kSettingsKey, "ConnectionType", "1");
    if (settings.connectionType == kExplicitProxy) {
        settings.address = ReadSetting(kSettingsKey, "Address", "");
        settings.port = ReadSetting(kSettingsKey, "Port", "");
    }
    return settings;
}

bool StoredCorrectionSettings::preciseWanted() {
    return !ReadSetting(kSettingsKey, "Precise", "").empty();
}

void StoredCorrectionSettings::recordLastPing(const std::string& text) {
    WriteSetting(kSettingsKey, "LastPing", text);
}

}  // namespace vintrel
